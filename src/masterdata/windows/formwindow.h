#pragma once

#include "services/data/recordstore.h"

#include <QDialog>
#include <QHash>
#include <QList>

class QCloseEvent;
class QGridLayout;
class QLabel;
class QPushButton;
class QTabWidget;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// A master-data window's form: the fields of a record family laid out on
// tabs and bound to their columns, coded fields with their description and
// F4 list, and the leaving of a changed field, which runs leaveField().
class FormWindow : public QDialog
{
    Q_OBJECT
public:
    // A field by its name: the column for the main part and the parts that
    // have it alone, a part's prefix and the column for the others
    // ("CONT_TELEFONO1"). Line edits, combo boxes (data = code), check boxes.
    QWidget *field(const QString &name) const;
    // Sets a field as the operator would, without the checks of leaving it.
    void setValue(const QString &name, const QString &value);
    QString value(const QString &name) const;
    // Runs what leaving the field runs.
    virtual void leaveField(const QString &name) = 0;
    QTabWidget *tabs() const { return m_tabs; }

    // The operator changed something since the record was shown.
    virtual bool hasChanges() const = 0;
    // The record's card, previewed or printed.
    virtual bool printCard(bool preview) = 0;

public slots:
    // The toolbar's Stampa and Anteprima.
    void TimStampa() { printCard(false); }
    void TimAnte() { printCard(true); }

protected:
    // Nothing changed, or the operator gives the changes up ("Rinuncia
    // operazioni su record corrente?").
    bool mayDropChanges();
    // Closing with changes asks first.
    void closeEvent(QCloseEvent *event) override;

    FormWindow(Ui::AppContext &context, const Services::FamilyDef &family, QWidget *parent);

    // A field of a part other than the first whose column name another part
    // also has goes by this prefix ("CONT_", "RIT_").
    void setPartPrefix(int part, const QString &prefix) { m_prefixes.insert(part, prefix); }
    bool prefixed(const QString &name) const;
    Ui::FormBinder *form() const { return m_form; }

    // Building the window: the tabs; fields of each kind ("C" code, "D"
    // date, "N" number with `decimals`); a code field with its description
    // beside it; rows of label and field; combo boxes filled from a table or
    // from a list; the F4 lists of the coded fields.
    QWidget *page(const QString &title);
    QWidget *addLine(const QString &name, int length, const QString &kind = {}, int decimals = 2);
    QWidget *addCombo(const QString &name);
    QWidget *addCheck(const QString &name, const QString &caption);
    QWidget *addCoded(const QString &name, int length);
    QLabel *addDescription(const QString &name);
    static void put(QGridLayout *grid, int row, int col, const QString &caption, QWidget *field, int span = 1);
    void fillFromTable(const QString &name, const QString &table, const QString &keyColumn);
    void fillFromList(const QString &name, const QList<std::pair<QString, QString>> &items);
    void attachLookups();
    // A coded column's F4 list.
    virtual Ui::LookupRequest lookupList(const QString &column) const;
    void showDescription(const QString &name);
    bool hasDescription(const QString &name) const { return m_descriptions.contains(name); }
    void showDescriptions();
    void focusField(const QString &name);
    // The buttons whose click is no leaving of a field (Annulla, Esci: two at most).
    void setWaysOut(QList<QPushButton *> buttons) { m_waysOut = std::move(buttons); }
    // Closing: no field's leaving runs any more.
    void setClosing() { m_closing = true; }
    bool closing() const { return m_closing; }

    bool eventFilter(QObject *watched, QEvent *event) override;

    Ui::AppContext &m_context;
    Ui::FormBinder *m_form = nullptr;
    QTabWidget *m_tabs = nullptr;

private:
    std::pair<int, QString> placeOf(const QString &name) const;
    void bindField(const QString &name, QWidget *widget);

    const Services::FamilyDef &m_family;
    QHash<int, QString> m_prefixes;
    QHash<QString, QLabel *> m_descriptions;
    QList<QPushButton *> m_waysOut;
    bool m_closing = false;
};

} // namespace Orlavo::Masterdata
