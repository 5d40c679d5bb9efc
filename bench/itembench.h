#pragma once

namespace Orlavo::Bench {

// An item insert that seeds its brand's price lists, on both engines.
void registerItemBenchmarks();

} // namespace Orlavo::Bench
