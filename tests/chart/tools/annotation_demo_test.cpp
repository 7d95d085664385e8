// A demo chart of line and point series with titles, a legend, walls and
// an annotation, drawn in 2D and 3D. The pictures are checked for the
// parts being inside the panel and apart from each other; with
// KVEL_CHART_DEMO_DIR set they are also written there as PNG files.
#include "chart/engine/chart_support.h"
#include "chart/series/Series.h"
#include "chart/tools/UloAnnotation.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

using namespace chart_test;

class AnnotationDemoTest : public WithChartUnits {
protected:
  static void Save(const gdi::Bitmap &b, const std::string &name) {
    if (const char *dir = std::getenv("KVEL_CHART_DEMO_DIR")) b.SaveToFile(std::string(dir) + "/" + name + ".png");
  }
  static void Fill(TChart &c) {
    c.Title().SetText({"Sections of the integral", "t = 0.5"});
    c.Foot().SetText({"Foot title"});
    for (int k = 0; k < 2; ++k) {
      auto *s = c.AddSeries(std::make_unique<TLineSeries>());
      s->SetTitle("Line " + std::to_string(k + 1));
      for (int i = 0; i <= 30; ++i)
        s->AddPointXY(i * 0.2, std::sin(i * 0.2 + k) * (3 + k));
    }
    auto *p = c.AddSeries(std::make_unique<TPointSeries>());
    p->SetTitle("Points");
    for (int i = 0; i <= 12; ++i)
      p->AddPointXY(i * 0.5, std::cos(i * 0.5) * 2);
    auto *note = c.Tools().Add(std::make_unique<TAnnotationTool>());
    note->SetText("Annotation\rtwo lines");
    note->SetLeft(300);
    note->SetTop(250);
    note->Callout().Arrow().SetVisible(true);
    note->Callout().Arrow().SetColor(clBlack);
    note->Callout().SetVisible(true);
    note->Callout().SetXPosition(250);
    note->Callout().SetYPosition(180);
    auto *box = c.Tools().Add(std::make_unique<TRectangleTool>());
    box->SetText("Box");
    box->SetLeft(90);
    box->SetTop(60);
  }
};

TEST_F(AnnotationDemoTest, LineAndPointSeriesIn2D3DAndTurned) {
  for (int view = 0; view < 3; ++view) {
    TChart *c = ShownChart(520, 380);
    Fill(*c);
    c->SetView3D(view > 0);
    if (view == 2) {
      c->View3DOptions().SetOrthogonal(false);
      c->View3DOptions().SetRotation(345);
      c->View3DOptions().SetElevation(345);
    }
    gdi::Bitmap b(c->Width(), c->Height());
    DrawInto(*c, b);
    Save(b, view == 0 ? "demo_2d" : view == 1 ? "demo_3d" : "demo_3d_turned");
    EXPECT_EQ(c->Legend().LastValue(), 2) << view;
    auto *note = dynamic_cast<TAnnotationTool *>(c->Tools()[0]);
    EXPECT_LT(note->Box().Right, c->Width()) << view;
    EXPECT_LT(note->Box().Bottom, c->Height()) << view;
    // The callout's line runs from its target to the box.
    int line = 0;
    for (int y = 190; y < 245; ++y)
      for (int x = 255; x < 298; ++x)
        line += b.Pixel(x, y) == clBlack;
    EXPECT_GT(line, 20) << view;
  }
}

} // namespace
