#include "masterdata/stores/tableimport.h"

#include "services/core/inifile.h"
#include "services/core/tablenames.h"
#include "services/data/writeunit.h"

#include <QFile>
#include <QStringDecoder>

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Failure;
using Services::Outcome;
using Services::Params;
using Services::Recordset;
using Services::Target;
namespace Tables = Services::Tables;

namespace {

constexpr char kImportWhere[] = "Importa tabella";
constexpr char kTableimportStep[] = "Importa %1 riga %2";
constexpr char kCannotRead[] = "Impossibile leggere il file %1";

constexpr char kFieldCount[] = "numero di campi errato (%1 invece di %2)";
constexpr char kEmptyKey[] = "chiave vuota";
constexpr char kPostalCode[] = "C.A.P. non di cinque cifre";
constexpr char kBankCode[] = "A.B.I. non di cinque cifre";
constexpr char kBranchCode[] = "C.A.B. non di cinque cifre";
constexpr char kUnknownProvince[] = "provincia sconosciuta: %1";
constexpr char kUnknownBank[] = "A.B.I. sconosciuto: %1";
constexpr char kTooLong[] = "campo troppo lungo: %1";
constexpr char kRepeated[] = "riga ripetuta nel file";

// The separator is guessed on this many lines at the start of the file.
constexpr int kSampleLines = 20;
// Progress is told every so many rows.
constexpr int kProgressEvery = 100;

// What a field must hold besides fitting its width.
enum class ImportCheck { None, PostalCode, BankCode, KnownBank, BranchCode, Province };

struct KindRules {
    ImportLayout layout;
    QList<ImportCheck> checks;
};

ImportColumn text(const char *name, int width)
{
    return {QString::fromLatin1(name), width, false};
}

ImportColumn code(const char *name, int width)
{
    return {QString::fromLatin1(name), width, true};
}

const KindRules &rulesOf(ImportKind kind)
{
    static const QList<KindRules> all = [] {
        using C = ImportCheck;
        return QList<KindRules>{
            {{ImportKind::PostalCodes,
              Tables::TAB_CAP,
              QStringLiteral("C.A.P."),
              Target::Company,
              {code("CAP", 5), text("CITTA", 40), code("PROVINCIA", 2)},
              {0, 1, 2}},
             {C::PostalCode, C::None, C::Province}},
            {{ImportKind::BankBranches,
              Tables::TAB_CAB,
              QStringLiteral("Sportelli bancari (C.A.B.)"),
              Target::Company,
              {code("ABI", 5), code("CAB", 5), text("BANCA", 50), text("INDIRI", 50), text("CITTA", 40), code("CAP", 5),
               code("PROV", 2)},
              {0, 1}},
             {C::KnownBank, C::BranchCode, C::None, C::None, C::None, C::PostalCode, C::Province}},
            {{ImportKind::Banks,
              Tables::TAB_ABI,
              QStringLiteral("Coordinate Bancarie (A.B.I.)"),
              Target::Services,
              {code("CODICE", 5), text("DESCRIZIONE", 50)},
              {0}},
             {C::BankCode, C::None}},
            {{ImportKind::Countries,
              Tables::TAB_PAESI,
              QStringLiteral("Paesi"),
              Target::Company,
              {code("PAESE", 3), code("COD_ISO", 2), text("DESCRIZIONE", 40)},
              {0}},
             {C::None, C::None, C::None}},
        };
    }();
    return all[int(kind)];
}

// Keys compare without regard to case or surrounding blanks.
QString tableimportKeyOf(const ImportLayout &layout, const QStringList &values)
{
    QString key;
    for (int position : layout.key) {
        key += values[position].trimmed().toUpper();
        key += QChar(0x1F);
    }
    return key;
}

bool sameValues(const QStringList &stored, const QStringList &values)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (stored[i].trimmed() != values[i])
            return false;
    }
    return true;
}

bool fiveDigits(const QString &value)
{
    if (value.size() != 5)
        return false;
    for (const QChar c : value) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// Why a well-formed line cannot be stored; empty when it can.
QString fieldProblem(const KindRules &kind, const QStringList &values, const ImportReference &reference)
{
    for (qsizetype i = 0; i < values.size(); ++i) {
        const QString &value = values[i];
        // Fields outside the key may stay empty.
        if (value.isEmpty())
            continue;
        switch (kind.checks[i]) {
        case ImportCheck::PostalCode:
            if (!fiveDigits(value))
                return QString::fromUtf8(kPostalCode);
            break;
        case ImportCheck::BankCode:
        case ImportCheck::KnownBank:
            if (!fiveDigits(value))
                return QString::fromUtf8(kBankCode);
            if (kind.checks[i] == ImportCheck::KnownBank && !reference.banks.contains(value))
                return QString::fromUtf8(kUnknownBank).arg(value);
            break;
        case ImportCheck::BranchCode:
            if (!fiveDigits(value))
                return QString::fromUtf8(kBranchCode);
            break;
        case ImportCheck::Province:
            if (!reference.provinces.contains(value))
                return QString::fromUtf8(kUnknownProvince).arg(value);
            break;
        case ImportCheck::None: break;
        }
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        const ImportColumn &column = kind.layout.columns[i];
        if (values[i].size() > column.width)
            return QString::fromUtf8(kTooLong).arg(column.name);
    }
    return {};
}

// Column names match a header line whatever their case and blanks.
QString headerName(const QString &name)
{
    QString bare;
    for (const QChar c : name) {
        if (!c.isSpace())
            bare += c.toUpper();
    }
    return bare;
}

bool isHeader(const QStringList &fields, const QStringList &columns)
{
    if (fields.size() != columns.size())
        return false;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (headerName(fields[i]) != headerName(columns[i]))
            return false;
    }
    return true;
}

bool validUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString ignored = decoder.decode(bytes);
    return !decoder.hasError();
}

QString bareName(const QString &table)
{
    return table.section(QLatin1Char('.'), -1);
}

using Reader = std::function<Outcome<Recordset>(const QString &sql, Target target)>;

Outcome<QSet<QString>> readCodes(const Reader &read, const QString &table)
{
    auto rows = read(QStringLiteral("SELECT CODICE FROM %1").arg(table), Target::Services);
    if (!rows)
        return rows.failure();
    QSet<QString> codes;
    codes.reserve(rows->size());
    for (const auto &row : *rows)
        codes.insert(row.at(0).toString().trimmed().toUpper());
    return codes;
}

Outcome<ImportReference> readReference(const Reader &read, ImportKind kind)
{
    const ImportLayout &layout = importLayout(kind);
    ImportReference reference;
    const QString select =
        QStringLiteral("SELECT %1 FROM %2").arg(layout.columnNames().join(QStringLiteral(", ")), layout.table);
    auto rows = read(select, layout.target);
    if (!rows)
        return rows.failure();
    const int width = int(layout.columns.size());
    reference.rows.reserve(rows->size());
    for (const auto &row : *rows) {
        QStringList values;
        values.reserve(width);
        for (int i = 0; i < width; ++i)
            values << row.at(i).toString();
        reference.addRow(layout, values);
    }
    if (kind == ImportKind::PostalCodes || kind == ImportKind::BankBranches) {
        auto provinces = readCodes(read, Tables::TAB_PROV);
        if (!provinces)
            return provinces.failure();
        reference.provinces = std::move(*provinces);
    }
    if (kind == ImportKind::BankBranches) {
        auto banks = readCodes(read, Tables::TAB_ABI);
        if (!banks)
            return banks.failure();
        reference.banks = std::move(*banks);
    }
    return reference;
}

} // namespace

QStringList ImportLayout::columnNames() const
{
    QStringList names;
    for (const ImportColumn &column : columns)
        names << column.name;
    return names;
}

const ImportLayout &importLayout(ImportKind kind)
{
    return rulesOf(kind).layout;
}

void ImportReference::addRow(const ImportLayout &layout, const QStringList &values)
{
    rows.insert(tableimportKeyOf(layout, values), values);
}

QStringList splitImportLine(const QString &line, QChar separator)
{
    QStringList fields;
    QString field;
    bool inQuotes = false;
    bool quoted = false;
    const qsizetype size = line.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = line[i];
        if (inQuotes) {
            if (c != QLatin1Char('"'))
                field += c;
            else if (i + 1 < size && line[i + 1] == QLatin1Char('"'))
                field += line[++i];
            else
                inQuotes = false;
        } else if (c == separator) {
            fields << field.trimmed();
            field.clear();
            quoted = false;
        } else if (c == QLatin1Char('"') && !quoted && field.trimmed().isEmpty()) {
            // Only a quote opening the field encloses it; others are text.
            inQuotes = true;
            quoted = true;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field.trimmed();
    return fields;
}

ImportText readImportText(const QByteArray &bytes, const QStringList &columns)
{
    ImportText result;
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    result.utf8 = validUtf8(data);
    const QString text = result.utf8 ? QString::fromUtf8(data) : Services::decodeSettingsText(data);

    struct Raw {
        int number;
        QString text;
    };
    QList<Raw> lines;
    int number = 0;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        ++number;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!line.trimmed().isEmpty())
            lines.append({number, line.toString()});
    }

    const QList<QChar> candidates = {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(',')};
    int best = -1;
    for (const QChar separator : candidates) {
        int matching = 0;
        for (qsizetype i = 0; i < lines.size() && i < kSampleLines; ++i) {
            if (splitImportLine(lines[i].text, separator).size() == columns.size())
                ++matching;
        }
        if (matching > best) {
            best = matching;
            result.separator = separator;
        }
    }

    result.lines.reserve(lines.size());
    for (const Raw &line : lines) {
        QStringList fields = splitImportLine(line.text, result.separator);
        if (result.lines.isEmpty() && !result.header && isHeader(fields, columns)) {
            result.header = true;
            continue;
        }
        result.lines.append({line.number, std::move(fields)});
    }
    return result;
}

ImportPreview classifyImport(ImportKind kind, const ImportText &text, const ImportReference &reference)
{
    const KindRules &kindRules = rulesOf(kind);
    const ImportLayout &layout = kindRules.layout;
    const qsizetype width = layout.columns.size();
    ImportPreview preview;
    preview.kind = kind;
    preview.text = text;
    QSet<QString> seen;
    seen.reserve(text.lines.size());
    for (const ImportLine &line : text.lines) {
        const auto refuse = [&](const QString &reason) { preview.refused.append({line.number, reason}); };
        if (line.fields.size() != width) {
            refuse(QString::fromUtf8(kFieldCount).arg(line.fields.size()).arg(width));
            continue;
        }
        QStringList values = line.fields;
        for (qsizetype i = 0; i < width; ++i) {
            if (layout.columns[i].code)
                values[i] = values[i].toUpper();
        }
        bool emptyKey = false;
        for (int position : layout.key)
            emptyKey = emptyKey || values[position].isEmpty();
        if (emptyKey) {
            refuse(QString::fromUtf8(kEmptyKey));
            continue;
        }
        if (const QString problem = fieldProblem(kindRules, values, reference); !problem.isEmpty()) {
            refuse(problem);
            continue;
        }
        const QString key = tableimportKeyOf(layout, values);
        if (seen.contains(key)) {
            refuse(QString::fromUtf8(kRepeated));
            continue;
        }
        seen.insert(key);

        const QList<QStringList> stored = reference.rows.values(key);
        if (stored.isEmpty()) {
            preview.added.append({line.number, values, {}});
            continue;
        }
        bool same = false;
        for (const QStringList &row : stored)
            same = same || sameValues(row, values);
        if (same) {
            preview.unchanged.append(line.number);
            continue;
        }
        QStringList storedKey;
        for (int position : layout.key)
            storedKey << stored.first()[position];
        preview.changed.append({line.number, values, storedKey});
    }
    return preview;
}

Outcome<ImportReference> readImportReference(DataAccess &db, ImportKind kind)
{
    return readReference([&db](const QString &sql, Target target) { return db.openRecordset(sql, {}, target); }, kind);
}

Outcome<ImportPreview> previewImport(DataAccess &db, ImportKind kind, const QByteArray &bytes)
{
    auto reference = readImportReference(db, kind);
    if (!reference)
        return reference.failure();
    return classifyImport(kind, readImportText(bytes, importLayout(kind).columnNames()), *reference);
}

Outcome<ImportPreview> previewImportFile(DataAccess &db, ImportKind kind, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Failure{QString::fromUtf8(kCannotRead).arg(path), file.errorString()};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Failure{QString::fromUtf8(kCannotRead).arg(path), file.errorString()};
    return previewImport(db, kind, bytes);
}

ImportApplied applyImport(DataAccess &db, const ImportPreview &preview, const ImportProgress &progress)
{
    const ImportLayout &layout = importLayout(preview.kind);
    ImportApplied applied;
    Services::ArchiveLock lock(db, QString::fromLatin1(Services::kWholeArchive));
    if (!lock)
        return applied;
    Services::WriteUnit unit(db, QString::fromUtf8(kImportWhere));
    if (!unit.ok())
        return applied;

    // The preview was read without the lock: what counts is the table now.
    auto reference =
        readReference([&unit](const QString &sql, Target target) { return unit.read(sql, {}, target); }, preview.kind);
    if (!reference)
        return applied;
    const ImportPreview current = classifyImport(preview.kind, preview.text, *reference);

    const QStringList columns = layout.columnNames();
    const QString insert = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                               .arg(layout.table, columns.join(QStringLiteral(", ")),
                                    QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
    QStringList assignments;
    for (const QString &column : columns)
        assignments << column + QStringLiteral(" = ?");
    QStringList keyConditions;
    for (int position : layout.key)
        keyConditions << columns[position] + QStringLiteral(" = ?");
    const QString update =
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(layout.table, assignments.join(QStringLiteral(", ")), keyConditions.join(QStringLiteral(" AND ")));
    const QString table = bareName(layout.table);

    const int total = int(current.added.size() + current.changed.size());
    int done = 0;
    const auto goOn = [&] {
        if (!progress || (done % kProgressEvery != 0 && done != total))
            return true;
        return progress(done, total);
    };
    const auto write = [&](const ImportRow &row, bool isUpdate) {
        Params params;
        params.reserve(row.values.size() + row.storedKey.size());
        for (const QString &value : row.values)
            params << Services::sqlText(value);
        if (isUpdate) {
            for (const QString &value : row.storedKey)
                params << value;
        }
        return unit.exec(layout.target, QString::fromLatin1(kTableimportStep).arg(table).arg(row.line), isUpdate ? update : insert,
                         params);
    };

    if (!goOn()) {
        unit.abandon();
        applied.result = ImportApplied::Result::Cancelled;
        return applied;
    }
    for (const auto &[rows, isUpdate] : {std::pair{&current.added, false}, std::pair{&current.changed, true}}) {
        for (const ImportRow &row : *rows) {
            if (!write(row, isUpdate))
                return applied;
            ++done;
            if (!goOn()) {
                unit.abandon();
                applied.result = ImportApplied::Result::Cancelled;
                return applied;
            }
        }
    }
    if (!unit.commit())
        return applied;
    applied.result = ImportApplied::Result::Written;
    applied.inserted = int(current.added.size());
    applied.updated = int(current.changed.size());
    return applied;
}

} // namespace Orlavo::Masterdata
