#include "masterdata/rules/customersearch.h"

#include "masterdata/rules/agentcode.h"

namespace Orlavo::Masterdata {

namespace {

constexpr char kCustomersearchTable[] = "ANAG_CLI";
constexpr char kCustomersearchKey[] = "CLIENTE";
constexpr char kOpenOrders[] = "EXISTS (SELECT 1 FROM OFFERT O WHERE O.CLIENTE = ANAG_CLI.CLIENTE"
                               " AND (O.CHIUSA IS NULL OR O.CHIUSA = 0) AND (O.ANNULLATA IS NULL OR O.ANNULLATA = 0))";
constexpr char kNoAgentNumber[] = "Utente agente senza numero di agente";

} // namespace

Services::Outcome<CustomerSearch> buildCustomerSearch(const CustomerSearchFilters &filters,
                                                      const CustomerSearchUser &user)
{
    auto where = partyConditions(QLatin1String(kCustomersearchTable), QLatin1String(kCustomersearchKey), kReservedCustomer, filters);
    if (!where)
        return where.failure();

    std::optional<int> agent = filters.agent;
    if (!user.agentFlag.trimmed().isEmpty()) {
        // An agent sees his own customers whatever he typed.
        agent = agentNumber(user.code);
        if (!agent)
            return Services::Failure{QString::fromUtf8(kNoAgentNumber), user.code};
    }

    where->equals(QStringLiteral("TIPO_CLIENTE"), filters.customerType);
    if (agent)
        where->number(QStringLiteral("AGENTE"), "=", *agent);
    where->equals(QStringLiteral("ZONA"), filters.zone);
    if (filters.withOpenOrders)
        where->sqlOnly(QString::fromLatin1(kOpenOrders));
    return where->result();
}

QList<Services::LookupColumn> customerListColumns()
{
    return partyListColumns(QLatin1String(kCustomersearchKey));
}

} // namespace Orlavo::Masterdata
