// Decoding of JPEG pictures with libjpeg.
#pragma once

#include "platform/forms/Controls.h"

#include <string_view>

namespace forms {

// Raises rtl::EInOutError with libjpeg's message when the bytes are not a
// picture it can decode. Grey pictures come out as grey pixels.
TRasterImage DecodeJpeg(std::string_view bytes);

} // namespace forms
