#pragma once

#include "sales/rules/documenttypes.h"
#include "sales/rules/salesrows.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>

namespace Orlavo::Sales {

inline constexpr int kVatSlots = 5;

// A document row as the summary reads it.
struct SummaryRow {
    QString vatCode;
    double quantity = 0;
    double price = 0;
    double amount = 0;         // NETTO, unrounded
    bool item = false;         // a row of an item (brand and code given)
    double specificWeight = 0; // the item's PESO_SPECIF
    bool special = false;      // the item's SPECIALE
    bool specialTotal = false; // the row the special totals bill
};

// An expense of the header: nothing when its field is blank.
struct Expense {
    std::optional<double> amount;
    QString vatCode;
};

// A VAT code as TAB_PERIVA holds it.
struct VatRate {
    double rate = 0;
    QString description;
};
using VatRates = std::function<std::optional<VatRate>(const QString &code)>;

// The item the special totals bill (settings MARCA_PER_SPECIALI and
// ARTICOLO_PER_SPECIALI), given when CALCOLO_TOTALI_SPECIALI is "SI".
struct SpecialItem {
    QString vatCode;
    double price = 0;
};

struct SummaryInput {
    QString type; // document type
    Currency currency{QStringLiteral("EURO"), 2};
    bool vatRoundUp = false; // ARROTIVASUPERIORE "SI"
    Discounts headerDiscounts{};
    Expense transport;
    Expense bank;
    Expense stamp;
    QList<SummaryRow> rows;
    bool withholding = false;
    double withholdingRate = 0;
    std::optional<SpecialItem> specialItem;
};

struct VatSlot {
    QString code;
    QString description;
    double taxable = 0;
    double vat = 0;
    bool operator==(const VatSlot &) const = default;
};

struct Summary {
    // More than five VAT codes: the figures are the previous ones and the
    // document may not be confirmed.
    bool failed = false;
    std::array<VatSlot, kVatSlots> vatSlots;
    double goods = 0;    // TOTALE_MER
    double discount = 0; // the header discounts
    double net = 0;      // NETTO_MER
    double total = 0;    // TOTALE
    double totalEuro = 0;
    double withholdingBase = 0; // IMPON_RIT
    double withholding = 0;     // RITENUTA
    double totalNet = 0;        // TOT_NET, the amount to pay
    double totalNetEuro = 0;
    double weights = 0;       // TOT_QTA
    double specialWeight = 0; // TOT_UTF
    // The row the special totals bill, at `specialRowAt` (the old one's
    // place, else after the last row); nothing: the document keeps none.
    std::optional<SummaryRow> specialRow;
    qsizetype specialRowAt = -1;
    // Rows with an amount but no VAT code: left out of the vatSlots, to be
    // refused as a wrong VAT code, never silently dropped.
    QList<qsizetype> rowsWithoutVat;
    // Codes of the document missing from TAB_PERIVA.
    QStringList unknownCodes;

    double taxable() const;
};

inline constexpr const char kTooManyVatCodes[] = "Più di cinque Codici I.v.a. \nImpossibile calcolare totali";

// The document's summary. The previous result keeps a VAT the operator
// typed (while its slot's code and taxable stay), a withholding base typed
// (while the taxable stays), and is what an overflow leaves on screen.
Summary summarise(const SummaryInput &input, const Summary &previous, const VatRates &rates);

} // namespace Orlavo::Sales
