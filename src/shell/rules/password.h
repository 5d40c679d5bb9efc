#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Shell {

// Why a password cannot be kept, for every window that sets one.
inline constexpr char kPasswordNotAllowed[] =
    "Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.";
inline constexpr int kPasswordMaxLength = 20;

// The scrambling on character codes: n codes become n + 1. Every code must
// be 1 to 255 before and after; nullopt when one falls outside.
std::optional<QList<int>> scrambleCodes(const QList<int> &plain);
// The inverse of scrambleCodes; codes out of 1..255 only come from damaged data.
QList<int> unscrambleCodes(const QList<int> &scrambled);

// A typed character's code is its Windows-1252 code ("€" is 0x80); nullopt
// for a character that code page cannot hold.
std::optional<int> windows1252Code(QChar character);
// The character of a Windows-1252 code. The five codes the page leaves
// undefined stand for the control characters of the same number.
QChar fromWindows1252(int code);

// The stored form of a password: the scrambled codes as the characters
// U+0001 to U+00FF. nullopt when a character has no Windows-1252 code or a
// code falls outside 1..255.
std::optional<QString> scramblePassword(const QString &plain);
QString unscramblePassword(const QString &scrambled);

// At most 20 characters, all of which the stored form can hold.
bool isStorablePassword(const QString &plain);

} // namespace Orlavo::Shell
