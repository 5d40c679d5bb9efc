#pragma once

#include "masterdata/stores/pricelookup.h"

#include <QDialog>

#include <optional>

class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// "Listino prezzi ricaricati": the suppliers' rows of a sale list for one
// item, to pick the one a document row takes. The sale view shows the
// list's type ('BASE' standard, 'PERS.' personal), list price, discounts,
// net and fixed price; the marked-up view the supplier, list price,
// purchase discounts, purchase price, markup and marked-up price.
class PricePick : public QDialog
{
    Q_OBJECT
public:
    PricePick(const QList<ListPrice> &rows, bool markedUpView, QWidget *parent = nullptr);

    QTableWidget *grid() const { return m_grid; }
    // The picked row; nothing until a row is picked.
    const std::optional<ListPrice> &picked() const { return m_picked; }
    void pick(int row);

private:
    QList<ListPrice> m_rows;
    QTableWidget *m_grid = nullptr;
    std::optional<ListPrice> m_picked;
};

} // namespace Orlavo::Masterdata
