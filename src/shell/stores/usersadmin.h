#pragma once

#include "services/core/outcome.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// One row of TAB_UTENTI as the users window shows it; the password as stored.
struct UserRow {
    QString code;
    QString scrambledPassword;
    QString description;
    QString type;
};

// Every user, in code order.
Services::Outcome<QList<UserRow>> listUsers(Services::DataAccess &db);
// The user with this code, matched without regard to case; nullopt if none.
Services::Outcome<std::optional<UserRow>> findUser(Services::DataAccess &db, const QString &code);

// The writes below take the archive lock and run in one write unit; a
// failure has already been reported to the operator when they return false.
bool insertUser(Services::DataAccess &db, const UserRow &row);
// Rewrites the row of oldCode, its code included (a rename).
bool updateUser(Services::DataAccess &db, const QString &oldCode, const UserRow &row);
bool deleteUser(Services::DataAccess &db, const QString &code);
bool changeUserPassword(Services::DataAccess &db, const QString &user, const QString &scrambledPassword);

} // namespace Orlavo::Shell
