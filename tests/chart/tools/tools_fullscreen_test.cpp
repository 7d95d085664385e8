// The chart taken into a real full-screen window and given back: by the
// release key, by closing the window, by deactivating or freeing the tool.
#include "tools_support.h"

#include "platform/forms/FullScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <memory>
#include <tuple>

namespace {

using tools_test::TDotSeries;

using tools_test::Key;

class FullScreen : public tools_test::WithTools {
protected:
  // The chart's window, bounds and alignment.
  using Place = std::tuple<QWidget *, TRect, forms::TAlign>;
  static Place PlaceOf(TChart &chart) {
    return {chart.Widget()->window(), TRect{chart.Left(), chart.Top(), chart.Width(), chart.Height()}, chart.Align()};
  }
  static void ExpectBack(TChart &chart, const Place &p) {
    Settle();
    EXPECT_EQ(PlaceOf(chart), p);
    EXPECT_TRUE(chart.Widget()->isVisible());
  }
  static void ExpectFullScreen(TChart &chart, TFullScreenTool &tool) {
    Settle();
    ASSERT_NE(tool.Window(), nullptr);
    EXPECT_TRUE(tool.Window()->Showing());
    EXPECT_EQ(tool.Window()->Hosted(), &chart);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(chart.Widget()->window()->geometry(), screen);
    EXPECT_EQ(chart.Width(), screen.width());
    EXPECT_TRUE(chart.Widget()->window()->windowFlags() & Qt::FramelessWindowHint);
  }
};

TEST_F(FullScreen, TheReleaseKeyGivesTheChartBack) {
  struct Case {
    bool aligned;
    int releaseKey;
    Qt::Key other, release;
  };
  const Case cases[] = {{false, 27, Qt::Key_A, Qt::Key_Escape}, {true, 0x71, Qt::Key_Escape, Qt::Key_F2}};
  for (const Case &c : cases) {
    TChart *chart = DotsChart();
    if (c.aligned) chart->SetAlign(forms::TAlign::alClient);
    Settle();
    const Place before = PlaceOf(*chart);
    auto *tool = chart->Tools().Add(std::make_unique<TFullScreenTool>());
    if (c.releaseKey != 27) tool->SetReleaseKey(static_cast<uint16_t>(c.releaseKey));
    tool->SetActive(true);
    ExpectFullScreen(*chart, *tool);
    EXPECT_EQ(chart->Align(), forms::TAlign::alNone);
    // Other keys pass on to the chart.
    Key(chart->Widget(), c.other);
    EXPECT_TRUE(tool->Active());
    Key(chart->Widget(), c.release);
    EXPECT_FALSE(tool->Active());
    EXPECT_EQ(tool->Window(), nullptr);
    ExpectBack(*chart, before);
  }
}

TEST_F(FullScreen, ClosingTheWindowOrFreeingTheToolGivesTheChartBack) {
  for (bool close : {true, false}) {
    TChart *chart = DotsChart();
    const Place before = PlaceOf(*chart);
    auto *tool = chart->Tools().Add(std::make_unique<TFullScreenTool>());
    tool->SetActive(true);
    ExpectFullScreen(*chart, *tool);
    QPointer<QWidget> window = chart->Widget()->window();
    if (close) {
      tool->Window()->Close();
      EXPECT_FALSE(tool->Active());
      EXPECT_EQ(tool->Window(), nullptr);
    } else {
      chart->Tools().Clear();
    }
    ExpectBack(*chart, before);
    // The window is gone, and the chart survived it.
    EXPECT_TRUE(window.isNull()) << close;
    Paint(*chart);
  }
}

TEST_F(FullScreen, FreeingTheChartWhileFullScreen) {
  TChart *chart = DotsChart();
  chart->Tools().Add(std::make_unique<TFullScreenTool>())->SetActive(true);
  Settle();
  // The form frees the chart, which frees its tool first: nothing is left
  // in a window of its own.
  forms::Application().DestroyForms();
  Settle();
  for (QWidget *w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible() && (w->windowFlags() & Qt::FramelessWindowHint));
}

TEST_F(FullScreen, WithoutAChartNothingHappens) {
  TFullScreenTool tool;
  tool.SetActive(true);
  EXPECT_EQ(tool.Window(), nullptr);
  tool.SetActive(false);
}

} // namespace
