#include "files.h"
#include "services/core/apppaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo::Services;
using Orlavo::Testing::readBytes;
using Orlavo::Testing::writeBytes;

class ApplicationFolder : public ::testing::Test
{
protected:
    QString at(const char *relative) const { return root.filePath(QString::fromLatin1(relative)); }
    QTemporaryDir root;
};

TEST_F(ApplicationFolder, EnvironmentWinsAndIsSeededFromTheBuild)
{
    const QString exe = at("bin"), home = at("casa");
    ASSERT_TRUE(writeBytes(exe + QStringLiteral("/BMP/sfondo2.bmp"), "immagine"));
    ASSERT_TRUE(writeBytes(exe + QStringLiteral("/CONT.INI"), "[MAIN]\nSOCIETA=99\n"));
    EXPECT_EQ(chooseApplicationFolder(home, exe, at("utente"), QString()), home + QLatin1Char('/'));
    EXPECT_EQ(readBytes(home + QStringLiteral("/BMP/sfondo2.bmp")), QByteArray("immagine"));
    // Only the shipped folders travel: never another installation's settings.
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/CONT.INI")));

    // A file already there is the user's own and stays.
    ASSERT_TRUE(writeBytes(home + QStringLiteral("/BMP/sfondo2.bmp"), "personale"));
    chooseApplicationFolder(home, exe, QString(), QString());
    EXPECT_EQ(readBytes(home + QStringLiteral("/BMP/sfondo2.bmp")), QByteArray("personale"));
}

// A writable executable folder is the application folder; an installed copy,
// whose executable folder cannot be written (here: not there at all), uses a
// user folder seeded from the shared files.
TEST_F(ApplicationFolder, WritableExecutableFolderElseAUserFolderSeededFromTheSharedFiles)
{
    ASSERT_TRUE(QDir().mkpath(at("bin")));
    EXPECT_EQ(chooseApplicationFolder(QString(), at("bin"), at("utente"), QString()), at("bin") + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(at("utente")));
    ASSERT_TRUE(writeBytes(at("share/orlavo/BMP/ICON3.ICO"), "icona"));
    const QString user = at("utente/orlavo");
    EXPECT_EQ(chooseApplicationFolder(QString(), at("usr/bin"), user, at("share/orlavo")), user + QLatin1Char('/'));
    EXPECT_EQ(readBytes(user + QStringLiteral("/BMP/ICON3.ICO")), QByteArray("icona"));
}
