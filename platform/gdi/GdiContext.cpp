// The device context: state, lines, shapes, paths and clipping.
#include "platform/gdi/ContextPrivate.h"

#include "platform/rtl/Numbers.h"

#include <QPainterPathStroker>

#include <cmath>
#include <numbers>

namespace gdi {

namespace {

QColor QColorOf(TColor c) { return QColor::fromRgb(ToQRgb(c)); }

QRect QRectOf(const Rect &r) { return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top); }

Box Normalised(int32_t l, int32_t t, int32_t r, int32_t b) {
  return {std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}

void RecordLines(QPainterPath &path, std::span<const Point> points) {
  path.moveTo(points[0].x, points[0].y);
  for (size_t i = 1; i < points.size(); ++i)
    path.lineTo(points[i].x, points[i].y);
}

const QPoint *AsQPoints(std::span<const Point> points) {
  static_assert(sizeof(Point) == sizeof(QPoint) && alignof(Point) == alignof(QPoint));
  return reinterpret_cast<const QPoint *>(points.data());
}

} // namespace

// ---------------------------------------------------------------- painter and device objects

bool DeviceContext::Impl::Begin() {
  if (painter.isActive()) return true;
  if (bitmap->image.isNull()) return false;
  painter.begin(&bitmap->image);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform, false);
  clipSynced = bgSynced = penSet = brushSet = false;
  return true;
}

void DeviceContext::Impl::End() {
  if (painter.isActive()) painter.end();
}

void DeviceContext::Impl::SyncClip() {
  if (clipSynced) return;
  if (s.hasClip)
    painter.setClipRegion(s.clip);
  else
    painter.setClipping(false);
  clipSynced = true;
}

void DeviceContext::Impl::SyncBackground() {
  if (bgSynced) return;
  painter.setBackgroundMode(s.bkMode == BkMode::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
  painter.setBackground(QColorOf(IsDrawable(s.bkColor) ? s.bkColor : clWhite));
  bgSynced = true;
}

void DeviceContext::Impl::BuildPen() {
  if (!penDirty) return;
  penDirty = false;
  penSet = false;
  const Pen &p = s.pen;
  const TColor color = p.UseDeviceColor ? s.devicePenColor : p.Color;
  penVisible = p.Style != PenStyle::Clear && IsDrawable(color);
  penCosmetic = p.IsCosmetic();
  penWidth = penCosmetic ? 1 : std::max(1, p.Width);
  penSolid = p.Style == PenStyle::Solid || p.Style == PenStyle::InsideFrame;
  if (!penVisible) {
    qpen = QPen(Qt::NoPen);
    return;
  }
  QPen q(QColorOf(color));
  QList<qreal> dashes;
  // Cosmetic patterns are in pixels; geometric ones in widths.
  switch (p.Style) {
  case PenStyle::Dash:
    dashes = penCosmetic ? QList<qreal>{18, 6} : QList<qreal>{3, 1};
    break;
  case PenStyle::Dot:
    dashes = penCosmetic ? QList<qreal>{3, 3} : QList<qreal>{1, 1};
    break;
  case PenStyle::DashDot:
    dashes = penCosmetic ? QList<qreal>{9, 6, 3, 6} : QList<qreal>{3, 1, 1, 1};
    break;
  case PenStyle::DashDotDot:
    dashes = penCosmetic ? QList<qreal>{9, 3, 3, 3, 3, 3} : QList<qreal>{3, 1, 1, 1, 1, 1};
    break;
  case PenStyle::Alternate:
    dashes = {1, 1};
    break;
  case PenStyle::UserStyle:
    for (size_t i = 0; i < p.Dashes.size(); ++i) {
      double d = p.Dashes[i];
      // A dash of 0 is a dot as wide as the pen; one pixel on a thin pen.
      if (i % 2 == 0 && d == 0) d = penWidth <= 1 ? 1 : 0.001 * penWidth;
      dashes.append(d / penWidth);
    }
    if (dashes.size() % 2 == 1) dashes.append(dashes.back());
    break;
  default:
    break;
  }
  if (penCosmetic || penWidth <= 1) {
    q.setWidth(0);
    q.setCosmetic(true);
    // A flat cap leaves the last pixel of a line out.
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
  } else {
    q.setWidth(penWidth);
    q.setCapStyle(p.Cap == PenEndCap::Round ? Qt::RoundCap : p.Cap == PenEndCap::Square ? Qt::SquareCap : Qt::FlatCap);
    q.setJoinStyle(p.Join == PenJoin::Round ? Qt::RoundJoin : p.Join == PenJoin::Bevel ? Qt::BevelJoin : Qt::MiterJoin);
    q.setMiterLimit(10);
  }
  if (!dashes.isEmpty()) q.setDashPattern(dashes);
  qpen = q;
}

QBrush DeviceContext::Impl::MakeBrush(const Brush &b) const {
  const TColor color = b.UseDeviceColor ? s.deviceBrushColor : b.Color;
  switch (b.Style) {
  case BrushStyle::Clear:
    return QBrush(Qt::NoBrush);
  case BrushStyle::Solid:
    if (!IsDrawable(color)) return QBrush(Qt::NoBrush);
    return QBrush(QColorOf(color));
  case BrushStyle::Hatched: {
    if (!IsDrawable(color)) return QBrush(Qt::NoBrush);
    static constexpr Qt::BrushStyle kHatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                                Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(QColorOf(color), kHatch[static_cast<int>(b.Hatch)]);
  }
  case BrushStyle::Pattern: {
    if (!b.PatternImage || b.PatternImage->image.isNull()) return QBrush(Qt::NoBrush);
    if (!b.PatternImage->monochrome) return QBrush(b.PatternImage->image);
    // Black takes the text colour, white the background colour.
    QImage img = b.PatternImage->image.copy();
    const QRgb fore = ToQRgb(IsDrawable(s.textColor) ? s.textColor : clBlack);
    const QRgb back = ToQRgb(IsDrawable(s.bkColor) ? s.bkColor : clWhite);
    for (int y = 0; y < img.height(); ++y) {
      QRgb *row = reinterpret_cast<QRgb *>(img.scanLine(y));
      for (int x = 0; x < img.width(); ++x)
        row[x] = (row[x] & 0xFFFFFF) == 0 ? fore : back;
    }
    return QBrush(img);
  }
  }
  return QBrush(Qt::NoBrush);
}

void DeviceContext::Impl::BuildBrush() {
  if (!brushDirty) return;
  brushDirty = false;
  brushSet = false;
  qbrush = MakeBrush(s.brush);
  brushVisible = qbrush.style() != Qt::NoBrush;
}

QPainter &DeviceContext::Impl::Shape(bool usePen, bool useBrush) {
  SyncClip();
  SyncBackground();
  if (usePen) {
    BuildPen();
    if (!penSet) {
      painter.setPen(qpen);
      penSet = true;
    }
  } else if (penSet || painter.pen().style() != Qt::NoPen) {
    painter.setPen(Qt::NoPen);
    penSet = false;
  }
  if (useBrush) {
    BuildBrush();
    if (!brushSet) {
      painter.setBrush(qbrush);
      brushSet = true;
    }
  } else if (brushSet || painter.brush().style() != Qt::NoBrush) {
    painter.setBrush(Qt::NoBrush);
    brushSet = false;
  }
  return painter;
}

std::vector<QRect> DeviceContext::Impl::Visible(const QRect &r) const {
  std::vector<QRect> out;
  const QRect area = r.intersected(SurfaceRect());
  if (area.isEmpty()) return out;
  if (!s.hasClip) {
    out.push_back(area);
    return out;
  }
  for (const QRect &c : s.clip) {
    const QRect part = c.intersected(area);
    if (!part.isEmpty()) out.push_back(part);
  }
  return out;
}

bool DeviceContext::Impl::ReadyToDraw(bool &usePen, bool &useBrush) {
  if (usePen) BuildPen();
  if (useBrush) BuildBrush();
  usePen = usePen && penVisible;
  useBrush = useBrush && brushVisible;
  if (!usePen && !useBrush) return false;
  if (s.rop == RasterOp::Nop || !Begin()) return false;
  Touched();
  return true;
}

void DeviceContext::Impl::DrawCombined(const QRect &bounds, bool usePen, bool useBrush,
                                       const std::function<void(QPainter &)> &draw) {
  // Coverage first, then one combination per covered pixel: drawing the same
  // figure twice in exclusive-or restores the surface exactly.
  QRect area = bounds.intersected(SurfaceRect());
  if (s.hasClip) area = area.intersected(s.clip.boundingRect());
  if (area.isEmpty()) return;
  QImage cover(area.size(), QImage::Format_ARGB32_Premultiplied);
  cover.fill(0);
  {
    QPainter p(&cover);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform, false);
    p.translate(-area.left(), -area.top());
    if (s.hasClip) p.setClipRegion(s.clip);
    p.setBackgroundMode(s.bkMode == BkMode::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
    p.setBackground(QColorOf(IsDrawable(s.bkColor) ? s.bkColor : clWhite));
    p.setBrushOrigin(0, 0);
    p.setPen(usePen ? qpen : QPen(Qt::NoPen));
    p.setBrush(useBrush ? qbrush : QBrush(Qt::NoBrush));
    draw(p);
  }
  QImage &image = Image();
  for (int y = 0; y < area.height(); ++y) {
    const QRgb *src = reinterpret_cast<const QRgb *>(cover.constScanLine(y));
    QRgb *dst = reinterpret_cast<QRgb *>(image.scanLine(area.top() + y)) + area.left();
    for (int x = 0; x < area.width(); ++x)
      if (qAlpha(src[x]) != 0) dst[x] = 0xFF000000u | ApplyRasterOp(s.rop, dst[x], src[x]);
  }
}

// ---------------------------------------------------------------- construction and state

DeviceContext::DeviceContext(Bitmap &target) : target_(&target), impl_(std::make_unique<Impl>()) {
  impl_->bitmap = &target.Impl();
}

DeviceContext::~DeviceContext() { impl_->End(); }

int32_t DeviceContext::Width() const { return impl_->bitmap->image.width(); }
int32_t DeviceContext::Height() const { return impl_->bitmap->image.height(); }

void DeviceContext::Flush() { impl_->End(); }

namespace {

// Stores `value` and returns the old one; `changed` runs only when they
// differ, so setting the same value again rebuilds nothing.
template <class T, class Fn> T Exchange(T &slot, const T &value, Fn &&changed) {
  T old = slot;
  if (!(value == old)) {
    slot = value;
    changed();
  }
  return old;
}

} // namespace

Pen DeviceContext::SelectPen(const Pen &pen) {
  return Exchange(impl_->s.pen, pen, [&] { impl_->penDirty = true; });
}
const Pen &DeviceContext::CurrentPen() const { return impl_->s.pen; }

Brush DeviceContext::SelectBrush(const Brush &brush) {
  return Exchange(impl_->s.brush, brush, [&] { impl_->brushDirty = true; });
}
const Brush &DeviceContext::CurrentBrush() const { return impl_->s.brush; }

Font DeviceContext::SelectFont(const Font &font) {
  return Exchange(impl_->s.font, font, [&] { impl_->fontDirty = true; });
}
const Font &DeviceContext::CurrentFont() const { return impl_->s.font; }

// A monochrome pattern brush is built in the text and background colours.
TColor DeviceContext::SetTextColor(TColor color) {
  return Exchange(impl_->s.textColor, color, [&] {
    if (impl_->s.brush.Style == BrushStyle::Pattern) impl_->brushDirty = true;
  });
}
TColor DeviceContext::TextColor() const { return impl_->s.textColor; }

TColor DeviceContext::SetBkColor(TColor color) {
  return Exchange(impl_->s.bkColor, color, [&] {
    impl_->bgSynced = false;
    if (impl_->s.brush.Style == BrushStyle::Pattern) impl_->brushDirty = true;
  });
}
TColor DeviceContext::BkColor() const { return impl_->s.bkColor; }

BkMode DeviceContext::SetBkMode(BkMode mode) {
  return Exchange(impl_->s.bkMode, mode, [&] { impl_->bgSynced = false; });
}
BkMode DeviceContext::GetBkMode() const { return impl_->s.bkMode; }

uint32_t DeviceContext::SetTextAlign(uint32_t flags) { return std::exchange(impl_->s.align, flags); }
uint32_t DeviceContext::TextAlign() const { return impl_->s.align; }

int32_t DeviceContext::SetTextCharacterExtra(int32_t extra) {
  return Exchange(impl_->s.charExtra, extra, [&] { impl_->fontDirty = true; });
}
int32_t DeviceContext::TextCharacterExtra() const { return impl_->s.charExtra; }

RasterOp DeviceContext::SetRasterOp(RasterOp op) {
  if (static_cast<int>(op) < 1 || static_cast<int>(op) > 16) return impl_->s.rop;
  return std::exchange(impl_->s.rop, op);
}
RasterOp DeviceContext::GetRasterOp() const { return impl_->s.rop; }

PolyFillMode DeviceContext::SetPolyFillMode(PolyFillMode mode) { return std::exchange(impl_->s.fillMode, mode); }
PolyFillMode DeviceContext::GetPolyFillMode() const { return impl_->s.fillMode; }

TColor DeviceContext::SetDeviceBrushColor(TColor color) {
  return Exchange(impl_->s.deviceBrushColor, color, [&] {
    if (impl_->s.brush.UseDeviceColor) impl_->brushDirty = true;
  });
}
TColor DeviceContext::DeviceBrushColor() const { return impl_->s.deviceBrushColor; }

TColor DeviceContext::SetDevicePenColor(TColor color) {
  return Exchange(impl_->s.devicePenColor, color, [&] {
    if (impl_->s.pen.UseDeviceColor) impl_->penDirty = true;
  });
}
TColor DeviceContext::DevicePenColor() const { return impl_->s.devicePenColor; }

int32_t DeviceContext::Save() {
  impl_->saved.push_back(impl_->s);
  return static_cast<int32_t>(impl_->saved.size());
}

bool DeviceContext::Restore(int32_t level) {
  auto &saved = impl_->saved;
  const int64_t n = static_cast<int64_t>(saved.size());
  const int64_t index = level < 0 ? n + level : static_cast<int64_t>(level) - 1;
  if (level == 0 || index < 0 || index >= n) return false;
  impl_->Replace(saved[static_cast<size_t>(index)]);
  saved.resize(static_cast<size_t>(index));
  return true;
}

void DeviceContext::ResetState() {
  impl_->Replace(State());
  impl_->saved.clear();
}

void DeviceContext::Impl::Replace(const State &state) {
  s = state;
  penDirty = brushDirty = fontDirty = true;
  clipSynced = bgSynced = false;
}

// ---------------------------------------------------------------- lines

Point DeviceContext::MoveTo(int32_t x, int32_t y) {
  const Point old = impl_->s.position;
  impl_->s.position = {x, y};
  if (impl_->inPath) impl_->path.moveTo(x, y);
  return old;
}

Point DeviceContext::CurrentPosition() const { return impl_->s.position; }

void DeviceContext::LineTo(int32_t x, int32_t y) {
  Impl &d = *impl_;
  const Point from = d.s.position;
  d.s.position = {x, y};
  if (d.inPath) {
    if (d.path.elementCount() == 0) d.path.moveTo(from.x, from.y);
    d.path.lineTo(x, y);
    return;
  }
  d.BuildPen();
  if (!d.penVisible) return;
  if (d.penWidth <= 1) { // one pixel wide, cosmetic or not
    const Point pts[2] = {from, {x, y}};
    d.ThinLines(pts);
    return;
  }
  const QRect bounds = Around(from.x, from.y, x, y, d.penWidth + 2);
  d.DrawShape(bounds, true, false, [&](QPainter &p) { p.drawLine(QPoint(from.x, from.y), QPoint(x, y)); });
}

namespace {

// A wide stroke over many points makes Qt's stroker and rasteriser work on
// one enormous self-overlapping outline, which takes seconds to minutes.
// Short overlapping runs keep every join and cost time in proportion to
// the points; the caps of the whole line are drawn on their own.
constexpr size_t kWideRun = 32;

template <class P> QPointF F(const P &p) { return QPointF(p.x(), p.y()); }

// `pen` is solid here.
template <class P> void DrawSolidWide(QPainter &p, const QPen &pen, const P *q, size_t n) {
  if (n <= kWideRun + 1) {
    p.setPen(pen);
    p.drawPolyline(q, static_cast<int>(n));
    return;
  }
  QPen run = pen;
  run.setCapStyle(Qt::FlatCap);
  p.setPen(run);
  // Each run starts one segment before the previous run ended, so the join
  // at the shared point is drawn whole by the later run.
  for (size_t start = 0; start + 1 < n;) {
    const size_t end = std::min(n - 1, start + kWideRun);
    p.drawPolyline(q + start, static_cast<int>(end - start + 1));
    if (end == n - 1) break;
    start = end - 1;
  }
  p.setPen(pen);
  if (pen.capStyle() == Qt::FlatCap) return;
  // The two ends of the whole line get the pen's own cap.
  const qreal width = pen.widthF();
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(pen.color());
  auto cap = [&](QPointF at, QPointF toward) {
    if (pen.capStyle() == Qt::RoundCap) {
      p.drawEllipse(at, width / 2, width / 2);
      return;
    }
    QPointF dir = at - toward;
    const qreal len = std::hypot(dir.x(), dir.y());
    if (len == 0) return;
    dir /= len;
    const QPointF nrm(-dir.y(), dir.x());
    const qreal h = width / 2;
    const QPointF poly[4] = {at + nrm * h, at + nrm * h + dir * h, at - nrm * h + dir * h, at - nrm * h};
    p.drawPolygon(poly, 4);
  };
  size_t first = 1, last = n - 2;
  while (first < n - 1 && q[first] == q[0])
    ++first;
  while (last > 0 && q[last] == q[n - 1])
    --last;
  cap(F(q[0]), F(q[first]));
  cap(F(q[n - 1]), F(q[last]));
  p.restore();
}

// Qt's dasher spends microseconds on every dash; on a long dense line that
// adds up to minutes. The dashes are cut here instead (the pattern in pen
// widths, running on across the vertices) and each is drawn as a solid
// stroke with the pen's caps, as Qt would draw it.
// The part [from, to] (in lengths along it) of the segment a-b that lies in
// `view`; false when none does.
bool ClipSegment(QPointF a, QPointF b, const QRectF &view, qreal len, qreal &from, qreal &to) {
  qreal t0 = 0, t1 = 1;
  const qreal dx = b.x() - a.x(), dy = b.y() - a.y();
  auto edge = [&](qreal p, qreal q) {
    if (p == 0) return q >= 0;
    const qreal r = q / p;
    if (p < 0) {
      if (r > t1) return false;
      t0 = std::max(t0, r);
    } else {
      if (r < t0) return false;
      t1 = std::min(t1, r);
    }
    return true;
  };
  if (!edge(-dx, a.x() - view.left()) || !edge(dx, view.right() - a.x()) || !edge(-dy, a.y() - view.top()) ||
      !edge(dy, view.bottom() - a.y()))
    return false;
  from = t0 * len;
  to = t1 * len;
  return to > from;
}

void DrawDashedWide(QPainter &p, const QPen &pen, const QPoint *q, size_t n, const QRectF &view) {
  const qreal width = pen.widthF();
  std::vector<qreal> pattern;
  for (qreal v : pen.dashPattern())
    pattern.push_back(std::max<qreal>(v * width, 0));
  qreal period = 0;
  for (qreal v : pattern)
    period += v;
  QPen solid = pen;
  solid.setStyle(Qt::SolidLine);
  if (pattern.size() < 2 || !(period > 0)) {
    DrawSolidWide(p, solid, q, n);
    return;
  }
  size_t index = 0;
  qreal left = pattern[0];
  bool on = true;
  std::vector<QPointF> piece{F(q[0])};
  // Dashes within one segment, the most, go to Qt in small batches.
  constexpr size_t kBatch = 256;
  std::vector<QLineF> lines;
  p.setPen(solid);
  auto flush = [&] {
    if (piece.size() == 2) {
      lines.emplace_back(piece[0], piece[1]);
      if (lines.size() == kBatch) {
        p.drawLines(lines.data(), static_cast<int>(lines.size()));
        lines.clear();
      }
    } else if (piece.size() > 2) {
      DrawSolidWide(p, solid, piece.data(), piece.size());
      p.setPen(solid);
    }
    piece.clear();
  };
  auto next = [&] {
    on = !on;
    index = (index + 1) % pattern.size();
    left = pattern[index];
  };
  // Dashes along [pos, end] of the segment a-b.
  auto dash = [&](QPointF a, QPointF b, qreal len, qreal pos, qreal end) {
    while (end - pos > left) {
      pos += left;
      const QPointF at = a + (b - a) * (pos / len);
      if (on) {
        piece.push_back(at);
        flush();
      } else {
        piece.assign(1, at);
      }
      next();
    }
    left -= end - pos;
    if (on) piece.push_back(a + (b - a) * (end / len));
  };
  // Moves the pattern on by `distance` out of sight, in constant time.
  auto skip = [&](qreal distance, QPointF resume) {
    if (on) flush();
    piece.clear();
    if (distance >= left) {
      distance -= left;
      next();
      distance = std::fmod(distance, period);
      while (distance >= left) {
        distance -= left;
        next();
      }
    }
    left -= distance;
    if (on) piece.push_back(resume);
  };
  for (size_t i = 0; i + 1 < n; ++i) {
    const QPointF a = F(q[i]), b = F(q[i + 1]);
    const qreal len = std::hypot(b.x() - a.x(), b.y() - a.y());
    if (len == 0) continue;
    qreal from = 0, to = len;
    if (!ClipSegment(a, b, view, len, from, to)) {
      skip(len, b);
      continue;
    }
    if (from > 0) skip(from, a + (b - a) * (from / len));
    dash(a, b, len, from, to);
    if (to < len) skip(len - to, b);
  }
  if (on) flush();
  if (!lines.empty()) p.drawLines(lines.data(), static_cast<int>(lines.size()));
  p.setPen(pen);
}

// `view`: the area that can show, in the painter's coordinates.
void DrawWidePolyline(QPainter &p, const QPen &pen, std::span<const Point> pts, const QRectF &view) {
  const QPoint *q = AsQPoints(pts);
  if (pen.style() != Qt::SolidLine) {
    // Dashes out of sight are only counted, so a line far longer than the
    // surface costs no more than its visible part.
    const qreal margin = 2 * pen.widthF() + 2;
    DrawDashedWide(p, pen, q, pts.size(), view.adjusted(-margin, -margin, margin, margin));
  } else {
    DrawSolidWide(p, pen, q, pts.size());
  }
}

} // namespace

void DeviceContext::Polyline(std::span<const Point> points) {
  Impl &d = *impl_;
  if (points.size() < 2) return;
  if (d.inPath) {
    RecordLines(d.path, points);
    return;
  }
  d.BuildPen();
  if (!d.penVisible) return;
  if (d.penWidth <= 1) { // one pixel wide, cosmetic or not
    d.ThinLines(points);
    return;
  }
  const QRect bounds = d.s.rop == RasterOp::CopyPen ? QRect() : PointsBounds(points, d.penWidth + 2);
  const QRectF view(d.ClipBox());
  d.DrawShape(bounds, true, false, [&](QPainter &p) { DrawWidePolyline(p, d.qpen, points, view); });
  d.penSet = false;
}

// ---------------------------------------------------------------- filled shapes

void DeviceContext::Polygon(std::span<const Point> points) {
  Impl &d = *impl_;
  if (points.size() < 2) return;
  if (d.inPath) {
    RecordLines(d.path, points);
    d.path.closeSubpath();
    return;
  }
  const QRect bounds = PointsBounds(points, d.penWidth + 2);
  const Qt::FillRule rule = d.s.fillMode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill;
  d.BuildPen();
  if (d.penVisible && !d.penCosmetic && points.size() > kWideRun) {
    // A long wide outline is drawn as a closed polyline in runs (see
    // DrawWidePolyline); it runs on to the second point so that the join at
    // the first is drawn, and its flat ends lie inside the joins.
    std::vector<Point> ring(points.begin(), points.end());
    ring.push_back(points[0]);
    ring.push_back(points[1]);
    QPen outline = d.qpen;
    outline.setCapStyle(Qt::FlatCap);
    const QRectF view(d.ClipBox());
    d.DrawShape(bounds, true, true, [&](QPainter &p) {
      p.setPen(Qt::NoPen);
      p.drawPolygon(AsQPoints(points), static_cast<int>(points.size()), rule);
      DrawWidePolyline(p, outline, ring, view);
      p.setPen(d.qpen);
    });
    return;
  }
  d.DrawShape(bounds, true, true,
              [&](QPainter &p) { p.drawPolygon(AsQPoints(points), static_cast<int>(points.size()), rule); });
}

namespace {

// The box a closed figure's outline runs along: right and bottom exclusive,
// shrunk for an inside-frame pen so that the whole stroke stays inside.
QRectF FigureBox(const Box &b, const Pen &pen, int penWidth, bool penVisible) {
  qreal l = b.l, t = b.t, r = b.r - 1, btm = b.b - 1;
  if (penVisible && pen.Style == PenStyle::InsideFrame && penWidth > 1) {
    l += penWidth / 2;
    t += penWidth / 2;
    r -= (penWidth - 1) / 2;
    btm -= (penWidth - 1) / 2;
  }
  return QRectF(QPointF(l, t), QPointF(std::max(l, r), std::max(t, btm)));
}

} // namespace

void DeviceContext::Rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Impl &d = *impl_;
  const Box b = Normalised(left, top, right, bottom);
  if (d.inPath) {
    d.path.addRect(QRectF(b.l, b.t, b.r - b.l - 1, b.b - b.t - 1));
    return;
  }
  if (b.r <= b.l || b.b <= b.t) return;
  d.BuildPen();
  const QRectF box = FigureBox(b, d.s.pen, d.penWidth, d.penVisible);
  d.DrawShape(Around(b.l, b.t, b.r, b.b, d.penWidth + 2), true, true, [&](QPainter &p) {
    if (box.width() == 0 || box.height() == 0) {
      // A one-pixel-thin figure is its outline as a line, end included.
      if (p.pen().style() != Qt::NoPen) {
        p.fillRect(QRectF(box.topLeft(), QSizeF(box.width() + 1, box.height() + 1)), p.pen().color());
      }
      return;
    }
    p.drawRect(box.toRect());
  });
}

// ---- ellipses and rounded rectangles from exact row spans

void DeviceContext::Impl::RoundedFigure(const Box &b, double rx, double ry, bool isEllipse) {
  BuildPen();
  BuildBrush();
  const bool pen = penVisible, brush = brushVisible;
  if ((!pen && !brush) || s.rop == RasterOp::Nop) return;
  const QRect bounds = Around(b.l, b.t, b.r, b.b, penWidth + 2);
  if (pen && !(penCosmetic && penSolid)) {
    // Wide or dashed outlines follow the outline curve: Qt strokes it.
    const QRectF box = FigureBox(b, s.pen, penWidth, pen);
    QPainterPath path;
    if (isEllipse)
      path.addEllipse(box);
    else
      path.addRoundedRect(box, std::min(rx, box.width() / 2), std::min(ry, box.height() / 2));
    DrawShape(bounds, true, true, [&](QPainter &p) { p.drawPath(path); });
    return;
  }
  if (!Begin()) return;
  // With a pen the figure fills the box; without one it is a pixel smaller.
  const double l = b.l, t = b.t, r = pen ? b.r : b.r - 1.0, bt = pen ? b.b : b.b - 1.0;
  if (isEllipse) {
    rx = (r - l) / 2;
    ry = (bt - t) / 2;
  }
  QRect vis = bounds.intersected(SurfaceRect());
  if (s.hasClip) vis = vis.intersected(s.clip.boundingRect());
  if (vis.isEmpty()) return;
  // Rows from one above to one below the visible ones, for the outline test.
  const int y0 = vis.top() - 1, y1 = vis.bottom() + 2;
  std::vector<std::pair<int, int>> rows(static_cast<size_t>(y1 - y0), {0, 0});
  RoundedSpans(l, t, r, bt, rx, ry, y0, y1, [&](int y, int x0, int x1) { rows[size_t(y - y0)] = {x0, x1}; });
  std::vector<QRect> outline, inside;
  for (int y = vis.top(); y <= vis.bottom(); ++y) {
    const auto [x0, x1] = rows[size_t(y - y0)];
    if (x1 <= x0) continue;
    if (!pen) {
      inside.emplace_back(x0, y, x1 - x0, 1);
      continue;
    }
    // A pixel is on the outline when a side neighbour is outside the figure.
    const auto [u0, u1] = rows[size_t(y - 1 - y0)];
    const auto [w0, w1] = rows[size_t(y + 1 - y0)];
    const int i0 = std::max({x0 + 1, u0, w0}), i1 = std::min({x1 - 1, u1, w1});
    if (i1 <= i0) {
      outline.emplace_back(x0, y, x1 - x0, 1);
      continue;
    }
    outline.emplace_back(x0, y, i0 - x0, 1);
    outline.emplace_back(i1, y, x1 - i1, 1);
    if (brush) inside.emplace_back(i0, y, i1 - i0, 1);
  }
  if (!brush) inside.clear();
  const QRgb penColor = pen ? ToQRgb(s.pen.UseDeviceColor ? s.devicePenColor : s.pen.Color) : 0;
  Touched();
  const bool solidBrush = qbrush.style() == Qt::SolidPattern;
  if (s.rop != RasterOp::CopyPen) {
    DrawCombined(bounds, pen, brush, [&](QPainter &p) {
      for (const QRect &q : inside)
        p.fillRect(q, qbrush);
      for (const QRect &q : outline)
        p.fillRect(q, QColor::fromRgb(penColor));
    });
    return;
  }
  const std::vector<QRect> areas = Visible(vis);
  auto fill = [&](const std::vector<QRect> &runs, QRgb c) {
    QImage &img = Image();
    uchar *bits = img.bits();
    const qsizetype stride = img.bytesPerLine();
    for (const QRect &run : runs)
      for (const QRect &a : areas) {
        if (run.top() < a.top() || run.top() > a.bottom()) continue;
        const int x0 = std::max(run.left(), a.left()), x1 = std::min(run.right(), a.right());
        if (x1 >= x0) std::fill_n(reinterpret_cast<QRgb *>(bits + run.top() * stride) + x0, x1 - x0 + 1, c);
      }
  };
  if (solidBrush) {
    fill(inside, qbrush.color().rgb());
  } else if (!inside.empty()) {
    SyncClip();
    SyncBackground();
    for (const QRect &q : inside)
      painter.fillRect(q, qbrush);
  }
  fill(outline, penColor);
}

void DeviceContext::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  Impl &d = *impl_;
  const Box b = Normalised(left, top, right, bottom);
  if (d.inPath) {
    d.path.addEllipse(QRectF(b.l, b.t, b.r - b.l - 1, b.b - b.t - 1));
    return;
  }
  if (b.r <= b.l || b.b <= b.t) return;
  d.RoundedFigure(b, 0, 0, true);
}

void DeviceContext::RoundRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t cornerWidth,
                              int32_t cornerHeight) {
  Impl &d = *impl_;
  const Box b = Normalised(left, top, right, bottom);
  const double rx = std::abs(static_cast<double>(cornerWidth)) / 2,
               ry = std::abs(static_cast<double>(cornerHeight)) / 2;
  if (d.inPath) {
    d.path.addRoundedRect(QRectF(b.l, b.t, b.r - b.l - 1, b.b - b.t - 1), rx, ry);
    return;
  }
  if (b.r <= b.l || b.b <= b.t) return;
  d.RoundedFigure(b, rx, ry, false);
}

namespace {

enum class ArcKind { Open, Pie, Chord };

// Qt measures arc angles on the ellipse's parameter (the angle before the
// circle is squashed), counter-clockwise on screen. A ray from the centre at
// screen angle theta meets the ellipse at parameter atan2(a sin, b cos).
struct ArcAngles {
  qreal start;
  qreal sweep;
};

ArcAngles AnglesOf(const QRectF &box, int32_t x3, int32_t y3, int32_t x4, int32_t y4) {
  const qreal cx = box.center().x(), cy = box.center().y();
  const qreal a = box.width() / 2, b = box.height() / 2;
  auto param = [&](int32_t x, int32_t y) {
    const qreal theta = std::atan2(-(y - cy), x - cx);
    const qreal t = (a > 0 && b > 0) ? std::atan2(a * std::sin(theta), b * std::cos(theta)) : theta;
    return t * 180.0 / std::numbers::pi;
  };
  const qreal s = param(x3, y3);
  qreal e = param(x4, y4);
  qreal sweep = e - s;
  while (sweep <= 0)
    sweep += 360;
  while (sweep > 360)
    sweep -= 360;
  if (x3 - cx == 0 && y3 - cy == 0) sweep = 360;
  // The same ray twice is the whole ellipse.
  const qreal t3 = std::atan2(-(y3 - cy), x3 - cx), t4 = std::atan2(-(y4 - cy), x4 - cx);
  if (std::abs(t3 - t4) < 1e-12) sweep = 360;
  return {s, sweep};
}

QPainterPath ArcPath(const QRectF &box, ArcAngles ang, ArcKind kind, bool startNew, QPainterPath path = {}) {
  if (kind == ArcKind::Pie) {
    path.moveTo(box.center());
    path.arcTo(box, ang.start, ang.sweep);
    path.closeSubpath();
    return path;
  }
  if (startNew) path.arcMoveTo(box, ang.start);
  path.arcTo(box, ang.start, ang.sweep);
  if (kind == ArcKind::Chord) path.closeSubpath();
  return path;
}

} // namespace

void DeviceContext::Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
                        int32_t xEnd, int32_t yEnd) {
  Impl &d = *impl_;
  const Box b = Normalised(left, top, right, bottom);
  const QRectF box(b.l, b.t, b.r - b.l - 1, b.b - b.t - 1);
  const ArcAngles ang = AnglesOf(box, xStart, yStart, xEnd, yEnd);
  if (d.inPath) {
    d.path = ArcPath(box, ang, ArcKind::Open, true, d.path);
    return;
  }
  if (b.r <= b.l || b.b <= b.t) return;
  const QPainterPath path = ArcPath(box, ang, ArcKind::Open, true);
  d.DrawShape(Around(b.l, b.t, b.r, b.b, d.penWidth + 2), true, false, [&](QPainter &p) { p.drawPath(path); });
}

void DeviceContext::ArcTo(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
                          int32_t xEnd, int32_t yEnd) {
  Impl &d = *impl_;
  const Box b = Normalised(left, top, right, bottom);
  const QRectF box(b.l, b.t, b.r - b.l - 1, b.b - b.t - 1);
  const ArcAngles ang = AnglesOf(box, xStart, yStart, xEnd, yEnd);
  QPainterPath arc;
  arc.moveTo(d.s.position.x, d.s.position.y);
  arc = ArcPath(box, ang, ArcKind::Open, false, arc);
  const QPointF end = arc.currentPosition();
  d.s.position = {rtl::RoundPixel(end.x()), rtl::RoundPixel(end.y())};
  if (d.inPath) {
    if (d.path.elementCount() == 0) d.path.moveTo(arc.elementAt(0).x, arc.elementAt(0).y);
    d.path.connectPath(arc);
    return;
  }
  d.DrawShape(Around(std::min(b.l, d.s.position.x), std::min(b.t, d.s.position.y), std::max(b.r, d.s.position.x),
                     std::max(b.b, d.s.position.y), d.penWidth + 2),
              true, false, [&](QPainter &p) { p.drawPath(arc); });
}

namespace {

// Pie and Chord: closed arcs, filled.
void FilledArc(DeviceContext::Impl &d, const Box &b, int32_t xStart, int32_t yStart, int32_t xEnd, int32_t yEnd,
               ArcKind kind) {
  if (b.r <= b.l || b.b <= b.t) return;
  d.BuildPen();
  const QRectF box = FigureBox(b, d.s.pen, d.penWidth, d.penVisible);
  const QPainterPath path = ArcPath(box, AnglesOf(box, xStart, yStart, xEnd, yEnd), kind, true);
  d.DrawShape(Around(b.l, b.t, b.r, b.b, d.penWidth + 2), true, true, [&](QPainter &p) { p.drawPath(path); });
}

} // namespace

void DeviceContext::Pie(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
                        int32_t xEnd, int32_t yEnd) {
  FilledArc(*impl_, Normalised(left, top, right, bottom), xStart, yStart, xEnd, yEnd, ArcKind::Pie);
}

void DeviceContext::Chord(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart, int32_t yStart,
                          int32_t xEnd, int32_t yEnd) {
  FilledArc(*impl_, Normalised(left, top, right, bottom), xStart, yStart, xEnd, yEnd, ArcKind::Chord);
}

// ---------------------------------------------------------------- fills and pixels

void DeviceContext::FillRect(const Rect &r, const Brush &brush) {
  Impl &d = *impl_;
  if (r.IsEmpty()) return;
  const QBrush qb = (brush == d.s.brush) ? (d.BuildBrush(), d.qbrush) : d.MakeBrush(brush);
  if (qb.style() == Qt::NoBrush || !d.Begin()) return;
  d.Touched();
  d.SyncClip();
  d.SyncBackground();
  d.painter.fillRect(QRectOf(r), qb);
}

void DeviceContext::FillRect(const Rect &r) { FillRect(r, impl_->s.brush); }

TColor DeviceContext::GetPixel(int32_t x, int32_t y) const {
  const Impl &d = *impl_;
  if (d.s.hasClip && !d.s.clip.contains(QPoint(x, y))) return static_cast<TColor>(0xFFFFFFFFu);
  return target_->Pixel(x, y);
}

void DeviceContext::SetPixel(int32_t x, int32_t y, TColor color) {
  const Impl &d = *impl_;
  if (d.s.hasClip && !d.s.clip.contains(QPoint(x, y))) return;
  target_->SetPixel(x, y, color);
}

// ---------------------------------------------------------------- paths

void DeviceContext::BeginPath() {
  impl_->inPath = true;
  impl_->pathReady = false;
  impl_->path = QPainterPath();
}

void DeviceContext::EndPath() {
  if (!impl_->inPath) return;
  impl_->inPath = false;
  impl_->pathReady = true;
}

void DeviceContext::AbortPath() {
  impl_->inPath = false;
  impl_->pathReady = false;
  impl_->path = QPainterPath();
}

void DeviceContext::CloseFigure() {
  if (impl_->inPath) impl_->path.closeSubpath();
}

bool DeviceContext::InPath() const { return impl_->inPath; }

void DeviceContext::WidenPath() {
  Impl &d = *impl_;
  if (!d.pathReady) return;
  d.BuildPen();
  QPainterPathStroker stroker;
  stroker.setWidth(d.penWidth);
  stroker.setCapStyle(d.penCosmetic ? Qt::FlatCap : d.qpen.capStyle());
  stroker.setJoinStyle(d.penCosmetic ? Qt::MiterJoin : d.qpen.joinStyle());
  stroker.setMiterLimit(10);
  if (d.penVisible && d.qpen.style() != Qt::SolidLine) stroker.setDashPattern(d.qpen.dashPattern());
  d.path = stroker.createStroke(d.path);
  d.path.setFillRule(Qt::WindingFill);
}

namespace {

QRect PathBounds(const QPainterPath &path, int margin) {
  const QRectF b = path.controlPointRect();
  return Around(static_cast<int64_t>(std::floor(b.left())), static_cast<int64_t>(std::floor(b.top())),
                static_cast<int64_t>(std::ceil(b.right())), static_cast<int64_t>(std::ceil(b.bottom())), margin);
}

} // namespace

QPainterPath DeviceContext::Impl::TakePath() {
  pathReady = false;
  return std::exchange(path, QPainterPath());
}

namespace {

// The fill rule of the poly-fill mode; a widened path keeps its winding rule
// unless `always`, as its stroke overlaps itself.
QPainterPath Filled(QPainterPath path, PolyFillMode mode, bool always) {
  if (always || path.fillRule() != Qt::WindingFill || mode == PolyFillMode::Winding)
    path.setFillRule(mode == PolyFillMode::Winding ? Qt::WindingFill : Qt::OddEvenFill);
  return path;
}

} // namespace

void DeviceContext::StrokePath() {
  Impl &d = *impl_;
  if (!d.pathReady) return;
  const QPainterPath path = d.TakePath();
  d.DrawShape(PathBounds(path, d.penWidth + 2), true, false, [&](QPainter &p) { p.drawPath(path); });
}

void DeviceContext::FillPath() {
  Impl &d = *impl_;
  if (!d.pathReady) return;
  const QPainterPath path = Filled(d.TakePath(), d.s.fillMode, false);
  d.DrawShape(PathBounds(path, 2), false, true, [&](QPainter &p) { p.drawPath(path); });
}

void DeviceContext::StrokeAndFillPath() {
  Impl &d = *impl_;
  if (!d.pathReady) return;
  const QPainterPath path = Filled(d.TakePath(), d.s.fillMode, true);
  d.DrawShape(PathBounds(path, d.penWidth + 2), true, true, [&](QPainter &p) { p.drawPath(path); });
}

Region DeviceContext::PathToRegion() {
  Impl &d = *impl_;
  Region out;
  if (!d.pathReady) return out;
  const QPainterPath path = Filled(d.TakePath(), d.s.fillMode, false);
  const QRect bounds = PathBounds(path, 2).intersected(d.SurfaceRect());
  out.Impl().region = RegionFromDrawing(bounds, [&](QPainter &p) { p.drawPath(path); });
  return out;
}

void DeviceContext::SelectClipPath(RegionOp op) {
  if (!impl_->pathReady) return;
  CombineClip(PathToRegion(), op);
}

// ---------------------------------------------------------------- clipping

void DeviceContext::SelectClipRegion(const Region &region) {
  impl_->s.hasClip = true;
  impl_->s.clip = region.Impl().region;
  impl_->clipSynced = false;
}

void DeviceContext::RemoveClip() {
  impl_->s.hasClip = false;
  impl_->s.clip = QRegion();
  impl_->clipSynced = false;
}

void DeviceContext::CombineClip(const Region &region, RegionOp op) {
  Impl &d = *impl_;
  const QRegion base = d.s.hasClip ? d.s.clip : QRegion(d.SurfaceRect());
  d.s.hasClip = true;
  d.s.clip = Combined(base, region.Impl().region, op);
  d.clipSynced = false;
}

void DeviceContext::IntersectClipRect(const Rect &r) { CombineClip(Region::FromRect(r), RegionOp::And); }
void DeviceContext::ExcludeClipRect(const Rect &r) { CombineClip(Region::FromRect(r), RegionOp::Diff); }

bool DeviceContext::GetClipRegion(Region &out) const {
  if (!impl_->s.hasClip) {
    out = Region();
    return false;
  }
  out.Impl().region = impl_->s.clip;
  return true;
}

bool DeviceContext::HasClip() const { return impl_->s.hasClip; }

Rect DeviceContext::ClipBox() const {
  const QRect b = impl_->s.hasClip ? impl_->s.clip.boundingRect() : impl_->SurfaceRect();
  if (b.isEmpty()) return {};
  return {b.left(), b.top(), b.left() + b.width(), b.top() + b.height()};
}

} // namespace gdi
