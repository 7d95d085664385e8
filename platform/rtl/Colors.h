// Colours: 32 bits in the blue-green-red layout (red in the low byte).
// Values with the top bit set name system colours; the drawing layer
// resolves them to real colours before any arithmetic.
#pragma once

#include <cstdint>

using TColor = int32_t;

constexpr TColor RGBColor(int r, int g, int b) noexcept {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) noexcept { return c & 0xFF; }
constexpr int GetGValue(TColor c) noexcept { return (c >> 8) & 0xFF; }
constexpr int GetBValue(TColor c) noexcept { return (c >> 16) & 0xFF; }
constexpr bool IsSystemColor(TColor c) noexcept { return c < 0; }

// No colour: marks a null point, which is not drawn.
constexpr TColor clNone = 0x1FFFFFFF;
// The automatic series or palette colour.
constexpr TColor clDefault = 0x20000000;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;
constexpr TColor clDkGray = clGray;
constexpr TColor clLtGray = clSilver;

// System colours: 0x80000000 | the system's colour index.
constexpr TColor SystemColor(int index) noexcept { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clActiveBorder = SystemColor(10);
constexpr TColor clInactiveBorder = SystemColor(11);
constexpr TColor clAppWorkSpace = SystemColor(12);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);

// The fixed light scheme our platform uses for the system colours, so that
// drawings are the same on every machine. Index out of range gives black.
TColor SystemColorValue(int index) noexcept;

// A real colour for any TColor: system colours resolved, others unchanged.
inline TColor ColorToRGB(TColor c) noexcept { return IsSystemColor(c) ? SystemColorValue(c & 0xFF) : c; }
