#include "shell/stores/loginstore.h"

#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

namespace Orlavo::Shell {

using Services::Tables::TAB_UTENTI;

namespace {

constexpr char kSelectUser[] = "SELECT UTENTE, PWD, TIPO, COLLEGATO FROM %1 WHERE %2";
constexpr char kSelectMark[] = "SELECT COLLEGATO FROM %1 WHERE %2";
constexpr char kUpdateMark[] = "UPDATE %1 SET COLLEGATO = ? WHERE %2";
constexpr char kEntryWhere[] = "Entry";
constexpr char kEntryStep[] = "Agg utenti";
constexpr char kClearWhere[] = "Cancella colleg.";
constexpr char kClearStep[] = "Agg. utenti";
constexpr int kClearAttempts = 3;

QString statement(const char *text)
{
    return QString::fromLatin1(text).arg(TAB_UTENTI, Services::sqlUpperEquals(QStringLiteral("UTENTE")));
}

QString ini(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

Services::Outcome<std::optional<LoginUser>> LoginStore::findUser(const QString &code)
{
    auto rows = m_db.openRecordset(statement(kSelectUser), {code}, Services::Target::Services);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<LoginUser>();
    const auto row = rows->first();
    LoginUser user;
    user.code = row.text(QStringLiteral("UTENTE"));
    user.password = row.text(QStringLiteral("PWD"));
    user.type = row.text(QStringLiteral("TIPO"));
    user.mark = row.isNull(QStringLiteral("COLLEGATO")) ? ini(kMarkFree) : row.text(QStringLiteral("COLLEGATO"));
    return std::optional<LoginUser>(user);
}

bool LoginStore::markConnected(const QString &code)
{
    // Archives open read-only keep no mark; the status bar says why.
    if (!m_db.readOnlyReason().isEmpty())
        return false;
    Services::WriteUnit unit(m_db, ini(kEntryWhere));
    if (!unit.execServices(ini(kEntryStep), statement(kUpdateMark), {ini(kMarkConnected), code}))
        return false;
    return unit.commit();
}

bool LoginStore::clearMark(const QString &code)
{
    if (!m_db.readOnlyReason().isEmpty())
        return false;
    Services::WriteUnit unit(m_db, ini(kClearWhere));
    if (!unit.execServices(ini(kClearStep), statement(kUpdateMark), {ini(kMarkFree), code}))
        return false;
    return unit.commit();
}

std::optional<QString> LoginStore::currentMark(const QString &code)
{
    auto rows = m_db.openRecordset(statement(kSelectMark), {code}, Services::Target::Services);
    if (!rows)
        return std::nullopt;
    if (rows->isEmpty())
        return QString();
    return rows->first().text(QStringLiteral("COLLEGATO"));
}

bool clearConnected(Services::DataAccess &db, const Services::Settings &settings)
{
    const Services::AppState &state = db.state();
    const QString section = ini(kIniUser);
    // Before a login only this workstation's own stale mark is cleared; a
    // user logged in elsewhere keeps his.
    if (state.userType == -1 && settings.read(section, ini(kIniConnected)) != ini(kIniConnectedHere))
        return true;
    if (state.user.isEmpty() || !db.isOpen())
        return false;
    // Nothing was marked on archives open read-only.
    if (!db.readOnlyReason().isEmpty()) {
        settings.write(section, ini(kIniConnected), ini(kMarkFree));
        return true;
    }
    LoginStore store(db);
    for (int attempt = 0; attempt < kClearAttempts; ++attempt) {
        store.clearMark(state.user);
        const std::optional<QString> mark = store.currentMark(state.user);
        if (mark && *mark != ini(kMarkConnected)) {
            settings.write(section, ini(kIniConnected), ini(kMarkFree));
            return true;
        }
    }
    return false;
}

} // namespace Orlavo::Shell
