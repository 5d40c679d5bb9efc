#pragma once

#include "stores/usersadmin.h"

#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace Orlavo::Shell {

struct AppContext;

// The users window: the list of users, and the code, description, password
// and type of the one being entered or changed.
class FrmUtenti : public QDialog
{
    Q_OBJECT
public:
    explicit FrmUtenti(AppContext &context, QWidget *parent = nullptr);

    // How the application ends after a fatal error; QCoreApplication::exit(1)
    // unless set.
    void setExitHook(std::function<void(int)> hook) { m_exitHook = std::move(hook); }

    // The checks run on leaving the code field; false when the code is taken.
    bool checkCode();
    // Registra, Elimina, Annulla.
    void save();
    void remove();
    void cancel();
    // Loads the grid's row into the fields.
    void loadRow(int row);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void reloadGrid();
    void clearFields();
    void showRow(const UserRow &row);
    // Agent codes may only consult: types 1 to 3 are closed to them.
    void applyAgentRule(const QString &code);
    int chosenType() const;
    void setChosenType(int type);
    bool confirm(const QString &question);

    AppContext &m_context;
    std::function<void(int)> m_exitHook;
    QList<UserRow> m_users;
    std::optional<UserRow> m_loaded;

    QTableWidget *m_grid;
    QLineEdit *m_code;
    QLineEdit *m_description;
    QLineEdit *m_password;
    QPushButton *m_show;
    std::array<QRadioButton *, 4> m_types{};
    QButtonGroup *m_typeGroup;
    QPushButton *m_save;
    QPushButton *m_remove;
    QPushButton *m_cancel;
    QPushButton *m_exit;
};

} // namespace Orlavo::Shell
