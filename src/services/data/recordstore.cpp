#include "services/data/recordstore.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Services {

namespace {

QString placeholders(qsizetype count)
{
    return QStringList(count, QStringLiteral("?")).join(QStringLiteral(", "));
}

// A column against typed text, ignoring case. The cast lets a number
// column meet text the form could not read ("1a") without an engine error.
QString textEquals(const QString &column)
{
    return QStringLiteral("UPPER(CAST(%1 AS VARCHAR)) = UPPER(?)").arg(column);
}

bool textual(const ColumnDef &column)
{
    return column.kind == ColumnKind::Text || column.kind == ColumnKind::Code;
}

} // namespace

QString keyCondition(const TableDef &def)
{
    QStringList parts;
    for (const QString &name : def.keyColumns())
        parts << (textual(*def.column(name)) ? sqlUpperEquals(name) : name + QStringLiteral(" = ?"));
    return parts.join(QStringLiteral(" AND "));
}

QString selectSql(const TableDef &def, const QString &where, const QString &orderBy)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(def.names().join(QStringLiteral(", ")), def.table);
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where;
    if (!orderBy.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + orderBy;
    return sql;
}

QString insertSql(const TableDef &def)
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(def.table, def.names().join(QStringLiteral(", ")), placeholders(def.columns.size()));
}

Params insertValues(const Row &row)
{
    Params params;
    for (const ColumnDef &column : row.def().columns)
        params << storedValue(column, row.value(column.name));
    return params;
}

Row rowFrom(const TableDef &def, const Recordset::Row &record)
{
    Row row(def);
    for (const ColumnDef &column : def.columns)
        row.set(column.name, fromStored(column, record.value(column.name)));
    return row;
}

Outcome<std::optional<Row>> readRow(DataAccess &db, const TableDef &def, const Params &key)
{
    auto rows = db.openRecordset(selectSql(def, keyCondition(def)), key, def.target);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<Row>();
    return std::optional<Row>(rowFrom(def, rows->first()));
}

Outcome<QList<Row>> readRows(DataAccess &db, const TableDef &def, const QString &where, const Params &params,
                             const QString &orderBy)
{
    auto rows = db.openRecordset(selectSql(def, where, orderBy), params, def.target);
    if (!rows)
        return rows.failure();
    QList<Row> list;
    list.reserve(rows->size());
    for (const auto &record : *rows)
        list << rowFrom(def, record);
    return list;
}

bool insertRow(WriteUnit &unit, const Row &row, const QString &step)
{
    return unit.exec(row.def().target, step, insertSql(row.def()), insertValues(row));
}

bool updateRow(WriteUnit &unit, const Row &now, const Row &before, const QString &step, int *affected)
{
    const TableDef &def = now.def();
    const QStringList changed = now.changedFrom(before);
    if (affected)
        *affected = 0;
    if (changed.isEmpty())
        return true;
    QStringList sets;
    Params params;
    for (const QString &name : changed) {
        sets << name + QStringLiteral(" = ?");
        params << storedValue(*def.column(name), now.value(name));
    }
    params << before.key();
    const bool done = unit.exec(
        def.target, step,
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(def.table, sets.join(QStringLiteral(", ")), keyCondition(def)),
        params);
    if (done && affected)
        *affected = unit.rowsAffected();
    return done;
}

bool deleteRow(WriteUnit &unit, const TableDef &def, const Params &key, const QString &step, int *affected)
{
    const bool done =
        unit.exec(def.target, step, QStringLiteral("DELETE FROM %1 WHERE %2").arg(def.table, keyCondition(def)), key);
    if (done && affected)
        *affected = unit.rowsAffected();
    return done;
}

bool valueKnown(DataAccess &db, const QString &table, const QString &column, const QVariant &value,
                const QString &extra, const QString &scopeColumn, const QVariant &scopeValue)
{
    const bool text = value.typeId() == QMetaType::QString;
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                      .arg(column, table, text ? textEquals(column) : column + QStringLiteral(" = ?"));
    Params params{text ? QVariant(value.toString().trimmed()) : value};
    if (!scopeColumn.isEmpty()) {
        sql += QStringLiteral(" AND ") + sqlUpperEquals(scopeColumn);
        params << scopeValue.toString().trimmed();
    }
    sql += extra;
    auto rows = db.openRecordset(sql, params, databaseOf(table));
    return rows && !rows->isEmpty();
}

namespace {

// A row of the check's table under the record's key, compared ignoring case.
bool keyStored(DataAccess &db, const CheckDef &check, const std::function<QVariant(const QString &)> &valueOf)
{
    QStringList conditions;
    Params params;
    for (const QString &column : check.keyColumns) {
        conditions << textEquals(column);
        params << valueOf(column).toString().trimmed();
    }
    auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                     .arg(check.keyColumns.first(), check.table, conditions.join(QStringLiteral(" AND "))),
                                 params, databaseOf(check.table));
    return rows && !rows->isEmpty();
}

} // namespace

QList<FieldProblem> runChecks(DataAccess &db, const QList<CheckDef> &checks,
                              const std::function<QVariant(const QString &)> &valueOf, const QString &only)
{
    QList<FieldProblem> problems;
    for (const CheckDef &check : checks) {
        if (!only.isEmpty() && check.column != only)
            continue;
        if (!checkApplies(check, valueOf))
            continue;
        const QVariant value = valueOf(check.column);
        std::optional<bool> passes = passesLocally(check, value);
        if (!passes && check.kind == CheckDef::Kind::Unique) {
            passes = !keyStored(db, check, valueOf);
        } else if (!passes) {
            passes = valueKnown(db, check.table, check.tableColumn, value, check.extra, check.scopeTableColumn,
                                check.scopeColumn.isEmpty() ? QVariant() : valueOf(check.scopeColumn));
        }
        if (!*passes)
            problems << FieldProblem{check.column, check.message};
    }
    return problems;
}

Record::Record(const FamilyDef &family)
{
    for (const PartDef &part : family.parts) {
        m_parts << Row(*part.def);
        m_stored << false;
    }
}

QVariant Record::value(const QString &column) const
{
    for (const Row &row : m_parts) {
        if (row.def().column(column))
            return row.value(column);
    }
    return {};
}

void Record::setKey(const QString &column, const QVariant &value)
{
    for (Row &row : m_parts) {
        if (row.def().column(column))
            row.set(column, value);
    }
}

bool Record::operator==(const Record &other) const
{
    return m_parts == other.m_parts && m_stored == other.m_stored;
}

Outcome<std::optional<Record>> readRecord(DataAccess &db, const FamilyDef &family, const Params &key)
{
    Record record(family);
    for (int index = 0; index < family.parts.size(); ++index) {
        auto row = readRow(db, *family.parts.at(index).def, key);
        if (!row)
            return row.failure();
        if (!*row) {
            if (index == 0)
                return std::optional<Record>();
            continue;
        }
        record.part(index) = **row;
        record.setStored(index, true);
    }
    // A part not stored yet carries the record's key all the same.
    for (const QString &column : record.main().def().keyColumns())
        record.setKey(column, record.main().value(column));
    return std::optional<Record>(record);
}

bool insertRecord(WriteUnit &unit, const FamilyDef &family, const Record &record, int fromPart)
{
    for (int index = fromPart; index < family.parts.size(); ++index) {
        if (index > 0 && !record.part(index).anyEntered())
            continue;
        if (!insertRow(unit, record.part(index), family.parts.at(index).insertStep))
            return false;
    }
    return true;
}

bool updateRecord(WriteUnit &unit, const FamilyDef &family, const Record &now, const Record &before, int fromPart)
{
    for (int index = fromPart; index < family.parts.size(); ++index) {
        const PartDef &part = family.parts.at(index);
        const Row &row = now.part(index);
        if (before.stored(index) || index == 0) {
            if (!updateRow(unit, row, before.part(index), part.updateStep))
                return false;
        } else if (row.anyEntered() && !insertRow(unit, row, part.lateInsertStep)) {
            return false;
        }
    }
    return true;
}

StoredState compareStored(DataAccess &db, const FamilyDef &family, const Record &loaded)
{
    const auto now = readRecord(db, family, loaded.main().key());
    if (!now || !*now)
        return StoredState::Gone;
    return **now == loaded ? StoredState::Same : StoredState::Changed;
}

} // namespace Orlavo::Services
