// The tool units' start-up and shut-down. StartChartTools runs after
// StartChartSeries and registers every tool class in the tool registry;
// StopChartTools removes them again, in the reverse order.
#pragma once

void StartChartTools();
void StopChartTools();
