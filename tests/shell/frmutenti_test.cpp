#include "archives.h"
#include "contexttest.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/windows/frmutenti.h"
#include "ui/appcontext.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::RecordingPrompter;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Gestione Utenti");
const QString kPasswordRefused =
    QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.");

class FrmUtentiTest : public Orlavo::Testing::ContextTest<RecordingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        // Seeded before any login: no user type, nothing refused.
        seed(QStringLiteral("ADMIN"), QStringLiteral("segreta"), QStringLiteral("Amministratore"), QStringLiteral("2"));
        seed(QStringLiteral("MARIO"), QStringLiteral("mario1"), QStringLiteral("Mario Rossi"), QStringLiteral("1"));
        context->state.user = QStringLiteral("ADMIN");
        context->state.userType = 2;
        window = std::make_unique<FrmUtenti>(*context);
        window->setExitHook([this](int code) { exitCodes.append(code); });
        prompter.clear();
        prompter.defaults.clear();
    }

    void TearDown() override
    {
        window.reset();
        ContextTest::TearDown();
    }

    void seed(const QString &code, const QString &password, const QString &description, const QString &type)
    {
        const int done = context->db.executeSqlServices(
            QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO) VALUES (?, ?, ?, ?)")
                .arg(Tables::TAB_UTENTI),
            {code, scramblePassword(password).value(), description, type});
        ASSERT_EQ(done, 0) << context->db.error().description.toStdString();
    }

    // A column of a user's row as committed, read through a connection of its own.
    QString stored(const QString &code, const QString &column) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT %1 FROM %2 WHERE UTENTE = ?").arg(column, Tables::TAB_UTENTI), {code})
            .toString();
    }
    int users() const { return archives->count(Tables::TAB_UTENTI); }
    int locks() const { return archives->count(Tables::SEMAFORO); }

    template <typename T> T *child(const char *name) const
    {
        auto *widget = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit *field(const char *name) const { return child<QLineEdit>(name); }
    QRadioButton *type(int i) const
    {
        return child<QRadioButton>(QStringLiteral("tipo%1").arg(i).toLatin1().constData());
    }
    QTableWidget *grid() const { return child<QTableWidget>("griglia"); }
    void click(const char *name) const { child<QPushButton>(name)->click(); }

    // The grid row showing this code.
    int rowOf(const QString &code) const
    {
        for (int row = 0; row < grid()->rowCount(); ++row) {
            if (grid()->item(row, 0)->text() == code)
                return row;
        }
        return -1;
    }
    void choose(const QString &code)
    {
        const int row = rowOf(code);
        ASSERT_GE(row, 0) << code.toStdString();
        grid()->setCurrentCell(row, 0);
    }
    void fill(const QString &code, const QString &description, const QString &password, int chosen)
    {
        field("codice")->setText(code);
        field("descrizione")->setText(description);
        field("password")->setText(password);
        if (chosen >= 0)
            type(chosen)->setChecked(true);
    }

    std::unique_ptr<FrmUtenti> window;
    QList<int> exitCodes;
};

TEST_P(FrmUtentiTest, ListsTheUsersAndLoadsTheChosenOne)
{
    ASSERT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->item(0, 0)->text(), QStringLiteral("ADMIN"));
    EXPECT_EQ(grid()->item(1, 1)->text(), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(grid()->item(1, 2)->text(), QStringLiteral("1"));

    choose(QStringLiteral("MARIO"));
    EXPECT_EQ(field("codice")->text(), QStringLiteral("MARIO"));
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(field("password")->text(), QStringLiteral("mario1"));
    EXPECT_TRUE(type(1)->isChecked());
    EXPECT_EQ(field("password")->echoMode(), QLineEdit::Password);
    click("mostra");
    EXPECT_EQ(field("password")->echoMode(), QLineEdit::Normal);
    click("mostra");
    EXPECT_EQ(field("password")->echoMode(), QLineEdit::Password);

    EXPECT_EQ(type(0)->text(), QStringLiteral("&0 - Solo consultazioni"));
    EXPECT_EQ(type(1)->text(), QStringLiteral("&1 - Aggiornamenti "));
    EXPECT_EQ(type(2)->text(), QStringLiteral("2 - Amministratore"));
    EXPECT_EQ(type(3)->text(), QStringLiteral("3 - Aggiornamenti non contabili"));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmUtentiTest, ATakenCodeIsRefusedOnLeavingTheField)
{
    field("codice")->setText(QStringLiteral("mario"));
    EXPECT_FALSE(window->checkCode());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Codice Utente già presente in tabella."));
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Errore!"));
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Warning);

    // The loaded row's own code, in any case, is not taken.
    prompter.clear();
    choose(QStringLiteral("MARIO"));
    field("codice")->setText(QStringLiteral("Mario"));
    EXPECT_TRUE(window->checkCode());
    field("codice")->setText(QStringLiteral("LUIGI"));
    EXPECT_TRUE(window->checkCode());
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmUtentiTest, TabbingOutOfTheCodeRunsItsCheck)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    field("codice")->setFocus();
    field("codice")->setText(QStringLiteral("ADMIN"));
    QTest::keyClick(field("codice"), Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Codice Utente già presente in tabella.")});

    // Leaving for Esci asks nothing.
    prompter.clear();
    field("codice")->setFocus();
    QTest::mouseClick(child<QPushButton>("esci"), Qt::LeftButton);
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmUtentiTest, AnAgentCodeCanOnlyConsult)
{
    type(2)->setChecked(true);
    field("codice")->setText(QStringLiteral("A12345"));
    EXPECT_TRUE(window->checkCode());
    EXPECT_TRUE(type(0)->isChecked());
    EXPECT_TRUE(type(0)->isEnabled());
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(type(i)->isEnabled()) << i;

    // Six digits is no agent: every type again.
    field("codice")->setText(QStringLiteral("a123456"));
    window->checkCode();
    for (int i = 0; i <= 3; ++i)
        EXPECT_TRUE(type(i)->isEnabled()) << i;

    // Even without leaving the code field an agent is stored as type 0.
    fill(QStringLiteral("a54321"), QStringLiteral("Agente"), QStringLiteral("ag"), 3);
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi inserimento ?")});
    EXPECT_EQ(stored(QStringLiteral("a54321"), QStringLiteral("TIPO")), QStringLiteral("0"));
}

TEST_P(FrmUtentiTest, RegisterChecksEachFieldInTurn)
{
    choose(QStringLiteral("MARIO"));
    click("registra");
    field("codice")->clear();
    click("registra");
    field("codice")->setText(QStringLiteral("LUIGI"));
    field("descrizione")->setText(QStringLiteral("  "));
    click("registra");

    // A new user without a type, then with passwords that cannot be stored.
    FrmUtenti fresh(*context);
    fresh.findChild<QLineEdit *>(QStringLiteral("codice"))->setText(QStringLiteral("LUIGI"));
    fresh.findChild<QLineEdit *>(QStringLiteral("descrizione"))->setText(QStringLiteral("Luigi Bianchi"));
    fresh.save();
    fresh.findChild<QRadioButton *>(QStringLiteral("tipo1"))->setChecked(true);
    fresh.findChild<QLineEdit *>(QStringLiteral("password"))->setText(QStringLiteral("Ωmega"));
    fresh.save();
    fresh.findChild<QLineEdit *>(QStringLiteral("password"))->setText(QStringLiteral("abcdefghij0123456789x"));
    fresh.save();

    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Aggiornamento non consentito."), QStringLiteral("Codice errato."),
                           QStringLiteral("Descrizione errata."), QStringLiteral("Assegnare abilitazioni."),
                           kPasswordRefused, kPasswordRefused}));
    for (const QString &title : prompter.titles())
        EXPECT_EQ(title, kTitle);
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Mario Rossi"));
}

TEST_P(FrmUtentiTest, InsertsANewUserAfterConfirmation)
{
    fill(QStringLiteral("LUIGI"), QStringLiteral("Luigi Bianchi"), QStringLiteral("Pass-99!"), 3);
    prompter.queue(Prompter::Button::Cancel);
    click("registra");
    EXPECT_EQ(users(), 2);

    prompter.queue(Prompter::Button::Ok);
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(prompter.shown().at(i).text, QStringLiteral("Confermi inserimento ?"));
        EXPECT_EQ(prompter.shown().at(i).title, kTitle);
        EXPECT_EQ(prompter.shown().at(i).buttons, Prompter::Buttons::OkCancel);
        EXPECT_EQ(prompter.defaults.at(i), Prompter::Button::Cancel);
    }
    EXPECT_EQ(users(), 3);
    EXPECT_EQ(stored(QStringLiteral("LUIGI"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Luigi Bianchi"));
    EXPECT_EQ(stored(QStringLiteral("LUIGI"), QStringLiteral("TIPO")), QStringLiteral("3"));
    EXPECT_EQ(stored(QStringLiteral("LUIGI"), QStringLiteral("PWD")), scramblePassword(QStringLiteral("Pass-99!")));
    EXPECT_EQ(locks(), 0);
    // The grid shows the new user and the fields are ready for the next one.
    EXPECT_EQ(grid()->rowCount(), 3);
    EXPECT_GE(rowOf(QStringLiteral("LUIGI")), 0);
    EXPECT_TRUE(field("codice")->text().isEmpty());
}

TEST_P(FrmUtentiTest, UpdatesAndRenamesTheLoadedUser)
{
    choose(QStringLiteral("MARIO"));
    field("descrizione")->setText(QStringLiteral("Mario Verdi"));
    type(0)->setChecked(true);
    prompter.queue(Prompter::Button::Cancel);
    click("registra");
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Mario Rossi"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Confermi aggiornamento ?"), QStringLiteral("Confermi aggiornamento ?")}));
    ASSERT_EQ(prompter.defaults.size(), 2);
    EXPECT_EQ(prompter.defaults.at(1), Prompter::Button::Cancel);
    EXPECT_EQ(prompter.shown().at(1).buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Mario Verdi"));
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("TIPO")), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("PWD")), scramblePassword(QStringLiteral("mario1")));

    prompter.clear();
    choose(QStringLiteral("MARIO"));
    field("codice")->setText(QStringLiteral("MARIOR"));
    field("password")->setText(QStringLiteral("nuova7"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi aggiornamento ?")});
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(archives->count(Tables::TAB_UTENTI + QStringLiteral(" WHERE UTENTE = 'MARIO'")), 0);
    EXPECT_EQ(stored(QStringLiteral("MARIOR"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Mario Verdi"));
    EXPECT_EQ(stored(QStringLiteral("MARIOR"), QStringLiteral("PWD")), scramblePassword(QStringLiteral("nuova7")));
    EXPECT_GE(rowOf(QStringLiteral("MARIOR")), 0);
    EXPECT_EQ(rowOf(QStringLiteral("MARIO")), -1);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmUtentiTest, ARenameOntoAnotherUserLeavesTheTableAsItWas)
{
    choose(QStringLiteral("MARIO"));
    field("codice")->setText(QStringLiteral("admin"));
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    ASSERT_EQ(prompter.shown().size(), 2) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Confermi aggiornamento ?"));
    EXPECT_TRUE(prompter.shown().at(1).text.startsWith(QStringLiteral("Rilevato errore su Gestione Utenti\n")));
    EXPECT_TRUE(prompter.shown().at(1).text.contains(QStringLiteral("\nStep Gestione Utenti \n")));
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(stored(QStringLiteral("MARIO"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(stored(QStringLiteral("ADMIN"), QStringLiteral("DESCRIZIONE")), QStringLiteral("Amministratore"));
    EXPECT_EQ(locks(), 0);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(FrmUtentiTest, AConsultingUserCannotWrite)
{
    context->state.userType = 0;
    fill(QStringLiteral("LUIGI"), QStringLiteral("Luigi Bianchi"), QStringLiteral("x1"), 1);
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    ASSERT_GE(prompter.shown().size(), 2);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Confermi inserimento ?"));
    EXPECT_TRUE(prompter.shown().at(1).text.startsWith(QStringLiteral("operazione non consentita : \n")));
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmUtentiTest, DeletesOnlyTheLoadedUser)
{
    click("elimina");
    choose(QStringLiteral("MARIO"));
    field("codice")->setText(QStringLiteral("ADMIN"));
    click("elimina");
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Eliminazione non consentita."),
                                             QStringLiteral("Eliminazione non consentita.")}));

    prompter.clear();
    prompter.defaults.clear();
    choose(QStringLiteral("ADMIN"));
    choose(QStringLiteral("MARIO"));
    prompter.queue(Prompter::Button::Cancel);
    click("elimina");
    EXPECT_EQ(users(), 2);
    prompter.queue(Prompter::Button::Ok);
    click("elimina");
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Confermi eliminazione ?"), QStringLiteral("Confermi eliminazione ?")}));
    EXPECT_EQ(prompter.defaults.at(1), Prompter::Button::Cancel);
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(archives->count(Tables::TAB_UTENTI + QStringLiteral(" WHERE UTENTE = 'MARIO'")), 0);
    EXPECT_EQ(rowOf(QStringLiteral("MARIO")), -1);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmUtentiTest, CancelRestoresTheLoadedRow)
{
    choose(QStringLiteral("MARIO"));
    field("descrizione")->setText(QStringLiteral("altro"));
    field("password")->setText(QStringLiteral("altra"));
    type(3)->setChecked(true);
    click("annulla");
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(field("password")->text(), QStringLiteral("mario1"));
    EXPECT_TRUE(type(1)->isChecked());
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(exitCodes.isEmpty());
}

TEST_P(FrmUtentiTest, CancelEndsTheProgramWhenTheRowHasGone)
{
    choose(QStringLiteral("MARIO"));
    ASSERT_EQ(context->db.executeSqlServices(QStringLiteral("DELETE FROM %1 WHERE UTENTE = ?").arg(Tables::TAB_UTENTI),
                                             {QStringLiteral("MARIO")}),
              0);
    click("annulla");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text,
              QStringLiteral("Errore grave!\nL'applicazione ha causato un errore grave\ne verrà terminata."));
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_EQ(exitCodes, QList<int>{1});
}

} // namespace

ORLAVO_FOR_EACH_ENGINE(FrmUtentiTest);
