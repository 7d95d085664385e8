// The device context's internals, shared by the files that implement it.
#pragma once

#include "platform/gdi/GdiPrivate.h"

#include <QFontMetrics>

#include <memory>

namespace gdi {

// (left, top, right, bottom) with the corners in order.
struct Box {
  int32_t l, t, r, b;
};

// A rectangle spanning two points, grown by `margin` on each side, with the
// arithmetic done in 64 bits so huge coordinates cannot wrap.
inline QRect Around(int64_t l, int64_t t, int64_t r, int64_t b, int64_t margin) {
  auto clamp = [](int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, -0x3FFFFFFF, 0x3FFFFFFF)); };
  const int64_t x0 = std::min(l, r) - margin, y0 = std::min(t, b) - margin;
  const int64_t x1 = std::max(l, r) + margin, y1 = std::max(t, b) + margin;
  return QRect(QPoint(clamp(x0), clamp(y0)), QPoint(clamp(x1), clamp(y1)));
}

// The same around all the points (at least one).
inline QRect PointsBounds(std::span<const Point> points, int64_t margin) {
  int64_t l = points[0].x, r = l, t = points[0].y, b = t;
  for (const Point &p : points) {
    l = std::min<int64_t>(l, p.x);
    r = std::max<int64_t>(r, p.x);
    t = std::min<int64_t>(t, p.y);
    b = std::max<int64_t>(b, p.y);
  }
  return Around(l, t, r, b, margin);
}

struct DeviceContext::State {
  Pen pen;
  Brush brush;
  Font font;
  TColor textColor = clBlack;
  TColor bkColor = clWhite;
  BkMode bkMode = BkMode::Opaque;
  uint32_t align = kAlignLeft | kAlignTop;
  int32_t charExtra = 0;
  RasterOp rop = RasterOp::CopyPen;
  PolyFillMode fillMode = PolyFillMode::Alternate;
  TColor deviceBrushColor = clWhite;
  TColor devicePenColor = clBlack;
  bool hasClip = false;
  QRegion clip;
  Point position;
};

struct DeviceContext::Impl {
  BitmapImpl *bitmap = nullptr;
  State s;
  std::vector<State> saved;

  // A whole new state: device objects are rebuilt and the painter synced anew.
  void Replace(const State &state);

  QPainter painter;
  // What the open painter holds; cleared when it (re)opens.
  bool clipSynced = false;
  bool bgSynced = false;
  bool penSet = false;   // painter pen == qpen
  bool brushSet = false; // painter brush == qbrush

  // Device objects built from the selected values.
  bool penDirty = true;
  QPen qpen;
  bool penVisible = true;
  bool penCosmetic = true;
  int penWidth = 1;
  bool penSolid = true;
  bool brushDirty = true;
  QBrush qbrush;
  bool brushVisible = true;
  bool fontDirty = true;
  QFont qfont;
  std::optional<QFontMetrics> metrics;
  // The selected font's entry in the process-wide font cache: the widths of
  // the texts measured in it so far.
  std::shared_ptr<struct FontCacheEntry> fontEntry;

  bool inPath = false;
  bool pathReady = false;
  QPainterPath path;
  // The recorded path, which the calling path operation consumes.
  QPainterPath TakePath();

  QImage &Image() { return bitmap->image; }
  // Opens the painter when needed; false when there is nothing to draw on.
  bool Begin();
  void End();
  // The painter ready for a shape: clip, background, pen and brush in place.
  QPainter &Shape(bool usePen, bool useBrush);
  void SyncClip();
  void SyncBackground();
  void BuildPen();
  void BuildBrush();
  void BuildFont();
  QBrush MakeBrush(const Brush &b) const;
  // Draws a shape by the raster operation: directly for copy, otherwise
  // through a coverage image so every pixel is combined once. `bounds`
  // must hold everything the drawing can touch.
  template <class Fn> void DrawShape(const QRect &bounds, bool usePen, bool useBrush, Fn &&draw) {
    if (!ReadyToDraw(usePen, useBrush)) return;
    if (s.rop == RasterOp::CopyPen)
      draw(Shape(usePen, useBrush));
    else
      DrawCombined(bounds, usePen, useBrush, draw);
  }
  // An ellipse or rounded rectangle in the box (right and bottom exclusive).
  void RoundedFigure(const Box &b, double rx, double ry, bool isEllipse);
  // One-pixel pen lines through the points, each segment without its end.
  void ThinLines(std::span<const Point> points);
  // Leaves only the visible parts asked for; false when nothing would show.
  bool ReadyToDraw(bool &usePen, bool &useBrush);
  void DrawCombined(const QRect &bounds, bool usePen, bool useBrush, const std::function<void(QPainter &)> &draw);
  // The part of `r` that drawing may touch (surface, then clip), as rects.
  std::vector<QRect> Visible(const QRect &r) const;
  QRect SurfaceRect() const { return bitmap->image.rect(); }
  // The surface narrowed by the clip's bounds.
  QRect ClipBox() const { return s.hasClip ? s.clip.boundingRect().intersected(SurfaceRect()) : SurfaceRect(); }
  void Touched() { bitmap->Touched(); }
};

} // namespace gdi
