#pragma once

#include "services/core/inifile.h"

#include <functional>

namespace Orlavo::Services {

// CONT.INI of the application folder. A write that fails is reported once,
// through the handler the application installs, naming the file.
class Settings
{
public:
    explicit Settings(const QString &path) : m_ini(path) {}

    const QString &path() const { return m_ini.path(); }

    QString read(const QString &section, const QString &key) const { return m_ini.read(section, key); }
    bool write(const QString &section, const QString &key, const QString &value) const;

    // The value, or the default written back when the key is empty.
    QString readOr(const QString &section, const QString &key, const QString &fallback) const;

    void onWriteFailure(std::function<void(const QString &path)> handler) { m_onFailure = std::move(handler); }

private:
    IniFile m_ini;
    std::function<void(const QString &)> m_onFailure;
    mutable bool m_failureShown = false;
};

// Why the settings file cannot be written, for the operator: the file
// when it is read-only, else its folder (missing, or closed to writing).
QString settingsWriteProblem(const QString &path);

// A folder setting always ends with "/"; an empty one stays empty.
QString asFolder(const QString &value);

} // namespace Orlavo::Services
