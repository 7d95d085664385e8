#include "platform/forms/Cursors.h"

#include "platform/forms/CursorsQt.h"
#include "platform/rtl/Exceptions.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <map>
#include <optional>
#include <string>

namespace forms {
namespace {

struct Entry {
  CursorImage image;
  std::optional<QCursor> cursor; // made on first use: needs a running application
};

std::map<int, Entry> &Table() {
  static std::map<int, Entry> table;
  return table;
}

// Widgets showing a registered picture, so a replaced or cleared picture
// reaches them.
std::multimap<int, QPointer<QWidget>> &Users() {
  static std::multimap<int, QPointer<QWidget>> users;
  return users;
}

int screenCursor = kCursorDefault;

std::optional<Qt::CursorShape> SystemShape(int number) {
  switch (number) {
  case kCursorDefault:
  case kCursorArrow:
    return Qt::ArrowCursor;
  case kCursorNone:
    return Qt::BlankCursor;
  case kCursorCross:
    return Qt::CrossCursor;
  case kCursorIBeam:
    return Qt::IBeamCursor;
  case kCursorSizeNESW:
    return Qt::SizeBDiagCursor;
  case kCursorSizeNS:
    return Qt::SizeVerCursor;
  case kCursorSizeNWSE:
    return Qt::SizeFDiagCursor;
  case kCursorSizeWE:
    return Qt::SizeHorCursor;
  case kCursorBusy:
    return Qt::WaitCursor;
  case kCursorHSplit:
    return Qt::SplitHCursor;
  case kCursorVSplit:
    return Qt::SplitVCursor;
  case kCursorNo:
    return Qt::ForbiddenCursor;
  case kCursorHandPoint:
    return Qt::PointingHandCursor;
  case kCursorSizeAll:
    return Qt::SizeAllCursor;
  default:
    return std::nullopt;
  }
}

QCursor MakeCursor(const CursorImage &image) {
  QImage picture(image.width, image.height, QImage::Format_ARGB32);
  for (int y = 0; y < image.height; ++y) {
    auto *line = reinterpret_cast<uint32_t *>(picture.scanLine(y));
    for (int x = 0; x < image.width; ++x)
      line[x] = image.argb[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
  }
  return QCursor(QPixmap::fromImage(picture), image.hotX, image.hotY);
}

void RefreshUsers(int number) {
  auto [first, last] = Users().equal_range(number);
  for (auto it = first; it != last;) {
    if (it->second.isNull()) {
      it = Users().erase(it);
    } else {
      it->second->setCursor(CursorFor(number));
      ++it;
    }
  }
}

void ApplyScreenCursor() {
  if (!QApplication::instance()) return;
  while (QApplication::overrideCursor())
    QApplication::restoreOverrideCursor();
  if (screenCursor != kCursorDefault) QApplication::setOverrideCursor(CursorFor(screenCursor));
}

} // namespace

void SetCursorImage(int number, CursorImage image) {
  if (number <= 0) throw rtl::Exception("Cursor number " + std::to_string(number) + " is reserved for the system");
  if (image.width <= 0 || image.height <= 0 || image.width > 256 || image.height > 256 ||
      image.argb.size() != static_cast<size_t>(image.width) * static_cast<size_t>(image.height) || image.hotX < 0 ||
      image.hotY < 0 || image.hotX >= image.width || image.hotY >= image.height)
    throw rtl::Exception("Cursor " + std::to_string(number) + ": malformed cursor picture");
  Table()[number] = Entry{std::move(image), std::nullopt};
  RefreshUsers(number);
  if (screenCursor == number) ApplyScreenCursor();
}

void ClearCursorImage(int number) {
  if (Table().erase(number) == 0) return;
  RefreshUsers(number);
  if (screenCursor == number) ApplyScreenCursor();
}

bool HasCursor(int number) { return SystemShape(number).has_value() || Table().count(number) != 0; }

int ScreenCursor() { return screenCursor; }

void SetScreenCursor(int number) {
  if (number == screenCursor) return;
  screenCursor = number;
  ApplyScreenCursor();
}

TScreenCursorScope::TScreenCursorScope(int number) : saved_(ScreenCursor()) { SetScreenCursor(number); }
TScreenCursorScope::~TScreenCursorScope() { SetScreenCursor(saved_); }

QCursor CursorFor(int number) {
  if (auto shape = SystemShape(number)) return QCursor(*shape);
  auto it = Table().find(number);
  if (it == Table().end()) return QCursor(Qt::ArrowCursor);
  if (!it->second.cursor) it->second.cursor = MakeCursor(it->second.image);
  return *it->second.cursor;
}

void ApplyCursor(QWidget *widget, int number) {
  if (!widget) return;
  for (auto it = Users().begin(); it != Users().end();) {
    if (it->second.isNull() || it->second == widget)
      it = Users().erase(it);
    else
      ++it;
  }
  if (number == kCursorDefault) {
    widget->unsetCursor();
    return;
  }
  if (number > 0) Users().emplace(number, QPointer<QWidget>(widget));
  widget->setCursor(CursorFor(number));
}

} // namespace forms
