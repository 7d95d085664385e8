// The program body: starts the units, makes the eight windows, runs the
// message loop until the main window closes, and shuts the units down in
// the reverse order.
#include "chart/engine/Chart.h"
#include "chart/engine/UloEngineStartup.h"
#include "chart/foundation/UloStartup.h"
#include "chart/series/SeriesStartup.h"
#include "chart/tools/ToolsStartup.h"
#include "platform/forms/Application.h"
#include "platform/forms/Controls.h"
#include "resources/Resources.h"
#include "workbench/windows/StartUp.h"

#include <string>

namespace {

std::optional<std::string> BuiltInFile(const std::string &name) {
  if (auto bytes = kvel_resources::Find(name)) return std::string(*bytes);
  return std::nullopt;
}

} // namespace

int main(int argc, char **argv) {
  // The units first, in dependency order: the window classes the
  // definitions name, the chart texts, palette and hand cursor, then the
  // chart classes the result windows' definitions name.
  forms::RegisterFormClasses();
  StartChartFoundation();
  StartChartEngine();
  StartChartUnit();
  StartChartSeries();
  StartChartTools();
  forms::TApplication &app = forms::Application();
  app.Initialize(argc, argv);
  app.SetTitle("Kvel");
  app.SetResourceLookup(BuiltInFile);
  workbench::CreateWindows();
  app.Run();
  workbench::DestroyWindows();
  app.Finalize();
  StopChartTools();
  StopChartSeries();
  StopChartUnit();
  StopChartEngine();
  StopChartFoundation();
  forms::UnregisterFormClasses();
  return 0;
}
