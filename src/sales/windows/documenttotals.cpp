#include "sales/windows/documenttotals.h"

#include "services/core/values.h"
#include "ui/inputfields.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Sales {

namespace {

constexpr std::pair<const char *, const char *> kFigures[] = {
    {"TOTALE_MER", "Totale merce"}, {"SCONTO", "Sconto"},       {"NETTO_MER", "Netto merce"},
    {"IMPONIBILE", "Imponibile"},   {"TOTALE", "Totale documento"}, {"RITENUTA", "Ritenuta"},
    {"TOT_NET", "Netto a pagare"},
};

QString amountText(double value, int decimals)
{
    return Services::formatAmount(value, decimals);
}

} // namespace

TotalsPanel::TotalsPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("totali"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_slots = new QTableWidget(kVatSlots, 4, this);
    m_slots->setObjectName(QStringLiteral("castellettoIva"));
    m_slots->setHorizontalHeaderLabels(
        {QStringLiteral("IVA"), QStringLiteral("Descrizione"), QStringLiteral("Imponibile"), QStringLiteral("Imposta")});
    m_slots->verticalHeader()->hide();
    m_slots->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    m_slots->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_slots->setColumnWidth(0, 45);
    m_slots->setColumnWidth(2, 95);
    m_slots->setColumnWidth(3, 85);
    m_slots->setFixedHeight(m_slots->horizontalHeader()->sizeHint().height() +
                            kVatSlots * (fontMetrics().height() + 4) + 4);
    for (int r = 0; r < kVatSlots; ++r) {
        for (int c = 0; c < 4; ++c) {
            auto *item = new QTableWidgetItem;
            if (c != 3)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            if (c >= 2)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_slots->setItem(r, c, item);
        }
    }
    connect(m_slots, &QTableWidget::cellChanged, this, [this](int, int column) {
        if (!m_filling && column == 3)
            emit vatTyped();
    });
    layout->addWidget(m_slots, 1);

    auto *figures = new QGridLayout;
    int row = 0;
    for (const auto &[name, caption] : kFigures) {
        auto *value = new QLabel(this);
        value->setObjectName(QStringLiteral("D_") + QString::fromLatin1(name));
        value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000.000.000,00")));
        value->setFrameShape(QFrame::StyledPanel);
        figures->addWidget(new QLabel(QString::fromUtf8(caption), this), row, 0);
        figures->addWidget(value, row++, 1);
        m_figures.insert(QString::fromLatin1(name), value);
    }
    layout->addLayout(figures);
}

void TotalsPanel::show(const Summary &summary, int decimals)
{
    m_filling = true;
    for (int r = 0; r < kVatSlots; ++r) {
        const VatSlot &slot = summary.vatSlots.at(size_t(r));
        const bool used = !slot.code.isEmpty();
        m_slots->item(r, 0)->setText(slot.code);
        m_slots->item(r, 1)->setText(slot.description);
        m_slots->item(r, 2)->setText(used ? amountText(slot.taxable, decimals) : QString());
        m_slots->item(r, 3)->setText(used ? Services::formatPlain(slot.vat, decimals) : QString());
    }
    m_filling = false;
    m_figures.value(QStringLiteral("TOTALE_MER"))->setText(amountText(summary.goods, decimals));
    m_figures.value(QStringLiteral("SCONTO"))->setText(amountText(summary.discount, decimals));
    m_figures.value(QStringLiteral("NETTO_MER"))->setText(amountText(summary.net, decimals));
    m_figures.value(QStringLiteral("IMPONIBILE"))->setText(amountText(summary.taxable(), decimals));
    m_figures.value(QStringLiteral("TOTALE"))->setText(amountText(summary.total, decimals));
    m_figures.value(QStringLiteral("RITENUTA"))->setText(amountText(summary.withholding, decimals));
    m_figures.value(QStringLiteral("TOT_NET"))->setText(amountText(summary.totalNet, decimals));
}

std::optional<double> TotalsPanel::typedVat(int slot) const
{
    const QString text = m_slots->item(slot, 3)->text().trimmed();
    if (!Services::isNumberText(text))
        return std::nullopt;
    return Services::sqlNumber(text, 5).toDouble();
}

void TotalsPanel::setTypedVat(int slot, const QString &text)
{
    m_slots->item(slot, 3)->setText(text);
}

void TotalsPanel::markVat(bool failing)
{
    m_filling = true;
    for (int r = 0; r < kVatSlots; ++r)
        m_slots->item(r, 3)->setBackground(failing && !m_slots->item(r, 0)->text().isEmpty() ? QBrush(Qt::red)
                                                                                              : QBrush());
    m_filling = false;
}

QString TotalsPanel::figure(const QString &name) const
{
    const QLabel *label = m_figures.value(name);
    return label ? label->text() : QString();
}

DueDatePanel::DueDatePanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scadenze"));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Scadenza"), this), 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Importo"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Provvigione"), this), 0, 3);
    const int dateWidth = fontMetrics().horizontalAdvance(QStringLiteral("00/00/00000")) + 16;
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        auto *date = new Ui::DateField(this);
        date->setObjectName(QStringLiteral("T_SCAD") + n);
        date->setFixedWidth(dateWidth);
        auto *amount = new Ui::NumberField(2, false, this);
        amount->setObjectName(QStringLiteral("T_IMPOSC") + n);
        amount->setAlignment(Qt::AlignRight);
        amount->setFixedWidth(110);
        auto *commission = new Ui::NumberField(2, false, this);
        commission->setObjectName(QStringLiteral("T_PROVSC") + n);
        commission->setAlignment(Qt::AlignRight);
        commission->setFixedWidth(90);
        grid->addWidget(new QLabel(n + QLatin1Char('.'), this), i + 1, 0);
        grid->addWidget(date, i + 1, 1);
        grid->addWidget(amount, i + 1, 2);
        grid->addWidget(commission, i + 1, 3);
        m_dates.append(date);
        m_amounts.append(amount);
        m_commissions.append(commission);
    }
    m_imbalance = new QLabel(this);
    m_imbalance->setObjectName(QStringLiteral("D_SQUADRATURA"));
    grid->addWidget(m_imbalance, 5, 0, 1, 4);
}

void DueDatePanel::show(const QList<Masterdata::DueLine> &lines, int decimals)
{
    clear();
    for (qsizetype i = 0; i < lines.size() && i < 4; ++i) {
        m_dates.at(i)->setDate(lines.at(i).date);
        m_amounts.at(i)->setDecimals(decimals);
        m_amounts.at(i)->setValue(lines.at(i).amount);
        if (lines.at(i).commission != 0)
            m_commissions.at(i)->setValue(lines.at(i).commission);
    }
}

void DueDatePanel::clear()
{
    for (int i = 0; i < 4; ++i) {
        m_dates.at(i)->clear();
        m_amounts.at(i)->clear();
        m_commissions.at(i)->clear();
    }
    m_imbalance->clear();
}

QList<DueDatePanel::Typed> DueDatePanel::typed() const
{
    QList<Typed> result;
    for (int i = 0; i < 4; ++i)
        result.append({m_dates.at(i)->text().trimmed(), m_amounts.at(i)->text().trimmed(),
                       m_commissions.at(i)->text().trimmed()});
    return result;
}

QList<Masterdata::DueLine> DueDatePanel::lines() const
{
    QList<Masterdata::DueLine> result;
    for (int i = 0; i < 4; ++i) {
        const Masterdata::DueLine line{m_dates.at(i)->date(), m_amounts.at(i)->value(), m_commissions.at(i)->value()};
        if (line.date.isValid() || line.amount != 0)
            result.append(line);
    }
    return result;
}

void DueDatePanel::showImbalance(double amount, double commission, int decimals)
{
    QStringList parts;
    if (Services::roundDec(amount, decimals) != 0)
        parts.append(QStringLiteral("Squadratura importi: ") + Services::formatAmount(amount, decimals));
    if (Services::roundDec(commission, decimals) != 0)
        parts.append(QStringLiteral("Squadratura provvigioni: ") + Services::formatAmount(commission, decimals));
    m_imbalance->setText(parts.join(QStringLiteral("   ")));
}

QWidget *DueDatePanel::field(const QString &column) const
{
    const int line = column.right(1).toInt() - 1;
    if (line < 0 || line > 3)
        return nullptr;
    if (column.startsWith(QLatin1String("SCAD")))
        return m_dates.at(line);
    if (column.startsWith(QLatin1String("IMPOSC")))
        return m_amounts.at(line);
    if (column.startsWith(QLatin1String("PROVSC")))
        return m_commissions.at(line);
    return nullptr;
}

QString DueDatePanel::imbalanceText() const
{
    return m_imbalance->text();
}

} // namespace Orlavo::Sales
