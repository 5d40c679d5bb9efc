#include "accounting/stores/causalstore.h"
#include "causaltest.h"
#include "fixtures.h"
#include "services/data/standarddata.h"

using namespace Orlavo;
using namespace Orlavo::Accounting;
using Orlavo::Services::Row;
using Orlavo::Services::WriteEnd;

namespace {

TEST(CausalRules, ANonDeductibleVatCodeIsRegisteredNotDeductible)
{
    const struct {
        const char *chosen, *vatKind, *registered;
    } cases[] = {
        {"D", "P", "D"}, {"S", "P", "S"}, {"", "P", ""},  {"D", "D", "N"}, {"S", "d", "N"},
        {"", "D", "N"},  {"D", "E", "D"}, {"N", "P", ""}, {"d", "", "D"},  {"", "", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(registeredDeductibility(c.chosen, c.vatKind), c.registered) << c.chosen << " " << c.vatKind;
}

class CausalStoreTest : public Orlavo::Testing::CausalTest
{
protected:
    static Row causal(const char *type, const char *code, const char *description, const char *vat = "",
                      const char *deductible = "", const char *bank = "")
    {
        Row row(causalTable());
        row.setText("TIPO_CAUSALE", type);
        row.setText("CAUSALE", code);
        row.setText("DESCRIZIONE", description);
        row.setText("COD_IVA", vat);
        row.setText("DETRAIBILE", deductible);
        row.setText("CASSA_BANCA", bank);
        return row;
    }
    QStringList problems(const Row &row, const QString &loaded = {})
    {
        return Orlavo::Testing::problemTexts(Masterdata::checkCodedRow(context->db, accountingCausals(), row, loaded));
    }
    Row loaded(const QString &code)
    {
        const auto rows = Masterdata::listCodedRows(context->db, accountingCausals());
        for (const Row &row : rows ? *rows : QList<Row>()) {
            if (row.text("CAUSALE") == code)
                return row;
        }
        return Row(causalTable());
    }
};

TEST_P(CausalStoreTest, EveryCheckRunsInItsOrderWithItsMessage)
{
    Row wrong = causal("ZZ", "GIR", "", "99", "", "B9");
    for (const QString &account : causalAccounts())
        wrong.setText(account, "X" + account.right(1));
    const QString noAccount = ":Conto non presente sul Piano dei Conti";
    EXPECT_EQ(problems(wrong), (QStringList{"AVERE_3" + noAccount, "DARE_3" + noAccount, "AVERE_2" + noAccount,
                                            "DARE_2" + noAccount, "AVERE_1" + noAccount, "DARE_1" + noAccount,
                                            "COD_IVA:Codice Iva sconosciuto !", "CASSA_BANCA:Banca errata",
                                            "DESCRIZIONE:Descrizione Causale di Contabilità - Obbligatoria !",
                                            "CAUSALE:Causale di Contabilità già presente in archivio !",
                                            "TIPO_CAUSALE:Tipo Causale sconosciuta !"}));
    EXPECT_EQ(
        problems(causal("", "", "")),
        (QStringList{"DESCRIZIONE:Descrizione Causale di Contabilità - Obbligatoria !",
                     "CAUSALE:Causale di Contabilità - Obbligatoria !", "TIPO_CAUSALE:Tipo Causale - Obbligatoria !"}));

    const QString choose = "DETRAIBILE:Impostare detraibilità";
    const QString taken = "CAUSALE:Causale di Contabilità già presente in archivio !";
    const struct {
        const char *code, *type, *vat, *deductible, *bank, *loaded;
        QStringList expected;
    } cases[] = {
        // An ordinary rate wants a deductibility; other kinds do not.
        {"NEW", "CC", "22", "", "", "", {choose}},
        {"NEW", "CC", "22", "S", "", "", {}},
        {"NEW", "CC", "8", "", "", "", {}},
        {"NEW", "CC", "E", "", "", "", {}},
        // "***" is the cash, a bank must be known.
        {"NEW", "CC", "", "", "***", "", {}},
        {"NEW", "CC", "", "", "b1", "", {}},
        {"NEW", "CC", "", "", "**", "", {"CASSA_BANCA:Banca errata"}},
        // The code is unique over every type; a stored causal keeps its own.
        {"co22", "CC", "", "", "", "", {taken}},
        {"RA1", "RA", "", "", "", "RA1", {}},
        {"RA1", "RA", "", "", "", "GIR", {taken}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(problems(causal(c.type, c.code, "Prova", c.vat, c.deductible, c.bank), c.loaded), c.expected)
            << c.code << " " << c.vat << " " << c.bank;
}

TEST_P(CausalStoreTest, TheStandardCausalsPassTheirChecks)
{
    const auto standard = Services::StandardData::table(Services::SchemaKind::Company, "TAB_CAU_CONT");
    ASSERT_TRUE(standard);
    for (const QStringList &values : standard->rows) {
        const Row row = loaded(values.at(1));
        EXPECT_EQ(problems(row, row.text("CAUSALE")), QStringList()) << values.at(1).toStdString();
    }
    EXPECT_EQ(stored("CO22"), "CO|CORRISPETTIVI IVA 22%|D|22|***|014001|041001");
    EXPECT_EQ(stored("RA1"), "RA|RITENUTA D'ACCONTO SUBITA||||013003|012001");
}

TEST_P(CausalStoreTest, DeductibilityIsRegisteredByTheVatCodesKind)
{
    EXPECT_EQ(
        Masterdata::insertCodedRow(context->db, accountingCausals(), causal("CC", "ACQ8", "Acquisti", "8", "D", "b1"))
            .end,
        WriteEnd::Written);
    EXPECT_EQ(stored("ACQ8"), "CC|Acquisti|N|8|B1||");

    // Renamed, and its VAT code changed to an exempt one: nothing to
    // choose, and a stray letter is not kept.
    const Row before = loaded("ACQ8");
    Row changed = before;
    changed.setText("CAUSALE", "ACQ");
    changed.setText("COD_IVA", "E");
    EXPECT_EQ(Masterdata::updateCodedRow(context->db, accountingCausals(), changed, before).end, WriteEnd::Written);
    EXPECT_EQ(stored("ACQ"), "CC|Acquisti||E|B1||");
    EXPECT_EQ(stored("ACQ8"), "");
}

// The lock and a row gone meanwhile are the coded tables' (codedtables_test).
TEST_P(CausalStoreTest, ACodeTakenMeanwhileWritesNothing)
{
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(
        other.exec("INSERT INTO TAB_CAU_CONT (TIPO_CAUSALE, CAUSALE, DESCRIZIONE) VALUES ('CO', 'X1', 'Altrui')"));
    const Orlavo::Testing::Snapshot before(*archives, {"TAB_CAU_CONT"});
    const Services::WriteResult inserted =
        Masterdata::insertCodedRow(context->db, accountingCausals(), causal("CC", "X1", "Mia"));
    EXPECT_EQ(inserted.end, WriteEnd::Duplicate);
    EXPECT_EQ(inserted.column, "CAUSALE");
    const Row gir = loaded("GIR");
    Row renamed = gir;
    renamed.setText("CAUSALE", "x1");
    EXPECT_EQ(Masterdata::updateCodedRow(context->db, accountingCausals(), renamed, gir).end, WriteEnd::Duplicate);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    EXPECT_EQ(Masterdata::deleteCodedRow(context->db, accountingCausals(), gir).end, WriteEnd::Written);
    EXPECT_EQ(stored("GIR"), "");
}

ORLAVO_FOR_EACH_ENGINE(CausalStoreTest);

} // namespace
