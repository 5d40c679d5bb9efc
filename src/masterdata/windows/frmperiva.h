#pragma once

#include "masterdata/stores/vatcodestore.h"
#include "ui/lookuplist.h"
#include "ui/recordwindow.h"

#include <optional>

class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The editor of a table of codes that other records use: the list of its
// codes (choosing one loads it to modify), Nuovo, the fields, and Registra,
// Elimina, Annulla, Esci. Registering runs every check (each failing field
// red, the last message shown), refuses a change a code in use may not
// take, asks, and writes under the lock; a stored code is renamed by
// registering it under another code.
class CodeTableEditor : public Ui::RecordWindow
{
    Q_OBJECT
public:
    QWidget *field(const QString &column) const;
    QString value(const QString &column) const;
    void setValue(const QString &column, const QString &text);
    Services::Row typed() const;
    // The stored row on screen; nothing for a new one.
    const std::optional<Services::Row> &loaded() const { return m_loaded; }

    // Leaving the code: a new or changed code already stored is refused.
    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    // Nuovo: an empty form for a new code.
    void startNew();
    // The code's row chosen in the list and shown; false when it is not listed.
    bool chooseCode(const QString &code);
    void reload();

protected:
    CodeTableEditor(Ui::AppContext &context, const UsedCodeTable &table, const QStringList &gridColumns,
                    const QStringList &headings, const QString &hint, QWidget *parent);

    virtual Services::Row emptyRow() const = 0;
    // The values shown once a row is on screen (a composed description).
    virtual void shown() {}

    // Building the form: fields bound to their columns, laid out in rows.
    QWidget *addCode(int length);
    QWidget *addText(const QString &column, int length);
    QWidget *addNumber(const QString &column, int decimals);
    QComboBox *addChoice(const QString &column, const QList<std::pair<QString, QString>> &choices, bool blankFirst);
    QFormLayout *fields() const { return m_fields; }
    // Call once the fields are laid out.
    void finish(int width);
    // True while the program fills the fields (loading, clearing).
    bool filling() const { return m_filling; }

private:
    void reloadGrid();
    void display(const std::optional<Services::Row> &row);
    QString loadedCode() const;
    void say(const Services::FieldProblem &problem);

    const UsedCodeTable &m_table;
    const Services::FamilyDef m_family;
    const QStringList m_gridColumns;
    Ui::FormBinder *m_binder;
    QFormLayout *m_fields;
    QPushButton *m_new;
    QList<Services::Row> m_rows;
    std::optional<Services::Row> m_loaded;
    bool m_filling = false;
};

// frmPerIva: the VAT codes with their rate, kind and base percentage.
class FrmPerIva : public CodeTableEditor
{
    Q_OBJECT
public:
    explicit FrmPerIva(Ui::AppContext &context, QWidget *parent = nullptr);

protected:
    Services::Row emptyRow() const override { return newVatCode(); }
};

// The print list of the VAT rates, printed with the report TABIVA.
Ui::LookupRequest vatRateList();

} // namespace Orlavo::Masterdata
