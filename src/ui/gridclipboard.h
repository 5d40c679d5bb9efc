#pragma once

#include "services/core/keyfilter.h"

#include <QHash>
#include <QObject>

#include <functional>

class QTableView;

namespace Orlavo::Ui {

// Clipboard keys for a grid, the way a spreadsheet exchanges cells:
// Ctrl+C copies the selected cells as lines of tab-separated values (the
// rectangle around the selection, hidden rows and columns left out), Ctrl+X
// copies and then empties the editable ones, Ctrl+V writes such lines from
// the current cell rightwards and downwards. A pasted value goes through
// its column's filter as if typed: a refused value leaves its cell as it
// was. Read-only cells (no Qt::ItemIsEditable) and grids with no edit
// triggers are never written; nothing goes past the last row or column.
// While a cell is being edited its editor keeps its own keys.
class ClipboardKeys : public QObject
{
    Q_OBJECT

public:
    // Watches the grid's keys; the grid owns the helper.
    explicit ClipboardKeys(QTableView *grid);

    // Columns with no filter of their own take FreeText.
    void setColumnFilter(int column, Services::FieldType type, bool flag = false);
    // As for InputField: usually &AppState::upperCaseKeys; null means on.
    void setUpperCaseSwitch(const bool *upperCaseKeys);
    void setUpperCaseSource(std::function<bool()> source);

    // The selection as the clipboard gets it.
    QString selectedText() const;
    void copy() const;
    // The number of cells emptied or written.
    int cut();
    int paste();
    int paste(const QString &lines);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct ColumnFilter {
        Services::FieldType type = Services::FieldType::FreeText;
        bool flag = false;
    };

    bool writable() const;
    bool upperCase() const;

    QTableView *m_grid;
    QHash<int, ColumnFilter> m_filters;
    std::function<bool()> m_upperCase;
};

} // namespace Orlavo::Ui
