#include "files.h"
#include "reporting/stores/reportfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Orlavo::Reporting;

using Orlavo::Testing::writeBytes;

namespace {

// The two report folders of one installation.
struct Folders {
    QTemporaryDir root;
    QString custom() const { return root.path() + QStringLiteral("/RPTPERS/"); }
    QString standard() const { return root.path() + QStringLiteral("/RPT/"); }
};

// What a test expects of an entry: the folder it came from and its fields.
struct Expected {
    QString folder; // "pers" or "std"
    QString key;
    QString file; // relative to the folder, as found on disk
    QString description;
};

void expectEntries(const Folders &folders, const QList<ReportEntry> &entries, const QList<Expected> &expected)
{
    ASSERT_EQ(entries.size(), expected.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE(i);
        const Expected &e = expected.at(i);
        const QString folder = e.folder == QLatin1String("pers") ? folders.custom() : folders.standard();
        EXPECT_EQ(entries.at(i).key, e.key);
        EXPECT_EQ(entries.at(i).path, folder + e.file);
        EXPECT_EQ(entries.at(i).description, e.description);
    }
}

} // namespace

TEST(ReportList, CustomisedReportReplacesOnlyTheSameKeyAndFile)
{
    struct Case {
        const char *name;
        QByteArray customLine;
        QByteArray standardLine;
        QList<Expected> expected;
    };
    const QString pers = QStringLiteral("pers");
    const QString standard = QStringLiteral("std");
    const QString tabprov = QStringLiteral("TABPROV");
    const QString file = QStringLiteral("tabprov.rpt");
    const QList<Case> cases = {
        {"same key and file",
         "1,TABPROV,tabprov.rpt,Province mie,S",
         "1,TABPROV,tabprov.rpt,Province,S",
         {{pers, tabprov, file, QStringLiteral("Province mie")}}},
        {"same file written in other case and separators",
         "1,TABPROV,SUB\\TabProv.RPT,Mie,S",
         "1,TABPROV,sub/tabprov.rpt,Standard,S",
         {{pers, tabprov, QStringLiteral("SUB/TabProv.RPT"), QStringLiteral("Mie")}}},
        {"key in other case",
         "1,tabprov,tabprov.rpt,Mie,S",
         "1,TABPROV,tabprov.rpt,Standard,S",
         {{pers, QStringLiteral("tabprov"), file, QStringLiteral("Mie")}}},
        {"other file name",
         "1,TABPROV,tabprov2.rpt,Mie,S",
         "1,TABPROV,tabprov.rpt,Standard,S",
         {{pers, tabprov, QStringLiteral("tabprov2.rpt"), QStringLiteral("Mie")},
          {standard, tabprov, file, QStringLiteral("Standard")}}},
        {"other key, same file",
         "1,TABPROV2,tabprov.rpt,Mie,S",
         "1,TABPROV,tabprov.rpt,Standard,S",
         {{pers, QStringLiteral("TABPROV2"), file, QStringLiteral("Mie")},
          {standard, tabprov, file, QStringLiteral("Standard")}}},
        {"same file in a subfolder",
         "1,TABPROV,PERS\\tabprov.rpt,Mie,S",
         "1,TABPROV,tabprov.rpt,Standard,S",
         {{pers, tabprov, QStringLiteral("PERS/tabprov.rpt"), QStringLiteral("Mie")},
          {standard, tabprov, file, QStringLiteral("Standard")}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        ASSERT_TRUE(folders.root.isValid());
        ASSERT_TRUE(writeBytes(folders.custom() + QStringLiteral("RPTINI.TXT"), c.customLine + "\r\n"));
        ASSERT_TRUE(writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"),
                               "1,DOCTRAS,doctras.rpt,Documento,C\r\n" + c.standardLine + "\r\n"));
        for (const Expected &e : c.expected)
            ASSERT_TRUE(writeBytes((e.folder == pers ? folders.custom() : folders.standard()) + e.file, "report"));

        const ReportListLoad load = loadReportList(folders.custom(), folders.standard());

        EXPECT_EQ(load.damaged, QStringList());
        QList<Expected> all = c.expected;
        // The standard report of another key is never touched; it follows the customised ones.
        const auto firstStandard =
            std::find_if(all.begin(), all.end(), [&](const Expected &e) { return e.folder == standard; });
        all.insert(firstStandard,
                   {standard, QStringLiteral("DOCTRAS"), QStringLiteral("doctras.rpt"), QStringLiteral("Documento")});
        expectEntries(folders, load.entries, all);
        // The print choice offers the key's entries, customised first.
        QList<Expected> offered;
        for (const Expected &e : c.expected)
            if (e.key.compare(tabprov, Qt::CaseInsensitive) == 0)
                offered.append(e);
        expectEntries(folders, entriesForKey(load.entries, tabprov), offered);
    }
}

TEST(ReportList, LineFieldsAreReadAsWritten)
{
    struct Case {
        const char *name;
        QByteArray line;
        QChar mark;
        QString key;
        QString file;
        QString description;
        QString codes;
    };
    const QList<Case> cases = {
        {"plain", "1,TABPROV,tabprov.rpt,Tabella province,S", QLatin1Char('1'), QStringLiteral("TABPROV"),
         QStringLiteral("tabprov.rpt"), QStringLiteral("Tabella province"), QStringLiteral("S")},
        {"quoted fields", "\"0\",\"DOCTRAS\",\"doctras.rpt\",\"Documento di trasporto\",\"CS\"", QLatin1Char('0'),
         QStringLiteral("DOCTRAS"), QStringLiteral("doctras.rpt"), QStringLiteral("Documento di trasporto"),
         QStringLiteral("CS")},
        {"quoted description with commas", "1,FATVEND_ACC,fatacc.rpt,\"Fattura, accompagnatoria, A4\",CC",
         QLatin1Char('1'), QStringLiteral("FATVEND_ACC"), QStringLiteral("fatacc.rpt"),
         QStringLiteral("Fattura, accompagnatoria, A4"), QStringLiteral("CC")},
        {"blanks around fields", "  2 ,\t TABPROV ,  \"tabprov.rpt\"  , Province  ,  S  ", QLatin1Char('2'),
         QStringLiteral("TABPROV"), QStringLiteral("tabprov.rpt"), QStringLiteral("Province"), QStringLiteral("S")},
        {"mark keeps its first character", "12,TABPROV,tabprov.rpt,Province,S", QLatin1Char('1'),
         QStringLiteral("TABPROV"), QStringLiteral("tabprov.rpt"), QStringLiteral("Province"), QStringLiteral("S")},
        {"empty mark, description and codes", ",TABPROV,tabprov.rpt,,", QChar(), QStringLiteral("TABPROV"),
         QStringLiteral("tabprov.rpt"), QString(), QString()},
        {"fields past the fifth ignored", "1,TABPROV,tabprov.rpt,Province,S,altro,", QLatin1Char('1'),
         QStringLiteral("TABPROV"), QStringLiteral("tabprov.rpt"), QStringLiteral("Province"), QStringLiteral("S")},
        {"file under a subfolder", "1,TABPROV,\"Sub Dir\\tab,prov.rpt\",Province,S", QLatin1Char('1'),
         QStringLiteral("TABPROV"), QStringLiteral("Sub Dir/tab,prov.rpt"), QStringLiteral("Province"),
         QStringLiteral("S")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QByteArray &end : {QByteArray("\r\n"), QByteArray("\n"), QByteArray()}) {
            SCOPED_TRACE(end.size());
            Folders folders;
            ASSERT_TRUE(writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"), c.line + end));
            const ReportListLoad load = loadReportList(folders.custom(), folders.standard());
            EXPECT_EQ(load.damaged, QStringList());
            ASSERT_EQ(load.entries.size(), 1);
            const ReportEntry &entry = load.entries.first();
            EXPECT_EQ(entry.mark, c.mark);
            EXPECT_EQ(entry.key, c.key);
            EXPECT_EQ(entry.path, folders.standard() + c.file);
            EXPECT_EQ(entry.description, c.description);
            EXPECT_EQ(entry.dataCodes, c.codes);
        }
    }
}

TEST(ReportList, DamagedLinesAreListedAndTheOthersLoaded)
{
    struct Case {
        const char *name;
        QByteArray line;
    };
    const QList<Case> cases = {
        {"four fields", "1,TABPROV,tabprov.rpt,Province"},
        {"one field", "TABPROV"},
        {"empty key", "1,,tabprov.rpt,Province,S"},
        {"blank quoted key", "1,\"  \",tabprov.rpt,Province,S"},
        {"empty file name", "1,TABPROV,,Province,S"},
        {"quote never closed", "1,TABPROV,tabprov.rpt,\"Province,S"},
        {"text after the closing quote", "1,\"TAB\"PROV,tabprov.rpt,Province,S"},
        {"quote inside an unquoted field", "1,TABPROV,tab\"prov.rpt,Province,S"},
        {"commas only", ",,,,"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        const QString list = folders.custom() + QStringLiteral("RPTINI.TXT");
        // Blank lines count in the numbering but are no damage.
        ASSERT_TRUE(writeBytes(list, "1,PRIMA,prima.rpt,Prima,C\r\n\r\n   \t\r\n" + c.line +
                                         "\r\n1,ULTIMA,ultima.rpt,Ultima,S\r\n\r\n"));
        const ReportListLoad load = loadReportList(folders.custom(), folders.standard());
        EXPECT_EQ(load.damaged, QStringList{list + QStringLiteral(": riga 4")});
        QStringList keys;
        for (const ReportEntry &entry : load.entries)
            keys.append(entry.key);
        EXPECT_EQ(keys, (QStringList{QStringLiteral("PRIMA"), QStringLiteral("ULTIMA")}));
    }
}

TEST(ReportList, DamagedLinesOfBothListsAreNamed)
{
    Folders folders;
    const QString custom = folders.custom() + QStringLiteral("rptini.txt");
    const QString standard = folders.standard() + QStringLiteral("RPTINI.TXT");
    ASSERT_TRUE(writeBytes(custom, "1,TABPROV\n1,TABPROV,tabprov.rpt,Mie,S\n"));
    ASSERT_TRUE(writeBytes(standard, "1,A,a.rpt,A,S\n1,B,b.rpt,B,S\n1,\"C,c.rpt,C,S\n"));
    const ReportListLoad load = loadReportList(folders.custom(), folders.standard());
    EXPECT_EQ(load.damaged, (QStringList{custom + QStringLiteral(": riga 1"), standard + QStringLiteral(": riga 3")}));
    EXPECT_EQ(load.entries.size(), 3);
}

TEST(ReportList, ListFileAndReportPathsAreFoundWithoutRegardToCase)
{
    struct Case {
        const char *listName;
        QByteArray field3;
        QString onDisk; // the report file as it exists
    };
    const QList<Case> cases = {
        {"RPTINI.TXT", "SUB\\Tab.RPT", QStringLiteral("sub/TAB.rpt")},
        {"rptini.txt", "sub/tab.rpt", QStringLiteral("Sub/TAB.rpt")},
        {"RptIni.Txt", "\\A\\\\b\\C.RPT", QStringLiteral("a/B/c.rpt")},
        {"rptINI.TXT", "uno/due/tre.rpt", QStringLiteral("UNO/Due/TRE.RPT")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.listName);
        Folders folders;
        ASSERT_TRUE(writeBytes(folders.standard() + QString::fromLatin1(c.listName),
                               "1,TABPROV," + c.field3 + ",Province,S\r\n"));
        ASSERT_TRUE(writeBytes(folders.standard() + c.onDisk, "report"));
        const ReportListLoad load = loadReportList(folders.custom(), folders.standard());
        ASSERT_EQ(load.entries.size(), 1);
        EXPECT_EQ(load.entries.first().path, folders.standard() + c.onDisk);
        EXPECT_TRUE(QFileInfo::exists(load.entries.first().path));
    }
}

TEST(ReportList, FindPathIgnoringCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString root = dir.path() + QLatin1Char('/');
    for (const char *file : {"sub/TAB.rpt", "sub/tab.RPT.bak", "Exact.rpt", "EXACT.RPT", "x/other.rpt", "X/inner.rpt",
                             "Cartella Qualità/Più.rpt"})
        ASSERT_TRUE(writeBytes(root + QString::fromUtf8(file), "report"));
    struct Case {
        const char *name;
        QString folder;
        QString relative;
        QString expected;
    };
    const QList<Case> cases = {
        {"backslashes and other case", root, QStringLiteral("SUB\\Tab.RPT"), root + QStringLiteral("sub/TAB.rpt")},
        {"exact path", root, QStringLiteral("sub/TAB.rpt"), root + QStringLiteral("sub/TAB.rpt")},
        {"exact case preferred", root, QStringLiteral("EXACT.RPT"), root + QStringLiteral("EXACT.RPT")},
        {"exact case preferred, other spelling", root, QStringLiteral("Exact.rpt"), root + QStringLiteral("Exact.rpt")},
        {"first folder of two holds nothing", root, QStringLiteral("x\\INNER.RPT"),
         root + QStringLiteral("X/inner.rpt")},
        {"folder without a final slash", dir.path(), QStringLiteral("SUB/tab.rpt"),
         root + QStringLiteral("sub/TAB.rpt")},
        {"accented names", root, QStringLiteral("CARTELLA QUALITÀ\\PIÙ.RPT"),
         root + QStringLiteral("Cartella Qualità/Più.rpt")},
        {"missing file composed", root, QStringLiteral("Sub\\Nuovo.rpt"), root + QStringLiteral("Sub/Nuovo.rpt")},
        {"missing folder composed", root + QStringLiteral("manca/"), QStringLiteral("A\\\\b.rpt"),
         root + QStringLiteral("manca/A/b.rpt")},
        {"file used as a folder", root, QStringLiteral("exact.rpt\\x"), root + QStringLiteral("exact.rpt/x")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(findPathIgnoringCase(c.folder, c.relative), c.expected);
    }
}

TEST(ReportList, TextIsUtf8OrWindows1252)
{
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"Windows-1252", "1,TABQUAL,qual.rpt,Qualit\xE0 \x80,S\r\n"},
        {"UTF-8", "1,TABQUAL,qual.rpt,Qualit\xC3\xA0 \xE2\x82\xAC,S\r\n"},
        {"UTF-8 with BOM", "\xEF\xBB\xBF"
                           "1,TABQUAL,qual.rpt,Qualit\xC3\xA0 \xE2\x82\xAC,S\r\n"},
        {"old end-of-file mark", "1,TABQUAL,qual.rpt,Qualit\xE0 \x80,S\r\n\x1A"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        ASSERT_TRUE(writeBytes(folders.custom() + QStringLiteral("RPTINI.TXT"), c.bytes));
        const ReportListLoad load = loadReportList(folders.custom(), folders.standard());
        EXPECT_EQ(load.damaged, QStringList());
        ASSERT_EQ(load.entries.size(), 1);
        EXPECT_EQ(load.entries.first().key, QStringLiteral("TABQUAL"));
        EXPECT_EQ(load.entries.first().description, QStringLiteral("Qualità €"));
    }
}

TEST(ReportList, FoldersWithoutAListAddNothing)
{
    struct Case {
        const char *name;
        bool customList;
        bool standardList;
        bool emptyCustomSetting;
        bool customFolderExists;
        QStringList keys;
    };
    const QList<Case> cases = {
        {"no folders", false, false, false, false, {}},
        {"customised folder missing", false, true, false, false, {QStringLiteral("STD")}},
        {"customised folder without list", false, true, false, true, {QStringLiteral("STD")}},
        {"customised folder not set", false, true, true, false, {QStringLiteral("STD")}},
        {"standard folder missing", true, false, false, true, {QStringLiteral("PERS")}},
        {"both", true, true, false, true, {QStringLiteral("PERS"), QStringLiteral("STD")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folders folders;
        if (c.customFolderExists) {
            ASSERT_TRUE(QDir().mkpath(folders.custom()));
        }
        if (c.customList) {
            ASSERT_TRUE(writeBytes(folders.custom() + QStringLiteral("RPTINI.TXT"), "1,PERS,pers.rpt,Pers,S\n"));
        }
        if (c.standardList) {
            ASSERT_TRUE(writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"), "1,STD,std.rpt,Std,S\n"));
        }
        const ReportListLoad load =
            loadReportList(c.emptyCustomSetting ? QString() : folders.custom(), folders.standard());
        QStringList keys;
        for (const ReportEntry &entry : load.entries)
            keys.append(entry.key);
        EXPECT_EQ(keys, c.keys);
        EXPECT_EQ(load.damaged, QStringList());
    }
}

TEST(ReportList, OneFolderForBothSettingsCountsOnce)
{
    Folders folders;
    ASSERT_TRUE(
        writeBytes(folders.standard() + QStringLiteral("RPTINI.TXT"), "1,A,a.rpt,A,S\n1,B\n1,A,a2.rpt,A due,S\n"));
    const ReportListLoad load = loadReportList(folders.standard(), folders.standard());
    EXPECT_EQ(load.entries.size(), 2);
    EXPECT_EQ(load.damaged.size(), 1);
}

TEST(ReportList, EntriesForKeyKeepListOrder)
{
    auto entry = [](const char *key, const char *description) {
        return ReportEntry{QLatin1Char('1'), QString::fromLatin1(key), QStringLiteral("/r.rpt"),
                           QString::fromLatin1(description), QStringLiteral("S")};
    };
    const QList<ReportEntry> list = {entry("DOCTRAS", "uno"), entry("TABPROV", "due"), entry("DOCTRAS", "tre"),
                                     entry("DOCTRAS_A", "quattro"), entry("doctras", "cinque")};
    struct Case {
        const char *key;
        QStringList descriptions;
    };
    const QList<Case> cases = {
        {"DOCTRAS", {QStringLiteral("uno"), QStringLiteral("tre"), QStringLiteral("cinque")}},
        {"doctras", {QStringLiteral("uno"), QStringLiteral("tre"), QStringLiteral("cinque")}},
        {"TABPROV", {QStringLiteral("due")}},
        {"DOCTRAS_A", {QStringLiteral("quattro")}},
        {"DOC", {}},
        {"", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.key);
        QStringList descriptions;
        for (const ReportEntry &found : entriesForKey(list, QString::fromLatin1(c.key)))
            descriptions.append(found.description);
        EXPECT_EQ(descriptions, c.descriptions);
    }
}
