#pragma once

#include "windows/frmrpt.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The address on a customer's envelope, line by line, from the ANAG_CLI
// columns as text: the name lines, then the administrative office when its
// street is filled, else the registered one ("CAP TOWN (PR)" under the
// street), then the country when it is not Italy. Blank lines are left out.
QStringList envelopeLines(const QHash<QString, QString> &main, const QString &countryDescription);

// The customer card (ANACLI: the full card or the summary, chosen by the
// operator) of one customer.
PrintCommand customerCardPrint(int code);

// The envelope (BUSTACLI) of one customer, its lines as RIGA1..RIGAn.
// Nothing when the customer is not found.
std::optional<PrintCommand> customerEnvelopePrint(Services::DataAccess &db, int code);

// "Lista CLIENTI" (ANACLIL) of the rows the formula selects, e.g. the one
// the customer search builds.
PrintCommand customerListPrint(const QString &formula);

} // namespace Orlavo::Shell
