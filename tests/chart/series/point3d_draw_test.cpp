// The 3D point and bubble series on a painted chart: where the markers
// land, the line through the drawn points, hit tests, ranges and the
// stored form.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "chart/series/UloPoin3.h"
#include "chart/series/series3d_support.h"
#include "platform/streaming/Streaming.h"

namespace {

using s3d_test::TTestChart;

class Point3D : public s3d_test::WithChartUnits {};

// Any pixel of colour C within one pixel of P.
bool NearColour(TTestChart &c, TPoint p, TColor colour) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (c.At(p.X + dx, p.Y + dy) == colour) return true;
  return false;
}

TPoint Mid(TPoint a, TPoint b) { return TPoint{(a.X + b.X) / 2, (a.Y + b.Y) / 2}; }

// A series of lines only: no markers, a red connecting line.
TPoint3DSeries *LineSeries(TTestChart &c) {
  auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
  s->Pointer().SetVisible(false);
  s->LinePen().SetColor(clRed);
  return s;
}

TPoint ScreenOf(TTestChart &c, TPoint3DSeries &s, int i) {
  return c.Project(s.PointPixelX(i), s.PointPixelY(i), s.CalcZPos(i));
}

TEST_F(Point3D, MarkersLandAtTheirProjectedDepth) {
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
  s->SetSeriesColor(clLime);
  s->LinePen().SetVisible(false);
  s->Pointer().SetDraw3D(false);
  s->AddPointXYZ(0, 0, 0);
  s->AddPointXYZ(5, 8, 50);
  s->AddPointXYZ(10, 4, 100);
  c.Paint();
  ASSERT_TRUE(c->View3DOptions().Orthogonal());
  int lastDepth = -1;
  for (int i = 0; i < 3; ++i) {
    s->CalcZPositions(i);
    const int x = s->PointPixelX(i);
    const int y = s->PointPixelY(i);
    const int z = s->StartZ;
    // The default orthogonal view moves a point at depth Z right and up by Z.
    const TPoint p = c.Project(x, y, z);
    EXPECT_EQ(c.At(p), clLime) << i;
    // The marker is 2 * 4 + 1 pixels wide: its frame at +-4, nothing beyond.
    EXPECT_EQ(c.At(p.X + 3, p.Y), clLime) << i;
    EXPECT_EQ(c.At(p.X + 4, p.Y), clBlack) << i;
    EXPECT_NE(c.At(p.X + 5, p.Y), clLime) << i;
    EXPECT_GT(s->CalcZPos(i), lastDepth);
    lastDepth = s->CalcZPos(i);
  }
}

TEST_F(Point3D, DepthOfAPoint) {
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
  s->AddPointXYZ(0, 0, 0);
  s->AddPointXYZ(1, 1, 10);
  c.Paint();
  // No depth size: a half depth of at least one pixel.
  s->CalcZPositions(1);
  EXPECT_EQ(std::pair(s->StartZ, s->EndZ), std::pair(s->MiddleZ - 1, s->MiddleZ + 1));
  s->SetDepthSize(4);
  c.Paint();
  const int h = c->DepthAxis()->CalcSizeValue(4) / 2;
  ASSERT_GT(h, 1);
  s->CalcZPositions(1);
  EXPECT_EQ(std::pair(s->StartZ, s->EndZ), std::pair(s->MiddleZ - h, s->MiddleZ + h));
  EXPECT_EQ(s->MaxZ(), 14) << "the depth axis makes room for the depth";
}

TEST_F(Point3D, LineJoinsDrawnPointsOfThisPaintOnly) {
  TTestChart c;
  auto *s = LineSeries(c);
  s->AddPointXYZLabelColor(0, 0, 0, "", clNone);
  s->AddPointXYZ(0, 10, 0);
  s->AddPointXYZ(20, 0, 0);
  c.Paint();
  // A null first point starts no line from the corner or the origin.
  const TPoint f = ScreenOf(c, *s, 1), g = ScreenOf(c, *s, 2);
  EXPECT_TRUE(NearColour(c, Mid(f, g), clRed));
  EXPECT_FALSE(NearColour(c, Mid(TPoint{0, 0}, f), clRed));
  EXPECT_FALSE(NearColour(c, Mid(c.Project(0, 0, 0), f), clRed));
  // Nor back to the last point of the paint before.
  s->AddPointXYZ(20, 10, 0);
  c.Paint();
  const TPoint last = ScreenOf(c, *s, 3);
  s->DeletePoint(3);
  c.Paint();
  EXPECT_FALSE(NearColour(c, Mid(last, ScreenOf(c, *s, 1)), clRed));
  // A null point in the middle is skipped, not a break.
  s->ClearPoints();
  s->AddPointXYZ(0, 0, 0);
  s->AddPointXYZLabelColor(5, 10, 0, "", clNone);
  s->AddPointXYZ(10, 0, 0);
  c.Paint();
  const TPoint a = ScreenOf(c, *s, 0), b = ScreenOf(c, *s, 1), e = ScreenOf(c, *s, 2);
  EXPECT_TRUE(NearColour(c, Mid(a, e), clRed));
  EXPECT_FALSE(NearColour(c, Mid(a, b), clRed));
}

TEST_F(Point3D, BaseLineRunsDownToTheAxisEnd) {
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
  s->LinePen().SetVisible(false);
  s->BaseLine().SetVisible(true);
  s->BaseLine().SetColor(clBlue);
  // The lowest marker then sits on the axis end.
  s->Pointer().SetInflateMargins(false);
  s->AddPointXYZ(0, 0, 0);
  s->AddPointXYZ(1, 10, 0);
  c.Paint();
  const int bottom = s->GetVertAxis()->IEndPos;
  const int z = s->CalcZPos(1);
  const int x = s->PointPixelX(1);
  const int yMid = (s->PointPixelY(1) + bottom) / 2;
  EXPECT_EQ(c.At(c.Project(x, yMid, z)), clBlue);
  // The lowest point's marker reaches the axis end: no base line under it.
  const int x0 = s->PointPixelX(0);
  ASSERT_GE(s->PointPixelY(0) + s->Pointer().VertSize(), bottom);
  EXPECT_NE(c.At(c.Project(x0, bottom + 2, s->CalcZPos(0))), clBlue);
}

TEST_F(Point3D, HitTestIsStrictOnBothSides) {
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TPoint3DSeries>());
  s->AddPointXYZ(0, 0, 0);
  s->AddPointXYZ(10, 10, 30);
  c.Paint();
  std::vector<std::pair<int, int>> clicks;
  s->OnClickPointer = [&clicks](TPoint3DSeries *, int i, int x, int y) { clicks.push_back({i * 10000 + x, y}); };
  const TPoint p = ScreenOf(c, *s, 1);
  const struct {
    int dx, dy, expected;
  } cases[] = {{0, 0, 1}, {3, 3, 1}, {-3, -3, 1}, {4, 0, -1}, {0, 4, -1}, {-4, 0, -1}};
  for (const auto &k : cases)
    EXPECT_EQ(s->PointAtPixel(p.X + k.dx, p.Y + k.dy), k.expected) << k.dx << "," << k.dy;
  ASSERT_EQ(clicks.size(), 3u);
  // The event hears the mouse position itself, not the depth-mapped one.
  EXPECT_EQ(clicks[0], (std::pair<int, int>{10000 + p.X, p.Y}));
  s->Pointer().SetVisible(false);
  EXPECT_EQ(s->PointAtPixel(p.X, p.Y), -1);
}

TEST_F(Point3D, BubbleSizesArePerPointAndThePointerKeepsItsOwn) {
  TTestChart c;
  auto *s = c->AddSeries(std::make_unique<TBubble3DSeries>());
  s->AddBubble(0, 0, 0, 1);
  s->AddBubble(10, 10, 40, 3);
  c.Paint();
  EXPECT_EQ(s->Pointer().HorizSize(), 4);
  EXPECT_EQ(s->Pointer().VertSize(), 4);
  int h = 0, v = 0;
  s->MarkerHalfSize(1, h, v);
  EXPECT_EQ(h, s->GetVertAxis()->CalcSizeValue(3));
  ASSERT_GT(h, 6);
  // The hit test uses the bubble's own size.
  const TPoint p = ScreenOf(c, *s, 1);
  EXPECT_EQ(s->PointAtPixel(p.X + h - 1, p.Y), 1);
  EXPECT_EQ(s->PointAtPixel(p.X + h, p.Y), -1);
  // A bubble lies behind its Z position.
  s->CalcZPositions(1);
  EXPECT_EQ(s->StartZ, s->CalcZPos(1));
  EXPECT_EQ(s->MiddleZ, s->StartZ + s->DepthHalfSize(1));
  // Ranges take in the radius: Y 0 - 1 .. 10 + 3, Z 0 - 1 .. 40 + 3.
  EXPECT_EQ(s->MinY(), -1);
  EXPECT_EQ(s->MaxY(), 13);
  EXPECT_EQ(s->MaxZ(), 43);
}

TEST_F(Point3D, SettingsSurviveAStoredDefinition) {
  TPoint3DSeries s;
  // Unordered X values are the default here and are not written.
  EXPECT_EQ(streaming::WriteComponent(s).find("Order"), std::string::npos) << streaming::WriteComponent(s);
  s.SetName("Series1");
  s.Pointer().SetStyle(TSeriesPointerStyle::psNothing);
  s.BaseLine().SetVisible(true);
  s.SetDepthSize(2.5);
  s.LinePen().SetColor(clRed);
  s.StoreDataAlways = true;
  s.AddPointXYZ(1, 2, 3);
  const std::string text = streaming::WriteComponent(s);
  auto back = streaming::ReadComponent(text);
  auto *read = dynamic_cast<TPoint3DSeries *>(back.get());
  ASSERT_NE(read, nullptr) << text;
  EXPECT_EQ(read->DepthSize(), 2.5);
  ASSERT_EQ(read->PointCount(), 1);
  EXPECT_EQ(read->ZValues().Value(0), 3);
  EXPECT_EQ(streaming::WriteComponent(*read), text);
}

} // namespace
