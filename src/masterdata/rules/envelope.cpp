#include "masterdata/rules/envelope.h"

namespace Orlavo::Masterdata {

namespace {

// "CAP TOWN (PR)", each part only when given.
QString townLine(const QString &cap, const QString &town, const QString &province)
{
    QStringList parts;
    for (const QString &part : {cap.trimmed(), town.trimmed()}) {
        if (!part.isEmpty())
            parts << part;
    }
    if (!province.trimmed().isEmpty())
        parts << QLatin1Char('(') + province.trimmed() + QLatin1Char(')');
    return parts.join(QLatin1Char(' '));
}

} // namespace

QStringList envelopeLines(const QHash<QString, QString> &main, const QString &countryDescription)
{
    const auto value = [&main](const char *column) { return main.value(QString::fromLatin1(column)).trimmed(); };
    QStringList lines;
    const auto add = [&lines](const QString &line) {
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    };
    add(value("RAG_SOC1"));
    add(value("RAG_SOC2"));
    // The administrative office receives the mail when it has a street.
    if (!value("INDIRIZZO_AMM").isEmpty()) {
        add(value("INDIRIZZO_AMM"));
        add(townLine(value("CAP_AMM"), value("CITTA_AMM"), value("PROVINCIA_AMM")));
    } else {
        add(value("INDIRIZZO_LEG"));
        add(townLine(value("CAP_LEG"), value("CITTA_LEG"), value("PROVINCIA_LEG")));
    }
    const QString country = value("NAZIONE").toUpper();
    const QString description = countryDescription.trimmed();
    if (!country.isEmpty() && country != QLatin1String("I") &&
        description.compare(QLatin1String("ITALIA"), Qt::CaseInsensitive) != 0)
        add(description);
    return lines;
}

} // namespace Orlavo::Masterdata
