#include "masterdata/masterdata.h"
#include "masterdata/windows/lisri.h"
#include "masterdata/windows/pricepick.h"
#include "masterdatatest.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTimer>

// The lists of price lists and discounts: the filters' refusals, the
// prints holding the rows on screen (also for two users printing at once),
// a chosen row opening its window. The columns each print shows are the
// report's test (pricelistreports_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;

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

// A main window that keeps what the entries open.
struct Host : Ui::WindowHost {
    QStringList tasks;
    std::vector<std::unique_ptr<QWidget>> windows;
    void openSingle(const QString &, const std::function<QWidget *()> &create) override
    {
        windows.emplace_back(create());
    }
    bool registerOpenWindow(const QString &) override { return false; }
    void unregisterOpenWindow(const QString &) override {}
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name, const QString &) override
    {
        tasks << name;
        windows.emplace_back(window);
        return nullptr;
    }
    QWidget *hostWidget() override { return nullptr; }
    QWidget *last() const { return windows.empty() ? nullptr : windows.back().get(); }
};

// Brands ACM and BTX; items X1 "Bullone", X2 "Dado" (ACM) and Y1
// "Chiave" (BTX). Customer 7 buys X1 from suppliers 1 and 2 at the same
// sale price, X2 and Y1 from supplier 1; customer 8 buys X1; the standard
// list holds X1 from both suppliers.
class PriceListWindowTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        useShippedReports();
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

    QString pdf(const QString &name = "listino") const { return archives->folder() + name + ".pdf"; }

    static void filter(PriceListWindow &window, const QHash<QString, QString> &typed)
    {
        window.clearFilters();
        for (auto it = typed.cbegin(); it != typed.cend(); ++it)
            window.field(it.key())->setText(it.value());
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
        {"price zero",
         PriceListKind::SaleDiscounted,
         {{"PREZZO_DA", "0"}},
         "Prezzo di Listino deve essere maggiore di zero !"},
        {"prices reversed",
         PriceListKind::Purchase,
         {{"PREZZO_DA", "50"}, {"PREZZO_A", "10"}},
         "Prezzo di Listino  A  deve essere maggiore di Prezzo Listino  DA !"},
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
        {"every personal list", {}},        {"one customer", {{"CLIENTE", "7"}}},
        {"one brand", {{"MARCA", "acm"}}},  {"a price range", {{"PREZZO_DA", "40"}, {"PREZZO_A", "60"}}},
        {"one item", {{"ARTICOLO", "X1"}}},
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

TEST_P(PriceListWindowTest, TheStandardListPrintsItsOwnRowsAlone)
{
    PriceListWindow window(*context, PriceListKind::SaleDiscounted, true);
    QCheckBox *standard = window.option("STANDARD");
    ASSERT_TRUE(standard);
    EXPECT_FALSE(standard->isEnabled());
    EXPECT_TRUE(standard->isChecked());

    const QStringList onScreen = screenKeys(shown(window), 3);
    EXPECT_EQ(onScreen, QStringList{"99999|ACM|X1"});
    ASSERT_TRUE(window.print(Reporting::ReportOutput::Pdf, pdf())) << prompter.texts().join('|').toStdString();
    const QString printed = Orlavo::Testing::pdfText(pdf());
    EXPECT_EQ(printedKeys(printed, R"(^\s*(ACM|BTX)\s+(\S+)\s+(?:Bullone|Dado|Chiave))"), QStringList{"ACM|X1"});
    EXPECT_FALSE(printed.contains("Sette")) << printed.toStdString();
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

    // The other way round, with Anna's filter changed.
    filter(anna, {{"MARCA", "BTX"}});
    other.meanwhile = [&] { EXPECT_TRUE(anna.print(Reporting::ReportOutput::Pdf, pdf())); };
    ASSERT_TRUE(other.print(Reporting::ReportOutput::Pdf, brunoPdf));
    EXPECT_EQ(printedKeys(Orlavo::Testing::pdfText(pdf()), pattern), QStringList{"7|BTX|Y1"});
    EXPECT_EQ(printedKeys(Orlavo::Testing::pdfText(brunoPdf), pattern), QStringList{"8|ACM|X1"});
    EXPECT_TRUE(brunoPrompter.shown().isEmpty()) << brunoPrompter.texts().join('|').toStdString();
    EXPECT_EQ(dbExits, 0);
}

TEST_P(PriceListWindowTest, AChosenRowOpensItsWindow)
{
    Host host;
    Ui::WindowRegistry registry;
    registerWindows(registry, *context);
    const auto openList = [&](const char *entry) -> PriceListWindow * {
        const Ui::WindowAction *action = registry.find(entry);
        if (!action)
            return nullptr;
        (*action)(host);
        return qobject_cast<PriceListWindow *>(host.last());
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
        EXPECT_EQ(host.tasks.value(host.tasks.size() - 1), c.window);
        EXPECT_TRUE(prompter.texts().isEmpty()) << prompter.texts().join('|').toStdString();
    }
}

ORLAVO_FOR_EACH_ENGINE(PriceListWindowTest);

} // namespace
