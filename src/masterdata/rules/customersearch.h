#pragma once

#include "services/core/lookupcolumn.h"
#include "services/core/outcome.h"
#include "services/core/sqlterms.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// The customer code that is never listed (the standard-list party).
inline constexpr int kReservedCustomer = 99999;

inline constexpr char kCustomerRangeMessage[] = "Codice A deve essere maggiore di codice DA ";

// What the operator typed in the customer search. Empty texts and missing
// numbers do not filter; texts are taken without surrounding blanks.
struct CustomerSearchFilters {
    std::optional<int> codeFrom;
    std::optional<int> codeTo;
    QString name;             // RAG_SOC1 containing it
    QString town;             // CITTA_LEG, equal or containing (townPattern)
    bool townPattern = false;
    QString province;         // PROVINCIA_LEG
    QString vatNumber;        // PART_IVA
    QString taxCode;          // COD_FISC
    QString customerType;     // TIPO_CLIENTE
    std::optional<int> agent; // AGENTE
    QString zone;             // ZONA
    QString activity;         // COD_ATTIVITA
    // Only customers with orders neither closed nor cancelled (OFFERT).
    bool withOpenOrders = false;
};

// Who searches: an agent sees only his own customers.
struct CustomerSearchUser {
    QString code;      // the login code, "A12345" for agent 12345
    QString agentFlag; // the state's agent flag, empty for other users
};

struct CustomerSearch {
    QString sql;       // the list, in code order
    QString condition; // its WHERE conditions alone, for a list of ANAG_CLI
    Services::Params params;
    // The selection of the report ANACLIL picking the same rows. nullopt
    // when no formula can: the open-orders option (the formula cannot reach
    // OFFERT) and a name or town pattern holding "*" or "?" (wildcards in a
    // formula, plain characters on screen). The window then offers no print.
    std::optional<QString> formula;
};

// The list statement, its values and the report selection. Fails with
// kCustomerRangeMessage when the codes are reversed, and when the state marks
// an agent whose code carries no agent number.
Services::Outcome<CustomerSearch> buildCustomerSearch(const CustomerSearchFilters &filters,
                                                      const CustomerSearchUser &user);

// The columns of "Lista CLIENTI", in the order of the statement's SELECT.
QList<Services::LookupColumn> customerListColumns();

} // namespace Orlavo::Masterdata
