#pragma once

#include "services/core/sqlterms.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <optional>

namespace Orlavo::Services {

// How a column is kept. Texts and codes are trimmed (codes upper case);
// integers are whole numbers; amounts, quantities and percentages are
// doubles rounded to the column's decimals; flags are true or false in the
// record and stored with the column's own encoding ('S'/'N', 1/0, -1/0...).
enum class ColumnKind { Text, Code, Integer, Amount, Quantity, Percent, Date, Flag };

struct ColumnDef {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int length = 0;   // texts and codes
    int decimals = 0; // amounts, quantities, percentages
    bool key = false;
    // A blank value is stored as null; otherwise as the kind's empty value
    // (0 for numbers, the off value for flags, '' for texts that are not
    // keys, null for dates).
    bool nullable = true;
    // Written by the insert and never changed by an update.
    bool insertOnly = false;
    // A figure of nought shows as an empty field (a distance not given).
    bool blankWhenZero = false;
    QVariant flagOn, flagOff; // flags: the stored values
};

// Column constructors, so a definition reads as a list.
namespace Column {
ColumnDef text(const QString &name, int length);
ColumnDef code(const QString &name, int length);
ColumnDef integer(const QString &name);
ColumnDef amount(const QString &name, int decimals = 2);
ColumnDef quantity(const QString &name, int decimals = 3);
ColumnDef percent(const QString &name, int decimals = 2);
ColumnDef date(const QString &name);
ColumnDef flag(const QString &name, const QVariant &on, const QVariant &off);
// 'S'/'N', 1/0 and -1/0: the encodings the archives use.
ColumnDef flagSN(const QString &name);
ColumnDef flagOneZero(const QString &name);
ColumnDef flagMinusOne(const QString &name);
// The same column as a key.
ColumnDef key(ColumnDef column);
ColumnDef insertOnly(ColumnDef column);
ColumnDef blankWhenZero(ColumnDef column);
// Never null: a blank is stored as 0 or ''.
ColumnDef notNull(ColumnDef column);
} // namespace Column

// One table described once: its columns in their order, the key among them.
struct TableDef {
    QString table; // the table-name variable's value
    Target target = Target::Company;
    QList<ColumnDef> columns;

    QStringList names() const;
    QStringList keyColumns() const;
    const ColumnDef *column(const QString &name) const;
};

// A value brought to its column's kind: text trimmed (codes upper case),
// integers and dates or null, numbers rounded, flags true or false. What two
// records compare and what the statements bind.
QVariant normalised(const ColumnDef &column, const QVariant &value);
// The value bound for the column (the flag's encoding, null for blanks).
QVariant storedValue(const ColumnDef &column, const QVariant &value);
// A stored value read back into the record's kind.
QVariant fromStored(const ColumnDef &column, const QVariant &stored);
// The value as a form shows it ("12,50", "01/02/2025", "S"/"N") and the
// typed text read back; parse(shown(v)) == v for every kind.
QString shownText(const ColumnDef &column, const QVariant &value);
// A flag as text: a text encoding's own letters ("P"/"S"), else "S"/"N".
QString flagText(const ColumnDef &column, bool on);
QVariant parsedText(const ColumnDef &column, const QString &text);

// The typed values of one row of a table. Every value is normalised as it
// is set, so two rows compare as they would be stored.
class Row
{
public:
    Row() = default;
    explicit Row(const TableDef &def) : m_def(&def) {}

    const TableDef &def() const { return *m_def; }
    bool hasDef() const { return m_def != nullptr; }

    QVariant value(const QString &column) const { return m_values.value(column); }
    void set(const QString &column, const QVariant &value);
    // The typed text of a form field.
    void setText(const QString &column, const QString &text);

    QString text(const QString &column) const { return m_values.value(column).toString(); }
    int integer(const QString &column) const { return m_values.value(column).toInt(); }
    double number(const QString &column) const { return m_values.value(column).toDouble(); }
    QDate date(const QString &column) const { return m_values.value(column).toDate(); }
    bool flag(const QString &column) const { return m_values.value(column).toBool(); }
    bool isBlank(const QString &column) const;
    // Some column other than the key holds a value (a part worth writing).
    bool anyEntered() const;
    // The key's values in key order.
    Params key() const;

    // Same values in every column of the definition (blank == never set).
    bool operator==(const Row &other) const;
    // The columns whose values differ, key and insert-only ones left out.
    QStringList changedFrom(const Row &before) const;

private:
    const TableDef *m_def = nullptr;
    QHash<QString, QVariant> m_values;
};

// A check that failed: the column and the operator's message.
struct FieldProblem {
    QString column;
    QString message;
    bool operator==(const FieldProblem &other) const = default;
};

// How a write ended. `step` names the statement that failed (already
// reported by the write unit), `column` the value found taken. A write the
// records refuse ends NothingChanged with why: `refusal` the operator's
// text, or `uses` the records that still use the row.
enum class WriteEnd { Written, NothingChanged, ChangedElsewhere, Gone, Duplicate, LockHeld, Failed };

struct WriteResult {
    WriteEnd end = WriteEnd::Failed;
    QString step;
    QString column;
    qint64 code = 0; // the code a new record took
    QString refusal;
    QStringList uses;

    bool written() const { return end == WriteEnd::Written; }
    bool refused() const { return !refusal.isEmpty() || !uses.isEmpty(); }
    static WriteResult of(WriteEnd end, QString step = {}) { return {end, std::move(step), {}, 0, {}, {}}; }
    static WriteResult refusedFor(QString why)
    {
        WriteResult result = of(WriteEnd::NothingChanged);
        result.refusal = std::move(why);
        return result;
    }
    static WriteResult usedBy(QStringList uses)
    {
        WriteResult result = of(WriteEnd::NothingChanged);
        result.uses = std::move(uses);
        return result;
    }
};

// What the stored rows became since they were read.
enum class StoredState { Same, Changed, Gone };

// A check of one column, run in the form's order. A blank value passes every
// check but Required.
struct CheckDef {
    enum class Kind {
        Required, // not blank
        Known,    // found in table.tableColumn (within scope, and the extra condition)
        Range,    // a number from min to max
        Length,   // at most `max` characters
        Pattern,  // matching the regular expression
        Valid,    // a date or whole number the form could read
        Unique,   // a new record's key not stored yet in `table` (keyColumns)
        Custom,   // the function decides
    };
    Kind kind = Kind::Required;
    QString column;
    QString message;
    QString table, tableColumn;      // Known
    QString scopeColumn;             // Known: the record's column limiting the list
    QString scopeTableColumn;        // Known: the table's column compared with it
    QString extra;                   // Known: " AND TIPO_CONTO = 'R'"
    double min = 0, max = 0;         // Range, Length
    QString pattern;                 // Pattern
    QStringList keyColumns;          // Unique: the key, in the record and the table
    bool blankFails = false;         // Known: a blank value is not found either
    bool seesBlank = false;          // Custom: the function judges blank values too
    // Custom: true when the value passes.
    std::function<bool(const QVariant &value)> passes;
    // Applies only when this column holds this value.
    QString whenColumn;
    QVariant whenValue;
};

namespace Check {
CheckDef required(const QString &column, const QString &message);
CheckDef known(const QString &column, const QString &table, const QString &tableColumn, const QString &message,
               const QString &extra = {});
CheckDef range(const QString &column, double min, double max, const QString &message);
CheckDef length(const QString &column, int max, const QString &message);
CheckDef pattern(const QString &column, const QString &regex, const QString &message);
CheckDef valid(const QString &column, const QString &message);
CheckDef unique(const QString &column, const QString &table, const QStringList &keyColumns, const QString &message);
CheckDef custom(const QString &column, const QString &message, std::function<bool(const QVariant &)> passes);
// Custom, and the function judges a blank value too (two fields that must agree).
CheckDef decide(const QString &column, const QString &message, std::function<bool(const QVariant &)> passes);
// Applies only when `column` holds `value`.
CheckDef when(CheckDef check, const QString &column, const QVariant &value);
// Known, and a blank value fails with the same message (a field chosen by
// description, where blank is one more unknown value).
CheckDef knownRequired(const QString &column, const QString &table, const QString &tableColumn,
                       const QString &message, const QString &extra = {});
} // namespace Check

// Null or blank text.
bool isBlankValue(const QVariant &value);
// A check decided without the archive: whether the value passes, nothing
// when only the archive can tell (a Known check on a value given).
std::optional<bool> passesLocally(const CheckDef &check, const QVariant &value);
// Whether the check applies to the record at all (its `when` condition).
bool checkApplies(const CheckDef &check, const std::function<QVariant(const QString &)> &valueOf);
// The failing checks that need no archive, in order (Known and Unique are
// left to the data layer).
QList<FieldProblem> localProblems(const QList<CheckDef> &checks,
                                  const std::function<QVariant(const QString &)> &valueOf);

} // namespace Orlavo::Services
