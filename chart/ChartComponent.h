// The whole chart component's start-up and shut-down, for the program and
// for everything else that needs the component as the program has it.
#pragma once

// Every unit of the chart component in its start-up order: the foundation
// (texts, palette, hand cursor), the engine with its gallery and registries,
// the chart class, the series and the tools. The stop runs in reverse.
void StartChartComponent();
void StopChartComponent();
