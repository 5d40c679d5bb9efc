#pragma once

#include "rules/codetables.h"
#include "stores/codetablestore.h"

#include "windows/recordwindow.h"

#include <optional>

namespace Orlavo::Services {
class CodeField;
class TextField;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

struct AppContext;

// The window of one code table: the list of its codes, and the code and
// description of the element being entered or changed.
class FrmGetab : public RecordWindow
{
    Q_OBJECT
public:
    FrmGetab(AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

    const CodeTable &table() const { return m_table; }

    // False when a new code is taken.
    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;

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

    Services::CodeField *m_code;
    Services::TextField *m_description;
};

// Opens the window of a code table, or brings forward the one already open
// for it: one window per table. The window deletes itself when closed.
FrmGetab *openCodeTable(AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

} // namespace Orlavo::Shell
