// Line and area series in 3D (planes across the depth, the band under a
// line, stairs as two planes, the area's polygon on the side facing the
// viewer, darkened slopes), and the legend symbols and margins.
#include "series2d_support.h"

#include <string>
#include <utility>
#include <vector>

namespace {

using s2d_test::Pt;
using Strings = std::vector<std::string>;

class Line3D : public s2d_test::WithChartUnits {
protected:
  s2d_test::TRecordedChart c{300, 250};
  TLineSeries *s = nullptr;
  void SetUp() override {
    c->SetView3D(true);
    c.FixAxes(0, 10);
    s = c.Add<TLineSeries>(clRed);
    s->AddPointXY(2, 2);
    s->AddPointXY(8, 6);
    c.Paint();
  }
  std::string Z() { return " " + std::to_string(s->StartZ) + "," + std::to_string(s->EndZ); }
  Strings Kinds(std::initializer_list<std::string> prefixes) {
    c.Paint();
    Strings r;
    for (const std::string &l : c.recorder->Only(prefixes))
      r.push_back(l.substr(0, 4));
    return r;
  }
};

TEST_F(Line3D, BandPlaneAndStairs) {
  EXPECT_EQ(c.recorder->Only({"VerticalQuad"}), (Strings{"VerticalQuad" + c.P(2, 2) + c.P(8, 6) + Z()}));
  s->SetBandHeight(5);
  c.Paint();
  const int x8 = c.X(8), y6 = c.Y(6);
  EXPECT_EQ(c.recorder->Only({"QuadAtDepth", "SideRect", "VerticalQuad"}),
            (Strings{"QuadAtDepth" + c.P(2, 2) + c.P(8, 6) + " " + Pt(x8, y6 + 5) + " " + Pt(c.X(2), c.Y(2) + 5) + " " +
                         std::to_string(s->StartZ),
                     "SideRectAtX " + Pt(x8, y6) + "," + std::to_string(y6 + 5) + "," + Z().substr(1),
                     "VerticalQuad" + c.P(2, 2) + c.P(8, 6) + Z()}));
  // The bottom margin of a 3D line without area grows to the band.
  int top = 0, bottom = 0;
  s->VertMargins(top, bottom);
  EXPECT_EQ(bottom, 5);
  s->SetStairs(true);
  EXPECT_EQ(Kinds({"SideRect", "HorizontalRect"}), (Strings{"Hori", "Side"}));
  s->SetInvertedStairs(true);
  EXPECT_EQ(Kinds({"SideRect", "HorizontalRect"}), (Strings{"Side", "Hori"}));
}

TEST_F(Line3D, AreaPolygonFacesTheViewer) {
  s->SetDrawArea(true);
  c->View3DOptions().SetOrthogonal(false);
  const std::pair<int, bool> rows[] = {{0, true}, {90, true}, {91, false}, {269, false}, {270, true}};
  for (auto [rotation, atStart] : rows) {
    c->View3DOptions().SetRotation(rotation);
    c.Paint();
    const Strings polygons = c.recorder->Only({"PolygonAtDepth"});
    ASSERT_EQ(polygons.size(), 1u) << rotation;
    const std::string z = " " + std::to_string(atStart ? s->StartZ : s->EndZ);
    EXPECT_EQ(polygons[0].substr(polygons[0].size() - z.size()), z) << rotation;
  }
}

TEST_F(Line3D, SteepSegmentsAreDarkened) {
  const TColor dark = DarkenColor(clRed, 64);
  s->YValues()->SetValue(1, 2);
  c.Paint();
  EXPECT_EQ(c.Count(dark), 0);
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
  s2d_test::TRecordedChart c{200, 200};
};

TEST_F(LineLegend, SymbolsOfEachKind) {
  auto *points = c.Add<TPointSeries>();
  auto *line = c.Add<TLineSeries>();
  auto *marked = c.Add<TLineSeries>();
  marked->Pointer().SetVisible(true);
  points->Pointer().SetSize(10);
  marked->Pointer().SetSize(10);
  c.Paint();
  auto symbol = [&](TCustomSeries *s) { return c.Record([&] { s->DrawLegendShape(-1, TRect{10, 10, 31, 22}); }); };
  // Markers alone: half sizes of half the rectangle plus one, at most 10.
  EXPECT_EQ(symbol(points), (Strings{"Rectangle 10,9,31,24"}));
  EXPECT_EQ(symbol(line), (Strings{"MoveTo 10,16", "LineTo 31,16"}));
  // A line, then a marker of a third of the rectangle.
  EXPECT_EQ(symbol(marked), (Strings{"MoveTo 10,16", "LineTo 31,16", "Rectangle 13,12,28,21"}));
}

TEST_F(LineLegend, Margins) {
  auto *s = c.Add<TLineSeries>();
  struct Row {
    bool pointer, stairs, outline;
    int width, horiz;
  };
  for (const Row &r : {Row{false, false, false, 3, 0}, Row{true, false, false, 3, 5}, Row{false, true, false, 3, 3},
                       Row{false, false, true, 3, 2}, Row{true, true, false, 7, 7}}) {
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
