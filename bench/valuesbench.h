#pragma once

namespace Orlavo::Bench {

// Rounding and formatting of amounts over a million values; to be called
// before the benchmarks run.
void registerValuesBenchmarks();

} // namespace Orlavo::Bench
