#pragma once

#include "services/core/record.h"
#include "warehouse/stores/movemententry.h"
#include "warehouse/stores/movementstore.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <optional>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
class InputField;
} // namespace Orlavo::Ui

namespace Orlavo::Warehouse {

// f280mmag: one stock movement, new ("Inserimento Moviemnti di magazzino")
// or stored ("Variazione Moviemnti di magazzino"). The item is found by
// code or barcode in the warehouse; a price is proposed into an empty price
// field; the net price and total follow what is typed; the three options
// update the item's prices, the list-price section its list price; the
// item's movements show below, newest first.
class F280MMag : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Insert, Modify };

    F280MMag(Ui::AppContext &context, Mode mode, const QString &year = {}, int number = 0, QWidget *parent = nullptr);

    bool loaded() const { return m_loaded; }
    Mode mode() const { return m_mode; }

    // Fields by column: MOVMAG's, and PREZZO2 (the price in the second
    // currency) and the list-price section's PREZZO_LIST, PREZZO_IVA_INC,
    // PERC_RIC.
    Ui::InputField *field(const QString &column) const;
    QString value(const QString &column) const;
    // Types in a field and leaves it, as the operator would.
    void setValue(const QString &column, const QString &text);
    // What shows beside a coded field, the item's description included.
    QString description(const QString &column) const;
    QString linkCaption() const;
    QCheckBox *option(const QString &key) const;
    QTableWidget *history() const { return m_history; }
    QPushButton *newItemButton() const { return m_newItem; }
    bool hasChanges() const;

    // Conferma and Elimina; true once written.
    bool save();
    bool remove();
    // "Nuovo articolo": the item window in coding mode, with what is typed.
    void codeNewItem();
    void setNewItemOpener(std::function<void(const QString &parameter)> opener) { m_openNewItem = std::move(opener); }
    // After a write: the list that opened the window reads again.
    void setOnWritten(std::function<void()> hook) { m_onWritten = std::move(hook); }

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    QWidget *makeFields();
    QWidget *makeSide();
    QWidget *makeHistory();
    Ui::InputField *addField(const QString &column, Ui::InputField *field, int width, bool typed = true);
    QWidget *withDescription(const QString &column, Ui::InputField *field, int width);

    void clear();
    void show(const Services::Row &movement);
    void markShown();
    void fieldLeft(const QString &column);
    void describe(const QString &column);
    void itemLeft(bool byBarcode);
    void showItem(const std::optional<ItemCard> &card);
    void showHistory();
    void propose();
    void revalue();
    void sectionLeft(const QString &column);
    void optionToggled();
    int year() const;
    int priceDecimals() const;
    double number(const QString &column) const;
    void setNumber(const QString &column, double value, int decimals);

    Services::Row typed() const;
    PriceUpdates priceUpdates() const;
    bool refuse(const QString &message);
    bool confirm(const QString &question);
    void written();
    bool ended(const Services::WriteResult &write);

    Ui::AppContext &m_context;
    const Mode m_mode;
    bool m_loaded = true;
    MovementSettings m_settings;
    Services::Row m_stored;
    std::optional<ItemCard> m_item;
    bool m_sectionEdited = false;
    QString m_shown;
    QHash<QString, Ui::InputField *> m_fields;
    QHash<QString, QLabel *> m_descriptions;
    QHash<QString, QCheckBox *> m_options;
    QLabel *m_linkLabel = nullptr;
    QLabel *m_document = nullptr;
    QTableWidget *m_history = nullptr;
    QPushButton *m_newItem = nullptr;
    QPushButton *m_vehicles = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_exit = nullptr;
    std::function<void(const QString &)> m_openNewItem;
    std::function<void()> m_onWritten;
};

} // namespace Orlavo::Warehouse
