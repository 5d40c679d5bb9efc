#pragma once

#include "masterdata/rules/partysearch.h"
#include "masterdata/rules/supplierflavour.h"

#include <QList>
#include <QString>

namespace Orlavo::Masterdata {

// What the operator typed in the supplier (or agent) search, besides the
// filters every party search has.
struct SupplierSearchFilters : PartySearchFilters {
    QString supplierType; // TIPO_FORN
};

// The list of ANAG_FOR and the selection of the report ANAFORL.
using SupplierSearch = PartySearch;

// The suppliers or the agents the filters select, never the reserved code:
// the list statement, its values and the report selection. Fails with
// kPartyRangeMessage when the codes are reversed.
Services::Outcome<SupplierSearch> buildSupplierSearch(const SupplierSearchFilters &filters, SupplierFlavour flavour);

// The columns of "Lista FORNITORI" and "Lista AGENTI", in the order of the
// statement's SELECT.
QList<Services::LookupColumn> supplierListColumns();

} // namespace Orlavo::Masterdata
