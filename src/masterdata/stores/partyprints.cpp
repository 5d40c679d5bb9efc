#include "masterdata/stores/partyprints.h"

#include "masterdata/rules/envelope.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

#include <QHash>
#include <QStringList>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

constexpr char kEnvelopeLine[] = "RIGA%1";
// The list's heading, the same report for suppliers and agents.
constexpr char kListHeading[] = "TITOLO";

Reporting::PrintCommand commandOf(const QString &key, const QString &formula, const QString &title)
{
    Reporting::PrintCommand command;
    command.key = key;
    command.request.formula = formula;
    command.title = title;
    return command;
}

QString customerSelection(int code)
{
    return QStringLiteral("{ANAG_CLI.CLIENTE}=%1").arg(code);
}

} // namespace

Reporting::PrintCommand customerCardPrint(int code)
{
    return commandOf(QStringLiteral("ANACLI"), customerSelection(code), QStringLiteral("Stampa Cliente"));
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

    auto command = commandOf(QStringLiteral("BUSTACLI"), customerSelection(code), QStringLiteral("Stampa Busta"));
    for (qsizetype i = 0; i < lines.size(); ++i)
        command.request.formulas.insert(QString::fromLatin1(kEnvelopeLine).arg(i + 1), lines[i]);
    return command;
}

Reporting::PrintCommand customerListPrint(const QString &formula)
{
    return commandOf(QStringLiteral("ANACLIL"), formula, QStringLiteral("Lista CLIENTI"));
}

Reporting::PrintCommand supplierCardPrint(int code)
{
    return commandOf(QStringLiteral("ANAFOR"), QStringLiteral("{ANAG_FOR.FORNITORE}=%1").arg(code),
                     QStringLiteral("Stampa Fornitore"));
}

Reporting::PrintCommand supplierListPrint(const QString &formula, SupplierFlavour flavour)
{
    const QString title =
        flavour == SupplierFlavour::Agents ? QStringLiteral("Lista AGENTI") : QStringLiteral("Lista FORNITORI");
    auto command = commandOf(QStringLiteral("ANAFORL"), formula, title);
    command.request.formulas.insert(QString::fromLatin1(kListHeading), title);
    return command;
}

} // namespace Orlavo::Masterdata
