#pragma once

#include "accounting/stores/entrystore.h"
#include "committedrows.h"
#include "services/data/counters.h"
#include "../masterdata/masterdatatest.h"

#include <QDate>

namespace Orlavo::Testing {

// A row of an entry as typed: the rules', the store's and the windows' tests.
inline Accounting::EntryRow entryRow(const char *account, double amount, const char *description = "", QChar type = {})
{
    Accounting::EntryRow row;
    row.account = QString::fromLatin1(account);
    row.description = QString::fromLatin1(description);
    row.amount = amount;
    row.accountType = type;
    return row;
}

// The question before every write of an entry.
inline const QString kEntryConfirm = QStringLiteral("Confermi registrazioni?");

// The entry windows' archives: the standard chart, causals and VAT codes,
// the counters of the working year (this year, so today is a good
// registration date), cost centre "01" and supplier 3.
class EntryWindowTest : public MasterdataTest<>
{
protected:
    void seed() override
    {
        workAs(QStringLiteral("ROSSI"), 1);
        year = QString::number(QDate::currentDate().year());
        context->state.year = year;
        addStandardData();
        Services::WriteUnit unit(context->db, QStringLiteral("Prova"));
        ASSERT_TRUE(
            Services::Counters::insertFirstYearCounters(unit, year, false) &&
            unit.execCompany(QStringLiteral("Prova"),
                             QStringLiteral("INSERT INTO TAB_CCOS (CODICE, DESCRIZIONE) VALUES ('01', 'NEGOZIO')")) &&
            unit.execCompany(QStringLiteral("Prova"),
                             QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, AGENTE) "
                                            "VALUES (3, 'Verdi Srl', ' ')")) &&
            unit.commit());
    }

    // A transfer from the bank to the cash, or a cash receipt of 122,00 at
    // 22 %, written through the store: its entry number.
    int storeEntry(Accounting::EntryMode mode)
    {
        Accounting::ManualEntry e;
        e.mode = mode;
        e.year = year;
        e.movementDate = e.registrationDate = QDate::currentDate();
        if (mode == Accounting::EntryMode::CashReceipt) {
            e.causal = QStringLiteral("CO22");
            e.description = QStringLiteral("Incasso del giorno");
            e.vatCode = QStringLiteral("22");
            e.total = 122;
            e.debit = {entryRow("014001", 122)};
            e.credit = {entryRow("041001", 100), entryRow("024001", 22)};
        } else {
            e.causal = QStringLiteral("PREL");
            e.description = QStringLiteral("Prelievo");
            e.total = 50;
            e.debit = {entryRow("014001", 50, "in cassa")};
            e.credit = {entryRow("014002", 50, "dalla banca")};
        }
        const Accounting::Registered registered = Accounting::registerEntry(context->db, e);
        EXPECT_TRUE(registered.result.written());
        return registered.number;
    }

    // Rows of a table for one entry, read by a connection of its own.
    int rowsOf(const char *table, int number)
    {
        return archives
            ->scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE ANNO = ? AND NRO_INT = ?").arg(QLatin1String(table)),
                     {year, number})
            .toInt();
    }

    // The entry's lines as "SEQUENZA|SEGNO|CONTO|IMPORTO|CCOS|DESCRI_GIORN".
    QStringList lines(int number)
    {
        return committedRows(*archives,
                             QStringLiteral("SELECT SEQUENZA, SEGNO, CONTO, IMPORTO, CCOS, DESCRI_GIORN FROM GIORN "
                                            "WHERE ANNO = ? AND NRO_INT = ?"),
                             {year, number});
    }

    QString year;
};

} // namespace Orlavo::Testing
