#include "sales/stores/invoicechecks.h"

#include "sales/stores/salestables.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Sales {

using Services::FieldProblem;
using Services::Row;
namespace Tables = Services::Tables;

namespace {

constexpr int kInvoicechecksStandardList = 99999;

// Whether the code is in the table (case ignored); a failed read counts as
// found, so a lock conflict never calls a good code wrong.
bool known(Services::DataAccess &db, const QString &table, const QString &column, const QVariant &value,
           const QString &extra = {})
{
    const auto rows =
        db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE UPPER(%1) = UPPER(?)%3").arg(column, table, extra),
                         {value}, Services::databaseOf(table));
    return !rows || !rows->isEmpty();
}

// The type's numbering group: credit notes and debit notes among themselves
// when they are numbered apart, the rest together.
QString groupCondition(const QString &type, const TypedInvoice &invoice)
{
    if (invoice.creditNotesApart && isCreditNote(type))
        return QStringLiteral(" AND MOVIMENTO LIKE 'VT%'");
    if (invoice.debitNotesApart && type == QLatin1String("VFD"))
        return QStringLiteral(" AND MOVIMENTO = 'VFD'");
    QString rest;
    if (invoice.creditNotesApart)
        rest += QStringLiteral(" AND MOVIMENTO NOT LIKE 'VT%'");
    if (invoice.debitNotesApart)
        rest += QStringLiteral(" AND MOVIMENTO <> 'VFD'");
    return rest;
}

// The latest date of the column among the documents of its family, year,
// series and numbering group.
QDate latest(Services::DataAccess &db, const TypedInvoice &invoice, const QString &column)
{
    const Row &h = invoice.document.header;
    const QString type = h.text(QStringLiteral("MOVIMENTO")).trimmed().toUpper();
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT MAX(%1) AS ULTIMA FROM %2 WHERE ANNO = ? AND COALESCE(TIPOFATT, '') = COALESCE(?, '')%3")
            .arg(column, headerTable(invoice.document.family).table, groupCondition(type, invoice)),
        {h.text(QStringLiteral("ANNO")), h.text(QStringLiteral("TIPOFATT")).trimmed()});
    return rows && !rows->isEmpty() ? rows->first().value(QStringLiteral("ULTIMA")).toDate() : QDate();
}

} // namespace

QString rowColumn(int index, const QString &column)
{
    return QStringLiteral("RIGA%1.%2").arg(index + 1).arg(column);
}

QList<FieldProblem> invoiceProblems(Services::DataAccess &db, const TypedInvoice &invoice)
{
    const Row &h = invoice.document.header;
    QList<FieldProblem> problems;
    const auto fail = [&problems](const QString &column, const char *message) {
        problems.append({column, QString::fromUtf8(message)});
    };
    const auto text = [&h](const char *column) { return h.text(QString::fromLatin1(column)).trimmed(); };
    const auto typed = [&invoice](const char *column) {
        return invoice.typed.value(QString::fromLatin1(column)).trimmed();
    };
    const auto account = [&db](const QString &code, const QString &kind = {}) {
        return known(db, Tables::TAB_PIANO_CONTI, QStringLiteral("CODICE"), code,
                     kind.isEmpty() ? QString() : QStringLiteral(" AND TIPO_CONTO = '%1'").arg(kind));
    };

    // 1. Document type.
    const QString type = text("MOVIMENTO").toUpper();
    if (type.isEmpty())
        fail(QStringLiteral("MOVIMENTO"), "Tipo documento obbligatorio");
    else if (!type.startsWith(QLatin1Char('V')) || !known(db, Tables::TAB_TIPO_DOC, QStringLiteral("CODICE"), type))
        fail(QStringLiteral("MOVIMENTO"), "Tipo documento errato");

    // 2. Document date.
    const QDate documentDate = Services::parseItalianDate(typed("DATA_DOC"));
    if (typed("DATA_DOC").isEmpty())
        fail(QStringLiteral("DATA_DOC"), "Data documento obbligatoria ");
    else if (!documentDate.isValid())
        fail(QStringLiteral("DATA_DOC"), "Data documento errata");
    else if (invoice.newDocument) {
        const QDate last = latest(db, invoice, QStringLiteral("DATA_DOC"));
        if (last.isValid() && documentDate < last)
            fail(QStringLiteral("DATA_DOC"),
                 "Data documento non può essere MINORE della data documento dell'ultima fattura inserita");
    }

    // 3. Registration date.
    const QDate registered = Services::parseItalianDate(typed("DATA_REG"));
    if (typed("DATA_REG").isEmpty())
        fail(QStringLiteral("DATA_REG"), "Data registrazione obbligatoria ");
    else if (!registered.isValid())
        fail(QStringLiteral("DATA_REG"), "Data registrazione errata");
    else if (QString::number(registered.year()) != invoice.workingYear)
        fail(QStringLiteral("DATA_REG"), "Anno di data registrazione errato ");
    else if (documentDate.isValid() && registered < documentDate)
        fail(QStringLiteral("DATA_REG"), "Data registrazione non può essere MINORE della data documento ");
    else if (invoice.newDocument) {
        const QDate last = latest(db, invoice, QStringLiteral("DATA_REG"));
        if (last.isValid() && registered < last)
            fail(QStringLiteral("DATA_REG"),
                 "Data registrazione non può essere MINORE della data registrazione dell'ultima fattura inserita");
    }

    // 4. Customer; a tax receipt may go to a private customer.
    const int customer = h.integer(QStringLiteral("CLIENTE"));
    if (customer == 0) {
        fail(QStringLiteral("CLIENTE"), "Cliente obbligatorio ");
    } else {
        const auto rows = db.openRecordset(
            QStringLiteral("SELECT PART_IVA, COD_FISC, NAZIONE FROM %1 WHERE CLIENTE = ? AND CLIENTE <> ?")
                .arg(Tables::ANAG_CLI),
            {customer, kInvoicechecksStandardList});
        if (rows && rows->isEmpty())
            fail(QStringLiteral("CLIENTE"), "Cliente errato ");
        else if (rows && type != QLatin1String("VFR") &&
                 rows->first().text(QStringLiteral("NAZIONE")).trimmed().toUpper() == QLatin1String("I") &&
                 rows->first().text(QStringLiteral("PART_IVA")).trimmed().isEmpty() &&
                 rows->first().text(QStringLiteral("COD_FISC")).trimmed().isEmpty())
            fail(QStringLiteral("CLIENTE"), "Manca partita iva o cod. fiscale su anagrafica cliente");
    }

    // 5. Payment.
    if (text("COND_PAG").isEmpty())
        fail(QStringLiteral("COND_PAG"), "Condizione Pagamento obbligatoria ");
    else if (!known(db, Tables::TAB_COND_PAG, QStringLiteral("CODICE"), text("COND_PAG")))
        fail(QStringLiteral("COND_PAG"), "Condizione Pagamento errata");
    if (!text("BANCA_APP").isEmpty() && !known(db, Tables::TAB_BAN_APP, QStringLiteral("CODICE"), text("BANCA_APP")))
        fail(QStringLiteral("BANCA_APP"), "Banca appoggio sconosciuta !");
    if (!text("BANCA_PAG").isEmpty() && !known(db, Tables::TAB_BAN_PAG, QStringLiteral("CODICE"), text("BANCA_PAG")))
        fail(QStringLiteral("BANCA_PAG"), "Banca pagamento sconosciuta !");

    // 6. Causal type (sales codes begin with "V") and cost centre.
    const QString causal = text("CAUSALE").toUpper();
    if (causal.isEmpty())
        fail(QStringLiteral("CAUSALE"), "Tipo causale obbligatorio");
    else if (!causal.startsWith(QLatin1Char('V')) ||
             !known(db, Tables::TAB_TIPO_CAUS, QStringLiteral("CODICE"), causal))
        fail(QStringLiteral("CAUSALE"), "Tipo causale errato!");
    if (!text("CCOS").isEmpty() && !known(db, Tables::TAB_CCOS, QStringLiteral("CODICE"), text("CCOS")))
        fail(QStringLiteral("CCOS"), "Centro di costo errato");

    // 7. Accounts.
    if (text("CONTO_CLI").isEmpty())
        fail(QStringLiteral("CONTO_CLI"), "Conto di contropartita patrimoniale obbligatorio");
    else if (!account(text("CONTO_CLI"), QStringLiteral("P")))
        fail(QStringLiteral("CONTO_CLI"), "Conto di contropartita patrimoniale errato");
    const bool discounted = h.number(QStringLiteral("SCONTO1")) != 0 || h.number(QStringLiteral("SCONTO2")) != 0 ||
                            h.number(QStringLiteral("SCONTO3")) != 0;
    if (discounted && text("CONTO_SCONTI").isEmpty())
        fail(QStringLiteral("CONTO_SCONTI"), "Conto per sconto obbligatorio");
    else if (discounted && !account(text("CONTO_SCONTI")))
        fail(QStringLiteral("CONTO_SCONTI"), "Conto per sconti errato");

    // 8. Expenses: an amount given needs its VAT code and account.
    struct ExpenseFields {
        const char *amount, *vat, *account;
        const char *wrong, *vatMissing, *vatWrong, *accountMissing, *accountWrong;
    };
    const ExpenseFields expenses[] = {
        {"SPESE_TRA", "IVA_TRA", "CONTO_TRA", "Importo spese trasporto errato",
         "Codice Iva per spese di trasporto obbligatorio", "Codice Iva per spese di trasporto errato",
         "Conto per spese di trasporto obbligatorio", "Conto per spese di trasporto errato"},
        {"SPESE_BAN", "IVA_BAN", "CONTO_BAN", "Importo spese banca errato",
         "Codice Iva per spese bancarie obbligatorio", "Codice Iva per spese bancarie errato",
         "Conto per spese bancarie obbligatorio", "Conto per spese bancarie errato"},
    };
    for (const ExpenseFields &e : expenses) {
        const QString amount = typed(e.amount);
        if (amount.isEmpty())
            continue;
        if (!Services::isNumberText(amount)) {
            fail(QString::fromLatin1(e.amount), e.wrong);
            continue;
        }
        if (Services::sqlNumber(amount, 2).toDouble() == 0)
            continue;
        if (text(e.vat).isEmpty())
            fail(QString::fromLatin1(e.vat), e.vatMissing);
        else if (!known(db, Tables::TAB_PERIVA, QStringLiteral("CODICE"), text(e.vat)))
            fail(QString::fromLatin1(e.vat), e.vatWrong);
        if (text(e.account).isEmpty())
            fail(QString::fromLatin1(e.account), e.accountMissing);
        else if (!account(text(e.account)))
            fail(QString::fromLatin1(e.account), e.accountWrong);
    }
    if (!typed("BOLLI").isEmpty() && !Services::isNumberText(typed("BOLLI")))
        fail(QStringLiteral("BOLLI"), "Importo spese per bolli errato");

    // 9. VAT account and typed VAT.
    if (text("CONTO_IVA").isEmpty())
        fail(QStringLiteral("CONTO_IVA"), "Conto Iva obbligatorio");
    else if (!account(text("CONTO_IVA"), QStringLiteral("P")))
        fail(QStringLiteral("CONTO_IVA"), "Conto Iva errato");
    if (!invoice.vatAccepted)
        fail(QStringLiteral("IVA_1"), "Imposta errata.");

    // 10. Delivery block of an accompanying invoice.
    if (h.flag(QStringLiteral("ACCOMPAGNATORIA")) && invoice.document.delivery) {
        const Row &d = *invoice.document.delivery;
        const QString province = d.text(QStringLiteral("DESTINA_PROV")).trimmed();
        if (!province.isEmpty() && !known(db, Tables::TAB_PROV, QStringLiteral("CODICE"), province))
            fail(QStringLiteral("DESTINA_PROV"), "Codice provincia errato");
        const QString transport = d.text(QStringLiteral("CAUS_TRA")).trimmed();
        if (transport.isEmpty())
            fail(QStringLiteral("CAUS_TRA"), "Causale di trasporto obbligatoria");
        else if (!known(db, Tables::TAB_TRASP, QStringLiteral("CODICE"), transport))
            fail(QStringLiteral("CAUS_TRA"), "Causale di trasporto errata!");
    }

    // 11. Withholding.
    if (invoice.withholding) {
        if (typed("DATA_RIT").isEmpty())
            fail(QStringLiteral("DATA_RIT"), "Data di registrazione ritenuta obbligatoria");
        else if (!Services::parseItalianDate(typed("DATA_RIT")).isValid())
            fail(QStringLiteral("DATA_RIT"), "Data di registrazione ritenuta errata");
        const QString rate = typed("PERC_RIT");
        if (rate.isEmpty())
            fail(QStringLiteral("PERC_RIT"), "Specificare una percentuale, anche zero");
        else if (!Services::isNumberText(rate) || Services::sqlNumber(rate, 2).toDouble() < 0 ||
                 Services::sqlNumber(rate, 2).toDouble() > 100)
            fail(QStringLiteral("PERC_RIT"), "Percentuale ritenuta d'acconto errata");
        if (text("CONTO_RIT").isEmpty())
            fail(QStringLiteral("CONTO_RIT"), "Conto di contabilità per ritenuta, obbligatorio");
        else if (!account(text("CONTO_RIT")))
            fail(QStringLiteral("CONTO_RIT"), "Conto di contabilità per ritenuta, errato");
    }

    // 12. Due dates, line by line, then their totals.
    for (int i = 0; i < invoice.dues.size(); ++i) {
        const TypedInvoice::Due &due = invoice.dues.at(i);
        const QString n = QString::number(i + 1);
        const bool amount = !due.amount.trimmed().isEmpty() && Services::sqlNumber(due.amount, 2).toDouble() != 0;
        if (due.date.trimmed().isEmpty() && amount)
            fail(QStringLiteral("SCAD") + n, "Data scadenza obbligatoria");
        else if (!due.date.trimmed().isEmpty() && !Services::parseItalianDate(due.date).isValid())
            fail(QStringLiteral("SCAD") + n, "Data scadenza errata");
        if (!due.amount.trimmed().isEmpty() && !Services::isNumberText(due.amount))
            fail(QStringLiteral("IMPOSC") + n, "Importo per la scadenza errato ");
        if (!due.commission.trimmed().isEmpty() && !Services::isNumberText(due.commission))
            fail(QStringLiteral("PROVSC") + n, "Importo provvigione errato ");
    }
    if (Services::roundDec(invoice.dueImbalance, 2) != 0)
        fail(QStringLiteral("IMPOSC1"), "Squadratura importi scadenza ");
    if (invoice.checkCommissions && Services::roundDec(invoice.commissionImbalance, 2) != 0)
        fail(QStringLiteral("PROVSC1"), "Squadratura importi provvigione ");

    // 13. Agent: a supplier marked as agent.
    const int agent = h.integer(QStringLiteral("AGENTE"));
    if (agent != 0) {
        const auto found = db.openRecordset(
            QStringLiteral("SELECT FORNITORE FROM %1 WHERE FORNITORE = ? AND AGENTE = 'A'").arg(Tables::ANAG_FOR),
            {agent});
        if (found && found->isEmpty())
            fail(QStringLiteral("AGENTE"), "Codice agente sconosciuto ! ");
    }

    // 15. Rows in their order.
    for (int i = 0; i < invoice.document.rows.size(); ++i) {
        const Row &r = invoice.document.rows.at(i);
        const auto rowText = [&r](const char *column) { return r.text(QString::fromLatin1(column)).trimmed(); };
        const bool item = !rowText("ARTICOLO").isEmpty();
        const double amount = r.number(QStringLiteral("NETTO"));
        if (item && (rowText("UN_MIS").isEmpty() || rowText("CONTO").isEmpty() ||
                     (r.number(QStringLiteral("QTA")) == 0 && r.number(QStringLiteral("PREZZO")) == 0)))
            fail(rowColumn(i, QStringLiteral("ARTICOLO")), "Dati incompleti");
        if (item) {
            const auto found = db.openRecordset(
                QStringLiteral("SELECT ARTICOLO FROM %1 WHERE MAGAZZINO = ? AND UPPER(MARCA) = UPPER(?) AND "
                               "UPPER(ARTICOLO) = UPPER(?)")
                    .arg(Tables::ARTICOLI),
                {rowText("MAGAZ"), rowText("MARCA"), rowText("ARTICOLO")});
            if (found && found->isEmpty())
                fail(rowColumn(i, QStringLiteral("ARTICOLO")), "Codice Articolo errato");
        }
        if (!rowText("UN_MIS").isEmpty() && !known(db, Tables::TAB_UNTMIS, QStringLiteral("CODICE"), rowText("UN_MIS")))
            fail(rowColumn(i, QStringLiteral("UN_MIS")), "Codice unità di misura errato");
        if (r.number(QStringLiteral("PREZZO")) < 0)
            fail(rowColumn(i, QStringLiteral("PREZZO")), "Prezzo unitario dell'articolo - maggiore di zero !");
        for (const char *discount : {"SCONTO", "SCONTO2", "SCONTO3"}) {
            const double value = r.number(QString::fromLatin1(discount));
            if (value < 0 || value > 100) {
                fail(rowColumn(i, QString::fromLatin1(discount)), "Percentuale sconto errata.");
                break;
            }
        }
        const QString vat = rowText("COD_IVA");
        if ((amount != 0 && vat.isEmpty()) ||
            (!vat.isEmpty() && !known(db, Tables::TAB_PERIVA, QStringLiteral("CODICE"), vat)))
            fail(rowColumn(i, QStringLiteral("COD_IVA")), "Codice Iva errato");
        const QString revenue = rowText("CONTO");
        if ((amount != 0 && revenue.isEmpty() && !isVatOnly(type)) || (!revenue.isEmpty() && !account(revenue)))
            fail(rowColumn(i, QStringLiteral("CONTO")), "Conto ricavo errato");
        if (!rowText("CCOS").isEmpty() && !known(db, Tables::TAB_CCOS, QStringLiteral("CODICE"), rowText("CCOS")))
            fail(rowColumn(i, QStringLiteral("CCOS")), "Centro di costo dell'articolo errato");
    }
    return problems;
}

} // namespace Orlavo::Sales
