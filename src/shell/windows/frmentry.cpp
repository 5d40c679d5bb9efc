#include "shell/windows/frmentry.h"

#include "masterdata/rules/agentcode.h"
#include "shell/rules/password.h"
#include "ui/appcontext.h"

#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QVersionNumber>

namespace Orlavo::Shell {

namespace {

using Services::Prompter;

constexpr char kNoCode[] = "Digitare il Codice Utente!";
constexpr char kUnknownCode[] = "Codice utente non presente in archivio !";
constexpr char kAlreadyConnected[] = "L'utente è già collegato!";
constexpr char kFrmentryWrongPassword[] = "Password errata!";
constexpr char kFrmentryTitleError[] = "Errore";
constexpr char kEntryWhere[] = "Entry";
constexpr char kAgentFlag[] = "A";
constexpr int kFieldLength = 20;

QString latin(const char *text)
{
    return QString::fromLatin1(text);
}

} // namespace

FrmEntry::FrmEntry(Ui::AppContext &context, const QString &version, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_store(context.db), m_appName(new QLabel(this)), m_version(new QLabel(this)),
      m_code(new QLineEdit(this)), m_password(new QLineEdit(this)), m_ok(new QPushButton(QStringLiteral("OK"), this)),
      m_cancel(new QPushButton(QStringLiteral("Annulla"), this))
{
    setObjectName(QStringLiteral("frmEntry"));
    const QString appName = Ui::applicationName(m_ctx.settings);
    setWindowTitle(appName);
    setWindowIcon(QIcon(m_ctx.state.iconForms));

    m_appName->setObjectName(QStringLiteral("nomeApp"));
    m_appName->setText(appName);
    m_appName->setAlignment(Qt::AlignCenter);
    QFont font = m_appName->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    m_appName->setFont(font);
    m_version->setObjectName(QStringLiteral("versione"));
    m_version->setText(QStringLiteral("Versione ") + versionText(version));
    m_version->setAlignment(Qt::AlignCenter);

    m_code->setObjectName(QStringLiteral("utente"));
    m_code->setMaxLength(kFieldLength);
    // Codes are kept in capitals: what is typed shows as it will be matched.
    connect(m_code, &QLineEdit::textEdited, this, [this](const QString &text) {
        const QString upper = text.toUpper();
        if (upper == text)
            return;
        const int cursor = m_code->cursorPosition();
        m_code->setText(upper);
        m_code->setCursorPosition(cursor);
    });
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);

    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel->setObjectName(QStringLiteral("annulla"));
    m_cancel->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &FrmEntry::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &FrmEntry::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Codice Utente"), m_code);
    fields->addRow(QStringLiteral("Password"), m_password);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_appName);
    layout->addWidget(m_version);
    layout->addSpacing(12);
    layout->addLayout(fields);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(360, 0)));

    // The last user of this workstation is offered again.
    const QString lastUser = m_ctx.settings.read(latin(kIniUser), latin(kIniUserName));
    m_code->setText(lastUser);
    m_ctx.state.user = lastUser;
    if (lastUser.isEmpty())
        m_code->setFocus();
    else
        m_password->setFocus();
}

QString FrmEntry::versionText(const QString &version)
{
    const QVersionNumber number = QVersionNumber::fromString(version);
    return QStringLiteral("%1.%2.%3").arg(number.majorVersion()).arg(number.minorVersion()).arg(number.microVersion());
}

void FrmEntry::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_leaving = false;
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void FrmEntry::refuse(const char *message)
{
    m_ctx.prompter.ask(QString::fromUtf8(message), QString::fromLatin1(Ui::kAppName), Prompter::Icon::Critical,
                       Prompter::Buttons::OkCancel);
}

FrmEntry::Connected FrmEntry::checkConnected(const LoginUser &user)
{
    const Services::Settings &ini = m_ctx.settings;
    if (user.mark.isEmpty() || user.mark == latin(kMarkFree))
        return Connected::Go;
    // His own mark, left on this workstation by a session that did not end.
    if (ini.read(latin(kIniUser), latin(kIniUserName)).compare(user.code, Qt::CaseInsensitive) == 0 &&
        ini.read(latin(kIniUser), latin(kIniConnected)) == latin(kIniConnectedHere))
        return Connected::Go;
    switch (m_ctx.prompter.ask(QString::fromUtf8(kAlreadyConnected), latin(kFrmentryTitleError), Prompter::Icon::Warning,
                               Prompter::Buttons::AbortRetryIgnore)) {
    case Prompter::Button::Ignore: return Connected::Go;
    case Prompter::Button::Retry: return Connected::ReadAgain;
    default: return Connected::Stop;
    }
}

void FrmEntry::confirm()
{
    const QString typed = m_code->text().trimmed();
    if (typed.isEmpty()) {
        refuse(kNoCode);
        m_code->setFocus();
        return;
    }
    LoginUser user;
    for (;;) {
        auto found = m_store.findUser(typed);
        if (!found) {
            m_ctx.db.reportDbError(latin(kEntryWhere), false);
            return;
        }
        if (!found->has_value()) {
            refuse(kUnknownCode);
            m_code->setFocus();
            return;
        }
        user = **found;
        const Connected check = checkConnected(user);
        if (check == Connected::Stop)
            return;
        if (check == Connected::Go)
            break;
    }
    // A password the stored form cannot hold matches nobody's.
    const std::optional<QString> scrambled = scramblePassword(m_password->text());
    if (!scrambled || *scrambled != user.password) {
        refuse(kFrmentryWrongPassword);
        m_password->setFocus();
        return;
    }
    logIn(user);
}

void FrmEntry::logIn(const LoginUser &user)
{
    const Services::Settings &ini = m_ctx.settings;
    ini.write(latin(kIniUser), latin(kIniUserName), user.code);
    ini.write(latin(kIniUser), latin(kIniConnected), latin(kIniConnectedHere));

    Services::AppState &state = m_ctx.state;
    state.user = user.code;
    state.userType = user.type.trimmed().toInt();
    state.agentFlag = Masterdata::isAgentCode(user.code) ? latin(kAgentFlag) : QString();

    // A mark that could not be written was reported; the login stands.
    m_store.markConnected(user.code);
    accept();
}

void FrmEntry::reject()
{
    if (m_leaving)
        return;
    m_leaving = true;
    clearConnected(m_ctx.db, m_ctx.settings);
    QDialog::reject();
}

} // namespace Orlavo::Shell
