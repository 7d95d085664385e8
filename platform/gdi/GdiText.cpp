// Text output and measuring on the device context.
#include "platform/gdi/ContextPrivate.h"

#include <QTransform>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace gdi {

// A chart selects a handful of fonts again and again and measures the same
// labels in every paint: each font is made once, with its metrics, and keeps
// the widths of the texts measured in it.
struct FontTextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const noexcept { return std::hash<std::string_view>()(text); }
};

struct FontCacheEntry {
  QFont qfont;
  QFontMetrics metrics;
  std::unordered_map<std::string, int, FontTextHash, std::equal_to<>> widths;
  explicit FontCacheEntry(const QFont &font) : qfont(font), metrics(font) {}
};

namespace {

struct FontKey {
  Font font;
  int32_t charExtra;
  friend bool operator==(const FontKey &, const FontKey &) = default;
};

struct FontKeyHash {
  size_t operator()(const FontKey &k) const noexcept {
    size_t h = std::hash<std::string>()(k.font.Face);
    for (const int64_t v :
         {int64_t(k.font.Height), int64_t(k.font.Weight), int64_t(k.font.Escapement), int64_t(k.charExtra),
          int64_t(k.font.Italic) | int64_t(k.font.Underline) << 1 | int64_t(k.font.StrikeOut) << 2 |
              int64_t(k.font.Quality) << 3})
      h = h * 1000003u ^ std::hash<int64_t>()(v);
    return h;
  }
};

// Never freed: fonts must not outlive the windowing system at exit.
auto &FontCache() {
  static auto *cache = new std::unordered_map<FontKey, std::shared_ptr<FontCacheEntry>, FontKeyHash>();
  return *cache;
}

constexpr size_t kFontCacheLimit = 256;
constexpr size_t kWidthCacheLimit = 8192;

} // namespace

void DeviceContext::Impl::BuildFont() {
  if (!fontDirty) return;
  fontDirty = false;
  auto &cache = FontCache();
  FontKey key{s.font, s.charExtra};
  auto found = cache.find(key);
  if (found == cache.end()) {
    if (cache.size() >= kFontCacheLimit) cache.clear();
    found = cache.emplace(std::move(key), std::make_shared<FontCacheEntry>(ToQFont(s.font, s.charExtra))).first;
  }
  fontEntry = found->second;
  qfont = fontEntry->qfont;
  metrics.emplace(fontEntry->metrics);
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
  int width = 0;
  if (!text.empty()) {
    auto &widths = d.fontEntry->widths;
    if (auto known = widths.find(text); known != widths.end()) {
      width = known->second;
    } else {
      width = fm.horizontalAdvance(ToQString(text));
      if (widths.size() >= kWidthCacheLimit) widths.clear();
      widths.emplace(std::string(text), width);
    }
  }
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
