#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"
#include "warehouse/rules/stockeffects.h"

#include <QDateTime>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Warehouse {

const Services::TableDef &movementTable();
const Services::TableDef &causalTable();

// A movement written by a document (an invoice or a delivery note) is
// owned by it: neither changed nor deleted from the movement window.
bool owned(const Services::Row &movement);

// The item of a movement (MAGAZZINO, MARCA, ARTICOLO) takes its effect:
// its row read for update, the figures computed, one UPDATE. False when
// the unit failed; an item that no longer exists fails the unit too.
bool applyToItem(Services::WriteUnit &unit, const Services::Row &movement, Direction direction,
                 const QString &step = QStringLiteral("Agg articoli"));

// A document's movement inside the document's unit: its number from the
// year's MOVMAG counter, the row ("Ins. MOVMAG") with its net price, the
// item's figures ("Agg. ARTICOLI"). TOTALE is the document row's amount as
// given. The number; 0 once the unit has failed.
int writeDocumentMovement(Services::DataAccess &db, Services::WriteUnit &unit, Services::Row movement);

// Before a movement goes: its copy in MOVMAG_DEL with the time it went. A
// movement not found is told ("ERRORE") and nothing of the unit is kept.
bool copyToDeleted(Services::DataAccess &db, Services::WriteUnit &unit, const QString &year, int number,
                   const QDateTime &now);

// The movements an invoice wrote (ANNO_INT_FATT, NRO_INT_FATT), taken off
// inside the invoice's unit: each copied to MOVMAG_DEL, removed, and taken
// back from its item. False once the unit has failed.
bool removeInvoiceMovements(Services::DataAccess &db, Services::WriteUnit &unit, const QString &year, int internal,
                            const QDateTime &now);

// The average purchase price of an item up to a date, from the loads of
// the causals admitted to it (C10 when none is), since the latest opening.
Services::Outcome<double> averagePurchasePriceOf(Services::WriteUnit &unit, const QString &warehouse,
                                                 const QString &brand, const QString &code, const QDate &upTo,
                                                 int decimals);

// What the movement window changes on the item besides its figures.
struct PriceUpdates {
    bool listPrice = true;             // AGGIORNAARTICOLO: PREZZO_LIST and NUM_DEC
    bool purchasePrice = true;         // AGGIORNAPREZZOACQ, when not the list price
    std::optional<double> secondPrice; // AGGIORNAARTICOLO2: PREZZO_LIST_E
    int secondDecimals = 2;
    // The item's list-price section edited in the window.
    struct Section {
        double listPrice = 0;
        double withVat = 0;
        double markup = 0;
    };
    std::optional<Section> section;
    int priceDecimals = 2; // DECIMALI_PREZZO1, for the average price
};

// A movement typed in the window, under the whole-archive lock in one
// unit: its number from the year's MOVMAG counter, the row, the item's
// figures and prices, its price lists. The number in `code`.
Services::WriteResult insertMovement(Services::DataAccess &db, Services::Row movement, const PriceUpdates &prices);
// A movement changed: the old one taken back from its item, the new one
// applied (to another item when the item changed). ChangedElsewhere when the
// stored movement is no longer `before`: nothing is written.
// A movement a document holds is refused (`refusal` says why, nothing is
// written).
Services::WriteResult updateMovement(Services::DataAccess &db, const Services::Row &before, Services::Row after,
                                     const PriceUpdates &prices);
// A movement deleted: copied to MOVMAG_DEL, removed, taken back from its
// item, whose average purchase price no longer counts it.
Services::WriteResult deleteMovement(Services::DataAccess &db, const QString &year, int number, int priceDecimals,
                                     const QDateTime &now = QDateTime::currentDateTime());

Services::Outcome<std::optional<Services::Row>> readMovement(Services::DataAccess &db, const QString &year, int number);

} // namespace Orlavo::Warehouse
