// Which labels an axis draws, in which order, the space it reserves, and
// the pixels of its line, ticks and grid.
#include <cmath>
#include <limits>

#include "axis_support.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProcs.h"
#include "platform/rtl/DateTime.h"

using namespace axis_test;

namespace {

class AxisDraw : public AxisFixture {
protected:
  // The bottom axis over Min..Max with value labels, laid out and drawn.
  TChartAxis &Bottom(double min, double max) {
    TChartAxis &axis = *panel->BottomAxis();
    axis.SetLabelStyle(TAxisLabelStyle::talValue);
    axis.SetMinMax(min, max);
    return axis;
  }
  void Draw(TChartAxis &axis) {
    Layout(axis);
    for (int i = 0; i < panel->SeriesCount(); ++i)
      panel->GetSeries(i)->CalcVisibleRange();
    TRect r = panel->ChartRect;
    axis.CalcRect(r, false);
    axis.DrawAxis(true);
  }
};

TEST_F(AxisDraw, LabelChoiceTable) {
  const struct {
    const char *name;
    double min, max, increment;
    int separation;
    bool onAxis;
    std::vector<double> expected;
  } cases[] = {
      {"labels off the ends are left out", 0, 100, 25, 10, false, {75, 50, 25}},
      {"negative maximum steps down first", -5, -0.5, 1, 10, true, {-1, -2, -3, -4, -5}},
      {"a step that makes 10000 labels draws none", 0, 1e6, 1e-3, 0, true, {}},
      {"round first label", 3, 47, 10, 10, true, {40, 30, 20, 10}},
      {"equal texts: one label", 1, 1.0001, 0.00001, 0, true, {1.0001}},
  };
  for (const auto &c : cases) {
    TChartAxis &axis = Bottom(c.min, c.max);
    axis.SetIncrement(c.increment);
    axis.SetLabelsSeparation(c.separation);
    axis.SetLabelsOnAxis(c.onAxis);
    Draw(axis);
    const std::vector<double> got = LabelValues(axis);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i)
      EXPECT_NEAR(got[i], c.expected[i], 1e-9) << c.name << " " << i;
  }
}

TEST_F(AxisDraw, NonFiniteRangesDrawNothingAndEnd) {
  for (auto [min, max] : {std::pair{0.0, std::numeric_limits<double>::infinity()}, {std::nan(""), 1.0}}) {
    TChartAxis &axis = Bottom(0, 1);
    axis.SetMinimum(min);
    axis.SetMaximum(max);
    Draw(axis);
    EXPECT_EQ(axis.Items().Count(), 0);
  }
}

TEST_F(AxisDraw, LogarithmicLabelsArePowersUpward) {
  TChartAxis &axis = Bottom(1, 1000);
  axis.SetLogarithmic(true);
  Draw(axis);
  EXPECT_EQ(LabelValues(axis), (std::vector<double>{1, 10, 100, 1000}));
  axis.SetMinMax(2, 5); // within one power: a fixed step, as wide as the labels need
  Draw(axis);
  EXPECT_EQ(LabelValues(axis), (std::vector<double>{2, 3, 4, 5}));
}

TEST_F(AxisDraw, MonthStepsLandOnTheFirstDay) {
  TPlainSeries &s = AddSeries({});
  s.XValues()->SetDateTime(true);
  s.AddPointXY(rtl::EncodeDate(2020, 1, 15), 1);
  s.AddPointXY(rtl::EncodeDate(2020, 5, 20), 2);
  TChartAxis &axis = *panel->BottomAxis();
  axis.SetIncrement(UloDateTimeSteps[21]);
  Draw(axis);
  const std::vector<double> got = LabelValues(axis);
  ASSERT_EQ(got.size(), 4u);
  int expectedMonth = 5;
  for (double v : got) {
    int y, m, d;
    rtl::DecodeDate(v, y, m, d);
    EXPECT_EQ(d, 1);
    EXPECT_EQ(m, expectedMonth--);
  }
  EXPECT_EQ(LabelTexts(axis).front(), "01.05.2020");
  // A day's step on an axis of some hours of that day: its midnight lies
  // before the axis and is not drawn.
  s.ClearPoints();
  s.AddPointXY(rtl::EncodeDate(2020, 1, 15) + 8 / 24.0, 1);
  s.AddPointXY(rtl::EncodeDate(2020, 1, 15) + 17 / 24.0, 2);
  axis.SetIncrement(1);
  Draw(axis);
  EXPECT_TRUE(LabelValues(axis).empty());
}

TEST_F(AxisDraw, EventLabels) {
  TChartAxis &axis = Bottom(0, 100);
  axis.SetIncrement(10);
  panel->OnGetNextAxisLabel = [](TChartAxis *, int, double &, bool &) {};
  Draw(axis);
  EXPECT_EQ(LabelValues(axis).size(), 11u) << "stop at once keeps the default labels";
  panel->OnGetNextAxisLabel = [](TChartAxis *, int index, double &value, bool &stop) {
    const double values[] = {30, 20, 200, 10};
    stop = false;
    value = values[index];
  };
  Draw(axis);
  EXPECT_EQ(LabelValues(axis), (std::vector<double>{30, 20})) << "a value outside ends the sequence";
  int asked = 0;
  panel->OnGetNextAxisLabel = [&](TChartAxis *, int, double &value, bool &stop) {
    ++asked;
    stop = false;
    value = 50;
  };
  Draw(axis);
  EXPECT_EQ(asked, 2001);
}

TEST_F(AxisDraw, LabelTexts) {
  TChartAxis &axis = Bottom(0, 1);
  EXPECT_EQ(axis.LabelValue(1234.5), "1,234.5");
  EXPECT_EQ(axis.LabelValue(-0.0004), "0");
  axis.SetAxisValuesFormat("0.0 'm'");
  axis.SetLabelsMultiLine(true);
  EXPECT_EQ(axis.LabelValue(2), "2.0\rm");
  panel->OnGetAxisLabel = [](TChartAxis *, TChartSeries *series, int index, std::string &text) {
    EXPECT_EQ(series, nullptr);
    EXPECT_EQ(index, -1);
    text = "<" + text + ">";
  };
  axis.SetLabelsMultiLine(false);
  EXPECT_EQ(axis.LabelValue(2), "<2.0 m>");
  axis.IsDateTime = true;
  EXPECT_EQ(axis.LabelValue(-1), "<>");
}

TEST_F(AxisDraw, TextLabelsDropThoseThatOverlap) {
  TPlainSeries &s = AddSeries({});
  // Points one "W" apart: with separation each label needs more room.
  for (int i = 0; i <= 10; ++i)
    s.AddPointXY(i, i, "W");
  TChartAxis &axis = *panel->BottomAxis();
  axis.SetMinMax(0, 100);
  axis.SetLabelsSeparation(0);
  Draw(axis);
  EXPECT_EQ(axis.CalcLabelStyle(), TAxisLabelStyle::talText);
  EXPECT_EQ(LabelValues(axis).size(), 11u) << "no separation draws every label";
  axis.SetMinMax(0, 10);
  axis.SetLabelsSeparation(10);
  Draw(axis);
  EXPECT_EQ(LabelValues(axis).size(), 11u) << "40 pixels apart all fit";
  axis.SetMinMax(0, 200);
  Draw(axis);
  const std::vector<double> kept = LabelValues(axis);
  EXPECT_LT(kept.size(), 11u);
  EXPECT_EQ(kept.front(), 0);
}

TEST_F(AxisDraw, CustomLabelsReplaceTheAutomaticOnes) {
  TChartAxis &axis = Bottom(0, 100);
  axis.Items().Add(25, "quarter");
  axis.Items().Add(150, "outside");
  EXPECT_FALSE(axis.Items().Automatic());
  Draw(axis);
  ASSERT_EQ(axis.TickPositions().size(), 1u);
  EXPECT_EQ(axis.TickPositions()[0], 150);
  EXPECT_EQ(axis.Items().Count(), 2) << "custom items are not recorded over";
  axis.Items().Clear();
  Draw(axis);
  EXPECT_TRUE(axis.TickPositions().empty()) << "after Clear automatic labels stay off";
}

TEST_F(AxisDraw, ReservedSpace) {
  TChartAxis &bottom = *panel->BottomAxis();
  bottom.SetMinMax(0, 100);
  bottom.SetLabelStyle(TAxisLabelStyle::talValue);
  Layout(bottom);
  panel->Canvas().ApplyFont(bottom.LabelsFont());
  const int fh = panel->Canvas().StandardTextHeight();
  EXPECT_EQ(bottom.SizeTickAxis(), 2 + 1 + 4);
  TRect r = panel->ChartRect;
  bottom.CalcRect(r, true);
  EXPECT_EQ(r.Bottom, 320 - fh - 7);
  EXPECT_EQ(bottom.PosLabels, 320 - fh);

  bottom.Title().SetCaption("Time");
  bottom.ResetLabelMeasures();
  r = panel->ChartRect;
  panel->WallSize = 5;
  bottom.CalcRect(r, true);
  panel->Canvas().ApplyFont(bottom.Title().Font());
  const int th = panel->Canvas().StandardTextHeight();
  EXPECT_EQ(bottom.PosTitle, 320 - th);
  EXPECT_EQ(r.Bottom, 320 - th - fh - 5 - 7);

  TChartAxis &left = *panel->LeftAxis();
  left.SetMinMax(0, 100);
  left.SetLabelStyle(TAxisLabelStyle::talValue);
  left.SetIncrement(50);
  left.SetLabelsAngle(0);
  Layout(left);
  r = panel->ChartRect;
  left.CalcRect(r, true);
  panel->Canvas().ApplyFont(left.LabelsFont());
  EXPECT_EQ(left.MaxLabelsWidth(), panel->Canvas().MeasureTextWidth("100"));
  left.SetLabelsSize(33);
  EXPECT_EQ(left.MaxLabelsWidth(), 33);
  left.SetLabelsAlternate(true);
  left.SetLabelsSize(0);
  left.ResetLabelMeasures();
  EXPECT_EQ(left.MaxLabelsWidth(), 2 * panel->Canvas().MeasureTextWidth("100"));
}

TEST_F(AxisDraw, PositionsWithoutInflate) {
  TChartAxis &axis = *panel->LeftAxis();
  axis.SetLabelsSize(20);
  TRect r = panel->ChartRect;
  axis.CalcRect(r, false);
  EXPECT_EQ(axis.PosAxis, 50);
  EXPECT_EQ(axis.PosLabels, 50 - 7);
  EXPECT_EQ(axis.PosTitle, 50 - 7 - 20);
  axis.SetPositionPercent(10); // of the width, to the right
  EXPECT_EQ(axis.ApplyPosition(50, r), 90);
  axis.SetPositionUnits(TUloUnits::muPixels);
  EXPECT_EQ(axis.ApplyPosition(50, r), 60);
  TChartAxis &top = *panel->TopAxis();
  top.SetPositionPercent(10); // of the height, down
  EXPECT_EQ(top.ApplyPosition(20, r), 50);
}

// ---- pixels ------------------------------------------------------------------------------

constexpr TColor kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF;

TEST_F(AxisDraw, LineTicksGridAndInnerTicksInThatOrder) {
  TChartAxis &axis = Bottom(0, 100);
  axis.SetIncrement(50);
  axis.SetLabels(false);
  axis.SetTickOnLabelsOnly(false);
  axis.Axis().SetColor(kBlue);
  axis.Ticks().SetColor(kYellow);
  axis.Ticks().SetWidth(1);
  axis.Grid().SetColor(kRed);
  axis.Grid().SetStyle(TPenStyle::psSolid);
  axis.TicksInner().SetColor(kGreen);
  axis.SetTickInnerLength(6);
  axis.MinorTicks().SetVisible(false);
  Draw(axis);
  ASSERT_EQ(axis.TickPositions(), (std::vector<int>{450, 250, 50}));
  const gdi::Bitmap &img = *image;
  // The grid runs only strictly inside the axis: at 250, not at the ends.
  EXPECT_EQ(img.Pixel(250, 100), kRed);
  EXPECT_NE(img.Pixel(50, 100), kRed);
  // Inner ticks come after the grid and cover it near the axis line.
  EXPECT_EQ(img.Pixel(250, 316), kGreen);
  // Ticks start one pixel outside the line and run 4 pixels down.
  EXPECT_EQ(img.Pixel(250, 323), kYellow);
  EXPECT_NE(img.Pixel(250, 327), kYellow);
  // The axis line, two pixels wide.
  EXPECT_EQ(img.Pixel(150, 320), kBlue);
}

// Notes the pen colour of every line and each text, in drawing order.
class TOrderCanvas : public TUloCanvas3D {
public:
  std::vector<std::string> log;
  void LineTo(int x, int y) override {
    Note(std::to_string(Pen().Color()));
    TUloCanvas3D::LineTo(x, y);
  }
  void TextOut(int x, int y, std::string_view text) override {
    Note("text");
    TUloCanvas3D::TextOut(x, y, text);
  }

private:
  void Note(const std::string &s) {
    if (log.empty() || log.back() != s) log.push_back(s);
  }
};

TEST_F(AxisDraw, DrawingOrderThroughARecordingCanvas) {
  auto recorder = std::make_unique<TOrderCanvas>();
  TOrderCanvas *rec = recorder.get();
  panel->ReplaceCanvas(std::move(recorder));
  panel->SetView3D(false);
  Bind(panel->ChartRect);
  TChartAxis &axis = Bottom(0, 100);
  axis.SetIncrement(50);
  axis.Title().SetCaption("T");
  axis.Axis().SetColor(1);
  axis.Ticks().SetColor(2);
  axis.Grid().SetColor(3);
  axis.TicksInner().SetColor(4);
  axis.SetTickInnerLength(3);
  axis.MinorTicks().SetColor(5);
  axis.MinorGrid().SetColor(6);
  axis.MinorGrid().SetVisible(true);
  Draw(axis);
  EXPECT_EQ(rec->log, (std::vector<std::string>{"text", "1", "2", "3", "4", "5", "6"}))
      << "title and labels, line, ticks, grid, inner ticks, minor ticks, minor grid";
}

// Notes every text drawn.
class TTextCanvas : public TUloCanvas3D {
public:
  std::vector<std::string> texts;
  void TextOut(int x, int y, std::string_view text) override {
    texts.emplace_back(text);
    TUloCanvas3D::TextOut(x, y, text);
  }
};

TEST_F(AxisDraw, ExponentLabelsRaiseTheExponent) {
  auto recorder = std::make_unique<TTextCanvas>();
  TTextCanvas *rec = recorder.get();
  panel->ReplaceCanvas(std::move(recorder));
  panel->SetView3D(false);
  Bind(panel->ChartRect);
  TChartAxis &axis = Bottom(0, 2000);
  axis.SetIncrement(1000);
  axis.SetAxisValuesFormat(UloMsgDefScientificFormat);
  axis.SetLabelsExponent(true);
  Draw(axis);
  EXPECT_EQ(rec->texts, (std::vector<std::string>{"2.0 x10 ", "3", "1.0 x10 ", "3", ".0 x10 ", "0"}));
  axis.Title().SetCaption("1E5 volts");
  rec->texts.clear();
  Draw(axis);
  ASSERT_FALSE(rec->texts.empty());
  EXPECT_EQ(rec->texts.front(), "1E5 volts") << "titles never raise exponents";
}

TEST_F(AxisDraw, ClickedBetweenTheLineAndTheLabels) {
  panel->SetView3D(false);
  TChartAxis &axis = Bottom(0, 100);
  Draw(axis);
  ASSERT_GT(axis.PosLabels, axis.PosAxis);
  EXPECT_TRUE(axis.Clicked(250, axis.PosAxis + 1));
  EXPECT_FALSE(axis.Clicked(250, axis.PosLabels + 30));
  EXPECT_FALSE(axis.Clicked(10, axis.PosAxis + 1)) << "beyond the axis' start";
  axis.SetVisible(false);
  EXPECT_FALSE(axis.Clicked(250, axis.PosAxis + 1));
}

TEST_F(AxisDraw, GridEveryOtherAndCentred) {
  TChartAxis &axis = Bottom(0, 100);
  axis.SetIncrement(10);
  axis.SetLabels(false);
  axis.SetTickOnLabelsOnly(false);
  axis.Grid().SetColor(kRed);
  axis.Grid().SetStyle(TPenStyle::psSolid);
  axis.Grid().SetDrawEvery(2);
  Draw(axis);
  // Ticks from 100 down: index 0 is 450, index 2 is 370.
  EXPECT_EQ(image->Pixel(370, 100), kRed);
  EXPECT_NE(image->Pixel(410, 100), kRed);
  axis.Grid().SetCentered(true);
  axis.Grid().SetColor(kGreen);
  Draw(axis);
  EXPECT_EQ(image->Pixel(390, 100), kGreen); // between ticks 1 and 2
  EXPECT_NE(image->Pixel(430, 100), kGreen);
}

TEST_F(AxisDraw, GridBandsHearTheGridLinesFirst) {
  TChartAxis &axis = Bottom(0, 100);
  axis.SetIncrement(25);
  axis.Grid().SetDrawEvery(2);
  std::vector<int> heard;
  axis.GridBandCallback = [&](TChartAxis &, std::span<const int> lines) { heard.assign(lines.begin(), lines.end()); };
  Draw(axis);
  EXPECT_EQ(heard, (std::vector<int>{250})) << "ends excluded, every other tick";
  axis.Grid().SetVisible(false);
  heard.clear();
  Draw(axis);
  EXPECT_TRUE(heard.empty());
}

TEST_F(AxisDraw, ClearRepaintsEvenWhenEmpty) {
  int repaints = 0;
  struct Counting : TAxisTestPanel {
    int *count;
    explicit Counting(int *c) : count(c) {}
    void Invalidate() override { ++*count; }
  } counting(&repaints);
  TChartAxis &axis = *counting.BottomAxis();
  repaints = 0;
  axis.Items().Clear();
  EXPECT_EQ(repaints, 1);
  axis.Grid().SetDrawEvery(1);
  EXPECT_EQ(repaints, 1) << "an unchanged setting does not repaint";
  axis.Grid().SetDrawEvery(2);
  EXPECT_EQ(repaints, 2);
}

} // namespace
