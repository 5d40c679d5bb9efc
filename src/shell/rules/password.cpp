#include "shell/rules/password.h"

namespace Orlavo::Shell {

namespace {

// Characters of codes 0x80 to 0x9F; zero where the page defines none.
constexpr char16_t kHighCodes[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

} // namespace

std::optional<int> windows1252Code(QChar character)
{
    const char16_t u = character.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return int(u);
    for (int i = 0; i < 32; ++i) {
        if (kHighCodes[i] == u || (kHighCodes[i] == 0 && u == 0x80 + i))
            return 0x80 + i;
    }
    return std::nullopt;
}

QChar fromWindows1252(int code)
{
    if (code >= 0x80 && code <= 0x9F && kHighCodes[code - 0x80] != 0)
        return QChar(kHighCodes[code - 0x80]);
    if (code < 0 || code > 0xFF)
        return QChar(QChar::ReplacementCharacter);
    return QChar(code);
}

std::optional<QList<int>> scrambleCodes(const QList<int> &plain)
{
    const int n = int(plain.size());
    QList<int> out;
    if (n == 0)
        return out;
    // c(1) to c(n) as the rule numbers them.
    QList<int> c(n + 1);
    for (int i = 1; i <= n; ++i) {
        c[i] = plain.at(i - 1);
        if (c[i] < 1 || c[i] > 255)
            return std::nullopt;
    }
    for (int i = 1; i <= n - 1; ++i)
        out.append(c[i + 1] + c[i] - (n + 50 + i));
    out.append(c[n] + c[1] - (2 * n + 50));
    out.append(c[1] + n);
    for (const int code : out) {
        if (code < 1 || code > 255)
            return std::nullopt;
    }
    return out;
}

QList<int> unscrambleCodes(const QList<int> &scrambled)
{
    const int n = int(scrambled.size()) - 1;
    if (n <= 0)
        return {};
    QList<int> c(n + 2);
    c[1] = scrambled.at(n) - n;
    // The step before last gives c(n); then each c(i) from c(i + 1).
    c[n] = scrambled.at(n - 1) - c[1] + (2 * n + 50);
    for (int i = n - 1; i >= 2; --i)
        c[i] = scrambled.at(i - 1) - c[i + 1] + (n + 50 + i);
    return c.mid(1, n);
}

std::optional<QString> scramblePassword(const QString &plain)
{
    QList<int> codes;
    codes.reserve(plain.size());
    for (const QChar ch : plain) {
        const std::optional<int> code = windows1252Code(ch);
        if (!code)
            return std::nullopt;
        codes.append(*code);
    }
    const std::optional<QList<int>> scrambled = scrambleCodes(codes);
    if (!scrambled)
        return std::nullopt;
    QString stored;
    stored.reserve(scrambled->size());
    for (const int code : *scrambled)
        stored.append(QChar(code));
    return stored;
}

QString unscramblePassword(const QString &scrambled)
{
    QList<int> codes;
    codes.reserve(scrambled.size());
    for (const QChar ch : scrambled)
        codes.append(int(ch.unicode()));
    QString plain;
    for (const int code : unscrambleCodes(codes))
        plain.append(fromWindows1252(code));
    return plain;
}

bool isStorablePassword(const QString &plain)
{
    return plain.size() <= kPasswordMaxLength && scramblePassword(plain).has_value();
}

} // namespace Orlavo::Shell
