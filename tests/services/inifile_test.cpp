#include "files.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

using namespace Orlavo::Services;

using Orlavo::Testing::readBytes;
using Orlavo::Testing::writeBytes;

class IniFileTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path(const QString &name = QStringLiteral("CONT.INI")) const { return dir.filePath(name); }
    // The file holds the bytes; a null array: there is no file.
    void holding(const QByteArray &bytes)
    {
        QFile::remove(path());
        if (!bytes.isNull()) {
            ASSERT_TRUE(writeBytes(path(), bytes));
        }
    }

    QTemporaryDir dir;
};

TEST_F(IniFileTest, ReadsValuesAsTheFileHoldsThem)
{
    const std::tuple<QByteArray, const char *, const char *> cases[] = {
        // clang-format off
        {"[MAIN]\nSOCIETA=01\n", "SOCIETA", "01"}, {"[Main]\nsocieta=01\n", "SoCiEtA", "01"},
        {"[MAIN]\n   SOCIETA   =   01   \n", "SOCIETA", "01"}, {"[ MAIN ]\nSOCIETA=01\n", "SOCIETA", "01"},
        {"[MAIN]\nANNO=2026\n", "SOCIETA", ""}, {"[MAIN]\nSOCIETA=NotFound\n", "SOCIETA", ""},
        {"[ALTRO]\nSOCIETA=02\n", "SOCIETA", ""}, {"SOCIETA=03\n[MAIN]\nANNO=2026\n", "SOCIETA", ""},
        {"[ALTRO]\nSOCIETA=02\n[MAIN]\nSOCIETA=01\n", "SOCIETA", "01"},
        {"[MAIN]\nANNO=2026\n[ALTRO]\nSOCIETA=02\n", "SOCIETA", ""},
        {"; SOCIETA=09\n[MAIN]\n;SOCIETA=08\nSOCIETA=01\n", "SOCIETA", "01"},
        {"[MAIN]\nSOCIETA=01\nSOCIETA=02\n", "SOCIETA", "01"}, {"[MAIN]\nSOCIETA=\"01\"\n", "SOCIETA", "01"},
        {"[MAIN]\r\nANNO=2026\r\nSOCIETA=01", "SOCIETA", "01"}, {"[MAIN]\nNOTE=a=b\n", "NOTE", "a=b"},
        {"[MAIN]\nPATHDB=/dati/contabilit\xC3\xA0/\n", "PATHDB", "/dati/contabilità/"},
        {"\xEF\xBB\xBF[MAIN]\nSOCIETA=01\n", "SOCIETA", "01"},
        {"[MAIN]\nNOTE=Attivit\xE0 \x80 5 perch\xE9\n", "NOTE", "Attività € 5 perché"},
        {QByteArray(), "SOCIETA", ""},
        // clang-format on
    };
    for (const auto &[bytes, key, expected] : cases) {
        holding(bytes);
        EXPECT_EQ(IniFile(path()).read(QStringLiteral("MAIN"), QLatin1String(key)), QString::fromUtf8(expected))
            << bytes.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFileTest, LongValueReadsBackCutTo254Characters)
{
    QString value;
    for (int i = 0; i < 300; ++i)
        value.append(QChar(u'a' + i % 26));
    const IniFile ini(path());
    ASSERT_TRUE(ini.write(QStringLiteral("MAIN"), QStringLiteral("NOTE"), value));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("NOTE")), value.left(254));
    // The file itself keeps what was written.
    EXPECT_TRUE(readBytes(path()).contains(value.toUtf8()));
}

// A write changes its own line only: every other byte, line ends and
// encoding included, stays as it was.
// A write changes its own line only: every other byte, line ends and
// encoding included, stays as it was.
TEST_F(IniFileTest, WriteChangesOnlyItsOwnLine)
{
    const QByteArray file =
        "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=1\n\n";
    const QByteArray utf8 = "[MAIN]\nDESCRIZIONE=Attivit\xC3\xA0 \xE2\x82\xAC 5\n";
    const QByteArray bom = "\xEF\xBB\xBF";
    const std::tuple<QByteArray, const char *, const char *, const char *, QByteArray> cases[] = {
        // clang-format off
        {file, "MAIN", "SOCIETA", "02",
         "; impostazioni\n[MAIN]\nSOCIETA=02\n; anno in corso\n  anno = 2025  \n\n[STAMPE]\nANNO=1\n\n"},
        {file, "main", "ANNO", "2026",
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\nanno=2026\n\n[STAMPE]\nANNO=1\n\n"},
        {file, "MAIN", "PATHDB", "/dati/",
         "; impostazioni\n[MAIN]\nSOCIETA=01\n; anno in corso\n  anno = 2025  \nPATHDB=/dati/\n\n[STAMPE]\nANNO=1\n\n"},
        {file, "UTENTE", "NOME", "ADMIN", file + "[UTENTE]\nNOME=ADMIN\n"},
        {"[MAIN]\nSOCIETA=01\n", "UTENTE", "NOME", "ADMIN", "[MAIN]\nSOCIETA=01\n\n[UTENTE]\nNOME=ADMIN\n"},
        {QByteArray(), "MAIN", "SOCIETA", "01", "[MAIN]\nSOCIETA=01\n"},
        {"[MAIN]\nSOCIETA=01", "MAIN", "ANNO", "2026", "[MAIN]\nSOCIETA=01\nANNO=2026\n"},
        {"[MAIN]\r\nSOCIETA=01\r\nANNO=2025\r\n", "MAIN", "ANNO", "2026", "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n"},
        {"[MAIN]\r\nSOCIETA=01\r\n\r\n[ALTRO]\r\nX=1\r\n", "MAIN", "ANNO", "2026",
         "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n\r\n[ALTRO]\r\nX=1\r\n"},
        {"[MAIN]\r\nSOCIETA=01", "MAIN", "ANNO", "2026", "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n"},
        // A file edited by two tools: each line keeps its own end.
        {"[MAIN]\r\nSOCIETA=01\nANNO=2025\r\n[ALTRO]\nX=1\n", "MAIN", "ANNO", "2026",
         "[MAIN]\r\nSOCIETA=01\nANNO=2026\r\n[ALTRO]\nX=1\n"},
        {"[MAIN]\r\nDESCRIZIONE=Attivit\xE0 \x80 5\r\n\r\n[NOTE]\r\nTESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n", "MAIN",
         "CITTA", "Forlì",
         "[MAIN]\r\nDESCRIZIONE=Attivit\xE0 \x80 5\r\nCITTA=Forl\xEC\r\n\r\n"
         "[NOTE]\r\nTESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n"},
        {utf8, "MAIN", "CITTA", "Forlì", utf8 + "CITTA=Forl\xC3\xAC\n"},
        {bom + utf8, "MAIN", "CITTA", "Forlì", bom + utf8 + "CITTA=Forl\xC3\xAC\n"},
        // clang-format on
    };
    for (const auto &[before, section, key, value, after] : cases) {
        SCOPED_TRACE(before.toStdString());
        holding(before);
        const IniFile ini(path());
        ASSERT_TRUE(ini.write(QLatin1String(section), QLatin1String(key), QString::fromUtf8(value)));
        EXPECT_EQ(readBytes(path()), after);
        EXPECT_EQ(ini.read(QLatin1String(section), QLatin1String(key)), QString::fromUtf8(value));
        EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("DESCRIZIONE")),
                  before.contains("DESCRIZIONE") ? QStringLiteral("Attività € 5") : QString());
    }
}

// The parent is a file, so not even root can create CONT.INI there: the
// write fails, the file stays, and the settings report it once.
TEST_F(IniFileTest, WriteWhereNoFileCanBeMadeFails)
{
    ASSERT_TRUE(writeBytes(path(QStringLiteral("afile")), "x"));
    const QString target = path(QStringLiteral("afile/CONT.INI"));
    const IniFile ini(target);
    EXPECT_FALSE(ini.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_EQ(ini.read(QStringLiteral("MAIN"), QStringLiteral("SOCIETA")), QString());
    EXPECT_EQ(readBytes(path(QStringLiteral("afile"))), QByteArray("x"));

    QStringList reported;
    const auto report = [&reported](const QString &failed) { reported.append(failed); };
    Settings settings(target);
    settings.onWriteFailure(report);
    EXPECT_FALSE(settings.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_FALSE(settings.write(QStringLiteral("MAIN"), QStringLiteral("ANNO"), QStringLiteral("2026")));
    EXPECT_EQ(settings.readOr(QStringLiteral("MAIN"), QStringLiteral("DBSER"), QStringLiteral("SERVIZI.MDB")),
              QStringLiteral("SERVIZI.MDB"));
    EXPECT_EQ(reported, QStringList{target});
    // A file that can be written reports nothing.
    Settings good(path());
    good.onWriteFailure(report);
    EXPECT_TRUE(good.write(QStringLiteral("MAIN"), QStringLiteral("SOCIETA"), QStringLiteral("01")));
    EXPECT_EQ(reported.size(), 1);
}

TEST_F(IniFileTest, SettingsReadOrWritesTheDefaultBackWhenEmpty)
{
    const std::tuple<QByteArray, const char *, QByteArray> cases[] = {
        // clang-format off
        {"[MAIN]\nSOCIETA=01\n", "SERVIZI.MDB", "[MAIN]\nSOCIETA=01\nDBSER=SERVIZI.MDB\n"},
        {"[MAIN]\nDBSER=\n", "SERVIZI.MDB", "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {"[MAIN]\nDBSER=NotFound\n", "SERVIZI.MDB", "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {QByteArray(), "SERVIZI.MDB", "[MAIN]\nDBSER=SERVIZI.MDB\n"},
        {"[MAIN]\ndbser = ALTRO.MDB \n", "ALTRO.MDB", "[MAIN]\ndbser = ALTRO.MDB \n"},
        // clang-format on
    };
    for (const auto &[before, expected, after] : cases) {
        holding(before);
        EXPECT_EQ(
            Settings(path()).readOr(QStringLiteral("MAIN"), QStringLiteral("DBSER"), QStringLiteral("SERVIZI.MDB")),
            QLatin1String(expected));
        EXPECT_EQ(readBytes(path()), after);
    }
}

TEST(AsFolder, EndsWithOneSlash)
{
    const std::pair<const char *, const char *> cases[] = {
        {"", ""}, {"/dati", "/dati/"}, {"/dati/", "/dati/"}, {"DATI", "DATI/"}, {"/", "/"}};
    for (const auto &[value, expected] : cases)
        EXPECT_EQ(asFolder(QLatin1String(value)), QLatin1String(expected)) << value;
}
