#include "sales/rules/invoiceposting.h"

#include "services/core/values.h"

#include <cmath>

namespace Orlavo::Sales {

namespace {

QString date(const QDate &d)
{
    return d.toString(QStringLiteral("dd/MM/yyyy"));
}

QChar opposite(QChar sign)
{
    return sign == QLatin1Char('D') ? QLatin1Char('A') : QLatin1Char('D');
}

} // namespace

InvoiceCounters invoiceCounters(const QString &year, const QString &type, const QString &series, Family family,
                                bool creditNotesApart, bool debitNotesApart)
{
    QString apart;
    if (isCreditNote(type) && creditNotesApart)
        apart = QStringLiteral("_NA");
    else if (type.trimmed().toUpper() == QLatin1String("VFD") && debitNotesApart)
        apart = QStringLiteral("_ND");
    const QString proposal = family == Family::Proposal ? QStringLiteral("_PR") : QString();
    const QString base = year + QStringLiteral("FVEND") + series.trimmed().toUpper();
    InvoiceCounters counters;
    if (family != Family::Proposal)
        counters.internal = year + QStringLiteral("NROINT");
    counters.registration = base + apart + proposal;
    counters.document = base + QStringLiteral("DOC") + apart + proposal;
    return counters;
}

QString entryDescription(const QString &typeDescription)
{
    return QStringLiteral("Emissione ") + typeDescription.trimmed().toLower();
}

QList<PostingLine> invoiceLines(const InvoiceFigures &f)
{
    const QChar customerSide = customerSign(f.type);
    const QChar counterSide = opposite(customerSide);
    QList<PostingLine> lines;
    lines.append({f.customerAccount, customerSide, f.total,
                  f.customerName.trimmed().isEmpty() ? QStringLiteral("Cliente generico") : f.customerName.trimmed(),
                  f.customer});
    if (f.discount != 0)
        lines.append({f.discountAccount, customerSide, f.discount, {}, 0});
    const QString text = QStringLiteral("%1 n. %2 del %3").arg(f.type).arg(f.documentNumber).arg(date(f.documentDate));
    // Counter amounts summed per account, in the order accounts appear.
    QList<std::pair<QString, double>> sums;
    const auto add = [&sums](const QString &account, double amount) {
        for (auto &sum : sums) {
            if (sum.first == account) {
                sum.second += amount;
                return;
            }
        }
        sums.append({account, amount});
    };
    if (!isVatOnly(f.type)) {
        for (const auto &[account, amount] : f.rows)
            add(account, amount);
        double rounded = 0;
        qsizetype largest = -1;
        for (qsizetype i = 0; i < sums.size(); ++i) {
            sums[i].second = Services::roundDec(sums[i].second, f.decimals);
            rounded += sums[i].second;
            if (largest < 0 || std::abs(sums[i].second) > std::abs(sums[largest].second))
                largest = i;
        }
        if (largest >= 0)
            sums[largest].second = Services::roundDec(sums[largest].second + f.goods - rounded, f.decimals);
    }
    // The summary leaves the expenses out of a VAT-only document.
    if (!isVatOnly(f.type)) {
        add(f.transportAccount, f.transport);
        add(f.bankAccount, f.bank);
        add(f.stampAccount, f.stamp);
    }
    for (const auto &[account, amount] : sums) {
        const double rounded = Services::roundDec(amount, f.decimals);
        if (rounded != 0)
            lines.append({account, rounded < 0 ? customerSide : counterSide, std::abs(rounded),
                          QStringLiteral("Emissione ") + text, 0});
    }
    if (f.vat != 0)
        lines.append({f.vatAccount, f.vat < 0 ? customerSide : counterSide, std::abs(f.vat),
                      QStringLiteral("Iva su ") + text, 0});
    return lines;
}

QList<PostingLine> withholdingLines(const InvoiceFigures &f, const QString &withholdingAccount, double amount)
{
    const QChar customerSide = opposite(customerSign(f.type));
    const QString text = withholdingDescription(f.documentNumber, f.documentDate);
    return {{f.customerAccount, customerSide, amount, text, f.customer},
            {withholdingAccount, opposite(customerSide), amount, text, 0}};
}

QString withholdingDescription(int documentNumber, const QDate &documentDate)
{
    return QStringLiteral("Registrazione ritenuta d'acconto su fatt. %1 del %2")
        .arg(documentNumber)
        .arg(date(documentDate));
}

} // namespace Orlavo::Sales
