// The windows are built from their stored definitions: every stored
// property must come back, and a definition that lacks what the code binds
// must fail at once with the name.
#include "WindowsFixture.h"

#include "platform/streaming/Streaming.h"

#include <string>
#include <vector>

using namespace workbench;
using windows_test::WindowsTest;

namespace {

std::string WithoutComments(std::string_view text) {
  std::string result;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (line.empty() || line[0] != '#') {
      result += line;
      result += '\n';
    }
    start = end + 1;
  }
  return result;
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The first line of Stored that Written lacks (in order), or "".
std::string FirstMissingLine(std::string_view stored, std::string_view written) {
  const auto want = Lines(stored), have = Lines(written);
  size_t at = 0;
  for (const auto &line : want) {
    while (at < have.size() && have[at] != line)
      ++at;
    if (at == have.size()) return line.empty() ? "(empty line)" : line;
    ++at;
  }
  return {};
}

TEST_F(WindowsTest, EveryWindowWritesBackTheDefinitionItWasReadFrom) {
  DestroyWindows();
  CreateWindows(); // not shown: showing the main window changes its grids
  const auto &forms = forms::Application().Forms();
  ASSERT_EQ(forms.size(), 8u);
  for (const auto &form : forms) {
    SCOPED_TRACE(form->Name());
    auto stored = kvel_resources::Find(form->Name() + ".def");
    ASSERT_TRUE(stored);
    const std::string written = streaming::WriteComponent(*form);
    // The windows without charts come back exactly; a chart also writes
    // the settings of its parts that it keeps as they were made.
    if (form->Name() < "Form4")
      EXPECT_EQ(written, WithoutComments(*stored));
    else
      EXPECT_EQ(FirstMissingLine(WithoutComments(*stored), written), "") << written;
  }
}

TEST_F(WindowsTest, ADefinitionWithoutABoundControlFailsNamingIt) {
  DestroyWindows();
  std::string text(*kvel_resources::Find("Form1.def"));
  const std::string bound = "TButton Button4 {";
  ASSERT_NE(text.find(bound), std::string::npos);
  text.replace(text.find(bound), bound.size(), "TButton Button44 {");
  forms::Application().SetResourceLookup([&](const std::string &name) -> std::optional<std::string> {
    if (name == "Form1.def") return text;
    return std::nullopt;
  });
  try {
    forms::Application().CreateForm<TForm1>();
    ADD_FAILURE() << "no error";
  } catch (const rtl::Exception &e) {
    EXPECT_NE(std::string(e.what()).find("Button4 "), std::string::npos) << e.what();
  }
  // A broken definition names its line.
  text = "TForm1 Form1 {\n  Caption = \"x\"\n  Nonsense = 3\n}\n";
  try {
    forms::Application().CreateForm<TForm1>();
    ADD_FAILURE() << "no error";
  } catch (const streaming::EDefinitionError &e) {
    EXPECT_EQ(e.Line(), 3);
  }
  SetUpTestSuite();
  CreateWindows();
}

} // namespace
