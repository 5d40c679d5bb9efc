#pragma once

#include "ui/codetableeditor.h"
#include "ui/lookuplist.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QRadioButton;

namespace Orlavo::Accounting {

// frmCauCon: the accounting causals, the fields over the list. Coded fields
// show their description when left ("CASSA" for the cash code "***"); the
// deductibility is a frame of two options, and the Banca and Cassa boxes
// follow the bank-or-cash code, ticking Cassa writing "***".
class FrmCauCon : public Ui::CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmCauCon(Ui::AppContext &context, QWidget *parent = nullptr);

    QWidget *field(const QString &column) const override;
    QString value(const QString &column) const override;
    void setValue(const QString &column, const QString &text) override;
    bool hasChanges() const override;
    // "D" for "100 %", "S" for "50 %", empty for neither.
    QString deductibility() const;
    void setDeductibility(const QString &choice);
    QCheckBox *bankBox() const { return m_bankBox; }
    QCheckBox *cashBox() const { return m_cashBox; }

protected:
    void readUnbound(Services::Row &row) const override;
    void shown(const Services::Row &row) override;
    QString describe(const QString &column, const QString &code) const override;
    bool showProblems(const QList<Services::FieldProblem> &problems) override;

private:
    QGroupBox *makeDeductibility();
    QGroupBox *makeBankOrCash();
    void followBankCode();
    void boxTicked(QCheckBox *box, bool ticked);

    QGroupBox *m_deductible = nullptr;
    QButtonGroup *m_deductibleChoice = nullptr;
    QRadioButton *m_full = nullptr;
    QRadioButton *m_half = nullptr;
    QCheckBox *m_bankBox = nullptr;
    QCheckBox *m_cashBox = nullptr;
    QString m_shownDeductibility;
    bool m_following = false;
};

// The print list of the causals (TABCAUCO).
Ui::LookupRequest causalPrintList();

} // namespace Orlavo::Accounting
