#include "customerprints.h"

#include "dataaccess.h"
#include "tablenames.h"

namespace Orlavo::Shell {

namespace Tables = Services::Tables;

namespace {

constexpr char kEnvelopeLine[] = "RIGA%1";

QString selectionOf(int code)
{
    return QStringLiteral("{ANAG_CLI.CLIENTE}=%1").arg(code);
}

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

PrintCommand customerCardPrint(int code)
{
    PrintCommand command;
    command.key = QStringLiteral("ANACLI");
    command.request.formula = selectionOf(code);
    command.title = QStringLiteral("Stampa Cliente");
    return command;
}

std::optional<PrintCommand> customerEnvelopePrint(Services::DataAccess &db, int code)
{
    static const QStringList columns = {
        QStringLiteral("RAG_SOC1"),      QStringLiteral("RAG_SOC2"),  QStringLiteral("INDIRIZZO_LEG"),
        QStringLiteral("CITTA_LEG"),     QStringLiteral("CAP_LEG"),   QStringLiteral("PROVINCIA_LEG"),
        QStringLiteral("INDIRIZZO_AMM"), QStringLiteral("CITTA_AMM"), QStringLiteral("CAP_AMM"),
        QStringLiteral("PROVINCIA_AMM"), QStringLiteral("NAZIONE")};
    auto rows = db.openRecordset(QStringLiteral("SELECT C.%1, P.DESCRIZIONE AS PAESE_DESCRIZIONE FROM %2 C "
                                                "LEFT JOIN %3 P ON P.PAESE = C.NAZIONE WHERE C.CLIENTE = ?")
                                     .arg(columns.join(QStringLiteral(", C.")), Tables::ANAG_CLI, Tables::TAB_PAESI),
                                 {code});
    if (!rows || rows->isEmpty())
        return std::nullopt;
    QHash<QString, QString> main;
    for (const QString &column : columns)
        main.insert(column, rows->first().text(column));
    const QStringList lines = envelopeLines(main, rows->first().text(QStringLiteral("PAESE_DESCRIZIONE")));

    PrintCommand command;
    command.key = QStringLiteral("BUSTACLI");
    command.request.formula = selectionOf(code);
    for (qsizetype i = 0; i < lines.size(); ++i)
        command.request.formulas.insert(QString::fromLatin1(kEnvelopeLine).arg(i + 1), lines[i]);
    command.title = QStringLiteral("Stampa Busta");
    return command;
}

PrintCommand customerListPrint(const QString &formula)
{
    PrintCommand command;
    command.key = QStringLiteral("ANACLIL");
    command.request.formula = formula;
    command.title = QStringLiteral("Lista CLIENTI");
    return command;
}

} // namespace Orlavo::Shell
