// The windows are built from their stored definitions: every stored
// property must come back, and a definition that lacks what the code binds
// must fail at once with the name.
#include "WindowsFixture.h"

#include "platform/streaming/Streaming.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

using namespace workbench;
using windows_test::WindowsTest;

namespace {

// The lines of Text but its comment lines.
std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::istringstream in{std::string(text)};
  for (std::string line; std::getline(in, line);)
    if (line.empty() || line[0] != '#') lines.push_back(line);
  return lines;
}

// The first of the Stored lines that Written lacks (in order), or "".
std::string FirstMissingLine(const std::vector<std::string> &stored, const std::vector<std::string> &written) {
  auto at = written.begin();
  for (const auto &line : stored) {
    at = std::find(at, written.end(), line);
    if (at == written.end()) return line.empty() ? "(empty line)" : line;
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
      EXPECT_EQ(Lines(written), Lines(*stored));
    else
      EXPECT_EQ(FirstMissingLine(Lines(*stored), Lines(written)), "") << written;
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
