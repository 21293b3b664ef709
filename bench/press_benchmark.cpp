// One press of 計算 without the widgets: the program's own conversions and
// arithmetic against the C library's (strtold, long double, snprintf
// "%.15G"), in one run, with the time of each step on its own so that a slow
// step shows itself. Ends with the ratios ours / yardstick.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <unistd.h>
#include <string>
#include <utility>
#include <vector>

#include "discharge.h"
#include "press_in_c.h"

namespace {

// The pressure typed in the entry box, and the 19 mm bore.
const std::string kText = "3.5";
constexpr long double kBore = 19.0L;

void press_ours(benchmark::State& state)
{
    calc::SelectNozzleBore(2);
    std::string text = kText;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        const calc::Extended pressure = calc::ParsePressureText(text);
        std::string label1 = calc::FormatResultText(calc::CalculateDischarge(pressure));
        std::string label7 = calc::FormatResultText(calc::ConvertPressureToMPa());
        benchmark::DoNotOptimize(label1.data());
        benchmark::DoNotOptimize(label7.data());
    }
}

void press_c_library(benchmark::State& state)
{
    std::string text = kText;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        bench::CPressResult r = bench::PressWithCLibrary(text.c_str(), kBore);
        benchmark::DoNotOptimize(&r);
    }
}

void parse_ours(benchmark::State& state)
{
    std::string text = kText;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        calc::Extended v = calc::ParsePressureText(text);
        benchmark::DoNotOptimize(&v);
    }
}

void parse_strtold(benchmark::State& state)
{
    std::string text = kText;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        char* end = nullptr;
        long double v = std::strtold(text.c_str(), &end);
        benchmark::DoNotOptimize(&v);
        benchmark::DoNotOptimize(end);
    }
}

void calculate_ours(benchmark::State& state)
{
    calc::SelectNozzleBore(2);
    const calc::Extended pressure = calc::ParsePressureText(kText);
    for (auto _ : state) {
        double q = calc::CalculateDischarge(pressure);
        double mpa = calc::ConvertPressureToMPa();
        benchmark::DoNotOptimize(q);
        benchmark::DoNotOptimize(mpa);
    }
}

void calculate_long_double(benchmark::State& state)
{
    long double pressure = 3.5L;
    long double bore = kBore;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pressure);
        benchmark::DoNotOptimize(bore);
        const double stored = static_cast<double>(pressure);
        const long double q = 0.653L * bore * bore * std::sqrt(static_cast<long double>(stored));
        auto discharge = static_cast<double>(static_cast<long long>(static_cast<double>(q) + 0.5L));
        const auto mpa = static_cast<double>(0.0980665L * stored);
        auto mpaRounded = static_cast<double>(
            static_cast<long double>(static_cast<long long>(100.0L * mpa + 0.5L)) / 100.0L);
        benchmark::DoNotOptimize(discharge);
        benchmark::DoNotOptimize(mpaRounded);
    }
}

// The two results of a press at 19 mm and 3.5 kgf/cm².
constexpr double kDischarge = 441.0;
constexpr double kMPa = 0.34;

void format_ours(benchmark::State& state)
{
    double a = kDischarge;
    double b = kMPa;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        std::string label1 = calc::FormatResultText(a);
        std::string label7 = calc::FormatResultText(b);
        benchmark::DoNotOptimize(label1.data());
        benchmark::DoNotOptimize(label7.data());
    }
}

void format_snprintf(benchmark::State& state)
{
    double a = kDischarge;
    double b = kMPa;
    char label1[32];
    char label7[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        std::snprintf(label1, sizeof label1, "%.15G", a);
        std::snprintf(label7, sizeof label7, "%.15G", b);
        benchmark::DoNotOptimize(label1);
        benchmark::DoNotOptimize(label7);
    }
}

// The floating-point environment that each of the three calculation steps
// sets up and restores, against setting and restoring the two control words
// alone (what it costs when the caller's exception flags are clear, as they
// are in the program).
void environment_ours(benchmark::State& state)
{
    for (auto _ : state) {
        const calc::ExtendedEnvironment environment;
        benchmark::ClobberMemory();
    }
}

#if defined(CALC_EXTENDED_X87)
void environment_control_words(benchmark::State& state)
{
    for (auto _ : state) {
        std::uint16_t savedCw = 0;
        std::uint32_t savedMxcsr = 0;
        const std::uint16_t cw = 0x037F;
        const std::uint32_t mxcsr = 0x1F80;
        asm volatile("fnstcw %0\n\tstmxcsr %1" : "=m"(savedCw), "=m"(savedMxcsr));
        asm volatile("fnclex\n\tfldcw %0\n\tldmxcsr %1" : : "m"(cw), "m"(mxcsr));
        benchmark::ClobberMemory();
        asm volatile("fnclex\n\tfldcw %0\n\tldmxcsr %1" : : "m"(savedCw), "m"(savedMxcsr));
    }
}
BENCHMARK(environment_control_words);
#endif

BENCHMARK(environment_ours);
BENCHMARK(press_ours);
BENCHMARK(press_c_library);
BENCHMARK(parse_ours);
BENCHMARK(parse_strtold);
BENCHMARK(calculate_ours);
BENCHMARK(calculate_long_double);
BENCHMARK(format_ours);
BENCHMARK(format_snprintf);

// The console report as usual, keeping each benchmark's time per iteration
// (the median when repetitions are asked for) for the ratios at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a saved report reads as plain text.
    RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.function_name;
            if (median) {
                medians_[name] = run.GetAdjustedRealTime();
            } else if (run.run_type == Run::RT_Iteration && medians_.count(name) == 0) {
                singles_[name] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Time per iteration in the run's unit, or a negative number if missing.
    double TimeOf(const std::string& name) const
    {
        if (auto it = medians_.find(name); it != medians_.end()) return it->second;
        if (auto it = singles_.find(name); it != singles_.end()) return it->second;
        return -1;
    }

private:
    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const std::vector<std::pair<std::string, std::string>> pairs{
        {"press_ours", "press_c_library"},
        {"parse_ours", "parse_strtold"},
        {"calculate_ours", "calculate_long_double"},
        {"format_ours", "format_snprintf"},
        {"environment_ours", "environment_control_words"},
    };
    std::printf("\nours / yardstick, time per iteration (goal for a whole press: at most 0.50 of the C library)\n");
    for (const auto& [ours, theirs] : pairs) {
        const double a = reporter.TimeOf(ours);
        const double b = reporter.TimeOf(theirs);
        if (a < 0 || b < 0) continue;  // filtered out by --benchmark_filter
        std::printf("  %-16s %9.1f ns  vs %-22s %9.1f ns  ratio %.2f\n", ours.c_str(), a, theirs.c_str(), b, a / b);
    }
    return 0;
}
