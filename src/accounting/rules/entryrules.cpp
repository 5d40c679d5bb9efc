#include "accounting/rules/entryrules.h"

#include "services/core/values.h"

namespace Orlavo::Accounting {

using Services::roundDec;

ReceiptSplit splitReceipt(double total, double rate, int decimals)
{
    ReceiptSplit split;
    split.taxable = roundDec(total * 100 / (100 + rate), decimals);
    split.vat = roundDec(total - split.taxable, decimals);
    return split;
}

QList<EntryRow> compacted(const QList<EntryRow> &rows)
{
    QList<EntryRow> kept;
    for (const EntryRow &row : rows) {
        if (!row.isEmpty())
            kept.append(row);
    }
    return kept;
}

namespace {

QList<EntryRow *> withAccount(QList<EntryRow> &rows)
{
    QList<EntryRow *> found;
    for (EntryRow &row : rows) {
        if (!row.account.trimmed().isEmpty())
            found.append(&row);
    }
    return found;
}

bool balanceSheet(const EntryRow &row)
{
    return row.accountType.toUpper() == QLatin1Char('P');
}

} // namespace

void applyReceiptSplit(QList<EntryRow> &debit, QList<EntryRow> &credit, double total, const ReceiptSplit &split)
{
    const QList<EntryRow *> debits = withAccount(debit);
    if (debits.size() == 1)
        debits.first()->amount = total;
    const QList<EntryRow *> credits = withAccount(credit);
    if (credits.size() != 2 || balanceSheet(*credits[0]) == balanceSheet(*credits[1]))
        return;
    EntryRow *vat = balanceSheet(*credits[0]) ? credits[0] : credits[1];
    EntryRow *taxable = vat == credits[0] ? credits[1] : credits[0];
    vat->amount = split.vat;
    taxable->amount = split.taxable;
}

std::optional<QString> balanceProblem(double total, double debitSum, double creditSum, int decimals)
{
    const double debitGap = roundDec(roundDec(total, decimals) - roundDec(debitSum, decimals), decimals);
    const double creditGap = roundDec(roundDec(total, decimals) - roundDec(creditSum, decimals), decimals);
    const auto shown = [decimals](double gap) { return Services::formatAmount(gap, decimals); };
    if (debitGap != 0 && creditGap != 0)
        return QStringLiteral("Squadratura importi DARE e AVERE: \nDARE : %1   AVERE : %2")
            .arg(shown(debitGap), shown(creditGap));
    if (debitGap != 0)
        return QStringLiteral("Squadratura importi DARE : %1").arg(shown(debitGap));
    if (creditGap != 0)
        return QStringLiteral("Squadratura importi AVERE : %1").arg(shown(creditGap));
    return std::nullopt;
}

QDate proposedRegistrationDate(const QString &workingYear, const QDate &today)
{
    const int year = workingYear.trimmed().toInt();
    if (year <= 0 || today.year() == year)
        return today;
    return today.year() > year ? QDate(year, 12, 31) : QDate(year, 1, 1);
}

bool inWorkingYear(const QDate &date, const QString &workingYear)
{
    return date.isValid() && date.year() == workingYear.trimmed().toInt();
}

QString writeStamp(const QDateTime &now)
{
    const QDate day = now.date();
    return QStringLiteral("%1-%2-%3-%4")
        .arg(day.year())
        .arg(day.month())
        .arg(day.day())
        .arg(now.time().toString(QStringLiteral("HH:mm:ss.zzz")));
}

} // namespace Orlavo::Accounting
