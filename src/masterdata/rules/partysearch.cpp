#include "masterdata/rules/partysearch.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kContains[] = "UPPER(%1) LIKE UPPER(?) ESCAPE '!'";

// A text as a formula constant: the quote doubled inside.
QString formulaText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

PartyConditions::PartyConditions(const QString &table, const QString &key, int reserved) : m_table(table), m_key(key)
{
    number(key, "<>", reserved);
}

QString PartyConditions::field(const QString &column) const
{
    return QStringLiteral("{%1.%2}").arg(m_table, column);
}

void PartyConditions::number(const QString &column, const char *op, int value)
{
    m_sql.append(QStringLiteral("%1 %2 ?").arg(column, QLatin1String(op)));
    m_params.append(value);
    m_formula.append(QStringLiteral("%1 %2 %3").arg(field(column), QLatin1String(op)).arg(value));
}

void PartyConditions::equals(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    m_sql.append(Services::sqlUpperEquals(column));
    m_params.append(value);
    m_formula.append(field(column) + QStringLiteral(" = ") + formulaText(value));
}

void PartyConditions::contains(const QString &column, const QString &typed)
{
    const QString value = typed.trimmed();
    if (value.isEmpty())
        return;
    m_sql.append(QString::fromLatin1(kContains).arg(column));
    m_params.append(QLatin1Char('%') + Services::escapeLike(value) + QLatin1Char('%'));
    // The formula's like has no escape for its own wildcards.
    if (value.contains(QLatin1Char('*')) || value.contains(QLatin1Char('?')))
        m_formulaExact = false;
    m_formula.append(field(column) + QStringLiteral(" like ") +
                     formulaText(QLatin1Char('*') + value + QLatin1Char('*')));
}

void PartyConditions::flag(const QString &column, const QString &value)
{
    m_sql.append(column + QStringLiteral(" = ?"));
    m_params.append(value);
    m_formula.append(field(column) + QStringLiteral(" = ") + formulaText(value));
}

void PartyConditions::sqlOnly(const QString &condition)
{
    m_sql.append(condition);
    m_formulaExact = false;
}

PartySearch PartyConditions::result() const
{
    QStringList columns;
    for (const Services::LookupColumn &column : partyListColumns(m_key))
        columns.append(column.name);
    PartySearch search;
    search.condition = m_sql.join(QStringLiteral(" AND "));
    search.sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                     .arg(columns.join(QStringLiteral(", ")), m_table, search.condition, m_key);
    search.params = m_params;
    if (m_formulaExact)
        search.formula = m_formula.join(QStringLiteral(" and "));
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
