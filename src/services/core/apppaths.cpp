#include "services/core/apppaths.h"

#include "services/core/settings.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace Orlavo::Services {

namespace {

// The application folder's own folders, seeded with the shipped files.
constexpr const char *kFolders[] = {"BMP", "RPT", "RPTPERS", "IMAGE"};

void seed(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const char *sub : kFolders)
        QDir(to).mkpath(QString::fromLatin1(sub));
    if (from.isEmpty() || !QFileInfo(from).isDir())
        return;
    for (const char *sub : kFolders) {
        const QString folder = QDir(from).filePath(QString::fromLatin1(sub));
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString source = it.next();
            const QString target = QDir(to).filePath(QDir(from).relativeFilePath(source));
            if (QFileInfo::exists(target))
                continue;
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(source, target);
        }
    }
}

} // namespace

QString chooseApplicationFolder(const QString &envHome, const QString &exeFolder, const QString &userFolder,
                                const QString &sharedFolder)
{
    // The shipped pictures lie beside a built executable, or in the shared
    // folder of an installation.
    const QString shipped =
        QFileInfo(QDir(exeFolder).filePath(QStringLiteral("BMP"))).isDir() ? exeFolder : sharedFolder;
    if (!envHome.isEmpty()) {
        const QString home = QDir(envHome).absolutePath();
        if (home != QDir(exeFolder).absolutePath())
            seed(shipped, home);
        return asFolder(home);
    }
    if (QFileInfo(exeFolder).isWritable())
        return asFolder(exeFolder);
    seed(shipped, userFolder);
    return asFolder(userFolder);
}

QString applicationFolder()
{
    const QString exe = QCoreApplication::applicationDirPath();
    return chooseApplicationFolder(qEnvironmentVariable("ORLAVO_HOME"), exe,
                                   QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                                       QStringLiteral("/orlavo"),
                                   QDir(exe).absoluteFilePath(QStringLiteral("../share/orlavo")));
}

} // namespace Orlavo::Services
