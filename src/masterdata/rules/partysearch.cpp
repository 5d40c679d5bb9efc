#include "masterdata/rules/partysearch.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kLike[] = "UPPER(%1) LIKE UPPER(?) ESCAPE '!'";

} // namespace

SearchConditions::SearchConditions(const QString &table, bool qualified) : m_table(table), m_qualified(qualified)
{
}

QString formulaText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString SearchConditions::name(const QString &column) const
{
    return m_qualified ? m_table + QLatin1Char('.') + column : column;
}

QString SearchConditions::field(const QString &column) const
{
    return QStringLiteral("{%1.%2}").arg(m_table, column);
}

void SearchConditions::number(const QString &column, const char *op, int value)
{
    m_sql.append(QStringLiteral("%1 %2 ?").arg(name(column), QLatin1String(op)));
    m_params.append(value);
    m_formula.append(QStringLiteral("%1 %2 %3").arg(field(column), QLatin1String(op)).arg(value));
}

void SearchConditions::decimal(const QString &column, const char *op, double value)
{
    m_sql.append(QStringLiteral("%1 %2 ?").arg(name(column), QLatin1String(op)));
    m_params.append(value);
    m_formula.append(QStringLiteral("%1 %2 %3").arg(field(column), QLatin1String(op), QString::number(value, 'f', 5)));
}

void SearchConditions::equals(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    m_sql.append(Services::sqlUpperEquals(name(column)));
    m_params.append(value);
    m_formula.append(field(column) + QStringLiteral(" = ") + formulaText(value));
}

void SearchConditions::differs(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    m_sql.append(QStringLiteral("(%1 IS NULL OR UPPER(%1) <> UPPER(?))").arg(name(column)));
    m_params.append(value);
    m_formula.append(QStringLiteral("(IsNull(%1) or %1 <> %2)").arg(field(column), formulaText(value)));
}

void SearchConditions::code(const QString &column, const char *op, const QString &typed)
{
    const QString value = typed.trimmed().toUpper();
    if (value.isEmpty())
        return;
    m_sql.append(QStringLiteral("%1 %2 ?").arg(name(column), QLatin1String(op)));
    m_params.append(value);
    m_formula.append(QStringLiteral("%1 %2 %3").arg(field(column), QLatin1String(op), formulaText(value)));
}

QString SearchConditions::formulaLike(const QString &column, const QString &before, const QString &typed)
{
    // The formula's like has no escape for its own wildcards.
    if (typed.contains(QLatin1Char('*')) || typed.contains(QLatin1Char('?')))
        m_formulaExact = false;
    return field(column) + QStringLiteral(" like ") + formulaText(before + typed + QLatin1Char('*'));
}

void SearchConditions::contains(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    m_sql.append(QString::fromLatin1(kLike).arg(name(column)));
    m_params.append(QLatin1Char('%') + Services::escapeLike(value) + QLatin1Char('%'));
    m_formula.append(formulaLike(column, QStringLiteral("*"), value));
}

void SearchConditions::wordStart(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    // A blank before the value makes its start a word's start: one UPPER
    // and one LIKE a row, where "start or any word" took two of each.
    m_sql.append(QStringLiteral("(' ' || UPPER(%1)) LIKE UPPER(?) ESCAPE '!'").arg(name(column)));
    m_params.append(QStringLiteral("% ") + Services::escapeLike(value) + QLatin1Char('%'));
    m_formula.append(QStringLiteral("(%1 or %2)")
                         .arg(formulaLike(column, QString(), value), formulaLike(column, QStringLiteral("* "), value)));
}

void SearchConditions::flag(const QString &column, const QString &value)
{
    m_sql.append(name(column) + QStringLiteral(" = ?"));
    m_params.append(value);
    m_formula.append(field(column) + QStringLiteral(" = ") + formulaText(value));
}

void SearchConditions::sqlOnly(const QString &condition)
{
    m_sql.append(condition);
    m_formulaExact = false;
}

std::optional<QString> SearchConditions::formula() const
{
    if (!m_formulaExact)
        return std::nullopt;
    return m_formula.join(QStringLiteral(" and "));
}

PartyConditions::PartyConditions(const QString &table, const QString &key, int reserved)
    : SearchConditions(table), m_key(key)
{
    number(key, "<>", reserved);
}

PartySearch PartyConditions::result() const
{
    QStringList columns;
    for (const Services::LookupColumn &column : partyListColumns(m_key))
        columns.append(column.name);
    PartySearch search;
    search.condition = sql();
    search.sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                     .arg(columns.join(QStringLiteral(", ")), table(), search.condition, m_key);
    search.params = params();
    search.formula = formula();
    return search;
}

Services::Outcome<PartyConditions> partyConditions(const QString &table, const QString &key, int reserved,
                                                   const PartySearchFilters &filters)
{
    if (filters.codeFrom && filters.codeTo && *filters.codeTo < *filters.codeFrom)
        return Services::Failure{QString::fromUtf8(kPartyRangeMessage), QString()};

    PartyConditions where(table, key, reserved);
    if (filters.codeFrom)
        where.number(key, ">=", *filters.codeFrom);
    if (filters.codeTo)
        where.number(key, "<=", *filters.codeTo);
    where.contains(QStringLiteral("RAG_SOC1"), filters.name);
    if (filters.townPattern)
        where.contains(QStringLiteral("CITTA_LEG"), filters.town);
    else
        where.equals(QStringLiteral("CITTA_LEG"), filters.town);
    where.equals(QStringLiteral("PROVINCIA_LEG"), filters.province);
    where.equals(QStringLiteral("PART_IVA"), filters.vatNumber);
    where.equals(QStringLiteral("COD_FISC"), filters.taxCode);
    where.equals(QStringLiteral("COD_ATTIVITA"), filters.activity);
    return where;
}

QList<Services::LookupColumn> partyListColumns(const QString &key)
{
    return {{key, QStringLiteral("05C"), QStringLiteral("CODICE")},
            {QStringLiteral("CODICE2"), QStringLiteral("07C"), QStringLiteral("COD. 2")},
            {QStringLiteral("RAG_SOC1"), QStringLiteral("30C"), QStringLiteral("RAGIONE SOCIALE")},
            {QStringLiteral("RAG_SOC2"), QStringLiteral("30C"), QString()},
            {QStringLiteral("INDIRIZZO_LEG"), QStringLiteral("30C"), QStringLiteral("INDIRIZZO")},
            {QStringLiteral("CITTA_LEG"), QStringLiteral("25C"), QStringLiteral("CITTA'")}};
}

} // namespace Orlavo::Masterdata
