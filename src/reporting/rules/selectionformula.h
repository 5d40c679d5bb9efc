#pragma once

#include "services/core/outcome.h"

#include <QString>
#include <QVariant>

#include <functional>
#include <optional>

namespace Orlavo::Reporting {

// A WHERE condition: every value is bound, in order, to a '?' of sql.
struct SqlCondition {
    QString sql;
    QVariantList params;
};

// A column a formula may name, as the report's query reaches it.
struct FormulaColumn {
    QString sqlName; // e.g. "TAB_PROV.CODICE"
    bool isText = false;
};

// The column of a report's table; nullopt when the report has no such table
// or column. Names come upper-cased, without any schema prefix.
using ColumnResolver = std::function<std::optional<FormulaColumn>(const QString &table, const QString &column)>;

// The record selection of a print command as an SQL condition. Blank gives
// an empty condition; any mistake gives "Selezione dei dati o formule non
// corretti" with the reason and its position in the detail.
//
//   condition  := and-term { OR and-term }
//   and-term   := negation { AND negation }
//   negation   := NOT negation | '(' condition ')' | IsNull(field) | comparison
//   comparison := operand ( = | <> | < | <= | > | >= | LIKE ) operand
//   operand    := {TABLE.COLUMN} | number | 'text' | "text" | Date(y,m,d) | true | false
//
// Texts compare without regard to case; LIKE takes * and ? as wildcards.
Services::Outcome<SqlCondition> translateSelection(const QString &formula, const ColumnResolver &resolve);

} // namespace Orlavo::Reporting
