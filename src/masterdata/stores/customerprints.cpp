#include "masterdata/stores/customerprints.h"

#include "masterdata/rules/envelope.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

constexpr char kEnvelopeLine[] = "RIGA%1";

QString selectionOf(int code)
{
    return QStringLiteral("{ANAG_CLI.CLIENTE}=%1").arg(code);
}

} // namespace

Reporting::PrintCommand customerCardPrint(int code)
{
    Reporting::PrintCommand command;
    command.key = QStringLiteral("ANACLI");
    command.request.formula = selectionOf(code);
    command.title = QStringLiteral("Stampa Cliente");
    return command;
}

std::optional<Reporting::PrintCommand> customerEnvelopePrint(Services::DataAccess &db, int code)
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

    Reporting::PrintCommand command;
    command.key = QStringLiteral("BUSTACLI");
    command.request.formula = selectionOf(code);
    for (qsizetype i = 0; i < lines.size(); ++i)
        command.request.formulas.insert(QString::fromLatin1(kEnvelopeLine).arg(i + 1), lines[i]);
    command.title = QStringLiteral("Stampa Busta");
    return command;
}

Reporting::PrintCommand customerListPrint(const QString &formula)
{
    Reporting::PrintCommand command;
    command.key = QStringLiteral("ANACLIL");
    command.request.formula = formula;
    command.title = QStringLiteral("Lista CLIENTI");
    return command;
}

} // namespace Orlavo::Masterdata
