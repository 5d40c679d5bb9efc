#pragma once

#include "masterdata/rules/codetables.h"
#include "services/core/outcome.h"
#include "services/core/record.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// One row of a code table: the code as stored and its description.
struct CodeRow {
    QString code;
    QString description;
};


// Every row of the table, in code order.
Services::Outcome<QList<CodeRow>> listCodes(Services::DataAccess &db, const CodeTable &table);
// The row stored under exactly this code; nullopt if none.
Services::Outcome<std::optional<CodeRow>> findCode(Services::DataAccess &db, const CodeTable &table,
                                                   const QString &code);

// The writes take the archive lock and run in one write unit on the
// table's database; a failure has been reported when they return false.
bool insertCode(Services::DataAccess &db, const CodeTable &table, const CodeRow &row);
// Rewrites the row of oldCode, its code included (a rename): Gone when no
// row is left under the old code, Duplicate when the new code is held by
// another row (nothing written, nothing reported).
Services::WriteResult updateCode(Services::DataAccess &db, const CodeTable &table, const QString &oldCode, const CodeRow &row);
bool deleteCode(Services::DataAccess &db, const CodeTable &table, const QString &code);

} // namespace Orlavo::Masterdata
