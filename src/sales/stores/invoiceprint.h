#pragma once

#include "reporting/printcommand.h"
#include "sales/stores/documentstore.h"

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// The print of a document: "FATVEND" ("FATVEND_PR" for a proposal,
// "FATVENDRIEP" for the summarised layout of STAMPAFATTURA "R"), the
// document chosen by year and internal number (and the user's summary
// rows), its heading as DICITURA.
Reporting::PrintCommand invoicePrint(const SalesDocument &document, bool summarised, const QString &user);

// The user's summary rows of the invoice (FVENDD_R) written again from its
// rows, in one write unit.
bool rebuildPrintRows(Services::DataAccess &db, const SalesDocument &document, const QString &user);

} // namespace Orlavo::Sales
