#pragma once

#include "masterdata/rules/codetables.h"
#include "masterdata/stores/codetablestore.h"

#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <optional>

namespace Orlavo::Ui {
class CodeField;
class TextField;
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The window of one code table: the list of its codes, and the code and
// description of the element being entered or changed.
class FrmGetab : public Ui::RecordWindow
{
    Q_OBJECT
public:
    FrmGetab(Ui::AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

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

    const CodeTable m_table;
    QList<CodeRow> m_rows;
    std::optional<CodeRow> m_loaded;

    Ui::CodeField *m_code;
    Ui::TextField *m_description;
};

// Opens the window of a code table, or brings forward the one already open
// for it: one window per table. The window deletes itself when closed.
FrmGetab *openCodeTable(Ui::AppContext &context, const CodeTable &table, QWidget *parent = nullptr);

// The list of a code table: code and description (widths 6 and 40), in
// print form with the table's report, or to pick a code.
Ui::LookupRequest codeTableList(const CodeTable &table, Ui::LookupMode mode);

} // namespace Orlavo::Masterdata
