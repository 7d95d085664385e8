// Bitmaps and window surfaces: the images the device contexts draw on.
#include "platform/gdi/GdiPrivate.h"
#include "platform/gdi/QtSurface.h"

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QImageWriter>

#include <cstring>

namespace gdi {

namespace {

// 96 pixels per inch in Qt's unit.
constexpr int kDotsPerMeter = 3780;

int32_t ClampSize(int32_t v) { return v < 0 ? 0 : v; }

// A new image for the bitmap: open drawing ends first, and the clip, made
// for the old image, goes.
void Replace(BitmapImpl &b, QImage image, bool monochrome) {
  b.Flush();
  if (b.dc) b.dc->RemoveClip();
  b.image = std::move(image);
  b.monochrome = monochrome;
  b.Touched();
}

} // namespace

QImage NewSurfaceImage(int32_t width, int32_t height) {
  width = ClampSize(width);
  height = ClampSize(height);
  if (width == 0 || height == 0) return {};
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull())
    throw rtl::EInOutError("Out of memory for a bitmap of " + std::to_string(width) + " x " + std::to_string(height) +
                           " pixels");
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  image.fill(0xFFFFFFFFu);
  return image;
}

void BitmapImpl::NotifyChanged() {
  changed = true;
  if (surface->OnChanged) surface->OnChanged();
}

Bitmap::Bitmap() : impl_(std::make_unique<BitmapImpl>()) {}

Bitmap::Bitmap(int32_t width, int32_t height) : Bitmap() { impl_->image = NewSurfaceImage(width, height); }

Bitmap::~Bitmap() {
  // The context's painter must end before the image it paints on goes.
  if (impl_) impl_->dc.reset();
}

Bitmap::Bitmap(Bitmap &&other) noexcept : impl_(std::make_unique<BitmapImpl>()) {
  other.impl_->Flush();
  impl_->image = std::move(other.impl_->image);
  impl_->monochrome = other.impl_->monochrome;
  other.impl_->image = QImage();
}

Bitmap &Bitmap::operator=(Bitmap &&other) noexcept {
  if (this == &other) return *this;
  impl_->Flush();
  other.impl_->Flush();
  impl_->image = std::move(other.impl_->image);
  impl_->monochrome = other.impl_->monochrome;
  other.impl_->image = QImage();
  impl_->Touched();
  return *this;
}

int32_t Bitmap::Width() const { return impl_->image.width(); }
int32_t Bitmap::Height() const { return impl_->image.height(); }

void Bitmap::SetSize(int32_t width, int32_t height) {
  Replace(*impl_, NewSurfaceImage(width, height), impl_->monochrome);
}

Bitmap Bitmap::Clone() const {
  impl_->Flush();
  Bitmap copy;
  copy.impl_->image = impl_->image.copy();
  copy.impl_->monochrome = impl_->monochrome;
  return copy;
}

void Bitmap::CopyFrom(const Bitmap &source, const Rect &area) {
  source.impl_->Flush();
  const QRect wanted(area.left, area.top, std::max(0, area.Width()), std::max(0, area.Height()));
  const QRect r = wanted.intersected(source.impl_->image.rect());
  QImage copy = r.isEmpty() ? QImage() : source.impl_->image.copy(r);
  if (!copy.isNull()) {
    copy.setDotsPerMeterX(kDotsPerMeter);
    copy.setDotsPerMeterY(kDotsPerMeter);
  }
  Replace(*impl_, std::move(copy), source.impl_->monochrome);
}

uint32_t *Bitmap::ScanLine(int32_t y) {
  if (y < 0 || y >= Height()) return nullptr;
  impl_->Touched();
  return reinterpret_cast<uint32_t *>(impl_->image.scanLine(y));
}

const uint32_t *Bitmap::ScanLine(int32_t y) const {
  if (y < 0 || y >= Height()) return nullptr;
  return reinterpret_cast<const uint32_t *>(impl_->image.constScanLine(y));
}

TColor Bitmap::Pixel(int32_t x, int32_t y) const {
  if (x < 0 || y < 0 || x >= Width() || y >= Height()) return static_cast<TColor>(0xFFFFFFFFu);
  return FromQRgb(reinterpret_cast<const QRgb *>(impl_->image.constScanLine(y))[x]);
}

void Bitmap::SetPixel(int32_t x, int32_t y, TColor color) {
  if (x < 0 || y < 0 || x >= Width() || y >= Height() || !IsDrawable(color)) return;
  reinterpret_cast<QRgb *>(impl_->image.scanLine(y))[x] = ToQRgb(color);
  impl_->Touched();
}

void Bitmap::Fill(TColor color) {
  if (impl_->image.isNull() || !IsDrawable(color)) return;
  impl_->image.fill(ToQRgb(color));
  impl_->Touched();
}

bool Bitmap::Monochrome() const { return impl_->monochrome; }
void Bitmap::SetMonochrome(bool value) { impl_->monochrome = value; }

namespace {

QImage Decode(QImageReader &reader, const std::string &what) {
  QImage image = reader.read();
  if (image.isNull())
    throw rtl::EInOutError("Cannot read the picture " + what + ": " + reader.errorString().toStdString());
  image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.hasAlphaChannel()) {
    // A picture with transparency shows over white, as on a new bitmap.
    QImage flat = NewSurfaceImage(image.width(), image.height());
    QPainter p(&flat);
    p.drawImage(0, 0, image);
    p.end();
    return flat;
  }
  image.setDotsPerMeterX(kDotsPerMeter);
  image.setDotsPerMeterY(kDotsPerMeter);
  return image;
}

} // namespace

void Bitmap::LoadFromFile(const std::string &path) {
  QImageReader reader(QString::fromStdString(path));
  reader.setDecideFormatFromContent(true);
  QImage image = Decode(reader, "\"" + path + "\"");
  Replace(*impl_, std::move(image), false);
}

void Bitmap::LoadFromMemory(std::span<const uint8_t> bytes) {
  QByteArray data(reinterpret_cast<const char *>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  QImage image = Decode(reader, "data");
  Replace(*impl_, std::move(image), false);
}

void Bitmap::SaveToFile(const std::string &path) const {
  impl_->Flush();
  const std::string ext = path.size() >= 4 ? path.substr(path.size() - 4) : std::string();
  const char *format = (ext == ".bmp" || ext == ".BMP") ? "BMP" : "PNG";
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(impl_->image))
    throw rtl::EInOutError("Cannot write the picture \"" + path + "\": " + writer.errorString().toStdString());
  rtl::WriteFileAtomic(path, std::string(data.constData(), static_cast<size_t>(data.size())));
}

DeviceContext &Bitmap::DC() {
  if (!impl_->dc) impl_->dc = std::make_unique<DeviceContext>(*this);
  return *impl_->dc;
}

// ---------------------------------------------------------------- window surfaces

WindowSurface::WindowSurface() { impl_->surface = this; }
WindowSurface::WindowSurface(int32_t width, int32_t height) : Bitmap(width, height) { impl_->surface = this; }
WindowSurface::~WindowSurface() = default;

void WindowSurface::BeginPaint() { impl_->painting = true; }

void WindowSurface::EndPaint() {
  impl_->painting = false;
  impl_->changed = false;
}

bool WindowSurface::Painting() const { return impl_->painting; }

const QImage &QtImage(const Bitmap &bitmap) {
  bitmap.Impl().Flush();
  return bitmap.Impl().image;
}

const QRegion &QtRegion(const Region &region) { return region.Impl().region; }

void PaintSurface(QPainter &painter, WindowSurface &surface, const QRect &area) {
  const QImage &image = QtImage(surface);
  surface.Impl().changed = false;
  if (image.isNull()) return;
  const QRect r = area.intersected(image.rect());
  if (!r.isEmpty()) painter.drawImage(r.topLeft(), image, r);
}

} // namespace gdi
