#include "reporting/rules/reportlist.h"

#include <algorithm>
#include <optional>

namespace Orlavo::Reporting {

namespace {

constexpr qsizetype kFieldCount = 5;

// The fields of a line. A field may be in double quotes (then it may hold
// commas); nothing but blanks may follow the closing quote. An unclosed
// quote, or a quote inside an unquoted field, makes the line damaged.
std::optional<QStringList> splitFields(const QString &line)
{
    QStringList fields;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && line.at(i).isSpace())
            ++i;
        QString field;
        if (i < n && line.at(i) == QLatin1Char('"')) {
            const qsizetype close = line.indexOf(QLatin1Char('"'), i + 1);
            if (close < 0)
                return std::nullopt;
            field = line.mid(i + 1, close - i - 1).trimmed();
            i = close + 1;
            while (i < n && line.at(i).isSpace())
                ++i;
            if (i < n && line.at(i) != QLatin1Char(','))
                return std::nullopt;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? n : comma;
            field = line.mid(i, end - i).trimmed();
            if (field.contains(QLatin1Char('"')))
                return std::nullopt;
            i = end;
        }
        fields.append(field);
        if (i >= n)
            return fields;
        ++i; // the comma
    }
}

// The report file name as written, for comparing the two lists.
QString sameFileForm(const QString &relative)
{
    QStringList segments = pathSegments(relative);
    segments.removeAll(QStringLiteral("."));
    return segments.join(QLatin1Char('/')).toCaseFolded();
}

} // namespace

QStringList pathSegments(const QString &relative)
{
    QString path = relative;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QList<ReportListLine> parseReportList(const QString &source, QList<int> &damaged)
{
    QList<ReportListLine> lines;
    QString text = source;
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QStringList rows = text.split(QLatin1Char('\n'));
    for (qsizetype number = 0; number < rows.size(); ++number) {
        QString row = rows.at(number);
        if (row.endsWith(QLatin1Char('\r')))
            row.chop(1);
        // An old end-of-file mark (Ctrl-Z) is no line.
        if (number == rows.size() - 1 && row.trimmed() == QStringLiteral("\x1A"))
            continue;
        if (row.trimmed().isEmpty())
            continue;
        const std::optional<QStringList> fields = splitFields(row);
        if (!fields || fields->size() < kFieldCount || fields->at(1).isEmpty() || fields->at(2).isEmpty()) {
            damaged.append(int(number + 1));
            continue;
        }
        ReportListLine line;
        const QString &mark = fields->at(0);
        line.entry.mark = mark.isEmpty() ? QChar() : mark.at(0);
        line.entry.key = fields->at(1);
        line.file = fields->at(2);
        line.entry.description = fields->at(3);
        line.entry.dataCodes = fields->at(4);
        lines.append(line);
    }
    return lines;
}

QList<ReportEntry> mergeReportLists(const QList<ReportListLine> &custom, const QList<ReportListLine> &standard)
{
    QList<ReportEntry> entries;
    for (const ReportListLine &line : custom)
        entries.append(line.entry);
    for (const ReportListLine &line : standard) {
        const QString file = sameFileForm(line.file);
        const bool replaced = std::any_of(custom.cbegin(), custom.cend(), [&](const ReportListLine &own) {
            return own.entry.key.compare(line.entry.key, Qt::CaseInsensitive) == 0 && sameFileForm(own.file) == file;
        });
        if (!replaced)
            entries.append(line.entry);
    }
    return entries;
}

QList<ReportEntry> entriesForKey(const QList<ReportEntry> &list, const QString &key)
{
    QList<ReportEntry> found;
    const QString wanted = key.trimmed();
    for (const ReportEntry &entry : list)
        if (entry.key.compare(wanted, Qt::CaseInsensitive) == 0)
            found.append(entry);
    return found;
}

} // namespace Orlavo::Reporting
