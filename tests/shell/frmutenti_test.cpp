#include "fixtures.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/windows/frmcampassw.h"
#include "shell/windows/frmutenti.h"
#include "shellfixtures.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::expectRefused;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kUtentiTitle = QStringLiteral("Gestione Utenti");
const QString kPasswordRefused =
    QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.");
const QString kChangeTitle = QStringLiteral("Cambia password");
const QString kWrong = QStringLiteral("Password errata!");
const QString kMismatch = QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe");

// The users ADMIN (administrator, the one working) and MARIO (type 1).
class FrmUtentiTest : public Orlavo::Testing::WindowTest<FrmUtenti, Orlavo::Testing::RecordingPrompter>
{
protected:
    void prepare() override
    {
        // Seeded before any login: no user type, nothing refused.
        for (const auto &[code, password, description, type] :
             {std::tuple{"ADMIN", "segreta", "Amministratore", "2"}, std::tuple{"MARIO", "mario1", "Mario Rossi", "1"}})
            ASSERT_EQ(context->db.executeSqlServices(
                          QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO) VALUES (?, ?, ?, ?)")
                              .arg(Tables::TAB_UTENTI),
                          {QString::fromLatin1(code), scramblePassword(QString::fromLatin1(password)).value(),
                           QString::fromLatin1(description), QString::fromLatin1(type)}),
                      0);
        workAs(QStringLiteral("ADMIN"), 2);
        window = std::make_unique<FrmUtenti>(*context);
        window->setExitHook([this](int code) { exitCodes.append(code); });
        prompter.clear();
        prompter.defaults.clear();
    }

    // A user's row as committed: description, type and stored password.
    QString stored(const char *code) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT DESCRIZIONE || '|' || TIPO || '|' || PWD FROM %1 WHERE UTENTE = ?")
                         .arg(Tables::TAB_UTENTI),
                     {QString::fromLatin1(code)})
            .toString();
    }
    static QString row(const char *description, const char *type, const char *password)
    {
        return QStringLiteral("%1|%2|").arg(QString::fromUtf8(description), QString::fromLatin1(type)) +
               scramblePassword(QString::fromUtf8(password)).value();
    }
    int users() const { return archives->count(Tables::TAB_UTENTI); }
    int locks() const { return archives->count(Tables::SEMAFORO); }

    QRadioButton *type(int i) const { return child<QRadioButton>(QStringLiteral("tipo%1").arg(i)); }
    QTableWidget *grid() const { return child<QTableWidget>(QStringLiteral("griglia")); }

    // Chooses the grid row showing this code.
    void choose(const char *code) const
    {
        for (int row = 0; row < grid()->rowCount(); ++row) {
            if (grid()->item(row, 0)->text() == QLatin1String(code))
                return grid()->setCurrentCell(row, 0);
        }
        ADD_FAILURE() << "no row " << code;
    }
    void fill(const char *code, const char *description, const char *password, int chosen = -1)
    {
        field("codice")->setText(QString::fromUtf8(code));
        field("descrizione")->setText(QString::fromUtf8(description));
        field("password")->setText(QString::fromUtf8(password));
        if (chosen >= 0)
            type(chosen)->setChecked(true);
    }

    QList<int> exitCodes;
};

TEST_P(FrmUtentiTest, LeavingTheCodeChecksItAndAnAgentCanOnlyConsult)
{
    showActive();
    field("codice")->setFocus();
    field("codice")->setText(QStringLiteral("mario"));
    QTest::keyClick(field("codice"), Qt::Key_Tab);
    expectRefused(prompter, QStringLiteral("Codice Utente già presente in tabella."), Prompter::Icon::Warning,
                  Prompter::Buttons::Ok, QStringLiteral("Errore!"));
    // The loaded row's own code, in any case, is not taken.
    prompter.clear();
    choose("MARIO");
    field("codice")->setText(QStringLiteral("Mario"));
    EXPECT_TRUE(window->checkCode());
    // An agent's code (the agent rule's own test has which codes are): type 0
    // and nothing else.
    type(2)->setChecked(true);
    field("codice")->setText(QStringLiteral("A12345"));
    EXPECT_TRUE(window->checkCode());
    EXPECT_TRUE(type(0)->isChecked());
    EXPECT_FALSE(type(1)->isEnabled() || type(2)->isEnabled() || type(3)->isEnabled());
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmUtentiTest, RegistraChecksEachFieldInTurn)
{
    choose("MARIO");
    click("registra");
    field("codice")->clear();
    click("registra");
    fill("LUIGI", "  ", "mario1");
    click("registra");
    // A new user without a type, then with a password that cannot be stored.
    window = std::make_unique<FrmUtenti>(*context);
    fill("LUIGI", "Luigi Bianchi", "");
    click("registra");
    fill("LUIGI", "Luigi Bianchi", "abcdefghij0123456789x", 1);
    click("registra");
    EXPECT_EQ(prompter.texts(), (QStringList{QStringLiteral("Aggiornamento non consentito."),
                                             QStringLiteral("Codice errato."), QStringLiteral("Descrizione errata."),
                                             QStringLiteral("Assegnare abilitazioni."), kPasswordRefused}));
    EXPECT_EQ(prompter.titles(), QStringList(5, kUtentiTitle));
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(stored("MARIO"), row("Mario Rossi", "1", "mario1"));
}

TEST_P(FrmUtentiTest, InsertsUpdatesAndDeletesAfterConfirmation)
{
    // Even without leaving the code field an agent is stored as type 0.
    fill("a54321", "Agente", "Pass-99!", 3);
    prompter.queue(Prompter::Button::Cancel);
    click("registra");
    EXPECT_EQ(users(), 2);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList(2, QStringLiteral("Confermi inserimento ?")));
    EXPECT_EQ(prompter.shown().last().buttons, Prompter::Buttons::OkCancel);
    EXPECT_EQ(prompter.defaults.last(), Prompter::Button::Cancel);
    EXPECT_EQ(stored("a54321"), row("Agente", "0", "Pass-99!"));

    // The loaded user, renamed.
    prompter.clear();
    choose("MARIO");
    fill("MARIOR", "Mario Verdi", "nuova7", 3);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi aggiornamento ?")});
    EXPECT_EQ(stored("MARIO") + stored("MARIOR"), row("Mario Verdi", "3", "nuova7"));

    // Only the user loaded, under his own code, is deleted.
    prompter.clear();
    choose("MARIOR");
    field("codice")->setText(QStringLiteral("ADMIN"));
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Eliminazione non consentita.")});
    prompter.clear();
    choose("ADMIN");
    choose("MARIOR");
    click("elimina");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi eliminazione ?")});
    EXPECT_EQ(stored("MARIOR"), QString());
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmUtentiTest, AnnullaShowsTheLoadedRowAgainOrEndsWhenItHasGone)
{
    choose("MARIO");
    fill("MARIO", "altro", "altra", 3);
    click("annulla");
    EXPECT_EQ(field("descrizione")->text() + field("password")->text(), QStringLiteral("Mario Rossimario1"));
    EXPECT_TRUE(type(1)->isChecked());
    EXPECT_TRUE(prompter.shown().isEmpty() && exitCodes.isEmpty());

    run(QStringLiteral("DELETE FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI));
    click("annulla");
    expectRefused(prompter,
                  QStringLiteral("Errore grave!\nL'applicazione ha causato un errore grave\ne verrà terminata."),
                  Prompter::Icon::Critical, Prompter::Buttons::Ok, kUtentiTitle);
    EXPECT_EQ(exitCodes, QList<int>{1});
}

// The change of one's own password, for the user the login kept as typed.
class FrmCamPasswTest : public FrmUtentiTest
{
protected:
    void prepare() override
    {
        FrmUtentiTest::prepare();
        workAs(QStringLiteral("mario"), 1);
    }
    static QLineEdit *field(FrmCamPassw &window, const char *name)
    {
        return window.findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    static void fill(FrmCamPassw &window, const char *old, const char *fresh, const char *repeat)
    {
        field(window, "vecchia")->setText(QString::fromUtf8(old));
        field(window, "nuova")->setText(QString::fromUtf8(fresh));
        field(window, "ripeti")->setText(QString::fromUtf8(repeat));
    }
    static QPushButton *ok(FrmCamPassw &window) { return window.findChild<QPushButton *>(QStringLiteral("ok")); }
};

TEST_P(FrmCamPasswTest, RefusalsWriteNothingThenTheRightOnesChangeThePassword)
{
    const struct {
        const char *old, *fresh, *repeat;
        QString text;
        Prompter::Icon icon;
    } cases[] = {
        {"Mario1", "nuova22", "nuova22", kWrong, Prompter::Icon::Critical},
        {"mario1", "nuova22", "nuova2", kMismatch, Prompter::Icon::Warning},
        {"mario1", "Ωmega", "Ωmega", kPasswordRefused, Prompter::Icon::Warning},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        prompter.clear();
        FrmCamPassw window(*context);
        fill(window, c.old, c.fresh, c.repeat);
        ok(window)->click();
        expectRefused(prompter, c.text, c.icon, Prompter::Buttons::Ok, kChangeTitle);
        EXPECT_NE(window.result(), int(QDialog::Accepted));
        EXPECT_EQ(stored("MARIO"), row("Mario Rossi", "1", "mario1"));
        EXPECT_EQ(locks(), 0);
        // Different repetitions are typed again, both of them.
        EXPECT_EQ(field(window, "nuova")->text() + field(window, "ripeti")->text() == QString(), c.text == kMismatch);
    }
    prompter.clear();
    FrmCamPassw changed(*context);
    fill(changed, "mario1", "Nuova-20", "Nuova-20");
    ok(changed)->click();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(changed.result(), int(QDialog::Accepted));
    EXPECT_EQ(stored("MARIO"), row("Mario Rossi", "1", "Nuova-20"));
    EXPECT_EQ(locks(), 0);

    // An unknown user cannot use the window.
    prompter.clear();
    context->state.user = QStringLiteral("NESSUNO");
    FrmCamPassw window(*context);
    EXPECT_FALSE(window.usable());
    expectRefused(prompter,
                  QStringLiteral("Utente errato; impossibile proseguire ! \nUtente attuale : NESSUNO\nConsultare "
                                 "l'amministratore del sistema"),
                  Prompter::Icon::Critical, Prompter::Buttons::Ok, kChangeTitle);
    EXPECT_EQ(window.exec(), int(QDialog::Rejected));
}

} // namespace

ORLAVO_FOR_EACH_ENGINE(FrmUtentiTest);
ORLAVO_FOR_EACH_ENGINE(FrmCamPasswTest);
