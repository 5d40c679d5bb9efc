#pragma once

#include "services/core/outcome.h"
#include "services/data/dataaccess.h"

#include <QString>

#include <optional>

namespace Orlavo::Services {
class Settings;
}

namespace Orlavo::Shell {

// A row of TAB_UTENTI as the login reads it.
struct LoginUser {
    QString code;     // UTENTE as stored, whatever case was typed
    QString password; // PWD, scrambled; null reads as empty
    QString type;     // TIPO, one digit
    QString mark;     // COLLEGATO: "C" logged in somewhere; null reads as " "
};

// The marks a login leaves: TAB_UTENTI.COLLEGATO "C" on the server side and,
// in CONT.INI section UTENTE, COLLEGATO "S" for this workstation.
inline constexpr char kMarkConnected[] = "C";
inline constexpr char kMarkFree[] = " ";
inline constexpr char kIniUser[] = "UTENTE";
inline constexpr char kIniUserName[] = "NOME";
inline constexpr char kIniConnected[] = "COLLEGATO";
inline constexpr char kIniConnectedHere[] = "S";

// The statements of the login on TAB_UTENTI. Codes are matched without
// regard to case.
class LoginStore
{
public:
    explicit LoginStore(Services::DataAccess &db) : m_db(db) {}

    // The user of that code; an empty optional when there is none. A lock
    // conflict comes back as a failure with the error state set.
    Services::Outcome<std::optional<LoginUser>> findUser(const QString &code);
    // COLLEGATO 'C' in a unit of its own; a failure is reported under the
    // unit's name.
    bool markConnected(const QString &code);
    // COLLEGATO ' ' in a unit of its own, reported under the unit's name.
    bool clearMark(const QString &code);
    // COLLEGATO as it is now; null, and a missing row, read as empty.
    std::optional<QString> currentMark(const QString &code);

private:
    Services::DataAccess &m_db;
};

// ClearConnected: takes the user's "C" away on leaving. Before a login has
// completed it clears only a mark this workstation left behind (CONT.INI
// says "S"). Up to three attempts, each re-reading the row; once the mark is
// gone CONT.INI gets " ", otherwise its "S" stays for the next start.
// True when the mark is gone or there was nothing to clear.
bool clearConnected(Services::DataAccess &db, const Services::Settings &settings);

} // namespace Orlavo::Shell
