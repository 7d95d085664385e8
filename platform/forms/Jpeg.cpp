#include "platform/forms/Jpeg.h"

#include "platform/rtl/Exceptions.h"

#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace forms {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not
// return: we jump back to DecodeJpeg with the message kept.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr info) {
  auto *manager = reinterpret_cast<ErrorManager *>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->back, 1);
}

void NoMessages(j_common_ptr, int) {}

} // namespace

TRasterImage DecodeJpeg(std::string_view bytes) {
  if (bytes.empty()) throw rtl::EInOutError("JPEG picture: empty input");
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = ErrorExit;
  errors.base.emit_message = NoMessages;
  // Nothing with a destructor may live between here and the jump back:
  // the picture is filled into a buffer made before setjmp.
  TRasterImage image;
  std::vector<unsigned char> row;
  if (setjmp(errors.back)) {
    jpeg_destroy_decompress(&info);
    throw rtl::EInOutError(std::string("JPEG picture: ") + errors.message);
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char *>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3 || info.output_width == 0 || info.output_height == 0 || info.output_width > 16384 ||
      info.output_height > 16384) {
    jpeg_destroy_decompress(&info);
    throw rtl::EInOutError("JPEG picture: unsupported size or colour layout");
  }
  image.Width = static_cast<int>(info.output_width);
  image.Height = static_cast<int>(info.output_height);
  image.Pixels.resize(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height));
  row.resize(static_cast<size_t>(image.Width) * 3);
  while (info.output_scanline < info.output_height) {
    unsigned char *line = row.data();
    const size_t y = info.output_scanline;
    jpeg_read_scanlines(&info, &line, 1);
    uint32_t *out = image.Pixels.data() + y * static_cast<size_t>(image.Width);
    for (int x = 0; x < image.Width; ++x) {
      const unsigned char *p = line + 3 * x;
      out[x] = 0xFF000000u | (uint32_t(p[0]) << 16) | (uint32_t(p[1]) << 8) | uint32_t(p[2]);
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return image;
}

} // namespace forms
