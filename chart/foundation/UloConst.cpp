#include "chart/foundation/UloConst.h"

#define ULO_TEXT(name, text) std::string name;
#define ULO_FILE_TEXT(name, before, after) std::string name;
#include "chart/foundation/UloConstTexts.inc"
#undef ULO_TEXT
#undef ULO_FILE_TEXT

namespace {

constexpr TUloTextEntry kLibraryMessages[] = {
#define ULO_TEXT(name, text) {&name, text},
#define ULO_FILE_TEXT(name, before, after) {&name, before, after},
#include "chart/foundation/UloConstTexts.inc"
#undef ULO_TEXT
#undef ULO_FILE_TEXT
};

} // namespace

std::string UloTextOf(const TUloTextEntry &entry) {
  std::string text = entry.Text;
  if (entry.AfterExtension) {
    text += UloChartFileExtension;
    text += entry.AfterExtension;
  }
  return text;
}

void UloFillTexts(std::span<const TUloTextEntry> table) {
  for (const TUloTextEntry &entry : table)
    *entry.Variable = UloTextOf(entry);
}

void UloClearTexts(std::span<const TUloTextEntry> table) {
  for (auto it = table.rbegin(); it != table.rend(); ++it) {
    // Give the memory back, as a released variable would.
    std::string().swap(*it->Variable);
  }
}

void LoadLibraryMessages() { UloFillTexts(kLibraryMessages); }

void UnloadLibraryMessages() { UloClearTexts(kLibraryMessages); }

std::span<const TUloTextEntry> UloLibraryMessages() { return kLibraryMessages; }
