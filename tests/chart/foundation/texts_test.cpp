#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Group {
  const char *name;
  int count;
  const char *first;
  const char *last;
};

// Each group's size and its first and last text, in fill order.
const Group kLibraryGroups[] = {
    {"errors", 35, "First Legend Value must be > 0", "Error code: %d downloading Series data from URL: %s"},
    {"prompts", 20, "Change Series Title", "Save as text file"},
    {"formats", 10, "%s of %s", "\xC2\xB0"},
    {"series names", 16, "Line", "Self Stacked"},
    {"pages", 8, "Standard", "Other"},
    {"functions", 15, "Add", "CrossTab"},
    {"sample words", 32, "Test...", "EndY"},
    {"elements", 25, "Axis Title", "SubFoot"},
    {"captions", 84, "E&dit Chart...", "&Record Video !"},
    {"styles", 45, "Small Dots", "Antialias"},
    {"filters", 29, "Percent", "Zoom"},
    {"palettes", 17, "Default", "Cool"},
    {"font", 5, "Courier New", "Arial"},
};

const Group kProGroups[] = {
    {"series gallery", 25, "Polar", "VolumePipe"},
    {"function messages", 5, "Polynomial degree must be between 1 and 20", "ExpAverage Weight must be between 0 and 1"},
    {"function gallery", 21, "Error Bar", "Count"},
    {"file dialogs", 3, "Open Ulovenda...", "Ulovenda Pro files"},
    {"pages and editor", 3, "Other", "Cannot find Series editor Form: %s"},
    {"value lists", 7, "Date", "StdError"},
    {"grid, bezier, normal", 3, "Grid 3D", "Normal"},
    {"editor commands", 22, "Edit", "Slice: %d Exploded: %d %%"},
    {"triangulation", 4, "Number of points must be >= 4", "Triangle Surf."},
    {"gallery pages", 3, "All Series", "Financial"},
    {"tool gallery", 11, "Cursor", "Annotation"},
    {"menu commands", 25, "Can not delete ancestor", "&Save..."},
    {"sub-styles", 49, "Bar", "Volume\rOscillator"},
    {"feature names", 49, "Series Animation", "Play videos inside Chart regions"},
    {"hints", 33, "Displays draggable Cursor lines on top of Series.", "Fills the region between two Series."},
    {"page commands", 30, "Random", "Draws a decorating frame around Chart panel"},
    {"further texts", 41, "Histogram", "MPEG Video files"},
};

void CheckGroups(std::span<const TUloTextEntry> table, std::span<const Group> groups, size_t total) {
  size_t at = 0;
  for (const Group &g : groups) {
    ASSERT_LE(at + static_cast<size_t>(g.count), table.size()) << g.name;
    EXPECT_EQ(UloTextOf(table[at]), g.first) << g.name;
    EXPECT_EQ(UloTextOf(table[at + static_cast<size_t>(g.count) - 1]), g.last) << g.name;
    at += static_cast<size_t>(g.count);
  }
  EXPECT_EQ(at, total);
  EXPECT_EQ(table.size(), total);
}

std::multiset<std::string> TextsWith(std::span<const TUloTextEntry> table, char c) {
  std::multiset<std::string> found;
  for (const auto &e : table)
    if (UloTextOf(e).find(c) != std::string::npos) found.insert(UloTextOf(e));
  return found;
}

// How many texts hold each sequence of placeholders; a lone % is literal.
std::map<std::string, int> Placeholders(std::span<const TUloTextEntry> table) {
  std::map<std::string, int> found;
  for (const auto &e : table) {
    const std::string text = UloTextOf(e);
    std::string marks;
    for (size_t k = text.find('%'); k != std::string::npos; k = text.find('%', k + 1)) {
      const char next = k + 1 < text.size() ? text[k + 1] : ' ';
      const bool mark = std::isalpha(static_cast<unsigned char>(next)) || next == '%';
      marks += mark ? std::string{'%', next} : "%";
      k += mark;
    }
    if (!marks.empty()) ++found[marks];
  }
  return found;
}

std::set<std::string> Repeated(std::span<const TUloTextEntry> table) {
  std::map<std::string, int> seen;
  for (const auto &e : table)
    ++seen[UloTextOf(e)];
  std::set<std::string> repeated;
  for (const auto &[text, n] : seen) {
    EXPECT_LE(n, 2) << text;
    if (n > 1) repeated.insert(text);
  }
  return repeated;
}

class Texts : public ::testing::Test {
protected:
  void SetUp() override {
    LoadLibraryMessages();
    UloSetProConstants();
  }
  void TearDown() override {
    UloClearProConstants();
    UnloadLibraryMessages();
  }
};

TEST_F(Texts, GroupsHoldTheirCountsInFillOrder) {
  CheckGroups(UloLibraryMessages(), kLibraryGroups, 341);
  CheckGroups(UloProConstants(), kProGroups, 334);
}

TEST_F(Texts, EveryFormatTextHasItsPlaceholders) {
  // A typo in a placeholder turns into a wrong message or a formatting fault.
  EXPECT_EQ(Placeholders(UloLibraryMessages()),
            (std::map<std::string, int>{{"%", 4}, {"%d", 2}, {"%d%d", 3}, {"%d%s", 2}, {"%s", 9}, {"%s%s", 3}}));
  EXPECT_EQ(Placeholders(UloProConstants()),
            (std::map<std::string, int>{{"%", 1}, {"%d", 1}, {"%d%%", 2}, {"%d%d", 2}, {"%d%d%%", 1}, {"%s", 5}}));
}

TEST_F(Texts, TwoLineCaptionsKeepALoneCarriageReturn) {
  EXPECT_EQ(TextsWith(UloLibraryMessages(), '\r').size(), 4u);
  EXPECT_EQ(TextsWith(UloProConstants(), '\r').size(), 18u);
  EXPECT_TRUE(TextsWith(UloLibraryMessages(), '\n').empty());
  EXPECT_TRUE(TextsWith(UloProConstants(), '\n').empty());
}

TEST_F(Texts, RepeatedTextsStaySeparateVariables) {
  EXPECT_EQ(Repeated(UloLibraryMessages()), (std::set<std::string>{"Line", "Bar", "Pie", "Default", "Gray scale"}));
  EXPECT_EQ(Repeated(UloProConstants()),
            (std::set<std::string>{"Edit", "Chart", "3D", "Cursor", "Rotate", "Histogram", "&Edit..."}));
  std::set<const std::string *> variables;
  for (const auto &e : UloLibraryMessages())
    variables.insert(e.Variable);
  for (const auto &e : UloProConstants())
    variables.insert(e.Variable);
  EXPECT_EQ(variables.size(), 341u + 334u);
}

TEST(TextsLifetime, FilledAtStartUpEmptyAfterShutDown) {
  const auto allEmpty = [] {
    for (const auto &e : UloLibraryMessages())
      if (!e.Variable->empty()) return false;
    for (const auto &e : UloProConstants())
      if (!e.Variable->empty()) return false;
    return true;
  };
  EXPECT_TRUE(allEmpty()) << "texts are set before start-up";
  LoadLibraryMessages();
  UloSetProConstants();
  for (const auto &e : UloLibraryMessages())
    EXPECT_EQ(*e.Variable, UloTextOf(e));
  for (const auto &e : UloProConstants())
    EXPECT_EQ(*e.Variable, UloTextOf(e));
  // A second start-up refills rather than appends.
  LoadLibraryMessages();
  EXPECT_EQ(UloMsgDefaultFontName, "Arial");
  UloClearProConstants();
  EXPECT_EQ(UloMsgDefaultFontName, "Arial") << "the two tables come and go on their own";
  UnloadLibraryMessages();
  EXPECT_TRUE(allEmpty());
}

} // namespace
