#include "masterdata/windows/pricepick.h"

#include "masterdata/masterdata.h"
#include "masterdata/rules/pricelistrules.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

namespace {

QString price(double value)
{
    return priceText(value, kListDecimals);
}

QStringList pricepickCellsOf(const ListPrice &row, bool markedUpView)
{
    if (!markedUpView)
        return {row.standard ? QStringLiteral("BASE") : QStringLiteral("PERS."),
                price(row.listPrice),
                discountText(row.sale[0]),
                discountText(row.sale[1]),
                discountText(row.sale[2]),
                price(row.salePrice),
                price(row.fixedPrice)};
    return {row.supplierName.isEmpty() ? QStringLiteral(".FORNITORE STANDARD") : row.supplierName,
            price(row.listPrice),
            discountText(row.purchase[0]),
            discountText(row.purchase[1]),
            discountText(row.purchase[2]),
            price(row.purchasePrice),
            discountText(row.markup),
            price(row.markedUpPrice)};
}

} // namespace

PricePick::PricePick(const QList<ListPrice> &rows, bool markedUpView, QWidget *parent) : QDialog(parent), m_rows(rows)
{
    setObjectName(QStringLiteral("PricePick"));
    setWindowTitle(QStringLiteral("Listino prezzi ricaricati"));
    const QStringList headings =
        markedUpView
            ? QStringList{QStringLiteral("FORNITORE"), QStringLiteral("PR. LISTINO"),   QStringLiteral("SC.1"),
                          QStringLiteral("SC.2"),      QStringLiteral("SC.3"),          QStringLiteral("PR. ACQUISTO"),
                          QStringLiteral("% RIC."),    QStringLiteral("PR. RICARICATO")}
            : QStringList{QStringLiteral("TIPO"),     QStringLiteral("PR. LISTINO"), QStringLiteral("SC.1"),
                          QStringLiteral("SC.2"),     QStringLiteral("SC.3"),        QStringLiteral("PR. VENDITA"),
                          QStringLiteral("PR. FISSO")};
    m_grid = new QTableWidget(int(rows.size()), int(headings.size()), this);
    m_grid->setObjectName(QStringLiteral("griglia"));
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList cells = pricepickCellsOf(rows.at(r), markedUpView);
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c > 0)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
    if (!rows.isEmpty())
        m_grid->selectRow(0);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { pick(row); });

    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    ok->setObjectName(QStringLiteral("B_OK"));
    ok->setDefault(true);
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    exit->setObjectName(QStringLiteral("B_Esci"));
    connect(ok, &QPushButton::clicked, this, [this] { pick(m_grid->currentRow()); });
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(exit);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid);
    layout->addLayout(buttons);
    resize(760, 300);
}

void PricePick::pick(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_picked = m_rows.at(row);
    accept();
}

std::optional<ListPrice> pickListPrice(const QList<ListPrice> &rows, bool markedUpView, QWidget *parent)
{
    if (rows.size() <= 1)
        return rows.isEmpty() ? std::nullopt : std::optional(rows.first());
    PricePick pick(rows, markedUpView, parent);
    pick.exec();
    return pick.picked();
}

} // namespace Orlavo::Masterdata
