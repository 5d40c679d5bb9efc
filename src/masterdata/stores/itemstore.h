#pragma once

#include "masterdata/stores/pricelists.h"
#include "masterdata/stores/recorduses.h"
#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// An item: its ARTICOLI row, keyed by warehouse, brand and code, typed
// values. The average purchase price (PREZZO_MEDA) belongs to the stock
// recalculation: it is neither read into the record nor written from it.
using Item = Services::Record;

const Services::FamilyDef &itemFamily();

struct ItemKey {
    QString warehouse;
    QString brand;
    QString code;
};
ItemKey itemKey(const Item &item);

// A component of a composite item, in grid order.
struct Component {
    QString brand;
    QString code;
    double quantity = 0;
    bool operator==(const Component &) const = default;
};

// The settings of section ARTICOLI, each missing key written back with its
// default: ratio of price 1 to price 2 (0: no automatic price 2), the
// decimals of prices 1 and 3 (0) and of price 2 (2), the preset VAT code and
// unit of a new item ("@@": none).
struct ItemSettings {
    double ratio = 0;
    int decimals1 = 0;
    int decimals2 = 2;
    QString vatCode;
    QString unit;
};
ItemSettings readItemSettings(const Services::Settings &settings);

// A new item: the revenue account by its role (RIC), the preset VAT code and
// unit, the prices' decimals from the settings.
Item newItem(Services::DataAccess &db, const ItemSettings &settings);
std::optional<Item> loadItem(Services::DataAccess &db, const ItemKey &key);
// The components in their order.
Services::Outcome<QList<Component>> loadComponents(Services::DataAccess &db, const QString &brand, const QString &code);

// The confirm checks in their order; every failing one. A new item's brand
// and code are checked too. With `only`, the checks of that column alone.
QList<Services::FieldProblem> checkItem(Services::DataAccess &db, const Item &item, bool inserting,
                                        const QString &only = {});
// A component's refusal, in the grid's order of checks: the quantity typed,
// code, brand, the item in the same warehouse, the brand's table; an item
// that is, or contains, the parent is refused as unknown. Empty when it
// passes.
QString componentProblem(Services::DataAccess &db, const ItemKey &parent, const QString &brand, const QString &code,
                         const QString &quantity);

// What keeps an item from being deleted: documents and movements of its
// brand and code ("movimenti"); their tables join as they are created.
const QList<RecordUse> &itemUses();

// The writes in one transaction ("Gestione articoli"), errors reported:
// the row, the price lists seeded (insert) or brought in step with the new
// prices (update), the components rewritten in grid order. An update writes
// the columns that changed against the loaded item, so stock figures posted
// meanwhile stay; an item gone meanwhile is inserted again.
Services::WriteResult insertItem(Services::DataAccess &db, const Item &item, const QList<Component> &components);
Services::WriteResult updateItem(Services::DataAccess &db, const Item &item, const Item &loaded,
                                 const QList<Component> &components);

// The refusals of a delete, in order: movements, then use as a component of
// another item. Empty when the item may go; a failure when they could not
// be read.
Services::Outcome<QString> itemDeleteRefusal(Services::DataAccess &db, const ItemKey &key);
// Deletes the item; its components and price-list rows go with it unless
// another warehouse holds the same brand and code.
Services::WriteResult deleteItem(Services::DataAccess &db, const ItemKey &key);

// The list fields of an item, for the price-list unit.
ListedItem listedItem(const Item &item);

} // namespace Orlavo::Masterdata
