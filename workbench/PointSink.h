// Where the solver and the plots put their points: the few operations of a
// chart series they use. The result windows hand in their real series; the
// tests hand in a recorder.
#pragma once

#include <vector>

namespace workbench {

class IPointSink {
public:
  virtual ~IPointSink() = default;
  virtual void ClearPoints() = 0;
  // A point with an empty label and the automatic colour.
  virtual void AddPointXY(double x, double y) = 0;
  virtual void AddPointXYZ(double x, double y, double z) = 0;
};

// Keeps every call, in order, so that a test can read back what a series
// would have received.
class RecordingPointSink : public IPointSink {
public:
  struct Point {
    double X = 0;
    double Y = 0;
    double Z = 0;
    bool HasZ = false;
  };

  void ClearPoints() override {
    Points.clear();
    ++ClearCount;
  }
  void AddPointXY(double x, double y) override { Points.push_back({x, y, 0, false}); }
  void AddPointXYZ(double x, double y, double z) override { Points.push_back({x, y, z, true}); }

  std::vector<Point> Points;
  int ClearCount = 0;
};

} // namespace workbench
