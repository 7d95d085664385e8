// The paint pipeline of the axis panel: background, titles and legend,
// z-orders and depth, walls, axis layout with the series margins, the
// projection, axes behind, series in depth order, axes in front, the zoom
// rectangle and the tools' stages.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"
#include "platform/rtl/Numbers.h"

namespace {

// Runs Fn when the scope ends, also through an exception.
template <class Fn> class TScopeExit {
public:
  explicit TScopeExit(Fn fn) : fn_(std::move(fn)) {}
  ~TScopeExit() { fn_(); }
  TScopeExit(const TScopeExit &) = delete;
  TScopeExit &operator=(const TScopeExit &) = delete;

private:
  Fn fn_;
};

// The overlap of A and B; false when it is empty.
bool Intersect(const TRect &a, const TRect &b, TRect &out) noexcept {
  out =
      TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  return out.Left < out.Right && out.Top < out.Bottom;
}

int ClampDepth(int64_t v) noexcept {
  return static_cast<int>(std::clamp<int64_t>(v, -static_cast<int64_t>(UloMaxPixel), UloMaxPixel));
}

} // namespace

void TCustomAxisPanel::InternalDraw(const TRect &bounds) {
  TCanvas3D &canvas = Canvas();
  const bool autoRepaint = AutoRepaint();
  SetAutoRepaint(false);
  bool finished = false;
  // Whatever throws (a user event, a date step), the panel must repaint
  // again and the canvas must not stay clipped or half set up.
  TScopeExit restore([&] {
    if (!finished) {
      if (clipped_) {
        clipped_ = false;
        canvas.RemoveClip();
      }
      canvas.ResetDefaults();
      canvas.MarkForRedraw();
    }
    SetAutoRepaint(autoRepaint);
  });

  reversedDepth_ = false;
  if (View3D()) {
    TView3DOptions &view = View3DOptions();
    reversedDepth_ = view.Orthogonal() ? view.OrthoAngle() >= 91 : view.Rotation() < 180;
  }
  const bool capabilityA = canvas.CapabilityFlagA();
  if (!capabilityA) PanelPaint(bounds);
  BroadcastToolEvent(UloToolStageBeforeDraw);
  DoBeforeDrawChart();
  for (TChartSeries *s : seriesList_)
    if (s->Active()) s->PrepareForDraw();
  if (!capabilityA) DrawTitlesAndLegend(true);
  CalcZOrders();
  CalcWallsRect();
  const TRect before = ChartRect;
  CalcAxisLayout();
  canvas.SetupProjection(HorizDepth, ChartRect);
  if (capabilityA) {
    const TRect after = ChartRect;
    ChartRect = before;
    PanelPaint(bounds);
    DrawTitlesAndLegend(true);
    ChartRect = after;
  }
  DrawWalls();
  if (axisBehind_) {
    BroadcastToolEvent(UloToolStageBeforeAxes);
    DrawAxes();
  }
  BroadcastToolEvent(UloToolStageBeforeSeries);
  DoBeforeDrawSeries();
  DrawAllSeries();
  BroadcastToolEvent(UloToolStageAfterSeries);
  if (!axisBehind_) {
    BroadcastToolEvent(UloToolStageBeforeAxes);
    DrawAxes();
  }
  DrawTitlesAndLegend(false);
  if (Zoom().Active) DrawZoomRectangle();
  BroadcastToolEvent(UloToolStageAfterDraw);
  canvas.ResetDefaults();
  DoAfterDraw();
  finished = true;
}

// ---- z-orders and depth

void TCustomAxisPanel::CalcZOrders() {
  MaxZOrder = 0;
  const bool is3D = View3D();
  if (is3D) {
    MaxZOrder = -1;
    for (TChartSeries *s : seriesList_)
      if (s->Active()) s->TakeZOrder();
  }
  const bool inverted = DepthAxis()->Inverted();
  for (TChartSeries *s : seriesList_) {
    if (!s->Active()) continue;
    int slot = 0;
    if (is3D) slot = inverted ? s->GetZOrder() : ClampDepth(int64_t{MaxZOrder} - s->GetZOrder());
    s->SetComputedZOrder(slot);
  }
}

void TCustomAxisPanel::CalcSize3DWalls() {
  if (!View3D()) {
    seriesDepth_ = 0;
    seriesHeight_ = 0;
    HorizDepth = 0;
    VertDepth = 0;
    return;
  }
  TView3DOptions &view = View3DOptions();
  double f = chart3DPercent_ * 0.001;
  if (!view.Orthogonal()) f *= 2;
  seriesDepth_ = rtl::RoundPixel(ChartWidth * f);
  const double slope = view.Orthogonal() ? view.OrthoSlope() : 1.0;
  if (slope > 1) seriesDepth_ = rtl::RoundPixel(seriesDepth_ / slope);
  seriesHeight_ = rtl::RoundPixel(seriesDepth_ * slope);
  // A huge explicit z-order must not overflow the depth.
  const int64_t k = std::max<int64_t>(1, int64_t{MaxZOrder} + 1);
  VertDepth = ClampDepth(seriesHeight_ * k);
  HorizDepth = ClampDepth(seriesDepth_ * k);
}

// ---- axis layout

void TCustomAxisPanel::CalcAxisLayout() {
  const int count = axes_.Count();
  for (int i = 0; i < count; ++i) {
    TChartAxis *axis = axes_[i];
    axis->Shown = AxisShown(axis);
    axis->InternalCalcPositions();
    axis->AdjustMaxMin();
  }
  for (int i = 0; i < count; ++i)
    axes_[i]->ResetLabelMeasures();
  TRect r = ChartRect;
  for (int i = 0; i < count; ++i) {
    TChartAxis *axis = axes_[i];
    if (!axis->Shown) continue;
    TRect left = r;
    axis->CalcRect(left, i < 5);
    TRect both;
    if (Intersect(left, r, both)) r = both;
  }
  if (!FixedChartRect()) {
    ChartRect = r;
    RecalcChartSize();
  }
  for (int i = 0; i < count; ++i)
    axes_[i]->ResetLabelMeasures();
  // The pixel spans follow the final rectangle before the margins widen
  // the ranges from them.
  for (int i = 0; i < count; ++i)
    axes_[i]->InternalCalcPositions();
  for (TChartSeries *s : seriesList_)
    if (s->Active()) s->CalcDepthRange();
  for (int i = 0; i < count; ++i)
    ApplySeriesMargins(*axes_[i]);
}

void TCustomAxisPanel::ApplySeriesMargins(TChartAxis &axis) {
  int low = 0, high = 0;
  for (TChartSeries *s : seriesList_) {
    if (!s->Active() || !s->IsOnAxis(&axis)) continue;
    int a = 0, b = 0;
    if (axis.Horizontal) {
      s->HorizMargins(a, b); // left, right
      low = std::max(low, a);
      high = std::max(high, b);
    } else {
      s->VertMargins(a, b); // top, bottom
      low = std::max(low, b);
      high = std::max(high, a);
    }
  }
  if (!(axis.Automatic() || axis.AutomaticMinimum())) low = 0;
  if (!(axis.Automatic() || axis.AutomaticMaximum())) high = 0;
  if (axis.Inverted()) {
    low += axis.MaximumOffset();
    high += axis.MinimumOffset();
  } else {
    low += axis.MinimumOffset();
    high += axis.MaximumOffset();
  }
  if (low == 0 && high == 0) return;
  const TRect margins = axis.Horizontal ? TRect{low, 0, high, 0} : TRect{0, high, 0, low};
  axis.AdjustMaxMinRect(margins);
}

double TCustomAxisPanel::AxisSeriesMinMax(const TChartAxis *axis, bool isMin) {
  TChartAxis *a = const_cast<TChartAxis *>(axis);
  if (axis->IsDepthAxis) {
    // The style in use: an automatic style means values when a series has depth values.
    if (a->LabelStyleInUse() != TAxisLabelStyle::talValue) return isMin ? -0.5 : MaxZOrder + 0.5;
    bool have = false;
    double result = 0;
    for (TChartSeries *s : seriesList_) {
      if (!s->Active()) continue;
      const double v = isMin ? s->MinZ() : s->MaxZ();
      result = !have ? v : (isMin ? std::min(result, v) : std::max(result, v));
      have = true;
    }
    return result;
  }
  const bool horizontal = axis->Horizontal;
  const int perPage = pages_.MaxPointsPerPage();
  bool anyActive = false;
  for (TChartSeries *s : seriesList_)
    if (s->Active() && s->IsOnAxis(a)) anyActive = true;

  if (perPage > 0) {
    TChartSeries *first = FirstSeriesOnAxis(axis);
    // Paging runs along the points: the axis of the not-mandatory values.
    if (first && first->YMandatory() == horizontal) {
      TChartSeries *most = nullptr;
      for (TChartSeries *s : seriesList_)
        if (s->IsOnAxis(a) && (s->Active() || !anyActive) && (!most || s->PointCount() > most->PointCount())) most = s;
      if (most && most->PointCount() > 0) {
        int firstIndex = -1, lastIndex = -1;
        most->CalcFirstLastPage(firstIndex, lastIndex);
        const TChartValueList &list = *most->NotMandatoryValueList();
        const double f = list[firstIndex];
        const double l = list[lastIndex];
        if (isMin) return f;
        const int n = lastIndex - firstIndex + 1;
        if (!pages_.ScaleLastPage() && n < perPage) {
          // A short last page keeps the spacing of a full one.
          if (n > 1 && l != f) return f + (l - f) * (perPage - 1) / (n - 1);
          return perPage / static_cast<double>(n) + f;
        }
        return l;
      }
    }
  }

  const bool pageScale = perPage > 0 && pages_.AutoScale();
  bool have = false;
  double result = 0;
  for (TChartSeries *s : seriesList_) {
    if (!s->IsOnAxis(a) || (anyActive && !s->Active())) continue;
    const int count = s->PointCount();
    if (count == 0) continue;
    double v = 0;
    if (pageScale) {
      const int from = pages_.PageFirstIndex();
      const int to = std::min(count, from + perPage) - 1;
      if (from < 0 || from > to) continue;
      const TChartValueList &list = horizontal ? *s->XValues() : *s->YValues();
      v = list[from];
      for (int i = from + 1; i <= to; ++i)
        v = isMin ? std::min(v, list[i]) : std::max(v, list[i]);
    } else if (horizontal) {
      v = isMin ? s->MinX() : s->MaxX();
    } else {
      v = isMin ? s->MinY() : s->MaxY();
    }
    result = !have ? v : (isMin ? std::min(result, v) : std::max(result, v));
    have = true;
  }
  return result;
}

// ---- axes

void TCustomAxisPanel::DrawAxes() {
  if (!axisVisible_) return;
  TCanvas3D &canvas = Canvas();
  canvas.ReservedHookA();
  TScopeExit end([&canvas] { canvas.ReservedHookB(); });
  DoBeforeDrawAxes();
  const bool skipBottom = ChartRectFlipped(0);
  for (int i = 0; i < axes_.Count(); ++i) {
    TChartAxis *axis = axes_[i];
    if (!axis->Shown || (i == 0 && skipBottom)) continue;
    axis->DrawAxis(true);
  }
}

bool TCustomAxisPanel::ChartRectFlipped(int z) {
  TCanvas3D &canvas = Canvas();
  if (canvas.CapabilityFlagA()) return false;
  const TFourPoints quad = canvas.ProjectRectQuad(ChartRect, z);
  const TPoint corners[3] = {quad[0], quad[1], quad[2]};
  return !IsBackFacingTriangle(corners);
}

void TCustomAxisPanel::PanelRectangle(const TRect &rect) {
  TCanvas3D &canvas = Canvas();
  canvas.Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
  const TColor brushColor = canvas.Brush().Color();
  if (brushColor != RectangleBackColor) return;
  // A box in the background's own colour would vanish: its outline again.
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  const TColor penColor = canvas.Pen().Color();
  if (brushColor == clBlack) canvas.Pen().SetColor(clWhite);
  canvas.Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom);
  canvas.Pen().SetColor(penColor);
}

// ---- series

void TCustomAxisPanel::ClipSeriesCube() {
  if (!CanClip()) return;
  TRect r = ChartRect;
  --r.Top;
  ++r.Bottom;
  Canvas().ClipToBox(r, 0, HorizDepth);
  clipped_ = true;
}

void TCustomAxisPanel::UnclipSeriesCube() {
  if (!clipped_) return;
  clipped_ = false;
  Canvas().RemoveClip();
}

void TCustomAxisPanel::DrawSeriesMarks(TChartSeries &series) {
  if (series.PointCount() == 0 || !series.Marks().Visible()) return;
  if (series.Marks().Clip()) ClipSeriesCube();
  series.DrawPointMarks();
  UnclipSeriesCube();
}

void TCustomAxisPanel::DrawAllSeries() {
  const int count = SeriesCount();
  if (count == 0) return;
  const bool listOrder = DepthAxis()->Inverted() == ChartRectFlipped(HorizDepth);
  // Series events may change the list; draw what was there when we began.
  const std::vector<TChartSeries *> all(seriesList_.begin(), seriesList_.end());
  for (int k = 0; k < count; ++k) {
    TChartSeries *s = all[static_cast<size_t>(listOrder ? k : count - 1 - k)];
    if (seriesList_.IndexOf(s) < 0 || !s->Active()) continue;
    if (View3D() && s->SharesZOrder()) {
      if (IsFirstSharing(*s)) DrawSeriesSharingZOrder(*s);
      continue;
    }
    DrawOneSeries(*s);
  }
}

// Series that never draw interleaved draw alone even on a shared z-order:
// they neither lead nor join the group, or the group would never be drawn
// (led by one that does not share) and they would be drawn twice.
bool TCustomAxisPanel::SharesWith(const TChartSeries &a, const TChartSeries &b) {
  return b.Active() && b.CanShareZOrder() && b.ComputedZOrder() == a.ComputedZOrder();
}

bool TCustomAxisPanel::IsFirstSharing(const TChartSeries &series) const {
  for (TChartSeries *s : seriesList_) {
    if (s == &series) return true;
    if (SharesWith(series, *s)) return false;
  }
  return true;
}

void TCustomAxisPanel::DrawOneSeries(TChartSeries &series) {
  series.CalcVisibleRange();
  if (series.FirstValueIndex() < 0 || series.LastValueIndex() < series.FirstValueIndex()) return;
  BroadcastSeriesToolEvent(series, UloToolStageBeforeSeries);
  series.DoBeforeDrawValues();
  if (series.IsAxisBased() && clipPoints_) ClipSeriesCube();
  series.DrawVisiblePoints();
  UnclipSeriesCube();
  DrawSeriesMarks(series);
  BroadcastSeriesToolEvent(series, UloToolStageAfterSeries);
  series.DoAfterDrawValues();
}

void TCustomAxisPanel::DrawSeriesSharingZOrder(TChartSeries &first) {
  const int start = seriesList_.IndexOf(&first);
  std::vector<TChartSeries *> group;
  for (int i = start; i < SeriesCount(); ++i) {
    TChartSeries *s = GetSeries(i);
    if (SharesWith(first, *s)) group.push_back(s);
  }
  std::vector<TChartSeries *> drawn;
  int firstIndex = 0, lastIndex = -1;
  for (TChartSeries *s : group) {
    s->CalcVisibleRange();
    if (s->FirstValueIndex() < 0 || s->LastValueIndex() < s->FirstValueIndex()) continue;
    if (drawn.empty()) {
      firstIndex = s->FirstValueIndex();
      lastIndex = s->LastValueIndex();
    } else {
      firstIndex = std::max(firstIndex, s->FirstValueIndex());
      lastIndex = std::max(lastIndex, s->LastValueIndex());
    }
    drawn.push_back(s);
    BroadcastSeriesToolEvent(*s, UloToolStageBeforeSeries);
    s->DoBeforeDrawValues();
    if (clipPoints_ && !clipped_) ClipSeriesCube();
  }
  if (!drawn.empty()) {
    const bool ascending = first.DrawPointsAscending();
    const bool inListOrder = first.DrawInListOrder();
    const int n = static_cast<int>(group.size());
    auto drawIndex = [&](int i) {
      for (int j = 0; j < n; ++j) {
        TChartSeries *s = group[static_cast<size_t>(inListOrder ? j : n - 1 - j)];
        if (s->PointCount() > i) s->DrawPoint(i);
      }
    };
    if (ascending)
      for (int i = firstIndex; i <= lastIndex; ++i)
        drawIndex(i);
    else
      for (int i = lastIndex; i >= firstIndex; --i)
        drawIndex(i);
  }
  UnclipSeriesCube();
  for (TChartSeries *s : drawn) {
    DrawSeriesMarks(*s);
    BroadcastSeriesToolEvent(*s, UloToolStageAfterSeries);
    s->DoAfterDrawValues();
  }
}
