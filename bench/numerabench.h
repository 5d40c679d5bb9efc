#pragma once

namespace Orlavo::Bench {

// Inserts and reads of the NUMERA table through the data-access layer, on
// SQLite and on PostgreSQL; to be called before the benchmarks run.
void registerNumeraBenchmarks();

} // namespace Orlavo::Bench
