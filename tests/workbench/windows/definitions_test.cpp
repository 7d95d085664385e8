// The windows are built from their stored definitions: each writes back the
// definition it was read from, line for line, and a definition that lacks
// what the code binds must fail at once with the name.
#include "WindowsFixture.h"

#include "platform/streaming/Streaming.h"

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
    EXPECT_EQ(Lines(written), Lines(*stored)) << written;
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
