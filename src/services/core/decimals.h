#pragma once

#include <QHash>
#include <QString>

#include <functional>
#include <optional>

namespace Orlavo::Services {

// Turns a decimals argument into a number of decimals. A single digit
// "0".."5" is the count itself; any text of two or more characters is a
// currency code whose decimals the reader gives (from the company's DIVISE
// table: currencyDecimals() of the data layer); no reader, no row or no
// company open gives 0. Any other single character, and the empty text,
// give 0.
//
// Answers are kept under the scope the reader names (the open company's
// database) and dropped as soon as the scope changes. Call clear() after
// reopening the same company if its DIVISE may have changed meanwhile.
class Decimals
{
public:
    // A currency's decimals; nothing when it cannot be read now (not
    // remembered, so the next call asks again).
    using Reader = std::function<std::optional<int>(const QString &code)>;
    // Where the answers come from; the cache is dropped when it changes.
    using Scope = std::function<QString()>;

    Decimals() = default;
    Decimals(Reader reader, Scope scope) : m_reader(std::move(reader)), m_scope(std::move(scope)) {}

    int of(const QString &argument);
    void clear();

    // The digit form alone, without a database: nothing when the argument
    // is not a single digit "0".."5".
    static std::optional<int> fromDigit(const QString &argument);

private:
    Reader m_reader;
    Scope m_scope;
    QString m_company;
    QHash<QString, int> m_cache;
};

} // namespace Orlavo::Services
