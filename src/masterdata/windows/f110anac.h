#pragma once

#include "masterdata/stores/customerstore.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QLabel;
class QPushButton;
class QTabWidget;

namespace Orlavo::Ui {
struct AppContext;
class FormBinder;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// The customer window: a new customer ("Inserimento cliente") or a stored
// one ("Modifica cliente") on five tabs, with its checks, writes, prints and
// delivery places.
class F110Anac : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Insert, Modify };

    // Modify mode loads `code`; loaded() is false when it is missing.
    F110Anac(Ui::AppContext &context, Mode mode, int code = 0, QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }
    Mode mode() const { return m_mode; }
    int code() const { return customerCode(m_stored); }

    // The customer as the fields hold it.
    Customer customer() const;
    bool hasChanges() const;

    // A field by its column: main columns by name, the contact's phones and
    // fax as "CONT_TELEFONO1" and so on. Line edits, combo boxes (coded by
    // description, data = code) and check boxes.
    QWidget *field(const QString &name) const;
    // Sets a field as the operator would, without the checks of leaving it.
    void setValue(const QString &name, const QString &value);
    QString value(const QString &name) const;
    // Runs what leaving the field runs (descriptions, town, tax code).
    void leaveField(const QString &name);
    QTabWidget *tabs() const { return m_tabs; }

    // Conferma, Annulla, Elimina, the prints and the delivery places.
    bool save();
    void cancel();
    bool remove();
    bool printCard(bool preview);
    bool printEnvelope();
    void openDeliveryPlaces();

    // After a write or a delete: the customer's code.
    void setOnWritten(std::function<void(int)> hook) { m_onWritten = std::move(hook); }

public slots:
    // The toolbar's Stampa and Anteprima.
    void TimStampa();
    void TimAnte();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void build();
    QWidget *page(const QString &title);
    QWidget *addLine(const QString &name, int length, const QString &kind = {});
    QWidget *addCombo(const QString &name);
    QWidget *addCheck(const QString &name, const QString &caption);
    void bindField(const QString &name, QWidget *widget);
    QLabel *addDescription(const QString &name);
    void fillCombos();
    void attachLookups();
    void display(const Customer &customer);
    void showNew();
    void showDescription(const QString &name);
    bool checkAll();
    QString fieldName(const QObject *widget) const;
    bool taxCodeKept(const QString &code);
    void showPerson(const QString &code);
    bool confirmDuplicates(const Customer &typed);
    bool stillStored(bool forDelete);
    void focusField(const QString &name);

    Ui::AppContext &m_context;
    Mode m_mode;
    bool m_loaded = true;
    bool m_closing = false;
    Customer m_stored;
    Ui::FormBinder *m_form = nullptr;
    QHash<QString, QLabel *> m_descriptions;
    QTabWidget *m_tabs = nullptr;
    QLabel *m_code = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_exit = nullptr;
    // The tax code the operator chose to keep against the warning.
    QString m_keptTaxCode;
    std::function<void(int)> m_onWritten;
};

} // namespace Orlavo::Masterdata
