// Values of the layer: raster operations, fonts, pattern brushes, regions.
#include "platform/gdi/GdiPrivate.h"

#include "platform/rtl/Numbers.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>
#include <map>
#include <mutex>

namespace gdi {

uint32_t ApplyRasterOp(RasterOp op, uint32_t dest, uint32_t pen) {
  const unsigned code = static_cast<unsigned>(op) - 1;
  uint32_t r;
  switch (op) {
  case RasterOp::CopyPen:
    r = pen;
    break;
  case RasterOp::XorPen:
    r = dest ^ pen;
    break;
  case RasterOp::NotXorPen:
    r = ~(dest ^ pen);
    break;
  case RasterOp::Not:
    r = ~dest;
    break;
  case RasterOp::Nop:
    r = dest;
    break;
  default:
    r = 0;
    for (unsigned i = 0; i < 4; ++i) {
      if (!(code & (1u << i))) continue;
      r |= ((i & 2) ? pen : ~pen) & ((i & 1) ? dest : ~dest);
    }
  }
  return r & 0x00FFFFFFu;
}

// ---------------------------------------------------------------- fonts

int32_t FontHeightFromPoints(int32_t points) {
  return -static_cast<int32_t>(rtl::RoundHalfEven(static_cast<double>(points) * kPixelsPerInch / 72.0));
}

int32_t FontPointsFromHeight(int32_t height) {
  const int64_t h = height < 0 ? -static_cast<int64_t>(height) : height;
  return static_cast<int32_t>(rtl::RoundHalfEven(static_cast<double>(h) * 72.0 / kPixelsPerInch));
}

namespace {

// The installed face that stands for a requested one. Looked up once per
// name: the font database is slow to ask.
QString MappedFamily(const std::string &face) {
  static std::mutex lock;
  static std::map<std::string, QString> cache;
  std::lock_guard guard(lock);
  if (auto it = cache.find(face); it != cache.end()) return it->second;
  static const std::pair<const char *, const char *> kAliases[] = {
      {"arial", "Liberation Sans"},
      {"ms sans serif", "Liberation Sans"},
      {"microsoft sans serif", "Liberation Sans"},
      {"helvetica", "Liberation Sans"},
      {"times new roman", "Liberation Serif"},
      {"times", "Liberation Serif"},
      {"courier new", "Liberation Mono"},
      {"courier", "Liberation Mono"},
      {"tahoma", "DejaVu Sans"},
      {"verdana", "DejaVu Sans"},
  };
  QString wanted = QString::fromStdString(face);
  const QString lower = wanted.toLower();
  for (const auto &[from, to] : kAliases)
    if (lower == QLatin1String(from)) wanted = QString::fromLatin1(to);
  const QStringList families = QFontDatabase::families();
  QString result = QStringLiteral("DejaVu Sans");
  for (const QString &f : families)
    if (f.compare(wanted, Qt::CaseInsensitive) == 0) {
      result = f;
      break;
    }
  cache.emplace(face, result);
  return result;
}

// The em size for a cell height: scaled from the face's proportions.
int EmForCellHeight(const QFont &base, int32_t cell) {
  QFont probe = base;
  probe.setPixelSize(100);
  const QFontMetricsF fm(probe);
  const double total = fm.ascent() + fm.descent();
  if (!(total > 0)) return cell;
  const double em = rtl::RoundHalfEven(static_cast<double>(cell) * 100.0 / total);
  return std::max(1, static_cast<int>(std::min(em, 1.0e6)));
}

} // namespace

QFont ToQFont(const Font &font, int32_t charExtra) {
  QFont f(MappedFamily(font.Face));
  f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  const int weight = font.Weight <= 0 ? kFontWeightNormal : std::min(font.Weight, 1000);
  f.setWeight(static_cast<QFont::Weight>(weight));
  f.setItalic(font.Italic);
  f.setUnderline(font.Underline);
  f.setStrikeOut(font.StrikeOut);
  int em;
  if (font.Height < 0)
    em = font.Height == INT32_MIN ? 1000000 : std::min(-font.Height, 1000000);
  else if (font.Height > 0)
    em = EmForCellHeight(f, std::min(font.Height, 1000000));
  else
    em = 12;
  f.setPixelSize(std::max(1, em));
  if (charExtra != 0) f.setLetterSpacing(QFont::AbsoluteSpacing, charExtra);
  return f;
}

// ---------------------------------------------------------------- brushes

Brush Brush::Pattern(const Bitmap &bitmap, bool monochrome) {
  auto data = std::make_shared<PatternData>();
  data->image = bitmap.Impl().image.copy();
  data->monochrome = monochrome;
  Brush b;
  b.Style = bitmap.IsEmpty() ? BrushStyle::Clear : BrushStyle::Pattern;
  b.PatternImage = std::move(data);
  return b;
}

// ---------------------------------------------------------------- regions

QRegion RegionFromDrawing(const QRect &wanted, const std::function<void(QPainter &)> &draw) {
  // No surface is larger than this; beyond it a region has no use, and the
  // mask would be too large to render.
  constexpr int kLimit = 16384;
  const QRect bounds = wanted.intersected(QRect(-kLimit, -kLimit, 2 * kLimit, 2 * kLimit));
  if (bounds.isEmpty()) return {};
  QList<QRect> rects;
  constexpr int kBand = 256;
  QImage mask(bounds.width(), std::min(kBand, bounds.height()), QImage::Format_Grayscale8);
  for (int top = bounds.top(); top <= bounds.bottom(); top += kBand) {
    mask.fill(0);
    {
      QPainter p(&mask);
      p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform, false);
      p.translate(-bounds.left(), -top);
      p.setPen(Qt::NoPen);
      p.setBrush(Qt::white);
      draw(p);
    }
    const int rows = std::min(kBand, bounds.bottom() + 1 - top);
    for (int y = 0; y < rows; ++y) {
      const uchar *row = mask.constScanLine(y);
      const int w = mask.width();
      int x = 0;
      while (x < w) {
        while (x < w && row[x] == 0)
          ++x;
        if (x >= w) break;
        const int start = x;
        while (x < w && row[x] != 0)
          ++x;
        rects.append(QRect(bounds.left() + start, top + y, x - start, 1));
      }
    }
  }
  QRegion r;
  r.setRects(rects.constData(), static_cast<int>(rects.size()));
  return r;
}

namespace {

QRect BoxOf(const Rect &r) {
  const int32_t l = std::min(r.left, r.right), t = std::min(r.top, r.bottom);
  return QRect(l, t, std::max(r.left, r.right) - l, std::max(r.top, r.bottom) - t);
}

} // namespace

Region::Region() : impl_(std::make_unique<RegionImpl>()) {}
Region::~Region() = default;
Region::Region(const Region &other) : impl_(std::make_unique<RegionImpl>(*other.impl_)) {}
Region &Region::operator=(const Region &other) {
  if (this != &other) *impl_ = *other.impl_;
  return *this;
}
Region::Region(Region &&other) noexcept : impl_(std::make_unique<RegionImpl>()) { std::swap(impl_, other.impl_); }
Region &Region::operator=(Region &&other) noexcept {
  std::swap(impl_, other.impl_);
  return *this;
}

Region Region::FromRect(const Rect &r) {
  Region g;
  g.impl_->region = QRegion(BoxOf(r));
  return g;
}

namespace {

QRegion SpansRegion(const QRect &box, double rx, double ry) {
  QList<QRect> rects;
  RoundedSpans(box.left(), box.top(), box.left() + box.width(), box.top() + box.height(), rx, ry, -16384, 16384,
               [&](int y, int x0, int x1) { rects.append(QRect(x0, y, x1 - x0, 1)); });
  QRegion r;
  r.setRects(rects.constData(), static_cast<int>(rects.size()));
  return r;
}

} // namespace

// Both cover what DeviceContext::RoundRect and Ellipse fill on the box one
// pixel larger with no pen.
Region Region::FromRoundRect(const Rect &r, int32_t cornerWidth, int32_t cornerHeight) {
  const QRect box = BoxOf(r);
  Region g;
  if (box.isEmpty()) return g;
  g.impl_->region =
      SpansRegion(box, std::abs(static_cast<double>(cornerWidth)) / 2, std::abs(static_cast<double>(cornerHeight)) / 2);
  return g;
}

Region Region::FromEllipse(const Rect &r) {
  const QRect box = BoxOf(r);
  Region g;
  if (box.isEmpty()) return g;
  g.impl_->region = SpansRegion(box, box.width() / 2.0, box.height() / 2.0);
  return g;
}

namespace {

// The pixels whose centres lie inside a polygon, row by row; an edge
// counts for the rows whose centres are at or below its top and above its
// bottom, and a pixel belongs to a span when its centre is at or right of
// the span's left crossing and left of its right one (so right and bottom
// edges stay out, as in the filled polygon). Works in doubles, so
// coordinates near the largest pixel value do not overflow.
QRegion PolygonRegion(std::span<const Point> points, bool winding) {
  constexpr double kLimit = 16384;
  struct Edge {
    double ya, yb, xa, slope;
    int dir;
  };
  std::vector<Edge> edges;
  double top = kLimit, bottom = -kLimit;
  for (size_t i = 0; i < points.size(); ++i) {
    const Point p = points[i], q = points[(i + 1) % points.size()];
    if (p.y == q.y) continue;
    const bool down = q.y > p.y;
    const Point a = down ? p : q, b = down ? q : p;
    edges.push_back({double(a.y), double(b.y), double(a.x), double(b.x - a.x) / double(b.y - a.y), down ? 1 : -1});
    top = std::min(top, double(a.y));
    bottom = std::max(bottom, double(b.y));
  }
  std::sort(edges.begin(), edges.end(), [](const Edge &l, const Edge &r) { return l.ya < r.ya; });
  const int y0 = static_cast<int>(std::max(-kLimit, std::floor(top - 0.5)));
  const int y1 = static_cast<int>(std::min(kLimit, std::ceil(bottom)));
  QList<QRect> rects;
  std::vector<const Edge *> active;
  std::vector<std::pair<double, int>> cross;
  size_t next = 0;
  for (int y = y0; y < y1; ++y) {
    const double yc = y + 0.5;
    while (next < edges.size() && edges[next].ya <= yc)
      active.push_back(&edges[next++]);
    std::erase_if(active, [&](const Edge *e) { return e->yb <= yc; });
    cross.clear();
    for (const Edge *e : active)
      if (e->ya <= yc) cross.emplace_back(e->xa + (yc - e->ya) * e->slope, e->dir);
    std::sort(cross.begin(), cross.end());
    int count = 0;
    for (size_t i = 0; i + 1 < cross.size(); ++i) {
      count += winding ? cross[i].second : 1;
      const bool inside = winding ? count != 0 : (count % 2) == 1;
      if (!inside) continue;
      const double xl = std::clamp(std::ceil(cross[i].first - 0.5), -kLimit, kLimit);
      const double xr = std::clamp(std::ceil(cross[i + 1].first - 0.5), -kLimit, kLimit);
      if (xr > xl) rects.append(QRect(static_cast<int>(xl), y, static_cast<int>(xr - xl), 1));
    }
  }
  // Spans of one row may touch (winding runs); QRegion wants them apart.
  QRegion r;
  for (qsizetype i = 0; i < rects.size();) {
    qsizetype j = i + 1;
    QRect run = rects[i];
    while (j < rects.size() && rects[j].top() == run.top() && rects[j].left() <= run.right() + 1) {
      run.setRight(std::max(run.right(), rects[j].right()));
      ++j;
    }
    rects[i] = run;
    for (qsizetype k = i + 1; k < j; ++k)
      rects[k] = QRect();
    i = j;
  }
  rects.removeIf([](const QRect &q) { return q.isNull(); });
  r.setRects(rects.constData(), static_cast<int>(rects.size()));
  return r;
}

} // namespace

Region Region::FromPolygon(std::span<const Point> points, PolyFillMode mode) {
  Region g;
  if (points.size() < 3) return g;
  g.impl_->region = PolygonRegion(points, mode == PolyFillMode::Winding);
  return g;
}

QRegion Combined(const QRegion &a, const QRegion &b, RegionOp op) {
  switch (op) {
  case RegionOp::And:
    return a.intersected(b);
  case RegionOp::Or:
    return a.united(b);
  case RegionOp::Xor:
    return a.xored(b);
  case RegionOp::Diff:
    return a.subtracted(b);
  case RegionOp::Copy:
    break;
  }
  return b;
}

void Region::Combine(const Region &other, RegionOp op) {
  impl_->region = Combined(impl_->region, other.impl_->region, op);
}

void Region::Offset(int32_t dx, int32_t dy) { impl_->region.translate(dx, dy); }
bool Region::IsEmpty() const { return impl_->region.isEmpty(); }

Rect Region::Bounds() const {
  if (impl_->region.isEmpty()) return {};
  const QRect b = impl_->region.boundingRect();
  return {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

bool Region::Contains(int32_t x, int32_t y) const { return impl_->region.contains(QPoint(x, y)); }
bool Region::operator==(const Region &other) const { return impl_->region == other.impl_->region; }

std::vector<Rect> Region::Rects() const {
  std::vector<Rect> out;
  for (const QRect &r : impl_->region)
    out.push_back({r.left(), r.top(), r.left() + r.width(), r.top() + r.height()});
  return out;
}

} // namespace gdi
