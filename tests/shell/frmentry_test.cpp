#include "shell/windows/frmentry.h"

#include "contexttest.h"
#include "fixtures.h"
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
using Orlavo::Testing::ActingPrompter;
using Orlavo::Testing::Workstation;

namespace {

const QString kNoCode = QStringLiteral("Digitare il Codice Utente!");
const QString kUnknownCode = QStringLiteral("Codice utente non presente in archivio !");
const QString kAlreadyConnected = QStringLiteral("L'utente è già collegato!");
const QString kWrongPassword = QStringLiteral("Password errata!");
const QString kNoRights = QStringLiteral("operazione non consentita : \n"
                                         "Non si possiedono i diritti per procedere con tale operazione.\n"
                                         "Per ulteriri chiarimenti rivolgersi all'Amministratore.");
const QString kUser = QStringLiteral("UTENTE");

class FrmEntryTest : public Orlavo::Testing::ContextTest<ActingPrompter>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        other = std::make_unique<Workstation>(archives->config(), QString());
        ASSERT_TRUE(other->open());
    }

    void TearDown() override
    {
        window.reset();
        other.reset();
        EXPECT_EQ(dbExits, 0);
        ContextTest::TearDown();
    }

    bool users(const QString &sql, const Services::Params &params = {})
    {
        return other->exec(sql.arg(Services::Tables::TAB_UTENTI), params, Services::Target::Services);
    }
    // A row of TAB_UTENTI; an unset password or mark stays null.
    void addUser(const QString &code, const std::optional<QString> &password, const QString &type,
                 const std::optional<QString> &mark = std::nullopt)
    {
        const QVariant pwd = password ? QVariant(scramblePassword(*password).value()) : QVariant();
        const QVariant collegato = mark ? QVariant(*mark) : QVariant();
        ASSERT_TRUE(users(QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO, NOME, COLLEGATO) "
                                         "VALUES (?, ?, ?, ?, ?, ?)"),
                          {code, pwd, QStringLiteral("Utente ") + code, type, code, collegato}));
    }
    // COLLEGATO as committed; "<null>" for a null.
    QString mark(const QString &code) const
    {
        const QVariant value = archives->scalar(
            QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = ?").arg(Services::Tables::TAB_UTENTI), {code});
        return value.isNull() ? QStringLiteral("<null>") : value.toString();
    }

    QString iniPath() const { return archives->folder() + QStringLiteral("CONT.INI"); }
    QString ini(const QString &key) const { return Services::IniFile(iniPath()).read(kUser, key); }
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

    // Logged in as the row's code: both marks set, the state taken from the row.
    void expectLoggedIn(const QString &code, int userType)
    {
        ASSERT_TRUE(loggedIn()) << shown();
        EXPECT_EQ(context->state.user, code);
        EXPECT_EQ(context->state.userType, userType);
        EXPECT_EQ(mark(code), QStringLiteral("C"));
        EXPECT_EQ(ini(QStringLiteral("NOME")), code);
        EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    }

    std::unique_ptr<Workstation> other;
    std::unique_ptr<FrmEntry> window;
};

} // namespace

TEST_P(FrmEntryTest, WindowShowsNameAndVersionAndOffersTheLastUser)
{
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("MARIO"));
    FrmEntry &w = open();
    // NOMEAPP missing: the default, written back.
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("nomeApp"))->text(), QStringLiteral("Orlavo"));
    EXPECT_EQ(Services::IniFile(iniPath()).read(QStringLiteral("MAIN"), QStringLiteral("NOMEAPP")),
              QStringLiteral("Orlavo"));
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

TEST_P(FrmEntryTest, RefusalsLeaveEverythingAsItWas)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    addUser(QStringLiteral("OSPITE"), std::nullopt, QStringLiteral("1"));
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    const QString app = QStringLiteral("Orlavo");
    const auto critical = Prompter::Icon::Critical;
    const auto okCancel = Prompter::Buttons::OkCancel;
    struct Case {
        const char *name;
        QString code;
        QString password;
        QString text;
        QString title;
        Prompter::Icon icon;
        Prompter::Buttons buttons;
        QLineEdit *(FrmEntry::*focus)() const;
    };
    const QString good = QStringLiteral("segreta");
    const QList<Case> cases = {
        {"no code", QString(), good, kNoCode, app, critical, okCancel, &FrmEntry::codeField},
        {"blank code", QStringLiteral("   "), good, kNoCode, app, critical, okCancel, &FrmEntry::codeField},
        {"unknown code", QStringLiteral("MARIA"), good, kUnknownCode, app, critical, okCancel, &FrmEntry::codeField},
        {"another password", QStringLiteral("MARIO"), QStringLiteral("segreta2"), kWrongPassword, app, critical,
         okCancel, &FrmEntry::passwordField},
        {"password in another case", QStringLiteral("MARIO"), QStringLiteral("SEGRETA"), kWrongPassword, app,
         critical, okCancel, &FrmEntry::passwordField},
        {"password the stored form cannot hold", QStringLiteral("MARIO"), QStringLiteral("segretaΩ"),
         kWrongPassword, app, critical, okCancel, &FrmEntry::passwordField},
        {"no password typed", QStringLiteral("MARIO"), QString(), kWrongPassword, app, critical, okCancel,
         &FrmEntry::passwordField},
        {"password typed, none stored", QStringLiteral("OSPITE"), QStringLiteral("x"), kWrongPassword, app,
         critical, okCancel, &FrmEntry::passwordField},
        // Abort on a user logged in elsewhere.
        {"logged in elsewhere", QStringLiteral("LUIGI"), QStringLiteral("altra"), kAlreadyConnected,
         QStringLiteral("Errore"), Prompter::Icon::Warning, Prompter::Buttons::AbortRetryIgnore, nullptr},
    };
    open();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        const Orlavo::Testing::Snapshot before(*archives, {Services::Tables::TAB_UTENTI});
        if (c.buttons == Prompter::Buttons::AbortRetryIgnore)
            prompter.queue(Prompter::Button::Abort);
        type(c.code, c.password);
        Orlavo::Testing::expectRefused(prompter, c.text, c.icon, c.buttons, c.title);
        EXPECT_TRUE(stillOpen());
        if (c.focus) {
            EXPECT_EQ(window->focusWidget(), (window.get()->*c.focus)());
        }
        Orlavo::Testing::expectNothingWritten(before, context->db);
        EXPECT_TRUE(ini(QStringLiteral("NOME")).isEmpty());
        EXPECT_TRUE(ini(QStringLiteral("COLLEGATO")).isEmpty());
        EXPECT_EQ(context->state.userType, -1);
    }
}

TEST_P(FrmEntryTest, LoginsAccepted)
{
    addUser(QStringLiteral("Mario"), QStringLiteral("segreta"), QStringLiteral("2"));
    addUser(QStringLiteral("A12345"), QStringLiteral("vendite"), QStringLiteral("1"));
    addUser(QStringLiteral("OSPITE"), std::nullopt, QStringLiteral("1"));
    ASSERT_TRUE(users(QStringLiteral("INSERT INTO %1 (UTENTE, PWD, TIPO) VALUES (?, ?, ?)"),
                      {QStringLiteral("VUOTA"), QVariant(QStringLiteral("")), QStringLiteral("3")}));
    struct Case {
        const char *name;
        QString typed;
        QString password;
        QString code;
        int userType;
        QString agentFlag;
    };
    const QList<Case> cases = {
        // The code is matched without regard to case and kept as stored.
        {"code in another case", QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("Mario"), 2, {}},
        {"agent code", QStringLiteral("a12345"), QStringLiteral("vendite"), QStringLiteral("A12345"), 1,
         QStringLiteral("A")},
        {"no password stored, none typed", QStringLiteral("OSPITE"), QString(), QStringLiteral("OSPITE"), 1, {}},
        {"empty password stored, none typed", QStringLiteral("VUOTA"), QString(), QStringLiteral("VUOTA"), 3, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        prompter.clear();
        context->state.userType = -1;
        open();
        type(c.typed, c.password);
        EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
        expectLoggedIn(c.code, c.userType);
        EXPECT_EQ(context->state.agentFlag, c.agentFlag);
    }
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

TEST_P(FrmEntryTest, UserLoggedInElsewhere)
{
    using B = Prompter::Button;
    struct Case {
        const char *name;
        QString iniName;
        QString iniConnected;
        QList<B> answers;
        QString password;
        // The other workstation acting while the question is shown.
        std::function<void()> meanwhile;
        QStringList texts;
        bool logsIn;
    };
    const QString good = QStringLiteral("altra");
    const QList<Case> cases = {
        {"ignored", {}, {}, {B::Ignore}, good, {}, {kAlreadyConnected}, true},
        {"ignored, still needs the password", {}, {}, {B::Ignore}, QStringLiteral("sbagliata"), {},
         {kAlreadyConnected, kWrongPassword}, false},
        {"retry reads the row again",
         {},
         {},
         {B::Retry, B::Retry},
         good,
         // He leaves while the second question is shown.
         [this] {
             prompter.action = [this] {
                 users(QStringLiteral("UPDATE %1 SET COLLEGATO = ' ' WHERE UTENTE = 'LUIGI'"));
             };
         },
         {kAlreadyConnected, kAlreadyConnected},
         true},
        {"retry finds him gone", {}, {}, {B::Retry}, good, [this] { users(QStringLiteral("DELETE FROM %1")); },
         {kAlreadyConnected, kUnknownCode}, false},
        {"his own mark left here", QStringLiteral("luigi"), QStringLiteral("S"), {}, good, {}, {}, true},
        {"this workstation left nothing behind", QStringLiteral("LUIGI"), {}, {B::Abort}, good, {},
         {kAlreadyConnected}, false},
        {"another user's mark here", QStringLiteral("MARIO"), QStringLiteral("S"), {B::Abort}, good, {},
         {kAlreadyConnected}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(users(QStringLiteral("DELETE FROM %1")));
        addUser(QStringLiteral("LUIGI"), good, QStringLiteral("3"), QStringLiteral("C"));
        setIni(kUser, QStringLiteral("NOME"), c.iniName);
        setIni(kUser, QStringLiteral("COLLEGATO"), c.iniConnected);
        context->state.userType = -1;
        prompter.clear();
        for (const B answer : c.answers)
            prompter.queue(answer);
        prompter.onText = kAlreadyConnected;
        prompter.action = c.meanwhile;
        open();
        type(QStringLiteral("LUIGI"), c.password);
        EXPECT_EQ(prompter.texts(), c.texts);
        if (c.logsIn) {
            expectLoggedIn(QStringLiteral("LUIGI"), 3);
        } else {
            EXPECT_TRUE(stillOpen());
            EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), c.iniConnected);
        }
    }
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
    EXPECT_EQ(ini(QStringLiteral("NOME")), QStringLiteral("CONSULTA"));
    EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    // The refused update left the row as it was.
    EXPECT_EQ(mark(QStringLiteral("CONSULTA")), QStringLiteral("<null>"));
}

TEST_P(FrmEntryTest, CancelClearsOnlyThisWorkstationsStaleMark)
{
    struct Case {
        const char *name;
        QString iniConnected;
        bool byTheFrame;
        QString luigi;
    };
    const QList<Case> cases = {
        {"another workstation's mark", QString(), false, QStringLiteral("C")},
        {"this workstation's stale mark, closed by the frame", QStringLiteral("S"), true, QStringLiteral(" ")},
    };
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"), QStringLiteral("C"));
    setIni(kUser, QStringLiteral("NOME"), QStringLiteral("LUIGI"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        setIni(kUser, QStringLiteral("COLLEGATO"), c.iniConnected);
        FrmEntry &w = open();
        if (c.byTheFrame)
            w.close();
        else
            w.cancelButton()->click();
        EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_EQ(mark(QStringLiteral("LUIGI")), c.luigi);
        EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral("C"));
        EXPECT_EQ(iniConnectedBlank(), c.byTheFrame) << iniText().toStdString();
    }
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
    EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QStringLiteral("S"));
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

TEST_P(FrmEntryTest, MainWindowClosingClearsOnlyTheOwnMark)
{
    addUser(QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("2"));
    addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("2"), QStringLiteral("C"));
    open();
    type(QStringLiteral("MARIO"), QStringLiteral("segreta"));
    ASSERT_NO_FATAL_FAILURE(expectLoggedIn(QStringLiteral("MARIO"), 2));
    {
        Menu menu(*context);
        menu.show();
        menu.close();
    }
    EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
    EXPECT_EQ(mark(QStringLiteral("MARIO")), QStringLiteral(" "));
    EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
    EXPECT_TRUE(iniConnectedBlank()) << iniText().toStdString();
    EXPECT_EQ(ini(QStringLiteral("NOME")), QStringLiteral("MARIO"));
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

ORLAVO_FOR_EACH_ENGINE(FrmEntryTest);
