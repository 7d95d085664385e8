// The contour series in a chart: automatic and edited levels, lines kept
// between paints, the level hit test, the filled form, legend rows and the
// stored form.
#include "contour_support.h"

#include <cmath>

#include "chart/foundation/UloProcs.h"

namespace {

using contour_test::WithGridSeries;

class Contour : public WithGridSeries {
protected:
  void SetUp() override {
    WithGridSeries::SetUp();
    series = chart->AddSeries(std::make_unique<TContourSeries>());
    series->SetName("Series1");
  }
  // A cone: Y is the distance from the grid's centre (6, 6) on 11 x 11 points.
  void Cone() {
    Grid(*series, 11, [](int x, int z) { return std::hypot(x - 6.0, z - 6.0); });
  }
  TContourSeries *series = nullptr;
};

TEST_F(Contour, Defaults) {
  EXPECT_EQ(series->Brush().Style(), TBrushStyle::bsClear);
  EXPECT_TRUE(series->ColorEachPoint());
  EXPECT_TRUE(series->Marks().Transparent());
  EXPECT_TRUE(series->AutomaticLevels());
  EXPECT_EQ(series->NumLevels(), 10);
  EXPECT_FALSE(series->Pointer().Visible());
  EXPECT_TRUE(series->ContourMarks().AtSegments());
  EXPECT_EQ(series->ContourMarks().Density(), 4);
  EXPECT_EQ(series->LinesColor(), clBlack);
}

TEST_F(Contour, AutomaticLevelsSpanTheValuesInPaletteColours) {
  Grid(*series, 5, [](int x, int z) { return x + z; }); // Y from 2 to 10
  series->SetNumLevels(5);
  Paint();
  ASSERT_EQ(series->Levels().Count(), 5);
  for (int i = 0; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(series->Levels()[i].UpToValue(), 2 + 2.0 * i);
    EXPECT_EQ(series->Levels()[i].Color(), clDefault);
    EXPECT_EQ(series->LevelColor(i), chart->PaletteColor(i));
  }
  EXPECT_EQ(series->LevelColor(0), 0x0000FF);
  EXPECT_EQ(series->LevelColor(1), 0x008000);
  EXPECT_EQ(series->LevelColor(9), clNone) << "no such level";

  series->SetColorEachPoint(false);
  series->CreateAutoLevels();
  EXPECT_EQ(series->Levels()[4].Color(), series->GetValueColorValue(10));
}

TEST_F(Contour, OnGetLevelHasTheLastWord) {
  Grid(*series, 3, [](int x, int) { return x; });
  series->SetNumLevels(3);
  series->OnGetLevel = [](TContourSeries *, int index, double &value, TColor &color) {
    value = 100 + index;
    color = clOlive;
  };
  series->CreateAutoLevels();
  EXPECT_EQ(series->Levels()[2].UpToValue(), 102);
  EXPECT_EQ(series->Levels()[2].Color(), clOlive);
  EXPECT_TRUE(series->AutomaticLevels());
}

TEST_F(Contour, EditingALevelKeepsIt) {
  Grid(*series, 5, [](int x, int z) { return x + z; });
  Paint();
  series->Levels()[3].SetUpToValue(6.5);
  EXPECT_FALSE(series->AutomaticLevels());
  Paint();
  EXPECT_EQ(series->Levels()[3].UpToValue(), 6.5);
  EXPECT_EQ(series->NumLevels(), 10);
  series->Levels().Delete(9);
  series->Levels().Delete(8);
  EXPECT_EQ(series->NumLevels(), 8) << "without automatic levels the levels are counted";
  series->SetAutomaticLevels(true);
  series->SetNumLevels(3);
  EXPECT_EQ(series->Levels().Count(), 0);
  EXPECT_TRUE(series->AutomaticLevels()) << "the series' own clearing is no edit";
}

TEST_F(Contour, ConeLinesAreCirclesKeptBetweenPaints) {
  Cone();
  series->SetAutomaticLevels(false);
  for (double r : {2.0, 3.5})
    series->Levels().Add().SetUpToValue(r);
  Paint();
  ASSERT_EQ(series->Levels()[0].Lines().Count(), 1);
  for (int i = 0; i < 2; ++i) {
    const double r = series->Levels()[i].UpToValue();
    for (const TContourPoint &p : series->Levels()[i].Lines().Polylines()[0])
      EXPECT_NEAR(std::hypot(p.X - 6, p.Z - 6), r, 0.15) << r;
  }
  const int tracings = series->Tracings();
  chart->SetView3D(true);
  for (int rotation : {300, 320, 340}) {
    chart->View3DOptions().SetRotation(rotation);
    Paint();
  }
  EXPECT_EQ(series->Tracings(), tracings) << "turning the view traces nothing again";
  series->YValues()->SetValue(60, 0.5);
  Paint();
  EXPECT_EQ(series->Tracings(), tracings + 1);
  series->Levels()[1].SetUpToValue(4);
  Paint();
  EXPECT_EQ(series->Tracings(), tracings + 2);
}

TEST_F(Contour, TheHitTestGivesTheLevelOfADrawnLine) {
  Cone();
  series->SetAutomaticLevels(false);
  series->Levels().Add().SetUpToValue(2);
  series->Levels().Add().SetUpToValue(4);
  Paint();
  auto pixel = [&](double x, double z) {
    return TPoint{series->GetHorizAxis()->CalcXPosValue(x), series->GetVertAxis()->CalcYPosValue(z)};
  };
  TPoint on2 = pixel(8, 6), on4 = pixel(10, 6), centre = pixel(6, 6);
  EXPECT_EQ(series->PointAtPixel(on2.X, on2.Y), 0);
  EXPECT_EQ(series->PointAtPixel(on4.X, on4.Y), 1);
  EXPECT_EQ(series->PointAtPixel(centre.X, centre.Y), -1);
  // The line shows in its level's colour.
  EXPECT_EQ(At(on2.X, on2.Y), series->LevelColor(0));
}

TEST_F(Contour, AFilledContourPaintsTheBandsBetweenLevels) {
  Cone();
  series->SetAutomaticLevels(false);
  const TColor colours[3] = {clRed, clLime, clBlue};
  for (int i = 0; i < 3; ++i) {
    TContourLevel &l = series->Levels().Add();
    l.SetUpToValue(2 + 2 * i);
    l.SetColor(colours[i]);
  }
  series->Brush().SetStyle(TBrushStyle::bsSolid);
  Paint();
  auto at = [&](double x, double z) {
    return At(series->GetHorizAxis()->CalcXPosValue(x), series->GetVertAxis()->CalcYPosValue(z));
  };
  EXPECT_EQ(at(6.5, 6.5), clRed);   // distance below 2
  EXPECT_EQ(at(9, 6.5), clLime);    // between 2 and 4
  EXPECT_EQ(at(10.5, 6.5), clBlue); // above 4
  EXPECT_EQ(chart->SeriesCount(), 1) << "the fill borrows the chart without joining it";
}

TEST_F(Contour, LegendRowsShowTheLevelsFromTheTop) {
  Grid(*series, 4, [](int x, int) { return x; });
  series->SetNumLevels(4);
  series->CreateAutoLevels(); // 1, 2, 3, 4
  EXPECT_EQ(series->LegendRowCount(), 4);
  EXPECT_EQ(series->LegendRowText(0, TLegendTextStyle::ltsPlain), "4");
  EXPECT_EQ(series->LegendRowText(3, TLegendTextStyle::ltsPlain), "1");
  EXPECT_EQ(series->LegendRowText(0, TLegendTextStyle::ltsXValue), "3");
  EXPECT_EQ(series->LegendRowText(1, TLegendTextStyle::ltsXAndValue), "2\x06"
                                                                      "3");
  EXPECT_EQ(series->LegendRowText(7, TLegendTextStyle::ltsPlain), "") << "rows beyond the levels are empty";
  series->SetLegendEvery(3);
  EXPECT_EQ(series->LegendRowCount(), 1);
}

TEST_F(Contour, MarksAlongTheLinesDrawWithoutFault) {
  Cone();
  series->Marks().SetVisible(true);
  series->ContourMarks().SetAntiOverlap(true);
  series->ContourMarks().SetColorLevel(true);
  series->Smoothing().SetActive(true);
  series->Pointer().SetVisible(true);
  series->Frame().SetVisible(true);
  EXPECT_NO_THROW(Paint());
  chart->SetView3D(true);
  series->SetYPositionLevel(true);
  EXPECT_NO_THROW(Paint());
}

TEST_F(Contour, TheVerticalAxisShowsZIn2D) {
  Grid(*series, 4, [](int x, int z) { return x * 100.0 + z; });
  EXPECT_EQ(series->MinY(), 1);
  EXPECT_EQ(series->MaxY(), 4);
  chart->SetView3D(true);
  EXPECT_EQ(series->MaxY(), 404);
}

TEST_F(Contour, LevelsAndSettingsAreStored) {
  Cone();
  series->StoreDataAlways = true;
  series->SetAutomaticLevels(false);
  TContourLevel &a = series->Levels().Add();
  a.SetUpToValue(1.5);
  a.SetColor(clRed);
  TContourLevel &b = series->Levels().Add();
  b.SetUpToValue(3.25);
  b.Pen().SetWidth(3);
  series->SetYPosition(2.5);
  series->SetYPositionLevel(true);
  series->SetLinesColor(clNavy);
  series->ContourMarks().SetDensity(7);
  series->Smoothing().SetActive(true);
  series->Brush().SetStyle(TBrushStyle::bsSolid);
  series->Frame().SetVisible(true);
  std::string text = streaming::WriteComponent(*chart);
  auto read = streaming::ReadComponent(text);
  auto *back = dynamic_cast<TChart *>(read.get());
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(streaming::WriteComponent(*back), text);
  auto *s = dynamic_cast<TContourSeries *>(back->GetSeries(0));
  ASSERT_NE(s, nullptr);
  EXPECT_FALSE(s->AutomaticLevels());
  ASSERT_EQ(s->Levels().Count(), 2);
  EXPECT_EQ(s->Levels()[0].UpToValue(), 1.5);
  EXPECT_EQ(s->Levels()[0].Color(), clRed);
  EXPECT_EQ(s->Levels()[0].ExistingPen(), nullptr);
  ASSERT_NE(s->Levels()[1].ExistingPen(), nullptr);
  EXPECT_EQ(s->Levels()[1].ExistingPen()->Width(), 3);
  EXPECT_EQ(s->YPosition(), 2.5);
  EXPECT_TRUE(s->YPositionLevel());
  EXPECT_EQ(s->LinesColor(), clNavy);
  EXPECT_EQ(s->ContourMarks().Density(), 7);
  EXPECT_TRUE(s->Smoothing().Active());
  EXPECT_EQ(s->Brush().Style(), TBrushStyle::bsSolid);
  EXPECT_TRUE(s->Frame().Visible());
  EXPECT_EQ(s->PointCount(), 121);
}

TEST_F(Contour, AutomaticLevelsSurviveBeingStored) {
  Grid(*series, 4, [](int x, int z) { return x * z; });
  Paint(); // makes the levels
  std::string text = streaming::WriteComponent(*chart);
  auto read = streaming::ReadComponent(text);
  auto *s = dynamic_cast<TContourSeries *>(dynamic_cast<TChart *>(read.get())->GetSeries(0));
  ASSERT_NE(s, nullptr);
  EXPECT_TRUE(s->AutomaticLevels()) << "levels read from a definition are no edits";
}

} // namespace
