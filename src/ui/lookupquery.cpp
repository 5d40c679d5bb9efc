#include "ui/lookupquery.h"

#include <QRegularExpression>

namespace Orlavo::Ui {

namespace {
// A word beginning in the value, or the value's own beginning.
constexpr char kStartsFilter[] = "(UPPER(%1) LIKE UPPER(?) ESCAPE '!' OR UPPER(%1) LIKE UPPER(?) ESCAPE '!')";

bool orders(const QString &sql)
{
    static const QRegularExpression orderBy(QStringLiteral("\\bORDER\\s+BY\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    return orderBy.match(sql).hasMatch();
}

bool limits(const QString &sql)
{
    static const QRegularExpression limit(QStringLiteral("\\bLIMIT\\b"), QRegularExpression::CaseInsensitiveOption);
    return limit.match(sql).hasMatch();
}
} // namespace

LookupQuery buildLookupQuery(const QString &table, const QList<Services::LookupColumn> &columns, const QString &condition,
                             int rowLimit, const Services::Params &conditionParams)
{
    LookupQuery query;
    QStringList names;
    QStringList conditions;
    QString statement;
    for (const Services::LookupColumn &column : columns) {
        names.append(column.name);
        const Services::ColumnFormat format = Services::ColumnFormat::parse(column.format);
        if (format.extra.isEmpty())
            continue;
        if (format.letter == u'X') {
            conditions.append(format.extra);
        } else if (format.letter == u'K') {
            statement = format.extra;
        } else if (format.letter == u'C') {
            const QString typed = Services::escapeLike(format.extra);
            conditions.append(QString::fromLatin1(kStartsFilter).arg(column.name));
            query.params << QStringLiteral("% ") + typed + QLatin1Char('%') << typed + QLatin1Char('%');
        }
    }
    if (!condition.trimmed().isEmpty()) {
        conditions.append(condition);
        query.params << conditionParams;
    }

    if (statement.isEmpty()) {
        statement = QStringLiteral("SELECT ") + names.join(QStringLiteral(" , ")) + QStringLiteral(" FROM ") + table;
        if (!conditions.isEmpty())
            statement += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    } else {
        // The program's own statement: it binds nothing typed.
        query.params.clear();
    }
    if (!orders(statement) && !names.isEmpty())
        statement += QStringLiteral(" ORDER BY ") + names.first();
    if (rowLimit > 0 && !limits(statement)) {
        statement += QStringLiteral(" LIMIT ?");
        query.params << rowLimit + 1;
    }
    query.sql = statement;
    return query;
}

} // namespace Orlavo::Ui
