// The file dialogs. Execute asks the application's file dialog service,
// so tests can answer it.
#pragma once

#include "platform/streaming/Persistent.h"

#include <string>

namespace forms {

class TFileDialog : public streaming::TStoredComponent {
public:
  void DefineProperties(streaming::TPropertyTable &table) override;
  // "Description|patterns", pairs joined by '|'.
  std::string Filter() const { return filter_; }
  void SetFilter(std::string filter) { filter_ = std::move(filter); }
  std::string FileName() const { return fileName_; }
  void SetFileName(std::string name) { fileName_ = std::move(name); }
  std::string Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  // Without a dot: "txt".
  std::string DefaultExt() const { return defaultExt_; }
  void SetDefaultExt(std::string ext) { defaultExt_ = std::move(ext); }

  // True when the user confirmed a name, which is then in FileName.
  virtual bool Execute() = 0;

protected:
  bool Run(bool save);

private:
  std::string filter_, fileName_, title_, defaultExt_;
};

// Lets the user confirm any name, also one that does not exist: the
// caller decides what a missing file means.
class TOpenDialog : public TFileDialog {
public:
  std::string_view ClassName() const override { return "TOpenDialog"; }
  bool Execute() override { return Run(false); }
};

// Never asks before replacing a file. A name without an extension gets
// DefaultExt.
class TSaveDialog : public TFileDialog {
public:
  std::string_view ClassName() const override { return "TSaveDialog"; }
  bool Execute() override { return Run(true); }
};

// The default extension added to a name whose last part has no dot.
std::string WithDefaultExt(const std::string &name, const std::string &ext);

} // namespace forms
