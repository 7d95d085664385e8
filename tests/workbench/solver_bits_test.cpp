// Whole runs of both computing buttons, reduced to a hash of every stored
// bit. The hashes were taken from the straightforward evaluation (a fresh
// parser per formula, one value at a time); any faster path must leave them
// unchanged.
#include "workbench/Solver.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace workbench;

using Cells = std::vector<std::vector<std::string>>;

Cells Grid(int rows, int cols, const std::vector<std::string> &v) {
  Cells c(rows, std::vector<std::string>(cols));
  for (int r = 0; r < rows; ++r)
    for (int k = 0; k < cols; ++k)
      c[r][k] = v[r * cols + k];
  return c;
}

class Hash {
public:
  void Add(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i, bits >>= 8)
      h_ = (h_ ^ (bits & 0xFF)) * 0x100000001B3ull;
  }
  void Add(const Vector &v) {
    Add(static_cast<double>(v.Size()));
    for (double x : v.Elements())
      Add(x);
  }
  void Add(const std::vector<Vector> &vs) {
    for (const Vector &v : vs)
      Add(v);
  }
  uint64_t Value() const { return h_; }

private:
  uint64_t h_ = 0xCBF29CE484222325ull;
};

uint64_t HashOf(const SolverState &s) {
  Hash h;
  h.Add(s.StepCount);
  h.Add(s.TimeStep);
  h.Add(s.GridCount);
  for (double x : s.GridDirs.Coords)
    h.Add(x);
  h.Add(s.SectionSupport);
  h.Add(s.SectionRadius);
  h.Add(s.SectionCenter);
  h.Add(s.TerminalSupport);
  h.Add(s.PursuerSupport);
  h.Add(s.EvaderSupport);
  h.Add(s.PursuerPoints);
  h.Add(s.EvaderPoints);
  h.Add(s.TrajectoryPoints);
  return h.Value();
}

struct StoredRun {
  const char *name;
  GameInput game;
  SolverSettings settings;
  int steps;             // StepCount before "Рассчитать АИ"
  uint64_t integral;     // hash of the state after it
  std::string capture;   // the guaranteed time
  uint64_t captureState; // hash of a fresh state after the search
};

GameInput Oscillator(const std::vector<std::string> &a) {
  GameInput g;
  g.DimX = g.DimU = g.DimV = g.DimL = 2;
  g.A = Grid(2, 2, a);
  g.B = g.C = g.Pi = Grid(2, 2, {"1", "0", "0", "1"});
  g.X0 = {"3", "1"};
  g.P = "sqrt(psi1^2+psi2^2)";
  g.Q = "0.5*sqrt(psi1^2+psi2^2)";
  g.M = "0.5*sqrt(psi1^2+psi2^2)";
  g.T = "2";
  return g;
}

// Cells that read the time, near the target so that the search ends soon.
GameInput TimeCells() {
  GameInput g = Oscillator({"t", "1+t", "-(2-1)", "sin(t)"});
  g.X0 = {"0.55", "0.2"};
  return g;
}

GameInput Rotation() {
  GameInput g;
  g.DimX = g.DimU = g.DimV = g.DimL = 3;
  g.A = Grid(3, 3, {"0", "1", "0", "-1", "0", "0.5", "0", "0", "-0.25"});
  g.B = g.C = g.Pi = Grid(3, 3, {"1", "0", "0", "0", "1", "0", "0", "0", "1"});
  g.X0 = {"2", "1", "1.5"};
  g.P = "sqrt(psi1^2+psi2^2+psi3^2)";
  g.Q = "0.5*abs(psi1)+0.25*abs(psi2)+0.1*abs(psi3)";
  g.M = "max(abs(psi1),abs(psi2))+abs(psi3)";
  g.T = "0.5";
  return g;
}

// U, V and L differ: 100 steps of the default length, no controls.
GameInput Projected() {
  GameInput g;
  g.DimX = 3;
  g.DimU = g.DimV = 1;
  g.DimL = 2;
  g.A = Grid(3, 3, {"0", "1", "0", "0", "0", "1", "-0.1", "-0.2", "-0.3"});
  g.B = Grid(3, 1, {"0", "0", "1"});
  g.C = Grid(3, 1, {"0", "1", "0"});
  g.Pi = Grid(2, 3, {"1", "0", "0", "0", "1", "0"});
  g.X0 = {"2", "0.5", "0"};
  g.P = "abs(psi1)";
  g.Q = "0.2*abs(psi1)";
  g.M = "sqrt(psi1^2+psi2^2)";
  g.T = "1";
  return g;
}

SolverSettings Settings(const char *nod, bool b1, const char *step) {
  SolverSettings s;
  s.Nod = nod;
  s.b1 = b1;
  s.timestep = step;
  return s;
}

std::vector<StoredRun> Runs() {
  return {
      {"oscillator", Oscillator({"0", "1", "-1", "0"}), Settings("10", true, "0.1"), 20, 0xeaeb131b51e99f7b, "6.2",
       0x792fde5daa65c27f},
      {"cells as typed", Oscillator({"-0.5", "1/4", "-(1)", "2E-1"}), Settings("12", true, "0.25"), 7,
       0xc2173096560509a0, "4.75", 0x3d02e73e6fb34aff},
      {"cells of the time", TimeCells(), Settings("10", true, "0.02"), 12, 0xe2d92d4da30a5b77, "0.24",
       0x122fcf8149c190cb},
      {"cube in the plane", Oscillator({"0", "1", "-1", "0"}), Settings("5", false, "0.2"), 9, 0x590824214cf402c5,
       "6.4", 0xe8361edbb9e149f4},
      {"sphere", Rotation(), Settings("6", true, "0.05"), 5, 0x201fbb52bc3e3768, "2.15", 0xad1741ed1a672035},
      {"projected", Projected(), Settings("16", true, "0.1"), 0, 0x7055526c57325d56, "3.5", 0xa83aad277e553511},
  };
}

TEST(SolverBits, WholeRunsKeepEveryBit) {
  for (const StoredRun &r : Runs()) {
    SCOPED_TRACE(r.name);
    SolverState integral;
    integral.StepCount = r.steps;
    CalculateIntegral(integral, r.game, r.settings, {});
    EXPECT_EQ(HashOf(integral), r.integral) << std::hex << HashOf(integral);
    SolverState capture;
    EXPECT_EQ(CalculateGuaranteedTime(capture, r.game, r.settings), r.capture);
    EXPECT_EQ(HashOf(capture), r.captureState) << std::hex << HashOf(capture);
  }
}

} // namespace
