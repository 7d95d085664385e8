// The sixteen built-in colour palettes of a chart and the operations that
// install one: series with automatic colours take their colours from the
// chart's palette, the default colours when it is empty.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "platform/rtl/Colors.h"

// Number of built-in palettes; index 0 is the default colours.
inline constexpr int UloPaletteCount = 16;

// The colours of built-in palette index (empty for 0 and for any index
// outside 0..15), as 0xBBGGRR values.
std::span<const TColor> UloPaletteColors(int index) noexcept;

// The 25-colour "Rainbow" table; the 3D series' rainbow palette style
// uses it too.
std::span<const TColor> UloRainbowPalette() noexcept;

// The names of the built-in palettes in index order, from "Ulovenda" (0)
// to "Cool" (15). One instance exists between the engine's start and stop.
class TColorPalettes {
public:
  TColorPalettes();

  int Count() const noexcept { return static_cast<int>(names_.size()); }
  const std::string &Strings(int index) const { return names_.at(static_cast<size_t>(index)); }
  int IndexOf(const std::string &name) const;

  // Index 1..15 installs that palette on the chart; 0 or any index outside
  // 0..15 clears the chart's palette. A chart control keeps the index it
  // was given (16 or -1 included) as its ColorPaletteIndex. Then the chart
  // repaints.
  static void ApplyPalette(TCustomAxisPanel &chart, int index);

private:
  std::vector<std::string> names_;
};

// The palette names, or null outside the engine's start and stop.
TColorPalettes *UloColorPalettes() noexcept;
// Made by the engine's start (filled from the palette name texts), freed by its stop.
void UloCreateColorPalettes();
void UloFreeColorPalettes() noexcept;

// Replaces the chart's palette by a copy of colours (empty clears it),
// then gives every series with an automatic colour a free colour of the
// new palette, in series order: the first series with an automatic colour
// takes the first palette colour no series has yet, and so on.
void UloSetColorPalette(TCustomAxisPanel &chart, std::span<const TColor> colours);
