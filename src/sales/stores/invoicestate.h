#pragma once

#include "sales/rules/documenttypes.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// Why a stored definitive document may no longer be changed, in the order
// the operator is told: "Impossibile registrare, " and the reason; empty
// when it may. A journal or VAT register printed means a line of its entry
// marked printed in the journal, or the header's marks (the VAT settlement
// sets STA_IVA); paid means every due date settled, partly paid some.
// Cancelling skips the printed state, as `forCancel` asks; restoring a
// cancelled document skips the cancelled state too.
Services::Outcome<QString> changeRefusal(Services::DataAccess &db, const QString &year, int number,
                                         bool forCancel = false, bool forRestore = false);

// Only proposals are deleted from the update window.
QString deleteRefusal(Family family);

// STAMPATA set (-1) by a print, taken off by "Toglie lo status di
// STAMPATA"; in one write unit, the stamp renewed.
Services::WriteResult setPrinted(Services::DataAccess &db, Family family, const QString &year, int number,
                                 bool printed);

} // namespace Orlavo::Sales
