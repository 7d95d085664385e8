// The cursor table, the JPEG decoder and the paint host: the pieces the
// chart panel stands on.
#include "AnsweringServices.h"

#include "platform/forms/Cursors.h"
#include "platform/forms/CursorsQt.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/PaintHost.h"
#include "platform/forms/PaintHostQt.h"
#include "platform/rtl/Files.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QTest>

#include <cstdlib>

namespace {

class SurfaceTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
  }
  void TearDown() override { forms::Application().DestroyForms(); }
  forms_test::AnsweringServices user;
};

forms::CursorImage Picture(int w, int h, int hx, int hy) {
  return {w, h, hx, hy, std::vector<uint32_t>(static_cast<size_t>(w) * static_cast<size_t>(h), 0xFF000000u)};
}

TEST_F(SurfaceTest, CursorTableRefusesMalformedPicturesAndReservedNumbers) {
  struct Case {
    const char *name;
    int number;
    forms::CursorImage image;
  };
  forms::CursorImage shortPixels = Picture(8, 8, 0, 0);
  shortPixels.argb.pop_back();
  const std::vector<Case> bad = {
      {"system number", forms::kCursorHandPoint, Picture(8, 8, 0, 0)},
      {"zero", 0, Picture(8, 8, 0, 0)},
      {"empty", 7, Picture(0, 0, 0, 0)},
      {"hot spot outside", 7, Picture(8, 8, 8, 0)},
      {"negative hot spot", 7, Picture(8, 8, 0, -1)},
      {"pixels missing", 7, shortPixels},
  };
  for (const Case &c : bad)
    EXPECT_THROW(forms::SetCursorImage(c.number, c.image), rtl::Exception) << c.name;
  EXPECT_FALSE(forms::HasCursor(7));
  for (int number : {forms::kCursorHandPoint, forms::kCursorSizeAll, forms::kCursorHSplit, forms::kCursorVSplit,
                     forms::kCursorSizeWE, forms::kCursorSizeNS, forms::kCursorSizeNWSE, forms::kCursorSizeNESW,
                     forms::kCursorBusy, forms::kCursorDefault})
    EXPECT_TRUE(forms::HasCursor(number)) << number;
  EXPECT_FALSE(forms::HasCursor(-99));
}

TEST_F(SurfaceTest, ARegisteredCursorReachesTheControlsShowingIt) {
  auto *form = forms::Application().CreateForm<forms::TForm>();
  auto *host = form->Make<forms::TPaintHost>();
  forms::SetCursorImage(2020, Picture(16, 16, 5, 1));
  host->SetCursor(2020);
  EXPECT_EQ(host->Widget()->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(host->Widget()->cursor().hotSpot(), QPoint(5, 1));
  // Replacing the picture updates the control; removing it falls back.
  forms::SetCursorImage(2020, Picture(16, 16, 9, 9));
  EXPECT_EQ(host->Widget()->cursor().hotSpot(), QPoint(9, 9));
  forms::ClearCursorImage(2020);
  EXPECT_FALSE(forms::HasCursor(2020));
  EXPECT_EQ(host->Widget()->cursor().shape(), Qt::ArrowCursor);
  host->SetCursor(forms::kCursorSizeAll);
  EXPECT_EQ(host->Widget()->cursor().shape(), Qt::SizeAllCursor);
}

TEST_F(SurfaceTest, TheScreenCursorScopeRestoresWhatWasThere) {
  ASSERT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
  {
    forms::TScreenCursorScope busy(forms::kCursorBusy);
    EXPECT_EQ(forms::ScreenCursor(), forms::kCursorBusy);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    {
      forms::TScreenCursorScope drag(forms::kCursorSizeAll);
      EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::SizeAllCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  }
  EXPECT_EQ(forms::ScreenCursor(), forms::kCursorDefault);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

std::string SourceFile(const std::string &relative) {
  return std::string(KVEL_SOURCE_DIR) + "/" + relative;
}

TEST_F(SurfaceTest, JpegDecodesAsQtDecodesTheSamePicture) {
  const std::string bytes = rtl::ReadFileBytes(SourceFile("resources/about.jpg"));
  const forms::TRasterImage ours = forms::DecodeJpeg(bytes);
  QImage theirs = QImage::fromData(reinterpret_cast<const uchar *>(bytes.data()), static_cast<int>(bytes.size()), "JPG")
                      .convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(theirs.isNull());
  ASSERT_EQ(ours.Width, theirs.width());
  ASSERT_EQ(ours.Height, theirs.height());
  int differing = 0;
  for (int y = 0; y < ours.Height; ++y)
    for (int x = 0; x < ours.Width; ++x)
      differing += ours.Pixels[static_cast<size_t>(y * ours.Width + x)] != theirs.pixel(x, y);
  EXPECT_EQ(differing, 0);
}

TEST_F(SurfaceTest, JpegRefusesWhatIsNotAPicture) {
  const std::string good = rtl::ReadFileBytes(SourceFile("resources/about.jpg"));
  const std::vector<std::pair<const char *, std::string>> bad = {
      {"empty", ""},
      {"png signature", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, '\0')},
      {"text", "not a picture at all"},
      {"header cut short", good.substr(0, 40)},
  };
  for (const auto &[name, bytes] : bad)
    EXPECT_THROW(forms::DecodeJpeg(bytes), rtl::EInOutError) << name;
}

// Records what the host asks of it and keeps a picture the host shows.
class Client : public forms::IPaintHostClient {
public:
  void HostPaint(int, int, int, int) override {
    ++paints;
    if (throwInPaint) throw rtl::Exception("paint failed");
  }
  void HostResize(int w, int h) override { sizes.emplace_back(w, h); }
  void HostMouseDown(forms::TMouseButton b, forms::TShiftState s, int x, int y) override {
    events.push_back("down " + std::to_string(int(b)) + " " + std::to_string(s) + " " + std::to_string(x) + "," +
                     std::to_string(y));
  }
  void HostMouseMove(forms::TShiftState s, int x, int y) override {
    events.push_back("move " + std::to_string(s) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void HostMouseUp(forms::TMouseButton b, forms::TShiftState, int x, int y) override {
    events.push_back("up " + std::to_string(int(b)) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void HostMouseWheel(int, forms::TShiftState, int, int) override { events.push_back("wheel"); }
  void HostDoubleClick(forms::TShiftState, int, int) override { events.push_back("double"); }
  void HostMouseLeave() override { events.push_back("leave"); }
  int paints = 0;
  bool throwInPaint = false;
  std::vector<std::pair<int, int>> sizes;
  std::vector<std::string> events;
};

TEST_F(SurfaceTest, PaintHostCopiesTheKeptPictureAndPassesTheMouseOn) {
  auto *form = forms::Application().CreateForm<forms::TForm>();
  form->SetClientSize(200, 100);
  auto *host = form->Make<forms::TPaintHost>();
  host->SetBounds(10, 10, 120, 80);
  Client client;
  host->SetClient(&client);
  ASSERT_FALSE(client.sizes.empty());
  EXPECT_EQ(client.sizes.back(), std::make_pair(120, 80));

  QImage surface(100, 80, QImage::Format_RGB32);
  surface.fill(QColor(10, 200, 30));
  forms::SetHostSurface(*host, &surface);
  form->Show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()));
  const QImage shown = host->Widget()->grab().toImage();
  EXPECT_GT(client.paints, 0);
  EXPECT_EQ(QColor(shown.pixel(50, 40)), QColor(10, 200, 30));
  // Beyond the picture: the window colour, not garbage.
  EXPECT_EQ(QColor(shown.pixel(110, 40)), host->Widget()->palette().window().color());

  QTest::mousePress(host->Widget(), Qt::LeftButton, Qt::ShiftModifier, QPoint(20, 30));
  QTest::mouseMove(host->Widget(), QPoint(25, 35));
  QTest::mouseRelease(host->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(25, 35));
  ASSERT_GE(client.events.size(), 3u);
  EXPECT_EQ(client.events.front(), "down 0 " + std::to_string(forms::ssShift | forms::ssLeft) + " 20,30");
  EXPECT_EQ(client.events.back(), "up 0 25,35");

  host->SetBounds(10, 10, 150, 60);
  EXPECT_EQ(client.sizes.back(), std::make_pair(150, 60));

  // A client that fails to paint gets the error box; the host still paints.
  client.throwInPaint = true;
  host->Repaint();
  ASSERT_FALSE(user.Boxes.empty());
  EXPECT_EQ(user.Boxes.back().Text, "paint failed");
  forms::SetHostSurface(*host, nullptr);
  host->SetClient(nullptr);
}

} // namespace
