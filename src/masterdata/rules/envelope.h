#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace Orlavo::Masterdata {

// The address on a customer's envelope, line by line, from the ANAG_CLI
// columns as text: the name lines, then the administrative office when its
// street is filled, else the registered one ("CAP TOWN (PR)" under the
// street), then the country when it is not Italy. Blank lines are left out.
QStringList envelopeLines(const QHash<QString, QString> &main, const QString &countryDescription);

} // namespace Orlavo::Masterdata
