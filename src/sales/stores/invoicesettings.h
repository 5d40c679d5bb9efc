#pragma once

#include <QString>

namespace Orlavo::Services {
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Sales {

// What the invoice window reads from CONT.INI when it opens; a missing key
// is written back with its default.
struct InvoiceSettings {
    QString priceSource = QStringLiteral("L"); // MAIN PREZZOBOLLA
    bool noteNumberOnRows = false;             // MAIN NDOC_SU_DDT: the note's document number
    bool accompanying = false;                 // FATTURA TIPOFATTURA "A"
    bool computedDiscounts = true;             // MAIN SCONTICALCOLATI
    bool todayOnInvoice = true;                // MAIN DATAGIORNOSUFATTURA
    QString importOrder = QStringLiteral("1"); // IMPORTADOC ORDINAMENTODDTINFATT
    bool importDetails = true;                 // IMPORTADOC DETTAGLI
    bool importPrices = true;                  // IMPORTADOC DETTCONPREZZI
    bool importReferences = true;              // IMPORTADOC RIFERIMENTI
    // RITACC_SU_FVEND: the withholding proposed, with its last figures.
    bool withholding = false;
    QString withholdingCausal, withholdingRate, withholdingAccount;
    bool specialTotals = false; // FATTURA CALCOLO_TOTALI_SPECIALI
    QString specialBrand, specialItem;
    bool checkCommissions = true;       // FATTURA CONTROLLO_PROVVIGIONI
    bool forceOrderQuantity = false;    // FATTURA FORZAQTAORDINE
    bool debitNotesApart = false;       // FATTURA NUMERAZNOTEDEBSEP
    QString free1Caption, free2Caption; // ARTICOLI LIBERO1, LIBERO2
    bool checkNegativeStock = false;    // MAIN CTRL_ESIST_NEG
};

// Reads the settings. TIPOFATTURA and NUMERAZNOTEDEBSEP moved from MAIN to
// FATTURA: a value still in MAIN is taken over and the old key marked
// "** NON USATO **". TIPOFATTURA is held as "N" or "A".
InvoiceSettings readInvoiceSettings(const Services::Settings &settings);

// After a posting: the withholding used, or "NO" without one.
bool writeWithholdingSettings(const Services::Settings &settings, bool used, const QString &causal, const QString &rate,
                              const QString &account);

} // namespace Orlavo::Sales
