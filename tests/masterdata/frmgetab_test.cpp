#include "archives.h"
#include "contexttest.h"
#include "files.h"
#include "masterdata/rules/codetables.h"
#include "masterdata/stores/codetablestore.h"
#include "masterdata/windows/frmgetab.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/lookuplist.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::RecordingPrompter;
using Orlavo::Testing::ScriptedPrompter;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Gestione Tabelle ");
const QString kError = QStringLiteral("Errore!");
const QString kInsertedElsewhere =
    QStringLiteral("Elemento già inserito da un altro utente;\nRiportare comunqua gli aggiornamenti) ");
const QString kDeletedElsewhere = QStringLiteral(
    "Il record è stato eliminato da altri utenti ! \rSi consiglia di verificare . \rOK per continuare ugualmente.");

const CodeTable &table(const QString &name)
{
    const CodeTable *entry = findCodeTable(name);
    if (!entry)
        throw std::runtime_error("no code table " + name.toStdString());
    return *entry;
}

class FrmGetabTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // As the main window sets it.
        context->state.upperCaseKeys = true;
        // Seeded out of order: the grid sorts by code.
        seed(QStringLiteral("SUD"), QStringLiteral("Zona sud"));
        seed(QStringLiteral("EST"), QStringLiteral("Zona est"));
        seed(QStringLiteral("NORD"), QStringLiteral("Zona nord"));
        context->state.user = QStringLiteral("ADMIN");
        context->state.userType = 2;
        open(Tables::TAB_ZONA);
    }

    void TearDown() override
    {
        window.reset();
        ContextTest::TearDown();
    }

    void open(const QString &name)
    {
        window = std::make_unique<FrmGetab>(*context, table(name));
        prompter.clear();
        prompter.defaults.clear();
    }

    void seed(const QString &code, const QString &description)
    {
        ASSERT_EQ(context->db.executeSql(
                      QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_ZONA),
                      {code, description}),
                  0)
            << context->db.error().description.toStdString();
    }

    // A statement committed by another workstation, on a connection of its own.
    void elsewhere(const QString &sql, const Services::Params &params)
    {
        Services::AppState state;
        ScriptedPrompter quiet;
        Services::DataAccess other(state, quiet, QString());
        other.setExitHook([](int) {});
        ASSERT_TRUE(other.openServices(archives->config()));
        ASSERT_TRUE(other.openCompany(QStringLiteral("01")));
        ASSERT_EQ(other.executeSql(sql, params), 0) << other.error().description.toStdString();
        ASSERT_EQ(other.rowsAffected(), 1) << sql.toStdString();
    }

    void refuseWrites(const QString &table)
    {
        ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), table), QString());
    }

    // The description stored under a code, read through a connection of its own.
    QString stored(const QString &qualifiedTable, const QString &code) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE CODICE = ?").arg(qualifiedTable), {code})
            .toString();
    }
    QString zone(const QString &code) const { return stored(Tables::TAB_ZONA, code); }
    int rowsOf(const QString &qualifiedTable, const QString &code) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT COUNT(*) AS N FROM %1 WHERE CODICE = ?").arg(qualifiedTable), {code})
            .toInt();
    }
    int zones() const { return archives->count(Tables::TAB_ZONA); }
    int locks() const { return archives->count(Tables::SEMAFORO); }

    template <typename T> T *child(const char *name) const
    {
        auto *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(name); }
    QTableWidget *grid() const { return child<QTableWidget>("griglia"); }
    void click(const char *name) const { child<QPushButton>(name)->click(); }

    QStringList gridCodes() const
    {
        QStringList codes;
        for (int row = 0; row < grid()->rowCount(); ++row)
            codes << grid()->item(row, 0)->text();
        return codes;
    }
    void choose(const QString &code)
    {
        const int row = int(gridCodes().indexOf(code));
        ASSERT_GE(row, 0) << code.toStdString();
        grid()->setCurrentCell(row, 0);
    }
    void fill(const QString &code, const QString &description)
    {
        field("codice")->setText(code);
        field("descrizione")->setText(description);
    }

    std::unique_ptr<FrmGetab> window;
};

TEST_P(FrmGetabTest, ListsTheTableInCodeOrderAndLoadsTheChosenRow)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Gestione Tabella Zona Territoriali"));
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("CODICE"));
    EXPECT_EQ(grid()->horizontalHeaderItem(1)->text(), QStringLiteral("DESCRIZIONE"));
    EXPECT_EQ(gridCodes(), (QStringList{QStringLiteral("EST"), QStringLiteral("NORD"), QStringLiteral("SUD")}));
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("Zona nord"));
    EXPECT_EQ(field("codice")->maxLength(), 4);
    EXPECT_EQ(field("descrizione")->maxLength(), 200);
    EXPECT_EQ(child<QPushButton>("registra")->text(), QStringLiteral("&Registra"));
    EXPECT_EQ(child<QPushButton>("elimina")->text(), QStringLiteral("&Elimina"));
    EXPECT_EQ(child<QPushButton>("annulla")->text(), QStringLiteral("&Annulla"));
    EXPECT_EQ(child<QPushButton>("esci")->text(), QStringLiteral("E&sci"));
    EXPECT_EQ(child<QPushButton>("annulla")->toolTip(), QStringLiteral("Annullamento delle modifiche"));
    EXPECT_EQ(child<QPushButton>("esci")->toolTip(), QStringLiteral("Uscita senza registrazione"));

    choose(QStringLiteral("SUD"));
    EXPECT_EQ(field("codice")->text(), QStringLiteral("SUD"));
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Zona sud"));

    // Another table: its own title, headings and lengths.
    open(Tables::TAB_PROV);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Gestione Tabella Provincie"));
    EXPECT_EQ(grid()->horizontalHeaderItem(0)->text(), QStringLiteral("PROV."));
    EXPECT_EQ(field("codice")->maxLength(), 2);
    EXPECT_EQ(field("descrizione")->maxLength(), 30);
    ASSERT_GT(grid()->rowCount(), 100);
    EXPECT_EQ(grid()->rowCount(), archives->count(Tables::TAB_PROV));
    EXPECT_EQ(grid()->item(0, 0)->text(), QStringLiteral("AG"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmGetabTest, TheGridShowsAsManyRowsAsTheSettingAsks)
{
    for (int rows : {5, 12}) {
        context->state.rowsTab = rows;
        open(Tables::TAB_PROV);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        const int bottom = grid()->viewport()->height() - 1;
        EXPECT_EQ(grid()->rowAt(0), 0) << rows;
        EXPECT_EQ(grid()->rowAt(bottom), rows - 1) << rows;
        // The last row in view is whole.
        EXPECT_GE(grid()->rowViewportPosition(rows - 1) + grid()->rowHeight(rows - 1), bottom) << rows;
        EXPECT_LE(grid()->rowViewportPosition(rows - 1) + grid()->rowHeight(rows - 1), bottom + 1) << rows;
    }
}

TEST_P(FrmGetabTest, TypedCodesBecomeCapitalsAndATakenNewCodeIsRefused)
{
    QTest::keyClicks(field("codice"), QStringLiteral("ovest"));
    EXPECT_EQ(field("codice")->text(), QStringLiteral("OVES"));

    field("codice")->clear();
    QTest::keyClicks(field("codice"), QStringLiteral("nord"));
    EXPECT_FALSE(window->checkCode());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Codice Elemento errato"));
    EXPECT_EQ(prompter.shown().at(0).title, kError);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Warning);

    // The loaded row's own code is not taken; a free code is not either.
    prompter.clear();
    choose(QStringLiteral("NORD"));
    EXPECT_TRUE(window->checkCode());
    field("codice")->setText(QStringLiteral("OVES"));
    EXPECT_TRUE(window->checkCode());
    // Another row's code, set rather than typed, is still the same code.
    field("codice")->setText(QStringLiteral("sud"));
    EXPECT_FALSE(window->checkCode());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Codice Elemento errato")});
}

TEST_P(FrmGetabTest, TabbingOutOfTheCodeRunsItsCheck)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    field("codice")->setFocus();
    field("codice")->setText(QStringLiteral("EST"));
    QTest::keyClick(field("codice"), Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Codice Elemento errato")});

    // Leaving for Annulla asks nothing.
    prompter.clear();
    field("codice")->setFocus();
    field("codice")->setText(QStringLiteral("SUD"));
    QTest::mouseClick(child<QPushButton>("annulla"), Qt::LeftButton);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmGetabTest, RegisterChecksEachFieldInTurn)
{
    choose(QStringLiteral("NORD"));
    field("codice")->setText(QStringLiteral("nord"));
    click("registra");
    field("codice")->setText(QStringLiteral("  "));
    field("descrizione")->setText(QStringLiteral("Zona nord"));
    click("registra");
    field("codice")->setText(QStringLiteral("OVES"));
    field("descrizione")->setText(QStringLiteral("   "));
    click("registra");
    // A new form with nothing typed lacks its code first.
    window = std::make_unique<FrmGetab>(*context, table(Tables::TAB_ZONA));
    click("registra");

    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Aggiornamento non consentito."), QStringLiteral("Codice errato."),
                           QStringLiteral("Descrizione errata."), QStringLiteral("Codice errato.")}));
    for (const auto &shown : prompter.shown()) {
        EXPECT_EQ(shown.title, kError);
        EXPECT_EQ(shown.icon, Prompter::Icon::Warning);
    }
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(zone(QStringLiteral("NORD")), QStringLiteral("Zona nord"));
}

TEST_P(FrmGetabTest, InsertsACompanyTableRowAfterConfirmation)
{
    fill(QStringLiteral("oves"), QStringLiteral("Zona ovest"));
    prompter.queue(Prompter::Button::Cancel);
    click("registra");
    EXPECT_EQ(zones(), 3);

    prompter.queue(Prompter::Button::Ok);
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(prompter.shown().at(i).text, QStringLiteral("Confermi inserimento ?"));
        EXPECT_EQ(prompter.shown().at(i).title, kTitle);
        EXPECT_EQ(prompter.shown().at(i).buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.defaults.at(i), Prompter::Button::Cancel);
    }
    // Committed, in the company database, with the code in capitals.
    EXPECT_EQ(zones(), 4);
    EXPECT_EQ(zone(QStringLiteral("OVES")), QStringLiteral("Zona ovest"));
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("oves")), 0);
    EXPECT_EQ(locks(), 0);
    EXPECT_TRUE(gridCodes().contains(QStringLiteral("OVES")));
    EXPECT_TRUE(field("codice")->text().isEmpty());
    EXPECT_TRUE(field("descrizione")->text().isEmpty());
}

TEST_P(FrmGetabTest, InsertsAServicesTableRowInTheServicesDatabase)
{
    open(Tables::TAB_PROV);
    const int before = archives->count(Tables::TAB_PROV);
    fill(QStringLiteral("zz"), QStringLiteral("PROVA"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi inserimento ?")});
    EXPECT_EQ(archives->count(Tables::TAB_PROV), before + 1);
    EXPECT_EQ(stored(Tables::TAB_PROV, QStringLiteral("ZZ")), QStringLiteral("PROVA"));
    EXPECT_EQ(locks(), 0);
    EXPECT_EQ(gridCodes().last(), QStringLiteral("ZZ"));
}

TEST_P(FrmGetabTest, UpdatesAndRenamesTheLoadedRow)
{
    choose(QStringLiteral("NORD"));
    field("descrizione")->setText(QStringLiteral("Settentrione"));
    prompter.queue(Prompter::Button::Cancel);
    click("registra");
    EXPECT_EQ(zone(QStringLiteral("NORD")), QStringLiteral("Zona nord"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Confermi aggiornamento ?"), QStringLiteral("Confermi aggiornamento ?")}));
    EXPECT_EQ(prompter.titles(), (QStringList{kTitle, kTitle}));
    EXPECT_EQ(prompter.defaults.at(1), Prompter::Button::Cancel);
    EXPECT_EQ(zone(QStringLiteral("NORD")), QStringLiteral("Settentrione"));
    EXPECT_EQ(grid()->item(int(gridCodes().indexOf(QStringLiteral("NORD"))), 1)->text(),
              QStringLiteral("Settentrione"));

    // A new code for the same row: the row moves, nothing is added.
    prompter.clear();
    choose(QStringLiteral("NORD"));
    field("codice")->setText(QStringLiteral("n"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi aggiornamento ?")});
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("NORD")), 0);
    EXPECT_EQ(zone(QStringLiteral("N")), QStringLiteral("Settentrione"));
    EXPECT_EQ(gridCodes(), (QStringList{QStringLiteral("EST"), QStringLiteral("N"), QStringLiteral("SUD")}));
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmGetabTest, RenamingOntoAStoredCodeIsRefusedWithTheFieldsMessage)
{
    choose(QStringLiteral("SUD"));
    field("codice")->setText(QStringLiteral("est"));
    field("descrizione")->setText(QStringLiteral("Meridione"));
    click("registra");
    // No question, no database error: the message the field gives on leaving.
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Codice Elemento errato")});
    EXPECT_EQ(prompter.titles(), QStringList{kError});
    EXPECT_EQ(zone(QStringLiteral("SUD")), QStringLiteral("Zona sud"));
    EXPECT_EQ(zone(QStringLiteral("EST")), QStringLiteral("Zona est"));
    EXPECT_EQ(locks(), 0);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(FrmGetabTest, TheStoreRefusesARenameOntoAStoredCodeUnderTheLock)
{
    // Another workstation stored the code after the window's own check.
    const CodeTable &zoneTable = table(Tables::TAB_ZONA);
    EXPECT_EQ(updateCode(context->db, zoneTable, QStringLiteral("SUD"), {QStringLiteral("EST"), QStringLiteral("x")}).end,
              Services::WriteEnd::Duplicate);
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(zone(QStringLiteral("SUD")), QStringLiteral("Zona sud"));
    EXPECT_EQ(locks(), 0);
    EXPECT_FALSE(context->db.inTransaction());
    // The same code again is no rename.
    EXPECT_EQ(updateCode(context->db, zoneTable, QStringLiteral("SUD"), {QStringLiteral("SUD"), QStringLiteral("y")}).end,
              Services::WriteEnd::Written);
    EXPECT_EQ(zone(QStringLiteral("SUD")), QStringLiteral("y"));
}

TEST_P(FrmGetabTest, DeletesOnlyTheLoadedRow)
{
    click("elimina");
    choose(QStringLiteral("SUD"));
    field("codice")->setText(QStringLiteral("EST"));
    click("elimina");
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Eliminazione non consentita."),
                                             QStringLiteral("Eliminazione non consentita.")}));
    EXPECT_EQ(prompter.titles(), (QStringList{kError, kError}));

    prompter.clear();
    prompter.defaults.clear();
    choose(QStringLiteral("EST"));
    choose(QStringLiteral("SUD"));
    prompter.queue(Prompter::Button::Cancel);
    click("elimina");
    EXPECT_EQ(zones(), 3);
    prompter.queue(Prompter::Button::Ok);
    click("elimina");
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Confermi eliminazione ?"), QStringLiteral("Confermi eliminazione ?")}));
    EXPECT_EQ(prompter.titles(), (QStringList{kTitle, kTitle}));
    EXPECT_EQ(prompter.shown().at(1).buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(prompter.defaults.at(1), Prompter::Button::Cancel);
    EXPECT_EQ(zones(), 2);
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("SUD")), 0);
    EXPECT_EQ(gridCodes(), (QStringList{QStringLiteral("EST"), QStringLiteral("NORD")}));
    EXPECT_TRUE(field("codice")->text().isEmpty());
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmGetabTest, ACodeInsertedMeanwhileElsewhereAsksWhetherToOverwrite)
{
    const QString insert = QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_ZONA);

    // Yes: the operator's description replaces the other one.
    fill(QStringLiteral("OVES"), QStringLiteral("Ponente"));
    elsewhere(insert, {QStringLiteral("OVES"), QStringLiteral("Ovest altrui")});
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::Yes);
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Confermi inserimento ?"));
    EXPECT_EQ(prompter.shown().at(1).text, kInsertedElsewhere);
    EXPECT_EQ(prompter.shown().at(1).title, kTitle);
    EXPECT_EQ(prompter.shown().at(1).buttons, Prompter::Buttons::YesNo);
    EXPECT_EQ(zone(QStringLiteral("OVES")), QStringLiteral("Ponente"));
    EXPECT_EQ(zones(), 4);
    EXPECT_TRUE(field("codice")->text().isEmpty());
    EXPECT_EQ(locks(), 0);

    // No: nothing written, the input stays, the list shows the other row.
    prompter.clear();
    fill(QStringLiteral("CENT"), QStringLiteral("Centro"));
    elsewhere(insert, {QStringLiteral("CENT"), QStringLiteral("Centro altrui")});
    prompter.queue(Prompter::Button::Ok);
    prompter.queue(Prompter::Button::No);
    click("registra");
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Confermi inserimento ?"), kInsertedElsewhere}));
    EXPECT_EQ(zone(QStringLiteral("CENT")), QStringLiteral("Centro altrui"));
    EXPECT_EQ(zones(), 5);
    EXPECT_EQ(field("codice")->text(), QStringLiteral("CENT"));
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Centro"));
    EXPECT_TRUE(gridCodes().contains(QStringLiteral("CENT")));
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmGetabTest, UpdatingARowDeletedMeanwhileElsewhereWritesNothing)
{
    choose(QStringLiteral("NORD"));
    fill(QStringLiteral("NORD"), QStringLiteral("Settentrione"));
    elsewhere(QStringLiteral("DELETE FROM %1 WHERE CODICE = ?").arg(Tables::TAB_ZONA), {QStringLiteral("NORD")});
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Confermi aggiornamento ?"));
    EXPECT_EQ(prompter.shown().at(1).text, kDeletedElsewhere);
    EXPECT_EQ(prompter.shown().at(1).title, kTitle);
    EXPECT_EQ(prompter.shown().at(1).icon, Prompter::Icon::Warning);
    EXPECT_EQ(zones(), 2);
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("NORD")), 0);
    EXPECT_EQ(locks(), 0);
    EXPECT_EQ(gridCodes(), (QStringList{QStringLiteral("EST"), QStringLiteral("SUD")}));
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Settentrione"));

    // What is on screen can still be registered, as a new element.
    prompter.clear();
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi inserimento ?")});
    EXPECT_EQ(zone(QStringLiteral("NORD")), QStringLiteral("Settentrione"));
}

TEST_P(FrmGetabTest, TheStoreUpdatesNothingWhenTheOldCodeHasGone)
{
    const CodeTable &zoneTable = table(Tables::TAB_ZONA);
    EXPECT_EQ(updateCode(context->db, zoneTable, QStringLiteral("NONE"), {QStringLiteral("NONE"), QStringLiteral("x")}).end,
              Services::WriteEnd::Gone);
    EXPECT_EQ(
        updateCode(context->db, zoneTable, QStringLiteral("EST"), {QStringLiteral("LEV"), QStringLiteral("Levante")}).end,
        Services::WriteEnd::Written);
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(zone(QStringLiteral("LEV")), QStringLiteral("Levante"));
    EXPECT_EQ(locks(), 0);
    EXPECT_FALSE(context->db.inTransaction());

    auto found = findCode(context->db, zoneTable, QStringLiteral("LEV"));
    ASSERT_TRUE(found);
    ASSERT_TRUE(found->has_value());
    EXPECT_EQ((*found)->description, QStringLiteral("Levante"));
    // Codes are matched as stored.
    auto lower = findCode(context->db, zoneTable, QStringLiteral("lev"));
    ASSERT_TRUE(lower);
    EXPECT_FALSE(lower->has_value());
}

TEST_P(FrmGetabTest, AFailedWriteLeavesTheTableAndTheLockAsTheyWere)
{
    refuseWrites(QStringLiteral("TAB_ZONA"));

    fill(QStringLiteral("OVES"), QStringLiteral("Ponente"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    choose(QStringLiteral("NORD"));
    field("descrizione")->setText(QStringLiteral("Settentrione"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Settentrione"));
    choose(QStringLiteral("SUD"));
    prompter.queue(Prompter::Button::Ok);
    click("elimina");

    const QStringList texts = prompter.texts();
    ASSERT_EQ(texts.size(), 6) << texts.join(QLatin1Char('|')).toStdString();
    const QStringList steps = {QStringLiteral("TAB_ZONAInsert "), QStringLiteral("TAB_ZONAInsert "),
                               QStringLiteral("TAB_ZONACancella tabl")};
    for (int i = 0; i < 3; ++i) {
        const QString &report = texts.at(2 * i + 1);
        EXPECT_TRUE(report.startsWith(QStringLiteral("Rilevato errore su Codifica Fatture\n"))) << i;
        EXPECT_TRUE(report.contains(QStringLiteral("\nStep ") + steps.at(i) + QLatin1Char('\n'))) << i;
        EXPECT_EQ(prompter.shown().at(2 * i + 1).icon, Prompter::Icon::Critical) << i;
    }
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("OVES")), 0);
    EXPECT_EQ(zone(QStringLiteral("NORD")), QStringLiteral("Zona nord"));
    EXPECT_EQ(zone(QStringLiteral("SUD")), QStringLiteral("Zona sud"));
    EXPECT_EQ(locks(), 0);
    EXPECT_FALSE(context->db.inTransaction());
    EXPECT_EQ(dbExits, 0);
}

TEST_P(FrmGetabTest, AConsultingUserIsStoppedBeforeAnyCheckOrQuestion)
{
    context->state.userType = 0;
    // Empty, unchanged and complete forms alike.
    click("registra");
    choose(QStringLiteral("NORD"));
    click("registra");
    click("elimina");
    fill(QStringLiteral("OVES"), QStringLiteral("Ponente"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");

    ASSERT_EQ(prompter.shown().size(), 4) << prompter.texts().join(QLatin1Char('|')).toStdString();
    for (const auto &shown : prompter.shown())
        EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Operazione non consentita : \n")))
            << shown.text.toStdString();
    EXPECT_EQ(zones(), 3);
    EXPECT_EQ(rowsOf(Tables::TAB_ZONA, QStringLiteral("OVES")), 0);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmGetabTest, CancelReadsTheLoadedRowAgainAndExitCloses)
{
    choose(QStringLiteral("NORD"));
    field("descrizione")->setText(QStringLiteral("da scartare"));
    elsewhere(QStringLiteral("UPDATE %1 SET DESCRIZIONE = ? WHERE CODICE = ?").arg(Tables::TAB_ZONA),
              {QStringLiteral("Nord rivisto"), QStringLiteral("NORD")});
    click("annulla");
    EXPECT_EQ(field("codice")->text(), QStringLiteral("NORD"));
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Nord rivisto"));
    EXPECT_EQ(grid()->item(int(gridCodes().indexOf(QStringLiteral("NORD"))), 1)->text(),
              QStringLiteral("Nord rivisto"));
    // Still the loaded row: unchanged, it cannot be registered.
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Aggiornamento non consentito.")});

    // A new element is simply cleared.
    prompter.clear();
    open(Tables::TAB_ZONA);
    fill(QStringLiteral("OVES"), QStringLiteral("Ponente"));
    click("annulla");
    EXPECT_TRUE(field("codice")->text().isEmpty());
    EXPECT_TRUE(field("descrizione")->text().isEmpty());
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Codice errato.")});

    window->show();
    ASSERT_TRUE(window->isVisible());
    fill(QStringLiteral("OVES"), QStringLiteral("Ponente"));
    click("esci");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(zones(), 3);
}

TEST_P(FrmGetabTest, OneWindowPerTable)
{
    window.reset();
    const CodeTable &zoneTable = table(Tables::TAB_ZONA);
    const CodeTable &provinces = table(QStringLiteral("TAB_PROV"));
    QPointer<FrmGetab> first = openCodeTable(*context, zoneTable);
    ASSERT_FALSE(first.isNull());
    QPointer<FrmGetab> other = openCodeTable(*context, provinces);
    EXPECT_NE(first.data(), other.data());
    EXPECT_EQ(other->windowTitle(), QStringLiteral("Gestione Tabella Provincie"));

    first->showMinimized();
    ASSERT_TRUE(first->isMinimized());
    EXPECT_EQ(openCodeTable(*context, zoneTable), first.data());
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());

    // Closed, the window is gone and the next call opens a new one.
    first->findChild<QPushButton *>(QStringLiteral("esci"))->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    QPointer<FrmGetab> second = openCodeTable(*context, zoneTable);
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(second->isVisible());
    EXPECT_EQ(openCodeTable(*context, provinces), other.data());

    for (const QPointer<FrmGetab> &left : {second, other}) {
        if (left)
            left->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_TRUE(other.isNull());
}

} // namespace

TEST_P(FrmGetabTest, TheTablesListPrintsItsReport)
{
    useShippedReports();

    const CodeTable *provinces = findCodeTable(QStringLiteral("TAB_PROV"));
    ASSERT_NE(provinces, nullptr);
    const Ui::LookupRequest request = codeTableList(*provinces, Ui::LookupMode::Print);
    EXPECT_EQ(request.title, QStringLiteral("Lista PROVINCIE"));
    Ui::LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.rowCount(), 108);
    list.choose(0);
    EXPECT_FALSE(list.chosen().has_value());

    const QString pdf = archives->folder() + QStringLiteral("province.pdf");
    ASSERT_TRUE(list.print(Reporting::ReportOutput::Pdf, pdf)) << prompter.texts().join(QLatin1Char('|')).toStdString();
    const QString text = Testing::pdfPages(pdf).join(QLatin1Char('\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("AGRIGENTO")));
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Totale righe:\\s+108"))));
}

ORLAVO_FOR_EACH_ENGINE(FrmGetabTest);
