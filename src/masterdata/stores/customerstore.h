#pragma once

#include "masterdata/stores/recorduses.h"
#include "services/core/outcome.h"

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A customer as the window edits it: the columns of ANAG_CLI, CONT_CLI and
// PERS_CLI as text ("dd/mm/yyyy" dates, discounts with a decimal comma,
// "S"/"N" and "P"/"S" flags as stored, SCFATT and SUDDIVCANTIERE as
// "S"/"N"). Coded fields hold codes: the window shows country, location,
// customer type and document type by description and keeps their codes.
struct Customer {
    QHash<QString, QString> main;     // ANAG_CLI
    QHash<QString, QString> contact;  // CONT_CLI
    QHash<QString, QString> personal; // PERS_CLI

    int code() const { return main.value(QStringLiteral("CLIENTE")).toInt(); }
    bool operator==(const Customer &other) const;
};

// A customer as read: which of the optional rows existed.
struct StoredCustomer {
    Customer customer;
    bool hasContact = false;
    bool hasPersonal = false;
};

enum class CustomerPart { Main, Contact, Personal };

// The columns of each table in their order, the key first.
const QStringList &customerColumns(CustomerPart part);

// A new customer's values: revenue and customer accounts by their roles
// (RIC, CLI), location "INTERNO" and country "ITALIA" by description, the
// rest blank.
Customer newCustomer(Services::DataAccess &db);

std::optional<StoredCustomer> loadCustomer(Services::DataAccess &db, int code);

// A failing check: the column (of any of the three parts) and its message.
struct CustomerProblem {
    QString column;
    QString message;
};

// The confirm checks in their order; every failing one. The tax code kept
// against the warning (keptTaxCode) passes. With `only`, the checks of that
// column alone (a field the operator leaves).
QList<CustomerProblem> checkCustomer(Services::DataAccess &db, const Customer &customer, const QString &keptTaxCode,
                                     const QString &only = {});

// Another customer holding the value of the column (PART_IVA, COD_FISC).
bool heldByAnother(Services::DataAccess &db, const QString &column, const QString &value, int code);

// What happened to the stored rows since they were read.
enum class StoredState { Same, Changed, Gone };
StoredState compareStored(Services::DataAccess &db, const StoredCustomer &loaded);

// The documents that keep a customer from being deleted (their CLIENTE
// column). The sales tables join this list as they are created.
const QList<RecordUse> &customerUses();
// The labels of the customer's uses found; a failure when they could not be read.
Services::Outcome<QStringList> customerUsesOf(Services::DataAccess &db, int code);

// How a save ended: written; the secondary code found taken under the lock
// (stored meanwhile by another workstation: nothing written, nothing
// reported); failed and reported.
enum class CustomerWrite { Written, SecondaryTaken, Failed };

// The writes: the lock TUTTO and one transaction ("Anagrafica clienti"),
// errors reported. An insert takes its code from the counter ****ANAC and
// leaves it in *code.
CustomerWrite insertCustomer(Services::DataAccess &db, const Customer &customer, int *code);
// Writes what changed against the row as loaded; switching the personal
// price list off deletes the customer's LIST_VEN and TAB_SCONCLI rows.
CustomerWrite updateCustomer(Services::DataAccess &db, const Customer &customer, const StoredCustomer &loaded);
// Deletes the customer with its contact, personal and delivery-place rows
// and its price lists and discounts.
bool deleteCustomer(Services::DataAccess &db, int code);

} // namespace Orlavo::Masterdata
