// The tool units' start-up and shut-down. StartChartTools runs after
// StartChartSeries and registers every tool class in the tool registry;
// StopChartTools removes them again, in the reverse order.
#pragma once

void StartChartTools();
void StopChartTools();

// Every unit of the chart component in its start-up order: the foundation
// (texts, palette, hand cursor), the engine with its gallery and registries,
// the chart class, the series and the tools. The stop runs in reverse.
void StartChartComponent();
void StopChartComponent();
