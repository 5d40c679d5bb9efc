#include "accounting/stores/causalstore.h"

#include "masterdata/stores/chartstore.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Accounting {

using Services::DataAccess;
using Services::Row;
namespace Tables = Services::Tables;

namespace {

const QString kCode = QStringLiteral("CODICE");

bool chosen(const QString &deductibility)
{
    return deductibility == QLatin1String("D") || deductibility == QLatin1String("S");
}

// The checks read the archive with the row's own values: the VAT code's
// kind decides whether a deductibility must be chosen.
QList<Services::CheckDef> causalChecks(DataAccess &db, const Row &row)
{
    namespace Check = Services::Check;
    QList<Services::CheckDef> checks;
    for (const QString &account : causalAccounts())
        checks << Check::known(account, Tables::TAB_PIANO_CONTI, kCode,
                               QStringLiteral("Conto non presente sul Piano dei Conti"));
    checks << Check::known(CausalColumn::vat, Tables::TAB_PERIVA, kCode, QStringLiteral("Codice Iva sconosciuto !"))
           << Check::decide(CausalColumn::deductible, QStringLiteral("Impostare detraibilità"),
                            [&db, &row](const QVariant &deductibility) {
                                return chosen(deductibility.toString()) ||
                                       vatKindOf(db, row.text(CausalColumn::vat)) != QLatin1String("P");
                            })
           << Check::custom(CausalColumn::bank, QStringLiteral("Banca errata"),
                            [&db](const QVariant &bank) {
                                return bank.toString() == QLatin1String(kCash) ||
                                       Services::valueKnown(db, Tables::TAB_BAN_PAG, kCode, bank);
                            })
           << Check::required(QStringLiteral("DESCRIZIONE"),
                              QStringLiteral("Descrizione Causale di Contabilità - Obbligatoria !"))
           << Check::unique(CausalColumn::code, Tables::TAB_CAU_CONT, {CausalColumn::code},
                            QStringLiteral("Causale di Contabilità già presente in archivio !"))
           << Check::required(CausalColumn::code, QStringLiteral("Causale di Contabilità - Obbligatoria !"))
           << Check::known(CausalColumn::type, Tables::TAB_TIPO_CAUS, kCode,
                           QStringLiteral("Tipo Causale sconosciuta !"))
           << Check::required(CausalColumn::type, QStringLiteral("Tipo Causale - Obbligatoria !"));
    return checks;
}

Masterdata::CodedTable causalsOf()
{
    Masterdata::CodedTable table;
    table.def = &causalTable();
    table.key = CausalColumn::code;
    table.checksFor = causalChecks;
    table.complete = [](DataAccess &db, Row &row) {
        row.set(CausalColumn::deductible, registeredDeductibility(row.text(CausalColumn::deductible),
                                                                  vatKindOf(db, row.text(CausalColumn::vat))));
    };
    table.wholeRow = true;
    table.saveTitle = QStringLiteral("Registra Causali di Contabilità ");
    table.deleteTitle = QStringLiteral("Elimina Causali di Contabilità ");
    table.insertStep = QStringLiteral("Ins. causali contabili");
    table.updateStep = QStringLiteral("Agg. causali contabili");
    table.deleteStep = QStringLiteral("Canc. causali contabili");
    return table;
}

} // namespace

const Services::TableDef &causalTable()
{
    namespace Col = Services::Column;
    static const Services::TableDef def{
        Tables::TAB_CAU_CONT,
        Services::Target::Company,
        {Col::code(CausalColumn::type, 2), Col::key(Col::code(CausalColumn::code, 6)),
         Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::code(CausalColumn::deductible, 1),
         Col::code(CausalColumn::vat, 4), Col::code(CausalColumn::bank, 5), Col::code(QStringLiteral("DARE_1"), 6),
         Col::code(QStringLiteral("AVERE_1"), 6), Col::code(QStringLiteral("DARE_2"), 6),
         Col::code(QStringLiteral("AVERE_2"), 6), Col::code(QStringLiteral("DARE_3"), 6),
         Col::code(QStringLiteral("AVERE_3"), 6)}};
    return def;
}

const Masterdata::CodedTable &accountingCausals()
{
    static const Masterdata::CodedTable table = causalsOf();
    return table;
}

const QStringList &causalAccounts()
{
    static const QStringList accounts{QStringLiteral("AVERE_3"), QStringLiteral("DARE_3"),  QStringLiteral("AVERE_2"),
                                      QStringLiteral("DARE_2"),  QStringLiteral("AVERE_1"), QStringLiteral("DARE_1")};
    return accounts;
}

QString registeredDeductibility(const QString &chosenValue, const QString &vatKind)
{
    if (vatKind.trimmed().compare(QLatin1String("D"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("N");
    const QString value = chosenValue.trimmed().toUpper();
    return chosen(value) ? value : QString();
}

QString vatKindOf(DataAccess &db, const QString &vatCode)
{
    if (vatCode.trimmed().isEmpty())
        return {};
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT TIPO_CODICE FROM %1 WHERE %2").arg(Tables::TAB_PERIVA, Services::sqlUpperEquals(kCode)),
        {vatCode.trimmed()});
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("TIPO_CODICE")).trimmed().toUpper() : QString();
}

QString causalFieldDescription(DataAccess &db, const QString &column, const QString &code)
{
    if (column == CausalColumn::bank && code.trimmed() == QLatin1String(kCash))
        return QString::fromLatin1(kCashText);
    QString table = Tables::TAB_PIANO_CONTI;
    if (column == CausalColumn::type)
        table = Tables::TAB_TIPO_CAUS;
    else if (column == CausalColumn::vat)
        table = Tables::TAB_PERIVA;
    else if (column == CausalColumn::bank)
        table = Tables::TAB_BAN_PAG;
    return Masterdata::descriptionOfCode(db, table, code);
}

} // namespace Orlavo::Accounting
