#include "masterdata/stores/chartstore.h"

#include "masterdata/rules/accountrules.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::Row;
namespace Tables = Services::Tables;

namespace {

const QString kChartstoreCode = QStringLiteral("CODICE");
const QString kType = QStringLiteral("TIPO_CONTO");
const QString kRole = QStringLiteral("CONT_AUT");

CodedTable chartOf()
{
    namespace Check = Services::Check;
    const QString notFit = QStringLiteral("Codice conto automatico non compatibile con il tipo conto");
    CodedTable table;
    table.def = &chartTable();
    table.checks << Check::custom(kRole, QStringLiteral("Codice conto automatico sconosciuto !"),
                                  [](const QVariant &role) { return isAccountRole(role.toString()); });
    for (const auto &[letter, word] : accountTypes())
        table.checks << Check::when(
            Check::custom(kRole, notFit,
                          [letter](const QVariant &role) { return roleFitsType(role.toString(), letter); }),
            kType, letter);
    table.checks << Check::required(QStringLiteral("DESCRIZIONE"), QStringLiteral("Descrizione Conto - Obbligatoria !"))
                 // A letter that is no type is as good as none.
                 << Check::decide(kType, QStringLiteral("Tipo conto - Obbligatorio !"),
                                  [](const QVariant &type) { return !accountTypeWord(type.toString()).isEmpty(); })
                 << Check::unique(kChartstoreCode, Tables::TAB_PIANO_CONTI, {kChartstoreCode},
                                  QStringLiteral("Conto di Contabilità già presente in archivio !"))
                 << Check::required(kChartstoreCode, QStringLiteral("Conto di Contabilità - Obbligatorio !"))
                 << Check::known(QStringLiteral("SOTTOGRU"), Tables::TAB_SOGRUP, kChartstoreCode,
                                 QStringLiteral("Sottogruppo di appartenenza Conto sconosciuto !"))
                 << Check::required(QStringLiteral("SOTTOGRU"),
                                    QStringLiteral("Sottogruppo di appartenenza Conto - Obbligatorio !"))
                 << Check::known(QStringLiteral("GRUPPO"), Tables::TAB_GRUPP, kChartstoreCode,
                                 QStringLiteral("Gruppo di appartenenza Conto sconosciuto !"))
                 << Check::required(QStringLiteral("GRUPPO"),
                                    QStringLiteral("Gruppo di appartenenza Conto - Obbligatorio !"));
    // Journal lines keep the code they were posted with.
    table.uses << RecordUse{Tables::GIORN, {QStringLiteral("CONTO")}, QStringLiteral("Contabilità")};
    table.renameWhenUsed = true;
    table.wholeRow = true;
    table.saveTitle = QStringLiteral("Registra Piano Conti");
    table.deleteTitle = QStringLiteral("Elimina Piano Conti");
    table.insertStep = QStringLiteral("Ins. piano conti");
    table.updateStep = QStringLiteral("Agg. piano conti");
    table.deleteStep = QStringLiteral("Canc. piano conti");
    return table;
}

} // namespace

QString descriptionOfCode(DataAccess &db, const QString &table, const QString &code)
{
    if (code.trimmed().isEmpty())
        return {};
    const auto rows = db.openRecordset(
        QStringLiteral("SELECT DESCRIZIONE FROM %1 WHERE %2").arg(table, Services::sqlUpperEquals(kChartstoreCode)),
        {code.trimmed()}, Services::databaseOf(table));
    return rows && !rows->isEmpty() ? rows->first().text(QStringLiteral("DESCRIZIONE")) : QString();
}

const Services::TableDef &chartTable()
{
    namespace Col = Services::Column;
    static const Services::TableDef def{Tables::TAB_PIANO_CONTI,
                                        Services::Target::Company,
                                        {Col::code(QStringLiteral("GRUPPO"), 2),
                                         Col::code(QStringLiteral("SOTTOGRU"), 3), Col::key(Col::code(kChartstoreCode, 6)),
                                         Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::code(kType, 1),
                                         Col::code(kRole, 3)}};
    return def;
}

const CodedTable &chartOfAccounts()
{
    static const CodedTable table = chartOf();
    return table;
}

Services::Outcome<bool> accountInJournal(DataAccess &db, const QString &code)
{
    const auto uses = codeUses(db, chartOfAccounts(), code.trimmed().toUpper());
    if (!uses)
        return uses.failure();
    return !uses->isEmpty();
}

} // namespace Orlavo::Masterdata
