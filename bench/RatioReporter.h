// Prints, after the usual table, each "<case>: ours" time as a ratio of its "<case>: raw" time, and
// each "<case>: paired" run's own "ours", "raw" and "ratio" counters (both sides measured in turns).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

class RatioReporter : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    // With repetitions the median stands for the case; without, the single run does.
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !m_hasMedian.count(run.run_name.str()))
        m_times[run.run_name.str()] = run.GetAdjustedRealTime();
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
        m_hasMedian.insert(run.run_name.str());
        m_times[run.run_name.str()] = run.GetAdjustedRealTime();
      }
      if (run.counters.count("ratio") && (run.run_type == Run::RT_Iteration ? !m_hasMedian.count(run.run_name.str())
                                                                             : run.aggregate_name == "median"))
        m_pairs[run.run_name.str()] = {run.counters.at("ours"), run.counters.at("raw"), run.counters.at("ratio")};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-48s %12s %12s %8s\n", "case", "ours", "raw", "ratio");
    for (const auto& [name, ours] : m_times) {
      const auto cut = name.rfind(": ours");
      if (cut == std::string::npos) continue;
      const auto raw = m_times.find(name.substr(0, cut) + ": raw");
      if (raw == m_times.end()) continue;
      std::printf("%-48s %12.1f %12.1f %7.2fx\n", name.substr(0, cut).c_str(), ours, raw->second, ours / raw->second);
    }
    for (const auto& [name, pair] : m_pairs)
      std::printf("%-48s %12.1f %12.1f %7.2fx\n", name.substr(0, name.rfind(": paired")).c_str(), pair.ours, pair.raw,
                  pair.ratio);
  }

private:
  struct Pair {
    double ours, raw, ratio;
  };
  std::map<std::string, double> m_times;
  std::map<std::string, Pair> m_pairs;
  std::set<std::string> m_hasMedian;
};

// Runs every registered benchmark with the ratio table at the end.
#define CODEWERK_BENCHMARK_MAIN()                        \
  int main(int argc, char** argv) {                      \
    benchmark::Initialize(&argc, argv);                  \
    RatioReporter reporter;                              \
    benchmark::RunSpecifiedBenchmarks(&reporter);        \
    benchmark::Shutdown();                               \
    return 0;                                            \
  }
