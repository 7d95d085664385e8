#include "chart/tools/UloCursorTool.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloStoredParts.h"
#include "chart/series/UloSeries3D.h"
#include "platform/rtl/Numbers.h"

namespace {

constexpr streaming::TEnumName<TCursorToolStyle> kCursorStyleNames[] = {
    {TCursorToolStyle::cssHorizontal, "cssHorizontal"},
    {TCursorToolStyle::cssVertical, "cssVertical"},
    {TCursorToolStyle::cssBoth, "cssBoth"},
    {TCursorToolStyle::cssScope, "cssScope"},
    {TCursorToolStyle::cssScopeOnly, "cssScopeOnly"}};
constexpr streaming::TEnumName<TScopeCursorStyle> kScopeStyleNames[] = {
    {TScopeCursorStyle::scsRectangle, "scsRectangle"},
    {TScopeCursorStyle::scsCircle, "scsCircle"},
    {TScopeCursorStyle::scsDiamond, "scsDiamond"},
    {TScopeCursorStyle::scsEmpty, "scsEmpty"},
    {TScopeCursorStyle::scsCamera, "scsCamera"}};
constexpr streaming::TEnumName<TSnapStyle> kSnapStyleNames[] = {{TSnapStyle::ssDefault, "ssDefault"},
                                                                {TSnapStyle::ssHorizontal, "ssHorizontal"},
                                                                {TSnapStyle::ssVertical, "ssVertical"}};
constexpr streaming::TEnumName<TNearestToolStyle> kNearestStyleNames[] = {
    {TNearestToolStyle::hsNone, "hsNone"},
    {TNearestToolStyle::hsCircle, "hsCircle"},
    {TNearestToolStyle::hsRectangle, "hsRectangle"},
    {TNearestToolStyle::hsDiamond, "hsDiamond"},
    {TNearestToolStyle::hsSeries, "hsSeries"}};

// The chart's colour as a real colour, for exclusive-or arithmetic.
TColor ChartColor(TCustomAxisPanel &chart) {
  const TColor c = chart.Color();
  return ColorToRGB(c == clDefault ? clBtnFace : c) & 0xFFFFFF;
}

// Feedback drawn between paints shows once the window copies the surface;
// the kept chart picture stays as it is.
void ShowFeedback(TCustomAxisPanel &chart) { chart.TCustomPanelNoCaption::Invalidate(); }

// AutoRepaint off for a scope, restored also when drawing throws.
class TNoRepaint {
public:
  explicit TNoRepaint(TCustomAxisPanel &chart) : chart_(chart), old_(chart.AutoRepaint()) {
    chart_.SetAutoRepaint(false);
  }
  ~TNoRepaint() { chart_.SetAutoRepaint(old_); }
  TNoRepaint(const TNoRepaint &) = delete;
  TNoRepaint &operator=(const TNoRepaint &) = delete;

private:
  TCustomAxisPanel &chart_;
  bool old_;
};

bool Inside(const TRect &r, int x, int y) { return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom; }

} // namespace

bool SeriesVisibleRange(TChartSeries &series, int &first, int &last) {
  const int count = series.PointCount();
  first = std::max(0, series.FirstValueIndex());
  last = series.LastValueIndex();
  if (last < 0 || last >= count) last = count - 1;
  return count > 0 && first < count && last < count && last >= 0;
}

// ---- TCursorTool ------------------------------------------------------------------------

TCursorTool::TCursorTool() = default;

std::string TCursorTool::GetGalleryName() const { return UloProToolCursor; }
std::string TCursorTool::GetGalleryHint() const { return UloProHintCursorTool; }

void TCursorTool::Assign(const TCustomChartElement &source) {
  // The series first: taking it snaps, and the copied position must stay.
  TUloCustomToolSeries::Assign(source);
  if (auto *s = dynamic_cast<const TCursorTool *>(&source); s && s != this) {
    clickTolerance_ = s->clickTolerance_;
    followMouse_ = s->followMouse_;
    horizSize_ = s->horizSize_;
    scopeSize_ = s->scopeSize_;
    scopeStyle_ = s->scopeStyle_;
    snap_ = s->snap_;
    snapStyle_ = s->snapStyle_;
    style_ = s->style_;
    useSeriesZ_ = s->useSeriesZ_;
    vertSize_ = s->vertSize_;
    xValue_ = s->xValue_;
    yValue_ = s->yValue_;
    wholeChart_ = s->wholeChart_;
  }
}

void TCursorTool::SetStyle(TCursorToolStyle value) {
  if (style_ == value) return;
  style_ = value;
  ApplySnap();
  Repaint();
}

void TCursorTool::SetSeries(TChartSeries *value) {
  TUloCustomToolSeries::SetSeries(value);
  lastSnap_ = -1;
  if (value && !(ParentChart() && ParentChart()->Loading()) && !Loading()) {
    ApplySnap();
    Repaint();
  }
}

void TCursorTool::SetParentChart(TCustomAxisPanel *value) {
  TUloCustomToolSeries::SetParentChart(value);
  Repaint();
}

void TCursorTool::SetXValue(double value) {
  if (xValue_ == value) return;
  xValue_ = value;
  Repaint();
}

void TCursorTool::SetYValue(double value) {
  if (yValue_ == value) return;
  yValue_ = value;
  Repaint();
}

int TCursorTool::SeriesDepth() const {
  TChartSeries *s = Series();
  return useSeriesZ_ && s ? s->MiddleZ : 0;
}

void TCursorTool::MapMouse(int &x, int &y) const {
  if (useSeriesZ_ && Series() && ParentChart()) ParentChart()->Canvas().ScreenTo3D(x, y, SeriesDepth());
}

TRect TCursorTool::CursorRect(int x, int y, bool narrow) {
  TRect r{};
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return r;
  if (wholeChart_) {
    r = chart->ChartRect;
  } else {
    TChartAxis *h = GetHorizAxis();
    TChartAxis *v = GetVertAxis();
    if (h && v) r = TRect{h->IStartPos, v->IStartPos, h->IEndPos, v->IEndPos};
    if (OnGetAxisRect) OnGetAxisRect(this, r);
  }
  if (narrow) {
    if (horizSize_ != 0) {
      r.Left = x - horizSize_;
      r.Right = x + horizSize_;
    }
    if (vertSize_ != 0) {
      r.Top = y - vertSize_;
      r.Bottom = y + vertSize_;
    }
  }
  return r;
}

void TCursorTool::SetValuesFromPixels(int x, int y) {
  TChartAxis *h = GetHorizAxis();
  TChartAxis *v = GetVertAxis();
  if (dragPart_ != 2 && v) yValue_ = v->CalcPosPoint(y);
  if (dragPart_ != 1 && h) xValue_ = h->CalcPosPoint(x);
}

int TCursorTool::FindSnapPoint(double &distance) {
  distance = 0;
  TChartSeries *s = Series();
  if (!s) return -1;
  int first = 0, last = -1;
  if (!SeriesVisibleRange(*s, first, last)) return -1;
  TSnapStyle how = snapStyle_;
  int result = -1;
  double best = 0;
  for (int i = first; i <= last; ++i) {
    const double dx = std::fabs(xValue_ - s->XValueAt(i));
    const double dy = std::fabs(yValue_ - s->YValueAt(i));
    double d;
    if (how == TSnapStyle::ssHorizontal)
      d = dy;
    else if (how == TSnapStyle::ssVertical)
      d = dx;
    else if (style_ == TCursorToolStyle::cssHorizontal)
      d = dy;
    else if (style_ == TCursorToolStyle::cssVertical)
      d = dx;
    else
      d = std::sqrt(dx * dx + dy * dy);
    if (result == -1 || d < best) {
      best = d;
      result = i;
    }
  }
  distance = best;
  return result;
}

int TCursorTool::ApplySnap() {
  TChartSeries *s = Series();
  if (!s || !snap_) return -1;
  double distance = 0;
  const int i = FindSnapPoint(distance);
  if (i == -1) return -1;
  if (style_ == TCursorToolStyle::cssHorizontal) {
    yValue_ = s->YValueAt(i);
  } else if (style_ == TCursorToolStyle::cssVertical) {
    xValue_ = s->XValueAt(i);
  } else {
    xValue_ = s->XValueAt(i);
    yValue_ = s->YValueAt(i);
  }
  return i;
}

void TCursorTool::UpdatePixelPositions() {
  TChartAxis *h = GetHorizAxis();
  TChartAxis *v = GetVertAxis();
  if (!h || !v) return;
  if (pixelX_ != -1 && pixelY_ != -1) {
    pixelX_ = h->CalcXPosValue(xValue_);
    pixelY_ = v->CalcYPosValue(yValue_);
    return;
  }
  pixelX_ = (h->IStartPos + h->IEndPos) / 2;
  pixelY_ = (v->IStartPos + v->IEndPos) / 2;
  const int part = dragPart_;
  dragPart_ = 0;
  SetValuesFromPixels(pixelX_, pixelY_);
  dragPart_ = part;
  const int index = ApplySnap();
  pixelX_ = h->CalcXPosValue(xValue_);
  pixelY_ = v->CalcYPosValue(yValue_);
  DoChange(index);
}

int TCursorTool::GetDragPart(int x, int y) {
  if (!Inside(CursorRect(x, y, true), x, y)) return 0;
  const int dx = std::abs(x - pixelX_), dy = std::abs(y - pixelY_);
  const bool both = style_ == TCursorToolStyle::cssBoth || style_ == TCursorToolStyle::cssScope ||
                    style_ == TCursorToolStyle::cssScopeOnly;
  if (both && dx <= clickTolerance_ && dy <= clickTolerance_) return 3;
  if (style_ != TCursorToolStyle::cssVertical && dy <= clickTolerance_) return 1;
  if (style_ == TCursorToolStyle::cssHorizontal) return 0;
  return dx <= clickTolerance_ ? 2 : 0;
}

void TCursorTool::DoChange(int valueIndex) {
  if (OnChange) OnChange(this, pixelX_, pixelY_, xValue_, yValue_, Series(), valueIndex);
}

void TCursorTool::DrawCursorXor() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || pixelX_ == -1 || pixelY_ == -1) return;
  TUloCanvas3D &canvas = chart->Canvas();
  const bool is3D = chart->View3D();
  const int z = SeriesDepth();
  const TColor colour = (ColorToRGB(Pen().Color()) & 0xFFFFFF) ^ ChartColor(*chart);
  canvas.ApplyPenColor(Pen(), colour);
  canvas.Pen().SetMode(TPenMode::pmXor);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  const TRect r = CursorRect(pixelX_, pixelY_, true);
  const int px = pixelX_, py = pixelY_;
  auto line = [&](int x0, int y0, int x1, int y1) {
    if (is3D)
      canvas.LineAtDepth(x0, y0, x1, y1, z);
    else
      canvas.DrawLine(x0, y0, x1, y1);
  };
  auto horizontal = [&] { line(r.Left, py, r.Right, py); };
  auto vertical = [&] { line(px, r.Top, px, r.Bottom); };
  auto scope = [&] {
    const int s = scopeSize_, h = horizSize_, v = vertSize_;
    if (scopeStyle_ == TScopeCursorStyle::scsCamera) {
      const TRect box{px - h - s, py - v - s, px + h + s, py + v + s};
      if (is3D)
        canvas.RectangleAtDepth(box, z);
      else
        canvas.RectangleOfRect(box);
      line(px - s, py, px + s, py);
      line(px, py - s, px, py + s);
      return;
    }
    line(px - h - s, py, px - s, py);
    line(px + s, py, px + h + s, py);
    line(px, py - v - s, px, py - s);
    line(px, py + s, px, py + v + s);
    const TRect sq{px - s, py - s, px + s, py + s};
    switch (scopeStyle_) {
    case TScopeCursorStyle::scsRectangle:
      if (is3D)
        canvas.RectangleAtDepth(sq, z);
      else
        canvas.RectangleOfRect(sq);
      break;
    case TScopeCursorStyle::scsCircle:
      if (is3D)
        canvas.EllipseAtDepth(sq.Left, sq.Top, sq.Right, sq.Bottom, z);
      else
        canvas.EllipseOfRect(sq);
      break;
    case TScopeCursorStyle::scsDiamond: {
      const TPoint p[4] = {{px, sq.Top}, {sq.Right, py}, {px, sq.Bottom}, {sq.Left, py}};
      if (is3D)
        canvas.PolygonAtDepth(p, z);
      else
        canvas.Polygon(p);
      break;
    }
    default:
      break;
    }
  };
  switch (style_) {
  case TCursorToolStyle::cssHorizontal:
    horizontal();
    break;
  case TCursorToolStyle::cssVertical:
    vertical();
    break;
  case TCursorToolStyle::cssBoth:
    horizontal();
    vertical();
    break;
  case TCursorToolStyle::cssScope:
    scope();
    horizontal();
    vertical();
    break;
  case TCursorToolStyle::cssScopeOnly:
    scope();
    break;
  }
  canvas.Pen().SetMode(TPenMode::pmCopy);
}

void TCursorTool::ChartEvent(int stage) {
  if (stage != UloToolStageAfterDraw || !ParentChart()) return;
  UpdatePixelPositions();
  DrawCursorXor();
}

void TCursorTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  (void)button;
  (void)shift;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  MapMouse(x, y);
  switch (kind) {
  case UloToolMouseDown:
    if (!followMouse_) {
      dragPart_ = GetDragPart(x, y);
      if (dragPart_ != 0) chart->CancelMouse = true;
    }
    break;
  case UloToolMouseMove:
    if ((dragPart_ != 0 || followMouse_) && Inside(CursorRect(x, y, false), x, y)) {
      DrawCursorXor();
      SetValuesFromPixels(x, y);
      const int index = ApplySnap();
      UpdatePixelPositions();
      DrawCursorXor();
      ShowFeedback(*chart);
      DoChange(index);
      if (OnSnapChange && index != lastSnap_) OnSnapChange(this, pixelX_, pixelY_, xValue_, yValue_, Series(), index);
      lastSnap_ = index;
    } else {
      const int part = GetDragPart(x, y);
      if (part != 0) {
        chart->SetCursor(part == 1 ? UloCursorVSplit : part == 2 ? UloCursorHSplit : UloCursorSizeAll);
        chart->CancelMouse = true;
      }
    }
    break;
  case UloToolMouseUp:
    dragPart_ = 0;
    break;
  default:
    break;
  }
}

void TCursorTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  table.Property("ClickTolerance", this, &TCursorTool::ClickTolerance, &TCursorTool::SetClickTolerance, 3);
  table.Property("FollowMouse", this, &TCursorTool::FollowMouse, &TCursorTool::SetFollowMouse, false);
  table.Property("HorizSize", this, &TCursorTool::HorizSize, &TCursorTool::SetHorizSize, 0);
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen()); }));
  table.Property("ScopeSize", this, &TCursorTool::ScopeSize, &TCursorTool::SetScopeSize, 4);
  table.Enum(
      "ScopeStyle", [this] { return scopeStyle_; }, [this](TScopeCursorStyle v) { SetScopeStyle(v); },
      TScopeCursorStyle::scsRectangle, kScopeStyleNames);
  table.Property("Snap", this, &TCursorTool::Snap, &TCursorTool::SetSnap, false);
  table.Enum(
      "SnapStyle", [this] { return snapStyle_; }, [this](TSnapStyle v) { SetSnapStyle(v); }, TSnapStyle::ssDefault,
      kSnapStyleNames);
  table.Enum(
      "Style", [this] { return style_; }, [this](TCursorToolStyle v) { SetStyle(v); }, TCursorToolStyle::cssBoth,
      kCursorStyleNames);
  table.Property("UseSeriesZ", this, &TCursorTool::UseSeriesZ, &TCursorTool::SetUseSeriesZ, false);
  table.Property("VertSize", this, &TCursorTool::VertSize, &TCursorTool::SetVertSize, 0);
}

// ---- TNearestTool --------------------------------------------------------------------------

TNearestTool::TNearestTool() : linePen_(std::make_unique<TChartPen>([this] { Repaint(); })) {
  Brush().SetStyle(TBrushStyle::bsClear);
  Pen().SetStyle(TPenStyle::psDot);
  Pen().SetColor(clWhite);
}

TNearestTool::~TNearestTool() = default;

std::string TNearestTool::GetGalleryName() const { return UloProToolNearestPoint; }
std::string TNearestTool::GetGalleryHint() const { return UloProHintNearestTool; }

void TNearestTool::Assign(const TCustomChartElement &source) {
  if (auto *s = dynamic_cast<const TNearestTool *>(&source); s && s != this) {
    fullRepaint_ = s->fullRepaint_;
    linePen_->Assign(*s->linePen_);
    size_ = s->size_;
    style_ = s->style_;
  }
  TUloCustomToolSeries::Assign(source);
}

int TNearestTool::FindNearestPoint(TChartSeries &series, int x, int y) {
  int result = series.PointAtPixel(x, y);
  if (result != -1) return result;
  int first = 0, last = -1;
  if (!SeriesVisibleRange(series, first, last)) return -1;
  TCustomAxisPanel *chart = series.ParentChart();
  auto *series3D = dynamic_cast<TCustom3DSeries *>(&series);
  int best = 10000;
  for (int i = first; i <= last; ++i) {
    if (series.IsNullPoint(i)) continue;
    TPoint p{series.PointPixelX(i), series.PointPixelY(i)};
    if (series3D) {
      if (chart) p = chart->Canvas().ProjectPoint(p.X, p.Y, series3D->CalcZPos(i));
    } else if (chart && !Inside(chart->ChartRect, p.X, p.Y)) {
      continue;
    }
    const double dx = static_cast<double>(p.X) - x, dy = static_cast<double>(p.Y) - y;
    const int d = rtl::RoundPixel(std::sqrt(dx * dx + dy * dy));
    if (d < best) {
      best = d;
      result = i;
    }
  }
  return result;
}

void TNearestTool::PaintMarker() {
  TCustomAxisPanel *chart = ParentChart();
  TChartSeries *series = Series();
  if (!chart || !series || !series->Active() || Point < 0 || Point >= series->PointCount()) return;
  TUloCanvas3D &canvas = chart->Canvas();
  const bool is3D = chart->View3D();
  const TColor xorWith = 0xFFFFFF - ChartColor(*chart);
  if (fullRepaint_) {
    canvas.ApplyPen(Pen());
  } else {
    canvas.ApplyPenColor(Pen(), (ColorToRGB(Pen().Color()) & 0xFFFFFF) ^ xorWith);
    canvas.Pen().SetMode(TPenMode::pmNotXor);
  }
  const int x = series->PointPixelX(Point), y = series->PointPixelY(Point);
  auto *series3D = dynamic_cast<TCustom3DSeries *>(series);
  const int z = series3D ? series3D->CalcZPos(Point) : series->MiddleZ;
  canvas.ApplyBrush(Brush());
  canvas.SetBkMode(UloTransparentMode);
  const int s = size_;
  switch (style_) {
  case TNearestToolStyle::hsCircle:
    if (is3D)
      canvas.EllipseAtDepth(x - s, y - s, x + s, y + s, z);
    else
      canvas.Ellipse(x - s, y - s, x + s, y + s);
    break;
  case TNearestToolStyle::hsRectangle:
    if (is3D)
      canvas.RectangleAtDepth(TRect{x - s, y - s, x + s, y + s}, z);
    else
      canvas.Rectangle(x - s, y - s, x + s, y + s);
    break;
  case TNearestToolStyle::hsDiamond: {
    const TPoint p[4] = {{x, y - s}, {x + s, y}, {x, y + s}, {x - s, y}};
    if (is3D)
      canvas.PolygonAtDepth(p, z);
    else
      canvas.Polygon(p);
    break;
  }
  case TNearestToolStyle::hsSeries: {
    TNoRepaint quiet(*chart);
    TChartPen saved;
    saved.Assign(series->Pen());
    series->Pen().Assign(Pen());
    try {
      series->DrawPoint(Point);
    } catch (...) {
      series->Pen().Assign(saved);
      throw;
    }
    series->Pen().Assign(saved);
    break;
  }
  case TNearestToolStyle::hsNone:
    break;
  }
  if (linePen_->Visible()) {
    if (fullRepaint_) {
      canvas.ApplyPen(*linePen_);
    } else {
      canvas.ApplyPenColor(*linePen_, (ColorToRGB(linePen_->Color()) & 0xFFFFFF) ^ xorWith);
      canvas.Pen().SetMode(TPenMode::pmNotXor);
    }
    if (is3D)
      canvas.LineAtDepth(mouse_.X, mouse_.Y, x, y, z);
    else
      canvas.DrawLine(mouse_.X, mouse_.Y, x, y);
  }
  if (!fullRepaint_) canvas.Pen().SetMode(TPenMode::pmCopy);
}

void TNearestTool::ChartEvent(int stage) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (stage == UloToolStageAfterDraw) {
    PaintMarker();
  } else if (stage == UloToolStageMouseLeave) {
    if (!fullRepaint_) {
      PaintMarker();
      ShowFeedback(*chart);
    }
    Point = -1;
    if (fullRepaint_) chart->Invalidate();
  }
}

void TNearestTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  (void)button;
  (void)shift;
  TCustomAxisPanel *chart = ParentChart();
  TChartSeries *series = Series();
  if (kind != UloToolMouseMove || !chart || !series) return;
  if (!fullRepaint_) PaintMarker();
  Point = FindNearestPoint(*series, x, y);
  mouse_ = TPoint{x, y};
  if (!fullRepaint_) {
    PaintMarker();
    ShowFeedback(*chart);
  }
  if (OnChange) OnChange(this);
  if (fullRepaint_) chart->Invalidate();
}

void TNearestTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomToolSeries::DefineProperties(table);
  table.Property("DrawLine", this, &TNearestTool::DrawLine, &TNearestTool::SetDrawLine, true);
  table.Property("FullRepaint", this, &TNearestTool::FullRepaint, &TNearestTool::SetFullRepaint, true);
  table.Object("Brush", storedParts_.Get("Brush", [this](streaming::TPropertyTable &t) {
    DefineChartBrush(t, Brush(), clDefault, TBrushStyle::bsClear);
  }));
  table.Object("LinePen",
               storedParts_.Get("LinePen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *linePen_); }));
  table.Object("Pen", storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) {
    DefineChartPen(t, Pen(), clWhite);
    // The tool's pen is dotted from the start.
    const streaming::TPropertyDef style = *t.Find("Style");
    t.Define("Style", style.Read, style.Write).StoredWhen([this] { return Pen().Style() != TPenStyle::psDot; });
  }));
  table.Property("Size", this, &TNearestTool::Size, &TNearestTool::SetSize, 20);
  table.Enum(
      "Style", [this] { return style_; }, [this](TNearestToolStyle v) { SetStyle(v); }, TNearestToolStyle::hsCircle,
      kNearestStyleNames);
}

// ---- unit -----------------------------------------------------------------------------------

void StartCursorToolUnit() { RegisterUloTools({UloClass<TCursorTool>(), UloClass<TNearestTool>()}); }

void StopCursorToolUnit() { UnRegisterUloTools({UloClass<TCursorTool>(), UloClass<TNearestTool>()}); }
