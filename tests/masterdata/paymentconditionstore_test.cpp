#include "fixtures.h"
#include "masterdata/stores/paymentconditionstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

// The standard conditions (RD, B30, R30, R60, R90, CON, XXX); B30 named by
// a customer, R60 by a supplier, R90 by a due date, CON by an invoice.
class PaymentConditionStoreTest : public Orlavo::Testing::StandardDataTest<>
{
protected:
    void seed() override
    {
        StandardDataTest::seed();
        for (const char *sql : {
                 "INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, COND_PAG) VALUES (1, 'Rossi', 'B30')",
                 "INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, COND_PAG) VALUES (1, 'Verdi', 'R60')",
                 "INSERT INTO SCADF (ANNO, NRO_INT, PROGR, COND_PAG) VALUES ('2025', 1, 1, 'R90')",
                 "INSERT INTO FVENDT (ANNO, NRO_INT, COND_PAG) VALUES ('2025', 1, 'CON')",
             })
            run(QString::fromLatin1(sql));
    }

    // kind, days "30/60", start, forced day, code.
    static Row condition(const char *kind, const char *days, const char *start, const char *forced, const char *code)
    {
        Row row = newPaymentCondition();
        row.setText("CODICE", code);
        row.setText("DESC_COND", kind);
        const QStringList typed = QString::fromLatin1(days).split('/');
        for (int i = 0; i < typed.size(); ++i)
            row.setText(QStringLiteral("GIORN%1").arg(i + 1), typed.at(i));
        row.setText("DF_FM", start);
        row.setText("GGFORZ", forced);
        return row;
    }
    QStringList problems(const Row &row, const QString &loaded = {})
    {
        QStringList found;
        for (const auto &p : checkCodedRow(context->db, paymentConditions(), row, loaded))
            found << p.column + ':' + p.message;
        return found;
    }
    Row stored(const QString &code)
    {
        const auto row = findCodedRow(context->db, paymentConditions(), code);
        return row && *row ? **row : Row();
    }
};

TEST_P(PaymentConditionStoreTest, ChecksRunInTheirOrder)
{
    const QString days = "Numero Giorni deve essere maggiore di zero";
    EXPECT_EQ(
        problems(condition("", "30/-60", "", "40", "")),
        (QStringList{"DF_FM:Inizio conteggio scadenze - Obbligatorio", "GIORN2:" + days,
                     "DESC_COND:Tipo Pagamento - Obbligatorio !", "CODICE:Condizione di Pagamento - Obbligatoria"}));
    const QString forced = "GGFORZ:Giorno da forzare errato";
    const QString taken = "CODICE:Condizione di Pagamento già presente in archivio !";
    const struct {
        const char *kind, *days, *start, *forced, *code, *loaded;
        QStringList expected;
    } cases[] = {
        {"R", "30/60/90/0", "F", "31", "R93", "", {}},
        {"R", "30", "F", "32", "R31", "", {forced}},
        {"R", "30", "F", "-1", "R31", "", {forced}},
        // Counted from the document date the forced day is not asked: it is written 0.
        {"R", "30", "D", "32", "R31", "", {}},
        {"B", "0/0/0/-1", "D", "0", "B1", "", {"GIORN4:" + days}},
        {"B", "-", "D", "0", "B1", "", {"GIORN1:" + days}},
        {"B", "30", "D", "0", "b30", "", {taken}},
        {"B", "30", "D", "0", "B30", "B30", {}},
        {"B", "30", "D", "0", "RD", "B30", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(condition(c.kind, c.days, c.start, c.forced, c.code), c.loaded), c.expected)
            << c.code << " " << c.days << " " << c.start << " " << c.forced;
}

TEST_P(PaymentConditionStoreTest, AConditionInUseIsNeitherDeletedNorRenamed)
{
    const struct {
        const char *code;
        QStringList uses;
    } cases[] = {{"B30", {"Clienti"}}, {"R60", {"Fornitori"}}, {"R90", {"Scadenze"}}, {"CON", {"Fatture"}}};
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_COND_PAG"});
    for (const auto &c : cases) {
        const Row loaded = stored(c.code);
        EXPECT_EQ(deleteCodedRow(context->db, paymentConditions(), loaded).uses, c.uses) << c.code;
        Row renamed = loaded;
        renamed.setText("CODICE", "ZZ");
        EXPECT_EQ(updateCodedRow(context->db, paymentConditions(), renamed, loaded).uses, c.uses) << c.code;
    }
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(deleteRefusal(paymentConditions(), {"Clienti"}),
              "Impossibile eliminare Condizione di Pagamento,\nsono ancora presenti registrazioni su : Clienti");

    // Its days may change: the documents keep their own due dates.
    Row longer = stored("B30");
    longer.setText("GIORN1", "60");
    EXPECT_EQ(updateCodedRow(context->db, paymentConditions(), longer, stored("B30")).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT GIORN1 FROM TAB_COND_PAG WHERE CODICE = 'B30'"), "60");
    // An unused one goes.
    EXPECT_EQ(deleteCodedRow(context->db, paymentConditions(), stored("RD")).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_COND_PAG WHERE CODICE = 'RD'"), "0");
}

ORLAVO_FOR_EACH_ENGINE(PaymentConditionStoreTest);

} // namespace
