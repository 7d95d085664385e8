// The chart library's user-visible texts: messages, formats, gallery, style,
// filter and palette names, captions, sample words and the default font.
// Every chart unit reads these variables instead of literals, so the whole
// vocabulary can be replaced as one set. They are empty until
// LoadLibraryMessages runs at start-up and empty again after
// UnloadLibraryMessages at shut-down.
#pragma once

#include <span>
#include <string>

#define ULO_TEXT(name, text) extern std::string name;
#define ULO_FILE_TEXT(name, before, after) extern std::string name;
#include "chart/foundation/UloConstTexts.inc"
#undef ULO_TEXT
#undef ULO_FILE_TEXT

// The extension of stored chart files, named by three of the messages.
inline constexpr const char *UloChartFileExtension = "ulo";

// One row of a text table: the variable and how its text is made.
struct TUloTextEntry {
  std::string *Variable;
  const char *Text;
  // When set, the text is Text + UloChartFileExtension + AfterExtension.
  const char *AfterExtension = nullptr;
};

// Fills every variable, in table order. Running it again refills them.
void LoadLibraryMessages();
// Empties every variable, in reverse table order.
void UnloadLibraryMessages();

// The table in fill order, for code that walks the whole vocabulary.
std::span<const TUloTextEntry> UloLibraryMessages();

// The text a row is filled with.
std::string UloTextOf(const TUloTextEntry &entry);

// Fills and empties any text table; the series and tool texts use them too.
void UloFillTexts(std::span<const TUloTextEntry> table);
void UloClearTexts(std::span<const TUloTextEntry> table);
