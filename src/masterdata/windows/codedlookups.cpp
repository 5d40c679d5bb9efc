#include "masterdata/windows/codedlookups.h"

#include "masterdata/rules/supplierflavour.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"

#include <QHash>

namespace Orlavo::Masterdata {

namespace Tables = Services::Tables;

namespace {

// Suppliers and agents share ANAG_FOR: each picker offers its own kind, and
// neither the reserved code.
CodedLookup supplierPicker(SupplierFlavour flavour, const QString &title)
{
    return {Tables::ANAG_FOR,
            QStringLiteral("FORNITORE"),
            QStringLiteral("RAG_SOC1"),
            QStringLiteral("AGENTE = ? AND FORNITORE <> ?"),
            title,
            true,
            {agentFlagOf(flavour), kReservedSupplier}};
}

} // namespace

const CodedLookup *partyLookup(const QString &column)
{
    static const QHash<QString, CodedLookup> lookups = [] {
        const QString code = QStringLiteral("CODICE");
        const QString text = QStringLiteral("DESCRIZIONE");
        const CodedLookup province{Tables::TAB_PROV, code, text, {}, QStringLiteral("Lista PROVINCE")};
        QHash<QString, CodedLookup> l;
        for (const char *name : {"PROVINCIA_LEG", "PROVINCIA_AMM", "PROV_NASC", "PROVINCIA"})
            l.insert(QString::fromLatin1(name), province);
        l.insert(QStringLiteral("COND_PAG"),
                 {Tables::TAB_COND_PAG, code, text, {}, QStringLiteral("Lista CONDIZIONI PAGAMENTO")});
        l.insert(QStringLiteral("BANCA_APP"),
                 {Tables::TAB_BAN_APP, code, text, {}, QStringLiteral("Lista BANCHE D'APPOGGIO")});
        l.insert(QStringLiteral("BANCA_PAG"),
                 {Tables::TAB_BAN_PAG, code, text, {}, QStringLiteral("Lista BANCHE DI PAGAMENTO")});
        l.insert(QStringLiteral("ZONA"), {Tables::TAB_ZONA, code, text, {}, QStringLiteral("Lista ZONE")});
        l.insert(QStringLiteral("COD_ATTIVITA"),
                 {Tables::TAB_ATTIVITA, code, text, {}, QStringLiteral("Lista CODICI ATTIVITA'")});
        l.insert(QStringLiteral("COD_MERCE"),
                 {Tables::TAB_MERCE, code, text, {}, QStringLiteral("Lista GRUPPI MERCEOLOGICI")});
        l.insert(QStringLiteral("CONTO_PATRIM"),
                 {Tables::TAB_PIANO_CONTI, code, text, QStringLiteral("(TIPO_CONTO = 'P' OR TIPO_CONTO = 'A')"),
                  QStringLiteral("Lista CONTI PATRIMONIALI")});
        l.insert(QStringLiteral("CONTO_RICAVO"),
                 {Tables::TAB_PIANO_CONTI, code, text, QStringLiteral("TIPO_CONTO = 'R'"),
                  QStringLiteral("Lista CONTI DI RICAVO")});
        l.insert(QStringLiteral("CODICE_IVA"),
                 {Tables::TAB_PERIVA, code, text, {}, QStringLiteral("Lista CODICI IVA")});
        l.insert(QStringLiteral("REGISTRO_IVA"),
                 {Tables::TAB_REGISTRI, code, text, {}, QStringLiteral("Lista REGISTRI IVA")});
        l.insert(QStringLiteral("TIPO_CLIENTE"),
                 {Tables::TAB_TIPO_CLI, code, text, {}, QStringLiteral("Lista TIPI CLIENTE")});
        // A supplier's cost account (of any type) and purchase causal.
        l.insert(QStringLiteral("CONTO_COSTO"), {Tables::TAB_PIANO_CONTI, code, text, {}, QStringLiteral("Lista CONTI")});
        l.insert(QStringLiteral("TIPO_CAUSALE"),
                 {Tables::TAB_TIPO_CAUS, code, text, QStringLiteral("CODICE LIKE 'A%' AND CODICE NOT LIKE 'AR%'"),
                  QStringLiteral("Lista TIPO CAUSALI")});
        l.insert(QStringLiteral("CAUSALE"), {Tables::TAB_CAU_CONT, QStringLiteral("CAUSALE"), text, {},
                                             QStringLiteral("Lista CAUSALI DI CONTABILITA'")});
        // The item's coded columns.
        l.insert(QStringLiteral("MAGAZZINO"), {Tables::TAB_MAGAZZINI, code, text, {}, QStringLiteral("Lista MAGAZZINI")});
        const CodedLookup brand{Tables::TAB_MARCHE, code, text, {}, QStringLiteral("Lista MARCHE")};
        l.insert(QStringLiteral("MARCA"), brand);
        l.insert(QStringLiteral("MARCA_ALT"), brand);
        l.insert(QStringLiteral("TIPO_ART"), {Tables::TAB_TIPO_ART, code, text, {}, QStringLiteral("Lista TIPI ARTICOLO")});
        l.insert(QStringLiteral("COD_IVA"), {Tables::TAB_PERIVA, code, text, {}, QStringLiteral("Lista CODICI IVA")});
        const CodedLookup unit{Tables::TAB_UNTMIS, code, text, {}, QStringLiteral("Lista UNITA' DI MISURA")};
        for (const char *name : {"UNITA_MIS", "UNITA_MIS2", "UNITA_MIS3"})
            l.insert(QString::fromLatin1(name), unit);
        l.insert(QStringLiteral("COD_STATIS"),
                 {Tables::TAB_C_STATIS, code, text, {}, QStringLiteral("Lista CATEGORIE STATISTICHE")});
        l.insert(QStringLiteral("CONTO"), {Tables::TAB_PIANO_CONTI, code, text, QStringLiteral("TIPO_CONTO = 'R'"),
                                           QStringLiteral("Lista CONTI DI RICAVO")});
        l.insert(QStringLiteral("CCOS"), {Tables::TAB_CCOS, code, text, {}, QStringLiteral("Lista CENTRI DI COSTO")});
        l.insert(QStringLiteral("TIPO_FORN"),
                 {Tables::TAB_TIPO_FOR, code, text, {}, QStringLiteral("Lista TIPI FORNITORE")});
        l.insert(QStringLiteral("AGENTE"), supplierPicker(SupplierFlavour::Agents, QStringLiteral("Lista AGENTI")));
        l.insert(QStringLiteral("FORNITORE"),
                 supplierPicker(SupplierFlavour::Suppliers, QStringLiteral("Lista FORNITORI")));
        // The customer picker of every window; the standard-list party is never offered.
        l.insert(QStringLiteral("CLIENTE"),
                 {Tables::ANAG_CLI, QStringLiteral("CLIENTE"), QStringLiteral("RAG_SOC1"),
                  QStringLiteral("CLIENTE <> 99999"), QStringLiteral("Lista CLIENTI"), true});
        return l;
    }();
    const auto found = lookups.constFind(column);
    return found == lookups.constEnd() ? nullptr : &found.value();
}

Ui::LookupRequest codedLookupList(const CodedLookup &lookup)
{
    Ui::LookupRequest request;
    request.table = lookup.table;
    request.title = lookup.title;
    request.condition = lookup.condition;
    request.conditionParams = lookup.params;
    // A party is listed by name, a table's row by description.
    request.columns = {{lookup.key, QStringLiteral("06C"), QStringLiteral("Codice")},
                       {lookup.description, QStringLiteral("40C"),
                        lookup.numeric ? QStringLiteral("Ragione sociale") : QStringLiteral("Descrizione")}};
    return request;
}

QString codedDescription(Services::DataAccess &db, const CodedLookup &lookup, const QString &code)
{
    const QString typed = code.trimmed();
    if (typed.isEmpty() || !db.companyOpen())
        return {};
    const QString where = lookup.numeric ? lookup.key + QStringLiteral(" = ?") : Services::sqlUpperEquals(lookup.key);
    const Services::Params params =
        Services::Params{lookup.numeric ? QVariant(typed.toInt()) : QVariant(typed)} + lookup.params;
    auto rows =
        db.openRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %3%4")
                             .arg(lookup.description, lookup.table, where,
                                  lookup.condition.isEmpty() ? QString() : QStringLiteral(" AND ") + lookup.condition),
                         params, Services::databaseOf(lookup.table));
    return rows && !rows->isEmpty() ? rows->first().at(0).toString() : QString();
}

} // namespace Orlavo::Masterdata
