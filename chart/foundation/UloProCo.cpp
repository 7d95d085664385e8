#include "chart/foundation/UloProCo.h"

#define ULO_TEXT(name, text) std::string name;
#include "chart/foundation/UloProCoTexts.inc"
#undef ULO_TEXT

namespace {

constexpr TUloTextEntry kProConstants[] = {
#define ULO_TEXT(name, text) {&name, text},
#include "chart/foundation/UloProCoTexts.inc"
#undef ULO_TEXT
};

} // namespace

void UloSetProConstants() { UloFillTexts(kProConstants); }

void UloClearProConstants() { UloClearTexts(kProConstants); }

std::span<const TUloTextEntry> UloProConstants() { return kProConstants; }
