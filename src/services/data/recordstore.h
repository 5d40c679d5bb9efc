#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"
#include "services/data/recordset.h"

#include <functional>
#include <optional>

namespace Orlavo::Services {

class DataAccess;
class WriteUnit;

// The statements of a table, always with bound values. Text and code keys
// compare ignoring case, as the archives' keys always have.
QString keyCondition(const TableDef &def);
QString selectSql(const TableDef &def, const QString &where = {}, const QString &orderBy = {});
QString insertSql(const TableDef &def);
Params insertValues(const Row &row);

// A row of a recordset read into the definition's kinds.
Row rowFrom(const TableDef &def, const Recordset::Row &record);

Outcome<std::optional<Row>> readRow(DataAccess &db, const TableDef &def, const Params &key);
Outcome<QList<Row>> readRows(DataAccess &db, const TableDef &def, const QString &where = {},
                             const Params &params = {}, const QString &orderBy = {});

// The writes, inside the caller's write unit and under its step labels.
bool insertRow(WriteUnit &unit, const Row &row, const QString &step);
// Writes the columns that changed from `before`, where before's key is;
// true with nothing run when nothing changed. `*affected` gets the rows
// the statement touched.
bool updateRow(WriteUnit &unit, const Row &now, const Row &before, const QString &step, int *affected = nullptr);
bool deleteRow(WriteUnit &unit, const TableDef &def, const Params &key, const QString &step, int *affected = nullptr);

// A value found in table.column (case ignored), with the extra condition
// and within the scope column's value when given.
bool valueKnown(DataAccess &db, const QString &table, const QString &column, const QVariant &value,
                const QString &extra = {}, const QString &scopeColumn = {}, const QVariant &scopeValue = {});

// The checks in their order; every failing one. With `only`, the checks of
// that column alone (a field the operator leaves) and no other query.
QList<FieldProblem> runChecks(DataAccess &db, const QList<CheckDef> &checks,
                              const std::function<QVariant(const QString &)> &valueOf, const QString &only = {});

// A family of tables kept as one record: the main table and the parts
// sharing its key, each with its step labels. A part is written only once
// something is entered in it.
struct PartDef {
    const TableDef *def = nullptr;
    QString insertStep;     // the part written with a new record
    QString updateStep;     // the part stored and changed
    QString lateInsertStep; // the part entered after the record was stored
};

struct FamilyDef {
    QList<PartDef> parts; // the main table first
};

class Record
{
public:
    Record() = default;
    explicit Record(const FamilyDef &family);

    Row &part(int index) { return m_parts[index]; }
    const Row &part(int index) const { return m_parts.at(index); }
    Row &main() { return m_parts.first(); }
    const Row &main() const { return m_parts.first(); }
    int partCount() const { return int(m_parts.size()); }
    // Whether the part's row was found stored.
    bool stored(int index) const { return m_stored.value(index); }
    void setStored(int index, bool stored) { m_stored[index] = stored; }

    // A column's value: the main table's first, then each part's.
    QVariant value(const QString &column) const;
    // Gives every part the key of the main row.
    void setKey(const QString &column, const QVariant &value);

    bool operator==(const Record &other) const;

private:
    QList<Row> m_parts;
    QList<bool> m_stored;
};

// The record stored under the key; nullopt when its main row is not.
Outcome<std::optional<Record>> readRecord(DataAccess &db, const FamilyDef &family, const Params &key);
// From `fromPart` on: a caller writing rows of its own after the main one
// (an agent's name list) writes the main part first, then the others.
bool insertRecord(WriteUnit &unit, const FamilyDef &family, const Record &record, int fromPart = 0);
// Writes what changed; a part not stored before is inserted when entered.
bool updateRecord(WriteUnit &unit, const FamilyDef &family, const Record &now, const Record &before,
                  int fromPart = 0);
// The concurrency check before an update or a delete: the stored rows read
// again and compared with the ones the window loaded.
StoredState compareStored(DataAccess &db, const FamilyDef &family, const Record &loaded);

} // namespace Orlavo::Services
