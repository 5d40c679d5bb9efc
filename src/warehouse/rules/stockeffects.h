#pragma once

#include <QDate>
#include <QList>
#include <QString>

namespace Orlavo::Warehouse {

// The running figures of an item (ARTICOLI) that movements keep.
// Quantities at 3 decimals, values at 2.
struct ItemFigures {
    double onHand = 0;             // ESISTENZA
    double openingQuantity = 0;    // GC_INIZ
    double openingValue = 0;       // VAL_INIZ
    double loadedBySupplier = 0;   // CARICO_F
    double loadedOther = 0;        // CARICO_A
    double loadValue = 0;          // VAL_CARICO
    QDate lastLoad;                // ULT_CARICO
    double lastCost = 0;           // ULT_COSTOA
    double unloadedToCustomer = 0; // SCARICO_V
    double unloadedOther = 0;      // SCARICO_A
    double unloadValue = 0;        // VAL_SCARIC
    QDate lastUnload;              // ULT_SCARIC
    double committed = 0;          // IMPEGNATO
    double committedValue = 0;     // VAL_IMPEGN
    double ordered = 0;            // ORDINATO
    double orderedValue = 0;       // VAL_ORDIN
    bool operator==(const ItemFigures &) const = default;
};

// A movement as its effect reads it.
struct StockMovement {
    QString causal;
    double quantity = 0;   // QUANTITA
    double value = 0;      // TOTALE, the movement's value, documents included
    QDate date;            // DATA_REG
    double netPrice = 0;   // PR_SCONTATO, the last cost of a purchase load
    bool supplier = false; // a supplier given: loads count as CARICO_F
    bool customer = false; // a customer given: unloads count as SCARICO_V
};

enum class Direction { Forward, Backward };

// The item's figures after a movement is applied (forward) or taken back
// (backward, with the stored quantity and value; dates and the last cost
// stay as they are). A causal without an effect changes nothing.
ItemFigures applyMovement(const ItemFigures &figures, const StockMovement &movement, Direction direction);

// Whether the causal is in the table of effects, and whether it moves the
// stock on hand.
bool hasEffect(const QString &causal);
bool movesStock(const QString &causal);

// The codes of the table of effects, in order, for the standard causals.
QList<QString> effectCodes();

} // namespace Orlavo::Warehouse
