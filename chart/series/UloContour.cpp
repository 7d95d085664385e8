#include "chart/series/UloContour.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "chart/series/UloIsoSurface.h"
#include "chart/series/UloSpline.h"
#include "platform/rtl/FormatFloat.h"
#include "platform/rtl/Numbers.h"

// ---- joining segments into lines -------------------------------------------------------------

bool TContourLines::Meet(const TContourPoint &a, const TContourPoint &b) {
  // Halves go to the even neighbour: a distance of exactly 0.5 still meets.
  return rtl::RoundHalfEven((std::fabs(a.X - b.X) + std::fabs(a.Z - b.Z)) * 10000) == 0;
}

namespace {

bool Close(const TContourPoint &a, const TContourPoint &b) {
  return std::fabs(a.X - b.X) <= 0.0001 && std::fabs(a.Z - b.Z) <= 0.0001;
}

} // namespace

void TContourLines::AddSegment(const TContourPoint &a, const TContourPoint &b) {
  for (size_t i = 0; i < lines_.size(); ++i) {
    TContourPolyline &line = lines_[i];
    if (Meet(a, line.front())) {
      line.push_front(b);
      MergeEnd(i, true);
      return;
    }
    if (Meet(b, line.front())) {
      line.push_front(a);
      MergeEnd(i, true);
      return;
    }
    if (Meet(a, line.back())) {
      line.push_back(b);
      MergeEnd(i, false);
      return;
    }
    if (Meet(b, line.back())) {
      line.push_back(a);
      MergeEnd(i, false);
      return;
    }
  }
  lines_.push_back(TContourPolyline{a, b});
}

void TContourLines::MergeEnd(size_t index, bool front) {
  if (lines_.size() < 2) return;
  const TContourPoint end = front ? lines_[index].front() : lines_[index].back();
  for (size_t j = 0; j < lines_.size(); ++j) {
    if (j == index) continue;
    TContourPolyline &other = lines_[j];
    const bool atFront = Close(end, other.front());
    if (!atFront && !Close(end, other.back())) continue;
    TContourPolyline &line = lines_[index];
    // The meeting point is kept once.
    if (front) {
      // Other runs into this line's front: its far end leads.
      if (atFront)
        for (auto it = other.begin() + 1; it != other.end(); ++it)
          line.push_front(*it);
      else
        for (auto it = other.rbegin() + 1; it != other.rend(); ++it)
          line.push_front(*it);
    } else {
      if (atFront)
        for (auto it = other.begin() + 1; it != other.end(); ++it)
          line.push_back(*it);
      else
        for (auto it = other.rbegin() + 1; it != other.rend(); ++it)
          line.push_back(*it);
    }
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(j));
    return;
  }
}

// ---- one cell ------------------------------------------------------------------------------------

namespace {

// What each of the cell's four triangles holds for the signs of its
// corner, the centre and the next corner (each -1, 0, +1, shifted to 0..2).
constexpr int kCases[3][3][3] = {
    {{0, 0, 8}, {0, 2, 5}, {7, 6, 9}}, {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}}, {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

} // namespace

void UloContourCell(double x0, double x1, double z0, double z1, const double y[4], std::span<const double> levels,
                    const TContourSegmentSink &sink) {
  if (levels.empty()) return;
  const double dmin = std::min({y[0], y[1], y[2], y[3]}), dmax = std::max({y[0], y[1], y[2], y[3]});
  const auto [lo, hi] = std::minmax_element(levels.begin(), levels.end());
  if (dmax < *lo || dmin > *hi) return;
  // Vertex 0 is the centre, 1..4 the corners counter-clockwise from (X0, Z0).
  const double xs[5] = {(x0 + x1) * 0.5, x0, x1, x1, x0};
  const double zs[5] = {(z0 + z1) * 0.5, z0, z0, z1, z1};
  const double ys[5] = {0.25 * (y[0] + y[1] + y[2] + y[3]), y[0], y[1], y[2], y[3]};
  double h[5];
  int s[5];
  for (size_t k = 0; k < levels.size(); ++k) {
    const double level = levels[k];
    if (level < dmin || level > dmax) continue;
    for (int m = 0; m < 5; ++m) {
      h[m] = ys[m] - level;
      s[m] = h[m] > 0 ? 1 : (h[m] < 0 ? -1 : 0);
    }
    auto vertex = [&](int p) { return TContourPoint{xs[p], zs[p]}; };
    auto side = [&](int p, int q) {
      return TContourPoint{(h[q] * xs[p] - h[p] * xs[q]) / (h[q] - h[p]),
                           (h[q] * zs[p] - h[p] * zs[q]) / (h[q] - h[p])};
    };
    for (int m = 1; m <= 4; ++m) {
      const int m1 = m, m2 = 0, m3 = m == 4 ? 1 : m + 1;
      TContourPoint a, b;
      switch (kCases[s[m1] + 1][s[m2] + 1][s[m3] + 1]) {
      case 1:
        a = vertex(m1), b = vertex(m2);
        break;
      case 2:
        a = vertex(m2), b = vertex(m3);
        break;
      case 3:
        a = vertex(m3), b = vertex(m1);
        break;
      case 4:
        a = vertex(m1), b = side(m2, m3);
        break;
      case 5:
        a = vertex(m2), b = side(m3, m1);
        break;
      case 6:
        a = vertex(m3), b = side(m1, m2);
        break;
      case 7:
        a = side(m1, m2), b = side(m2, m3);
        break;
      case 8:
        a = side(m2, m3), b = side(m3, m1);
        break;
      case 9:
        a = side(m3, m1), b = side(m1, m2);
        break;
      default:
        continue;
      }
      sink(static_cast<int>(k), a, b);
    }
  }
}

// ---- levels ------------------------------------------------------------------------------------

TContourLevel::TContourLevel(TContourSeries *series) : series_(series) {}

TContourLevel::~TContourLevel() { Edited(); }

void TContourLevel::Edited() {
  if (series_) series_->LevelEdited();
}

void TContourLevel::SetColor(TColor value) {
  if (pen_) pen_->SetColor(value);
  if (!UloStoreIfChanged(color_, value)) return;
  Edited();
  if (series_) series_->Repaint();
}

TChartPen &TContourLevel::Pen() {
  if (!pen_) {
    pen_ = std::make_unique<TChartPen>([this] {
      if (series_) series_->Repaint();
    });
    pen_->SetColor(color_);
  }
  return *pen_;
}

void TContourLevel::SetPen(const TChartPen *value) {
  if (!value) {
    if (!pen_) return;
    pen_.reset();
    if (series_) series_->Repaint();
    return;
  }
  if (value != pen_.get()) Pen().Assign(*value);
}

void TContourLevel::SetUpToValue(double value) {
  if (!UloStoreIfChanged(upToValue_, value)) return;
  Edited();
  if (series_) series_->Repaint();
}

void TContourLevel::Assign(const TContourLevel &source) {
  color_ = source.color_;
  upToValue_ = source.upToValue_;
  SetPen(source.pen_.get());
}

void TContourLevel::DefineProperties(streaming::TPropertyTable &table) {
  table.Color(
      "Color", [this] { return color_; }, [this](TColor c) { SetColor(c); }, clDefault);
  // Reading the pen's keys makes the pen; it is written while it exists.
  table.Object("Pen", [this]() -> streaming::TPersistent * { return &PenPart(); }).StoredWhen([this] {
    return pen_ != nullptr;
  });
  table.Property(
      "UpToValue", [this] { return upToValue_; }, [this](double v) { SetUpToValue(v); });
}

streaming::TPersistent &TContourLevel::PenPart() {
  if (!penPart_)
    penPart_ = std::make_unique<TUloStoredPart>([this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); });
  return *penPart_;
}

TContourLevel *TContourLevels::Items(int index) const noexcept {
  if (index < 0 || index >= Count()) return nullptr;
  return items_[static_cast<size_t>(index)].get();
}

TContourLevel &TContourLevels::Add() {
  items_.push_back(std::make_unique<TContourLevel>(series_));
  return *items_.back();
}

void TContourLevels::Delete(int index) {
  if (index < 0 || index >= Count()) return;
  items_.erase(items_.begin() + index);
}

void TContourLevels::Clear() { items_.clear(); }

void TContourLevels::Assign(const TContourLevels &source) {
  Clear();
  for (const auto &l : source.items_)
    Add().Assign(*l);
}

int TContourLevels::Clicked(int x, int y) const {
  const TPoint p{x, y};
  for (int i = 0; i < Count(); ++i)
    for (const auto &line : items_[static_cast<size_t>(i)]->DrawnLines())
      for (size_t k = 1; k < line.size(); ++k)
        if (PointInLineP(p, line[k - 1], line[k], 3)) return i;
  return -1;
}

streaming::TPersistent &TContourLevels::StoredAdd(const std::string &, streaming::TReadContext &) { return Add(); }

// ---- smoothing and marks ------------------------------------------------------------------

void TSmoothPoints::SetActive(bool value) {
  if (UloStoreIfChanged(active_, value) && series_) series_->Repaint();
}

void TSmoothPoints::SetInterpolate(bool value) {
  if (UloStoreIfChanged(interpolate_, value) && series_) series_->Repaint();
}

void TSmoothPoints::SmoothPolyline(std::span<const TPoint> points, std::vector<TPoint> &result) const {
  result.clear();
  if (points.size() < 2) {
    result.assign(points.begin(), points.end());
    return;
  }
  TBSpline spline;
  for (const TPoint &p : points)
    spline.AddPoint(p.X, p.Y);
  spline.SetInterpolated(interpolate_);
  spline.SetFragments(static_cast<int>(std::min<size_t>(static_cast<size_t>(factor_) * points.size(), 600)));
  const int fragments = spline.Fragments();
  result.reserve(static_cast<size_t>(fragments) + 1);
  for (int i = 0; i <= fragments; ++i) {
    TBSplinePoint q = spline.Value(static_cast<double>(i) / fragments);
    result.push_back(TPoint{rtl::RoundPixel(q.X), rtl::RoundPixel(q.Y)});
  }
}

void TSmoothPoints::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("Active", this, &TSmoothPoints::Active, &TSmoothPoints::SetActive, false);
  table.Property("Interpolate", this, &TSmoothPoints::Interpolate, &TSmoothPoints::SetInterpolate, false);
}

void TContourMarks::Changed() {
  if (series_) series_->Repaint();
}

void TContourMarks::SetAntiOverlap(bool value) {
  if (UloStoreIfChanged(antiOverlap_, value)) Changed();
}
void TContourMarks::SetAtSegments(bool value) {
  if (UloStoreIfChanged(atSegments_, value)) Changed();
}
void TContourMarks::SetColorLevel(bool value) {
  if (UloStoreIfChanged(colorLevel_, value)) Changed();
}
void TContourMarks::SetDensity(int value) {
  if (UloStoreIfChanged(density_, std::max(1, value))) Changed();
}
void TContourMarks::SetMargin(int value) {
  if (UloStoreIfChanged(margin_, value)) Changed();
}
bool TContourMarks::Visible() const { return series_ && series_->Marks().Visible(); }
void TContourMarks::SetVisible(bool value) {
  if (series_) series_->Marks().SetVisible(value);
}

void TContourMarks::Assign(const TContourMarks &source) {
  antiOverlap_ = source.antiOverlap_;
  atSegments_ = source.atSegments_;
  colorLevel_ = source.colorLevel_;
  density_ = source.density_;
  margin_ = source.margin_;
}

void TContourMarks::DefineProperties(streaming::TPropertyTable &table) {
  table.Property("AntiOverlap", this, &TContourMarks::AntiOverlap, &TContourMarks::SetAntiOverlap, false);
  table.Property("AtSegments", this, &TContourMarks::AtSegments, &TContourMarks::SetAtSegments, true);
  table.Property("ColorLevel", this, &TContourMarks::ColorLevel, &TContourMarks::SetColorLevel, false);
  table.Property("Density", this, &TContourMarks::Density, &TContourMarks::SetDensity, 4);
  table.Property("Margin", this, &TContourMarks::Margin, &TContourMarks::SetMargin, 0);
  // Visible is the series' Marks.Visible, stored there.
}

// ---- the series -------------------------------------------------------------------------------

namespace {

// The markers of a contour start hidden, pen and all, and are stored
// against that.
class TContourPointer : public TSeriesPointer {
public:
  explicit TContourPointer(TChartSeries *series) : TSeriesPointer(series) {
    SetVisible(false);
    Pen().SetVisible(false);
  }
  void DefineProperties(streaming::TPropertyTable &table) override {
    TSeriesPointer::DefineProperties(table);
    table.Object("Pen", parts_.Get("Pen", [this](streaming::TPropertyTable &t) {
      DefineChartPen(t, Pen());
      t.Property(
          "Visible", [this] { return Pen().Visible(); }, [this](bool v) { Pen().SetVisible(v); }, false);
    }));
    table.Property(
        "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); }, false);
  }

private:
  TUloStoredParts parts_;
};

} // namespace

TContourSeries::TContourSeries()
    : contourMarks_(std::make_unique<TContourMarks>(this)), levels_(std::make_unique<TContourLevels>(this)),
      pointer_(std::make_unique<TContourPointer>(this)), smoothing_(std::make_unique<TSmoothPoints>(this)),
      frame_(std::make_unique<TChartHiddenPen>([this] { Repaint(); })) {
  Brush().SetStyle(TBrushStyle::bsClear);
  SetColorEachPoint(true);
  Marks().SetTransparent(true);
}

TContourSeries::~TContourSeries() {
  destroying_ = true;
  levels_->Clear();
}

void TContourSeries::SetParentChart(TCustomAxisPanel *value) {
  TCustom3DGridSeries::SetParentChart(value);
  pointer_->SetParent(value);
}

void TContourSeries::SetAutomaticLevels(bool value) { SetAndRepaint(automaticLevels_, value); }

void TContourSeries::LevelEdited() {
  // The series' own rewriting, a definition being read and the series
  // going away are no edits by the user.
  if (updatingLevels_ || destroying_ || Loading()) return;
  automaticLevels_ = false;
}

void TContourSeries::SetNumLevels(int value) {
  if (!UloStoreIfChanged(numLevels_, value)) return;
  // A definition being read brings the levels as they were last made; the
  // next drawing brings them up to date.
  if (automaticLevels_ && !Loading()) {
    updatingLevels_ = true;
    levels_->Clear();
    updatingLevels_ = false;
  }
  Repaint();
}

void TContourSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }

namespace {

// Restores a flag and the chart's AutoRepaint when the work ends, however
// it ends.
class TLevelUpdate {
public:
  TLevelUpdate(bool &flag, TCustomAxisPanel *chart) : flag_(flag), chart_(chart) {
    flag_ = true;
    if (chart_) {
      autoRepaint_ = chart_->AutoRepaint();
      chart_->SetAutoRepaint(false);
    }
  }
  ~TLevelUpdate() {
    flag_ = false;
    if (chart_) chart_->SetAutoRepaint(autoRepaint_);
  }

private:
  bool &flag_;
  TCustomAxisPanel *chart_;
  bool autoRepaint_ = false;
};

} // namespace

void TContourSeries::CreateAutoLevels() {
  if (!automaticLevels_ || numLevels_ < 1) return;
  TLevelUpdate update(updatingLevels_, ParentChart());
  if (levels_->Count() != numLevels_) levels_->Clear();
  const double lo = PointCount() > 0 ? YValues()->MinValue() : 0;
  const double hi = PointCount() > 0 ? YValues()->MaxValue() : 0;
  const double step = (hi - lo) / std::max(1, numLevels_ - 1);
  for (int i = 0; i < numLevels_; ++i) {
    double value = lo + i * step;
    TColor color;
    if (!ColorEachPoint())
      color = GetValueColorValue(value);
    else
      color = i < PointCount() && GetValueColorEntry(i) != clDefault ? PointColor(i) : clDefault;
    TContourLevel *level = levels_->Items(i);
    if (!level) {
      level = &levels_->Add();
    } else if (level->ExistingPen()) {
      color = level->ExistingPen()->Color();
    }
    if (OnGetLevel) OnGetLevel(this, i, value, color);
    level->SetColor(color);
    level->SetUpToValue(value);
  }
}

void TContourSeries::PrepareForDraw() {
  TCustom3DGridSeries::PrepareForDraw();
  if (!updatingLevels_) CreateAutoLevels();
}

std::string TContourSeries::LevelMarkText(int index, double value) {
  switch (Marks().Style()) {
  case TSeriesMarksStyle::smsPointIndex:
    return std::to_string(index);
  case TSeriesMarksStyle::smsLabel:
    if (index < PointCount() && !Label(index).empty()) return Label(index);
    break;
  default:
    break;
  }
  return rtl::FormatFloat(ValueFormat(), value);
}

TColor TContourSeries::LevelColor(int index) const {
  const TContourLevel *level = levels_->Items(index);
  if (!level) return clNone;
  TColor c = level->Color();
  if (c != clDefault) return c;
  if (TCustomAxisPanel *chart = ParentChart()) return chart->PaletteColor(index);
  return UloGetDefaultColor(index);
}

bool TContourSeries::LinesStale() const {
  const int n = PointCount();
  if (tracings_ == 0 || tracedColumns_ != NumXValues() || tracedRows_ != NumZValues()) return true;
  if (static_cast<size_t>(n) != tracedX_.size() || static_cast<size_t>(levels_->Count()) != tracedLevels_.size())
    return true;
  for (int i = 0; i < levels_->Count(); ++i)
    if ((*levels_)[i].UpToValue() != tracedLevels_[static_cast<size_t>(i)]) return true;
  if (n == 0) return false;
  const size_t bytes = static_cast<size_t>(n) * sizeof(double);
  return std::memcmp(XValues()->Values(), tracedX_.data(), bytes) != 0 ||
         std::memcmp(YValues()->Values(), tracedY_.data(), bytes) != 0 ||
         std::memcmp(ZValues().Values(), tracedZ_.data(), bytes) != 0;
}

void TContourSeries::CalcContourSegments() {
  if (!LinesStale()) return;
  const int n = PointCount();
  tracedX_.assign(XValues()->Values(), XValues()->Values() + n);
  tracedY_.assign(YValues()->Values(), YValues()->Values() + n);
  tracedZ_.assign(ZValues().Values(), ZValues().Values() + n);
  tracedLevels_.clear();
  for (int i = 0; i < levels_->Count(); ++i) {
    tracedLevels_.push_back((*levels_)[i].UpToValue());
    (*levels_)[i].Lines().Clear();
  }
  tracedColumns_ = NumXValues();
  tracedRows_ = NumZValues();
  ++tracings_;
  if (tracedLevels_.empty()) return;
  SetCellSteps(1, 1);
  const double *xs = tracedX_.data(), *ys = tracedY_.data(), *zs = tracedZ_.data();
  auto sink = [this](int level, const TContourPoint &a, const TContourPoint &b) {
    (*levels_)[level].Lines().AddSegment(a, b);
  };
  for (int z = 1; z < NumZValues(); ++z)
    for (int x = 1; x < NumXValues(); ++x) {
      if (!GetCellIndexes(x, z)) continue;
      const int c0 = CornerIndex(0), c1 = CornerIndex(1), c2 = CornerIndex(2), c3 = CornerIndex(3);
      const double y[4] = {ys[c0], ys[c1], ys[c2], ys[c3]};
      UloContourCell(xs[c0], xs[c1], zs[c0], zs[c3], y, tracedLevels_, sink);
    }
}

void TContourSeries::PrepareLevels() {
  work_.clear();
  const bool filled = Brush().Style() != TBrushStyle::bsClear;
  for (int i = 0; i < levels_->Count(); ++i) {
    TContourLevel &level = (*levels_)[i];
    const TColor color = LevelColor(i);
    level.DrawnLines().clear();
    TChartPen *pen = level.ExistingPen() ? level.ExistingPen() : &Pen();
    work_.push_back(
        TLevelWork{level.UpToValue(), color, filled && linesColor_ != clDefault ? linesColor_ : color, pen});
  }
}

void TContourSeries::DrawVisiblePoints() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || PointCount() == 0 || levels_->Count() == 0 || !GetHorizAxis() || !GetVertAxis()) return;
  PrepareLevels();
  CalcContourSegments();
  DrawLevels();
  if (frame_->Visible()) DrawFrame();
  work_.clear();
}

namespace {

// A mark's box turned with the line: its four corners.
struct TMarkBox {
  TPoint Corners[4];
  TRect Bounds;
};

TMarkBox MarkBox(const TPoint &centre, int width, int height, double angle, int margin) {
  const double a = angle * std::numbers::pi / 180.0, c = std::cos(a), s = std::sin(a);
  const double hw = width * 0.5 + margin, hh = height * 0.5 + margin;
  TMarkBox box;
  const double dx[4] = {-hw, hw, hw, -hw}, dy[4] = {-hh, -hh, hh, hh};
  for (int k = 0; k < 4; ++k)
    box.Corners[k] =
        TPoint{rtl::RoundPixel(centre.X + dx[k] * c + dy[k] * s), rtl::RoundPixel(centre.Y - dx[k] * s + dy[k] * c)};
  box.Bounds = TRect{box.Corners[0].X, box.Corners[0].Y, box.Corners[0].X, box.Corners[0].Y};
  for (const TPoint &p : box.Corners) {
    box.Bounds.Left = std::min(box.Bounds.Left, p.X);
    box.Bounds.Top = std::min(box.Bounds.Top, p.Y);
    box.Bounds.Right = std::max(box.Bounds.Right, p.X);
    box.Bounds.Bottom = std::max(box.Bounds.Bottom, p.Y);
  }
  return box;
}

bool Overlap(const TRect &a, const TRect &b) {
  return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

} // namespace

void TContourSeries::DrawLevels() {
  TCustomAxisPanel &chart = *ParentChart();
  if (Brush().Style() != TBrushStyle::bsClear) {
    DrawFilled();
    return;
  }
  TCanvas3D &canvas = chart.Canvas();
  const bool is3D = chart.View3D();
  TChartAxis &horiz = *GetHorizAxis(), &vert = *GetVertAxis();
  TChartAxis &depth = *chart.DepthAxis();
  const bool marks = Marks().Visible() && contourMarks_->AtSegments();
  std::vector<TRect> placed;
  std::vector<TPoint> pixels, smooth, screen, gaps;
  for (int i = 0; i < static_cast<int>(work_.size()); ++i) {
    const TLevelWork &w = work_[static_cast<size_t>(i)];
    TContourLevel &level = (*levels_)[i];
    const int plane = vert.CalcYPosValue(yPositionLevel_ ? w.Value : yPosition_);
    if (OnBeforeDrawLevel) OnBeforeDrawLevel(this, i);
    // The level's marks come first, so that the line can leave gaps under them.
    const bool markLevel = marks && i % Marks().EffectiveDrawEvery() == 0;
    std::vector<std::pair<TMarkBox, double>> levelMarks;
    std::string text;
    if (markLevel) {
      text = LevelMarkText(i, w.Value);
      canvas.ApplyFont(Marks().Font());
    }
    std::vector<std::vector<TPoint>> drawnScreen;
    for (const TContourPolyline &line : level.Lines().Polylines()) {
      pixels.clear();
      for (const TContourPoint &p : line)
        pixels.push_back(TPoint{horiz.CalcXPosValue(p.X), is3D ? depth.CalcPosValue(p.Z) : vert.CalcYPosValue(p.Z)});
      const std::vector<TPoint> *pts = &pixels;
      if (smoothing_->Active()) {
        smoothing_->SmoothPolyline(pixels, smooth);
        pts = &smooth;
      }
      screen.clear();
      for (const TPoint &p : *pts)
        screen.push_back(is3D ? canvas.ProjectPoint(p.X, plane, p.Y) : p);
      drawnScreen.push_back(screen);
      if (!markLevel || screen.size() < 2) continue;
      const int width = canvas.MeasureTextWidth(text), height = canvas.MeasureTextHeight(text);
      // The stretches between the line's points are counted from its start:
      // the first and then every Density-th carries a mark at its middle.
      const auto density = static_cast<size_t>(contourMarks_->Density());
      for (size_t k = 0; k + 1 < screen.size(); k += density) {
        const TPoint &a = screen[k], &b = screen[k + 1];
        if (a == b) continue;
        double angle = std::atan2(-(b.Y - a.Y), b.X - a.X) * 180.0 / std::numbers::pi;
        if (angle > 90) angle -= 180;
        if (angle <= -90) angle += 180;
        const TPoint centre{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
        TMarkBox box = MarkBox(centre, width, height, angle, contourMarks_->Margin());
        if (contourMarks_->AntiOverlap() &&
            std::any_of(placed.begin(), placed.end(), [&](const TRect &r) { return Overlap(r, box.Bounds); }))
          continue;
        placed.push_back(box.Bounds);
        levelMarks.emplace_back(box, angle);
      }
    }
    // One region cut out for all of the level's marks: each box hangs off
    // the first corner by a spoke walked out and back, which adds no area.
    const bool cut = !levelMarks.empty() && chart.CanClip();
    if (cut) {
      gaps.clear();
      const TPoint hub = levelMarks.front().first.Corners[0];
      for (const auto &[box, angle] : levelMarks) {
        gaps.push_back(hub);
        for (const TPoint &p : box.Corners)
          gaps.push_back(p);
        gaps.push_back(box.Corners[0]);
      }
      gaps.push_back(hub);
      canvas.ClipToPolygon(gaps, true);
    }
    canvas.ApplyPenColor(*w.Pen, w.LineColor);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    for (const auto &line : drawnScreen)
      canvas.Polyline(line);
    if (cut) canvas.RemoveClip();
    if (pointer_->Visible())
      for (const auto &line : drawnScreen)
        for (const TPoint &p : line)
          pointer_->DrawColored(p.X, p.Y, w.LineColor);
    if (!levelMarks.empty()) {
      canvas.ApplyFont(Marks().Font());
      if (contourMarks_->ColorLevel()) canvas.Font().SetColor(w.Color);
      const int width = canvas.MeasureTextWidth(text), height = canvas.MeasureTextHeight(text);
      for (const auto &[box, angle] : levelMarks) {
        const double a = angle * std::numbers::pi / 180.0;
        const TPoint centre{(box.Corners[0].X + box.Corners[2].X) / 2, (box.Corners[0].Y + box.Corners[2].Y) / 2};
        // The text's top-left corner, turned about its centre.
        const int x = rtl::RoundPixel(centre.X - width * 0.5 * std::cos(a) - height * 0.5 * std::sin(a));
        const int y = rtl::RoundPixel(centre.Y + width * 0.5 * std::sin(a) - height * 0.5 * std::cos(a));
        canvas.RotatedTextOut(x, y, text, angle);
      }
    }
    level.DrawnLines() = std::move(drawnScreen);
  }
}

namespace {

// The filled form draws through a temporary iso-surface that borrows the
// chart without joining its series list.
class TContourFill : public TIsoSurfaceSeries {
public:
  void Borrow(TCustomAxisPanel *chart) {
    SetParentChartField(chart);
    RecalcAxes();
  }
  ~TContourFill() override { SetParentChartField(nullptr); }
};

} // namespace

void TContourSeries::DrawFilled() {
  TCustomAxisPanel &chart = *ParentChart();
  TContourFill fill;
  fill.Assign(*this);
  fill.Borrow(&chart);
  fill.StartZ = StartZ;
  fill.MiddleZ = MiddleZ;
  fill.EndZ = EndZ;
  TUloPalette palette;
  for (const TLevelWork &w : work_)
    palette.push_back(TUloPaletteEntry{w.Value, w.Color});
  std::stable_sort(palette.begin(), palette.end(),
                   [](const TUloPaletteEntry &a, const TUloPaletteEntry &b) { return a.UpToValue < b.UpToValue; });
  fill.SetUseColorRange(false);
  fill.SetUsePalette(true);
  fill.SetPaletteStyle(TUloPaletteStyle::psCustom);
  fill.SetPalette(std::move(palette));
  fill.SetUseYPosition(true);
  fill.SetYPosition(yPosition_);
  fill.BandPen().SetVisible(false);
  fill.Pen().SetVisible(false);
  fill.SetTransparency(transparency_);
  fill.FillGridIndex(0);
  fill.DrawVisiblePoints();
}

void TContourSeries::DrawFrame() {
  TCustomAxisPanel &chart = *ParentChart();
  TCanvas3D &canvas = chart.Canvas();
  TChartAxis &horiz = *GetHorizAxis(), &vert = *GetVertAxis();
  const int x0 = horiz.CalcXPosValue(MinX()), x1 = horiz.CalcXPosValue(MaxX());
  canvas.ApplyPen(*frame_);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  if (chart.View3D()) {
    const int plane = vert.CalcYPosValue(yPosition_);
    const int z0 = chart.DepthAxis()->CalcPosValue(MinZ()), z1 = chart.DepthAxis()->CalcPosValue(MaxZ());
    canvas.HorizontalRectAtHeight(x0, plane, x1, z0, z1);
  } else {
    canvas.Rectangle(x0, vert.CalcYPosValue(MaxZ()), x1, vert.CalcYPosValue(MinZ()));
  }
}

void TContourSeries::DrawPointMarks() {
  if (contourMarks_->AtSegments()) return;
  TCustom3DGridSeries::DrawPointMarks();
}

int TContourSeries::PointAtPixel(int x, int y) { return levels_->Clicked(x, y); }

double TContourSeries::MaxY() {
  if (ParentChart() && !ParentChart()->View3D()) return MaxZ();
  return TCustom3DGridSeries::MaxY();
}

double TContourSeries::MinY() {
  if (ParentChart() && !ParentChart()->View3D()) return MinZ();
  return TCustom3DGridSeries::MinY();
}

int TContourSeries::PointPixelY(int index) {
  TCustomAxisPanel *chart = ParentChart();
  if (chart && !chart->View3D() && GetVertAxis()) return GetVertAxis()->CalcYPosValue(ZValues().Value(index));
  return TCustom3DGridSeries::PointPixelY(index);
}

void TContourSeries::AddRandomWalk(int numValues) {
  TCustom3DGridSeries::AddRandomWalk(numValues);
  if (PointCount() > 0) yPosition_ = (YValues()->MaxValue() + YValues()->MinValue()) * 0.5;
}

int TContourSeries::LegendLevel(int row) const {
  const int level = NumLevels() - LegendEvery() * row - 1;
  return level >= 0 && level < levels_->Count() ? level : -1;
}

int TContourSeries::LegendRowCount() { return levels_->Count() / std::max(1, LegendEvery()); }

TColor TContourSeries::LegendRowColor(int row) {
  const int level = LegendLevel(row);
  return level < 0 ? SeriesColor() : LevelColor(level);
}

std::string TContourSeries::LegendRowText(int row, TLegendTextStyle textStyle) {
  const int level = LegendLevel(row);
  if (level < 0) return {};
  const std::string value = rtl::FormatFloat(ValueFormat(), (*levels_)[level].UpToValue());
  switch (textStyle) {
  case TLegendTextStyle::ltsXValue:
    return std::to_string(level);
  case TLegendTextStyle::ltsXAndValue:
  case TLegendTextStyle::ltsXAndPercent:
    return std::to_string(level) + '\x06' + value;
  default:
    return value;
  }
}

void TContourSeries::DrawLegendShape(int index, const TRect &rect) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !legendLines_ || Brush().Style() != TBrushStyle::bsClear) {
    TCustom3DGridSeries::DrawLegendShape(index, rect);
    return;
  }
  const int level = LegendLevel(index);
  TChartPen pen;
  TColor color = SeriesColor();
  if (TContourLevel *l = levels_->Items(level)) {
    pen.Assign(l->ExistingPen() ? *l->ExistingPen() : Pen());
    color = LevelColor(level);
  } else {
    pen.Assign(Pen());
  }
  pen.SetEndStyle(TPenEndStyle::esFlat);
  TCanvas3D &canvas = chart->Canvas();
  canvas.ApplyPenColor(pen, color);
  const int y = (rect.Top + rect.Bottom) / 2;
  canvas.DrawLine(rect.Left, y, rect.Right, y);
}

void TContourSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DGridSeries::ListSubStyles(callback);
  if (!callback) return;
  callback(UloMsgStyleColors);
  callback(UloProSubStylePositions);
  callback(UloMsgStyleFilled);
  callback(UloMsgStyleMarks);
}

void TContourSeries::ApplySubStyle(int index) {
  int base = 0;
  TCustom3DGridSeries::ListSubStyles([&base](const std::string &) { ++base; });
  switch (index - base) {
  case 0:
    SetColorEachPoint(true);
    break;
  case 1:
    SetYPositionLevel(true);
    break;
  case 2:
    Brush().SetStyle(TBrushStyle::bsSolid);
    break;
  case 3:
    Marks().SetVisible(true);
    break;
  default:
    TCustom3DGridSeries::ApplySubStyle(index);
  }
}

void TContourSeries::PrepareForGallery(bool enabled) {
  TCustom3DGridSeries::PrepareForGallery(enabled);
  if (!enabled) SetSeriesColor(clGray);
}

void TContourSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TContourSeries *>(&source); s && s != this) {
    automaticLevels_ = s->automaticLevels_;
    legendLines_ = s->legendLines_;
    {
      TLevelUpdate update(updatingLevels_, nullptr);
      levels_->Assign(*s->levels_);
    }
    linesColor_ = s->linesColor_;
    frame_->Assign(*s->frame_);
    numLevels_ = s->numLevels_;
    pointer_->Assign(*s->pointer_);
    transparency_ = s->transparency_;
    yPosition_ = s->yPosition_;
    yPositionLevel_ = s->yPositionLevel_;
  }
  TCustom3DGridSeries::Assign(source);
}

void TContourSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DGridSeries::DefineProperties(table);
  table.Object("Brush", storedParts_.Get("Brush", [this](streaming::TPropertyTable &t) {
    DefineChartBrush(t, Brush(), clDefault, TBrushStyle::bsClear);
  }));
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  // Stored against this kind's own defaults.
  table.Property("ColorEachPoint", this, &TContourSeries::ColorEachPoint, &TContourSeries::SetColorEachPoint, true);
  table.Object("Marks", storedParts_.Get("Marks", [this](streaming::TPropertyTable &t) {
    Marks().DefineProperties(t);
    t.Property(
        "Transparent", [this] { return Marks().Transparent(); }, [this](bool v) { Marks().SetTransparent(v); }, true);
  }));
  table.Property("AutomaticLevels", this, &TContourSeries::AutomaticLevels, &TContourSeries::SetAutomaticLevels, true);
  table.Object("ContourMarks", [this] { return contourMarks_.get(); });
  table.Property("LegendLines", this, &TContourSeries::LegendLines, &TContourSeries::SetLegendLines, false);
  table.Collection("Levels", *levels_);
  table.Color(
      "LinesColor", [this] { return linesColor_; }, [this](TColor c) { SetLinesColor(c); }, clBlack);
  table.Property(
      "NumLevels", [this] { return numLevels_; }, [this](int v) { SetNumLevels(v); }, 10);
  table.Object("Pointer", [this] { return pointer_.get(); });
  table.Object("Smoothing", [this] { return smoothing_.get(); });
  table.Property("Transparency", this, &TContourSeries::Transparency, &TContourSeries::SetTransparency, 0);
  table.Property("YPosition", this, &TContourSeries::YPosition, &TContourSeries::SetYPosition, 0.0);
  table.Property("YPositionLevel", this, &TContourSeries::YPositionLevel, &TContourSeries::SetYPositionLevel, false);
  table.Object("Frame",
               storedParts_.Get("Frame", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *frame_); }));
}
