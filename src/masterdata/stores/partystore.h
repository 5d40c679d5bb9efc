#pragma once

#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QList>
#include <QString>

#include <functional>

namespace Orlavo::Services {
class DataAccess;
class WriteUnit;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// What customers and suppliers share: a register keyed by a number taken
// from its counter, a secondary code unique when given, tax identifiers
// that another party may hold, a personal price list, defaults found by
// role and description, and writes under the lock TUTTO.
struct PartyDef {
    QString table;   // ANAG_CLI, ANAG_FOR
    QString key;     // CLIENTE, FORNITORE
    QString counter; // ****ANAC, ****ANAF
    const Services::FamilyDef *family = nullptr;
    // The register's writes and the uses that keep a party from deletion.
    Services::WriteResult (*insert)(Services::DataAccess &, const Services::Record &) = nullptr;
    Services::WriteResult (*update)(Services::DataAccess &, const Services::Record &,
                                    const Services::Record &) = nullptr;
    Services::WriteResult (*erase)(Services::DataAccess &, int) = nullptr;
    Services::Outcome<QStringList> (*usesOf)(Services::DataAccess &, int) = nullptr;
};

// A register's main table: its key, the columns both registers have with the
// same meaning (names, offices, identifiers, contacts, terms, banks,
// country, price list), then its own.
QList<Services::ColumnDef> partyColumns(const Services::ColumnDef &key, const QList<Services::ColumnDef> &own);

// Another party of the register holding the value of the column
// (CODICE2, PART_IVA, COD_FISC), case ignored.
bool heldByAnother(Services::DataAccess &db, const PartyDef &party, const QString &column, const QString &value,
                   int code);
// The identifiers (VAT number, tax code) typed anew that another party
// holds, each with its message: the operator is asked whether to go on.
QList<Services::FieldProblem> sharedIdentifiers(Services::DataAccess &db, const PartyDef &party,
                                                const Services::Record &typed, const Services::Record &loaded);
// Switching the personal price list off (TIPOLISTINO 'P' to 'S'): the save
// deletes the party's lists and discounts, and the window warns of it.
bool dropsPersonalList(const Services::Record &typed, const Services::Record &loaded);

// The account of the chart carrying a role (RIC, CLI, COS, FOR): the lowest
// code, so both engines agree.
QString accountForRole(Services::DataAccess &db, const QString &role);
// The code of a table's row by its description, case ignored ("ITALIA").
QString codeOfDescription(Services::DataAccess &db, const QString &table, const QString &keyColumn,
                          const QString &description);

// The checks both registers run, each with its own message.
namespace PartyCheck {
// A code (or description chosen by its code) not blank and not in the table.
Services::CheckDef known(const char *column, const QString &table, const char *message, const QString &extra = {});
Services::CheckDef required(const char *column, const char *message);
// A date the form could read.
Services::CheckDef validDate(const char *column, const char *message);
// The tax code: valid, or the one the operator chose to keep.
Services::CheckDef taxCode(const char *message, const QString &kept);
Services::CheckDef vatNumber(const char *message);
// The secondary code not held by another party.
Services::CheckDef secondaryCode(Services::DataAccess &db, const PartyDef &party, int code, const char *message);
} // namespace PartyCheck

// Rows a party's write adds to its own (an agent's name list), given the
// record with its new or stored key.
using PartyRows = std::function<bool(Services::WriteUnit &unit, const Services::Record &numbered)>;

// The insert under the lock TUTTO in one write unit titled `where`: a
// secondary code found taken under the lock ends as Duplicate on CODICE2,
// nothing written; the code comes from the counter (WriteResult::code); the
// main row, then `afterMain`, then the parts entered.
Services::WriteResult insertParty(Services::DataAccess &db, const PartyDef &party, const QString &where,
                                  const Services::Record &record, const PartyRows &afterMain = {});
// The update of what changed against the record as loaded: nothing changed
// writes nothing; the main row, then `afterMain` (lists dropped, an agent's
// name), then the parts.
Services::WriteResult updateParty(Services::DataAccess &db, const PartyDef &party, const QString &where,
                                  const Services::Record &record, const Services::Record &loaded,
                                  const PartyRows &afterMain = {});

// One statement of a delete: the party's rows of a table, under a step.
struct PartyRowsOf {
    const char *step;
    QString table;
    QString column; // the column holding the party's code
};
// Deletes the party's rows table by table, under the lock TUTTO.
Services::WriteResult deleteParty(Services::DataAccess &db, const QString &where, int code,
                                  const QList<PartyRowsOf> &steps);
// Deletes them inside a write unit already open.
bool deletePartyRows(Services::WriteUnit &unit, int code, const QList<PartyRowsOf> &steps);

} // namespace Orlavo::Masterdata
