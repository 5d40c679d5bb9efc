#pragma once

#include <QString>

#include <optional>

namespace Orlavo::Shell {

// The stored form of a password: n characters become n + 1. Every
// character must have a code of 1 to 255 before and after, so passwords are
// limited to Latin characters; nullopt when one falls outside.
std::optional<QString> scramblePassword(const QString &plain);
QString unscramblePassword(const QString &scrambled);

} // namespace Orlavo::Shell
