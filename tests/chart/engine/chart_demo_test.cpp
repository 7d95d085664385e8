// A small demo chart drawn in 2D and 3D: titles, a legend, walls and
// series. The pictures are checked for the parts being inside the panel
// and apart from each other; with KVEL_CHART_DEMO_DIR set they are also
// written there as PNG files to look at.
#include "chart_support.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace chart_test;

class ChartDemoTest : public WithChartUnits {
protected:
  static void Save(const gdi::Bitmap &b, const std::string &name) {
    if (const char *dir = std::getenv("KVEL_CHART_DEMO_DIR")) b.SaveToFile(std::string(dir) + "/" + name + ".png");
  }
  static TChart *Demo(TChart *c) {
    c->Title().SetText({"Demo chart", "second title line"});
    c->SubTitle().SetText({"Sub title"});
    c->Foot().SetText({"Foot line"});
    c->SubFoot().SetText({"Sub foot"});
    for (int k = 0; k < 3; ++k) {
      auto *s = c->AddSeries(std::make_unique<TDotSeries>());
      s->SetTitle("Series " + std::to_string(k + 1));
      for (int i = 0; i <= 20; ++i)
        s->AddPointXY(i, 10 * std::sin(i * 0.3 + k) + 5 * k);
    }
    return c;
  }
};

TEST_F(ChartDemoTest, TwoAndThreeDimensions) {
  for (bool in3D : {false, true}) {
    TChart *c = Demo(ShownChart(500, 360));
    c->SetView3D(in3D);
    gdi::Bitmap b(c->Width(), c->Height());
    DrawInto(*c, b);
    Save(b, in3D ? "chart_demo_3d" : "chart_demo_2d");
    const TRect panel{0, 0, c->Width(), c->Height()};
    const TRect legend = c->Legend().ShapeBounds;
    EXPECT_GE(legend.Left, 0);
    EXPECT_LE(legend.Right, panel.Right);
    EXPECT_GT(legend.Left, c->ChartRect.Right);
    EXPECT_LT(c->Title().ShapeBounds.Bottom, c->ChartRect.Top);
    EXPECT_GT(c->Foot().ShapeBounds.Top, c->ChartRect.Bottom);
    EXPECT_LT(c->SubFoot().ShapeBounds.Bottom, panel.Bottom);
  }
}

TEST_F(ChartDemoTest, LegendWithCheckBoxesTitleAndColumns) {
  for (TLegendAlignment a : {TLegendAlignment::laBottom, TLegendAlignment::laLeft}) {
    TChart *c = ShownChart(500, 360);
    c->SetView3D(false);
    for (int k = 0; k < 12; ++k) {
      auto *s = c->AddSeries(std::make_unique<TDotSeries>());
      s->SetTitle("Series " + std::to_string(k + 1));
      s->AddPointXY(k, k);
    }
    c->GetSeries(3)->SetActive(false);
    c->Legend().SetCheckBoxes(true);
    c->Legend().Title().SetText({"Legend title"});
    c->Legend().SetAlignment(a);
    c->Legend().DividingLines().SetVisible(true);
    gdi::Bitmap b(c->Width(), c->Height());
    DrawInto(*c, b);
    Save(b, a == TLegendAlignment::laBottom ? "legend_bottom" : "legend_left");
    const TRect legend = c->Legend().ShapeBounds;
    EXPECT_GE(legend.Left, 0);
    EXPECT_LE(legend.Right, c->Width());
    EXPECT_LE(legend.Bottom, c->Height());
    TChartLegend &l = c->Legend();
    // The rows start below the title's box, 2 pixels inside the legend.
    EXPECT_EQ(l.TitleBottom(), legend.Top + 2 + l.Title().TotalHeight(c->Canvas()));
    EXPECT_GT(l.Items()[0].Top(), l.TitleBottom());
    // Every row's text stays inside the box, the last column's too.
    c->Canvas().ApplyFont(l.Font());
    for (int row = 0; row <= l.LastValue() - l.FirstValue(); ++row)
      EXPECT_LE(l.Items()[row].Left() + c->Canvas().MeasureTextWidth(l.Items()[row].Text()), legend.Right) << row;
  }
}

} // namespace
