#include "reporting/stores/reportdata.h"

#include "reporting/rules/selectionformula.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

#include <QRegularExpression>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Orlavo::Reporting {

using Services::Failure;
using Services::Outcome;

namespace {

constexpr char kColumnsOf[] = "SELECT * FROM %1 WHERE 1 = 0";

// The data file's database: "C" the company, anything else the services.
bool isCompanyFile(const QString &codes, int file)
{
    return file >= 1 && file <= codes.size() && codes.at(file - 1).toUpper() == QLatin1Char('C');
}

// A declared SQLite type that holds no text: numbers by SQLite's own integer
// rule (any "INT") and the real and decimal names the schema uses, and dates,
// which a formula compares with Date(y, m, d).
bool declaresNoText(const QString &declared)
{
    static const QRegularExpression noText(QStringLiteral("INT|^\\s*(DOUBLE|FLOAT|REAL|NUMERIC|DEC|DATE|TIME)"),
                                           QRegularExpression::CaseInsensitiveOption);
    return noText.match(declared).hasMatch();
}

// SQLite's driver reads every declared type it does not know as text when a
// result has no rows; the table's declaration tells the numbers apart.
// Column → declared type (empty for a view's computed column).
QHash<QString, QString> sqliteDeclaredTypes(Services::DataAccess &db, const QString &table, bool company)
{
    QHash<QString, QString> types;
    if (db.engine() != Services::Engine::Sqlite)
        return types;
    const auto declared =
        db.tryOpenRecordset(QStringLiteral("SELECT name, type FROM pragma_table_info(?, ?)"),
                            {table, company ? QStringLiteral("main") : QString::fromLatin1(Services::kServicesSchema)});
    if (declared) {
        for (const auto row : *declared)
            types.insert(row.text(QStringLiteral("name")).toUpper(), row.text(QStringLiteral("type")));
    }
    return types;
}

struct TableInfo {
    QString qualified;                // as the FROM clause names it
    QHash<QString, bool> textColumns; // column → holds text
};

} // namespace

QString ReportErrors::missingReport(const QString &file)
{
    return QStringLiteral("Il report ") + file + QStringLiteral(" non esiste ");
}

Outcome<ReportQuery> buildReportQuery(Services::DataAccess &db, const ReportDefinition &definition,
                                      const QString &dataCodes, const QString &formula)
{
    if (dataCodes.size() < definition.dataFiles())
        return Failure{QString::fromUtf8(ReportErrors::kLoad),
                       QStringLiteral("il report legge %1 archivi, i codici \"%2\" ne danno %3")
                           .arg(definition.dataFiles())
                           .arg(dataCodes)
                           .arg(dataCodes.size())};
    QList<ReportTable> all = definition.tables;
    for (const ReportJoin &j : definition.joins)
        all.append(j.table);

    QHash<QString, TableInfo> tables;
    for (const ReportTable &t : all) {
        const bool company = isCompanyFile(dataCodes, t.dataFile);
        if (company && !db.companyOpen())
            return Failure{QString::fromUtf8(ReportErrors::kOpenDatabase), QStringLiteral("nessuna società aperta")};
        TableInfo info;
        info.qualified = company ? t.name : QString::fromLatin1(Services::kServicesSchema) + QLatin1Char('.') + t.name;
        auto probe = db.tryOpenRecordset(QString::fromLatin1(kColumnsOf).arg(info.qualified));
        if (!probe)
            return Failure{QString::fromUtf8(ReportErrors::kReadDatabase), db.error().description};
        // The statement's own columns give the types: the driver's table
        // lookup misses upper-case names on PostgreSQL.
        QSqlQuery typed(db.connection());
        const QSqlRecord record =
            typed.exec(QString::fromLatin1(kColumnsOf).arg(info.qualified)) ? typed.record() : QSqlRecord();
        const QHash<QString, QString> declared = sqliteDeclaredTypes(db, t.name, company);
        for (const QString &column : probe->columns()) {
            const QSqlField field = record.field(column);
            const bool text = !declaresNoText(declared.value(column.toUpper())) &&
                              (!field.isValid() || field.metaType().id() == QMetaType::QString);
            info.textColumns.insert(column.toUpper(), text);
        }
        tables.insert(t.name, info);
    }

    const ColumnResolver resolve = [&tables](const QString &table,
                                             const QString &column) -> std::optional<FormulaColumn> {
        const auto t = tables.constFind(table.toUpper());
        if (t == tables.cend())
            return std::nullopt;
        const auto c = t->textColumns.constFind(column.toUpper());
        if (c == t->textColumns.cend())
            return std::nullopt;
        return FormulaColumn{table.toUpper() + QLatin1Char('.') + column.toUpper(), *c};
    };
    const auto known = [&resolve](const QString &tableDotColumn) {
        return resolve(tableDotColumn.section(QLatin1Char('.'), 0, 0), tableDotColumn.section(QLatin1Char('.'), 1))
            .has_value();
    };

    ReportQuery query;
    query.columns = definition.columnsUsed();
    for (const QString &c : query.columns) {
        if (!known(c))
            return Failure{QString::fromUtf8(ReportErrors::kLoad), QStringLiteral("colonna sconosciuta %1").arg(c)};
    }
    QStringList select;
    for (qsizetype i = 0; i < query.columns.size(); ++i)
        select.append(QStringLiteral("%1 AS c%2").arg(query.columns[i]).arg(i));
    if (select.isEmpty())
        select.append(QStringLiteral("1 AS c0"));

    const ReportTable &from = definition.tables.first();
    QString sql = QStringLiteral("SELECT %1 FROM %2 %3")
                      .arg(select.join(QStringLiteral(", ")), tables[from.name].qualified, from.name);
    for (qsizetype i = 1; i < definition.tables.size(); ++i) {
        const ReportTable &t = definition.tables[i];
        sql += QStringLiteral(", %1 %2").arg(tables[t.name].qualified, t.name);
    }
    for (const ReportJoin &j : definition.joins) {
        auto on = translateSelection(j.condition, resolve);
        if (!on || on->sql.isEmpty())
            return Failure{QString::fromUtf8(ReportErrors::kLoad),
                           QStringLiteral("JOIN %1: %2")
                               .arg(j.table.name, on ? QStringLiteral("condizione vuota") : on.failure().detail)};
        sql += QStringLiteral(" %1 JOIN %2 %3 ON %4")
                   .arg(j.left ? QStringLiteral("LEFT") : QStringLiteral("INNER"), tables[j.table.name].qualified,
                        j.table.name, on->sql);
        query.params += on->params;
    }
    QStringList where;
    if (!definition.filter.isEmpty()) {
        auto fixed = translateSelection(definition.filter, resolve);
        if (!fixed)
            return Failure{QString::fromUtf8(ReportErrors::kLoad), QStringLiteral("FILTER: ") + fixed.failure().detail};
        if (!fixed->sql.isEmpty()) {
            where.append(QLatin1Char('(') + fixed->sql + QLatin1Char(')'));
            query.params += fixed->params;
        }
    }
    auto chosen = translateSelection(formula, resolve);
    if (!chosen)
        return Failure{QString::fromUtf8(ReportErrors::kFormula), chosen.failure().detail};
    if (!chosen->sql.isEmpty()) {
        where.append(QLatin1Char('(') + chosen->sql + QLatin1Char(')'));
        query.params += chosen->params;
    }
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    QStringList order;
    for (const ReportGroup &g : definition.groups)
        order.append(g.column);
    for (const QString &o : definition.order) {
        if (!order.contains(o.section(QLatin1Char(' '), 0, 0)))
            order.append(o);
    }
    if (!order.isEmpty())
        sql += QStringLiteral(" ORDER BY ") + order.join(QStringLiteral(", "));
    query.sql = sql;
    return query;
}

Outcome<ReportRows> readReportRows(Services::DataAccess &db, const ReportQuery &query)
{
    auto read = db.tryOpenRecordset(query.sql, query.params);
    if (!read) {
        const bool lost = !db.connection().isOpen() || db.connection().isOpenError();
        return Failure{QString::fromUtf8(lost ? ReportErrors::kConnectDatabase : ReportErrors::kReadDatabase),
                       db.error().description};
    }
    ReportRows rows;
    for (qsizetype i = 0; i < query.columns.size(); ++i)
        rows.columns.insert(query.columns[i], int(i));
    rows.rows.reserve(read->size());
    const int width = int(read->columns().size());
    for (const auto row : *read) {
        QVariantList values;
        values.reserve(width);
        for (int i = 0; i < width; ++i)
            values.append(row.at(i));
        rows.rows.append(std::move(values));
    }
    return rows;
}

} // namespace Orlavo::Reporting
