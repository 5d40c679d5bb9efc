#include "services/core/pgpass.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStringList>

namespace Orlavo::Services {

namespace {

// ':' and '\' are escaped with a backslash in every field.
QString escaped(QString field)
{
    field.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    field.replace(QLatin1Char(':'), QStringLiteral("\\:"));
    return field;
}

// The first four fields of a line, still escaped.
QString accountOf(const QString &line)
{
    int fields = 0;
    for (int i = 0; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('\\')) {
            ++i;
        } else if (line.at(i) == QLatin1Char(':') && ++fields == 4) {
            return line.left(i);
        }
    }
    return {};
}

} // namespace

QString pgPassFilePath()
{
    const QString set = qEnvironmentVariable("PGPASSFILE");
    return set.isEmpty() ? QDir::homePath() + QStringLiteral("/.pgpass") : set;
}

QString storePgPassword(const QString &host, int port, const QString &database, const QString &user,
                        const QString &password)
{
    const QString path = pgPassFilePath();
    const QString account = QStringList{escaped(host.trimmed().isEmpty() ? QStringLiteral("localhost") : host),
                                        QString::number(port), escaped(database), escaped(user)}
                                .join(QLatin1Char(':'));
    QStringList lines;
    QFile old(path);
    if (old.exists()) {
        if (!old.open(QIODevice::ReadOnly))
            return QStringLiteral("Il file %1 non si può leggere: %2").arg(path, old.errorString());
        for (const QString &line : QString::fromUtf8(old.readAll()).split(QLatin1Char('\n'))) {
            if (!line.isEmpty() && accountOf(line) != account)
                lines << line;
        }
    }
    lines << account + QLatin1Char(':') + escaped(password);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Il file %1 non si può scrivere: %2").arg(path, file.errorString());
    // Owner only before the password goes in.
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    if (!file.commit())
        return QStringLiteral("Il file %1 non si può scrivere: %2").arg(path, file.errorString());
    if (!QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner))
        return QStringLiteral("Il file %1 non si può riservare al suo proprietario.").arg(path);
    return {};
}

} // namespace Orlavo::Services
