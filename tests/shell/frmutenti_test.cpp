#include "contexttest.h"
#include "fixtures.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/windows/frmcampassw.h"
#include "shell/windows/frmutenti.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::RecordingPrompter;
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
        for (const auto &[code, password, description, type] :
             {std::tuple{"ADMIN", "segreta", "Amministratore", "2"}, std::tuple{"MARIO", "mario1", "Mario Rossi", "1"}})
            ASSERT_EQ(context->db.executeSqlServices(
                          QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO) VALUES (?, ?, ?, ?)")
                              .arg(Tables::TAB_UTENTI),
                          {QString::fromLatin1(code), scramblePassword(QString::fromLatin1(password)).value(),
                           QString::fromLatin1(description), QString::fromLatin1(type)}),
                      0);
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

    // A user's row as committed: description, type and stored password.
    QString stored(const QString &code) const
    {
        return archives
            ->scalar(QStringLiteral("SELECT DESCRIZIONE || '|' || TIPO || '|' || PWD FROM %1 WHERE UTENTE = ?")
                         .arg(Tables::TAB_UTENTI),
                     {code})
            .toString();
    }
    static QString row(const char *description, const char *type, const char *password)
    {
        return QStringLiteral("%1|%2|").arg(QString::fromUtf8(description), QString::fromLatin1(type)) +
               scramblePassword(QString::fromUtf8(password)).value();
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

    const QStringList captions = {QStringLiteral("&0 - Solo consultazioni"), QStringLiteral("&1 - Aggiornamenti "),
                                  QStringLiteral("2 - Amministratore"),
                                  QStringLiteral("3 - Aggiornamenti non contabili")};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(type(i)->text(), captions.at(i));
    EXPECT_TRUE(prompter.shown().isEmpty());
}

TEST_P(FrmUtentiTest, LeavingTheCodeChecksItAndAnAgentCanOnlyConsult)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    field("codice")->setFocus();
    field("codice")->setText(QStringLiteral("mario"));
    QTest::keyClick(field("codice"), Qt::Key_Tab);
    Orlavo::Testing::expectRefused(prompter, QStringLiteral("Codice Utente già presente in tabella."),
                                   Prompter::Icon::Warning, Prompter::Buttons::Ok, QStringLiteral("Errore!"));
    // The loaded row's own code, in any case, is not taken.
    prompter.clear();
    choose(QStringLiteral("MARIO"));
    field("codice")->setText(QStringLiteral("Mario"));
    EXPECT_TRUE(window->checkCode());
    // An agent's code: type 0 and nothing else; six digits is no agent.
    type(2)->setChecked(true);
    field("codice")->setText(QStringLiteral("A12345"));
    EXPECT_TRUE(window->checkCode());
    EXPECT_TRUE(type(0)->isChecked());
    for (int i = 1; i <= 3; ++i)
        EXPECT_FALSE(type(i)->isEnabled()) << i;
    field("codice")->setText(QStringLiteral("a123456"));
    EXPECT_TRUE(window->checkCode());
    for (int i = 0; i <= 3; ++i)
        EXPECT_TRUE(type(i)->isEnabled()) << i;
    EXPECT_TRUE(prompter.shown().isEmpty());
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
    window = std::make_unique<FrmUtenti>(*context);
    fill(QStringLiteral("LUIGI"), QStringLiteral("Luigi Bianchi"), QString(), -1);
    click("registra");
    type(1)->setChecked(true);
    for (const QString &password : {QStringLiteral("Ωmega"), QStringLiteral("abcdefghij0123456789x")}) {
        field("password")->setText(password);
        click("registra");
    }
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Aggiornamento non consentito."), QStringLiteral("Codice errato."),
                           QStringLiteral("Descrizione errata."), QStringLiteral("Assegnare abilitazioni."),
                           kPasswordRefused, kPasswordRefused}));
    for (const QString &title : prompter.titles())
        EXPECT_EQ(title, kTitle);
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(stored(QStringLiteral("MARIO")), row("Mario Rossi", "1", "mario1"));
}

TEST_P(FrmUtentiTest, InsertsAfterConfirmationAnAgentAsConsultation)
{
    // Even without leaving the code field an agent is stored as type 0.
    fill(QStringLiteral("a54321"), QStringLiteral("Agente"), QStringLiteral("Pass-99!"), 3);
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
    EXPECT_EQ(stored(QStringLiteral("a54321")), row("Agente", "0", "Pass-99!"));
    EXPECT_EQ(locks(), 0);
    // The grid shows the new user and the fields are ready for the next one.
    EXPECT_GE(rowOf(QStringLiteral("a54321")), 0);
    EXPECT_TRUE(field("codice")->text().isEmpty());
}

TEST_P(FrmUtentiTest, UpdatesAndRenamesTheLoadedUser)
{
    choose(QStringLiteral("MARIO"));
    fill(QStringLiteral("MARIOR"), QStringLiteral("Mario Verdi"), QStringLiteral("nuova7"), 3);
    prompter.queue(Prompter::Button::Ok);
    click("registra");
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Confermi aggiornamento ?")});
    EXPECT_EQ(prompter.defaults.value(0), Prompter::Button::Cancel);
    EXPECT_EQ(users(), 2);
    EXPECT_EQ(stored(QStringLiteral("MARIO")), QString());
    EXPECT_EQ(stored(QStringLiteral("MARIOR")), row("Mario Verdi", "3", "nuova7"));
    EXPECT_GE(rowOf(QStringLiteral("MARIOR")), 0);
    EXPECT_EQ(rowOf(QStringLiteral("MARIO")), -1);
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
    choose(QStringLiteral("ADMIN"));
    choose(QStringLiteral("MARIO"));
    prompter.queue(Prompter::Button::Cancel);
    click("elimina");
    EXPECT_EQ(users(), 2);
    prompter.queue(Prompter::Button::Ok);
    click("elimina");
    EXPECT_EQ(prompter.texts(),
              (QStringList{QStringLiteral("Confermi eliminazione ?"), QStringLiteral("Confermi eliminazione ?")}));
    EXPECT_EQ(users(), 1);
    EXPECT_EQ(stored(QStringLiteral("MARIO")), QString());
    EXPECT_EQ(rowOf(QStringLiteral("MARIO")), -1);
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmUtentiTest, CancelRestoresTheLoadedRowOrEndsWhenItHasGone)
{
    choose(QStringLiteral("MARIO"));
    fill(QStringLiteral("MARIO"), QStringLiteral("altro"), QStringLiteral("altra"), 3);
    click("annulla");
    EXPECT_EQ(field("descrizione")->text(), QStringLiteral("Mario Rossi"));
    EXPECT_EQ(field("password")->text(), QStringLiteral("mario1"));
    EXPECT_TRUE(type(1)->isChecked());
    EXPECT_TRUE(prompter.shown().isEmpty());
    EXPECT_TRUE(exitCodes.isEmpty());

    ASSERT_EQ(context->db.executeSqlServices(QStringLiteral("DELETE FROM %1 WHERE UTENTE = ?").arg(Tables::TAB_UTENTI),
                                             {QStringLiteral("MARIO")}),
              0);
    click("annulla");
    Orlavo::Testing::expectRefused(
        prompter, QStringLiteral("Errore grave!\nL'applicazione ha causato un errore grave\ne verrà terminata."),
        Prompter::Icon::Critical, Prompter::Buttons::Ok, kTitle);
    EXPECT_EQ(exitCodes, QList<int>{1});
}

// The change of one's own password, for the user the login kept as typed.
class FrmCamPasswTest : public FrmUtentiTest
{
protected:
    void SetUp() override
    {
        FrmUtentiTest::SetUp();
        context->state.user = QStringLiteral("mario");
        context->state.userType = 1;
    }
    QLineEdit *field(FrmCamPassw &window, const char *name) const
    {
        return window.findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    void fill(FrmCamPassw &window, const QString &old, const QString &fresh, const QString &repeat) const
    {
        field(window, "vecchia")->setText(old);
        field(window, "nuova")->setText(fresh);
        field(window, "ripeti")->setText(repeat);
    }
    QPushButton *ok(FrmCamPassw &window) const { return window.findChild<QPushButton *>(QStringLiteral("ok")); }
};

const QString kChangeTitle = QStringLiteral("Cambia password");
const QString kWrong = QStringLiteral("Password errata!");
const QString kMismatch = QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe");

TEST_P(FrmCamPasswTest, ChangesThePasswordOfTheCurrentUser)
{
    FrmCamPassw window(*context);
    ASSERT_TRUE(window.usable());
    for (const char *name : {"vecchia", "nuova", "ripeti"})
        EXPECT_EQ(field(window, name)->echoMode(), QLineEdit::Password) << name;
    fill(window, QStringLiteral("mario1"), QStringLiteral("Nuova-20"), QStringLiteral("Nuova-20"));
    ok(window)->click();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window.result(), int(QDialog::Accepted));
    EXPECT_EQ(stored(QStringLiteral("MARIO")), row("Mario Rossi", "1", "Nuova-20"));
    EXPECT_EQ(locks(), 0);
}

TEST_P(FrmCamPasswTest, RefusalsWriteNothing)
{
    const QString fresh = QStringLiteral("nuova22");
    const struct {
        QString old;
        QString fresh;
        QString repeat;
        QString text;
        Prompter::Icon icon;
    } cases[] = {
        {QStringLiteral("Mario1"), fresh, fresh, kWrong, Prompter::Icon::Critical},
        {QStringLiteral("mario1"), fresh, QStringLiteral("nuova2"), kMismatch, Prompter::Icon::Warning},
        {QStringLiteral("mario1"), QStringLiteral("Ωmega"), QStringLiteral("Ωmega"), kPasswordRefused,
         Prompter::Icon::Warning},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        prompter.clear();
        FrmCamPassw window(*context);
        fill(window, c.old, c.fresh, c.repeat);
        ok(window)->click();
        Orlavo::Testing::expectRefused(prompter, c.text, c.icon, Prompter::Buttons::Ok, kChangeTitle);
        EXPECT_NE(window.result(), int(QDialog::Accepted));
        EXPECT_EQ(stored(QStringLiteral("MARIO")), row("Mario Rossi", "1", "mario1"));
        EXPECT_EQ(locks(), 0);
        // Different repetitions are typed again, both of them.
        EXPECT_EQ(field(window, "nuova")->text().isEmpty(), c.text == kMismatch);
        EXPECT_EQ(field(window, "ripeti")->text().isEmpty(), c.text == kMismatch);
    }

    // An unknown user cannot use the window.
    prompter.clear();
    context->state.user = QStringLiteral("NESSUNO");
    FrmCamPassw window(*context);
    EXPECT_FALSE(window.usable());
    Orlavo::Testing::expectRefused(prompter,
                                   QStringLiteral("Utente errato; impossibile proseguire ! \nUtente attuale : "
                                                  "NESSUNO\nConsultare l'amministratore del sistema"),
                                   Prompter::Icon::Critical, Prompter::Buttons::Ok, kChangeTitle);
    EXPECT_EQ(window.exec(), int(QDialog::Rejected));
}

TEST_P(FrmCamPasswTest, LeavingTheFieldsRunsTheirChecksOnce)
{
    FrmCamPassw window(*context);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    // Tab out of the old password: its check.
    field(window, "vecchia")->setFocus();
    field(window, "vecchia")->setText(QStringLiteral("sbagliata"));
    QTest::keyClick(field(window, "vecchia"), Qt::Key_Tab);
    EXPECT_EQ(prompter.texts(), QStringList{kWrong});
    // From the repeat field, Enter or a click on OK: the checks run once.
    for (const bool enter : {true, false}) {
        prompter.clear();
        fill(window, QStringLiteral("mario1"), QStringLiteral("nuova22"), QStringLiteral("nuova23"));
        field(window, "ripeti")->setFocus();
        if (enter)
            QTest::keyClick(field(window, "ripeti"), Qt::Key_Return);
        else
            QTest::mouseClick(ok(window), Qt::LeftButton);
        EXPECT_EQ(prompter.texts(), QStringList{kMismatch}) << enter;
    }
    EXPECT_EQ(stored(QStringLiteral("MARIO")), row("Mario Rossi", "1", "mario1"));
}

} // namespace

ORLAVO_FOR_EACH_ENGINE(FrmUtentiTest);
ORLAVO_FOR_EACH_ENGINE(FrmCamPasswTest);
