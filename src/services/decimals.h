#pragma once

#include <QHash>
#include <QString>

#include <optional>

namespace Orlavo::Services {

class DataAccess;

// Turns a decimals argument into a number of decimals. A single digit
// "0".."5" is the count itself; any text of two or more characters is a
// currency code whose decimals come from the company's DIVISE table (no
// row, or no company open, gives 0). Any other single character, and the
// empty text, give 0.
//
// Currencies are read once per company: the answers are kept under the
// open company's database name and dropped as soon as another company is
// open. Call clear() after reopening the same company if its DIVISE may
// have changed meanwhile.
class Decimals
{
public:
    explicit Decimals(DataAccess *db = nullptr) : m_db(db) {}

    int of(const QString &argument);
    void clear();

    // The digit form alone, without a database: nothing when the argument
    // is not a single digit "0".."5".
    static std::optional<int> fromDigit(const QString &argument);

private:
    DataAccess *m_db;
    QString m_company;
    QHash<QString, int> m_cache;
};

} // namespace Orlavo::Services
