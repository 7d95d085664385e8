// Series marks: defaults, margins in pixels, items, positions placed by the
// user, the callout offset, hit tests, and the box a mark gets.
#include "series_support.h"

#include "platform/streaming/DefinitionWriter.h"

namespace {

using namespace series_test;

class Marks : public WithUnits {};

TEST_F(Marks, ANewSeriesHasHiddenLabelMarksOnEveryPoint) {
  TChartSeries s;
  TSeriesMarks &m = s.Marks();
  EXPECT_FALSE(m.Visible());
  EXPECT_EQ(m.Style(), TSeriesMarksStyle::smsLabel);
  EXPECT_EQ(m.DrawEvery(), 1);
  EXPECT_EQ(m.Angle(), 0);
  EXPECT_FALSE(m.Clip());
  EXPECT_EQ(m.TextAlign(), TAlignment::taCenter);
  EXPECT_EQ(m.BackColor(), clInfoBk);
  EXPECT_EQ(m.Margins().Left(), 20);
  EXPECT_EQ(m.Margins().Top(), 5);
  EXPECT_EQ(m.Margins().Right(), 20);
  EXPECT_EQ(m.Margins().Bottom(), 5);
  EXPECT_EQ(m.Margins().Units(), TMarginUnits::maPercentFont);
  EXPECT_EQ(m.ExistingCallout(), nullptr);
  EXPECT_EQ(m.Gradient().StartColor(), clSilver);
  EXPECT_EQ(m.Gradient().EndColor(), clWhite);
  EXPECT_EQ(m.Symbol().Shadow().HorizSize(), 1);
  EXPECT_FALSE(m.Symbol().Visible());
}

struct MarginCase {
  TMarginUnits units;
  int width, height, fontHeight;
  int left, top, right, bottom;
};

TEST_F(Marks, MarginsInPixels) {
  const std::vector<MarginCase> cases{
      {TMarginUnits::maPercentFont, 0, 0, 16, 6, 2, 6, 2},
      // 20 * 0.02 * 25 = 10 and 5 * 0.02 * 25 = 2.5, which rounds to even.
      {TMarginUnits::maPercentFont, 0, 0, 25, 10, 2, 10, 2},
      {TMarginUnits::maPercentSize, 50, 30, 16, 10, 2, 10, 2},
      {TMarginUnits::maPixels, 50, 30, 16, 20, 5, 20, 5},
  };
  for (const auto &c : cases) {
    TChartSeries s;
    TMargins &m = s.Marks().Margins();
    m.SetUnits(c.units);
    m.Calculate(c.width, c.height, c.fontHeight);
    EXPECT_EQ(m.PixelLeft(), c.left) << static_cast<int>(c.units) << " " << c.fontHeight;
    EXPECT_EQ(m.PixelTop(), c.top) << static_cast<int>(c.units) << " " << c.fontHeight;
    EXPECT_EQ(m.PixelRight(), c.right);
    EXPECT_EQ(m.PixelBottom(), c.bottom);
    EXPECT_EQ(m.SizeH(), c.left + c.right);
    EXPECT_EQ(m.SizeV(), c.top + c.bottom);
  }
}

TEST_F(Marks, ItemsArePaddedAndMadeOnFirstUse) {
  TChartSeries s;
  TMarksItem &item = s.Marks().Items().Item(10);
  EXPECT_EQ(s.Marks().Items().Count(), 11);
  for (int i = 0; i < 10; ++i)
    EXPECT_EQ(s.Marks().Items().Existing(i), nullptr);
  EXPECT_EQ(&item, s.Marks().Items().Existing(10));
  EXPECT_EQ(item.Color(), clInfoBk);
  EXPECT_THROW(s.Marks().Items().Item(-1), ChartException);
  s.Marks().Clear();
  EXPECT_EQ(s.Marks().Items().Count(), 0);
}

TEST_F(Marks, SettingArrowLengthMakesTheCallout) {
  TChartSeries s;
  EXPECT_EQ(s.Marks().ArrowLength(), 8);
  s.Marks().SetArrowLength(12);
  ASSERT_NE(s.Marks().ExistingCallout(), nullptr);
  EXPECT_EQ(s.Marks().ArrowLength(), 12);
  s.Marks().SetCallout(nullptr);
  EXPECT_EQ(s.Marks().ExistingCallout(), nullptr);
}

TEST_F(Marks, CalloutOffsetMovesTheBoxAndArrowUp) {
  TChartSeries s;
  TSeriesMarkPosition p;
  p.LeftTop = {10, 50};
  p.ArrowFrom = {20, 60};
  p.ArrowTo = {20, 60};
  s.Marks().ApplyCalloutOffset(p);
  EXPECT_EQ(p.LeftTop.Y, 50) << "no callout, no move";
  s.Marks().SetArrowLength(8);
  s.Marks().Callout().SetDistance(3);
  s.Marks().ApplyCalloutOffset(p);
  EXPECT_EQ(p.LeftTop.Y, 39);
  EXPECT_EQ(p.ArrowTo.Y, 49);
  EXPECT_EQ(p.ArrowFrom.Y, 57);
}

TEST_F(Marks, CustomPositionsReplaceComputedOnes) {
  TChartSeries s;
  TSeriesMarks &m = s.Marks();
  TSeriesMarkPosition computed;
  computed.LeftTop = {5, 5};
  computed.ArrowFrom = {9, 9};
  m.SetPosition(3, computed);
  EXPECT_EQ(m.Positions().Count(), 4);
  EXPECT_EQ(m.Positions().Position(3)->LeftTop.X, 5);
  EXPECT_FALSE(m.Positions().ExistCustom());
  TSeriesMarkPosition &custom = m.Positions().Ensure(3);
  custom.Custom = true;
  custom.LeftTop = {100, 100};
  custom.ArrowFrom = {1, 1};
  custom.ArrowFix = true;
  TSeriesMarkPosition again = computed;
  m.SetPosition(3, again);
  EXPECT_EQ(again.LeftTop.X, 100);
  EXPECT_EQ(again.ArrowFrom.X, 9) << "with arrow-fix the arrow starts at the point";
  EXPECT_TRUE(m.Positions().ExistCustom());
}

TEST_F(Marks, ClickedFindsTheHighestIndexAndHonoursDrawEvery) {
  TChartSeries s;
  TSeriesMarks &m = s.Marks();
  auto place = [&](int i, int left, int top) {
    TSeriesMarkPosition &p = m.Positions().Ensure(i);
    p.LeftTop = {left, top};
    p.Width = 20;
    p.Height = 10;
  };
  place(0, 0, 0);
  place(1, 10, 0);
  place(2, 15, 5);
  EXPECT_EQ(m.Clicked(100, 100), -1);
  EXPECT_EQ(m.Clicked(5, 5), 0);
  EXPECT_EQ(m.Clicked(16, 6), 2);
  m.SetDrawEvery(2);
  EXPECT_EQ(m.Clicked(12, 1), 0) << "index 1 has no mark with DrawEvery 2";
  m.SetDrawEvery(0);
  EXPECT_EQ(m.Clicked(12, 1), 1) << "DrawEvery 0 counts as 1";
}

TEST_F(Marks, AssignCopiesSettingsAndItems) {
  TChartSeries a, b;
  a.Marks().SetStyle(TSeriesMarksStyle::smsValue);
  a.Marks().SetDrawEvery(3);
  a.Marks().SetMultiLine(true);
  a.Marks().SetAngle(90);
  a.Marks().Margins().SetLeft(7);
  a.Marks().Items().Item(2).Text() = {"x"};
  a.Marks().SetArrowLength(4);
  b.Marks().Assign(a.Marks());
  EXPECT_EQ(b.Marks().Style(), TSeriesMarksStyle::smsValue);
  EXPECT_EQ(b.Marks().DrawEvery(), 3);
  EXPECT_TRUE(b.Marks().MultiLine());
  EXPECT_EQ(b.Marks().Angle(), 90);
  EXPECT_EQ(b.Marks().Margins().Left(), 7);
  ASSERT_NE(b.Marks().Items().Existing(2), nullptr);
  EXPECT_EQ(b.Marks().Items().Existing(2)->Text(), (std::vector<std::string>{"x"}));
  EXPECT_EQ(b.Marks().ArrowLength(), 4);
}

// ---- the box of a mark, drawn on a panel ------------------------------------------------------

TEST_F(Marks, TheBoxSitsCentredOnThePoint) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
  s->AddPoint(1, "Wg");
  TSeriesMarkPosition p;
  s->Marks().Margins().SetUnits(TMarginUnits::maPixels);
  s->Marks().Margins().SetLeft(3);
  s->Marks().Margins().SetRight(4);
  s->Marks().Margins().SetTop(1);
  s->Marks().Margins().SetBottom(2);
  s->CalcMarkPosition(s->Marks(), "Wg", 100, 80, p);
  TCanvas3D &canvas = panel.Canvas();
  canvas.ApplyFont(s->Marks().Font());
  const int w = canvas.MeasureTextWidth("Wg"), fh = canvas.StandardTextHeight();
  // The frame is visible and one pixel wide: nothing added for it.
  EXPECT_EQ(p.Width, w + 7);
  EXPECT_EQ(p.Height, fh + 3);
  EXPECT_EQ(p.LeftTop.X, 100 - (w + 7) / 2);
  EXPECT_EQ(p.LeftTop.Y, 80 - (fh + 3) + 1);
  EXPECT_EQ(p.ArrowFrom.X, 100);
  EXPECT_EQ(p.ArrowTo.Y, 80);
  s->Marks().Pen().SetVisible(false);
  s->CalcMarkPosition(s->Marks(), "Wg\r\nWg", 100, 80, p);
  EXPECT_EQ(p.Width, w + 8) << "no frame adds one pixel";
  EXPECT_EQ(p.Height, 2 * fh + 4) << "CR LF breaks the line once";
}

} // namespace

namespace {

using namespace series_test;

class MarksDrawn : public WithUnits {};

// Marks of a series drawn by the panel's pipeline: each box stands centred
// on its point with its bottom on the point, in the marks' back colour.
TEST_F(MarksDrawn, BoxesStandOnTheirPoints) {
  TSeriesPanel panel;
  panel.SetBounds(0, 0, 300, 200);
  panel.SetView3D(false);
  auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
  s->AddPointXY(1, 1, "A");
  s->AddPointXY(2, 3, "B");
  s->AddPointXY(3, 2, "C");
  s->Marks().SetVisible(true);
  s->Marks().SetColor(clYellow);
  panel.LeftAxis()->SetMinMax(0, 4);
  panel.BottomAxis()->SetMinMax(0, 4);
  gdi::Bitmap target(300, 200);
  panel.Draw(&target.DC(), TRect{0, 0, 300, 200});
  if (std::getenv("KVEL_SAVE_PNG")) target.SaveToFile("/tmp/series/marks.png");
  for (int i = 0; i < 3; ++i) {
    const TSeriesMarkPosition *p = s->Marks().Positions().Position(i);
    ASSERT_NE(p, nullptr) << i;
    const int x = s->PointPixelX(i), y = s->PointPixelY(i);
    EXPECT_EQ(p->LeftTop.X, x - p->Width / 2);
    EXPECT_EQ(p->LeftTop.Y + p->Height - 1, y);
    // Inside the frame, left of the text: the back colour.
    EXPECT_EQ(target.Pixel(p->LeftTop.X + 2, p->LeftTop.Y + p->Height / 2), clYellow) << i;
    // The frame's corner in the frame pen.
    EXPECT_EQ(target.Pixel(p->LeftTop.X, p->LeftTop.Y), clBlack) << i;
  }
}

} // namespace

namespace {

using namespace series_test;

class MarksStored : public WithUnits {};

TEST_F(MarksStored, ACalloutLengthIsStoredAgainstTheOneItStartedWith) {
  TChartSeries s;
  s.SetName("Series1");
  s.Marks().Callout().InitLength(0);
  const std::string plain = streaming::WriteComponent(s);
  EXPECT_EQ(plain.find("Length"), std::string::npos) << plain;
  EXPECT_EQ(plain.find("Brush"), std::string::npos) << "the callout's black brush is its default\n" << plain;
  s.Marks().SetArrowLength(8);
  EXPECT_NE(streaming::WriteComponent(s).find("Marks.Callout.Length = 8"), std::string::npos);
}

} // namespace
