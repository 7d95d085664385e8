// Stand-ins for the user: they record every message box and answer every
// file dialog and help request, so a test runs without anyone there.
#pragma once

#include "platform/forms/Application.h"
#include "platform/rtl/Exceptions.h"

#include <deque>
#include <string>
#include <vector>

namespace forms_test {

struct Box {
  std::string Text, Caption;
  bool Error = false;
};

class AnsweringServices : public forms::IMessageService, public forms::IFileDialogService, public forms::IHelpService {
public:
  AnsweringServices() {
    forms::Application().SetMessageService(this);
    forms::Application().SetFileDialogService(this);
    forms::Application().SetHelpService(this);
  }
  ~AnsweringServices() override {
    forms::Application().SetMessageService(nullptr);
    forms::Application().SetFileDialogService(nullptr);
    forms::Application().SetHelpService(nullptr);
  }
  void ShowMessageBox(const std::string &text, const std::string &caption) override {
    Boxes.push_back({text, caption, false});
  }
  void ShowErrorBox(const std::string &text, const std::string &caption) override {
    Boxes.push_back({text, caption, true});
  }
  // Answers with the next queued name; an empty queue cancels.
  std::optional<std::string> Execute(const forms::TFileDialogRequest &request) override {
    Requests.push_back(request);
    if (Answers.empty()) return std::nullopt;
    std::string answer = Answers.front();
    Answers.pop_front();
    return answer;
  }
  void ShowContents(const std::string &helpFile) override { HelpFiles.push_back(helpFile); }

  std::vector<Box> Boxes;
  std::deque<std::string> Answers;
  std::vector<forms::TFileDialogRequest> Requests;
  std::vector<std::string> HelpFiles;
};

} // namespace forms_test
