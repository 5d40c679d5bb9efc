#pragma once

#include <QString>

#include <functional>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Masterdata {

// What a generation tells as it goes: the party and brand, the rows done
// and the rows to do. False when the operator cancelled.
using GenerationProgress = std::function<bool(const QString &label, qint64 done, qint64 total)>;

struct GenerationResult {
    enum class End { Done, Refused, Cancelled, LockHeld, Failed };
    End end = End::Failed;
    QString message; // Refused: what the operator is told
    qint64 rows = 0; // rows written
    bool done() const { return end == End::Done; }
};

// What a generation works on. Items are kept per warehouse, list rows are
// not: each brand and code is taken once, from `warehouse` (the company's
// default) when it holds it, else from the lowest warehouse code.
struct GenerationRequest {
    int party = 0;    // the supplier (purchase) or customer (sale); 99999 the standard list
    int supplier = 0; // sale lists of a personal customer: the supplier whose rows they take
    QString brand;
    QString warehouse;
    int decimals = 2;
};

// The purchase list of a supplier with a personal list for a brand, or the
// standard list (99999): its rows of the brand deleted and written again
// from the brand's items, in one transaction under the lock TUTTO ("Genera
// list acq"). A supplier without a personal list: "Fornitore errato".
GenerationResult generatePurchaseList(Services::DataAccess &db, const GenerationRequest &request,
                                      const GenerationProgress &progress = {});

// The sale list of a customer with a personal list for a brand and a
// supplier, from the supplier's purchase rows ("Generazione list vend"), or
// the standard list for the brand from every supplier's purchase rows
// ("Gnera list vend base"). A customer without a personal list: "Cliente
// errato"; a supplier without purchase rows for the brand: the "Manca
// listino ACQUISTO" message, and nothing done.
GenerationResult generateSaleList(Services::DataAccess &db, const GenerationRequest &request,
                                  const GenerationProgress &progress = {});

// "Manca listino ACQUISTO per la marca B ed il fornitore  F" and the advice.
QString missingPurchaseListMessage(const QString &brand, int supplier);

} // namespace Orlavo::Masterdata
