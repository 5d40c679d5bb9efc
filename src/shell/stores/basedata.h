#pragma once

#include "services/core/outcome.h"
#include "services/core/record.h"
#include "shell/rules/basedatarules.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
class Settings;
} // namespace Orlavo::Services

namespace Orlavo::Shell {

// The company's row of DATIBASE as the base-data window edits it; the
// date of the last print (DATASTAMP) is not touched here.
struct BaseData {
    QString bank;                   // BANCA, a code of TAB_BAN_PAG
    QString vatCode;                // PERCIVA, a code of TAB_PERIVA
    QString vatPeriod;              // LIQUIVA: "M" monthly, "T" quarterly
    bool separateNumbering = false; // NUMERAZ: credit notes numbered apart
    bool vatRegister = false;       // REGIVA: credit notes reverse the VAT register
    QString warehouse;              // MAGAZZINO, blank for none

    bool operator==(const BaseData &) const = default;
};

// The row of the company; nothing when it has none.
Services::Outcome<std::optional<BaseData>> readBaseData(Services::DataAccess &db, const QString &company);

// Writes the row under the archive lock in the unit "Modifica datibase";
// a company without a row gets one. False when it was not written: the
// operator has been told (lock message or error report), everything is
// rolled back and the lock is released.
bool writeBaseData(Services::DataAccess &db, const QString &company, const BaseData &data);

// A row of a code table (code and description).
struct CodeEntry {
    QString code; // as the table keeps it
    QString description;
};

// The row whose CODICE matches the text without regard to case; nothing
// for an empty text or a code the table does not have.
Services::Outcome<std::optional<CodeEntry>> findTableCode(Services::DataAccess &db, const QString &table,
                                                          const QString &code);

// The options of CONT.INI the base-data window keeps.
struct BaseOptions {
    QString year;                               // MAIN ANNO
    QString priceKind;                          // PREZZOBOLLA: L list, V discounted, R marked up, F fixed
    bool discountsCalculated = true;            // SCONTICALCOLATI SI, NO shows the discounts
    QString invoiceType;                        // TIPOFATTURA: "N", "A", or what else stood in the key
    QString invoicePrint;                       // STAMPAFATTURA: N normal, R summarised
    bool vatRoundUp = false;                    // ARROTIVASUPERIORE
    bool separateDebitNotes = false;            // NUMERAZNOTEDEBSEP
    bool printDetail = false;                   // STAMPADETTFATT
    bool forceOrderInvoiced = false;            // FORZAQTAORDINE
    QString searchFrom;                         // MAGAZZINO RICERCAINIZIO
    QString searchTo;                           // MAGAZZINO RICERCAFINE
    Priorities priorities = kDefaultPriorities; // MAGAZZINO PRLISTPER, PRLISTBA, PRULTCO, PRACQF
    QString free1;                              // ARTICOLI LIBERO1
    QString free2;                              // ARTICOLI LIBERO2

    bool operator==(const BaseOptions &) const = default;
};

// The names the base-data checks report their problems under.
namespace BaseField {
inline const QString VatPeriod = QStringLiteral("LIQUIVA");
inline const QString VatCode = QStringLiteral("PERCIVA");
inline const QString Bank = QStringLiteral("BANCA");
inline const QString Year = QStringLiteral("ANNO");
inline const QString Warehouse = QStringLiteral("MAGAZZINO");
inline const QString SearchFrom = QStringLiteral("RICERCAINIZIO");
inline const QString SearchTo = QStringLiteral("RICERCAFINE");
// PRIORITA1..4, position 0..3.
QString priority(int position);
} // namespace BaseField

// The checks of the base data and options in the window's order; every
// failing one, a repeated priority once for each field holding it. With
// `only`, the checks of that field alone (a priority's check covers all four).
QList<Services::FieldProblem> checkBaseData(Services::DataAccess &db, const BaseData &data,
                                            const BaseOptions &options, const QString &only = {});

// Reads the options; a missing PREZZOBOLLA ("L") or SCONTICALCOLATI ("SI")
// is written back at once. A missing year is the one in use.
BaseOptions readBaseOptions(const Services::Settings &settings, const QString &yearInUse);
// Writes every option but the year, which waits for its counters. False
// when a write failed (reported by the settings' own handler).
bool writeBaseOptions(const Services::Settings &settings, const BaseOptions &options);
bool writeWorkingYear(const Services::Settings &settings, const QString &year);

} // namespace Orlavo::Shell
