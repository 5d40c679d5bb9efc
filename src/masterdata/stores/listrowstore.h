#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// One row of a price list as the operator edits it: LIST_ACQ (supplier,
// brand, item) or LIST_VEN (customer, brand, item, supplier).
using ListRow = Services::Record;

const Services::FamilyDef &purchaseListFamily();
const Services::FamilyDef &saleListFamily();

struct PurchaseListKey {
    int supplier = 0;
    QString brand;
    QString item;
};
struct SaleListKey {
    int customer = 0;
    QString brand;
    QString item;
    int supplier = 0;
};

// The decimals list prices round to: DECIMALI_PREZZO1, 2 when missing.
int listDecimals(const Services::Settings &settings);

Services::Outcome<std::optional<ListRow>> loadPurchaseRow(Services::DataAccess &db, const PurchaseListKey &key);
Services::Outcome<std::optional<ListRow>> loadSaleRow(Services::DataAccess &db, const SaleListKey &key);

// The missing-row messages of the two edit windows.
inline constexpr char kPurchaseRowMissing[] = "Il Listino di Acquisto non esiste in archivio ";
inline constexpr char kSaleRowMissing[] = "Il Listino di Vendita non esiste in archivio ";

// Saves a purchase row under the lock TUTTO ("Registra Listini Acquisto "):
// the row, then every LIST_VEN row of the supplier and item takes its
// discounts and net price, and its marked-up price again ("Agg list vend").
// A row gone meanwhile is Gone.
Services::WriteResult savePurchaseRow(Services::DataAccess &db, const ListRow &row, const ListRow &loaded,
                                      int decimals);
// Why a purchase row may not go: sale rows still take their purchase price
// from it. Empty when it may.
Services::Outcome<QString> purchaseDeleteRefusal(Services::DataAccess &db, const PurchaseListKey &key);
// Deletes it; sale rows written meanwhile make it ChangedElsewhere.
Services::WriteResult deletePurchaseRow(Services::DataAccess &db, const PurchaseListKey &key);

// Saves a sale row ("Registra Listina Vendita") and deletes one ("Elimina
// Listini di VEndita"), under the lock TUTTO.
Services::WriteResult saveSaleRow(Services::DataAccess &db, const ListRow &row, const ListRow &loaded);
Services::WriteResult deleteSaleRow(Services::DataAccess &db, const SaleListKey &key);

} // namespace Orlavo::Masterdata
