#include "chart/engine/UloWalls.h"

#include <algorithm>
#include <cstdlib>

#include "chart/engine/Chart.h"
#include "chart/engine/UloAxis.h"
#include "chart/foundation/UloGeometry.h"
#include "chart/foundation/UloRichText.h"
#include "platform/rtl/Numbers.h"

using streaming::TPropertyTable;
using streaming::TReadContext;
using streaming::TValue;

namespace {

constexpr streaming::TEnumName<TAlignment> kAlignmentNames[] = {
    {TAlignment::taLeftJustify, "taLeftJustify"},
    {TAlignment::taRightJustify, "taRightJustify"},
    {TAlignment::taCenter, "taCenter"},
};

constexpr streaming::TEnumName<TChartObjectShapeStyle> kShapeStyleNames[] = {
    {TChartObjectShapeStyle::fosRectangle, "fosRectangle"},
    {TChartObjectShapeStyle::fosRoundRectangle, "fosRoundRectangle"},
    {TChartObjectShapeStyle::fosEllipse, "fosEllipse"},
};

constexpr streaming::TEnumName<TTextFormat> kTextFormatNames[] = {
    {TTextFormat::ttfNormal, "ttfNormal"},
    {TTextFormat::ttfHtml, "ttfHtml"},
};

} // namespace

std::span<const streaming::TEnumName<TAlignment>> UloAlignmentNames() noexcept { return kAlignmentNames; }

std::span<const streaming::TEnumName<TChartObjectShapeStyle>> UloShapeStyleNames() noexcept { return kShapeStyleNames; }

constexpr streaming::TSetBit kFontStyleBits[] = {
    {1, "fsBold"}, {2, "fsItalic"}, {4, "fsUnderline"}, {8, "fsStrikeOut"}};

void UloDefineFontKeys(TPropertyTable &t, TUloFont &font, TUloStoredParts &parts, TColor color, TFontStyles style) {
  DefineUloFont(t, font, parts, "Font");
  t.Color(
      "Color", [&font] { return font.Color(); }, [&font](TColor c) { font.SetColor(c); }, color);
  t.SetOf(
      "Style", [&font] { return static_cast<uint64_t>(font.Style().Bits()); },
      [&font](uint64_t bits) { font.SetStyle(TFontStyles::FromBits(static_cast<unsigned>(bits))); }, style.Bits(),
      kFontStyleBits);
}

void UloDefineShapeKeys(TPropertyTable &t, TUloCustomShape &s, TUloStoredParts &parts,
                        const TUloShapeDefaults &defaults, bool withFont) {
  t.Color(
      "Color", [&s] { return s.Color(); }, [&s](TColor c) { s.SetColor(c); }, defaults.Color);
  if (withFont)
    t.Object("Font", parts.Get("Font", [&s, &parts, defaults](TPropertyTable &p) {
      UloDefineFontKeys(p, s.Font(), parts, defaults.FontColor, defaults.FontStyle);
    }));
  t.Object("Gradient", parts.Get("Gradient", [&s](TPropertyTable &p) {
     DefineUloGradient(p, s.Gradient());
   })).StoredWhen([&s] { return s.ExistingGradient() != nullptr; });
  t.Object("Shadow", parts.Get("Shadow", [&s, defaults](TPropertyTable &p) {
     TUloShadow &shadow = s.Shadow();
     DefineUloShadow(p, shadow);
     p.Property(
         "Visible", [&shadow] { return shadow.Visible(); }, [&shadow](bool v) { shadow.SetVisible(v); },
         defaults.ShadowVisible);
   })).StoredWhen([&s] { return s.ExistingShadow() != nullptr; });
  t.Property(
      "Transparency", [&s] { return s.Transparency(); }, [&s](int v) { s.SetTransparency(v); }, 0);
  t.Define(
       "Transparent", [&s](const TValue &v, TReadContext &) { s.SetTransparent(v.AsBoolean()); },
       [&s]() -> std::optional<TValue> { return TValue::MakeBoolean(s.Transparent()); })
      .StoredWhen([&s] { return s.Transparent() != s.DefaultTransparent(); });
  t.Property(
      "Visible", [&s] { return s.Visible(); }, [&s](bool v) { s.SetVisible(v); }, defaults.Visible);
}

// ---- positioned shape ----------------------------------------------------------

TUloCustomShapePosition::TUloCustomShapePosition(TCustomUloPanel *chart) : TUloCustomShape(chart) {}

void TUloCustomShapePosition::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TUloCustomShapePosition *>(&source); other && other != this) {
    SetCustomPosition(other->customPosition_);
    if (other->customPosition_) {
      SetLeft(other->Left());
      SetTop(other->Top());
    }
  }
  TUloCustomShape::Assign(source);
}

void TUloCustomShapePosition::SetLeft(int value) {
  const bool changed = !customPosition_ || value != ShapeBounds.Left;
  customPosition_ = true;
  ShapeBounds.Right += value - ShapeBounds.Left;
  ShapeBounds.Left = value;
  if (changed) Repaint();
}

void TUloCustomShapePosition::SetTop(int value) {
  const bool changed = !customPosition_ || value != ShapeBounds.Top;
  customPosition_ = true;
  ShapeBounds.Bottom += value - ShapeBounds.Top;
  ShapeBounds.Top = value;
  if (changed) Repaint();
}

void TUloCustomShapePosition::DefineProperties(TPropertyTable &t) {
  TUloCustomShape::DefineProperties(t);
  t.Property(
      "CustomPosition", [this] { return CustomPosition(); }, [this](bool v) { SetCustomPosition(v); }, false);
  // Left and Top only mean something for a pinned shape; reading them pins it.
  t.Property(
       "Left", [this] { return Left(); }, [this](int v) { SetLeft(v); })
      .StoredWhen([this] { return CustomPosition(); });
  t.Property(
       "Top", [this] { return Top(); }, [this](int v) { SetTop(v); })
      .StoredWhen([this] { return CustomPosition(); });
}

// ---- titles ------------------------------------------------------------------

TChartTitle::TChartTitle(TCustomUloPanel *chart) : TUloCustomShapePosition(chart) {
  SetDefaultTransparent(true);
  Font().SetColor(0xFF0000);
}

void TChartTitle::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TChartTitle *>(&source); other && other != this) {
    SetAdjustFrame(other->adjustFrame_);
    SetAlignment(other->alignment_);
    SetText(other->text_);
    SetVertMargin(other->vertMargin_);
  }
  TUloCustomShapePosition::Assign(source);
}

bool TChartTitle::Clicked(int x, int y) const {
  // A title without text is not drawn and has no box to hit.
  return Visible() && !text_.empty() && x >= ShapeBounds.Left && x <= ShapeBounds.Right && y >= ShapeBounds.Top &&
         y <= ShapeBounds.Bottom;
}

void TChartTitle::DrawTitle() {
  TCustomUloPanel *chart = ParentChart();
  if (!chart || !Visible() || text_.empty()) return;
  TUloCanvas3D &canvas = chart->Canvas();
  const bool custom = CustomPosition();
  const int lines = static_cast<int>(text_.size());

  int frameWidth = 0;
  if (Pen().Visible() && Pen().Color() != clDefault) frameWidth = Pen().Width();
  if (Bevel() != TBevelCut::bvNone) frameWidth = BevelWidth();

  TRect r = ShapeBounds;
  if (!custom) {
    r = chart->ChartRect;
    r.Top += frameWidth;
  }
  canvas.ApplyFont(Font());
  canvas.SetTextAlign(0);
  const int lineHeight = canvas.StandardTextHeight();
  if (onTop_ || custom)
    r.Bottom = r.Top + lineHeight * lines;
  else
    r.Top = r.Bottom - lineHeight * lines;
  if (!custom) {
    r.Left -= frameWidth;
    r.Top -= frameWidth;
    r.Right += frameWidth;
    r.Bottom += frameWidth;
  }

  const int w = canvas.MeasureTextWidth("W");
  if (adjustFrame_) {
    int widest = 0;
    for (const std::string &line : text_)
      widest = std::max(widest, canvas.MeasureTextWidth(line));
    const int width = widest + w + frameWidth;
    switch (alignment_) {
    case TAlignment::taLeftJustify:
      r.Right = r.Left + width;
      break;
    case TAlignment::taRightJustify:
      r.Left = r.Right - width;
      break;
    case TAlignment::taCenter: {
      if (custom) r.Right = r.Left + width;
      const int c = (r.Left + r.Right) / 2;
      r.Left = c - width / 2;
      r.Right = c + width / 2;
      break;
    }
    }
  }
  ShapeBounds = r;
  Draw();

  canvas.SetBkMode(UloTransparentMode);
  if (TextFormat() == TTextFormat::ttfHtml) {
    std::string all;
    for (size_t i = 0; i < text_.size(); ++i) {
      if (i) all += "\r\n";
      all += text_[i];
    }
    const int y = onTop_ || custom ? r.Top + frameWidth : r.Bottom - lineHeight - frameWidth;
    DrawRichText(canvas, r.Left + w / 2, y, all);
  } else {
    for (int i = 0; i < lines; ++i) {
      const std::string &line = text_[static_cast<size_t>(i)];
      const int y = onTop_ || custom ? r.Top + i * lineHeight + frameWidth
                                     : r.Bottom - lineHeight - (i * lineHeight + frameWidth);
      int x;
      switch (alignment_) {
      case TAlignment::taLeftJustify:
        x = r.Left + w / 2;
        break;
      case TAlignment::taRightJustify:
        x = r.Right - canvas.MeasureTextWidth(line) - w / 2;
        break;
      default:
        x = (r.Left + r.Right) / 2 - canvas.MeasureTextWidth(line) / 2;
        break;
      }
      canvas.TextOut(x, y, line);
    }
  }

  if (!custom) {
    int margin = vertMargin_ + frameWidth;
    if (!Transparent() && ExistingShadow() && ExistingShadow()->Visible()) margin += ExistingShadow()->VertSize();
    if (!chart->FixedChartRect()) {
      if (onTop_)
        chart->ChartRect.Top = r.Bottom + margin;
      else
        chart->ChartRect.Bottom = r.Bottom - lineHeight * lines - margin;
      chart->RecalcChartSize();
    }
  }
}

void TChartTitle::DefineProperties(TPropertyTable &t) {
  TUloCustomShapePosition::DefineProperties(t);
  t.Property(
      "AdjustFrame", [this] { return AdjustFrame(); }, [this](bool v) { SetAdjustFrame(v); }, true);
  t.Enum(
      "Alignment", [this] { return Alignment(); }, [this](TAlignment a) { SetAlignment(a); }, TAlignment::taCenter,
      kAlignmentNames);
  t.Enum(
      "Bevel", [this] { return Bevel(); }, [this](TBevelCut b) { SetBevel(b); }, TBevelCut::bvNone, UloBevelCutNames());
  t.Property(
      "BevelWidth", [this] { return BevelWidth(); }, [this](int v) { SetBevelWidth(v); }, 2);
  DefineBrush(t);
  DefinePen(t, "Frame");
  t.Object("Picture", [this] { return static_cast<streaming::TPersistent *>(&Picture()); }).StoredWhen([this] {
    return ExistingPicture() && ExistingPicture()->Graphic();
  });
  t.Enum(
      "ShapeStyle", [this] { return ShapeStyle(); }, [this](TChartObjectShapeStyle s) { SetShapeStyle(s); },
      TChartObjectShapeStyle::fosRectangle, kShapeStyleNames);
  t.Property(
       "Text", [this] { return Text(); }, [this](std::vector<std::string> v) { SetText(std::move(v)); })
      .StoredWhen([this] { return !Text().empty(); });
  t.Enum(
      "TextFormat", [this] { return TextFormat(); }, [this](TTextFormat f) { SetTextFormat(f); },
      TTextFormat::ttfNormal, kTextFormatNames);
  t.Property(
      "VertMargin", [this] { return VertMargin(); }, [this](int v) { SetVertMargin(v); }, 5);
  TUloShapeDefaults defaults;
  defaults.FontColor = onTop_ ? TColor(0xFF0000) : TColor(0x0000FF);
  if (!onTop_) defaults.FontStyle = TFontStyle::fsItalic;
  UloDefineShapeKeys(t, *this, StoredParts(), defaults, true);
}

TChartFootTitle::TChartFootTitle(TCustomUloPanel *chart) : TChartTitle(chart) {
  SetOnTop(false);
  Font().SetColor(0x0000FF);
  Font().SetStyle(TFontStyle::fsItalic);
}

// ---- walls -----------------------------------------------------------------------

TCustomChartWall::TCustomChartWall(TCustomUloPanel *chart) : TUloCustomShape(chart) { SetColor(clDefault); }

void TCustomChartWall::Assign(const TUloCustomShapeBrushPen &source) {
  if (auto *other = dynamic_cast<const TCustomChartWall *>(&source); other && other != this) {
    SetAutoHide(other->autoHide_);
    SetDark3D(other->dark3D_);
    SetEndPosition(other->endPosition_);
    SetSize(other->size_);
    SetStartPosition(other->startPosition_);
  }
  TUloCustomShape::Assign(source);
}

void TCustomChartWall::InitColor(TColor value) {
  SetColor(value);
  defaultColor_ = value;
}

TCustomChart *TCustomChartWall::Chart() const { return dynamic_cast<TCustomChart *>(ParentChart()); }

bool TCustomChartWall::ShouldDraw() const {
  const TCustomChart *chart = Chart();
  return chart && chart->View3DWalls() && Visible() && !autoHide_;
}

bool TCustomChartWall::HasDarkSides() {
  if (!dark3D_) return false;
  TChartBrush &brush = Brush();
  return brush.Style() == TBrushStyle::bsSolid && !brush.Bitmap() &&
         !(brush.ExistingImage() && brush.ExistingImage()->Graphic());
}

bool TCustomChartWall::HasGradient() const { return ExistingGradient() && ExistingGradient()->Visible(); }

int TCustomChartWall::CalcEndPos() const {
  TCustomChart *chart = Chart();
  if (!chart) return ShapeBounds.Bottom;
  const TRect &r = chart->ChartRect;
  int end = r.Bottom + chart->GetAxisWallSize(chart->BottomAxis());
  if (endPosition_ != 100) end -= rtl::RoundPixel((end - r.Top) * (100 - endPosition_) * 0.01);
  return end;
}

int TCustomChartWall::CalcStartPos() const {
  TCustomChart *chart = Chart();
  if (!chart) return ShapeBounds.Top;
  const TRect &r = chart->ChartRect;
  int start = r.Top;
  if (startPosition_ != 0) start += rtl::RoundPixel((r.Bottom - start) * startPosition_ * 0.01);
  return start;
}

void TCustomChartWall::DefineProperties(TPropertyTable &t) {
  TUloCustomShape::DefineProperties(t);
  t.Property(
      "AutoHide", [this] { return AutoHide(); }, [this](bool v) { SetAutoHide(v); }, false);
  DefineBrush(t);
  t.Property(
      "Dark3D", [this] { return Dark3D(); }, [this](bool v) { SetDark3D(v); }, true);
  t.Property(
      "EndPosition", [this] { return EndPosition(); }, [this](int v) { SetEndPosition(v); }, 100);
  DefinePen(t);
  t.Property(
      "Size", [this] { return Size(); }, [this](int v) { SetSize(v); }, 0);
  t.Property(
      "StartPosition", [this] { return StartPosition(); }, [this](int v) { SetStartPosition(v); }, 0);
  TUloShapeDefaults defaults;
  defaults.Color = defaultColor_;
  defaults.Visible = defaultVisible_;
  defaults.ShadowVisible = defaultShadowVisible_;
  UloDefineShapeKeys(t, *this, StoredParts(), defaults, false);
}

TChartBackWall::TChartBackWall(TCustomUloPanel *chart) : TChartWall(chart) {
  InitColor(0xC0C0C0);
  SetDefaultTransparent(true);
  InitShadow(Shadow());
}

void TChartBackWall::InitShadow(TUloShadow &shadow) {
  shadow.InitColorAndSize(0x808080, 3);
  shadow.SetVisible(false);
  defaultShadowVisible_ = false;
}

TChartLeftWall::TChartLeftWall(TCustomUloPanel *chart) : TChartWall(chart) { InitColor(0x80FFFF); }

TChartBottomWall::TChartBottomWall(TCustomUloPanel *chart) : TChartWall(chart) { InitColor(clWhite); }

TChartRightWall::TChartRightWall(TCustomUloPanel *chart) : TChartWall(chart) {
  InitColor(0xC0C0C0);
  SetVisible(false);
  defaultVisible_ = false;
}

TChartWalls::TChartWalls(TCustomChart *chart) : chart_(chart) {
  back_ = std::make_unique<TChartBackWall>(chart);
  left_ = std::make_unique<TChartLeftWall>(chart);
  bottom_ = std::make_unique<TChartBottomWall>(chart);
  right_ = std::make_unique<TChartRightWall>(chart);
}

TChartWalls::~TChartWalls() = default;

void TChartWalls::Assign(const TChartWalls &source) {
  if (&source == this) return;
  back_->Assign(*source.back_);
  bottom_->Assign(*source.bottom_);
  left_->Assign(*source.left_);
  right_->Assign(*source.right_);
}

void TChartWalls::DefineProperties(TPropertyTable &t) {
  t.Object("Back", [this] { return static_cast<streaming::TPersistent *>(back_.get()); });
  t.Object("Bottom", [this] { return static_cast<streaming::TPersistent *>(bottom_.get()); });
  t.Object("Left", [this] { return static_cast<streaming::TPersistent *>(left_.get()); });
  t.Object("Right", [this] { return static_cast<streaming::TPersistent *>(right_.get()); });
}

// ---- the chart's drawing of titles and walls ------------------------------------

bool TCustomChart::IsSideBackFacing(int x) {
  TUloCanvas3D &canvas = Canvas();
  if (canvas.CapabilityFlagA()) return true;
  const int bottom = ChartRect.Bottom + GetAxisWallSize(BottomAxis());
  const TPoint p[3] = {canvas.ProjectPoint(x, ChartRect.Top, 0), canvas.ProjectPoint(x, bottom, 0),
                       canvas.ProjectPoint(x, bottom, walls_->Back().Size() + HorizDepth)};
  return IsBackFacingTriangle(p);
}

namespace {

// Pen and fill of a wall; a gradient paints Quad first and then the brush
// is cleared so that only the outline follows.
void PrepareWall(TCustomChart &chart, TCustomChartWall &wall, const TFourPoints *quad) {
  TUloCanvas3D &canvas = chart.Canvas();
  canvas.ApplyPen(wall.Pen());
  if (wall.Transparent()) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else {
    const TColor color = wall.Color() == clDefault ? chart.Color() : wall.Color();
    chart.SetBrushCanvas(color, wall.Brush(), chart.Color());
  }
  if (quad && !wall.Transparent() && wall.HasGradient()) {
    wall.Gradient().PaintQuad(canvas, *quad);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  }
}

TFourPoints ProjectQuad(TCanvas3D &canvas, const TPoint3D (&p)[4]) {
  TFourPoints q;
  for (int i = 0; i < 4; ++i)
    q[i] = canvas.ProjectPoint(p[i].X, p[i].Y, p[i].Z);
  return q;
}

} // namespace

void TCustomChart::DrawRightWall() {
  TChartWall &wall = walls_->Right();
  TUloCanvas3D &canvas = Canvas();
  const int start = wall.CalcStartPos(), end = wall.CalcEndPos();
  const int x = ChartRect.Right;
  if (wall.Size() < 1) {
    const TPoint3D p[4] = {{x, start, 0}, {x, start, HorizDepth + 1}, {x, end, HorizDepth + 1}, {x, end, 0}};
    const TFourPoints q = ProjectQuad(canvas, p);
    PrepareWall(*this, wall, &q);
    canvas.SideRectAtX(x, start, end, 0, HorizDepth + 1);
  } else {
    const TPoint3D p[4] = {{x, start, 0}, {x, start, HorizDepth}, {x, end, HorizDepth}, {x, end, 0}};
    const TFourPoints q = ProjectQuad(canvas, p);
    PrepareWall(*this, wall, &q);
    const int back = walls_->Back().Visible() ? walls_->Back().Size() : 0;
    canvas.DrawBox(x, x + wall.Size(), start, end, 0, HorizDepth + back, wall.HasDarkSides());
  }
}

void TCustomChart::DrawLeftWall() {
  TChartWall &wall = walls_->Left();
  TUloCanvas3D &canvas = Canvas();
  const int start = wall.CalcStartPos(), end = wall.CalcEndPos();
  const int x = ChartRect.Left;
  const TPoint3D p[4] = {{x, start, 0}, {x, start, HorizDepth}, {x, end, HorizDepth}, {x, end, 0}};
  const TFourPoints q = ProjectQuad(canvas, p);
  PrepareWall(*this, wall, &q);
  if (wall.Size() < 1)
    canvas.SideRectAtX(x, start, end, 0, HorizDepth);
  else
    canvas.DrawBox(x - wall.Size(), x, start, end, 0, HorizDepth, wall.HasDarkSides());
}

void TCustomChart::DrawBottomWall() {
  TChartWall &wall = walls_->Bottom();
  TUloCanvas3D &canvas = Canvas();
  const int z0 = rtl::RoundPixel(wall.StartPosition() * HorizDepth * 0.01);
  const int z1 = HorizDepth - rtl::RoundPixel((100 - wall.EndPosition()) * HorizDepth * 0.01);
  int left = ChartRect.Left;
  if (walls_->Left().ShouldDraw()) left -= walls_->Left().Size();
  const int right = ChartRect.Right;
  const int y = ChartRect.Bottom + (canvas.CapabilityFlagA() ? 1 : 0);
  const TPoint3D p[4] = {{left, y, z0}, {right, y, z0}, {right, y, z1}, {left, y, z1}};
  const TFourPoints q = ProjectQuad(canvas, p);
  PrepareWall(*this, wall, &q);
  if (wall.Size() < 1)
    canvas.HorizontalRectAtHeight(left, y, right, z0, z1);
  else
    canvas.DrawBox(left, right, y, y + wall.Size(), z0, z1, wall.HasDarkSides());
}

void TCustomChart::DrawBackWall() {
  TChartBackWall &wall = walls_->Back();
  TUloCanvas3D &canvas = Canvas();
  const TRect r{ChartRect.Left, wall.CalcStartPos(), ChartRect.Right, wall.CalcEndPos()};
  const bool in3D = View3D();
  const int z = in3D ? HorizDepth : 0;

  std::unique_ptr<TUloBlend> blend;
  if (wall.Transparency() > 0 && !wall.Transparent())
    blend = canvas.BeginTransparentDrawing(in3D ? canvas.ProjectedRectBounds(r, z) : r, wall.Transparency());

  if (wall.Transparent()) {
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else {
    const TColor color = wall.Color() == clDefault ? Color() : wall.Color();
    SetBrushCanvas(color, wall.Brush(), Color());
    if (wall.HasGradient()) {
      if (in3D)
        wall.Gradient().PaintQuad(canvas, canvas.ProjectRectQuad(r, z));
      else
        wall.Gradient().PaintRect(canvas, r);
      canvas.Brush().SetStyle(TBrushStyle::bsClear);
    }
  }
  TBackImage *picture = wall.ExistingPicture();
  if (picture && picture->Graphic()) {
    picture->Draw(*this, r, z);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  } else if (BackImageInside()) {
    // With a frame the image reaches under it, so no gap shows inside.
    const int grow = wall.Pen().Visible() ? 1 : 0;
    DrawBackImageRect(TRect{r.Left, r.Top, r.Right + grow, r.Bottom + grow}, z);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
  }
  canvas.ApplyPen(wall.Pen());
  if (!in3D)
    canvas.RectangleOfRect(r);
  else if (wall.Size() > 0)
    canvas.DrawBox(r.Left, r.Right, r.Top, r.Bottom, HorizDepth, HorizDepth + wall.Size(), wall.HasDarkSides());
  else
    canvas.RectangleAtDepth(r, HorizDepth);
  if (blend) canvas.EndTransparentDrawing(std::move(blend));
}

void TCustomChart::DrawWalls() {
  if (CountActiveSeries() > 0 && !AnySeriesAxisBased()) return;
  TChartWalls &w = *walls_;
  const bool walls3D = View3D() && View3DWalls();
  if (walls3D && w.Right().ShouldDraw() && IsSideBackFacing(ChartRect.Right)) DrawRightWall();
  const bool flipped = ChartRectFlipped(HorizDepth);
  if (View3DWalls() && w.Back().ShouldDraw() && !flipped) DrawBackWall();
  if (walls3D && w.Left().ShouldDraw() && !IsSideBackFacing(ChartRect.Left)) DrawLeftWall();
  if (walls3D && w.Bottom().ShouldDraw()) DrawBottomWall();
  if (walls3D && flipped) {
    if (AxisShown(DepthAxis())) DepthAxis()->DrawAxis(false);
    if (AxisShown(DepthTopAxis())) DepthTopAxis()->DrawAxis(false);
  }
}

void TCustomChart::DrawFrontWallsAndAxes() {
  TChartWalls &w = *walls_;
  if (w.Right().ShouldDraw() && !IsSideBackFacing(ChartRect.Right)) {
    DrawRightWall();
    if (AxisShown(RightAxis())) RightAxis()->DrawAxis(false);
  }
  if (w.Left().ShouldDraw() && IsSideBackFacing(ChartRect.Left)) {
    DrawLeftWall();
    if (AxisShown(LeftAxis())) LeftAxis()->DrawAxis(false);
  }
  if (ChartRectFlipped(HorizDepth)) {
    if (AxisShown(DepthAxis())) DepthAxis()->DrawAxis(false);
    if (AxisShown(DepthTopAxis())) DepthTopAxis()->DrawAxis(false);
    if (w.Back().ShouldDraw()) DrawBackWall();
  }
}

void TCustomChart::DrawTitlesAndLegend(bool beforeSeries) {
  TUloCanvas3D &canvas = Canvas();
  canvas.PushSuspendProjection();
  TChartTitle *titles[4] = {title_.get(), subTitle_.get(), foot_.get(), subFoot_.get()};
  const bool legendHere = legend_->ShouldDraw() && legend_->CustomPosition() != beforeSeries;
  if (beforeSeries && !legend_->ShouldDraw()) legend_->ClearLayout();
  if (beforeSeries) {
    if (legendHere && legend_->Vertical()) legend_->DrawLegend();
    for (TChartTitle *title : titles)
      if (!title->CustomPosition()) title->DrawTitle();
    if (legendHere && !legend_->Vertical()) legend_->DrawLegend();
  } else {
    if (legendHere) legend_->DrawLegend();
    for (TChartTitle *title : titles)
      if (title->CustomPosition()) title->DrawTitle();
  }
  canvas.PopSuspendProjection();
  if (!beforeSeries && View3D() && (CountActiveSeries() == 0 || AnySeriesAxisBased())) DrawFrontWallsAndAxes();
}
