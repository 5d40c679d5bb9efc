#include "files.h"
#include "reporting/stores/reportfiles.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace Orlavo::Reporting;
using Orlavo::Testing::writeBytes;

namespace {

// The two report folders of one installation.
struct Folders {
    QTemporaryDir root;
    QString custom() const { return root.path() + QStringLiteral("/RPTPERS/"); }
    QString standard() const { return root.path() + QStringLiteral("/RPT/"); }
    ReportListLoad load() const { return loadReportList(custom(), standard()); }
};

// A standard line gives way only to a customised one with the same key
// and the same file (any case, "\\" or "/"); the customised lines come
// first, and the print choice offers a key's entries in that order.
TEST(ReportList, CustomisedReportReplacesOnlyTheSameKeyAndFile)
{
    // The customised line, the standard one, the entries and those of TABPROV, by description.
    const std::tuple<const char *, const char *, const char *, const char *> cases[] = {
        // clang-format off
        {"1,TABPROV,tabprov.rpt,Mie,S", "1,TABPROV,tabprov.rpt,Std,S", "Mie|Documento", "Mie"},
        {"1,TABPROV,tabprov2.rpt,Mie,S", "1,TABPROV,tabprov.rpt,Std,S", "Mie|Documento|Std", "Mie|Std"},
        {"1,TABPROV2,tabprov.rpt,Mie,S", "1,TABPROV,tabprov.rpt,Std,S", "Mie|Documento|Std", "Std"},
        // clang-format on
    };
    const auto descriptions = [](const QList<ReportEntry> &entries) {
        QStringList out;
        for (const ReportEntry &e : entries)
            out.append(e.description);
        return out.join(QLatin1Char('|'));
    };
    for (const auto &[mine, shipped, entries, offered] : cases) {
        QList<int> damaged;
        const QList<ReportEntry> merged = mergeReportLists(
            parseReportList(QLatin1String(mine), damaged),
            parseReportList(QStringLiteral("1,DOCTRAS,doctras.rpt,Documento,C\n") + QLatin1String(shipped), damaged));
        EXPECT_EQ(descriptions(merged), QLatin1String(entries)) << mine;
        EXPECT_EQ(descriptions(entriesForKey(merged, QStringLiteral("TABPROV"))), QLatin1String(offered)) << mine;
        EXPECT_TRUE(damaged.isEmpty());
    }
}

// Fields may be quoted (then they may hold commas), blanks around them go,
// the mark keeps its first character, fields past the fifth are ignored,
// whatever the line end.
TEST(ReportList, LineFieldsAreReadAsWritten)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1,TABPROV,tabprov.rpt,Tabella province,S", "1|TABPROV|tabprov.rpt|Tabella province|S"},
        {"1,FATVEND_ACC,fatacc.rpt,\"Fattura, accompagnatoria, A4\",CC",
         "1|FATVEND_ACC|fatacc.rpt|Fattura, accompagnatoria, A4|CC"},
        {"  2 ,\t TABPROV ,  \"tabprov.rpt\"  , Province  ,  S  ", "2|TABPROV|tabprov.rpt|Province|S"},
        {"12,TABPROV,tabprov.rpt,Province,S,altro,", "1|TABPROV|tabprov.rpt|Province|S"},
    };
    for (const auto &[line, expected] : cases) {
        for (const char *end : {"\r\n", "\n", ""}) {
            QList<int> damaged;
            const QList<ReportListLine> lines = parseReportList(QLatin1String(line) + QLatin1String(end), damaged);
            ASSERT_EQ(lines.size(), 1) << line;
            const ReportEntry &e = lines[0].entry;
            EXPECT_EQ(QStringList({e.mark.isNull() ? QString() : QString(e.mark), e.key, lines[0].file, e.description,
                                   e.dataCodes})
                          .join(QLatin1Char('|')),
                      QLatin1String(expected));
            EXPECT_TRUE(damaged.isEmpty());
        }
    }
}

// A damaged line is skipped and its number listed; blank lines count in the
// numbering but are no damage. Each list names its own damaged lines. The
// file is Windows-1252, as the settings file, and an old end-of-file mark is
// no line. The list and the reports it names are found without regard to case.
TEST(ReportList, DamagedLinesAreListedAndTheOthersLoaded)
{
    for (const char *line : {"1,TABPROV,tabprov.rpt,Province", "1,TABPROV,tabprov.rpt,\"Province,S"}) {
        QList<int> damaged;
        QStringList keys;
        const QString text = QStringLiteral("1,PRIMA,prima.rpt,Prima,C\r\n\r\n   \t\r\n") + QLatin1String(line) +
                             QStringLiteral("\r\n1,ULTIMA,ultima.rpt,Ultima,S\r\n\r\n");
        for (const ReportListLine &l : parseReportList(text, damaged))
            keys.append(l.entry.key);
        EXPECT_EQ(damaged, QList<int>{4}) << line;
        EXPECT_EQ(keys, (QStringList{QStringLiteral("PRIMA"), QStringLiteral("ULTIMA")})) << line;
    }
    Folders folders;
    const QString custom = folders.custom() + QStringLiteral("rptini.txt");
    const QString standard = folders.standard() + QStringLiteral("RPTINI.TXT");
    ASSERT_TRUE(writeBytes(custom, "1,TABPROV\n1,TABPROV,tabprov.rpt,Mie,S\n"));
    ASSERT_TRUE(writeBytes(standard, "1,A,a.rpt,A,S\n1,B,b.rpt,Qualit\xE0 \x80,S\n1,\"C,c.rpt,C,S\n\x1A"));
    ASSERT_TRUE(writeBytes(folders.standard() + QStringLiteral("A.RPT"), "report"));
    const ReportListLoad load = folders.load();
    EXPECT_EQ(load.damaged, (QStringList{custom + QStringLiteral(": riga 1"), standard + QStringLiteral(": riga 3")}));
    ASSERT_EQ(load.entries.size(), 3);
    EXPECT_EQ(load.entries.last().description, QStringLiteral("Qualità €"));
    EXPECT_EQ(load.entries[1].path, folders.standard() + QStringLiteral("A.RPT"));
}

// Segment by segment, without regard to case: the exact case first, a
// folder that holds the rest of the path, the composed path when nothing
// matches.
TEST(ReportList, PathsAreFoundWithoutRegardToCase)
{
    QTemporaryDir dir;
    const QString root = dir.path() + QLatin1Char('/');
    for (const char *file : {"sub/TAB.rpt", "sub/tab.RPT.bak", "Exact.rpt", "EXACT.RPT", "x/other.rpt", "X/inner.rpt",
                             "Cartella Qualità/Più.rpt"})
        ASSERT_TRUE(writeBytes(root + QString::fromUtf8(file), "report"));
    const std::tuple<QString, const char *, const char *> cases[] = {
        // clang-format off
        {root, "SUB\\Tab.RPT", "sub/TAB.rpt"}, {root, "EXACT.RPT", "EXACT.RPT"}, {root, "Exact.rpt", "Exact.rpt"},
        {root, "x\\INNER.RPT", "X/inner.rpt"}, {root, "CARTELLA QUALITÀ\\PIÙ.RPT", "Cartella Qualità/Più.rpt"},
        {root + QStringLiteral("manca/"), "A\\\\b.rpt", "manca/A/b.rpt"},
        // clang-format on
    };
    for (const auto &[folder, relative, expected] : cases)
        EXPECT_EQ(findPathIgnoringCase(folder, QString::fromUtf8(relative)), root + QString::fromUtf8(expected))
            << relative;
}

// A folder missing, not set or without a list adds nothing; one folder
// named by both settings counts once.
TEST(ReportList, FoldersWithoutAListAddNothing)
{
    const std::tuple<bool, bool, bool, bool, const char *> cases[] = {
        {false, false, true, false, ""},    {false, true, true, false, "STD"}, {false, true, true, true, "STD"},
        {false, true, false, false, "STD"}, {true, false, true, true, "PERS"}, {true, true, true, true, "PERS|STD"}};
    for (const auto &[customList, standardList, customSet, customFolder, keys] : cases) {
        Folders folders;
        ASSERT_TRUE(!customFolder || QDir().mkpath(folders.custom()));
        ASSERT_TRUE(!customList || writeBytes(folders.custom() + QStringLiteral("RPTINI.TXT"), "1,PERS,p.rpt,P,S\n"));
        ASSERT_TRUE(!standardList ||
                    writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"), "1,STD,s.rpt,S,S\n"));
        QStringList found;
        for (const ReportEntry &entry :
             loadReportList(customSet ? folders.custom() : QString(), folders.standard()).entries)
            found.append(entry.key);
        EXPECT_EQ(found.join(QLatin1Char('|')), QLatin1String(keys)) << keys;
    }
    Folders folders;
    ASSERT_TRUE(
        writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"), "1,A,a.rpt,A,S\n1,B\n1,A,a2.rpt,A due,S\n"));
    const ReportListLoad load = loadReportList(folders.standard(), folders.standard());
    EXPECT_EQ(load.entries.size(), 2);
    EXPECT_EQ(load.damaged.size(), 1);
}

} // namespace
