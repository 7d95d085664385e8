// Points of a series: ordered and unordered adding with the statistics
// after each change, colours and labels, deleting and clearing, events and
// their order, the update state, data sources and dependents.
#include "series_support.h"

#include <stdexcept>

#include "chart/foundation/UloProcs.h"
#include "platform/streaming/DefinitionReader.h"
#include "platform/streaming/DefinitionWriter.h"

namespace {

using namespace series_test;

class SeriesPoints : public WithUnits {};

// ---- adding -------------------------------------------------------------------------

struct AddCase {
  const char *name;
  TChartListOrder order;
  std::vector<double> x;
  std::vector<int> indexes;
  std::vector<double> sortedX;
  std::vector<double> movedY;
};

TEST_F(SeriesPoints, AddPointXYKeepsTheXOrderAndMovesYAlong) {
  const std::vector<AddCase> cases{
      {"ascending", TChartListOrder::loAscending, {3, 1, 2}, {0, 0, 1}, {1, 2, 3}, {11, 12, 10}},
      {"ascending ties", TChartListOrder::loAscending, {2, 1, 2}, {0, 0, 2}, {1, 2, 2}, {11, 10, 12}},
      {"descending", TChartListOrder::loDescending, {1, 3, 2}, {0, 0, 1}, {3, 2, 1}, {11, 12, 10}},
      {"none", TChartListOrder::loNone, {3, 1, 2}, {0, 1, 2}, {3, 1, 2}, {10, 11, 12}},
  };
  for (const auto &c : cases) {
    TChartSeries s;
    s.XValues()->SetOrder(c.order);
    std::vector<int> got;
    for (size_t i = 0; i < c.x.size(); ++i)
      got.push_back(s.AddPointXY(c.x[i], 10.0 + static_cast<double>(i)));
    EXPECT_EQ(got, c.indexes) << c.name;
    EXPECT_EQ(Values(*s.XValues()), c.sortedX) << c.name;
    EXPECT_EQ(Values(*s.YValues()), c.movedY) << c.name;
  }
}

TEST_F(SeriesPoints, StatisticsFollowEveryChange) {
  TChartSeries s;
  struct Step {
    std::function<void()> change;
    double minY, maxY, total, totalAbs;
  };
  const std::vector<Step> steps{
      {[&] { s.AddPointXY(0, -4); }, -4, -4, -4, 4}, {[&] { s.AddPointXY(1, 6); }, -4, 6, 2, 10},
      {[&] { s.AddPointXY(0.5, 1); }, -4, 6, 3, 11}, {[&] { s.DeletePoint(0); }, 1, 6, 7, 7},
      {[&] { s.AddPoint(-10); }, -10, 6, -3, 17},    {[&] { s.DeletePoints(0, 2); }, -10, -10, -10, 10},
      {[&] { s.ClearPoints(); }, 0, 0, 0, 0},
  };
  int k = 0;
  for (const auto &step : steps) {
    step.change();
    EXPECT_EQ(s.MinY(), step.minY) << "step " << k;
    EXPECT_EQ(s.MaxY(), step.maxY) << "step " << k;
    EXPECT_EQ(s.YValues()->Total(), step.total) << "step " << k;
    EXPECT_EQ(s.YValues()->TotalABS(), step.totalAbs) << "step " << k;
    ++k;
  }
}

TEST_F(SeriesPoints, AddPointTakesTheCountAsTheOtherCoordinate) {
  TChartSeries s;
  s.AddPointXY(0, 1);
  s.AddPointXY(1, 1);
  EXPECT_EQ(s.AddPoint(7), 2);
  EXPECT_EQ(s.XValueAt(2), 2);
  EXPECT_EQ(s.YValueAt(2), 7);
}

TEST_F(SeriesPoints, FurtherListsInsertTheirTempValueAtTheSameIndex) {
  TChartSeries s;
  auto *z = new TChartValueList(&s, "Z");
  for (double x : {3.0, 1.0, 2.0}) {
    z->TempValue = x * 100;
    s.AddPointXY(x, x * 10);
  }
  EXPECT_EQ(Values(*z), (std::vector<double>{100, 200, 300}));
  EXPECT_EQ(s.FindValueList("z"), z);
  EXPECT_EQ(s.FindValueList("Y"), s.YValues()) << "only the third and later lists are searched";
}

TEST_F(SeriesPoints, ColourListIsMadeByTheFirstOwnColour) {
  TChartSeries s;
  s.SetSeriesColor(clBlue);
  s.AddPointXY(0, 0);
  s.AddPointXY(1, 0);
  EXPECT_EQ(s.ValueColors(), nullptr);
  s.AddPointXY(0.5, 0, "", clRed);
  ASSERT_NE(s.ValueColors(), nullptr);
  EXPECT_EQ(*s.ValueColors(), (std::vector<TColor>{clDefault, clRed, clDefault}));
  EXPECT_EQ(s.PointColor(1), clRed);
  EXPECT_EQ(s.PointColor(0), clBlue);
  EXPECT_EQ(s.GetValueColorEntry(0), clDefault);
  EXPECT_EQ(s.GetValueColorEntry(9), clDefault);
}

TEST_F(SeriesPoints, ColorEachPointTakesPaletteColours) {
  TChartSeries s;
  s.SetColorEachPoint(true);
  s.AddPoint(1);
  s.AddPoint(2, "", clLime);
  EXPECT_EQ(s.PointColor(0), UloGetDefaultColor(0));
  EXPECT_EQ(s.PointColor(1), clLime);
}

TEST_F(SeriesPoints, NullPointsHaveNoColour) {
  TChartSeries s;
  s.AddNullPoint();
  s.AddNullPointXY(5, 6);
  EXPECT_TRUE(s.IsNullPoint(0));
  EXPECT_EQ(s.YValueAt(0), 0);
  EXPECT_TRUE(s.IsNullPoint(1));
  s.AddPoint(3); // X = 2, before the null point at X = 5
  EXPECT_FALSE(s.IsNullPoint(1));
  EXPECT_TRUE(s.IsNullPoint(2));
}

TEST_F(SeriesPoints, LabelsAreStoredOnlyOnceOneExists) {
  TChartSeries s;
  s.AddPoint(1);
  EXPECT_EQ(s.Labels().Count(), 0);
  s.AddPoint(2, "b");
  s.AddPoint(3);
  EXPECT_EQ(s.Labels().Count(), 3);
  EXPECT_EQ(s.Label(0), "");
  EXPECT_EQ(s.Label(1), "b");
}

// ---- deleting ------------------------------------------------------------------------

TEST_F(SeriesPoints, DeletePointOutsideThePointsRaisesAndChangesNothing) {
  TChartSeries s;
  for (double y : {1, 2, 3})
    s.AddPoint(y);
  for (int bad : {3, -1, 100}) {
    try {
      s.DeletePoint(bad);
      ADD_FAILURE() << bad;
    } catch (const ChartException &e) {
      EXPECT_EQ(std::string(e.what()), "Series Delete: ValueIndex " + std::to_string(bad) + " out of bounds (0 to 2).");
    }
    EXPECT_EQ(s.PointCount(), 3);
  }
}

struct DeleteRangeCase {
  const char *name;
  int start, quantity;
  std::vector<double> left;
};

TEST_F(SeriesPoints, DeletePointsClampsTheCountToThePoints) {
  const std::vector<DeleteRangeCase> cases{
      {"middle", 1, 2, {0, 3, 4}},
      {"past the end", 3, 10, {0, 1, 2}},
      {"start at end", 5, 1, {0, 1, 2, 3, 4}},
      {"zero", 2, 0, {0, 1, 2, 3, 4}},
      {"all", 0, 5, {}},
  };
  for (const auto &c : cases) {
    TChartSeries s;
    for (int i = 0; i < 5; ++i)
      s.AddPoint(i, "l" + std::to_string(i), i == 4 ? clRed : clDefault);
    s.DeletePoints(c.start, c.quantity);
    EXPECT_EQ(Values(*s.YValues()), c.left) << c.name;
    EXPECT_EQ(s.XValues()->Count(), static_cast<int>(c.left.size())) << c.name;
    EXPECT_LE(s.Labels().Count(), s.PointCount()) << c.name;
  }
  TChartSeries s;
  s.AddPoint(1);
  EXPECT_THROW(s.DeletePoints(-1, 1), ChartException);
  EXPECT_EQ(s.PointCount(), 1);
}

TEST_F(SeriesPoints, DeleteTakesTheColourLabelAndMarkEntriesAlong) {
  TChartSeries s;
  s.AddPoint(1, "a", clRed);
  s.AddPoint(2, "b", clLime);
  s.AddPoint(3, "c", clBlue);
  s.Marks().Items().Item(1).Text() = {"one"};
  s.Marks().Positions().Ensure(2).Custom = true;
  s.DeletePoint(1);
  EXPECT_EQ(*s.ValueColors(), (std::vector<TColor>{clRed, clBlue}));
  EXPECT_EQ(s.Label(1), "c");
  EXPECT_EQ(s.Marks().Items().Existing(1), nullptr);
  ASSERT_NE(s.Marks().Positions().Position(1), nullptr);
  EXPECT_TRUE(s.Marks().Positions().Position(1)->Custom);
}

TEST_F(SeriesPoints, SwapValueIndexMovesWholePointsButNotMarkPositions) {
  TChartSeries s;
  s.XValues()->SetOrder(TChartListOrder::loNone);
  s.AddPointXY(1, 10, "a", clRed);
  s.AddPointXY(2, 20, "b");
  s.Marks().Positions().Ensure(0).Width = 7;
  s.SwapValueIndex(0, 1);
  EXPECT_EQ(Values(*s.XValues()), (std::vector<double>{2, 1}));
  EXPECT_EQ(Values(*s.YValues()), (std::vector<double>{20, 10}));
  EXPECT_EQ(s.Label(0), "b");
  EXPECT_EQ(s.PointColor(1), clRed);
  EXPECT_EQ(s.Marks().Positions().Position(0)->Width, 7);
}

// ---- events --------------------------------------------------------------------------

TEST_F(SeriesPoints, EventsFireInTheirOrder) {
  TChartSeries s;
  std::vector<std::string> log;
  s.OnBeforeAdd = [&](TChartSeries *) {
    log.push_back("before");
    return true;
  };
  s.OnAfterAdd = [&](TChartSeries *, int i) { log.push_back("after" + std::to_string(i)); };
  s.OnClearValues = [&](TChartSeries *) { log.push_back("clear"); };
  s.AddPointXY(5, 1);
  s.AddPointXY(3, 1);
  s.ClearPoints();
  EXPECT_EQ(log, (std::vector<std::string>{"before", "after0", "before", "after0", "clear"}));
}

TEST_F(SeriesPoints, AVetoedPointChangesNothing) {
  TChartSeries s;
  s.AddPointXY(1, 1, "a", clRed);
  s.OnBeforeAdd = [](TChartSeries *) { return false; };
  EXPECT_EQ(s.AddPointXY(0, 2, "b", clLime), -1);
  EXPECT_EQ(s.PointCount(), 1);
  EXPECT_EQ(s.Labels().Count(), 1);
  EXPECT_EQ(s.ValueColors()->size(), 1u);
}

TEST_F(SeriesPoints, ClearingAnActiveSeriesRepaintsItsPanelOnce) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
  s->AddPoint(1);
  int clears = 0;
  s->OnClearValues = [&](TChartSeries *) { ++clears; };
  panel.Invalidations = 0;
  s->ClearPoints();
  EXPECT_EQ(clears, 1);
  EXPECT_EQ(panel.Invalidations, 1);
  EXPECT_EQ(s->FirstValueIndex(), -1);
}

TEST_F(SeriesPoints, InsideAnUpdateNoPointIsAnnounced) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  int afterAdds = 0, copies = 0;
  source.OnAfterAdd = [&](TChartSeries *, int) { ++afterAdds; };
  follower.OnClearValues = [&](TChartSeries *) { ++copies; };
  source.BeginUpdate();
  for (int i = 0; i < 100; ++i)
    source.AddPoint(i);
  EXPECT_EQ(afterAdds, 0);
  EXPECT_EQ(follower.PointCount(), 0);
  source.EndUpdate();
  EXPECT_EQ(copies, 1) << "EndUpdate makes the dependent copy all points once";
  EXPECT_EQ(follower.PointCount(), 100);
  source.EndUpdate();
  EXPECT_EQ(source.UpdateCount(), 0) << "an extra EndUpdate stays at 0";
}

TEST_F(SeriesPoints, AThrowingHandlerDoesNotLeaveTheUpdateRaised) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  source.AddPoint(1);
  follower.OnBeforeAdd = [](TChartSeries *) -> bool { throw std::runtime_error("handler"); };
  EXPECT_THROW(follower.CopyAllPointsFrom(source), std::runtime_error);
  EXPECT_EQ(follower.UpdateCount(), 0);
  TChartSeries s;
  s.OnBeforeAdd = [](TChartSeries *) -> bool { throw std::runtime_error("handler"); };
  EXPECT_THROW(s.FillSampleValues(5), std::runtime_error);
  EXPECT_EQ(s.UpdateCount(), 0);
}

// ---- data sources and dependents --------------------------------------------------------

TEST_F(SeriesPoints, DependentsFollowAddDeleteAndClear) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  source.AddPoint(1, "a", clRed);
  source.AddPoint(2);
  EXPECT_EQ(Values(*follower.YValues()), (std::vector<double>{1, 2}));
  EXPECT_EQ(follower.Label(0), "a");
  EXPECT_EQ(follower.PointColor(0), clRed);
  source.DeletePoint(0);
  EXPECT_EQ(Values(*follower.YValues()), (std::vector<double>{2}));
  source.ClearPoints();
  EXPECT_EQ(follower.PointCount(), 0);
}

TEST_F(SeriesPoints, PropagationFlagsChooseWhatADependentFollows) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  follower.SetPropagateFlags(UloPropagateDelete);
  source.AddPoint(1);
  EXPECT_EQ(follower.PointCount(), 0) << "adds are not followed";
  follower.CopyAllPointsFrom(source);
  source.ClearPoints();
  EXPECT_EQ(follower.PointCount(), 1) << "clears are not followed";
}

TEST_F(SeriesPoints, CircularSourcesAreRefused) {
  TChartSeries a, b, c;
  b.SetDataSource(&a);
  c.SetDataSource(&b);
  for (TChartSeries *target : {&a}) {
    try {
      target->SetDataSource(&c);
      ADD_FAILURE();
    } catch (const ChartException &e) {
      EXPECT_STREQ(e.what(), "Circular Series dependences are not allowed");
    }
  }
  EXPECT_EQ(a.DataSource(), nullptr);
  EXPECT_THROW(a.SetDataSource(&a), ChartException);
}

TEST_F(SeriesPoints, ADataSourceWithoutAPanelMustBeAnotherSeries) {
  TChartSeries s;
  TUloSeriesSource component;
  try {
    s.SetDataSource(&component);
    ADD_FAILURE();
  } catch (const ChartException &e) {
    EXPECT_STREQ(e.what(), "No ParentChart to validate DataSource");
  }
}

TEST_F(SeriesPoints, FreedSourcesAndDependentsLetGo) {
  TChartSeries follower;
  {
    TChartSeries source;
    follower.SetDataSource(&source);
    EXPECT_EQ(source.Dependents().size(), 1u);
  }
  EXPECT_EQ(follower.DataSource(), nullptr);
  TChartSeries source;
  {
    TChartSeries other;
    other.SetDataSource(&source);
  }
  EXPECT_TRUE(source.Dependents().empty());
  source.AddPoint(1);
}

TEST_F(SeriesPoints, CopyPointFromSwapsXAndYBetweenOrientations) {
  class THorizontal : public TChartSeries {
  public:
    THorizontal() { SetHorizontal(); }
  };
  TChartSeries source;
  THorizontal dest;
  source.AddPointXY(1, 5);
  dest.CopyPointFrom(source, 0);
  EXPECT_EQ(dest.XValueAt(0), 5);
  EXPECT_EQ(dest.YValueAt(0), 1);
  EXPECT_EQ(dest.MandatoryValueList(), dest.XValues());
}

// ---- titles, pages, samples ----------------------------------------------------------------

TEST_F(SeriesPoints, TitlesFallBackToTheNameOrThePosition) {
  TSeriesPanel panel;
  panel.AddSeries(std::make_unique<TChartSeries>());
  panel.AddSeries(std::make_unique<TChartSeries>());
  auto *third = panel.AddSeries(std::make_unique<TChartSeries>());
  EXPECT_EQ(third->DefaultTitle(), "Series3");
  EXPECT_EQ(third->TitleOrName(), "Series3");
  third->SetName("Named");
  EXPECT_EQ(third->TitleOrName(), "Named");
  third->SetTitle(std::string("a\x06"
                              "b"));
  EXPECT_EQ(third->TitleOrName(), "a b");
}

TEST_F(SeriesPoints, FirstAndLastIndexOfThePage) {
  struct PageCase {
    int points, perPage, page, first, last;
  };
  const std::vector<PageCase> cases{
      {0, 10, 1, -1, -1}, {25, 0, 1, 0, 24}, {25, 10, 1, 0, 9}, {25, 10, 3, 20, 24}, {20, 10, 2, 10, 19},
  };
  for (const auto &c : cases) {
    TSeriesPanel panel;
    auto *s = panel.AddSeries(std::make_unique<TChartSeries>());
    for (int i = 0; i < c.points; ++i)
      s->AddPoint(i);
    panel.Pages().SetMaxPointsPerPage(c.perPage);
    panel.Pages().SetCurrent(c.page);
    int first = 0, last = 0;
    s->CalcFirstLastPage(first, last);
    EXPECT_EQ(first, c.first) << c.points << "/" << c.perPage << "/" << c.page;
    EXPECT_EQ(last, c.last) << c.points << "/" << c.perPage << "/" << c.page;
  }
}

TEST_F(SeriesPoints, FillSampleValuesChecksItsCount) {
  TChartSeries s;
  try {
    s.FillSampleValues(-1);
    ADD_FAILURE();
  } catch (const ChartException &e) {
    EXPECT_STREQ(e.what(), "FillSampleValues NumValues must be > 0");
  }
  s.FillSampleValues(0);
  EXPECT_EQ(s.PointCount(), 25);
  s.HasManualData = true;
  s.FillSampleValues(7);
  EXPECT_EQ(s.PointCount(), 7);
  EXPECT_FALSE(s.HasManualData);
}

} // namespace

namespace {

using namespace series_test;

class SeriesUpdates : public WithUnits {};

// A dependent that raises while it copies must not take the program down
// while the source's update scope unwinds.
TEST_F(SeriesUpdates, AThrowingDependentLeavesEveryCountAtZero) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  source.AddPoint(1);
  follower.OnBeforeAdd = [](TChartSeries *) -> bool { throw std::runtime_error("dependent"); };
  EXPECT_THROW(source.FillSampleValues(3), std::runtime_error);
  EXPECT_EQ(source.UpdateCount(), 0);
  EXPECT_EQ(follower.UpdateCount(), 0);
}

} // namespace

namespace {

using namespace series_test;

class SeriesPanelLinks : public WithUnits {};

// A series with one point under (10, 10).
class THitSeries : public TChartSeries {
public:
  int PointAtPixel(int x, int y) override { return x == 10 && y == 10 ? 0 : -1; }
};

TEST_F(SeriesPanelLinks, MouseEnterAndLeaveFireOnceEach) {
  TSeriesPanel panel;
  auto *s = panel.AddSeries(std::make_unique<THitSeries>());
  std::vector<std::string> log;
  EXPECT_FALSE(s->CheckMouse(10, 10)) << "nothing to do without a cursor or events";
  s->OnMouseEnter = [&](TChartSeries *) { log.push_back("enter"); };
  s->OnMouseLeave = [&](TChartSeries *) { log.push_back("leave"); };
  s->SetCursor(-21);
  EXPECT_TRUE(s->CheckMouse(10, 10));
  EXPECT_TRUE(s->CheckMouse(10, 10));
  EXPECT_EQ(panel.Cursor(), -21);
  EXPECT_FALSE(s->CheckMouse(50, 50));
  EXPECT_FALSE(s->CheckMouse(51, 50));
  EXPECT_EQ(log, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(SeriesPanelLinks, ZOrdersAndDepths) {
  TSeriesPanel panel;
  panel.SetView3D(true);
  auto *a = panel.AddSeries(std::make_unique<TChartSeries>());
  auto *b = panel.AddSeries(std::make_unique<TChartSeries>());
  auto *c = panel.AddSeries(std::make_unique<TChartSeries>());
  c->SetZOrder(5);
  panel.MaxZOrder = -1;
  a->TakeZOrder();
  b->TakeZOrder();
  c->TakeZOrder();
  EXPECT_EQ(a->GetZOrder(), 0);
  EXPECT_EQ(b->GetZOrder(), 1);
  EXPECT_EQ(c->GetZOrder(), 5);
  EXPECT_EQ(panel.MaxZOrder, 5);
  panel.SetView3D(false);
  a->TakeZOrder();
  EXPECT_EQ(a->GetZOrder(), 0);
  // The depth of slot 2 with the panel's default depth (0 before a paint)
  // and an own depth of 7.
  b->SetComputedZOrder(2);
  b->SetDepth(7);
  b->CalcDepthRange();
  EXPECT_EQ(b->StartZ, 0);
  EXPECT_EQ(b->EndZ, 7);
  EXPECT_EQ(b->MiddleZ, 3);
  EXPECT_EQ(b->Marks().ZPosition(), 3);
}

TEST_F(SeriesPanelLinks, AutomaticColoursComeFromThePaletteAndStayAutomatic) {
  TSeriesPanel panel;
  auto *a = panel.AddSeries(std::make_unique<TChartSeries>());
  auto *b = panel.AddSeries(std::make_unique<TChartSeries>());
  EXPECT_EQ(a->ExplicitSeriesColor(), clDefault);
  EXPECT_NE(a->SeriesColor(), clDefault);
  EXPECT_NE(a->SeriesColor(), b->SeriesColor());
  const TColor automatic = a->SeriesColor();
  a->SetSeriesColor(automatic);
  EXPECT_EQ(a->ExplicitSeriesColor(), clDefault) << "setting the automatic colour changes nothing";
  a->SetSeriesColor(clFuchsia);
  EXPECT_EQ(a->ExplicitSeriesColor(), clFuchsia);
  EXPECT_EQ(a->AutomaticColor(), clFuchsia);
}

TEST_F(SeriesPanelLinks, AssignCopiesSettingsAndPoints) {
  TChartSeries a, b;
  a.SetSeriesColor(clRed);
  a.SetValueFormat("0.0");
  a.SetVertAxis(TVertAxis::aRightAxis);
  a.SetDepth(9);
  a.Marks().SetStyle(TSeriesMarksStyle::smsValue);
  a.AddPoint(1, "x", clLime);
  a.AddPoint(2);
  a.SetTitle("T");
  b.Assign(a);
  EXPECT_EQ(b.SeriesColor(), clRed);
  EXPECT_EQ(b.ValueFormat(), "0.0");
  EXPECT_EQ(b.VertAxis(), TVertAxis::aRightAxis);
  EXPECT_EQ(b.Depth(), 9);
  EXPECT_EQ(b.Title(), "T");
  EXPECT_EQ(b.Marks().Style(), TSeriesMarksStyle::smsValue);
  EXPECT_EQ(Values(*b.YValues()), (std::vector<double>{1, 2}));
  EXPECT_EQ(b.Label(0), "x");
  EXPECT_EQ(b.PointColor(0), clLime);
}

} // namespace

namespace {

using namespace series_test;

class SeriesStored : public WithUnits {};

// A default series and its marks and pointer keep every default out of the
// stored definition, so a definition reads back as it was written.
TEST_F(SeriesStored, DefaultsAreNotWritten) {
  class TPointerSeries : public TChartSeries {
  public:
    TPointerSeries() : pointer(this) {}
    std::string_view ClassName() const override { return "TPointerSeries"; }
    void DefineProperties(streaming::TPropertyTable &table) override {
      TChartSeries::DefineProperties(table);
      table.Object("Pointer", [this] { return &pointer; });
    }
    TSeriesPointer pointer;
  };
  TPointerSeries s;
  s.SetName("Series1");
  const std::string text = streaming::WriteComponent(s);
  for (const char *key :
       {"Marks.", "Pointer.", "SeriesColor", "ValueFormat", "PercentFormat", "Depth", "XValues.", "YValues."})
    EXPECT_EQ(text.find(key), std::string::npos) << key << " in\n" << text;
}

} // namespace

namespace {

using namespace series_test;

class SeriesSources : public WithUnits {};

TEST_F(SeriesSources, DroppingTheCurrentSourceUnlinksEverySource) {
  TChartSeries a, b, follower;
  follower.AddDataSource(&a);
  follower.AddDataSource(&b);
  EXPECT_EQ(follower.DataSources().size(), 2u);
  follower.SetDataSource(nullptr);
  EXPECT_TRUE(follower.DataSources().empty());
  EXPECT_TRUE(a.Dependents().empty());
  EXPECT_TRUE(b.Dependents().empty()) << "b must not keep feeding a series that dropped it";
  follower.AddDataSource(&a);
  follower.AddDataSource(&b);
  follower.RemoveDataSource(&b);
  EXPECT_EQ(follower.DataSource(), &a);
  EXPECT_TRUE(b.Dependents().empty());
  EXPECT_EQ(a.Dependents().size(), 1u);
}

TEST_F(SeriesSources, ADependentOfARangeDeletionCopiesAgain) {
  TChartSeries source, follower;
  follower.SetDataSource(&source);
  for (int i = 0; i < 5; ++i)
    source.AddPoint(i);
  source.DeletePoints(1, 3);
  EXPECT_EQ(Values(*follower.YValues()), (std::vector<double>{0, 4}));
}

} // namespace

namespace {

using namespace series_test;

class ChartError : public WithUnits {};

TEST_F(ChartError, ShowsTheTextInTheErrorBoxWithoutCaption) {
  ShowChartError("Something broke");
  ASSERT_EQ(user.Boxes.size(), 1u);
  EXPECT_EQ(user.Boxes[0].Text, "Something broke");
  EXPECT_EQ(user.Boxes[0].Caption, "");
  EXPECT_TRUE(user.Boxes[0].Error);
  user.Boxes.clear();
}

} // namespace

namespace {

using namespace series_test;

class SeriesSharing : public WithUnits {};

class TLoneSeries : public TChartSeries {
public:
  bool CanShareZOrder() const override { return false; }
};

TEST_F(SeriesSharing, SeriesThatNeverShareStandApartFromTheGroup) {
  TSeriesPanel panel;
  auto *lone = panel.AddSeries(std::make_unique<TLoneSeries>());
  auto *a = panel.AddSeries(std::make_unique<TChartSeries>());
  auto *b = panel.AddSeries(std::make_unique<TChartSeries>());
  for (TChartSeries *s : {static_cast<TChartSeries *>(lone), a, b})
    s->SetComputedZOrder(1);
  EXPECT_FALSE(lone->SharesZOrder());
  EXPECT_TRUE(a->SharesZOrder());
  EXPECT_TRUE(a->IsFirstOfZOrder()) << "the lone series ahead does not count";
  EXPECT_FALSE(b->IsFirstOfZOrder());
  b->SetActive(false);
  EXPECT_FALSE(a->SharesZOrder());
  panel.SetZOrderDepths(false);
  b->SetActive(true);
  EXPECT_FALSE(a->SharesZOrder()) << "without side-by-side depths nothing shares";
}

} // namespace

namespace {

using namespace series_test;

class SeriesColourStored : public WithUnits {};

TEST_F(SeriesColourStored, AStoredColourEqualToTheAutomaticOneStaysExplicit) {
  TNoteSeries s;
  s.SetName("Series1");
  s.SetAutomaticColor(clRed);
  streaming::ClassRegistry().RegisterClass<TNoteSeries>("TNoteSeries");
  streaming::ReadComponent("TNoteSeries Series1 {\n  SeriesColor = clRed\n}\n", s);
  streaming::ClassRegistry().UnregisterClass("TNoteSeries");
  EXPECT_EQ(s.ExplicitSeriesColor(), clRed);
  EXPECT_NE(streaming::WriteComponent(s).find("SeriesColor = clRed"), std::string::npos);
}

} // namespace
