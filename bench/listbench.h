#pragma once

namespace Orlavo::Bench {

// The generation of a purchase and a sale list of 1 000 000 rows, and the
// document row's price lookup against them, on both engines.
void registerListBenchmarks();

} // namespace Orlavo::Bench
