// The usual console table, keeping every repetition's time of each
// benchmark for the summary printed after it: with --benchmark_repetitions
// the summary takes their median, not whichever repetition came last.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace bench_support {

class MedianReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run> &runs) override {
    for (const Run &r : runs)
      if (r.run_type == Run::RT_Iteration && !r.error_occurred && r.iterations > 0)
        ns_[r.benchmark_name()].push_back(r.GetAdjustedRealTime() * NsPer(r.time_unit));
    ConsoleReporter::ReportRuns(runs);
  }

  // Each benchmark that ran, with the median of its repetitions'
  // nanoseconds per iteration.
  std::map<std::string, double> MedianNs() const {
    std::map<std::string, double> medians;
    for (auto [name, ns] : ns_) {
      const std::size_t half = ns.size() / 2;
      std::nth_element(ns.begin(), ns.begin() + half, ns.end());
      double median = ns[half];
      if (ns.size() % 2 == 0) median = (median + *std::max_element(ns.begin(), ns.begin() + half)) / 2;
      medians[name] = median;
    }
    return medians;
  }

private:
  static double NsPer(benchmark::TimeUnit unit) {
    switch (unit) {
    case benchmark::kSecond:
      return 1e9;
    case benchmark::kMillisecond:
      return 1e6;
    case benchmark::kMicrosecond:
      return 1e3;
    default:
      return 1;
    }
  }

  std::map<std::string, std::vector<double>> ns_;
};

} // namespace bench_support
