// The chart taken into a real full-screen window and given back: by the
// release key, by closing the window, by deactivating or freeing the tool.
#include "tools_support.h"

#include "platform/forms/FullScreen.h"

#include <QGuiApplication>
#include <QScreen>

#include <memory>

namespace {

using tools_test::TDotSeries;

using tools_test::Key;

class FullScreen : public tools_test::WithTools {
protected:
  struct Place {
    QWidget *window;
    int left, top, width, height;
    forms::TAlign align;
  };
  static Place PlaceOf(TChart &chart) {
    return {chart.Widget()->window(), chart.Left(), chart.Top(), chart.Width(), chart.Height(), chart.Align()};
  }
  static void ExpectBack(TChart &chart, const Place &p) {
    Settle();
    EXPECT_EQ(chart.Widget()->window(), p.window);
    EXPECT_EQ(chart.Left(), p.left);
    EXPECT_EQ(chart.Top(), p.top);
    EXPECT_EQ(chart.Width(), p.width);
    EXPECT_EQ(chart.Height(), p.height);
    EXPECT_EQ(chart.Align(), p.align);
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
    EXPECT_EQ(chart.Height(), screen.height());
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
    EXPECT_FALSE(tool->Active());
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

TEST_F(FullScreen, VirtualKeys) {
  struct Case {
    Qt::Key key;
    int vk;
  };
  const Case cases[] = {{Qt::Key_Escape, 27}, {Qt::Key_Return, 13}, {Qt::Key_Space, 32}, {Qt::Key_A, 65},
                        {Qt::Key_Z, 90},      {Qt::Key_0, 48},      {Qt::Key_F1, 112},   {Qt::Key_F12, 123},
                        {Qt::Key_Left, 37},   {Qt::Key_Down, 40},   {Qt::Key_Delete, 46}};
  for (const auto &c : cases)
    EXPECT_EQ(forms::VirtualKeyOfQtKey(c.key), c.vk) << c.key;
}

} // namespace
