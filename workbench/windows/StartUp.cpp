#include "workbench/windows/StartUp.h"

#include "chart/ChartComponent.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "workbench/windows/ResultWindows.h"
#include "workbench/windows/Unit1.h"
#include "workbench/windows/Unit2.h"
#include "workbench/windows/Unit3.h"

namespace workbench {

void StartUnits() {
  forms::RegisterFormClasses();
  StartChartComponent();
}

void StopUnits() {
  StopChartComponent();
  forms::UnregisterFormClasses();
}

void CreateWindows() {
  forms::TApplication &app = forms::Application();
  Form1 = app.CreateForm<TForm1>();
  Form2 = app.CreateForm<TForm2>();
  Form3 = app.CreateForm<TForm3>();
  Form4 = app.CreateForm<TForm4>();
  Form5 = app.CreateForm<TForm5>();
  Form6 = app.CreateForm<TForm6>();
  Form7 = app.CreateForm<TForm7>();
  Form8 = app.CreateForm<TForm8>();
}

void DestroyWindows() {
  forms::Application().DestroyForms();
  Form1 = nullptr;
  Form2 = nullptr;
  Form3 = nullptr;
  Form4 = nullptr;
  Form5 = nullptr;
  Form6 = nullptr;
  Form7 = nullptr;
  Form8 = nullptr;
}

} // namespace workbench
