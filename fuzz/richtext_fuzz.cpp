// Any text given to the markup formatter measures and draws, or raises one
// of its exceptions; measuring paints nothing, and the same text measures
// the same every time, whatever the texts before it left open.
#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "chart/foundation/UloCanvas3D.h"
#include "chart/foundation/UloRichText.h"

namespace {

constexpr int kSide = 48;

struct Scene {
  gdi::Bitmap image{kSide, kSide};
  TUloCanvas3D canvas;
  Scene() {
    canvas.SetBuffered(false);
    canvas.PrepareTarget(&image.DC(), nullptr, TRect{0, 0, kSide, kSide}, false);
  }
  void Reset() {
    canvas.ResetDefaults();
    canvas.Font().SetSize(8);
  }
  bool White() {
    image.DC().Flush();
    for (int y = 0; y < kSide; ++y)
      for (int x = 0; x < kSide; ++x)
        if (image.Pixel(x, y) != clWhite) return false;
    return true;
  }
};

// Fails or gives the size; false when an exception ended the layout.
bool Measure(Scene &s, const std::string &text, gdi::Size &size) {
  s.Reset();
  try {
    MeasureRichText(s.canvas, text, size);
    return true;
  } catch (const rtl::Exception &) {
    return false;
  }
}

} // namespace

// Fontconfig keeps the patterns of each newly met font in caches it never
// frees; those are not the formatter's.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QT_FONT_DPI", "96");
  // Text needs a running application; it lives for the whole run.
  static QGuiApplication *app = new QGuiApplication(*argc, *argv);
  (void)app;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > 2048) return 0;
  static Scene scene;
  const std::string text(reinterpret_cast<const char *>(data), size);

  scene.image.Fill(clWhite);
  gdi::Size first, second;
  const bool measured = Measure(scene, text, first);
  if (!scene.White()) std::abort();
  // A text left unclosed by the first layout changes nothing for the second.
  if (Measure(scene, text, second) != measured) std::abort();
  if (measured && (first.cx != second.cx || first.cy != second.cy || first.cx < 0 || first.cy < 0)) std::abort();

  scene.Reset();
  try {
    DrawRichText(scene.canvas, 2, 2, text);
  } catch (const rtl::Exception &) {
    if (measured) std::abort(); // drawing fails exactly where measuring does
  }
  return 0;
}
