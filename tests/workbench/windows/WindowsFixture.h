// Starts the eight windows as the program does, with a stand-in user who
// answers the dialogs and records the message boxes.
#pragma once

#include "chart/ChartTestSupport.h"
#include "chart/engine/Chart.h"
#include "chart/series/SeriesStartup.h"
#include "platform/forms/Application.h"
#include "platform/rtl/Exceptions.h"
#include "resources/Resources.h"
#include "workbench/windows/ResultWindows.h"
#include "workbench/windows/StartUp.h"
#include "workbench/windows/Unit1.h"
#include "workbench/windows/Unit2.h"
#include "workbench/windows/Unit3.h"

#include "platform/forms/AnsweringServices.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace windows_test {

class WindowsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
    workbench::StartUnits();
    forms::Application().SetResourceLookup([](const std::string &name) -> std::optional<std::string> {
      if (auto bytes = kvel_resources::Find(name)) return std::string(*bytes);
      return std::nullopt;
    });
  }
  static void TearDownTestSuite() { workbench::StopUnits(); }
  void SetUp() override {
    workbench::CreateWindows();
    // The message loop shows the main window once all exist.
    workbench::Form1->Show();
    dir = std::filesystem::temp_directory_path() / ("kvel-windows-" + std::to_string(::getpid()) + "-" +
                                                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    workbench::DestroyWindows();
    std::filesystem::remove_all(dir);
  }
  forms::TMenuItem *Menu(const char *top, const char *entry) {
    forms::TMenuItem *group = workbench::Form1->MainMenu1->Find(top);
    return group ? group->Find(entry) : nullptr;
  }
  std::string Path(const std::string &name) const { return (dir / name).string(); }

  forms_test::AnsweringServices user;
  std::filesystem::path dir;
};

} // namespace windows_test
