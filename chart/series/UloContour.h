// Iso-lines of grid data: the pieces where each cell crosses a level,
// joined into polylines, and the contour series that draws them.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chart/engine/UloPointer.h"
#include "chart/series/UloSurfa.h"

// A point of a contour line in the X-Z plane.
struct TContourPoint {
  double X = 0;
  double Z = 0;
  friend bool operator==(const TContourPoint &, const TContourPoint &) = default;
};
using TContourPolyline = std::deque<TContourPoint>;

// The lines of one level, grown one segment at a time: a segment whose end
// meets the end of a line extends it, and a line whose new end meets
// another line is merged with it.
class TContourLines {
public:
  void AddSegment(const TContourPoint &a, const TContourPoint &b);
  const std::vector<TContourPolyline> &Polylines() const noexcept { return lines_; }
  int Count() const noexcept { return static_cast<int>(lines_.size()); }
  void Clear() noexcept { lines_.clear(); }

  // Ends of two segments meet when |dx| + |dz| rounds to 0 at four decimals.
  static bool Meet(const TContourPoint &a, const TContourPoint &b);

private:
  // Line Index grew at its front (or back): merge it with a line whose
  // end lies within 0.0001 in both coordinates.
  void MergeEnd(size_t index, bool front);
  std::vector<TContourPolyline> lines_;
};

// Receives one segment of level Level.
using TContourSegmentSink = std::function<void(int level, const TContourPoint &a, const TContourPoint &b)>;

// The segments where one grid cell crosses the levels, by splitting the
// cell at its centre into four triangles. The cell spans X0..X1 and
// Z0..Z1; Y holds the values at (X0, Z0), (X1, Z0), (X1, Z1), (X0, Z1).
// Levels need not be in order.
void UloContourCell(double x0, double x1, double z0, double z1, const double y[4], std::span<const double> levels,
                    const TContourSegmentSink &sink);

// ---- the series ------------------------------------------------------------------------------

class TContourSeries;

// One level: its value, colour and own pen, and the lines traced at it in
// the last drawing.
class TContourLevel : public streaming::TPersistent {
public:
  explicit TContourLevel(TContourSeries *series = nullptr);
  ~TContourLevel() override;

  // clDefault: the chart's palette colour of the level's index.
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value);
  // Made on first read, in the level colour.
  TChartPen &Pen();
  TChartPen *ExistingPen() const noexcept { return pen_.get(); }
  // Null frees the pen.
  void SetPen(const TChartPen *value);
  double UpToValue() const noexcept { return upToValue_; }
  void SetUpToValue(double value);

  TContourLines &Lines() noexcept { return lines_; }
  const TContourLines &Lines() const noexcept { return lines_; }
  // The lines of the last drawing in pixels, for the hit test.
  std::vector<std::vector<TPoint>> &DrawnLines() noexcept { return drawn_; }

  void Assign(const TContourLevel &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  friend class TContourLevels;
  void Edited();
  streaming::TPersistent &PenPart();
  TContourSeries *series_;
  TColor color_ = clDefault;
  std::unique_ptr<TChartPen> pen_;
  double upToValue_ = 0;
  TContourLines lines_;
  std::vector<std::vector<TPoint>> drawn_;
  std::unique_ptr<TUloStoredPart> penPart_;
};

class TContourLevels : public streaming::TStoredCollection {
public:
  explicit TContourLevels(TContourSeries *series) : series_(series) {}

  int Count() const noexcept { return static_cast<int>(items_.size()); }
  // Range-checked: null outside the levels.
  TContourLevel *Items(int index) const noexcept;
  TContourLevel &operator[](int index) const { return *items_.at(static_cast<size_t>(index)); }
  TContourLevel &Add();
  // Turns the series' automatic levels off, like any edit of a level.
  void Delete(int index);
  void Clear();
  void Assign(const TContourLevels &source);
  // The first level one of whose drawn lines passes the pixel, or -1.
  int Clicked(int x, int y) const;

  size_t StoredCount() const override { return items_.size(); }
  streaming::TPersistent &StoredItem(size_t index) override { return *items_.at(index); }
  void StoredClear() override { Clear(); }
  streaming::TPersistent &StoredAdd(const std::string &className, streaming::TReadContext &ctx) override;

private:
  TContourSeries *series_;
  std::vector<std::unique_ptr<TContourLevel>> items_;
};

// B-spline smoothing of the drawn lines.
class TSmoothPoints : public streaming::TPersistent {
public:
  explicit TSmoothPoints(TContourSeries *series) : series_(series) {}

  bool Active() const noexcept { return active_; }
  void SetActive(bool value);
  bool Interpolate() const noexcept { return interpolate_; }
  void SetInterpolate(bool value);
  int Factor() const noexcept { return factor_; }

  // The curve through (or near) the pixel points in Factor x N pieces (at
  // most 600), rounded to whole pixels.
  void SmoothPolyline(std::span<const TPoint> points, std::vector<TPoint> &result) const;

  void Assign(const TSmoothPoints &source) { active_ = source.active_; }
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  TContourSeries *series_;
  bool active_ = false;
  bool interpolate_ = false;
  int factor_ = 4;
};

// The level values written along the lines.
class TContourMarks : public streaming::TPersistent {
public:
  explicit TContourMarks(TContourSeries *series) : series_(series) {}

  bool AntiOverlap() const noexcept { return antiOverlap_; }
  void SetAntiOverlap(bool value);
  bool AtSegments() const noexcept { return atSegments_; }
  void SetAtSegments(bool value);
  bool ColorLevel() const noexcept { return colorLevel_; }
  void SetColorLevel(bool value);
  // Of the stretches between a line's points, the first and every
  // Density-th after it carry a mark; at least 1.
  int Density() const noexcept { return density_; }
  void SetDensity(int value);
  // Pixels kept free around a mark's text.
  int Margin() const noexcept { return margin_; }
  void SetMargin(int value);
  // The series' marks' visibility.
  bool Visible() const;
  void SetVisible(bool value);

  void Assign(const TContourMarks &source);
  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  void Changed();
  TContourSeries *series_;
  bool antiOverlap_ = false;
  bool atSegments_ = true;
  bool colorLevel_ = false;
  int density_ = 4;
  int margin_ = 0;
};

using TOnBeforeDrawLevelEvent = std::function<void(TContourSeries *sender, int levelIndex)>;
using TOnGetLevelEvent = std::function<void(TContourSeries *sender, int levelIndex, double &value, TColor &color)>;

class TContourSeries : public TCustom3DGridSeries {
public:
  TContourSeries();
  ~TContourSeries() override;

  // ---- properties
  bool AutomaticLevels() const noexcept { return automaticLevels_; }
  void SetAutomaticLevels(bool value);
  TContourMarks &ContourMarks() noexcept { return *contourMarks_; }
  bool LegendLines() const noexcept { return legendLines_; }
  void SetLegendLines(bool value) { SetAndRepaint(legendLines_, value); }
  TContourLevels &Levels() noexcept { return *levels_; }
  const TContourLevels &Levels() const noexcept { return *levels_; }
  TColor LinesColor() const noexcept { return linesColor_; }
  void SetLinesColor(TColor value) { SetAndRepaint(linesColor_, value); }
  // The levels' count when the levels are not automatic.
  int NumLevels() const noexcept { return automaticLevels_ ? numLevels_ : levels_->Count(); }
  void SetNumLevels(int value);
  TSeriesPointer &Pointer() noexcept { return *pointer_; }
  TSmoothPoints &Smoothing() noexcept { return *smoothing_; }
  // Percent, 0..100, of a filled contour.
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);
  double YPosition() const noexcept { return yPosition_; }
  void SetYPosition(double value) { SetAndRepaint(yPosition_, value); }
  bool YPositionLevel() const noexcept { return yPositionLevel_; }
  void SetYPositionLevel(bool value) { SetAndRepaint(yPositionLevel_, value); }
  TChartHiddenPen &Frame() noexcept { return *frame_; }

  TOnBeforeDrawLevelEvent OnBeforeDrawLevel;
  TOnGetLevelEvent OnGetLevel;

  // ---- levels and lines
  // With automatic levels: NumLevels levels evenly from the smallest to the
  // largest Y.
  void CreateAutoLevels();
  // While the series rewrites its own levels (edits then leave the
  // automatic levels on).
  bool UpdatingLevels() const noexcept { return updatingLevels_; }
  // Called by a level that was edited or destroyed.
  void LevelEdited();
  // Traces the lines of every level (kept until the points or the levels change).
  void CalcContourSegments();
  // How many times the lines were traced.
  int Tracings() const noexcept { return tracings_; }
  // The colour a level draws in (clDefault resolved to the palette).
  TColor LevelColor(int index) const;

  // ---- the series base's operations
  void SetParentChart(TCustomAxisPanel *value) override;
  void PrepareForDraw() override;
  void DrawVisiblePoints() override;
  void DrawPointMarks() override;
  int PointAtPixel(int x, int y) override;
  // In 2D the vertical axis shows Z.
  double MaxY() override;
  double MinY() override;
  int PointPixelY(int index) override;
  void AddRandomWalk(int numValues) override;
  int LegendRowCount() override;
  TColor LegendRowColor(int row) override;
  std::string LegendRowText(int row, TLegendTextStyle textStyle) override;
  void DrawLegendShape(int index, const TRect &rect) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  void PrepareForGallery(bool enabled) override;
  std::string GetEditor() const override { return "TContourSeriesEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TContourSeries"; }

private:
  struct TLevelWork {
    double Value;
    TColor Color;
    TColor LineColor;
    TChartPen *Pen;
  };
  bool LinesStale() const;
  void PrepareLevels();
  void DrawLevels();
  void DrawFilled();
  void DrawFrame();
  // The text written along level Index's lines: its value by ValueFormat,
  // the index or the label of the same index by the marks' style.
  std::string LevelMarkText(int index, double value);
  // Level index of legend row Row, or -1.
  int LegendLevel(int row) const;

  bool automaticLevels_ = true;
  std::unique_ptr<TContourMarks> contourMarks_;
  bool legendLines_ = false;
  std::unique_ptr<TContourLevels> levels_;
  TColor linesColor_ = clBlack;
  int numLevels_ = 10;
  std::unique_ptr<TSeriesPointer> pointer_;
  std::unique_ptr<TSmoothPoints> smoothing_;
  int transparency_ = 0;
  double yPosition_ = 0;
  bool yPositionLevel_ = false;
  bool updatingLevels_ = false;
  bool destroying_ = false;
  std::unique_ptr<TChartHiddenPen> frame_;
  std::vector<TLevelWork> work_;
  // What the lines were traced from.
  std::vector<double> tracedX_, tracedY_, tracedZ_, tracedLevels_;
  int tracedColumns_ = -1, tracedRows_ = -1;
  int tracings_ = 0;
  TUloStoredParts storedParts_;
};
