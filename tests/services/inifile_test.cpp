#include "files.h"
#include "services/core/inifile.h"
#include "services/core/settings.h"

#include <QByteArray>
#include <QDir>
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
    QString path(const char *name = "CONT.INI") const { return dir.filePath(QString::fromLatin1(name)); }
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
        {"[Main]\nsocieta=01\n", "SoCiEtA", "01"}, {"[ MAIN ]\n   SOCIETA   =   01   \n", "SOCIETA", "01"},
        {"[MAIN]\nSOCIETA=NotFound\n", "SOCIETA", ""}, {"SOCIETA=03\n[MAIN]\nANNO=2026\n", "SOCIETA", ""},
        {"[MAIN]\nANNO=2026\n[ALTRO]\nSOCIETA=02\n", "SOCIETA", ""},
        {"[MAIN]\n;SOCIETA=08\nSOCIETA=01\nSOCIETA=02\n", "SOCIETA", "01"}, {"[MAIN]\nSOCIETA=\"01\"\n", "SOCIETA", "01"},
        {"[MAIN]\r\nANNO=2026\r\nSOCIETA=01", "SOCIETA", "01"}, {"[MAIN]\nNOTE=a=b\n", "NOTE", "a=b"},
        {"\xEF\xBB\xBF[MAIN]\nPATHDB=/dati/contabilit\xC3\xA0/\n", "PATHDB", "/dati/contabilità/"},
        {"[MAIN]\nNOTE=Attivit\xE0 \x80 5 perch\xE9\n", "NOTE", "Attività € 5 perché"}, {QByteArray(), "SOCIETA", ""},
        // clang-format on
    };
    for (const auto &[bytes, key, expected] : cases) {
        holding(bytes);
        EXPECT_EQ(IniFile(path()).read("MAIN", QLatin1String(key)), QString::fromUtf8(expected)) << bytes.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path()));
}

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
        {"[MAIN]\nSOCIETA=01\n", "UTENTE", "NOME", "ADMIN", "[MAIN]\nSOCIETA=01\n\n[UTENTE]\nNOME=ADMIN\n"},
        {QByteArray(), "MAIN", "SOCIETA", "01", "[MAIN]\nSOCIETA=01\n"},
        {"[MAIN]\r\nSOCIETA=01", "MAIN", "ANNO", "2026", "[MAIN]\r\nSOCIETA=01\r\nANNO=2026\r\n"},
        // A file edited by two tools: each line keeps its own end.
        {"[MAIN]\r\nSOCIETA=01\nANNO=2025\r\n[ALTRO]\nX=1\n", "MAIN", "ANNO", "2026",
         "[MAIN]\r\nSOCIETA=01\nANNO=2026\r\n[ALTRO]\nX=1\n"},
        {"[MAIN]\r\nDESCRIZIONE=Attivit\xE0 \x80 5\r\n\r\n[NOTE]\r\nTESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n", "MAIN",
         "CITTA", "Forlì",
         "[MAIN]\r\nDESCRIZIONE=Attivit\xE0 \x80 5\r\nCITTA=Forl\xEC\r\n\r\n"
         "[NOTE]\r\nTESTO=perch\xE9 \x93s\xEC\x94 \x81\x8D\r\n"},
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
        EXPECT_EQ(ini.read("MAIN", "DESCRIZIONE"), before.contains("DESCRIZIONE") ? "Attività € 5" : QString());
    }
}

// A failed write names what stops it. Where the parent is a file not even
// root can create CONT.INI: the write fails, the file stays, and the
// settings report it once.
TEST_F(IniFileTest, AFailedWriteIsReportedOnceNamingTheFileOrTheFolderThatStopsIt)
{
    ASSERT_TRUE(writeBytes(path("afile"), "x"));
    const QString target = path("afile/CONT.INI");
    EXPECT_FALSE(IniFile(target).write("MAIN", "SOCIETA", "01"));
    EXPECT_EQ(readBytes(path("afile")), QByteArray("x"));

    QStringList reported;
    const auto report = [&reported](const QString &failed) { reported.append(failed); };
    Settings settings(target), good(path());
    settings.onWriteFailure(report);
    good.onWriteFailure(report);
    EXPECT_FALSE(settings.write("MAIN", "SOCIETA", "01"));
    EXPECT_FALSE(settings.write("MAIN", "ANNO", "2026"));
    EXPECT_EQ(settings.readOr("MAIN", "DBSER", "SERVIZI.MDB"), "SERVIZI.MDB");
    // A file that can be written reports nothing.
    EXPECT_TRUE(good.write("MAIN", "SOCIETA", "01"));
    EXPECT_EQ(reported, QStringList{target});

    const QString closed = path("chiusa"), readOnly = path();
    ASSERT_TRUE(QDir().mkpath(closed) && writeBytes(readOnly, ""));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(closed, QFile::ReadOwner | QFile::ExeOwner));
    const std::pair<QString, QString> cases[] = {
        {readOnly,
         "Il file di configurazione " + readOnly + " è di sola lettura: toglierne la protezione e riprovare."},
        {closed + "/CONT.INI", "Nella cartella " + closed +
                                   " non si può scrivere il file di configurazione: "
                                   "controllare i permessi della cartella."},
        {target, "La cartella " + path("afile") + " del file di configurazione non esiste."},
        {path("nuovo.ini"), "Impossibile scrivere il file di configurazione " + path("nuovo.ini") + "."},
    };
    for (const auto &[file, message] : cases)
        EXPECT_EQ(settingsWriteProblem(file), message) << file.toStdString();
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// An empty value is replaced by the default, written back; a value stays.
TEST_F(IniFileTest, SettingsReadOrWritesTheDefaultBackWhenEmpty)
{
    for (const auto &[before, expected, after] :
         {std::tuple{"[MAIN]\nDBSER=\n", "SERVIZI.MDB", "[MAIN]\nDBSER=SERVIZI.MDB\n"},
          std::tuple{"[MAIN]\ndbser = ALTRO.MDB \n", "ALTRO.MDB", "[MAIN]\ndbser = ALTRO.MDB \n"}}) {
        holding(before);
        EXPECT_EQ(Settings(path()).readOr("MAIN", "DBSER", "SERVIZI.MDB"), QLatin1String(expected));
        EXPECT_EQ(readBytes(path()), after);
    }
}
