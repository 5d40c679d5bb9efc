#pragma once

#include "agenda/stores/appointmentstore.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace Orlavo::Ui {
struct AppContext;
class DateField;
} // namespace Orlavo::Ui

namespace Orlavo::Agenda {

// One appointment: "Inserimento appuntamento" for a new one (day and start
// time proposed), "Modifica appuntamento" for a stored one. Registra,
// Elimina (stored), the list of the time band, Esci.
class FrmAppIn : public QDialog
{
    Q_OBJECT
public:
    // A new appointment on `day` at `from` (either may be empty).
    FrmAppIn(Ui::AppContext &context, const QDate &day, const QString &from, QWidget *parent = nullptr);
    // A stored one; loaded() is false when it is gone (the operator was told).
    FrmAppIn(Ui::AppContext &context, const Appointment &stored, QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }
    bool inserting() const { return !m_stored.has_value(); }
    QLineEdit *field(const QString &column) const { return m_fields.value(column); }
    QComboBox *operatorBox() const { return m_operator; }
    QCheckBox *doneBox() const { return m_done; }
    // The appointment as the fields hold it (times read as typed).
    Appointment typed() const;
    bool hasChanges() const;

    // Registra: the checks (every failing field red, the first message),
    // "Confermi le registrazioni?", the write. True when written.
    bool save();
    // Elimina: "Confermi eliminazione?", the delete. True when deleted.
    bool remove();
    // "Lista appuntamenti della fascia oraria".
    void showBand();
    // Leaving the customer code fills the name.
    void leaveCustomer();

    // Esci and closing: with changes, "Rinuncia operazioni su record
    // corrente?" first.
    void reject() override;

    // After a write or a delete.
    void setOnWritten(std::function<void()> hook) { m_onWritten = std::move(hook); }

private:
    void build();
    void display(const Appointment &a);
    void written();

    Ui::AppContext &m_context;
    std::optional<Appointment> m_stored;
    Appointment m_shown;
    bool m_loaded = true;
    QHash<QString, QLineEdit *> m_fields;
    Ui::DateField *m_day = nullptr;
    QComboBox *m_operator = nullptr;
    QCheckBox *m_done = nullptr;
    QPushButton *m_delete = nullptr;
    std::function<void()> m_onWritten;
};

} // namespace Orlavo::Agenda
