#include "chart/tools/UloAnnotation.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "chart/engine/Chart.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloProCo.h"
#include "platform/forms/Cursors.h"
#include "platform/rtl/Numbers.h"

using forms::TMouseButton;
using forms::TShiftState;
using streaming::TPropertyTable;

namespace {

constexpr streaming::TEnumName<TAnnotationPosition> kPositionNames[] = {
    {TAnnotationPosition::ppLeftTop, "ppLeftTop"},   {TAnnotationPosition::ppLeftBottom, "ppLeftBottom"},
    {TAnnotationPosition::ppRightTop, "ppRightTop"}, {TAnnotationPosition::ppRightBottom, "ppRightBottom"},
    {TAnnotationPosition::ppCenter, "ppCenter"},
};
constexpr streaming::TEnumName<TUloUnits> kUnitsNames[] = {
    {TUloUnits::muPercent, "muPercent"},
    {TUloUnits::muPixels, "muPixels"},
};

// The lines of a box's text: line feeds dropped, split at carriage returns;
// an empty text is one blank, so that the box still has a size.
void SplitLines(const std::string &text, std::vector<std::string> &lines) {
  lines.clear();
  std::string current;
  for (char ch : text) {
    if (ch == '\n') continue;
    if (ch == '\r') {
      lines.push_back(std::move(current));
      current.clear();
    } else {
      current += ch;
    }
  }
  lines.push_back(std::move(current));
  if (lines.size() == 1 && lines[0].empty()) lines[0] = " ";
}

// A percentage of Size as pixels, held to the range drawing may use.
int PercentToPixels(int percent, int size) {
  return std::clamp(rtl::RoundPixel(percent * size * 0.01), -UloMaxPixel, UloMaxPixel);
}

int PixelsToPercent(int pixels, int size) {
  if (size <= 0) return 0;
  return rtl::RoundPixel(pixels * 100.0 / size);
}

bool Inside(const TRect &r, int x, int y) { return x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom; }

} // namespace

// ---- text shape ------------------------------------------------------------------

TTextShape::TTextShape(TCustomUloPanel *chart) : TUloCustomShapePosition(chart), margins_([this] { Repaint(); }) {}

void TTextShape::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TTextShape *>(&source); other && other != this) {
    SetAutoSize(other->autoSize_);
    SetClipText(other->clipText_);
    SetCursor(other->cursor_);
    margins_.Assign(other->margins_);
    SetTextAlignment(other->textAlignment_);
    SetText(other->text_);
  }
  TUloCustomShapePosition::Assign(source);
}

void TTextShape::PaintTextBox(TCustomUloPanel &chart, const TRect &rect, int lineCount, int xOffset) {
  (void)lineCount;
  TUloCanvas3D &canvas = chart.Canvas();
  const TRect r{rect.Left + chart.PanelBounds.Left, rect.Top + chart.PanelBounds.Top,
                rect.Right + chart.PanelBounds.Left, rect.Bottom + chart.PanelBounds.Top};
  if (Visible()) DrawRect(r, 0, 0);
  if (clipText_) canvas.ClipToRect(TRect{r.Left, r.Top, r.Right + 1, r.Bottom + 1});

  canvas.SetBkMode(UloTransparentMode);
  canvas.ApplyFont(Font());
  canvas.SetTextAlign(0);
  const int lineHeight = canvas.StandardTextHeight();
  std::vector<std::string> lines;
  SplitLines(text_, lines);
  const bool html = TextFormat() == TTextFormat::ttfHtml;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string &line = lines[i];
    int x;
    switch (textAlignment_) {
    case TAlignment::taCenter:
      x = (margins_.PixelLeft() + r.Left + r.Right - margins_.PixelRight()) / 2 + 1 - canvas.MeasureTextWidth(line) / 2;
      break;
    case TAlignment::taRightJustify:
      x = r.Right - margins_.PixelRight() - canvas.MeasureTextWidth(line);
      break;
    default:
      x = r.Left + margins_.PixelLeft() + (Pen().Visible() ? Pen().Width() : 0);
      break;
    }
    const int y = static_cast<int>(i) * lineHeight + r.Top + margins_.PixelTop();
    canvas.TextOutMaybeRich(xOffset + x, y, line, html);
  }
  if (clipText_) canvas.RemoveClip();
}

void TTextShape::DefineProperties(TPropertyTable &t) {
  TUloCustomShapePosition::DefineProperties(t);
  t.Property(
      "AutoSize", [this] { return AutoSize(); }, [this](bool v) { SetAutoSize(v); }, true);
  t.Enum(
      "Bevel", [this] { return Bevel(); }, [this](TBevelCut b) { SetBevel(b); }, TBevelCut::bvNone, UloBevelCutNames());
  t.Property(
      "BevelWidth", [this] { return BevelWidth(); }, [this](int v) { SetBevelWidth(v); }, 2);
  DefineBrush(t);
  t.Property(
      "ClipText", [this] { return ClipText(); }, [this](bool v) { SetClipText(v); }, true);
  t.Property(
      "Cursor", [this] { return Cursor(); }, [this](int v) { SetCursor(v); }, 0);
  DefinePen(t, "Frame");
  t.Object("Margins", [this] { return static_cast<streaming::TPersistent *>(&margins_); });
  t.Object("Picture", [this] { return static_cast<streaming::TPersistent *>(&Picture()); }).StoredWhen([this] {
    return ExistingPicture() && ExistingPicture()->Graphic();
  });
  t.Enum(
      "ShapeStyle", [this] { return ShapeStyle(); }, [this](TChartObjectShapeStyle s) { SetShapeStyle(s); },
      TChartObjectShapeStyle::fosRectangle, UloShapeStyleNames());
  t.Property(
       "Text", [this] { return Text(); }, [this](std::string v) { SetText(v); })
      .StoredWhen([this] { return !Text().empty(); });
  t.Enum(
      "TextAlignment", [this] { return TextAlignment(); }, [this](TAlignment a) { SetTextAlignment(a); },
      TAlignment::taLeftJustify, UloAlignmentNames());
  UloDefineShapeKeys(t, *this, StoredParts(), TUloShapeDefaults{}, true);
}

// ---- callout ------------------------------------------------------------------------

TAnnotationCallout::TAnnotationCallout(TCustomUloPanel *chart) : TCallout(nullptr, chart) {
  SetVisible(false);
  Arrow().SetVisible(false);
}

void TAnnotationCallout::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TAnnotationCallout *>(&source); other && other != this) {
    SetXPosition(other->xPosition_);
    SetYPosition(other->yPosition_);
    SetZPosition(other->zPosition_);
  }
  TCallout::Assign(source);
}

void TAnnotationCallout::DefineProperties(TPropertyTable &t) {
  TCallout::DefineProperties(t);
  t.Property(
      "Visible", [this] { return Visible(); }, [this](bool v) { SetVisible(v); }, false);
  t.Property(
      "XPosition", [this] { return XPosition(); }, [this](int v) { SetXPosition(v); }, 0);
  t.Property(
      "YPosition", [this] { return YPosition(); }, [this](int v) { SetYPosition(v); }, 0);
  t.Property(
      "ZPosition", [this] { return ZPosition(); }, [this](int v) { SetZPosition(v); }, 0);
}

// ---- annotation tool ----------------------------------------------------------------

TAnnotationTool::TAnnotationTool()
    : callout_(std::make_unique<TAnnotationCallout>()), shape_(std::make_unique<TTextShape>()) {}

TAnnotationTool::~TAnnotationTool() = default;

std::string TAnnotationTool::GetGalleryName() const { return UloProToolAnnotation; }
std::string TAnnotationTool::GetGalleryHint() const { return UloProHintAnnotationTool; }

void TAnnotationTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TAnnotationTool *>(&source); other && other != this) {
    callout_->Assign(*other->callout_);
    position_ = other->position_;
    positionUnits_ = other->positionUnits_;
    shape_->Assign(*other->shape_);
  }
  TUloCustomTool::Assign(source);
}

void TAnnotationTool::SetParentChart(TCustomAxisPanel *value) {
  TUloCustomTool::SetParentChart(value);
  shape_->SetParent(value);
  callout_->SetParent(value);
  if (value) value->Invalidate();
}

void TAnnotationTool::SetPosition(TAnnotationPosition value) {
  position_ = value;
  shape_->SetCustomPosition(false);
  Repaint();
}

void TAnnotationTool::SetPositionUnits(TUloUnits value) {
  positionUnits_ = value;
  Repaint();
}

void TAnnotationTool::SetWidth(int value) {
  if (value == shape_->Width()) return;
  shape_->SetAutoSize(false);
  shape_->SetWidth(value);
  Repaint();
}

void TAnnotationTool::SetHeight(int value) {
  if (value == shape_->Height()) return;
  shape_->SetAutoSize(false);
  shape_->SetHeight(value);
  Repaint();
}

bool TAnnotationTool::Clicked(int x, int y) const { return Inside(box_, x, y); }

void TAnnotationTool::ChartBounds(TRect &bounds, int &width, int &height) const {
  const TCustomAxisPanel *chart = ParentChart();
  const TRect &pb = chart->PanelBounds;
  bounds = TRect{0, 0, pb.Right - pb.Left, pb.Bottom - pb.Top};
  width = bounds.Right - bounds.Left + 1;
  height = bounds.Bottom - bounds.Top + 1;
}

void TAnnotationTool::ComputeBox(TRect &rect, int &lineCount, int &x, int &y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) {
    rect = TRect{};
    lineCount = 0;
    x = y = 0;
    return;
  }
  TUloCanvas3D &canvas = chart->Canvas();
  canvas.ApplyFont(shape_->Font());
  const int fontHeight = canvas.StandardTextHeight();
  std::vector<std::string> lines;
  SplitLines(shape_->Text(), lines);
  lineCount = static_cast<int>(lines.size());

  const bool custom = shape_->CustomPosition();
  const bool autoSize = shape_->AutoSize();
  int textWidth = 0, textHeight = 0, fw = 0;
  if (!custom || autoSize) {
    for (const std::string &line : lines)
      textWidth = std::max(textWidth, canvas.MeasureTextWidth(line));
    textHeight = lineCount * fontHeight;
    if (shape_->Pen().Visible()) fw = (shape_->Pen().Width() + 1) / 2;
    textWidth += fw;
    textHeight += fw;
  }
  int width = textWidth, height = textHeight;
  if (!autoSize) {
    width = shape_->Width();
    height = shape_->Height();
  }
  TMargins &margins = shape_->Margins();
  margins.Calculate(width, height, fontHeight);

  TRect b;
  int w, h;
  ChartBounds(b, w, h);
  if (!custom) {
    switch (position_) {
    case TAnnotationPosition::ppLeftTop:
      x = b.Left + 10;
      y = b.Top + 10;
      break;
    case TAnnotationPosition::ppLeftBottom:
      x = b.Left + 10;
      y = b.Top + h - height - margins.SizeV();
      break;
    case TAnnotationPosition::ppRightTop:
      x = b.Left + w - width - margins.SizeH();
      y = b.Top + 10;
      break;
    case TAnnotationPosition::ppRightBottom:
      x = b.Left + w - width - margins.SizeH();
      y = b.Top + h - height - margins.SizeV();
      break;
    case TAnnotationPosition::ppCenter:
      x = (b.Left + b.Right - textWidth) / 2;
      y = (b.Top + b.Bottom - textHeight) / 2;
      break;
    }
  } else if (positionUnits_ == TUloUnits::muPixels) {
    x = shape_->Left();
    y = shape_->Top();
  } else {
    x = PercentToPixels(shape_->Left(), w);
    y = PercentToPixels(shape_->Top(), h);
  }
  const int boxWidth = autoSize ? margins.SizeH() + textWidth : shape_->Width();
  const int boxHeight = autoSize ? margins.SizeV() + textHeight : shape_->Height();
  rect = TRect{x, y, x + boxWidth - 1, y + boxHeight - 1};
  x += fw / 2;
  y += fw / 2;
  // The box keeps its place where the layout put it; a percent position
  // keeps its percentages.
  if (!custom || positionUnits_ == TUloUnits::muPixels) {
    shape_->ShapeBounds.Left = rect.Left;
    shape_->ShapeBounds.Top = rect.Top;
  }
  if (autoSize) {
    shape_->SetWidth(boxWidth);
    shape_->SetHeight(boxHeight);
  }
}

void TAnnotationTool::PaintAnnotation() {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  // The box is measured for the text it will show.
  const std::string shown = GetShownText();
  if (shown != shape_->Text()) shape_->SetText(shown);
  TRect rect;
  int lines = 0, x = 0, y = 0;
  ComputeBox(rect, lines, x, y);
  box_ = rect;
  shape_->PaintTextBox(*chart, rect, lines, GetXOffset());

  TAnnotationCallout &callout = *callout_;
  if (!callout.Visible() && !callout.Arrow().Visible()) return;
  const TPoint target{callout.XPosition(), callout.YPosition()};
  TPoint attach;
  if (target.X >= rect.Left && target.X <= rect.Right)
    attach.X = (rect.Left + rect.Right) / 2;
  else
    attach.X = target.X < rect.Left ? rect.Left : rect.Right;
  if (target.Y >= rect.Top && target.Y <= rect.Bottom)
    attach.Y = (rect.Top + rect.Bottom) / 2;
  else
    attach.Y = target.Y < rect.Top ? rect.Top : rect.Bottom;
  if (const int distance = callout.Distance(); distance != 0) {
    const double dx = target.X - attach.X, dy = target.Y - attach.Y;
    const double length = std::hypot(dx, dy);
    if (length > 0) {
      attach.X += rtl::RoundPixel(distance * dx / length);
      attach.Y += rtl::RoundPixel(distance * dy / length);
    }
  }
  // The marker belongs on the target, as series marks draw theirs.
  callout.Draw(callout.Brush().Color(), target, false, callout.ZPosition(), attach, attach);
}

void TAnnotationTool::ChartEvent(int stage) {
  if (stage != UloToolStageAfterDraw) return;
  if (OnBeforeDraw) OnBeforeDraw(this);
  PaintAnnotation();
  if (OnAfterDraw) OnAfterDraw(this);
}

void TAnnotationTool::ChartMouseEvent(int kind, TMouseButton button, TShiftState shift, int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return;
  if (kind == UloToolMouseDown) {
    if (OnClick && Clicked(x, y)) OnClick(this, button, shift, x, y);
    if ((shift & forms::ssDouble) && OnDblClick && Clicked(x, y)) OnDblClick(this, button, shift, x, y);
  } else if (kind == UloToolMouseMove) {
    if (shape_->Cursor() != 0 && Clicked(x, y)) {
      chart->SetCursor(shape_->Cursor());
      chart->CancelMouse = true;
    }
  }
}

void TAnnotationTool::DefineProperties(TPropertyTable &t) {
  TUloCustomTool::DefineProperties(t);
  t.Object("Callout", [this] { return static_cast<streaming::TPersistent *>(callout_.get()); });
  t.Enum(
      "Position", [this] { return Position(); }, [this](TAnnotationPosition p) { SetPosition(p); },
      TAnnotationPosition::ppLeftTop, kPositionNames);
  t.Enum(
      "PositionUnits", [this] { return PositionUnits(); }, [this](TUloUnits u) { SetPositionUnits(u); },
      TUloUnits::muPixels, kUnitsNames);
  t.Object("Shape", [this] { return static_cast<streaming::TPersistent *>(shape_.get()); });
  // The shape's settings under the tool's own names are read too; they are
  // written once, under Shape.
  t.Property(
       "AutoSize", [this] { return AutoSize(); }, [this](bool v) { SetAutoSize(v); })
      .ReadOnly();
  t.Property(
       "ClipText", [this] { return ClipText(); }, [this](bool v) { SetClipText(v); })
      .ReadOnly();
  t.Property(
       "Cursor", [this] { return Cursor(); }, [this](int v) { SetCursor(v); })
      .ReadOnly();
  t.Property(
       "Text", [this] { return Text(); }, [this](std::string v) { SetText(v); })
      .ReadOnly();
  t.Enum(
       "TextAlignment", [this] { return TextAlignment(); }, [this](TAlignment a) { SetTextAlignment(a); },
       TAlignment::taLeftJustify, UloAlignmentNames())
      .ReadOnly();
  t.Property(
       "Left", [this] { return Left(); }, [this](int v) { SetLeft(v); })
      .ReadOnly();
  t.Property(
       "Top", [this] { return Top(); }, [this](int v) { SetTop(v); })
      .ReadOnly();
  t.Property(
       "Width", [this] { return Width(); }, [this](int v) { SetWidth(v); })
      .ReadOnly();
  t.Property(
       "Height", [this] { return Height(); }, [this](int v) { SetHeight(v); })
      .ReadOnly();
}

// ---- rectangle tool ----------------------------------------------------------------------

TRectangleTool::TRectangleTool() {
  TTextShape &shape = Shape();
  shape.SetAutoSize(false);
  shape.Shadow().SetBothSizes(0);
  shape.SetTransparency(75);
  shape.ShapeBounds = TRect{10, 10, 59, 59};
  shape.SetCustomPosition(true);
  shape.SetCursor(forms::kCursorHandPoint);
}

std::string TRectangleTool::GetGalleryName() const { return UloProToolRectangle; }
std::string TRectangleTool::GetGalleryHint() const { return UloProHintRectangleTool; }

void TRectangleTool::Assign(const TCustomChartElement &source) {
  if (auto *other = dynamic_cast<const TRectangleTool *>(&source); other && other != this) {
    allowDrag_ = other->allowDrag_;
    allowResize_ = other->allowResize_;
  }
  TAnnotationTool::Assign(source);
}

int TRectangleTool::HitZone(int x, int y) const {
  const TRect &r = Box();
  if (!Inside(r, x, y)) return -1;
  auto near = [](int a, int b) { return std::abs(a - b) < 4; };
  if (near(x, r.Left)) {
    if (near(y, r.Top)) return 4;
    if (near(y, r.Bottom)) return 5;
    return 0;
  }
  if (near(y, r.Top)) return near(x, r.Right) ? 6 : 1;
  if (near(x, r.Right)) return near(y, r.Bottom) ? 7 : 2;
  if (near(y, r.Bottom)) return 3;
  return -1;
}

void TRectangleTool::StorePlace(const TRect &r) {
  TTextShape &shape = Shape();
  TRect b;
  int w, h;
  ChartBounds(b, w, h);
  // Left and top follow the units; the size is in pixels either way.
  if (PositionUnits() == TUloUnits::muPercent) {
    shape.SetLeft(PixelsToPercent(r.Left, w));
    shape.SetTop(PixelsToPercent(r.Top, h));
  } else {
    shape.SetLeft(r.Left);
    shape.SetTop(r.Top);
  }
  shape.SetWidth(r.Right - r.Left + 1);
  shape.SetHeight(r.Bottom - r.Top + 1);
  SetBox(r);
  Repaint();
}

void TRectangleTool::Resize(int x, int y) {
  TRect r = Box();
  const int zone = resizeZone_;
  const int nx = x - offsetX_, ny = y - offsetY_;
  if (zone == 0 || zone == 4 || zone == 5) r.Left = std::min(nx, r.Right - 3);
  if (zone == 2 || zone == 6 || zone == 7) r.Right = std::max(nx, r.Left + 3);
  if (zone == 1 || zone == 4 || zone == 6) r.Top = std::min(ny, r.Bottom - 3);
  if (zone == 3 || zone == 5 || zone == 7) r.Bottom = std::max(ny, r.Top + 3);
  StorePlace(r);
  if (OnResizing) OnResizing(this);
}

void TRectangleTool::Drag(int x, int y) {
  const TRect old = Box();
  const int left = x - offsetX_, top = y - offsetY_;
  if (left == old.Left && top == old.Top) return;
  StorePlace(TRect{left, top, left + old.Right - old.Left, top + old.Bottom - old.Top});
  if (OnDragging) OnDragging(this);
}

void TRectangleTool::ChartMouseEvent(int kind, TMouseButton button, TShiftState shift, int x, int y) {
  TAnnotationTool::ChartMouseEvent(kind, button, shift, x, y);
  TCustomAxisPanel *chart = ParentChart();
  if (!chart || !Active()) return;
  const TRect r = Box();
  switch (kind) {
  case UloToolMouseDown: {
    if (button != TMouseButton::mbLeft) return;
    const int zone = HitZone(x, y);
    if (allowResize_ && zone != -1) {
      resizeZone_ = zone;
      offsetX_ = x - (zone == 2 || zone == 6 || zone == 7 ? r.Right : r.Left);
      offsetY_ = y - (zone == 3 || zone == 5 || zone == 7 ? r.Bottom : r.Top);
      chart->CancelMouse = true;
    } else if (allowDrag_ && Clicked(x, y)) {
      dragging_ = true;
      offsetX_ = x - r.Left;
      offsetY_ = y - r.Top;
      chart->CancelMouse = true;
    }
    break;
  }
  case UloToolMouseMove:
    if (resizeZone_ != -1) {
      Resize(x, y);
      chart->CancelMouse = true;
    } else if (dragging_) {
      Drag(x, y);
      chart->CancelMouse = true;
    } else {
      int cursor = 0;
      if (allowResize_) {
        switch (HitZone(x, y)) {
        case 0:
        case 2:
          cursor = forms::kCursorSizeWE;
          break;
        case 1:
        case 3:
          cursor = forms::kCursorSizeNS;
          break;
        case 4:
        case 7:
          cursor = forms::kCursorSizeNWSE;
          break;
        case 5:
        case 6:
          cursor = forms::kCursorSizeNESW;
          break;
        default:
          break;
        }
      }
      if (cursor == 0 && Clicked(x, y)) cursor = Cursor();
      // A cursor the tool shows stays only when the chart's hover test is
      // stopped.
      if (cursor != 0) {
        chart->SetCursor(cursor);
        chart->CancelMouse = true;
      }
    }
    break;
  case UloToolMouseUp:
    if (dragging_) {
      dragging_ = false;
      if (OnDragged) OnDragged(this);
    }
    if (resizeZone_ != -1) {
      resizeZone_ = -1;
      if (OnResized) OnResized(this);
    }
    break;
  default:
    break;
  }
}

void TRectangleTool::DefineProperties(TPropertyTable &t) {
  TAnnotationTool::DefineProperties(t);
  t.Property(
      "AllowDrag", [this] { return AllowDrag(); }, [this](bool v) { SetAllowDrag(v); }, true);
  t.Property(
      "AllowResize", [this] { return AllowResize(); }, [this](bool v) { SetAllowResize(v); }, true);
}

// ---- unit ------------------------------------------------------------------------------

void StartAnnotationUnit() { RegisterUloTools({UloClass<TAnnotationTool>(), UloClass<TRectangleTool>()}); }

void StopAnnotationUnit() { UnRegisterUloTools({UloClass<TAnnotationTool>(), UloClass<TRectangleTool>()}); }
