#include "sales/rules/documenttypes.h"

#include "services/core/values.h"

namespace Orlavo::Sales {

namespace {

QString normal(const QString &type)
{
    return type.trimmed().toUpper();
}

} // namespace

bool isCreditNote(const QString &type)
{
    return normal(type).startsWith(QLatin1String("VT"));
}

bool isVatOnly(const QString &type)
{
    const QString t = normal(type);
    return t == QLatin1String("VFI") || t == QLatin1String("VTI");
}

QChar customerSign(const QString &type)
{
    return isCreditNote(type) ? QLatin1Char('A') : QLatin1Char('D');
}

QString documentHeading(const QString &type, Family family)
{
    const QString t = normal(type);
    QString heading;
    if (isCreditNote(t))
        heading = QStringLiteral("NOTA D' ACCREDITO");
    else if (t == QLatin1String("VFD"))
        heading = QStringLiteral("NOTA D' ADDEBITO");
    else if (t == QLatin1String("VFR"))
        heading = QStringLiteral("RICEVUTA FISCALE");
    else
        heading = QStringLiteral("FATTURA");
    if (family == Family::Proposal)
        heading.prepend(QStringLiteral("PROPOSTA DI "));
    return QStringLiteral("DICITURA='%1'").arg(heading);
}

Currency currencyOfYear(const QString &year)
{
    if (year.trimmed() >= QLatin1String("2002"))
        return {QStringLiteral("EURO"), 2};
    return {QStringLiteral("LIRE"), 0};
}

double euroValue(double amount, const Currency &currency)
{
    if (!currency.lire())
        return amount;
    return Services::roundDec(amount / Services::kEuroLireRate, 2);
}

} // namespace Orlavo::Sales
