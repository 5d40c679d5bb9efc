#include "agendabench.h"
#include "customerbench.h"
#include "duedatesbench.h"
#include "itembench.h"
#include "itemsearchbench.h"
#include "journalbench.h"
#include "listbench.h"
#include "lookupbench.h"
#include "movementbench.h"
#include "numerabench.h"
#include "postingbench.h"
#include "reportbench.h"
#include "summarybench.h"
#include "valuesbench.h"

#include <QApplication>

#include <benchmark/benchmark.h>

// Qt Sql needs an application object before the first connection, and the
// reports draw text, so the benchmarks get a main of their own with an
// application that can show windows; without a display it runs on the
// offscreen platform.
int main(int argc, char **argv)
{
    Orlavo::Bench::registerAgendaBenchmarks();
    Orlavo::Bench::registerCustomerBenchmarks();
    Orlavo::Bench::registerDueDateBenchmarks();
    Orlavo::Bench::registerSummaryBenchmarks();
    Orlavo::Bench::registerJournalBenchmarks();
    Orlavo::Bench::registerItemBenchmarks();
    Orlavo::Bench::registerItemSearchBenchmarks();
    Orlavo::Bench::registerListBenchmarks();
    Orlavo::Bench::registerLookupBenchmarks();
    Orlavo::Bench::registerMovementBenchmarks();
    Orlavo::Bench::registerNumeraBenchmarks();
    Orlavo::Bench::registerPostingBenchmarks();
    Orlavo::Bench::registerReportBenchmarks();
    Orlavo::Bench::registerValuesBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
