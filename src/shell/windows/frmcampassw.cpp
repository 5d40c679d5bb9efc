#include "shell/windows/frmcampassw.h"

#include "shell/rules/password.h"
#include "shell/stores/usersadmin.h"
#include "ui/appcontext.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace Orlavo::Shell {

using Services::Prompter;

namespace {

constexpr char kFrmcampasswTitle[] = "Cambia password";
constexpr char kUnknownUser[] = "Utente errato; impossibile proseguire ! \nUtente attuale : ";
constexpr char kAskAdministrator[] = "\nConsultare l'amministratore del sistema";
constexpr char kFrmcampasswWrongPassword[] = "Password errata!";
constexpr char kMismatch[] = "Discordanza fra nuove password\nRidigitarle entrambe";

} // namespace

FrmCamPassw::FrmCamPassw(Ui::AppContext &context, QWidget *parent)
    : QDialog(parent), m_context(context), m_old(new QLineEdit(this)), m_new(new QLineEdit(this)),
      m_repeat(new QLineEdit(this))
{
    setObjectName(QStringLiteral("FrmCamPassw"));
    setWindowTitle(QString::fromUtf8(kFrmcampasswTitle));

    for (QLineEdit *field : {m_old, m_new, m_repeat})
        field->setEchoMode(QLineEdit::Password);
    m_old->setObjectName(QStringLiteral("vecchia"));
    m_new->setObjectName(QStringLiteral("nuova"));
    m_repeat->setObjectName(QStringLiteral("ripeti"));
    m_old->installEventFilter(this);
    m_repeat->installEventFilter(this);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setDefault(true);
    m_cancel = buttons->button(QDialogButtonBox::Cancel);
    m_cancel->setObjectName(QStringLiteral("annulla"));
    connect(m_ok, &QPushButton::clicked, this, &FrmCamPassw::confirm);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("Vecchia password"), m_old);
    fields->addRow(QStringLiteral("Nuova password"), m_new);
    fields->addRow(QStringLiteral("Ripeti nuova password"), m_repeat);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    const QString user = m_context.state.user;
    auto row = findUser(m_context.db, user);
    if (row && row->has_value()) {
        m_stored = (*row)->scrambledPassword;
        m_usable = true;
    } else {
        m_context.prompter.error(QString::fromUtf8(kUnknownUser) + user + QString::fromUtf8(kAskAdministrator),
                                 QString::fromUtf8(kFrmcampasswTitle));
    }
}

int FrmCamPassw::exec()
{
    if (!m_usable)
        return QDialog::Rejected;
    return QDialog::exec();
}

void FrmCamPassw::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_usable)
        QTimer::singleShot(0, this, &QDialog::reject);
}

bool FrmCamPassw::eventFilter(QObject *watched, QEvent *event)
{
    // Only a move to another field is leaving it: a message box taking the
    // focus is not, and on the way to OK or Annulla the checks are theirs.
    if ((watched == m_old || watched == m_repeat) && event->type() == QEvent::FocusOut && !m_checking) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const QWidget *next = QApplication::focusWidget();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && next != m_ok &&
            next != m_cancel) {
            if (watched == m_old)
                checkOld();
            else
                checkRepeat();
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool FrmCamPassw::checkOld()
{
    if (scramblePassword(m_old->text()) == std::optional<QString>(m_stored))
        return true;
    m_context.prompter.error(QString::fromUtf8(kFrmcampasswWrongPassword), QString::fromUtf8(kFrmcampasswTitle));
    m_old->selectAll();
    return false;
}

bool FrmCamPassw::checkRepeat()
{
    if (m_new->text() == m_repeat->text())
        return true;
    m_context.prompter.warn(QString::fromUtf8(kMismatch), QString::fromUtf8(kFrmcampasswTitle));
    m_new->clear();
    m_repeat->clear();
    return false;
}

void FrmCamPassw::confirm()
{
    if (!m_usable || m_checking)
        return;
    m_checking = true;
    const QString plain = m_new->text();
    bool valid = checkOld() && checkRepeat();
    if (valid && !isStorablePassword(plain)) {
        m_context.prompter.warn(QString::fromUtf8(kPasswordNotAllowed), QString::fromUtf8(kFrmcampasswTitle));
        valid = false;
    }
    const QString scrambled = scramblePassword(plain).value_or(QString());
    const bool written = valid && changeUserPassword(m_context.db, m_context.state.user, scrambled);
    m_checking = false;
    if (written) {
        m_stored = scrambled;
        accept();
    }
}

} // namespace Orlavo::Shell
