#pragma once

#include "accounting/stores/entryupdate.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
class CodeField;
class InputField;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Accounting {

enum class EntrySide { Debit, Credit };

// What the two entry windows share: the header (year, dates, numbers,
// causal, description, total, VAT code, bank or cash, customer, supplier,
// cost centre) and the debit and credit grids. Leaving a coded field shows
// its description or its message; a causal fills the accounts; in a cash
// receipt the total, the VAT code and the accounts split the amounts as
// they change. Customer, supplier and cost centre apply to the whole entry
// or, with "Applica alla riga selezionara", to the selected row only.
class EntryWindow : public QDialog
{
    Q_OBJECT
public:
    // The grids' columns the operator sees.
    enum GridColumn { AccountColumn, AccountTextColumn, TextColumn, AmountColumn };

    EntryMode mode() const { return m_mode; }
    // Header fields by column: ANNO, DATA_INT, NRO_INT, CAUSALE, DESCRI,
    // TOTALE, DATA_REG, NRO_REG, COD_IVA, BANCA, CLIENTE, FORNITORE, CCOS,
    // NRO_DOC, DATA_DOC.
    QLineEdit *field(const QString &column) const;
    QString value(const QString &column) const;
    // Types in a header field and leaves it, as the operator would.
    void setValue(const QString &column, const QString &text);
    // What shows beside a coded field.
    QString description(const QString &column) const;

    QTableWidget *grid(EntrySide side) const;
    QString cell(EntrySide side, int row, int column) const;
    // Types in a cell of a grid and leaves it.
    void setCell(EntrySide side, int row, int column, const QString &text);
    bool cellMarked(EntrySide side, int row, int column) const;
    void selectRow(EntrySide side, int row);
    // Opens "Lista CONTI" for a row's account (double-click or F4).
    void pickAccount(EntrySide side, int row);

    // "Applica alla riga selezionara" rather than "Applica al movimento".
    bool perRow() const;
    void setPerRow(bool perRow);
    // The status line: "Riga sel: 2 Col: Dare" while applying to a row.
    QString statusText() const;
    // The sums shown under the grids.
    double sideTotal(EntrySide side) const;

    // The entry as the fields hold it.
    ManualEntry typed() const;
    // Something typed since the window was emptied or loaded.
    bool hasChanges() const;

    // Esci and closing: with data entered, "Rinuncia operazioni su dati
    // correnti ?" first.
    void reject() override;

protected:
    EntryWindow(Ui::AppContext &context, EntryMode mode, QWidget *parent);

    // Lays out the header, the grids and the given buttons.
    void build(const QList<QPushButton *> &buttons);
    QPushButton *makeButton(const QString &caption, const char *name);
    // The last button the leaving of a field does not count towards.
    void setExitButton(QPushButton *exit) { m_exit = exit; }

    // An empty entry of the working year, dates proposed.
    void clearEntry();
    // A stored entry: header from its first line, rows by sign.
    void showEntry(const LoadedEntry &loaded);
    // A generated entry: only descriptions, accounts and cost centres change.
    void lockGenerated();
    bool locked() const { return m_locked; }
    // What the operator changed on a generated entry's lines.
    EntryChange change() const;
    // The state the changes are measured against.
    void markShown();

    // The entry checks (the last failing one speaks, title "ERRORE"), then
    // the balance; false after the message. The grids lose their empty rows
    // first.
    bool passesChecks(ManualEntry &entry);
    // A generated entry's accounts and cost centre.
    bool passesLineChecks();
    // With data entered, "Rinuncia operazioni su dati correnti ?": true to drop them.
    bool mayDropInput();
    // A question of the window: true for OK.
    bool confirm(const QString &question);
    void error(const QString &message);
    // "Data registrazione errata" style problems: field red, cursor there.
    void markHeader(const QString &column, bool failing);

    bool eventFilter(QObject *watched, QEvent *event) override;

    Ui::AppContext &m_context;
    const EntryMode m_mode;
    QLabel *m_printed = nullptr;

private:
    Ui::InputField *addField(const QString &column, Ui::InputField *field, int width, bool typed = true);
    Ui::CodeField *addCoded(const QString &column, int length, int width, std::function<Ui::LookupRequest()> list);
    QLabel *addDescription(const QString &column, int width);
    QWidget *makeHeader();
    QWidget *makeParties();
    QWidget *makeGrid(EntrySide side);
    QTableWidget *makeTable(EntrySide side);

    void fieldLeft(const QString &column);
    void causalLeft();
    void codedLeft(const QString &column);
    void partyLeft(const QString &column);
    void accountLeft(EntrySide side, int row);
    void cellEdited(EntrySide side, int row, int column);
    void storeOnRow(const QString &column);
    void showRowParties();
    void describeParties();
    void rowSelected(EntrySide side, int row);
    void resplit();
    void keepRows(EntrySide side);
    void addRows(EntrySide side, int count);
    void setLines(EntrySide side, const QList<std::pair<EntryRow, int>> &lines);
    void compactGrid(EntrySide side);
    void updateTotals();
    void updateStatus();
    void clearMarks();
    void markCell(EntrySide side, int row, int column, bool failing);
    void focusProblem(const QString &column, const QString &message);

    int decimals() const;
    QList<EntryRow> rows(EntrySide side) const;
    void setRow(EntrySide side, int row, const EntryRow &value, int sequence = 0);
    QString snapshot() const;

    QHash<QString, Ui::InputField *> m_fields;
    QHash<QString, QLabel *> m_descriptions;
    QTableWidget *m_debit = nullptr;
    QTableWidget *m_credit = nullptr;
    QLabel *m_debitTotal = nullptr;
    QLabel *m_creditTotal = nullptr;
    QLabel *m_causalType = nullptr;
    QLabel *m_status = nullptr;
    QRadioButton *m_toEntry = nullptr;
    QRadioButton *m_toRow = nullptr;
    QPushButton *m_exit = nullptr;
    EntrySide m_selectedSide = EntrySide::Debit;
    int m_selectedRow = -1;
    bool m_filling = false;
    bool m_locked = false;
    QString m_shown;
};

} // namespace Orlavo::Accounting
