#include "reportlist.h"

#include "inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace Orlavo::Shell {

namespace {

const QString kListName = QStringLiteral("RPTINI.TXT");
constexpr qsizetype kFieldCount = 5;

QStringList segmentsOf(const QString &relative)
{
    QString path = relative;
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QString joined(const QString &base, const QString &name)
{
    if (base.isEmpty())
        return name;
    return base.endsWith(QLatin1Char('/')) ? base + name : base + QLatin1Char('/') + name;
}

// Depth first: a folder may hold both "sub" and "SUB", and only one of them
// the rest of the path.
std::optional<QString> search(const QString &base, const QStringList &segments, qsizetype index)
{
    if (index == segments.size())
        return base;
    const QString &segment = segments.at(index);
    const bool last = index + 1 == segments.size();
    if (segment == QLatin1String(".") || segment == QLatin1String("..")) {
        const QString path = joined(base, segment);
        if (!QFileInfo(path).isDir())
            return std::nullopt;
        return search(path, segments, index + 1);
    }
    const QDir dir(base.isEmpty() ? QStringLiteral(".") : base);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    QStringList candidates;
    if (names.contains(segment))
        candidates.append(segment);
    for (const QString &name : names)
        if (name != segment && name.compare(segment, Qt::CaseInsensitive) == 0)
            candidates.append(name);
    for (const QString &name : candidates) {
        const QString path = joined(base, name);
        if (!last && !QFileInfo(path).isDir())
            continue;
        if (std::optional<QString> found = search(path, segments, index + 1))
            return found;
    }
    return std::nullopt;
}

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
    QStringList segments = segmentsOf(relative);
    segments.removeAll(QStringLiteral("."));
    return segments.join(QLatin1Char('/')).toCaseFolded();
}

struct Line {
    ReportEntry entry;
    QString file; // field 3 as written
};

// The lines of one RPTINI.TXT; damaged ones go to damaged.
QList<Line> readList(const QString &listPath, const QString &folder, QStringList &damaged)
{
    QList<Line> lines;
    QFile file(listPath);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    QString text = Services::decodeSettingsText(file.readAll());
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
            damaged.append(QStringLiteral("%1: riga %2").arg(listPath).arg(number + 1));
            continue;
        }
        Line line;
        const QString &mark = fields->at(0);
        line.entry.mark = mark.isEmpty() ? QChar() : mark.at(0);
        line.entry.key = fields->at(1);
        line.file = fields->at(2);
        line.entry.path = findPathIgnoringCase(folder, line.file);
        line.entry.description = fields->at(3);
        line.entry.dataCodes = fields->at(4);
        lines.append(line);
    }
    return lines;
}

// RPTINI.TXT in folder, in any case; empty when there is none.
QString listIn(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QString path = findPathIgnoringCase(folder, kListName);
    return QFileInfo(path).isFile() ? path : QString();
}

} // namespace

ReportListLoad loadReportList(const QString &customFolder, const QString &standardFolder)
{
    ReportListLoad load;
    const QString customList = listIn(customFolder);
    QString standardList = listIn(standardFolder);
    // Both settings naming one folder: its list counts once.
    if (!customList.isEmpty() && !standardList.isEmpty() &&
        QFileInfo(customList).canonicalFilePath() == QFileInfo(standardList).canonicalFilePath())
        standardList.clear();

    QList<Line> custom;
    if (!customList.isEmpty())
        custom = readList(customList, customFolder, load.damaged);
    for (const Line &line : custom)
        load.entries.append(line.entry);

    if (standardList.isEmpty())
        return load;
    for (const Line &line : readList(standardList, standardFolder, load.damaged)) {
        const QString file = sameFileForm(line.file);
        const bool replaced = std::any_of(custom.cbegin(), custom.cend(), [&](const Line &own) {
            return own.entry.key.compare(line.entry.key, Qt::CaseInsensitive) == 0 && sameFileForm(own.file) == file;
        });
        if (!replaced)
            load.entries.append(line.entry);
    }
    return load;
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

QString findPathIgnoringCase(const QString &folder, const QString &relative)
{
    const QStringList segments = segmentsOf(relative);
    if (std::optional<QString> found = search(folder, segments, 0))
        return *found;
    QString composed = folder;
    for (const QString &segment : segments)
        composed = joined(composed, segment);
    return composed;
}

} // namespace Orlavo::Shell
