#pragma once

namespace Orlavo::Bench {

// The customer search over 100 000 customers: from the typed filters to the
// first screen of the list painted; to be called before the runs.
void registerCustomerBenchmarks();

} // namespace Orlavo::Bench
