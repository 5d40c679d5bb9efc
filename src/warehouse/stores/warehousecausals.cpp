#include "warehouse/stores/warehousecausals.h"

#include "services/core/tablenames.h"
#include "warehouse/rules/stockeffects.h"
#include "warehouse/stores/movementstore.h"

namespace Orlavo::Warehouse {

using Services::Row;
namespace Tables = Services::Tables;

namespace {

const QString kCode = QStringLiteral("CODICE");
const QString kAverage = QStringLiteral("PMA");

// Only loads and openings bring a purchase price to average.
bool admitsAverage(const QString &code)
{
    return code.startsWith(QLatin1Char('C')) || code.startsWith(QLatin1Char('A'));
}

QList<Services::CheckDef> causalChecks(Services::DataAccess &, const Row &row)
{
    namespace Check = Services::Check;
    const QString code = row.text(kCode);
    // A blank code is the code's own problem.
    return {Check::custom(
                kAverage,
                QStringLiteral("Impossibile utilizzare il calcolo dei prezzi medi d'acquisto \n"
                               "su causali di scarico "),
                [code](const QVariant &average) { return !average.toBool() || code.isEmpty() || admitsAverage(code); }),
            Check::unique(kCode, Tables::TAB_CAU_MAG, {kCode}, QStringLiteral("Codice già presente in archivio")),
            Check::required(kCode, QStringLiteral("Codice obbligatorio"))};
}

CausalTable causalsOf()
{
    CausalTable table;
    table.def = &causalTable();
    table.checksFor = causalChecks;
    table.uses << Masterdata::RecordUse{
        Tables::MOVMAG, {QStringLiteral("CAUSALE")}, QStringLiteral("Movimenti di magazzino")};
    table.name(QStringLiteral("Registra Causali di Magazzino"), QStringLiteral("tab_cau_mag"));
    table.deleteTitle = QStringLiteral("Elimina Movimenti di Magazzino");
    table.usedMessage = QStringLiteral("Causale di Magazzino utilizzata: codice non modificabile");
    return table;
}

Services::WriteResult effectRefused()
{
    return Services::WriteResult::usedBy({QString::fromLatin1(kEffectUse)});
}

} // namespace

const CausalTable &warehouseCausals()
{
    static const CausalTable table = causalsOf();
    return table;
}

Services::Outcome<QStringList> codeUses(Services::DataAccess &db, const CausalTable &table, const QString &code)
{
    // Codes are stored upper case.
    auto uses = Masterdata::codeUses(db, table, code.trimmed().toUpper());
    if (uses && hasEffect(code))
        uses->prepend(QString::fromLatin1(kEffectUse));
    return uses;
}

Services::WriteResult updateCodedRow(Services::DataAccess &db, const CausalTable &table, const Row &row,
                                     const Row &loaded)
{
    const QString code = loaded.text(table.key);
    if (row.text(table.key) != code && hasEffect(code))
        return effectRefused();
    return Masterdata::updateCodedRow(db, table, row, loaded);
}

Services::WriteResult deleteCodedRow(Services::DataAccess &db, const CausalTable &table, const Row &loaded)
{
    if (hasEffect(loaded.text(table.key)))
        return effectRefused();
    return Masterdata::deleteCodedRow(db, table, loaded);
}

} // namespace Orlavo::Warehouse
