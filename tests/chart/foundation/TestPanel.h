// The panel tests' scaffolding: the application, a panel that counts its
// draws, and classes registered for reading.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "chart/foundation/UloPanel.h"
#include "platform/forms/AnsweringServices.h"
#include "platform/forms/Controls.h"
#include "platform/streaming/Streaming.h"

namespace foundation_test {

// Paints the panel, then whatever Scene draws.
class TTestPanel : public TCustomUloPanelExtended {
public:
  using TCustomUloPanelExtended::TCustomUloPanelExtended;
  std::string_view ClassName() const override { return "TTestPanel"; }
  int Draws = 0;
  std::function<void()> Scene;

protected:
  void InternalDraw(const TRect &bounds) override {
    ++Draws;
    PanelPaint(bounds);
    if (Scene) Scene();
  }
};

// The application is started once; each test frees its forms and leaves no
// message box unanswered.
class WithApplication : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    int argc = 0;
    forms::Application().Initialize(argc, nullptr);
  }
  void TearDown() override {
    forms::Application().DestroyForms();
    EXPECT_TRUE(user.Boxes.empty()) << user.Boxes.front().Text;
  }
  forms_test::AnsweringServices user;
};

// The same with class C registered under Name while the test runs.
template <class C, class Base> class WithStoredClass : public Base {
protected:
  void SetUp() override { streaming::ClassRegistry().RegisterClass<C>(Name()); }
  void TearDown() override {
    streaming::ClassRegistry().UnregisterClass(Name());
    Base::TearDown();
  }
  static std::string Name() { return std::string(C().ClassName()); }
};

} // namespace foundation_test
