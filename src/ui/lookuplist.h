#pragma once

#include "ui/frmrpt.h"
#include "ui/lookupquery.h"

#include <QDialog>
#include <QElapsedTimer>

#include <functional>
#include <optional>

class QLabel;
class QTableView;

namespace Orlavo::Ui {

class CodeField;
struct AppContext;
class LookupModel;

enum class LookupMode { Pick = 1, Print = 2 };

// What a field or a menu entry asks of a lookup list.
struct LookupRequest {
    QString table;
    QList<Services::LookupColumn> columns;
    QString title; // "Lista ..."
    int rowLimit = 10000;
    LookupMode mode = LookupMode::Pick;
    QString condition;                // the caller's own condition: program text, never typed
    Services::Params conditionParams; // the values the condition binds
    QString reportKey;                // printed in LookupMode::Print
};

// The lookup list: the rows of a table with the chosen columns, to pick one
// (its values go back to the caller) or to print the table's list.
class LookupList : public QDialog
{
    Q_OBJECT
public:
    LookupList(AppContext &context, LookupRequest request, QWidget *parent = nullptr);
    ~LookupList() override;

    // Reads the rows; false, after "Non ci sono record.", when there are none.
    bool load();
    int rowCount() const;
    // More rows matched than the list holds.
    bool limited() const { return m_limited; }
    // A row's values in column order, hidden columns included.
    QStringList values(int row) const;
    // The picked row's values; nothing unless a row was picked.
    const std::optional<QStringList> &chosen() const { return m_chosen; }
    void choose(int row);
    // Type-ahead: the first row whose first shown column starts with text.
    int findPrefix(const QString &text) const;
    // Prints, previews or writes the caller's report.
    bool print(Reporting::ReportOutput output, const QString &pdfPath = {});
    QTableView *view() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fitToRows();
    void fitColumnsToContent();
    int typeAheadColumn() const;

    AppContext &m_ctx;
    LookupRequest m_request;
    LookupModel *m_model;
    QTableView *m_view;
    QLabel *m_limitNote;
    bool m_limited = false;
    std::optional<QStringList> m_chosen;
    QString m_typed;
    QElapsedTimer m_lastKey;
};

// ShowLookupList: the list, modal; the chosen row's values, or nothing when
// the operator left it, or when it had no rows.
std::optional<QStringList> showLookupList(AppContext &context, const LookupRequest &request, QWidget *parent = nullptr);

// F4 or a double-click on the field opens the list the caller builds (from
// what the field holds, usually); the chosen row's first value goes into
// the field, as if typed, and the field keeps the focus.
void attachLookup(CodeField *field, AppContext &context, std::function<LookupRequest()> request);

// A code picked from the field's list is a code typed: once the list has
// closed, `left` runs as on leaving the field.
void leaveOnPick(CodeField *field, QObject *receiver, std::function<void()> left);

} // namespace Orlavo::Ui
