#include "numerabench.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

// Qt Sql needs an application object before the first connection, so the
// benchmarks get a main of their own instead of the library's.
int main(int argc, char **argv)
{
    Orlavo::Bench::registerNumeraBenchmarks();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
