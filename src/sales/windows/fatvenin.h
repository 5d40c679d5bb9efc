#pragma once

#include "sales/stores/invoicechecks.h"
#include "sales/stores/invoicecustomer.h"
#include "sales/stores/invoiceentry.h"
#include "sales/stores/invoiceposting.h"
#include "sales/stores/invoicesettings.h"
#include "sales/windows/documentfields.h"

#include <QDialog>
#include <QHash>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

class DocumentRows;
class DueDatePanel;
class TotalsPanel;
struct RowContext;

// FatVenIn: a new sales document — invoice, credit or debit note, tax
// receipt, or the proposal of one. The header with the customer's
// defaults, the rows, the VAT summary and the due dates, recomputed on
// every change; Conferma checks the whole document (every failing field
// red, the first message), asks, and posts it.
class FatVenIn : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Invoice, Receipt, Proposal };

    FatVenIn(Ui::AppContext &context, Mode mode, QWidget *parent = nullptr);
    ~FatVenIn() override;

    Mode mode() const { return m_mode; }
    DocumentFields &fields() { return *m_fields; }
    DocumentRows *rows() const { return m_rows; }
    TotalsPanel *totals() const { return m_totals; }
    DueDatePanel *dues() const { return m_dues; }
    QComboBox *series() const { return m_series; }
    QCheckBox *withholdingBox() const { return m_withholding; }
    QCheckBox *accompanyingBox() const { return m_accompanying; }
    QTabWidget *tabs() const { return m_tabs; }
    QLabel *statusLine() const { return m_status; }
    const Summary &summary() const { return m_summary; }

    // Types in a header field and leaves it, as the operator would.
    void setValue(const QString &column, const QString &text);
    QString value(const QString &column) const;

    // The document as typed, ready for the checks.
    TypedInvoice typed();
    // Conferma: true once the document is posted.
    bool confirm();
    // The numbers the last posting took.
    const Posted &lastPosted() const { return m_posted; }
    bool hasChanges() const;
    // Fills the window with a stored document's figures (a proposal copied
    // into an invoice): a new document, numbers and dates its own.
    void fillFrom(const SalesDocument &document);

    void reject() override;

protected:
    // The window on a stored document (FatVenAg): its figures shown, its
    // numbers kept, Conferma updating it.
    FatVenIn(Ui::AppContext &context, const SalesDocument &stored, QWidget *parent);
    // Shows the stored document as it is in the archive; false when it is
    // no longer there.
    bool reload();
    const std::optional<SalesDocument> &stored() const { return m_stored; }
    // The typed document with its figures, ready for the store.
    InvoicePosting posting(const TypedInvoice &invoice);
    bool ask(const QString &question, bool yesNo);
    void tell(const QString &text);
    // What the store said when nothing was written; true when it was.
    bool written(const Posted &posted);
    Ui::AppContext &context() { return m_context; }
    QHBoxLayout *buttonRow() const { return m_buttons; }
    // Called once the stored document is shown again, and after Conferma
    // wrote it.
    virtual void shown() {}
    virtual void afterWrite() {}
    // With changes typed, "Rinuncia operazioni su dati correnti ?": true
    // when they may go (none, or Sì).
    bool mayDropChanges();

private:
    void showStored(const SalesDocument &document);
    bool updateStored(const TypedInvoice &invoice);
    QString rowsSnapshot() const;
    void build();
    QWidget *makeHeader();
    QWidget *makeAccounts();
    QWidget *makeExpenses();
    QWidget *makeWithholding();
    QWidget *makeRows();
    QWidget *makeFigures();
    void clear();
    void proposeDates();
    void proposeWithholding();
    void fieldLeft(const QString &column);
    void customerLeft();
    void agentLeft();
    void placeChosen(int index);
    void recompute();
    RowContext rowContext() const;
    Services::Row header() const;
    std::optional<Services::Row> delivery() const;
    bool vatAccepted();
    void showProblems(const QList<Services::FieldProblem> &problems);
    void clearMarks();
    QString amountsTitle() const;
    int decimals() const;
    QString year() const;

    Ui::AppContext &m_context;
    const Mode m_mode;
    InvoiceSettings m_settings;
    DocumentFields *m_fields = nullptr;
    DocumentRows *m_rows = nullptr;
    TotalsPanel *m_totals = nullptr;
    DueDatePanel *m_dues = nullptr;
    QComboBox *m_series = nullptr;
    QComboBox *m_places = nullptr;
    QCheckBox *m_withholding = nullptr;
    QCheckBox *m_accompanying = nullptr;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_confirm = nullptr;
    QPushButton *m_exit = nullptr;
    Summary m_summary;
    QHash<QString, VatRate> m_rates;
    std::optional<InvoiceCustomer> m_customer;
    std::optional<RowItem> m_specialItem; // CALCOLO_TOTALI_SPECIALI's item
    int m_priceDecimals = 2;              // ARTICOLI DECIMALI_PREZZO1, read once
    std::optional<double> m_agentRate;
    Posted m_posted;
    QString m_shown;
    QString m_rowsShown;
    QString m_dueSource;  // what the due dates shown were computed from
    QString m_lastSource; // what the last computation would compute them from
    bool m_computing = false;
    bool m_loading = false;
    std::optional<SalesDocument> m_stored;
    QLabel *m_numbers = nullptr;
    QHBoxLayout *m_buttons = nullptr;
};

} // namespace Orlavo::Sales
