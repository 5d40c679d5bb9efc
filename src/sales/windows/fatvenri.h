#pragma once

#include "sales/stores/invoicesearch.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
class InputField;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

// FatVenRi: the documents of a year and of the window's family (the tax
// receipts, the invoices and notes, or the proposals), by number and
// customer; a row opens it in FatVenAg.
class FatVenRi : public QDialog
{
    Q_OBJECT
public:
    FatVenRi(Ui::AppContext &context, Family family, InvoiceFilter::Receipts receipts, QWidget *parent = nullptr);

    // Filter fields: ANNO, DA_NUMERO, A_NUMERO, CLIENTE.
    Ui::InputField *field(const QString &name) const;
    void setValue(const QString &name, const QString &text);
    QTableWidget *grid() const { return m_grid; }
    // Reads the list again; false after the message of a filter's problem.
    bool search();
    void choose(int row);
    void setOnChosen(std::function<void(Family, const QString &year, int number)> chosen)
    {
        m_chosen = std::move(chosen);
    }

private:
    Ui::AppContext &m_context;
    InvoiceFilter m_filter;
    QList<Ui::InputField *> m_fields;
    QTableWidget *m_grid = nullptr;
    QLabel *m_note = nullptr;
    QList<ListedInvoice> m_found;
    std::function<void(Family, const QString &, int)> m_chosen;
};

} // namespace Orlavo::Sales
