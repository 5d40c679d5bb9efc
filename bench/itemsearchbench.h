#pragma once

namespace Orlavo::Bench {

// The item list (ArtiELri) over 200 000 items by brand and by description
// word, on both engines.
void registerItemSearchBenchmarks();

} // namespace Orlavo::Bench
