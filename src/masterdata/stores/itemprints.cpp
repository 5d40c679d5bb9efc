#include "masterdata/stores/itemprints.h"

#include <QStringList>

namespace Orlavo::Masterdata {

namespace {

// A text as a formula constant: in double quotes, a quote inside doubled.
QString quoted(QString text)
{
    text.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

} // namespace

Reporting::PrintCommand itemCardPrint(const ItemKey &key)
{
    const QStringList terms = {QStringLiteral("{ARTICOLI.MAGAZZINO}=") + quoted(key.warehouse),
                               QStringLiteral("{ARTICOLI.MARCA}=") + quoted(key.brand),
                               QStringLiteral("{ARTICOLI.ARTICOLO}=") + quoted(key.code)};
    Reporting::PrintCommand command;
    command.key = QStringLiteral("SCHEDART");
    command.request.formula = terms.join(QStringLiteral(" and "));
    command.title = QStringLiteral("Stampa Articolo");
    return command;
}

} // namespace Orlavo::Masterdata
