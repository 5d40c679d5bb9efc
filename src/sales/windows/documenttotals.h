#pragma once

#include "masterdata/rules/duedates.h"
#include "sales/rules/summary.h"

#include <QList>
#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QTableWidget;

namespace Orlavo::Ui {
class DateField;
class NumberField;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

// The figures of a document: the five VAT slots (the VAT of a slot may be
// typed over), the goods, discount, net, total, withholding and the amount
// to pay.
class TotalsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit TotalsPanel(QWidget *parent = nullptr);

    void show(const Summary &summary, int decimals);
    // The VAT the operator typed into slot `slot`; nothing when the cell
    // holds no number.
    std::optional<double> typedVat(int slot) const;
    void setTypedVat(int slot, const QString &text);
    QTableWidget *vatTable() const { return m_slots; }
    // The typed VAT refused: its cells red, or clear again.
    void markVat(bool failing);
    QString figure(const QString &name) const;

signals:
    void vatTyped();

private:
    QTableWidget *m_slots;
    QHash<QString, QLabel *> m_figures;
    bool m_filling = false;
};

// The four due dates with their amounts and commission shares, and what
// they leave unbalanced.
class DueDatePanel : public QWidget
{
    Q_OBJECT
public:
    explicit DueDatePanel(QWidget *parent = nullptr);

    void show(const QList<Masterdata::DueLine> &lines, int decimals);
    void clear();
    // The lines as typed: date, amount and commission texts.
    struct Typed {
        QString date, amount, commission;
    };
    QList<Typed> typed() const;
    // The lines with a date and an amount, read as figures.
    QList<Masterdata::DueLine> lines() const;
    void showImbalance(double amount, double commission, int decimals);
    Ui::DateField *date(int line) const { return m_dates.at(line); }
    Ui::NumberField *amount(int line) const { return m_amounts.at(line); }
    Ui::NumberField *commission(int line) const { return m_commissions.at(line); }
    // The field of a checked column (SCAD1, IMPOSC2, PROVSC3...).
    QWidget *field(const QString &column) const;
    QString imbalanceText() const;

private:
    QList<Ui::DateField *> m_dates;
    QList<Ui::NumberField *> m_amounts;
    QList<Ui::NumberField *> m_commissions;
    QLabel *m_imbalance;
};

} // namespace Orlavo::Sales
