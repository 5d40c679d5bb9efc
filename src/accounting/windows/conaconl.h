#pragma once

#include "accounting/stores/entrystore.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
class WindowHost;
} // namespace Orlavo::Ui

namespace Orlavo::Accounting {

class ConACon;
class JournalFilterPanel;

// ConAConL: the lines of the entries typed by hand, account to account
// ("CC") or cash receipts ("CO"), picked by the journal's filters, by year,
// number and sequence. Choosing a line opens its entry in ConACon; after a
// change there the list reads again.
class ConAConL : public QDialog
{
    Q_OBJECT
public:
    ConAConL(Ui::AppContext &context, EntryMode mode, QWidget *parent = nullptr);

    JournalFilterPanel *filters() const { return m_filters; }
    QTableWidget *grid() const { return m_grid; }
    // Cerca: false after a wrong filter's message.
    bool search();
    // The entry of a listed line, shown by the presenter; nothing when it
    // is gone meanwhile (the operator was told).
    ConACon *openRow(int row);
    // How an opened entry is shown; by default a window of its own.
    void setPresenter(std::function<void(ConACon *)> presenter) { m_presenter = std::move(presenter); }
    // The line's year and entry number.
    std::pair<QString, int> entryOf(int row) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::AppContext &m_context;
    const EntryMode m_mode;
    JournalFilterPanel *m_filters;
    QTableWidget *m_grid;
    QLabel *m_note;
    std::function<void(ConACon *)> m_presenter;
};

// The menu's entry: the list of the mode, its chosen entries in the frame.
void openEntryList(Ui::WindowHost &host, Ui::AppContext &context, EntryMode mode);

} // namespace Orlavo::Accounting
