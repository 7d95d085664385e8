// A surface over scattered points: the points' X and Z (the horizontal
// plane) are triangulated, and every triangle is drawn in 3D at its
// corners' Y heights in palette colours, back to front.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "chart/series/UloSeries3D.h"
#include "platform/rtl/Exceptions.h"

// Points that give no triangle: fewer than three distinct ones, or all on
// one line. Raised only when a program asks for the triangles itself; a
// paint of such points draws nothing.
class ETriSurfaceException : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

// A triangulation of points in a plane: three point indexes per triangle,
// counter-clockwise, and the border as pairs of point indexes in
// counter-clockwise order. Empty when fewer than three distinct points are
// given or all of them lie on one line.
struct TUloTriangulation {
  std::vector<int32_t> Triangles;
  std::vector<int32_t> BorderEdges;
  int TriangleCount() const noexcept { return static_cast<int>(Triangles.size() / 3); }
  int BorderEdgeCount() const noexcept { return static_cast<int>(BorderEdges.size() / 2); }
};

// Triangulates the points (X[i], Z[i]) so that the smallest angle is as
// large as it can be (no point lies inside the circle through the corners
// of a triangle). A point given again at the same X and Z is used once (the
// first of them).
void UloTriangulate(std::span<const double> x, std::span<const double> z, TUloTriangulation &result);

class TCustomTriSurfaceSeries : public TCustom3DPaletteSeries {
public:
  TCustomTriSurfaceSeries();
  ~TCustomTriSurfaceSeries() override;

  // ---- properties
  // The outer edges of the surface; white and hidden at first.
  TChartHiddenPen &Border() noexcept { return *border_; }
  void SetBorder(const TChartPen &value) { border_->Assign(value); }
  bool FastBrush() const noexcept { return fastBrush_; }
  void SetFastBrush(bool value) { SetAndRepaint(fastBrush_, value); }
  bool HideTriangles() const noexcept { return hideTriangles_; }
  void SetHideTriangles(bool value) { SetAndRepaint(hideTriangles_, value); }
  int Transparency() const noexcept { return transparency_; }
  // Held to 0..100.
  void SetTransparency(int value);

  // Keep the triangles between paints without comparing the points' X and
  // Z again: only clearing the points or a change of their number makes
  // new ones. Off: the triangles are kept exactly while X and Z stay the
  // same. Not stored; Assign copies it.
  bool CacheTriangles() const noexcept { return cacheTriangles_; }
  void SetCacheTriangles(bool value) noexcept { cacheTriangles_ = value; }

  // ---- the triangles
  // Triangulates the points again; raises ETriSurfaceException when three
  // or more points give no triangle.
  void CreateTriangles();
  int NumTriangles() const noexcept { return triangulation_.TriangleCount(); }
  // The three point indexes of triangle Index (0-based here).
  const int32_t *Triangle(int index) const { return &triangulation_.Triangles.at(static_cast<size_t>(index) * 3); }
  const TUloTriangulation &Triangulation() const noexcept { return triangulation_; }
  // How many times the points were triangulated (the triangles are kept
  // while the X and Z of the points do not change).
  int Triangulations() const noexcept { return triangulations_; }
  // The triangle numbers (1-based) in the order the last drawing filled
  // them, farthest first; empty when it drew in table order.
  std::vector<int> DepthOrder() const;

  // The number (1-based) of the triangle under the pixel, -1 when none:
  // the nearest of the last drawing's depth order, else the first in
  // table order.
  int PointAtPixel(int x, int y) override;

  // ---- the series base's operations
  void ClearPoints() override;
  void DoBeforeDrawValues() override;
  void DrawVisiblePoints() override;
  void DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) override;
  void AddRandomWalk(int numValues) override;
  void ListSubStyles(const TUloSubStyleCallback &callback) override;
  void ApplySubStyle(int index) override;
  std::string GetEditor() const override { return "TTriSurfaceSeriesEditor"; }
  void Assign(const TCustomChartElement &source) override;
  void DefineProperties(streaming::TPropertyTable &table) override;
  std::string_view ClassName() const override { return "TCustomTriSurfaceSeries"; }

private:
  // A triangle of the last depth-ordered drawing.
  struct TDepthTriangle {
    TPoint Corners[3];
    TColor Color;
    double Key;
    int Number;
  };
  bool TrianglesStale() const;
  void Triangulate();
  void ProjectPoints();
  int BaseSubStyleCount();

  std::unique_ptr<TChartHiddenPen> border_;
  bool fastBrush_ = false;
  bool hideTriangles_ = true;
  int transparency_ = 0;
  bool cacheTriangles_ = false;
  TUloTriangulation triangulation_;
  // The X and Z the triangles were made from.
  std::vector<double> triangulatedX_, triangulatedZ_;
  bool trianglesValid_ = false;
  int triangulations_ = 0;
  std::vector<TDepthTriangle> depthList_;
  bool depthListUsed_ = false;
  // Pixel positions of the points in the current drawing.
  std::vector<TPoint3D> pixels_;
  TUloStoredParts storedParts_;
};

class TTriSurfaceSeries : public TCustomTriSurfaceSeries {
public:
  std::string_view ClassName() const override { return "TTriSurfaceSeries"; }
};

// Registers TTriSurfaceSeries in the gallery ("Triangle Surf.", page "3D").
void StartTriSurfaceUnit();
void StopTriSurfaceUnit();
