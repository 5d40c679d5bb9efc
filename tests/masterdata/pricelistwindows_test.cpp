#include "committedrows.h"
#include "fixtures.h"
#include "masterdata/masterdata.h"
#include "masterdata/windows/lisge.h"
#include "masterdata/windows/lisri.h"
#include "masterdata/windows/lisrowedit.h"
#include "masterdata/windows/pricepick.h"
#include "masterdata/windows/sconti.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>

// The price-list windows: the lists of price lists and discounts (the
// filters' refusals, the prints holding the rows on screen, also for two
// users printing at once, a chosen row opening its window), the generation
// windows, the discount windows and the windows of one price-list row. The
// price filters' refusals are the rule's (pricerules_test), the checks and
// writes the stores' (pricelists_test, listgeneration_test); what every
// list-row window shares (the question, the rows as stored again, a delete
// asked) is tested on the price-list rows.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Kind = ListGenerationWindow::Kind;
using Orlavo::Testing::red;

namespace {

// Runs body; every modal window opened meanwhile goes to handle, which
// must close it.
void whileModal(const std::function<void(QWidget *)> &handle, const std::function<void()> &body)
{
    QTimer timer;
    timer.setInterval(5);
    QObject::connect(&timer, &QTimer::timeout, [&handle] {
        if (QWidget *modal = QApplication::activeModalWidget())
            handle(modal);
    });
    timer.start();
    body();
    timer.stop();
}

// The rows a list window shows, each its values in column order.
QList<QStringList> shown(PriceListWindow &window)
{
    QList<QStringList> rows;
    whileModal(
        [&rows](QWidget *modal) {
            auto *list = qobject_cast<Ui::LookupList *>(modal);
            if (!list)
                return;
            for (int row = 0; row < list->rowCount(); ++row)
                rows << list->values(row);
            list->reject();
        },
        [&window] { window.showList(); });
    return rows;
}

// The rows of a print, by the key its regular expression captures, in
// print order.
QStringList printedKeys(const QString &text, const QString &pattern)
{
    QStringList keys;
    const QRegularExpression line(pattern, QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(text); it.hasNext();) {
        const auto match = it.next();
        keys << match.capturedTexts().mid(1).join('|');
    }
    return keys;
}

// Brands ACM and BTX; items X1 "Bullone", X2 "Dado" (ACM) and Y1
// "Chiave" (BTX). Customer 7 has 10 % on ACM and 5 % on every brand,
// supplier 2 20 % on ACM. Suppliers 1 (net 100) and 2 (net 80) list X1 at
// 100, the standard purchase list too; customer 7 buys X1 from both with 20 %
// markup, X2 and Y1 from supplier 1; customer 8 buys X1 from supplier 1
// with 50 %; the standard sale list holds X1 from both suppliers.
class PriceListWindowTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::ActingPrompter>
{
protected:
    void seed() override
    {
        useShippedReports();
        context->settings.write("ARTICOLI", "DECIMALI_PREZZO1", "2");
        context->state.user = "ANNA";
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax')");
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'ACM', 'X1', 'Bullone'), "
            "('01', 'ACM', 'X2', 'Dado'), ('01', 'BTX', 'Y1', 'Chiave')");
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1, TIPOLISTINO) VALUES (7, 'Sette', 'P'), (8, 'Otto', 'P')");
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno', 'P'), (2, 'Due', 'P')");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 10, 0, 0, 20), "
            "(7, '999', 5, 0, 0, 20)");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (2, 'ACM', 20, 0, 0)");
        run("INSERT INTO LIST_ACQ (FORNITORE, MARCA, ARTICOLO, PR_LISTINO, SC_A1, PR_ACQUISTO) VALUES "
            "(1, 'ACM', 'X1', 100, 0, 100), (2, 'ACM', 'X1', 100, 20, 80), (1, 'ACM', 'X2', 50, 0, 50), "
            "(1, 'BTX', 'Y1', 30, 0, 30), (99999, 'ACM', 'X1', 100, 0, 100)");
        run("INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, PR_VENDITA, SC_A1, "
            "PR_ACQUISTO, PERC_RIC, PR_RICARICATO) VALUES "
            "(7, 'ACM', 'X1', 1, 100, 10, 90, 0, 100, 20, 120), (7, 'ACM', 'X1', 2, 100, 10, 90, 20, 80, 20, 96), "
            "(7, 'ACM', 'X2', 1, 50, 10, 45, 0, 50, 20, 60), (7, 'BTX', 'Y1', 1, 30, 0, 30, 0, 30, 20, 36), "
            "(8, 'ACM', 'X1', 1, 100, 5, 95, 0, 100, 50, 150), "
            "(99999, 'ACM', 'X1', 1, 100, 0, 100, 0, 100, 10, 110), (99999, 'ACM', 'X1', 2, 100, 0, 100, 20, 80, 10, "
            "88)");
    }

    static void filter(PriceListWindow &window, const QHash<QString, QString> &typed)
    {
        window.clearFilters();
        for (auto it = typed.cbegin(); it != typed.cend(); ++it)
            window.field(it.key())->setText(it.value());
    }

    // A generation window's fields typed and left.
    static void type(ListGenerationWindow &window, const QHash<QString, QString> &typed)
    {
        for (auto it = typed.cbegin(); it != typed.cend(); ++it) {
            QLineEdit *field = window.field(it.key());
            field->setText(it.value());
            emit field->editingFinished();
        }
    }

    // The committed rows of a table, "party|supplier|item" sorted.
    QString rows(const QString &sql) const { return Orlavo::Testing::committedRows(*archives, sql).join(' '); }

    // A discount window, and a window of a price-list row, loaded.
    std::unique_ptr<DiscountWindow> openDiscounts(DiscountSide side, bool inserting, int party = 0,
                                                  const QString &brand = {})
    {
        auto window = std::make_unique<DiscountWindow>(*context, side, inserting, party, brand);
        answer();
        return window;
    }

    template <typename W, typename K> std::unique_ptr<W> openRow(const K &key)
    {
        auto window = std::make_unique<W>(*context, key);
        EXPECT_TRUE(window->loaded()) << prompter.texts().join('|').toStdString();
        answer();
        return window;
    }

    // The operator types in a field and leaves it; what the window queues
    // for after the leaving runs too.
    static void type(ListRowWindow &window, const QString &name, const QString &text)
    {
        Orlavo::Testing::leave(qobject_cast<QLineEdit *>(window.field(name)), text);
        QApplication::processEvents();
    }

    static bool locked(ListRowWindow &window, const QString &name)
    {
        const auto *line = qobject_cast<QLineEdit *>(window.field(name));
        return line && line->isReadOnly();
    }

    // The figures of a sale row of X1, "PR_ACQUISTO|PR_RICARICATO|SC_A1", as committed.
    QString sale(int customer, int supplier, const QString &columns = "PR_ACQUISTO, PR_RICARICATO, SC_A1")
    {
        return Orlavo::Testing::committedRows(
                   *archives,
                   QString("SELECT %1 FROM LIST_VEN WHERE CLIENTE = ? AND FORNITORE = ? AND ARTICOLO = 'X1'")
                       .arg(columns),
                   {customer, supplier})
            .join(' ');
    }
};

// The key of a screen row: customer|brand|item, and the supplier in the
// marked-up view.
QStringList screenKeys(const QList<QStringList> &rows, int columns)
{
    QStringList keys;
    for (const QStringList &row : rows)
        keys << QStringList(row.mid(0, columns)).join('|');
    return keys;
}

TEST_P(PriceListWindowTest, UnknownCodesAndWrongPricesAreToldAndNothingIsListedOrPrinted)
{
    const struct {
        const char *label;
        PriceListKind kind;
        QHash<QString, QString> typed;
        QString message;
    } cases[] = {
        {"customer", PriceListKind::SaleDiscounted, {{"CLIENTE", "55"}}, "Codice Cliente non codificato !"},
        {"supplier", PriceListKind::Purchase, {{"FORNITORE", "55"}}, "Codice Fornitore non codificato !"},
        {"brand", PriceListKind::CustomerDiscounts, {{"MARCA", "ZZZ"}}, "Marca non codificata !"},
        {"item of another brand",
         PriceListKind::SaleDiscounted,
         {{"MARCA", "BTX"}, {"ARTICOLO", "X1"}},
         "Codice Articolo non codificato !"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        PriceListWindow window(*context, c.kind, false);
        filter(window, c.typed);
        answer();
        EXPECT_TRUE(shown(window).isEmpty());
        EXPECT_FALSE(window.print(Reporting::ReportOutput::Pdf, pdf()));
        EXPECT_EQ(prompter.texts(), QStringList(2, c.message));
        EXPECT_FALSE(QFile::exists(pdf()));
    }

    // Brand 999 is every brand's: accepted, and named.
    PriceListWindow discounts(*context, PriceListKind::CustomerDiscounts, false);
    filter(discounts, {{"MARCA", "999"}});
    answer();
    const auto rows = shown(discounts);
    ASSERT_EQ(rows.size(), 1) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows.first().mid(0, 4), (QStringList{"7", "999", "Sette", "Marca standard"}));
}

TEST_P(PriceListWindowTest, BothSaleViewsPrintTheRowsOnScreen)
{
    const struct {
        const char *label;
        QHash<QString, QString> typed;
    } cases[] = {
        {"every personal list", {}},
        {"a price range", {{"PREZZO_DA", "40"}, {"PREZZO_A", "60"}}},
    };
    PriceListWindow window(*context, PriceListKind::SaleDiscounted, false);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        // Discounted: one row per customer and item, whatever the suppliers.
        window.markedUpView()->setChecked(false);
        filter(window, c.typed);
        const QStringList onScreen = screenKeys(shown(window), 3);
        EXPECT_FALSE(onScreen.isEmpty());
        EXPECT_EQ(QStringList(onScreen).removeDuplicates(), 0);
        ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
        QString printed = Orlavo::Testing::pdfText(pdf());
        EXPECT_TRUE(printed.contains("LISTINO VENDITA SCONTATO"));
        EXPECT_EQ(printedKeys(printed, R"(^\s*(\d+)\s+(?:Sette|Otto)\s+(ACM|BTX)\s+(\S+)\s)"), onScreen);

        // Marked up: one row per supplier.
        window.markedUpView()->setChecked(true);
        const QStringList perSupplier = screenKeys(shown(window), 4);
        ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
        printed = Orlavo::Testing::pdfText(pdf());
        EXPECT_TRUE(printed.contains("LISTINO VENDITA RICARICATO"));
        EXPECT_EQ(printedKeys(printed, R"(^\s*(\d+)\s+(ACM|BTX)\s+(\S+)\s+\S+\s+(\d+)\s)"), perSupplier);
    }
    // Customer 7's X1 comes from two suppliers: twice marked up.
    filter(window, {{"CLIENTE", "7"}, {"ARTICOLO", "X1"}});
    window.markedUpView()->setChecked(true);
    EXPECT_EQ(screenKeys(shown(window), 4), (QStringList{"7|ACM|X1|1", "7|ACM|X1|2"}));
}

// Its print is the rule's condition's (pricerules_test).
TEST_P(PriceListWindowTest, TheStandardListShowsItsOwnRowsAlone)
{
    PriceListWindow window(*context, PriceListKind::SaleDiscounted, true);
    ASSERT_TRUE(window.option("STANDARD"));
    EXPECT_FALSE(window.option("STANDARD")->isEnabled());
    EXPECT_EQ(screenKeys(shown(window), 3), QStringList{"99999|ACM|X1"});
}

// A list window whose print lets another workstation act between the
// refill of the print rows and the print itself.
class InterleavedList : public PriceListWindow
{
public:
    using PriceListWindow::PriceListWindow;
    std::function<void()> meanwhile;

protected:
    bool beforePrint() override
    {
        const bool filled = PriceListWindow::beforePrint();
        if (meanwhile)
            std::exchange(meanwhile, {})();
        return filled;
    }
};

TEST_P(PriceListWindowTest, TwoUsersPrintingTheDiscountedListAtOnceEachGetTheirRows)
{
    // Bruno on another workstation, same archives.
    Orlavo::Testing::ScriptedPrompter brunoPrompter;
    Ui::AppContext bruno(archives->folder(), brunoPrompter);
    bruno.db.setExitHook([this](int) { ++dbExits; });
    ASSERT_TRUE(bruno.db.openServices(archives->config()));
    ASSERT_TRUE(bruno.db.openCompany("01"));
    bruno.state.user = "BRUNO";
    bruno.state.userType = 2;
    bruno.state.pathRpt = context->state.pathRpt;
    bruno.state.pathRptPers = context->state.pathRptPers;
    bruno.reports = context->reports;

    InterleavedList anna(*context, PriceListKind::SaleDiscounted, false);
    filter(anna, {{"CLIENTE", "7"}});
    InterleavedList other(bruno, PriceListKind::SaleDiscounted, false);
    filter(other, {{"CLIENTE", "8"}});
    const QString brunoPdf = pdf("bruno");
    const QString pattern = R"(^\s*(\d+)\s+(?:Sette|Otto)\s+(ACM|BTX)\s+(\S+)\s)";

    // Anna's rows are written; Bruno writes and prints his before she prints.
    bool brunoPrinted = false;
    anna.meanwhile = [&] { brunoPrinted = other.print(Reporting::ReportOutput::Pdf, brunoPdf); };
    ASSERT_TRUE(anna.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
    ASSERT_TRUE(brunoPrinted) << brunoPrompter.texts().join('|').toStdString();
    EXPECT_EQ(printedKeys(Orlavo::Testing::pdfText(pdf()), pattern), (QStringList{"7|ACM|X1", "7|ACM|X2", "7|BTX|Y1"}));
    EXPECT_EQ(printedKeys(Orlavo::Testing::pdfText(brunoPdf), pattern), QStringList{"8|ACM|X1"});
    EXPECT_TRUE(brunoPrompter.shown().isEmpty()) << brunoPrompter.texts().join('|').toStdString();
    EXPECT_EQ(dbExits, 0);
}

TEST_P(PriceListWindowTest, AChosenRowOpensItsWindow)
{
    Orlavo::Testing::WindowKeeper host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    const auto openList = [&](const char *entry) -> PriceListWindow * {
        const Ui::WindowAction *action = registry.find(entry);
        if (!action)
            return nullptr;
        (*action)(host);
        return host.windows.empty() ? nullptr : qobject_cast<PriceListWindow *>(host.windows.back().get());
    };
    // Every modal window met, by title; lists choose their first row, the
    // picker its second.
    QStringList modals;
    const auto choose = [&modals](QWidget *modal) {
        modals << modal->windowTitle();
        if (auto *list = qobject_cast<Ui::LookupList *>(modal)) {
            list->choose(0);
        } else if (auto *pick = qobject_cast<PricePick *>(modal)) {
            modals << QString::number(pick->grid()->rowCount());
            pick->pick(1);
        } else {
            modal->close();
        }
    };
    const struct {
        const char *entry;
        QHash<QString, QString> typed;
        bool markedUp;
        QStringList modals;
        QString window; // the name the frame shows it under, from its key
    } cases[] = {
        {"mnu_listAcqMod", {{"FORNITORE", "2"}}, false, {"LISTINO ACQUISTO"}, "LISACQAG_2_ACM_X1"},
        {"mnu_listVenMod",
         {{"CLIENTE", "7"}, {"MARCA", "BTX"}},
         true,
         {"LISTINO VENDITA RICARICATO"},
         "LISVENAG_7_BTX_Y1_1"},
        // Two suppliers: the operator picks the second.
        {"mnu_listVenMod",
         {{"CLIENTE", "7"}, {"ARTICOLO", "X1"}},
         false,
         {"LISTINO VENDITA SCONTATO", "Listino prezzi ricaricati", "2"},
         "LISVENAG_7_ACM_X1_2"},
        // One supplier: no question.
        {"mnu_listVenMod", {{"CLIENTE", "8"}}, false, {"LISTINO VENDITA SCONTATO"}, "LISVENAG_8_ACM_X1_1"},
        {"MnuScCliMod", {{"MARCA", "ACM"}}, false, {"Lista SCONTI CLIENTI"}, "SCONTCLI_7_ACM"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.entry);
        PriceListWindow *list = openList(c.entry);
        ASSERT_TRUE(list);
        filter(*list, c.typed);
        if (c.markedUp)
            list->markedUpView()->setChecked(true);
        modals.clear();
        answer();
        const std::size_t before = host.windows.size();
        whileModal(choose, [list] { list->showList(); });
        EXPECT_EQ(modals, c.modals);
        // Loaded, so shown in the frame.
        EXPECT_EQ(host.windows.size(), before + 1);
        EXPECT_EQ(host.opened.last().section('|', 0, 0), c.window);
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    }
}

const QString kQuestion = "Confermi generazione listino?";

// The generation windows on the lists above; what each run writes is the
// store's (listgeneration_test).
TEST_P(PriceListWindowTest, AGenerationForASupplierWithoutPurchaseRowsIsToldAndWritesNothing)
{
    const Orlavo::Testing::Snapshot before(*archives, {"LIST_ACQ", "LIST_VEN", "SEMAFORO"});
    ListGenerationWindow window(*context, Kind::Sale);
    type(window, {{"CLIENTE", "7"}, {"FORNITORE", "2"}, {"MARCA", "BTX"}});
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(window.generate());
    // The wording is the store's test (listgeneration_test).
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, missingPurchaseListMessage("BTX", 2)}));
    Orlavo::Testing::expectNothingWritten(before, context->db);
}

TEST_P(PriceListWindowTest, AfterTheQuestionTheGenerationWritesTheList)
{
    const QString purchases = "SELECT FORNITORE, MARCA, ARTICOLO FROM LIST_ACQ WHERE FORNITORE = 2";
    ListGenerationWindow purchase(*context, Kind::Purchase);
    type(purchase, {{"FORNITORE", "2"}, {"MARCA", "acm"}});
    answer({Prompter::Button::No});
    EXPECT_FALSE(purchase.generate());
    EXPECT_EQ(prompter.texts(), QStringList{kQuestion});
    EXPECT_EQ(rows(purchases), "2|ACM|X1");

    answer({Prompter::Button::Yes});
    EXPECT_TRUE(purchase.generate());
    EXPECT_EQ(prompter.texts(), (QStringList{kQuestion, "Generazione completata: 2 righe scritte."}));
    EXPECT_EQ(rows(purchases), "2|ACM|X1 2|ACM|X2");

    // The customer's sale list from that supplier's rows.
    ListGenerationWindow sale(*context, Kind::Sale);
    type(sale, {{"CLIENTE", "8"}, {"FORNITORE", "2"}, {"MARCA", "ACM"}});
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO FROM LIST_VEN WHERE CLIENTE = 8"), "8|1|X1 8|2|X1 8|2|X2");

    // The standard list takes every supplier's rows.
    sale.standard()->setChecked(true);
    answer({Prompter::Button::Yes});
    EXPECT_TRUE(sale.generate()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(rows("SELECT CLIENTE, FORNITORE, ARTICOLO FROM LIST_VEN WHERE CLIENTE = 99999"),
              "99999|1|X1 99999|1|X2 99999|2|X1 99999|2|X2 99999|99999|X1");
}

TEST_P(PriceListWindowTest, EveryFailingDiscountFieldTurnsRedAndTheLastSpeaks)
{
    auto window = openDiscounts(DiscountSide::Customers, true);
    // A discount above 100, one below 0, an unknown brand, no customer.
    window->setValue("SC_V1", "120");
    window->setValue("SC_V3", "-1");
    window->setValue("MARCA", "ZZZ");
    EXPECT_FALSE(window->save());
    Orlavo::Testing::expectRefused(prompter, "Cliente obbligatorio", Prompter::Icon::Critical, Prompter::Buttons::Ok,
                                   "Errore!");
    EXPECT_EQ(red(*window), (QStringList{"CLIENTE", "MARCA", "SC_V1", "SC_V3"}));

    // A field left with a wrong value says so at once.
    answer();
    Orlavo::Testing::leave(qobject_cast<QLineEdit *>(window->field("MARCA")), "QQQ");
    QApplication::processEvents();
    EXPECT_EQ(prompter.texts(), QStringList{"Marca errata"});
    EXPECT_TRUE(red(*window).contains("MARCA"));
}

// A pair already stored is the store's refusal (pricelists_test).
TEST_P(PriceListWindowTest, ADiscountInsertAsksFirst)
{
    auto window = openDiscounts(DiscountSide::Customers, true);
    window->setValue("CLIENTE", "7");
    window->setValue("MARCA", "btx");
    window->setValue("SC_V1", "5,5");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmUpdates});
    EXPECT_EQ(text("SELECT SC_V1 FROM TAB_SCONCLI WHERE CLIENTE = 7 AND MARCA = 'BTX'"), "5.5");
    // Cleared for the next pair.
    EXPECT_EQ(window->value("CLIENTE") + window->value("MARCA"), "");
}

TEST_P(PriceListWindowTest, TheDiscountModifyWindowShowsThePairAndSavesAChange)
{
    auto window = openDiscounts(DiscountSide::Suppliers, false, 2, "acm");
    ASSERT_TRUE(window->loaded()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(window->value("FORNITORE") + "|" + window->value("MARCA") + "|" + window->value("SC_A1"), "2|ACM|20,00");
    EXPECT_FALSE(window->hasChanges());

    answer({Prompter::Button::Ok});
    window->setValue("SC_A2", "3");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmUpdates});
    EXPECT_EQ(text("SELECT SC_A2 FROM TAB_SCONFOR WHERE FORNITORE = 2 AND MARCA = 'ACM'"), "3");
    // Shown again as stored.
    EXPECT_EQ(window->value("SC_A2"), "03,00");
    EXPECT_FALSE(window->hasChanges());
}

TEST_P(PriceListWindowTest, AMissingDiscountPairIsToldAndTheWindowIsNotLoaded)
{
    const std::pair<DiscountSide, QString> sides[] = {
        {DiscountSide::Customers, "Il cliente e la marca non esistono in archivio "},
        {DiscountSide::Suppliers, "Il fornitore e la marca non esistono in archivio "},
    };
    for (const auto &[side, missing] : sides) {
        prompter.clear();
        DiscountWindow window(*context, side, false, side == DiscountSide::Customers ? 7 : 1, "BTX");
        EXPECT_FALSE(window.loaded());
        Orlavo::Testing::expectRefused(prompter, missing, Prompter::Icon::Critical, Prompter::Buttons::Ok,
                                       "Errore ...... ");
    }
}

// Which list rows go with the pair is the store's (pricelists_test).
TEST_P(PriceListWindowTest, ADiscountDeleteAsksFirst)
{
    auto customer = openDiscounts(DiscountSide::Customers, false, 7, "ACM");
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        EXPECT_EQ(customer->remove(), choice == Prompter::Button::Yes);
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione sconti?"});
        EXPECT_EQ(text("SELECT COUNT(*) FROM TAB_SCONCLI WHERE CLIENTE = 7 AND MARCA = 'ACM'"),
                  choice == Prompter::Button::Yes ? "0" : "1");
    }
}

TEST_P(PriceListWindowTest, APurchaseRowDerivesItsNetPriceAndItsSaveMovesTheSupplierSaleRows)
{
    auto window = openRow<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    // The list price is the item's.
    EXPECT_TRUE(locked(*window, "PR_LISTINO"));

    // Leaving a discount works out the net price; the discount shows two
    // digits before the comma.
    type(*window, "SC_A1", "10");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A1"), "90,00|10,00");
    type(*window, "SC_A2", "5");
    EXPECT_EQ(window->value("PR_ACQUISTO") + "|" + window->value("SC_A2"), "85,50|05,00");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmUpdates});
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1 AND ARTICOLO = 'X1'"), "85.5");
    // The customer's markup on the new net price (which rows move is the store's).
    EXPECT_EQ(sale(8, 1), "85.5|128.25|10");

    // A net price typed by hand is kept as typed, also by the save.
    answer({Prompter::Button::Ok});
    type(*window, "PR_ACQUISTO", "70");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(sale(7, 1), "70|84|10");
}

TEST_P(PriceListWindowTest, APurchaseRowsFailingFieldsTurnRedAndTheLastSpeaks)
{
    auto window = openRow<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    window->setValue("SC_A1", "120");
    window->setValue("PR_ACQFISSO", "-1");
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Prezzo d'Acquisto Fisso - non può essere minore di 0 ! "});
    EXPECT_EQ(red(*window), (QStringList{"PR_ACQFISSO", "SC_A1"}));
    EXPECT_EQ(text("SELECT SC_A1 FROM LIST_ACQ WHERE FORNITORE = 1 AND ARTICOLO = 'X1'"), "0");
}

// Which rows a sale row takes its price from is the store's (pricelists_test).
TEST_P(PriceListWindowTest, APurchaseRowASaleRowTakesItsPriceFromStaysAlsoWhenTakenMeanwhile)
{
    const QString used = "Impossibile eliminare Listino d'Acquisto,\nsono ancora presenti registrazioni su : "
                         "Listini di vendita";
    auto taken = openRow<LisAcqAg>(PurchaseListKey{1, "ACM", "X1"});
    EXPECT_FALSE(taken->remove());
    EXPECT_EQ(prompter.texts(), QStringList{used});

    // Another workstation generates a sale list from it while the question is open.
    auto standard = openRow<LisAcqAg>(PurchaseListKey{99999, "ACM", "X1"});
    elsewhereOn("Confermi eliminazione Listino di Acquisto?",
                "INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE) VALUES (99999, 'ACM', 'X1', 99999)");
    answer({Prompter::Button::Yes});
    EXPECT_FALSE(standard->remove());
    EXPECT_EQ(prompter.texts(), (QStringList{prompter.onText, used}));
    EXPECT_EQ(count("LIST_ACQ"), 5);
}

TEST_P(PriceListWindowTest, ASaleRowDerivesItsPricesRefusesANegativeMarkupAndIsDeletedAfterTheQuestion)
{
    auto window = openRow<LisVenAg>(SaleListKey{7, "ACM", "X1", 1});
    // The purchase side belongs to the purchase list.
    for (const char *name : {"CLIENTE", "FORNITORE", "SC_A1", "SC_A2", "SC_A3", "PR_ACQUISTO"})
        EXPECT_TRUE(locked(*window, name)) << name;

    type(*window, "SC_V1", "10");
    type(*window, "SC_V2", "5");
    EXPECT_EQ(window->value("PR_VENDITA") + "|" + window->value("SC_V2"), "85,50|05,00");
    type(*window, "PERC_RIC", "25");
    EXPECT_EQ(window->value("PR_RICARICATO") + "|" + window->value("PERC_RIC"), "125,00|25,00");
    EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();

    // A field left with a wrong value says so at once.
    type(*window, "PERC_RIC", "-5");
    EXPECT_EQ(prompter.texts(), QStringList{"Percentuale Ricarico non può essere minore di zero !"});
    EXPECT_EQ(red(*window), QStringList{"PERC_RIC"});

    answer({Prompter::Button::Ok});
    type(*window, "PERC_RIC", "25");
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmUpdates});
    EXPECT_EQ(sale(7, 1, "SC_V1, SC_V2, PR_VENDITA, PERC_RIC, PR_RICARICATO"), "10|5|85.5|25|125");

    // Elimina asks; No keeps the row, Yes deletes it.
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        EXPECT_EQ(window->remove(), choice == Prompter::Button::Yes);
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione Listino di Vendita?"});
        EXPECT_EQ(sale(7, 1).isEmpty(), choice == Prompter::Button::Yes);
    }
}

TEST_P(PriceListWindowTest, AMissingListRowIsToldAndTheWindowIsNotLoaded)
{
    LisAcqAg purchase(*context, PurchaseListKey{1, "ACM", "ZZ"});
    EXPECT_FALSE(purchase.loaded());
    LisVenAg sale(*context, SaleListKey{8, "ACM", "X1", 2});
    EXPECT_FALSE(sale.loaded());
    EXPECT_EQ(prompter.texts(), (QStringList{"Il Listino di Acquisto non esiste in archivio ",
                                             "Il Listino di Vendita non esiste in archivio "}));
}

ORLAVO_FOR_EACH_ENGINE(PriceListWindowTest);

} // namespace
