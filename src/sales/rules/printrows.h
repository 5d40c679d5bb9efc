#pragma once

#include "sales/rules/salesrows.h"

#include <QList>
#include <QString>

namespace Orlavo::Sales {

// A document row as the summarised print reads it.
struct PrintRow {
    int row = 0; // RIGA
    QString brand, item, unit, vat, description, free1, free2;
    double quantity = 0, price = 0, amount = 0;
    int priceDecimals = 0;
    Discounts discounts{};
    bool operator==(const PrintRow &) const = default;
};

// The rows of the summarised print: the rows of one item at one price (and
// the same discounts and VAT code) become one, their quantities and amounts
// added, with the first one's description; rows without an item stay as
// they are. In order of brand, item, price and row.
QList<PrintRow> summarisePrintRows(const QList<PrintRow> &rows);

} // namespace Orlavo::Sales
