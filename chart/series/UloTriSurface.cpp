#include "chart/series/UloTriSurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "chart/engine/UloAxis.h"
#include "chart/engine/UloAxisPanel.h"
#include "chart/engine/UloGallery.h"
#include "chart/foundation/UloConst.h"
#include "chart/foundation/UloProCo.h"
#include "chart/foundation/UloProcs.h"
#include "platform/rtl/Random.h"

// ---- the triangulation -----------------------------------------------------------------------

namespace {

// Points closer to a line than this (as the sine of the angle they make)
// count as on it.
constexpr double kCollinear = 1e-6;
// An edge is swapped only when the other diagonal's smallest angle is
// larger by more than this (radians), so that four points on one circle
// never swap back and forth.
constexpr double kSwapGain = 1e-6;

class TTriangulator {
public:
  TTriangulator(std::span<const double> x, std::span<const double> z) : x_(x), z_(z) {}

  void Run(TUloTriangulation &out) {
    out.Triangles.clear();
    out.BorderEdges.clear();
    std::vector<int32_t> points = DistinctPoints();
    if (points.size() < 3) return;
    auto [a, b] = ClosestPair(points);
    const double mx = (x_[a] + x_[b]) * 0.5, mz = (z_[a] + z_[b]) * 0.5;
    std::vector<int32_t> order;
    order.reserve(points.size() - 2);
    for (int32_t p : points)
      if (p != a && p != b) order.push_back(p);
    std::vector<double> dist(x_.size());
    for (int32_t p : order)
      dist[static_cast<size_t>(p)] = Sq(x_[p] - mx) + Sq(z_[p] - mz);
    std::stable_sort(order.begin(), order.end(),
                     [&](int32_t p, int32_t q) { return dist[static_cast<size_t>(p)] < dist[static_cast<size_t>(q)]; });
    // The first point off the closest pair's line closes the first
    // triangle; the points skipped on the way come right after it.
    size_t first = 0;
    while (first < order.size() && Collinear(a, b, order[first]))
      ++first;
    if (first == order.size()) return;
    const int32_t c = order[first];
    std::rotate(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(first),
                order.begin() + static_cast<std::ptrdiff_t>(first) + 1);

    next_.assign(x_.size(), -1);
    prev_.assign(x_.size(), -1);
    hullTri_.assign(x_.size(), -1);
    if (Orient(a, b, c) > 0)
      FirstTriangle(a, b, c);
    else
      FirstTriangle(a, c, b);
    for (size_t i = 1; i < order.size(); ++i)
      Insert(order[i]);

    out.Triangles.reserve(tris_.size() * 3);
    for (const TTri &t : tris_)
      out.Triangles.insert(out.Triangles.end(), {t.V[0], t.V[1], t.V[2]});
    int32_t start = hullStart_;
    int32_t v = start;
    do {
      out.BorderEdges.push_back(v);
      out.BorderEdges.push_back(next_[static_cast<size_t>(v)]);
      v = next_[static_cast<size_t>(v)];
    } while (v != start);
  }

private:
  // Corners counter-clockwise; Adj[i] is the triangle across the edge
  // from V[i] to V[i + 1], -1 on the border.
  struct TTri {
    int32_t V[3];
    int32_t Adj[3];
  };

  static double Sq(double v) { return v * v; }
  double Orient(int32_t a, int32_t b, int32_t c) const {
    return (x_[b] - x_[a]) * (z_[c] - z_[a]) - (z_[b] - z_[a]) * (x_[c] - x_[a]);
  }
  // The sine of the angle at A between AB and AC, against the tolerance.
  bool Collinear(int32_t a, int32_t b, int32_t c) const {
    double ab = std::hypot(x_[b] - x_[a], z_[b] - z_[a]), ac = std::hypot(x_[c] - x_[a], z_[c] - z_[a]);
    if (ab == 0 || ac == 0) return true;
    return std::fabs(Orient(a, b, c)) <= kCollinear * ab * ac;
  }
  // C strictly right of the directed edge A->B (beyond rounding: the sine
  // of the angle at A is compared squared, so no root is taken).
  bool RightOf(int32_t a, int32_t b, int32_t c) const {
    const double o = Orient(a, b, c);
    if (o >= 0) return false;
    const double ab = Sq(x_[b] - x_[a]) + Sq(z_[b] - z_[a]), ac = Sq(x_[c] - x_[a]) + Sq(z_[c] - z_[a]);
    return o * o > 1e-24 * ab * ac;
  }
  // Whether D lies inside the circle through A, B and C (counter-clockwise).
  bool InCircle(int32_t a, int32_t b, int32_t c, int32_t d) const {
    const double ax = x_[a] - x_[d], az = z_[a] - z_[d], bx = x_[b] - x_[d], bz = z_[b] - z_[d];
    const double cx = x_[c] - x_[d], cz = z_[c] - z_[d];
    return (ax * ax + az * az) * (bx * cz - cx * bz) - (bx * bx + bz * bz) * (ax * cz - cx * az) +
               (cx * cx + cz * cz) * (ax * bz - bx * az) >
           0;
  }

  // Every point once: of points at the same X and Z, the first.
  std::vector<int32_t> DistinctPoints() const {
    std::vector<int32_t> idx;
    idx.reserve(x_.size());
    for (size_t i = 0; i < x_.size(); ++i)
      if (std::isfinite(x_[i]) && std::isfinite(z_[i])) idx.push_back(static_cast<int32_t>(i));
    std::vector<int32_t> sorted = idx;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](int32_t p, int32_t q) { return x_[p] < x_[q] || (x_[p] == x_[q] && z_[p] < z_[q]); });
    std::vector<char> dropped(x_.size(), 0);
    for (size_t i = 1; i < sorted.size(); ++i)
      if (x_[sorted[i]] == x_[sorted[i - 1]] && z_[sorted[i]] == z_[sorted[i - 1]])
        dropped[static_cast<size_t>(sorted[i])] = 1;
    std::erase_if(idx, [&](int32_t p) { return dropped[static_cast<size_t>(p)] != 0; });
    return idx;
  }

  // By a sweep along X, so that large point sets need not compare every pair.
  std::pair<int32_t, int32_t> ClosestPair(const std::vector<int32_t> &points) const {
    std::vector<int32_t> byX = points;
    std::stable_sort(byX.begin(), byX.end(), [&](int32_t p, int32_t q) { return x_[p] < x_[q]; });
    double best = std::numeric_limits<double>::infinity();
    std::pair<int32_t, int32_t> pair{byX[0], byX[1]};
    for (size_t i = 0; i < byX.size(); ++i)
      for (size_t j = i + 1; j < byX.size(); ++j) {
        double dx = x_[byX[j]] - x_[byX[i]];
        if (dx * dx >= best) break;
        double d = dx * dx + Sq(z_[byX[j]] - z_[byX[i]]);
        if (d < best) {
          best = d;
          pair = {std::min(byX[i], byX[j]), std::max(byX[i], byX[j])};
        }
      }
    return pair;
  }

  void FirstTriangle(int32_t a, int32_t b, int32_t c) {
    tris_.push_back(TTri{{a, b, c}, {-1, -1, -1}});
    Link(a, b, 0);
    Link(b, c, 0);
    Link(c, a, 0);
    hullStart_ = a;
  }

  // Border vertex A is followed by B along the edge in triangle T.
  void Link(int32_t a, int32_t b, int32_t t) {
    next_[static_cast<size_t>(a)] = b;
    prev_[static_cast<size_t>(b)] = a;
    hullTri_[static_cast<size_t>(a)] = t;
  }

  int SlotOf(const TTri &t, int32_t v) const {
    for (int i = 0; i < 3; ++i)
      if (t.V[i] == v) return i;
    return -1;
  }

  // Joins P to every border edge it sees. Points are taken in growing
  // distance from a point inside the first triangle, so each lies outside
  // the triangles made so far.
  void Insert(int32_t p) {
    int32_t v = hullStart_, seen = -1;
    do {
      if (RightOf(v, next_[static_cast<size_t>(v)], p)) {
        seen = v;
        break;
      }
      v = next_[static_cast<size_t>(v)];
    } while (v != hullStart_);
    if (seen < 0) return; // on the border line within rounding: nothing to join
    int32_t from = seen;
    while (RightOf(prev_[static_cast<size_t>(from)], from, p) && prev_[static_cast<size_t>(from)] != seen)
      from = prev_[static_cast<size_t>(from)];
    int32_t to = next_[static_cast<size_t>(seen)];
    while (RightOf(to, next_[static_cast<size_t>(to)], p) && to != from)
      to = next_[static_cast<size_t>(to)];

    stack_.clear();
    int32_t previousNew = -1;
    int32_t u = from;
    while (u != to) {
      int32_t w = next_[static_cast<size_t>(u)];
      int32_t outer = hullTri_[static_cast<size_t>(u)];
      auto t = static_cast<int32_t>(tris_.size());
      tris_.push_back(TTri{{u, p, w}, {previousNew, -1, outer}});
      TTri &o = tris_[static_cast<size_t>(outer)];
      o.Adj[SlotOf(o, u)] = t;
      if (previousNew >= 0) tris_[static_cast<size_t>(previousNew)].Adj[1] = t;
      stack_.push_back({t, 2});
      previousNew = t;
      if (u == from) hullTri_[static_cast<size_t>(from)] = t;
      u = w;
    }
    // The border now runs From -> P -> To.
    next_[static_cast<size_t>(from)] = p;
    prev_[static_cast<size_t>(p)] = from;
    next_[static_cast<size_t>(p)] = to;
    prev_[static_cast<size_t>(to)] = p;
    hullTri_[static_cast<size_t>(p)] = previousNew;
    hullStart_ = p;
    Legalize();
  }

  double SmallestAngle(int32_t a, int32_t b, int32_t c) const {
    auto angle = [&](int32_t o, int32_t p, int32_t q) {
      double ux = x_[p] - x_[o], uz = z_[p] - z_[o], vx = x_[q] - x_[o], vz = z_[q] - z_[o];
      return std::atan2(std::fabs(ux * vz - uz * vx), ux * vx + uz * vz);
    };
    return std::min({angle(a, b, c), angle(b, c, a), angle(c, a, b)});
  }

  // Swaps edges opposite the new point while the other diagonal of the
  // two triangles has the larger smallest angle.
  void Legalize() {
    size_t guard = 100 * (tris_.size() + 1);
    while (!stack_.empty() && guard-- > 0) {
      auto [t, i] = stack_.back();
      stack_.pop_back();
      TTri tri = tris_[static_cast<size_t>(t)];
      int32_t n = tri.Adj[i];
      if (n < 0) continue;
      const int32_t A = tri.V[i], B = tri.V[(i + 1) % 3], C = tri.V[(i + 2) % 3];
      TTri nb = tris_[static_cast<size_t>(n)];
      int j = SlotOf(nb, B);
      const int32_t D = nb.V[(j + 2) % 3];
      if (Orient(C, A, D) <= 0 || Orient(D, B, C) <= 0) continue; // not convex
      // Outside the circle the present diagonal has the larger smallest
      // angle already; only the others need their angles measured.
      if (!InCircle(A, B, C, D)) continue;
      double now = std::min(SmallestAngle(A, B, C), SmallestAngle(B, A, D));
      double swapped = std::min(SmallestAngle(C, A, D), SmallestAngle(D, B, C));
      if (swapped <= now + kSwapGain) continue;
      const int32_t tCA = tri.Adj[(i + 2) % 3], tBC = tri.Adj[(i + 1) % 3];
      const int32_t nAD = nb.Adj[(j + 1) % 3], nDB = nb.Adj[(j + 2) % 3];
      tris_[static_cast<size_t>(t)] = TTri{{C, A, D}, {tCA, nAD, n}};
      tris_[static_cast<size_t>(n)] = TTri{{D, B, C}, {nDB, tBC, t}};
      Repoint(nAD, n, t);
      Repoint(tBC, t, n);
      for (int32_t k : {t, n})
        for (int s = 0; s < 3; ++s)
          if (tris_[static_cast<size_t>(k)].Adj[s] < 0)
            hullTri_[static_cast<size_t>(tris_[static_cast<size_t>(k)].V[s])] = k;
      stack_.push_back({t, 1});
      stack_.push_back({n, 0});
    }
  }

  // Triangle Outer's neighbour From becomes To.
  void Repoint(int32_t outer, int32_t from, int32_t to) {
    if (outer < 0) return;
    for (int32_t &a : tris_[static_cast<size_t>(outer)].Adj)
      if (a == from) a = to;
  }

  std::span<const double> x_, z_;
  std::vector<TTri> tris_;
  std::vector<int32_t> next_, prev_, hullTri_;
  int32_t hullStart_ = -1;
  std::vector<std::pair<int32_t, int>> stack_;
};

} // namespace

void UloTriangulate(std::span<const double> x, std::span<const double> z, TUloTriangulation &result) {
  TTriangulator(x.first(std::min(x.size(), z.size())), z.first(std::min(x.size(), z.size()))).Run(result);
}

// ---- the series ---------------------------------------------------------------------------------

TCustomTriSurfaceSeries::TCustomTriSurfaceSeries() : border_(std::make_unique<TChartHiddenPen>([this] { Repaint(); })) {
  border_->SetColor(clWhite);
}

TCustomTriSurfaceSeries::~TCustomTriSurfaceSeries() = default;

void TCustomTriSurfaceSeries::SetTransparency(int value) { SetAndRepaint(transparency_, std::clamp(value, 0, 100)); }

void TCustomTriSurfaceSeries::ClearPoints() {
  TCustom3DPaletteSeries::ClearPoints();
  trianglesValid_ = false;
  triangulation_ = {};
  depthList_.clear();
  depthListUsed_ = false;
}

bool TCustomTriSurfaceSeries::TrianglesStale() const {
  const int n = PointCount();
  if (!trianglesValid_ || static_cast<size_t>(n) != triangulatedX_.size()) return true;
  if (n == 0 || cacheTriangles_) return false;
  const size_t bytes = static_cast<size_t>(n) * sizeof(double);
  return std::memcmp(XValues()->Values(), triangulatedX_.data(), bytes) != 0 ||
         std::memcmp(ZValues().Values(), triangulatedZ_.data(), bytes) != 0;
}

void TCustomTriSurfaceSeries::Triangulate() {
  const auto n = static_cast<size_t>(PointCount());
  triangulatedX_.assign(XValues()->Values(), XValues()->Values() + n);
  triangulatedZ_.assign(ZValues().Values(), ZValues().Values() + n);
  UloTriangulate(triangulatedX_, triangulatedZ_, triangulation_);
  trianglesValid_ = true;
  ++triangulations_;
}

void TCustomTriSurfaceSeries::CreateTriangles() {
  Triangulate();
  if (PointCount() >= 3 && NumTriangles() == 0) throw ETriSurfaceException(UloProTriangleSimilar);
}

void TCustomTriSurfaceSeries::DoBeforeDrawValues() {
  // The triangles depend only on X and Z, so they are kept until those
  // change: turning the view never triangulates again.
  if (PointCount() < 3) {
    triangulation_ = {};
    trianglesValid_ = false;
  } else if (TrianglesStale()) {
    Triangulate();
  }
  TCustom3DPaletteSeries::DoBeforeDrawValues();
}

void TCustomTriSurfaceSeries::ProjectPoints() {
  const int n = PointCount();
  pixels_.resize(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i)
    pixels_[static_cast<size_t>(i)] = TPoint3D{PointPixelX(i), PointPixelY(i), CalcZPos(i)};
}

void TCustomTriSurfaceSeries::DrawVisiblePoints() {
  depthList_.clear();
  depthListUsed_ = false;
  TCustomAxisPanel *chart = ParentChart();
  const int count = NumTriangles();
  if (!chart || count == 0) return;
  TCanvas3D &canvas = chart->Canvas();
  if (Pen().Visible() || Brush().Style() != TBrushStyle::bsClear) {
    canvas.ApplyBrush(Brush());
    canvas.ApplyPen(Pen());
  }
  ProjectPoints();
  const std::vector<int32_t> &tri = triangulation_.Triangles;
  const bool blend = transparency_ > 0;

  if (hideTriangles_ && !canvas.CapabilityFlagA() && Brush().Style() == TBrushStyle::bsSolid) {
    depthList_.resize(static_cast<size_t>(count));
    const double *z = ZValues().Values();
    for (int t = 0; t < count; ++t) {
      TDepthTriangle &d = depthList_[static_cast<size_t>(t)];
      const int32_t *v = &tri[static_cast<size_t>(t) * 3];
      for (int k = 0; k < 3; ++k)
        d.Corners[k] = canvas.ProjectPoint3D(pixels_[static_cast<size_t>(v[k])]);
      d.Color = PointColor(v[0]);
      d.Key = std::max({z[v[0]], z[v[1]], z[v[2]]});
      d.Number = t + 1;
    }
    // Farther triangles first: larger Z lies deeper unless the depth axis
    // is inverted, and the other way round when the view looks from behind.
    bool deeperFirst = !chart->DepthAxis()->Inverted();
    const TView3DOptions &view = chart->View3DOptions();
    if (chart->View3D() && !view.Orthogonal() && view.Rotation() > 90 && view.Rotation() < 270)
      deeperFirst = !deeperFirst;
    std::stable_sort(depthList_.begin(), depthList_.end(),
                     [deeperFirst](const TDepthTriangle &a, const TDepthTriangle &b) {
                       return deeperFirst ? a.Key > b.Key : a.Key < b.Key;
                     });
    depthListUsed_ = true;
    for (const TDepthTriangle &d : depthList_) {
      if (fastBrush_)
        canvas.Brush().SetColor(d.Color);
      else
        canvas.ApplyBrushColor(Brush(), d.Color);
      std::unique_ptr<TUloBlend> blending;
      if (blend) {
        TRect r{std::min({d.Corners[0].X, d.Corners[1].X, d.Corners[2].X}),
                std::min({d.Corners[0].Y, d.Corners[1].Y, d.Corners[2].Y}),
                std::max({d.Corners[0].X, d.Corners[1].X, d.Corners[2].X}) + 1,
                std::max({d.Corners[0].Y, d.Corners[1].Y, d.Corners[2].Y}) + 1};
        blending = canvas.BeginTransparentDrawing(r, transparency_);
      }
      canvas.Polygon(std::span<const TPoint>(d.Corners, 3));
      if (blend) canvas.EndTransparentDrawing(std::move(blending));
    }
  } else {
    for (int t = 0; t < count; ++t) {
      const int32_t *v = &tri[static_cast<size_t>(t) * 3];
      const TPoint3D &p0 = pixels_[static_cast<size_t>(v[0])], &p1 = pixels_[static_cast<size_t>(v[1])],
                     &p2 = pixels_[static_cast<size_t>(v[2])];
      std::unique_ptr<TUloBlend> blending;
      if (blend) {
        TPoint a = canvas.ProjectPoint3D(p0), b = canvas.ProjectPoint3D(p1), c = canvas.ProjectPoint3D(p2);
        TRect r{std::min({a.X, b.X, c.X}), std::min({a.Y, b.Y, c.Y}), std::max({a.X, b.X, c.X}) + 1,
                std::max({a.Y, b.Y, c.Y}) + 1};
        blending = canvas.BeginTransparentDrawing(r, transparency_);
      }
      canvas.Triangle3DPoints(p0, p1, p2, PointColor(v[0]));
      if (blend) canvas.EndTransparentDrawing(std::move(blending));
    }
  }

  if (border_->Visible()) {
    canvas.ApplyPen(*border_);
    const std::vector<int32_t> &edges = triangulation_.BorderEdges;
    for (size_t e = 0; e + 1 < edges.size(); e += 2) {
      canvas.MoveToPoint3D(pixels_[static_cast<size_t>(edges[e])]);
      canvas.LineToPoint3D(pixels_[static_cast<size_t>(edges[e + 1])]);
    }
  }
}

std::vector<int> TCustomTriSurfaceSeries::DepthOrder() const {
  std::vector<int> r;
  if (!depthListUsed_) return r;
  r.reserve(depthList_.size());
  for (const TDepthTriangle &d : depthList_)
    r.push_back(d.Number);
  return r;
}

int TCustomTriSurfaceSeries::PointAtPixel(int x, int y) {
  TCustomAxisPanel *chart = ParentChart();
  if (!chart) return -1;
  const TPoint p{x, y};
  if (depthListUsed_) {
    for (auto it = depthList_.rbegin(); it != depthList_.rend(); ++it)
      if (PointInPolygon(p, std::span<const TPoint>(it->Corners, 3))) return it->Number;
    return -1;
  }
  const int count = NumTriangles();
  if (count == 0 || static_cast<int>(pixels_.size()) != PointCount()) return -1;
  TCanvas3D &canvas = chart->Canvas();
  for (int t = 0; t < count; ++t) {
    const int32_t *v = &triangulation_.Triangles[static_cast<size_t>(t) * 3];
    TPoint corners[3];
    for (int k = 0; k < 3; ++k)
      corners[k] = canvas.ProjectPoint3D(pixels_[static_cast<size_t>(v[k])]);
    if (PointInPolygon(p, corners)) return t + 1;
  }
  return -1;
}

void TCustomTriSurfaceSeries::DrawPointMark(int index, const std::string &text, TSeriesMarkPosition &position) {
  if (index >= 0 && index < PointCount()) Marks().SetZPosition(CalcZPos(index));
  Marks().ApplyCalloutOffset(position);
  TChartSeries::DrawPointMark(index, text, position);
}

void TCustomTriSurfaceSeries::AddRandomWalk(int numValues) {
  // X and Z are the two random coordinates, Y the value above them.
  const int n = std::max(numValues, 3);
  for (int i = 0; i < n; ++i) {
    double a = static_cast<double>(rtl::RandomInt(1000)) * 0.001;
    double b = static_cast<double>(rtl::RandomInt(1000)) * 0.001;
    double e = std::exp(b);
    AddPointXYZ(a, std::cos(a * b) * e * e, b);
  }
}

int TCustomTriSurfaceSeries::BaseSubStyleCount() {
  int count = 0;
  TCustom3DPaletteSeries::ListSubStyles([&count](const std::string &) { ++count; });
  return count;
}

void TCustomTriSurfaceSeries::ListSubStyles(const TUloSubStyleCallback &callback) {
  TCustom3DPaletteSeries::ListSubStyles(callback);
  if (!callback) return;
  callback(UloProSubStyleWireframe);
  callback(UloProSubStyleNoLine);
  callback(UloProSubStyleBorder);
}

void TCustomTriSurfaceSeries::ApplySubStyle(int index) {
  const int base = BaseSubStyleCount();
  switch (index - base) {
  case 0:
    Brush().SetStyle(TBrushStyle::bsClear);
    break;
  case 1:
    Pen().SetVisible(false);
    break;
  case 2:
    border_->SetVisible(true);
    break;
  default:
    TCustom3DPaletteSeries::ApplySubStyle(index);
  }
}

void TCustomTriSurfaceSeries::Assign(const TCustomChartElement &source) {
  if (const auto *s = dynamic_cast<const TCustomTriSurfaceSeries *>(&source)) {
    border_->Assign(*s->border_);
    cacheTriangles_ = s->cacheTriangles_;
    hideTriangles_ = s->hideTriangles_;
    transparency_ = s->transparency_;
  }
  TCustom3DPaletteSeries::Assign(source);
}

void TCustomTriSurfaceSeries::DefineProperties(streaming::TPropertyTable &table) {
  TCustom3DPaletteSeries::DefineProperties(table);
  table.Object("Border", storedParts_.Get(
                             "Border", [this](streaming::TPropertyTable &t) { DefineChartPen(t, *border_, clWhite); }));
  table.Property("FastBrush", this, &TCustomTriSurfaceSeries::FastBrush, &TCustomTriSurfaceSeries::SetFastBrush, false);
  table.Property("HideTriangles", this, &TCustomTriSurfaceSeries::HideTriangles,
                 &TCustomTriSurfaceSeries::SetHideTriangles, true);
  table.Property("Transparency", this, &TCustomTriSurfaceSeries::Transparency,
                 &TCustomTriSurfaceSeries::SetTransparency, 0);
}

// ---- start and stop --------------------------------------------------------------------------------

void StartTriSurfaceUnit() {
  RegisterUloSeries(UloClass<TTriSurfaceSeries>(), UloProGalleryTriSurface, UloProGalleryPage3D, 1);
}

void StopTriSurfaceUnit() { UnRegisterUloSeries({UloClass<TTriSurfaceSeries>()}); }
