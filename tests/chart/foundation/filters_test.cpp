// Image filters on small bitmaps of known pixels, their regions, the
// resampling they share, and pictures with stored filter lists.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloFilters.h"
#include "chart/foundation/UloPicture.h"
#include "platform/streaming/Streaming.h"

namespace {

gdi::Bitmap Make(int w, int h, const std::function<TColor(int, int)> &colour) {
  gdi::Bitmap b(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, colour(x, y));
  return b;
}

gdi::Bitmap Uniform(int w, int h, TColor c) {
  return Make(w, h, [c](int, int) { return c; });
}

// A different colour at every pixel, so any misplaced pixel shows.
TColor Distinct(int x, int y) { return RGBColor(10 + 20 * x, 10 + 20 * y, 100 + x * y); }

using foundation_test::Pixels;

TColor Grey(int v) { return RGBColor(v, v, v); }

void SetRegion(TUloFilter &f, int left, int top, int width, int height) {
  f.Region().SetLeft(left);
  f.Region().SetTop(top);
  f.Region().SetWidth(width);
  f.Region().SetHeight(height);
}

void SetCrop(TCropFilter &crop, int left, int top, int width, int height) {
  crop.SetLeft(left);
  crop.SetTop(top);
  crop.SetWidth(width);
  crop.SetHeight(height);
}

// ---- regions --------------------------------------------------------------------

TEST(FilterRegion, InclusiveRectangleFromTheRegionRules) {
  struct Case {
    int left, top, width, height;
    TRect expected;
  } cases[] = {
      {10, 0, 0, 0, {10, 0, 99, 49}},                 // zero width reaches the last column
      {10, 5, 5, 3, {10, 5, 15, 8}},                  // Width + 1 columns
      {90, 40, 50, 50, {90, 40, 99, 49}},             // limited to the bitmap
      {120, 0, 0, 0, {120, 0, 120, 49}},              // past the edge: empty once limited
      {2147483647, 0, 5, 0, {2147483647, 0, 99, 49}}, // no overflow: empty once limited
  };
  gdi::Bitmap b(100, 50);
  TInvertFilter f;
  EXPECT_EQ(f.RegionRect(b), (TRect{0, 0, 99, 49}));
  for (const auto &c : cases) {
    SetRegion(f, c.left, c.top, c.width, c.height);
    EXPECT_EQ(f.RegionRect(b), c.expected) << c.left << "," << c.width;
  }
  // A region past the edge changes nothing.
  gdi::Bitmap before = b.Clone();
  f.ApplyTo(b);
  EXPECT_EQ(Pixels(b), Pixels(before));
}

TEST(FilterRegion, OnlyTheRegionChanges) {
  gdi::Bitmap b = Uniform(6, 6, clBlack);
  TInvertFilter f;
  SetRegion(f, 1, 2, 2, 1);
  f.ApplyTo(b);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(b.Pixel(x, y), (x >= 1 && x <= 3 && y >= 2 && y <= 3) ? clWhite : clBlack) << x << "," << y;
  f.SetRegion(nullptr);
  EXPECT_EQ(f.ExistingRegion(), nullptr);
}

// ---- pixel rules ------------------------------------------------------------------

using Factory = std::function<std::unique_ptr<TUloFilter>()>;

// A filter of class F with the settings Setup gives it.
template <class F, class Setup> Factory With(Setup setup) {
  return [setup] {
    auto f = std::make_unique<F>();
    setup(*f);
    return std::unique_ptr<TUloFilter>(std::move(f));
  };
}
template <class F> Factory Plain() {
  return With<F>([](F &) {});
}
Factory Gray(TGrayMethod method) {
  return With<TGrayScaleFilter>([=](auto &f) { f.SetMethod(method); });
}
template <class F> Factory Amount(int amount, bool percent = true) {
  return With<F>([=](F &f) { f.SetAmount(amount), f.SetPercent(percent); });
}
Factory AddRGB(int r, int g, int b) {
  return With<TColorFilter>([=](auto &f) { f.SetRed(r), f.SetGreen(g), f.SetBlue(b); });
}
Factory AddHLS(int h, int l, int s) {
  return With<THueLumSatFilter>([=](auto &f) { f.SetHue(h), f.SetLuminance(l), f.SetSaturation(s); });
}

TEST(PixelFilters, OnePixelRules) {
  const struct {
    const char *name;
    Factory make;
    TColor in, out;
  } cases[] = {
      {"invert", Plain<TInvertFilter>(), RGBColor(0, 100, 255), RGBColor(255, 155, 0)},
      {"grey simple", Gray(TGrayMethod::gmSimple), clRed, Grey(85)},
      {"grey eye of red rounds 76.5 up", Gray(TGrayMethod::gmEye), clRed, Grey(77)},
      {"grey eye2", Gray(TGrayMethod::gmEye2), clRed, Grey(87)},
      {"brightness 10 %", Amount<TBrightnessFilter>(10), RGBColor(0, 100, 240), RGBColor(26, 126, 255)},
      {"brightness in bytes", Amount<TBrightnessFilter>(-30, false), RGBColor(20, 100, 255), RGBColor(0, 70, 225)},
      {"contrast 64", Amount<TContrastFilter>(64, false), RGBColor(0, 64, 200), RGBColor(0, 48, 218)},
      {"contrast 64 tops out", Amount<TContrastFilter>(64, false), RGBColor(255, 128, 127), RGBColor(255, 128, 127)},
      // round(200 x 50 %) = 100; 200 + 100 x 72 div 256 = 228; 50: 50 + 25 x -78 div 256 = 43.
      {"contrast 50 %", Amount<TContrastFilter>(50), RGBColor(200, 50, 128), RGBColor(228, 43, 128)},
      {"colour adds and clamps", AddRGB(100, -100, 5), RGBColor(200, 50, 10), RGBColor(255, 0, 15)},
      {"gamma 100 keeps", Amount<TGammaCorrectionFilter>(100), RGBColor(1, 128, 254), RGBColor(1, 128, 254)},
      // 255 x (128/255)^2 = 64.25; (64/255)^2 x 255 = 16.06.
      {"gamma 50 squares", Amount<TGammaCorrectionFilter>(50), RGBColor(0, 128, 64), RGBColor(0, 64, 16)},
      // 255 x (254/255)^1000 = 5.01.
      {"gamma 0 uses 0.001", Amount<TGammaCorrectionFilter>(0), RGBColor(0, 254, 255), RGBColor(0, 5, 255)},
      {"saturation off makes grey", AddHLS(0, 0, -240), clRed, Grey(127)},
      {"luminance up makes white", AddHLS(0, 120, 0), clRed, clWhite},
      {"hue a third round", AddHLS(80, 0, 0), clRed, clLime},
      {"grey has hue 160 and no saturation", AddHLS(0, 0, 0), Grey(90), Grey(90)},
  };
  for (const auto &c : cases) {
    gdi::Bitmap b = Uniform(3, 2, c.in);
    c.make()->ApplyTo(b);
    for (TColor p : Pixels(b))
      EXPECT_EQ(p, c.out) << c.name;
  }
}

TEST(PixelFilters, ZeroSettingsChangeNothing) {
  const Factory idle[] = {Amount<TBrightnessFilter>(0),
                          AddRGB(0, 0, 0),
                          AddHLS(0, 0, 0),
                          Amount<TMosaicFilter>(0),
                          Plain<TResizeFilter>(),                                                // no size
                          With<TTileFilter>([](auto &f) { f.SetNumCols(0), f.SetNumRows(1); })}; // as one column
  for (const Factory &make : idle) {
    const auto f = make();
    gdi::Bitmap b = Make(5, 4, Distinct);
    f->ApplyTo(b);
    EXPECT_EQ(Pixels(b), Pixels(Make(5, 4, Distinct))) << f->ClassName();
  }
}

TEST(Mosaic, BlocksFromTheRegionCornerWithShorterLastBlocks) {
  // Columns 0..4 of values 0, 10, 20, 30, 40; blocks of 2 give 5, 5, 25, 25, 40.
  gdi::Bitmap b = Make(5, 3, [](int x, int) { return Grey(10 * x); });
  Amount<TMosaicFilter>(2)()->ApplyTo(b);
  const int expected[] = {5, 5, 25, 25, 40};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(b.Pixel(x, y), Grey(expected[x])) << x << "," << y;

  gdi::Bitmap whole = Make(3, 3, [](int x, int y) { return Grey(x * 30 + y * 3); });
  TMosaicFilter big; // 8 is larger than the bitmap: one average colour
  big.ApplyTo(whole);
  for (TColor p : Pixels(whole))
    EXPECT_EQ(p, Grey(33));
}

// ---- convolutions -------------------------------------------------------------------

TEST(Convolution, BlurIsTheRoundedMeanInsideAndKeepsTheBorder) {
  gdi::Bitmap b = Make(4, 4, [](int x, int y) { return Grey(x * 40 + y * 7); });
  const gdi::Bitmap source = b.Clone();
  TBlurFilter blur;
  blur.ApplyTo(b);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      if (x == 0 || y == 0 || x == 3 || y == 3) {
        EXPECT_EQ(b.Pixel(x, y), source.Pixel(x, y));
        continue;
      }
      int sum = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
          sum += GetRValue(source.Pixel(x + dx, y + dy));
      const int mean = static_cast<int>(std::nearbyint(sum / 9.0));
      EXPECT_EQ(b.Pixel(x, y), Grey(mean)) << x << "," << y;
    }
  EXPECT_FLOAT_EQ(blur.Factor(), 1.0f / 9.0f);
}

TEST(Convolution, EveryKernelKeepsAUniformImage) {
  std::vector<std::unique_ptr<TUloFilter>> kernels;
  kernels.push_back(std::make_unique<TSharpenFilter>()); // would darken to a sixteenth with 0.0625
  kernels.push_back(std::make_unique<TEmbossFilter>());  // weights sum to -1
  kernels.push_back(std::make_unique<TSoftenFilter>());
  auto &blur = static_cast<TBlurFilter &>(*kernels.emplace_back(std::make_unique<TBlurFilter>()));
  blur.SetAmount(5);
  blur.SetSteps(3);
  for (auto &k : kernels) {
    gdi::Bitmap b = Uniform(5, 5, RGBColor(200, 100, 16));
    k->ApplyTo(b);
    for (TColor p : Pixels(b))
      EXPECT_EQ(p, RGBColor(200, 100, 16)) << k->ClassName();
  }
}

TEST(Convolution, SharpenRaisesAnEdge) {
  gdi::Bitmap b = Make(4, 3, [](int x, int) { return Grey(x < 2 ? 100 : 200); });
  TSharpenFilter().ApplyTo(b);
  // 2 x 100 - 0.125 x (3 x 100 + 2 x 100 + 3 x 200) = 62.5 -> 62; the other side 237.5 -> 238.
  EXPECT_EQ(b.Pixel(1, 1), Grey(62));
  EXPECT_EQ(b.Pixel(2, 1), Grey(238));
}

// A kernel of one's own, as a filter made outside the library would be.
class TEdgeFilter : public TConvolveFilter {
public:
  std::string_view ClassName() const override { return "TEdgeFilter"; }
  std::unique_ptr<TUloFilter> Clone() const override { return std::make_unique<TEdgeFilter>(*this); }
};

TEST(Convolution, ZeroWeightSumAndTinyImagesAreSafe) {
  TEdgeFilter edge; // weights summing to 0 are applied unscaled
  for (int i = 0; i < 9; ++i)
    edge.SetWeight(i, i == 4 ? 8.0f : -1.0f);
  gdi::Bitmap b = Uniform(3, 3, Grey(90));
  edge.ApplyTo(b);
  EXPECT_EQ(b.Pixel(1, 1), clBlack);
  EXPECT_EQ(edge.Factor(), 1.0f);
  for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {1, 5}, {5, 2}}) {
    gdi::Bitmap tiny = Make(w, h, Distinct);
    TBlurFilter().ApplyTo(tiny);
    EXPECT_EQ(Pixels(tiny), Pixels(Make(w, h, Distinct)));
  }
  gdi::Bitmap empty;
  TBlurFilter().ApplyTo(empty);
}

// ---- resampling -----------------------------------------------------------------------

TEST(Resample, UniformStaysUniformAtEverySize) {
  for (bool triangle : {false, true})
    for (auto [sw, sh, dw, dh] :
         {std::array{1, 1, 5, 4}, {2, 3, 9, 1}, {9, 7, 3, 2}, {10, 10, 10, 10}, {3, 40, 7, 5}}) {
      gdi::Bitmap source = Uniform(sw, sh, RGBColor(250, 3, 128));
      gdi::Bitmap dest(dw, dh);
      ResampleBitmap(source, dest, triangle);
      for (TColor p : Pixels(dest))
        ASSERT_EQ(p, RGBColor(250, 3, 128)) << triangle << " " << sw << "x" << sh << "->" << dw << "x" << dh;
    }
}

TEST(Resample, AStrongReductionAveragesEverySource) {
  // 1000 columns, the left half black and the right half white, down to one
  // pixel: every source counts, so the result is the mean grey.
  gdi::Bitmap source = Uniform(1000, 1, clBlack);
  for (int x = 500; x < 1000; ++x)
    source.SetPixel(x, 0, clWhite);
  for (bool triangle : {false, true}) {
    gdi::Bitmap dest(1, 1);
    ResampleBitmap(source, dest, triangle);
    const int red = static_cast<int>(dest.Pixel(0, 0) & 0xFF);
    EXPECT_NEAR(red, 128, 2) << triangle;
  }
}

TEST(Convolution, AHugeStoredStepCountStillEnds) {
  TBlurFilter blur;
  blur.SetSteps(2000000000);
  gdi::Bitmap b = Make(16, 16, Distinct);
  blur.ApplyTo(b);
  TBlurFilter twenty;
  twenty.SetSteps(20);
  gdi::Bitmap c = Make(16, 16, Distinct);
  twenty.ApplyTo(c);
  EXPECT_EQ(Pixels(b), Pixels(c));
}

// ---- bitmap operations ------------------------------------------------------------------

TEST(BitmapFilters, ResizeTakesTheNewSize) {
  gdi::Bitmap b = Uniform(8, 6, clBlue);
  TResizeFilter resize;
  resize.SetWidth(3);
  resize.SetHeight(11);
  resize.ApplyTo(b);
  EXPECT_EQ(b.Width(), 3);
  EXPECT_EQ(b.Height(), 11);
  EXPECT_EQ(b.Pixel(2, 10), clBlue);
}

TEST(BitmapFilters, PixelsGoWhereTheRulesSay) {
  using At = std::function<TColor(int, int)>;
  auto in = [](int x0, int x1, int y0, int y1, At inside) -> At {
    return [=](int x, int y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1 ? inside(x, y) : Distinct(x, y); };
  };
  const auto d = TMirrorDirection::mdDown, u = TMirrorDirection::mdUp, r = TMirrorDirection::mdRight,
             l = TMirrorDirection::mdLeft;
  const struct {
    const char *name;
    Factory make;
    int sw, sh, w, h; // sizes before and after
    At at;
  } cases[] = {
      // Rows 2..4 of columns 1..4: the middle row 3 stays.
      {"flip in a region", With<TFlipFilter>([](auto &f) { SetRegion(f, 1, 2, 3, 2); }), 6, 6, 6, 6,
       in(1, 4, 2, 4, [](int x, int y) { return Distinct(x, 6 - y); })},
      {"reverse from column 2", With<TReverseFilter>([](auto &f) { f.Region().SetLeft(2); }), 6, 2, 6, 2,
       in(2, 5, 0, 1, [](int x, int y) { return Distinct(7 - x, y); })},
      {"crop stretches its rectangle", With<TCropFilter>([](auto &f) { SetCrop(f, 2, 1, 2, 2); }), 4, 4, 4, 4,
       [](int x, int y) { return Distinct(2 + x / 2, 1 + y / 2); }},
      // Margins round(4 x 50 x 0.005) = 1 on each side.
      {"zoom", With<TZoomFilter>([](auto &f) { f.SetPercent(50); }), 4, 4, 4, 4,
       [](int x, int y) { return Distinct(1 + x / 2, 1 + y / 2); }},
      {"zoom in a region", With<TZoomFilter>([](auto &f) { f.SetPercent(50), SetRegion(f, 2, 2, 3, 3); }), 6, 6, 6, 6,
       in(2, 5, 2, 5, [](int x, int y) { return Distinct(3 + (x - 2) / 2, 3 + (y - 2) / 2); })},
      {"rotate 90", With<TRotateFilter>([](auto &f) { f.SetAngle(90); }), 3, 2, 2, 3,
       [](int x, int y) { return Distinct(2 - y, x); }},
      {"rotate 180", With<TRotateFilter>([](auto &f) { f.SetAngle(180); }), 3, 2, 3, 2,
       [](int x, int y) { return Distinct(2 - x, 1 - y); }},
      {"rotate -90", With<TRotateFilter>([](auto &f) { f.SetAngle(-90); }), 3, 2, 2, 3,
       [](int x, int y) { return Distinct(y, 1 - x); }},
      {"rotate 720", With<TRotateFilter>([](auto &f) { f.SetAngle(720); }), 3, 2, 3, 2, Distinct},
      {"mirror down", With<TMirrorFilter>([=](auto &f) { f.SetDirection(d); }), 3, 2, 3, 4,
       [](int x, int y) { return Distinct(x, y < 2 ? y : 3 - y); }},
      {"mirror up", With<TMirrorFilter>([=](auto &f) { f.SetDirection(u); }), 3, 2, 3, 4,
       [](int x, int y) { return Distinct(x, y < 2 ? 1 - y : y - 2); }},
      {"mirror right", With<TMirrorFilter>([=](auto &f) { f.SetDirection(r); }), 3, 2, 6, 2,
       [](int x, int y) { return Distinct(x < 3 ? x : 5 - x, y); }},
      {"mirror left", With<TMirrorFilter>([=](auto &f) { f.SetDirection(l); }), 3, 2, 6, 2,
       [](int x, int y) { return Distinct(x < 3 ? 2 - x : x - 3, y); }},
  };
  for (const auto &c : cases) {
    gdi::Bitmap b = Make(c.sw, c.sh, Distinct);
    c.make()->ApplyTo(b);
    ASSERT_EQ(b.Width(), c.w) << c.name;
    ASSERT_EQ(b.Height(), c.h) << c.name;
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        EXPECT_EQ(b.Pixel(x, y), c.at(x, y)) << c.name << " at " << x << "," << y;
  }
  TRotateFilter rotate;
  rotate.SetAngle(-90);
  EXPECT_EQ(rotate.Angle(), 270);
}

TEST(BitmapFilters, CropOutsideTheBitmapReadsNothingOutside) {
  gdi::Bitmap b = Uniform(4, 4, clRed);
  TCropFilter crop;
  SetCrop(crop, 2, -2, 4, 4);
  crop.ApplyTo(b);
  // The crop's right half and top half lie outside: white.
  EXPECT_EQ(b.Pixel(0, 3), clRed);
  EXPECT_EQ(b.Pixel(3, 3), clWhite);
  EXPECT_EQ(b.Pixel(0, 0), clWhite);
  gdi::Bitmap far = Uniform(4, 4, clRed);
  crop.SetLeft(2147483647); // wholly outside, even where Left + Width would overflow
  crop.ApplyTo(far);
  EXPECT_EQ(Pixels(far), Pixels(Uniform(4, 4, clWhite)));
  crop.SetSmooth(true);
  gdi::Bitmap c = Uniform(4, 4, clRed);
  SetCrop(crop, 0, 0, 4, 4);
  crop.ApplyTo(c);
  EXPECT_EQ(Pixels(c), Pixels(Uniform(4, 4, clRed)));

  gdi::Bitmap out = Uniform(4, 4, clRed);
  TZoomFilter zoom;
  zoom.SetPercent(-50); // a wider source than the bitmap: white around
  zoom.ApplyTo(out);
  EXPECT_EQ(out.Pixel(0, 0), clWhite);
  EXPECT_EQ(out.Pixel(2, 2), clRed);
}

TEST(BitmapFilters, RotateByAnOddAngleGrowsAndFillsTheCorners) {
  gdi::Bitmap b = Uniform(20, 10, clBlue);
  TRotateFilter rotate;
  rotate.SetAngle(45);
  rotate.SetBackColor(clYellow);
  rotate.ApplyTo(b);
  // round(20 cos 45 + 10 sin 45) = 21 both ways.
  EXPECT_EQ(b.Width(), 21);
  EXPECT_EQ(b.Height(), 21);
  EXPECT_EQ(b.Pixel(0, 0), clYellow);
  EXPECT_EQ(b.Pixel(10, 10), clBlue);
  gdi::Bitmap same = Uniform(20, 10, clBlue);
  rotate.SetAutoSize(false);
  rotate.ApplyTo(same);
  EXPECT_EQ(same.Width(), 20);
  EXPECT_EQ(same.Pixel(0, 0), clYellow);
}

TEST(BitmapFilters, TileRepeatsAShrunkCopy) {
  // Left half red, right half blue: each of the 2 x 2 tiles shows both
  // (Lanczos lets a trace of each into the other).
  gdi::Bitmap b = Make(8, 8, [](int x, int) { return x < 4 ? clRed : clBlue; });
  TTileFilter tile;
  tile.SetNumCols(2);
  tile.SetNumRows(2);
  tile.ApplyTo(b);
  for (int y : {0, 5})
    for (int x0 : {0, 4}) {
      EXPECT_GE(GetRValue(b.Pixel(x0, y)), 250) << x0;
      EXPECT_LE(GetBValue(b.Pixel(x0, y)), 5) << x0;
      EXPECT_GE(GetBValue(b.Pixel(x0 + 3, y)), 250) << x0;
      EXPECT_LE(GetRValue(b.Pixel(x0 + 3, y)), 5) << x0;
    }
}

TEST(BitmapFilters, BevelBrightensTopLeftAndDarkensBottomRight) {
  gdi::Bitmap b = Uniform(10, 10, Grey(100));
  TBevelFilter bevel;
  bevel.SetSize(2);
  bevel.SetBright(50);
  bevel.ApplyTo(b);
  const std::pair<TPoint, int> pixels[] = {{{5, 0}, 150}, {{5, 1}, 150}, {{0, 5}, 150}, {{5, 9}, 50},
                                           {{8, 5}, 50},  {{5, 2}, 100}, {{5, 5}, 100}};
  for (const auto &[p, v] : pixels)
    EXPECT_EQ(b.Pixel(p.X, p.Y), Grey(v)) << p.X << "," << p.Y;
}

// ---- pictures ------------------------------------------------------------------------

TEST(Picture, FilteredCopyIsTheGraphicWithoutFiltersAndAFreshCopyWithThem) {
  TUloPicture picture;
  EXPECT_EQ(picture.FilteredCopy(), nullptr);
  gdi::Bitmap image = Make(4, 3, Distinct);
  picture.SetGraphic(&image);
  EXPECT_EQ(picture.FilteredCopy(), picture.Graphic());
  picture.Filters(); // an empty list is no filter
  EXPECT_EQ(picture.FilteredCopy(), picture.Graphic());

  picture.Filters().Add<TInvertFilter>().SetEnabled(false);
  const gdi::Bitmap *copy = picture.FilteredCopy();
  ASSERT_NE(copy, picture.Graphic());
  EXPECT_EQ(Pixels(*copy), Pixels(image));

  picture.Filters().Item(0).SetEnabled(true);
  // Filtered again from the graphic at every call, never on the last result.
  for (int call = 0; call < 2; ++call) {
    copy = picture.FilteredCopy();
    EXPECT_EQ(copy->Pixel(1, 1), static_cast<TColor>(Distinct(1, 1) ^ 0xFFFFFF));
  }
  EXPECT_EQ(Pixels(*picture.Graphic()), Pixels(image));
  picture.SetFilters(nullptr);
  EXPECT_EQ(picture.FilteredCopy(), picture.Graphic());
}

TEST(Picture, SetFiltersCopiesEveryFilterWithItsSettings) {
  TFilterItems source;
  auto &blur = source.Add<TBlurFilter>();
  blur.SetSteps(4);
  blur.Region().SetLeft(3);
  source.Add<TGrayScaleFilter>().SetEnabled(false);
  TUloPicture picture;
  int changes = 0;
  picture.OnChange = [&changes] { ++changes; };
  picture.SetFilters(&source);
  EXPECT_GT(changes, 0);
  source.Clear();
  ASSERT_EQ(picture.Filters().Count(), 2);
  auto *copy = dynamic_cast<TBlurFilter *>(&picture.Filters().Item(0));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->Steps(), 4);
  EXPECT_EQ(copy->Region().Left(), 3);
  EXPECT_FALSE(picture.Filters().Item(1).Enabled());
}

// A component holding a picture, as a chart's back image is held.
class TPictureHolder : public streaming::TStoredComponent {
public:
  std::string_view ClassName() const override { return "TPictureHolder"; }
  void DefineProperties(streaming::TPropertyTable &table) override {
    table.Object("Picture", [this] { return &Picture; });
  }
  TUloPicture Picture;
};

class StoredFilters : public ::testing::Test {
protected:
  void SetUp() override {
    LoadLibraryMessages();
    StartUloFilters();
    streaming::ClassRegistry().RegisterClass<TPictureHolder>("TPictureHolder");
  }
  void TearDown() override {
    streaming::ClassRegistry().UnregisterClass("TPictureHolder");
    StopUloFilters();
    UnloadLibraryMessages();
  }
};

TEST_F(StoredFilters, RegisteredInOrderOnceEach) {
  StartUloFilters();
  const std::vector<std::string> expected = {
      "TInvertFilter",     "TGrayScaleFilter",       "TMosaicFilter", "TFlipFilter",      "TReverseFilter",
      "TBrightnessFilter", "TContrastFilter",        "TColorFilter",  "THueLumSatFilter", "TBlurFilter",
      "TSharpenFilter",    "TGammaCorrectionFilter", "TEmbossFilter", "TSoftenFilter",    "TCropFilter",
      "TResizeFilter",     "TRotateFilter",          "TMirrorFilter", "TTileFilter",      "TBevelFilter",
      "TZoomFilter"};
  EXPECT_EQ(UloFilterClasses(), expected);
  for (const auto &name : expected) {
    auto object = streaming::ClassRegistry().Create(name);
    auto *filter = dynamic_cast<TUloFilter *>(object.get());
    ASSERT_NE(filter, nullptr) << name;
    EXPECT_EQ(filter->ClassName(), name);
    EXPECT_FALSE(filter->Description().empty()) << name;
    EXPECT_NE(filter->Description(), name) << "each filter has its own text";
    // An editor reaches each offered parameter through the stored property of that name.
    std::vector<TFilterParameter> parameters;
    filter->Parameters(parameters);
    streaming::TPropertyTable table;
    filter->DefineProperties(table);
    for (const auto &p : parameters)
      EXPECT_NE(table.Find(p.Name), nullptr) << name << " offers " << p.Name;
  }
}

TEST_F(StoredFilters, RoundTripKeepsClassesOrderAndSettings) {
  TPictureHolder holder;
  holder.SetName("Holder1");
  TFilterItems &items = holder.Picture.Filters();
  auto &crop = items.Add<TCropFilter>();
  crop.SetLeft(4);
  crop.SetWidth(10);
  crop.SetSmooth(true);
  auto &rotate = items.Add<TRotateFilter>();
  rotate.SetAngle(30.5);
  rotate.SetBackColor(clNavy);
  auto &mosaic = items.Add<TMosaicFilter>();
  mosaic.SetEnabled(false);
  mosaic.Region().SetTop(7);
  items.Add<TGrayScaleFilter>().SetMethod(TGrayMethod::gmEye2);
  items.Add<TGammaCorrectionFilter>(); // all defaults

  const std::string text = streaming::WriteComponent(holder);
  EXPECT_NE(text.find("FilterItems"), std::string::npos) << text;
  EXPECT_NE(text.find("TCropFilter"), std::string::npos) << text;

  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TPictureHolder *>(read.get());
  ASSERT_NE(back, nullptr);
  TFilterItems &got = back->Picture.Filters();
  ASSERT_EQ(got.Count(), 5);
  // Every setting above differs from its default and is written only then,
  // so the copy writes the same text only when it read each one back.
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  EXPECT_TRUE(dynamic_cast<TCropFilter &>(got.Item(0)).Smooth());
  auto &m = dynamic_cast<TMosaicFilter &>(got.Item(2));
  EXPECT_FALSE(m.Enabled());
  ASSERT_NE(m.ExistingRegion(), nullptr);
  EXPECT_EQ(m.Region().Top(), 7);
  EXPECT_EQ(dynamic_cast<TGammaCorrectionFilter &>(got.Item(4)).Amount(), 70);

  // No filters: no key at all.
  TPictureHolder empty;
  EXPECT_EQ(streaming::WriteComponent(empty).find("FilterItems"), std::string::npos);
}

TEST_F(StoredFilters, UnknownClassesFailAndChangeNothing) {
  TPictureHolder holder;
  holder.Picture.Filters().Add<TInvertFilter>();
  const char *bad[] = {
      "TPictureHolder {\n Picture.FilterItems = (TInvertFilter {}, TNoSuchFilter {})\n}",
      "TPictureHolder {\n Picture.FilterItems = (TPictureHolder {})\n}", // registered, but not a filter
      "TPictureHolder {\n Picture.FilterItems = ({ Enabled = false })\n}",
      "TPictureHolder {\n Picture.FilterItems = (TBlurFilter { Steps = \"x\" })\n}",
  };
  for (const char *text : bad) {
    EXPECT_THROW(streaming::ReadComponent(text, holder), streaming::EDefinitionError) << text;
    ASSERT_EQ(holder.Picture.Filters().Count(), 1) << text;
    EXPECT_EQ(holder.Picture.Filters().Item(0).ClassName(), "TInvertFilter");
  }
  // An empty list leaves the filters as they are.
  streaming::ReadComponent("TPictureHolder {\n Picture.FilterItems = ()\n}", holder);
  EXPECT_EQ(holder.Picture.Filters().Count(), 1);
}

TEST_F(StoredFilters, RotationServiceIsInstalledWhileStarted) {
  ASSERT_TRUE(static_cast<bool>(UloRotateBitmap));
  gdi::Bitmap b = Make(3, 2, Distinct);
  UloRotateBitmap(b, 90);
  EXPECT_EQ(b.Width(), 2);
  EXPECT_EQ(b.Pixel(0, 0), Distinct(2, 0));
  StopUloFilters();
  EXPECT_FALSE(static_cast<bool>(UloRotateBitmap));
  EXPECT_FALSE(streaming::ClassRegistry().IsRegistered("TBlurFilter"));
  StartUloFilters();
}

} // namespace
