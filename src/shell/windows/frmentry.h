#pragma once

#include "shell/stores/loginstore.h"

#include <QCoreApplication>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The login: user code and password against TAB_UTENTI. On success the
// application state holds the user, his type and agent flag, CONT.INI names
// him as this workstation's user and his row is marked as logged in; the
// dialog is accepted. Annulla, Esc and the frame's close take this
// workstation's stale mark away and reject: the program ends.
class FrmEntry : public QDialog
{
    Q_OBJECT
public:
    explicit FrmEntry(Ui::AppContext &context, const QString &version = QCoreApplication::applicationVersion(),
                      QWidget *parent = nullptr);

    // The version as major.minor.revision.
    static QString versionText(const QString &version);

    QLineEdit *codeField() const { return m_code; }
    QLineEdit *passwordField() const { return m_password; }
    QPushButton *okButton() const { return m_ok; }
    QPushButton *cancelButton() const { return m_cancel; }

public slots:
    // OK: the checks in order, then the login.
    void confirm();
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // The user passes the logged-in check, asking when he is logged in elsewhere.
    enum class Connected { Go, Stop, ReadAgain };
    Connected checkConnected(const LoginUser &user);
    void refuse(const char *message);
    void logIn(const LoginUser &user);

    Ui::AppContext &m_ctx;
    LoginStore m_store;
    QLabel *m_appName;
    QLabel *m_version;
    QLineEdit *m_code;
    QLineEdit *m_password;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    bool m_leaving = false;
};

} // namespace Orlavo::Shell
