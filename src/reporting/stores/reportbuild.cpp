#include "reporting/stores/reportbuild.h"

#include "reporting/stores/reportdata.h"
#include "services/core/inifile.h"

#include <QFile>
#include <QFileInfo>

#include <new>

namespace Orlavo::Reporting {

using Services::Failure;
using Services::Outcome;

QHash<QString, QString> parseNamedFormulas(const QStringList &assignments)
{
    QHash<QString, QString> named;
    for (const QString &a : assignments) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        QString value = a.mid(eq + 1).trimmed();
        if (value.size() >= 2 && (value.front() == QLatin1Char('\'') || value.front() == QLatin1Char('"'))
            && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        named.insert(a.left(eq).trimmed().toUpper(), value);
    }
    return named;
}

Outcome<ReportDocument> buildReport(Services::DataAccess &db, const ReportEntry &entry, const ReportRequest &request)
{
    try {
        if (!QFileInfo(entry.path).isFile())
            return Failure{ReportErrors::missingReport(entry.path), {}};
        QFile file(entry.path);
        if (!file.open(QIODevice::ReadOnly))
            return Failure{QString::fromUtf8(ReportErrors::kLoad), file.errorString()};
        const auto definition = parseReportDefinition(Services::decodeSettingsText(file.readAll()));
        if (!definition)
            return definition.failure();
        const auto query = buildReportQuery(db, *definition, entry.dataCodes, request.formula);
        if (!query)
            return query.failure();
        const auto rows = readReportRows(db, *query);
        if (!rows)
            return rows.failure();
        return layoutReport(*definition, *rows, request.formulas, request.firstPage);
    } catch (const std::bad_alloc &) {
        return Failure{QString::fromUtf8(ReportErrors::kNoMemory), {}};
    }
}

} // namespace Orlavo::Reporting
