#include "masterdata/rules/pricelistrules.h"

#include "masterdata/rules/itemprices.h"
#include "services/core/values.h"

namespace Orlavo::Masterdata {

namespace {

using Services::FieldProblem;

constexpr char kDiscountBelow[] = "Sconto non può essere minore di zero !";
constexpr char kDiscountAbove[] = "Sconto non può essere maggiore di 100 !";

void checkDiscount(QList<FieldProblem> &problems, const Services::Row &row, const QString &column)
{
    const double value = row.number(column);
    if (value < 0)
        problems.append({column, QString::fromUtf8(kDiscountBelow)});
    else if (value > 100)
        problems.append({column, QString::fromUtf8(kDiscountAbove)});
}

void checkNotNegative(QList<FieldProblem> &problems, const Services::Row &row, const char *column, const char *message)
{
    if (row.number(QString::fromLatin1(column)) < 0)
        problems.append({QString::fromLatin1(column), QString::fromUtf8(message)});
}

} // namespace

PartyDiscounts chooseDiscounts(const std::optional<PartyDiscounts> &brandRow,
                               const std::optional<PartyDiscounts> &standardBrandRow, const PartyDiscounts &item)
{
    if (brandRow)
        return *brandRow;
    if (standardBrandRow)
        return *standardBrandRow;
    return item;
}

double purchaseNet(double listPrice, const Discounts &discounts, int decimals)
{
    return discounted(listPrice, discounts[0], discounts[1], discounts[2], decimals);
}

PriceSource priceSource(const QString &documentType, bool ownPrice, bool customerHasRows, bool standardHasRows)
{
    if (ownPrice || documentType.trimmed().compare(QLatin1String(kReceiptType), Qt::CaseInsensitive) == 0)
        return PriceSource::Item;
    if (customerHasRows)
        return PriceSource::CustomerList;
    if (standardHasRows)
        return PriceSource::StandardList;
    return PriceSource::Item;
}

QList<FieldProblem> purchaseRowProblems(const Services::Row &row)
{
    QList<FieldProblem> problems;
    checkNotNegative(problems, row, "PR_ACQUISTO", "Prezzo d'Acquisto scontato - non può essere minore di 0 ! ");
    for (const char *column : {"SC_A1", "SC_A2", "SC_A3"})
        checkDiscount(problems, row, QString::fromLatin1(column));
    checkNotNegative(problems, row, "PR_ACQFISSO", "Prezzo d'Acquisto Fisso - non può essere minore di 0 ! ");
    return problems;
}

QList<FieldProblem> saleRowProblems(const Services::Row &row)
{
    QList<FieldProblem> problems;
    checkNotNegative(problems, row, "PR_VENFISSO", "Prezzo di vendita fisso non può essere minore di zero !");
    checkNotNegative(problems, row, "PR_RICARICATO", "Prezzo di vendita ricaricato non può essere minore di zero !");
    const double markup = row.number(QStringLiteral("PERC_RIC"));
    if (markup < 0)
        problems.append(
            {QStringLiteral("PERC_RIC"), QStringLiteral("Percentuale Ricarico non può essere minore di zero !")});
    else if (markup > 100)
        problems.append(
            {QStringLiteral("PERC_RIC"), QStringLiteral("Percentuale Ricarico non può essere maggiore di 100 !")});
    checkNotNegative(problems, row, "PR_VENDITA", "Prezzo di vendita scontato non può essere minore di zero !");
    for (const char *column : {"SC_V1", "SC_V2", "SC_V3"})
        checkDiscount(problems, row, QString::fromLatin1(column));
    return problems;
}

int priceDecimals(double price, int decimals)
{
    int needed = decimals;
    while (needed < kMostPriceDecimals && Services::roundDec(price, needed) != price)
        ++needed;
    return needed;
}

QString priceText(double price, int decimals)
{
    return QString::number(price, 'f', priceDecimals(price, decimals)).replace(QLatin1Char('.'), QLatin1Char(','));
}

QString discountText(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text.indexOf(QLatin1Char('.')) < 2 && !text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char('0'));
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}

} // namespace Orlavo::Masterdata
