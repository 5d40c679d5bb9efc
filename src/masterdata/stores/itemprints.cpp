#include "masterdata/stores/itemprints.h"

#include "masterdata/rules/partysearch.h"

#include <QStringList>

namespace Orlavo::Masterdata {

Reporting::PrintCommand itemCardPrint(const ItemKey &key)
{
    const QStringList terms = {QStringLiteral("{ARTICOLI.MAGAZZINO}=") + formulaText(key.warehouse),
                               QStringLiteral("{ARTICOLI.MARCA}=") + formulaText(key.brand),
                               QStringLiteral("{ARTICOLI.ARTICOLO}=") + formulaText(key.code)};
    Reporting::PrintCommand command;
    command.key = QStringLiteral("SCHEDART");
    command.request.formula = terms.join(QStringLiteral(" and "));
    command.title = QStringLiteral("Stampa Articolo");
    return command;
}

} // namespace Orlavo::Masterdata
