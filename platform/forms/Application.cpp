#include "platform/forms/Application.h"

#include "platform/forms/Controls.h"
#include "platform/rtl/Exceptions.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QStyleFactory>
#include <QTextBrowser>
#include <QTranslator>
#include <QTreeView>
#include <QVBoxLayout>

#include <cstdlib>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace forms {
namespace {

std::string fontFamily = "Liberation Sans";
int fontPixels = 11;

QString Q(const std::string &text) { return QString::fromStdString(text); }

QString MessageText(const std::string &text) { return Q(MessageDisplayText(text)); }

void RunBox(const std::string &text, const std::string &caption, QMessageBox::Icon icon) {
  QMessageBox box(icon, Q(caption), MessageText(text), QMessageBox::Ok, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);
  // A short text makes a narrow box whose title bar would cut its caption
  // down to "...": a spacer keeps the box as wide as the caption needs
  // (the title bar's font is larger than the dialog's, and it holds the
  // close button).
  if (auto *grid = qobject_cast<QGridLayout *>(box.layout())) {
    QFont titleFont = box.font();
    titleFont.setPixelSize(titleFont.pixelSize() > 0 ? titleFont.pixelSize() * 3 / 2 : 16);
    const int width = QFontMetrics(titleFont).horizontalAdvance(Q(caption)) + 120;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(), 0, 1,
                  grid->columnCount());
  }
  box.exec();
}

class QtMessageService : public IMessageService {
public:
  void ShowMessageBox(const std::string &text, const std::string &caption) override {
    RunBox(text, caption, QMessageBox::NoIcon);
  }
  void ShowErrorBox(const std::string &text, const std::string &caption) override {
    RunBox(text, caption, QMessageBox::Critical);
  }
};

// "Text File (*.txt)|*.txt" becomes Qt's "Text File (*.txt)"; a pattern
// list separated by ';' becomes one separated by blanks.
QString QtFilter(const std::string &filter) {
  QStringList parts = Q(filter).split('|');
  QStringList result;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(';', ' ');
    QString description = parts[i];
    if (!description.contains('(' + patterns + ')')) description += " (" + patterns + ')';
    result << description;
  }
  return result.join(QStringLiteral(";;"));
}

class QtFileDialogService : public IFileDialogService {
public:
  std::optional<std::string> Execute(const TFileDialogRequest &request) override {
    QFileDialog dialog(QApplication::activeWindow(), Q(request.Title));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (request.Title.empty())
      dialog.setWindowTitle(request.Save ? QStringLiteral("Сохранить как") : QStringLiteral("Открыть"));
    // The detail columns fit their contents, so sizes and dates read whole.
    if (auto *view = dialog.findChild<QTreeView *>()) {
      view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
      view->header()->setStretchLastSection(false);
      view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    dialog.resize(640, 400);
    dialog.setNameFilter(QtFilter(request.Filter));
    if (request.Save) {
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setOption(QFileDialog::DontConfirmOverwrite);
      dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Сохранить"));
    } else {
      // A name that does not exist may be confirmed: the caller reports it.
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Открыть"));
    }
    // The rest of the program speaks Russian; without Qt's translations
    // installed the dialog would not.
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Папка:"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Имя файла:"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Тип файлов:"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Отмена"));
    if (!request.FileName.empty()) dialog.selectFile(Q(request.FileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
  }
};

// A small window of the program that shows the help text.
class HelpWindow : public QWidget {
public:
  HelpWindow() : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QStringLiteral("Справка"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    layout->addWidget(browser_);
    resize(560, 480);
  }
  void ShowText(const std::string &html) {
    browser_->setHtml(Q(html));
    browser_->scrollToAnchor(QStringLiteral("contents"));
    show();
    raise();
    activateWindow();
  }
  QTextBrowser *browser_;
};

class QtHelpService : public IHelpService {
public:
  void ShowContents(const std::string &helpFile) override {
    // The help is built into the program, so no file in whatever folder the
    // program was started from can stand in for it.
    std::optional<std::string> text = Application().FindResource(helpFile);
    if (!text) throw rtl::EInOutError("Cannot find the help file \"" + helpFile + "\"");
    if (!window_) window_ = std::make_unique<HelpWindow>();
    window_->ShowText(*text);
  }

private:
  std::unique_ptr<HelpWindow> window_;
};

void ChooseFont() {
  // The windows are laid out for an 8 point sans serif, 11 pixels to the em
  // at 96 dots per inch. Liberation Sans is narrow enough for the Russian
  // captions to fit their controls; DejaVu Sans, wider, stands in where it
  // is missing. Both have Cyrillic.
  const QStringList families = QFontDatabase::families();
  fontFamily = families.contains(QStringLiteral("Liberation Sans")) ? "Liberation Sans" : "DejaVu Sans";
  fontPixels = PointsToPixels(8);
  QFont font(Q(fontFamily));
  font.setPixelSize(fontPixels);
  font.setHintingPreference(QFont::PreferFullHinting);
  QApplication::setFont(font);
}

// Qt's own words (the file dialogs' columns and places, the standard
// buttons) in Russian, like the rest of the program; without the
// translation files they stay English.
void InstallTranslations() {
  QCoreApplication *app = QCoreApplication::instance();
  if (!app || app->findChild<QTranslator *>(QStringLiteral("kvelQtWords"))) return;
  auto *translator = new QTranslator(app);
  translator->setObjectName(QStringLiteral("kvelQtWords"));
  if (translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(translator);
  else
    delete translator;
}

// Starting Qt leaves the upper halves of the wide vector registers in use on
// some processors; until they are cleared every plain floating-point
// instruction pays a transition penalty (atan2 measured twelve times
// slower for the rest of the run).
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) void ZeroUpper() { _mm256_zeroupper(); }
void ClearUpperVectorState() {
  if (__builtin_cpu_supports("avx")) ZeroUpper();
}
#else
void ClearUpperVectorState() {}
#endif

} // namespace

void Dispatch(const std::function<void()> &handler) noexcept {
  if (!handler) return;
  try {
    handler();
  } catch (const std::exception &e) {
    try {
      Application().ShowException(e.what());
    } catch (...) {
    }
  } catch (...) {
    try {
      Application().ShowException("Unknown error");
    } catch (...) {
    }
  }
}

std::string MessageDisplayText(const std::string &text) {
  std::string result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r') {
      result += text[i];
    } else if (i + 1 >= text.size() || text[i + 1] != '\n') {
      result += '\n';
    }
  }
  return result;
}

int PointsToPixels(int points) { return (points * 96 + 36) / 72; }
std::string WindowFontFamily() { return fontFamily; }
int WindowFontPixels() { return fontPixels; }

TApplication::TApplication() = default;
TApplication::~TApplication() {
  // Widgets cannot be freed once Qt is gone; at process exit that is moot.
  if (!QApplication::instance()) {
    for (auto &form : forms_)
      (void)form.release();
    (void)realHelp_.release();
  }
}

TApplication &Application() {
  static TApplication application;
  return application;
}

void TApplication::Initialize(int &argc, char **argv) {
  // Sizes are in pixels of a 96 dpi screen; a desktop's own scale must not
  // change them.
  if (!qEnvironmentVariableIsSet("QT_FONT_DPI")) qputenv("QT_FONT_DPI", "96");
  if (!QApplication::instance()) ownQt_ = std::make_unique<QApplication>(argc, argv);
  ClearUpperVectorState();
  QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
  QApplication::setQuitOnLastWindowClosed(false);
  ChooseFont();
  InstallTranslations();
  terminated_ = false;
}

void TApplication::DestroyForms() {
  while (!forms_.empty())
    forms_.pop_back();
  mainForm_ = nullptr;
  // The help window is one of the program's windows too.
  realHelp_.reset();
}

void TApplication::Finalize() {
  DestroyForms();
  realDialogs_.reset();
  realMessages_.reset();
  ownQt_.reset();
}

void TApplication::Adopt(std::unique_ptr<TForm> form) {
  if (!mainForm_) mainForm_ = form.get();
  forms_.push_back(std::move(form));
}

void TApplication::Run() {
  terminated_ = false;
  if (mainForm_) mainForm_->Show();
  if (terminated_) return;
  running_ = true;
  QApplication::exec();
  running_ = false;
}

void TApplication::ProcessMessages() { QApplication::processEvents(); }

void TApplication::Terminate() {
  terminated_ = true;
  // Only the loop ends: the other windows are freed with the forms. A quit
  // asked for outside the loop would end the next loop at once.
  if (running_) QApplication::exit(0);
}

void TApplication::ShowException(const std::string &message) { Messages().ShowErrorBox(message, title_); }

void TApplication::MessageBox(const std::string &text, const std::string &caption) {
  Messages().ShowMessageBox(text, caption);
}

void TApplication::HelpContents() {
  if (helpFile_.empty()) throw rtl::Exception("No help file is set");
  Help().ShowContents(helpFile_);
}

IMessageService &TApplication::Messages() {
  if (messages_) return *messages_;
  if (!realMessages_) realMessages_ = std::make_unique<QtMessageService>();
  return *realMessages_;
}

IFileDialogService &TApplication::FileDialogs() {
  if (dialogs_) return *dialogs_;
  if (!realDialogs_) realDialogs_ = std::make_unique<QtFileDialogService>();
  return *realDialogs_;
}

IHelpService &TApplication::Help() {
  if (help_) return *help_;
  if (!realHelp_) realHelp_ = std::make_unique<QtHelpService>();
  return *realHelp_;
}

std::optional<std::string> TApplication::FindResource(const std::string &name) const {
  if (!resources_) return std::nullopt;
  return resources_(name);
}

} // namespace forms
