#pragma once

#include "masterdata/rules/duedates.h"
#include "sales/rules/summary.h"
#include "sales/stores/documentstore.h"
#include "services/core/record.h"

#include <QDateTime>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// A document ready to post: its header (type, series, dates, customer,
// accounts, expenses, withholding as typed), its rows in display order,
// the summary of its figures and its computed due dates.
struct InvoicePosting {
    SalesDocument document;
    Summary summary;
    QList<Masterdata::DueLine> dueLines;
    bool debitNotesApart = false; // NUMERAZNOTEDEBSEP "SI"
    QDateTime now = QDateTime::currentDateTime();
    // A stored document posted again keeps its numbers; a withholding
    // added takes a new entry number, one removed gives its number up.
    struct Numbers {
        int internal = 0, registration = 0, document = 0, withholdingEntry = 0;
    };
    std::optional<Numbers> kept;
};

// How a posting ended: the numbers it took, or why nothing remains (a
// stored document that may not change: `result.refusal`).
struct Posted {
    Services::WriteResult result;
    int internal = 0;
    int registration = 0;
    int document = 0;
    int withholdingEntry = 0;
    // The read-back found the records or the accounts wrong (the three
    // lines of the "Errore" box); the unit was rolled back.
    QString verification;
};

// "La registrazione non è avvenuta correttamente: " and the kind of error.
QString verificationFailure(bool accounts);

// The whole posting under the archive lock in one unit: numbers, header,
// delivery block, rows with their stock movements, VAT and journal, due
// dates, withholding entry, customer totals, the read-back. A proposal
// takes the "_PR" counters and writes its own family only. Rows from
// delivery notes and orders are not posted yet: such a document fails
// with its message and nothing is written.
Posted postInvoice(Services::DataAccess &db, InvoicePosting &posting);

// The same inside the caller's unit and lock (the invoice generation).
// False once the unit failed; `posted` tells the numbers or the failed
// read-back.
bool postInvoiceIn(Services::DataAccess &db, Services::WriteUnit &unit, InvoicePosting &posting, Posted &posted);

} // namespace Orlavo::Sales
