// The texts of the series, function and tool galleries, of the chart and
// series editors and of further messages of the chart library. Registration
// of series and tools stores the text it is given, so UloSetProConstants
// must run before any series, function or tool unit registers its classes.
#pragma once

#include "chart/foundation/UloConst.h"

#include <span>
#include <string>

#define ULO_TEXT(name, text) extern std::string name;
#include "chart/foundation/UloProCoTexts.inc"
#undef ULO_TEXT

// Fills every variable, in table order.
void UloSetProConstants();
// Empties every variable, in reverse table order.
void UloClearProConstants();

// The table in fill order.
std::span<const TUloTextEntry> UloProConstants();
