// The series units' start-up and shut-down, in the program's unit order.
// StartChartSeries runs after StartChartEngine (the gallery exists then)
// and registers every series and function class of this folder;
// StopChartSeries removes them again, in the reverse order.
#pragma once

void StartChartSeries();
void StopChartSeries();
