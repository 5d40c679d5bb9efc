#pragma once

#include "masterdata/stores/partystore.h"
#include "masterdata/stores/recorduses.h"
#include "services/core/outcome.h"
#include "services/data/recordstore.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A customer: its ANAG_CLI row with the CONT_CLI and PERS_CLI parts, typed
// values, one record written in one write unit. Coded fields hold codes: the
// window shows country, location, customer type and document type by
// description and keeps their codes.
using Customer = Services::Record;

enum CustomerPart : int { Main = 0, Contact = 1, Personal = 2 };

const Services::FamilyDef &customerFamily();

// A new customer's values: revenue and customer accounts by their roles
// (RIC, CLI), location "INTERNO" and country "ITALIA" by description, the
// rest blank.
Customer newCustomer(Services::DataAccess &db);

std::optional<Customer> loadCustomer(Services::DataAccess &db, int code);

inline int customerCode(const Customer &customer)
{
    return customer.main().integer(QStringLiteral("CLIENTE"));
}

// The confirm checks in their order; every failing one. The tax code kept
// against the warning (keptTaxCode) passes. With `only`, the checks of that
// column alone (a field the operator leaves).
QList<Services::FieldProblem> checkCustomer(Services::DataAccess &db, const Customer &customer,
                                            const QString &keptTaxCode, const QString &only = {});

// The customer register for the shared party rules (identifiers held by
// another customer, secondary code, writes).
const PartyDef &customerParty();

// The documents that keep a customer from being deleted (their CLIENTE
// column). The sales tables join this list as they are created.
const QList<RecordUse> &customerUses();
// The labels of the customer's uses found; a failure when they could not be read.
Services::Outcome<QStringList> customerUsesOf(Services::DataAccess &db, int code);

// The writes: the lock TUTTO and one transaction ("Anagrafica clienti"),
// errors reported. An insert takes its code from the counter ****ANAC
// (WriteResult::code). A secondary code found taken under the lock (stored
// meanwhile by another workstation) ends as Duplicate on CODICE2, nothing
// written and nothing reported.
Services::WriteResult insertCustomer(Services::DataAccess &db, const Customer &customer);
// Writes what changed against the record as loaded; switching the personal
// price list off deletes the customer's LIST_VEN and TAB_SCONCLI rows.
Services::WriteResult updateCustomer(Services::DataAccess &db, const Customer &customer, const Customer &loaded);
// Deletes the customer with its contact, personal and delivery-place rows
// and its price lists and discounts.
Services::WriteResult deleteCustomer(Services::DataAccess &db, int code);

} // namespace Orlavo::Masterdata
