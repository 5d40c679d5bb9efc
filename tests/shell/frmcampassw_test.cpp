#include "archives.h"
#include "contexttest.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/windows/frmcampassw.h"
#include "ui/appcontext.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kTitle = QStringLiteral("Cambia password");
const QString kWrong = QStringLiteral("Password errata!");
const QString kMismatch = QStringLiteral("Discordanza fra nuove password\nRidigitarle entrambe");
const QString kPasswordRefused =
    QStringLiteral("Password non ammessa: al massimo 20 caratteri tra lettere non accentate, cifre e simboli.");

class FrmCamPasswTest : public Orlavo::Testing::ContextTest<ScriptedPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        ASSERT_EQ(context->db.executeSqlServices(
                      QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO) VALUES (?, ?, ?, ?)")
                          .arg(Tables::TAB_UTENTI),
                      {QStringLiteral("MARIO"), scramblePassword(QStringLiteral("vecchia1")).value(),
                       QStringLiteral("Mario Rossi"), QStringLiteral("1")}),
                  0);
        // The login kept the code as typed.
        context->state.user = QStringLiteral("mario");
        context->state.userType = 1;
    }

    QString storedPassword() const
    {
        return archives->scalar(QStringLiteral("SELECT PWD FROM %1 WHERE UTENTE = 'MARIO'").arg(Tables::TAB_UTENTI))
            .toString();
    }

    static QLineEdit *field(FrmCamPassw &window, const char *name)
    {
        auto *edit = window.findChild<QLineEdit *>(QString::fromLatin1(name));
        EXPECT_NE(edit, nullptr) << name;
        return edit;
    }
    static void fill(FrmCamPassw &window, const QString &old, const QString &fresh, const QString &repeat)
    {
        field(window, "vecchia")->setText(old);
        field(window, "nuova")->setText(fresh);
        field(window, "ripeti")->setText(repeat);
    }
    static QPushButton *ok(FrmCamPassw &window) { return window.findChild<QPushButton *>(QStringLiteral("ok")); }

};

TEST_P(FrmCamPasswTest, AnUnknownUserCannotUseTheWindow)
{
    context->state.user = QStringLiteral("NESSUNO");
    FrmCamPassw window(*context);
    EXPECT_FALSE(window.usable());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, QStringLiteral("Utente errato; impossibile proseguire ! \nUtente attuale : "
                                                          "NESSUNO\nConsultare l'amministratore del sistema"));
    EXPECT_EQ(prompter.shown().at(0).title, kTitle);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_EQ(window.exec(), int(QDialog::Rejected));
}

TEST_P(FrmCamPasswTest, AWrongOldPasswordIsRefused)
{
    FrmCamPassw window(*context);
    ASSERT_TRUE(window.usable());
    EXPECT_EQ(field(window, "vecchia")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field(window, "nuova")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(field(window, "ripeti")->echoMode(), QLineEdit::Password);
    field(window, "vecchia")->setText(QStringLiteral("Vecchia1"));
    EXPECT_FALSE(window.checkOld());
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().at(0).text, kWrong);
    EXPECT_EQ(prompter.shown().at(0).title, kTitle);
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);

    // OK checks it again and writes nothing.
    fill(window, QStringLiteral("sbagliata"), QStringLiteral("nuova22"), QStringLiteral("nuova22"));
    ok(window)->click();
    EXPECT_EQ(prompter.texts(), (QStringList{kWrong, kWrong}));
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
    EXPECT_NE(window.result(), int(QDialog::Accepted));

    field(window, "vecchia")->setText(QStringLiteral("vecchia1"));
    EXPECT_TRUE(window.checkOld());
    EXPECT_EQ(prompter.shown().size(), 2);
}

TEST_P(FrmCamPasswTest, DifferentRepetitionsEmptyBothFields)
{
    FrmCamPassw window(*context);
    fill(window, QStringLiteral("vecchia1"), QStringLiteral("nuova22"), QStringLiteral("nuova23"));
    EXPECT_FALSE(window.checkRepeat());
    EXPECT_EQ(prompter.texts(), QStringList{kMismatch});
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.shown().at(0).title, kTitle);
    EXPECT_TRUE(field(window, "nuova")->text().isEmpty());
    EXPECT_TRUE(field(window, "ripeti")->text().isEmpty());
    EXPECT_EQ(field(window, "vecchia")->text(), QStringLiteral("vecchia1"));

    fill(window, QStringLiteral("vecchia1"), QStringLiteral("nuova22"), QStringLiteral("nuova2"));
    ok(window)->click();
    EXPECT_EQ(prompter.texts(), (QStringList{kMismatch, kMismatch}));
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
}

TEST_P(FrmCamPasswTest, AnUnstorablePasswordIsRefused)
{
    FrmCamPassw window(*context);
    for (const QString &bad :
         {QStringLiteral("Ωmega"), QStringLiteral("abcdefghij0123456789Z"), QStringLiteral("zażółć")}) {
        fill(window, QStringLiteral("vecchia1"), bad, bad);
        ok(window)->click();
    }
    EXPECT_EQ(prompter.texts(), (QStringList{kPasswordRefused, kPasswordRefused, kPasswordRefused}));
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
}

TEST_P(FrmCamPasswTest, ChangesThePasswordOfTheCurrentUser)
{
    FrmCamPassw window(*context);
    fill(window, QStringLiteral("vecchia1"), QStringLiteral("Nuova-20"), QStringLiteral("Nuova-20"));
    ok(window)->click();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(window.result(), int(QDialog::Accepted));
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("Nuova-20")));
    EXPECT_NE(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
    EXPECT_EQ(dbExits, 0);
}

TEST_P(FrmCamPasswTest, AConsultingUserIsRefusedAndNothingChanges)
{
    context->state.userType = 0;
    FrmCamPassw window(*context);
    fill(window, QStringLiteral("vecchia1"), QStringLiteral("Nuova-20"), QStringLiteral("Nuova-20"));
    ok(window)->click();
    ASSERT_FALSE(prompter.shown().isEmpty());
    EXPECT_TRUE(prompter.shown().at(0).text.startsWith(QStringLiteral("operazione non consentita : \n")));
    EXPECT_NE(window.result(), int(QDialog::Accepted));
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
    EXPECT_EQ(archives->count(Tables::SEMAFORO), 0);
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

    // Enter in the repeat field presses OK: the checks run once.
    prompter.clear();
    fill(window, QStringLiteral("vecchia1"), QStringLiteral("nuova22"), QStringLiteral("nuova23"));
    field(window, "ripeti")->setFocus();
    QTest::keyClick(field(window, "ripeti"), Qt::Key_Return);
    EXPECT_EQ(prompter.texts(), QStringList{kMismatch});

    // A click on OK from the repeat field: the same, once.
    prompter.clear();
    fill(window, QStringLiteral("vecchia1"), QStringLiteral("nuova22"), QStringLiteral("nuova23"));
    field(window, "ripeti")->setFocus();
    QTest::mouseClick(ok(window), Qt::LeftButton);
    EXPECT_EQ(prompter.texts(), QStringList{kMismatch});
    EXPECT_EQ(storedPassword(), scramblePassword(QStringLiteral("vecchia1")));
}

} // namespace

ORLAVO_FOR_EACH_ENGINE(FrmCamPasswTest);
