// The chart control under real mouse input on the offscreen platform:
// clicked parts at known pixels, the click events and their handled rule,
// zoom, panning, the wheel and undoing the zoom.
#include "chart_support.h"

#include "chart/engine/UloTool.h"

#include <algorithm>
#include <vector>

namespace {

using namespace chart_test;

class ChartMouseTest : public WithChartUnits {
protected:
  // A 2D chart with one line of dots (0, 0) .. (10, 10), no legend, shown
  // and painted.
  TChart *Plain() {
    TChart *c = ShownChart();
    c->SetView3D(false);
    c->Legend().SetVisible(false);
    series = AddLineOfDots(*c);
    c->Invalidate();
    Settle();
    return c;
  }
  // Draws again so that the axes map with their new ranges.
  static void Relayout(TChart &c) {
    gdi::Bitmap b(c.Width(), c.Height());
    DrawInto(c, b);
  }
  TDotSeries *series = nullptr;
};

TEST_F(ChartMouseTest, ClickedPartsAtKnownPixels) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  c->Title().SetText({"Title"});
  c->Foot().SetText({"Foot"});
  TDotSeries *a = AddLineOfDots(*c);
  AddLineOfDots(*c, 3);
  gdi::Bitmap b(c->Width(), c->Height());
  DrawInto(*c, b);

  auto mid = [](const TRect &r) { return TPoint{(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2}; };
  struct Case {
    const char *name;
    TPoint at;
    TChartPartKind part;
    int index;
  };
  const TRect cr = c->ChartRect;
  const std::vector<Case> cases = {
      {"title", mid(c->Title().ShapeBounds), TChartPartKind::cpkTitle, -1},
      {"foot", mid(c->Foot().ShapeBounds), TChartPartKind::cpkFoot, -1},
      {"legend row 1",
       {c->Legend().ShapeBounds.Left + 6, c->Legend().Items()[1].Top() + 2},
       TChartPartKind::cpkLegend,
       1},
      {"point 7 of the first series", {a->PixelX(7), a->PixelY(7) + 1}, TChartPartKind::cpkSeries, 7},
      {"inside the chart rectangle", {cr.Right - 5, cr.Bottom - 20}, TChartPartKind::cpkChartRect, -1},
      {"the panel's corner", {0, 0}, TChartPartKind::cpkNone, -1},
  };
  for (const Case &k : cases) {
    const TChartPartHit hit = c->CalcClickedPart(k.at, false);
    EXPECT_EQ(hit.Part, k.part) << k.name;
    EXPECT_EQ(hit.PointIndex, k.index) << k.name;
  }
  // The last series is asked first: where both have a point, the second wins.
  const TChartPartHit both = c->CalcClickedPart(TPoint{a->PixelX(1), a->PixelY(1)}, false);
  EXPECT_EQ(both.Series, c->GetSeries(1));
  // Only clickable series count when asked so.
  EXPECT_EQ(c->CalcClickedPart(TPoint{a->PixelX(7), a->PixelY(7)}, true).Part, TChartPartKind::cpkChartRect);
  a->OnClick = [](TChartSeries *, int, forms::TMouseButton, forms::TShiftState, int, int) {};
  EXPECT_EQ(c->CalcClickedPart(TPoint{a->PixelX(7), a->PixelY(7)}, true).Part, TChartPartKind::cpkSeries);
  // Without an active series the chart rectangle is no part.
  a->SetActive(false);
  c->GetSeries(1)->SetActive(false);
  EXPECT_EQ(c->CalcClickedPart(mid(cr), false).Part, TChartPartKind::cpkNone);
}

TEST_F(ChartMouseTest, ZoomTakesTheCornersValuesOfTheAxesItUsesBeyondMinimumPixels) {
  constexpr auto both = TUloZoomDirection::tzdBoth, horiz = TUloZoomDirection::tzdHorizontal,
                 vert = TUloZoomDirection::tzdVertical;
  struct Case {
    const char *name;
    TUloZoomDirection direction;
    bool upLeftZooms;
    int x0, y0, x1, y1; // from the chart rectangle's top-left corner
    bool zooms;
  };
  const std::vector<Case> cases = {
      {"both", both, false, 40, 30, 160, 120, true},
      {"up-left zooms too", both, true, 200, 150, 20, 20, true},
      {"both, right and up", both, false, 50, 50, 90, 10, true},
      {"horizontal spans the full height", horiz, false, 30, 60, 150, 70, true},
      {"vertical ignores the width", vert, false, 50, 50, 50, 67, true},
      {"both, exactly 16", both, false, 50, 50, 66, 66, false},
      {"both, 17 and 16", both, false, 50, 50, 67, 66, false},
      {"both, 17 and 17", both, false, 50, 50, 67, 67, true},
      {"horizontal ignores the height", horiz, false, 50, 50, 67, 50, true},
      {"vertical, 16 high", vert, false, 50, 50, 90, 66, false},
  };
  for (const Case &k : cases) {
    TChart *c = Plain();
    c->Zoom().SetDirection(k.direction);
    c->Zoom().SetUpLeftZooms(k.upLeftZooms);
    const TRect r = c->ChartRect;
    // The values of the rectangle's edges, the full range where a direction
    // is not zoomed; without a zoom nothing changes.
    const bool xUsed = k.zooms && k.direction != vert, yUsed = k.zooms && k.direction != horiz;
    TChartAxis *bottom = c->BottomAxis(), *left = c->LeftAxis();
    const double bMin = xUsed ? bottom->CalcPosPoint(r.Left + std::min(k.x0, k.x1)) : bottom->Minimum();
    const double bMax = xUsed ? bottom->CalcPosPoint(r.Left + std::max(k.x0, k.x1)) : bottom->Maximum();
    const double lMin = yUsed ? left->CalcPosPoint(r.Top + std::max(k.y0, k.y1)) : left->Minimum();
    const double lMax = yUsed ? left->CalcPosPoint(r.Top + std::min(k.y0, k.y1)) : left->Maximum();
    int zooms = 0;
    c->OnZoom = [&] { ++zooms; };
    Drag(*c, Qt::LeftButton, r.Left + k.x0, r.Top + k.y0, r.Left + k.x1, r.Top + k.y1);
    EXPECT_EQ(zooms, k.zooms ? 1 : 0) << k.name;
    EXPECT_EQ(c->RangesSaved(), k.zooms) << k.name;
    EXPECT_FALSE(c->Zoom().Active) << k.name;
    EXPECT_DOUBLE_EQ(bottom->Minimum(), bMin) << k.name;
    EXPECT_DOUBLE_EQ(bottom->Maximum(), bMax) << k.name;
    EXPECT_DOUBLE_EQ(left->Minimum(), lMin) << k.name;
    EXPECT_DOUBLE_EQ(left->Maximum(), lMax) << k.name;
    if (k.direction == horiz) {
      EXPECT_EQ(c->Zoom().Y0, r.Top) << k.name;
      EXPECT_EQ(c->Zoom().Y1, r.Bottom) << k.name;
    }
  }
}

TEST_F(ChartMouseTest, DraggingLeftUndoesAndTwoZoomsUndoToTheStart) {
  TChart *c = Plain();
  const TRect r = c->ChartRect;
  const double bMin = c->BottomAxis()->Minimum(), bMax = c->BottomAxis()->Maximum();
  ASSERT_TRUE(c->BottomAxis()->Automatic());
  Drag(*c, Qt::LeftButton, r.Left + 20, r.Top + 20, r.Left + 200, r.Top + 150);
  Relayout(*c);
  Drag(*c, Qt::LeftButton, r.Left + 20, r.Top + 20, r.Left + 100, r.Top + 100);
  Relayout(*c);
  EXPECT_FALSE(c->BottomAxis()->Automatic());
  int undos = 0;
  c->OnUndoZoom = [&] { ++undos; };
  // Right to left with the zoom button undoes.
  Drag(*c, Qt::LeftButton, r.Left + 200, r.Top + 20, r.Left + 20, r.Top + 150);
  EXPECT_EQ(undos, 1);
  EXPECT_FALSE(c->Zoomed);
  EXPECT_FALSE(c->RangesSaved());
  EXPECT_TRUE(c->BottomAxis()->Automatic());
  Relayout(*c);
  EXPECT_EQ(c->BottomAxis()->Minimum(), bMin);
  EXPECT_EQ(c->BottomAxis()->Maximum(), bMax);
}

TEST_F(ChartMouseTest, UndoAfterTheAxisListChangedRestoresTheAxesPresentBothTimes) {
  TChart *c = Plain();
  TChartAxis *custom = c->CustomAxes().Add();
  custom->SetMinMax(100, 200);
  c->ZoomToValues(1, 2, 1, 2, 1, 2, 3, 4);
  // The custom axis goes and another comes in its place.
  c->CustomAxes().Delete(0);
  c->CustomAxes().Add();
  c->CustomAxes().Add();
  c->UndoZoom();
  EXPECT_TRUE(c->LeftAxis()->Automatic());
  EXPECT_TRUE(c->BottomAxis()->Automatic());
  EXPECT_FALSE(c->RangesSaved());
}

TEST_F(ChartMouseTest, RightDragPansAndKeepsTheValueUnderTheMouse) {
  TChart *c = Plain();
  const TRect r = c->ChartRect;
  const int x0 = r.Left + 100, y0 = r.Top + 100, x1 = x0 + 40, y1 = y0 - 30;
  TChartAxis *bottom = c->BottomAxis(), *left = c->LeftAxis();
  // The range moves by the values between the two pixels, so the value
  // that was under the mouse is under it again.
  const double dx = bottom->CalcPosPoint(x0) - bottom->CalcPosPoint(x1);
  const double dy = left->CalcPosPoint(y0) - left->CalcPosPoint(y1);
  const double bMin = bottom->Minimum(), bMax = bottom->Maximum(), lMin = left->Minimum();
  int scrolls = 0;
  c->OnScroll = [&] { ++scrolls; };
  Drag(*c, Qt::RightButton, x0, y0, x1, y1);
  EXPECT_EQ(scrolls, 4);
  EXPECT_TRUE(c->RangesSaved());
  EXPECT_NEAR(bottom->Minimum(), bMin + dx, 1e-9);
  EXPECT_NEAR(bottom->Maximum(), bMax + dx, 1e-9);
  EXPECT_NEAR(left->Minimum(), lMin + dy, 1e-9);
  EXPECT_FALSE(c->Panning().Active);
  c->UndoZoom();
  EXPECT_TRUE(bottom->Automatic());
  // Leaving the chart rectangle ends the pan silently.
  Press(*c, Qt::RightButton, r.Left + 50, r.Top + 50);
  MoveTo(*c, r.Right + 5, r.Top + 50, Qt::RightButton);
  EXPECT_FALSE(c->Panning().Active);
  MoveTo(*c, r.Left + 10, r.Top + 50, Qt::RightButton);
  EXPECT_TRUE(bottom->Automatic());
  Release(*c, Qt::RightButton, r.Left + 10, r.Top + 50);
}

TEST_F(ChartMouseTest, AllowScrollHandlerStopsOneAxisOnly) {
  TChart *c = Plain();
  // The right axis takes part once a series uses it.
  TDotSeries *right = AddLineOfDots(*c);
  right->SetVertAxis(TVertAxis::aRightAxis);
  Relayout(*c);
  c->OnAllowScroll = [c](TChartAxis *axis, double &, double &, bool &allow) {
    if (axis == c->LeftAxis()) allow = false;
  };
  const double lMin = c->LeftAxis()->Minimum(), rMin = c->RightAxis()->Minimum();
  const TRect r = c->ChartRect;
  Drag(*c, Qt::RightButton, r.Left + 100, r.Top + 100, r.Left + 100, r.Top + 140);
  EXPECT_EQ(c->LeftAxis()->Minimum(), lMin);
  EXPECT_NE(c->RightAxis()->Minimum(), rMin);
  const double rMin2 = c->RightAxis()->Minimum();
  Wheel(*c, r.Left + 100, r.Top + 100, -120);
  EXPECT_EQ(c->LeftAxis()->Minimum(), lMin);
  EXPECT_NE(c->RightAxis()->Minimum(), rMin2);
}

TEST_F(ChartMouseTest, WheelScrollsVerticalAxesByThreePercentAndLeavesDepth) {
  TChart *c = Plain();
  const double min = c->LeftAxis()->Minimum(), max = c->LeftAxis()->Maximum();
  const double step = (max - min) * 0.03;
  const double bMin = c->BottomAxis()->Minimum();
  const double dMin = c->DepthAxis()->Minimum(), dMax = c->DepthAxis()->Maximum();
  const TRect r = c->ChartRect;
  Wheel(*c, r.Left + 50, r.Top + 50, -120);
  EXPECT_DOUBLE_EQ(c->LeftAxis()->Minimum(), min + step);
  EXPECT_DOUBLE_EQ(c->LeftAxis()->Maximum(), max + step);
  EXPECT_FALSE(c->LeftAxis()->Automatic());
  // Half notches from a touch pad add up to one notch up.
  Wheel(*c, r.Left + 50, r.Top + 50, 60);
  EXPECT_DOUBLE_EQ(c->LeftAxis()->Minimum(), min + step);
  Wheel(*c, r.Left + 50, r.Top + 50, 60);
  EXPECT_NEAR(c->LeftAxis()->Minimum(), min, 1e-9);
  EXPECT_EQ(c->BottomAxis()->Minimum(), bMin);
  EXPECT_EQ(c->DepthAxis()->Minimum(), dMin);
  EXPECT_EQ(c->DepthAxis()->Maximum(), dMax);
  // An axis spanning nearly all doubles stays finite: its shift would
  // overflow, so it stays where it is.
  c->LeftAxis()->SetMinMax(-1e308, 1e308);
  Wheel(*c, r.Left + 50, r.Top + 50, -120);
  Drag(*c, Qt::RightButton, r.Left + 50, r.Top + 50, r.Left + 50, r.Top + 90);
  EXPECT_EQ(c->LeftAxis()->Minimum(), -1e308);
  EXPECT_EQ(c->LeftAxis()->Maximum(), 1e308);
  // Horizontal panning only: the wheel does nothing.
  c->SetAllowPanning(TPanningMode::pmHorizontal);
  const double now = c->LeftAxis()->Minimum();
  Wheel(*c, r.Left + 50, r.Top + 50, -120);
  EXPECT_EQ(c->LeftAxis()->Minimum(), now);
}

TEST_F(ChartMouseTest, ScrollingAnEmptyChartLeavesItsAxesToThePointsAddedLater) {
  for (bool view3D : {false, true}) {
    SCOPED_TRACE(view3D);
    TChart *c = ShownChart();
    c->SetView3D(view3D);
    Relayout(*c);
    const TRect r = c->ChartRect;
    Wheel(*c, r.Left + 50, r.Top + 50, -120);
    Wheel(*c, r.Left + 50, r.Top + 50, 240);
    Drag(*c, Qt::RightButton, r.Left + 50, r.Top + 50, r.Left + 90, r.Top + 120);
    for (TChartAxis *axis : {c->LeftAxis(), c->BottomAxis()})
      EXPECT_TRUE(axis->Automatic());
    AddLineOfDots(*c);
    Relayout(*c);
    EXPECT_EQ(c->LeftAxis()->Minimum(), 0);
    EXPECT_EQ(c->LeftAxis()->Maximum(), 10);
    EXPECT_EQ(c->BottomAxis()->Minimum(), 0);
    EXPECT_EQ(c->BottomAxis()->Maximum(), 10);
    // With points the wheel scrolls again.
    Wheel(*c, r.Left + 50, r.Top + 50, -120);
    EXPECT_DOUBLE_EQ(c->LeftAxis()->Minimum(), 0.3);
    EXPECT_FALSE(c->LeftAxis()->Automatic());
  }
}

// Records the tools' mouse and wheel events; cancels mouse-downs when told.
class TRecordingTool : public TUloCustomTool {
public:
  std::string_view ClassName() const override { return "TRecordingTool"; }
  void ChartMouseEvent(int kind, forms::TMouseButton, forms::TShiftState, int, int) override {
    Log->push_back(Name + ":mouse" + std::to_string(kind));
    if (kind == UloToolMouseDown && CancelDown) ParentChart()->CancelMouse = true;
  }
  void MouseWheelEvent(int kind, int, int) override { Log->push_back(Name + ":wheel" + std::to_string(kind)); }
  std::vector<std::string> *Log = nullptr;
  std::string Name;
  bool CancelDown = false;
};

TEST_F(ChartMouseTest, ToolsHearTheMouseInOrderAndMayStopTheZoom) {
  TChart *c = Plain();
  std::vector<std::string> log;
  auto *first = c->Tools().Add(std::make_unique<TRecordingTool>());
  auto *second = c->Tools().Add(std::make_unique<TRecordingTool>());
  first->Log = second->Log = &log;
  first->Name = "a";
  second->Name = "b";
  const TRect r = c->ChartRect;
  Wheel(*c, r.Left + 50, r.Top + 50, -120);
  // The direction's handler first, then the general wheel event.
  EXPECT_EQ(log, (std::vector<std::string>{"a:wheel0", "b:wheel0", "a:wheel1", "b:wheel1"}));
  log.clear();
  first->CancelDown = true;
  Press(*c, Qt::LeftButton, r.Left + 50, r.Top + 50);
  EXPECT_EQ(log, (std::vector<std::string>{"a:mouse0"}));
  EXPECT_FALSE(c->Zoom().Active);
  Release(*c, Qt::LeftButton, r.Left + 50, r.Top + 50);
  // The tools hear the release after the chart's own handling.
  EXPECT_EQ(log.back(), "b:mouse2");
}

TEST_F(ChartMouseTest, ClickEventsCountAsHandledUnlessTheyClearCancelMouse) {
  TChart *c = Plain();
  std::vector<std::string> log;
  c->OnClickSeries = [&](TCustomChart *, TChartSeries *, int index, forms::TMouseButton, forms::TShiftState, int, int) {
    log.push_back("series " + std::to_string(index));
  };
  c->OnClickBackground = [&](TCustomChart *, forms::TMouseButton, forms::TShiftState, int, int) {
    log.push_back("background");
  };
  const int x = series->PixelX(4), y = series->PixelY(4);
  Press(*c, Qt::LeftButton, x, y);
  Release(*c, Qt::LeftButton, x, y);
  EXPECT_EQ(log, (std::vector<std::string>{"series 4"}));
  EXPECT_FALSE(c->Zoom().Active);

  // A handler that clears CancelMouse leaves the click to the zoom.
  log.clear();
  c->OnClickSeries = [&](TCustomChart *sender, TChartSeries *, int, forms::TMouseButton, forms::TShiftState, int, int) {
    log.push_back("series");
    sender->CancelMouse = false;
  };
  Press(*c, Qt::LeftButton, x, y);
  EXPECT_TRUE(c->Zoom().Active);
  Release(*c, Qt::LeftButton, x, y);
  EXPECT_EQ(log, (std::vector<std::string>{"series"}));

  // Outside every part only the background hears of it.
  log.clear();
  Press(*c, Qt::LeftButton, 2, 2);
  Release(*c, Qt::LeftButton, 2, 2);
  EXPECT_EQ(log, (std::vector<std::string>{"background"}));
  // Without an active series the chart rectangle is no part: the background
  // hears of the click and no zoom starts.
  log.clear();
  series->SetActive(false);
  const TRect r = c->ChartRect;
  Press(*c, Qt::LeftButton, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
  EXPECT_EQ(log, (std::vector<std::string>{"background"}));
  EXPECT_FALSE(c->Zoom().Active);
  Release(*c, Qt::LeftButton, (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
}

TEST_F(ChartMouseTest, LegendCheckBoxesToggleOrPickTheSeries) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  for (int i = 0; i < 3; ++i)
    AddLineOfDots(*c, 5);
  c->Legend().SetCheckBoxes(true);
  c->Invalidate();
  Settle();
  gdi::Bitmap b(c->Width(), c->Height());
  DrawInto(*c, b);
  auto rowPoint = [&](int row) { return QPoint(c->Legend().ShapeBounds.Left + 8, c->Legend().Items()[row].Top() + 4); };
  QTest::mouseClick(W(*c), Qt::LeftButton, {}, rowPoint(1));
  EXPECT_FALSE(c->GetSeries(1)->Active());
  EXPECT_TRUE(c->GetSeries(0)->Active());
  QTest::mouseClick(W(*c), Qt::LeftButton, {}, rowPoint(1));
  EXPECT_TRUE(c->GetSeries(1)->Active());
  c->Legend().SetCheckBoxesStyle(TCheckBoxesStyle::cbsRadio);
  // Radio style leaves only the first active series active.
  EXPECT_EQ(c->CountActiveSeries(), 1);
  EXPECT_TRUE(c->GetSeries(0)->Active());
  QTest::mouseClick(W(*c), Qt::LeftButton, {}, rowPoint(2));
  EXPECT_TRUE(c->GetSeries(2)->Active());
  EXPECT_EQ(c->CountActiveSeries(), 1);
}

} // namespace
