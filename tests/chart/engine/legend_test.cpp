// The legend: what it lists, where each alignment puts it and how much of
// the chart it takes, columns and rows with many series, rows under the
// mouse, inverted order, check boxes, and a legend of many values that
// formats only what it shows.
#include "chart_support.h"

#include "chart/foundation/TestSurface.h"
#include "chart/foundation/UloConst.h"
#include "platform/rtl/Numbers.h"

#include <vector>

namespace {

using namespace chart_test;

class LegendTest : public WithChartUnits {
protected:
  // A 2D chart without axes (so only the legend moves the chart rectangle)
  // with Count series of a few points.
  TChart *WithSeries(int count, int points = 4) {
    TChart *c = ShownChart();
    c->SetView3D(false);
    c->SetAxisVisible(false);
    for (int i = 0; i < count; ++i) {
      TDotSeries *s = AddLineOfDots(*c, points);
      s->SetTitle("Series " + std::to_string(i));
    }
    return c;
  }
  static void Paint(TChart &c) {
    gdi::Bitmap b(c.Width(), c.Height());
    DrawInto(c, b);
  }
};

TEST_F(LegendTest, ResolvedStyleFollowsActiveSeriesAndCheckBoxes) {
  struct Case {
    int series;
    bool checkBoxes;
    TLegendStyle expected;
  };
  const std::vector<Case> cases = {
      {0, false, TLegendStyle::lsValues}, {1, false, TLegendStyle::lsValues}, {2, false, TLegendStyle::lsSeries},
      {1, true, TLegendStyle::lsSeries},  {0, true, TLegendStyle::lsSeries},
  };
  for (const Case &k : cases) {
    TChart c;
    for (int i = 0; i < k.series; ++i)
      AddLineOfDots(c, 3);
    c.Legend().SetCheckBoxes(k.checkBoxes);
    EXPECT_EQ(c.Legend().CalcLegendStyle(), k.expected) << k.series << " series, boxes " << k.checkBoxes;
    EXPECT_EQ(c.Legend().HasCheckBoxes(), k.checkBoxes) << k.series;
  }
  TChart c;
  c.Legend().SetLegendStyle(TLegendStyle::lsLastValues);
  EXPECT_EQ(c.Legend().CalcLegendStyle(), TLegendStyle::lsLastValues);
}

TEST_F(LegendTest, EveryAlignmentSitsOnItsSideAndTakesItsSpace) {
  struct Case {
    TLegendAlignment alignment;
    const char *name;
  };
  for (const Case &k : {Case{TLegendAlignment::laLeft, "left"}, Case{TLegendAlignment::laRight, "right"},
                        Case{TLegendAlignment::laTop, "top"}, Case{TLegendAlignment::laBottom, "bottom"}}) {
    TChart *c = WithSeries(3);
    c->Legend().SetVisible(false);
    Paint(*c);
    const TRect plain = c->ChartRect;
    const int w = plain.Right - plain.Left, h = plain.Bottom - plain.Top;
    c->Legend().SetVisible(true);
    c->Legend().SetAlignment(k.alignment);
    Paint(*c);
    const TRect box = c->Legend().ShapeBounds, r = c->ChartRect;
    EXPECT_GE(box.Left, 0) << k.name;
    EXPECT_GE(box.Top, 0) << k.name;
    EXPECT_LE(box.Right, c->Width()) << k.name;
    EXPECT_LE(box.Bottom, c->Height()) << k.name;
    EXPECT_EQ(c->Legend().LastValue(), 2) << k.name;
    // Rows, their spacing, and what the symbol's 3-pixel shadow adds.
    const TChartLegend &l = c->Legend();
    const int ih = l.ItemHeight();
    EXPECT_EQ(box.Bottom - box.Top, ih * l.Rows() + 2 + 2 * rtl::RoundPixel(ih * 0.1) + std::max(0, 3 - ih / 6))
        << k.name;
    switch (k.alignment) {
    case TLegendAlignment::laLeft:
      EXPECT_EQ(r.Left, box.Right + 3 * w / 100) << k.name;
      // One pixel off the chart's edge beyond the one-pixel frame.
      EXPECT_EQ(box.Left, plain.Left + 2) << k.name;
      break;
    case TLegendAlignment::laRight:
      EXPECT_EQ(r.Right, box.Left - 3 * w / 100) << k.name;
      EXPECT_EQ(box.Right, plain.Right - c->Legend().Shadow().HorizSize() - 1 - 1) << k.name;
      break;
    case TLegendAlignment::laTop:
      EXPECT_EQ(r.Top, box.Bottom + 4 * h / 100) << k.name;
      EXPECT_EQ(c->Legend().Rows(), 1) << k.name;
      EXPECT_EQ(c->Legend().Columns(), 3) << k.name;
      break;
    case TLegendAlignment::laBottom:
      EXPECT_EQ(r.Bottom, box.Top - 4 * h / 100) << k.name;
      break;
    }
  }
}

TEST_F(LegendTest, MarginsReplaceThePercentGap) {
  TChart *c = WithSeries(2);
  c->Legend().SetHorizMargin(7);
  Paint(*c);
  EXPECT_EQ(c->ChartRect.Right, c->Legend().ShapeBounds.Left - 7);
  c->Legend().SetAlignment(TLegendAlignment::laBottom);
  c->Legend().SetVertMargin(9);
  Paint(*c);
  EXPECT_EQ(c->ChartRect.Bottom, c->Legend().ShapeBounds.Top - 9);
  c->Legend().SetResizeChart(false);
  const TRect before = c->ChartRect;
  Paint(*c);
  EXPECT_GT(c->ChartRect.Bottom, before.Bottom);
}

TEST_F(LegendTest, ManySeriesFillColumnsUpToMaxNumRows) {
  TChart *c = WithSeries(60);
  c->Legend().SetAlignment(TLegendAlignment::laTop);
  Paint(*c);
  const TChartLegend &l = c->Legend();
  EXPECT_GT(l.Columns(), 1);
  EXPECT_EQ(l.Rows(), std::min(10, (60 + l.Columns() - 1) / l.Columns()));
  EXPECT_EQ(l.LastValue(), std::min(60, l.Rows() * l.Columns()) - 1);
  EXPECT_LE(l.ShapeBounds.Right - l.ShapeBounds.Left, c->Width());
  c->Legend().SetMaxNumRows(2);
  Paint(*c);
  EXPECT_EQ(c->Legend().Rows(), 2);

  // A side legend shows as many rows as fit above the chart's bottom.
  c->Legend().SetAlignment(TLegendAlignment::laRight);
  Paint(*c);
  const int ih = c->Legend().ItemHeight();
  EXPECT_LT(c->Legend().Rows(), 60);
  EXPECT_LE(c->Legend().ShapeBounds.Top + c->Legend().Rows() * ih, c->Height());
}

TEST_F(LegendTest, ClickedRowsAndInvertedOrder) {
  TChart *c = WithSeries(4);
  Paint(*c);
  TChartLegend &l = c->Legend();
  const int x = (l.ShapeBounds.Left + l.ShapeBounds.Right) / 2;
  for (int row = 0; row < 4; ++row)
    EXPECT_EQ(l.Clicked(x, l.Items()[row].Top() + 2), row) << row;
  EXPECT_EQ(l.Clicked(l.ShapeBounds.Left - 1, l.Items()[0].Top() + 2), -1);
  EXPECT_EQ(l.Clicked(x, l.ShapeBounds.Bottom + 1), -1);
  EXPECT_EQ(l.Items()[0].Text(), "Series 0");

  l.SetInverted(true);
  Paint(*c);
  // The last row is drawn at the top.
  EXPECT_LT(l.Items()[3].Top(), l.Items()[0].Top());
  EXPECT_EQ(l.Clicked(x, l.Items()[3].Top() + 2), 3);
  EXPECT_EQ(l.Clicked(x, l.Items()[0].Top() + 2), 0);

  // A top legend counts columns first.
  l.SetInverted(false);
  l.SetAlignment(TLegendAlignment::laTop);
  Paint(*c);
  ASSERT_EQ(l.Columns(), 4);
  const int w = (l.ShapeBounds.Right - l.ShapeBounds.Left) / 4;
  const int y = l.Items()[0].Top() + 2;
  for (int column = 0; column < 4; ++column)
    EXPECT_EQ(l.Clicked(l.ShapeBounds.Left + 2 + column * w + w / 2, y), column) << column;
}

TEST_F(LegendTest, FirstValueBelowZeroIsRefusedAndBeyondTheRowsShowsNothing) {
  TChart *c = WithSeries(3);
  try {
    c->Legend().SetFirstValue(-1);
    FAIL() << "no exception";
  } catch (const LegendException &e) {
    EXPECT_STREQ(e.what(), "First Legend Value must be > 0");
  }
  EXPECT_EQ(c->Legend().FirstValue(), 0);
  c->Legend().SetFirstValue(1);
  Paint(*c);
  EXPECT_EQ(c->Legend().Items()[0].Text(), "Series 1");
  c->Legend().SetVisible(false);
  Paint(*c);
  const TRect plain = c->ChartRect;
  c->Legend().SetVisible(true);
  c->Legend().SetFirstValue(5);
  Paint(*c);
  EXPECT_EQ(c->Legend().TotalRows(), 0);
  EXPECT_EQ(c->ChartRect, plain);
}

TEST_F(LegendTest, RowTextsAfterTheEventSplitIntoTwoColumns) {
  TChart *c = WithSeries(2);
  c->OnGetLegendText = [](TCustomChart *, TLegendStyle style, int index, std::string &text) {
    EXPECT_EQ(style, TLegendStyle::lsSeries);
    text = "left" + std::to_string(index) + '\x06' + "right";
  };
  Paint(*c);
  EXPECT_EQ(c->Legend().Items()[1].Text(), "left1");
  EXPECT_EQ(c->Legend().Items()[1].Text2(), "right");
}

TEST_F(LegendTest, OneSeriesListsItsValuesAndFormatsOnlyTheRowsShown) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  auto *s = c->AddSeries(std::make_unique<TDotSeries>());
  for (int i = 0; i < 100000; ++i)
    s->AddPointXY(i, i % 7);
  for (TLegendAlignment a : {TLegendAlignment::laRight, TLegendAlignment::laBottom}) {
    c->Legend().SetAlignment(a);
    int formatted = 0;
    c->OnGetLegendText = [&](TCustomChart *, TLegendStyle style, int, std::string &) {
      EXPECT_EQ(style, TLegendStyle::lsValues);
      ++formatted;
    };
    Paint(*c);
    EXPECT_GT(c->Legend().Rows(), 0);
    EXPECT_LT(formatted, 1000);
    EXPECT_GE(formatted, c->Legend().LastValue() + 1);
  }
}

TEST_F(LegendTest, RowHeightAndSymbolWidth) {
  TChart *c = WithSeries(2);
  Paint(*c);
  TChartLegend &l = c->Legend();
  const int plain = l.ItemHeight();
  c->Canvas().ApplyFont(l.Font());
  EXPECT_EQ(l.ColorWidthPixels(), rtl::RoundPixel(20 * c->Canvas().MeasureTextWidth("Series 0") * 0.01));
  l.SetVertSpacing(4);
  Paint(*c);
  EXPECT_EQ(l.ItemHeight(), plain + 4);
  l.SetVertSpacing(0);
  l.SetCheckBoxes(true);
  Paint(*c);
  EXPECT_EQ(l.ItemHeight(), std::max(plain, 17));
  l.Symbol().SetWidthUnits(TLegendSymbolSize::lcsPixels);
  l.Symbol().SetWidth(33);
  Paint(*c);
  EXPECT_EQ(l.ColorWidthPixels(), 33);
  l.Symbol().SetSquared(true);
  Paint(*c);
  EXPECT_EQ(l.ColorWidthPixels(), l.ItemHeight() - 5);
  l.Symbol().SetVisible(false);
  Paint(*c);
  EXPECT_EQ(l.ColorWidthPixels(), 0);
}

TEST_F(LegendTest, CustomPositionInPercentTakesNoSpace) {
  TChart *c = WithSeries(2);
  c->Legend().SetVisible(false);
  Paint(*c);
  const TRect plain = c->ChartRect;
  c->Legend().SetVisible(true);
  c->Legend().SetLeft(0);
  c->Legend().SetPositionUnits(TUloUnits::muPercent);
  c->Legend().SetLeftPercent(50);
  c->Legend().SetTopPercent(20);
  Paint(*c);
  EXPECT_EQ(c->ChartRect, plain);
  EXPECT_EQ(c->Legend().ShapeBounds.Left, c->Width() / 2);
  EXPECT_EQ(c->Legend().ShapeBounds.Top, c->Height() / 5);
  // A custom legend is the first part a click finds.
  const TPoint p{c->Legend().ShapeBounds.Left + 5, c->Legend().Items()[0].Top() + 2};
  EXPECT_EQ(c->CalcClickedPart(p, true).Part, TChartPartKind::cpkLegend);
}

TEST_F(LegendTest, PagesListTheCurrentPagesValues) {
  TChart *c = ShownChart();
  c->SetView3D(false);
  AddLineOfDots(*c, 25);
  c->Pages().SetMaxPointsPerPage(10);
  c->Pages().SetCurrent(3);
  Paint(*c);
  EXPECT_EQ(c->Legend().TotalRows(), 5);
  EXPECT_EQ(c->Legend().LastValue(), 24);
  c->Legend().SetCurrentPage(false);
  Paint(*c);
  EXPECT_EQ(c->Legend().TotalRows(), 25);
}

TEST_F(LegendTest, HiddenLegendLeavesNothingToClick) {
  TChart *c = WithSeries(2);
  Paint(*c);
  const TPoint p{c->Legend().ShapeBounds.Left + 5, c->Legend().Items()[0].Top() + 2};
  EXPECT_EQ(c->CalcClickedPart(p, false).Part, TChartPartKind::cpkLegend);
  c->GetSeries(0)->SetActive(false);
  c->GetSeries(1)->SetActive(false);
  Paint(*c);
  EXPECT_NE(c->CalcClickedPart(p, false).Part, TChartPartKind::cpkLegend);
}

TEST_F(LegendTest, SymbolGradientAndPen) {
  TChart *c = WithSeries(2);
  c->GetSeries(0)->SetSeriesColor(clRed);
  gdi::Bitmap b(c->Width(), c->Height());
  DrawInto(*c, b);
  TRect sr = c->Legend().Items()[0].SymbolRect;
  const TRect inner{sr.Left + 2, sr.Top + 2, sr.Right - 2, sr.Bottom - 2};
  const int area = (inner.Right - inner.Left) * (inner.Bottom - inner.Top);
  ASSERT_GT(area, 0);
  EXPECT_EQ(foundation_test::CountOf(b, clRed, inner), area);
  // A gradient from silver to the row's colour.
  c->Legend().Symbol().Gradient().SetVisible(true);
  DrawInto(*c, b);
  sr = c->Legend().Items()[0].SymbolRect;
  EXPECT_LT(foundation_test::CountOf(b, clRed, inner), area / 2);
  // One end in the row's colour, the other towards silver.
  const int mid = (inner.Top + inner.Bottom) / 2;
  const TColor right = b.Pixel(inner.Right - 1, mid), left = b.Pixel(sr.Left + 1, mid);
  EXPECT_GT(right & 0xFF, 0xE0u);
  EXPECT_LT((right >> 8) & 0xFF, 0x60u);
  EXPECT_GT((left >> 8) & 0xFF, 0x90u);
  // The symbol's own pen frames it.
  c->Legend().Symbol().Gradient().SetVisible(false);
  c->Legend().Symbol().SetDefaultPen(false);
  c->Legend().Symbol().Pen().SetColor(clLime);
  DrawInto(*c, b);
  EXPECT_EQ(b.Pixel(sr.Left, (sr.Top + sr.Bottom) / 2), clLime);
}

} // namespace
