#include "summarybench.h"

#include "sales/rules/summary.h"

#include <benchmark/benchmark.h>

#include <QHash>

namespace Orlavo::Bench {

namespace {

constexpr int kRows = 1000;

Sales::SummaryInput bigDocument()
{
    static const char *codes[] = {"22", "10", "4", "5", "E15"};
    Sales::SummaryInput input;
    input.type = QStringLiteral("VFM");
    input.headerDiscounts = {10, 5, 2};
    input.transport = {12.5, QStringLiteral("22")};
    input.bank = {2.0, QStringLiteral("E15")};
    input.withholding = true;
    input.withholdingRate = 20;
    for (int i = 0; i < kRows; ++i) {
        Sales::SummaryRow row;
        row.vatCode = QString::fromLatin1(codes[i % 5]);
        row.quantity = 1 + i % 7;
        row.price = 3.33 + i % 50;
        row.amount = Sales::rowAmount(row.quantity, row.price, {10, 5, 0});
        input.rows.append(row);
    }
    return input;
}

void summaryBench(benchmark::State &state)
{
    const QHash<QString, Sales::VatRate> table = {
        {QStringLiteral("22"), {22, QStringLiteral("IVA 22%")}},
        {QStringLiteral("10"), {10, QStringLiteral("IVA 10%")}},
        {QStringLiteral("4"), {4, QStringLiteral("IVA 4%")}},
        {QStringLiteral("5"), {5, QStringLiteral("IVA 5%")}},
        {QStringLiteral("E15"), {0, QStringLiteral("Escluso")}},
    };
    const Sales::VatRates rates = [&table](const QString &code) -> std::optional<Sales::VatRate> {
        const auto found = table.constFind(code);
        return found == table.cend() ? std::nullopt : std::optional<Sales::VatRate>(*found);
    };
    const Sales::SummaryInput input = bigDocument();
    Sales::Summary previous;
    for (auto _ : state) {
        previous = Sales::summarise(input, previous, rates);
        benchmark::DoNotOptimize(previous);
    }
}

} // namespace

void registerSummaryBenchmarks()
{
    benchmark::RegisterBenchmark("Summary/Rows1000Codes5", &summaryBench)->Unit(benchmark::kMicrosecond);
}

} // namespace Orlavo::Bench
