#pragma once

namespace Orlavo::Bench {

// A million due-date computations over varied conditions, amounts and dates.
void registerDueDateBenchmarks();

} // namespace Orlavo::Bench
