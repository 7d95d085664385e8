// Routines the chart engine, the series and the tools share: the default
// colour palette, the date-time label steps with date rounding and
// stepping, hit tests for mouse clicks, a quicksort over callbacks, field
// extraction, character replacement, the legend's check box, and the
// start-up work of this unit (palette, hand cursor, the never-rounded date).
#pragma once

#include <array>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/foundation/UloGeometry.h"
#include "platform/rtl/Colors.h"

namespace forms {
struct CursorImage;
}
namespace gdi {
class DeviceContext;
}

// ---- start-up and shut-down -------------------------------------------------

// Sets the default palette, registers the hand cursor and computes the date
// below which dates are never rounded. Runs once at start-up, after the
// library texts are loaded.
void InitializeUloProcs();
// Empties the palette, removes the hand cursor and clears the field separator.
void FinalizeUloProcs();

// The cursor number of the hand that tools and charts show.
inline constexpr int UloHandCursor = 2020;
// Our own picture of that hand: an open hand, hot spot in the palm.
forms::CursorImage UloHandCursorImage();

// ---- colours ----------------------------------------------------------------

// The palette from which series take automatic colours.
extern std::vector<TColor> UloDefaultPalette;
// The twenty colours the palette starts with.
extern const std::array<TColor, 20> UloDefaultPaletteColors;

// The entry at Index modulo the palette's length, for any Index (negative
// ones count from the end); black while the palette is empty.
TColor UloGetDefaultColor(int index) noexcept;
void UloSetDefaultColorPalette(std::span<const TColor> colors);

// ---- date-time steps ----------------------------------------------------------

// Label steps in days, by index; 20 to 26 are steps of whole months.
extern const std::array<double, 27> UloDateTimeSteps;
// The index UloFindDateTimeStep answers for a value that is no step.
inline constexpr int UloNoDateTimeStep = 27;

// The index whose step is within a microsecond of Value, searched from the
// largest step down; UloNoDateTimeStep when none is.
int UloFindDateTimeStep(double value) noexcept;
// The step after the largest step not above Value; the year step when Value
// is below every step or at least the half-year step.
double UloNextDateTimeStep(double value) noexcept;
// The short date format for steps above one day, else the short time format.
const std::string &UloDateTimeDefaultFormat(double step) noexcept;
// Date moved back to the start of its step (the 15th or 1st for half
// months, the 1st for months, 1 January for years) at midnight. Dates on or
// before 1 January 1900 are returned as they are.
double UloRoundDate(int stepIndex, double date);
// Value moved one step up (Increment) or down. With Exact and a month-based
// step the move follows the calendar and lands at midnight; otherwise Step
// is added or taken off. A year step from 29 February lands on 28 February.
void UloIncDecDateTime(bool exact, bool increment, double &value, int stepIndex, double step);

// ---- hit tests ----------------------------------------------------------------

// Euclidean distance from P to the segment A-B.
double PointToSegmentDistance(const TPoint &p, const TPoint &a, const TPoint &b) noexcept;
// P is on the segment (X0,Y0)-(X1,Y1): an end point exactly, or no further
// from the segment than Tolerance + 1 pixels.
bool PointInLine(const TPoint &p, int x0, int y0, int tolerance, int x1, int y1) noexcept;
bool PointInLineP(const TPoint &p, const TPoint &a, const TPoint &b, int tolerance) noexcept;
bool PointInLineXY(const TPoint &p, int x0, int y0, int x1, int y1) noexcept;
bool PointInLinePExact(const TPoint &p, const TPoint &a, const TPoint &b) noexcept;
// Crossing-number test: a point on a left or top edge is inside, on a
// right or bottom edge outside. No points: false.
bool PointInPolygon(const TPoint &p, std::span<const TPoint> points) noexcept;
// The upright triangle with its base from (X0,Y1) to (X1,Y1) and its apex in
// the middle of the top edge at Y0. Note the argument order.
bool PointInTriangle(const TPoint &p, int x0, int x1, int y0, int y1) noexcept;
// Inside or on the ellipse of Rect; a flat ellipse has no inside.
bool PointInEllipse(const TPoint &p, const TRect &rect) noexcept;

// ---- other ----------------------------------------------------------------------

using TUloCompareProc = std::function<int(int a, int b)>;
using TUloSwapProc = std::function<void(int a, int b)>;

// Sorts the index range Lo..Hi through the two callbacks: Compare answers
// below, at or above zero, Swap exchanges two items. Not stable.
void UloSort(int lo, int hi, const TUloCompareProc &compare, const TUloSwapProc &swap);

// The text between fields of UloExtractField; ";" after start-up.
extern std::string UloFieldSeparator;
// The Index-th field (from 1) of Text; an Index past the last field gives
// the last field, an Index below 1 or an empty Text the empty text.
std::string UloExtractField(std::string_view text, int index);
std::string UloExtractField(std::string_view text, int index, std::string_view separator);

// Every Old replaced by New; a New of character 0 deletes every Old.
std::string ReplaceChar(std::string_view text, char oldChar, char newChar);

std::string UloStr(int value);

// A 13 x 13 check box (or radio button when IsCheckBox is false) at X, Y.
void UloDrawCheckBox(int x, int y, gdi::DeviceContext &canvas, bool isCheckBox, bool checked);
