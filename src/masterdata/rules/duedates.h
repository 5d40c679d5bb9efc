#pragma once

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace Orlavo::Masterdata {

// A payment condition of TAB_COND_PAG: the kind of payment (DESC_COND), the
// days to each instalment (GIORN1..4, 0 for none), the day of the following
// month to force (GGFORZ, 0 for none) and the start of the count (DF_FM:
// 'D' the document date, 'F' the end of its month).
struct PaymentCondition {
    QString code;
    QChar kind;
    std::array<int, 4> days{};
    int forcedDay = 0;
    QChar start = QLatin1Char('D');
};

// The description the editor composes: the kind's text for the number of
// instalments, the days joined by "/", " GG", then " DF" or " DF FM"
// ("RIC. BAN. 30/60/90 GG DF FM"); the kind's text alone without days.
// Empty for an unknown kind.
QString conditionDescription(QChar kind, const std::array<int, 4> &days, QChar start);

// One due date with its amount and its share of the agent's commission.
struct DueLine {
    QDate date;
    double amount = 0;
    double commission = 0;
    bool operator==(const DueLine &) const = default;
};

struct DueDates {
    QList<DueLine> lines; // at most four
    // The lines are open to the operator: every code beginning with "X".
    bool open = false;
    double commission = 0;          // the document's total commission
    double amountImbalance = 0;     // amount to pay less the lines' amounts
    double commissionImbalance = 0; // commission less the lines' shares
};

// A condition the operator fills by hand: "XXX" and every code after it in
// character order; nothing is computed for them.
bool computesNothing(const QString &code);

// The due dates of an amount to pay at `decimals`, from the document date,
// under the condition; `commission` is the sum of the rows' commissions.
// Instalments are the amount divided and rounded, the remainder on the
// first. Line k takes the k-th non-zero day field. Days that are a multiple
// of 30 count as calendar months (the document's day in the target month,
// running on past its end; with 'F' the month's last day); other days count
// as days (with 'F' to their month's end). A forced day takes that day of
// the following month, or its last day when the month is shorter. A code
// that computes nothing gives no lines and the whole amount as imbalance.
DueDates computeDueDates(double amount, int decimals, const QDate &documentDate, const PaymentCondition &condition,
                         double commission);

// The agent's commission spread over the lines' amounts: each line its share
// in proportion, the last line with an amount what is left, nothing once the
// commission is spent. The imbalance is what the shares leave over.
void shareCommission(DueDates &dates, double commission, int decimals);

} // namespace Orlavo::Masterdata
