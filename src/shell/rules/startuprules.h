#pragma once

#include "services/core/appstate.h"

#include <QString>

#include <optional>

namespace Orlavo::Shell {

// TIPODB as the program understands it.
struct DbType {
    QString text;        // "ACCESS", "ACCESS2000", or the value as read
    bool server = false; // the SQL word: a database server
};

// The type word stands at the first or the eighth character, in exactly one
// of its three spellings; SQL first, then Access2000, then Access.
DbType normaliseDbType(const QString &value);

// ISOLATIONLEVEL "1".."4"; anything else leaves the level unset.
std::optional<Services::Isolation> isolationFromSetting(const QString &value);

// The number at the start of a text, as a settings number is read ("12x" is
// 12, "abc" and "" are 0).
int leadingNumber(const QString &value);

} // namespace Orlavo::Shell
