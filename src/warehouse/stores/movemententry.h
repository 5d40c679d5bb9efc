#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"
#include "warehouse/rules/priceproposal.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Warehouse {

// What the movement window reads from CONT.INI.
struct MovementSettings {
    QString linkCaption = QStringLiteral("Partita"); // DATIAGGIUNTI MOVMAGDESC
    bool vehicleLink = false;                         // MOVMAGCOLLEG "VEICOLI": the link is a plate
    // MAGAZZINO AGGIORNAARTICOLO, AGGIORNAPREZZOACQ, AGGIORNAARTICOLO2.
    bool updateItem = true;
    bool updatePurchase = true;
    bool updateItem2 = true;
    ProposalRanks ranks;    // MAGAZZINO PRULTCO, PRLISTPER, PRLISTBA, PRACQF
    int priceDecimals = 0;  // ARTICOLI DECIMALI_PREZZO1
    int secondDecimals = 2; // ARTICOLI DECIMALI_PREZZO2
};

// The settings; ranks missing are written back with their defaults.
MovementSettings readMovementSettings(const Services::Settings &settings);
// The three update options as the operator left them.
bool writeMovementOptions(const Services::Settings &settings, const MovementSettings &options);

// An item as the movement window shows it.
struct ItemCard {
    QString warehouse, brand, code, barcode, description, unit;
    double listPrice = 0; // PREZZO_LIST
    double withVat = 0;   // PREZZO_IVA_INC
    double markup = 0;    // PERC_RIC
    int decimals = 2;     // NUM_DEC
    double vatRate = 0;   // the rate of its VAT code
    double onHand = 0;    // ESISTENZA
};
// The item of a code in the warehouse; without a brand, the first brand's.
Services::Outcome<std::optional<ItemCard>> findItem(Services::DataAccess &db, const QString &warehouse,
                                                    const QString &brand, const QString &code);
// The item of a barcode in the warehouse.
Services::Outcome<std::optional<ItemCard>> findItemByBarcode(Services::DataAccess &db, const QString &warehouse,
                                                             const QString &barcode);

// One movement of an item's history: loads name their supplier, unloads
// (causals beginning with "S") their customer.
struct HistoryLine {
    int number = 0;
    QDate date;
    QString causal, unit;
    double quantity = 0;
    QString name;
    QString document;
    QDate documentDate;
    double price = 0;
    int priceDecimals = 2; // NDEC
    Discounts discounts{};
    double netPrice = 0;
    double total = 0;
};
// Every movement of the item, newest first.
Services::Outcome<QList<HistoryLine>> itemHistory(Services::DataAccess &db, const QString &warehouse,
                                                  const QString &brand, const QString &code);

// The movement a price is proposed for.
struct ProposalRequest {
    QString year;
    QDate date;
    QString causal, warehouse, brand, code;
    int supplier = 0;
    int customer = 0;
    int number = 0; // the movement itself, left out of the earlier loads
};
// The first ranked source with a price; nothing when none has one.
Services::Outcome<std::optional<ProposedPrice>> proposePrice(Services::DataAccess &db, const ProposalRequest &request,
                                                             const ProposalRanks &ranks);

// A movement as the window holds it: the row, and the texts of the fields
// whose typing the checks judge.
struct TypedMovement {
    Services::Row movement;
    QString price, secondPrice, quantity, documentDate;
    QString workingYear;
};
// The failing checks in the window's order (its last message is shown).
QList<Services::FieldProblem> movementProblems(Services::DataAccess &db, const TypedMovement &typed);

// A movement a document owns is changed by the document only.
QString changeRefusal();
// "Impossibile eliminare movimento," and the documents that hold it; empty
// when nothing does.
Services::Outcome<QString> deleteRefusal(Services::DataAccess &db, const Services::Row &movement);

} // namespace Orlavo::Warehouse
