#include "fixtures.h"
#include "masterdata/masterdata.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/windows/f110anac.h"
#include "masterdata/windows/supplierwindow.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// The customer and supplier windows' wiring; the checks and writes
// themselves are the stores' (partystores_test). What both windows share
// (the party window) is tested on the customer window, the supplier
// window's own wiring in both flavours.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using Fields = QList<QPair<QString, QString>>;
using Mode = PartyWindow::Mode;

namespace {

// The fields a customer needs beyond the defaults to pass every check.
Fields valid(const QString &name)
{
    return {{"RAG_SOC1", name}, {"COND_PAG", "RD"}, {"TIPO_CLIENTE", "SC"}};
}

// Company "01" with its standard data and the counters of party codes.
class PartyWindowTest : public Orlavo::Testing::StandardDataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    // A customer or supplier window, loaded, the fields typed.
    template <typename W> std::unique_ptr<W> typedIn(std::unique_ptr<W> window, const Fields &typed)
    {
        EXPECT_TRUE(window->loaded());
        for (const auto &[name, value] : typed)
            window->setValue(name, value);
        answer();
        return window;
    }
    std::unique_ptr<F110Anac> open(Mode mode, int code = 0, const Fields &typed = {})
    {
        return typedIn(std::make_unique<F110Anac>(*context, mode, code), typed);
    }
    std::unique_ptr<SupplierWindow> open(Mode mode, SupplierFlavour flavour, int code = 0, const Fields &typed = {})
    {
        return typedIn(std::make_unique<SupplierWindow>(*context, mode, flavour, code), typed);
    }

    int stored(const QString &name, const Fields &main = {})
    {
        Customer customer = newCustomer(context->db);
        for (const auto &[column, value] : valid(name) + main)
            customer.main().setText(column, value);
        const auto written = insertCustomer(context->db, customer);
        EXPECT_EQ(written.end, Services::WriteEnd::Written);
        return int(written.code);
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

    QString customerText(const char *column, int code)
    {
        return text(QStringLiteral("SELECT %1 FROM ANAG_CLI WHERE CLIENTE = %2").arg(QLatin1String(column)).arg(code));
    }
};

TEST_P(PartyWindowTest, AnInsertStoresEachFieldInItsTableAndStartsAgainWithTheDefaults)
{
    auto window = open(Mode::Insert, 0,
                       valid("Rossi Srl") +
                           Fields{{"TELEFONO1", "011 111"}, {"CONT_TELEFONO1", "011 222"}, {"GIORNO_CHIU", "LUNEDI'"}});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    // Each phone in its own table.
    EXPECT_EQ(customerText("RAG_SOC1", 1) + customerText("TELEFONO1", 1), "Rossi Srl011 111");
    EXPECT_EQ(text("SELECT TELEFONO1 || GIORNO_CHIU FROM CONT_CLI WHERE CLIENTE = 1"), "011 222LUNEDI'");

    // Ready for the next one: the defaults, the secondary code.
    EXPECT_FALSE(window->hasChanges());
    EXPECT_TRUE(window->value("RAG_SOC1").isEmpty());
    EXPECT_EQ(window->value("CONTO_RICAVO"), "041001");
    EXPECT_EQ(window->focusWidget(), window->field("CODICE2"));
}

TEST_P(PartyWindowTest, EveryFailingFieldTurnsRedAndTheLastCheckSpeaksOnItsTab)
{
    auto window =
        open(Mode::Insert, 0,
             valid("Rossi") + Fields{{"DATA_NASC", "31/02/1980"}, {"COND_PAG", ""}, {"CONTO_RICAVO", "012001"}});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Conto Ricavo sconosciuto ! "});
    EXPECT_EQ(red(*window), (QStringList{"COND_PAG", "CONTO_RICAVO", "DATA_NASC"}));
    EXPECT_EQ(window->focusWidget(), window->field("CONTO_RICAVO"));
}

TEST_P(PartyWindowTest, ADoubtfulTaxCodeIsKeptOnlyWhenTheOperatorSaysSo)
{
    // A valid personal code tells sex, birth date (a day from 41 a woman)
    // and the town of birth of its cadastral code.
    auto person = open(Mode::Insert, 0, {{"COD_FISC", "VRDLRA85T41L219D"}});
    person->leaveField("COD_FISC");
    EXPECT_EQ(person->value("SESSO") + person->value("DATA_NASC"), "F01/12/1985");
    EXPECT_EQ(person->value("CITTA_NASC") + person->value("PROV_NASC"), "TORINOTO");

    const QString question = "Codice fiscale errato\nNon è completo.\nMantenere ugualmente";
    auto window = open(Mode::Insert, 0, valid("Rossi") + Fields{{"COD_FISC", "RSSMRA85T10A562"}});
    // No at confirm: the check's message, nothing written.
    answer({Prompter::Button::No});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{question, "Codice fiscale errato ! "}));
    EXPECT_EQ(red(*window), QStringList{"COD_FISC"});
    // Yes on leaving the field: not asked again, stored as typed.
    answer({Prompter::Button::Yes});
    window->leaveField("COD_FISC");
    EXPECT_TRUE(red(*window).isEmpty());
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{question, Testing::kConfirmRegistrations, "Assegnato codice 1"}));
    EXPECT_EQ(customerText("COD_FISC", 1), "RSSMRA85T10A562");
}

// The municipalities of the services archive, for a seat or the place of birth.
TEST_P(PartyWindowTest, F4OnATownOffersTheMunicipalities)
{
    auto window = open(Mode::Insert, 0, {});
    QString title;
    QTimer::singleShot(0, [&title] {
        if (auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget())) {
            title = list->windowTitle();
            list->choose(list->findPrefix(QStringLiteral("ROMA")));
        }
    });
    QTest::keyClick(window->field("CITTA_NASC"), Qt::Key_F4);
    EXPECT_EQ(title, QStringLiteral("Lista COMUNI"));
    EXPECT_EQ(window->value("CITTA_NASC") + window->value("PROV_NASC"), "ROMARM");
}

TEST_P(PartyWindowTest, AnIdentifierOfAnotherCustomerIsAskedAbout)
{
    stored("Altro", {{"COD_FISC", "RSSMRA70A02A479O"}});
    const QString question = "Codice fiscale già presente in archivio !\nContinuare ugualmente?";
    auto window = open(Mode::Insert, 0, valid("Rossi") + Fields{{"COD_FISC", "RSSMRA70A02A479O"}});
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        EXPECT_EQ(window->save(), choice == Prompter::Button::Yes);
        EXPECT_EQ(prompter.texts().value(0), question);
        EXPECT_EQ(count("ANAG_CLI"), choice == Prompter::Button::Yes ? 2 : 1);
    }
}

TEST_P(PartyWindowTest, AnUpdateWarnsOfThePersonalPriceListAndReloadsTheRecord)
{
    const int code = stored("Rossi", {{"TIPOLISTINO", "P"}});
    run(QStringLiteral("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (%1, 'ACM', 'A1', 3)")
            .arg(code));
    auto window = open(Mode::Modify, code, {{"TIPOLISTINO", "S"}});
    EXPECT_TRUE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Attenzione: disselezionando l'opzione del listino personalizzato \n"
                                            "si provoca la cancellazione dei listini del cliente.\n"
                                            "Confermi registrazioni?"});
    // Reloaded: nothing left to write.
    EXPECT_FALSE(window->hasChanges());
}

TEST_P(PartyWindowTest, ARecordChangedOrDeletedElsewhereIsNotOverwritten)
{
    const int code = stored("Rossi");
    auto window = open(Mode::Modify, code, {{"RAG_SOC1", "Rossi Spa"}});
    // Changed: Cancel keeps the other workstation's row, OK writes over it.
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    elsewhereOn(Testing::kConfirmRegistrations,
                QStringLiteral("UPDATE ANAG_CLI SET RAG_SOC2 = 'Altrove' WHERE CLIENTE = %1").arg(code));
    EXPECT_FALSE(window->save());
    ASSERT_EQ(prompter.texts(),
              (QStringList{Testing::kConfirmRegistrations, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(customerText("RAG_SOC1", code) + customerText("RAG_SOC2", code), "RossiAltrove");
    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    EXPECT_TRUE(window->save());
    EXPECT_EQ(customerText("RAG_SOC1", code), "Rossi Spa");

    // Deleted: said so, and the row is not written again.
    window->setValue("RESPONSABILE", "Mario");
    answer();
    elsewhereOn(Testing::kConfirmRegistrations, QStringLiteral("DELETE FROM ANAG_CLI WHERE CLIENTE = %1").arg(code));
    EXPECT_FALSE(window->save());
    ASSERT_EQ(prompter.texts(),
              (QStringList{Testing::kConfirmRegistrations, Services::Concurrency::deletedElsewhere()}));
    EXPECT_EQ(count("ANAG_CLI") + count("CONT_CLI"), 0);
}

TEST_P(PartyWindowTest, DeleteAndCancelAskFirst)
{
    const int code = stored("Rossi");
    auto window = open(Mode::Modify, code, {{"RAG_SOC1", "Verdi"}});
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        window->cancel();
        EXPECT_EQ(prompter.texts(), QStringList{"Rinuncia operazioni su record corrente?"});
        EXPECT_EQ(window->value("RAG_SOC1"), choice == Prompter::Button::No ? "Verdi" : "Rossi");
    }

    window->show();
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        answer({choice});
        EXPECT_EQ(window->remove(), choice == Prompter::Button::Ok);
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione Cliente?"});
        EXPECT_EQ(count("ANAG_CLI"), choice == Prompter::Button::Ok ? 0 : 1);
    }
    EXPECT_FALSE(window->isVisible());
}

// Who may be a customer's agent is the lookup's and the customer check's
// (lookups_test, partystores_test).
TEST_P(PartyWindowTest, AnAgentInsertedHereIsAnAgentAndTheNextOneToo)
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
TEST_P(PartyWindowTest, EachSupplierModeSpeaksItsOwnWords)
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
// customer's.
TEST_P(PartyWindowTest, TheSupplierTypeOpensTheWithholdingData)
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

TEST_P(PartyWindowTest, TheBankLabelSwitchesTheColumnTheCodeIsKeptIn)
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

TEST_P(PartyWindowTest, AChangeElsewhereBeforeADeleteIsToldAndCancelKeepsEverything)
{
    const int code = stored("Bianchi", SupplierFlavour::Agents);
    auto window = open(Mode::Modify, SupplierFlavour::Agents, code);
    // Another workstation renames it while the question is open.
    elsewhereOn("Confermi eliminazione Fornitore?", "UPDATE ANAG_FOR SET RAG_SOC2 = 'Zona nord'");
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
TEST_P(PartyWindowTest, MenuEntriesOpenTheirFlavour)
{
    Orlavo::Testing::WindowKeeper host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    // One of each kind; each flavour once.
    for (const char *entry : {"mnuAgentiIn", "list_fornitore"}) {
        const Ui::WindowAction *action = registry.find(entry);
        ASSERT_TRUE(action) << entry;
        (*action)(host);
    }
    EXPECT_EQ(host.opened, (QStringList{"ANAINFOR_AGENTI|ANAAGECOD|Codifica anagrafica AGENTI", "ANARICFO"}));
    EXPECT_EQ(host.windows.at(1)->windowTitle(), "Ricerca FORNITORI");
}

ORLAVO_FOR_EACH_ENGINE(PartyWindowTest);

} // namespace
