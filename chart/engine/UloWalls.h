// The framed parts of a chart besides its series and axes: the positioned
// shape under titles, the legend and the tools' text boxes; the four titles
// above and below the chart; and the four walls that frame the 3D plotting
// area.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "chart/engine/UloEngineTypes.h"
#include "chart/foundation/UloShape.h"

class TCustomChart;

// What a framed shape's stored keys are compared with: the settings its
// constructor gave it.
struct TUloShapeDefaults {
  TColor Color = clWhite;
  bool Visible = true;
  TColor FontColor = clBlack;
  TFontStyles FontStyle;
  bool ShadowVisible = true;
};

// The published keys framed shapes of the chart share: Color, Font (when
// WithFont), Gradient, Shadow, Transparency, Transparent and Visible, each
// stored only when it differs from Defaults.
void UloDefineShapeKeys(streaming::TPropertyTable &table, TUloCustomShape &shape, TUloStoredParts &parts,
                        const TUloShapeDefaults &defaults, bool withFont);
// The keys of a chart font, its colour and style stored against Color and
// Style instead of the plain font's.
void UloDefineFontKeys(streaming::TPropertyTable &table, TUloFont &font, TUloStoredParts &parts, TColor color,
                       TFontStyles style);

// The stored names of text alignments and of framed shapes' outlines, for
// every part that stores one.
std::span<const streaming::TEnumName<TAlignment>> UloAlignmentNames() noexcept;
std::span<const streaming::TEnumName<TChartObjectShapeStyle>> UloShapeStyleNames() noexcept;

// ---- positioned shape ------------------------------------------------------

// A framed shape the user may place: setting Left or Top pins it there
// (CustomPosition), otherwise its owner lays it out.
class TUloCustomShapePosition : public TUloCustomShape {
public:
  explicit TUloCustomShapePosition(TCustomUloPanel *chart = nullptr);

  // CustomPosition and, when set, Left and Top; then the shape's settings.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  bool CustomPosition() const noexcept { return customPosition_; }
  void SetCustomPosition(bool value) { SetAndInvalidateParent(customPosition_, value); }
  int Left() const noexcept { return ShapeBounds.Left; }
  int Top() const noexcept { return ShapeBounds.Top; }
  // Moves the box keeping its size, and pins it.
  void SetLeft(int value);
  void SetTop(int value);

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  bool customPosition_ = false;
};

// ---- titles ------------------------------------------------------------------

class TChartTitle : public TUloCustomShapePosition {
public:
  explicit TChartTitle(TCustomUloPanel *chart = nullptr);

  void Assign(const TUloCustomShapeBrushPen &source) override;

  bool AdjustFrame() const noexcept { return adjustFrame_; }
  void SetAdjustFrame(bool value) { SetAndRepaint(adjustFrame_, value); }
  TAlignment Alignment() const noexcept { return alignment_; }
  void SetAlignment(TAlignment value) { SetAndRepaint(alignment_, value); }
  const std::vector<std::string> &Text() const noexcept { return text_; }
  void SetText(std::vector<std::string> value) { SetAndRepaint(text_, std::move(value)); }
  int VertMargin() const noexcept { return vertMargin_; }
  void SetVertMargin(int value) { SetAndRepaint(vertMargin_, value); }
  // True above the chart, false for the foot titles.
  bool OnTop() const noexcept { return onTop_; }

  // Visible and Point inside the box, edges included.
  bool Clicked(int x, int y) const;
  // Lays the title out (taking its height off the chart rectangle unless
  // custom-positioned) and draws it on the chart's canvas.
  void DrawTitle();

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  void SetOnTop(bool value) noexcept { onTop_ = value; }

private:
  bool adjustFrame_ = true;
  TAlignment alignment_ = TAlignment::taCenter;
  std::vector<std::string> text_;
  int vertMargin_ = 5;
  bool onTop_ = true;
};

// The titles below the chart: red italic, first line lowest.
class TChartFootTitle : public TChartTitle {
public:
  explicit TChartFootTitle(TCustomUloPanel *chart = nullptr);
};

// ---- walls -------------------------------------------------------------------

class TCustomChartWall : public TUloCustomShape {
public:
  explicit TCustomChartWall(TCustomUloPanel *chart = nullptr);

  // AutoHide, Dark3D, EndPosition, Size, StartPosition; then the shape's.
  void Assign(const TUloCustomShapeBrushPen &source) override;

  bool AutoHide() const noexcept { return autoHide_; }
  void SetAutoHide(bool value) { SetAndRepaint(autoHide_, value); }
  bool Dark3D() const noexcept { return dark3D_; }
  void SetDark3D(bool value) { SetAndRepaint(dark3D_, value); }
  int EndPosition() const noexcept { return endPosition_; }
  void SetEndPosition(int value) { SetAndRepaint(endPosition_, value); }
  int Size() const noexcept { return size_; }
  void SetSize(int value) { SetAndRepaint(size_, value); }
  int StartPosition() const noexcept { return startPosition_; }
  void SetStartPosition(int value) { SetAndRepaint(startPosition_, value); }
  // What Color is compared with for storing: the colour at creation.
  TColor DefaultColor() const noexcept { return defaultColor_; }
  // Colour and stored default together (the walls' own colour operation).
  void InitColor(TColor value);

  // View3DWalls on, Visible, not AutoHide.
  bool ShouldDraw() const;
  // Dark3D with a solid brush that holds no image.
  bool HasDarkSides();
  // A gradient exists and is visible.
  bool HasGradient() const;
  // Start and end pixel along the vertical, from the chart rectangle.
  int CalcStartPos() const;
  int CalcEndPos() const;

  void DefineProperties(streaming::TPropertyTable &table) override;

protected:
  TCustomChart *Chart() const;
  // What Visible and the shadow's Visible are stored against.
  bool defaultVisible_ = true;
  bool defaultShadowVisible_ = true;

private:
  bool autoHide_ = false;
  bool dark3D_ = true;
  int endPosition_ = 100;
  int size_ = 0;
  int startPosition_ = 0;
  TColor defaultColor_ = clDefault;
};

class TChartWall : public TCustomChartWall {
public:
  using TCustomChartWall::TCustomChartWall;
};

class TChartBackWall : public TChartWall {
public:
  explicit TChartBackWall(TCustomUloPanel *chart = nullptr);

protected:
  void InitShadow(TUloShadow &shadow) override;
};

class TChartLeftWall : public TChartWall {
public:
  explicit TChartLeftWall(TCustomUloPanel *chart = nullptr);
};

class TChartBottomWall : public TChartWall {
public:
  explicit TChartBottomWall(TCustomUloPanel *chart = nullptr);
};

class TChartRightWall : public TChartWall {
public:
  explicit TChartRightWall(TCustomUloPanel *chart = nullptr);
};

// The chart's four walls, made in the order back, left, bottom, right.
class TChartWalls : public streaming::TPersistent {
public:
  explicit TChartWalls(TCustomChart *chart);
  TChartWalls(const TChartWalls &) = delete;
  TChartWalls &operator=(const TChartWalls &) = delete;
  ~TChartWalls() override;

  // Each wall from the source's wall.
  void Assign(const TChartWalls &source);

  TChartBackWall &Back() noexcept { return *back_; }
  TChartBottomWall &Bottom() noexcept { return *bottom_; }
  TChartLeftWall &Left() noexcept { return *left_; }
  TChartRightWall &Right() noexcept { return *right_; }
  const TChartBackWall &Back() const noexcept { return *back_; }
  const TChartBottomWall &Bottom() const noexcept { return *bottom_; }
  const TChartLeftWall &Left() const noexcept { return *left_; }
  const TChartRightWall &Right() const noexcept { return *right_; }
  void SetBack(const TChartWall &value) { back_->Assign(value); }
  void SetBottom(const TChartWall &value) { bottom_->Assign(value); }
  void SetLeft(const TChartWall &value) { left_->Assign(value); }
  void SetRight(const TChartWall &value) { right_->Assign(value); }
  TCustomChart *Chart() const noexcept { return chart_; }

  void DefineProperties(streaming::TPropertyTable &table) override;

private:
  std::unique_ptr<TChartBackWall> back_;
  std::unique_ptr<TChartBottomWall> bottom_;
  TCustomChart *chart_;
  std::unique_ptr<TChartLeftWall> left_;
  std::unique_ptr<TChartRightWall> right_;
};
