#include "masterdata/rules/duedates.h"

#include "services/core/values.h"

#include <cmath>

namespace Orlavo::Masterdata {

using Services::roundDec;

namespace {

struct KindTexts {
    char kind;
    const char *texts[4]; // for one to four instalments
};

constexpr KindTexts kKinds[] = {
    {'D', {"RIMESSA DIRETTA", "RIM. DIRETTA", "RIM. DIR.", "RIM.DIR"}},
    {'B', {"BONIFICO", "BONIFICO", "BONIFICO", "BON."}},
    {'R', {"RICEVUTA BANCARIA", "RIC. BANCARIA", "RIC. BAN.", "RI. BA."}},
    {'P', {"C/C POSTALE", "C/C POSTALE", "C/C POST.", "C/C POS"}},
    {'C', {"CONTRASSEGNO", "CONTRASSEGNO", "CONTRASS.", "CONTAS."}},
    {'T', {"ADDEBITO PREAUTORIZZATO", "ADD.PREAUTOR", "ADD.PRE.", "AD.PRE."}},
};

// The filled day fields in order, and how many there are.
struct Filled {
    std::array<int, 4> days{};
    int count = 0;
};

Filled filled(const std::array<int, 4> &days)
{
    Filled found;
    for (int d : days) {
        if (d != 0)
            found.days[size_t(found.count++)] = d;
    }
    return found;
}

QDate lastDayOf(int year, int month)
{
    const QDate first(year, month, 1);
    return first.addDays(first.daysInMonth() - 1);
}

// The month `months` after (year, month), carried into the years.
std::pair<int, int> monthsAfter(int year, int month, int months)
{
    const int index = (month - 1) + months;
    return {year + index / 12, index % 12 + 1};
}

bool fromMonthEnd(QChar start)
{
    return start.toUpper() == QLatin1Char('F');
}

QDate dueDate(const QDate &base, int days, QChar start)
{
    if (days > 0 && days % 30 == 0) {
        const auto [year, month] = monthsAfter(base.year(), base.month(), days / 30);
        if (fromMonthEnd(start))
            return lastDayOf(year, month);
        // The document's day runs on past a shorter month's end.
        return QDate(year, month, 1).addDays(base.day() - 1);
    }
    const QDate counted = base.addDays(days);
    return fromMonthEnd(start) ? lastDayOf(counted.year(), counted.month()) : counted;
}

QDate forced(const QDate &date, int day)
{
    const auto [year, month] = monthsAfter(date.year(), date.month(), 1);
    const QDate first(year, month, 1);
    return QDate(year, month, std::min(day, first.daysInMonth()));
}

} // namespace

QString conditionDescription(QChar kind, const std::array<int, 4> &days, QChar start)
{
    const Filled given = filled(days);
    for (const KindTexts &k : kKinds) {
        if (QLatin1Char(k.kind) != kind.toUpper())
            continue;
        QString text = QString::fromLatin1(k.texts[std::max(1, given.count) - 1]);
        if (given.count == 0)
            return text;
        QStringList numbers;
        for (int i = 0; i < given.count; ++i)
            numbers.append(QString::number(given.days[size_t(i)]));
        text += QLatin1Char(' ') + numbers.join(QLatin1Char('/')) + QStringLiteral(" GG");
        text += fromMonthEnd(start) ? QStringLiteral(" DF FM") : QStringLiteral(" DF");
        return text;
    }
    return {};
}

bool computesNothing(const QString &code)
{
    return code.trimmed().toUpper() >= QLatin1String("XXX");
}

DueDates computeDueDates(double amount, int decimals, const QDate &documentDate, const PaymentCondition &condition,
                         double commission)
{
    DueDates dates;
    const QString code = condition.code.trimmed().toUpper();
    dates.open = code.startsWith(QLatin1Char('X'));
    if (computesNothing(code)) {
        dates.amountImbalance = roundDec(amount, decimals);
        dates.commission = roundDec(commission, decimals);
        dates.commissionImbalance = dates.commission;
        return dates;
    }
    const Filled days = filled(condition.days);
    if (days.count == 0) {
        const QDate date =
            fromMonthEnd(condition.start) ? lastDayOf(documentDate.year(), documentDate.month()) : documentDate;
        dates.lines.append({date, roundDec(amount, decimals), 0});
    } else {
        const int n = days.count;
        const double share = roundDec(amount / n, decimals);
        const double first = roundDec(amount - (n - 1) * share, decimals);
        dates.lines.reserve(n);
        for (int k = 0; k < n; ++k)
            dates.lines.append(
                {dueDate(documentDate, days.days[size_t(k)], condition.start), k == 0 ? first : share, 0});
    }
    if (condition.forcedDay != 0) {
        for (DueLine &line : dates.lines)
            line.date = forced(line.date, condition.forcedDay);
    }
    double lines = 0;
    for (const DueLine &line : std::as_const(dates.lines))
        lines += line.amount;
    dates.amountImbalance = roundDec(amount - lines, decimals);
    shareCommission(dates, commission, decimals);
    return dates;
}

void shareCommission(DueDates &dates, double commission, int decimals)
{
    const double total = roundDec(commission, decimals);
    dates.commission = total;
    double paid = 0;
    int last = -1;
    for (int k = 0; k < dates.lines.size(); ++k) {
        dates.lines[k].commission = 0;
        paid += dates.lines.at(k).amount;
        if (dates.lines.at(k).amount != 0)
            last = k;
    }
    paid = roundDec(paid, decimals);
    if (paid == 0) {
        dates.commissionImbalance = total;
        return;
    }
    // Shares are whole units of the last decimal: their sum is compared
    // within half a unit.
    const double halfUnit = 0.5 / std::pow(10.0, decimals);
    double assigned = 0;
    for (int k = 0; k < dates.lines.size(); ++k) {
        // Once the commission is spent the other lines take nothing.
        if (std::abs(assigned) > std::abs(total) - halfUnit)
            break;
        DueLine &line = dates.lines[k];
        line.commission =
            k == last ? roundDec(total - assigned, decimals) : roundDec(total / paid * line.amount, decimals);
        assigned += line.commission;
    }
    dates.commissionImbalance = roundDec(total - assigned, decimals);
}

} // namespace Orlavo::Masterdata
