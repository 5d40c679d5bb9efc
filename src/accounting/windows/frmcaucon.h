#pragma once

#include "services/data/recordstore.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <QHash>

#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace Orlavo::Ui {
struct AppContext;
class CodeField;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Accounting {

// frmCauCon: the accounting causals. The fields of one causal over the list
// of all of them (choosing one loads it to modify, Nuovo empties the form);
// Registra and Annulla only once something changed. Coded fields show their
// description when left ("CASSA" for the cash code "***"); the Banca and
// Cassa boxes follow the bank-or-cash code, and ticking Cassa writes "***".
// Registering runs every check (each failing field red, the last message
// shown), asks, compares the stored row and writes under the lock.
class FrmCauCon : public Ui::RecordWindow
{
    Q_OBJECT
public:
    explicit FrmCauCon(Ui::AppContext &context, QWidget *parent = nullptr);

    QWidget *field(const QString &column) const;
    QString value(const QString &column) const;
    // Sets a field as the operator would; a coded one shows its description.
    void setValue(const QString &column, const QString &text);
    QString description(const QString &column) const;
    // "D" for "100 %", "S" for "50 %", empty for neither.
    QString deductibility() const;
    void setDeductibility(const QString &choice);
    QCheckBox *bankBox() const { return m_bankBox; }
    QCheckBox *cashBox() const { return m_cashBox; }
    // "Inserimento" or "Modifica".
    QString mode() const;
    bool hasChanges() const;

    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    // Nuovo: an empty form for a new causal.
    void startNew();
    // The causal's row chosen in the list and shown; false when not listed.
    bool chooseCode(const QString &code);

protected:
    void fieldLeft(QLineEdit *field) override;

private:
    Ui::CodeField *addCode(const QString &column, int length);
    QWidget *addCoded(const QString &column, int length, std::function<Ui::LookupRequest()> list);
    QWidget *addText(const QString &column, int length);
    QGroupBox *makeDeductibility();
    QGroupBox *makeBankOrCash();
    Services::Record recordOf(const Services::Row &row) const;
    Services::Row typed() const;
    void reload();
    void reloadGrid();
    void display(const std::optional<Services::Row> &row);
    void showDescription(const QString &column);
    void showProblems(const QList<Services::FieldProblem> &problems);
    void updateButtons();
    void followBankCode();
    void boxTicked(QCheckBox *box, bool ticked);
    bool storedStillThere();

    const Services::FamilyDef m_family;
    Ui::FormBinder *m_binder;
    QLabel *m_mode;
    QPushButton *m_new;
    QGroupBox *m_deductible = nullptr;
    QButtonGroup *m_deductibleChoice = nullptr;
    QRadioButton *m_full = nullptr;
    QRadioButton *m_half = nullptr;
    QCheckBox *m_bankBox = nullptr;
    QCheckBox *m_cashBox = nullptr;
    QHash<QString, QLabel *> m_descriptions;
    QList<Services::Row> m_rows;
    std::optional<Services::Row> m_loaded;
    QString m_shownDeductibility;
    bool m_following = false;
};

// The print list of the causals (TABCAUCO).
Ui::LookupRequest causalPrintList();

} // namespace Orlavo::Accounting
