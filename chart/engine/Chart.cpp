#include "chart/engine/Chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloMarks.h"
#include "chart/engine/UloPalettes.h"
#include "chart/engine/UloSeries.h"
#include "chart/engine/UloTool.h"
#include "chart/foundation/UloGeometry.h"
#include "platform/streaming/Streaming.h"

using forms::TMouseButton;
using forms::TShiftState;
using streaming::TPropertyTable;
using streaming::TReadContext;
using streaming::TValue;

bool UloWheelScrolls = true;

namespace {

// The keys a pan needs held: none.
constexpr TShiftState kPanKeys = 0;

constexpr int kWheelNotch = 120;

// A range the axes can take: neither end infinite nor NaN. Shifting or
// zooming an axis that spans nearly all doubles overflows, and such a range
// would spoil every later mapping.
bool FiniteRange(double aMin, double aMax) { return std::isfinite(aMin) && std::isfinite(aMax); }

// An automatic axis that no series has a point on has an empty range:
// scrolling it would fix it there, and the points added later would all
// land outside.
bool ScrollsEmptyRange(const TCustomAxisPanel &panel, const TChartAxis &axis) {
  return (axis.Automatic() || axis.AutomaticMinimum() || axis.AutomaticMaximum()) && !panel.AxisHasPoints(&axis);
}

bool InsideInclusive(const TRect &r, int x, int y) {
  return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom;
}

constexpr streaming::TEnumName<TMouseButton> kMouseButtonNames[] = {
    {TMouseButton::mbLeft, "mbLeft"},
    {TMouseButton::mbRight, "mbRight"},
    {TMouseButton::mbMiddle, "mbMiddle"},
};

} // namespace

// ---- construction --------------------------------------------------------------

TCustomChart::TCustomChart(forms::TWinControl *parent) : TCustomAxisPanel(parent) {
  // Nothing drawn while the parts are made asks for a paint.
  const bool repaint = AutoRepaint();
  SetAutoRepaint(false);
  title_ = std::make_unique<TChartTitle>(this);
  scrollMouseButton_ = TMouseButton::mbRight;
  subTitle_ = std::make_unique<TChartTitle>(this);
  foot_ = std::make_unique<TChartFootTitle>(this);
  subFoot_ = std::make_unique<TChartFootTitle>(this);
  walls_ = std::make_unique<TChartWalls>(this);
  legend_ = std::make_unique<TChartLegend>(this);
  rangesNotSaved_ = true;
  SetAutoRepaint(repaint);
}

TCustomChart::~TCustomChart() {
  MarkDestroying();
  savedRanges_.clear();
  subTitle_.reset();
  title_.reset();
  subFoot_.reset();
  foot_.reset();
  walls_.reset();
  legend_.reset();
}

void TCustomChart::Assign(const TCustomUloPanel &source) {
  if (auto *other = dynamic_cast<const TCustomChart *>(&source); other && other != this) {
    SetColorPaletteIndex(other->colorPaletteIndex_);
    foot_->Assign(*other->foot_);
    legend_->Assign(*other->legend_);
    scrollMouseButton_ = other->scrollMouseButton_;
    subFoot_->Assign(*other->subFoot_);
    subTitle_->Assign(*other->subTitle_);
    title_->Assign(*other->title_);
    walls_->Assign(*other->walls_);
  }
  TCustomAxisPanel::Assign(source);
}

// The palette unit stores the index back through StoreColorPaletteIndex.
void TCustomChart::SetColorPaletteIndex(int value) { TColorPalettes::ApplyPalette(*this, value); }

// ---- the panel's operations -------------------------------------------------------

TColor TCustomChart::GetBackColor() {
  const TChartBackWall &back = walls_->Back();
  return back.Transparent() ? Color() : back.Color();
}

void TCustomChart::SetBackColor(TColor value) {
  TChartBackWall &back = walls_->Back();
  back.SetColor(value);
  if (!Loading()) back.Brush().SetStyle(TBrushStyle::bsSolid);
}

bool TCustomChart::IsFreeSeriesColor(TColor color, bool checkBackground, TChartSeries *series) {
  for (int i = 0; i < SeriesCount(); ++i) {
    TChartSeries *s = GetSeries(i);
    if (s != series && s->SeriesColor() == color) return false;
  }
  return !(checkBackground && (color == Color() || color == walls_->Back().Color()));
}

int TCustomChart::GetAxisWallSize(TChartAxis *axis) {
  if (!View3D() || !View3DWalls()) return 0;
  TCustomChartWall *wall;
  if (axis == LeftAxis())
    wall = &walls_->Left();
  else if (axis == BottomAxis())
    wall = &walls_->Bottom();
  else if (axis == RightAxis())
    wall = &walls_->Right();
  else
    wall = &walls_->Back();
  return wall->Visible() ? wall->Size() : 0;
}

bool TCustomChart::AnySeriesAxisBased() {
  for (int i = 0; i < SeriesCount(); ++i) {
    TChartSeries *s = GetSeries(i);
    if (s->Active() && s->IsAxisBased()) return true;
  }
  return false;
}

void TCustomChart::CalcWallsRect() {
  CalcSize3DWalls();
  if (!View3D() || !View3DOptions().Orthogonal() || FixedChartRect()) return;
  const int back = CountActiveSeries() == 0 || AnySeriesAxisBased() ? walls_->Back().Size() : 0;
  const int d = std::abs(HorizDepth) + back;
  if (View3DOptions().OrthoAngle() < 91) {
    ChartRect.Right -= d;
    if (walls_->Right().Visible()) ChartRect.Right -= walls_->Right().Size() + 1;
  } else {
    ChartRect.Left += d;
    if (walls_->Left().Visible()) ChartRect.Left += walls_->Left().Size() + 1;
  }
  ChartRect.Top += back + std::abs(VertDepth);
  RecalcChartSize();
}

void TCustomChart::DrawLegendSymbol(const TRect &rect) {
  TLegendSymbol &symbol = legend_->Symbol();
  if (symbol.HasGradientOrShadow())
    symbol.Draw(Canvas(), Canvas().Brush().Color(), rect);
  else
    PanelRectangle(rect);
}

TChartPen *TCustomChart::LegendSymbolPen() {
  TLegendSymbol &symbol = legend_->Symbol();
  return symbol.DefaultPen() ? nullptr : &symbol.Pen();
}

std::string TCustomChart::FormattedValueLegend(TChartSeries *series, int valueIndex) {
  if (!series) return {};
  return legend_->FormattedValue(series, valueIndex);
}

// ---- hit test ---------------------------------------------------------------------

TChartPartHit TCustomChart::CalcClickedPart(const TPoint &point, bool onlyClickable) {
  return ClickedPart(point, onlyClickable, false);
}

TChartPartHit TCustomChart::ClickedPart(const TPoint &point, bool onlyClickable, bool mouseDown) {
  TChartPartHit hit;
  const int x = point.X, y = point.Y;
  if (legend_->Visible() && legend_->CustomPosition()) {
    const int item = legend_->Clicked(x, y);
    if (item != -1) {
      hit.Part = TChartPartKind::cpkLegend;
      hit.PointIndex = item;
      return hit;
    }
  }
  for (int i = SeriesCount() - 1; i >= 0; --i) {
    TChartSeries *s = GetSeries(i);
    if (!s->Active()) continue;
    if (onlyClickable && !s->HasClickEvents() && !OnClickSeries) continue;
    // A press asks the series' click test, which may fire point events of
    // its own; other callers only look.
    int index = mouseDown ? s->ClickedPointAtPixel(x, y) : s->PointAtPixel(x, y);
    if (index != -1) {
      hit.Part = TChartPartKind::cpkSeries;
      hit.PointIndex = index;
      hit.Series = s;
      return hit;
    }
    if (s->Marks().Visible()) {
      index = s->Marks().Clicked(x, y);
      if (index != -1) {
        hit.Part = TChartPartKind::cpkSeriesMarks;
        hit.PointIndex = index;
        hit.Series = s;
        return hit;
      }
    }
  }
  for (int i = 0; i < Axes().Count(); ++i) {
    TChartAxis *axis = Axes().Items(i);
    if (axis->Clicked(x, y)) {
      hit.Part = TChartPartKind::cpkAxis;
      hit.Axis = axis;
      return hit;
    }
    TChartAxisTitle &title = axis->Title();
    if (title.Visible() && !title.Caption().empty() && title.Clicked(x, y)) {
      hit.Part = TChartPartKind::cpkAxisTitle;
      hit.Axis = axis;
      return hit;
    }
  }
  if (legend_->Visible() && !legend_->CustomPosition()) {
    const int item = legend_->Clicked(x, y);
    if (item != -1) {
      hit.Part = TChartPartKind::cpkLegend;
      hit.PointIndex = item;
      return hit;
    }
  }
  const std::pair<TChartTitle *, TChartPartKind> titles[4] = {{title_.get(), TChartPartKind::cpkTitle},
                                                              {subTitle_.get(), TChartPartKind::cpkSubTitle},
                                                              {foot_.get(), TChartPartKind::cpkFoot},
                                                              {subFoot_.get(), TChartPartKind::cpkSubFoot}};
  for (const auto &[title, kind] : titles)
    if (title->Clicked(x, y)) {
      hit.Part = kind;
      return hit;
    }
  if (InsideInclusive(ChartRect, x, y) && CountActiveSeries() > 0) hit.Part = TChartPartKind::cpkChartRect;
  return hit;
}

// ---- saved ranges --------------------------------------------------------------------

void TCustomChart::SaveAxesRanges() {
  savedRanges_.assign(static_cast<size_t>(Axes().Count()), TAxisSavedRange{});
  for (int i = 0; i < Axes().Count(); ++i) {
    const TChartAxis *axis = Axes().Items(i);
    if (axis->IsDepthAxis) continue;
    TAxisSavedRange &r = savedRanges_[static_cast<size_t>(i)];
    r.Automatic = axis->Automatic();
    r.AutomaticMinimum = axis->AutomaticMinimum();
    r.AutomaticMaximum = axis->AutomaticMaximum();
    r.Minimum = axis->Minimum();
    r.Maximum = axis->Maximum();
    r.Held = true;
  }
}

void TCustomChart::RestoreAxesRanges() {
  // Axes made or freed since the ranges were saved have no saved range;
  // only the entries present both times come back.
  const int n = std::min(static_cast<int>(savedRanges_.size()), Axes().Count());
  for (int i = 0; i < n; ++i) {
    const TAxisSavedRange &r = savedRanges_[static_cast<size_t>(i)];
    TChartAxis *axis = Axes().Items(i);
    if (!r.Held || axis->IsDepthAxis) continue;
    axis->SetAutomatic(r.Automatic);
    axis->SetAutomaticMinimum(r.AutomaticMinimum);
    axis->SetAutomaticMaximum(r.AutomaticMaximum);
    // The order that never passes through a minimum above the maximum.
    if (r.Minimum <= axis->Maximum()) {
      axis->SetMinimum(r.Minimum);
      axis->SetMaximum(r.Maximum);
    } else {
      axis->SetMaximum(r.Maximum);
      axis->SetMinimum(r.Minimum);
    }
  }
  savedRanges_.clear();
}

// ---- zoom -------------------------------------------------------------------------------

void TCustomChart::ZoomToValues(double leftMin, double leftMax, double rightMin, double rightMax, double topMin,
                                double topMax, double bottomMin, double bottomMax) {
  if (rangesNotSaved_) {
    SaveAxesRanges();
    rangesNotSaved_ = false;
  }
  TUloZoom &zoom = Zoom();
  const bool vertical = zoom.Direction() != TUloZoomDirection::tzdHorizontal;
  const bool horizontal = zoom.Direction() != TUloZoomDirection::tzdVertical;
  struct TTarget {
    TChartAxis *Axis;
    double Min, Max;
    bool Takes;
  };
  const TTarget targets[4] = {{LeftAxis(), leftMin, leftMax, vertical},
                              {RightAxis(), rightMin, rightMax, vertical},
                              {TopAxis(), topMin, topMax, horizontal},
                              {BottomAxis(), bottomMin, bottomMax, horizontal}};
  if (zoom.Animated()) {
    for (int step = 1; step < zoom.AnimatedSteps(); ++step) {
      for (const TTarget &t : targets) {
        if (!t.Takes || !FiniteRange(t.Min, t.Max)) continue;
        const double newMin = t.Axis->Minimum() + (t.Min - t.Axis->Minimum()) / 3.0;
        const double newMax = t.Axis->Maximum() - (t.Axis->Maximum() - t.Max) / 3.0;
        if (FiniteRange(newMin, newMax)) t.Axis->SetMinMax(newMin, newMax);
      }
      Invalidate();
      forms::TPaintHost::Repaint();
    }
  }
  for (const TTarget &t : targets)
    if (t.Takes && FiniteRange(t.Min, t.Max)) t.Axis->SetMinMax(t.Min, t.Max);
  Zoomed = true;
  if (OnZoom) OnZoom();
  Invalidate();
}

void TCustomChart::ZoomFromMouse() {
  TUloZoom &zoom = Zoom();
  zoom.Check();
  ZoomToValues(LeftAxis()->CalcPosPoint(zoom.Y1), LeftAxis()->CalcPosPoint(zoom.Y0), RightAxis()->CalcPosPoint(zoom.Y1),
               RightAxis()->CalcPosPoint(zoom.Y0), TopAxis()->CalcPosPoint(zoom.X0), TopAxis()->CalcPosPoint(zoom.X1),
               BottomAxis()->CalcPosPoint(zoom.X0), BottomAxis()->CalcPosPoint(zoom.X1));
}

void TCustomChart::UndoZoom() {
  if (!rangesNotSaved_) {
    RestoreAxesRanges();
    rangesNotSaved_ = true;
  }
  UndoZoomDone();
}

// ---- mouse ----------------------------------------------------------------------------------

void TCustomChart::SendToolsMouse(int kind, TMouseButton button, TShiftState shift, int x, int y) {
  BroadcastToolMouseEvent(kind, button, shift, x, y);
}

bool TCustomChart::StartDrag(TMouseButton button, TShiftState shift, int x, int y) {
  if (CountActiveSeries() > 0 && !AnySeriesAxisBased()) return false;
  bool handled = false;
  TUloZoom &zoom = Zoom();
  if (zoom.Allow() && button == zoom.MouseButton() && (shift & zoom.KeyShift()) == zoom.KeyShift()) {
    if (zoom.Direction() == TUloZoomDirection::tzdVertical) x = ChartRect.Left;
    if (zoom.Direction() == TUloZoomDirection::tzdHorizontal) y = ChartRect.Top;
    zoom.Activate(x, y);
    if (zoom.Direction() == TUloZoomDirection::tzdVertical) zoom.X1 = ChartRect.Right;
    if (zoom.Direction() == TUloZoomDirection::tzdHorizontal) zoom.Y1 = ChartRect.Bottom;
    DrawZoomRectangle();
    TCustomPanelNoCaption::Invalidate();
    handled = true;
  }
  if (!handled && AllowPanning() != TPanningMode::pmNone && button == scrollMouseButton_ &&
      (shift & kPanKeys) == kPanKeys) {
    Panning().Activate(x, y);
    handled = true;
  }
  if (handled) SetCursor(SavedCursor);
  return handled;
}

void TCustomChart::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomAxisPanel::MouseDown(button, shift, x, y);
  if (CancelMouse || Zoom().Active || Panning().Active) return;
  CancelMouse = false;
  if (!BroadcastToolMouseEvent(UloToolMouseDown, button, shift, x, y)) {
    const TChartPartHit hit = ClickedPart(TPoint{x, y}, true, true);
    bool handled = false;
    // The pattern of every click event: a handler that leaves CancelMouse
    // set (doing nothing does) has handled the click.
    auto fire = [this, &handled](auto &&event) {
      CancelMouse = true;
      event();
      handled = CancelMouse;
    };
    switch (hit.Part) {
    case TChartPartKind::cpkLegend:
      if (legend_->HasCheckBoxes() && hit.PointIndex != -1) {
        const bool radio = legend_->CheckBoxesStyle() == TCheckBoxesStyle::cbsRadio;
        if (legend_->CalcLegendStyle() == TLegendStyle::lsSeriesGroups) {
          TSeriesGroups &groups = SeriesGroups();
          if (hit.PointIndex < groups.Count()) {
            TSeriesGroup *hitGroup = groups.Items(hit.PointIndex);
            if (radio) {
              for (int i = 0; i < groups.Count(); ++i)
                groups.Items(i)->SetActive(groups.Items(i) == hitGroup ? TSeriesGroupActive::gaYes
                                                                       : TSeriesGroupActive::gaNo);
            } else {
              hitGroup->SetActive(hitGroup->Active() == TSeriesGroupActive::gaNo ? TSeriesGroupActive::gaYes
                                                                                 : TSeriesGroupActive::gaNo);
            }
            handled = true;
          }
        } else if (TChartSeries *hitSeries = LegendSeries(hit.PointIndex, false)) {
          if (radio) {
            for (int i = 0; TChartSeries *s = LegendSeries(i, false); ++i)
              s->SetActive(s == hitSeries);
          } else {
            hitSeries->SetActive(!hitSeries->Active());
          }
          handled = true;
        }
      }
      if (OnClickLegend) fire([&] { OnClickLegend(this, button, shift, x, y); });
      break;
    case TChartPartKind::cpkAxis:
      if (OnClickAxis) fire([&] { OnClickAxis(this, hit.Axis, button, shift, x, y); });
      if (!handled) handled = StartDrag(button, shift, x, y);
      break;
    case TChartPartKind::cpkSeries:
      CancelMouse = false;
      if (!(shift & forms::ssDouble)) {
        if (hit.Series->OnClick) hit.Series->OnClick(hit.Series, hit.PointIndex, button, shift, x, y);
      } else if (hit.Series->OnDblClick) {
        hit.Series->OnDblClick(hit.Series, hit.PointIndex, button, shift, x, y);
      }
      handled = CancelMouse;
      if (OnClickSeries) fire([&] { OnClickSeries(this, hit.Series, hit.PointIndex, button, shift, x, y); });
      if (!handled) handled = StartDrag(button, shift, x, y);
      break;
    case TChartPartKind::cpkTitle:
    case TChartPartKind::cpkFoot:
    case TChartPartKind::cpkSubTitle:
    case TChartPartKind::cpkSubFoot: {
      TChartTitle *title = hit.Part == TChartPartKind::cpkTitle      ? title_.get()
                           : hit.Part == TChartPartKind::cpkSubTitle ? subTitle_.get()
                           : hit.Part == TChartPartKind::cpkFoot     ? static_cast<TChartTitle *>(foot_.get())
                                                                     : subFoot_.get();
      if (OnClickTitle) fire([&] { OnClickTitle(this, title, button, shift, x, y); });
      if (!handled) handled = StartDrag(button, shift, x, y);
      break;
    }
    case TChartPartKind::cpkChartRect:
      if (OnClickBackground) fire([&] { OnClickBackground(this, button, shift, x, y); });
      if (!handled) handled = StartDrag(button, shift, x, y);
      break;
    default:
      break;
    }
    if (!handled && OnClickBackground) fire([&] { OnClickBackground(this, button, shift, x, y); });
  }
  CancelMouse = false;
}

bool TCustomChart::PanAxes(bool horizontal, int newPos, int oldPos) {
  if (newPos == oldPos) return false;
  const TPanningMode mode = AllowPanning();
  const bool allowed = mode == TPanningMode::pmBoth ||
                       (horizontal ? mode == TPanningMode::pmHorizontal : mode == TPanningMode::pmVertical);
  if (!allowed) return false;
  for (int i = 0; i < Axes().Count(); ++i) {
    TChartAxis *axis = Axes().Items(i);
    if (axis->IsDepthAxis || axis->Horizontal != horizontal || ScrollsEmptyRange(*this, *axis)) continue;
    const double delta = axis->CalcPosPoint(oldPos) - axis->CalcPosPoint(newPos);
    double aMin = axis->Minimum() + delta;
    double aMax = axis->Maximum() + delta;
    if (!FiniteRange(aMin, aMax)) continue;
    bool allowScroll = true;
    if (OnAllowScroll) OnAllowScroll(axis, aMin, aMax, allowScroll);
    if (allowScroll && FiniteRange(aMin, aMax)) axis->SetMinMax(aMin, aMax);
  }
  return true;
}

void TCustomChart::MouseMove(TShiftState shift, int x, int y) {
  TCustomAxisPanel::MouseMove(shift, x, y);
  if (BroadcastToolMouseEvent(UloToolMouseMove, TMouseButton::mbLeft, shift, x, y) || CancelMouse) return;
  TUloZoom &zoom = Zoom();
  TZoomPanning &pan = Panning();
  if (zoom.Active) {
    if (zoom.Direction() == TUloZoomDirection::tzdVertical) x = ChartRect.Right;
    if (zoom.Direction() == TUloZoomDirection::tzdHorizontal) y = ChartRect.Bottom;
    if (x != zoom.X1 || y != zoom.Y1) {
      DrawZoomRectangle();
      zoom.X1 = x;
      zoom.Y1 = y;
      DrawZoomRectangle();
      TCustomPanelNoCaption::Invalidate();
    }
  } else if (pan.Active) {
    if (!InsideInclusive(ChartRect, x, y)) {
      pan.Active = false;
    } else if (x != pan.X1 || y != pan.Y1) {
      if (rangesNotSaved_) {
        SaveAxesRanges();
        rangesNotSaved_ = false;
      }
      const bool movedH = PanAxes(true, x, pan.X1);
      const bool movedV = PanAxes(false, y, pan.Y1);
      pan.X1 = x;
      pan.Y1 = y;
      if (movedH || movedV) {
        if (OnScroll) OnScroll();
        Invalidate();
      }
    }
  } else if (!CheckMouseOverSeries(x, y)) {
    SetCursor(SavedCursor);
  }
}

void TCustomChart::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  CancelMouse = false;
  TCustomAxisPanel::MouseUp(button, shift, x, y);
  TUloZoom &zoom = Zoom();
  if (zoom.Active && button == zoom.MouseButton()) {
    zoom.Active = false;
    DrawZoomRectangle();
    Canvas().Pen().SetMode(TPenMode::pmCopy);
    TCustomPanelNoCaption::Invalidate();
    const TUloZoomDirection dir = zoom.Direction();
    if (dir != TUloZoomDirection::tzdVertical) zoom.X1 = x;
    if (dir != TUloZoomDirection::tzdHorizontal) zoom.Y1 = y;
    const int minimum = zoom.MinimumPixels();
    const bool counts = (dir == TUloZoomDirection::tzdVertical || std::abs(zoom.X1 - zoom.X0) > minimum) &&
                        (dir == TUloZoomDirection::tzdHorizontal || std::abs(zoom.Y1 - zoom.Y0) > minimum);
    if (counts) {
      bool zoomIn;
      if (zoom.UpLeftZooms())
        zoomIn = true;
      else if (dir == TUloZoomDirection::tzdVertical)
        zoomIn = zoom.Y1 > zoom.Y0;
      else
        zoomIn = zoom.X1 > zoom.X0;
      if (zoomIn)
        ZoomFromMouse();
      else
        UndoZoom();
      Invalidate();
    }
  }
  Panning().Active = false;
  BroadcastToolMouseEvent(UloToolMouseUp, button, shift, x, y);
}

// ---- wheel ---------------------------------------------------------------------------

void TCustomChart::HostMouseWheel(int delta, TShiftState shift, int x, int y) {
  // Touch pads send parts of a notch; whole notches act.
  wheelRest_ += delta;
  while (std::abs(wheelRest_) >= kWheelNotch) {
    const int notch = wheelRest_ > 0 ? kWheelNotch : -kWheelNotch;
    wheelRest_ -= notch;
    DoMouseWheel(shift, notch, x, y);
  }
}

bool TCustomChart::DoMouseWheel(TShiftState shift, int wheelDelta, int x, int y) {
  // The window library's general handling runs the handler of the
  // direction; then the tools hear of the wheel as such.
  const bool handled = wheelDelta < 0 ? DoMouseWheelDown(shift, x, y) : DoMouseWheelUp(shift, x, y);
  BroadcastToolWheelEvent(1, x, y);
  return handled;
}

void TCustomChart::WheelScroll(bool down) {
  const TPanningMode mode = AllowPanning();
  if (!UloWheelScrolls || (mode != TPanningMode::pmVertical && mode != TPanningMode::pmBoth)) return;
  for (int i = 0; i < Axes().Count(); ++i) {
    TChartAxis *axis = Axes().Items(i);
    // Depth axes stay: the wheel pans like a vertical drag does.
    if (axis->Horizontal || axis->IsDepthAxis || ScrollsEmptyRange(*this, *axis)) continue;
    double step = (axis->Maximum() - axis->Minimum()) * 3.0 * 0.01;
    if (!down) step = -step;
    double aMin = axis->Minimum() + step;
    double aMax = axis->Maximum() + step;
    if (!FiniteRange(aMin, aMax)) continue;
    bool allowScroll = true;
    if (OnAllowScroll) OnAllowScroll(axis, aMin, aMax, allowScroll);
    if (allowScroll) axis->Scroll(step, false);
  }
}

bool TCustomChart::DoMouseWheelDown(TShiftState, int x, int y) {
  WheelScroll(true);
  BroadcastToolWheelEvent(0, x, y);
  return false;
}

bool TCustomChart::DoMouseWheelUp(TShiftState, int x, int y) {
  WheelScroll(false);
  BroadcastToolWheelEvent(2, x, y);
  return false;
}

// ---- stored keys -------------------------------------------------------------------

void TCustomChart::DefineProperties(TPropertyTable &t) {
  TCustomAxisPanel::DefineProperties(t);
  t.Property(
       "ColorPaletteIndex", [this] { return ColorPaletteIndex(); }, [this](int v) { SetColorPaletteIndex(v); })
      .StoredWhen([this] { return colorPaletteIndex_ >= 1; });
  t.Define(
      "BackColor",
      [this](const TValue &v, TReadContext &) {
        // A colour name this program does not know leaves the wall as it is
        // instead of failing the whole definition.
        if (v.Kind == streaming::TValueKind::vkIdent) {
          if (auto color = streaming::IdentToColor(v.AsIdent())) SetBackColor(*color);
          return;
        }
        SetBackColor(streaming::ValueToColor(v));
      },
      nullptr);
}

void TChart::DefineProperties(TPropertyTable &t) {
  TCustomChart::DefineProperties(t);
  auto object = [&t](std::string_view name, auto get) {
    t.Object(name, [get] { return static_cast<streaming::TPersistent *>(get()); });
  };
  object("BackWall", [this] { return &BackWall(); });
  object("BottomWall", [this] { return &BottomWall(); });
  object("LeftWall", [this] { return &LeftWall(); });
  object("RightWall", [this] { return &RightWall(); });
  object("Title", [this] { return &Title(); });
  object("SubTitle", [this] { return &SubTitle(); });
  object("Foot", [this] { return &Foot(); });
  object("SubFoot", [this] { return &SubFoot(); });
  object("Legend", [this] { return &Legend(); });
  // The back wall's frame under its published alias: read, and written
  // once, as BackWall.Pen.
  t.Object("Frame", StoredParts().Get("Frame", [this](TPropertyTable &p) {
     DefineChartPen(p, Frame());
   })).StoredWhen([] { return false; });
  t.Enum(
      "ScrollMouseButton", [this] { return ScrollMouseButton(); }, [this](TMouseButton b) { SetScrollMouseButton(b); },
      TMouseButton::mbRight, kMouseButtonNames);
}

void StartChartUnit() { streaming::ClassRegistry().RegisterClass<TChart>("TChart"); }

void StopChartUnit() { streaming::ClassRegistry().UnregisterClass("TChart"); }
