#pragma once

#include "masterdata/rules/tableforms.h"
#include "masterdata/stores/tableimport.h"
#include "masterdata/stores/tablerows.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <QHash>

#include <optional>

class QCheckBox;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The window of a table with more columns than a code and a description
// (banks, branches, postal codes, countries, supplier types, brands): the
// list of its rows, one field per column, checks in the table's order.
class TableWindow : public Ui::RecordWindow
{
    Q_OBJECT
public:
    TableWindow(Ui::AppContext &context, const TableForm &form, QWidget *parent = nullptr);

    const TableForm &form() const { return m_form; }
    QWidget *field(const QString &column) const;
    QString value(const QString &column) const;
    void setValue(const QString &column, const QString &text);
    FormRow typed() const;

    // The failing checks, in order; every failing field red, the message of
    // the last one shown and its field focused. True when all pass.
    bool checkAll();

    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    void reload();

protected:
    void fieldLeft(QLineEdit *field) override;

private:
    QWidget *makeField(const FormField &field);
    QList<Services::FieldProblem> problems(const QString &only = {});
    Services::Record recordOf(const std::optional<FormRow> &row) const;
    void pick(const FormField &field);
    void fillFromTown();
    void importFile(ImportKind kind);
    void display(const std::optional<FormRow> &row);

    const TableForm m_form;
    const Services::FamilyDef m_family;
    Ui::FormBinder *m_binder;
    QList<FormRow> m_rows;
    std::optional<FormRow> m_loaded;
};

// The print list of a table window's table: code 6 and description 40
// wide, printed with the table's report.
Ui::LookupRequest tableFormList(const TableForm &form);

} // namespace Orlavo::Masterdata
