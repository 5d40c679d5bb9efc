#pragma once

namespace Orlavo::Bench {

// Stock movements through the store, each with its item's figures, prices
// and price lists; the average purchase price of an item with 50 000 loads.
void registerMovementBenchmarks();

} // namespace Orlavo::Bench
