#include "fixtures.h"
#include "masterdata/windows/lisge.h"
#include "masterdatatest.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>

// The generation windows' wiring: the refusals before the question, the
// question, the run and its Annulla. What a run writes for each kind of
// party is the store's (listgeneration_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Kind = ListGenerationWindow::Kind;

namespace {

const QString kQuestion = "Confermi generazione listino?";

// Items X1 (100) and X2 (50) of ACM, Y1 of BTX; supplier 1 with a
// personal list and 10 % on ACM, supplier 2 with a personal list and no
// purchase rows, supplier 4 with the standard one; customer 7 with a
// personal list, customer 10 with the standard one. Supplier 1's ACM list
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
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P'), "
            "(4, 'Quattro', 'S')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (10, 'Dieci', 'S')");
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

    QString described(ListGenerationWindow &window, const QString &name)
    {
        const auto *label = window.findChild<QLabel *>("D_DESC_" + name);
        return label ? label->text() : "<no label>";
    }

    // The committed rows of a table, "party|brand|item" sorted.
    QString rows(const QString &sql) const
    {
        Orlavo::Testing::Workstation reader(archives->config());
        const auto found = reader.rows(sql);
        QStringList keys;
        if (found) {
            for (const auto &row : *found) {
                QStringList values;
                for (int i = 0; i < int(found->columns().size()); ++i)
                    values << row.at(i).toString().trimmed();
                keys << values.join('|');
            }
        }
        keys.sort();
        return keys.join(' ');
    }
};

TEST_P(ListGenerationWindowTest, WrongFiltersAreRefusedBeforeTheQuestion)
{
    const struct {
        const char *label;
        Kind kind;
        QHash<QString, QString> typed;
        QString message;
    } cases[] = {
        {"no supplier", Kind::Purchase, {{"MARCA", "ACM"}}, "Fornitore errato"},
        {"standard supplier", Kind::Purchase, {{"FORNITORE", "4"}, {"MARCA", "ACM"}}, "Fornitore errato"},
        {"unknown supplier", Kind::Purchase, {{"FORNITORE", "55"}, {"MARCA", "ACM"}}, "Fornitore errato"},
        {"unknown brand", Kind::Purchase, {{"FORNITORE", "1"}, {"MARCA", "ZZZ"}}, "Marca errata"},
        {"no brand", Kind::Purchase, {{"FORNITORE", "1"}}, "Marca errata"},
        {"standard customer", Kind::Sale, {{"CLIENTE", "10"}, {"FORNITORE", "1"}, {"MARCA", "ACM"}}, "Cliente errato"},
        {"unknown sale supplier", Kind::Sale, {{"CLIENTE", "7"}, {"FORNITORE", "55"}, {"MARCA", "ACM"}},
         "Fornitore errato"},
        {"sale brand", Kind::Sale, {{"CLIENTE", "7"}, {"FORNITORE", "1"}, {"MARCA", "ZZZ"}}, "Marca errata"},
    };
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN"});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ListGenerationWindow window(*context, c.kind);
        type(window, c.typed);
        answer({Prompter::Button::Ok, Prompter::Button::Yes});
        EXPECT_FALSE(window.generate());
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_EQ(prompter.shown().first().text, c.message);
        EXPECT_EQ(prompter.shown().first().title, window.windowTitle());
        EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Critical);
    }
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(ListGenerationWindowTest, ASupplierWithoutPurchaseRowsIsToldAndNothingIsWritten)
{
    run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (7, 'ACM', 'X1', 2)");
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN", "SEMAFORO"});
    ListGenerationWindow window(*context, Kind::Sale);
    type(window, {{"CLIENTE", "7"}, {"FORNITORE", "2"}, {"MARCA", "ACM"}});
    EXPECT_EQ(described(window, "CLIENTE") + "|" + described(window, "FORNITORE"), "Sette|Due");
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(window.generate());
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, kQuestion);
    EXPECT_EQ(prompter.shown().at(1).text,
              "Manca listino ACQUISTO per la marca ACM ed il fornitore  2\nGenerare il listino l'ACQUISTO quindi riprovare");
    EXPECT_EQ(prompter.shown().at(1).icon, Prompter::Icon::Critical);
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(ListGenerationWindowTest, AfterTheQuestionTheRunWritesTheList)
{
    ListGenerationWindow purchase(*context, Kind::Purchase);
    EXPECT_EQ(purchase.objectName(), "LisAcqGe");
    type(purchase, {{"FORNITORE", "1"}, {"MARCA", "acm"}});
    EXPECT_EQ(described(purchase, "FORNITORE"), "Uno");
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
    EXPECT_EQ(sale.objectName(), "LisVenGe");
    type(sale, {{"CLIENTE", "7"}, {"FORNITORE", "1"}, {"MARCA", "ACM"}});
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO, PR_ACQUISTO FROM LIST_VEN"), "7|1|X1|90 7|1|X2|45");

    // The standard list: the party fields emptied and closed, every
    // supplier's rows taken.
    sale.standard()->setChecked(true);
    for (const char *name : {"CLIENTE", "FORNITORE"}) {
        EXPECT_TRUE(sale.field(name)->text().isEmpty()) << name;
        EXPECT_FALSE(sale.field(name)->isEnabled()) << name;
    }
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO FROM LIST_VEN WHERE CLIENTE = 99999"),
              "99999|1|X1 99999|1|X2");
    sale.standard()->setChecked(false);
    EXPECT_TRUE(sale.field("CLIENTE")->isEnabled());
}

// The run cancelled from its progress window, as soon as it shows.
TEST_P(ListGenerationWindowTest, AnnullaInTheProgressLeavesTheListAsItWas)
{
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "SEMAFORO"});
    ListGenerationWindow window(*context, Kind::Purchase);
    type(window, {{"FORNITORE", "1"}, {"MARCA", "ACM"}});
    bool cancelled = false;
    QTimer::singleShot(0, &window, [&window, &cancelled] {
        if (auto *progress = window.findChild<QProgressDialog *>("Avanzamento")) {
            progress->cancel();
            cancelled = true;
        }
    });
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(window.generate());
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, "Generazione annullata: il listino è rimasto com'era."}));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

ORLAVO_FOR_EACH_ENGINE(ListGenerationWindowTest);

} // namespace
