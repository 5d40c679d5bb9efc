#include "masterdata/rules/suppliersearch.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kSuppliersearchTable[] = "ANAG_FOR";
constexpr char kSuppliersearchKey[] = "FORNITORE";

} // namespace

Services::Outcome<SupplierSearch> buildSupplierSearch(const SupplierSearchFilters &filters, SupplierFlavour flavour)
{
    auto where = partyConditions(QLatin1String(kSuppliersearchTable), QLatin1String(kSuppliersearchKey), kReservedSupplier, filters);
    if (!where)
        return where.failure();
    // Suppliers and agents share the table: each list holds its own kind.
    where->flag(QStringLiteral("AGENTE"), agentFlagOf(flavour));
    where->equals(QStringLiteral("TIPO_FORN"), filters.supplierType);
    return where->result();
}

QList<Services::LookupColumn> supplierListColumns()
{
    return partyListColumns(QLatin1String(kSuppliersearchKey));
}

} // namespace Orlavo::Masterdata
