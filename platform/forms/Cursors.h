// The application's cursor table. A cursor is a number: the negative ones
// are the system shapes every control knows; positive numbers are images
// the program registers at start-up (and removes at shut-down). Controls
// and the screen refer to cursors only by number.
#pragma once

#include <cstdint>
#include <vector>

namespace forms {

// System cursor numbers.
inline constexpr int kCursorDefault = 0;
inline constexpr int kCursorNone = -1;
inline constexpr int kCursorArrow = -2;
inline constexpr int kCursorCross = -3;
inline constexpr int kCursorIBeam = -4;
inline constexpr int kCursorSizeNESW = -6;
inline constexpr int kCursorSizeNS = -7;
inline constexpr int kCursorSizeNWSE = -8;
inline constexpr int kCursorSizeWE = -9;
inline constexpr int kCursorBusy = -11;
inline constexpr int kCursorHSplit = -14;
inline constexpr int kCursorVSplit = -15;
inline constexpr int kCursorNo = -18;
inline constexpr int kCursorHandPoint = -21;
inline constexpr int kCursorSizeAll = -22;

// A cursor picture: width * height pixels, row by row, 0xAARRGGBB each,
// and the hot spot inside the picture.
struct CursorImage {
  int width = 0, height = 0, hotX = 0, hotY = 0;
  std::vector<uint32_t> argb;
};

// Registers (or replaces) the picture under a positive number. Raises
// rtl::Exception for a non-positive number or a malformed picture.
void SetCursorImage(int number, CursorImage image);
// Removes a registered picture; controls showing it fall back to the default.
void ClearCursorImage(int number);
// True for the system numbers and for registered pictures.
bool HasCursor(int number);

// The screen cursor overrides every control's cursor while it is not
// kCursorDefault (the busy cursor during a computation, a drag's cursor).
int ScreenCursor();
void SetScreenCursor(int number);

// Sets the screen cursor for a scope and restores the one before.
class TScreenCursorScope {
public:
  explicit TScreenCursorScope(int number);
  ~TScreenCursorScope();
  TScreenCursorScope(const TScreenCursorScope &) = delete;
  TScreenCursorScope &operator=(const TScreenCursorScope &) = delete;

private:
  int saved_;
};

} // namespace forms
