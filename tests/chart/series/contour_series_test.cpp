// The contour series in a chart: automatic and edited levels, lines kept
// between paints, the level hit test, the filled form, legend rows and the
// stored form.
#include "contour_support.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

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
  EXPECT_EQ(series->LevelColor(9), clNone) << "no such level";

  series->SetColorEachPoint(false);
  series->CreateAutoLevels();
  EXPECT_EQ(series->Levels()[4].Color(), series->GetValueColorValue(10));
  // OnGetLevel has the last word, and the levels stay automatic.
  series->OnGetLevel = [](TContourSeries *, int index, double &value, TColor &color) {
    value = 100 + index;
    color = clOlive;
  };
  series->CreateAutoLevels();
  EXPECT_TRUE(series->Levels()[2].UpToValue() == 102 && series->Levels()[2].Color() == clOlive);
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
  Paint();
  auto back = StoredAndBack({});
  ASSERT_TRUE(back);
  EXPECT_TRUE(dynamic_cast<TContourSeries *>(back->GetSeries(0))->AutomaticLevels())
      << "levels read from a definition are no edits";
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

// Records the texts written at an angle (the contour marks).
class TTextRecorder : public TUloCanvas3D {
public:
  std::vector<std::string> texts;
  void RotatedTextOut(int x, int y, std::string_view text, double angle) override {
    texts.emplace_back(text);
    TUloCanvas3D::RotatedTextOut(x, y, text, angle);
  }
  size_t Count(const std::string &text) const { return static_cast<size_t>(std::ranges::count(texts, text)); }
};

TEST_F(Contour, MarksStandOnTheFirstAndEveryDensityThStretch) {
  auto canvas = std::make_unique<TTextRecorder>();
  TTextRecorder *rec = canvas.get();
  chart->ReplaceCanvas(std::move(canvas));
  Cone();
  series->SetAutomaticLevels(false);
  series->Levels().Add().SetUpToValue(3.25);
  series->Levels().Add().SetUpToValue(4.75);
  series->Marks().SetVisible(true);
  for (int density : {1, 3, 4}) {
    series->ContourMarks().SetDensity(density);
    rec->texts.clear();
    Paint();
    for (int l = 0; l < 2; ++l) {
      size_t expected = 0;
      for (const auto &line : series->Levels()[l].DrawnLines())
        for (size_t k = 0; k + 1 < line.size(); k += static_cast<size_t>(density))
          expected += line[k] != line[k + 1];
      EXPECT_GT(expected, 0u);
      EXPECT_EQ(rec->Count(l == 0 ? "3.25" : "4.75"), expected) << "density " << density << " level " << l;
    }
  }
  // The marks' style may write the level's index instead of its value.
  series->Marks().SetStyle(TSeriesMarksStyle::smsPointIndex);
  rec->texts.clear();
  Paint();
  EXPECT_EQ(rec->Count("3.25"), 0u);
  EXPECT_GT(rec->Count("0"), 0u);
  // Everything at once, in 2D and 3D, draws without fault.
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
  auto back =
      StoredAndBack({"Brush.Style = bsSolid", "AutomaticLevels = false", "ContourMarks.Density = 7", "Color = clRed",
                     "Pen.Width = 3", "UpToValue = 3.25", "LinesColor = clNavy", "Smoothing.Active = true",
                     "YPosition = 2.5", "YPositionLevel = true", "Frame.Visible = true"});
  ASSERT_TRUE(back);
  auto *s = dynamic_cast<TContourSeries *>(back->GetSeries(0));
  ASSERT_TRUE(s && s->Levels().Count() == 2 && s->PointCount() == 121);
  EXPECT_EQ(s->Levels()[0].ExistingPen(), nullptr) << "a level's pen is stored only when it exists";
  EXPECT_FALSE(s->AutomaticLevels());
}

} // namespace
