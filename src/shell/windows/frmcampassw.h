#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The current user's password change: the old password, the new one twice.
class FrmCamPassw : public QDialog
{
    Q_OBJECT
public:
    explicit FrmCamPassw(Ui::AppContext &context, QWidget *parent = nullptr);

    // False when the current user is not in the users table: the window
    // has said so and shows nothing.
    bool usable() const { return m_usable; }
    int exec() override;

    // The checks run on leaving the old and the repeated password.
    bool checkOld();
    bool checkRepeat();
    // OK: every check, then the new password written.
    void confirm();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    Ui::AppContext &m_context;
    bool m_usable = false;
    bool m_checking = false;
    QString m_stored;
    QLineEdit *m_old;
    QLineEdit *m_new;
    QLineEdit *m_repeat;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};

} // namespace Orlavo::Shell
