#include "valuesbench.h"

#include "services/core/decimals.h"
#include "services/core/values.h"

#include <QString>

#include <benchmark/benchmark.h>

#include <random>
#include <utility>
#include <vector>

namespace Orlavo::Bench {

namespace {

using Services::Decimals;

constexpr int kValues = 1000000;

// A million amounts as a ledger holds them: mostly cents, some with a
// third decimal to round, a few large and a few negative.
const std::vector<double> &amounts()
{
    static const std::vector<double> values = [] {
        std::mt19937_64 random(1936);
        std::uniform_int_distribution<long long> mills(-5000000, 2000000000);
        std::vector<double> v;
        v.reserve(kValues);
        for (int i = 0; i < kValues; ++i)
            v.push_back(double(mills(random)) / (i % 3 ? 100.0 : 1000.0));
        return v;
    }();
    return values;
}

// Time per value, next to the time per million.
void perCall(benchmark::State &state)
{
    state.SetItemsProcessed(state.iterations() * kValues);
    state.counters["per_call"] = benchmark::Counter(double(state.iterations()) * kValues,
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void roundDecBench(benchmark::State &state)
{
    const auto &values = amounts();
    for (auto _ : state) {
        for (double v : values)
            benchmark::DoNotOptimize(Services::roundDec(v, 2));
    }
    perCall(state);
}

void formatAmountBench(benchmark::State &state)
{
    const auto &values = amounts();
    for (auto _ : state) {
        for (double v : values)
            benchmark::DoNotOptimize(Services::formatAmount(v, 2));
    }
    perCall(state);
}

// What a report column does: the rounded amount kept, then printed.
void roundAndFormatBench(benchmark::State &state)
{
    const auto &values = amounts();
    for (auto _ : state) {
        for (double v : values) {
            const double rounded = Services::roundDec(v, 2);
            benchmark::DoNotOptimize(rounded);
            benchmark::DoNotOptimize(Services::formatAmount(rounded, 2));
        }
    }
    perCall(state);
}

// The same with the decimals given as text, as the reports pass them.
void roundAndFormatTextBench(benchmark::State &state)
{
    const auto &values = amounts();
    Decimals decimals;
    const QString two = QStringLiteral("2");
    for (auto _ : state) {
        for (double v : values) {
            const double rounded = Services::roundDec(v, two, decimals);
            benchmark::DoNotOptimize(rounded);
            benchmark::DoNotOptimize(Services::formatAmount(rounded, two, decimals));
        }
    }
    perCall(state);
}

} // namespace

void registerValuesBenchmarks()
{
    for (auto [name, function] :
         {std::pair{"Values/RoundDec", &roundDecBench}, std::pair{"Values/FormatAmount", &formatAmountBench},
          std::pair{"Values/RoundDecAndFormatAmount", &roundAndFormatBench},
          std::pair{"Values/RoundDecAndFormatAmountText", &roundAndFormatTextBench}})
        benchmark::RegisterBenchmark(name, function)->Unit(benchmark::kMillisecond);
}

} // namespace Orlavo::Bench
