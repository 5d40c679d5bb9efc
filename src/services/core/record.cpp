#include "services/core/record.h"

#include "services/core/values.h"

#include <QRegularExpression>

#include <cmath>

namespace Orlavo::Services {

namespace Column {

namespace {
ColumnDef make(const QString &name, ColumnKind kind, int length = 0, int decimals = 0)
{
    ColumnDef column;
    column.name = name;
    column.kind = kind;
    column.length = length;
    column.decimals = decimals;
    return column;
}
} // namespace

ColumnDef text(const QString &name, int length)
{
    return make(name, ColumnKind::Text, length);
}

ColumnDef code(const QString &name, int length)
{
    return make(name, ColumnKind::Code, length);
}

ColumnDef integer(const QString &name)
{
    return make(name, ColumnKind::Integer);
}

ColumnDef amount(const QString &name, int decimals)
{
    ColumnDef column = make(name, ColumnKind::Amount, 0, decimals);
    column.nullable = false;
    return column;
}

ColumnDef quantity(const QString &name, int decimals)
{
    ColumnDef column = make(name, ColumnKind::Quantity, 0, decimals);
    column.nullable = false;
    return column;
}

ColumnDef percent(const QString &name, int decimals)
{
    ColumnDef column = make(name, ColumnKind::Percent, 0, decimals);
    column.nullable = false;
    return column;
}

ColumnDef date(const QString &name)
{
    return make(name, ColumnKind::Date);
}

ColumnDef flag(const QString &name, const QVariant &on, const QVariant &off)
{
    ColumnDef column = make(name, ColumnKind::Flag);
    column.nullable = false;
    column.flagOn = on;
    column.flagOff = off;
    return column;
}

ColumnDef flagSN(const QString &name)
{
    return flag(name, QStringLiteral("S"), QStringLiteral("N"));
}

ColumnDef flagOneZero(const QString &name)
{
    return flag(name, 1, 0);
}

ColumnDef flagMinusOne(const QString &name)
{
    return flag(name, -1, 0);
}

ColumnDef key(ColumnDef column)
{
    column.key = true;
    column.nullable = false;
    return column;
}

ColumnDef insertOnly(ColumnDef column)
{
    column.insertOnly = true;
    return column;
}

ColumnDef blankWhenZero(ColumnDef column)
{
    column.blankWhenZero = true;
    return column;
}

ColumnDef notNull(ColumnDef column)
{
    column.nullable = false;
    return column;
}

} // namespace Column

QStringList TableDef::names() const
{
    QStringList list;
    for (const ColumnDef &column : columns)
        list << column.name;
    return list;
}

QStringList TableDef::keyColumns() const
{
    QStringList list;
    for (const ColumnDef &column : columns) {
        if (column.key)
            list << column.name;
    }
    return list;
}

const ColumnDef *TableDef::column(const QString &name) const
{
    for (const ColumnDef &column : columns) {
        if (column.name == name)
            return &column;
    }
    return nullptr;
}

namespace {

bool isNumeric(ColumnKind kind)
{
    return kind == ColumnKind::Amount || kind == ColumnKind::Quantity || kind == ColumnKind::Percent;
}

// A stored flag value against the encoding's "on": texts ignore case and
// blanks, numbers compare as numbers (any non-zero is on for 1/0 and -1/0).
bool storedFlagOn(const ColumnDef &column, const QVariant &stored)
{
    if (stored.isNull())
        return false;
    if (column.flagOn.typeId() == QMetaType::QString)
        return stored.toString().trimmed().compare(column.flagOn.toString(), Qt::CaseInsensitive) == 0;
    if (column.flagOff.toInt() == 0)
        return stored.toInt() != 0;
    return stored.toInt() == column.flagOn.toInt();
}

} // namespace

QString flagText(const ColumnDef &column, bool on)
{
    if (column.flagOn.typeId() == QMetaType::QString)
        return (on ? column.flagOn : column.flagOff).toString();
    return on ? QStringLiteral("S") : QStringLiteral("N");
}

QVariant normalised(const ColumnDef &column, const QVariant &value)
{
    switch (column.kind) {
    case ColumnKind::Text: {
        const QString text = value.toString().trimmed();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case ColumnKind::Code: {
        const QString text = value.toString().trimmed().toUpper();
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    case ColumnKind::Integer: {
        if (value.isNull() || value.toString().trimmed().isEmpty())
            return column.nullable || column.key ? QVariant() : QVariant(qlonglong(0));
        if (value.typeId() != QMetaType::QString)
            return qlonglong(std::llround(value.toDouble()));
        bool ok = false;
        const qlonglong number = value.toString().trimmed().toLongLong(&ok);
        // Text that is no number stays as typed, for its check to name.
        return ok ? QVariant(number) : QVariant(value.toString().trimmed());
    }
    case ColumnKind::Amount:
    case ColumnKind::Quantity:
    case ColumnKind::Percent:
        if (value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty()))
            return column.nullable ? QVariant() : QVariant(0.0);
        return roundDec(value.toDouble(), column.decimals);
    case ColumnKind::Date: {
        if (value.typeId() != QMetaType::QString) {
            const QDate date = value.toDate();
            return date.isValid() ? QVariant(date) : QVariant();
        }
        const QString text = value.toString().trimmed();
        if (text.isEmpty())
            return {};
        const QDate date = parseItalianDate(text);
        // Text that is no date stays as typed, for its check to name.
        return date.isValid() ? QVariant(date) : QVariant(text);
    }
    case ColumnKind::Flag: return value.toBool();
    }
    return value;
}

QVariant storedValue(const ColumnDef &column, const QVariant &value)
{
    const QVariant typed = normalised(column, value);
    switch (column.kind) {
    case ColumnKind::Text:
    case ColumnKind::Code:
        if (typed.isNull())
            return column.nullable || column.key ? QVariant(QMetaType::fromType<QString>())
                                                 : QVariant(QStringLiteral(""));
        return typed;
    case ColumnKind::Integer:
        if (typed.isNull() && !column.nullable && !column.key)
            return qlonglong(0);
        return typed.isNull() || typed.typeId() == QMetaType::QString ? QVariant(QMetaType::fromType<qlonglong>())
                                                                      : typed;
    case ColumnKind::Amount:
    case ColumnKind::Quantity:
    case ColumnKind::Percent: return typed.isNull() ? QVariant(QMetaType::fromType<double>()) : typed;
    case ColumnKind::Date:
        return typed.isNull() || typed.typeId() == QMetaType::QString ? QVariant(QMetaType::fromType<QDate>()) : typed;
    case ColumnKind::Flag: return typed.toBool() ? column.flagOn : column.flagOff;
    }
    return typed;
}

QVariant fromStored(const ColumnDef &column, const QVariant &stored)
{
    if (column.kind == ColumnKind::Flag)
        return storedFlagOn(column, stored);
    if (column.kind == ColumnKind::Date && !stored.isNull()) {
        // Either engine may hand a date column back as a date-time.
        return normalised(column, stored.toDate());
    }
    return normalised(column, stored);
}

QString shownText(const ColumnDef &column, const QVariant &value)
{
    const QVariant typed = normalised(column, value);
    switch (column.kind) {
    case ColumnKind::Amount:
    case ColumnKind::Quantity:
    case ColumnKind::Percent:
        // No thousands points: "1.234" would read back as a decimal figure.
        return typed.isNull() || (column.blankWhenZero && typed.toDouble() == 0.0)
                   ? QString()
                   : QString::number(typed.toDouble(), 'f', column.decimals)
                         .replace(QLatin1Char('.'), QLatin1Char(','));
    case ColumnKind::Date:
        return typed.typeId() == QMetaType::QDate ? typed.toDate().toString(QStringLiteral("dd/MM/yyyy"))
                                                  : typed.toString();
    case ColumnKind::Flag: return flagText(column, typed.toBool());
    case ColumnKind::Integer:
    case ColumnKind::Text:
    case ColumnKind::Code: break;
    }
    return typed.toString();
}

QVariant parsedText(const ColumnDef &column, const QString &text)
{
    switch (column.kind) {
    case ColumnKind::Amount:
    case ColumnKind::Quantity:
    case ColumnKind::Percent: {
        const QString number = sqlNumber(text, column.decimals);
        return number.isEmpty() ? normalised(column, QVariant()) : normalised(column, number.toDouble());
    }
    case ColumnKind::Flag: return text.trimmed().compare(flagText(column, true), Qt::CaseInsensitive) == 0;
    case ColumnKind::Date:
    case ColumnKind::Integer:
    case ColumnKind::Text:
    case ColumnKind::Code: break;
    }
    return normalised(column, text);
}

void Row::set(const QString &column, const QVariant &value)
{
    const ColumnDef *def = m_def ? m_def->column(column) : nullptr;
    Q_ASSERT_X(def, "Row::set", qPrintable(column));
    if (!def)
        return;
    const QVariant typed = normalised(*def, value);
    if (typed.isNull())
        m_values.remove(column);
    else
        m_values.insert(column, typed);
}

void Row::setText(const QString &column, const QString &text)
{
    if (const ColumnDef *def = m_def ? m_def->column(column) : nullptr)
        set(column, parsedText(*def, text));
}

bool Row::isBlank(const QString &column) const
{
    const QVariant value = m_values.value(column);
    if (value.isNull())
        return true;
    const ColumnDef *def = m_def ? m_def->column(column) : nullptr;
    if (def && def->kind == ColumnKind::Flag)
        return !value.toBool();
    if (def && isNumeric(def->kind))
        return value.toDouble() == 0.0;
    return false;
}

bool Row::anyEntered() const
{
    if (!m_def)
        return false;
    for (const ColumnDef &column : m_def->columns) {
        if (!column.key && !isBlank(column.name))
            return true;
    }
    return false;
}

Params Row::key() const
{
    Params params;
    if (m_def) {
        for (const QString &column : m_def->keyColumns())
            params << storedValue(*m_def->column(column), m_values.value(column));
    }
    return params;
}

bool Row::operator==(const Row &other) const
{
    const TableDef *def = m_def ? m_def : other.m_def;
    if (!def)
        return true;
    for (const ColumnDef &column : def->columns) {
        if (normalised(column, value(column.name)) != normalised(column, other.value(column.name)))
            return false;
    }
    return true;
}

QStringList Row::changedFrom(const Row &before) const
{
    QStringList changed;
    if (!m_def)
        return changed;
    for (const ColumnDef &column : m_def->columns) {
        if (column.key || column.insertOnly)
            continue;
        if (normalised(column, value(column.name)) != normalised(column, before.value(column.name)))
            changed << column.name;
    }
    return changed;
}

namespace Check {

namespace {
CheckDef make(CheckDef::Kind kind, const QString &column, const QString &message)
{
    CheckDef check;
    check.kind = kind;
    check.column = column;
    check.message = message;
    return check;
}
} // namespace

CheckDef required(const QString &column, const QString &message)
{
    return make(CheckDef::Kind::Required, column, message);
}

CheckDef known(const QString &column, const QString &table, const QString &tableColumn, const QString &message,
               const QString &extra)
{
    CheckDef check = make(CheckDef::Kind::Known, column, message);
    check.table = table;
    check.tableColumn = tableColumn;
    check.extra = extra;
    return check;
}

CheckDef knownRequired(const QString &column, const QString &table, const QString &tableColumn, const QString &message,
                       const QString &extra)
{
    CheckDef check = known(column, table, tableColumn, message, extra);
    check.blankFails = true;
    return check;
}

CheckDef range(const QString &column, double min, double max, const QString &message)
{
    CheckDef check = make(CheckDef::Kind::Range, column, message);
    check.min = min;
    check.max = max;
    return check;
}

CheckDef length(const QString &column, int max, const QString &message)
{
    CheckDef check = make(CheckDef::Kind::Length, column, message);
    check.max = max;
    return check;
}

CheckDef pattern(const QString &column, const QString &regex, const QString &message)
{
    CheckDef check = make(CheckDef::Kind::Pattern, column, message);
    check.pattern = regex;
    return check;
}

CheckDef valid(const QString &column, const QString &message)
{
    return make(CheckDef::Kind::Valid, column, message);
}

CheckDef unique(const QString &column, const QString &table, const QStringList &keyColumns, const QString &message)
{
    CheckDef check = make(CheckDef::Kind::Unique, column, message);
    check.table = table;
    check.keyColumns = keyColumns;
    return check;
}

CheckDef custom(const QString &column, const QString &message, std::function<bool(const QVariant &)> passes)
{
    CheckDef check = make(CheckDef::Kind::Custom, column, message);
    check.passes = std::move(passes);
    return check;
}

CheckDef decide(const QString &column, const QString &message, std::function<bool(const QVariant &)> passes)
{
    CheckDef check = custom(column, message, std::move(passes));
    check.seesBlank = true;
    return check;
}

CheckDef when(CheckDef check, const QString &column, const QVariant &value)
{
    check.whenColumn = column;
    check.whenValue = value;
    return check;
}

} // namespace Check

bool isBlankValue(const QVariant &value)
{
    return value.isNull() || (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

std::optional<bool> passesLocally(const CheckDef &check, const QVariant &value)
{
    const bool blank = isBlankValue(value);
    switch (check.kind) {
    case CheckDef::Kind::Required: return !blank;
    case CheckDef::Kind::Known:
        if (blank)
            return !check.blankFails;
        return std::nullopt; // the archive decides
    case CheckDef::Kind::Unique:
        if (blank)
            return true;
        return std::nullopt;
    case CheckDef::Kind::Range: {
        if (blank)
            return true;
        const double number = value.toDouble();
        return number >= check.min && number <= check.max;
    }
    case CheckDef::Kind::Length: return blank || value.toString().size() <= int(check.max);
    case CheckDef::Kind::Pattern:
        return blank || QRegularExpression(QRegularExpression::anchoredPattern(check.pattern))
                            .match(value.toString())
                            .hasMatch();
    // Text the form could not read stays text in a date or number column.
    case CheckDef::Kind::Valid: return blank || value.typeId() != QMetaType::QString;
    case CheckDef::Kind::Custom: return (blank && !check.seesBlank) || !check.passes || check.passes(value);
    }
    return true;
}

bool checkApplies(const CheckDef &check, const std::function<QVariant(const QString &)> &valueOf)
{
    return check.whenColumn.isEmpty() || valueOf(check.whenColumn) == check.whenValue;
}

QList<FieldProblem> localProblems(const QList<CheckDef> &checks,
                                  const std::function<QVariant(const QString &)> &valueOf)
{
    QList<FieldProblem> problems;
    for (const CheckDef &check : checks) {
        if (!checkApplies(check, valueOf))
            continue;
        if (!passesLocally(check, valueOf(check.column)).value_or(true))
            problems << FieldProblem{check.column, check.message};
    }
    return problems;
}

} // namespace Orlavo::Services
