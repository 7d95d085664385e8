// Framed shapes drawn through a panel's canvas into a bitmap: what each
// setting leaves on the pixels, rotation, transparency and stored keys.
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloShape.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using foundation_test::TTestPanel;

gdi::Bitmap Render(TTestPanel &panel, const std::function<void()> &scene) {
  gdi::Bitmap target(200, 150);
  panel.SetBounds(0, 0, 200, 150);
  panel.Scene = scene;
  panel.Draw(&target.DC(), TRect{0, 0, 200, 150});
  return target.Clone();
}

bool SameImage(const gdi::Bitmap &a, const gdi::Bitmap &b) {
  return a.Width() == b.Width() && foundation_test::Pixels(a) == foundation_test::Pixels(b);
}

// Shapes on a white panel without frames.
class ShapeTest : public foundation_test::WithApplication {
protected:
  ShapeTest() {
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(clWhite);
  }
  TTestPanel panel;
};

TEST_F(ShapeTest, WidthAndHeightCountBothEdges) {
  TUloShape shape;
  shape.ShapeBounds = TRect{10, 10, 10, 10};
  EXPECT_EQ(shape.Width(), 1);
  EXPECT_EQ(shape.Height(), 1);
  shape.SetWidth(5);
  shape.SetHeight(3);
  EXPECT_EQ(shape.ShapeBounds, (TRect{10, 10, 14, 12}));
}

TEST_F(ShapeTest, RotatedCornersTurnAboutTheMiddle) {
  struct Case {
    TRect r;
    int angle;
    TFourPoints expected;
  };
  const Case cases[] = {
      {{0, 0, 100, 50}, 90, {{{25, 75}, {25, -25}, {75, -25}, {75, 75}}}},
      {{0, 0, 100, 50}, 0, {{{0, 0}, {100, 0}, {100, 50}, {0, 50}}}},
      {{0, 0, 100, 50}, 180, {{{100, 50}, {0, 50}, {0, 0}, {100, 0}}}},
      {{0, 0, 100, 50}, -90, {{{75, -25}, {75, 75}, {25, 75}, {25, -25}}}},
      // An odd size: the middle is the integer half, toward zero.
      {{0, 0, 3, 1}, 90, {{{1, 1}, {1, -2}, {2, -2}, {2, 1}}}},
      {{10, 10, 20, 20}, 45, {{{8, 15}, {15, 8}, {22, 15}, {15, 22}}}},
  };
  for (const Case &c : cases)
    EXPECT_EQ(TUloCustomShape::DrawRectRotated(c.r, c.angle), c.expected) << c.angle;
}

TEST_F(ShapeTest, TransparentShapesLeaveTheCanvasAlone) {
  const gdi::Bitmap empty = Render(panel, [] {});
  TUloShape shape(&panel);
  shape.ShapeBounds = TRect{20, 20, 120, 80};
  shape.SetColor(clRed);
  shape.Shadow().SetSmooth(false);
  shape.SetTransparent(true);
  EXPECT_TRUE(SameImage(Render(panel, [&] { shape.Draw(); }), empty));
  shape.SetTransparent(false);
  EXPECT_FALSE(SameImage(Render(panel, [&] { shape.Draw(); }), empty));
}

TEST_F(ShapeTest, SettingsLeaveTheirPixels) {
  using Setup = std::function<void(TUloShape &)>;
  gdi::Bitmap green(8, 8);
  green.Fill(clLime);
  const auto ellipse = TChartObjectShapeStyle::fosEllipse, round = TChartObjectShapeStyle::fosRoundRectangle;
  const TRect box{20, 20, 120, 80}, wide{20, 20, 140, 100};
  // Just beyond the box's bottom-right corner, inside the shadow's offset.
  const TPoint shadow{123, 83};
  const struct {
    const char *name;
    Setup setup;
    TRect r;
    int angle;
    std::vector<std::pair<TPoint, TColor>> pixels;
  } cases[] = {
      {"shadow under a solid brush", [](TUloShape &) {}, box, 0, {{shadow, clBlack}, {{10, 10}, clWhite}}},
      {"and under a hatched one",
       [](TUloShape &s) { s.Brush().SetStyle(TBrushStyle::bsCross); },
       box,
       0,
       {{shadow, clBlack}}},
      {"none under a clear brush",
       [](TUloShape &s) { s.Brush().SetStyle(TBrushStyle::bsClear); },
       box,
       0,
       {{shadow, clWhite}}},
      {"none when hidden", [](TUloShape &s) { s.Shadow().SetVisible(false); }, box, 0, {{shadow, clWhite}}},
      {"none without offset", [](TUloShape &s) { s.Shadow().SetBothSizes(0); }, box, 0, {{shadow, clWhite}}},
      {"none without a shadow", [](TUloShape &s) { s.SetShadow(nullptr); }, box, 0, {{shadow, clWhite}}},
      // Beside the diamond's lower right edge, not in the corners of its
      // bounding box, where a shadow of the box would fall.
      {"a turned shape casts the shadow of its outline",
       [](TUloShape &s) { s.Shadow().SetBothSizes(4), s.SetColor(clYellow); },
       TRect{40, 40, 100, 100},
       45,
       {{{93, 93}, clBlack}, {{36, 36}, clWhite}, {{108, 108}, clWhite}, {{70, 70}, clYellow}}},
      // The gradient covers the whole box; the ellipse outline frames it.
      {"gradient in an ellipse",
       [=](TUloShape &s) {
         s.SetShadow(nullptr), s.SetShapeStyle(ellipse), s.Gradient().SetVisible(true);
         s.Gradient().SetStartColor(clBlue), s.Gradient().SetEndColor(clBlue);
       },
       wide,
       0,
       {{{22, 22}, clBlue}, {{80, 60}, clBlue}, {{10, 10}, clWhite}}},
      // A picture is clipped to the shape.
      {"picture in an ellipse",
       [&](TUloShape &s) { s.SetShadow(nullptr), s.SetShapeStyle(ellipse), s.Picture().SetGraphic(&green); },
       wide,
       0,
       {{{21, 21}, clWhite}, {{80, 60}, clLime}}},
      {"picture in a round rectangle",
       [&](TUloShape &s) { s.SetShadow(nullptr), s.SetShapeStyle(round), s.Picture().SetGraphic(&green); },
       wide,
       0,
       {{{21, 21}, clWhite}, {{80, 60}, clLime}}},
  };
  for (const auto &c : cases) {
    TUloShape shape(&panel);
    shape.Shadow().SetSmooth(false);
    shape.Shadow().SetBothSizes(6);
    c.setup(shape);
    const gdi::Bitmap image = Render(panel, [&] { shape.DrawRect(c.r, c.angle, 0); });
    for (const auto &[p, color] : c.pixels)
      EXPECT_EQ(image.Pixel(p.X, p.Y), color) << c.name << " at " << p.X << "," << p.Y;
  }
}

TEST_F(ShapeTest, RotatedShapesHaveNoBevel) {
  auto draw = [&](TBevelCut bevel, int angle) {
    TUloShape shape(&panel);
    shape.SetShadow(nullptr);
    shape.SetBevel(bevel);
    shape.SetBevelWidth(3);
    shape.SetColor(clYellow);
    return Render(panel, [&] { shape.DrawRect(TRect{30, 30, 130, 90}, angle, 0); });
  };
  EXPECT_FALSE(SameImage(draw(TBevelCut::bvRaised, 0), draw(TBevelCut::bvNone, 0)));
  EXPECT_TRUE(SameImage(draw(TBevelCut::bvRaised, 360), draw(TBevelCut::bvNone, 360)));
  EXPECT_TRUE(SameImage(draw(TBevelCut::bvLowered, 30), draw(TBevelCut::bvNone, 30)));
}

TEST_F(ShapeTest, TransparencyIsHeldToAPercentAndMixesWithTheShapesOwn) {
  TUloShape shape(&panel);
  struct Case {
    int set, expected;
  };
  for (const Case &c : {Case{250, 100}, Case{-5, 0}, Case{40, 40}}) {
    shape.SetTransparency(c.set);
    EXPECT_EQ(shape.Transparency(), c.expected);
  }
  // Black at 50 percent over white, with a shadow that has a transparency
  // of its own: the shape keeps its 50.
  for (int shadowTransparency : {0, 20}) {
    TUloShape s(&panel);
    s.SetColor(clBlack);
    s.SetTransparency(50);
    s.Shadow().SetSmooth(false);
    s.Shadow().SetTransparency(shadowTransparency);
    const gdi::Bitmap image = Render(panel, [&] { s.DrawRect(TRect{20, 20, 120, 80}); });
    const int grey = GetRValue(image.Pixel(40, 40));
    EXPECT_GE(grey, 120) << shadowTransparency;
    EXPECT_LE(grey, 135) << shadowTransparency;
    EXPECT_EQ(image.Pixel(5, 5), clWhite);
  }
}

// ---- stored keys

class TShapeHolder : public streaming::TStoredComponent {
public:
  std::string_view ClassName() const override { return "TShapeHolder"; }
  void DefineProperties(streaming::TPropertyTable &t) override {
    t.Object("Shape", [this] { return static_cast<streaming::TPersistent *>(&Shape); });
  }
  TUloShape Shape;
};

using StoredShapeTest = foundation_test::WithStoredClass<TShapeHolder, ShapeTest>;

TEST_F(StoredShapeTest, PublishedSettingsRoundTrip) {
  TShapeHolder fresh;
  EXPECT_EQ(streaming::WriteComponent(fresh), "TShapeHolder {\n}\n");

  TShapeHolder holder;
  TUloShape &s = holder.Shape;
  s.SetBevel(TBevelCut::bvRaised);
  s.SetBevelWidth(4);
  s.SetColor(clNavy);
  s.Font().SetSize(12);
  s.Font().SetStyle(TFontStyle::fsBold);
  s.Gradient().SetDirection(TGradientDirection::gdRadial);
  s.SetRoundSize(9);
  s.Shadow().SetBothSizes(5);
  s.SetShapeStyle(TChartObjectShapeStyle::fosRoundRectangle);
  s.SetTransparent(true);
  s.SetVisible(false);
  const std::string text = streaming::WriteComponent(holder);

  // Only values that differ from their defaults are written, so the copy
  // writes the same text only when it read every one back.
  TShapeHolder copy;
  streaming::ReadComponent(text, copy);
  EXPECT_EQ(streaming::WriteComponent(copy), text);
}

TEST_F(StoredShapeTest, OldShadowKeysAreReadOnly) {
  struct Case {
    const char *member;
    TColor color;
    int size;
  };
  const Case cases[] = {
      {"Shape.ShadowColor = clRed", clRed, 3},
      {"Shape.ShadowColor = 0xFF00", clLime, 3},
      {"Shape.ShadowColor = clBtnFace", clBtnFace, 3},
      {"Shape.ShadowSize = 7", clBlack, 7},
  };
  for (const Case &c : cases) {
    TShapeHolder holder;
    streaming::ReadComponent(std::string("TShapeHolder {\n ") + c.member + "\n}\n", holder);
    EXPECT_EQ(holder.Shape.Shadow().Color(), c.color) << c.member;
    EXPECT_EQ(holder.Shape.Shadow().HorizSize(), c.size) << c.member;
    EXPECT_EQ(holder.Shape.Shadow().VertSize(), c.size) << c.member;
    const std::string text = streaming::WriteComponent(holder);
    EXPECT_EQ(text.find("ShadowColor"), std::string::npos);
    EXPECT_EQ(text.find("ShadowSize"), std::string::npos);
  }
}

TEST_F(StoredShapeTest, APictureMadeWhileDrawingIsNotStored) {
  TShapeHolder holder;
  holder.Shape.SetParent(&panel);
  holder.Shape.SetTransparency(30);
  (void)Render(panel, [&] { holder.Shape.DrawRect(TRect{10, 10, 60, 40}); });
  EXPECT_NE(holder.Shape.ExistingPicture(), nullptr);
  EXPECT_EQ(streaming::WriteComponent(holder).find("Picture"), std::string::npos);
}

} // namespace
