#pragma once

#include "masterdata/rules/pricelistsearch.h"
#include "reporting/printcommand.h"

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The print of a price list or discount list: its report with the list's
// selection. The discounted sale list prints the user's rows of
// LIST_VEN_RIEP, which fillSaleSummary refills first.
Reporting::PrintCommand priceListPrint(PriceListKind kind, const PriceListSearch &search, const QString &user);

// Empties the user's rows of LIST_VEN_RIEP and writes them again: one row
// per customer, brand and item of the sale list rows the search selects
// ("ins lis ven riep1"). Other users' rows stay, so two workstations
// printing at once never mix rows.
bool fillSaleSummary(Services::DataAccess &db, const PriceListSearch &search, const QString &user);

} // namespace Orlavo::Masterdata
