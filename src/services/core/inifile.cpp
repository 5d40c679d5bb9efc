#include "services/core/inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace Orlavo::Services {

namespace {

// Code points of bytes 0x80-0x9F in Windows-1252; 0 marks the five unused
// bytes, kept as their Latin-1 control character.
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0)
            text.append(QChar(kCp1252High[b - 0x80]));
        else
            text.append(QChar(b));
    }
    return text;
}

QByteArray encodeCp1252(const QString &text, bool *lossless)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    *lossless = true;
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            bytes.append(char(u));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == u)
                found = i;
        // The unused bytes were read as their control character.
        if (found < 0 && u >= 0x80 && u <= 0x9F && kCp1252High[u - 0x80] == 0)
            found = u - 0x80;
        if (found < 0) {
            *lossless = false;
            return {};
        }
        bytes.append(char(0x80 + found));
    }
    return bytes;
}

bool isUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

// Each line keeps its own "\r", so a write leaves every other line's bytes
// as they were, line end included.
struct Document {
    QStringList lines;
    bool crlf = false;
    bool cp1252 = false;
    bool bom = false;
    bool unterminated = false; // the last line has no line end
};

Document load(const QString &path)
{
    Document doc;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return doc;
    QByteArray bytes = file.readAll();
    doc.bom = bytes.startsWith("\xEF\xBB\xBF");
    if (doc.bom)
        bytes.remove(0, 3);
    doc.cp1252 = !isUtf8(bytes);
    const QString text = doc.cp1252 ? decodeCp1252(bytes) : QString::fromUtf8(bytes);
    doc.crlf = text.contains(QLatin1String("\r\n"));
    doc.lines = text.split(QLatin1Char('\n'));
    // A final line end leaves one empty piece that is not a line of its own.
    if (doc.lines.constLast().isEmpty())
        doc.lines.removeLast();
    else
        doc.unterminated = true;
    return doc;
}

// The section name of a "[name]" line, or a null text for other lines.
QString sectionOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return {};
    return trimmed.mid(1, close - 1).trimmed();
}

bool keyMatches(const QString &line, const QString &key, QString *value)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return false;
    if (line.left(eq).trimmed().compare(key.trimmed(), Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = line.mid(eq + 1).trimmed();
    return true;
}

// Finds the key inside the section: the line index of the key (or -1) and
// the range of the section's lines.
struct Place {
    qsizetype header = -1;
    qsizetype keyLine = -1;
    qsizetype lastContent = -1;
};

Place locate(const QStringList &lines, const QString &section, const QString &key, QString *value)
{
    Place place;
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString name = sectionOf(lines.at(i));
        if (!name.isNull()) {
            if (inside)
                break;
            if (name.compare(section.trimmed(), Qt::CaseInsensitive) == 0) {
                inside = true;
                place.header = i;
                place.lastContent = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!lines.at(i).trimmed().isEmpty())
            place.lastContent = i;
        if (place.keyLine < 0 && keyMatches(lines.at(i), key, value))
            place.keyLine = i;
    }
    return place;
}

} // namespace

QString decodeSettingsText(const QByteArray &bytes)
{
    return isUtf8(bytes) ? QString::fromUtf8(bytes) : decodeCp1252(bytes);
}

QString IniFile::read(const QString &section, const QString &key) const
{
    const Document doc = load(m_path);
    QString value;
    if (locate(doc.lines, section, key, &value).keyLine < 0)
        return {};
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))) {
        value = value.mid(1, value.size() - 2);
    }
    value.truncate(kMaxValueLength);
    if (value == QLatin1String("NotFound"))
        return {};
    return value;
}

bool IniFile::write(const QString &section, const QString &key, const QString &value) const
{
    // A file that is there but cannot be read must not be replaced by one key.
    if (QFile::exists(m_path) && !QFileInfo(m_path).isReadable())
        return false;
    // A line end inside a value would add lines of its own.
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return false;
    Document doc = load(m_path);
    // New lines take the file's line end.
    const QString cr = doc.crlf ? QStringLiteral("\r") : QString();
    if (doc.unterminated)
        doc.lines.last().append(cr);
    const QString entry = key + QLatin1Char('=') + value + cr;
    const Place place = locate(doc.lines, section, key, nullptr);
    if (place.keyLine >= 0) {
        const QString old = doc.lines.at(place.keyLine);
        doc.lines[place.keyLine] = old.left(old.indexOf(QLatin1Char('='))).trimmed() + QLatin1Char('=') + value +
                                   (old.endsWith(QLatin1Char('\r')) ? QStringLiteral("\r") : QString());
    } else if (place.header >= 0) {
        doc.lines.insert(place.lastContent + 1, entry);
    } else {
        if (!doc.lines.isEmpty() && !doc.lines.constLast().trimmed().isEmpty())
            doc.lines.append(cr);
        doc.lines.append(QLatin1Char('[') + section + QLatin1Char(']') + cr);
        doc.lines.append(entry);
    }

    const QString text = doc.lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
    QByteArray bytes;
    bool lossless = false;
    if (doc.cp1252)
        bytes = encodeCp1252(text, &lossless);
    if (!lossless)
        bytes = text.toUtf8();
    if (doc.bom)
        bytes.prepend("\xEF\xBB\xBF");

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size())
        return false;
    return file.commit();
}

} // namespace Orlavo::Services
