#pragma once

#include "masterdata/stores/codedtable.h"

#include <QString>
#include <QStringList>

namespace Orlavo::Services {
class DataAccess;
} // namespace Orlavo::Services

namespace Orlavo::Accounting {

// The columns of TAB_CAU_CONT that the checks and the window name.
namespace CausalColumn {
inline const QString type = QStringLiteral("TIPO_CAUSALE");
inline const QString code = QStringLiteral("CAUSALE");
inline const QString vat = QStringLiteral("COD_IVA");
inline const QString bank = QStringLiteral("CASSA_BANCA");
inline const QString deductible = QStringLiteral("DETRAIBILE");
} // namespace CausalColumn

// TAB_CAU_CONT: type, code (unique whatever the type), description,
// deductibility, VAT code, bank or cash ("***"), three debit and three
// credit accounts. Its checks, read with the row's own values: accounts, VAT
// code and deductibility, bank, description, code, type; a write registers
// DETRAIBILE by its rule.
const Services::TableDef &causalTable();
const Masterdata::CodedTable &accountingCausals();
// The six accounts in the order they are checked: third credit first.
const QStringList &causalAccounts();

// The bank-or-cash code that stands for cash, and what shows for it.
inline constexpr char kCash[] = "***";
inline constexpr char kCashText[] = "CASSA";

// DETRAIBILE as registered: "N" for a non-deductible VAT kind ("D")
// whatever was chosen, else the chosen "D" (100 %) or "S" (50 %), else
// empty.
QString registeredDeductibility(const QString &chosen, const QString &vatKind);
// The kind (TIPO_CODICE) of a VAT code; empty when blank or unknown.
QString vatKindOf(Services::DataAccess &db, const QString &vatCode);

// What shows beside a causal's coded field: the type's, the account's, the
// VAT code's or the bank's description, "CASSA" for "***".
QString causalFieldDescription(Services::DataAccess &db, const QString &column, const QString &code);

} // namespace Orlavo::Accounting
