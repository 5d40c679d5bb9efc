#include "masterdata/stores/itemstore.h"

#include "masterdata/stores/partystore.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <limits>

namespace Orlavo::Masterdata {

using Services::DataAccess;
using Services::WriteEnd;
using Services::WriteResult;
namespace Tables = Services::Tables;

namespace {

namespace Col = Services::Column;
namespace Check = Services::Check;

constexpr char kItemWhere[] = "Gestione articoli";
constexpr char kSection[] = "ARTICOLI";
constexpr char kNone[] = "@@";
constexpr double kHuge = std::numeric_limits<double>::max();

// Prices as typed (5 decimals), quantities 3.
Services::ColumnDef price(const char *name)
{
    return Col::amount(QString::fromLatin1(name), 5);
}
Services::ColumnDef quantity(const char *name)
{
    return Col::quantity(QString::fromLatin1(name));
}

const Services::TableDef &itemTable()
{
    static const Services::TableDef def{Tables::ARTICOLI,
                                        Services::Target::Company,
                                        {
                                            Col::key(Col::code(QStringLiteral("MAGAZZINO"), 2)),
                                            Col::key(Col::code(QStringLiteral("MARCA"), 3)),
                                            Col::key(Col::code(QStringLiteral("ARTICOLO"), 30)),
                                            Col::text(QStringLiteral("DESC_ART"), 60),
                                            Col::code(QStringLiteral("TIPO_ART"), 2),
                                            Col::text(QStringLiteral("COD_BARRE"), 30),
                                            Col::code(QStringLiteral("TIPO_BARRE"), 2),
                                            Col::code(QStringLiteral("COD_IVA"), 4),
                                            Col::code(QStringLiteral("UNITA_MIS"), 2),
                                            Col::code(QStringLiteral("UNITA_MIS2"), 2),
                                            quantity("RAPPORTO"),
                                            Col::code(QStringLiteral("UNITA_MIS3"), 2),
                                            quantity("TARA"),
                                            quantity("PESO_SPECIF"),
                                            quantity("PEZZI_CONF"),
                                            Col::flagMinusOne(QStringLiteral("SPECIALE")),
                                            Col::code(QStringLiteral("COD_MERCE"), 6),
                                            Col::code(QStringLiteral("COD_STATIS"), 12),
                                            price("PREZZO_LIST"),
                                            price("PREZZO_IVA_INC"),
                                            Col::integer(QStringLiteral("NUM_DEC")),
                                            price("PREZZO_LIST_E"),
                                            price("PREZZO_IVA_INC_E"),
                                            Col::integer(QStringLiteral("NUM_DEC_E")),
                                            price("PREZZO_LIST_3"),
                                            price("PREZZO_IVA_INC_3"),
                                            Col::integer(QStringLiteral("NUM_DEC_3")),
                                            price("PREZZO_ACQ"),
                                            price("PREZZO_V1"),
                                            Col::percent(QStringLiteral("SC_V1")),
                                            Col::percent(QStringLiteral("SC_V2")),
                                            Col::percent(QStringLiteral("SC_V3")),
                                            price("PREZZO_VSC"),
                                            Col::percent(QStringLiteral("SC_A1")),
                                            Col::percent(QStringLiteral("SC_A2")),
                                            Col::percent(QStringLiteral("SC_A3")),
                                            price("PREZZO_ASC"),
                                            Col::percent(QStringLiteral("PERC_RIC")),
                                            price("PREZZO_RIC"),
                                            Col::percent(QStringLiteral("PERC_PROV")),
                                            Col::code(QStringLiteral("ARTIC_ALT"), 30),
                                            Col::code(QStringLiteral("MARCA_ALT"), 3),
                                            Col::text(QStringLiteral("TEMPO_APPR"), 30),
                                            // The stock figures: written only when changed here.
                                            quantity("GC_INIZ"),
                                            Col::amount(QStringLiteral("VAL_INIZ")),
                                            quantity("SCORTA_MIN"),
                                            quantity("ESISTENZA"),
                                            quantity("IMPEGNATO"),
                                            Col::amount(QStringLiteral("VAL_IMPEGN")),
                                            quantity("ORDINATO"),
                                            Col::amount(QStringLiteral("VAL_ORDIN")),
                                            quantity("CARICO_F"),
                                            quantity("CARICO_A"),
                                            Col::amount(QStringLiteral("VAL_CARICO")),
                                            Col::date(QStringLiteral("ULT_CARICO")),
                                            price("ULT_COSTOA"),
                                            quantity("SCARICO_V"),
                                            quantity("SCARICO_A"),
                                            Col::amount(QStringLiteral("VAL_SCARIC")),
                                            Col::date(QStringLiteral("ULT_SCARIC")),
                                            Col::code(QStringLiteral("CONTO"), 6),
                                            Col::code(QStringLiteral("CCOS"), 2),
                                            Col::text(QStringLiteral("LIBERO1"), 60),
                                            Col::text(QStringLiteral("LIBERO2"), 60),
                                            Col::flagMinusOne(QStringLiteral("COMPOSTO")),
                                            Col::text(QStringLiteral("FOTOGR"), 255),
                                            Col::flagMinusOne(QStringLiteral("NON_USARE")),
                                        }};
    return def;
}

Services::CheckDef notBelowZero(const char *column, const char *message)
{
    return Check::range(QString::fromLatin1(column), 0, kHuge, QString::fromUtf8(message));
}
Services::CheckDef notAbove100(const char *column, const char *message)
{
    return Check::range(QString::fromLatin1(column), -kHuge, 100, QString::fromUtf8(message));
}

QList<Services::CheckDef> itemChecks(DataAccess &db, const Item &item, bool inserting)
{
    using namespace PartyCheck;
    QList<Services::CheckDef> checks = {
        validDate("ULT_SCARIC", "Data ultimo scarico errata "),
        validDate("ULT_CARICO", "Data ultimo carico errata "),
        notBelowZero("PREZZO_V1", "Prezzo di vendita non può essere minore di zero !"),
    };
    const auto percents = [&checks](const char *column, const char *below, const char *above) {
        checks << notBelowZero(column, below) << notAbove100(column, above);
    };
    for (const char *discount : {"SC_A3", "SC_A2", "SC_A1"})
        percents(discount, "Sconto non può essere minore di zero !", "Sconto non può essere maggiore di 100 !");
    percents("PERC_PROV", "Percentuale provvigione non può essere minore di zero !",
             "Percentuale provvigione non può essere maggiore di 100 !");
    percents("PERC_RIC", "Percentuale di ricarico non può essere minore di zero !",
             "Percentuale di ricarico non può essere maggiore di 100 !");
    for (const char *discount : {"SC_V3", "SC_V2", "SC_V1"})
        percents(discount, "Sconto non può essere minore di zero !", "Sconto non può essere maggiore di 100 !");
    for (const char *list : {"PREZZO_LIST", "PREZZO_LIST_E", "PREZZO_LIST_3"})
        checks << notBelowZero(list, "Prezzo di listino non può essere minore di zero !");
    checks << notBelowZero("PREZZO_ACQ", "Prezzo d'acquisto non può essere minore di zero !");

    // The alternative item is looked for in the item's own warehouse, under its brand.
    const Services::Row &row = item.main();
    const QString warehouse = row.text(QStringLiteral("MAGAZZINO"));
    const QString alternativeBrand = row.text(QStringLiteral("MARCA_ALT"));
    checks << Check::custom(QStringLiteral("ARTIC_ALT"), QStringLiteral("Articolo alternativo errato"),
                            [&db, warehouse, alternativeBrand](const QVariant &code) {
                                auto rows = db.openRecordset(
                                    QStringLiteral("SELECT ARTICOLO FROM %1 WHERE MAGAZZINO = ? AND %2 AND %3")
                                        .arg(Tables::ARTICOLI, Services::sqlUpperEquals(QStringLiteral("MARCA")),
                                             Services::sqlUpperEquals(QStringLiteral("ARTICOLO"))),
                                    {warehouse, alternativeBrand, code});
                                return rows && !rows->isEmpty();
                            });
    checks << known("MARCA_ALT", Tables::TAB_MARCHE, "Codice marca errato");
    if (!row.isBlank(QStringLiteral("ARTIC_ALT")))
        checks << required("MARCA_ALT", "Codice marca obbligatorio");
    checks << notBelowZero("PEZZI_CONF", "Pezzi per conf. non può essere negativo")
           << known("CCOS", Tables::TAB_CCOS, "Centro di costo errato") << required("CONTO", "Conto obbligatorio")
           << known("CONTO", Tables::TAB_PIANO_CONTI, "Conto errato", QStringLiteral(" AND TIPO_CONTO = 'R'"))
           << known("TIPO_ART", Tables::TAB_TIPO_ART, "Tipo articolo errato")
           << known("COD_STATIS", Tables::TAB_C_STATIS, "Categoria statistica errata")
           << known("COD_MERCE", Tables::TAB_MERCE, "Categoria merceologica errata")
           << notBelowZero("PESO_SPECIF", "Peso specifico non può essere negativo")
           << known("UNITA_MIS3", Tables::TAB_UNTMIS, "Unità di misura errata")
           << known("UNITA_MIS2", Tables::TAB_UNTMIS, "Unità di misura errata")
           << notBelowZero("TARA", "Tara non può essere negativa")
           << notBelowZero("RAPPORTO", "Rapporto non può essere negativo")
           << required("UNITA_MIS", "Unità di misura obbligatoria")
           << known("UNITA_MIS", Tables::TAB_UNTMIS, "Unità di misura errata")
           << required("COD_IVA", "Codice I.V.A. obbligatorio ")
           << known("COD_IVA", Tables::TAB_PERIVA, "Codice I.V.A. errato")
           << known("TIPO_BARRE", Tables::TAB_TIPOBARRE, "Tipo codice a barre errato")
           << required("DESC_ART", "Descrizione articolo obbligatoria");
    if (inserting) {
        checks << required("MAGAZZINO", "Magazzino errato")
               << known("MAGAZZINO", Tables::TAB_MAGAZZINI, "Magazzino errato")
               << required("MARCA", "Codice marca obbligatorio")
               << known("MARCA", Tables::TAB_MARCHE, "Codice marca errato")
               << required("ARTICOLO", "Codice articolo obbligatorio")
               << Check::unique(QStringLiteral("ARTICOLO"), Tables::ARTICOLI,
                                {QStringLiteral("MAGAZZINO"), QStringLiteral("MARCA"), QStringLiteral("ARTICOLO")},
                                QStringLiteral("Codice articolo già presente in archivio"));
    }
    return checks;
}

// The parent's components are rewritten whole, in grid order.
bool writeComponents(Services::WriteUnit &unit, const ItemKey &parent, const QList<Component> &components,
                     bool replacing)
{
    if (replacing &&
        !unit.execCompany(QStringLiteral("DEL. articlo composto"),
                          QStringLiteral("DELETE FROM %1 WHERE MARCA_P = ? AND ARTICOLO_P = ?").arg(Tables::ARTICOMP),
                          {parent.brand, parent.code}))
        return false;
    int position = 0;
    for (const Component &component : components) {
        if (!unit.execCompany(QStringLiteral("Inser. articlo composto"),
                              QStringLiteral("INSERT INTO %1 (MARCA_P, ARTICOLO_P, PROGR, MARCA, ARTICOLO, QTA) "
                                             "VALUES (?, ?, ?, ?, ?, ?)")
                                  .arg(Tables::ARTICOMP),
                              {parent.brand, parent.code, ++position, component.brand.trimmed().toUpper(),
                               component.code.trimmed().toUpper(), component.quantity}))
            return false;
    }
    return true;
}

bool insertRows(Services::WriteUnit &unit, const Item &item, const QList<Component> &components)
{
    // The bill is shared by the item's warehouses: an empty grid leaves
    // the one another warehouse holds.
    return Services::insertRow(unit, item.main(), itemFamily().parts.first().insertStep) &&
           seedItemLists(unit, listedItem(item)) &&
           (components.isEmpty() || writeComponents(unit, itemKey(item), components, true));
}

// The components reached from an item, to refuse a cycle.
bool reaches(DataAccess &db, const QString &brand, const QString &code, const ItemKey &target, int depth = 0)
{
    if (brand.compare(target.brand, Qt::CaseInsensitive) == 0 && code.compare(target.code, Qt::CaseInsensitive) == 0)
        return true;
    if (depth > 20)
        return true;
    auto rows = db.openRecordset(
        QStringLiteral("SELECT MARCA, ARTICOLO FROM %1 WHERE MARCA_P = ? AND ARTICOLO_P = ?").arg(Tables::ARTICOMP),
        {brand.trimmed().toUpper(), code.trimmed().toUpper()});
    if (!rows)
        return true;
    for (const auto &row : *rows) {
        if (reaches(db, row.at(0).toString(), row.at(1).toString(), target, depth + 1))
            return true;
    }
    return false;
}

} // namespace

const Services::FamilyDef &itemFamily()
{
    static const Services::FamilyDef family{
        {{&itemTable(), QStringLiteral("Ins. articlo "), QStringLiteral("Agg. articlo "), {}}}};
    return family;
}

ItemKey itemKey(const Item &item)
{
    const Services::Row &row = item.main();
    return {row.text(QStringLiteral("MAGAZZINO")), row.text(QStringLiteral("MARCA")),
            row.text(QStringLiteral("ARTICOLO"))};
}

ItemSettings readItemSettings(const Services::Settings &settings)
{
    const QString section = QString::fromLatin1(kSection);
    const auto none = [](const QString &value) { return value == QLatin1String(kNone) ? QString() : value; };
    ItemSettings read;
    read.ratio = Services::sqlNumber(settings.readOr(section, QStringLiteral("RAPPORTO_P1_P2"), QStringLiteral("0")), 5)
                     .toDouble();
    read.decimals1 = settings.readOr(section, QStringLiteral("DECIMALI_PREZZO1"), QStringLiteral("0")).toInt();
    read.decimals2 = settings.readOr(section, QStringLiteral("DECIMALI_PREZZO2"), QStringLiteral("2")).toInt();
    read.vatCode = none(settings.readOr(section, QStringLiteral("CODICE_IVA"), QString::fromLatin1(kNone)));
    read.unit = none(settings.readOr(section, QStringLiteral("UNITA_MISURA"), QString::fromLatin1(kNone)));
    return read;
}

Item newItem(DataAccess &db, const ItemSettings &settings)
{
    Item item(itemFamily());
    Services::Row &row = item.main();
    row.set(QStringLiteral("CONTO"), accountForRole(db, QStringLiteral("RIC")));
    row.set(QStringLiteral("COD_IVA"), settings.vatCode);
    row.set(QStringLiteral("UNITA_MIS"), settings.unit);
    row.set(QStringLiteral("NUM_DEC"), settings.decimals1);
    row.set(QStringLiteral("NUM_DEC_E"), settings.decimals2);
    row.set(QStringLiteral("NUM_DEC_3"), settings.decimals1);
    return item;
}

std::optional<Item> loadItem(DataAccess &db, const ItemKey &key)
{
    auto record = Services::readRecord(db, itemFamily(), {key.warehouse, key.brand, key.code});
    if (!record)
        return std::nullopt;
    return *record;
}

Services::Outcome<QList<Component>> loadComponents(DataAccess &db, const QString &brand, const QString &code)
{
    auto rows = db.openRecordset(
        QStringLiteral("SELECT MARCA, ARTICOLO, QTA FROM %1 WHERE MARCA_P = ? AND ARTICOLO_P = ? ORDER BY PROGR")
            .arg(Tables::ARTICOMP),
        {brand, code});
    if (!rows)
        return rows.failure();
    QList<Component> components;
    for (const auto &row : *rows)
        components.append({row.at(0).toString(), row.at(1).toString(), row.at(2).toDouble()});
    return components;
}

QList<Services::FieldProblem> checkItem(DataAccess &db, const Item &item, bool inserting, const QString &only)
{
    return Services::runChecks(
        db, itemChecks(db, item, inserting), [&item](const QString &column) { return item.value(column); }, only);
}

QString componentProblem(DataAccess &db, const ItemKey &parent, const QString &brand, const QString &code,
                         const QString &quantity)
{
    bool number = false;
    QString(quantity).trimmed().replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&number);
    if (!number)
        return QStringLiteral("Qauntità errata");
    if (code.trimmed().isEmpty())
        return QStringLiteral("Articolo obbligatorio");
    if (brand.trimmed().isEmpty())
        return QStringLiteral("Marca obbligatoria");
    auto found = db.openRecordset(QStringLiteral("SELECT ARTICOLO FROM %1 WHERE %2 AND %3 AND %4")
                                      .arg(Tables::ARTICOLI, Services::sqlUpperEquals(QStringLiteral("MAGAZZINO")),
                                           Services::sqlUpperEquals(QStringLiteral("MARCA")),
                                           Services::sqlUpperEquals(QStringLiteral("ARTICOLO"))),
                                  {parent.warehouse, brand.trimmed(), code.trimmed()});
    // Itself, or an item holding it, would make the bill endless.
    if (!found || found->isEmpty() || reaches(db, brand, code, parent))
        return QStringLiteral("Articolo errato");
    if (!Services::valueKnown(db, Tables::TAB_MARCHE, QStringLiteral("CODICE"), brand.trimmed()))
        return QStringLiteral("Marca errata");
    return {};
}

const QList<RecordUse> &itemUses()
{
    // Delivery-note rows join as their table is created; a missing table is
    // never queried.
    static const QList<RecordUse> uses = {
        {Tables::FVENDD, {QStringLiteral("MARCA"), QStringLiteral("ARTICOLO")}, QStringLiteral("Fatture")},
        {Tables::MOVMAG,
         {QStringLiteral("MARCA"), QStringLiteral("ARTICOLO")},
         QStringLiteral("Movimenti di magazzino")},
    };
    return uses;
}

ListedItem listedItem(const Item &item)
{
    const Services::Row &row = item.main();
    const auto number = [&row](const char *column) { return row.number(QString::fromLatin1(column)); };
    ListedItem listed;
    listed.brand = row.text(QStringLiteral("MARCA"));
    listed.code = row.text(QStringLiteral("ARTICOLO"));
    listed.listPrice = number("PREZZO_LIST");
    listed.purchaseFixed = number("PREZZO_ACQ");
    listed.saleFixed = number("PREZZO_V1");
    listed.saleDiscounts = {number("SC_V1"), number("SC_V2"), number("SC_V3")};
    listed.purchaseDiscounts = {number("SC_A1"), number("SC_A2"), number("SC_A3")};
    listed.markup = number("PERC_RIC");
    listed.decimals = row.integer(QStringLiteral("NUM_DEC"));
    return listed;
}

WriteResult insertItem(DataAccess &db, const Item &item, const QList<Component> &components)
{
    Services::WriteUnit unit(db, QString::fromLatin1(kItemWhere));
    if (!unit.ok() || !insertRows(unit, item, components) || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

WriteResult updateItem(DataAccess &db, const Item &item, const Item &loaded, const QList<Component> &components)
{
    Services::WriteUnit unit(db, QString::fromLatin1(kItemWhere));
    if (!unit.ok())
        return WriteResult::of(WriteEnd::Failed);
    const ItemKey key = itemKey(loaded);
    auto stored =
        unit.readForUpdate(QStringLiteral("SELECT ARTICOLO FROM %1 WHERE MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ?")
                               .arg(Tables::ARTICOLI),
                           {key.warehouse, key.brand, key.code});
    if (!stored)
        return WriteResult::of(WriteEnd::Failed);
    // Deleted meanwhile: it is written again whole.
    const bool written =
        stored->isEmpty()
            ? insertRows(unit, item, components)
            : Services::updateRow(unit, item.main(), loaded.main(), itemFamily().parts.first().updateStep) &&
                  propagateItemPrices(unit, listedItem(item)) && writeComponents(unit, key, components, true);
    if (!written || !unit.commit())
        return WriteResult::of(WriteEnd::Failed);
    return WriteResult::of(WriteEnd::Written);
}

Services::Outcome<QString> itemDeleteRefusal(DataAccess &db, const ItemKey &key)
{
    auto uses = usesOf(db, itemUses(), {key.brand, key.code});
    if (!uses)
        return uses.failure();
    if (!uses->isEmpty())
        return QStringLiteral("Impossibile eliminare l'articolo, esistono ancora movimenti");
    auto parents = db.openRecordset(
        QStringLiteral("SELECT MARCA_P FROM %1 WHERE MARCA = ? AND ARTICOLO = ?").arg(Tables::ARTICOMP),
        {key.brand, key.code});
    if (!parents)
        return parents.failure();
    if (!parents->isEmpty())
        return QStringLiteral("Impossibile eliminare l'articolo, è componente di un articolo composto");
    return QString();
}

WriteResult deleteItem(DataAccess &db, const ItemKey &key)
{
    Services::WriteUnit unit(db, QString::fromLatin1(kItemWhere));
    if (!unit.execCompany(
            QStringLiteral("Canc. atricolo"),
            QStringLiteral("DELETE FROM %1 WHERE MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ?").arg(Tables::ARTICOLI),
            {key.warehouse, key.brand, key.code}))
        return WriteResult::of(WriteEnd::Failed);
    auto others =
        unit.read(QStringLiteral("SELECT MAGAZZINO FROM %1 WHERE MARCA = ? AND ARTICOLO = ?").arg(Tables::ARTICOLI),
                  {key.brand, key.code});
    if (!others)
        return WriteResult::of(WriteEnd::Failed);
    // Lists and components carry no warehouse: another warehouse's item keeps them.
    if (others->isEmpty()) {
        for (const QString &table : {Tables::LIST_ACQ, Tables::LIST_VEN}) {
            if (!unit.execCompany(QStringLiteral("Canc. list atricolo"),
                                  QStringLiteral("DELETE FROM %1 WHERE MARCA = ? AND ARTICOLO = ?").arg(table),
                                  {key.brand, key.code}))
                return WriteResult::of(WriteEnd::Failed);
        }
        if (!writeComponents(unit, key, {}, true))
            return WriteResult::of(WriteEnd::Failed);
    }
    return unit.commit() ? WriteResult::of(WriteEnd::Written) : WriteResult::of(WriteEnd::Failed);
}

} // namespace Orlavo::Masterdata
