#include "accounting/stores/entrystore.h"
#include "accounting/stores/entryupdate.h"
#include "accounting/stores/journal.h"
#include "entrywindowtest.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Testing::entryRow;
using Services::WriteEnd;

namespace {

const QString kYear = QStringLiteral("2026");

class EntryStoreTest : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_TRUE(Services::Counters::insertFirstYearCounters(unit, kYear, false));
        for (const char *sql : {"INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE) VALUES "
                                "('22', 'IVA 22%', 22, 'P'), ('E', 'ESENTE', 0, 'E')",
                                "INSERT INTO TAB_PIANO_CONTI (CODICE, DESCRIZIONE, TIPO_CONTO) VALUES "
                                "('014001', 'CASSA', 'P'), ('041001', 'MERCI', 'R'), ('024001', 'IVA', 'P')",
                                "INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) VALUES "
                                "('CC', 'GC', 'Giroconto'), ('CO', 'COR', 'Corrispettivi')"})
            ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"), QString::fromLatin1(sql)));
        ASSERT_TRUE(unit.commit());
    }

    ManualEntry general()
    {
        ManualEntry e;
        e.year = kYear;
        e.movementDate = e.registrationDate = QDate(2026, 3, 7);
        e.causal = QStringLiteral("GC");
        e.description = QStringLiteral("Giroconto cassa");
        e.total = 0.30;
        e.customer = 0;
        // A zero line and a line without description among them.
        e.credit = {entryRow("041001", 0.10, "prima"), entryRow("041001", 0), entryRow("041001", 0.20)};
        e.debit = {EntryRow{}, entryRow("014001", 0.30, "cassa")};
        return e;
    }

    ManualEntry receipt(const char *vatCode)
    {
        ManualEntry e = general();
        e.mode = EntryMode::CashReceipt;
        e.causal = QStringLiteral("COR");
        e.vatCode = QString::fromLatin1(vatCode);
        e.total = 122;
        e.debit = {entryRow("014001", 122)};
        const ReceiptSplit split =
            splitReceipt(e.total, QString::fromLatin1(vatCode) == QLatin1String("22") ? 22 : 0, 2);
        e.credit = {entryRow("041001", split.taxable), entryRow("024001", split.vat)};
        return e;
    }

    int counter(const char *name)
    {
        return archives
            ->scalar(QStringLiteral("SELECT NUMERATORE FROM NUMERA WHERE ANNO = '2026' AND NOME = ?"),
                     {QString::fromLatin1(name)})
            .toInt();
    }

    QStringList rows(const char *sql) { return Testing::committedRows(*archives, QString::fromLatin1(sql)); }
};

} // namespace

TEST_P(EntryStoreTest, GeneralEntryDebitFirstWithoutZeroLines)
{
    // An invoice took the first number of the year.
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        ASSERT_EQ(Services::Counters::nextNumber(*db, kYear + QStringLiteral("NROINT")), 1);
        ASSERT_TRUE(unit.commit());
    }
    const Registered registered = registerEntry(*db, general(), QDateTime(QDate(2026, 3, 7), QTime(9, 5, 1, 7)));
    ASSERT_EQ(registered.result.end, WriteEnd::Written);
    EXPECT_EQ(registered.number, 2);
    EXPECT_EQ(registered.registration, 0);
    EXPECT_EQ(rows("SELECT NRO_INT, SEQUENZA, SEGNO, CONTO, IMPORTO, TOTALE, DESCRI_GIORN, MOVIMENTO FROM GIORN"),
              (QStringList{"2|1|D|014001|0.3|0.3|cassa|RCC", "2|2|A|041001|0.1|0.3|prima|RCC",
                           "2|3|A|041001|0.2|0.3|Giroconto cassa|RCC"}));
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT MIN(TSTAMP) FROM GIORN")).toString(),
              QStringLiteral("2026-3-7-09:05:01.007"));
    EXPECT_EQ(archives->count(QStringLiteral("IVA2")), 0);
}

TEST_P(EntryStoreTest, CashReceiptOnAnExemptCode)
{
    const Registered registered = registerEntry(*db, receipt("E"));
    ASSERT_EQ(registered.result.end, WriteEnd::Written);
    EXPECT_EQ(registered.registration, 1);
    EXPECT_EQ(counter("CORRISPETTIVI"), 1);
    // The VAT line of 0 is not written.
    EXPECT_EQ(archives->count(QStringLiteral("GIORN")), 2);
    EXPECT_EQ(rows("SELECT COD_IVA, TIPO, ESENTE, IMPONIBILE FROM IVA"), QStringList{"E|C|122|0"});
    EXPECT_EQ(rows("SELECT COD_ESENTE, ESENTE FROM IVA2"), QStringList{"E|122"});
    EXPECT_EQ(rows("SELECT NRO_REG, ASSEGNO FROM GIORN WHERE SEQUENZA = 1"), QStringList{"1|E"});
}

TEST_P(EntryStoreTest, CashReceiptAtTwentyTwoFillsTheFirstSlot)
{
    const Registered registered = registerEntry(*db, receipt("22"));
    ASSERT_EQ(registered.result.end, WriteEnd::Written);
    {
        // Read back inside a unit: balanced as written, not once a line is off by a cent.
        Services::WriteUnit unit(*db, QStringLiteral("Prova"));
        EXPECT_TRUE(entryBalanced(unit, kYear, registered.number, 2).value());
        ASSERT_TRUE(unit.execCompany(QStringLiteral("Prova"),
                                     QStringLiteral("UPDATE GIORN SET IMPORTO = 21.99 WHERE SEQUENZA = 3")));
        EXPECT_FALSE(entryBalanced(unit, kYear, registered.number, 2).value());
        unit.abandon();
    }
    EXPECT_EQ(archives->count(QStringLiteral("GIORN")), 3);
    EXPECT_EQ(rows("SELECT IMPONIBILE1, IVA1, PERC1, IMPODET1, IVADET1, TOTALE FROM IVA2"),
              QStringList{"100|22|22|100|22|122"});
}

TEST_P(EntryStoreTest, AFailureOrALockHeldElsewhereLeavesNothingAndTheCountersAsTheyWere)
{
    ASSERT_EQ(Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("IVA2")), QString());
    const Registered registered = registerEntry(*db, receipt("22"));
    EXPECT_EQ(registered.result.end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Ins. Iva2")) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(archives->count(QStringLiteral("IVA")), 0);
    EXPECT_EQ(counter("CORRISPETTIVI"), 0);

    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO SEMAFORO (AREA, UTENTE) VALUES ('TUTTO', 'ALTRO')")));
    EXPECT_EQ(registerEntry(*db, general()).result.end, WriteEnd::LockHeld);
    EXPECT_EQ(archives->count(QStringLiteral("GIORN")), 0);
    EXPECT_EQ(counter("NROINT"), 0);
}

TEST_P(EntryStoreTest, DeletionRemovesTheVatRowsAndIsRefusedOncePrinted)
{
    const Registered first = registerEntry(*db, receipt("22"));
    const Registered second = registerEntry(*db, general());
    ASSERT_EQ(deleteRefusal(*db, kYear, first.number).value(), std::nullopt);
    EXPECT_EQ(deleteManualEntry(*db, kYear, first.number).end, WriteEnd::Written);
    EXPECT_EQ(archives->count(QStringLiteral("IVA")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("IVA2")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("GIORN")), 3);
    EXPECT_EQ(deleteManualEntry(*db, kYear, first.number).end, WriteEnd::Gone);

    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET STA_GIO = -1 WHERE SEQUENZA = 2")));
    EXPECT_EQ(deleteRefusal(*db, kYear, second.number).value(),
              QStringLiteral("Impossibile eliminare, \nè già stato stampato il Giornale !"));
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET STA_GIO = 0, CAUSALET = 'VF'")));
    EXPECT_EQ(deleteRefusal(*db, kYear, second.number).value(),
              QStringLiteral("Impossibile eliminare da qui la registrazione;\n"
                             "Utilizzare l'applicazione che ha generato il movimento"));
}

TEST_P(EntryStoreTest, ChecksInTheirOrder)
{
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (12, 'ROSSI')")));
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1) VALUES (34, 'BIANCHI')")));
    ManualEntry e = general();
    e.credit.removeAt(1); // the zero line the writer would leave out
    e.customer = 12;
    e.supplier = 34;
    EXPECT_TRUE(entryProblems(*db, e).isEmpty());
    e.customer = 34;
    EXPECT_EQ(Testing::problemTexts(entryProblems(*db, e)), QStringList{"CLIENTE:Cliente errato "});
    e.customer = 0;
    e.description.clear();
    e.debit = {entryRow("999999", 5), entryRow("", 0, "solo descrizione")};
    e.total = 0;
    e.supplier = 99999;
    e.vatCode = QStringLiteral("ZZ");
    e.causal = QStringLiteral("COR"); // a cash-receipt causal on a general entry
    e.registrationDate = QDate(2025, 12, 31);
    e.credit = {entryRow("041001", 0.3, "ok")};
    EXPECT_EQ(Testing::problemTexts(entryProblems(*db, e)),
              (QStringList{"DARE1:Conto errato", "DARE1:Descrizione obbligatoria", "DARE2:Conto obbligatorio",
                           "DARE2:Importo obbligatorio", "TOTALE:Impoto totale errato", "FORNITORE:Fornitore errato ",
                           "COD_IVA:Codice Iva errato", "CAUSALE:Causale di contabilità errata",
                           "DATA_REG:Data registrazione errata"}));
    e = receipt("");
    e.causal.clear();
    e.registrationDate = {};
    EXPECT_EQ(Testing::problemTexts(entryProblems(*db, e)),
              (QStringList{"COD_IVA:Codice Iva obbligatorio ", "CAUSALE:Causale di contabilità obbligatoria",
                           "DATA_REG:Data registrazione bbligatoria"}));
}

TEST_P(EntryStoreTest, AModifiedEntryKeepsItsNumbersUnlessChangedElsewhere)
{
    const Registered registered = registerEntry(*db, receipt("22"), QDateTime(QDate(2026, 3, 7), QTime(9, 0)));
    std::optional<LoadedEntry> loaded = loadEntry(*db, kYear, registered.number).value();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(modifyRefusal(*loaded), std::nullopt);
    ManualEntry changed = receipt("22");
    changed.description = QStringLiteral("Incasso del giorno");

    // Another workstation touched it: the question, nothing written.
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET TSTAMP = 'altro'")));
    EXPECT_EQ(modifyManualEntry(*db, *loaded, changed, false).end, WriteEnd::ChangedElsewhere);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT COUNT(*) FROM GIORN WHERE DESCRI = 'Giroconto cassa'")).toInt(),
              3);

    // Overwriting: same numbers, the new text, a new stamp, the VAT rows again.
    EXPECT_EQ(modifyManualEntry(*db, *loaded, changed, true, QDateTime(QDate(2026, 3, 8), QTime(10, 0))).end,
              WriteEnd::Written);
    EXPECT_EQ(archives
                  ->scalar(QStringLiteral("SELECT COUNT(*) FROM GIORN WHERE DESCRI = 'Incasso del giorno' "
                                          "AND NRO_INT = ? AND NRO_REG = ? AND TSTAMP = '2026-3-8-10:00:00.000'"),
                           {registered.number, registered.registration})
                  .toInt(),
              3);
    EXPECT_EQ(archives->count(QStringLiteral("IVA")), 1);
    EXPECT_EQ(archives->count(QStringLiteral("IVA2")), 1);
    EXPECT_EQ(counter("NROINT"), 1);

    ASSERT_TRUE(other.exec(QStringLiteral("UPDATE GIORN SET STA_GIO = -1 WHERE SEQUENZA = 3")));
    loaded = loadEntry(*db, kYear, registered.number).value();
    EXPECT_EQ(modifyRefusal(*loaded), QStringLiteral("Impossibile registrare, \nè già stato stampato il Giornale !"));
    ASSERT_TRUE(other.exec(QStringLiteral("DELETE FROM GIORN")));
    EXPECT_EQ(modifyManualEntry(*db, *loaded, changed, true).end, WriteEnd::Gone);
}

TEST_P(EntryStoreTest, GeneratedEntriesCarryTheirChangesToTheirOwnDocuments)
{
    // Entry 1 an invoice's (invoice 3 has none), entry 2 a collection's.
    ASSERT_EQ(registerEntry(*db, general()).number, 1);
    ASSERT_EQ(registerEntry(*db, general()).number, 2);
    Testing::Workstation other(archives->config());
    for (const char *sql :
         {"UPDATE GIORN SET CAUSALET = 'VF', MOVIMENTO = 'VFM' WHERE NRO_INT = 1",
          "UPDATE GIORN SET CAUSALET = 'IC', MOVIMENTO = 'INC' WHERE NRO_INT = 2",
          "INSERT INTO FVENDT (ANNO, NRO_INT, CONTO_CLI, TIPOFATT) VALUES ('2026', 1, '014001', ''), "
          "('2026', 3, '014001', '')",
          "INSERT INTO FVENDD (ANNO, NRO_INT, RIGA, CONTO) VALUES ('2026', 1, 1, '041001'), "
          "('2026', 3, 1, '041001')",
          "INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE, CNT_CONTAB) VALUES ('B1', 'Banca', '016001')"})
        ASSERT_TRUE(other.exec(QString::fromLatin1(sql)));
    ASSERT_TRUE(other.exec(QStringLiteral("INSERT INTO SCADF (ANNO, NRO_INT, PROGR, NRO_GIO_S, DATA_SAL, BANCA_SAL) "
                                          "VALUES ('2025', 9, 1, 2, ?, 'OLD')"),
                           {QDate(2026, 2, 1)}));

    std::optional<LoadedEntry> invoice = loadEntry(*db, kYear, 1).value();
    ASSERT_TRUE(invoice && !invoice->manual());
    EntryChange change{QDate(2026, 3, 9), QStringLiteral("Fattura 1"), {{2, QStringLiteral("041002"), {}, {}}}};
    ASSERT_EQ(modifyGeneratedEntry(*db, *invoice, change, false).end, WriteEnd::Written);
    EXPECT_EQ(rows("SELECT NRO_INT, CONTO FROM FVENDD"), (QStringList{"1|041002", "3|041001"}));
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT CONTO_CLI FROM FVENDT WHERE NRO_INT = 1")).toString(), "014001");
    EXPECT_DOUBLE_EQ(
        archives->scalar(QStringLiteral("SELECT IMPORTO FROM GIORN WHERE NRO_INT = 1 AND SEQUENZA = 2")).toDouble(),
        0.1);

    std::optional<LoadedEntry> collection = loadEntry(*db, kYear, 2).value();
    ASSERT_TRUE(collection);
    change = {QDate(2026, 3, 9), QStringLiteral("Incasso"), {{2, QStringLiteral("016001"), {}, {}}}};
    ASSERT_EQ(modifyGeneratedEntry(*db, *collection, change, false).end, WriteEnd::Written);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT BANCA_SAL FROM SCADF")).toString(), "B1");
    EXPECT_EQ(
        archives->scalar(QStringLiteral("SELECT BAN_CAS FROM GIORN WHERE NRO_INT = 2 AND SEQUENZA = 2")).toString(),
        "B1");
}

ORLAVO_FOR_EACH_ENGINE(EntryStoreTest);
