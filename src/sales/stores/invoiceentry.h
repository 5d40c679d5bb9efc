#pragma once

#include "masterdata/rules/duedates.h"
#include "masterdata/stores/pricelookup.h"
#include "sales/rules/documenttypes.h"
#include "sales/rules/rowprice.h"
#include "sales/rules/summary.h"
#include "services/core/outcome.h"

#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// What a document row takes from its item.
struct RowItem {
    QString warehouse, brand, code, description, unit, vatCode, account, costCentre;
    PriceFigures figures;            // the item's own sale figures
    double second = 0, third = 0;    // PREZZO_LIST_E, PREZZO_LIST_3
    int decimals = 2;                // NUM_DEC
    double commission = 0;           // the item's PERC_PROV
    double brandCommission = 0;      // its brand's
    double specificWeight = 0;       // PESO_SPECIF
    bool special = false;            // SPECIALE
    double onHand = 0;               // ESISTENZA
};

// The item of a code in the warehouse; without a brand, the first brand's.
Services::Outcome<std::optional<RowItem>> rowItem(Services::DataAccess &db, const QString &warehouse,
                                                  const QString &brand, const QString &code);
// The item of a barcode in the warehouse.
Services::Outcome<std::optional<RowItem>> rowItemByBarcode(Services::DataAccess &db, const QString &warehouse,
                                                           const QString &barcode);

// The figures of a sale list row.
PriceFigures listFigures(const Masterdata::ListPrice &row);

// The rates of TAB_PERIVA by code, for the summary.
Services::Outcome<QHash<QString, VatRate>> vatRates(Services::DataAccess &db);

// The payment condition of a code; nothing when it is unknown.
Services::Outcome<std::optional<Masterdata::PaymentCondition>> paymentConditionOf(Services::DataAccess &db,
                                                                                  const QString &code);

// The commission rate of an agent (a supplier marked "A"); nothing when the
// code is no agent.
Services::Outcome<std::optional<double>> agentRate(Services::DataAccess &db, int agent);

// The latest registration and document dates of the family's documents of
// a year and series (the blank series counts the rows without one).
struct LatestDates {
    QDate registered, document;
};
Services::Outcome<LatestDates> latestDates(Services::DataAccess &db, Family family, const QString &year,
                                           const QString &series);

} // namespace Orlavo::Sales

namespace Orlavo::Sales {

// A coded field of a document: the table its code is found in and the
// column described beside it.
struct CodeSource {
    QString table;
    QString key = QStringLiteral("CODICE");
    QString description = QStringLiteral("DESCRIZIONE");
    QString condition;    // program text
    bool numeric = false; // the key is a number (customers, agents)
};
// A code table's own: CODICE described by DESCRIZIONE.
inline CodeSource codeTable(const QString &table)
{
    CodeSource source;
    source.table = table;
    return source;
}
// The description of a code; nothing when it is blank or unknown.
std::optional<QString> codeDescription(Services::DataAccess &db, const CodeSource &source, const QString &code);

} // namespace Orlavo::Sales
