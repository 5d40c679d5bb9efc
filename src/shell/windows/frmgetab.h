#pragma once

#include "rules/codetables.h"
#include "stores/codetablestore.h"

#include <QDialog>

#include <optional>

class QPushButton;
class QTableWidget;

namespace Orlavo::Services {
class CodeField;
class TextField;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

struct AppContext;

// The window of one code table: the list of its codes, and the code and
// description of the element being entered or changed.
class FrmGetab : public QDialog
{
    Q_OBJECT
public:
    FrmGetab(AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

    const CodeTable &table() const { return m_table; }

    // The check run on leaving the code field; false when a new code is taken.
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
    void showRow(const CodeRow &row);
    // The row on screen has gone: the message, and the input becomes new.
    void rowGone();
    QString typedCode() const;
    bool confirm(const QString &question);
    void refuse(const char *text);

    AppContext &m_context;
    const CodeTable m_table;
    QList<CodeRow> m_rows;
    std::optional<CodeRow> m_loaded;

    QTableWidget *m_grid;
    Services::CodeField *m_code;
    Services::TextField *m_description;
    QPushButton *m_save;
    QPushButton *m_remove;
    QPushButton *m_cancel;
    QPushButton *m_exit;
};

// Opens the window of a code table, or brings forward the one already open
// for it: one window per table. The window deletes itself when closed.
FrmGetab *openCodeTable(AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

} // namespace Orlavo::Shell
