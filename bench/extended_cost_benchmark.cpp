// What the extended format costs: one press of 計算 (parse "3.5", discharge,
// MPa, both result texts) and each extended operation on its own. Built twice,
// against the x87 format (extended_cost_benchmark) and against the software
// format (extended_cost_benchmark_soft); compare the two runs.
#include <benchmark/benchmark.h>

#include <string>

#include "discharge.h"

namespace {

#if defined(CALC_EXTENDED_SOFT)
constexpr const char* kFormat = "software";
#else
constexpr const char* kFormat = "x87";
#endif

void Press(benchmark::State& state)
{
    calc::DecimalMark = '.';
    calc::SelectNozzleBore(2);
    std::string text = "3.5";
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        const calc::Extended pressure = calc::ParsePressureText(text);
        std::string discharge = calc::FormatResultText(calc::CalculateDischarge(pressure));
        std::string mpa = calc::FormatResultText(calc::ConvertPressureToMPa());
        benchmark::DoNotOptimize(discharge.data());
        benchmark::DoNotOptimize(mpa.data());
    }
    state.SetLabel(kFormat);
}
BENCHMARK(Press);

// Operands that the optimiser cannot see through: each iteration reads them
// from memory and writes the result back.
template <typename Operation>
void Binary(benchmark::State& state, Operation operation)
{
    calc::Extended a = calc::Extended::FromDouble(1.7);
    calc::Extended b = calc::Extended::FromDouble(41.792);
    const calc::ExtendedEnvironment environment;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(b);
        calc::Extended r = operation(a, b);
        benchmark::DoNotOptimize(r);
    }
    state.SetLabel(kFormat);
}

void Add(benchmark::State& state) { Binary(state, [](calc::Extended a, calc::Extended b) { return a + b; }); }
void Multiply(benchmark::State& state) { Binary(state, [](calc::Extended a, calc::Extended b) { return a * b; }); }
void Divide(benchmark::State& state) { Binary(state, [](calc::Extended a, calc::Extended b) { return a / b; }); }
void SquareRoot(benchmark::State& state) { Binary(state, [](calc::Extended a, calc::Extended) { return Sqrt(a); }); }
void ToDouble(benchmark::State& state)
{
    Binary(state, [](calc::Extended a, calc::Extended) { return calc::Extended::FromDouble(a.ToDouble()); });
}
BENCHMARK(Add);
BENCHMARK(Multiply);
BENCHMARK(Divide);
BENCHMARK(SquareRoot);
BENCHMARK(ToDouble);

}  // namespace

BENCHMARK_MAIN();
