#pragma once

namespace Orlavo::Bench {

// The posting of a sales invoice (lock to unlock) into a company with
// 100 000 items and 50 000 invoices, and 10 000 invoices posted in one
// lock and one transaction, as the invoice generation does.
void registerPostingBenchmarks();

} // namespace Orlavo::Bench
