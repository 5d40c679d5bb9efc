#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace Orlavo::Services {

// The values a statement binds, in the order of its "?" placeholders.
using Params = QVariantList;

// Where a statement goes. Both reach the same physical connection once a
// company is open, so one transaction covers the two databases.
enum class Target { Services, Company };

// SqlText's rule as a binding: an empty text is bound as null.
QVariant sqlText(const QString &value);
// "UPPER(column) = UPPER(?)": typed text and codes matched without regard
// to case, as the old engine compared them.
QString sqlUpperEquals(const QString &column);
// SqlQuoteFix: double quotes become apostrophes.
QString sqlQuoteFix(const QString &text);
// "%", "_" and the escape character itself made literal for LIKE ... ESCAPE '!'.
QString escapeLike(const QString &text);

} // namespace Orlavo::Services
