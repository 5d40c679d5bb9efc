#pragma once

#include "sales/rules/documenttypes.h"
#include "services/core/record.h"

namespace Orlavo::Sales {

// The layouts of a sales document, one per part, each under the table of
// its family: header (FVENDT, FVENDT_PR, FVENDT_S), rows (FVENDD, ...),
// delivery block (FVENACC, FVENACC_PR) and due dates (SCADF, SCADF_PR).
// The simulated family has neither delivery block nor due dates: asking
// for them is a programming error.
const Services::TableDef &headerTable(Family family);
const Services::TableDef &rowTable(Family family);
const Services::TableDef &deliveryTable(Family family);
const Services::TableDef &dueDateTable(Family family);
bool hasDueDates(Family family);

// The customer's invoiced totals per year, and the withholding entries.
const Services::TableDef &customerTotalsTable();
const Services::TableDef &withholdingTable();

} // namespace Orlavo::Sales
