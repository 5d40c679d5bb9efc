#pragma once

#include <QString>

namespace Orlavo::Services {

// INI files read and written key by key, the way CONT.INI has always been
// handled: sections and keys without regard to case, blanks around "="
// ignored, values cut at 254 characters, absent keys (and the value
// "NotFound") read as empty, a missing file read as empty, other lines kept
// in place, keys never deleted. Writes go through a temporary file and a
// rename, so a crash never leaves half a file.
class IniFile
{
public:
    explicit IniFile(QString path) : m_path(std::move(path)) {}

    const QString &path() const { return m_path; }

    // ReadSetting: the value, or an empty text.
    QString read(const QString &section, const QString &key) const;
    // WriteSetting: false when the file cannot be written.
    bool write(const QString &section, const QString &key, const QString &value) const;

    static constexpr int kMaxValueLength = 254;

private:
    QString m_path;
};

// The file's text: UTF-8 when valid, else Windows-1252 (files written by
// older tools). Line ends are kept by the caller's split.
QString decodeSettingsText(const QByteArray &bytes);

} // namespace Orlavo::Services
