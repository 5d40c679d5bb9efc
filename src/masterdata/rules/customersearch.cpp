#include "masterdata/rules/customersearch.h"

#include "masterdata/rules/agentcode.h"

#include <QStringList>

namespace Orlavo::Masterdata {

namespace {

constexpr char kSelect[] = "SELECT CLIENTE, CODICE2, RAG_SOC1, RAG_SOC2, INDIRIZZO_LEG, CITTA_LEG FROM ANAG_CLI";
constexpr char kOrder[] = " ORDER BY CLIENTE";
constexpr char kContains[] = "UPPER(%1) LIKE UPPER(?) ESCAPE '!'";
constexpr char kOpenOrders[] = "EXISTS (SELECT 1 FROM OFFERT O WHERE O.CLIENTE = ANAG_CLI.CLIENTE"
                               " AND (O.CHIUSA IS NULL OR O.CHIUSA = 0) AND (O.ANNULLATA IS NULL OR O.ANNULLATA = 0))";
constexpr char kNoAgentNumber[] = "Utente agente senza numero di agente";

// A text as a formula constant: the quote doubled inside.
QString formulaText(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString field(const char *column)
{
    return QStringLiteral("{ANAG_CLI.%1}").arg(QLatin1String(column));
}

// The statement's and the formula's conditions, built side by side.
class Conditions
{
public:
    void number(const char *column, const char *op, int value)
    {
        m_sql.append(QStringLiteral("%1 %2 ?").arg(QLatin1String(column), QLatin1String(op)));
        m_params.append(value);
        m_formula.append(QStringLiteral("%1 %2 %3").arg(field(column), QLatin1String(op)).arg(value));
    }

    // Equal without regard to case: the formula compares texts that way.
    void equals(const char *column, const QString &typed)
    {
        const QString value = typed.trimmed();
        if (value.isEmpty())
            return;
        m_sql.append(Services::sqlUpperEquals(QLatin1String(column)));
        m_params.append(value);
        m_formula.append(field(column) + QStringLiteral(" = ") + formulaText(value));
    }

    // Holding the text anywhere, case ignored, every character literal.
    void contains(const char *column, const QString &typed)
    {
        const QString value = typed.trimmed();
        if (value.isEmpty())
            return;
        m_sql.append(QString::fromLatin1(kContains).arg(QLatin1String(column)));
        m_params.append(QLatin1Char('%') + Services::escapeLike(value) + QLatin1Char('%'));
        // The formula's like has no escape for its own wildcards.
        if (value.contains(QLatin1Char('*')) || value.contains(QLatin1Char('?')))
            m_formulaExact = false;
        m_formula.append(field(column) + QStringLiteral(" like ") + formulaText(QLatin1Char('*') + value + QLatin1Char('*')));
    }

    void sqlOnly(const QString &condition)
    {
        m_sql.append(condition);
        m_formulaExact = false;
    }

    CustomerSearch result() const
    {
        CustomerSearch search;
        search.condition = m_sql.join(QStringLiteral(" AND "));
        search.sql = QString::fromLatin1(kSelect) + QStringLiteral(" WHERE ") + search.condition +
                     QString::fromLatin1(kOrder);
        search.params = m_params;
        if (m_formulaExact)
            search.formula = m_formula.join(QStringLiteral(" and "));
        return search;
    }

private:
    QStringList m_sql;
    Services::Params m_params;
    QStringList m_formula;
    bool m_formulaExact = true;
};

} // namespace

Services::Outcome<CustomerSearch> buildCustomerSearch(const CustomerSearchFilters &filters,
                                                      const CustomerSearchUser &user)
{
    if (filters.codeFrom && filters.codeTo && *filters.codeTo < *filters.codeFrom)
        return Services::Failure{QString::fromUtf8(kCustomerRangeMessage), QString()};

    std::optional<int> agent = filters.agent;
    if (!user.agentFlag.trimmed().isEmpty()) {
        // An agent sees his own customers whatever he typed.
        agent = agentNumber(user.code);
        if (!agent)
            return Services::Failure{QString::fromUtf8(kNoAgentNumber), user.code};
    }

    Conditions where;
    where.number("CLIENTE", "<>", kReservedCustomer);
    if (filters.codeFrom)
        where.number("CLIENTE", ">=", *filters.codeFrom);
    if (filters.codeTo)
        where.number("CLIENTE", "<=", *filters.codeTo);
    where.contains("RAG_SOC1", filters.name);
    if (filters.townPattern)
        where.contains("CITTA_LEG", filters.town);
    else
        where.equals("CITTA_LEG", filters.town);
    where.equals("PROVINCIA_LEG", filters.province);
    where.equals("PART_IVA", filters.vatNumber);
    where.equals("COD_FISC", filters.taxCode);
    where.equals("TIPO_CLIENTE", filters.customerType);
    if (agent)
        where.number("AGENTE", "=", *agent);
    where.equals("ZONA", filters.zone);
    where.equals("COD_ATTIVITA", filters.activity);
    if (filters.withOpenOrders)
        where.sqlOnly(QString::fromLatin1(kOpenOrders));
    return where.result();
}

QList<Services::LookupColumn> customerListColumns()
{
    return {{QStringLiteral("CLIENTE"), QStringLiteral("05C"), QStringLiteral("CODICE")},
            {QStringLiteral("CODICE2"), QStringLiteral("07C"), QStringLiteral("COD. 2")},
            {QStringLiteral("RAG_SOC1"), QStringLiteral("30C"), QStringLiteral("RAGIONE SOCIALE")},
            {QStringLiteral("RAG_SOC2"), QStringLiteral("30C"), QString()},
            {QStringLiteral("INDIRIZZO_LEG"), QStringLiteral("30C"), QStringLiteral("INDIRIZZO")},
            {QStringLiteral("CITTA_LEG"), QStringLiteral("25C"), QStringLiteral("CITTA'")}};
}

} // namespace Orlavo::Masterdata
