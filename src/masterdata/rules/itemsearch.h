#pragma once

#include "masterdata/rules/partysearch.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Masterdata {

// The filters both item searches share. Empty texts do not filter; texts
// are taken without surrounding blanks, codes without regard to case.
struct ItemFilters {
    QString warehouse; // MAGAZZINO
    QString brand;     // MARCA
    QString codeFrom;  // ARTICOLO, from and to
    QString codeTo;
    QString type;          // TIPO_ART
    QString goodsCategory; // COD_MERCE
    QString statCategory;  // COD_STATIS
    QString barcode;       // COD_BARRE
};

// The stock search comes in three flavours, one per stock figure: the
// flavour names the window and its print, and puts its figure first.
enum class StockFlavour { OnHand, Committed, Ordered };

// "Ricerca per situazione magazzino (ESISTENZA)", the window's title.
QString stockSearchTitle(StockFlavour flavour);
// "Situazione magazzino (ESISTENZA)", the list's and the print's title.
QString stockListTitle(StockFlavour flavour);

// What the operator typed in the stock search.
struct StockSearchFilters : ItemFilters {
    bool typeDiffers = false;     // the type is one to leave out
    bool categoryDiffers = false; // the goods category likewise
    QString vatCode;              // COD_IVA
    QString unit;                 // UNITA_MIS
    bool belowMinimum = false;    // ESISTENZA < SCORTA_MIN
    bool onHand = false;          // ESISTENZA <> 0
    bool negative = false;        // ESISTENZA < 0
    bool openingStock = false;    // GC_INIZ <> 0
};

// What the operator typed in the item lists.
struct ItemListFilters : ItemFilters {
    QString description; // the start of any word of DESC_ART
};

// An item search: the list's tables, columns and conditions, and the
// selection of its print.
struct ItemSearch {
    QString from; // the table and those whose descriptions the list shows
    // In the order of the statement's SELECT: first the key (warehouse,
    // brand, code) hidden, so a chosen row carries it at fixed places.
    QList<Services::LookupColumn> columns;
    QString condition; // the filters joined by AND; empty when none filters
    QString order;     // brand, code, then warehouse
    Services::Params params;
    // The report's selection picking the same rows; nullopt when no formula
    // can (a "*" or "?" in a description).
    std::optional<QString> formula;

    // The whole statement, in brand and code order.
    QString sql() const;
    // The condition followed by the order, as a lookup list takes it: the
    // list orders by its first column unless the statement orders itself.
    QString listCondition() const;
};

// The stock situation (SITUAZIONE_ARTICOLI: the item, its brand's
// description and DISPONIBILE) and the selection of LISESART. Fails with
// kPartyRangeMessage when the codes are reversed.
Services::Outcome<ItemSearch> buildStockSearch(const StockSearchFilters &filters, StockFlavour flavour);

// The item list of ARTICOLI with the descriptions of brand, goods category
// and type; with `withPrice` the list price too. Fails with
// kPartyRangeMessage when the codes are reversed.
Services::Outcome<ItemSearch> buildItemList(const ItemListFilters &filters, bool withPrice);

} // namespace Orlavo::Masterdata
