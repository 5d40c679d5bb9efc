#include "duedatesbench.h"

#include "masterdata/rules/duedates.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace Orlavo::Bench {

namespace {

constexpr int kRuns = 1000000;

struct Case {
    double amount;
    QDate date;
    int condition;
    double commission;
};

// The conditions a small firm keeps: cash, transfers, bank receipts at
// months or days, from the document or the month's end, a forced day.
const std::vector<Masterdata::PaymentCondition> &conditions()
{
    static const std::vector<Masterdata::PaymentCondition> all = {
        {QStringLiteral("RD"), QLatin1Char('D'), {0, 0, 0, 0}, 0, QLatin1Char('D')},
        {QStringLiteral("B30"), QLatin1Char('B'), {30, 0, 0, 0}, 0, QLatin1Char('D')},
        {QStringLiteral("R36"), QLatin1Char('R'), {30, 60, 90, 0}, 0, QLatin1Char('F')},
        {QStringLiteral("R45"), QLatin1Char('R'), {45, 75, 0, 0}, 10, QLatin1Char('F')},
        {QStringLiteral("R4"), QLatin1Char('R'), {30, 60, 90, 120}, 31, QLatin1Char('F')},
    };
    return all;
}

const std::vector<Case> &cases()
{
    static const std::vector<Case> all = [] {
        std::mt19937_64 random(2026);
        std::uniform_int_distribution<int> cents(1, 5000000), days(0, 3650), pick(0, 4);
        std::vector<Case> v;
        v.reserve(kRuns);
        const QDate start(2020, 1, 1);
        for (int i = 0; i < kRuns; ++i) {
            const double amount = cents(random) / 100.0;
            v.push_back({amount, start.addDays(days(random)), pick(random), amount * 0.05});
        }
        return v;
    }();
    return all;
}

void dueDatesBench(benchmark::State &state)
{
    const auto &runs = cases();
    const auto &known = conditions();
    for (auto _ : state) {
        for (const Case &c : runs)
            benchmark::DoNotOptimize(
                Masterdata::computeDueDates(c.amount, 2, c.date, known[size_t(c.condition)], c.commission));
    }
    state.SetItemsProcessed(state.iterations() * kRuns);
}

} // namespace

void registerDueDateBenchmarks()
{
    benchmark::RegisterBenchmark("DueDates/Million", &dueDatesBench)->Unit(benchmark::kMillisecond);
}

} // namespace Orlavo::Bench
