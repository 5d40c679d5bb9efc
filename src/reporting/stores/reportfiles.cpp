#include "reporting/stores/reportfiles.h"

#include "services/core/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace Orlavo::Reporting {

namespace {

const QString kListName = QStringLiteral("RPTINI.TXT");

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

// The lines of one RPTINI.TXT, their reports found under folder; damaged
// ones go to damaged.
QList<ReportListLine> readList(const QString &listPath, const QString &folder, QStringList &damaged)
{
    QFile file(listPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<int> numbers;
    QList<ReportListLine> lines = parseReportList(Services::decodeSettingsText(file.readAll()), numbers);
    for (const int number : numbers)
        damaged.append(QStringLiteral("%1: riga %2").arg(listPath).arg(number));
    for (ReportListLine &line : lines)
        line.entry.path = findPathIgnoringCase(folder, line.file);
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

    QList<ReportListLine> custom;
    if (!customList.isEmpty())
        custom = readList(customList, customFolder, load.damaged);
    QList<ReportListLine> standard;
    if (!standardList.isEmpty())
        standard = readList(standardList, standardFolder, load.damaged);
    load.entries = mergeReportLists(custom, standard);
    return load;
}

QString findPathIgnoringCase(const QString &folder, const QString &relative)
{
    const QStringList segments = pathSegments(relative);
    if (std::optional<QString> found = search(folder, segments, 0))
        return *found;
    QString composed = folder;
    for (const QString &segment : segments)
        composed = joined(composed, segment);
    return composed;
}

} // namespace Orlavo::Reporting
