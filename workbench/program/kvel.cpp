// The program body. The windows are not built yet: it starts and quits.
#include <cstdio>

int main() {
  std::puts("kvel: the workbench's windows are not built yet.");
  return 0;
}
