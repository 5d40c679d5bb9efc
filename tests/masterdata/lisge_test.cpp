#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/windows/lisge.h"
#include "masterdatatest.h"

#include <QCheckBox>
#include <QLineEdit>

// The generation windows' wiring: the question, the run, a refusal of the
// run told. What a run writes for each kind of party, the refusals and a run
// cancelled are the store's (listgeneration_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Kind = ListGenerationWindow::Kind;

namespace {

const QString kQuestion = "Confermi generazione listino?";

// Items X1 (100) and X2 (50) of ACM, Y1 of BTX; supplier 1 with a
// personal list and 10 % on ACM, supplier 2 with a personal list and no
// purchase rows; customer 7 with a personal list. Supplier 1's ACM list
// still holds an old row, OLD.
class ListGenerationWindowTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        context->settings.write("ARTICOLI", "DECIMALI_PREZZO1", "2");
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax')");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST) VALUES "
            "('01', 'ACM', 'X1', 'Bullone', 100), ('01', 'ACM', 'X2', 'Dado', 50), ('01', 'BTX', 'Y1', 'Chiave', 30)");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P')");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 0, 0)");
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, PR_ACQUISTO) VALUES "
            "(1, 'ACM', 'OLD', 10, 10)");
    }

    static void type(ListGenerationWindow &window, const QHash<QString, QString> &typed)
    {
        for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
            QLineEdit *field = window.field(it.key());
            field->setText(it.value());
            emit field->editingFinished();
        }
    }

    // The committed rows of a table, "party|brand|item" sorted.
    QString rows(const QString &sql) const { return Orlavo::Testing::committedRows(*archives, sql).join(' '); }
};

TEST_P(ListGenerationWindowTest, ASupplierWithoutPurchaseRowsIsToldAndNothingIsWritten)
{
    run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (7, 'ACM', 'X1', 2)");
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN", "SEMAFORO"});
    ListGenerationWindow window(*context, Kind::Sale);
    type(window, {{"CLIENTE", "7"}, {"FORNITORE", "2"}, {"MARCA", "ACM"}});
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(window.generate());
    // The wording is the store's test (listgeneration_test).
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, missingPurchaseListMessage("ACM", 2)}));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(ListGenerationWindowTest, AfterTheQuestionTheRunWritesTheList)
{
    ListGenerationWindow purchase(*context, Kind::Purchase);
    type(purchase, {{"FORNITORE", "1"}, {"MARCA", "acm"}});
    answer({Prompter::Button::No});
    EXPECT_FALSE(purchase.generate());
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(rows("SELECT FORNITORE, MARCA, ARTICOLO FROM LIST_ACQ"), "1|ACM|OLD");

    answer({Prompter::Button::Yes});
    EXPECT_TRUE(purchase.generate());
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, "Generazione completata: 2 righe scritte."}));
    // The brand's items at the supplier's discount; the old row gone.
    EXPECT_EQ(rows("SELECT FORNITORE, MARCA, ARTICOLO, PR_ACQUISTO FROM LIST_ACQ"), "1|ACM|X1|90 1|ACM|X2|45");

    // The customer's sale list from that supplier's rows.
    ListGenerationWindow sale(*context, Kind::Sale);
    type(sale, {{"CLIENTE", "7"}, {"FORNITORE", "1"}, {"MARCA", "ACM"}});
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO, PR_ACQUISTO FROM LIST_VEN"), "7|1|X1|90 7|1|X2|45");

    // The standard list takes every supplier's rows.
    sale.standard()->setChecked(true);
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO FROM LIST_VEN WHERE CLIENTE = 99999"), "99999|1|X1 99999|1|X2");
}

ORLAVO_FOR_EACH_ENGINE(ListGenerationWindowTest);

} // namespace
