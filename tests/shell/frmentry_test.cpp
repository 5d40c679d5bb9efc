#include "shell/windows/frmentry.h"

#include "archives.h"
#include "scriptedprompter.h"
#include "services/core/inifile.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/stores/loginstore.h"
#include "shell/windows/menu.h"
#include "ui/appcontext.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::Engine;
using Orlavo::Testing::PgServer;
using Orlavo::Testing::ScriptedPrompter;
using Orlavo::Testing::TestArchives;

namespace {

const QString kNoCode = QStringLiteral("Digitare il Codice Utente!");
const QString kUnknownCode = QStringLiteral("Codice utente non presente in archivio !");
const QString kAlreadyConnected = QStringLiteral("L'utente è già collegato!");
const QString kWrongPassword = QStringLiteral("Password errata!");
const QString kNoRights = QStringLiteral("operazione non consentita : \n"
                                         "Non si possiedono i diritti per procedere con tale operazione.\n"
                                         "Per ulteriri chiarimenti rivolgersi all'Amministratore.");
const QString kUser = QStringLiteral("UTENTE");

// The scripted prompter with a hook run at every question, before it is
// answered: what another workstation does while the operator reads.
class HookedPrompter : public ScriptedPrompter
{
public:
    Button ask(const QString &text, const QString &title, Icon icon, Buttons buttons,
               std::optional<Button> defaultButton = std::nullopt) override
    {
        if (onAsk)
            onAsk(text);
        return ScriptedPrompter::ask(text, title, icon, buttons, defaultButton);
    }
    std::function<void(const QString &)> onAsk;
};

// Another workstation: a connection of its own to the same services database.
class Workstation
{
public:
    explicit Workstation(const TestArchives &archives) : m_db(m_state, m_prompter, QString())
    {
        m_db.setExitHook([](int) {});
        m_open = bool(m_db.openServices(archives.config()));
    }
    bool open() const { return m_open; }
    bool exec(const QString &sql, const Services::Params &params = {})
    {
        const int code = m_db.executeSqlServices(sql, params);
        if (code != Services::kErrNone)
            ADD_FAILURE() << sql.toStdString() << ": " << m_db.error().description.toStdString();
        return code == Services::kErrNone;
    }

private:
    Services::AppState m_state;
    ScriptedPrompter m_prompter;
    Services::DataAccess m_db;
    bool m_open = false;
};

class FrmEntryTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        if (GetParam() == Engine::Postgres && !PgServer::fromEnvironment().available() && !PgServer::required())
            GTEST_SKIP() << "no PostgreSQL test server";
        archives = std::make_unique<TestArchives>(GetParam());
        ASSERT_TRUE(archives->ready()) << archives->problem().toStdString();
        context = std::make_unique<AppContext>(archives->folder(), prompter);
        context->db.setExitHook([this](int) { ++exits; });
        ASSERT_TRUE(context->db.openServices(archives->config()));
        other = std::make_unique<Workstation>(*archives);
        ASSERT_TRUE(other->open());
    }

    void TearDown() override
    {
        window.reset();
        EXPECT_EQ(exits, 0);
    }

    // A row of TAB_UTENTI; an unset password or mark stays null.
    void addUser(const QString &code, const std::optional<QString> &password, const QString &type,
                 const std::optional<QString> &mark = std::nullopt)
    {
        const QVariant pwd = password ? QVariant(scramblePassword(*password).value()) : QVariant();
        const QVariant collegato = mark ? QVariant(*mark) : QVariant();
        ASSERT_TRUE(other->exec(QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO, NOME, COLLEGATO) "
                                               "VALUES (?, ?, ?, ?, ?, ?)")
                                    .arg(Services::Tables::TAB_UTENTI),
                                {code, pwd, QStringLiteral("Utente ") + code, type, code, collegato}));
    }
    void setMark(const QString &code, const QVariant &mark)
    {
        ASSERT_TRUE(other->exec(QStringLiteral("UPDATE %1 SET COLLEGATO = ? WHERE UTENTE = ?")
                                    .arg(Services::Tables::TAB_UTENTI),
                                {mark, code}));
    }
    // COLLEGATO as committed; "<null>" for a null.
    QString mark(const QString &code) const
    {
        const QVariant value = archives->scalar(
            QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = ?").arg(Services::Tables::TAB_UTENTI), {code});
        return value.isNull() ? QStringLiteral("<null>") : value.toString();
    }

    QString iniPath() const { return archives->folder() + QStringLiteral("CONT.INI"); }
    QString ini(const QString &section, const QString &key) const
    {
        return Services::IniFile(iniPath()).read(section, key);
    }
    void setIni(const QString &section, const QString &key, const QString &value) const
    {
        ASSERT_TRUE(Services::IniFile(iniPath()).write(section, key, value));
    }
    QByteArray iniText() const
    {
        QFile file(iniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // CONT.INI holds "COLLEGATO= ": the blank the workstation writes on leaving.
    bool iniConnectedBlank() const
    {
        static const QRegularExpression line(QStringLiteral("(^|\\n)COLLEGATO= \\r?\\n"));
        return line.match(QString::fromUtf8(iniText())).hasMatch();
    }

    FrmEntry &open()
    {
        window = std::make_unique<FrmEntry>(*context, QStringLiteral("2.1.7"));
        window->show();
        return *window;
    }
    void type(const QString &code, const QString &password)
    {
        window->codeField()->setText(code);
        window->passwordField()->setText(password);
        window->okButton()->click();
    }
    bool loggedIn() const { return !window->isVisible() && window->result() == QDialog::Accepted; }
    bool stillOpen() const { return window->isVisible() && window->result() != QDialog::Accepted; }
    std::string shown() const { return prompter.texts().join(QLatin1Char('|')).toStdString(); }

    std::unique_ptr<TestArchives> archives;
    HookedPrompter prompter;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<Workstation> other;
    std::unique_ptr<FrmEntry> window;
    int exits = 0;
};

} // namespace

TEST_P(FrmEntryTest, WindowShowsNameAndVersionAndOffersTheLastUser)
{
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("MARIO"));
    FrmEntry &w = open();
    // NOMEAPP missing: the default, written back.
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("nomeApp"))->text(), QStringLiteral("Orlavo"));
    EXPECT_EQ(ini(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP")), QStringLiteral("Orlavo"));
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("versione"))->text(), QStringLiteral("Versione 2.1.7"));
    EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("utente")), w.codeField());
    EXPECT_EQ(w.findChild<QLineEdit *>(QStringLiteral("password")), w.passwordField());
    EXPECT_EQ(w.codeField()->text(), QStringLiteral("MARIO"));
    EXPECT_EQ(context->state.user, QStringLiteral("MARIO"));
    EXPECT_EQ(w.passwordField()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(w.focusWidget(), w.passwordField());
    EXPECT_TRUE(w.okButton()->isDefault());
    EXPECT_EQ(w.okButton()->text(), QStringLiteral("OK"));
    EXPECT_EQ(w.cancelButton()->text(), QStringLiteral("Annulla"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();

    EXPECT_EQ(FrmEntry::versionText(QStringLiteral("3.4")), QStringLiteral("3.4.0"));
    EXPECT_EQ(FrmEntry::versionText(QStringLiteral("1.0.12.9")), QStringLiteral("1.0.12"));
}

TEST_P(FrmEntryTest, NameFromSettingsAndFocusOnTheCodeWhenNobodyIsOffered)
{
    setIni(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP"), QStringLiteral("Ditta Rossi"));
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::red);
    context->state.iconForms = archives->folder() + QStringLiteral("forms.png");
    ASSERT_TRUE(picture.save(context->state.iconForms));
    FrmEntry &w = open();
    EXPECT_FALSE(w.windowIcon().isNull());
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QPoint offset = w.frameGeometry().center() - screen->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 4) << offset.x() << "," << offset.y();
    }
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("nomeApp"))->text(), QStringLiteral("Ditta Rossi"));
    EXPECT_TRUE(w.codeField()->text().isEmpty());
    EXPECT_TRUE(context->state.user.isEmpty());
    EXPECT_EQ(w.focusWidget(), w.codeField());
    // The code shows in capitals as it is typed.
    QTest::keyClicks(w.codeField(), QStringLiteral("admin"));
    EXPECT_EQ(w.codeField()->text(), QStringLiteral("ADMIN"));
}

TEST_P(FrmEntryTest, EmptyCodeIsRefusedAndNothingIsWritten)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    open();
    for (const QString &code : {QString(), QStringLiteral("   ")}) {
        prompter.clear();
        type(code, QStringLiteral("segreta"));
        ASSERT_EQ(prompter.shown().size(), 1) << shown();
        EXPECT_EQ(prompter.shown().at(0).text, kNoCode);
        EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Orlavo"));
        EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
        EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::OkCancel);
        EXPECT_TRUE(stillOpen());
        EXPECT_EQ(window->focusWidget(), window->codeField());
    }
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("<null>"));
    EXPECT_TRUE(ini(kUser, QStringLiteral("NOME")).isEmpty());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_EQ(context->state.userType, -1);
}

TEST_P(FrmEntryTest, UnknownCodeIsRefusedAndNothingIsWritten)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    open();
    type(QStringLiteral("MARIA"), QStringLiteral("segreta"));
    ASSERT_EQ(prompter.shown().size(), 1) << shown();
    EXPECT_EQ(prompter.shown().at(0).text, kUnknownCode);
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Orlavo"));
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
    EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::OkCancel);
    EXPECT_TRUE(stillOpen());
    EXPECT_EQ(window->focusWidget(), window->codeField());
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("<null>"));
    EXPECT_TRUE(ini(kUser, QStringLiteral("NOME")).isEmpty());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_EQ(context->state.userType, -1);
}

TEST_P(FrmEntryTest, WrongPasswordIsRefusedAndNothingIsWritten)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    open();
    // Another password, another case, one the stored form cannot hold, none.
    for (const QString &password : {QStringLiteral("segreta2"), QStringLiteral("SEGRETA"), QStringLiteral("segretaΩ"),
                                    QString()}) {
        SCOPED_TRACE(password.toStdString());
        prompter.clear();
        type(QStringLiteral("MARIO"), password);
        ASSERT_EQ(prompter.shown().size(), 1) << shown();
        EXPECT_EQ(prompter.shown().at(0).text, kWrongPassword);
        EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Orlavo"));
        EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Critical);
        EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::OkCancel);
        EXPECT_TRUE(stillOpen());
        EXPECT_EQ(window->focusWidget(), window->passwordField());
    }
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("<null>"));
    EXPECT_TRUE(ini(kUser, QStringLiteral("NOME")).isEmpty());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_EQ(context->state.userType, -1);
    EXPECT_TRUE(context->state.user.isEmpty());
}

TEST_P(FrmEntryTest, GoodLoginMarksBothSidesAndLeavingClearsThem)
{
    addUser(QStringLiteral("Mario"), QStringLiteral("segreta"), QStringLiteral("2"));
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    // The code is matched without regard to case and kept as stored.
    type(QStringLiteral("MARIO"), QStringLiteral("segreta"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("Mario")), QStringLiteral("C"));
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("Mario"));
    EXPECT_EQ(ini(kUser, QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    EXPECT_EQ(context->state.user, QStringLiteral("Mario"));
    EXPECT_EQ(context->state.userType, 2);
    EXPECT_TRUE(context->state.agentFlag.isEmpty());

    EXPECT_TRUE(clearConnected(context->db, context->settings));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_EQ(mark(QStringLiteral("Mario")), QStringLiteral(" "));
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_TRUE(iniConnectedBlank()) << iniText().toStdString();
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("Mario"));
    // Only his own row.
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
}

TEST_P(FrmEntryTest, AgentCodeSetsTheAgentFlag)
{
    addUser(QStringLiteral("A12345"), QStringLiteral("vendite"), QStringLiteral("1"));
    open();
    type(QStringLiteral("a12345"), QStringLiteral("vendite"));
    ASSERT_TRUE(loggedIn()) << shown();
    EXPECT_EQ(context->state.user, QStringLiteral("A12345"));
    EXPECT_EQ(context->state.userType, 1);
    EXPECT_EQ(context->state.agentFlag, QStringLiteral("A"));
    EXPECT_EQ(mark(QStringLiteral("A12345")), QStringLiteral("C"));
}

TEST_P(FrmEntryTest, AdminTypedInLowerCaseLogsInAsAdmin)
{
    addUser(QStringLiteral("ADMIN"), QStringLiteral("Admin1"), QStringLiteral("2"));
    FrmEntry &w = open();
    QTest::keyClicks(w.codeField(), QStringLiteral("admin"));
    w.passwordField()->setText(QStringLiteral("Admin1"));
    w.okButton()->click();
    ASSERT_TRUE(loggedIn()) << shown();
    EXPECT_EQ(context->state.user, QStringLiteral("ADMIN"));
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("ADMIN"));
    EXPECT_EQ(mark(QStringLiteral("ADMIN")), QStringLiteral("C"));
}

TEST_P(FrmEntryTest, EnterConfirmsAndEscapeCancels)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    FrmEntry &w = open();
    w.codeField()->setText(QStringLiteral("MARIO"));
    w.passwordField()->setText(QStringLiteral("sbagliata"));
    QTest::keyClick(w.passwordField(), Qt::Key_Return);
    EXPECT_EQ(prompter.texts(), QStringList{kWrongPassword});
    ASSERT_TRUE(stillOpen());
    w.passwordField()->setText(QStringLiteral("segreta"));
    QTest::keyClick(w.passwordField(), Qt::Key_Return);
    EXPECT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("C"));

    FrmEntry second(*context, QStringLiteral("1.0.0"));
    second.show();
    QTest::keyClick(second.codeField(), Qt::Key_Escape);
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(second.result(), QDialog::Rejected);
}

TEST_P(FrmEntryTest, UserLoggedInElsewhereAbortChangesNothing)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    prompter.queue(Prompter::Button::Abort);
    type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
    ASSERT_EQ(prompter.shown().size(), 1) << shown();
    EXPECT_EQ(prompter.shown().at(0).text, kAlreadyConnected);
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Errore"));
    EXPECT_EQ(prompter.shown().at(0).icon, Prompter::Icon::Warning);
    EXPECT_EQ(prompter.shown().at(0).buttons, Prompter::Buttons::AbortRetryIgnore);
    EXPECT_TRUE(stillOpen());
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_TRUE(ini(kUser, QStringLiteral("NOME")).isEmpty());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_EQ(context->state.userType, -1);
}

TEST_P(FrmEntryTest, UserLoggedInElsewhereIgnoreLogsIn)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("3"), QStringLiteral("C"));
    open();
    prompter.queue(Prompter::Button::Ignore);
    type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
    EXPECT_EQ(prompter.texts(), QStringList{kAlreadyConnected});
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("LUIGI"));
    EXPECT_EQ(ini(kUser, QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    EXPECT_EQ(context->state.userType, 3);
}

TEST_P(FrmEntryTest, UserLoggedInElsewhereIgnoreStillNeedsThePassword)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    prompter.queue(Prompter::Button::Ignore);
    type(QStringLiteral("LUIGI"), QStringLiteral("sbagliata"));
    EXPECT_EQ(prompter.texts(), (QStringList{kAlreadyConnected, kWrongPassword}));
    EXPECT_TRUE(stillOpen());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
}

TEST_P(FrmEntryTest, RetryReadsTheRowAgain)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    // Still logged in at the first retry; he leaves while the second question is shown.
    int asked = 0;
    prompter.onAsk = [&](const QString &text) {
        if (text == kAlreadyConnected && ++asked == 2)
            setMark(QStringLiteral("LUIGI"), QStringLiteral(" "));
    };
    prompter.queue(Prompter::Button::Retry);
    prompter.queue(Prompter::Button::Retry);
    type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
    EXPECT_EQ(prompter.texts(), (QStringList{kAlreadyConnected, kAlreadyConnected}));
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_EQ(ini(kUser, QStringLiteral("COLLEGATO")), QStringLiteral("S"));
}

TEST_P(FrmEntryTest, RetryFindsTheUserGone)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    prompter.onAsk = [&](const QString &text) {
        if (text == kAlreadyConnected) {
            ASSERT_TRUE(other->exec(QStringLiteral("DELETE FROM %1").arg(Services::Tables::TAB_UTENTI)));
        }
    };
    prompter.queue(Prompter::Button::Retry);
    type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
    EXPECT_EQ(prompter.texts(), (QStringList{kAlreadyConnected, kUnknownCode}));
    EXPECT_TRUE(stillOpen());
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
}

TEST_P(FrmEntryTest, SameUserBackWhereHeLeftIsNotAsked)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("luigi"));
    setIni(kUser, QStringLiteral("COLLEGATO"), QStringLiteral("S"));
    open();
    type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("LUIGI"));
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
}

TEST_P(FrmEntryTest, SomebodyElsesMarkOrNoMarkHereIsAsked)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    struct Case {
        const char *name;
        QString name_;
        QString connected;
    };
    const QList<Case> cases = {
        {"this workstation left nothing behind", QStringLiteral("LUIGI"), QString()},
        {"another user's mark here", QStringLiteral("MARIO"), QStringLiteral("S")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        setIni(kUser, QStringLiteral("NOME"), c.name_);
        setIni(kUser, QStringLiteral("COLLEGATO"), c.connected);
        open();
        prompter.queue(Prompter::Button::Abort);
        type(QStringLiteral("LUIGI"), QStringLiteral("altra"));
        EXPECT_EQ(prompter.texts(), QStringList{kAlreadyConnected});
        EXPECT_TRUE(stillOpen());
    }
}

TEST_P(FrmEntryTest, NoPasswordStoredAndNoneTyped)
{
    addUser(QStringLiteral("OSPITE"), std::nullopt, QStringLiteral("1"));
    ASSERT_TRUE(other->exec(QStringLiteral("INSERT INTO %1 (UTENTE, PWD, TIPO) VALUES (?, ?, ?)")
                                .arg(Services::Tables::TAB_UTENTI),
                            {QStringLiteral("VUOTA"), QVariant(QStringLiteral("")), QStringLiteral("1")}));
    open();
    type(QStringLiteral("OSPITE"), QStringLiteral("x"));
    EXPECT_EQ(prompter.texts(), QStringList{kWrongPassword});
    ASSERT_TRUE(stillOpen());
    prompter.clear();
    type(QStringLiteral("OSPITE"), QString());
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("OSPITE")), QStringLiteral("C"));

    context->state.userType = -1;
    open();
    type(QStringLiteral("VUOTA"), QString());
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_TRUE(loggedIn());
    EXPECT_EQ(mark(QStringLiteral("VUOTA")), QStringLiteral("C"));
}

TEST_P(FrmEntryTest, ReadOnlyUserIsToldAndStillLogsIn)
{
    addUser(QStringLiteral("CONSULTA"), QStringLiteral("guarda"), QStringLiteral("0"));
    open();
    type(QStringLiteral("CONSULTA"), QStringLiteral("guarda"));
    ASSERT_EQ(prompter.shown().size(), 2) << shown();
    EXPECT_EQ(prompter.shown().at(0).text, kNoRights);
    EXPECT_EQ(prompter.shown().at(0).title, QStringLiteral("Errore"));
    EXPECT_TRUE(prompter.shown().at(1).text.startsWith(
        QStringLiteral("Rilevato errore su Entry\nCodice -1\nStep Agg utenti\n")))
        << shown();
    EXPECT_EQ(prompter.shown().at(1).title, QStringLiteral("Errore"));
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(context->state.user, QStringLiteral("CONSULTA"));
    EXPECT_EQ(context->state.userType, 0);
    EXPECT_EQ(ini(kUser, QStringLiteral("NOME")), QStringLiteral("CONSULTA"));
    EXPECT_EQ(ini(kUser, QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    // The refused update left the row as it was.
    EXPECT_EQ(mark(QStringLiteral("CONSULTA")), QStringLiteral("<null>"));
}

TEST_P(FrmEntryTest, CancelLeavesAnotherWorkstationsMark)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("LUIGI"));
    FrmEntry &w = open();
    w.cancelButton()->click();
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_TRUE(ini(kUser, QStringLiteral("COLLEGATO")).isEmpty());
    EXPECT_FALSE(iniConnectedBlank());
}

TEST_P(FrmEntryTest, CancelClearsThisWorkstationsStaleMark)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"), QStringLiteral("C"));
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("LUIGI"));
    setIni(kUser, QStringLiteral("COLLEGATO"), QStringLiteral("S"));
    FrmEntry &w = open();
    // Closing by the frame is a cancel.
    w.close();
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_EQ(w.result(), QDialog::Rejected);
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral(" "));
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("C"));
    EXPECT_TRUE(iniConnectedBlank()) << iniText().toStdString();
}

TEST_P(FrmEntryTest, ClearConnectedGivesUpAfterThreeRefusedUpdates)
{
    addUser(QStringLiteral("CONSULTA"), QStringLiteral("guarda"), QStringLiteral("0"), QStringLiteral("C"));
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("CONSULTA"));
    setIni(kUser, QStringLiteral("COLLEGATO"), QStringLiteral("S"));
    context->state.user = QStringLiteral("CONSULTA");
    context->state.userType = 0;
    EXPECT_FALSE(clearConnected(context->db, context->settings));
    // Each attempt: the refusal, then the report of the unit.
    ASSERT_EQ(prompter.shown().size(), 6) << shown();
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_EQ(prompter.shown().at(2 * attempt).text, kNoRights);
        EXPECT_TRUE(prompter.shown().at(2 * attempt + 1).text.startsWith(
            QStringLiteral("Rilevato errore su Cancella colleg.\nCodice -1\nStep Agg. utenti\n")))
            << shown();
    }
    EXPECT_EQ(mark(QStringLiteral("CONSULTA")), QStringLiteral("C"));
    EXPECT_EQ(ini(kUser, QStringLiteral("COLLEGATO")), QStringLiteral("S"));
}

TEST_P(FrmEntryTest, ClearConnectedBeforeALoginLeavesOthersAlone)
{
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    context->state.user = QStringLiteral("LUIGI");
    ASSERT_EQ(context->state.userType, -1);
    EXPECT_TRUE(clearConnected(context->db, context->settings));
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
}

TEST_P(FrmEntryTest, MainWindowClosingClearsTheMarks)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    open();
    type(QStringLiteral("MARIO"), QStringLiteral("segreta"));
    ASSERT_TRUE(loggedIn()) << shown();
    ASSERT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("C"));
    {
        Menu menu(*context);
        menu.show();
        menu.close();
    }
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral(" "));
    EXPECT_TRUE(iniConnectedBlank()) << iniText().toStdString();
}

TEST_P(FrmEntryTest, ScrambledPasswordsReadBackIdentical)
{
    // Stored forms with codes below 32, between 0x80 and 0x9F and near 255.
    const QStringList passwords = {QStringLiteral("prezzo€"), QStringLiteral("™"), QString(QChar(27)),
                                   QStringLiteral("Qwerty!2026"), QStringLiteral("1è2")};
    bool low = false;
    bool middle = false;
    bool high = false;
    for (int i = 0; i < passwords.size(); ++i) {
        const QString code = QStringLiteral("U%1").arg(i);
        const std::optional<QString> stored = scramblePassword(passwords.at(i));
        ASSERT_TRUE(stored.has_value()) << i;
        for (const QChar ch : *stored) {
            low = low || ch.unicode() < 32;
            middle = middle || (ch.unicode() >= 0x80 && ch.unicode() <= 0x9F);
            high = high || ch.unicode() >= 0xF0;
        }
        addUser(code, passwords.at(i), QStringLiteral("2"));
        const QString readBack =
            archives->scalar(QStringLiteral("SELECT PWD FROM %1 WHERE UTENTE = ?").arg(Services::Tables::TAB_UTENTI),
                             {code})
                .toString();
        EXPECT_EQ(readBack, *stored) << i;
        EXPECT_EQ(unscramblePassword(readBack), passwords.at(i)) << i;
    }
    EXPECT_TRUE(low && middle && high);

    open();
    type(QStringLiteral("U0"), QStringLiteral("prezzo€"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_TRUE(loggedIn());
}

INSTANTIATE_TEST_SUITE_P(Engines, FrmEntryTest, ::testing::Values(Engine::Sqlite, Engine::Postgres),
                         Orlavo::Testing::engineName);
