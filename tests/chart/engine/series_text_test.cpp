// What the base series does when asked to draw: point order, the marks
// loop, mark texts by style, legend row texts, and legend symbols.
#include "series_support.h"

namespace {

using namespace series_test;

class SeriesText : public WithUnits {};

// Notes the marks it is asked to draw.
class TMarkNoteSeries : public TChartSeries {
public:
  std::vector<int> Marked;
  void DrawPointMark(int index, const std::string &, TSeriesMarkPosition &) override { Marked.push_back(index); }
};

struct MarkTextCase {
  TSeriesMarksStyle style;
  bool multiLine;
  int index;
  std::string text;
};

TEST_F(SeriesText, MarkTextByStyle) {
  using S = TSeriesMarksStyle;
  const std::vector<MarkTextCase> cases{
      {S::smsValue, false, 0, "1"},
      {S::smsValue, false, 2, "1,234.5"},
      {S::smsPercent, false, 0, "0.08 %"},
      {S::smsLabel, false, 0, "a"},
      {S::smsLabel, false, 1, "-3"},
      {S::smsLabelPercent, false, 0, "a 0.08 %"},
      {S::smsLabelValue, true, 0, "a\r1"},
      {S::smsPercentTotal, false, 1, "0.24 % of 1,238.5"},
      {S::smsPercentTotal, true, 1, "0.24 %\rof 1,238.5"},
      {S::smsLabelPercentTotal, false, 0, "a 0.08 % of 1,238.5"},
      {S::smsXValue, false, 1, "1"},
      {S::smsSeriesTitle, false, 2, "Ser"},
      {S::smsPointIndex, false, 2, "2"},
      {S::smsPercentRelative, false, 0, "100 %"},
      {S::smsPercentRelative, false, 1, "-300 %"},
  };
  for (const auto &c : cases) {
    TChartSeries s;
    s.SetTitle("Ser");
    s.AddPoint(1, "a");
    s.AddPoint(-3);
    s.AddPoint(1234.5);
    s.Marks().SetStyle(c.style);
    s.Marks().SetMultiLine(c.multiLine);
    EXPECT_EQ(s.BuildMarkText(c.index), c.text) << static_cast<int>(c.style) << " at " << c.index;
  }
}

TEST_F(SeriesText, PercentOfOneAndThreeIsQuarters) {
  TChartSeries s;
  s.AddPoint(1);
  s.AddPoint(3);
  s.Marks().SetStyle(TSeriesMarksStyle::smsPercent);
  EXPECT_EQ(s.BuildMarkText(0), "25 %");
  EXPECT_EQ(s.BuildMarkText(1), "75 %");
  s.Marks().SetStyle(TSeriesMarksStyle::smsPercentRelative);
  EXPECT_EQ(s.BuildMarkText(1), "300 %");
}

TEST_F(SeriesText, PercentRelativeToAZeroFirstValueIsNoFault) {
  TChartSeries s;
  s.AddPoint(0);
  s.AddPoint(4);
  s.AddPoint(0);
  s.Marks().SetStyle(TSeriesMarksStyle::smsPercentRelative);
  EXPECT_EQ(s.BuildMarkText(1), "INF");
  EXPECT_EQ(s.BuildMarkText(2), "NAN");
}

TEST_F(SeriesText, ItemTextLinesAndTheEventHaveTheLastWord) {
  TChartSeries s;
  s.AddPoint(1);
  s.AddPoint(2);
  s.Marks().Items().Item(1).Text() = {"one", "two"};
  EXPECT_EQ(s.BuildMarkText(1), "one\r\ntwo");
  s.OnGetMarkText = [](TChartSeries *, int i, std::string &text) { text += "!" + std::to_string(i); };
  EXPECT_EQ(s.BuildMarkText(0), "1!0");
  EXPECT_EQ(s.BuildMarkText(1), "one\r\ntwo!1");
}

struct LegendCase {
  TLegendTextStyle style;
  std::string label;
  std::string text;
};

TEST_F(SeriesText, LegendRowTexts) {
  using L = TLegendTextStyle;
  const std::string sep = "\x06";
  const std::vector<LegendCase> cases{
      {L::ltsPlain, "a", "a"},
      {L::ltsLeftValue, "a", "5" + sep + "a"},
      {L::ltsLeftValue, "", "5"},
      {L::ltsRightValue, "a", "a" + sep + "5"},
      {L::ltsRightValue, "", "5"},
      {L::ltsLeftPercent, "a", "33.33 %" + sep + "a"},
      {L::ltsRightPercent, "", "33.33 %"},
      {L::ltsValue, "a", "5"},
      {L::ltsPercent, "a", "33.33 %"},
      {L::ltsXAndValue, "a", "0" + sep + "5"},
      {L::ltsXAndPercent, "a", "0" + sep + "33.33 %"},
      {L::ltsXValue, "a", "0"},
  };
  for (const auto &c : cases) {
    TChartSeries s;
    s.AddPoint(5, c.label);
    s.AddPoint(-10);
    const std::string got = s.LegendRowText(0, c.style);
    EXPECT_EQ(got, c.text) << static_cast<int>(c.style) << " '" << c.label << "'";
  }
}

TEST_F(SeriesText, LegendValuesOfADateListAreDates) {
  TChartSeries s;
  s.YValues()->SetDateTime(true);
  s.AddPoint(36526); // 1 January 2000
  EXPECT_EQ(s.LegendRowText(0, TLegendTextStyle::ltsValue), "01.01.2000");
  s.Marks().SetStyle(TSeriesMarksStyle::smsValue);
  EXPECT_EQ(s.BuildMarkText(0), "36,526") << "marks keep the value format";
}

// ---- point and marks loops ----------------------------------------------------------------------

TEST_F(SeriesText, PointsAreDrawnAgainstAnInvertedAxis) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<TNoteSeries>());
  for (int i = 0; i < 4; ++i)
    s->AddPoint(i);
  s->SetVisibleRange(1, 3);
  s->DrawVisiblePoints();
  EXPECT_EQ(s->Drawn, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(s->FirstDrawIndex(), 1);
  s->GetHorizAxis()->SetInverted(true);
  s->Drawn.clear();
  s->DrawVisiblePoints();
  EXPECT_EQ(s->Drawn, (std::vector<int>{3, 2, 1}));
  EXPECT_EQ(s->FirstDrawIndex(), 3);
  EXPECT_TRUE(s->DrawInListOrder());
}

TEST_F(SeriesText, MarksEveryThirdPointCountFromIndexZero) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<TMarkNoteSeries>());
  for (int i = 0; i < 10; ++i)
    s->AddPoint(i);
  s->AddNullPoint(); // 10
  s->AddPoint(11);   // 11
  s->OnGetMarkText = [](TChartSeries *, int i, std::string &t) {
    if (i == 6) t.clear();
  };
  s->Marks().SetVisible(true);
  s->Marks().SetDrawEvery(3);
  s->SetVisibleRange(2, 11);
  s->DrawPointMarks();
  EXPECT_EQ(s->Marked, (std::vector<int>{3, 9})) << "6 has no text, 0 is not visible, 10 isn't either";
  s->Marked.clear();
  s->Marks().SetDrawEvery(0);
  s->Marks().Items().Item(4).SetVisible(false);
  s->SetVisibleRange(3, 5);
  s->DrawPointMarks();
  EXPECT_EQ(s->Marked, (std::vector<int>{3, 5})) << "DrawEvery 0 counts as 1; a hidden item has no mark";
}

TEST_F(SeriesText, VisibleRangeFollowsTheAxisLimits) {
  struct Case {
    std::vector<double> x;
    double low, high;
    bool between;
    int first, last;
  };
  const std::vector<Case> cases{
      {{0, 1, 2, 3, 4}, 1, 3, false, 1, 3},    {{0, 1, 2, 3, 4}, 0.5, 2.5, false, 1, 2},
      {{0, 1, 2, 3, 4}, 0.5, 2.5, true, 1, 3}, {{0, 1, 2}, 5, 9, false, -1, -1},
      {{0, 1, 2}, -5, 9, false, 0, 2},
  };
  for (const auto &c : cases) {
    TSeriesPanel panel;
    panel.SetBounds(0, 0, 400, 300);
    auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
    for (double x : c.x)
      s->AddPointXY(x, 1);
    s->SetDrawBetweenPoints(c.between);
    panel.BottomAxis()->SetMinMax(c.low, c.high);
    gdi::Bitmap target(400, 300);
    panel.Draw(&target.DC(), TRect{0, 0, 400, 300});
    s->CalcVisibleRange();
    EXPECT_EQ(s->FirstValueIndex(), c.first) << c.low << ".." << c.high;
    EXPECT_EQ(s->LastValueIndex(), c.last) << c.low << ".." << c.high;
  }
}

} // namespace

namespace {

using namespace series_test;

class LegendSymbol : public WithUnits {};

// Draws the symbol of Index into a fresh white image through the panel's
// canvas and tells how many pixels took Colour.
int SymbolPixels(TSeriesPanel &panel, TChartSeries &s, int index, TColor colour) {
  gdi::Bitmap image(40, 40);
  TCanvas3D &canvas = panel.Canvas();
  const TRect all{0, 0, 40, 40};
  canvas.SetBuffered(false);
  canvas.PrepareTarget(&image.DC(), &panel.View3DOptions(), all, false);
  canvas.ResetDefaults();
  s.DrawLegendSymbol(index, TRect{10, 10, 20, 18});
  int n = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      n += image.Pixel(x, y) == colour;
  return n;
}

TEST_F(LegendSymbol, RowsDrawInTheirColourAndNullRowsDrawNothing) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
  s->SetSeriesColor(clBlue);
  s->AddPoint(1, "", clRed);
  s->AddNullPoint();
  s->Pen().SetColor(clGreen);
  panel.SetAutoRepaint(true);
  EXPECT_GT(SymbolPixels(panel, *s, -1, clBlue), 20);
  EXPECT_GT(SymbolPixels(panel, *s, 0, clRed), 20);
  EXPECT_GT(SymbolPixels(panel, *s, 0, clGreen), 0) << "the frame is the series pen";
  EXPECT_EQ(SymbolPixels(panel, *s, 1, clGreen), 0) << "a null row draws nothing";
  s->SetColorEachPoint(true);
  EXPECT_EQ(SymbolPixels(panel, *s, -1, clBlue), 0) << "the series row is empty with a colour per point";
  EXPECT_TRUE(panel.AutoRepaint()) << "AutoRepaint is back after drawing";
}

} // namespace
