#pragma once

#include "masterdata/windows/formwindow.h"
#include "services/data/recordstore.h"

#include <functional>
#include <optional>

class QGridLayout;
class QPushButton;

namespace Orlavo::Masterdata {

// A window over one row of a discount table or a price list: its fields on
// one page, Registra, Annulla, Elimina (for a stored row) and Esci. Register
// runs the checks (every failing field red, the last message shown), asks
// "Confermi aggiornamenti ?", compares the stored row and writes; Elimina
// asks the window's question and deletes.
class ListEditWindow : public FormWindow
{
    Q_OBJECT
public:
    // False when the row to modify is not in the archive (the operator was told).
    bool loaded() const { return m_loaded; }
    bool inserting() const { return m_inserting; }
    bool hasChanges() const override;
    bool printCard(bool) override { return false; }

    bool save();
    void cancel();
    bool remove();

    // After a write or a delete (a list showing the rows reads them again).
    void setOnWritten(std::function<void()> hook) { m_onWritten = std::move(hook); }

protected:
    ListEditWindow(Ui::AppContext &context, const Services::FamilyDef &family, const QString &name,
                   const QString &title, bool inserting, QWidget *parent);

    QGridLayout *grid() const { return m_grid; }
    // The buttons under the fields; call once the fields are laid out.
    void addButtons();
    // Shows a row: the stored one of a modify window, the empty one of an
    // insert window.
    void display(const Services::Record &record);
    void setLoaded(bool loaded) { m_loaded = loaded; }
    // A stored row that is missing: told, and the window not loaded.
    void sayMissing(const QString &message);
    // A field the operator may not change.
    void lock(const QString &name);
    // A number shown with `decimals` decimals.
    void showNumber(const QString &name, double value, int decimals);
    double number(const QString &name) const;
    // Discount fields show as "05,50" again each time they are left (a
    // number field writes its own figure first).
    void padDiscounts(const QStringList &names);

    // The row as the fields hold it.
    virtual Services::Record typed() const;
    virtual QList<Services::FieldProblem> problems(const Services::Record &row) = 0;
    virtual Services::WriteResult write(const Services::Record &row) = 0;
    // The stored row again after an update; nothing when it is gone.
    virtual std::optional<Services::Record> reread() = 0;
    virtual Services::Record emptyRow() const = 0;
    virtual QString deleteQuestion() const = 0;
    // Why the row may not be deleted; empty when it may.
    virtual QString deleteRefusal() { return {}; }
    virtual Services::WriteResult erase() = 0;
    // Formats the fields after display (discounts "05,50", prices).
    virtual void formatFields() {}
    // A duplicate row found at insert: the window's message.
    virtual QString duplicateMessage() const { return {}; }

    Services::Record m_stored;

private:
    void written();

    const Services::FamilyDef &m_familyDef;
    QGridLayout *m_grid = nullptr;
    QPushButton *m_delete = nullptr;
    bool m_inserting = false;
    bool m_loaded = true;
    std::function<void()> m_onWritten;
};

} // namespace Orlavo::Masterdata
