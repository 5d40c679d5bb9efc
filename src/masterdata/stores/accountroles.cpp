#include "masterdata/stores/accountroles.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

namespace {

QString roleQuery()
{
    return QStringLiteral("SELECT CODICE, DESCRIZIONE FROM %1 WHERE CONT_AUT = ? ORDER BY CODICE LIMIT 1")
        .arg(Services::Tables::TAB_PIANO_CONTI);
}

RoleAccount firstOf(const Services::Recordset &rows)
{
    if (rows.isEmpty())
        return {};
    return {rows.first().text(QStringLiteral("CODICE")), rows.first().text(QStringLiteral("DESCRIZIONE"))};
}

} // namespace

RoleAccount roleAccount(Services::DataAccess &db, const QString &role)
{
    const auto rows = db.openRecordset(roleQuery(), {role.trimmed().toUpper()});
    return rows ? firstOf(*rows) : RoleAccount{};
}

std::optional<RoleAccount> roleAccount(Services::WriteUnit &unit, const QString &role)
{
    const auto rows = unit.read(roleQuery(), {role.trimmed().toUpper()});
    if (!rows)
        return std::nullopt;
    return firstOf(*rows);
}

} // namespace Orlavo::Masterdata
