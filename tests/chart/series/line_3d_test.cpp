// Line and area series in 3D: planes across the series' depth, the band
// under a line, stairs as two planes, the area's front polygon on the side
// facing the viewer, darkened slopes; and the legend symbol and margins.
#include "series2d_support.h"

#include <string>
#include <vector>

namespace {

using s2d_test::TRecordedChart;

class Line3D : public s2d_test::WithChartUnits {
protected:
  TRecordedChart c{300, 250};
  TLineSeries *s = new TLineSeries;
  void SetUp() override {
    c->SetView3D(true);
    c.FixAxes(0, 10);
    c->AddSeries(std::unique_ptr<TChartSeries>(s));
    s->SetSeriesColor(clRed);
    s->AddPointXY(2, 2);
    s->AddPointXY(8, 6);
    c.Paint();
  }
  std::string P(double x, double y) { return " " + std::to_string(c.X(x)) + "," + std::to_string(c.Y(y)); }
  std::string Z(int z0, int z1) { return " z" + std::to_string(z0) + "-" + std::to_string(z1); }
};

TEST_F(Line3D, SegmentIsAPlaneAcrossTheDepth) {
  EXPECT_EQ(c.recorder->Only("VerticalQuad"),
            (std::vector<std::string>{"VerticalQuad" + P(2, 2) + P(8, 6) + Z(s->StartZ, s->EndZ)}));
  EXPECT_LT(s->StartZ, s->EndZ);
}

TEST_F(Line3D, BandBeforeThePlaneAndItsEndFace) {
  s->SetBandHeight(5);
  c.Paint();
  const int x8 = c.X(8), y6 = c.Y(6);
  const std::vector<std::string> want = {"QuadAtDepth" + P(2, 2) + P(8, 6) + " " + std::to_string(x8) + "," +
                                             std::to_string(y6 + 5) + " " + std::to_string(c.X(2)) + "," +
                                             std::to_string(c.Y(2) + 5) + " z" + std::to_string(s->StartZ),
                                         "SideRectAtX " + std::to_string(x8) + " " + std::to_string(y6) + "-" +
                                             std::to_string(y6 + 5) + Z(s->StartZ, s->EndZ),
                                         "VerticalQuad" + P(2, 2) + P(8, 6) + Z(s->StartZ, s->EndZ)};
  std::vector<std::string> got;
  for (const std::string &l : c.recorder->log)
    if (l.rfind("QuadAtDepth", 0) == 0 || l.rfind("SideRect", 0) == 0 || l.rfind("VerticalQuad", 0) == 0)
      got.push_back(l);
  EXPECT_EQ(got, want);
  // The bottom margin of a 3D line grows to the band.
  int top = 0, bottom = 0;
  s->VertMargins(top, bottom);
  EXPECT_EQ(bottom, 5);
}

TEST_F(Line3D, StairsAreTwoPlanes) {
  s->SetStairs(true);
  c.Paint();
  std::vector<std::string> got;
  for (const std::string &l : c.recorder->log)
    if (l.rfind("SideRect", 0) == 0 || l.rfind("HorizontalRect", 0) == 0) got.push_back(l.substr(0, 4));
  EXPECT_EQ(got, (std::vector<std::string>{"Hori", "Side"}));
  s->SetInvertedStairs(true);
  c.Paint();
  got.clear();
  for (const std::string &l : c.recorder->log)
    if (l.rfind("SideRect", 0) == 0 || l.rfind("HorizontalRect", 0) == 0) got.push_back(l.substr(0, 4));
  EXPECT_EQ(got, (std::vector<std::string>{"Side", "Hori"}));
}

TEST_F(Line3D, AreaPolygonFacesTheViewer) {
  s->SetDrawArea(true);
  struct Row {
    int rotation;
    bool atStart;
  };
  for (const Row &row : {Row{0, true}, Row{90, true}, Row{91, false}, Row{269, false}, Row{270, true}}) {
    c->View3DOptions().SetOrthogonal(false);
    c->View3DOptions().SetRotation(row.rotation);
    c.Paint();
    const std::vector<std::string> polygons = c.recorder->Only("PolygonAtDepth");
    ASSERT_EQ(polygons.size(), 1u) << row.rotation;
    const std::string z = " z" + std::to_string(row.atStart ? s->StartZ : s->EndZ);
    EXPECT_EQ(polygons[0].substr(polygons[0].size() - z.size()), z) << row.rotation;
  }
}

TEST_F(Line3D, SteepSegmentsAreDarkened) {
  const TColor dark = DarkenColor(clRed, 64);
  // Flat: the plane in the series colour.
  s->YValues()->SetValue(1, 2);
  c.Paint();
  EXPECT_EQ(c.Count(dark), 0);
  // Steep beyond the slope ratio: its face darkened (the outline keeps the
  // line pen's colour).
  s->XValues()->SetValue(1, 2.1);
  s->YValues()->SetValue(1, 9);
  c.Paint();
  EXPECT_GT(c.Count(dark), 50);
  s->SetDarkenSlopes(false);
  c.Paint();
  EXPECT_EQ(c.Count(dark), 0);
}

class LineLegend : public s2d_test::WithChartUnits {
protected:
  TRecordedChart c{200, 200};
};

TEST_F(LineLegend, SymbolsOfEachKind) {
  auto *points = new TPointSeries;
  auto *line = new TLineSeries;
  auto *marked = new TLineSeries;
  for (TCustomSeries *s :
       {static_cast<TCustomSeries *>(points), static_cast<TCustomSeries *>(line), static_cast<TCustomSeries *>(marked)})
    c->AddSeries(std::unique_ptr<TChartSeries>(s));
  marked->Pointer().SetVisible(true);
  for (TCustomSeries *s : {static_cast<TCustomSeries *>(points), static_cast<TCustomSeries *>(marked)})
    s->Pointer().SetSize(10);
  c.Paint();
  const TRect rect{10, 10, 31, 22};
  auto symbol = [&](TCustomSeries *s) {
    c.recorder->log.clear();
    c.recorder->recording = true;
    s->DrawLegendShape(-1, rect);
    c.recorder->recording = false;
    return c.recorder->log;
  };
  // Markers alone: half sizes of half the rectangle plus one (at most the
  // pointer's own 10).
  EXPECT_EQ(symbol(points), (std::vector<std::string>{"Rectangle 10,9,31,24"}));
  // A line across the middle.
  EXPECT_EQ(symbol(line), (std::vector<std::string>{"MoveTo 10,16", "LineTo 31,16"}));
  // A line, then a marker of a third of the rectangle.
  EXPECT_EQ(symbol(marked), (std::vector<std::string>{"MoveTo 10,16", "LineTo 31,16", "Rectangle 13,12,28,21"}));
}

TEST_F(LineLegend, Margins) {
  auto *s = new TLineSeries;
  c->AddSeries(std::unique_ptr<TChartSeries>(s));
  struct Row {
    bool pointer, stairs, outline;
    int width;
    int horiz;
  };
  const Row rows[] = {{false, false, false, 3, 0},
                      {true, false, false, 3, 5},
                      {false, true, false, 3, 3},
                      {false, false, true, 3, 2},
                      {true, true, false, 7, 7}};
  for (const Row &r : rows) {
    s->Pointer().SetVisible(r.pointer);
    s->SetStairs(r.stairs);
    s->OutLine().SetVisible(r.outline);
    s->OutLine().SetWidth(2);
    s->LinePen().SetWidth(r.width);
    int left = 0, right = 0;
    s->HorizMargins(left, right);
    EXPECT_EQ(left, r.horiz) << r.pointer << r.stairs << r.outline;
    EXPECT_EQ(right, r.horiz);
  }
}

} // namespace
