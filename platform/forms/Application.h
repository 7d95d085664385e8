// The application object: one per program. It owns the forms, runs the
// message loop until the main form closes, shows the error box for an
// exception that escapes an event handler, and holds the services that
// talk to the user outside the forms (message boxes, file dialogs, help),
// which tests replace with answering stand-ins.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QApplication;

namespace forms {

class TForm;

// Runs one event handler. An exception it raises is shown in the
// application's error box and goes no further: no handler can take the
// program down. Every event of the layer is fired through here.
void Dispatch(const std::function<void()> &handler) noexcept;

// A message as the boxes show it: CR LF and a lone CR (character 13)
// break the line.
std::string MessageDisplayText(const std::string &text);

// ---- Services -------------------------------------------------------------

class IMessageService {
public:
  virtual ~IMessageService() = default;
  // A box with the text, the caption, an OK button and no icon; returns
  // when the user has closed it.
  virtual void ShowMessageBox(const std::string &text, const std::string &caption) = 0;
  // The error box for an exception that reached the application.
  virtual void ShowErrorBox(const std::string &text, const std::string &caption) = 0;
};

struct TFileDialogRequest {
  bool Save = false;
  std::string Title;
  std::string Filter; // "Description|patterns|Description|patterns"
  std::string FileName;
};

class IFileDialogService {
public:
  virtual ~IFileDialogService() = default;
  // The name the user confirmed, or nullopt when they cancelled.
  virtual std::optional<std::string> Execute(const TFileDialogRequest &request) = 0;
};

class IHelpService {
public:
  virtual ~IHelpService() = default;
  // Shows the help file at its contents page.
  virtual void ShowContents(const std::string &helpFile) = 0;
};

// Looks up a file built into the program by name.
using TResourceLookup = std::function<std::optional<std::string>(const std::string &name)>;

// ---- The application ------------------------------------------------------

class TApplication {
public:
  TApplication(const TApplication &) = delete;
  TApplication &operator=(const TApplication &) = delete;

  // Sets the fixed 96 dpi, the style and the window font, and starts Qt
  // when no Qt application exists yet. Call before any form is made.
  void Initialize(int &argc, char **argv);
  // Frees the forms in the reverse order of their creation.
  void DestroyForms();
  // Frees the forms and what the application made, Qt included when
  // Initialize started it.
  void Finalize();

  // The first form created is the main form; closing it ends Run.
  template <class T> T *CreateForm() {
    auto form = std::make_unique<T>();
    T *raw = form.get();
    Adopt(std::move(form));
    return raw;
  }
  TForm *MainForm() const { return mainForm_; }
  const std::vector<std::unique_ptr<TForm>> &Forms() const { return forms_; }

  // Shows the main form and runs the message loop until it closes.
  void Run();
  // Handles the window messages waiting now, then returns.
  void ProcessMessages();
  // Ends the message loop (the main form closing does this).
  void Terminate();
  bool Terminated() const { return terminated_; }

  const std::string &Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }

  // Shows an exception's message in the error box, character 13 as a line break.
  void ShowException(const std::string &message);
  // A plain message box: text, caption, OK, no icon.
  void MessageBox(const std::string &text, const std::string &caption);

  const std::string &HelpFile() const { return helpFile_; }
  void SetHelpFile(std::string name) { helpFile_ = std::move(name); }
  // Opens the help file at its contents page.
  void HelpContents();

  // nullptr restores the real service.
  void SetMessageService(IMessageService *service) { messages_ = service; }
  void SetFileDialogService(IFileDialogService *service) { dialogs_ = service; }
  void SetHelpService(IHelpService *service) { help_ = service; }
  IMessageService &Messages();
  IFileDialogService &FileDialogs();
  IHelpService &Help();

  void SetResourceLookup(TResourceLookup lookup) { resources_ = std::move(lookup); }
  std::optional<std::string> FindResource(const std::string &name) const;

private:
  friend TApplication &Application();
  TApplication();
  ~TApplication();
  void Adopt(std::unique_ptr<TForm> form);

  std::vector<std::unique_ptr<TForm>> forms_;
  TForm *mainForm_ = nullptr;
  bool terminated_ = false;
  bool running_ = false;
  std::string title_ = "Kvel";
  std::string helpFile_;
  IMessageService *messages_ = nullptr;
  IFileDialogService *dialogs_ = nullptr;
  IHelpService *help_ = nullptr;
  std::unique_ptr<IMessageService> realMessages_;
  std::unique_ptr<IFileDialogService> realDialogs_;
  std::unique_ptr<IHelpService> realHelp_;
  TResourceLookup resources_;
  std::unique_ptr<QApplication> ownQt_;
};

TApplication &Application();

// The window font's family and pixel size, chosen at Initialize.
std::string WindowFontFamily();
int WindowFontPixels();
// Pixels of a font size in points at the fixed 96 dpi, halves rounded up
// as the window system does.
int PointsToPixels(int points);

} // namespace forms
