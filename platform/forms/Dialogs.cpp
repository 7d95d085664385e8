#include "platform/forms/Dialogs.h"

#include "platform/forms/Application.h"

namespace forms {

std::string WithDefaultExt(const std::string &name, const std::string &ext) {
  if (ext.empty() || name.empty()) return name;
  const size_t slash = name.find_last_of('/');
  const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
  if (last.empty() || last.find('.') != std::string::npos) return name;
  return name + "." + ext;
}

void TFileDialog::DefineProperties(streaming::TPropertyTable &t) {
  t.Property("Title", this, &TFileDialog::Title, &TFileDialog::SetTitle, std::string());
  t.Property("Filter", this, &TFileDialog::Filter, &TFileDialog::SetFilter, std::string());
  t.Property("DefaultExt", this, &TFileDialog::DefaultExt, &TFileDialog::SetDefaultExt, std::string());
}

bool TFileDialog::Run(bool save) {
  TFileDialogRequest request;
  request.Save = save;
  request.Title = title_;
  request.Filter = filter_;
  request.FileName = fileName_;
  std::optional<std::string> chosen = Application().FileDialogs().Execute(request);
  if (!chosen || chosen->empty()) return false;
  fileName_ = save ? WithDefaultExt(*chosen, defaultExt_) : *chosen;
  return true;
}

} // namespace forms
