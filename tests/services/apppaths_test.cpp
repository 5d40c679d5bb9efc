#include "services/core/apppaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Orlavo::Services;

namespace {

void makeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(ApplicationFolder, EnvironmentWinsAndIsSeededFromTheBuild)
{
    QTemporaryDir root;
    const QString exe = root.filePath(QStringLiteral("bin"));
    makeFile(exe + QStringLiteral("/BMP/sfondo2.bmp"), "immagine");
    makeFile(exe + QStringLiteral("/CONT.INI"), "[MAIN]\nSOCIETA=99\n");
    const QString home = root.filePath(QStringLiteral("casa"));

    EXPECT_EQ(chooseApplicationFolder(home, exe, root.filePath(QStringLiteral("utente")), QString()),
              home + QLatin1Char('/'));
    EXPECT_EQ(contentOf(home + QStringLiteral("/BMP/sfondo2.bmp")), QByteArray("immagine"));
    for (const char *folder : {"RPT", "RPTPERS", "IMAGE"})
        EXPECT_TRUE(QDir(home).exists(QString::fromLatin1(folder))) << folder;
    // Only the shipped folders travel: never another installation's settings.
    EXPECT_FALSE(QFile::exists(home + QStringLiteral("/CONT.INI")));

    // A file already there is the user's own and stays.
    makeFile(home + QStringLiteral("/BMP/sfondo2.bmp"), "personale");
    chooseApplicationFolder(home, exe, QString(), QString());
    EXPECT_EQ(contentOf(home + QStringLiteral("/BMP/sfondo2.bmp")), QByteArray("personale"));
}

TEST(ApplicationFolder, WritableExecutableFolderIsTheApplicationFolder)
{
    QTemporaryDir root;
    const QString exe = root.filePath(QStringLiteral("bin"));
    QDir().mkpath(exe);
    const QString user = root.filePath(QStringLiteral("utente"));
    EXPECT_EQ(chooseApplicationFolder(QString(), exe, user, QString()), exe + QLatin1Char('/'));
    EXPECT_FALSE(QFileInfo::exists(user));
}

TEST(ApplicationFolder, InstalledCopyUsesAUserFolderSeededFromTheSharedFiles)
{
    QTemporaryDir root;
    const QString shared = root.filePath(QStringLiteral("share/orlavo"));
    makeFile(shared + QStringLiteral("/BMP/ICON3.ICO"), "icona");
    const QString user = root.filePath(QStringLiteral("utente/orlavo"));
    // An executable folder that cannot be written (here: not there at all).
    const QString exe = root.filePath(QStringLiteral("usr/bin"));
    EXPECT_EQ(chooseApplicationFolder(QString(), exe, user, shared), user + QLatin1Char('/'));
    EXPECT_EQ(contentOf(user + QStringLiteral("/BMP/ICON3.ICO")), QByteArray("icona"));
}
