// A bitmap's pixels as the bytes of an image file, for keeping a picture
// inside a stored definition.
#pragma once

#include <string>

#include "platform/gdi/Gdi.h"

namespace gdi {

// The pixels as a PNG file's bytes (lossless, so decoding gives them back
// exactly); raises rtl::EInOutError for an empty bitmap or when encoding fails.
std::string SaveBitmapToMemory(const Bitmap &bitmap);

} // namespace gdi
