#include "masterdata/stores/listprints.h"

#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

Reporting::PrintCommand priceListPrint(PriceListKind kind, const PriceListSearch &search, const QString &user)
{
    Reporting::PrintCommand command;
    command.key = search.reportKey;
    command.title = QStringLiteral("Stampa ") + search.title;
    if (kind == PriceListKind::SaleDiscounted)
        command.request.formula = QStringLiteral("{LIST_VEN_RIEP.UTENTE} = ") + formulaText(user);
    else
        command.request.formula = search.formula.value_or(QString());
    return command;
}

bool fillSaleSummary(Services::DataAccess &db, const PriceListSearch &search, const QString &user)
{
    Services::WriteUnit unit(db, QStringLiteral("Stampa listino vendita"));
    if (!unit.execCompany(QStringLiteral("del lis ven riep"),
                          QStringLiteral("DELETE FROM %1 WHERE UTENTE = ?").arg(Tables::LIST_VEN_RIEP), {user}))
        return false;
    const QString where = search.saleCondition.isEmpty() ? QString() : QStringLiteral(" WHERE ") + search.saleCondition;
    if (!unit.execCompany(
            QStringLiteral("ins lis ven riep1"),
            QStringLiteral("INSERT INTO %1 (MARCA, ARTICOLO, CLIENTE, UTENTE, PR_LISTINO, SC_V1, SC_V2, SC_V3, "
                           "PR_VENDITA, PR_VENFISSO) SELECT DISTINCT %2.MARCA, %2.ARTICOLO, %2.CLIENTE, ?, "
                           "%2.PR_LISTINO, %2.SC_V1, %2.SC_V2, %2.SC_V3, %2.PR_VENDITA, %2.PR_VENFISSO FROM %2")
                    .arg(Tables::LIST_VEN_RIEP, Tables::LIST_VEN) +
                where,
            Services::Params{user} + search.params))
        return false;
    return unit.commit();
}

} // namespace Orlavo::Masterdata
