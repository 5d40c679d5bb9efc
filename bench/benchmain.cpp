#include "numerabench.h"
#include "reportbench.h"
#include "valuesbench.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

// Qt Sql needs an application object before the first connection, and the
// reports draw text, so the benchmarks get a main of their own with a GUI
// application; without a display it runs on the offscreen platform.
int main(int argc, char **argv)
{
    Orlavo::Bench::registerNumeraBenchmarks();
    Orlavo::Bench::registerReportBenchmarks();
    Orlavo::Bench::registerValuesBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
