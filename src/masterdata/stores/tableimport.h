#pragma once

#include "services/core/outcome.h"
#include "services/data/dataaccess.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

namespace Orlavo::Masterdata {

// The tables that can be filled from a text file.
enum class ImportKind { PostalCodes, BankBranches, Banks, Countries };

struct ImportColumn {
    QString name;
    int width = 0;
    bool code = false; // codes and provinces are stored in upper case
};

// Where one kind goes and what its file holds: the table's columns, in
// this order, one line per row.
struct ImportLayout {
    ImportKind kind;
    QString table; // as the statements name it (services tables qualified)
    QString title; // for the window: "C.A.P.", "Paesi", ...
    Services::Target target = Services::Target::Company;
    QList<ImportColumn> columns;
    QList<int> key; // positions of the key columns

    QStringList columnNames() const;
};

const ImportLayout &importLayout(ImportKind kind);

// One line of the file that holds something, with its number in the file
// (from 1, blank lines and the header counted).
struct ImportLine {
    int number = 0;
    QStringList fields; // trimmed, quotes removed
};

struct ImportText {
    QChar separator = QLatin1Char(';');
    bool utf8 = true; // else Windows-1252, which reads Latin-1 too
    bool header = false;
    QList<ImportLine> lines;
};

// The file's lines split into fields: UTF-8 when the bytes are valid UTF-8,
// else Windows-1252; a BOM skipped; CRLF or LF; the separator among ";",
// tab and "," that gives `fields` fields on most of the first lines (";"
// on a tie); a first line naming the columns skipped; blank lines skipped.
// A field may be enclosed in double quotes, "" standing for one quote.
ImportText readImportText(const QByteArray &bytes, const QStringList &columns);
// One line split at the separator, with the quoting rule above.
QStringList splitImportLine(const QString &line, QChar separator);

// A row of the file as it would be stored: codes in upper case, texts as
// given, every value trimmed.
struct ImportRow {
    int line = 0;
    QStringList values;
    QStringList storedKey; // changed rows: the key as it is stored now
};

struct RefusedLine {
    int line = 0;
    QString reason;
    bool operator==(const RefusedLine &other) const = default;
};

// What the table holds now, for the comparison: rows by key (codes and
// texts of the key compared without regard to case), and the provinces and
// bank codes a row may refer to, in upper case.
struct ImportReference {
    QMultiHash<QString, QStringList> rows;
    QSet<QString> provinces;
    QSet<QString> banks;

    void addRow(const ImportLayout &layout, const QStringList &values);
};

struct ImportPreview {
    ImportKind kind = ImportKind::PostalCodes;
    ImportText text;
    QList<ImportRow> added;   // key absent from the table
    QList<ImportRow> changed; // key present, another value differs
    QList<int> unchanged;     // line numbers
    QList<RefusedLine> refused;

    bool hasWork() const { return !added.isEmpty() || !changed.isEmpty(); }
};

// Every line of the file classified against the table's present content.
ImportPreview classifyImport(ImportKind kind, const ImportText &text, const ImportReference &reference);

// The table's rows and the codes its rows refer to, read in one go.
Services::Outcome<ImportReference> readImportReference(Services::DataAccess &db, ImportKind kind);
// The preview of a file's bytes, or of the file at path.
Services::Outcome<ImportPreview> previewImport(Services::DataAccess &db, ImportKind kind, const QByteArray &bytes);
Services::Outcome<ImportPreview> previewImportFile(Services::DataAccess &db, ImportKind kind, const QString &path);

// Progress of the writes: rows done of total; false stops and writes nothing.
using ImportProgress = std::function<bool(int done, int total)>;

struct ImportApplied {
    enum class Result { Written, Cancelled, Failed };
    Result result = Result::Failed;
    int inserted = 0;
    int updated = 0;
};

// Writes the preview's file under the archive lock, in one write unit: the
// lines are compared again with the table as it is under the lock, then the
// new rows inserted and the changed ones updated. All or nothing: a failure
// has been reported (lock message or error report) when Failed comes back.
ImportApplied applyImport(Services::DataAccess &db, const ImportPreview &preview, const ImportProgress &progress = {});

} // namespace Orlavo::Masterdata
