// A console reporter that keeps each benchmark's time per iteration, and the printing of each
// of ours beside its reference as the ratio of their times.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

class RatioReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes;  // the process's own time, for a loaded machine
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) times[r.benchmark_name()] = r.GetAdjustedRealTime();
        for (const Run& r : runs) cpuTimes[r.benchmark_name()] = r.GetAdjustedCPUTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

// One line per pair that ran: its label and how many times the reference's time ours takes.
struct RatioPair {
    const char* ours;
    const char* reference;
    const char* label;
};

template <size_t N>
void printRatios(const RatioReporter& reporter, const RatioPair (&pairs)[N], bool cpu = false) {
    std::printf("\n");
    const std::map<std::string, double>& times = cpu ? reporter.cpuTimes : reporter.times;
    for (const RatioPair& p : pairs) {
        auto ours = times.find(p.ours);
        auto ref = times.find(p.reference);
        if (ours == times.end() || ref == times.end() || ref->second <= 0) continue;
        std::printf("%-56s %6.2f\n", p.label, ours->second / ref->second);
    }
}

// A benchmark repeated to keep the least of its repetitions prints that least beside its mean:
// register it with ->Repetitions(n)->ComputeStatistics("min", leastOf).
inline double leastOf(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

// The runs the console shows: a repeated benchmark's statistics only (the reporter keeps each
// repetition for itself), any other run as it is.
inline std::vector<benchmark::BenchmarkReporter::Run> shownRuns(
    const std::vector<benchmark::BenchmarkReporter::Run>& runs) {
    std::vector<benchmark::BenchmarkReporter::Run> shown;
    for (const benchmark::BenchmarkReporter::Run& r : runs)
        if (r.run_type != benchmark::BenchmarkReporter::Run::RT_Iteration || r.repetitions <= 1)
            shown.push_back(r);
    return shown;
}
