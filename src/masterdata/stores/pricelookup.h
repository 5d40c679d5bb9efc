#pragma once

#include "masterdata/rules/pricelistrules.h"
#include "services/core/outcome.h"

#include <QList>
#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// One supplier's row of a sale list, as a document row may take it.
struct ListPrice {
    int supplier = 0;
    QString supplierName;     // blank for a supplier with no register row (99999)
    bool standard = false;    // a row of the standard list (customer 99999)
    double listPrice = 0;     // PR_LISTINO
    Discounts sale{};         // SC_V1..3
    double salePrice = 0;     // PR_VENDITA
    double fixedPrice = 0;    // PR_VENFISSO
    Discounts purchase{};     // SC_A1..3
    double purchasePrice = 0; // PR_ACQUISTO
    double markup = 0;        // PERC_RIC
    double markedUpPrice = 0; // PR_RICARICATO
};

// Where a document row's price comes from, and the list rows found: the
// customer's, else the standard list's, else none (the item's own prices).
// Several rows: the operator picks one ("Listino prezzi ricaricati").
struct PriceLookup {
    PriceSource source = PriceSource::Item;
    QList<ListPrice> rows; // in supplier order
};

// The sale list rows of a customer for an item, in supplier order.
Services::Outcome<QList<ListPrice>> listPricesOf(Services::DataAccess &db, int customer, const QString &brand,
                                                 const QString &item);

// The lookup of a document row of `documentType` for the customer and the
// item; `ownPrice` when the operator asks for the item's own price.
Services::Outcome<PriceLookup> lookupListPrices(Services::DataAccess &db, int customer, const QString &brand,
                                                const QString &item, const QString &documentType, bool ownPrice);

} // namespace Orlavo::Masterdata
