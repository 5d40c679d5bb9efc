#include "masterdata/rules/accountrules.h"

#include <QStringList>

namespace Orlavo::Masterdata {

namespace {

QString normalisedCode(const QString &code)
{
    return code.trimmed().toUpper();
}

} // namespace

const QList<std::pair<QString, QString>> &accountTypes()
{
    static const QList<std::pair<QString, QString>> types{
        {QStringLiteral("C"), QStringLiteral("COSTO")},
        {QStringLiteral("R"), QStringLiteral("RICAVO")},
        {QStringLiteral("P"), QStringLiteral("PATRIMONIALE")},
    };
    return types;
}

QString accountTypeWord(const QString &letter)
{
    for (const auto &[code, word] : accountTypes()) {
        if (code == normalisedCode(letter))
            return word;
    }
    return {};
}

const QList<std::pair<QString, QString>> &accountRoles()
{
    static const QList<std::pair<QString, QString>> roles{
        {QStringLiteral("CLI"), QStringLiteral("Clienti")},
        {QStringLiteral("FOR"), QStringLiteral("Fornitori")},
        {QStringLiteral("RIC"), QStringLiteral("Ricavi di vendita")},
        {QStringLiteral("COS"), QStringLiteral("Costi di acquisto")},
        {QStringLiteral("IVV"), QStringLiteral("Iva su vendite")},
        {QStringLiteral("IVA"), QStringLiteral("Iva su acquisti")},
        {QStringLiteral("BOL"), QStringLiteral("Spese bolli")},
        {QStringLiteral("SPB"), QStringLiteral("Spese d'incasso")},
        {QStringLiteral("SPT"), QStringLiteral("Spese di trasporto")},
        {QStringLiteral("ARP"), QStringLiteral("Arrotondamenti e sconti passivi")},
        {QStringLiteral("ARA"), QStringLiteral("Arrotondamenti attivi")},
        {QStringLiteral("SPA"), QStringLiteral("Spese su incassi")},
        {QStringLiteral("SPP"), QStringLiteral("Spese su pagamenti")},
        {QStringLiteral("CAS"), QStringLiteral("Cassa")},
        {QStringLiteral("BAN"), QStringLiteral("Banca")},
        {QStringLiteral("SPF"), QStringLiteral("Escluso dalla chiusura")},
        {QStringLiteral("UTI"), QStringLiteral("Utile d'esercizio")},
        {QStringLiteral("PER"), QStringLiteral("Perdita d'esercizio")},
    };
    return roles;
}

bool isAccountRole(const QString &role)
{
    const QString code = normalisedCode(role);
    if (code.isEmpty())
        return true;
    for (const auto &known : accountRoles()) {
        if (known.first == code)
            return true;
    }
    return false;
}

bool roleFitsType(const QString &role, const QString &type)
{
    static const QStringList balanceSheet{QStringLiteral("CLI"), QStringLiteral("FOR"), QStringLiteral("IVV"),
                                          QStringLiteral("IVA"), QStringLiteral("CAS"), QStringLiteral("BAN")};
    const QString code = normalisedCode(role);
    QString required;
    if (code == QLatin1String("RIC"))
        required = QStringLiteral("R");
    else if (code == QLatin1String("COS"))
        required = QStringLiteral("C");
    else if (balanceSheet.contains(code))
        required = QStringLiteral("P");
    return required.isEmpty() || required == normalisedCode(type);
}

} // namespace Orlavo::Masterdata
