// Walls and titles: their defaults and stored colours, the space titles
// take, the order of foot lines, wall extents, and the walls drawn where
// they belong in several rotations.
#include "chart_support.h"

#include "chart/foundation/TestSurface.h"
#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

#include <vector>

namespace {

using namespace chart_test;

class WallsTest : public WithChartUnits {
protected:
  // A chart that only lays out titles: no axes, no legend, no walls in 2D.
  static void Bare(TChart &c) {
    c.SetView3D(false);
    c.SetAxisVisible(false);
    c.Legend().SetVisible(false);
    c.BackWall().SetVisible(false);
  }
  static gdi::Bitmap Paint(TChart &c) {
    gdi::Bitmap b(c.Width(), c.Height());
    DrawInto(c, b);
    return b;
  }
  // The height of "W" in Font as the chart's paint measures it.
  static int TextHeight(TChart &c, TUloFont &font) {
    int h = 0;
    c.OnBeforeDrawChart = [&](TCustomAxisPanel *) {
      c.Canvas().ApplyFont(font);
      h = c.Canvas().StandardTextHeight();
    };
    gdi::Bitmap b(c.Width(), c.Height());
    DrawInto(c, b);
    c.OnBeforeDrawChart = nullptr;
    return h;
  }
};

// Each wall is made with its own colour, and stores Color only once it
// differs from that one.
TEST_F(WallsTest, AWallStoresItsColourOnceItDiffersFromItsOwnDefault) {
  TChart c;
  for (TChartWall *wall : {&c.BackWall(), &c.LeftWall(), &c.BottomWall(), &c.RightWall()}) {
    streaming::TPropertyTable t;
    wall->DefineProperties(t);
    EXPECT_FALSE(t.Find("Color")->Write()) << wall->Color();
    wall->SetColor(clRed);
    EXPECT_TRUE(t.Find("Color")->Write()) << wall->Color();
  }
}

TEST_F(WallsTest, TitlesTakeTheirLinesAndMarginOffTheChart) {
  TChart *c = ShownChart();
  Bare(*c);
  c->Title().Pen().SetVisible(false);
  c->Foot().Pen().SetVisible(false);
  Paint(*c);
  const TRect plain = c->ChartRect;
  const int h = TextHeight(*c, c->Title().Font());
  c->Title().SetText({"First line", "Second"});
  Paint(*c);
  EXPECT_EQ(c->ChartRect.Top - plain.Top, 2 * h + 5);
  EXPECT_EQ(c->Title().ShapeBounds.Bottom - c->Title().ShapeBounds.Top, 2 * h);

  const int fh = TextHeight(*c, c->Foot().Font());
  c->Foot().SetText({"Foot"});
  Paint(*c);
  EXPECT_EQ(plain.Bottom - c->ChartRect.Bottom, fh + 5);

  // AdjustFrame off: the frame (one visible pixel) spans the chart's width.
  c->Title().Pen().SetVisible(true);
  c->Title().SetAdjustFrame(false);
  Paint(*c);
  EXPECT_EQ(c->Title().ShapeBounds.Left, c->ChartRect.Left - 1);
  EXPECT_EQ(c->Title().ShapeBounds.Right, c->ChartRect.Right + 1);

  // A pinned title takes no space and is drawn after the series.
  c->Title().SetLeft(20);
  EXPECT_TRUE(c->Title().CustomPosition());
  Paint(*c);
  EXPECT_EQ(c->ChartRect.Top, plain.Top);
  EXPECT_EQ(c->Title().ShapeBounds.Left, 20);
}

TEST_F(WallsTest, FootTitleDrawsItsFirstLineLowest) {
  TChart *c = ShownChart();
  Bare(*c);
  c->Foot().SetText({"i", "WWWWWWWWWWWW"});
  const gdi::Bitmap b = Paint(*c);
  const TRect box = c->Foot().ShapeBounds;
  const int mid = (box.Top + box.Bottom) / 2;
  const TRect upper = foundation_test::BoxOf(b, 0x0000FF);
  ASSERT_LT(upper.Left, upper.Right);
  // The wide line is above the middle, the narrow one below.
  int upperWidth = 0, lowerWidth = 0;
  for (int y = box.Top; y <= box.Bottom; ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Pixel(x, y) == 0x0000FF) (y < mid ? upperWidth : lowerWidth) += 1;
  EXPECT_GT(upperWidth, 3 * lowerWidth);
}

TEST_F(WallsTest, WallPositionsAlongTheHeight) {
  TChart c;
  c.ChartRect = TRect{100, 50, 300, 250};
  struct Case {
    const char *name;
    int start, end, bottomSize;
    int expectStart, expectEnd;
  };
  const std::vector<Case> cases = {
      {"full", 0, 100, 0, 50, 250},
      {"half way up from the bottom", 0, 50, 0, 50, 150},
      {"below the bottom wall", 0, 100, 10, 50, 260},
      {"half with a bottom wall", 0, 50, 10, 50, 155},
      {"from a quarter", 25, 100, 0, 100, 250},
  };
  for (const Case &k : cases) {
    c.LeftWall().SetStartPosition(k.start);
    c.LeftWall().SetEndPosition(k.end);
    c.BottomWall().SetSize(k.bottomSize);
    EXPECT_EQ(c.LeftWall().CalcStartPos(), k.expectStart) << k.name;
    EXPECT_EQ(c.LeftWall().CalcEndPos(), k.expectEnd) << k.name;
  }
}

TEST_F(WallsTest, AxisWallSizesAndTheWallsRectangle) {
  TChart c;
  c.LeftWall().SetSize(4);
  c.BottomWall().SetSize(5);
  c.BackWall().SetSize(6);
  c.RightWall().SetSize(7);
  EXPECT_EQ(c.GetAxisWallSize(c.LeftAxis()), 4);
  EXPECT_EQ(c.GetAxisWallSize(c.BottomAxis()), 5);
  EXPECT_EQ(c.GetAxisWallSize(c.TopAxis()), 6);
  // The right wall is hidden by default.
  EXPECT_EQ(c.GetAxisWallSize(c.RightAxis()), 0);
  c.SetView3DWalls(false);
  EXPECT_EQ(c.GetAxisWallSize(c.LeftAxis()), 0);
  c.SetView3DWalls(true);
  c.SetView3D(false);
  EXPECT_EQ(c.GetAxisWallSize(c.LeftAxis()), 0);

  c.SetView3D(true);
  c.View3DOptions().SetOrthogonal(true);
  c.ChartRect = TRect{0, 0, 400, 300};
  c.ChartWidth = 400;
  c.ChartHeight = 300;
  c.CalcWallsRect();
  const int d = std::abs(c.HorizDepth) + 6;
  EXPECT_GT(c.HorizDepth, 0);
  EXPECT_EQ(c.ChartRect.Right, 400 - d);
  EXPECT_EQ(c.ChartRect.Top, 6 + std::abs(c.VertDepth));
  EXPECT_EQ(c.ChartWidth, c.ChartRect.Right - c.ChartRect.Left);
  c.RightWall().SetVisible(true);
  c.ChartRect = TRect{0, 0, 400, 300};
  c.CalcWallsRect();
  EXPECT_EQ(c.ChartRect.Right, 400 - d - 8);
}

TEST_F(WallsTest, BackColorFollowsTheBackWall) {
  TChart c;
  c.SetColor(clGreen);
  EXPECT_EQ(c.GetBackColor(), clGreen);
  c.BackWall().SetTransparent(false);
  EXPECT_EQ(c.GetBackColor(), 0xC0C0C0);
  c.BackWall().Brush().SetStyle(TBrushStyle::bsClear);
  c.SetBackColor(clBlue);
  EXPECT_EQ(c.BackWall().Color(), clBlue);
  EXPECT_EQ(c.BackWall().Brush().Style(), TBrushStyle::bsSolid);
  // The old key read while loading leaves the brush; an unknown colour name
  // is passed over.
  c.BackWall().Brush().SetStyle(TBrushStyle::bsClear);
  streaming::ReadComponent("TChart Chart1 { BackColor = clRed }", c);
  EXPECT_EQ(c.BackWall().Color(), clRed);
  EXPECT_EQ(c.BackWall().Brush().Style(), TBrushStyle::bsClear);
  streaming::ReadComponent("TChart Chart1 { BackColor = clNoSuchColour }", c);
  EXPECT_EQ(c.BackWall().Color(), clRed);
  streaming::ReadComponent("TChart Chart1 { BackColor = 0x123456 }", c);
  EXPECT_EQ(c.BackWall().Color(), 0x123456);
}

TEST_F(WallsTest, WallsWhereTheyBelongInSeveralRotations) {
  constexpr TColor back = 0xFF0000, left = 0x00FFFF, bottom = 0x00FF00;
  struct Case {
    const char *name;
    bool orthogonal;
    int rotation, elevation;
  };
  const std::vector<Case> cases = {
      {"orthogonal", true, 345, 345},
      {"turned a little", false, 345, 345},
      {"turned more", false, 330, 350},
  };
  for (const Case &k : cases) {
    TChart *c = ShownChart(400, 300);
    c->Legend().SetVisible(false);
    AddLineOfDots(*c);
    c->BackWall().SetTransparent(false);
    c->BackWall().SetColor(back);
    c->LeftWall().SetColor(left);
    c->BottomWall().SetColor(bottom);
    c->View3DOptions().SetOrthogonal(k.orthogonal);
    c->View3DOptions().SetRotation(k.rotation);
    c->View3DOptions().SetElevation(k.elevation);
    const gdi::Bitmap b = Paint(*c);
    if (const char *dir = std::getenv("KVEL_CHART_DEMO_DIR"))
      b.SaveToFile(std::string(dir) + "/walls_" + std::to_string(k.rotation) + "_" + std::to_string(k.orthogonal) +
                   ".png");
    const TRect backBox = foundation_test::BoxOf(b, back);
    const TRect leftBox = foundation_test::BoxOf(b, left);
    const TRect bottomBox = foundation_test::BoxOf(b, bottom);
    ASSERT_LT(backBox.Left, backBox.Right) << k.name;
    ASSERT_LT(leftBox.Left, leftBox.Right) << k.name;
    ASSERT_LT(bottomBox.Left, bottomBox.Right) << k.name;
    const int backMidX = (backBox.Left + backBox.Right) / 2, backMidY = (backBox.Top + backBox.Bottom) / 2;
    EXPECT_LT((leftBox.Left + leftBox.Right) / 2, backMidX) << k.name;
    EXPECT_GT((bottomBox.Top + bottomBox.Bottom) / 2, backMidY) << k.name;
    // Nothing of the walls leaves the panel.
    EXPECT_GE(leftBox.Left, 0) << k.name;
    EXPECT_LE(bottomBox.Bottom, c->Height()) << k.name;
  }
}

TEST_F(WallsTest, In2DOnlyTheBackWallFramesTheChart) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  c->Legend().SetVisible(false);
  AddLineOfDots(*c);
  c->BackWall().SetTransparent(false);
  c->BackWall().SetColor(0xFF0000);
  const gdi::Bitmap b = Paint(*c);
  EXPECT_EQ(foundation_test::CountOf(b, 0x80FFFF, TRect{0, 0, b.Width(), b.Height()}), 0);
  const TRect box = foundation_test::BoxOf(b, 0xFF0000);
  EXPECT_EQ(box.Left, c->ChartRect.Left + 1);
  EXPECT_EQ(box.Top, c->ChartRect.Top + 1);
}

TEST_F(WallsTest, AWallWithASizeIsABlockOutsideTheChart) {
  constexpr TColor left = 0x00FFFF;
  TChart *c = ShownChart(400, 300);
  c->Legend().SetVisible(false);
  AddLineOfDots(*c);
  c->LeftWall().SetColor(left);
  c->LeftWall().SetDark3D(false);
  gdi::Bitmap flat = Paint(*c);
  const TRect flatBox = foundation_test::BoxOf(flat, left);
  c->LeftWall().SetSize(8);
  gdi::Bitmap block = Paint(*c);
  const TRect blockBox = foundation_test::BoxOf(block, left);
  ASSERT_LT(flatBox.Left, flatBox.Right);
  // The block reaches Size pixels further out to the left (its fill starts
  // inside the frame's pixel).
  EXPECT_EQ(blockBox.Left, c->ChartRect.Left - 8 + 1);
  EXPECT_GT(foundation_test::CountOf(block, left, TRect{0, 0, 400, 300}),
            foundation_test::CountOf(flat, left, TRect{0, 0, 400, 300}));
}

} // namespace
