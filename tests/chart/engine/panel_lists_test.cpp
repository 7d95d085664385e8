// The axis panel's lists and settings: series membership and its events,
// axes in use, pages, groups, palette colours, text widths, the refused
// settings, copying and the stored form.
#include "chart/engine/panel_kit.h"

#include "chart/foundation/UloProcs.h"
#include "platform/streaming/Streaming.h"

namespace {

using namespace panel_test;

class PanelLists : public WithTexts {};

void AddPoints(TChartSeries &s, int n) {
  for (int i = 0; i < n; ++i)
    s.AddPointXY(i, 100.0 + i);
}

template <class E> std::string MessageOf(const std::function<void()> &f) {
  try {
    f();
  } catch (const E &e) {
    return e.what();
  }
  return "no exception";
}

struct TEventLog : IUloEventListener {
  TLog Log;
  void UloEvent(TUloEvent &event) override {
    if (auto *s = dynamic_cast<TUloSeriesEvent *>(&event))
      Log.push_back("series" + std::to_string(static_cast<int>(s->Event)));
    else if (dynamic_cast<TChartChangePage *>(&event))
      Log.push_back("page");
  }
};

TEST_F(PanelLists, RefusedSettingsKeepTheirOldValue) {
  TTestAxisPanel panel;
  for (int bad : {0, 101, -5}) {
    EXPECT_EQ(MessageOf<rtl::Exception>([&] { panel.SetChart3DPercent(bad); }),
              "3D effect percent must be between 1 and 100")
        << bad;
    EXPECT_EQ(panel.Chart3DPercent(), 15);
  }
  panel.SetChart3DPercent(1);
  panel.SetChart3DPercent(100);
  EXPECT_EQ(panel.Chart3DPercent(), 100);
  EXPECT_EQ(MessageOf<ChartException>([&] { panel.Pages().SetMaxPointsPerPage(-1); }), "MaxPointsPerPage must be >= 0");
  EXPECT_EQ(panel.Pages().MaxPointsPerPage(), 0);
  TTestSeries a, b;
  panel.AddSeries(&a);
  panel.AddSeries(&b);
  b.SetDataSource(&a);
  EXPECT_EQ(MessageOf<ChartException>([&] { panel.CheckCircularSource(&a, &b); }),
            "Circular Series dependences are not allowed");
  EXPECT_NO_THROW(panel.CheckCircularSource(&b, &a));
  b.SetDataSource(nullptr);
  panel.RemoveSeries(&a);
  panel.RemoveSeries(&b);
}

TEST_F(PanelLists, SeriesJoinAndLeaveWithTheirEvents) {
  TTestAxisPanel panel;
  TEventLog listener;
  panel.Listeners().Add(&listener);
  TLog log;
  panel.OnAddSeries = [&log](TChartSeries *s) { log.push_back("add:" + static_cast<TTestSeries *>(s)->Tag); };
  panel.OnRemoveSeries = [&log](TChartSeries *s) { log.push_back("remove:" + static_cast<TTestSeries *>(s)->Tag); };
  TTestSeries a("a"), b("b");
  panel.AddSeries(&a);
  panel.AddSeries(&a);
  b.SetParentChart(&panel);
  ASSERT_EQ(panel.SeriesCount(), 2);
  EXPECT_EQ(panel.GetSeries(1), &b);
  EXPECT_EQ(b.ParentChart(), &panel);
  // A series moved to another panel leaves this one first.
  TTestAxisPanel other;
  other.AddSeries(&a);
  EXPECT_EQ(panel.SeriesCount(), 1);
  EXPECT_EQ(a.ParentChart(), &other);
  panel.RemoveSeriesAt(0);
  EXPECT_EQ(b.ParentChart(), nullptr);
  EXPECT_EQ(Join(log), "add:a add:b remove:a remove:b");
  // Added: 0, with the automatic colour: 3; removed: 1.
  EXPECT_EQ(Join(listener.Log), "series3 series0 series3 series0 series1 series1");
  panel.SetSeriesEventsOff(true);
  listener.Log.clear();
  panel.AddSeries(&b);
  EXPECT_TRUE(listener.Log.empty());
  panel.RemoveSeries(&b);
  other.RemoveSeries(&a);
  panel.Listeners().Remove(&listener);
}

TEST_F(PanelLists, FreeSeriesFreesWhatThePanelKeeps) {
  struct TOther : TTestSeries {
    std::string_view ClassName() const override { return "TOther"; }
  };
  TTestAxisPanel panel;
  TTestSeries outside("o");
  panel.AddSeries(&outside);
  panel.AddSeries(std::make_unique<TTestSeries>("k"));
  panel.AddSeries(std::make_unique<TOther>());
  panel.FreeSeriesOfClass<TOther>();
  ASSERT_EQ(panel.SeriesCount(), 2);
  panel.FreeSeries();
  EXPECT_EQ(panel.SeriesCount(), 0);
  EXPECT_EQ(outside.ParentChart(), nullptr);
  // A kept series handed back is the caller's.
  auto *kept = panel.AddSeries(std::make_unique<TTestSeries>("k"));
  std::unique_ptr<TCustomChartElement> mine = panel.ReleaseElement(kept);
  EXPECT_EQ(mine.get(), kept);
  EXPECT_EQ(panel.ReleaseElement(kept), nullptr);
}

TEST_F(PanelLists, SeriesOutliveTheirPanel) {
  TTestSeries a("a");
  {
    TTestAxisPanel panel;
    panel.AddSeries(&a);
  }
  EXPECT_EQ(a.ParentChart(), nullptr);
  EXPECT_EQ(a.GetHorizAxis(), nullptr);
}

TEST_F(PanelLists, AxesInUseAndShown) {
  struct Case {
    const char *name;
    std::function<void(TTestAxisPanel &, TTestSeries &)> setup;
    bool bottomInUse, topInUse, bottomShown, topShown, leftShown, depthShown;
  };
  const std::vector<Case> cases = {
      {"one series on bottom and left", [](TTestAxisPanel &, TTestSeries &) {}, true, false, true, false, true, true},
      {"inactive series: the empty chart's frame", [](TTestAxisPanel &, TTestSeries &s) { s.SetActive(false); }, false,
       false, true, true, true, true},
      {"series on the top axis", [](TTestAxisPanel &, TTestSeries &s) { s.SetHorizAxis(THorizAxis::aTopAxis); }, false,
       true, false, true, true, true},
      {"both horizontal axes", [](TTestAxisPanel &, TTestSeries &s) { s.SetHorizAxis(THorizAxis::aBothHorizAxis); },
       true, true, true, true, true, true},
      {"axes hidden", [](TTestAxisPanel &p, TTestSeries &) { p.SetAxisVisible(false); }, true, false, false, false,
       false, false},
      {"2D: no depth axis", [](TTestAxisPanel &p, TTestSeries &) { p.SetView3D(false); }, true, false, true, false,
       true, false},
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.DepthAxis()->SetVisible(true);
    TTestSeries s;
    panel.AddSeries(&s);
    c.setup(panel, s);
    EXPECT_EQ(panel.AxisInUse(panel.BottomAxis(), false), c.bottomInUse) << c.name;
    EXPECT_EQ(panel.AxisInUse(panel.TopAxis(), false), c.topInUse) << c.name;
    EXPECT_EQ(panel.AxisShown(panel.BottomAxis()), c.bottomShown) << c.name;
    EXPECT_EQ(panel.AxisShown(panel.TopAxis()), c.topShown) << c.name;
    EXPECT_EQ(panel.AxisShown(panel.LeftAxis()), c.leftShown) << c.name;
    EXPECT_EQ(panel.AxisShown(panel.DepthAxis()), c.depthShown) << c.name;
    panel.RemoveSeries(&s);
  }
}

TEST_F(PanelLists, ADeletedCustomAxisLeavesItsSeriesOnTheStandardOne) {
  TTestAxisPanel panel;
  TChartAxis *custom = panel.CustomAxes().Add();
  EXPECT_EQ(panel.Axes().IndexOf(custom), 6);
  TTestSeries s;
  panel.AddSeries(&s);
  s.SetCustomVertAxis(custom);
  EXPECT_EQ(s.GetVertAxis(), custom);
  panel.CustomAxes().Delete(0);
  EXPECT_EQ(panel.Axes().Count(), 6);
  EXPECT_EQ(s.CustomVertAxis(), nullptr);
  EXPECT_EQ(s.GetVertAxis(), panel.LeftAxis());
  panel.RemoveSeries(&s);
}

TEST_F(PanelLists, TheDepthAxisSpansTheSlotsOrTheDepthValues) {
  struct TDeepSeries : TTestSeries {
    double Lo = 0, Hi = 0;
    double MinZ() override { return Lo; }
    double MaxZ() override { return Hi; }
  };
  TTestAxisPanel panel;
  TDeepSeries a, b;
  panel.AddSeries(&a);
  panel.AddSeries(&b);
  panel.CalcZOrders(); // two automatic slots: the maximum z-order is 1
  TChartAxis *depth = panel.DepthAxis();
  EXPECT_EQ(panel.AxisSeriesMinMax(depth, true), -0.5);
  EXPECT_EQ(panel.AxisSeriesMinMax(depth, false), 1.5);
  // A series with depth values makes the automatic style show values.
  a.Lo = -3, a.Hi = 4;
  b.Lo = 1, b.Hi = 9;
  EXPECT_EQ(panel.AxisSeriesMinMax(depth, true), -3);
  EXPECT_EQ(panel.AxisSeriesMinMax(depth, false), 9);
  depth->SetLabelStyle(TAxisLabelStyle::talText);
  EXPECT_EQ(panel.AxisSeriesMinMax(depth, false), 1.5);
  panel.RemoveSeries(&a);
  panel.RemoveSeries(&b);
}

TEST_F(PanelLists, PagesCountAndClampTheCurrentPage) {
  TTestAxisPanel panel;
  TEventLog listener;
  panel.Listeners().Add(&listener);
  int changes = 0;
  panel.OnPageChange = [&changes](TChartPage &) { ++changes; };
  TChartPage &pages = panel.Pages();
  EXPECT_EQ(pages.PageCount(), 1);
  pages.SetMaxPointsPerPage(10);
  EXPECT_EQ(pages.PageCount(), 1); // no series
  auto *s = panel.AddSeries(std::make_unique<TTestSeries>());
  AddPoints(*s, 25);
  EXPECT_EQ(pages.PageCount(), 3);
  pages.SetCurrent(5);
  EXPECT_EQ(pages.Current(), 3);
  EXPECT_EQ(pages.PageFirstIndex(), 20);
  pages.SetCurrent(0);
  EXPECT_EQ(pages.Current(), 1);
  pages.SetCurrent(1);
  EXPECT_EQ(changes, 2);
  pages.SetCurrent(3);
  pages.SetMaxPointsPerPage(20);
  EXPECT_EQ(pages.Current(), 2);
  pages.SetMaxPointsPerPage(0);
  EXPECT_EQ(pages.PageCount(), 1);
  int pageEvents = 0;
  for (const std::string &e : listener.Log)
    pageEvents += e == "page";
  EXPECT_EQ(pageEvents, 6);
  panel.Listeners().Remove(&listener);
}

TEST_F(PanelLists, APageSetsTheRangeOfThePointAxis) {
  struct Case {
    int current;
    bool scaleLastPage;
    double min, max;
  };
  const Case cases[] = {{1, true, 0, 9}, {2, true, 10, 19}, {3, true, 20, 24}, {3, false, 20, 29}};
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.SetView3D(false);
    AddPoints(*panel.AddSeries(std::make_unique<TTestSeries>()), 25);
    panel.Pages().SetMaxPointsPerPage(10);
    panel.Pages().SetCurrent(c.current);
    panel.Pages().SetScaleLastPage(c.scaleLastPage);
    DrawOnce(panel);
    EXPECT_EQ(panel.BottomAxis()->Minimum(), c.min) << c.current << c.scaleLastPage;
    EXPECT_EQ(panel.BottomAxis()->Maximum(), c.max) << c.current << c.scaleLastPage;
    // The value axis (Y 100..124) fits the page only with AutoScale.
    for (bool autoScale : {false, true}) {
      panel.Pages().SetAutoScale(autoScale);
      EXPECT_EQ(panel.AxisSeriesMinMax(panel.LeftAxis(), true), autoScale ? 100 + c.min : 100);
      EXPECT_EQ(panel.AxisSeriesMinMax(panel.LeftAxis(), false), autoScale ? 100 + std::min(c.max, 24.0) : 124);
    }
  }
}

TEST_F(PanelLists, GroupsReportAndSwitchTheirSeries) {
  TTestAxisPanel panel;
  TTestSeries a, b;
  panel.AddSeries(&a);
  panel.AddSeries(&b);
  TSeriesGroup &g = panel.SeriesGroups().Add();
  TSeriesGroup &h = panel.SeriesGroups().Add();
  EXPECT_EQ(g.Active(), TSeriesGroupActive::gaYes); // empty
  g.Series().Add(&a);
  g.Series().Add(&b);
  b.SetActive(false);
  EXPECT_EQ(g.Active(), TSeriesGroupActive::gaSome);
  g.SetActive(TSeriesGroupActive::gaSome);
  EXPECT_TRUE(a.Active());
  g.SetActive(TSeriesGroupActive::gaNo);
  EXPECT_EQ(g.Active(), TSeriesGroupActive::gaNo);
  g.SetActive(TSeriesGroupActive::gaYes);
  EXPECT_TRUE(a.Active() && b.Active());
  h.Series().Add(&a);
  h.Series().Add(&b);
  // A series that leaves the panel leaves its groups.
  panel.RemoveSeries(&a);
  EXPECT_EQ(g.Series().Count(), 1);
  EXPECT_EQ(h.Series().Count(), 1);
  panel.RemoveSeries(&b);
}

TEST_F(PanelLists, MultiLineTextWidth) {
  TTestAxisPanel panel;
  const int ab = panel.Canvas().MeasureTextWidth("ab");
  const int abcd = panel.Canvas().MeasureTextWidth("abcd");
  struct Case {
    const char *text;
    int width, lines;
  };
  const Case cases[] = {{"", 0, 0}, {"ab", ab, 1}, {"ab\rabcd", abcd, 2}, {"abcd\rab\r", abcd, 2}, {"\r", 0, 1}};
  for (const Case &c : cases) {
    int lines = -1;
    EXPECT_EQ(panel.MultiLineTextWidth(c.text, lines), c.width) << c.text;
    EXPECT_EQ(lines, c.lines) << c.text;
  }
}

TEST_F(PanelLists, PaletteColours) {
  TTestAxisPanel panel;
  EXPECT_EQ(panel.PaletteColor(0), UloDefaultPaletteColors[0]);
  EXPECT_EQ(panel.PaletteColor(21), UloDefaultPaletteColors[1]);
  const std::vector<TColor> custom{clRed, clGreen, clBlue};
  panel.SetColorPalette(custom);
  EXPECT_EQ(panel.PaletteColor(4), clGreen);
  EXPECT_EQ(panel.PaletteColor(-1), clBlue);
  // Each automatic series takes the first colour nobody has.
  TTestSeries a, b, c, d;
  for (TTestSeries *s : {&a, &b, &c})
    panel.AddSeries(s);
  EXPECT_EQ(a.SeriesColor(), UloDefaultPaletteColors[0]); // taken before the palette changed
  panel.AssignAutomaticColors();
  EXPECT_EQ(a.SeriesColor(), clRed);
  EXPECT_EQ(b.SeriesColor(), clGreen);
  EXPECT_EQ(c.SeriesColor(), clBlue);
  // With every colour taken the last one is given without a test.
  EXPECT_EQ(panel.FreePaletteColor(true, &d), clBlue);
  for (TTestSeries *s : {&a, &b, &c})
    panel.RemoveSeries(s);
}

TEST_F(PanelLists, PanelRectangleOutlinesABoxInTheBackColour) {
  struct Case {
    TColor brush, back;
    TColor edge, inside;
  };
  const Case cases[] = {
      {clRed, clWhite, clBlack, clRed},     // a plain box
      {clBlack, clBlack, clWhite, clBlack}, // black on black: a white outline
      {clWhite, clWhite, clBlack, clWhite}, // white on white: the pen's outline again
  };
  for (const Case &c : cases) {
    TTestAxisPanel panel;
    panel.SetBounds(0, 0, 100, 100);
    panel.OnAfterDraw = [&panel, &c] {
      TCanvas3D &canvas = panel.Canvas();
      canvas.Pen().SetColor(clBlack);
      canvas.Brush().SetStyle(TBrushStyle::bsSolid);
      canvas.Brush().SetColor(c.brush);
      panel.RectangleBackColor = c.back;
      panel.PanelRectangle(TRect{10, 10, 50, 50});
      EXPECT_EQ(canvas.Pen().Color(), clBlack);
    };
    gdi::Bitmap target(100, 100);
    panel.Draw(&target.DC(), TRect{0, 0, 100, 100});
    EXPECT_EQ(target.Pixel(10, 30), c.edge) << c.brush;
    EXPECT_EQ(target.Pixel(30, 30), c.inside) << c.brush;
  }
}

TEST_F(PanelLists, TheStoredFormReadsBackTheSame) {
  streaming::ClassRegistry().RegisterClass<TTestAxisPanel>("TTestAxisPanel");
  TTestAxisPanel panel;
  panel.SetChart3DPercent(25);
  panel.SetAxisVisible(false);
  panel.CustomAxes().Add()->SetInverted(true);
  panel.BottomAxis()->SetVisible(false);
  panel.Pages().SetAutoScale(true);
  const std::string text = streaming::WriteComponent(panel);
  TTestAxisPanel back;
  streaming::ReadComponent(text, back);
  ASSERT_EQ(back.CustomAxes().Count(), 1);
  EXPECT_TRUE(back.CustomAxes()[0]->Inverted());
  EXPECT_EQ(streaming::WriteComponent(back), text);
  // The old page keys, in the order older definitions wrote them: read,
  // never written; a page read before the series exist waits for them.
  TTestAxisPanel paged;
  AddPoints(*paged.AddSeries(std::make_unique<TTestSeries>()), 25);
  streaming::ReadComponent("TTestAxisPanel { Page = 3 MaxPointsPerPage = 10 ScaleLastPage = false }", paged);
  EXPECT_EQ(paged.Pages().Current(), 3);
  EXPECT_FALSE(paged.Pages().ScaleLastPage());
  streaming::ReadComponent("TTestAxisPanel { Pages.Current = 9 }", paged);
  EXPECT_EQ(paged.Pages().Current(), 3);
  const std::string again = streaming::WriteComponent(paged);
  EXPECT_EQ(again.find("\n  Page ="), std::string::npos) << again;
  EXPECT_NE(again.find("Pages.MaxPointsPerPage = 10"), std::string::npos) << again;
  streaming::ClassRegistry().UnregisterClass("TTestAxisPanel");
}

} // namespace
