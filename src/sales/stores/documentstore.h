#pragma once

#include "masterdata/rules/duedates.h"
#include "sales/rules/documenttypes.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QList>
#include <optional>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// A sales document as it is stored: its header, the delivery block of an
// invoice travelling with the goods, its rows in display order and its
// due dates. Rows of every part carry their family's table definition.
struct SalesDocument {
    Family family = Family::Definitive;
    Services::Row header;
    std::optional<Services::Row> delivery;
    QList<Services::Row> rows;
    QList<Services::Row> dueDates;

    static SalesDocument empty(Family family);
    Services::Row newRow() const;
    QString year() const { return header.text(QStringLiteral("ANNO")); }
    int number() const { return header.integer(QStringLiteral("NRO_INT")); }
    bool operator==(const SalesDocument &other) const;
};

// Writes the whole document inside the caller's unit: header, delivery
// block (only when ACCOMPAGNATORIA is set), rows numbered from 1 in their
// order, then the due dates. Each row gets the document's keys, IMPORTO 0
// and NDEC from its price; the delivery-note reference columns stay only
// on "D" rows, the order ones only on "B" rows. False once the unit has
// failed (it has reported the step).
bool writeDocument(Services::WriteUnit &unit, SalesDocument &document);

// The document of (ANNO, NRO_INT), rows by RIGA, due dates by PROGR.
Services::Outcome<std::optional<SalesDocument>> readDocument(Services::DataAccess &db, Family family,
                                                             const QString &year, int number);

// Removes a document and everything it holds in its family.
bool deleteDocument(Services::WriteUnit &unit, Family family, const QString &year, int number);

// Empties the simulated invoices before a new simulation.
bool emptySimulated(Services::WriteUnit &unit);

// The due-date rows of the computed lines: one for each line with both an
// amount and a date, numbered from 1, with the document's keys, customer,
// agent, condition and banks; IMPORTO_EUR the amount's euro value.
QList<Services::Row> dueDateRows(const SalesDocument &document, const QList<Masterdata::DueLine> &lines);

// Adds one invoice to the customer's totals of its year: the first one
// inserts the row at 1, the next ones add to it, the row read for update
// so two workstations never lose one.
bool addCustomerInvoice(Services::WriteUnit &unit, int customer, const QString &year, const QDate &registered,
                        double taxable, double vat);

// One invoice taken off the customer's totals (an update, a cancellation):
// the figures it added, the count one less, the last date the latest of
// the customer's other valid invoices of the year.
bool takeOffCustomerInvoice(Services::WriteUnit &unit, int customer, const QString &year, int internal,
                            double taxable, double vat);

// The withholding entry of a document with a withholding.
bool writeWithholding(Services::WriteUnit &unit, const SalesDocument &document);

} // namespace Orlavo::Sales
