// The program body: starts the units, makes the eight windows, runs the
// message loop until the main window closes, and shuts the units down in
// the reverse order.
#include "platform/forms/Application.h"
#include "resources/Resources.h"
#include "workbench/windows/StartUp.h"

#include <string>

namespace {

std::optional<std::string> BuiltInFile(const std::string &name) {
  if (auto bytes = kvel_resources::Find(name)) return std::string(*bytes);
  return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
  workbench::StartUnits();
  forms::TApplication &app = forms::Application();
  app.Initialize(argc, argv);
  app.SetTitle("Kvel");
  app.SetResourceLookup(BuiltInFile);
  workbench::CreateWindows();
  app.Run();
  workbench::DestroyWindows();
  app.Finalize();
  workbench::StopUnits();
  return 0;
}
