#pragma once

namespace Orlavo::Bench {

// The summary of a 1 000-row document on five VAT codes, with header
// discounts, expenses and withholding.
void registerSummaryBenchmarks();

} // namespace Orlavo::Bench
