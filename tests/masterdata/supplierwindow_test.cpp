#include "fixtures.h"
#include "masterdata/masterdata.h"
#include "masterdata/windows/supplierwindow.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"
#include "ui/windowregistry.h"

#include <QPushButton>

// The supplier window's own wiring in both flavours: the checks and writes
// themselves are the store's (supplierstore_test), what it shares with the
// customer window the party window's (f110anac_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using Mode = PartyWindow::Mode;
using Fields = QList<QPair<QString, QString>>;

namespace {

class SupplierWindowTest : public Orlavo::Testing::StandardDataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    std::unique_ptr<SupplierWindow> open(Mode mode, SupplierFlavour flavour, int code = 0, const Fields &typed = {})
    {
        auto window = std::make_unique<SupplierWindow>(*context, mode, flavour, code);
        EXPECT_TRUE(window->loaded());
        for (const auto &[name, value] : typed)
            window->setValue(name, value);
        answer();
        return window;
    }

    int stored(const QString &name, SupplierFlavour flavour, const Fields &main = {})
    {
        Supplier supplier = newSupplier(context->db, flavour);
        supplier.main().setText("RAG_SOC1", name);
        supplier.main().setText("COND_PAG", "RD");
        for (const auto &[column, value] : main)
            supplier.main().setText(column, value);
        return int(insertSupplier(context->db, supplier).code);
    }
};

// Who may be a customer's agent is the lookup's and the customer check's
// (codedlookups_test, customerstore_test).
TEST_P(SupplierWindowTest, AnAgentInsertedHereIsAnAgentAndTheNextOneToo)
{
    auto window = open(Mode::Insert, SupplierFlavour::Agents, 0, {{"RAG_SOC1", "Bianchi Mario"}, {"COND_PAG", "RD"}});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT F.AGENTE || '|' || A.RAG_SOC1 FROM ANAG_FOR F JOIN AGENTI A ON A.CODICE = F.FORNITORE"),
              "A|Bianchi Mario");
    // Cleared for the next one, in the same flavour.
    EXPECT_TRUE(window->value("RAG_SOC1").isEmpty());
    EXPECT_TRUE(isAgent(window->supplier()));
}

// Each window speaks its own words, at Conferma and on leaving a field.
TEST_P(SupplierWindowTest, EachModeSpeaksItsOwnWords)
{
    const Fields wrong = {{"RAG_SOC1", "Rossi"}, {"COND_PAG", "RD"}, {"PROVINCIA_LEG", "QQ"}};
    auto insert = open(Mode::Insert, SupplierFlavour::Suppliers, 0, wrong);
    EXPECT_FALSE(insert->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Sigla provincia sconosciuta ! "});

    auto modify = open(Mode::Modify, SupplierFlavour::Suppliers, stored("Rossi", SupplierFlavour::Suppliers));
    Orlavo::Testing::leave(static_cast<QLineEdit *>(modify->field("PROVINCIA_LEG")), "QQ");
    EXPECT_EQ(prompter.texts(), QStringList{"Provincia di Sede legale sconosciuta! "});
    EXPECT_EQ(red(*modify), QStringList{"PROVINCIA_LEG"});
}

// The person a tax code names fills the withholding fields as it fills a
// customer's (f110anac_test).
TEST_P(SupplierWindowTest, TheSupplierTypeOpensTheWithholdingData)
{
    auto window = open(Mode::Insert, SupplierFlavour::Suppliers);
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("TIPO_FORN")), "OR");
    EXPECT_FALSE(window->withholdingSection()->isEnabled());
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("TIPO_FORN")), "AG");
    EXPECT_TRUE(window->withholdingSection()->isEnabled());

    window->setValue("RAG_SOC1", "Verdi Laura");
    window->setValue("COND_PAG", "RD");
    window->setValue("RIT_CAUSALE", "a");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT CAUSALE FROM RIT_FOR"), "A");
}

TEST_P(SupplierWindowTest, TheBankLabelSwitchesTheColumnTheCodeIsKeptIn)
{
    run("INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE) VALUES ('BP1', 'Banca pagamento')");
    run("INSERT INTO TAB_BAN_APP (CODICE, DESCRIZIONE) VALUES ('BA1', 'Banca appoggio')");
    const int code = stored("Rossi", SupplierFlavour::Suppliers, {{"BANCA_APP", "BA1"}});
    auto window = open(Mode::Modify, SupplierFlavour::Suppliers, code);
    auto *label = window->findChild<QPushButton *>("L_BANCA");
    EXPECT_EQ(label->text() + "|" + window->value("BANCA"), "Banca Appoggio|BA1");

    label->click();
    window->setValue("BANCA", "BP1");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT COALESCE(BANCA_APP, '-') || BANCA_PAG FROM ANAG_FOR"), "-BP1");
}

TEST_P(SupplierWindowTest, AChangeElsewhereBeforeADeleteIsToldAndCancelKeepsEverything)
{
    const int code = stored("Bianchi", SupplierFlavour::Agents);
    auto window = open(Mode::Modify, SupplierFlavour::Agents, code);
    // Another workstation renames it while the question is open.
    prompter.onText = "Confermi eliminazione Fornitore?";
    prompter.action = [this] {
        Orlavo::Testing::Workstation(archives->config()).exec("UPDATE ANAG_FOR SET RAG_SOC2 = 'Zona nord'");
    };
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(),
              (QStringList{"Confermi eliminazione Fornitore?", Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(count("ANAG_FOR") + count("AGENTI"), 2);

    // Named by a purchase list, it is refused with the agent's word.
    run(QStringLiteral("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO) VALUES (%1, 'ACM', 'A1')").arg(code));
    answer();
    EXPECT_FALSE(window->remove());
    EXPECT_EQ(prompter.texts(),
              QStringList{"Impossibile eliminare Agente,\nsono ancora presenti registrazioni su : Articoli"});
}

// The menu's entries open the windows of their flavour.
TEST_P(SupplierWindowTest, MenuEntriesOpenTheirFlavour)
{
    struct Host : Ui::WindowHost {
        QStringList names;
        std::vector<std::unique_ptr<QWidget>> shown;
        void openSingle(const QString &name, const std::function<QWidget *()> &create) override
        {
            names << name;
            shown.emplace_back(create());
        }
        bool registerOpenWindow(const QString &) override { return false; }
        void unregisterOpenWindow(const QString &) override {}
        QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name, const QString &tag) override
        {
            names << name + "|" + tag + "|" + window->windowTitle();
            shown.emplace_back(window);
            return nullptr;
        }
        QWidget *hostWidget() override { return nullptr; }
    } host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    // One of each kind; each flavour once.
    for (const char *entry : {"mnuAgentiIn", "list_fornitore"}) {
        const Ui::WindowAction *action = registry.find(entry);
        ASSERT_TRUE(action) << entry;
        (*action)(host);
    }
    EXPECT_EQ(host.names, (QStringList{"ANAINFOR_AGENTI|ANAAGECOD|Codifica anagrafica AGENTI", "ANARICFO"}));
    EXPECT_EQ(host.shown.at(1)->windowTitle(), "Ricerca FORNITORI");
}

ORLAVO_FOR_EACH_ENGINE(SupplierWindowTest);

} // namespace
