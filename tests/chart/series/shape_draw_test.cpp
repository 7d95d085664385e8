// The shape series: every style drawn at known pixels and hit where it is
// drawn, the three ways of reading the two points, its text, 3D solids,
// blending, the point accessors and the stored keys.
#include "series2d_support.h"

#include <string>
#include <vector>

#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

namespace {

using s2d_test::Pt;
using Strings = std::vector<std::string>;

class Shape : public s2d_test::WithChartUnits {
protected:
  s2d_test::TRecordedChart c{200, 200};
  TChartShape *s = nullptr;
  // The rectangle of the two points (2, 8) and (8, 2) in pixels.
  int l = 0, t = 0, r = 0, b = 0, cx = 0, cy = 0;
  void SetUp() override {
    c.FixAxes(0, 10);
    s = c.Add<TChartShape>(clBlue);
    s->SetX0(2);
    s->SetY0(8);
    s->SetX1(8);
    s->SetY1(2);
    c.Paint();
    l = c.X(2), t = c.Y(8), r = c.X(8), b = c.Y(2);
    cx = (l + r) / 2, cy = (t + b) / 2;
  }
  Strings Drawn(TChartShapeStyle style) {
    s->SetStyle(style);
    c.Paint();
    return c.recorder->log;
  }
};

TEST_F(Shape, EveryStyleDrawsItsFigure) {
  const Strings vert = {"MoveTo " + Pt(cx, t), "LineTo " + Pt(cx, b)},
                horiz = {"MoveTo " + Pt(l, cy), "LineTo " + Pt(r, cy)};
  const Strings diag = {"MoveTo " + Pt(l, t), "LineTo " + Pt(r, b), "MoveTo " + Pt(l, b), "LineTo " + Pt(r, t)};
  const std::string up = "Polygon " + Pt(cx, t) + " " + Pt(r, b) + " " + Pt(l, b);
  const std::string down = "Polygon " + Pt(cx, b) + " " + Pt(l, t) + " " + Pt(r, t);
  auto join = [](Strings a, const Strings &z) { return a.insert(a.end(), z.begin(), z.end()), a; };
  using S = TChartShapeStyle;
  const std::vector<std::pair<S, Strings>> rows = {
      {S::chasRectangle, {"Rectangle " + Pt(l, t) + "," + Pt(r, b + 1)}},
      {S::chasCircle, {"Ellipse " + Pt(l, t) + "," + Pt(r, b)}},
      {S::chasVertLine, vert},
      {S::chasHorizLine, horiz},
      {S::chasTriangle, {up}},
      {S::chasInvertTriangle, {down}},
      {S::chasLine, {diag[0], diag[1]}}, // from the first point (2, 8) to the second
      {S::chasDiamond, {"Polygon " + Pt(cx, t) + " " + Pt(r, cy) + " " + Pt(cx, b) + " " + Pt(l, cy)}},
      {S::chasCube, {"Rectangle " + Pt(l, t) + "," + Pt(r, b)}},
      {S::chasCross, join(vert, horiz)},
      {S::chasDiagCross, diag},
      {S::chasStar, join(join(vert, horiz), diag)},
      {S::chasPyramid, {up}},
      {S::chasInvertPyramid, {down}},
  };
  for (const auto &[style, calls] : rows)
    EXPECT_EQ(Drawn(style), calls) << static_cast<int>(style);
  s->SetX0(8);
  s->SetX1(2);
  EXPECT_EQ(Drawn(S::chasLine), (Strings{"MoveTo " + Pt(r, t), "LineTo " + Pt(l, b)}));
}

TEST_F(Shape, FillRoundCornersAndTransparency) {
  s->SetRoundRectangle(true);
  EXPECT_EQ(Drawn(TChartShapeStyle::chasRectangle), (Strings{"RoundRect " + Pt(l, t) + "," + Pt(r, b) + ",12,12"}));
  s->SetRoundRectangle(false);
  c.Paint();
  EXPECT_EQ(c.At(cx, cy), clBlue);
  EXPECT_EQ(c.At(l, cy), clBlack);
  EXPECT_EQ(c.At(cx, b), clBlack); // the bottom edge one pixel lower
  s->SetTransparent(true);
  c.Paint();
  EXPECT_EQ(c.At(cx, cy), clWhite);
  s->SetTransparent(false);
  s->SetSeriesColor(clBlack);
  s->SetTransparency(50);
  c.Paint();
  const TColor mixed = c.At(cx, cy);
  EXPECT_TRUE(mixed != clBlack && mixed != clWhite && (mixed & 0xFF) == ((mixed >> 8) & 0xFF)) << std::hex << mixed;
}

TEST_F(Shape, HitTests) {
  using S = TChartShapeStyle;
  struct Row {
    S style;
    int x, y, answer;
  };
  const std::vector<Row> rows = {
      {S::chasCircle, cx, cy, 0},           {S::chasCircle, l + 1, t + 1, -1}, // inside the box, outside the ellipse
      {S::chasRectangle, l + 1, t + 1, 0},  {S::chasRectangle, l - 1, t, -1},
      {S::chasVertLine, cx, cy, 0},         {S::chasVertLine, cx + 3, cy, -1},
      {S::chasHorizLine, l + 2, cy, 0},     {S::chasTriangle, cx, b - 2, 0},
      {S::chasTriangle, l + 2, t + 2, -1},  {S::chasInvertTriangle, l + 2, t + 2, 0},
      {S::chasInvertPyramid, cx, b - 2, 0}, {S::chasLine, cx, cy, 0},
      {S::chasLine, l + 2, b - 2, -1},      {S::chasDiamond, cx, cy, 0},
      {S::chasDiamond, l + 1, t + 1, -1},   {S::chasStar, l + 1, t + 1, 0},
  };
  for (const Row &row : rows) {
    s->SetStyle(row.style);
    EXPECT_EQ(s->PointAtPixel(row.x, row.y), row.answer) << static_cast<int>(row.style) << " " << Pt(row.x, row.y);
  }
  // In 3D the mouse is mapped to the front of the series.
  c->SetView3D(true);
  s->SetStyle(S::chasRectangle);
  c.Paint();
  const TRect box = s->OrderedShapeRect();
  const TPoint in = c->Canvas().ProjectPoint(box.Left + 2, box.Top + 2, s->StartZ);
  const TPoint out = c->Canvas().ProjectPoint(box.Left - 3, box.Top + 2, s->StartZ);
  EXPECT_EQ(s->PointAtPixel(in.X, in.Y), 0);
  EXPECT_EQ(s->PointAtPixel(out.X, out.Y), -1);
}

TEST_F(Shape, PointsAndWhatIsNotDrawn) {
  TChartShape fresh;
  fresh.ClearPoints();
  EXPECT_EQ(fresh.X0(), 0);
  EXPECT_EQ(fresh.PointCount(), 1);
  // A hover test adds nothing and hits nothing.
  EXPECT_EQ(fresh.PointAtPixel(0, 0), -1);
  EXPECT_EQ(fresh.PointCount(), 1);
  EXPECT_EQ(fresh.Y1(), 0);
  EXPECT_EQ(fresh.PointCount(), 2);
  fresh.HasManualData = false;
  fresh.SetY1(7);
  EXPECT_EQ(fresh.Y1(), 7);
  EXPECT_TRUE(fresh.HasManualData);
  // Equal points draw one pixel; outside the chart rectangle, or with one
  // point, nothing.
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetX1(2);
  s->SetY1(8);
  c.Paint();
  EXPECT_EQ(c.recorder->log, (Strings{"Rectangle " + Pt(l, t) + "," + Pt(l + 1, t + 2)}));
  s->SetX0(20);
  s->SetX1(30);
  c.Paint();
  EXPECT_TRUE(c.recorder->log.empty());
  s->SetX0(2);
  s->DeletePoint(1);
  c.Paint();
  EXPECT_TRUE(c.recorder->log.empty());
}

TEST_F(Shape, PixelsAndAxisOrigin) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetXYStyle(TChartShapeXYStyle::xysPixels);
  s->SetX0(30);
  s->SetY0(40.9);
  s->SetX1(70);
  s->SetY1(1e300); // held to the pixel range, not undefined
  EXPECT_EQ(s->GetShapeRect(), (TRect{30, 40, 70, UloPixelLimit}));
  s->SetY1(60);
  c.Paint();
  EXPECT_EQ(c.recorder->log, (Strings{"Rectangle 30,40,70,61"}));
  EXPECT_FALSE(s->IsAxisBased());
  // A corner through the axes and a size in pixels, following the axes.
  s->SetXYStyle(TChartShapeXYStyle::xysAxisOrigin);
  s->SetX0(2);
  s->SetY0(8);
  s->SetX1(50);
  s->SetY1(20);
  for (double min : {0.0, 1.0}) {
    c->BottomAxis()->SetMinMax(min, min + 10);
    c.Paint();
    EXPECT_EQ(s->GetShapeRect(), (TRect{c.X(2), c.Y(8), c.X(2) + 50, c.Y(8) + 20}));
  }
}

TEST_F(Shape, TextLinesAndTheirColour) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetText({"ab", "cdef"});
  c.Paint();
  TUloCanvas3D &canvas = c->Canvas();
  canvas.ApplyFont(s->Font());
  const int h = canvas.StandardTextHeight(), w1 = canvas.MeasureTextWidth("ab"), w2 = canvas.MeasureTextWidth("cdef");
  struct Row {
    TAlignment align;
    TUloVertAlign vert;
    int x1, x2, y;
  };
  const std::vector<Row> rows = {
      {TAlignment::taCenter, TUloVertAlign::vaCenter, cx - w1 / 2, cx - w2 / 2, cy - h}, // Round(2h / 2)
      {TAlignment::taLeftJustify, TUloVertAlign::vaTop, l + 5, l + 5, t},                // pen width 1, then 4
      {TAlignment::taRightJustify, TUloVertAlign::vaBottom, r - 5 - w1, r - 5 - w2, b - 2 * h},
  };
  for (const Row &row : rows) {
    s->SetAlignment(row.align);
    s->SetVertAlign(row.vert);
    c.Paint();
    EXPECT_EQ(c.recorder->Only({"TextOut"}),
              (Strings{"TextOut ab " + Pt(row.x1, row.y), "TextOut cdef " + Pt(row.x2, row.y + h)}));
  }
  // A black font on a black fill turns white.
  s->SetSeriesColor(clBlack);
  s->Font().SetColor(clBlack);
  s->SetText({"XXXX"});
  c.Paint();
  int white = 0;
  for (int y = b - h; y < b; ++y)
    for (int x = l + 2; x < r - 1; ++x)
      white += c.At(x, y) == clWhite;
  EXPECT_GT(white, 0);
}

TEST_F(Shape, StoredAndReadBack) {
  s->SetName("Shape1");
  c->SetName("Chart1");
  s->SetText({"one", "two"});
  s->SetXYStyle(TChartShapeXYStyle::xysAxisOrigin);
  s->SetTransparency(30);
  s->SetX0(2);
  const std::string text = streaming::WriteComponent(*c.chart);
  auto back = streaming::ReadComponent(text);
  EXPECT_EQ(dynamic_cast<TChartShape &>(*dynamic_cast<TChart &>(*back).GetSeries(0)).X0(), 2);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
}

TEST_F(Shape, SolidsIn3D) {
  s2d_test::TTestChart g(300, 250);
  g->SetView3D(true);
  g.FixAxes(0, 10);
  auto *cube = g.Add<TChartShape>(clRed);
  cube->SetStyle(TChartShapeStyle::chasCube);
  cube->SetX0(2), cube->SetY0(2), cube->SetX1(6), cube->SetY1(6);
  g.Paint();
  EXPECT_GT(g.Count(clRed), 0);
  EXPECT_GT(g.Count(DarkenColor(clRed, 128)) + g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetStyle(TChartShapeStyle::chasPyramid);
  g.Paint();
  EXPECT_GT(g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetTransparent(true);
  g.Paint();
  EXPECT_EQ(g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetTransparent(false);
  cube->SetStyle(TChartShapeStyle::chasRectangle);
  g.Paint();
  const TPoint centre = g->Canvas().ProjectPoint(g.X(4), g.Y(4), cube->MiddleZ);
  EXPECT_EQ(g.At(centre.X, centre.Y), clRed);
}

} // namespace
