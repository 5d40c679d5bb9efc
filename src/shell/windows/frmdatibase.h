#pragma once

#include "shell/stores/basedata.h"

#include <QColor>
#include <QDialog>

#include <array>
#include <functional>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace Orlavo::Ui {
class CodeField;
class DateField;
class FormBinder;
class NumberField;
class TextField;
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Shell {

// The company's base data: its DATIBASE row (bank, VAT code and period,
// numbering of credit notes, warehouse), the working year and the options
// of CONT.INI for documents, stock and colours.
class FrmDatiBase : public QDialog
{
    Q_OBJECT
public:
    // Asks for a colour starting from the current one; an invalid colour
    // when the operator cancels.
    using ColourPicker = std::function<QColor(const QColor &current, const QString &title)>;

    explicit FrmDatiBase(Ui::AppContext &context, QWidget *parent = nullptr);

    // The system colour dialog unless set.
    void setColourPicker(ColourPicker picker) { m_pickColour = std::move(picker); }
    // Called when the desktop colour has been written: the main window repaints.
    void setOnBackgroundChanged(std::function<void()> action) { m_onBackgroundChanged = std::move(action); }
    // Called after a registration: the main window shows the year in use.
    void setOnSaved(std::function<void()> action) { m_onSaved = std::move(action); }

    // Registra: nothing when nothing changed; else every check, the
    // confirmation, the row, the year's counters, the state and the options.
    void save();
    // Annulla: the saved values again.
    void cancel();
    // Every check in order: the failing fields turn red, the first failure
    // is told and its field takes the focus. False when one failed.
    bool checkAll();
    // The check of one field, as on leaving it; true when it passes or the
    // field has none.
    bool checkField(QWidget *field);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildCompanyPage();
    QWidget *buildDocumentsPage();
    QWidget *buildStockPage();
    QWidget *buildColoursPage();
    QPushButton *colourButton(const QString &caption, const char *name, const char *key, const char *fallback,
                              bool desktop);

    void load();
    void showData(const BaseData &data);
    void showOptions(const BaseOptions &options);
    BaseData collectData() const;
    BaseOptions collectOptions() const;

    // Red marks on the fields the checks covered; the problem that speaks.
    std::optional<Services::FieldProblem> mark(const QList<Services::FieldProblem> &problems,
                                               const QStringList &checked);
    void describe(Ui::CodeField *field, const QString &table, QLineEdit *description);
    void refuse(const QString &message);
    void pickColour(const QString &title, const char *key, const char *fallback, bool desktop);

    Ui::AppContext &m_ctx;
    ColourPicker m_pickColour;
    std::function<void()> m_onBackgroundChanged;
    std::function<void()> m_onSaved;

    // What the window showed after loading or registering: what "changed"
    // is measured against.
    BaseData m_shownData;
    BaseOptions m_shownOptions;
    BaseOptions m_loadedOptions;
    Ui::FormBinder *m_form;
    // Set while the window itself moves the focus to a failing field.
    bool m_focusing = false;

    QTabWidget *m_tabs;
    QLineEdit *m_company;
    QLineEdit *m_companyName;
    Ui::CodeField *m_bank;
    QLineEdit *m_bankDescription;
    Ui::CodeField *m_vatCode;
    QLineEdit *m_vatDescription;
    QPushButton *m_vatPeriod;
    QCheckBox *m_separateNumbering;
    QCheckBox *m_vatRegister;
    Ui::CodeField *m_warehouse;
    QLineEdit *m_warehouseDescription;
    Ui::NumberField *m_year;

    QButtonGroup *m_priceKind;
    QButtonGroup *m_discounts;
    QButtonGroup *m_invoiceType;
    QButtonGroup *m_invoicePrint;
    QButtonGroup *m_orderRemainder;
    QCheckBox *m_vatRoundUp;
    QCheckBox *m_separateDebitNotes;
    QCheckBox *m_printDetail;

    Ui::DateField *m_searchFrom;
    Ui::DateField *m_searchTo;
    std::array<QSpinBox *, 4> m_priorities{};
    Ui::TextField *m_free1;
    Ui::TextField *m_free2;

    QLineEdit *m_editableSample;
    QLineEdit *m_protectedSample;

    QPushButton *m_save;
    QPushButton *m_cancel;
    QPushButton *m_exit;
};

} // namespace Orlavo::Shell
