// The order of the canvas's own calls, seen through a canvas that records
// its primitives.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloShadow.h"

namespace {

std::string Pts(std::span<const TPoint> pts) {
  std::ostringstream s;
  for (const TPoint &p : pts)
    s << " " << p.X << "," << p.Y;
  return s.str();
}

// Records every primitive it is asked for, then draws it.
class TRecordingCanvas : public TUloCanvas3D {
public:
  std::vector<std::string> log;

  void MoveTo(int x, int y) override {
    log.push_back("MoveTo " + std::to_string(x) + "," + std::to_string(y));
    TUloCanvas3D::MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    log.push_back("LineTo " + std::to_string(x) + "," + std::to_string(y));
    TUloCanvas3D::LineTo(x, y);
  }
  void Polyline(std::span<const TPoint> p) override {
    log.push_back("Polyline" + Pts(p));
    TUloCanvas3D::Polyline(p);
  }
  void Polygon(std::span<const TPoint> p) override {
    log.push_back("Polygon" + Pts(p) + (Brush().Style() == TBrushStyle::bsClear ? " hollow" : ""));
    TUloCanvas3D::Polygon(p);
  }
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) override {
    std::ostringstream s;
    s << "Arc " << x1 << "," << y1 << "," << x2 << "," << y2 << " " << x3 << "," << y3 << " " << x4 << "," << y4;
    log.push_back(s.str());
  }
  void Ellipse(int x1, int y1, int x2, int y2) override {
    std::ostringstream s;
    s << "Ellipse " << x1 << "," << y1 << "," << x2 << "," << y2;
    log.push_back(s.str());
  }
  void TextOut(int x, int y, std::string_view text) override {
    log.push_back("TextOut " + std::to_string(x) + "," + std::to_string(y) + " " + std::string(text));
  }
  void ClipToPolygon(std::span<const TPoint> p, bool exclude) override {
    log.push_back("ClipToPolygon" + Pts(p) + (exclude ? " exclude" : ""));
    TUloCanvas3D::ClipToPolygon(p, exclude);
  }
  void RemoveClip() override {
    log.push_back("RemoveClip");
    TUloCanvas3D::RemoveClip();
  }
  void FillGradient(const TRect &r, TColor, TColor, TGradientDirection, int, int, int) override {
    log.push_back("FillGradient" + Pts(std::array{TPoint{r.Left, r.Top}, TPoint{r.Right, r.Bottom}}));
  }
  void SuspendProjection() override {
    log.push_back("Suspend");
    TUloCanvas3D::SuspendProjection();
  }
  void ResumeProjection() override {
    log.push_back("Resume");
    TUloCanvas3D::ResumeProjection();
  }
};

using Log = std::vector<std::string>;

struct Recorded : foundation_test::Surface<TRecordingCanvas> {
  Log Take() { return std::exchange(canvas.log, {}); }
};

TEST(CanvasOrder, BevelFrameTopThenBottomPerRing) {
  Recorded r;
  TRect rect{0, 0, 10, 10};
  r.canvas.BevelFrame(rect, clWhite, clGray, 2);
  EXPECT_EQ(r.Take(),
            (Log{"Polyline 0,9 0,0 9,0", "Polyline 9,0 9,9 -1,9", "Polyline 1,8 1,1 8,1", "Polyline 8,1 8,8 0,8"}));
}

TEST(CanvasOrder, PrimitivesAtDepthProjectTheirPoints) {
  const struct {
    const char *name;
    std::function<void(TUloCanvas3D &)> draw;
    Log expected;
  } cases[] = {
      {"arcs by angles ask for the ray points",
       [](TUloCanvas3D &c) { c.ArcByAngles(0, 0, 100, 100, 0, 90), c.ArcByAngles(0, 0, 101, 51, 180, 270); },
       {"Arc 0,0,100,100 100,50 50,0", "Arc 0,0,101,51 0,25 50,50"}},
      {"lines",
       [](TUloCanvas3D &c) {
         c.HorizontalLineAtDepth(10, 40, 60, 5), c.VerticalLineAtDepth(10, 20, 30, 0);
         c.DepthLine(10, 60, 0, 20), c.HorizontalLine(1, 9, 3);
       },
       {"MoveTo 15,55", "LineTo 45,55", "MoveTo 10,20", "LineTo 10,30", "MoveTo 10,60", "LineTo 30,40", "MoveTo 1,3",
        "LineTo 9,3"}},
      {"orthogonal ellipses project their corners",
       [](TUloCanvas3D &c) { c.EllipseAtDepth(10, 20, 30, 40, 5), c.CircleAtDepth(50, 50, 0, 2.5); },
       {"Ellipse 15,15,35,35", "Ellipse 48,48,52,52"}},
      {"quadrilaterals",
       [](TUloCanvas3D &c) {
         c.RectangleAtDepth({10, 20, 30, 40}, 5), c.VerticalQuad({10, 20}, {30, 20}, 0, 10);
         c.HorizontalRectAtHeight(10, 50, 30, 0, 10), c.SideRectAtX(10, 20, 40, 0, 10);
         c.QuadTwoDepths({1, 2}, {3, 4}, {5, 6}, {7, 8}, 0, 10), c.TriangleAtDepth({0, 0}, {10, 0}, {0, 10}, 1);
       },
       {"Polygon 15,15 35,15 35,35 15,35", "Polygon 10,20 30,20 40,10 20,10", "Polygon 10,50 30,50 40,40 20,40",
        "Polygon 10,20 20,10 20,30 10,40", "Polygon 1,2 3,4 15,-4 17,-2", "Polygon 1,-1 11,-1 1,9"}},
      // Markup goes through the formatter, which draws only the text between tags.
      {"text",
       [](TUloCanvas3D &c) {
         c.TextOutAtDepth(10, 20, 5, "a"), c.TextOutMaybeRich(1, 2, "b", false);
         c.TextOutMaybeRich(1, 2, "<B>c</B>", true);
       },
       {"TextOut 15,15 a", "TextOut 1,2 b", "TextOut 1,2 c"}},
  };
  for (const auto &c : cases) {
    Recorded r;
    c.draw(r.canvas);
    EXPECT_EQ(r.Take(), c.expected) << c.name;
  }
  Recorded r;
  r.canvas.QuadTwoDepths({1, 2}, {3, 4}, {5, 6}, {7, 8}, 0, 10);
  EXPECT_EQ(r.canvas.QuadBuffer()[2], (TPoint{15, -4}));
}

TEST(CanvasOrder, NestedSuspensionSuspendsOnce) {
  Recorded r;
  r.canvas.PushSuspendProjection();
  r.canvas.PushSuspendProjection();
  r.canvas.MoveToAtDepth(10, 10, 20);
  r.canvas.PopSuspendProjection();
  r.canvas.MoveToAtDepth(10, 10, 20);
  r.canvas.PopSuspendProjection();
  r.canvas.MoveToAtDepth(10, 10, 20);
  r.canvas.PopSuspendProjection(); // unmatched: nothing
  EXPECT_EQ(r.Take(), (Log{"Suspend", "MoveTo 10,10", "MoveTo 10,10", "Resume", "MoveTo 30,-10"}));
}

TEST(CanvasOrder, EveryPaintStartsUnsuspended) {
  Recorded r;
  r.canvas.PushSuspendProjection(); // a paint that never got to pop
  r.Prepare();
  r.canvas.MoveToAtDepth(10, 10, 20);
  r.canvas.PushSuspendProjection();
  r.canvas.MoveToAtDepth(10, 10, 20);
  r.canvas.PopSuspendProjection();
  EXPECT_EQ(r.Take(), (Log{"Suspend", "MoveTo 30,-10", "Suspend", "MoveTo 10,10", "Resume"}));
}

TEST(CanvasOrder, GradientPolygonClipsPaintsThenOutlines) {
  Recorded r;
  TCustomUloGradient gradient;
  const TPoint tri[3] = {{10, 10}, {50, 10}, {30, 40}};
  r.canvas.GradientPolygon(tri, gradient);
  EXPECT_EQ(r.Take(), (Log{"ClipToPolygon 10,10 50,10 30,40", "FillGradient 10,10 51,41", "RemoveClip",
                           "Polygon 10,10 50,10 30,40 hollow"}));
  EXPECT_EQ(r.canvas.Brush().Style(), TBrushStyle::bsSolid);
  r.canvas.Pen().SetStyle(TPenStyle::psClear);
  r.canvas.GradientPolygon(tri, gradient);
  EXPECT_EQ(r.Take().size(), 3u);
}

TEST(CanvasOrder, BoxInTheDefaultViewDrawsFrontRightAndTop) {
  Recorded r;
  r.canvas.Brush().SetColor(0x808080);
  r.canvas.DrawBox(10, 30, 50, 70, 0, 10, true);
  EXPECT_EQ(r.Take(), (Log{"Polygon 10,50 30,50 30,70 10,70", "Polygon 30,50 40,40 40,60 30,70",
                           "Polygon 20,40 40,40 30,50 10,50"}));
  // The brush is back at the caller's colour for the next box.
  EXPECT_EQ(r.canvas.Brush().Color(), 0x808080);
}

TEST(CanvasOrder, ClearBoxOutlinesEveryFace) {
  Recorded r;
  r.canvas.Brush().SetStyle(TBrushStyle::bsClear);
  r.canvas.DrawBox(10, 30, 50, 70, 0, 10, false);
  EXPECT_EQ(r.Take().size(), 5u);
}

TEST(CanvasOrder, BoxSeenFromBehindDrawsItsBackFace) {
  Recorded r;
  r.options.SetOrthogonal(false);
  r.options.ChangeRotation(180);
  r.options.ChangeElevation(0);
  r.Prepare();
  r.canvas.DrawBox(60, 140, 60, 140, 0, 100, false);
  const Log log = r.Take();
  ASSERT_EQ(log.size(), 1u);
  const TFourPoints back = r.canvas.ProjectRectQuad(TRect{60, 60, 140, 140}, 100);
  EXPECT_EQ(log[0], "Polygon" + Pts(back));
}

TEST(CanvasOrder, EllipseAtDepthFillsTrianglesThenOutlinesTheRim) {
  Recorded r;
  r.options.SetOrthogonal(false);
  r.Prepare();
  r.canvas.EllipseAtDepth(60, 60, 140, 120, 30);
  Log log = r.Take();
  ASSERT_EQ(log.size(), 64u);
  const TPoint centre = r.canvas.ProjectPoint(100, 90, 30);
  const TPoint first = r.canvas.ProjectPoint(100, 120, 30);
  EXPECT_EQ(log[0].rfind("Polygon" + Pts(std::array{centre, first}), 0), 0u);
  EXPECT_EQ(log[63].rfind("Polyline", 0), 0u);
  EXPECT_EQ(r.canvas.Pen().Style(), TPenStyle::psSolid);
  r.canvas.Brush().SetStyle(TBrushStyle::bsClear);
  r.canvas.EllipseAtDepth(60, 60, 140, 120, 30);
  log = r.Take();
  ASSERT_EQ(log.size(), 1u);
  // 64 rim points, the last closing on the first.
  EXPECT_EQ(std::count(log[0].begin(), log[0].end(), ','), 64);
}

TEST(CanvasOrder, TriangleTakesTheColourUnlessTheBrushIsClear) {
  Recorded r;
  r.canvas.Triangle3DPoints({0, 0, 0}, {10, 0, 0}, {0, 10, 5}, clRed);
  EXPECT_EQ(r.canvas.Brush().Color(), clRed);
  r.canvas.Brush().SetStyle(TBrushStyle::bsClear);
  r.canvas.Triangle3DPoints({0, 0, 0}, {10, 0, 0}, {0, 10, 5}, clBlue);
  EXPECT_EQ(r.canvas.Brush().Color(), clRed);
  EXPECT_EQ(r.Take(), (Log{"Polygon 0,0 10,0 5,5", "Polygon 0,0 10,0 5,5 hollow"}));
}

TEST(CanvasOrder, PenRulesOfChartPens) {
  Recorded r;
  TChartPen wide;
  wide.SetColor(clRed);
  wide.SetWidth(3);
  wide.SetEndStyle(TPenEndStyle::esFlat);
  r.canvas.ApplyPen(wide);
  EXPECT_EQ(r.canvas.Pen().Width(), 3);
  EXPECT_EQ(r.canvas.Pen().Color(), clRed);
  r.canvas.ApplyPenColor(wide, clBlue);
  EXPECT_EQ(r.canvas.Pen().Color(), clBlue);
  // An invisible pen changes the style and nothing else.
  wide.MakeInvisible();
  r.canvas.ApplyPenColor(wide, clLime);
  EXPECT_EQ(r.canvas.Pen().Style(), TPenStyle::psClear);
  EXPECT_EQ(r.canvas.Pen().Color(), clBlue);
  // Other pens are copied as they are.
  TPen plain;
  plain.SetMode(TPenMode::pmXor);
  r.canvas.ApplyPen(plain);
  EXPECT_EQ(r.canvas.Pen().Mode(), TPenMode::pmXor);
  EXPECT_EQ(r.canvas.Pen().Style(), TPenStyle::psSolid);
}

TEST(CanvasOrder, ResetDefaults) {
  Recorded r;
  r.canvas.Pen().SetWidth(5);
  r.canvas.Brush().SetStyle(TBrushStyle::bsCross);
  gdi::Bitmap pattern(8, 8);
  r.canvas.Brush().SetBitmap(&pattern);
  r.canvas.Font().SetStyle(TFontStyle::fsItalic);
  r.canvas.SetBkMode(UloOpaqueMode);
  r.canvas.SetTextAlign(6);
  r.canvas.BeginTransparentDrawing({0, 0, 1, 1}, 30);
  r.canvas.ResetDefaults();
  EXPECT_EQ(r.canvas.Pen().Width(), 1);
  EXPECT_EQ(r.canvas.Brush().Style(), TBrushStyle::bsSolid);
  EXPECT_EQ(r.canvas.Brush().Color(), clWhite);
  EXPECT_EQ(r.canvas.Brush().Bitmap(), nullptr);
  EXPECT_TRUE(r.canvas.Font().Style().Empty());
  EXPECT_EQ(r.canvas.Font().Color(), clBlack);
  EXPECT_EQ(r.canvas.GetBkMode(), UloTransparentMode);
  EXPECT_EQ(r.canvas.GetBkColor(), clWhite);
  EXPECT_EQ(r.canvas.GetTextAlign(), 0);
  EXPECT_EQ(r.canvas.PendingTransparency(), 0);
  EXPECT_EQ(r.canvas.CurrentChartFont(), nullptr);
}

} // namespace
