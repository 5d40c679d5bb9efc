#pragma once

#include "sales/rules/salesrows.h"
#include "services/core/outcome.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// A delivery place the invoice may name.
struct InvoicePlace {
    int code = 0;
    QString description, address, town, postalCode, province;
    bool standard = false; // PREDEF
};

// What an invoice takes from its customer when the customer is entered.
struct InvoiceCustomer {
    QString name, address, postalCode, town, province;
    QString vatNumber, taxCode;                                  // shown as "Partita Iva : ", "Codice Fiscale : "
    QString paymentCondition, supportBank, paymentBank, account; // COND_PAG, BANCA_APP, BANCA_PAG, CONTO_PATRIM
    int agent = 0;
    QString priceList;                        // TIPOLISTINO
    QString revenueAccount, vatCode;          // row defaults
    std::optional<Discounts> headerDiscounts; // the customer's discounts when SCFATT is 1
    // An Italian customer (NAZIONE "I") with neither VAT number nor tax code.
    bool missingTaxIds = false;
    QList<InvoicePlace> places; // the default one first
};

// "Cliente errato ": the code is unknown, or the standard-list code 99999.
inline constexpr char kWrongCustomer[] = "Cliente errato ";
inline constexpr char kMissingTaxIds[] = "Manca partita iva o cod. fiscale su anagrafica cliente";

// The customer's defaults; nothing when the code is unknown or 99999.
Services::Outcome<std::optional<InvoiceCustomer>> invoiceCustomer(Services::DataAccess &db, int code);

} // namespace Orlavo::Sales
