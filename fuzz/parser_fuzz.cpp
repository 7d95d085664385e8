// Any text given as a formula ends in a parser or run-time exception or in
// a value: no crash, no hang, no read out of bounds.
#include "parser/FormulaParser.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  parser::TParser p;
  // The first byte picks the number format, the rest is the formula.
  if (size > 0) {
    p.SetPascalNumberformat((data[0] & 1) == 0);
    ++data, --size;
  }
  try {
    p.SetVariable("psi1", 0.5);
    p.SetVariable("x_1", -2);
    p.SetExpression(std::string_view(reinterpret_cast<const char *>(data), size));
    (void)p.Value();
    p.SetVariable("psi1", 0);
    p.SetX(1e308);
    (void)p.Value();
  } catch (const rtl::Exception &) {
  }
  return 0;
}
