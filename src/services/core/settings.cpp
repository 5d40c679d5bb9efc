#include "services/core/settings.h"

#include <QDir>
#include <QFileInfo>

namespace Orlavo::Services {

QString settingsWriteProblem(const QString &path)
{
    const QFileInfo file(path);
    const QFileInfo folder(file.absolutePath());
    // Permission bits, not access(): the answer is the same for every user.
    if (file.exists() && !(file.permissions() & QFile::WriteOwner))
        return QStringLiteral("Il file di configurazione %1 è di sola lettura: toglierne la protezione e riprovare.")
            .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
    if (!folder.isDir())
        return QStringLiteral("La cartella %1 del file di configurazione non esiste.")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    if (!(folder.permissions() & QFile::WriteOwner))
        return QStringLiteral("Nella cartella %1 non si può scrivere il file di configurazione: "
                              "controllare i permessi della cartella.")
            .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
    return QStringLiteral("Impossibile scrivere il file di configurazione %1.")
        .arg(QDir::toNativeSeparators(file.absoluteFilePath()));
}

bool Settings::write(const QString &section, const QString &key, const QString &value) const
{
    if (m_ini.write(section, key, value))
        return true;
    // One message per run: start-up writes many defaults in a row.
    if (m_onFailure && !m_failureShown) {
        m_failureShown = true;
        m_onFailure(m_ini.path());
    }
    return false;
}

QString Settings::readOr(const QString &section, const QString &key, const QString &fallback) const
{
    const QString value = read(section, key);
    if (!value.isEmpty())
        return value;
    write(section, key, fallback);
    return fallback;
}

QString asFolder(const QString &value)
{
    if (value.isEmpty() || value.endsWith(QLatin1Char('/')))
        return value;
    return value + QLatin1Char('/');
}

} // namespace Orlavo::Services
