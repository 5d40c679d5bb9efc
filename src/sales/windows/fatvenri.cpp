#include "sales/windows/fatvenri.h"

#include "masterdata/masterdata.h"
#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Sales {

namespace {

const QStringList kNames{QStringLiteral("ANNO"), QStringLiteral("DA_NUMERO"), QStringLiteral("A_NUMERO"),
                         QStringLiteral("CLIENTE")};
const QStringList kHeadings{QStringLiteral("Serie"),   QStringLiteral("N. doc."),  QStringLiteral("Data doc."),
                            QStringLiteral("Tipo"),    QStringLiteral("Cliente"),  QStringLiteral("Ragione sociale"),
                            QStringLiteral("Totale"),  QStringLiteral("Stato"),    QStringLiteral("N. interno")};

} // namespace

FatVenRi::FatVenRi(Ui::AppContext &context, Family family, InvoiceFilter::Receipts receipts, QWidget *parent)
    : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("FatVenRi"));
    m_filter.family = family;
    m_filter.receipts = receipts;
    setWindowTitle(family == Family::Proposal ? QStringLiteral("Lista Proposte di fattura")
                   : receipts == InvoiceFilter::Receipts::Only ? QStringLiteral("Lista Ricevute fiscali")
                                                                : QStringLiteral("Lista Fatture di Vendita"));
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QGridLayout;
    const auto add = [this, filters](int column, const QString &caption, Ui::InputField *field, int width) {
        field->setObjectName(QStringLiteral("T_") + kNames.at(m_fields.size()));
        field->setFixedWidth(width);
        m_fields.append(field);
        Ui::addLabelled(filters, 0, column, caption, field);
    };
    add(0, QStringLiteral("Anno"), new Ui::NumberField(0, true, this), 60);
    add(2, QStringLiteral("Dal numero"), new Ui::NumberField(0, true, this), 80);
    add(4, QStringLiteral("Al numero"), new Ui::NumberField(0, true, this), 80);
    auto *customer = new Ui::CodeField(5, this);
    Ui::attachLookup(customer, context, [] { return Masterdata::customerList(); });
    add(6, QStringLiteral("Cliente"), customer, 70);
    auto *find = new QPushButton(QStringLiteral("&Cerca"), this);
    find->setObjectName(QStringLiteral("cerca"));
    find->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, [this] { search(); });
    filters->addWidget(find, 0, 8);
    filters->setColumnStretch(9, 1);
    layout->addLayout(filters);

    m_grid = new QTableWidget(0, int(kHeadings.size()), this);
    m_grid->setObjectName(QStringLiteral("documenti"));
    m_grid->setHorizontalHeaderLabels(kHeadings);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_grid->horizontalHeader()->setSectionResizeMode(5, QHeaderView::Stretch);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
    layout->addWidget(m_grid, 1);
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("nota"));
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_note, 1);
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    exit->setObjectName(QStringLiteral("esci"));
    exit->setAutoDefault(false);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);
    bottom->addWidget(exit);
    layout->addLayout(bottom);
    field(QStringLiteral("ANNO"))->setText(context.state.year);
    resize(1000, 560);
    search();
}

Ui::InputField *FatVenRi::field(const QString &name) const
{
    const qsizetype at = kNames.indexOf(name);
    return at < 0 ? nullptr : m_fields.at(at);
}

void FatVenRi::setValue(const QString &name, const QString &text)
{
    if (Ui::InputField *f = field(name))
        f->setText(text);
}

bool FatVenRi::search()
{
    Ui::clearFieldErrors(this);
    const auto number = [this](const char *name) { return field(QString::fromLatin1(name))->text().trimmed(); };
    if (number("ANNO").size() != 4) {
        Ui::markFieldError(field(QStringLiteral("ANNO")), true);
        m_context.prompter.error(QStringLiteral("Anno errato"), windowTitle());
        return false;
    }
    m_filter.year = number("ANNO");
    m_filter.from = number("DA_NUMERO").toInt();
    m_filter.to = number("A_NUMERO").toInt();
    m_filter.customer = number("CLIENTE").toInt();
    const auto found = searchInvoices(m_context.db, m_filter);
    if (!found)
        return false;
    m_found = found->rows;
    m_grid->setRowCount(int(m_found.size()));
    const int decimals = currencyOfYear(m_filter.year).decimals;
    for (int row = 0; row < m_found.size(); ++row) {
        const ListedInvoice &i = m_found.at(row);
        QStringList states;
        if (i.printed)
            states << QStringLiteral("Stampata");
        if (i.cancelled)
            states << QStringLiteral("Annullata");
        const QStringList cells{i.series,
                                QString::number(i.document),
                                i.date.toString(QStringLiteral("dd/MM/yyyy")),
                                i.type,
                                QString::number(i.customer),
                                i.name,
                                Services::formatAmount(i.total, decimals),
                                states.join(QStringLiteral(", ")),
                                QString::number(i.internal)};
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            if (column == 1 || column == 4 || column == 6 || column == 8)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(row, column, item);
        }
    }
    m_note->setText(found->limited ? QStringLiteral("Mostrati i primi %1 documenti: restringere la ricerca")
                                         .arg(kInvoiceListLimit)
                   : m_found.size() == 1 ? QStringLiteral("1 documento")
                                         : QStringLiteral("%1 documenti").arg(m_found.size()));
    return true;
}

void FatVenRi::choose(int row)
{
    if (row < 0 || row >= m_found.size() || !m_chosen)
        return;
    m_chosen(m_filter.family, m_found.at(row).year, m_found.at(row).internal);
}

} // namespace Orlavo::Sales
