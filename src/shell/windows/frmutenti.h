#pragma once

#include "shell/stores/usersadmin.h"

#include "ui/recordwindow.h"

#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The users window: the list of users, and the code, description, password
// and type of the one being entered or changed.
class FrmUtenti : public Ui::RecordWindow
{
    Q_OBJECT
public:
    explicit FrmUtenti(Ui::AppContext &context, QWidget *parent = nullptr);

    // How the application ends after a fatal error; QCoreApplication::exit(1)
    // unless set.
    void setExitHook(std::function<void(int)> hook) { m_exitHook = std::move(hook); }

    // False when the code is taken.
    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;

private:
    void reloadGrid();
    void clearFields();
    void showRow(const UserRow &row);
    // Agent codes may only consult: types 1 to 3 are closed to them.
    void applyAgentRule(const QString &code);
    int chosenType() const;
    void setChosenType(int type);

    std::function<void(int)> m_exitHook;
    QList<UserRow> m_users;
    std::optional<UserRow> m_loaded;

    QLineEdit *m_code;
    QLineEdit *m_description;
    QLineEdit *m_password;
    QPushButton *m_show;
    std::array<QRadioButton *, 4> m_types{};
    QButtonGroup *m_typeGroup;
};

} // namespace Orlavo::Shell
