#pragma once

#include "services/core/sqlterms.h"
#include "ui/lookuplist.h"

#include <QString>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A coded column of the parties' registers: the table its code is looked
// up in, the column shown beside it, and its list.
struct CodedLookup {
    QString table;
    QString key;
    QString description;
    QString condition; // program text
    QString title;
    bool numeric = false;         // the key is a number (customers, suppliers, agents)
    Services::Params params = {}; // the values the condition binds
};

// The coded columns of customers (and suppliers) by column name: provinces,
// payment condition, banks, agent, zone, activity, goods category, accounts,
// VAT code and register, customer and supplier type; CLIENTE, FORNITORE and
// AGENTE are the pickers "Lista CLIENTI", "Lista FORNITORI" and "Lista
// AGENTI" of the documents. Nothing for other columns.
const CodedLookup *partyLookup(const QString &column);

// Its list: code and description.
Ui::LookupRequest codedLookupList(const CodedLookup &lookup);

// The description of a code; empty when blank or unknown.
QString codedDescription(Services::DataAccess &db, const CodedLookup &lookup, const QString &code);

} // namespace Orlavo::Masterdata
