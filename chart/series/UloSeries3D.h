// The two bases of every 3D series: a third value list bound to the depth
// axis, and colouring of points by their Y value through a continuous
// colour range or a stepped palette.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chart/engine/UloSeries.h"
#include "chart/engine/UloValueList.h"
#include "platform/rtl/Colors.h"

enum class TUloPaletteStyle : uint8_t { psPale, psStrong, psGrayScale, psInvGray, psRainbow, psCustom };

// One step of a stepped palette: values below UpToValue take Color.
struct TUloPaletteEntry {
  double UpToValue = 0;
  TColor Color = clBlack;
  friend bool operator==(const TUloPaletteEntry &, const TUloPaletteEntry &) = default;
};
using TUloPalette = std::vector<TUloPaletteEntry>;

// The last word on a point's colour.
using TChartSurfaceGetColor = std::function<void(TChartSeries *sender, int valueIndex, TColor &color)>;

// The "CustomPalette" block: int32 count, then per entry a float64 value
// and a uint32 colour, little-endian. Reading refuses a count that is
// negative or does not match the bytes (ChartException).
std::vector<uint8_t> UloWriteCustomPalette(const TUloPalette &palette);
TUloPalette UloReadCustomPalette(std::span<const uint8_t> bytes);

// ---- points with X, Y and Z ---------------------------------------------------

class TCustom3DSeries : public TChartSeries {
public:
  TCustom3DSeries();
  ~TCustom3DSeries() override;

  // ---- properties
  TChartValueList &ZValues() noexcept { return *zValues_; }
  const TChartValueList &ZValues() const noexcept { return *zValues_; }
  void SetZValues(const TChartValueList &value);
  int TimesZOrder() const noexcept { return timesZOrder_; }
  void SetTimesZOrder(int value);

  // ---- points
  // Z as the pending value of ZValues, then AddPointXY with no label and
  // no colour; returns the new index, or -1 when OnBeforeAdd vetoed it.
  int AddPointXYZ(double x, double y, double z);
  virtual int AddPointXYZLabelColor(double x, double y, double z, const std::string &label, TColor color);

  // The depth axis' pixel depth of point ValueIndex.
  int CalcZPos(int valueIndex);
  // Whether cells are drawn from the front row backwards at the chart's
  // current rotation.
  bool DrawCellsForward();

  // ---- the series base's operations
  double MaxZ() override;
  double MinZ() override;
  TChartValueList *ValueListOfAxis(TChartAxis *axis) override;
  bool IsOnAxis(TChartAxis *axis) override;
  // A 3D series owns its depth slots; it never shares one.
  bool CanShareZOrder() const override { return false; }
  void TakeZOrder() override;
  void DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) override;
  void AdjustLegendSymbolBrush(int index, TColor &backColor, TBrushStyle &brushStyle) override;
  // Points are copied only from another 3D series.
  bool IsValidSourceOf(streaming::TStoredComponent *component) const override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustom3DSeries"; }

protected:
  bool IsDepthAxis(const TChartAxis *axis) const;

private:
  TChartValueList *zValues_ = nullptr; // owned by the series' value lists
  int timesZOrder_ = 3;
};

// ---- colouring by Y ------------------------------------------------------------

class TCustom3DPaletteSeries : public TCustom3DSeries {
public:
  TCustom3DPaletteSeries();
  ~TCustom3DPaletteSeries() override;

  // ---- properties
  TColor EndColor() const noexcept { return endColor_; }
  TColor MidColor() const noexcept { return midColor_; }
  TColor StartColor() const noexcept { return startColor_; }
  int LegendEvery() const noexcept { return legendEvery_; }
  double PaletteMin() const noexcept { return paletteMin_; }
  double PaletteStep() const noexcept { return paletteStep_; }
  int PaletteSteps() const noexcept { return paletteSteps_; }
  TUloPaletteStyle PaletteStyle() const noexcept { return paletteStyle_; }
  bool UseColorRange() const noexcept { return useColorRange_; }
  bool UsePalette() const noexcept { return usePalette_; }
  bool UsePaletteMin() const noexcept { return usePaletteMin_; }
  void SetEndColor(TColor value);
  void SetMidColor(TColor value);
  void SetStartColor(TColor value);
  // Stores Max(1, Value).
  void SetLegendEvery(int value);
  // These four rebuild the palette at once.
  void SetPaletteMin(double value);
  void SetPaletteStep(double value);
  // Below 0 counts as 0.
  void SetPaletteSteps(int value);
  void SetUsePaletteMin(bool value);
  // Empties the palette unless the new style is psCustom.
  void SetPaletteStyle(TUloPaletteStyle value);
  void SetUseColorRange(bool value);
  void SetUsePalette(bool value);

  TChartSurfaceGetColor OnGetColor;

  // ---- the palette
  const TUloPalette &Palette() const noexcept { return palette_; }
  // The whole palette at once (a stored custom palette).
  void SetPalette(TUloPalette value);
  int AddPalette(double value, TColor color);
  void ClearPalette();
  // Steps 0 means PaletteSteps.
  void CreateDefaultPalette(int steps = 0);
  void ApplyCustomPalette(std::span<const TColor> colors);
  TColor GetPaletteColor(double value) const;
  TColor GetValueColorValue(double value);
  TColor RangePercentColor(double percent) const;
  void CalcColorRange();
  void CalcInvRange();
  void RecolorPaletteFromRange();

  // ---- gallery
  void SetGalleryView(bool flag);
  void ChooseGalleryPalette();
  void PrepareForGallery(bool enabled) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  std::string GetEditor() const override { return "TGrid3DSeriesEditor"; }

  // ---- the series base's operations
  TColor PointColor(int index) override;
  void PrepareForDraw() override;
  void ClearPoints() override;
  void CopyAllPointsFrom(TChartSeries &source) override;
  // While the palette shows in the legend: its rows, every LegendEvery-th
  // entry from the highest value down.
  int LegendRowCount() override;
  TColor LegendRowColor(int row) override;
  std::string LegendRowText(int row, TLegendTextStyle textStyle) override;
  void DrawLegendShape(int index, const TRect &rect) override;
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustom3DPaletteSeries"; }

private:
  bool LegendShowsPalette() const;
  int LegendPaletteIndex(int row) const;

  TColor endColor_ = clWhite;
  TColor midColor_ = clNone;
  TUloPalette palette_;
  int legendEvery_ = 1;
  double paletteMin_ = 0;
  double paletteStep_ = 0;
  int paletteSteps_ = 32;
  TUloPaletteStyle paletteStyle_ = TUloPaletteStyle::psPale;
  TColor startColor_ = clNavy;
  bool useColorRange_ = true;
  bool usePalette_ = false;
  bool usePaletteMin_ = false;
  // The range's components: End, Mid, and the differences of each half.
  int endR_ = 0, endG_ = 0, endB_ = 0;
  int midR_ = 0, midG_ = 0, midB_ = 0;
  int d1R_ = 0, d1G_ = 0, d1B_ = 0;
  int d2R_ = 0, d2G_ = 0, d2B_ = 0;
  double invRange_ = 0;
  static constexpr double kStyleDivisors[3] = {2.0, 1.0, 1.0};
};
