#pragma once

#include "masterdata/rules/supplierflavour.h"
#include "reporting/printcommand.h"

#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// The customer card (ANACLI: the full card or the summary, chosen by the
// operator) of one customer.
Reporting::PrintCommand customerCardPrint(int code);

// The envelope (BUSTACLI) of one customer, its lines as RIGA1..RIGAn.
// Nothing when the customer is not found.
std::optional<Reporting::PrintCommand> customerEnvelopePrint(Services::DataAccess &db, int code);

// "Lista CLIENTI" (ANACLIL) of the rows the formula selects, e.g. the one
// the customer search builds.
Reporting::PrintCommand customerListPrint(const QString &formula);

// The supplier card (ANAFOR: the full card or the summary, chosen by the
// operator) of one supplier or agent.
Reporting::PrintCommand supplierCardPrint(int code);

// "Lista FORNITORI" or "Lista AGENTI" (ANAFORL) of the rows the formula
// selects, e.g. the one the supplier search builds. The reserved code is
// never listed.
Reporting::PrintCommand supplierListPrint(const QString &formula, SupplierFlavour flavour);

} // namespace Orlavo::Masterdata
