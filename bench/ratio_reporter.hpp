#pragma once
// Runs the registered benchmarks and then prints ratios between them,
// measured in the same run. With --benchmark_repetitions=N the medians are
// used, which is what the noisy two-core machines here call for.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace quillon_bench {

/// numerator / denominator of a metric. For "time" the ratio is
/// time(numerator) / time(denominator), i.e. how many times slower the
/// numerator is; for "rate" it is rate(numerator) / rate(denominator), the
/// fraction of the denominator's bytes per second that the numerator reaches.
struct Ratio {
  std::string label;
  std::string numerator;
  std::string denominator;
  enum class Metric { time, rate } metric = Metric::time;
};

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
      if (!median && !single) continue;
      Measured& m = measured_[run.run_name.function_name];
      m.seconds = run.GetAdjustedRealTime();
      if (auto it = run.counters.find("bytes_per_second"); it != run.counters.end())
        m.bytesPerSecond = it->second.value;
    }
  }

  /// The (median) bytes per second of a benchmark, or 0 when it did not run.
  [[nodiscard]] double bytesPerSecond(const std::string& name) const {
    const auto it = measured_.find(name);
    return it == measured_.end() ? 0 : it->second.bytesPerSecond;
  }

  void printRatios(const std::vector<Ratio>& ratios) const {
    std::printf("\n");
    for (const Ratio& ratio : ratios) {
      const auto n = measured_.find(ratio.numerator), d = measured_.find(ratio.denominator);
      if (n == measured_.end() || d == measured_.end()) {
        std::printf("%s: not measured (filtered out?)\n", ratio.label.c_str());
        continue;
      }
      const double value = ratio.metric == Ratio::Metric::time
                               ? n->second.seconds / d->second.seconds
                               : n->second.bytesPerSecond / d->second.bytesPerSecond;
      std::printf("%s: %.3f  (%s / %s)\n", ratio.label.c_str(), value, ratio.numerator.c_str(),
                  ratio.denominator.c_str());
    }
  }

 private:
  struct Measured {
    double seconds = 0;
    double bytesPerSecond = 0;
  };
  std::map<std::string, Measured> measured_;
};

/// main() of a benchmark program that reports `ratios` at the end.
inline int runWithRatios(int argc, char** argv, const std::vector<Ratio>& ratios) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios(ratios);
  benchmark::Shutdown();
  return 0;
}

}  // namespace quillon_bench
