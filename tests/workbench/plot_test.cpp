#include "tests/workbench/Games.h"
#include "workbench/ResultPlots.h"

#include <gtest/gtest.h>

namespace {

using namespace workbench;

// Simple motion from (1, ..., 1), the evader standing still.
void Compute(SolverState &state, int l, int v, const char *nod, bool b1) {
  CalculateIntegral(state, wbtest::SimpleMotion(l, v, "0", "2", std::vector<std::string>(l, "1"), "1"), {nod, b1}, {});
}

struct Form4 {
  RecordingPointSink s[6];
  IntegralSeries Series() { return {&s[0], &s[1], &s[2], &s[3], &s[4], &s[5]}; }
  std::vector<size_t> Counts() const {
    std::vector<size_t> c;
    for (const auto &x : s)
      c.push_back(x.Points.size());
    return c;
  }
};

TEST(PlotIntegral, PointCountsPerGridAndDimension) {
  const struct {
    const char *name;
    int l, v;
    const char *nod;
    bool b1;
    int stepCount;
    std::vector<size_t> counts; // Series1..Series6
    const char *caption;
  } cases[] = {
      // Plane, polar: closed contours, and the trajectory with U = V = L.
      {"polar", 2, 2, "8", true, 5, {0, 0, 0, 6 * 9, 6, 0}, "Двумерный случай"},
      {"polar, no controls", 2, 1, "8", true, 0, {0, 0, 0, 101 * 9, 0, 0}, "Двумерный случай"},
      {"plane cube", 2, 2, "3", false, 4, {0, 0, 0, 0, 5 * 12, 0}, "Двумерный случай"},
      {"spherical", 3, 3, "4", true, 3, {4 * 16, 0, 0, 0, 0, 0}, "Трехмерный случай"},
      {"space cube", 3, 1, "2", false, 0, {0, 101 * 24, 0, 0, 0, 0}, "Трехмерный случай"},
      {"line", 1, 1, "5", true, 2, {0, 0, 0, 0, 0, 0}, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    SolverState state;
    state.StepCount = c.stepCount;
    Compute(state, c.l, c.v, c.nod, c.b1);
    Form4 f;
    int repaints = 0;
    const IntegralLayout layout = PlotIntegral(state, c.l, "1", f.Series(), {.AfterSection = [&] { ++repaints; }});
    EXPECT_EQ(f.Counts(), c.counts);
    EXPECT_EQ(layout.Caption, c.caption);
    EXPECT_EQ(layout.Plotted, c.l == 2 || c.l == 3);
    EXPECT_EQ(layout.Chart2Visible, c.l == 2);
    EXPECT_EQ(repaints, c.l == 3 && c.b1 ? state.SectionSteps + 1 : 0);
    EXPECT_TRUE(state.SectionSupport.empty());
  }
}

TEST(PlotIntegral, SectionsStandAtTheirTimesAndRepeat) {
  SolverState state;
  state.StepCount = 4;
  Compute(state, 2, 2, "6", true);
  Form4 first, second;
  PlotIntegral(state, 2, "2", first.Series());
  PlotIntegral(state, 2, "2", second.Series());
  const auto &pts = first.s[3].Points;
  ASSERT_EQ(pts.size(), 5u * 7u);
  // Section k at height T - k dt (dt = 1/4 from the run, T from the text),
  // X and Z the second and first coordinates, closed by its first point.
  for (int k = 0; k <= 4; ++k) {
    for (int i = 0; i <= 6; ++i)
      EXPECT_DOUBLE_EQ(pts[k * 7 + i].Y, 2 - k * 0.25);
    EXPECT_EQ(pts[k * 7 + 6].X, pts[k * 7].X);
    EXPECT_EQ(pts[k * 7 + 6].Z, pts[k * 7].Z);
  }
  EXPECT_NEAR(pts[2 * 7].Z, 2 + 0.25 * 2, 1e-12); // the target plus 2 dt
  EXPECT_NEAR(pts[2 * 7].X, 0, 1e-12);
  // The trajectory, from its end (section 0) back to its start.
  const auto &traj = first.s[4].Points;
  ASSERT_EQ(traj.size(), 5u);
  EXPECT_EQ(traj[0].Z, state.TrajectoryPoints[4][0]);
  EXPECT_EQ(traj[4].X, state.TrajectoryPoints[0][1]);
  // Nothing was released that a second plot needs.
  EXPECT_EQ(second.Counts(), first.Counts());
}

TEST(Plots, RefuseWithoutAMatchingRunAndDrawTheSetsOfTheLastSquareRun) {
  SolverState state;
  Form4 f;
  RecordingPointSink p7, q7, p8, q8;
  const SetSeries series{&p7, &q7, &p8, &q8};
  EXPECT_THROW(PlotIntegral(state, 2, "1", f.Series()), ESolverError);
  EXPECT_THROW(PlotSets(state, 2, series), ESolverError);
  EXPECT_THROW(ControlsWindowFor(state, 3), ESolverError);
  EXPECT_EQ(PlotSets(state, 1, series), TSetsWindow::swNone);

  state.StepCount = 2;
  Compute(state, 2, 2, "12", true);
  EXPECT_THROW(PlotIntegral(state, 3, "1", f.Series()), ESolverError);
  EXPECT_THROW(PlotIntegral(state, 2, "x", f.Series()), rtl::EConvertError);
  EXPECT_EQ(ControlsWindowFor(state, 2), TControlsWindow::cwForm5);
  EXPECT_THROW(ControlsWindowFor(state, 3), ESolverError);
  EXPECT_EQ(PlotSets(state, 2, series), TSetsWindow::swForm7);
  ASSERT_EQ(p7.Points.size(), 12u);
  ASSERT_EQ(q7.Points.size(), 12u);
  EXPECT_NEAR(p7.Points[3].X, state.GridDirs.Dir(3)[0], 1e-15);
  EXPECT_NEAR(p7.Points[3].Y, 1, 1e-15);
  EXPECT_EQ(q7.Points[3].Y, 0);
  // A later run of other control dimensions keeps these candidates, but its
  // plot has no trajectory, and they are not the space sets.
  Compute(state, 2, 1, "12", true);
  EXPECT_EQ(PlotSets(state, 2, series), TSetsWindow::swForm7);
  EXPECT_EQ(p7.Points.size(), 12u);
  PlotIntegral(state, 2, "1", f.Series());
  EXPECT_TRUE(f.s[4].Points.empty());
  Compute(state, 3, 1, "3", true);
  EXPECT_THROW(PlotSets(state, 3, series), ESolverError);

  state.StepCount = 2;
  Compute(state, 3, 3, "3", true);
  EXPECT_EQ(PlotSets(state, 3, series), TSetsWindow::swForm8);
  EXPECT_EQ(ControlsWindowFor(state, 3), TControlsWindow::cwForm6);
  ASSERT_EQ(p8.Points.size(), 9u);
  EXPECT_TRUE(p8.Points[0].HasZ);
}

} // namespace
