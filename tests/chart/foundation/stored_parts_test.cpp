// The optional parts of stored fonts, brushes and pictures: each is written
// only once something made it, and every setting comes back from the text,
// images included.
#include "chart/foundation/TestPanel.h"
#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloFilters.h"
#include "chart/foundation/UloGradient.h"
#include "chart/foundation/UloShadow.h"
#include "chart/foundation/UloShape.h"
#include "platform/rtl/Files.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace {

using foundation_test::Pixels;
using foundation_test::TTestPanel;

// Distinct pixels, so a transposed or re-sampled image reads back different.
gdi::Bitmap Sample(int width, int height) {
  gdi::Bitmap b(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      b.SetPixel(x, y, RGBColor(x * 40, y * 60, (x + y) * 20));
  return b;
}

class TShapeHolder : public streaming::TStoredComponent {
public:
  std::string_view ClassName() const override { return "TShapeHolder"; }
  void DefineProperties(streaming::TPropertyTable &t) override {
    t.Object("Shape", [this] { return static_cast<streaming::TPersistent *>(&Shape); });
    t.Object("Brush", parts_.Get("Brush", [this](streaming::TPropertyTable &p) { DefineChartBrush(p, Brush); }));
  }
  TUloShape Shape;
  TChartBrush Brush;

private:
  TUloStoredParts parts_;
};

// Reading filters needs their classes registered.
template <class C> class WithFilters : public foundation_test::WithStoredClass<C, foundation_test::WithApplication> {
protected:
  using Base = foundation_test::WithStoredClass<C, foundation_test::WithApplication>;
  void SetUp() override {
    Base::SetUp();
    StartUloFilters();
  }
  void TearDown() override {
    StopUloFilters();
    Base::TearDown();
  }
};

using StoredShapeParts = WithFilters<TShapeHolder>;
using StoredPanelParts = WithFilters<TTestPanel>;

TEST_F(StoredShapeParts, WritingMakesNoPart) {
  TShapeHolder holder;
  const std::string text = streaming::WriteComponent(holder);
  EXPECT_EQ(text.find("Shape."), std::string::npos) << text;
  const TUloFont &f = holder.Shape.Font();
  for (const void *part :
       {static_cast<const void *>(f.ExistingGradient()), static_cast<const void *>(f.ExistingOutLine()),
        static_cast<const void *>(f.ExistingPicture()), static_cast<const void *>(f.ExistingShadow()),
        static_cast<const void *>(holder.Brush.ExistingImage())})
    EXPECT_EQ(part, nullptr);
}

TEST_F(StoredShapeParts, FontBrushAndPicturePartsRoundTrip) {
  TShapeHolder holder;
  TUloShape &s = holder.Shape;
  TUloFont &f = s.Font();
  f.Shadow().SetHorizSize(3);
  f.OutLine().SetVisible(true);
  f.Gradient().SetOutline(true);
  const gdi::Bitmap fontImage = Sample(4, 3);
  f.Picture().SetGraphic(&fontImage);
  holder.Brush.Image().SetGraphic(&fontImage);
  holder.Brush.SetColor(clWhite); // not the colour a new brush has
  s.Picture().SetGraphic(&fontImage);
  s.Picture().Filters().Add<TBlurFilter>().SetSteps(2);
  const std::string text = streaming::WriteComponent(holder);

  // Every setting above differs from its default and is written only then,
  // so the copy writes the same text only when it read each one back.
  TShapeHolder copy;
  streaming::ReadComponent(text, copy);
  EXPECT_EQ(streaming::WriteComponent(copy), text);
  EXPECT_EQ(copy.Brush.Color(), clWhite);
  for (const TUloPicture *p : std::initializer_list<const TUloPicture *>{
           copy.Shape.Font().ExistingPicture(), copy.Brush.ExistingImage(), copy.Shape.ExistingPicture()}) {
    ASSERT_TRUE(p && p->Graphic());
    EXPECT_EQ(Pixels(*p->Graphic()), Pixels(fontImage));
  }
}

TEST_F(StoredPanelParts, BackImageKeepsTheBytesOfItsFile) {
  const std::string path = testing::TempDir() + "kvel_back_image.bmp";
  const gdi::Bitmap image = Sample(6, 4);
  image.SaveToFile(path);
  const std::string file = rtl::ReadFileBytes(path);

  TTestPanel panel;
  panel.BackImage().LoadFromFile(path);
  panel.BackImage().SetMode(TUloBackImageMode::pbmTile);
  panel.BackImage().SetTransparent(true);
  panel.Zoom().Brush().SetStyle(TBrushStyle::bsSolid); // not the style a new zoom brush has
  EXPECT_EQ(panel.BackImage().GraphicBytes(), file) << "a loaded file is stored as it was, not re-encoded";
  const std::string text = streaming::WriteComponent(panel);

  TTestPanel copy;
  streaming::ReadComponent(text, copy);
  ASSERT_NE(copy.ExistingBackImage(), nullptr);
  ASSERT_NE(copy.BackImage().Graphic(), nullptr);
  EXPECT_EQ(Pixels(*copy.BackImage().Graphic()), Pixels(image));
  EXPECT_EQ(copy.BackImage().GraphicBytes(), file);
  EXPECT_EQ(streaming::WriteComponent(copy), text);
  EXPECT_EQ(copy.Zoom().Brush().Style(), TBrushStyle::bsSolid);
  EXPECT_TRUE(copy.BackImage().Transparent());

  // A block that is no image fails and leaves the picture as it was.
  for (const char *bad : {"<>", "<00ff10>"}) {
    EXPECT_THROW(streaming::ReadComponent(std::string("TTestPanel Chart1 {\n BackImage.Data = ") + bad + "\n}\n", copy),
                 streaming::EDefinitionError)
        << bad;
    EXPECT_EQ(copy.BackImage().GraphicBytes(), file) << bad;
  }
}

} // namespace
