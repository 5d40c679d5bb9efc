#pragma once

namespace Orlavo::Bench {

// The lookup list over a large table, with and without a typed filter:
// from the request to the list painted; to be called before the runs.
void registerLookupBenchmarks();

} // namespace Orlavo::Bench
