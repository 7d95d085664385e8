// Blits, pattern fills, blending and the check-box frame.
#include "platform/gdi/ContextPrivate.h"

#include <cstring>

namespace gdi {

namespace {

bool UsesSource(uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
bool UsesPattern(uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// Destination column or row i of n maps to the source by nearest neighbour:
// the source pixel under the destination pixel's centre. Only the indices
// [from, to) that can show are mapped, so a huge destination costs nothing.
std::vector<int> NearestMap(int64_t destCount, int64_t srcStart, int64_t srcCount, int64_t from, int64_t to) {
  const bool mirror = (destCount < 0) != (srcCount < 0);
  const int64_t dn = std::abs(destCount), sn = std::abs(srcCount);
  const int64_t s0 = srcCount < 0 ? srcStart + srcCount : srcStart;
  std::vector<int> map(static_cast<size_t>(std::max<int64_t>(0, to - from)));
  for (int64_t i = from; i < to; ++i) {
    const int64_t j = static_cast<int64_t>((static_cast<__int128>(2 * i + 1) * sn) / (2 * dn));
    map[static_cast<size_t>(i - from)] =
        static_cast<int>(std::clamp<int64_t>(s0 + (mirror ? sn - 1 - j : j), INT32_MIN, INT32_MAX));
  }
  return map;
}

// What a blit reads: the source's image, or a copy when the source is the
// destination, so that no pixel is read after the blit has written it.
const QImage &Readable(const Bitmap &source, const Bitmap *target, QImage &own) {
  const QImage &image = source.Impl().image;
  if (&source != target) return image;
  own = image.copy();
  return own;
}

} // namespace

// Walks the visible destination pixels of destRect, giving each its source
// pixel (nearest neighbour); source pixels outside the source are skipped.
template <class Fn>
static void Compose(DeviceContext::Impl &d, const Rect &destRect, const QImage &src, const Rect &srcRect, Fn &&fn) {
  const int64_t dw = int64_t(destRect.right) - destRect.left, dh = int64_t(destRect.bottom) - destRect.top;
  const int64_t sw = int64_t(srcRect.right) - srcRect.left, sh = int64_t(srcRect.bottom) - srcRect.top;
  if (dw == 0 || dh == 0 || sw == 0 || sh == 0 || src.isNull()) return;
  // The destination as a QRect, its far edges kept within int range.
  const int64_t l = std::min(destRect.left, destRect.right), t = std::min(destRect.top, destRect.bottom);
  const QRect dest(static_cast<int>(l), static_cast<int>(t),
                   static_cast<int>(std::min<int64_t>(std::abs(dw), INT32_MAX - l)),
                   static_cast<int>(std::min<int64_t>(std::abs(dh), INT32_MAX - t)));
  const std::vector<QRect> parts = d.Visible(dest);
  if (parts.empty()) return;
  QRect shown;
  for (const QRect &part : parts)
    shown = shown.united(part);
  const std::vector<int> cols =
      NearestMap(dw, srcRect.left, sw, shown.left() - dest.left(), shown.right() + 1 - dest.left());
  const std::vector<int> rows =
      NearestMap(dh, srcRect.top, sh, shown.top() - dest.top(), shown.bottom() + 1 - dest.top());
  QImage &img = d.Image();
  d.Touched();
  for (const QRect &part : parts) {
    for (int y = part.top(); y <= part.bottom(); ++y) {
      const int sy = rows[static_cast<size_t>(y - shown.top())];
      if (sy < 0 || sy >= src.height()) continue;
      const QRgb *srow = reinterpret_cast<const QRgb *>(src.constScanLine(sy));
      QRgb *drow = reinterpret_cast<QRgb *>(img.scanLine(y));
      for (int x = part.left(); x <= part.right(); ++x) {
        const int sx = cols[static_cast<size_t>(x - shown.left())];
        if (sx < 0 || sx >= src.width()) continue;
        fn(drow[x], srow[sx]);
      }
    }
  }
}

// Source, destination and the solid brush combined by a ternary code.
static void ComposeRop3(DeviceContext::Impl &d, const Rect &destRect, const QImage &src, const Rect &srcRect,
                        uint8_t code) {
  d.BuildBrush();
  const uint32_t pat = d.brushVisible ? d.qbrush.color().rgb() : 0;
  Compose(d, destRect, src, srcRect, [&](QRgb &dst, QRgb s) { dst = 0xFF000000u | ApplyRop3(code, pat, s, dst); });
}

namespace {

// The brush's colour at every pixel of `area`, for pattern operations.
QImage PatternImage(DeviceContext::Impl &d, const QRect &area) {
  QImage out(area.size(), QImage::Format_RGB32);
  out.fill(ToQRgb(IsDrawable(d.s.bkColor) ? d.s.bkColor : clWhite));
  d.BuildBrush();
  if (!d.brushVisible) return out;
  QPainter p(&out);
  p.setBackgroundMode(d.s.bkMode == BkMode::Opaque ? Qt::OpaqueMode : Qt::TransparentMode);
  p.setBackground(QColor::fromRgb(ToQRgb(IsDrawable(d.s.bkColor) ? d.s.bkColor : clWhite)));
  p.translate(-area.left(), -area.top());
  p.setBrushOrigin(0, 0);
  p.fillRect(area, d.qbrush);
  return out;
}

} // namespace

void DeviceContext::PatBlt(int32_t x, int32_t y, int32_t width, int32_t height, Rop3 op) {
  Impl &d = *impl_;
  int64_t l = x, t = y, r = int64_t(x) + width, b = int64_t(y) + height;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  if (l == r || t == b) return;
  const Rect rect{static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r), static_cast<int32_t>(b)};
  const uint8_t code = static_cast<uint8_t>(op);
  if (code == static_cast<uint8_t>(Rop3::PatCopy)) {
    FillRect(rect);
    return;
  }
  if (code == 0xAA || !d.Begin()) return; // leaves the destination as it is
  const QRect area(rect.left, rect.top, rect.Width(), rect.Height());
  const std::vector<QRect> parts = d.Visible(area);
  if (parts.empty()) return;
  d.BuildBrush();
  const bool solid = d.s.brush.Style == BrushStyle::Solid;
  const uint32_t solidColor = d.brushVisible && solid ? d.qbrush.color().rgb() : 0;
  QImage pattern;
  const QRect shown = area.intersected(d.SurfaceRect());
  if (UsesPattern(code) && !solid) pattern = PatternImage(d, shown);
  QImage &img = d.Image();
  d.Touched();
  for (const QRect &part : parts)
    for (int yy = part.top(); yy <= part.bottom(); ++yy) {
      QRgb *row = reinterpret_cast<QRgb *>(img.scanLine(yy));
      const QRgb *prow =
          pattern.isNull() ? nullptr : reinterpret_cast<const QRgb *>(pattern.constScanLine(yy - shown.top()));
      for (int xx = part.left(); xx <= part.right(); ++xx) {
        const uint32_t p = prow ? prow[xx - shown.left()] : solidColor;
        row[xx] = 0xFF000000u | ApplyRop3(code, p, 0, row[xx]);
      }
    }
}

void DeviceContext::BitBlt(int32_t x, int32_t y, int32_t width, int32_t height, const Bitmap &source, int32_t sourceX,
                           int32_t sourceY, Rop3 op) {
  Impl &d = *impl_;
  if (width <= 0 || height <= 0) return;
  const uint8_t code = static_cast<uint8_t>(op);
  if (!UsesSource(code)) {
    PatBlt(x, y, width, height, op);
    return;
  }
  if (!d.Begin()) return;
  // Reading and writing the same image: work from a copy of the source part.
  QImage own;
  const QImage *src = &source.Impl().image;
  Rect srcRect{sourceX, sourceY, sourceX + width, sourceY + height};
  if (&source == target_) {
    const QRect part = QRect(sourceX, sourceY, width, height).intersected(src->rect());
    if (part.isEmpty()) return;
    own = src->copy(QRect(sourceX, sourceY, width, height));
    src = &own;
    srcRect = {0, 0, width, height};
  }
  const Rect destRect{x, y, x + width, y + height};
  if (code == static_cast<uint8_t>(Rop3::SrcCopy)) {
    // Plain copies are the common case (presenting the buffer): whole rows.
    const QRect dest(x, y, width, height);
    const QRect srcArea = QRect(srcRect.left, srcRect.top, width, height).intersected(src->rect());
    const QRect reachable = srcArea.translated(x - srcRect.left, y - srcRect.top);
    QImage &img = d.Image();
    d.Touched();
    for (const QRect &part : d.Visible(dest.intersected(reachable))) {
      const int sx = part.left() - x + srcRect.left;
      for (int yy = part.top(); yy <= part.bottom(); ++yy) {
        const int sy = yy - y + srcRect.top;
        std::memcpy(reinterpret_cast<QRgb *>(img.scanLine(yy)) + part.left(),
                    reinterpret_cast<const QRgb *>(src->constScanLine(sy)) + sx, sizeof(QRgb) * size_t(part.width()));
      }
    }
    return;
  }
  ComposeRop3(d, destRect, *src, srcRect, code);
}

void DeviceContext::StretchBlt(const Rect &destRect, const Bitmap &source, const Rect &sourceRect, Rop3 op) {
  Impl &d = *impl_;
  if (!d.Begin()) return;
  QImage own;
  ComposeRop3(d, destRect, Readable(source, target_, own), sourceRect, static_cast<uint8_t>(op));
}

void DeviceContext::TransparentBlt(const Rect &destRect, const Bitmap &source, const Rect &sourceRect,
                                   TColor transparent) {
  Impl &d = *impl_;
  if (!d.Begin()) return;
  QImage own;
  const QImage &src = Readable(source, target_, own);
  const uint32_t key = ToQRgb(transparent) & 0xFFFFFF;
  const bool keyed = IsDrawable(transparent);
  Compose(d, destRect, src, sourceRect, [&](QRgb &dst, QRgb s) {
    if (!keyed || (s & 0xFFFFFF) != key) dst = 0xFF000000u | s;
  });
}

void DeviceContext::AlphaBlend(const Rect &destRect, const Bitmap &source, const Rect &sourceRect, uint8_t alpha) {
  Impl &d = *impl_;
  if (!d.Begin()) return;
  QImage own;
  const QImage &src = Readable(source, target_, own);
  const uint32_t a = alpha, na = 255 - alpha;
  Compose(d, destRect, src, sourceRect, [&](QRgb &dst, QRgb s) {
    const uint32_t r = (qRed(s) * a + qRed(dst) * na + 127) / 255;
    const uint32_t g = (qGreen(s) * a + qGreen(dst) * na + 127) / 255;
    const uint32_t b = (qBlue(s) * a + qBlue(dst) * na + 127) / 255;
    dst = 0xFF000000u | (r << 16) | (g << 8) | b;
  });
}

// ---------------------------------------------------------------- check-box frame

void DeviceContext::DrawCheckFrame(int32_t x, int32_t y, bool checkBox, bool checked) {
  Impl &d = *impl_;
  if (!d.Begin()) return;
  d.Touched();
  d.SyncClip();
  QPainter &p = d.painter;
  p.save();
  p.translate(x, y);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor shadow = QColor::fromRgb(ToQRgb(clBtnShadow));
  const QColor dark = QColor::fromRgb(ToQRgb(cl3DDkShadow));
  const QColor light = QColor::fromRgb(ToQRgb(cl3DLight));
  const QColor hilite = QColor::fromRgb(ToQRgb(clBtnHighlight));
  const QColor face = QColor::fromRgb(ToQRgb(clWindow));
  const QColor mark = QColor::fromRgb(ToQRgb(clWindowText));
  if (checkBox) {
    // A sunken two-pixel frame around a 9 x 9 white well.
    p.fillRect(QRect(0, 0, 12, 1), shadow);
    p.fillRect(QRect(0, 0, 1, 12), shadow);
    p.fillRect(QRect(1, 1, 10, 1), dark);
    p.fillRect(QRect(1, 1, 1, 10), dark);
    p.fillRect(QRect(12, 0, 1, 13), hilite);
    p.fillRect(QRect(0, 12, 13, 1), hilite);
    p.fillRect(QRect(11, 1, 1, 11), light);
    p.fillRect(QRect(1, 11, 11, 1), light);
    p.fillRect(QRect(2, 2, 9, 9), face);
    if (checked) {
      // A tick three pixels thick: down-right for three columns, then up-right.
      static constexpr int kTop[7] = {6, 7, 8, 7, 6, 5, 4};
      for (int i = 0; i < 7; ++i)
        p.fillRect(QRect(3 + i, kTop[i], 1, 3), mark);
    }
  } else {
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(QRect(1, 1, 10, 10));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(shadow, 0));
    p.drawArc(QRect(0, 0, 11, 11), 45 * 16, 180 * 16);
    p.setPen(QPen(hilite, 0));
    p.drawArc(QRect(0, 0, 11, 11), 225 * 16, 180 * 16);
    if (checked) {
      p.setPen(Qt::NoPen);
      p.setBrush(mark);
      p.drawEllipse(QRect(4, 4, 4, 4));
    }
  }
  p.restore();
}

} // namespace gdi
