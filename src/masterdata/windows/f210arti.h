#pragma once

#include "masterdata/stores/itemstore.h"
#include "masterdata/windows/formwindow.h"

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace Orlavo::Masterdata {

// The item window: a new item ("Inserimento articolo", also coded from a
// document's "ARTICOD" parameter) or a stored one ("Modifica articolo"), its
// prices derived as they are typed, its stock figures, components and photo.
class F210Arti : public FormWindow
{
    Q_OBJECT
public:
    enum class Mode { Insert, Modify };

    // Modify mode loads `key`; loaded() is false when it is missing.
    F210Arti(Ui::AppContext &context, Mode mode, const ItemKey &key = {}, const QString &parameter = {},
             QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }
    Mode mode() const { return m_mode; }
    // The item as the fields hold it, with its prices' decimals.
    Item item() const;
    bool hasChanges() const override;
    QList<Component> components() const { return m_components; }
    QTableWidget *componentGrid() const { return m_grid; }

    void leaveField(const QString &name) override;
    // A component typed under the grid: checked, then added.
    bool addComponent(const QString &brand, const QString &code, const QString &quantity);
    void removeComponent(int row);

    // Conferma, Annulla, Elimina, the card print and the photo.
    bool save();
    void cancel();
    bool remove();
    bool printCard(bool preview) override;
    void showPhoto();
    // The item's purchase or sale list rows; a row opens its window.
    void showPriceList(bool sale);

    void setOnWritten(std::function<void(const ItemKey &)> hook) { m_onWritten = std::move(hook); }

private:
    void build();
    void display(const Item &item);
    void showNew();
    void showComponents();
    void setPriceDecimals(int price, int decimals);
    bool priceTyped(const QString &name);
    void deriveFromList(int price);
    void deriveNetPrices();
    double number(const QString &name) const;
    void setNumber(const QString &name, double value);
    double vatRate() const;
    void refuse(const QString &text, const QString &name);

    Mode m_mode;
    bool m_loaded = true;
    ItemSettings m_settings;
    Item m_stored;
    QList<Component> m_storedComponents;
    QList<Component> m_components;
    // The decimals of list prices 1, 2 and 3 for this item.
    std::array<int, 3> m_decimals{};
    QLabel *m_available = nullptr;
    QTableWidget *m_grid = nullptr;
    QPushButton *m_delete = nullptr;
    std::function<void(const ItemKey &)> m_onWritten;
};

} // namespace Orlavo::Masterdata
