#pragma once

namespace Orlavo::Bench {

// The report engine on a long list: the whole of it to PDF, and the first
// page of the preview; to be called before the benchmarks run.
void registerReportBenchmarks();

} // namespace Orlavo::Bench
