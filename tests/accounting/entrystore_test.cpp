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
        for (const char *sql :
             {"INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE) VALUES ('22', 'IVA 22%', 22, 'P')",
              "INSERT INTO TAB_PERIVA (CODICE, DESCRIZIONE, ALIQUOTA, TIPO_CODICE) VALUES ('E', 'ESENTE', 0, 'E')",
              "INSERT INTO TAB_PIANO_CONTI (CODICE, DESCRIZIONE, TIPO_CONTO) VALUES ('014001', 'CASSA', 'P')",
              "INSERT INTO TAB_PIANO_CONTI (CODICE, DESCRIZIONE, TIPO_CONTO) VALUES ('041001', 'MERCI', 'R')",
              "INSERT INTO TAB_PIANO_CONTI (CODICE, DESCRIZIONE, TIPO_CONTO) VALUES ('024001', 'IVA', 'P')",
              "INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) VALUES ('CC', 'GC', 'Giroconto')",
              "INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) VALUES ('CO', 'COR', 'Corrispettivi')"})
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

    QStringList lines()
    {
        Testing::Workstation reader(archives->config());
        const auto rows = reader.rows(QStringLiteral("SELECT NRO_INT, SEQUENZA, SEGNO, CONTO, IMPORTO, TOTALE, "
                                                     "DESCRI_GIORN, MOVIMENTO FROM GIORN ORDER BY NRO_INT, SEQUENZA"));
        QStringList shown;
        for (const auto &r : *rows)
            shown << QStringLiteral("%1/%2 %3 %4 %5 %6 %7 %8")
                         .arg(r.at(0).toInt())
                         .arg(r.at(1).toInt())
                         .arg(r.at(2).toString(), r.at(3).toString())
                         .arg(r.at(4).toDouble())
                         .arg(r.at(5).toDouble())
                         .arg(r.at(6).toString(), r.at(7).toString());
        return shown;
    }
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
    EXPECT_EQ(lines(), (QStringList{QStringLiteral("2/1 D 014001 0.3 0.3 cassa RCC"),
                                    QStringLiteral("2/2 A 041001 0.1 0.3 prima RCC"),
                                    QStringLiteral("2/3 A 041001 0.2 0.3 Giroconto cassa RCC")}));
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
    EXPECT_DOUBLE_EQ(
        archives->scalar(QStringLiteral("SELECT ESENTE FROM IVA WHERE COD_IVA = 'E' AND TIPO = 'C'")).toDouble(), 122);
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT IMPONIBILE FROM IVA")).toDouble(), 0);
    EXPECT_DOUBLE_EQ(archives->scalar(QStringLiteral("SELECT ESENTE FROM IVA2 WHERE COD_ESENTE = 'E'")).toDouble(),
                     122);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT NRO_REG FROM GIORN WHERE SEQUENZA = 1")).toInt(), 1);
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT ASSEGNO FROM GIORN WHERE SEQUENZA = 1")).toString(),
              QStringLiteral("E"));
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
    EXPECT_EQ(lines().size(), 3);
    const auto slot = Testing::Workstation(archives->config())
                          .rows(QStringLiteral("SELECT IMPONIBILE1, IVA1, PERC1, IMPODET1, IVADET1, TOTALE FROM IVA2"));
    ASSERT_TRUE(slot && slot->size() == 1);
    QList<double> figures;
    for (int i = 0; i < 6; ++i)
        figures << slot->at(0).at(i).toDouble();
    EXPECT_EQ(figures, (QList<double>{100, 22, 22, 100, 22, 122}));
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
    EXPECT_EQ(entryProblems(*db, e),
              (QList<Services::FieldProblem>{{QStringLiteral("CLIENTE"), QStringLiteral("Cliente errato ")}}));
    e.customer = 0;
    e.description.clear();
    e.debit = {entryRow("999999", 5), entryRow("", 0, "solo descrizione")};
    e.total = 0;
    e.supplier = 99999;
    e.vatCode = QStringLiteral("ZZ");
    e.causal = QStringLiteral("COR"); // a cash-receipt causal on a general entry
    e.registrationDate = QDate(2025, 12, 31);
    e.credit = {entryRow("041001", 0.3, "ok")};
    const QList<Services::FieldProblem> expected = {
        {QStringLiteral("DARE1"), QStringLiteral("Conto errato")},
        {QStringLiteral("DARE1"), QStringLiteral("Descrizione obbligatoria")},
        {QStringLiteral("DARE2"), QStringLiteral("Conto obbligatorio")},
        {QStringLiteral("DARE2"), QStringLiteral("Importo obbligatorio")},
        {QStringLiteral("TOTALE"), QStringLiteral("Impoto totale errato")},
        {QStringLiteral("FORNITORE"), QStringLiteral("Fornitore errato ")},
        {QStringLiteral("COD_IVA"), QStringLiteral("Codice Iva errato")},
        {QStringLiteral("CAUSALE"), QStringLiteral("Causale di contabilità errata")},
        {QStringLiteral("DATA_REG"), QStringLiteral("Data registrazione errata")},
    };
    EXPECT_EQ(entryProblems(*db, e), expected);
    e = receipt("");
    e.causal.clear();
    e.registrationDate = {};
    EXPECT_EQ(entryProblems(*db, e),
              (QList<Services::FieldProblem>{
                  {QStringLiteral("COD_IVA"), QStringLiteral("Codice Iva obbligatorio ")},
                  {QStringLiteral("CAUSALE"), QStringLiteral("Causale di contabilità obbligatoria")},
                  {QStringLiteral("DATA_REG"), QStringLiteral("Data registrazione bbligatoria")}}));
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
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT CONTO FROM FVENDD WHERE NRO_INT = 1")).toString(), "041002");
    EXPECT_EQ(archives->scalar(QStringLiteral("SELECT CONTO FROM FVENDD WHERE NRO_INT = 3")).toString(), "041001");
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
