#include "services/core/settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using Orlavo::Services::settingsWriteProblem;

TEST(SettingsWriteProblem, NamesTheFileOrTheFolderThatStopsTheWrite)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString closed = dir.filePath(QStringLiteral("chiusa"));
    ASSERT_TRUE(QDir().mkpath(closed));
    const QString readOnly = dir.filePath(QStringLiteral("CONT.INI"));
    {
        QFile file(readOnly);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    ASSERT_TRUE(QFile::setPermissions(closed, QFile::ReadOwner | QFile::ExeOwner));

    const struct {
        QString path, message;
    } cases[] = {
        {readOnly, QStringLiteral("Il file di configurazione %1 è di sola lettura: toglierne la protezione e riprovare.")
                       .arg(readOnly)},
        {closed + QStringLiteral("/CONT.INI"),
         QStringLiteral("Nella cartella %1 non si può scrivere il file di configurazione: "
                        "controllare i permessi della cartella.")
             .arg(closed)},
        {dir.filePath(QStringLiteral("manca/CONT.INI")),
         QStringLiteral("La cartella %1 del file di configurazione non esiste.").arg(dir.filePath(QStringLiteral("manca")))},
        // A file standing where the folder should be is no folder either.
        {readOnly + QStringLiteral("/CONT.INI"),
         QStringLiteral("La cartella %1 del file di configurazione non esiste.").arg(readOnly)},
        {dir.filePath(QStringLiteral("nuovo.ini")),
         QStringLiteral("Impossibile scrivere il file di configurazione %1.").arg(dir.filePath(QStringLiteral("nuovo.ini")))},
    };
    for (const auto &c : cases)
        EXPECT_EQ(settingsWriteProblem(c.path), c.message) << c.path.toStdString();
    QFile::setPermissions(closed, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
