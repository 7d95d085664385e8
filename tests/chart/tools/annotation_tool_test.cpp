// The annotation and rectangle tools on a shown chart: where the box goes,
// its size for its text, the callout, clicks, and dragging and resizing
// the rectangle with real mouse events in both unit modes, with the cursor
// each zone shows.
#include "chart/engine/chart_support.h"
#include "chart/tools/UloAnnotation.h"
#include "platform/forms/Cursors.h"
#include "platform/streaming/Streaming.h"

#include <vector>

namespace {

using namespace chart_test;

class AnnotationToolTest : public WithDotsCharts {
protected:
  static void SetUpTestSuite() {
    WithDotsCharts::SetUpTestSuite();
    StartAnnotationUnit();
  }
  static void TearDownTestSuite() {
    StopAnnotationUnit();
    WithDotsCharts::TearDownTestSuite();
  }
  // A shown 2D chart of dots without legend, with the tool T added.
  template <class T> T *WithTool(TChart *&chart) {
    chart = DotsChart();
    chart->Legend().SetVisible(false);
    T *tool = chart->Tools().Add(std::make_unique<T>());
    Repaint(*chart);
    return tool;
  }
  // A rectangle tool placed at (Left, Top) on a shown chart, painted.
  TRectangleTool *PlacedRectangle(TChart *&chart, int left, int top) {
    TRectangleTool *r = WithTool<TRectangleTool>(chart);
    r->SetLeft(left);
    r->SetTop(top);
    Repaint(*chart);
    return r;
  }
  static void Repaint(TChart &c) {
    c.Invalidate();
    Settle();
  }
  static int FontHeight(TChart &c, TUloFont &font) {
    c.Canvas().ApplyFont(font);
    return c.Canvas().StandardTextHeight();
  }
};

TEST_F(AnnotationToolTest, PositionsInTheChart) {
  TChart *c = nullptr;
  TAnnotationTool *a = WithTool<TAnnotationTool>(c);
  a->SetText("Note");
  const int w = c->Width(), h = c->Height();
  // The corners 10 pixels in at the left and top only; -1: not checked.
  struct Case {
    TAnnotationPosition position;
    int left, top, right, bottom;
  };
  for (const Case &k :
       {Case{TAnnotationPosition::ppLeftTop, 10, 10, -1, -1}, Case{TAnnotationPosition::ppLeftBottom, 10, -1, -1, h},
        Case{TAnnotationPosition::ppRightTop, -1, 10, w, -1}, Case{TAnnotationPosition::ppRightBottom, -1, -1, w, h}}) {
    a->SetPosition(k.position);
    Repaint(*c);
    const TRect b = a->Box();
    EXPECT_GT(b.Right - b.Left, 10) << int(k.position);
    for (auto [got, want] : {std::pair{b.Left, k.left}, {b.Top, k.top}, {b.Right, k.right}, {b.Bottom, k.bottom}})
      if (want != -1) {
        EXPECT_EQ(got, want) << int(k.position);
      }
  }
  a->SetPosition(TAnnotationPosition::ppCenter);
  Repaint(*c);
  EXPECT_NEAR((a->Box().Left + a->Box().Right) / 2, w / 2, 4);
  EXPECT_NEAR((a->Box().Top + a->Box().Bottom) / 2, h / 2, 4);
}

// Shows a text of its own instead of the shape's.
class TShownTextTool : public TAnnotationTool {
public:
  std::string GetShownText() const override { return "A much longer text shown"; }
};

TEST_F(AnnotationToolTest, TheFirstPaintFitsTheBoxToTheShownText) {
  TChart *plain = nullptr, *shown = nullptr;
  TAnnotationTool *a = WithTool<TAnnotationTool>(plain);
  a->SetText("A much longer text shown");
  Repaint(*plain);
  EXPECT_EQ(WithTool<TShownTextTool>(shown)->Box(), a->Box());
}

TEST_F(AnnotationToolTest, AutoSizeFitsTheTextAndAnEmptyTextIsOneBlank) {
  TChart *c = nullptr;
  TAnnotationTool *a = WithTool<TAnnotationTool>(c);
  a->SetText("");
  Repaint(*c);
  const TRect empty = a->Box();
  EXPECT_GT(empty.Right - empty.Left, 0);
  EXPECT_GT(empty.Bottom - empty.Top, 0);
  a->SetText("one\rtwo\rthree");
  Repaint(*c);
  const int fh = FontHeight(*c, a->Shape().Font());
  const TRect three = a->Box();
  EXPECT_EQ((three.Bottom - three.Top) - (empty.Bottom - empty.Top), 2 * fh);
}

TEST_F(AnnotationToolTest, CalloutAttachesAtTheCentreOrTheNearerSide) {
  TChart *c = nullptr;
  TAnnotationTool *a = WithTool<TAnnotationTool>(c);
  a->SetText("Callout");
  a->Callout().Arrow().SetVisible(true);
  a->Callout().Arrow().SetColor(clRed);
  Repaint(*c);
  const TRect b = a->Box();
  const int cx = (b.Left + b.Right) / 2;
  // Straight below the box: the line leaves the bottom at the centre.
  a->Callout().SetXPosition(cx);
  a->Callout().SetYPosition(b.Bottom + 60);
  Repaint(*c);
  EXPECT_EQ(Screen(*c).pixel(cx, b.Bottom + 30) & 0xFFFFFF, 0xFF0000u);
  // Far to the right and level with it: the right side, half way down.
  a->Callout().SetXPosition(b.Right + 100);
  a->Callout().SetYPosition((b.Top + b.Bottom) / 2);
  Repaint(*c);
  const QImage img = Screen(*c);
  EXPECT_EQ(img.pixel(b.Right + 50, (b.Top + b.Bottom) / 2) & 0xFFFFFF, 0xFF0000u);
  EXPECT_NE(img.pixel(cx, b.Bottom + 30) & 0xFFFFFF, 0xFF0000u);
}

TEST_F(AnnotationToolTest, ClicksInsideTheBox) {
  TChart *c = nullptr;
  TAnnotationTool *a = WithTool<TAnnotationTool>(c);
  a->SetText("Click me");
  Repaint(*c);
  int clicks = 0;
  a->OnClick = [&](TAnnotationTool *, forms::TMouseButton, forms::TShiftState, int, int) { ++clicks; };
  const TRect b = a->Box();
  QTest::mouseClick(W(*c), Qt::LeftButton, {}, QPoint(b.Left + 3, b.Top + 3));
  QTest::mouseClick(W(*c), Qt::LeftButton, {}, QPoint(b.Right + 20, b.Bottom + 20));
  EXPECT_EQ(clicks, 1);
}

TEST_F(AnnotationToolTest, HitZonesAndTheirCursors) {
  TChart *c = nullptr;
  TRectangleTool *r = PlacedRectangle(c, 100, 80);
  r->SetWidth(100);
  r->SetHeight(60);
  Repaint(*c);
  const TRect b = r->Box();
  ASSERT_EQ(b, (TRect{100, 80, 199, 139}));
  struct Case {
    const char *name;
    int x, y, zone, cursor;
  };
  const std::vector<Case> cases = {
      {"top-left corner, 3 px in", b.Left + 3, b.Top + 3, 4, forms::kCursorSizeNWSE},
      {"4 px in: the inside", b.Left + 4, b.Top + 4, -1, forms::kCursorHandPoint},
      {"left edge", b.Left, b.Top + 30, 0, forms::kCursorSizeWE},
      {"top-right corner", b.Right - 2, b.Top + 1, 6, forms::kCursorSizeNESW},
      {"bottom-right corner", b.Right, b.Bottom, 7, forms::kCursorSizeNWSE},
      {"bottom edge", b.Left + 50, b.Bottom - 1, 3, forms::kCursorSizeNS},
  };
  for (const Case &k : cases) {
    EXPECT_EQ(r->HitZone(k.x, k.y), k.zone) << k.name;
    MoveTo(*c, k.x, k.y, Qt::NoButton);
    EXPECT_EQ(c->Cursor(), k.cursor) << k.name;
  }
  EXPECT_EQ(r->HitZone(b.Left - 1, b.Top + 30), -1);
}

TEST_F(AnnotationToolTest, DragInPixelsMovesTheBoxAndStopsTheZoom) {
  TChart *c = nullptr;
  TRectangleTool *r = PlacedRectangle(c, 100, 80);
  std::vector<std::string> log;
  r->OnDragging = [&](TRectangleTool *) {
    if (log.empty() || log.back() != "dragging") log.push_back("dragging");
  };
  r->OnDragged = [&](TRectangleTool *) { log.push_back("dragged"); };
  Drag(*c, Qt::LeftButton, 120, 100, 180, 140);
  EXPECT_EQ(log, (std::vector<std::string>{"dragging", "dragged"}));
  EXPECT_EQ(r->Left(), 160);
  EXPECT_EQ(r->Top(), 120);
  EXPECT_FALSE(c->Zoomed);
  // Without AllowDrag the press goes on to the chart.
  r->SetAllowDrag(false);
  r->SetAllowResize(false);
  Press(*c, Qt::LeftButton, 180, 140);
  EXPECT_TRUE(c->Zoom().Active);
  Release(*c, Qt::LeftButton, 180, 140);
}

TEST_F(AnnotationToolTest, ResizeKeepsThreePixelsAndFiresItsEvents) {
  TChart *c = nullptr;
  TRectangleTool *r = PlacedRectangle(c, 100, 80);
  int resizing = 0, resized = 0;
  r->OnResizing = [&](TRectangleTool *) { ++resizing; };
  r->OnResized = [&](TRectangleTool *) { ++resized; };
  // The right edge, 1 px in, dragged 30 px to the right.
  Drag(*c, Qt::LeftButton, 148, 100, 178, 100);
  EXPECT_EQ(r->Width(), 80);
  EXPECT_EQ(r->Left(), 100);
  EXPECT_GT(resizing, 0);
  EXPECT_EQ(resized, 1);
  EXPECT_EQ(r->ResizeZone(), -1);
  Repaint(*c);
  // The left edge dragged far past the right one stops 3 px before it.
  Drag(*c, Qt::LeftButton, 100, 100, 300, 100);
  EXPECT_EQ(r->Box().Left, r->Box().Right - 3);
  EXPECT_EQ(r->Width(), 4);
}

TEST_F(AnnotationToolTest, PercentUnitsKeepTheDroppedBoxWhereItWasDropped) {
  TChart *c = nullptr;
  TRectangleTool *r = WithTool<TRectangleTool>(c);
  r->SetPositionUnits(TUloUnits::muPercent);
  r->SetLeft(25);
  r->SetTop(25);
  Repaint(*c);
  const TRect b = r->Box();
  const int w = c->Width() + 1, h = c->Height() + 1;
  EXPECT_EQ(b.Left, rtl::RoundPixel(25 * w * 0.01));
  Drag(*c, Qt::LeftButton, b.Left + 20, b.Top + 20, b.Left + 80, b.Top + 50);
  EXPECT_EQ(r->Left(), rtl::RoundPixel((b.Left + 60) * 100.0 / w));
  EXPECT_EQ(r->Top(), rtl::RoundPixel((b.Top + 30) * 100.0 / h));
  Repaint(*c);
  EXPECT_NEAR(r->Box().Left, b.Left + 60, 2);
  EXPECT_NEAR(r->Box().Top, b.Top + 30, 2);
}

TEST_F(AnnotationToolTest, StoredAndReadBack) {
  TChart c;
  c.SetName("Chart1");
  auto *r = c.Tools().Add(std::make_unique<TRectangleTool>());
  r->SetName("Rect1");
  r->SetText("Hello\rworld");
  r->SetAllowResize(false);
  const std::string text = streaming::WriteComponent(c);
  auto back = streaming::ReadComponent(text);
  auto *chart = dynamic_cast<TChart *>(back.get());
  ASSERT_TRUE(chart && chart->Tools().Count() == 1);
  auto *rb = dynamic_cast<TRectangleTool *>(chart->Tools()[0]);
  ASSERT_NE(rb, nullptr);
  EXPECT_EQ(rb->Text(), "Hello\rworld");
  EXPECT_EQ(streaming::WriteComponent(*chart), text);
  // The tool's own names for the shape's settings are read as well.
  streaming::ReadComponent("TRectangleTool Rect1 { Text = \"Hi\"  Width = 70 }", *rb);
  EXPECT_EQ(rb->Text(), "Hi");
  EXPECT_EQ(rb->Width(), 70);
  EXPECT_EQ(streaming::WriteComponent(*rb).find("  Text ="), std::string::npos);
}

} // namespace
