#pragma once

#include "masterdata/rules/supplierflavour.h"
#include "masterdata/stores/partystore.h"
#include "masterdata/stores/recorduses.h"
#include "services/core/outcome.h"

#include <QList>
#include <QString>

#include <optional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// A supplier or an agent: its ANAG_FOR row with the CONT_FOR (contact) and
// RIT_FOR (withholding) parts, one record written in one write unit. The
// supplier's bank is one code in BANCA_APP or BANCA_PAG by its kind, the
// other blank.
using Supplier = Services::Record;

enum SupplierPart : int { SupplierMain = 0, SupplierContact = 1, SupplierWithholding = 2 };

const Services::FamilyDef &supplierFamily();
const PartyDef &supplierParty();

inline int supplierCode(const Supplier &supplier)
{
    return supplier.main().integer(QStringLiteral("FORNITORE"));
}
inline bool isAgent(const Supplier &supplier)
{
    return supplier.main().flag(QStringLiteral("AGENTE"));
}

// A new supplier or agent: cost and supplier accounts by their roles (COS,
// FOR), country "ITALIA" and location "INTERNO" by description.
Supplier newSupplier(Services::DataAccess &db, SupplierFlavour flavour);
std::optional<Supplier> loadSupplier(Services::DataAccess &db, int code);

// A supplier type's withholding: subject to it (RITENUTA 'S'), the
// withholding and pension-fund percentages. Nothing for an unknown type.
struct WithholdingOfType {
    bool subject = false;
    double tax = 0;
    double pensionFund = 0;
};
std::optional<WithholdingOfType> withholdingOfType(Services::DataAccess &db, const QString &type);

// The insert window words a few messages its own way.
enum class SupplierWording { Insert, Modify };

// The confirm checks in their order; every failing one. The tax code kept
// against the warning passes. With `only`, the checks of that column alone.
QList<Services::FieldProblem> checkSupplier(Services::DataAccess &db, const Supplier &supplier,
                                            const QString &keptTaxCode, SupplierWording wording,
                                            const QString &only = {});

// What keeps a supplier from being deleted: its purchase list, the sale
// lists naming it and its discounts ("Articoli"); stock movements join as
// their table is created.
const QList<RecordUse> &supplierUses();
Services::Outcome<QStringList> supplierUsesOf(Services::DataAccess &db, int code);

// The writes under the lock TUTTO in one transaction, errors reported: the
// insert ("Codifica Fornitori") takes its code from ****ANAF and writes an
// agent's AGENTI row; the update ("Aggiornamento Fornitore") keeps AGENTI
// in step and, with the personal list switched off, deletes the supplier's
// LIST_ACQ, the LIST_VEN rows naming it and its TAB_SCONFOR rows; the
// delete ("Elimina Fornitore") takes every row of the supplier.
Services::WriteResult insertSupplier(Services::DataAccess &db, const Supplier &supplier);
Services::WriteResult updateSupplier(Services::DataAccess &db, const Supplier &supplier, const Supplier &loaded);
Services::WriteResult deleteSupplier(Services::DataAccess &db, int code);

} // namespace Orlavo::Masterdata
