// Text output and measuring on the device context.
#include "platform/gdi/ContextPrivate.h"

#include <QTransform>

namespace gdi {

void DeviceContext::Impl::BuildFont() {
  if (!fontDirty) return;
  fontDirty = false;
  qfont = ToQFont(s.font, s.charExtra);
  metrics.emplace(qfont);
}

namespace {

QString ToQString(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// Where the text's left end and baseline lie relative to the reference point
// (in the text's own, possibly turned, frame).
struct Placement {
  int dx;
  int baseline;
  int width;
};

Placement Place(uint32_t align, const QFontMetrics &fm, int width) {
  Placement pl{0, 0, width};
  if ((align & kAlignCenter) == kAlignCenter)
    pl.dx = -(width / 2);
  else if (align & kAlignRight)
    pl.dx = -width;
  if ((align & kAlignBaseline) == kAlignBaseline)
    pl.baseline = 0;
  else if (align & kAlignBottom)
    pl.baseline = -fm.descent();
  else
    pl.baseline = fm.ascent();
  return pl;
}

} // namespace

Size DeviceContext::TextExtent(std::string_view text) const {
  Impl &d = *impl_;
  d.BuildFont();
  const QFontMetrics &fm = *d.metrics;
  // The letter spacing of the font already adds the extra per character.
  const int width = text.empty() ? 0 : fm.horizontalAdvance(ToQString(text));
  return {width, fm.ascent() + fm.descent()};
}

TextMetrics DeviceContext::GetTextMetrics() const {
  Impl &d = *impl_;
  d.BuildFont();
  const QFontMetrics &fm = *d.metrics;
  TextMetrics tm;
  tm.Ascent = fm.ascent();
  tm.Descent = fm.descent();
  tm.Height = tm.Ascent + tm.Descent;
  tm.InternalLeading = std::max(0, tm.Height - d.qfont.pixelSize());
  tm.ExternalLeading = std::max(0, fm.leading());
  tm.AveCharWidth = fm.averageCharWidth();
  tm.MaxCharWidth = fm.maxWidth();
  tm.Weight = d.s.font.Weight <= 0 ? kFontWeightNormal : d.s.font.Weight;
  tm.Italic = d.s.font.Italic;
  tm.Underlined = d.s.font.Underline;
  tm.StruckOut = d.s.font.StrikeOut;
  return tm;
}

void DeviceContext::TextOut(int32_t x, int32_t y, std::string_view text) { ExtTextOut(x, y, 0, nullptr, text); }

void DeviceContext::ExtTextOut(int32_t x, int32_t y, uint32_t options, const Rect *rect, std::string_view text) {
  Impl &d = *impl_;
  d.BuildFont();
  const QString s = ToQString(text);
  const QFontMetrics &fm = *d.metrics;
  const int width = s.isEmpty() ? 0 : fm.horizontalAdvance(s);
  const Placement pl = Place(d.s.align, fm, width);
  const qreal angle = -d.s.font.Escapement / 10.0;

  if (d.inPath) {
    QPainterPath glyphs;
    glyphs.addText(QPointF(pl.dx, pl.baseline), d.qfont, s);
    QTransform t;
    t.translate(x, y);
    t.rotate(angle);
    d.path.addPath(t.map(glyphs));
    return;
  }
  if (!d.Begin()) return;
  d.Touched();
  QPainter &p = d.painter;
  d.SyncClip();
  const bool clipped = rect && (options & kTextClipped);
  if (rect && (options & kTextOpaque) && !rect->IsEmpty() && IsDrawable(d.s.bkColor))
    p.fillRect(QRect(rect->left, rect->top, rect->Width(), rect->Height()), QColor::fromRgb(ToQRgb(d.s.bkColor)));
  if (s.isEmpty() || !IsDrawable(d.s.textColor)) return;
  p.save();
  if (clipped) p.setClipRect(QRect(rect->left, rect->top, rect->Width(), rect->Height()), Qt::IntersectClip);
  p.translate(x, y);
  if (angle != 0) p.rotate(angle);
  if (d.s.bkMode == BkMode::Opaque && IsDrawable(d.s.bkColor))
    p.fillRect(QRect(pl.dx, pl.baseline - fm.ascent(), width, fm.ascent() + fm.descent()),
               QColor::fromRgb(ToQRgb(d.s.bkColor)));
  p.setFont(d.qfont);
  p.setPen(QColor::fromRgb(ToQRgb(d.s.textColor)));
  p.setBackgroundMode(Qt::TransparentMode);
  p.drawText(QPoint(pl.dx, pl.baseline), s);
  p.restore();
  // restore() puts back the painter's own pen, brush and clip.
}

} // namespace gdi
