#include "masterdata/stores/vatcodestore.h"

#include "services/core/tablenames.h"

namespace Orlavo::Masterdata {

using Services::Row;
namespace Col = Services::Column;
namespace Tables = Services::Tables;

namespace {

const QString kVatcodestoreCode = QStringLiteral("CODICE");
const QString kRate = QStringLiteral("ALIQUOTA");
const QString kVatcodestoreKind = QStringLiteral("TIPO_CODICE");

// VAT kinds whose amounts are exempt, not taxable, outside the scope or
// excluded carry no tax: their rate is nought.
const QStringList kUntaxedKinds{QStringLiteral("E"), QStringLiteral("N"), QStringLiteral("S"), QStringLiteral("X")};

CodedTable vatCodesOf()
{
    namespace Check = Services::Check;
    CodedTable table;
    table.def = &vatCodeTable();
    table.checks << Check::custom(kRate, QStringLiteral("Aliquota Iva maggiore di zero"),
                                  [](const QVariant &rate) { return rate.toDouble() >= 0; });
    for (const QString &kind : kUntaxedKinds)
        table.checks << Check::when(Check::custom(kRate, QStringLiteral("Aliquota Iva errata"),
                                                  [](const QVariant &rate) { return rate.toDouble() == 0; }),
                                    kVatcodestoreKind, kind);
    table.checks << Check::required(QStringLiteral("DESCRIZIONE"),
                                    QStringLiteral("Descrizione Percentuale Iva - Obbligatoria !"))
                 << Check::required(kVatcodestoreCode, QStringLiteral("Codice Percentuale Iva - Obbligatorio !"))
                 << Check::unique(kVatcodestoreCode, Tables::TAB_PERIVA, {kVatcodestoreCode},
                                  QStringLiteral("Codice Percentuale Iva già presente in archivio"));

    const QString invoices = QStringLiteral("Fatture");
    table.uses << RecordUse{Tables::ANAG_CLI, {QStringLiteral("CODICE_IVA")}, QStringLiteral("Clienti")}
               << RecordUse{Tables::ARTICOLI, {QStringLiteral("COD_IVA")}, QStringLiteral("Articoli")};
    // Rows by their code; headers by the five slots and the three expenses.
    QStringList headerColumns{QStringLiteral("IVA_TRA"), QStringLiteral("IVA_BAN"), QStringLiteral("IVA_BOL")};
    for (int slot = 1; slot <= 5; ++slot)
        headerColumns << QStringLiteral("PERC_%1").arg(slot);
    for (const auto &[rows, headers] :
         {std::pair{Tables::FVENDD, Tables::FVENDT}, std::pair{Tables::FVENDD_PR, Tables::FVENDT_PR}}) {
        table.uses << RecordUse{rows, {QStringLiteral("COD_IVA")}, invoices};
        for (const QString &column : headerColumns)
            table.uses << RecordUse{headers, {column}, invoices};
    }
    table.uses << RecordUse{Tables::TAB_CAU_CONT, {QStringLiteral("COD_IVA")}, QStringLiteral("Causali contabili")}
               << RecordUse{Tables::IVA, {QStringLiteral("COD_IVA")}, QStringLiteral("Registrazioni IVA")};
    table.companyUses << RecordUse{Tables::DATIBASE,
                                   {QStringLiteral("PERCIVA"), QStringLiteral("SOCIETA")},
                                   QStringLiteral("Dati base"),
                                   Services::Target::Services};

    // Only the description: rate, kind and base are what the documents were
    // computed with (the kind's text follows its letter).
    table.keptWhenUsed = {kRate, kVatcodestoreKind, QStringLiteral("BASE_IMP")};
    table.complete = [](Services::DataAccess &, Row &row) {
        row.set(QStringLiteral("DESC_TIPO"), vatKindText(row.text(kVatcodestoreKind)));
    };
    table.name(QStringLiteral("Gestione aliquote iva"), QStringLiteral("tab_periva"));
    table.deleteRefusedHead = QStringLiteral("Impossibile eliminare Codice Iva,");
    table.usedMessage = QStringLiteral("Codice Iva utilizzato: modificabile solo la descrizione");
    return table;
}

} // namespace

const Services::TableDef &vatCodeTable()
{
    static const Services::TableDef def{
        Tables::TAB_PERIVA,
        Services::Target::Company,
        {Col::key(Col::code(kVatcodestoreCode, 4)), Col::text(QStringLiteral("DESCRIZIONE"), 40), Col::percent(kRate),
         Col::code(kVatcodestoreKind, 1), Col::text(QStringLiteral("DESC_TIPO"), 20), Col::percent(QStringLiteral("BASE_IMP"))}};
    return def;
}

const CodedTable &vatCodes()
{
    static const CodedTable table = vatCodesOf();
    return table;
}

const QList<std::pair<QString, QString>> &vatKinds()
{
    static const QList<std::pair<QString, QString>> kinds{
        {QStringLiteral("P"), QStringLiteral("DETRAIBILE")},   {QStringLiteral("D"), QStringLiteral("NON DETRAIBILE")},
        {QStringLiteral("E"), QStringLiteral("ESENTE")},       {QStringLiteral("N"), QStringLiteral("NON IMPONIBILE")},
        {QStringLiteral("S"), QStringLiteral("NON SOGGETTA")}, {QStringLiteral("X"), QStringLiteral("ESCLUSA")},
    };
    return kinds;
}

QString vatKindText(const QString &kind)
{
    for (const auto &[letter, text] : vatKinds()) {
        if (letter.compare(kind.trimmed(), Qt::CaseInsensitive) == 0)
            return text;
    }
    return {};
}

Row newVatCode()
{
    Row row(vatCodeTable());
    row.set(kVatcodestoreKind, QStringLiteral("P"));
    row.set(QStringLiteral("BASE_IMP"), 100.0);
    return row;
}

} // namespace Orlavo::Masterdata
