#include "services/core/settings.h"

namespace Orlavo::Services {

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
