#pragma once

#include "reporting/printcommand.h"

#include <QHash>
#include <QString>
#include <QStringList>

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

} // namespace Orlavo::Masterdata
