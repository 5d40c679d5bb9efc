#pragma once

#include "warehouse/stores/movementsearch.h"

#include <QDialog>
#include <QHash>

#include <functional>

class QTableWidget;

namespace Orlavo::Ui {
struct AppContext;
class InputField;
} // namespace Orlavo::Ui

namespace Orlavo::Warehouse {

// f280Rmag: the stock movements found by year, item, brand, causal,
// registration dates and number, by year and number; a row opens the
// movement to change it.
class F280RMag : public QDialog
{
    Q_OBJECT
public:
    explicit F280RMag(Ui::AppContext &context, QWidget *parent = nullptr);

    // Filter fields: ANNO, MARCA, ARTICOLO, CAUSALE, DATA_DA, DATA_A, NRO_REG.
    Ui::InputField *field(const QString &name) const { return m_fields.value(name); }
    void setValue(const QString &name, const QString &text);
    QTableWidget *grid() const { return m_grid; }
    // Reads the list again; false after the message of a filter's problem.
    bool search();
    // The movement of a row, as a double-click opens it.
    void choose(int row);
    void setOnChosen(std::function<void(const QString &year, int number)> chosen) { m_chosen = std::move(chosen); }

private:
    MovementFilter filter() const;

    Ui::AppContext &m_context;
    QHash<QString, Ui::InputField *> m_fields;
    QTableWidget *m_grid = nullptr;
    QList<FoundMovement> m_found;
    std::function<void(const QString &, int)> m_chosen;
};

} // namespace Orlavo::Warehouse
