#pragma once

namespace Orlavo::Bench {

// Journal entries typed by hand, each in its own transaction with the
// accounting lock and the counter; and the "account in use" check over a
// journal of a million lines.
void registerJournalBenchmarks();

} // namespace Orlavo::Bench
