#include "warehouse/windows/f280rmag.h"

#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Warehouse {

namespace {

const QStringList kHeadings{
    QStringLiteral("Anno"),     QStringLiteral("N. reg."),  QStringLiteral("Data"),    QStringLiteral("Marca"),
    QStringLiteral("Articolo"), QStringLiteral("Caus."),    QStringLiteral("Cliente"), QStringLiteral("Fornitore"),
    QStringLiteral("Doc."),     QStringLiteral("Quantità"), QStringLiteral("Prezzo"),  QStringLiteral("Sc.1"),
    QStringLiteral("Sc.2"),     QStringLiteral("Sc.3"),     QStringLiteral("Netto"),   QStringLiteral("Totale")};

QString figure(double value, int decimals)
{
    return value == 0 ? QString() : Services::formatPlain(value, decimals);
}

} // namespace

F280RMag::F280RMag(Ui::AppContext &context, QWidget *parent) : QDialog(parent), m_context(context)
{
    setObjectName(QStringLiteral("f280Rmag"));
    setWindowTitle(QStringLiteral("Ricerca Movimenti di magazzino"));
    auto *layout = new QVBoxLayout(this);
    auto *filters = new QGridLayout;
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    int column = 0;
    for (const auto &[name, caption, field, width] :
         {std::tuple<const char *, const char *, Ui::InputField *, int>{"ANNO", "Anno", new Ui::CodeField(4, this), 60},
          {"MARCA", "Marca", new Ui::CodeField(3, this), 50},
          {"ARTICOLO", "Articolo", new Ui::CodeField(30, this), 150},
          {"CAUSALE", "Causale", new Ui::CodeField(3, this), 50},
          {"DATA_DA", "Data reg. da", new Ui::DateField(this), dateWidth},
          {"DATA_A", "a", new Ui::DateField(this), dateWidth},
          {"NRO_REG", "Numero", new Ui::NumberField(0, true, this), 80}}) {
        field->setObjectName(QStringLiteral("T_") + QString::fromLatin1(name));
        field->setFixedWidth(width);
        field->setUpperCaseSwitch(&context.state.upperCaseKeys);
        m_fields.insert(QString::fromLatin1(name), field);
        auto *label = new QLabel(QString::fromUtf8(caption), this);
        label->setBuddy(field);
        filters->addWidget(label, 0, column);
        filters->addWidget(field, 1, column++);
    }
    m_fields.value(QStringLiteral("ANNO"))->setText(context.state.year);
    auto *find = new QPushButton(QStringLiteral("&Ricerca"), this);
    find->setObjectName(QStringLiteral("ricerca"));
    find->setDefault(true);
    connect(find, &QPushButton::clicked, this, [this] { search(); });
    filters->addWidget(find, 1, column++);
    filters->setColumnStretch(column, 1);
    layout->addLayout(filters);

    m_grid = new QTableWidget(0, int(kHeadings.size()), this);
    m_grid->setObjectName(QStringLiteral("lista"));
    m_grid->setHorizontalHeaderLabels(kHeadings);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { choose(row); });
    layout->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *open = new QPushButton(QStringLiteral("&Modifica"), this);
    open->setObjectName(QStringLiteral("modifica"));
    connect(open, &QPushButton::clicked, this, [this] { choose(m_grid->currentRow()); });
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    exit->setObjectName(QStringLiteral("esci"));
    connect(exit, &QPushButton::clicked, this, &F280RMag::reject);
    buttons->addWidget(open);
    buttons->addWidget(exit);
    layout->addLayout(buttons);
    resize(1180, 560);
}

void F280RMag::setValue(const QString &name, const QString &text)
{
    if (Ui::InputField *f = field(name))
        f->setText(text);
}

MovementFilter F280RMag::filter() const
{
    const auto text = [this](const char *name) { return m_fields.value(QString::fromLatin1(name))->text(); };
    return {text("ANNO"),    text("MARCA"),  text("ARTICOLO"), text("CAUSALE"),
            text("DATA_DA"), text("DATA_A"), text("NRO_REG")};
}

bool F280RMag::search()
{
    Ui::clearFieldErrors(this);
    const MovementFilter typed = filter();
    const QList<Services::FieldProblem> problems = filterProblems(m_context.db, typed);
    if (!problems.isEmpty()) {
        for (const Services::FieldProblem &problem : problems)
            Ui::markFieldError(field(problem.column), true);
        field(problems.first().column)->setFocus(Qt::OtherFocusReason);
        m_context.prompter.error(problems.first().message, QStringLiteral("Errore"));
        return false;
    }
    const auto found = searchMovements(m_context.db, typed);
    if (!found)
        return false;
    m_found = *found;
    const bool limited = m_found.size() > kSearchLimit;
    if (limited)
        m_found.removeLast();
    m_grid->setRowCount(int(m_found.size()));
    for (int r = 0; r < m_found.size(); ++r) {
        const FoundMovement &m = m_found.at(r);
        const QStringList cells{m.year,
                                QString::number(m.number),
                                m.date.toString(QStringLiteral("dd/MM/yyyy")),
                                m.brand,
                                m.item,
                                m.causal,
                                m.customer,
                                m.supplier,
                                m.document,
                                Services::formatPlain(m.quantity, 3),
                                figure(m.price, m.priceDecimals),
                                figure(m.discounts[0], 2),
                                figure(m.discounts[1], 2),
                                figure(m.discounts[2], 2),
                                figure(m.netPrice, m.priceDecimals),
                                Services::formatPlain(m.total, 2)};
        for (int c = 0; c < cells.size(); ++c) {
            auto *item = new QTableWidgetItem(cells.at(c));
            if (c == 1 || c >= 9)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_grid->setItem(r, c, item);
        }
    }
    m_grid->resizeColumnsToContents();
    if (m_found.isEmpty())
        m_context.prompter.info(QStringLiteral("Nessun movimento trovato"), windowTitle());
    else if (limited)
        m_context.prompter.info(
            QStringLiteral("Sono elencati i primi %1 movimenti: restringere la ricerca per vedere gli altri.")
                .arg(kSearchLimit),
            windowTitle());
    return true;
}

void F280RMag::choose(int row)
{
    if (row < 0 || row >= m_found.size() || !m_chosen)
        return;
    m_chosen(m_found.at(row).year, m_found.at(row).number);
}

} // namespace Orlavo::Warehouse
