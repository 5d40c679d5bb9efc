#include "masterdata/rules/codetables.h"
#include "masterdata/stores/codetablestore.h"
#include "masterdata/windows/frmgetab.h"
#include "fixtures.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>


#include <functional>

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Services::WriteEnd;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = "Gestione Tabelle ";
const QString kError = "Errore!";
const QString kInsert = "Confermi inserimento ?";
const QString kUpdate = "Confermi aggiornamento ?";

const CodeTable &table(const QString &name)
{
    const CodeTable *entry = findCodeTable(name);
    if (!entry)
        throw std::runtime_error("no code table " + name.toStdString());
    return *entry;
}

// The zones EST, NORD and SUD, seeded out of order, in their window.
class FrmGetabTest : public Orlavo::Testing::MasterdataTest<Orlavo::Testing::RecordingPrompter>
{
protected:
    void SetUp() override
    {
        MasterdataTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // As the main window sets it.
        context->state.upperCaseKeys = true;
        for (const char *row : {"'SUD', 'Zona sud'", "'EST', 'Zona est'", "'NORD', 'Zona nord'"})
            run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES (%1)").arg(QLatin1String(row)));
        open(Tables::TAB_ZONA);
    }

    void TearDown() override
    {
        window.reset();
        MasterdataTest::TearDown();
    }

    void open(const QString &name)
    {
        window = std::make_unique<FrmGetab>(*context, table(name));
        answer();
        prompter.defaults.clear();
    }

    QString zone(const QString &code) const
    {
        return archives->scalar("SELECT DESCRIZIONE FROM TAB_ZONA WHERE CODICE = ?", {code}).toString();
    }
    int locks() const { return count(Tables::SEMAFORO); }
    // A statement committed by another workstation.
    void elsewhere(const QString &sql) { EXPECT_TRUE(Orlavo::Testing::Workstation(archives->config()).exec(sql)); }
    QTableWidget *grid() const { return window->findChild<QTableWidget *>("griglia"); }
    QPushButton *button(const char *name) const { return window->findChild<QPushButton *>(name); }
    void click(const char *name) const { button(name)->click(); }

    QStringList gridCodes() const
    {
        QStringList codes;
        for (int row = 0; row < grid()->rowCount(); ++row)
            codes << grid()->item(row, 0)->text();
        return codes;
    }

public: // for the case tables
    QLineEdit *field(const char *name) const { return window->findChild<QLineEdit *>(name); }
    void choose(const QString &code) { grid()->setCurrentCell(int(gridCodes().indexOf(code)), 0); }
    void fill(const QString &code, const QString &description)
    {
        field("codice")->setText(code);
        field("descrizione")->setText(description);
    }

    std::unique_ptr<FrmGetab> window;
};

TEST_P(FrmGetabTest, TheStoreRenamesOntoAFreeCodeOnlyAndReportsFailedWrites)
{
    const CodeTable &zones = table(Tables::TAB_ZONA);
    const struct {
        const char *oldCode, *newCode;
        WriteEnd end;
    } cases[] = {
        // Another workstation stored the code after the window's own check.
        {"SUD", "EST", WriteEnd::Duplicate},
        {"SUD", "SUD", WriteEnd::Written},
        {"NONE", "NONE", WriteEnd::Gone},
        {"EST", "LEV", WriteEnd::Written},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldCode << " -> " << c.newCode);
        EXPECT_EQ(updateCode(context->db, zones, c.oldCode, {c.newCode, c.newCode}).end, c.end);
        EXPECT_EQ(zone(c.newCode) == c.newCode, c.end == WriteEnd::Written);
        EXPECT_EQ(count("TAB_ZONA"), 3);
        EXPECT_TRUE(prompter.shown().isEmpty());
        EXPECT_EQ(locks(), 0);
        EXPECT_FALSE(context->db.inTransaction());
    }
    // Codes are matched as stored.
    EXPECT_TRUE(findCode(context->db, zones, "LEV")->has_value());
    EXPECT_FALSE(findCode(context->db, zones, "lev")->has_value());

    // Every write refused: the report names the step, nothing is left.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_ZONA"), QString());
    EXPECT_FALSE(insertCode(context->db, zones, {"OVES", "Ponente"}));
    EXPECT_EQ(updateCode(context->db, zones, "NORD", {"NORD", "x"}).end, WriteEnd::Failed);
    EXPECT_FALSE(deleteCode(context->db, zones, "SUD"));
    const QStringList steps = {"TAB_ZONAInsert ", "TAB_ZONAInsert ", "TAB_ZONACancella tabl"};
    ASSERT_EQ(prompter.shown().size(), 3);
    for (int i = 0; i < 3; ++i) {
        const QString &report = prompter.shown().at(i).text;
        EXPECT_TRUE(report.startsWith("Rilevato errore su Codifica Fatture\n")) << i;
        EXPECT_TRUE(report.contains("\nStep " + steps.at(i) + '\n')) << i;
        EXPECT_EQ(prompter.shown().at(i).icon, Prompter::Icon::Critical) << i;
    }
    EXPECT_EQ(count("TAB_ZONA"), 3);
    EXPECT_EQ(zone("NORD"), "Zona nord");
    EXPECT_EQ(locks() + dbExits, 0);
    EXPECT_FALSE(context->db.inTransaction());
}

TEST_P(FrmGetabTest, ListsTheTableInCodeOrderAndLoadsTheChosenRow)
{
    EXPECT_EQ(window->windowTitle(), "Gestione Tabella Zona Territoriali");
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text() + grid()->horizontalHeaderItem(1)->text(), "CODICEDESCRIZIONE");
    EXPECT_EQ(gridCodes(), (QStringList{"EST", "NORD", "SUD"}));
    EXPECT_EQ(std::pair(field("codice")->maxLength(), field("descrizione")->maxLength()), std::pair(4, 200));
    EXPECT_EQ(button("annulla")->toolTip() + '|' + button("esci")->toolTip(),
              "Annullamento delle modifiche|Uscita senza registrazione");
    choose("SUD");
    EXPECT_EQ(field("codice")->text() + field("descrizione")->text(), "SUDZona sud");

    // Another table: its own title, headings and lengths.
    open(Tables::TAB_PROV);
    EXPECT_EQ(window->windowTitle(), "Gestione Tabella Provincie");
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), "PROV.");
    EXPECT_EQ(std::pair(field("codice")->maxLength(), field("descrizione")->maxLength()), std::pair(2, 30));
    EXPECT_EQ(grid()->rowCount(), count(Tables::TAB_PROV));
    EXPECT_EQ(grid()->item(0, 0)->text(), "AG");
}

TEST_P(FrmGetabTest, TheGridShowsAsManyRowsAsTheSettingAsks)
{
    for (int rows : {5, 12}) {
        SCOPED_TRACE(rows);
        context->state.rowsTab = rows;
        open(Tables::TAB_PROV);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const int bottom = grid()->viewport()->height() - 1;
        EXPECT_EQ(grid()->rowAt(0), 0);
        EXPECT_EQ(grid()->rowAt(bottom), rows - 1);
        // The last row in view is whole.
        const int end = grid()->rowViewportPosition(rows - 1) + grid()->rowHeight(rows - 1);
        EXPECT_GE(end, bottom);
        EXPECT_LE(end, bottom + 1);
    }
}

TEST_P(FrmGetabTest, TypedCodesAreCapitalsAndATakenCodeIsRefusedOnLeaving)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    field("codice")->setFocus();
    QTest::keyClicks(field("codice"), "ovest");
    EXPECT_EQ(field("codice")->text(), "OVES");
    field("codice")->setText("EST");
    QTest::keyClick(field("codice"), Qt::Key_Tab);
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, "Codice Elemento errato");
    EXPECT_EQ(prompter.shown().at(0).title, kError);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Warning);

    // The loaded row's own code is not taken; leaving for Annulla asks nothing.
    answer();
    choose("NORD");
    EXPECT_TRUE(window->checkCode());
    field("codice")->setFocus();
    field("codice")->setText("SUD");
    QTest::mouseClick(button("annulla"), Qt::LeftButton);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmGetabTest, RefusalsComeBeforeAnyQuestionAndWriteNothing)
{
    using T = FrmGetabTest;
    const struct {
        const char *label;
        std::function<void(T &)> set;
        const char *button;
        QString message;
    } cases[] = {
        {"loaded row unchanged", [](T &t) { t.choose("NORD"); }, "registra", "Aggiornamento non consentito."},
        {"no code", [](T &t) { t.fill("  ", "Zona"); }, "registra", "Codice errato."},
        {"no description", [](T &t) { t.fill("OVES", "   "); }, "registra", "Descrizione errata."},
        {"renamed onto a stored code", [](T &t) { t.choose("SUD"); t.fill("est", "Meridione"); }, "registra",
         "Codice Elemento errato"},
        {"delete with nothing loaded", [](T &t) { t.fill("SUD", "Zona sud"); }, "elimina", "Eliminazione non consentita."},
        {"delete under another code", [](T &t) { t.choose("SUD"); t.field("codice")->setText("EST"); }, "elimina",
         "Eliminazione non consentita."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        open(Tables::TAB_ZONA);
        c.set(*this);
        answer({Prompter::Button::Ok});
        click(c.button);
        EXPECT_EQ(prompter.texts(), QStringList{c.message});
        EXPECT_EQ(prompter.titles(), QStringList{kError});
        EXPECT_EQ(count("TAB_ZONA"), 3);
        EXPECT_EQ(zone("SUD") + zone("EST"), "Zona sudZona est");
    }

    // A consulting user is stopped before any check or question.
    context->state.userType = 0;
    open(Tables::TAB_ZONA);
    click("registra");
    choose("NORD");
    click("elimina");
    fill("OVES", "Ponente");
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 3);
    for (const auto &shown : prompter.shown())
        EXPECT_TRUE(shown.text.startsWith("Operazione non consentita : \n")) << shown.text.toStdString();
    EXPECT_EQ(count("TAB_ZONA"), 3);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmGetabTest, InsertsUpdatesRenamesAndDeletesAfterTheQuestion)
{
    fill("oves", "Zona ovest");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        answer({choice});
        click("registra");
        ASSERT_EQ(prompter.texts(), QStringList{kInsert});
        EXPECT_EQ(prompter.titles(), QStringList{kTitle});
        EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.defaults.at(0), Prompter::Button::Cancel);
        prompter.defaults.clear();
        EXPECT_EQ(count("TAB_ZONA"), choice == Prompter::Button::Ok ? 4 : 3);
    }
    // Committed with the code in capitals; the form is empty again.
    EXPECT_EQ(zone("OVES"), "Zona ovest");
    EXPECT_TRUE(gridCodes().contains("OVES"));
    EXPECT_TRUE(field("codice")->text().isEmpty() && field("descrizione")->text().isEmpty());

    choose("NORD");
    field("descrizione")->setText("Settentrione");
    answer({Prompter::Button::Ok});
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{kUpdate});
    EXPECT_EQ(zone("NORD"), "Settentrione");
    // A new code for the same row: the row moves, nothing is added.
    choose("NORD");
    field("codice")->setText("n");
    click("registra");
    EXPECT_EQ(gridCodes(), (QStringList{"EST", "N", "OVES", "SUD"}));
    EXPECT_EQ(zone("N"), "Settentrione");

    choose("SUD");
    answer({Prompter::Button::Ok});
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(gridCodes(), (QStringList{"EST", "N", "OVES"}));
    EXPECT_EQ(count("TAB_ZONA"), 3);
    EXPECT_TRUE(field("codice")->text().isEmpty());
    EXPECT_EQ(locks(), 0);

    // A services table is written in the services database.
    open(Tables::TAB_PROV);
    fill("zz", "PROVA");
    click("registra");
    EXPECT_EQ(text("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'ZZ'"), "PROVA");
    EXPECT_EQ(gridCodes().last(), "ZZ");
}

TEST_P(FrmGetabTest, ACodeInsertedMeanwhileElsewhereAsksWhetherToOverwrite)
{
    const QString question = "Elemento già inserito da un altro utente;\nRiportare comunqua gli aggiornamenti) ";
    for (const Prompter::Button choice : {Prompter::Button::Yes, Prompter::Button::No}) {
        SCOPED_TRACE(choice == Prompter::Button::Yes ? "yes" : "no");
        run("DELETE FROM TAB_ZONA WHERE CODICE = 'OVES'");
        fill("OVES", "Ponente");
        elsewhere("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES ('OVES', 'Ovest altrui')");
        answer({Prompter::Button::Ok, choice});
        click("registra");
        ASSERT_EQ(prompter.texts(), (QStringList{kInsert, question}));
        EXPECT_EQ(prompter.shown().at(1).title, kTitle);
        EXPECT_EQ(prompter.shown().at(1).buttons, Prompter::Buttons::YesNo);
        // Yes writes the operator's description; No keeps the input.
        const bool yes = choice == Prompter::Button::Yes;
        EXPECT_EQ(zone("OVES"), yes ? "Ponente" : "Ovest altrui");
        EXPECT_EQ(field("codice")->text(), yes ? "" : "OVES");
        EXPECT_TRUE(gridCodes().contains("OVES"));
        EXPECT_EQ(locks(), 0);
    }
}

TEST_P(FrmGetabTest, CancelReadsTheLoadedRowAgainAndExitCloses)
{
    choose("NORD");
    field("descrizione")->setText("da scartare");
    elsewhere("UPDATE TAB_ZONA SET DESCRIZIONE = 'Nord rivisto' WHERE CODICE = 'NORD'");
    click("annulla");
    EXPECT_EQ(field("codice")->text() + field("descrizione")->text(), "NORDNord rivisto");
    EXPECT_EQ(grid()->item(int(gridCodes().indexOf("NORD")), 1)->text(), "Nord rivisto");
    // A new element is simply cleared.
    open(Tables::TAB_ZONA);
    fill("OVES", "Ponente");
    click("annulla");
    EXPECT_TRUE(field("codice")->text().isEmpty() && field("descrizione")->text().isEmpty());

    window->show();
    fill("OVES", "Ponente");
    click("esci");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(count("TAB_ZONA"), 3);
}

TEST_P(FrmGetabTest, OneWindowPerTable)
{
    window.reset();
    const CodeTable &zones = table(Tables::TAB_ZONA);
    QPointer<FrmGetab> first = openCodeTable(*context, zones);
    QPointer<FrmGetab> other = openCodeTable(*context, table(Tables::TAB_PROV));
    ASSERT_TRUE(first && other && first != other);
    // Minimised, it comes back; closed, the next call opens a new one.
    first->showMinimized();
    EXPECT_EQ(openCodeTable(*context, zones), first.data());
    EXPECT_FALSE(first->isMinimized());
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    QPointer<FrmGetab> second = openCodeTable(*context, zones);
    EXPECT_TRUE(second && second->isVisible());
    EXPECT_EQ(openCodeTable(*context, table(Tables::TAB_PROV)), other.data());
    second->close();
    other->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull() && other.isNull());
}

TEST_P(FrmGetabTest, TheTablesListPrintsItsReport)
{
    useShippedReports();
    const Ui::LookupRequest request = codeTableList(table(Tables::TAB_PROV), Ui::LookupMode::Print);
    EXPECT_EQ(request.title, "Lista PROVINCIE");
    Ui::LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.rowCount(), 108);
    // A print list chooses nothing.
    list.choose(0);
    EXPECT_FALSE(list.chosen().has_value());
    const QString pdf = archives->folder() + "province.pdf";
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join('|').toStdString();
    const QString text = Testing::pdfPages(pdf).join('\n');
    EXPECT_TRUE(text.contains("AGRIGENTO"));
    EXPECT_TRUE(text.contains(QRegularExpression("Totale righe:\\s+108")));
}

ORLAVO_FOR_EACH_ENGINE(FrmGetabTest);

} // namespace
