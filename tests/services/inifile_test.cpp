#include "files.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdint>

using namespace Orlavo::Services;

using Orlavo::Testing::writeBytes;
using Orlavo::Testing::readBytes;

namespace {

// Bytes with no meaning at all, the same on every run.
QByteArray noise(int size, std::uint32_t seed)
{
    QByteArray bytes;
    bytes.reserve(size);
    for (int i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        bytes.append(char(seed >> 24));
    }
    return bytes;
}

} // namespace

class IniFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name = QStringLiteral("CONT.INI")) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

TEST_F(IniFileTest, ReadsValuesAsTheFileHoldsThem)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QString section;
        QString key;
        QString expected;
    };
    const QString main = QStringLiteral("MAIN");
    const QString company = QStringLiteral("SOCIETA");
    const QList<Case> cases = {
        {"plain", "[MAIN]\nSOCIETA=01\n", main, company, QStringLiteral("01")},
        {"section and key in other case", "[Main]\nsocieta=01\n", QStringLiteral("main"), QStringLiteral("SoCiEtA"),
         QStringLiteral("01")},
        {"blanks around the equals sign", "[MAIN]\n   SOCIETA   =   01   \n", main, company, QStringLiteral("01")},
        {"blanks inside the brackets", "[ MAIN ]\nSOCIETA=01\n", main, company, QStringLiteral("01")},
        {"absent key", "[MAIN]\nANNO=2026\n", main, company, QString()},
        {"NotFound reads as empty", "[MAIN]\nSOCIETA=NotFound\n", main, company, QString()},
        {"empty value", "[MAIN]\nSOCIETA=\n", main, company, QString()},
        {"absent section", "[ALTRO]\nSOCIETA=02\n", main, company, QString()},
        {"key before any section", "SOCIETA=03\n[MAIN]\nANNO=2026\n", main, company, QString()},
        {"same key in the section before", "[ALTRO]\nSOCIETA=02\n[MAIN]\nSOCIETA=01\n", main, company,
         QStringLiteral("01")},
        {"same key in the section after", "[MAIN]\nANNO=2026\n[ALTRO]\nSOCIETA=02\n", main, company, QString()},
        {"commented keys", "; SOCIETA=09\n[MAIN]\n;SOCIETA=08\nSOCIETA=01\n", main, company, QStringLiteral("01")},
        {"first of two", "[MAIN]\nSOCIETA=01\nSOCIETA=02\n", main, company, QStringLiteral("01")},
        {"quoted value", "[MAIN]\nSOCIETA=\"01\"\n", main, company, QStringLiteral("01")},
        {"CRLF line ends", "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n", main, company, QStringLiteral("01")},
        {"no final line end", "[MAIN]\nSOCIETA=01", main, company, QStringLiteral("01")},
        {"equals sign inside the value", "[MAIN]\nNOTE=a=b\n", main, QStringLiteral("NOTE"), QStringLiteral("a=b")},
        {"UTF-8", "[MAIN]\nPATHDB=/dati/contabilit\xC3\xA0/\n", main, QStringLiteral("PATHDB"),
         QStringLiteral("/dati/contabilità/")},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBF[MAIN]\nSOCIETA=01\n", main, company, QStringLiteral("01")},
        {"Windows-1252", "[MAIN]\nNOTE=Attivit\xE0 \x80 5 perch\xE9\n", main, QStringLiteral("NOTE"),
         QStringLiteral("Attività € 5 perché")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path(), c.bytes));
        EXPECT_EQ(IniFile(path()).read(c.section, c.key), c.expected);
    }
}

TEST_F(IniFileTest, LongValueReadsBackCutTo254Characters)
{
    QString value;
    for (int i = 0; i < 300; ++i)
        value.append(QChar(u'a' + i % 26));
    const IniFile ini(path());
    ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("NOTE"), value));
    const QString read = ini.read(QStringLiteral("MAIN"), QStringLiteral("NOTE"));
    EXPECT_EQ(read.size(), 254);
    EXPECT_EQ(read, value.left(254));
    // The file itself keeps what was written.
    EXPECT_TRUE(readBytes(path()).contains(value.toUtf8()));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndWriteCreatesIt)
{
    const IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QString());
    EXPECT_FALSE(QFile::exists(path()));
    ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_EQ(readBytes(path()), QByteArray("[MAIN]\nSOCIETA=01\n"));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QStringLiteral("01"));
}

TEST_F(IniFileTest, WriteChangesOnlyItsOwnLine)
{
    struct Case {
        const char *name;
        QByteArray before;
        QString section;
        QString key;
        QString value;
        QByteArray after;
    };
    const QByteArray file = "; impostazioni\n"
                            "[MAIN]\n"
                            "SOCIETA=01\n"
                            "; anno in corso\n"
                            "  anno = 2025  \n"
                            "\n"
                            "[STAMPE]\n"
                            "ANNO=1999\n"
                            "\n";
    const QList<Case> cases = {
        {"existing key", file, QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("02"),
         "; impostazioni\n[MAIN]\nSOCIETA=02\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=1999\n\n"},
        {"existing key in other case and with blanks", file, QStringLiteral("main"), QStringLiteral("ANNO"),
         QStringLiteral("2026"),
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\nanno=2026\n\n[STAMPE]\nANNO=1999\n\n"},
        {"same key in the later section", file, QStringLiteral("STAMPE"), QStringLiteral("ANNO"),
         QStringLiteral("2000"),
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=2000\n\n"},
        {"missing key goes inside its section", file, QStringLiteral("MAIN"), QStringLiteral("PATHDB"),
         QStringLiteral("/dati/"),
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  "
         "\nPATHDB=/dati/\n\n[STAMPE]\nANNO=1999\n\n"},
        {"missing key in the last section", file, QStringLiteral("STAMPE"), QStringLiteral("COPIE"),
         QStringLiteral("2"),
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=1999\nCOPIE=2\n\n"},
        {"missing section goes at the end", file, QStringLiteral("UTENTE"), QStringLiteral("NOME"),
         QStringLiteral("ADMIN"),
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  "
         "\n\n[STAMPE]\nANNO=1999\n\n[UTENTE]\nNOME=ADMIN\n"},
        {"missing section after a last line with no blank", "[MAIN]\nSOCIETA=01\n", QStringLiteral("UTENTE"),
         QStringLiteral("NOME"), QStringLiteral("ADMIN"), "[MAIN]\nSOCIETA=01\n\n[UTENTE]\nNOME=ADMIN\n"},
        {"last line without line end", "[MAIN]\nSOCIETA=01", QStringLiteral("MAIN"), QStringLiteral("ANNO"),
         QStringLiteral("2026"), "[MAIN]\nSOCIETA=01\nANNO=2026\n"},
        {"empty section header only", "[MAIN]\n", QStringLiteral("MAIN"), QStringLiteral("ANNO"),
         QStringLiteral("2026"), "[MAIN]\nANNO=2026\n"},
        {"empty value", file, QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QString(),
         "; impostazioni\n[MAIN]\nSOCIETA=\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=1999\n\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path(), c.before));
        const IniFile ini(path());
        ASSERT_TRUE(ini.write(c.section, c.key, c.value));
        EXPECT_EQ(readBytes(path()), c.after);
        EXPECT_EQ(ini.read(c.section, c.key), c.value);
    }
}

TEST_F(IniFileTest, LineEndsOfTheFileAreKept)
{
    struct Case {
        const char *name;
        QByteArray before;
        QString key;
        QByteArray after;
    };
    const QList<Case> cases = {
        {"CRLF, existing key", "[MAIN]\r\nSOCIETA=01\r\nANNO=2025\r\n", QStringLiteral("ANNO"),
         "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n"},
        {"CRLF, new key", "[MAIN]\r\nSOCIETA=01\r\n\r\n[ALTRO]\r\nX=1\r\n", QStringLiteral("ANNO"),
         "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n\r\n[ALTRO]\r\nX=1\r\n"},
        {"CRLF, last line without line end", "[MAIN]\r\nSOCIETA=01", QStringLiteral("ANNO"),
         "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n"},
        {"LF", "[MAIN]\nSOCIETA=01\n", QStringLiteral("ANNO"), "[MAIN]\nSOCIETA=01\nANNO=2026\n"},
        // A file edited by two tools: each line keeps its own end.
        {"mixed, existing key", "[MAIN]\r\nSOCIETA=01\nANNO=2025\r\n[ALTRO]\nX=1\n", QStringLiteral("ANNO"),
         "[MAIN]\r\nSOCIETA=01\nANNO=2026\r\n[ALTRO]\nX=1\n"},
        {"mixed, new key", "[MAIN]\r\nSOCIETA=01\n[ALTRO]\nX=1\r\n", QStringLiteral("ANNO"),
         "[MAIN]\r\nSOCIETA=01\nANNO=2026\r\n[ALTRO]\nX=1\r\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path(), c.before));
        ASSERT_TRUE(IniFile(path()).write(QStringLiteral("MAIN"), c.key, QStringLiteral("2026")));
        EXPECT_EQ(readBytes(path()), c.after);
    }
}

TEST_F(IniFileTest, Windows1252FileStaysWindows1252)
{
    const QByteArray before = "[MAIN]\r\n"
                              "DESCRIZIONE=Attivit\xE0 \x80 5\r\n"
                              "\r\n"
                              "[NOTE]\r\n"
                              "TESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n";
    ASSERT_TRUE(writeBytes(path(), before));
    const IniFile ini(path());
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Attività € 5"));
    EXPECT_EQ(ini.read(QStringLiteral("NOTE"), QStringLiteral("TESTO")),
              QStringLiteral("perché “sì” ") + QChar(0x81) + QChar(0x8D));

    ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("CITTA"), QStringLiteral("Forlì")));
    EXPECT_EQ(readBytes(path()), QByteArray("[MAIN]\r\n"
                                            "DESCRIZIONE=Attivit\xE0 \x80 5\r\n"
                                            "CITTA=Forl\xEC\r\n"
                                            "\r\n"
                                            "[NOTE]\r\n"
                                            "TESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n"));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("CITTA")), QStringLiteral("Forlì"));
}

TEST_F(IniFileTest, Utf8FileStaysUtf8)
{
    struct Case {
        const char *name;
        QByteArray head;
    };
    for (const Case &c : {Case{"no byte order mark", QByteArray()}, Case{"byte order mark", "\xEF\xBB\xBF"}}) {
        SCOPED_TRACE(c.name);
        const QByteArray body = "[MAIN]\nDESCRIZIONE=Attivit\xC3\xA0 \xE2\x82\xAC 5\n";
        ASSERT_TRUE(writeBytes(path(), c.head + body));
        const IniFile ini(path());
        EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Attività € 5"));
        ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("CITTA"), QStringLiteral("Forlì")));
        EXPECT_EQ(readBytes(path()), c.head + body + "CITTA=Forl\xC3\xAC\n");
    }
}

TEST_F(IniFileTest, GarbageFileReadsEmptyAndKeepsItsBytesOnWrite)
{
    QByteArray everyByte;
    for (int round = 0; round < 4; ++round)
        for (int b = 0; b < 256; ++b)
            everyByte.append(char(b));
    QByteArray longLines = "[MAIN]\n" + QByteArray(100000, 'x') + "\nNOTE=" + QByteArray(100000, 'y') + "\n" +
                           QByteArray(100000, '=') + "\n[" + QByteArray(100000, 'z') + "\n";
    struct Case {
        const char *name;
        QByteArray bytes;
    };
    const QList<Case> cases = {
        {"every byte value", everyByte + "\n"},
        {"random bytes", noise(64 * 1024, 7) + "\n"},
        {"random bytes without a final line end", noise(4096, 11)},
        {"100 000-character lines", longLines},
        {"NUL bytes only", QByteArray(5000, '\0')},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeBytes(path(), c.bytes));
        const IniFile ini(path());
        EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QString());
        ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
        const QByteArray after = readBytes(path());
        // Nothing of the old content is lost or changed; the key is added.
        const QByteArray kept = c.bytes.endsWith('\n') ? c.bytes : c.bytes.left(c.bytes.lastIndexOf('\n') + 1);
        EXPECT_TRUE(after.startsWith(kept));
        EXPECT_GT(after.size(), c.bytes.size());
        EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QStringLiteral("01"));
    }
    // The long value is read cut like any other.
    ASSERT_TRUE(writeBytes(path(), longLines));
    EXPECT_EQ(IniFile(path()).read(QStringLiteral("MAIN"), QStringLiteral("NOTE")), QString(254, u'y'));
}

TEST_F(IniFileTest, WriteWhereNoFileCanBeMadeFails)
{
    // The parent is a file, so not even root can create CONT.INI there.
    ASSERT_TRUE(writeBytes(path(QStringLiteral("afile")), "x"));
    const IniFile ini(path(QStringLiteral("afile/CONT.INI")));
    EXPECT_FALSE(ini.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QString());
    EXPECT_EQ(readBytes(path(QStringLiteral("afile"))), QByteArray("x"));
}

class SettingsTest : public IniFileTest
{
};

TEST_F(SettingsTest, ReadOrWritesTheDefaultBackWhenEmpty)
{
    struct Case {
        const char *name;
        QByteArray before;
        QString expected;
        QByteArray after;
    };
    const QList<Case> cases = {
        {"absent key", "[MAIN]\nSOCIETA=01\n", QStringLiteral("SERVIZI.MDB"),
         "[MAIN]\nSOCIETA=01\nDBSER=SERVIZI.MDB\n"},
        {"empty value", "[MAIN]\nDBSER=\n", QStringLiteral("SERVIZI.MDB"), "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {"NotFound", "[MAIN]\nDBSER=NotFound\n", QStringLiteral("SERVIZI.MDB"), "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {"missing file", QByteArray(), QStringLiteral("SERVIZI.MDB"), "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {"value present", "[MAIN]\ndbser = ALTRO.MDB \n", QStringLiteral("ALTRO.MDB"), "[MAIN]\ndbser = ALTRO.MDB \n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path());
        if (!c.before.isEmpty()) {
            ASSERT_TRUE(writeBytes(path(), c.before));
        }
        const Settings settings(path());
        EXPECT_EQ(settings.readOr(QStringLiteral("MAIN"), QStringLiteral("DBSER"), QStringLiteral("SERVIZI.MDB")),
                  c.expected);
        EXPECT_EQ(readBytes(path()), c.after);
    }
}

TEST_F(SettingsTest, WriteFailureIsReportedOnceWithThePath)
{
    ASSERT_TRUE(writeBytes(path(QStringLiteral("afile")), "x"));
    const QString target = path(QStringLiteral("afile/CONT.INI"));
    Settings settings(target);
    QStringList reported;
    settings.onWriteFailure([&reported](const QString &failed) { reported.append(failed); });
    EXPECT_FALSE(settings.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_FALSE(settings.write(QStringLiteral("MAIN"), QStringLiteral("ANNO"), QStringLiteral("2026")));
    EXPECT_EQ(settings.readOr(QStringLiteral("MAIN"), QStringLiteral("DBSER"), QStringLiteral("SERVIZI.MDB")),
              QStringLiteral("SERVIZI.MDB"));
    EXPECT_EQ(reported, QStringList{target});

    // A file that can be written reports nothing.
    Settings good(path());
    good.onWriteFailure([&reported](const QString &failed) { reported.append(failed); });
    EXPECT_TRUE(good.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_EQ(reported.size(), 1);
}

TEST(AsFolder, EndsWithOneSlash)
{
    struct Case {
        QString value;
        QString expected;
    };
    const QList<Case> cases = {
        {QString(), QString()},
        {QStringLiteral("/dati"), QStringLiteral("/dati/")},
        {QStringLiteral("/dati/"), QStringLiteral("/dati/")},
        {QStringLiteral("DATI"), QStringLiteral("DATI/")},
        {QStringLiteral("/"), QStringLiteral("/")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        EXPECT_EQ(asFolder(c.value), c.expected);
    }
}
