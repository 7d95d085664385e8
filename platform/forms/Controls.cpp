#include "platform/forms/Controls.h"

#include "platform/forms/Application.h"
#include "platform/forms/CursorsQt.h"
#include "platform/forms/Dialogs.h"
#include "platform/forms/Grids.h"
#include "platform/forms/Jpeg.h"
#include "platform/forms/PaintHost.h"
#include "platform/rtl/Exceptions.h"
#include "platform/streaming/DefinitionReader.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>

namespace forms {
namespace {

QString Q(const std::string &text) { return QString::fromStdString(text); }

QWidget *ParentWidget(TWinControl *parent) { return parent ? parent->ClientWidget() : nullptr; }

using streaming::TEnumName;
using streaming::TPropertyTable;

constexpr TEnumName<TAlign> kAlignNames[] = {
    {TAlign::alNone, "alNone"}, {TAlign::alTop, "alTop"},     {TAlign::alBottom, "alBottom"},
    {TAlign::alLeft, "alLeft"}, {TAlign::alRight, "alRight"}, {TAlign::alClient, "alClient"},
};

QImage ToQImage(const TRasterImage &picture) {
  QImage image(picture.Width, picture.Height, QImage::Format_ARGB32);
  for (int y = 0; y < picture.Height; ++y) {
    auto *line = reinterpret_cast<uint32_t *>(image.scanLine(y));
    for (int x = 0; x < picture.Width; ++x)
      line[x] = picture.Pixels[static_cast<size_t>(y) * static_cast<size_t>(picture.Width) + static_cast<size_t>(x)];
  }
  return image;
}

// Places the aligned children again whenever their container changes size.
class AlignFilter : public QObject {
public:
  AlignFilter(QObject *parent, TWinControl *owner) : QObject(parent), owner_(owner) {}
  bool eventFilter(QObject *watched, QEvent *event) override {
    if (event->type() == QEvent::Resize) owner_->Realign();
    return QObject::eventFilter(watched, event);
  }

private:
  TWinControl *owner_;
};

} // namespace

// ---- TControl -----------------------------------------------------------------

TControl::TControl(TWinControl *parent, QWidget *widget) : parent_(parent), widget_(widget) {
  // A control made inside a shown form appears at once; the others appear
  // with their form.
  if (parent) widget_->show();
}

TControl::~TControl() { delete widget_; }

int TControl::Left() const { return widget_->x(); }
int TControl::Top() const { return widget_->y(); }
int TControl::Width() const { return widget_->width(); }
int TControl::Height() const { return widget_->height(); }

void TControl::SetBounds(int left, int top, int width, int height) {
  widget_->setGeometry(left, top, std::max(0, width), std::max(0, height));
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TControl::SetAlign(TAlign align) {
  align_ = align;
  if (parent_) parent_->Realign();
}

bool TControl::Visible() const { return parent_ ? !widget_->isHidden() : widget_->isVisible(); }

void TControl::SetVisible(bool visible) {
  widget_->setVisible(visible);
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

bool TControl::Enabled() const { return widget_->isEnabled(); }
void TControl::SetEnabled(bool enabled) { widget_->setEnabled(enabled); }

void TControl::SetCursor(int number) {
  cursor_ = number;
  ApplyCursor(widget_, number);
}

void TControl::SetFontSize(int points) {
  fontSize_ = points;
  QFont font = widget_->font();
  font.setPixelSize(points > 0 ? PointsToPixels(points) : WindowFontPixels());
  widget_->setFont(font);
}

void TControl::SetFontBold(bool bold) {
  fontBold_ = bold;
  QFont font = widget_->font();
  font.setBold(bold);
  widget_->setFont(font);
}

void TControl::DefineProperties(TPropertyTable &t) {
  t.Property(
      "Left", [this] { return Left(); }, [this](int v) { SetBounds(v, Top(), Width(), Height()); });
  t.Property(
      "Top", [this] { return Top(); }, [this](int v) { SetBounds(Left(), v, Width(), Height()); });
  t.Property(
      "Width", [this] { return Width(); }, [this](int v) { SetBounds(Left(), Top(), v, Height()); });
  t.Property(
      "Height", [this] { return Height(); }, [this](int v) { SetBounds(Left(), Top(), Width(), v); });
  t.Enum(
      "Align", [this] { return Align(); }, [this](TAlign a) { SetAlign(a); }, TAlign::alNone,
      std::span<const TEnumName<TAlign>>(kAlignNames));
  t.Property("Visible", this, &TControl::Visible, &TControl::SetVisible, true);
  t.Property("Enabled", this, &TControl::Enabled, &TControl::SetEnabled, true);
  t.Property("Cursor", this, &TControl::Cursor, &TControl::SetCursor, 0);
  t.Property("FontSize", this, &TControl::FontSize, &TControl::SetFontSize, 0);
  t.Property("FontBold", this, &TControl::FontBold, &TControl::SetFontBold, false);
}

// ---- TWinControl --------------------------------------------------------------

TWinControl::TWinControl(TWinControl *parent, QWidget *widget) : TControl(parent, widget) {}

TWinControl::~TWinControl() {
  // Children go first, while the widgets they sit in still exist.
  while (!owned_.empty())
    owned_.pop_back();
}

void TWinControl::Adopt(std::unique_ptr<TControl> child) {
  if (children_.empty()) ClientWidget()->installEventFilter(new AlignFilter(ClientWidget(), this));
  children_.push_back(child.get());
  owned_.push_back(std::move(child));
}

void TWinControl::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  auto *control = dynamic_cast<TControl *>(child.get());
  if (!control) return TStoredComponent::InsertStoredChild(std::move(child));
  child.release();
  control->parent_ = this;
  control->widget_->setParent(ClientWidget());
  control->widget_->show();
  Adopt(std::unique_ptr<TControl>(control));
}

std::vector<streaming::TStoredComponent *> TWinControl::StoredChildren() {
  return std::vector<streaming::TStoredComponent *>(children_.begin(), children_.end());
}

void TWinControl::Realign() {
  QRect area = ClientWidget()->contentsRect();
  if (auto *box = qobject_cast<QGroupBox *>(ClientWidget())) {
    // Below the caption, inside the frame.
    const int captionHeight = box->fontMetrics().height();
    area.adjust(2, captionHeight + 2, -2, -2);
  }
  auto place = [](TControl *c, const QRect &r) { c->Widget()->setGeometry(r); };
  for (TAlign pass : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TControl *c : children_) {
      if (c->Align() != pass || c->Widget()->isHidden()) continue;
      const int h = c->Height(), w = c->Width();
      switch (pass) {
      case TAlign::alTop:
        place(c, QRect(area.left(), area.top(), area.width(), h));
        area.setTop(area.top() + h);
        break;
      case TAlign::alBottom:
        place(c, QRect(area.left(), area.bottom() + 1 - h, area.width(), h));
        area.setBottom(area.bottom() - h);
        break;
      case TAlign::alLeft:
        place(c, QRect(area.left(), area.top(), w, area.height()));
        area.setLeft(area.left() + w);
        break;
      case TAlign::alRight:
        place(c, QRect(area.right() + 1 - w, area.top(), w, area.height()));
        area.setRight(area.right() - w);
        break;
      default:
        place(c, area);
        break;
      }
    }
  }
}

// ---- TForm --------------------------------------------------------------------

class TForm::FormWidget : public QWidget {
public:
  explicit FormWidget(TForm *owner)
      : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                             Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
        owner_(owner) {
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->setSizeConstraint(QLayout::SetFixedSize);
    client_ = new QWidget(this);
    client_->setFixedSize(320, 240);
    layout_->addWidget(client_);
  }
  QVBoxLayout *layout_;
  QWidget *client_;

protected:
  void showEvent(QShowEvent *event) override {
    QWidget::showEvent(event);
    // Coming back from the minimised state is not a new showing.
    if (!event->spontaneous()) Dispatch(owner_->OnShow);
  }
  void closeEvent(QCloseEvent *event) override {
    event->accept();
    if (Application().MainForm() == owner_) Application().Terminate();
  }

private:
  TForm *owner_;
};

TForm::TForm() : TWinControl(nullptr, new FormWidget(this)), form_(static_cast<FormWidget *>(Widget())) {}

TForm::~TForm() = default;

std::string TForm::Caption() const { return form_->windowTitle().toStdString(); }
void TForm::SetCaption(const std::string &caption) { form_->setWindowTitle(Q(caption)); }

int TForm::ClientWidth() const { return form_->client_->width(); }
int TForm::ClientHeight() const { return form_->client_->height(); }

void TForm::SetClientSize(int width, int height) {
  outerSized_ = false;
  form_->client_->setFixedSize(std::max(1, width), std::max(1, height));
  form_->layout_->activate();
  form_->adjustSize();
}

void TForm::SetOuterSize(int width, int height) {
  SetClientSize(width - kFrameWidth, height - kFrameHeight);
  outerSized_ = true;
}

void TForm::Show() {
  if (form_->isVisible()) {
    if (form_->isMinimized()) form_->showNormal();
    form_->raise();
    form_->activateWindow();
    return;
  }
  form_->show();
  form_->raise();
  form_->activateWindow();
}

void TForm::Hide() { form_->hide(); }
void TForm::Close() { form_->close(); }
bool TForm::Showing() const { return form_->isVisible(); }

TMainMenu *TForm::CreateMainMenu() {
  if (!menu_) InsertStoredChild(std::make_unique<TMainMenu>());
  return menu_.get();
}

QWidget *TForm::ClientWidget() const { return form_->client_; }

void TForm::ReadDefinition(std::string_view text) { streaming::ReadComponent(text, *this); }

void TForm::MissingComponent(std::string_view name) const {
  throw rtl::Exception("The window " + Name() + " has no component " + std::string(name) + " of the expected class");
}

void TForm::DefineProperties(TPropertyTable &t) {
  t.Property("Caption", this, &TForm::Caption, &TForm::SetCaption, std::string());
  t.Property(
       "ClientWidth", [this] { return ClientWidth(); }, [this](int w) { SetClientSize(w, ClientHeight()); })
      .StoredWhen([this] { return !outerSized_; });
  t.Property(
       "ClientHeight", [this] { return ClientHeight(); }, [this](int h) { SetClientSize(ClientWidth(), h); })
      .StoredWhen([this] { return !outerSized_; });
  // Sizes with the frame, as the result windows give theirs.
  t.Property(
       "Width", [this] { return ClientWidth() + kFrameWidth; },
       [this](int w) { SetOuterSize(w, ClientHeight() + kFrameHeight); })
      .StoredWhen([this] { return outerSized_; });
  t.Property(
       "Height", [this] { return ClientHeight() + kFrameHeight; },
       [this](int h) { SetOuterSize(ClientWidth() + kFrameWidth, h); })
      .StoredWhen([this] { return outerSized_; });
}

void TForm::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  if (auto *menu = dynamic_cast<TMainMenu *>(child.get())) {
    if (menu_) throw streaming::EDefinitionError("a window has one main menu");
    child.release();
    menu_.reset(menu);
    auto *bar = new QMenuBar(form_);
    form_->layout_->setMenuBar(bar);
    menu_->AttachBar(bar);
    form_->layout_->activate();
    form_->adjustSize();
    return;
  }
  if (dynamic_cast<TControl *>(child.get())) return TWinControl::InsertStoredChild(std::move(child));
  components_.push_back(std::move(child));
}

std::vector<streaming::TStoredComponent *> TForm::StoredChildren() {
  std::vector<streaming::TStoredComponent *> result;
  if (menu_) result.push_back(menu_.get());
  for (const auto &c : components_)
    result.push_back(c.get());
  for (streaming::TStoredComponent *c : TWinControl::StoredChildren())
    result.push_back(c);
  return result;
}

// ---- Simple controls ----------------------------------------------------------

namespace {
QFrame *NewPanelFrame(QWidget *parent) {
  auto *frame = new QFrame(parent);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  frame->setLineWidth(1);
  frame->setGeometry(0, 0, 185, 41);
  return frame;
}
} // namespace

TPanel::TPanel(TWinControl *parent) : TWinControl(parent, NewPanelFrame(ParentWidget(parent))) {}

TGroupBox::TGroupBox(TWinControl *parent, const std::string &caption)
    : TWinControl(parent, new QGroupBox(Q(caption), ParentWidget(parent))) {
  Widget()->setGeometry(0, 0, 185, 105);
}

std::string TGroupBox::Caption() const { return static_cast<QGroupBox *>(Widget())->title().toStdString(); }
void TGroupBox::SetCaption(const std::string &caption) { static_cast<QGroupBox *>(Widget())->setTitle(Q(caption)); }

void TGroupBox::DefineProperties(TPropertyTable &t) {
  TWinControl::DefineProperties(t);
  t.Property("Caption", this, &TGroupBox::Caption, &TGroupBox::SetCaption, std::string());
}

TLabel::TLabel(TWinControl *parent, const std::string &caption)
    : TControl(parent, new QLabel(Q(caption), ParentWidget(parent))) {
  static_cast<QLabel *>(Widget())->setTextFormat(Qt::PlainText);
  Widget()->adjustSize();
}

std::string TLabel::Caption() const { return static_cast<QLabel *>(Widget())->text().toStdString(); }

void TLabel::SetCaption(const std::string &caption) {
  static_cast<QLabel *>(Widget())->setText(Q(caption));
  if (autoSize_) Widget()->adjustSize();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  if (autoSize_) Widget()->adjustSize();
}

bool TLabel::WordWrap() const { return static_cast<QLabel *>(Widget())->wordWrap(); }

void TLabel::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  // Before the caption, so a fixed-size label keeps the size it was given.
  t.Property("AutoSize", this, &TLabel::AutoSize, &TLabel::SetAutoSize, true);
  t.Property("WordWrap", this, &TLabel::WordWrap, &TLabel::SetWordWrap, false);
  t.Property("Caption", this, &TLabel::Caption, &TLabel::SetCaption, std::string());
}

void TLabel::SetWordWrap(bool wrap) {
  static_cast<QLabel *>(Widget())->setWordWrap(wrap);
  static_cast<QLabel *>(Widget())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

namespace {

// An edit box focused other than by the mouse (at a window's start, by Tab,
// when a dialog closes back to it) has its whole text selected, so typing
// replaces the value instead of adding to it. A click puts the caret where
// it falls; a closing context menu leaves the selection as it was.
bool SelectsAllOnFocus(Qt::FocusReason reason) {
  return reason != Qt::MouseFocusReason && reason != Qt::PopupFocusReason;
}

class SelectingLineEdit : public QLineEdit {
public:
  using QLineEdit::QLineEdit;

protected:
  void focusInEvent(QFocusEvent *event) override {
    QLineEdit::focusInEvent(event);
    if (SelectsAllOnFocus(event->reason())) selectAll();
  }
};

} // namespace

TEdit::TEdit(TWinControl *parent, const std::string &text)
    : TControl(parent, new SelectingLineEdit(Q(text), ParentWidget(parent))) {
  Widget()->setGeometry(0, 0, 121, 21);
  QObject::connect(static_cast<QLineEdit *>(Widget()), &QLineEdit::textChanged, Widget(),
                   [this] { Dispatch(OnChange); });
}

void TEdit::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("Text", this, &TEdit::Text, &TEdit::SetText, std::string());
}

std::string TEdit::Text() const { return static_cast<QLineEdit *>(Widget())->text().toStdString(); }
void TEdit::SetText(const std::string &text) { static_cast<QLineEdit *>(Widget())->setText(Q(text)); }

TButton::TButton(TWinControl *parent, const std::string &caption)
    : TControl(parent, new QPushButton(Q(caption), ParentWidget(parent))) {
  auto *button = static_cast<QPushButton *>(Widget());
  button->setAutoDefault(false);
  button->setGeometry(0, 0, 75, 25);
  QObject::connect(button, &QPushButton::clicked, button, [this] { Dispatch(OnClick); });
}

void TButton::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("Caption", this, &TButton::Caption, &TButton::SetCaption, std::string());
}

std::string TButton::Caption() const { return static_cast<QPushButton *>(Widget())->text().toStdString(); }
void TButton::SetCaption(const std::string &caption) { static_cast<QPushButton *>(Widget())->setText(Q(caption)); }
void TButton::Click() { Dispatch(OnClick); }

TRadioButton::TRadioButton(TWinControl *parent, const std::string &caption)
    : TControl(parent, new QRadioButton(Q(caption), ParentWidget(parent))) {
  auto *button = static_cast<QRadioButton *>(Widget());
  button->setGeometry(0, 0, 113, 17);
  QObject::connect(button, &QRadioButton::clicked, button, [this] { Dispatch(OnClick); });
}

std::string TRadioButton::Caption() const { return static_cast<QRadioButton *>(Widget())->text().toStdString(); }
void TRadioButton::SetCaption(const std::string &caption) {
  static_cast<QRadioButton *>(Widget())->setText(Q(caption));
}

void TRadioButton::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("Caption", this, &TRadioButton::Caption, &TRadioButton::SetCaption, std::string());
  t.Property("Checked", this, &TRadioButton::Checked, &TRadioButton::SetChecked, false);
}

bool TRadioButton::Checked() const { return static_cast<QRadioButton *>(Widget())->isChecked(); }

void TRadioButton::SetChecked(bool checked) {
  auto *button = static_cast<QRadioButton *>(Widget());
  if (checked) {
    button->setChecked(true);
    return;
  }
  // Qt keeps the checked button of an exclusive set checked; ours may be
  // unchecked by the program.
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(true);
}

namespace {

// A spin box that takes any number typed into it and clamps it to the range
// when editing ends, as a spin edit does; Qt's own refuses the keystroke that
// leaves the range, so typing 11 into a box of 1 to 10 would leave 1.
class ClampingSpinBox : public QSpinBox {
public:
  using QSpinBox::QSpinBox;

protected:
  QValidator::State validate(QString &input, int &pos) const override {
    const QValidator::State state = QSpinBox::validate(input, pos);
    if (state != QValidator::Invalid) return state;
    bool ok = false;
    input.trimmed().toLongLong(&ok);
    return ok ? QValidator::Intermediate : QValidator::Invalid;
  }
  void fixup(QString &input) const override {
    bool ok = false;
    const qlonglong typed = input.trimmed().toLongLong(&ok);
    if (ok) input = QString::number(std::clamp<qlonglong>(typed, minimum(), maximum()));
  }
  void focusInEvent(QFocusEvent *event) override {
    QSpinBox::focusInEvent(event);
    if (SelectsAllOnFocus(event->reason())) selectAll();
  }
};

} // namespace

TSpinEdit::TSpinEdit(TWinControl *parent) : TControl(parent, new ClampingSpinBox(ParentWidget(parent))) {
  auto *spin = static_cast<QSpinBox *>(Widget());
  spin->setRange(0, 100);
  spin->setGeometry(0, 0, 121, 22);
  QObject::connect(spin, &QSpinBox::valueChanged, spin, [this] { Dispatch(OnChange); });
}

void TSpinEdit::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("MinValue", this, &TSpinEdit::MinValue, &TSpinEdit::SetMinValue, 0);
  t.Property("MaxValue", this, &TSpinEdit::MaxValue, &TSpinEdit::SetMaxValue, 100);
  t.Property("Value", this, &TSpinEdit::Value, &TSpinEdit::SetValue, 0);
}

int TSpinEdit::Value() const { return static_cast<QSpinBox *>(Widget())->value(); }
void TSpinEdit::SetValue(int value) { static_cast<QSpinBox *>(Widget())->setValue(value); }
int TSpinEdit::MinValue() const { return static_cast<QSpinBox *>(Widget())->minimum(); }
int TSpinEdit::MaxValue() const { return static_cast<QSpinBox *>(Widget())->maximum(); }
void TSpinEdit::SetMinValue(int value) { static_cast<QSpinBox *>(Widget())->setMinimum(value); }
void TSpinEdit::SetMaxValue(int value) { static_cast<QSpinBox *>(Widget())->setMaximum(value); }

TImage::TImage(TWinControl *parent) : TControl(parent, new QLabel(ParentWidget(parent))) {
  static_cast<QLabel *>(Widget())->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Widget()->setGeometry(0, 0, 105, 105);
}

void TImage::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Property("Stretch", this, &TImage::Stretch, &TImage::SetStretch, false);
  t.Binary(
       "Jpeg", [this](streaming::TBinaryReader &r, streaming::TReadContext &) { SetJpeg(r.ReadBytes(r.Remaining())); },
       [this](streaming::TBinaryWriter &w) { w.WriteBytes(jpeg_); })
      .StoredWhen([this] { return !jpeg_.empty(); });
}

void TImage::SetPicture(const TRasterImage &picture) {
  picture_ = picture;
  jpeg_.clear();
  Refresh();
}

void TImage::SetJpeg(std::string bytes) {
  picture_ = DecodeJpeg(bytes);
  jpeg_ = std::move(bytes);
  Refresh();
}

void TImage::SetStretch(bool stretch) {
  stretch_ = stretch;
  Refresh();
}

void TImage::Refresh() {
  auto *label = static_cast<QLabel *>(Widget());
  label->setScaledContents(stretch_);
  label->setPixmap(QPixmap::fromImage(ToQImage(picture_)));
}

void TImageList::DefineProperties(TPropertyTable &t) {
  t.Property("Width", this, &TImageList::Width, &TImageList::SetWidth, 16);
  t.Property("Height", this, &TImageList::Height, &TImageList::SetHeight, 16);
}

void TImageList::SetWidth(int width) {
  if (!images_.empty() || width <= 0) throw rtl::Exception("The image list's size cannot change to this");
  width_ = width;
}

void TImageList::SetHeight(int height) {
  if (!images_.empty() || height <= 0) throw rtl::Exception("The image list's size cannot change to this");
  height_ = height;
}

void TImageList::Add(TRasterImage image) {
  if (image.Width != width_ || image.Height != height_ ||
      image.Pixels.size() != static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height))
    throw rtl::Exception("The picture does not fit the image list");
  images_.push_back(std::move(image));
}

const TRasterImage &TImageList::Image(int index) const {
  if (index < 0 || index >= Count()) throw rtl::Exception("List index out of bounds (" + std::to_string(index) + ")");
  return images_[static_cast<size_t>(index)];
}

TToolBar::TToolBar(TWinControl *parent) : TControl(parent, new QToolBar(ParentWidget(parent))) {
  auto *bar = static_cast<QToolBar *>(Widget());
  bar->setMovable(false);
  bar->setFloatable(false);
  bar->setGeometry(0, 0, 150, 29);
}

void TToolBar::DefineProperties(TPropertyTable &t) {
  TControl::DefineProperties(t);
  t.Reference(
      "Images", [this]() -> streaming::TStoredComponent * { return const_cast<TImageList *>(images_); },
      [this](streaming::TStoredComponent *c) {
        auto *list = dynamic_cast<TImageList *>(c);
        if (c && !list) throw streaming::EDefinitionError("Images must name an image list");
        SetImages(list);
      });
}

void TToolBar::SetImages(const TImageList *images) {
  images_ = images;
  if (images_) static_cast<QToolBar *>(Widget())->setIconSize(QSize(images_->Width(), images_->Height()));
}

void TToolBar::AddButton(const std::string &hint, int imageIndex, TNotifyEvent onClick) {
  auto *bar = static_cast<QToolBar *>(Widget());
  QIcon icon;
  if (images_ && imageIndex >= 0) icon = QIcon(QPixmap::fromImage(ToQImage(images_->Image(imageIndex))));
  QAction *action = bar->addAction(icon, Q(hint));
  QObject::connect(action, &QAction::triggered, bar, [handler = std::move(onClick)] { Dispatch(handler); });
  ++buttons_;
}

// ---- Menus --------------------------------------------------------------------

struct TMenuItem::Impl {
  QWidget *container = nullptr; // the menu bar or menu holding the entry
  QAction *action = nullptr;
  QMenu *menu = nullptr; // the entry's own menu, once it has entries
  QMetaObject::Connection clicked;
};

TMenuItem::TMenuItem() : impl_(std::make_unique<Impl>()) {}

TMenuItem::~TMenuItem() { QObject::disconnect(impl_->clicked); }

void TMenuItem::DefineProperties(TPropertyTable &t) {
  t.Property("Caption", this, &TMenuItem::Caption, &TMenuItem::SetCaption, std::string());
  t.Property("Enabled", this, &TMenuItem::Enabled, &TMenuItem::SetEnabled, true);
}

void TMenuItem::AttachTo(QWidget *container, bool asMenu) {
  impl_->container = container;
  if (asMenu) {
    impl_->menu = new QMenu(Q(caption_), container);
    static_cast<QMenuBar *>(container)->addMenu(impl_->menu);
    impl_->action = impl_->menu->menuAction();
  } else {
    impl_->action = new QAction(container);
    ShowCaption();
    container->addAction(impl_->action);
    impl_->clicked = QObject::connect(impl_->action, &QAction::triggered, [this] { Dispatch(OnClick); });
  }
  impl_->action->setEnabled(enabled_);
}

void TMenuItem::SetCaption(const std::string &caption) {
  caption_ = caption;
  if (impl_->menu) impl_->menu->setTitle(Q(caption));
  if (impl_->action) ShowCaption();
}

void TMenuItem::ShowCaption() {
  if (impl_->menu) {
    impl_->action->setText(Q(caption_));
    return;
  }
  // Qt draws a separator's text as a heading over the line, so the "-"
  // that makes the separator must not reach it.
  impl_->action->setSeparator(IsSeparator());
  impl_->action->setText(IsSeparator() ? QString() : Q(caption_));
}

void TMenuItem::Insert(std::unique_ptr<TMenuItem> item) {
  if (!impl_->container) throw rtl::Exception("A menu entry must be in a menu before entries go below it");
  if (!impl_->menu) {
    // An entry with entries below becomes a submenu in its place.
    impl_->menu = new QMenu(Q(caption_), impl_->container);
    QAction *old = impl_->action;
    impl_->container->insertAction(old, impl_->menu->menuAction());
    impl_->container->removeAction(old);
    QObject::disconnect(impl_->clicked);
    old->deleteLater();
    impl_->action = impl_->menu->menuAction();
    impl_->action->setEnabled(enabled_);
  }
  item->AttachTo(impl_->menu, false);
  items_.push_back(std::move(item));
}

TMenuItem *TMenuItem::Add(const std::string &caption) {
  auto item = std::make_unique<TMenuItem>();
  item->caption_ = caption;
  Insert(std::move(item));
  return items_.back().get();
}

void TMenuItem::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  if (!dynamic_cast<TMenuItem *>(child.get())) return TStoredComponent::InsertStoredChild(std::move(child));
  Insert(std::unique_ptr<TMenuItem>(static_cast<TMenuItem *>(child.release())));
}

std::vector<streaming::TStoredComponent *> TMenuItem::StoredChildren() {
  std::vector<streaming::TStoredComponent *> result;
  for (const auto &item : items_)
    result.push_back(item.get());
  return result;
}

TMenuItem *TMenuItem::Find(const std::string &caption) const {
  for (const auto &item : items_)
    if (item->Caption() == caption) return item.get();
  return nullptr;
}

void TMenuItem::SetEnabled(bool enabled) {
  enabled_ = enabled;
  if (impl_->action) impl_->action->setEnabled(enabled);
}

void TMenuItem::Click() { Dispatch(OnClick); }

TMainMenu::TMainMenu() = default;
TMainMenu::~TMainMenu() = default;

void TMainMenu::AttachBar(QWidget *menuBar) {
  bar_ = menuBar;
  for (const auto &item : items_)
    item->AttachTo(bar_, true);
}

TMenuItem *TMainMenu::Add(const std::string &caption) {
  auto item = std::make_unique<TMenuItem>();
  item->caption_ = caption;
  InsertStoredChild(std::move(item));
  return items_.back().get();
}

void TMainMenu::InsertStoredChild(std::unique_ptr<streaming::TStoredComponent> child) {
  auto *item = dynamic_cast<TMenuItem *>(child.get());
  if (!item) return TStoredComponent::InsertStoredChild(std::move(child));
  child.release();
  items_.push_back(std::unique_ptr<TMenuItem>(item));
  if (bar_) item->AttachTo(bar_, true);
}

std::vector<streaming::TStoredComponent *> TMainMenu::StoredChildren() {
  std::vector<streaming::TStoredComponent *> result;
  for (const auto &item : items_)
    result.push_back(item.get());
  return result;
}

TMenuItem *TMainMenu::Find(const std::string &caption) const {
  for (const auto &item : items_)
    if (item->Caption() == caption) return item.get();
  return nullptr;
}

// ---- Registration -------------------------------------------------------------

namespace {
template <class T> void Register(const char *name) { streaming::ClassRegistry().RegisterClass<T>(name); }
constexpr const char *kClassNames[] = {"TPanel",       "TGroupBox",  "TLabel",    "TEdit",      "TButton",
                                       "TRadioButton", "TSpinEdit",  "TImage",    "TImageList", "TToolBar",
                                       "TStringGrid",  "TPaintHost", "TMainMenu", "TMenuItem",  "TOpenDialog",
                                       "TSaveDialog",  "TActionList"};
} // namespace

void RegisterFormClasses() {
  Register<TPanel>("TPanel");
  Register<TGroupBox>("TGroupBox");
  Register<TLabel>("TLabel");
  Register<TEdit>("TEdit");
  Register<TButton>("TButton");
  Register<TRadioButton>("TRadioButton");
  Register<TSpinEdit>("TSpinEdit");
  Register<TImage>("TImage");
  Register<TImageList>("TImageList");
  Register<TToolBar>("TToolBar");
  Register<TStringGrid>("TStringGrid");
  Register<TPaintHost>("TPaintHost");
  Register<TMainMenu>("TMainMenu");
  Register<TMenuItem>("TMenuItem");
  Register<TOpenDialog>("TOpenDialog");
  Register<TSaveDialog>("TSaveDialog");
  Register<TActionList>("TActionList");
}

void UnregisterFormClasses() {
  for (const char *name : kClassNames)
    streaming::ClassRegistry().UnregisterClass(name);
}

} // namespace forms
