#include "warehouse/stores/movemententry.h"

#include "masterdata/stores/recorduses.h"
#include "services/core/settings.h"
#include "services/core/tablenames.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"

namespace Orlavo::Warehouse {

using Services::FieldProblem;
using Services::Outcome;
namespace Tables = Services::Tables;

namespace {

const QString kExtras = QStringLiteral("DATIAGGIUNTI");
const QString kStock = QStringLiteral("MAGAZZINO");
const QString kItems = QStringLiteral("ARTICOLI");
constexpr int kStandardParty = 99999;

bool isYes(const QString &value)
{
    return value.trimmed().compare(QLatin1String("NO"), Qt::CaseInsensitive) != 0;
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("SI") : QStringLiteral("NO");
}

// A rank as stored: missing takes its default, written back.
int rankOf(const Services::Settings &settings, const char *key, int fallback)
{
    const QString name = QString::fromLatin1(key);
    bool ok = false;
    const int rank = settings.read(kStock, name).trimmed().toInt(&ok);
    if (ok)
        return rank;
    settings.write(kStock, name, QString::number(fallback));
    return fallback;
}

int decimalsOf(const Services::Settings &settings, const char *key, int fallback)
{
    bool ok = false;
    const int decimals = settings.read(kItems, QString::fromLatin1(key)).trimmed().toInt(&ok);
    return ok ? decimals : fallback;
}

constexpr char kItemColumns[] = "A.MAGAZZINO, A.MARCA, A.ARTICOLO, A.COD_BARRE, A.DESC_ART, A.UNITA_MIS, "
                                "A.PREZZO_LIST, A.PREZZO_IVA_INC, A.PERC_RIC, A.NUM_DEC, A.ESISTENZA, I.ALIQUOTA";

Outcome<std::optional<ItemCard>> movemententryItemWhere(Services::DataAccess &db, const QString &condition,
                                           const Services::Params &params)
{
    const auto rows =
        db.openRecordset(QStringLiteral("SELECT %1 FROM %2 A LEFT JOIN %3 I ON I.CODICE = A.COD_IVA "
                                        "WHERE %4 ORDER BY A.MARCA, A.ARTICOLO")
                             .arg(QString::fromLatin1(kItemColumns), Tables::ARTICOLI, Tables::TAB_PERIVA, condition),
                         params);
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<ItemCard>();
    const auto row = rows->first();
    ItemCard card;
    card.warehouse = row.text(QStringLiteral("MAGAZZINO"));
    card.brand = row.text(QStringLiteral("MARCA"));
    card.code = row.text(QStringLiteral("ARTICOLO"));
    card.barcode = row.text(QStringLiteral("COD_BARRE"));
    card.description = row.text(QStringLiteral("DESC_ART"));
    card.unit = row.text(QStringLiteral("UNITA_MIS"));
    card.listPrice = row.number(QStringLiteral("PREZZO_LIST"));
    card.withVat = row.number(QStringLiteral("PREZZO_IVA_INC"));
    card.markup = row.number(QStringLiteral("PERC_RIC"));
    card.decimals = row.integer(QStringLiteral("NUM_DEC"));
    card.onHand = row.number(QStringLiteral("ESISTENZA"));
    card.vatRate = row.number(QStringLiteral("ALIQUOTA"));
    return std::optional<ItemCard>(card);
}

ProposedPrice priceRow(PriceSource source, const Services::Recordset::Row &row, const char *price,
                       const std::array<const char *, 3> &discounts, int decimals)
{
    ProposedPrice found;
    found.source = source;
    found.price = row.number(QString::fromLatin1(price));
    for (int i = 0; i < 3; ++i)
        found.discounts[i] = row.number(QString::fromLatin1(discounts[i]));
    found.decimals = decimals;
    return found;
}

constexpr std::array<const char *, 3> kMovementDiscounts{"SCONTO1", "SCONTO2", "SCONTO3"};
constexpr std::array<const char *, 3> kPurchaseDiscounts{"SC_A1", "SC_A2", "SC_A3"};
constexpr std::array<const char *, 3> kSaleDiscounts{"SC_V1", "SC_V2", "SC_V3"};

// The latest earlier C10 of the item: from the supplier, else from anyone.
Outcome<std::optional<ProposedPrice>> lastLoad(Services::DataAccess &db, const ProposalRequest &request)
{
    if (request.causal.trimmed().toUpper() != QLatin1String("C10"))
        return std::optional<ProposedPrice>();
    const QString sql = QStringLiteral("SELECT ANNO, PREZZO, NDEC, SCONTO1, SCONTO2, SCONTO3 FROM %1 "
                                       "WHERE MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ? AND CAUSALE = 'C10' "
                                       "AND DATA_REG <= ? AND NOT (ANNO = ? AND NRO_REG = ?)%2 "
                                       "ORDER BY DATA_REG DESC, ANNO DESC, NRO_REG DESC LIMIT 1");
    const Services::Params params{request.warehouse, request.brand, request.code,
                                  request.date,      request.year,  request.number};
    for (const bool bySupplier : {true, false}) {
        if (bySupplier && request.supplier == 0)
            continue;
        const auto rows = bySupplier ? db.openRecordset(sql.arg(Tables::MOVMAG, QStringLiteral(" AND FORNITORE = ?")),
                                                        params + Services::Params{request.supplier})
                                     : db.openRecordset(sql.arg(Tables::MOVMAG, QString()), params);
        if (!rows)
            return rows.failure();
        if (!rows->isEmpty()) {
            const auto row = rows->first();
            const ProposedPrice found =
                priceRow(PriceSource::LastLoad, row, "PREZZO", kMovementDiscounts, row.integer(QStringLiteral("NDEC")));
            return std::optional<ProposedPrice>(
                inCurrencyOf(found, row.text(QStringLiteral("ANNO")).toInt(), request.year.toInt()));
        }
    }
    return std::optional<ProposedPrice>();
}

// The list row of a party: the supplier's purchase list for a load, the
// customer's sale list (its first supplier's row) for an unload.
Outcome<std::optional<ProposedPrice>> listRow(Services::DataAccess &db, const ProposalRequest &request, int party,
                                              PriceSource source, int decimals)
{
    const bool unload = isUnloadCausal(request.causal);
    if (party == 0)
        return std::optional<ProposedPrice>();
    const auto rows =
        unload ? db.openRecordset(QStringLiteral("SELECT PR_LISTINO, SC_V1, SC_V2, SC_V3 FROM %1 WHERE CLIENTE = ? "
                                                 "AND MARCA = ? AND ARTICOLO = ? ORDER BY FORNITORE LIMIT 1")
                                      .arg(Tables::LIST_VEN),
                                  {party, request.brand, request.code})
               : db.openRecordset(QStringLiteral("SELECT PR_LISTINO, SC_A1, SC_A2, SC_A3 FROM %1 WHERE FORNITORE = ? "
                                                 "AND MARCA = ? AND ARTICOLO = ?")
                                      .arg(Tables::LIST_ACQ),
                                  {party, request.brand, request.code});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<ProposedPrice>();
    return std::optional<ProposedPrice>(
        priceRow(source, rows->first(), "PR_LISTINO", unload ? kSaleDiscounts : kPurchaseDiscounts, decimals));
}

// The item's own price: the purchase price for a load; for an unload price
// 1 when set, else the list price.
Outcome<std::optional<ProposedPrice>> itemPrice(Services::DataAccess &db, const ProposalRequest &request)
{
    const auto rows = db.openRecordset(QStringLiteral("SELECT PREZZO_ACQ, PREZZO_V1, PREZZO_LIST, NUM_DEC, SC_A1, "
                                                      "SC_A2, SC_A3, SC_V1, SC_V2, SC_V3 FROM %1 "
                                                      "WHERE MAGAZZINO = ? AND MARCA = ? AND ARTICOLO = ?")
                                           .arg(Tables::ARTICOLI),
                                       {request.warehouse, request.brand, request.code});
    if (!rows)
        return rows.failure();
    if (rows->isEmpty())
        return std::optional<ProposedPrice>();
    const auto row = rows->first();
    const int decimals = row.integer(QStringLiteral("NUM_DEC"));
    if (!isUnloadCausal(request.causal))
        return std::optional<ProposedPrice>(
            priceRow(PriceSource::ItemPrice, row, "PREZZO_ACQ", kPurchaseDiscounts, decimals));
    const bool first = row.number(QStringLiteral("PREZZO_V1")) != 0;
    return std::optional<ProposedPrice>(
        priceRow(PriceSource::ItemPrice, row, first ? "PREZZO_V1" : "PREZZO_LIST", kSaleDiscounts, decimals));
}

// Whether a row answers the statement; a failed read counts as found, so
// a lock conflict never names a good code unknown.
bool found(Services::DataAccess &db, const QString &sql, const Services::Params &params,
           Services::Target target = Services::Target::Company)
{
    const auto rows = db.openRecordset(sql, params, target);
    return !rows || !rows->isEmpty();
}

} // namespace

MovementSettings readMovementSettings(const Services::Settings &settings)
{
    MovementSettings read;
    read.linkCaption = settings.readOr(kExtras, QStringLiteral("MOVMAGDESC"), QStringLiteral("Partita"));
    read.vehicleLink =
        settings.read(kExtras, QStringLiteral("MOVMAGCOLLEG")).trimmed().toUpper() == QLatin1String("VEICOLI");
    read.updateItem = isYes(settings.read(kStock, QStringLiteral("AGGIORNAARTICOLO")));
    read.updatePurchase = isYes(settings.read(kStock, QStringLiteral("AGGIORNAPREZZOACQ")));
    read.updateItem2 = isYes(settings.read(kStock, QStringLiteral("AGGIORNAARTICOLO2")));
    read.ranks.lastLoad = rankOf(settings, "PRULTCO", 1);
    read.ranks.partyList = rankOf(settings, "PRLISTPER", 2);
    read.ranks.standardList = rankOf(settings, "PRLISTBA", 3);
    read.ranks.itemPrice = rankOf(settings, "PRACQF", 4);
    read.priceDecimals = decimalsOf(settings, "DECIMALI_PREZZO1", 0);
    read.secondDecimals = decimalsOf(settings, "DECIMALI_PREZZO2", 2);
    return read;
}

bool writeMovementOptions(const Services::Settings &settings, const MovementSettings &options)
{
    return settings.write(kStock, QStringLiteral("AGGIORNAARTICOLO"), yesNo(options.updateItem)) &&
           settings.write(kStock, QStringLiteral("AGGIORNAPREZZOACQ"), yesNo(options.updatePurchase)) &&
           settings.write(kStock, QStringLiteral("AGGIORNAARTICOLO2"), yesNo(options.updateItem2));
}

Outcome<std::optional<ItemCard>> findItem(Services::DataAccess &db, const QString &warehouse, const QString &brand,
                                          const QString &code)
{
    // Without a brand, the code's first item in brand order.
    if (brand.trimmed().isEmpty())
        return movemententryItemWhere(db, QStringLiteral("A.MAGAZZINO = ? AND UPPER(A.ARTICOLO) = UPPER(?)"), {warehouse, code});
    return movemententryItemWhere(db,
                     QStringLiteral("A.MAGAZZINO = ? AND UPPER(A.MARCA) = UPPER(?) AND UPPER(A.ARTICOLO) = UPPER(?)"),
                     {warehouse, brand, code});
}

Outcome<std::optional<ItemCard>> findItemByBarcode(Services::DataAccess &db, const QString &warehouse,
                                                   const QString &barcode)
{
    return movemententryItemWhere(db, QStringLiteral("A.MAGAZZINO = ? AND A.COD_BARRE = ?"), {warehouse, barcode.trimmed()});
}

Outcome<QList<HistoryLine>> itemHistory(Services::DataAccess &db, const QString &warehouse, const QString &brand,
                                        const QString &code)
{
    const auto rows = db.openRecordset(
        QStringLiteral(
            "SELECT M.NRO_REG, M.DATA_REG, M.CAUSALE, M.UNITA_MIS, M.QUANTITA, M.NRO_DOC, M.DATA_DOC, "
            "M.NRO_DOC_DDT, M.DATA_DOC_DDT, M.PREZZO, M.NDEC, M.SCONTO1, M.SCONTO2, M.SCONTO3, M.PR_SCONTATO, "
            "M.TOTALE, F.RAG_SOC1 AS FORNITORE, C.RAG_SOC1 AS CLIENTE FROM %1 M "
            "LEFT JOIN %2 F ON F.FORNITORE = M.FORNITORE LEFT JOIN %3 C ON C.CLIENTE = M.CLIENTE "
            "WHERE M.MAGAZZINO = ? AND M.MARCA = ? AND M.ARTICOLO = ? "
            "ORDER BY M.DATA_REG DESC, M.ANNO DESC, M.NRO_REG DESC")
            .arg(Tables::MOVMAG, Tables::ANAG_FOR, Tables::ANAG_CLI),
        {warehouse, brand, code});
    if (!rows)
        return rows.failure();
    QList<HistoryLine> lines;
    for (const auto &row : *rows) {
        HistoryLine line;
        line.number = row.integer(QStringLiteral("NRO_REG"));
        line.date = row.value(QStringLiteral("DATA_REG")).toDate();
        line.causal = row.text(QStringLiteral("CAUSALE"));
        line.unit = row.text(QStringLiteral("UNITA_MIS"));
        line.quantity = row.number(QStringLiteral("QUANTITA"));
        line.name = row.text(isUnloadCausal(line.causal) ? QStringLiteral("CLIENTE") : QStringLiteral("FORNITORE"));
        // An invoice's number, else the delivery note's.
        const int invoice = row.integer(QStringLiteral("NRO_DOC"));
        line.document = invoice != 0 ? QString::number(invoice) : row.text(QStringLiteral("NRO_DOC_DDT"));
        line.documentDate =
            row.value(invoice != 0 ? QStringLiteral("DATA_DOC") : QStringLiteral("DATA_DOC_DDT")).toDate();
        line.price = row.number(QStringLiteral("PREZZO"));
        line.priceDecimals = row.integer(QStringLiteral("NDEC"));
        for (int i = 0; i < 3; ++i)
            line.discounts[i] = row.number(QString::fromLatin1(kMovementDiscounts[i]));
        line.netPrice = row.number(QStringLiteral("PR_SCONTATO"));
        line.total = row.number(QStringLiteral("TOTALE"));
        lines << line;
    }
    return lines;
}

Outcome<std::optional<ProposedPrice>> proposePrice(Services::DataAccess &db, const ProposalRequest &request,
                                                   const ProposalRanks &ranks)
{
    const bool unload = isUnloadCausal(request.causal);
    const auto card = findItem(db, request.warehouse, request.brand, request.code);
    if (!card)
        return card.failure();
    const int decimals = *card ? (*card)->decimals : 2;
    for (const PriceSource source : rankedSources(ranks)) {
        Outcome<std::optional<ProposedPrice>> found = std::optional<ProposedPrice>();
        switch (source) {
        case PriceSource::LastLoad: found = lastLoad(db, request); break;
        case PriceSource::PartyList:
            found = listRow(db, request, unload ? request.customer : request.supplier, source, decimals);
            break;
        case PriceSource::StandardList: found = listRow(db, request, kStandardParty, source, decimals); break;
        case PriceSource::ItemPrice: found = itemPrice(db, request); break;
        }
        if (!found)
            return found.failure();
        if (*found && (*found)->price != 0)
            return found;
    }
    return std::optional<ProposedPrice>();
}

QList<FieldProblem> movementProblems(Services::DataAccess &db, const TypedMovement &typed)
{
    const Services::Row &m = typed.movement;
    QList<FieldProblem> problems;
    const auto fail = [&problems](const char *column, const char *message) {
        problems.append({QString::fromLatin1(column), QString::fromUtf8(message)});
    };
    const QString causal = m.text(QStringLiteral("CAUSALE")).trimmed().toUpper();
    if (causal != QLatin1String("SXC") && causal != QLatin1String("CXC")) {
        if (typed.price.trimmed().isEmpty())
            fail("PREZZO", "Prezzo obbligatorio !");
        else if (!Services::isNumberText(typed.price))
            fail("PREZZO", "Prezzo errato !");
        if (!typed.secondPrice.trimmed().isEmpty() && !Services::isNumberText(typed.secondPrice))
            fail("PREZZO2", "Prezzo errato !");
    }
    if (typed.quantity.trimmed().isEmpty() || !Services::isNumberText(typed.quantity) ||
        Services::sqlNumber(typed.quantity, 3).toDouble() == 0)
        fail("QUANTITA", "Quantità obbligatoria !");
    if (!typed.documentDate.trimmed().isEmpty() && !Services::parseItalianDate(typed.documentDate).isValid())
        fail("DATA_DOC_DDT", "Data documento sconosciuto !");
    const int supplier = m.integer(QStringLiteral("FORNITORE"));
    if (supplier != 0 &&
        !found(db,
               QStringLiteral("SELECT FORNITORE FROM %1 WHERE FORNITORE = ? AND FORNITORE <> ?").arg(Tables::ANAG_FOR),
               {supplier, kStandardParty}))
        fail("FORNITORE", "Codice Fornitore sconosciuto !");
    const int customer = m.integer(QStringLiteral("CLIENTE"));
    if (customer != 0 &&
        !found(db, QStringLiteral("SELECT CLIENTE FROM %1 WHERE CLIENTE = ? AND CLIENTE <> ?").arg(Tables::ANAG_CLI),
               {customer, kStandardParty}))
        fail("CLIENTE", "Codice Cliente sconosciuto !");
    const auto coded = [&](const char *column, const QString &table, const char *unknown, const char *missing,
                           Services::Target target = Services::Target::Company) {
        const QString code = m.text(QString::fromLatin1(column)).trimmed();
        if (code.isEmpty())
            fail(column, missing);
        else if (!found(db, QStringLiteral("SELECT CODICE FROM %1 WHERE UPPER(CODICE) = UPPER(?)").arg(table), {code},
                        target))
            fail(column, unknown);
    };
    coded("UNITA_MIS", Tables::TAB_UNTMIS, "Codice Unità di Misura sconosciuto !",
          "Codice Unità di Misura obbligatorio !", Services::Target::Services);
    coded("CAUSALE", Tables::TAB_CAU_MAG, "Codice Causale sconosciuto !", "Codice Causale obbligatorio !");
    const QString item = m.text(QStringLiteral("ARTICOLO")).trimmed();
    if (item.isEmpty())
        fail("ARTICOLO", "Codice Articolo obbligatorio !");
    else if (!found(db,
                    QStringLiteral("SELECT ARTICOLO FROM %1 WHERE MAGAZZINO = ? AND UPPER(MARCA) = UPPER(?) AND "
                                   "UPPER(ARTICOLO) = UPPER(?)")
                        .arg(Tables::ARTICOLI),
                    {m.text(QStringLiteral("MAGAZZINO")), m.text(QStringLiteral("MARCA")), item}))
        fail("ARTICOLO", "Codice Articolo sconosciuto !");
    coded("MARCA", Tables::TAB_MARCHE, "Marca dell'Articolo sconosciuta ! ", "Marca dell'Articolo obbligatoria ! ");
    const QDate date = m.date(QStringLiteral("DATA_REG"));
    if (!date.isValid())
        fail("DATA_REG", "Data registrazione obbligatoria ! ");
    else if (QString::number(date.year()) != typed.workingYear)
        fail("DATA_REG", "Anno di data registrazione errato ! ");
    return problems;
}

QString changeRefusal()
{
    return QStringLiteral(
        "Impossibile modificare da qui la registrazione;\nUtilizzare l'applicazione che ha generato il movimento");
}

Outcome<QString> deleteRefusal(Services::DataAccess &db, const Services::Row &movement)
{
    const QString year = movement.text(QStringLiteral("ANNO"));
    const int number = movement.integer(QStringLiteral("NRO_REG"));
    QStringList holders;
    // Delivery-note rows name their movement by year and number.
    for (const auto &[table, label] :
         {std::pair{Tables::BOLLED, " D.d.T. di vendita "}, std::pair{Tables::BOLLED_A, " D.d.T. di acquisto "}}) {
        const Masterdata::RecordUse use{
            table, {QStringLiteral("ANNO"), QStringLiteral("NUM_MOV")}, QString::fromLatin1(label)};
        if (!Masterdata::tableExists(db, use))
            continue;
        const auto uses = Masterdata::usesOf(db, {use}, {year, number});
        if (!uses)
            return uses.failure();
        holders += *uses;
    }
    const int note = movement.integer(QStringLiteral("NRO_REG_DDT"));
    if (note != 0) {
        const auto invoices = db.openRecordset(
            QStringLiteral("SELECT D.NRO_INT FROM %1 D JOIN %2 T ON T.ANNO = D.ANNO AND T.NRO_INT = D.NRO_INT "
                           "WHERE D.ANNO_BOL = ? AND D.NRO_BOL = ? AND T.ACCOMPAGNATORIA <> 0 LIMIT 1")
                .arg(Tables::FVENDD, Tables::FVENDT),
            {movement.text(QStringLiteral("ANNO_DDT")), note});
        if (!invoices)
            return invoices.failure();
        if (!invoices->isEmpty())
            holders << QStringLiteral(" Fattura di vendita accompagnatoria");
        // A delivery note whose rows are not kept yet still owns it.
        else if (holders.isEmpty())
            holders << (isUnloadCausal(movement.text(QStringLiteral("CAUSALE")))
                            ? QStringLiteral(" D.d.T. di vendita ")
                            : QStringLiteral(" D.d.T. di acquisto "));
    }
    if (movement.integer(QStringLiteral("NRO_INT_FATT")) != 0 &&
        !holders.contains(QStringLiteral(" Fattura di vendita accompagnatoria")))
        holders << QStringLiteral(" Fattura di vendita");
    if (holders.isEmpty())
        return QString();
    return QStringLiteral("Impossibile eliminare movimento,\nsono ancora presenti registrazioni su : \n") +
           holders.join(QLatin1Char('\n'));
}

} // namespace Orlavo::Warehouse
