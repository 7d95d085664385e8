#include "platform/gdi/GdiEncode.h"

#include <QBuffer>
#include <QImageWriter>

#include "platform/gdi/GdiPrivate.h"
#include "platform/rtl/Exceptions.h"

namespace gdi {

std::string SaveBitmapToMemory(const Bitmap &bitmap) {
  const BitmapImpl &impl = bitmap.Impl();
  impl.Flush();
  if (impl.image.isNull()) throw rtl::EInOutError("Cannot write an empty picture");
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "PNG");
  if (!writer.write(impl.image))
    throw rtl::EInOutError("Cannot write the picture: " + writer.errorString().toStdString());
  return std::string(data.constData(), static_cast<size_t>(data.size()));
}

} // namespace gdi
