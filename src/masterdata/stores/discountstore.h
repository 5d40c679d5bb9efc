#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The discounts of a party for a brand: TAB_SCONCLI (customers: three sale
// discounts and the markup) or TAB_SCONFOR (suppliers: three purchase
// discounts), keyed by party and brand. Only parties with a personal list
// (TIPOLISTINO 'P') have rows; brand 999 stands for every brand.
enum class DiscountSide { Customers, Suppliers };

const Services::FamilyDef &discountFamily(DiscountSide side);
QString partyColumn(DiscountSide side); // CLIENTE or FORNITORE
// The discount columns in order: SC_V1..3 or SC_A1..3.
QStringList discountColumns(DiscountSide side);

using DiscountRow = Services::Record;

DiscountRow newDiscounts(DiscountSide side);
Services::Outcome<std::optional<DiscountRow>> loadDiscounts(Services::DataAccess &db, DiscountSide side, int party,
                                                            const QString &brand);

// The confirm checks in their order (discounts, markup, brand, party, the
// pair already stored); every failing one. With `only`, that column's.
QList<Services::FieldProblem> checkDiscounts(Services::DataAccess &db, const DiscountRow &row, bool inserting,
                                             const QString &only = {});

// "Il cliente e la marca non esistono in archivio ", or the supplier's.
QString missingPairMessage(DiscountSide side);

// The writes under the lock TUTTO in one write unit. An insert finding the
// pair stored is Duplicate; an update or delete finding it gone is Gone.
// Deleting also deletes the list rows the discounts produced: a customer's
// LIST_VEN rows of the brand; a supplier's LIST_ACQ rows of the brand and
// the LIST_VEN rows naming it for the brand. For brand 999 these are the
// rows of every brand the party has no row of its own for.
Services::WriteResult insertDiscounts(Services::DataAccess &db, const DiscountRow &row);
Services::WriteResult updateDiscounts(Services::DataAccess &db, const DiscountRow &row, const DiscountRow &loaded);
Services::WriteResult deleteDiscounts(Services::DataAccess &db, DiscountSide side, int party, const QString &brand);

} // namespace Orlavo::Masterdata
