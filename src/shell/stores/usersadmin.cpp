#include "shell/stores/usersadmin.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Shell {

using Services::DataAccess;
using Services::Outcome;
using Services::Params;
using Services::sqlText;
using Services::sqlUpperEquals;
using Services::Tables::TAB_UTENTI;

namespace {

constexpr char kUsersWhere[] = "Gestione Utenti";
constexpr char kUsersStep[] = "Gestione Utenti ";
constexpr char kDeleteWhere[] = "Elimina Utenti";
constexpr char kDeleteStep[] = "Eliminazione";
constexpr char kPasswordWhere[] = "Cambia password";
constexpr char kPasswordStep[] = "Agg. utenti";

constexpr char kSelectAll[] = "SELECT UTENTE, PWD, DESCRIZIONE, TIPO FROM %1 ORDER BY UTENTE";
constexpr char kSelectOne[] = "SELECT UTENTE, PWD, DESCRIZIONE, TIPO FROM %1 WHERE %2";
constexpr char kUsersadminInsert[] = "INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO) VALUES (?, ?, ?, ?)";
constexpr char kUsersadminUpdate[] = "UPDATE %1 SET UTENTE = ?, PWD = ?, DESCRIZIONE = ?, TIPO = ? WHERE %2";
constexpr char kDelete[] = "DELETE FROM %1 WHERE %2";
constexpr char kUpdatePassword[] = "UPDATE %1 SET PWD = ? WHERE %2";

QString byCode(const char *sql)
{
    return QString::fromLatin1(sql).arg(TAB_UTENTI, sqlUpperEquals(QStringLiteral("UTENTE")));
}

UserRow rowOf(const Services::Recordset::Row &r)
{
    return UserRow{r.text(QStringLiteral("UTENTE")), r.text(QStringLiteral("PWD")),
                   r.text(QStringLiteral("DESCRIZIONE")), r.text(QStringLiteral("TIPO"))};
}

Params valuesOf(const UserRow &row)
{
    return {row.code, sqlText(row.scrambledPassword), sqlText(row.description), row.type};
}

// One statement under the archive lock, in a unit of its own.
bool writeLocked(DataAccess &db, const char *where, const char *step, const QString &sql, const Params &params)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return false;
    Services::WriteUnit unit(db, QString::fromLatin1(where));
    return unit.execServices(QString::fromLatin1(step), sql, params) && unit.commit();
}

} // namespace

Outcome<QList<UserRow>> listUsers(DataAccess &db)
{
    auto rows = db.openRecordset(QString::fromLatin1(kSelectAll).arg(TAB_UTENTI), {}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    QList<UserRow> users;
    users.reserve(rows->size());
    for (const auto &r : *rows)
        users.append(rowOf(r));
    return users;
}

Outcome<std::optional<UserRow>> findUser(DataAccess &db, const QString &code)
{
    auto rows = db.openRecordset(byCode(kSelectOne), {code}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<UserRow>();
    return std::optional<UserRow>(rowOf(rows->first()));
}

bool insertUser(DataAccess &db, const UserRow &row)
{
    return writeLocked(db, kUsersWhere, kUsersStep, QString::fromLatin1(kUsersadminInsert).arg(TAB_UTENTI), valuesOf(row));
}

bool updateUser(DataAccess &db, const QString &oldCode, const UserRow &row)
{
    Params params = valuesOf(row);
    params.append(oldCode);
    return writeLocked(db, kUsersWhere, kUsersStep, byCode(kUsersadminUpdate), params);
}

bool deleteUser(DataAccess &db, const QString &code)
{
    return writeLocked(db, kDeleteWhere, kDeleteStep, byCode(kDelete), {code});
}

bool changeUserPassword(DataAccess &db, const QString &user, const QString &scrambledPassword)
{
    return writeLocked(db, kPasswordWhere, kPasswordStep, byCode(kUpdatePassword), {sqlText(scrambledPassword), user});
}

} // namespace Orlavo::Shell
