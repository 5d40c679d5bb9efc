#include "accounting/stores/entrystore.h"
#include "accounting/stores/journal.h"
#include "archives.h"
#include "services/data/counters.h"
#include "services/data/writeunit.h"

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Services::WriteEnd;

namespace {

const QString kYear = QStringLiteral("2026");

EntryRow row(const char *account, double amount, const char *description = "")
{
    EntryRow r;
    r.account = QString::fromLatin1(account);
    r.amount = amount;
    r.description = QString::fromLatin1(description);
    return r;
}

class EntryStoreTest : public Testing::EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
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
        e.credit = {row("041001", 0.10, "prima"), row("041001", 0), row("041001", 0.20)};
        e.debit = {EntryRow{}, row("014001", 0.30, "cassa")};
        return e;
    }

    ManualEntry receipt(const char *vatCode)
    {
        ManualEntry e = general();
        e.mode = EntryMode::CashReceipt;
        e.causal = QStringLiteral("COR");
        e.vatCode = QString::fromLatin1(vatCode);
        e.total = 122;
        e.debit = {row("014001", 122)};
        const ReceiptSplit split =
            splitReceipt(e.total, QString::fromLatin1(vatCode) == QLatin1String("22") ? 22 : 0, 2);
        e.credit = {row("041001", split.taxable), row("024001", split.vat)};
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
    ASSERT_EQ(registerEntry(*db, receipt("22")).result.end, WriteEnd::Written);
    EXPECT_EQ(lines().size(), 3);
    const auto slot = Testing::Workstation(archives->config())
                          .rows(QStringLiteral("SELECT IMPONIBILE1, IVA1, PERC1, IMPODET1, IVADET1, TOTALE FROM IVA2"));
    ASSERT_TRUE(slot && slot->size() == 1);
    QList<double> figures;
    for (int i = 0; i < 6; ++i)
        figures << slot->at(0).at(i).toDouble();
    EXPECT_EQ(figures, (QList<double>{100, 22, 22, 100, 22, 122}));
}

TEST_P(EntryStoreTest, AFailureAtTheVatSummaryLeavesNothingAndTheCountersAsTheyWere)
{
    ASSERT_EQ(Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("IVA2")), QString());
    const Registered registered = registerEntry(*db, receipt("22"));
    EXPECT_EQ(registered.result.end, WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().join('|').contains("Ins. Iva2")) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(archives->count(QStringLiteral("GIORN")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("IVA")), 0);
    EXPECT_EQ(counter("NROINT"), 0);
    EXPECT_EQ(counter("CORRISPETTIVI"), 0);
}

TEST_P(EntryStoreTest, ALockHeldElsewhereWritesNothing)
{
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
    ManualEntry e = general();
    e.credit.removeAt(1); // the zero line the writer would leave out
    EXPECT_TRUE(entryProblems(*db, e).isEmpty());
    e.description.clear();
    e.debit = {row("999999", 5), row("", 0, "solo descrizione")};
    e.total = 0;
    e.supplier = 99999;
    e.vatCode = QStringLiteral("ZZ");
    e.causal = QStringLiteral("COR"); // a cash-receipt causal on a general entry
    e.registrationDate = QDate(2025, 12, 31);
    e.credit = {row("041001", 0.3, "ok")};
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

ORLAVO_FOR_EACH_ENGINE(EntryStoreTest);
