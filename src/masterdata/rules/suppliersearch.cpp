#include "masterdata/rules/suppliersearch.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kTable[] = "ANAG_FOR";
constexpr char kKey[] = "FORNITORE";

} // namespace

Services::Outcome<SupplierSearch> buildSupplierSearch(const SupplierSearchFilters &filters, SupplierFlavour flavour)
{
    auto where = partyConditions(QLatin1String(kTable), QLatin1String(kKey), kReservedSupplier, filters);
    if (!where)
        return where.failure();
    // Suppliers and agents share the table: each list holds its own kind.
    where->flag(QStringLiteral("AGENTE"), agentFlagOf(flavour));
    where->equals(QStringLiteral("TIPO_FORN"), filters.supplierType);
    return where->result();
}

QList<Services::LookupColumn> supplierListColumns()
{
    return partyListColumns(QLatin1String(kKey));
}

} // namespace Orlavo::Masterdata
