#include "fixtures.h"
#include "masterdata/masterdata.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/windows/codedlookups.h"
#include "masterdata/windows/supplierwindow.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

// The supplier window's wiring in both flavours: the checks and writes
// themselves are the store's (supplierstore_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using Mode = PartyWindow::Mode;
using Fields = QList<QPair<QString, QString>>;

namespace {

const QString kConfirm = "Confermi registrazioni?";

class SupplierWindowTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (!IsSkipped() && !HasFatalFailure())
            addStandardData();
    }

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

TEST_P(SupplierWindowTest, AnAgentInsertedHereIsOfferedToCustomersAndASupplierIsNot)
{
    auto window = open(Mode::Insert, SupplierFlavour::Agents, 0,
                       {{"RAG_SOC1", "Bianchi Mario"}, {"COND_PAG", "RD"}, {"PERC_PROV", "5"}});
    EXPECT_EQ(window->objectName() + "|" + window->windowTitle(), "AnaInFor|Codifica anagrafica AGENTI");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), (QStringList{kConfirm, "Assegnato codice 1"}));
    EXPECT_EQ(text("SELECT F.AGENTE || '|' || A.RAG_SOC1 FROM ANAG_FOR F JOIN AGENTI A ON A.CODICE = F.FORNITORE"),
              "A|Bianchi Mario");
    // Cleared for the next one, in the same flavour.
    EXPECT_TRUE(window->value("RAG_SOC1").isEmpty());
    EXPECT_TRUE(isAgent(window->supplier()));
    const int supplier = stored("Forniture Srl", SupplierFlavour::Suppliers);

    // The customer's agent field lists and accepts the agent only.
    Ui::LookupList agents(*context, codedLookupList(*partyLookup("AGENTE")));
    ASSERT_TRUE(agents.load());
    EXPECT_EQ(agents.rowCount(), 1);
    EXPECT_EQ(agents.values(0).first(), "1");
    Customer customer = newCustomer(context->db);
    customer.main().setText("AGENTE", "1");
    EXPECT_TRUE(checkCustomer(context->db, customer, {}, "AGENTE").isEmpty());
    customer.main().setText("AGENTE", QString::number(supplier));
    ASSERT_EQ(checkCustomer(context->db, customer, {}, "AGENTE").size(), 1);
    EXPECT_EQ(checkCustomer(context->db, customer, {}, "AGENTE").first().message, "Codice agente sconosciuto ! ");
}

TEST_P(SupplierWindowTest, FailingFieldsTurnRedAndEachWindowSpeaksItsOwnWords)
{
    const Fields wrong = {{"RAG_SOC1", "Rossi"}, {"COND_PAG", "RD"}, {"COD_MERCE", "ZZ"}, {"PROVINCIA_LEG", "QQ"}};
    auto insert = open(Mode::Insert, SupplierFlavour::Suppliers, 0, wrong);
    insert->tabs()->setCurrentIndex(4);
    EXPECT_FALSE(insert->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Sigla provincia sconosciuta ! "});
    EXPECT_EQ(red(*insert), (QStringList{"COD_MERCE", "PROVINCIA_LEG"}));
    EXPECT_EQ(insert->tabs()->currentIndex(), 0);
    EXPECT_EQ(count("ANAG_FOR"), 0);

    auto modify = open(Mode::Modify, SupplierFlavour::Suppliers, stored("Rossi", SupplierFlavour::Suppliers), wrong);
    EXPECT_EQ(modify->objectName() + "|" + modify->windowTitle(), "AnaAgFor|Variazione anagrafica FORNITORI");
    EXPECT_FALSE(modify->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Provincia di Sede legale sconosciuta! "});
    // Leaving a field says its own message at once.
    answer();
    Orlavo::Testing::leave(static_cast<QLineEdit *>(modify->field("COD_MERCE")), "YY");
    EXPECT_EQ(prompter.texts(), QStringList{"Codice merceologico sconosciuto!"});
}

TEST_P(SupplierWindowTest, TheSupplierTypeOpensTheWithholdingDataAndTheTaxCodeFillsThem)
{
    auto window = open(Mode::Insert, SupplierFlavour::Suppliers);
    auto *label = window->findChild<QLabel *>("D_RITENUTA");
    ASSERT_TRUE(label);
    EXPECT_FALSE(window->withholdingSection()->isEnabled());
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("TIPO_FORN")), "OR");
    EXPECT_EQ(label->text(), "Fornitore non soggetto a ritenuta d'imposta");
    EXPECT_FALSE(window->withholdingSection()->isEnabled());
    Orlavo::Testing::leave(static_cast<QLineEdit *>(window->field("TIPO_FORN")), "AG");
    EXPECT_EQ(label->text(), "Ritenuta 23,00 %   Enasarco 8,50 %");
    EXPECT_TRUE(window->withholdingSection()->isEnabled());

    window->setValue("COD_FISC", "VRDLRA85T41L219D");
    window->leaveField("COD_FISC");
    EXPECT_EQ(window->value("SESSO") + window->value("DATA_NASC") + window->value("CITTA_NASC"),
              "F01/12/1985TORINO");
    window->setValue("RAG_SOC1", "Verdi Laura");
    window->setValue("COND_PAG", "RD");
    window->setValue("RIT_CAUSALE", "a");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT CAUSALE || SESSO || PROV_NASC FROM RIT_FOR"), "AFTO");
}

TEST_P(SupplierWindowTest, TheBankLabelSwitchesTheColumnTheCodeIsKeptIn)
{
    run("INSERT INTO TAB_BAN_PAG (CODICE, DESCRIZIONE) VALUES ('BP1', 'Banca pagamento')");
    run("INSERT INTO TAB_BAN_APP (CODICE, DESCRIZIONE) VALUES ('BA1', 'Banca appoggio')");
    const int code = stored("Rossi", SupplierFlavour::Suppliers, {{"BANCA_APP", "BA1"}});
    auto window = open(Mode::Modify, SupplierFlavour::Suppliers, code);
    auto *label = window->findChild<QPushButton *>("L_BANCA");
    EXPECT_EQ(label->text() + "|" + window->value("BANCA"), "Banca Appoggio|BA1");
    EXPECT_EQ(window->findChild<QLabel *>("D_DESC_BANCA")->text(), "Banca appoggio");

    label->click();
    window->setValue("BANCA", "BP1");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(text("SELECT COALESCE(BANCA_APP, '-') || BANCA_PAG FROM ANAG_FOR"), "-BP1");
    EXPECT_EQ(label->text(), "Banca Pagamento");
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
    for (const char *entry : {"codi_fornitore", "mnuAgentiIn", "list_fornitore", "mnu_AgentiAg"}) {
        const Ui::WindowAction *action = registry.find(entry);
        ASSERT_TRUE(action) << entry;
        (*action)(host);
    }
    EXPECT_EQ(host.names, (QStringList{"ANAINFOR|ANAFORCOD|Codifica anagrafica FORNITORI",
                                       "ANAINFOR_AGENTI|ANAAGECOD|Codifica anagrafica AGENTI", "ANARICFO",
                                       "ANARICFO_AGENTI"}));
    EXPECT_EQ(host.shown.at(2)->windowTitle() + "|" + host.shown.at(3)->windowTitle(),
              "Ricerca FORNITORI|Ricerca AGENTI");
}

ORLAVO_FOR_EACH_ENGINE(SupplierWindowTest);

} // namespace
