#include "masterdata/rules/codetables.h"
#include "masterdata/stores/codetablestore.h"
#include "masterdata/windows/frmgetab.h"
#include "fixtures.h"
#include "masterdatatest.h"
#include "services/core/tablenames.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <functional>

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Services::WriteEnd;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kInsert = "Confermi inserimento ?";

// The zones EST, NORD and SUD, seeded out of order, in their window.
class FrmGetabTest
    : public Orlavo::Testing::WindowFixture<FrmGetab,
                                            Orlavo::Testing::MasterdataTest<Orlavo::Testing::RecordingPrompter>>
{
protected:
    void seed() override
    {
        context->state.upperCaseKeys = true; // as the main window sets it
        for (const char *row : {"'SUD', 'Zona sud'", "'EST', 'Zona est'", "'NORD', 'Zona nord'"})
            run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES (%1)").arg(QLatin1String(row)));
        open(Tables::TAB_ZONA);
    }

    void open(const QString &name)
    {
        window = std::make_unique<FrmGetab>(*context, *findCodeTable(name));
        answer();
        prompter.defaults.clear();
    }

    QString zone(const QString &code) const
    {
        return archives->scalar("SELECT DESCRIZIONE FROM TAB_ZONA WHERE CODICE = ?", {code}).toString();
    }
    // The zones stored, the locks held, an open transaction, the fatal errors.
    QString left() const
    {
        return QStringLiteral("%1 rows, %2 locks%3, %4 exits")
            .arg(count("TAB_ZONA"))
            .arg(count(Tables::SEMAFORO))
            .arg(context->db.inTransaction() ? ", in transaction" : "")
            .arg(dbExits);
    }
    void elsewhere(const QString &sql) { EXPECT_TRUE(Orlavo::Testing::Workstation(archives->config()).exec(sql)); }
    QTableWidget *grid() const { return window->findChild<QTableWidget *>("griglia"); }
    void click(const char *name) const { window->findChild<QPushButton *>(name)->click(); }
    QString form() const { return field("codice")->text() + '|' + field("descrizione")->text(); }
    QStringList gridCodes() const { return Orlavo::Testing::gridColumn(*window, 0); }

public: // for the case tables
    QLineEdit *field(const char *name) const { return window->findChild<QLineEdit *>(name); }
    void choose(const QString &code) { grid()->setCurrentCell(int(gridCodes().indexOf(code)), 0); }
    void fill(const QString &code, const QString &description)
    {
        field("codice")->setText(code);
        field("descrizione")->setText(description);
    }
};

TEST_P(FrmGetabTest, TheStoreRenamesOntoAFreeCodeOnlyAndReportsFailedWrites)
{
    const CodeTable &zones = *findCodeTable(Tables::TAB_ZONA);
    const struct {
        const char *oldCode, *newCode;
        WriteEnd end;
    } cases[] = {
        // Another workstation stored the code after the window's own check.
        {"SUD", "EST", WriteEnd::Duplicate},
        {"SUD", "SUD", WriteEnd::Written},
        {"NONE", "NONE", WriteEnd::Gone},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.oldCode << " -> " << c.newCode);
        EXPECT_EQ(updateCode(context->db, zones, c.oldCode, {c.newCode, c.newCode}).end, c.end);
        EXPECT_EQ(zone(c.newCode) == c.newCode, c.end == WriteEnd::Written);
        EXPECT_EQ(left(), "3 rows, 0 locks, 0 exits");
        EXPECT_TRUE(prompter.shown().isEmpty());
    }
    // Codes are matched as stored.
    EXPECT_TRUE(findCode(context->db, zones, "SUD")->has_value());
    EXPECT_FALSE(findCode(context->db, zones, "sud")->has_value());

    // Every write refused: the report names the step, nothing is left.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "TAB_ZONA"), QString());
    EXPECT_FALSE(insertCode(context->db, zones, {"OVES", "Ponente"}));
    EXPECT_EQ(updateCode(context->db, zones, "NORD", {"NORD", "x"}).end, WriteEnd::Failed);
    EXPECT_FALSE(deleteCode(context->db, zones, "SUD"));
    ASSERT_EQ(prompter.shown().size(), 3);
    for (const auto &report : prompter.shown())
        EXPECT_TRUE(report.text.startsWith("Rilevato errore su Codifica Fatture\n")) << report.text.toStdString();
    EXPECT_EQ(left(), "3 rows, 0 locks, 0 exits");
    EXPECT_EQ(zone("NORD"), "Zona nord");
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
        {"renamed onto a stored code",
         [](T &t) {
             t.choose("SUD");
             t.fill("est", "Meridione");
         },
         "registra", "Codice Elemento errato"},
        {"delete under another code",
         [](T &t) {
             t.choose("SUD");
             t.field("codice")->setText("EST");
         },
         "elimina", "Eliminazione non consentita."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        open(Tables::TAB_ZONA);
        c.set(*this);
        click(c.button);
        Orlavo::Testing::expectRefused(prompter, c.message, Prompter::Icon::Warning, Prompter::Buttons::Ok, "Errore!");
        EXPECT_EQ(count("TAB_ZONA"), 3);
        EXPECT_EQ(zone("SUD") + zone("EST"), "Zona sudZona est");
    }
}

TEST_P(FrmGetabTest, InsertsUpdatesRenamesAndDeletesAfterTheQuestion)
{
    fill("oves", "Zona ovest");
    for (const Prompter::Button choice : {Prompter::Button::Cancel, Prompter::Button::Ok}) {
        answer({choice});
        click("registra");
        ASSERT_EQ(prompter.texts(), QStringList{kInsert});
        EXPECT_EQ(prompter.defaults.value(0), Prompter::Button::Cancel);
        prompter.defaults.clear();
        EXPECT_EQ(count("TAB_ZONA"), choice == Prompter::Button::Ok ? 4 : 3);
    }
    // Committed with the code in capitals; the form is empty again.
    EXPECT_EQ(zone("OVES"), "Zona ovest");
    EXPECT_EQ(form(), "|");

    choose("NORD");
    field("descrizione")->setText("Settentrione");
    answer({Prompter::Button::Ok});
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi aggiornamento ?"});
    EXPECT_EQ(zone("NORD"), "Settentrione");
    // A new code for the same row: the row moves, nothing is added.
    choose("NORD");
    field("codice")->setText("n");
    click("registra");
    EXPECT_EQ(zone("N"), "Settentrione");

    choose("SUD");
    answer({Prompter::Button::Ok});
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    // The list in code order.
    EXPECT_EQ(gridCodes(), (QStringList{"EST", "N", "OVES"}));
    EXPECT_EQ(left(), "3 rows, 0 locks, 0 exits");

    // A services table is written in the services database.
    open(Tables::TAB_PROV);
    fill("zz", "PROVA");
    click("registra");
    EXPECT_EQ(text("SELECT DESCRIZIONE FROM servizi.TAB_PROV WHERE CODICE = 'ZZ'"), "PROVA");
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
        // Yes writes the operator's description; No keeps the input.
        const bool yes = choice == Prompter::Button::Yes;
        EXPECT_EQ(zone("OVES"), yes ? "Ponente" : "Ovest altrui");
        EXPECT_EQ(field("codice")->text(), yes ? "" : "OVES");
        EXPECT_TRUE(gridCodes().contains("OVES"));
        EXPECT_EQ(count(Tables::SEMAFORO), 0);
    }
}

// Annulla reads the loaded row again.
TEST_P(FrmGetabTest, CancelReadsTheLoadedRowAgain)
{
    choose("NORD");
    field("descrizione")->setText("da scartare");
    elsewhere("UPDATE TAB_ZONA SET DESCRIZIONE = 'Nord rivisto' WHERE CODICE = 'NORD'");
    click("annulla");
    EXPECT_EQ(form(), "NORD|Nord rivisto");
    EXPECT_TRUE(prompter.shown().isEmpty());
}

ORLAVO_FOR_EACH_ENGINE(FrmGetabTest);

} // namespace
