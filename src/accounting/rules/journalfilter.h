#pragma once

#include "services/core/record.h"

#include <QDate>
#include <QString>

#include <functional>
#include <optional>

namespace Orlavo::Accounting {

// The journal listings' filters (the journal, the accounts' summary, the
// entry lists): the fields in screen order.
enum class FilterField {
    Year,
    NumberFrom,
    NumberTo,
    MovementFrom,
    MovementTo,
    RegistrationFrom,
    RegistrationTo,
    Account,
    CausalType,
    Causal,
    CostCentre,
    Customer,
    Supplier,
    SummaryStart,
};

// The accounts of a role group (customers and suppliers "CLI", "FOR"; bank
// and cash "BAN", "CAS"): all of them, only them, or all others.
enum class RoleFilter { All, Only, Excluded };

// The filters as typed.
struct JournalFilterInput {
    QString year;
    QString numberFrom, numberTo;
    QString movementFrom, movementTo;
    QString registrationFrom, registrationTo;
    // A code, or the start of codes ending with "*".
    QString account;
    QString causalType;
    QString causal;
    QString costCentre;
    QString customer;
    QString supplier;
    QString summaryStart;
    // A listing by account: the account is required.
    bool byAccount = false;
    RoleFilter parties = RoleFilter::All;
    RoleFilter bankAndCash = RoleFilter::All;
};

// The filters read: an empty text or an invalid date filters nothing.
struct JournalSelection {
    QString year;
    std::optional<int> numberFrom, numberTo;
    QDate movementFrom, movementTo;
    QDate registrationFrom, registrationTo;
    QString account;
    bool accountPrefix = false; // "04*": every account starting "04"
    QString causalType;
    QString causal;
    QString costCentre;
    std::optional<int> customer, supplier;
    QDate summaryStart;
    RoleFilter parties = RoleFilter::All;
    RoleFilter bankAndCash = RoleFilter::All;
};

// The name of a filter field as a problem names it ("ANNO", "NUMERO_DA"…),
// and back.
QString filterColumn(FilterField field);
std::optional<FilterField> filterFieldOf(const QString &column);

// Whether the archive knows a code typed in one of the coded filters
// (account, causal type, causal, cost centre, customer, supplier).
using FilterKnown = std::function<bool(FilterField field, const QString &code)>;

// The checks in screen order; the first failing one speaks and its field
// takes the cursor. Otherwise the selection.
struct FilterCheck {
    std::optional<Services::FieldProblem> problem;
    JournalSelection selection;
};
FilterCheck checkJournalFilter(const JournalFilterInput &input, const FilterKnown &known);

} // namespace Orlavo::Accounting
