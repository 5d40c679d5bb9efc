#pragma once

#include "masterdata/rules/tableforms.h"
#include "services/core/outcome.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A row of a table window as shown: column → text (numbers with a decimal
// comma, flags "S"/"N").
using FormRow = QHash<QString, QString>;

// How a write ended: written; a new key found stored meanwhile (nothing
// written, nothing reported); the row gone (nothing written); failed and
// already reported.
enum class FormWrite { Written, Taken, Missing, Failed };

// Every row of the table, in key order.
Services::Outcome<QList<FormRow>> listFormRows(Services::DataAccess &db, const TableForm &form);
// The row stored under the key of `row` (case ignored); nullopt if none.
Services::Outcome<std::optional<FormRow>> findFormRow(Services::DataAccess &db, const TableForm &form,
                                                      const FormRow &row);
// A value found in a table's column (case ignored), within the scope
// column's value when one is given.
bool valueKnown(Services::DataAccess &db, const QString &table, const QString &column, const QString &value,
                const QString &scopeColumn = {}, const QString &scopeValue = {});

// The writes take the lock TUTTO and run in one write unit; the insert
// reads the key again under the lock.
FormWrite insertFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row);
FormWrite updateFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row);
FormWrite deleteFormRow(Services::DataAccess &db, const TableForm &form, const FormRow &row);

// A row's value as stored: codes upper case, texts trimmed, numbers read
// with a comma or a point, flags "S" or "N".
QVariant storedValue(const FormField &field, const QString &text);

} // namespace Orlavo::Masterdata
