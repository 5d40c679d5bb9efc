#include "password.h"

#include <QList>

namespace Orlavo::Shell {

std::optional<QString> scramblePassword(const QString &plain)
{
    const int n = int(plain.size());
    if (n == 0)
        return QString();
    QList<int> c(n + 1);
    for (int i = 1; i <= n; ++i) {
        c[i] = plain.at(i - 1).unicode();
        if (c[i] < 1 || c[i] > 255)
            return std::nullopt;
    }
    QList<int> out;
    for (int i = 1; i <= n - 1; ++i)
        out.append(c[i + 1] + c[i] - (n + 50 + i));
    out.append(c[n] + c[1] - (2 * n + 50));
    out.append(c[1] + n);
    QString scrambled;
    for (const int code : out) {
        if (code < 1 || code > 255)
            return std::nullopt;
        scrambled.append(QChar(code));
    }
    return scrambled;
}

QString unscramblePassword(const QString &scrambled)
{
    const int n = int(scrambled.size()) - 1;
    if (n <= 0)
        return QString();
    QList<int> c(n + 2);
    c[1] = scrambled.at(n).unicode() - n;
    // The step before last gives c(n); then each c(i) from c(i + 1).
    c[n] = scrambled.at(n - 1).unicode() - c[1] + (2 * n + 50);
    for (int i = n - 1; i >= 2; --i)
        c[i] = scrambled.at(i - 1).unicode() - c[i + 1] + (n + 50 + i);
    QString plain;
    for (int i = 1; i <= n; ++i)
        plain.append(QChar(c[i]));
    return plain;
}

} // namespace Orlavo::Shell
