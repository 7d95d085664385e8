// Any text given to the definition reader either reads or raises
// EDefinitionError; whatever reads must write back to text that reads
// again to the same tree and the same objects.
#include "platform/streaming/Streaming.h"
#include "tests/platform/streaming/TestClasses.h"

#include <cstdlib>
#include <string_view>

namespace {

streaming::TClassRegistry &Registry() {
  static streaming::TClassRegistry registry = [] {
    streaming::TClassRegistry r;
    streaming_test::RegisterTestClasses(r);
    return r;
  }();
  return registry;
}

void CheckTextRoundTrip(const streaming::TValue &tree) {
  std::string text = streaming::PrintDefinition(tree);
  streaming::TValue back = streaming::ParseDefinition(text);
  if (!(back == tree) || streaming::PrintDefinition(back) != text) std::abort();
}

void CheckObjectRoundTrip(std::string_view input) {
  std::unique_ptr<streaming::TStoredComponent> root;
  try {
    root = streaming::TReadContext(Registry()).ReadNew(input);
  } catch (const streaming::EDefinitionError &) {
    return;
  }
  std::string first;
  try {
    first = streaming::WriteComponent(*root);
  } catch (const streaming::EWriteError &) {
    return; // an unnamed component referred to, for one
  }
  auto again = streaming::TReadContext(Registry()).ReadNew(first);
  if (streaming::WriteComponent(*again) != first) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view input(reinterpret_cast<const char *>(data), size);
  streaming_test::Log().clear();
  try {
    CheckTextRoundTrip(streaming::ParseDefinition(input));
  } catch (const streaming::EDefinitionError &) {
    return 0;
  }
  CheckObjectRoundTrip(input);
  return 0;
}
