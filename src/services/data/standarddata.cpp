#include "services/data/standarddata.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace Orlavo::Services::StandardData {

namespace {

QString standarddataFolderOf(SchemaKind kind)
{
    return kind == SchemaKind::Services ? QStringLiteral(":/schema/dati/servizi")
                                        : QStringLiteral(":/schema/dati/contab");
}

QString qualified(SchemaKind kind, const QString &table)
{
    return kind == SchemaKind::Services ? QString::fromLatin1(kServicesSchema) + QLatin1Char('.') + table : table;
}

// Keys compare as the archives do: blanks around and case ignored.
QString normalisedKey(const QStringList &parts)
{
    QStringList key;
    for (const QString &part : parts)
        key << part.trimmed().toUpper();
    return key.join(QChar(0x1F));
}

} // namespace

std::optional<Table> parse(const QString &name, const QString &text)
{
    Table table;
    table.name = name;
    bool header = true;
    for (const QString &raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char(';'));
        if (header) {
            for (qsizetype i = 0; i < fields.size(); ++i) {
                QString column = fields[i].trimmed();
                if (column.endsWith(QLatin1Char('*'))) {
                    column.chop(1);
                    table.key << int(i);
                }
                table.columns << column;
            }
            header = false;
            continue;
        }
        QStringList values;
        for (const QString &field : fields)
            values << field.trimmed();
        while (values.size() < table.columns.size())
            values << QString();
        table.rows << values.mid(0, table.columns.size());
    }
    if (table.columns.isEmpty() || table.key.isEmpty())
        return std::nullopt;
    return table;
}

QList<Table> tables(SchemaKind kind)
{
    QList<Table> found;
    const QDir folder(standarddataFolderOf(kind));
    for (const QString &file : folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name)) {
        QFile in(folder.filePath(file));
        if (!in.open(QIODevice::ReadOnly))
            continue;
        if (auto parsed = parse(QFileInfo(file).completeBaseName(), QString::fromUtf8(in.readAll())))
            found << *parsed;
    }
    return found;
}

std::optional<Table> table(SchemaKind kind, const QString &name)
{
    for (const Table &t : tables(kind)) {
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    }
    return std::nullopt;
}

bool apply(WriteUnit &unit, SchemaKind kind)
{
    const Target target = kind == SchemaKind::Services ? Target::Services : Target::Company;
    for (const Table &t : tables(kind)) {
        QStringList keyColumns;
        for (int position : t.key)
            keyColumns << t.columns[position];
        const QString name = qualified(kind, t.name);
        auto existing = unit.read(QStringLiteral("SELECT %1 FROM %2").arg(keyColumns.join(QStringLiteral(", ")), name),
                                  {}, kind == SchemaKind::Services ? Target::Services : Target::Company);
        if (!existing)
            return false;
        QSet<QString> present;
        for (const auto &row : *existing) {
            QStringList parts;
            for (qsizetype i = 0; i < keyColumns.size(); ++i)
                parts << row.at(int(i)).toString();
            present.insert(normalisedKey(parts));
        }
        const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                   .arg(name, t.columns.join(QStringLiteral(", ")),
                                        QStringList(t.columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
        const QString step = QStringLiteral("Dati standard ") + t.name;
        for (const QStringList &values : t.rows) {
            QStringList parts;
            for (int position : t.key)
                parts << values[position];
            const QString key = normalisedKey(parts);
            if (present.contains(key))
                continue;
            Params params;
            for (const QString &value : values)
                params << sqlText(value);
            if (!unit.exec(target, step, insert, params))
                return false;
            present.insert(key);
        }
    }
    return true;
}

} // namespace Orlavo::Services::StandardData
