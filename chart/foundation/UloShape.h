// The framed box under chart texts (axis titles, marks, titles, legend,
// walls, annotations): brush, frame pen, fill colour, gradient or picture,
// drop shadow, bevel, a rectangle, rounded rectangle or ellipse outline,
// and transparency, drawn through the chart's canvas, optionally rotated
// and at a 3D depth.
#pragma once

#include <memory>

#include "chart/foundation/UloPanel.h"

enum class TChartObjectShapeStyle { fosRectangle, fosRoundRectangle, fosEllipse };
enum class TTextFormat { ttfNormal, ttfHtml };

class TUloCustomShapeBrushPen : public streaming::TPersistent {
public:
  explicit TUloCustomShapeBrushPen(TCustomUloPanel *parent = nullptr);
  TUloCustomShapeBrushPen(const TUloCustomShapeBrushPen &) = delete;
  TUloCustomShapeBrushPen &operator=(const TUloCustomShapeBrushPen &) = delete;
  ~TUloCustomShapeBrushPen() override;

  // Brush, pen and visibility.
  virtual void Assign(const TUloCustomShapeBrushPen &source);

  // Made on first use, of the class CreateBrush gives.
  TChartBrush &Brush();
  void SetBrush(const TBrush &value) { Brush().Assign(value); }
  TCustomUloPanel *ParentChart() const noexcept { return parent_; }
  virtual void SetParent(TCustomUloPanel *chart) { parent_ = chart; }
  // The frame; a change repaints the parent chart.
  TChartPen &Pen() noexcept { return *pen_; }
  void SetPen(const TPen &value) { pen_->Assign(value); }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool value) { SetAndInvalidateParent(visible_, value); }

  // The parent chart's Invalidate, when there is a parent.
  void Repaint();
  void Hide() { SetVisible(false); }

protected:
  // The brush class of this kind of shape.
  virtual std::unique_ptr<TChartBrush> CreateBrush();
  // Without a parent the value is only stored; with one, a change repaints it.
  template <class T, class U> void SetAndInvalidateParent(T &field, U &&value) {
    if (!parent_) {
      field = std::forward<U>(value);
      return;
    }
    if (UloStoreIfChanged(field, std::forward<U>(value))) parent_->Invalidate();
  }
  template <class T, class U> void SetAndRepaint(T &field, U &&value) {
    if (UloStoreIfChanged(field, std::forward<U>(value))) Repaint();
  }
  // For kinds that publish them.
  void DefineBrush(streaming::TPropertyTable &table, std::string_view name = "Brush");
  void DefinePen(streaming::TPropertyTable &table, std::string_view name = "Pen");
  TUloStoredParts &StoredParts() noexcept { return storedParts_; }

private:
  std::unique_ptr<TChartBrush> brush_;
  TCustomUloPanel *parent_;
  std::unique_ptr<TChartPen> pen_;
  bool visible_ = true;
  TUloStoredParts storedParts_;
};

class TUloCustomShape : public TUloCustomShapeBrushPen {
public:
  explicit TUloCustomShape(TCustomUloPanel *chart = nullptr);
  ~TUloCustomShape() override;

  // From another shape every setting but ShapeBounds, then brush, pen and
  // visibility.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  TBevelCut Bevel() const noexcept { return bevel_; }
  void SetBevel(TBevelCut value) { SetAndRepaint(bevel_, value); }
  int BevelWidth() const noexcept { return bevelWidth_; }
  void SetBevelWidth(int value) { SetAndRepaint(bevelWidth_, value); }
  TColor Color() const noexcept { return color_; }
  void SetColor(TColor value) { SetAndInvalidateParent(color_, value); }
  TUloFont &Font() noexcept { return *font_; }
  void SetFont(const TFont &value) { font_->Assign(value); }
  int RoundSize() const noexcept { return roundSize_; }
  void SetRoundSize(int value) { SetAndRepaint(roundSize_, value); }
  // Made again with its defaults when read after it was set to none.
  TUloShadow &Shadow();
  TUloShadow *ExistingShadow() const noexcept { return shadow_.get(); }
  // Null frees the shadow (no shadow is drawn); otherwise it is copied.
  void SetShadow(const TUloShadow *value);
  TChartObjectShapeStyle ShapeStyle() const noexcept { return shapeStyle_; }
  void SetShapeStyle(TChartObjectShapeStyle value) { SetAndRepaint(shapeStyle_, value); }
  TTextFormat TextFormat() const noexcept { return textFormat_; }
  void SetTextFormat(TTextFormat value) { SetAndRepaint(textFormat_, value); }
  // When true the shape draws nothing at all.
  bool Transparent() const noexcept { return transparent_; }
  void SetTransparent(bool value) { SetAndInvalidateParent(transparent_, value); }
  bool DefaultTransparent() const noexcept { return defaultTransparent_; }
  // Made on first read, of the class CreateGradient gives.
  TUloGradient &Gradient();
  TUloGradient *ExistingGradient() const noexcept { return gradient_.get(); }
  // Null frees the gradient; otherwise it is copied.
  void SetGradient(const TUloGradient *value);
  // Made on first read.
  TBackImage &Picture();
  TBackImage *ExistingPicture() const noexcept { return picture_.get(); }
  // Null frees the picture; otherwise it is copied.
  void SetPicture(const TBackImage *value);
  // Percent, 0 to 100; values beyond are held to the range.
  int Transparency() const noexcept { return transparency_; }
  void SetTransparency(int value);

  // Set by the owner.
  TRect ShapeBounds;
  // Right - Left + 1 and Bottom - Top + 1.
  int Width() const noexcept { return ShapeBounds.Right - ShapeBounds.Left + 1; }
  int Height() const noexcept { return ShapeBounds.Bottom - ShapeBounds.Top + 1; }
  void SetWidth(int value) noexcept { ShapeBounds.Right = ShapeBounds.Left + value - 1; }
  void SetHeight(int value) noexcept { ShapeBounds.Bottom = ShapeBounds.Top + value - 1; }

  // ShapeBounds, upright, at depth 0.
  void Draw();
  // Rect turned by Angle degrees about its middle, at depth Z.
  void DrawRect(const TRect &rect, int angle = 0, int z = 0);
  // The corners top-left, top-right, bottom-right, bottom-left of Rect
  // turned by Angle degrees about its middle.
  static TFourPoints DrawRectRotated(const TRect &rect, int angle);

  virtual void DoDraw(TCustomUloPanel *panel, const TRect &r, int angle, int z);
  // The figure with the canvas's current brush and pen.
  virtual void DrawOutline(TCanvas3D &canvas, const TRect &r, int angle, int z);
  virtual void DrawShadow(TCanvas3D &canvas, const TRect &r, int angle, int z);
  virtual void DrawGradient(TCanvas3D &canvas, const TRect &r, int angle, int z);

  // The old shadow keys, read only.
  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  virtual std::unique_ptr<TUloGradient> CreateGradient();
  // The shadow's colour and sizes, also as its stored defaults: black and
  // 3. A kind with other defaults calls its own from its constructor.
  virtual void InitShadow(TUloShadow &shadow);
  // For kinds that store Transparent against another default.
  void SetDefaultTransparent(bool value) noexcept {
    transparent_ = value;
    defaultTransparent_ = value;
  }

private:
  TBevelCut bevel_ = TBevelCut::bvNone;
  int bevelWidth_ = 2;
  TColor color_ = clWhite;
  std::unique_ptr<TUloFont> font_;
  int roundSize_ = 16;
  std::unique_ptr<TUloShadow> shadow_;
  TChartObjectShapeStyle shapeStyle_ = TChartObjectShapeStyle::fosRectangle;
  TTextFormat textFormat_ = TTextFormat::ttfNormal;
  bool transparent_ = false;
  bool defaultTransparent_ = false;
  std::unique_ptr<TUloGradient> gradient_;
  std::unique_ptr<TBackImage> picture_;
  int transparency_ = 0;
};

// The framed shape with its published settings.
class TUloShape : public TUloCustomShape {
public:
  using TUloCustomShape::TUloCustomShape;
  void DefineProperties(streaming::TPropertyTable &table) override;
};
