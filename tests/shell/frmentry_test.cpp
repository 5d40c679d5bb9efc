#include "shell/windows/frmentry.h"

#include "fixtures.h"
#include "services/core/tablenames.h"
#include "shell/rules/password.h"
#include "shell/stores/loginstore.h"
#include "shellfixtures.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Shell;
using Orlavo::Services::Prompter;
using Orlavo::Testing::ActingPrompter;

namespace {

const QString kNoCode = QStringLiteral("Digitare il Codice Utente!");
const QString kUnknownCode = QStringLiteral("Codice utente non presente in archivio !");
const QString kAlreadyConnected = QStringLiteral("L'utente è già collegato!");
const QString kWrongPassword = QStringLiteral("Password errata!");
const QString kUser = QStringLiteral("UTENTE");

class FrmEntryTest : public Orlavo::Testing::WindowTest<FrmEntry, ActingPrompter>
{
protected:
    void prepare() override
    {
        // Written before any login: no user type, nothing refused.
        addUser(QStringLiteral("Mario"), QStringLiteral("segreta"), QStringLiteral("2"));
        addUser(QStringLiteral("OSPITE"), std::nullopt, QStringLiteral("1"));
        addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("3"), QStringLiteral("C"));
        addUser(QStringLiteral("CONSULTA"), QStringLiteral("guarda"), QStringLiteral("0"));
    }

    bool users(const QString &sql, const Services::Params &params = {})
    {
        return context->db.executeSqlServices(sql.arg(Services::Tables::TAB_UTENTI), params) == 0;
    }
    // A row of TAB_UTENTI; an unset password or mark stays null.
    void addUser(const QString &code, const std::optional<QString> &password, const QString &type,
                 const std::optional<QString> &mark = std::nullopt)
    {
        ASSERT_TRUE(users(QStringLiteral("INSERT INTO %1 (UTENTE, PWD, DESCRIZIONE, TIPO, NOME, COLLEGATO) "
                                         "VALUES (?, ?, ?, ?, ?, ?)"),
                          {code, password ? QVariant(scramblePassword(*password).value()) : QVariant(),
                           QStringLiteral("Utente ") + code, type, code, mark ? QVariant(*mark) : QVariant()}));
    }
    // COLLEGATO as committed; "<null>" for a null.
    QString mark(const QString &code) const
    {
        const QVariant value = archives->scalar(
            QStringLiteral("SELECT COLLEGATO FROM %1 WHERE UTENTE = ?").arg(Services::Tables::TAB_UTENTI), {code});
        return value.isNull() ? QStringLiteral("<null>") : value.toString();
    }

    QString ini(const QString &key) const { return context->settings.read(kUser, key); }
    void setIni(const QString &key, const QString &value) const
    {
        ASSERT_TRUE(context->settings.write(kUser, key, value));
    }

    FrmEntry &open()
    {
        context->state.userType = -1;
        prompter.clear();
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
};

} // namespace

TEST_P(FrmEntryTest, RefusalsLeaveEverythingAsItWas)
{
    const QString good = QStringLiteral("segreta");
    const QString mario = QStringLiteral("MARIO");
    const auto code = &FrmEntry::codeField;
    const auto password = &FrmEntry::passwordField;
    const struct {
        const char *name;
        QString code, password, text;
        QLineEdit *(FrmEntry::*focus)() const;
    } cases[] = {
        {"blank code", QStringLiteral("   "), good, kNoCode, code},
        {"unknown code", QStringLiteral("MARIA"), good, kUnknownCode, code},
        {"password in another case", mario, QStringLiteral("SEGRETA"), kWrongPassword, password},
        {"password typed, none stored", QStringLiteral("OSPITE"), QStringLiteral("x"), kWrongPassword, password},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        open();
        const Orlavo::Testing::Snapshot before(*archives, {Services::Tables::TAB_UTENTI});
        type(c.code, c.password);
        Orlavo::Testing::expectRefused(prompter, c.text, Prompter::Icon::Critical, Prompter::Buttons::OkCancel);
        EXPECT_EQ(window->focusWidget(), (window.get()->*c.focus)());
        EXPECT_TRUE(stillOpen());
        Orlavo::Testing::expectNothingWritten(before, context->db);
        EXPECT_TRUE(ini(QStringLiteral("NOME")).isEmpty());
        EXPECT_TRUE(ini(QStringLiteral("COLLEGATO")).isEmpty());
        EXPECT_EQ(context->state.userType, -1);
    }
}

TEST_P(FrmEntryTest, LoginsAccepted)
{
    addUser(QStringLiteral("A12345"), QStringLiteral("vendite"), QStringLiteral("1"));
    // A stored form with codes below 32 reads back as written, on both engines.
    const QString control(QChar(27));
    addUser(QStringLiteral("U0"), control, QStringLiteral("2"));
    const struct {
        QString typed, password, code;
        int userType;
        QString agentFlag;
    } cases[] = {
        // The code is matched without regard to case and kept as stored.
        {QStringLiteral("MARIO"), QStringLiteral("segreta"), QStringLiteral("Mario"), 2, {}},
        {QStringLiteral("a12345"), QStringLiteral("vendite"), QStringLiteral("A12345"), 1, QStringLiteral("A")},
        // No password stored, and none typed.
        {QStringLiteral("OSPITE"), QString(), QStringLiteral("OSPITE"), 1, {}},
        {QStringLiteral("U0"), control, QStringLiteral("U0"), 2, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        open();
        // Enter confirms.
        window->codeField()->setText(c.typed);
        window->passwordField()->setText(c.password);
        QTest::keyClick(window->passwordField(), Qt::Key_Return);
        EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
        expectLoggedIn(c.code, c.userType);
        EXPECT_EQ(context->state.agentFlag, c.agentFlag);
    }

    // A read-only user is told his mark cannot be written (the refusal and
    // the report are the write unit's), and still logs in.
    open();
    type(QStringLiteral("CONSULTA"), QStringLiteral("guarda"));
    EXPECT_EQ(prompter.texts().size(), 2) << shown();
    ASSERT_TRUE(loggedIn());
    EXPECT_EQ(context->state.userType, 0);
    EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QStringLiteral("S"));
    EXPECT_EQ(mark(QStringLiteral("CONSULTA")), QStringLiteral("<null>"));
}

TEST_P(FrmEntryTest, UserLoggedInElsewhere)
{
    using B = Prompter::Button;
    const struct {
        const char *name;
        const char *iniName, *iniConnected; // what CONT.INI of this workstation holds
        QList<B> answers;
        const char *password;
        bool leavesMeanwhile; // LUIGI logs out elsewhere while the question is shown
        QStringList texts;
        bool logsIn;
    } cases[] = {
        {"Ignore, bad password", "", "", {B::Ignore}, "sbagliata", false, {kAlreadyConnected, kWrongPassword}, false},
        {"retry reads the row again", "", "", {B::Retry}, "altra", true, {kAlreadyConnected}, true},
        {"his own mark left here", "luigi", "S", {}, "altra", false, {}, true},
        // Abort: nothing written.
        {"this workstation left nothing behind", "LUIGI", "", {B::Abort}, "altra", false, {kAlreadyConnected}, false},
        {"another user's mark here", "MARIO", "S", {B::Abort}, "altra", false, {kAlreadyConnected}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(users(QStringLiteral("DELETE FROM %1 WHERE UTENTE = 'LUIGI'")));
        addUser(QStringLiteral("LUIGI"), QStringLiteral("altra"), QStringLiteral("3"), QStringLiteral("C"));
        setIni(QStringLiteral("NOME"), QString::fromLatin1(c.iniName));
        setIni(QStringLiteral("COLLEGATO"), QString::fromLatin1(c.iniConnected));
        open();
        for (const B answer : c.answers)
            prompter.queue(answer);
        prompter.onText = kAlreadyConnected;
        if (c.leavesMeanwhile)
            prompter.action = [this] { users(QStringLiteral("UPDATE %1 SET COLLEGATO = ' ' WHERE UTENTE = 'LUIGI'")); };
        type(QStringLiteral("LUIGI"), QString::fromLatin1(c.password));
        EXPECT_EQ(prompter.texts(), c.texts);
        EXPECT_TRUE(c.answers.isEmpty() || prompter.shown().first().buttons == Prompter::Buttons::AbortRetryIgnore);
        if (c.logsIn) {
            expectLoggedIn(QStringLiteral("LUIGI"), 3);
        } else {
            EXPECT_TRUE(stillOpen());
            EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QString::fromLatin1(c.iniConnected));
            EXPECT_EQ(mark(QStringLiteral("LUIGI")), QStringLiteral("C"));
            EXPECT_EQ(context->state.userType, -1);
        }
    }
}

TEST_P(FrmEntryTest, CancelClearsOnlyThisWorkstationsStaleMark)
{
    ASSERT_TRUE(users(QStringLiteral("UPDATE %1 SET COLLEGATO = 'C' WHERE UTENTE = 'Mario'")));
    setIni(QStringLiteral("NOME"), QStringLiteral("LUIGI"));
    // Escape on another workstation's mark; the frame closed on this one's.
    for (const bool ownMark : {false, true}) {
        SCOPED_TRACE(ownMark);
        setIni(QStringLiteral("COLLEGATO"), ownMark ? QStringLiteral("S") : QString());
        FrmEntry &w = open();
        if (ownMark)
            w.close();
        else
            QTest::keyClick(w.codeField(), Qt::Key_Escape);
        EXPECT_TRUE(prompter.shown().isEmpty()) << shown();
        EXPECT_EQ(w.result(), QDialog::Rejected);
        EXPECT_EQ(mark(QStringLiteral("LUIGI")), ownMark ? QStringLiteral(" ") : QStringLiteral("C"));
        EXPECT_EQ(mark(QStringLiteral("Mario")), QStringLiteral("C"));
        EXPECT_TRUE(ini(QStringLiteral("COLLEGATO")).isEmpty());
    }
}

TEST_P(FrmEntryTest, ClearConnectedGivesUpAfterThreeRefusedUpdates)
{
    ASSERT_TRUE(users(QStringLiteral("UPDATE %1 SET COLLEGATO = 'C' WHERE UTENTE = 'CONSULTA'")));
    setIni(QStringLiteral("COLLEGATO"), QStringLiteral("S"));
    context->state.user = QStringLiteral("CONSULTA");
    context->state.userType = 0;
    EXPECT_FALSE(clearConnected(context->db, context->settings));
    // Three attempts, each refused and reported by the write unit.
    EXPECT_EQ(prompter.texts().size(), 6) << shown();
    EXPECT_EQ(mark(QStringLiteral("CONSULTA")), QStringLiteral("C"));
    EXPECT_EQ(ini(QStringLiteral("COLLEGATO")), QStringLiteral("S"));
}

ORLAVO_FOR_EACH_ENGINE(FrmEntryTest);
