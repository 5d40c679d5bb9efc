#pragma once

#include "sales/stores/invoiceposting.h"

#include <QDateTime>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// A stored document taken off everything it posted, inside the caller's
// unit: for a definitive one its stock movements (copied to MOVMAG_DEL and
// taken back from their items) and its share of the customer's totals —
// unless a cancellation took them off already — its VAT rows, both journal
// entries and the withholding row; then the document itself.
bool unpostInvoice(Services::DataAccess &db, Services::WriteUnit &unit, const SalesDocument &stored,
                   const QDateTime &now);

// FatVenAg's Conferma: under the archive lock in one unit, the stored
// document read again (Gone when it went; ChangedElsewhere when its TSTAMP
// is no longer `stored`'s, unless `overwrite`), its refusal asked again
// (`refusal`, nothing written), taken off and posted again with its numbers
// and the read-back. Nothing changes unless all of it does.
Posted updateInvoice(Services::DataAccess &db, InvoicePosting &posting, const SalesDocument &stored,
                     bool overwrite);

// Cancels a definitive invoice: refused for the reasons a change is, but
// printed; its header, journal lines, VAT rows and due dates marked
// ANNULLATA, its VAT summary and withholding row removed (a restore writes
// them again), its stock movements taken back and its share of the
// customer's totals taken off, in one unit under the lock.
Posted cancelInvoice(Services::DataAccess &db, const QString &year, int number,
                     const QDateTime &now = QDateTime::currentDateTime());

// Restores a cancelled invoice: posted again as an update of itself, with
// its own stored figures and due dates; ChangedElsewhere when its stamp is
// no longer `stored`'s.
Posted restoreInvoice(Services::DataAccess &db, const SalesDocument &stored);

// A stored document's figures as the posting takes them: the summary from
// its header, the due dates from its rows.
InvoicePosting storedPosting(const SalesDocument &stored);

// Deletes a proposal: header, rows, delivery block, due dates. Definitive
// and simulated documents are refused (`deleteRefusal`).
Posted deleteProposal(Services::DataAccess &db, Family family, const QString &year, int number);

} // namespace Orlavo::Sales
