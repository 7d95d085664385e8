#include "chart/tools/UloRotateTool.h"

#include <algorithm>
#include <cmath>

#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloStoredParts.h"
#include "platform/forms/Cursors.h"

namespace {

constexpr streaming::TEnumName<TRotateToolStyles> kStyleNames[] = {
    {TRotateToolStyles::rsAll, "rsAll"},
    {TRotateToolStyles::rsRotation, "rsRotation"},
    {TRotateToolStyles::rsElevation, "rsElevation"},
};

constexpr streaming::TEnumName<forms::TMouseButton> kButtonNames[] = {
    {forms::TMouseButton::mbLeft, "mbLeft"},
    {forms::TMouseButton::mbRight, "mbRight"},
    {forms::TMouseButton::mbMiddle, "mbMiddle"},
};

// Steps this small count as stopped.
constexpr double kInertiaRest = 0.01;

// Back into 0..360 however far a step went; 360 itself stays.
double WrapAngle(double a) noexcept {
  while (a > 360)
    a -= 360;
  while (a < 0)
    a += 360;
  return a;
}

} // namespace

TRotateTool::TRotateTool() {
  ReplacePen(std::make_unique<TChartHiddenPen>([this] { Repaint(); }));
  Pen().SetMode(TPenMode::pmXor);
  Pen().SetColor(clWhite);
}

TRotateTool::~TRotateTool() { timer_.reset(); }

void TRotateTool::SetInertia(int value) { inertia_ = std::clamp(value, 0, 100); }

bool TRotateTool::Spinning() const noexcept { return timer_ && timer_->Enabled(); }

void TRotateTool::StopTimer() {
  if (timer_) timer_->Stop();
}

// ---- turning

void TRotateTool::RotateBy(double rotationStep, double elevationStep) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TView3DOptions &view = chart->View3DOptions();
  // An orthogonal view does not show rotation at all.
  view.SetOrthogonal(false);
  const bool turnRotation = style_ != TRotateToolStyles::rsElevation;
  const bool turnElevation = style_ != TRotateToolStyles::rsRotation;
  if (chart->Canvas().CapabilityFlagA()) {
    if (turnRotation) view.ChangeRotation(WrapAngle(view.FloatRotation() + rotationStep));
    if (turnElevation) view.ChangeElevation(WrapAngle(view.FloatElevation() + elevationStep));
    return;
  }
  // The fractional angles, not their rounded view: slow drags must turn too.
  if (turnRotation && rotationStep != 0) view.ChangeRotation(WrapAngle(view.FloatRotation() + rotationStep));
  if (turnElevation && elevationStep != 0) {
    const double e = view.FloatElevation() + elevationStep;
    view.ChangeElevation(elevationStep > 0 ? std::min(e, 360.0) : std::max(e, 270.0));
  }
}

void TRotateTool::DragTo(int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  const double f = (speed_ - 50) * 0.01 + 1.0;
  rotationStep_ = (x - lastX_) * 90.0 / std::max(1, chart->Width()) * f;
  elevationStep_ = (lastY_ - y) * 90.0 / std::max(1, chart->Height()) * f;
  if (inverted_) {
    rotationStep_ = -rotationStep_;
    elevationStep_ = -elevationStep_;
  }
  const bool outline = Pen().Visible();
  if (outline) {
    if (firstMove_) {
      savedAutoRepaint_ = chart->AutoRepaint();
      autoRepaintSaved_ = true;
      chart->SetAutoRepaint(false);
      firstMove_ = false;
    } else {
      DrawOutlineBox();
    }
  }
  chart->SetView3D(true);
  RotateBy(rotationStep_, elevationStep_);
  lastX_ = x;
  lastY_ = y;
  chart->CancelMouse = true;
  if (outline) {
    chart->Canvas().RecalcProjection(chart->HorizDepth, chart->ChartRect);
    DrawOutlineBox();
  }
  if (OnRotate) OnRotate(this);
}

void TRotateTool::DrawOutlineBox() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  TUloCanvas3D &canvas = chart->Canvas();
  const TRect &r = chart->ChartRect;
  const int depth = chart->HorizDepth;
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  canvas.ApplyPen(Pen());
  canvas.RectangleAtDepth(r, 0);
  canvas.RectangleAtDepth(r, depth);
  const TPoint corners[] = {{r.Left, r.Top}, {r.Right, r.Top}, {r.Left, r.Bottom}, {r.Right, r.Bottom}};
  for (const TPoint &p : corners) {
    canvas.MoveToAtDepth(p.X, p.Y, 0);
    canvas.LineToAtDepth(p.X, p.Y, depth);
  }
}

// ---- inertia

void TRotateTool::InertiaTimerTick() {
  StopTimer();
  if (dragging_ || !ParentChart()) return;
  RotateBy(rotationStep_, elevationStep_);
  if (timer_) timer_->Start();
}

void TRotateTool::ChartEvent(int stage) {
  (void)stage;
  if (inertia_ <= 0) return;
  if (std::fabs(rotationStep_) > kInertiaRest || std::fabs(elevationStep_) > kInertiaRest) {
    const double k = (100 - inertia_) * 0.001;
    auto decay = [k](double &s) { s = std::fabs(s) > kInertiaRest ? s - s * k : 0; };
    decay(rotationStep_);
    decay(elevationStep_);
  } else {
    StopTimer();
  }
}

// ---- mouse

void TRotateTool::ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) {
  (void)shift;
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  switch (kind) {
  case UloToolMouseDown:
    if (button != button_) return;
    StopTimer();
    dragging_ = true;
    lastX_ = x;
    lastY_ = y;
    firstMove_ = true;
    autoRepaintSaved_ = false;
    if (cursor_ != 0) {
      savedCursor_ = forms::ScreenCursor();
      forms::SetScreenCursor(cursor_);
    }
    // Otherwise the chart's own zoom would start under the drag.
    chart->CancelMouse = true;
    return;
  case UloToolMouseMove:
    if (dragging_) DragTo(x, y);
    return;
  case UloToolMouseUp:
    if (!dragging_) return;
    dragging_ = false;
    if (Pen().Visible()) {
      if (autoRepaintSaved_) chart->SetAutoRepaint(savedAutoRepaint_);
      autoRepaintSaved_ = false;
      chart->Invalidate();
    }
    if (inertia_ > 0) {
      if (!timer_) {
        timer_ = forms::CreateTimer();
        timer_->OnTimer = [this] { InertiaTimerTick(); };
      }
      timer_->SetInterval(1);
      timer_->Start();
    }
    if (cursor_ != 0) forms::SetScreenCursor(savedCursor_);
    return;
  default:
    return;
  }
}

// ---- element

void TRotateTool::SetActive(bool value) {
  // An inactive tool hears no paints, so nothing would ever slow the spin.
  if (!value) StopTimer();
  TUloCustomTool::SetActive(value);
}

void TRotateTool::SetParentChart(TCustomAxisPanel *value) {
  if (value != ParentChart()) {
    StopTimer();
    dragging_ = false;
  }
  TUloCustomTool::SetParentChart(value);
}

void TRotateTool::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TRotateTool *>(&source)) {
    button_ = s->button_;
    inertia_ = s->inertia_;
    inverted_ = s->inverted_;
    speed_ = s->speed_;
    style_ = s->style_;
  }
  TUloCustomTool::Assign(source);
}

std::string TRotateTool::GetGalleryName() const { return UloProToolRotate; }

std::string TRotateTool::GetGalleryHint() const { return UloProHintRotateTool; }

void TRotateTool::DefineProperties(streaming::TPropertyTable &table) {
  TUloCustomTool::DefineProperties(table);
  using T = TRotateTool;
  table.Enum(
      "Button", [this] { return button_; }, [this](forms::TMouseButton v) { SetButton(v); },
      forms::TMouseButton::mbLeft, kButtonNames);
  table.Property("Cursor", this, &T::Cursor, &T::SetCursor, 2020);
  table.Property("Inertia", this, &T::Inertia, &T::SetInertia, 0);
  table.Property("Inverted", this, &T::Inverted, &T::SetInverted, false);
  table.Object("Pen",
               storedParts_.Get("Pen", [this](streaming::TPropertyTable &t) { DefineChartPen(t, Pen(), clWhite); }));
  table.Property("Speed", this, &T::Speed, &T::SetSpeed, 50);
  table.Enum(
      "Style", [this] { return style_; }, [this](TRotateToolStyles v) { SetStyle(v); }, TRotateToolStyles::rsAll,
      kStyleNames);
}

// ---- unit start and stop --------------------------------------------------------

void StartRotateToolUnit() { RegisterUloTools({UloClass<TRotateTool>()}); }

void StopRotateToolUnit() { UnRegisterUloTools({UloClass<TRotateTool>()}); }
