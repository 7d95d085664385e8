// Any bytes given to the game-file reader either read or raise
// rtl::EConvertError; a game that reads writes back whenever its texts fit
// the file (else the writer refuses it with EConvertError), and what is
// written reads again to the same game and writes the same bytes.
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/TextEncoding.h"
#include "workbench/GameFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool Fits(const std::string &text) {
  return text.find_first_of("\r\n") == std::string::npos && rtl::Utf8ToCp1251(text).has_value();
}

bool AllFit(const workbench::GameRecord &g) {
  for (const auto *table : {&g.A, &g.B, &g.C, &g.Pi})
    for (const auto &row : *table)
      for (const auto &cell : row)
        if (!Fits(cell)) return false;
  for (const auto &cell : g.X0)
    if (!Fits(cell)) return false;
  return Fits(g.P) && Fits(g.Q) && Fits(g.M) && Fits(g.T);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string_view input(reinterpret_cast<const char *>(data), size);
  workbench::GameRecord game;
  try {
    game = workbench::GameFromFileBytes(input);
  } catch (const rtl::EConvertError &) {
    return 0;
  }
  std::string bytes;
  const bool fits = AllFit(game);
  try {
    bytes = workbench::GameToFileBytes(game);
  } catch (const rtl::EConvertError &) {
    if (fits) std::abort();
    return 0;
  }
  if (!fits) std::abort();
  const workbench::GameRecord again = workbench::GameFromFileBytes(bytes);
  if (!(again == game) || workbench::GameToFileBytes(again) != bytes) std::abort();
  return 0;
}
