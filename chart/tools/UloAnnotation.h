// Text boxes on a chart: the annotation tool draws a box of text at a
// corner, in the centre or where the user put it, with an optional callout
// to a pixel; the rectangle tool is such a box that the mouse drags and
// resizes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "chart/engine/UloMarks.h"
#include "chart/engine/UloPointer.h"
#include "chart/engine/UloTool.h"
#include "chart/engine/UloWalls.h"

class TAnnotationTool;

// The box of an annotation: a positioned framed shape with its text.
class TTextShape : public TUloCustomShapePosition {
public:
  explicit TTextShape(TCustomUloPanel *chart = nullptr);

  // The six text settings, then the positioned shape's.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  bool AutoSize() const noexcept { return autoSize_; }
  void SetAutoSize(bool value) { SetAndRepaint(autoSize_, value); }
  bool ClipText() const noexcept { return clipText_; }
  void SetClipText(bool value) { SetAndRepaint(clipText_, value); }
  // The mouse cursor over the box; 0 none.
  int Cursor() const noexcept { return cursor_; }
  void SetCursor(int value) { SetAndRepaint(cursor_, value); }
  TMargins &Margins() noexcept { return margins_; }
  void SetMargins(const TMargins &value) { margins_.Assign(value); }
  TAlignment TextAlignment() const noexcept { return textAlignment_; }
  void SetTextAlignment(TAlignment value) { SetAndRepaint(textAlignment_, value); }
  // Lines end at character 13.
  const std::string &Text() const noexcept { return text_; }
  void SetText(const std::string &value) { SetAndRepaint(text_, value); }

  // The box in Rect (moved by the chart's drawing origin) and its lines,
  // each moved right by XOffset.
  void PaintTextBox(TCustomUloPanel &chart, const TRect &rect, int lineCount, int xOffset);

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool autoSize_ = true;
  bool clipText_ = true;
  int cursor_ = 0;
  TMargins margins_;
  TAlignment textAlignment_ = TAlignment::taLeftJustify;
  std::string text_;
};

// A callout from an annotation's box to a pixel of the chart.
class TAnnotationCallout : public TCallout {
public:
  explicit TAnnotationCallout(TCustomUloPanel *chart = nullptr);

  void Assign(const TUloCustomShapeBrushPen &source) override;

  int XPosition() const noexcept { return xPosition_; }
  void SetXPosition(int value) { SetAndRepaint(xPosition_, value); }
  int YPosition() const noexcept { return yPosition_; }
  void SetYPosition(int value) { SetAndRepaint(yPosition_, value); }
  int ZPosition() const noexcept { return zPosition_; }
  void SetZPosition(int value) { SetAndRepaint(zPosition_, value); }

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  int xPosition_ = 0;
  int yPosition_ = 0;
  int zPosition_ = 0;
};

enum class TAnnotationPosition { ppLeftTop, ppLeftBottom, ppRightTop, ppRightBottom, ppCenter };

using TAnnotationClick =
    std::function<void(TAnnotationTool *sender, forms::TMouseButton button, forms::TShiftState shift, int x, int y)>;

class TAnnotationTool : public TUloCustomTool {
public:
  TAnnotationTool();
  ~TAnnotationTool() override;

  std::string_view ClassName() const override { return "TAnnotationTool"; }
  std::string GetEditor() const override { return "TAnnotationToolEdit"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  // Callout, Position, PositionUnits and Shape.
  void Assign(const TCustomChartElement &source) override;
  // The shape and the callout follow the tool's chart.
  void SetParentChart(TCustomAxisPanel *value) override;

  // ---- settings
  TAnnotationCallout &Callout() noexcept { return *callout_; }
  void SetCallout(const TAnnotationCallout &value) { callout_->Assign(value); }
  TAnnotationPosition Position() const noexcept { return position_; }
  // Unpins the box.
  void SetPosition(TAnnotationPosition value);
  TUloUnits PositionUnits() const noexcept { return positionUnits_; }
  void SetPositionUnits(TUloUnits value);
  TTextShape &Shape() noexcept { return *shape_; }
  void SetShape(const TTextShape &value) { shape_->Assign(value); }

  // The shape's settings under the tool's names.
  bool AutoSize() const noexcept { return shape_->AutoSize(); }
  void SetAutoSize(bool value) { shape_->SetAutoSize(value); }
  bool ClipText() const noexcept { return shape_->ClipText(); }
  void SetClipText(bool value) { shape_->SetClipText(value); }
  int Cursor() const noexcept { return shape_->Cursor(); }
  void SetCursor(int value) { shape_->SetCursor(value); }
  std::string Text() const { return GetShownText(); }
  void SetText(const std::string &value) { shape_->SetText(value); }
  TAlignment TextAlignment() const noexcept { return shape_->TextAlignment(); }
  void SetTextAlignment(TAlignment value) { shape_->SetTextAlignment(value); }
  // Left and Top pin the box, keeping its size; Width and Height turn
  // AutoSize off.
  int Left() const noexcept { return shape_->Left(); }
  void SetLeft(int value) { shape_->SetLeft(value); }
  int Top() const noexcept { return shape_->Top(); }
  void SetTop(int value) { shape_->SetTop(value); }
  int Width() const noexcept { return shape_->Width(); }
  void SetWidth(int value);
  int Height() const noexcept { return shape_->Height(); }
  void SetHeight(int value);

  // ---- drawing
  // Lays out and draws the box, its text and the callout.
  virtual void PaintAnnotation();
  // The box, the number of lines and the text origin.
  virtual void ComputeBox(TRect &rect, int &lineCount, int &x, int &y);
  virtual std::string GetShownText() const { return shape_->Text(); }
  // Moves every line right by this much.
  virtual int GetXOffset() const { return 0; }
  // Whether the point lies in the box of the last layout, edges included.
  bool Clicked(int x, int y) const;
  // The box of the last layout, in the chart's pixels.
  const TRect &Box() const noexcept { return box_; }

  void ChartEvent(int stage) override;
  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  void DefineProperties(streaming::TPropertyTable &table) override;

  std::function<void(TAnnotationTool *sender)> OnAfterDraw;
  std::function<void(TAnnotationTool *sender)> OnBeforeDraw;
  TAnnotationClick OnClick;
  TAnnotationClick OnDblClick;

protected:
  // The chart's bounds and their size, as the box is laid out in.
  void ChartBounds(TRect &bounds, int &width, int &height) const;
  void SetBox(const TRect &value) noexcept { box_ = value; }

private:
  TRect box_;
  std::unique_ptr<TAnnotationCallout> callout_;
  TAnnotationPosition position_ = TAnnotationPosition::ppLeftTop;
  TUloUnits positionUnits_ = TUloUnits::muPixels;
  std::unique_ptr<TTextShape> shape_;
};

class TRectangleTool : public TAnnotationTool {
public:
  TRectangleTool();

  std::string_view ClassName() const override { return "TRectangleTool"; }
  std::string GetGalleryName() const override;
  std::string GetGalleryHint() const override;

  // AllowDrag and AllowResize, then the annotation's settings.
  void Assign(const TCustomChartElement &source) override;

  bool AllowDrag() const noexcept { return allowDrag_; }
  void SetAllowDrag(bool value) noexcept { allowDrag_ = value; }
  bool AllowResize() const noexcept { return allowResize_; }
  void SetAllowResize(bool value) noexcept { allowResize_ = value; }

  // -1 outside the box; 0 left, 1 top, 2 right, 3 bottom edge; 4 top-left,
  // 5 bottom-left, 6 top-right, 7 bottom-right corner (4 pixels wide).
  int HitZone(int x, int y) const;
  bool Dragging() const noexcept { return dragging_; }
  int ResizeZone() const noexcept { return resizeZone_; }

  void ChartMouseEvent(int kind, forms::TMouseButton button, forms::TShiftState shift, int x, int y) override;

  void DefineProperties(streaming::TPropertyTable &table) override;

  std::function<void(TRectangleTool *sender)> OnDragged;
  std::function<void(TRectangleTool *sender)> OnDragging;
  std::function<void(TRectangleTool *sender)> OnResized;
  std::function<void(TRectangleTool *sender)> OnResizing;

private:
  // Stores the box R in the shape (left and top in the tool's units, the
  // size in pixels) and repaints.
  void StorePlace(const TRect &r);
  void Resize(int x, int y);
  void Drag(int x, int y);

  bool allowDrag_ = true;
  bool allowResize_ = true;
  int offsetX_ = 0;
  int offsetY_ = 0;
  bool dragging_ = false;
  int resizeZone_ = -1;
};

// Registers the two tools in the tool registry; the program body calls
// these at start-up and shut-down.
void StartAnnotationUnit();
void StopAnnotationUnit();
