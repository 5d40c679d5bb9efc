#include "masterdata/stores/tablerows.h"

#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Params;
using Services::Target;

namespace {

constexpr char kLockArea[] = "TUTTO";

QStringList columnsOf(const TableForm &form)
{
    QStringList columns;
    for (const FormField &field : form.fields)
        columns << field.column;
    return columns;
}

// "UPPER(A) = UPPER(?) AND UPPER(B) = UPPER(?)" and its values.
QString keyCondition(const TableForm &form)
{
    QStringList parts;
    for (const QString &column : form.keyColumns())
        parts << Services::sqlUpperEquals(column);
    return parts.join(QStringLiteral(" AND "));
}

Params keyValues(const TableForm &form, const FormRow &row)
{
    Params params;
    for (const QString &column : form.keyColumns())
        params << row.value(column).trimmed();
    return params;
}

QString shown(const FormField &field, const QVariant &value)
{
    switch (field.kind) {
    case FormField::Kind::Number:
        return value.isNull() ? QString() : Services::formatPlain(value.toDouble(), field.decimals);
    case FormField::Kind::Flag:
        return value.toString().trimmed().toUpper() == QLatin1String("S") ? QStringLiteral("S") : QStringLiteral("N");
    case FormField::Kind::Code:
    case FormField::Kind::Text: break;
    }
    return value.toString();
}

FormRow rowFrom(const TableForm &form, const Services::Recordset::Row &record)
{
    FormRow row;
    for (const FormField &field : form.fields)
        row.insert(field.column, shown(field, record.value(field.column)));
    return row;
}

std::optional<FormWrite> keyStored(Services::WriteUnit &unit, const TableForm &form, const FormRow &row)
{
    auto rows = unit.read(
        QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(form.keyColumns().first(), form.table, keyCondition(form)),
        keyValues(form, row), form.target);
    if (!rows)
        return FormWrite::Failed;
    if (!rows->isEmpty())
        return FormWrite::Taken;
    return std::nullopt;
}

} // namespace

QVariant storedValue(const FormField &field, const QString &text)
{
    const QString trimmed = text.trimmed();
    switch (field.kind) {
    case FormField::Kind::Code: return Services::sqlText(trimmed.toUpper());
    case FormField::Kind::Text: return Services::sqlText(trimmed);
    case FormField::Kind::Number: return Services::sqlNumber(trimmed, field.decimals).toDouble();
    case FormField::Kind::Flag:
        return trimmed.toUpper() == QLatin1String("S") ? QStringLiteral("S") : QStringLiteral("N");
    }
    return {};
}

Services::Outcome<QList<FormRow>> listFormRows(DataAccess &db, const TableForm &form)
{
    auto rows = db.openRecordset(
        QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
            .arg(columnsOf(form).join(QStringLiteral(", ")), form.table, form.keyColumns().join(QStringLiteral(", "))),
        {}, form.target);
    if (!rows)
        return rows.failure();
    QList<FormRow> list;
    list.reserve(rows->size());
    for (const auto &record : *rows)
        list << rowFrom(form, record);
    return list;
}

Services::Outcome<std::optional<FormRow>> findFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    auto rows = db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3")
                                     .arg(columnsOf(form).join(QStringLiteral(", ")), form.table, keyCondition(form)),
                                 keyValues(form, row), form.target);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<FormRow>();
    return std::optional<FormRow>(rowFrom(form, rows->first()));
}

bool valueKnown(DataAccess &db, const QString &table, const QString &column, const QString &value,
                const QString &scopeColumn, const QString &scopeValue)
{
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3").arg(column, table, Services::sqlUpperEquals(column));
    Params params{value.trimmed()};
    if (!scopeColumn.isEmpty()) {
        sql += QStringLiteral(" AND ") + Services::sqlUpperEquals(scopeColumn);
        params << scopeValue.trimmed();
    }
    auto rows = db.openRecordset(sql, params, Services::databaseOf(table));
    return rows && !rows->isEmpty();
}

FormWrite insertFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return FormWrite::Failed;
    Services::WriteUnit unit(db, form.saveWhere);
    if (const auto stored = keyStored(unit, form, row)) {
        unit.abandon();
        return *stored;
    }
    Params values;
    for (const FormField &field : form.fields)
        values << storedValue(field, row.value(field.column));
    const QStringList columns = columnsOf(form);
    const bool written =
        unit.exec(form.target, form.table + QStringLiteral(" Insert "),
                  QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(form.table, columns.join(QStringLiteral(", ")),
                           QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                  values) &&
        unit.commit();
    return written ? FormWrite::Written : FormWrite::Failed;
}

FormWrite updateFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return FormWrite::Failed;
    Services::WriteUnit unit(db, form.saveWhere);
    QStringList sets;
    Params values;
    for (const FormField &field : form.fields) {
        if (field.key)
            continue;
        sets << field.column + QStringLiteral(" = ?");
        values << storedValue(field, row.value(field.column));
    }
    values << keyValues(form, row);
    if (!unit.exec(form.target, form.table + QStringLiteral(" Update "),
                   QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                       .arg(form.table, sets.join(QStringLiteral(", ")), keyCondition(form)),
                   values))
        return FormWrite::Failed;
    if (db.rowsAffected() == 0) {
        unit.abandon();
        return FormWrite::Missing;
    }
    return unit.commit() ? FormWrite::Written : FormWrite::Failed;
}

FormWrite deleteFormRow(DataAccess &db, const TableForm &form, const FormRow &row)
{
    Services::ArchiveLock lock(db, QString::fromLatin1(kLockArea));
    if (!lock)
        return FormWrite::Failed;
    Services::WriteUnit unit(db, form.deleteWhere);
    if (!unit.exec(form.target, form.table + QStringLiteral(" Cancella tabl"),
                   QStringLiteral("DELETE FROM %1 WHERE %2").arg(form.table, keyCondition(form)), keyValues(form, row)))
        return FormWrite::Failed;
    if (db.rowsAffected() == 0) {
        unit.abandon();
        return FormWrite::Missing;
    }
    return unit.commit() ? FormWrite::Written : FormWrite::Failed;
}

} // namespace Orlavo::Masterdata
