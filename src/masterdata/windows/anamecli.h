#pragma once

#include "masterdata/stores/deliveryplaces.h"
#include "ui/recordwindow.h"

#include <QHash>

#include <optional>

class QCheckBox;

namespace Orlavo::Ui {
class FormBinder;
class InputField;
struct AppContext;
} // namespace Orlavo::Ui

namespace Orlavo::Masterdata {

// What the customer window says when asked for the delivery places of a
// customer not stored yet.
inline constexpr char kPlacesAfterInsert[] =
    "E' possibile aggiungere luoghi consegna merce solo dopo\naver confermato l'inserimento del cliente";

// The delivery places of one stored customer: the list of the places, the
// fields of one place, Nuovo, Registra, Elimina, Annulla, Esci.
class AnaMeCli : public Ui::RecordWindow
{
    Q_OBJECT
public:
    AnaMeCli(Ui::AppContext &context, int customer, QWidget *parent = nullptr);

    int customer() const { return m_customer; }
    // A field by its column (COD_LUOGO, DESC_LUOGO, ..., RADIALE).
    Ui::InputField *field(const QString &column) const { return m_fields.value(column); }
    QCheckBox *defaultBox() const { return m_default; }
    DeliveryPlace typed() const;
    // The stored place the fields show; nothing for a new one.
    const std::optional<DeliveryPlace> &loaded() const { return m_loaded; }

    // Nuovo: empty fields with the next free number.
    void newPlace();
    // The number (missing) and province (unknown) checks: failing fields
    // red, the message of the last failing one shown. True when all pass.
    bool checkAll();

    bool checkCode() override;
    void save() override;
    void remove() override;
    void cancel() override;
    void loadRow(int row) override;
    // The list read again, the fields ready for a new place.
    void reload();

protected:
    void fieldLeft(QLineEdit *field) override;

private:
    void buildFields();
    Ui::InputField *addField(const QString &column, Ui::InputField *field);
    void display(const std::optional<DeliveryPlace> &place);
    void fillFromTown();
    void pickPostalCode();
    bool checkProvince(bool report);

    const int m_customer;
    QList<DeliveryPlace> m_places;
    std::optional<DeliveryPlace> m_loaded;
    const Services::FamilyDef m_family;
    Ui::FormBinder *m_binder;
    QHash<QString, Ui::InputField *> m_fields;
    QCheckBox *m_default = nullptr;
    QPushButton *m_new = nullptr;
};

} // namespace Orlavo::Masterdata
