// The shape series: every style drawn at known pixels and hit where it is
// drawn, the three ways of reading the two points, its text, 3D solids,
// the point accessors and the sub-gallery.
#include "series2d_support.h"

#include <string>
#include <vector>

#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

namespace {

using s2d_test::TRecordedChart;
using s2d_test::TTestChart;

class Shape : public s2d_test::WithChartUnits {
protected:
  TRecordedChart c{200, 200};
  TChartShape *s = new TChartShape;
  void SetUp() override {
    c.FixAxes(0, 10);
    c->AddSeries(std::unique_ptr<TChartSeries>(s));
    s->SetSeriesColor(clBlue);
    s->SetX0(2);
    s->SetY0(8);
    s->SetX1(8);
    s->SetY1(2);
    c.Paint();
    // The rectangle of the two points in pixels.
    l = c.X(2), t = c.Y(8), r = c.X(8), b = c.Y(2);
    cx = (l + r) / 2, cy = (t + b) / 2;
  }
  int l = 0, t = 0, r = 0, b = 0, cx = 0, cy = 0;
  std::string Pt(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }
  std::vector<std::string> Drawn(TChartShapeStyle style) {
    s->SetStyle(style);
    c.Paint();
    return c.recorder->log;
  }
};

TEST_F(Shape, EveryStyleDrawsItsFigure) {
  const std::string line1 = "MoveTo " + Pt(cx, t), line2 = "LineTo " + Pt(cx, b);
  const std::string h1 = "MoveTo " + Pt(l, cy), h2 = "LineTo " + Pt(r, cy);
  const std::string d1 = "MoveTo " + Pt(l, t), d2 = "LineTo " + Pt(r, b);
  const std::string e1 = "MoveTo " + Pt(l, b), e2 = "LineTo " + Pt(r, t);
  const std::string up = "Polygon " + Pt(cx, t) + " " + Pt(r, b) + " " + Pt(l, b);
  const std::string down = "Polygon " + Pt(cx, b) + " " + Pt(l, t) + " " + Pt(r, t);
  struct Row {
    TChartShapeStyle style;
    std::vector<std::string> calls;
  };
  const std::vector<Row> rows = {
      {TChartShapeStyle::chasRectangle, {"Rectangle " + Pt(l, t) + "," + Pt(r, b + 1)}},
      {TChartShapeStyle::chasCircle, {"Ellipse " + Pt(l, t) + "," + Pt(r, b)}},
      {TChartShapeStyle::chasVertLine, {line1, line2}},
      {TChartShapeStyle::chasHorizLine, {h1, h2}},
      {TChartShapeStyle::chasTriangle, {up}},
      {TChartShapeStyle::chasInvertTriangle, {down}},
      // From the first point (2, 8) to the second (8, 2).
      {TChartShapeStyle::chasLine, {d1, d2}},
      {TChartShapeStyle::chasDiamond, {"Polygon " + Pt(cx, t) + " " + Pt(r, cy) + " " + Pt(cx, b) + " " + Pt(l, cy)}},
      {TChartShapeStyle::chasCube, {"Rectangle " + Pt(l, t) + "," + Pt(r, b)}},
      {TChartShapeStyle::chasCross, {line1, line2, h1, h2}},
      {TChartShapeStyle::chasDiagCross, {d1, d2, e1, e2}},
      {TChartShapeStyle::chasStar, {line1, line2, h1, h2, d1, d2, e1, e2}},
      {TChartShapeStyle::chasPyramid, {up}},
      {TChartShapeStyle::chasInvertPyramid, {down}},
  };
  for (const Row &row : rows)
    EXPECT_EQ(Drawn(row.style), row.calls) << static_cast<int>(row.style);
}

TEST_F(Shape, LineRunsFromTheFirstPointToTheSecond) {
  s->SetX0(8);
  s->SetX1(2);
  EXPECT_EQ(Drawn(TChartShapeStyle::chasLine), (std::vector<std::string>{"MoveTo " + Pt(r, t), "LineTo " + Pt(l, b)}));
}

TEST_F(Shape, RoundRectangleAndPixels) {
  s->SetRoundRectangle(true);
  EXPECT_EQ(Drawn(TChartShapeStyle::chasRectangle),
            (std::vector<std::string>{"RoundRect " + Pt(l, t) + "," + Pt(r, b) + " 12,12"}));
  s->SetRoundRectangle(false);
  Drawn(TChartShapeStyle::chasRectangle);
  EXPECT_EQ(c.At(cx, cy), clBlue);
  EXPECT_EQ(c.At(l, cy), clBlack);
  EXPECT_EQ(c.At(cx, b), clBlack); // the bottom edge one pixel lower
  s->SetTransparent(true);
  c.Paint();
  EXPECT_EQ(c.At(cx, cy), clWhite);
}

TEST_F(Shape, HitTests) {
  struct Row {
    TChartShapeStyle style;
    int x, y;
    int answer;
  };
  const std::vector<Row> rows = {
      {TChartShapeStyle::chasCircle, cx, cy, 0},
      // Inside the bounding rectangle, outside the ellipse.
      {TChartShapeStyle::chasCircle, l + 1, t + 1, -1},
      {TChartShapeStyle::chasRectangle, l + 1, t + 1, 0},
      {TChartShapeStyle::chasRectangle, l - 1, t, -1},
      {TChartShapeStyle::chasVertLine, cx, cy, 0},
      {TChartShapeStyle::chasVertLine, cx + 3, cy, -1},
      {TChartShapeStyle::chasHorizLine, l + 2, cy, 0},
      {TChartShapeStyle::chasTriangle, cx, b - 2, 0},
      {TChartShapeStyle::chasTriangle, l + 2, t + 2, -1},
      {TChartShapeStyle::chasInvertTriangle, l + 2, t + 2, 0},
      {TChartShapeStyle::chasInvertPyramid, cx, b - 2, 0},
      {TChartShapeStyle::chasLine, cx, cy, 0},
      {TChartShapeStyle::chasLine, l + 2, b - 2, -1},
      {TChartShapeStyle::chasDiamond, cx, cy, 0},
      {TChartShapeStyle::chasDiamond, l + 1, t + 1, -1},
      {TChartShapeStyle::chasStar, l + 1, t + 1, 0},
  };
  for (const Row &row : rows) {
    s->SetStyle(row.style);
    EXPECT_EQ(s->PointAtPixel(row.x, row.y), row.answer)
        << static_cast<int>(row.style) << " at " << row.x << "," << row.y;
  }
}

TEST_F(Shape, ReadingTheSecondPointAddsIt) {
  TChartShape shape;
  shape.ClearPoints();
  EXPECT_EQ(shape.PointCount(), 0);
  EXPECT_EQ(shape.X0(), 0);
  EXPECT_EQ(shape.PointCount(), 1);
  EXPECT_EQ(shape.Y1(), 0);
  EXPECT_EQ(shape.PointCount(), 2);
  shape.HasManualData = false;
  shape.SetY1(7);
  EXPECT_EQ(shape.Y1(), 7);
  EXPECT_TRUE(shape.HasManualData);
  TChartShape fresh;
  EXPECT_EQ(fresh.X1(), 100);
  EXPECT_EQ(fresh.Brush().Color(), clWhite);
  EXPECT_EQ(fresh.Style(), TChartShapeStyle::chasCircle);
}

TEST_F(Shape, OnePointDrawsNothing) {
  s->DeletePoint(1);
  c.Paint();
  EXPECT_TRUE(c.recorder->log.empty());
}

TEST_F(Shape, OutsideTheChartRectangleIsNotDrawn) {
  s->SetX0(20);
  s->SetX1(30);
  c.Paint();
  EXPECT_TRUE(c.recorder->log.empty());
}

TEST_F(Shape, EqualPointsDrawOnePixel) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetX1(2);
  s->SetY1(8);
  c.Paint();
  EXPECT_EQ(c.recorder->log, (std::vector<std::string>{"Rectangle " + Pt(l, t) + "," + Pt(l + 1, t + 2)}));
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
  EXPECT_EQ(c.recorder->log, (std::vector<std::string>{"Rectangle 30,40,70,61"}));
  EXPECT_FALSE(s->IsAxisBased());
  // A corner through the axes and a size in pixels, following the axes.
  s->SetXYStyle(TChartShapeXYStyle::xysAxisOrigin);
  s->SetX0(2);
  s->SetY0(8);
  s->SetX1(50);
  s->SetY1(20);
  c.Paint();
  EXPECT_EQ(s->GetShapeRect(), (TRect{c.X(2), c.Y(8), c.X(2) + 50, c.Y(8) + 20}));
  c->BottomAxis()->SetMinMax(1, 11);
  c.Paint();
  EXPECT_EQ(s->GetShapeRect(), (TRect{c.X(2), c.Y(8), c.X(2) + 50, c.Y(8) + 20}));
}

TEST_F(Shape, TextLinesByAlignment) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetText({"ab", "cdef"});
  c.Paint();
  TUloCanvas3D &canvas = c->Canvas();
  canvas.ApplyFont(s->Font());
  const int h = canvas.StandardTextHeight();
  const int w1 = canvas.MeasureTextWidth("ab"), w2 = canvas.MeasureTextWidth("cdef");
  struct Row {
    TAlignment align;
    TUloVertAlign vert;
    int x1, x2, y;
  };
  const int pen = 1;
  const std::vector<Row> rows = {
      {TAlignment::taCenter, TUloVertAlign::vaCenter, cx - w1 / 2, cx - w2 / 2,
       cy - static_cast<int>(rtl::RoundHalfEven(2.0 * h / 2))},
      {TAlignment::taLeftJustify, TUloVertAlign::vaTop, l + pen + 4, l + pen + 4, t},
      {TAlignment::taRightJustify, TUloVertAlign::vaBottom, r - pen - w1 - 4, r - pen - w2 - 4, b - 2 * h},
  };
  for (const Row &row : rows) {
    s->SetAlignment(row.align);
    s->SetVertAlign(row.vert);
    c.Paint();
    const std::vector<std::string> texts = c.recorder->Only("TextOut");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "TextOut " + Pt(row.x1, row.y) + " ab");
    EXPECT_EQ(texts[1], "TextOut " + Pt(row.x2, row.y + h) + " cdef");
  }
}

TEST_F(Shape, TextColourFlipsOnTheFill) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetSeriesColor(clBlack);
  s->Font().SetColor(clBlack);
  s->SetText({"XXXX"});
  c.Paint();
  EXPECT_GT(c.Count(clWhite), 200 * 200 - 2 * (r - l + 1) * (b - t + 2));
  TUloCanvas3D &canvas = c->Canvas();
  canvas.ApplyFont(s->Font());
  const int w = canvas.MeasureTextWidth("XXXX"), h = canvas.StandardTextHeight();
  int white = 0;
  for (int y = cy - h / 2; y < cy + h / 2; ++y)
    for (int x = cx - w / 2; x < cx + w / 2; ++x)
      white += c.At(x, y) == clWhite;
  EXPECT_GT(white, 0);
}

TEST_F(Shape, SubGalleryAndRegistration) {
  std::vector<std::string> names;
  s->ListSubStyles([&](const std::string &n) { names.push_back(n); });
  EXPECT_EQ(names, (std::vector<std::string>{"Normal", "Rectangle", "Vert.Line", "Horiz.Line", "Ellipse", "Down Tri.",
                                             "Line", "Diamond", "Cube", "Cross", "Diag.Cross", "Star", "Pyramid",
                                             "Inv. Pyramid", "Hollow"}));
  s->ApplySubStyle(5);
  EXPECT_EQ(s->Style(), TChartShapeStyle::chasInvertTriangle);
  s->ApplySubStyle(13);
  EXPECT_EQ(s->Style(), TChartShapeStyle::chasInvertPyramid);
  s->ApplySubStyle(14);
  EXPECT_TRUE(s->Transparent());
  s->ApplySubStyle(14);
  EXPECT_FALSE(s->Transparent());
  EXPECT_EQ(s->GetEditor(), "TChartShapeEditor");
  EXPECT_TRUE(streaming::ClassRegistry().IsRegistered("TChartShape"));
  // Only another shape may feed a shape.
  TChartShape other;
  TLineSeries line;
  EXPECT_TRUE(s->IsValidSourceOf(&other));
  EXPECT_FALSE(s->IsValidSourceOf(&line));
}

TEST_F(Shape, GalleryPreview) {
  TTestChart g(100, 100);
  auto *first = new TChartShape;
  auto *second = new TChartShape;
  g->AddSeries(std::unique_ptr<TChartSeries>(first));
  g->AddSeries(std::unique_ptr<TChartSeries>(second));
  first->PrepareForGallery(true);
  second->PrepareForGallery(false);
  EXPECT_EQ(first->Style(), TChartShapeStyle::chasTriangle);
  EXPECT_EQ(first->Text(), (std::vector<std::string>{"123"}));
  EXPECT_EQ(first->Font().Color(), static_cast<TColor>(0x00FFFF));
  EXPECT_EQ(first->Brush().Color(), clDefault);
  EXPECT_EQ(second->Style(), TChartShapeStyle::chasCircle);
  EXPECT_EQ(second->Text(), (std::vector<std::string>{"abc"}));
  EXPECT_EQ(second->Font().Color(), static_cast<TColor>(0x808080));
  EXPECT_EQ(second->Brush().Color(), clSilver);
  EXPECT_EQ(first->PointCount(), 2);
}

TEST_F(Shape, StoredAndReadBack) {
  s->SetName("Shape1");
  c->SetName("Chart1");
  s->SetStyle(TChartShapeStyle::chasDiamond);
  s->SetText({"one", "two"});
  s->SetXYStyle(TChartShapeXYStyle::xysAxisOrigin);
  s->SetVertAlign(TUloVertAlign::vaBottom);
  s->SetTransparency(30);
  const std::string text = streaming::WriteComponent(*c);
  auto back = streaming::ReadComponent(text);
  auto *chart = dynamic_cast<TChart *>(back.get());
  ASSERT_NE(chart, nullptr);
  auto *shape = dynamic_cast<TChartShape *>(chart->GetSeries(0));
  ASSERT_NE(shape, nullptr);
  EXPECT_EQ(shape->Style(), TChartShapeStyle::chasDiamond);
  EXPECT_EQ(shape->Text(), (std::vector<std::string>{"one", "two"}));
  EXPECT_EQ(shape->XYStyle(), TChartShapeXYStyle::xysAxisOrigin);
  EXPECT_EQ(shape->VertAlign(), TUloVertAlign::vaBottom);
  EXPECT_EQ(shape->Transparency(), 30);
  EXPECT_EQ(shape->X0(), 2);
  EXPECT_EQ(shape->Y1(), 2);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
}

TEST_F(Shape, SolidsIn3D) {
  TTestChart g(300, 250);
  g->SetView3D(true);
  g.FixAxes(0, 10);
  auto *cube = new TChartShape;
  g->AddSeries(std::unique_ptr<TChartSeries>(cube));
  cube->SetStyle(TChartShapeStyle::chasCube);
  cube->SetSeriesColor(clRed);
  cube->SetX0(2);
  cube->SetY0(2);
  cube->SetX1(6);
  cube->SetY1(6);
  g.Paint();
  const int redCube = g.Count(clRed);
  EXPECT_GT(redCube, 0);
  // Its darkened sides are there too, unless transparent.
  EXPECT_GT(g.Count(DarkenColor(clRed, 128)) + g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetStyle(TChartShapeStyle::chasPyramid);
  g.Paint();
  // Every face of the pyramid leans, so each is darkened.
  EXPECT_GT(g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetTransparent(true);
  g.Paint();
  EXPECT_EQ(g.Count(DarkenColor(clRed, 64)), 0);
  cube->SetTransparent(false);
  // A flat figure at the middle depth: the rectangle projected there.
  cube->SetStyle(TChartShapeStyle::chasRectangle);
  g.Paint();
  const TPoint centre = g->Canvas().ProjectPoint(g.X(4), g.Y(4), cube->MiddleZ);
  EXPECT_EQ(g.At(centre.X, centre.Y), clRed);
}

TEST_F(Shape, TransparencyBlendsFigureAndText) {
  s->SetStyle(TChartShapeStyle::chasRectangle);
  s->SetSeriesColor(clBlack);
  s->SetTransparency(50);
  c.Paint();
  const TColor mixed = c.At(cx, cy);
  EXPECT_NE(mixed, clBlack);
  EXPECT_NE(mixed, clWhite);
  EXPECT_EQ(mixed & 0xFF, (mixed >> 8) & 0xFF); // a grey between the two
}

TEST_F(Shape, HitIn3DAtTheFrontOfTheSeries) {
  c->SetView3D(true);
  s->SetStyle(TChartShapeStyle::chasRectangle);
  c.Paint();
  const TRect rect = s->OrderedShapeRect();
  const TPoint inside = c->Canvas().ProjectPoint(rect.Left + 2, rect.Top + 2, s->StartZ);
  EXPECT_EQ(s->PointAtPixel(inside.X, inside.Y), 0);
  const TPoint outside = c->Canvas().ProjectPoint(rect.Left - 3, rect.Top + 2, s->StartZ);
  EXPECT_EQ(s->PointAtPixel(outside.X, outside.Y), -1);
}

} // namespace
