#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloZoom.h"
#include "platform/rtl/Exceptions.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

TEST(ZoomPanning, CheckOrdersTheCorners) {
  struct Case {
    int x0, y0, x1, y1, ex0, ey0, ex1, ey1;
  };
  const Case cases[] = {
      {50, 10, 20, 40, 20, 10, 50, 40}, {20, 40, 50, 10, 20, 10, 50, 40}, {50, 40, 20, 10, 20, 10, 50, 40},
      {20, 10, 50, 40, 20, 10, 50, 40}, {7, 7, 7, 7, 7, 7, 7, 7},
  };
  for (const Case &c : cases) {
    TZoomPanning drag;
    drag.X0 = c.x0, drag.Y0 = c.y0, drag.X1 = c.x1, drag.Y1 = c.y1;
    drag.Check();
    EXPECT_EQ((std::vector<int>{drag.X0, drag.Y0, drag.X1, drag.Y1}), (std::vector<int>{c.ex0, c.ey0, c.ex1, c.ey1}));
  }
}

TEST(Zoom, PenAndBrushComeBackWithDefaultsAfterBeingFreed) {
  TUloZoom zoom;
  EXPECT_FALSE(zoom.Pen().IsColorStored());
  zoom.Pen().SetColor(clRed);
  EXPECT_TRUE(zoom.Pen().IsColorStored());
  zoom.SetPen(nullptr);
  EXPECT_EQ(zoom.ExistingPen(), nullptr);
  EXPECT_EQ(zoom.Pen().Color(), clWhite);

  zoom.Brush().SetStyle(TBrushStyle::bsSolid);
  zoom.SetBrush(nullptr);
  EXPECT_EQ(zoom.ExistingBrush(), nullptr);
  EXPECT_EQ(zoom.Brush().Style(), TBrushStyle::bsClear);

  TChartPen blue;
  blue.SetColor(clBlue);
  blue.SetWidth(3);
  zoom.SetPen(&blue);
  EXPECT_EQ(zoom.Pen().Color(), clBlue);
  EXPECT_EQ(zoom.Pen().Width(), 3);
  zoom.SetPen(&zoom.Pen()); // onto itself
  EXPECT_EQ(zoom.Pen().Color(), clBlue);
}

TEST(Zoom, AssignCopiesEverySettingButNotTheDrag) {
  TUloZoom source;
  source.SetAllow(false);
  source.SetAnimated(true);
  source.SetAnimatedSteps(3);
  source.Brush().SetColor(clYellow);
  source.Brush().SetStyle(TBrushStyle::bsSolid);
  source.SetDirection(TUloZoomDirection::tzdVertical);
  source.SetKeyShift(forms::ssShift | forms::ssCtrl);
  source.SetMinimumPixels(40);
  source.SetMouseButton(forms::TMouseButton::mbRight);
  source.Pen().SetColor(clRed);
  source.SetUpLeftZooms(true);
  source.Activate(5, 6);

  TUloZoom t;
  t.Assign(source);
  EXPECT_TRUE(!t.Allow() && t.Animated() && t.AnimatedSteps() == 3 && t.MinimumPixels() == 40 && t.UpLeftZooms());
  EXPECT_TRUE(t.Brush().Color() == clYellow && t.Brush().Style() == TBrushStyle::bsSolid && t.Pen().Color() == clRed);
  EXPECT_EQ(t.Direction(), TUloZoomDirection::tzdVertical);
  EXPECT_EQ(t.KeyShift(), static_cast<unsigned>(forms::ssShift | forms::ssCtrl));
  EXPECT_EQ(t.MouseButton(), forms::TMouseButton::mbRight);
  EXPECT_FALSE(t.Active);
  EXPECT_NE(t.ExistingPen(), source.ExistingPen()) << "copied, not shared";

  // A source that never made its pen and brush gives default ones.
  TUloZoom fresh;
  t.Assign(fresh);
  EXPECT_EQ(t.Pen().Color(), clWhite);
  EXPECT_EQ(t.Brush().Style(), TBrushStyle::bsClear);
  EXPECT_EQ(fresh.ExistingPen(), nullptr) << "the source is only read";
}

TEST(Zoom, AssignFromADragStateIsRefused) {
  TUloZoom zoom;
  TZoomPanning drag;
  EXPECT_THROW(zoom.Assign(drag), rtl::EConvertError);
  EXPECT_THROW(drag.Assign(zoom), rtl::EConvertError);
}

// ---- drawing the rectangle --------------------------------------------------------------

TColor NotXor(TColor pixel, TColor pen) { return ~(pixel ^ pen) & 0xFFFFFF; }

TEST(ZoomRectangle, OverTheBackgroundTheFrameShowsItsOwnColour) {
  std::mt19937 random(11);
  for (int i = 0; i < 1000; ++i) {
    const TColor back = static_cast<TColor>(random() & 0xFFFFFF);
    const TColor pen = static_cast<TColor>(random() & 0xFFFFFF);
    const TColor drawn = UloZoomXorColor(pen, back);
    EXPECT_EQ(NotXor(back, drawn), pen);
    EXPECT_EQ(NotXor(NotXor(back, drawn), drawn), back) << "drawing twice restores";
  }
  EXPECT_EQ(UloZoomXorColor(clWhite, clWhite), clWhite);
  EXPECT_EQ(UloZoomXorColor(clWhite, clBlack), clBlack);
  EXPECT_EQ(UloZoomXorColor(clRed, clBtnFace), UloZoomXorColor(clRed, ColorToRGB(clBtnFace)));
}

// A canvas that records what the zoom asks of it.
class RecordingCanvas : public TUloCanvas3D {
public:
  void ApplyPenColor(const TPen &pen, TColor color) override {
    penColor = color;
    penMode = pen.Mode();
  }
  void SetBkMode(int mode) override { bkMode = mode; }
  void Rectangle(int x0, int y0, int x1, int y1) override { rectangles.push_back({x0, y0, x1, y1}); }

  TColor penColor = clNone;
  TPenMode penMode = TPenMode::pmCopy;
  int bkMode = 0;
  std::vector<TRect> rectangles;
};

struct BrushCall {
  TColor color, back;
  TBrushStyle style;
};

TEST(ZoomRectangle, StepsWithoutABrush) {
  // On white the white pen would leave the image unchanged: it draws black,
  // which inverts what it crosses.
  for (const auto &[back, expectedPen] : {std::pair{clWhite, clBlack}, std::pair{clBlack, clBlack}}) {
    RecordingCanvas canvas;
    TUloZoom zoom;
    zoom.Activate(50, 40);
    zoom.X1 = 10;
    zoom.Y1 = 20;
    int brushCalls = 0;
    DrawZoomRectangle(canvas, zoom, back, [&](TColor, const TBrush &, TColor) { ++brushCalls; });
    EXPECT_EQ(brushCalls, 0);
    EXPECT_EQ(canvas.Brush().Style(), TBrushStyle::bsClear);
    EXPECT_EQ(canvas.penColor, expectedPen);
    EXPECT_EQ(canvas.penMode, TPenMode::pmNotXor);
    EXPECT_EQ(canvas.bkMode, UloTransparentMode);
    ASSERT_EQ(canvas.rectangles.size(), 1u);
    EXPECT_EQ(canvas.rectangles[0], (TRect{50, 40, 10, 20})) << "the corners as dragged";
    EXPECT_NE(zoom.ExistingPen(), nullptr);
  }
}

TEST(ZoomRectangle, StepsWithABrush) {
  RecordingCanvas canvas;
  TUloZoom zoom;
  zoom.Brush().SetColor(clRed);
  zoom.Brush().SetStyle(TBrushStyle::bsSolid);
  zoom.Pen().SetColor(clBlue);
  std::vector<BrushCall> calls;
  DrawZoomRectangle(canvas, zoom, clBtnFace, [&](TColor color, const TBrush &brush, TColor back) {
    calls.push_back({color, back, brush.Style()});
  });
  const TColor back = ColorToRGB(clBtnFace);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].color, (clRed ^ (0xFFFFFF - back)));
  EXPECT_EQ(calls[0].back, back);
  EXPECT_EQ(calls[0].style, TBrushStyle::bsSolid);
  EXPECT_EQ(canvas.penColor, (clBlue ^ (0xFFFFFF - back)));
  EXPECT_EQ(canvas.bkMode, 0) << "an opaque brush leaves the background mode alone";
}

} // namespace
