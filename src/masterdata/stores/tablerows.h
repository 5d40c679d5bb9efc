#pragma once

#include "masterdata/rules/tableforms.h"
#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A row of a table window: the typed values of the form's table.
using FormRow = Services::Row;

// Every row of the table, in key order.
Services::Outcome<QList<FormRow>> listFormRows(Services::DataAccess &db, const TableForm &form);
// The row stored under the key of `row` (case ignored); nullopt if none.
Services::Outcome<std::optional<FormRow>> findFormRow(Services::DataAccess &db, const TableForm &form,
                                                      const FormRow &row);

// The writes take the lock TUTTO and run in one write unit. The insert reads
// the key again under the lock: stored meanwhile, it ends as Duplicate with
// nothing written and nothing reported. An update or delete finding no row
// ends as Gone; a failure is reported by the write unit.
Services::WriteResult insertFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row);
// Writes what changed from the row as loaded.
Services::WriteResult updateFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row,
                                    const FormRow &loaded);
Services::WriteResult deleteFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row);

} // namespace Orlavo::Masterdata
