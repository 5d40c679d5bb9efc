#pragma once

#include "masterdata/rules/partysearch.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// The customer code that is never listed (the standard-list party).
inline constexpr int kReservedCustomer = 99999;

// What the operator typed in the customer search, besides the filters every
// party search has.
struct CustomerSearchFilters : PartySearchFilters {
    QString customerType;     // TIPO_CLIENTE
    std::optional<int> agent; // AGENTE
    QString zone;             // ZONA
    // Only customers with orders neither closed nor cancelled (OFFERT).
    bool withOpenOrders = false;
};

// Who searches: an agent sees only his own customers.
struct CustomerSearchUser {
    QString code;      // the login code, "A12345" for agent 12345
    QString agentFlag; // the state's agent flag, empty for other users
};

// The list of ANAG_CLI and the selection of the report ANACLIL. The open-
// orders option cannot be printed: the formula cannot reach OFFERT.
using CustomerSearch = PartySearch;

// The list statement, its values and the report selection. Fails with
// kPartyRangeMessage when the codes are reversed, and when the state marks
// an agent whose code carries no agent number.
Services::Outcome<CustomerSearch> buildCustomerSearch(const CustomerSearchFilters &filters,
                                                      const CustomerSearchUser &user);

// The columns of "Lista CLIENTI", in the order of the statement's SELECT.
QList<Services::LookupColumn> customerListColumns();

} // namespace Orlavo::Masterdata
