#include "sales/stores/salestables.h"

#include "services/core/tablenames.h"

namespace Orlavo::Sales {

namespace Tables = Services::Tables;
using namespace Services::Column;
using Services::ColumnDef;
using Services::TableDef;

namespace {

// Sums and counts read as 0 when never written.
ColumnDef figure(const QString &name, int decimals = 2)
{
    return notNull(amount(name, decimals));
}

ColumnDef number(const QString &name)
{
    return notNull(integer(name));
}

ColumnDef flag(const QString &name)
{
    return flagMinusOne(name);
}

QList<ColumnDef> headerColumns()
{
    QList<ColumnDef> c = {
        key(code(QStringLiteral("ANNO"), 4)),  number(QStringLiteral("NRO_REG")),
        date(QStringLiteral("DATA_REG")),      number(QStringLiteral("NRO_DOC")),
        date(QStringLiteral("DATA_DOC")),      key(integer(QStringLiteral("NRO_INT"))),
        date(QStringLiteral("DATA_INT")),      notNull(code(QStringLiteral("TIPOFATT"), 1)),
        code(QStringLiteral("MOVIMENTO"), 3),  code(QStringLiteral("CCOS"), 6),
        code(QStringLiteral("CONTO_CLI"), 10), code(QStringLiteral("CONTO_IVA"), 10),
        code(QStringLiteral("CAUSALE"), 3),    number(QStringLiteral("CLIENTE")),
        text(QStringLiteral("BOLLA"), 60),     text(QStringLiteral("ORDINE"), 60),
        code(QStringLiteral("COND_PAG"), 3),   code(QStringLiteral("BANCA_APP"), 6),
        code(QStringLiteral("BANCA_PAG"), 6),  text(QStringLiteral("CONTO_COR"), 20),
        code(QStringLiteral("ABI"), 5),        code(QStringLiteral("CAB"), 5),
        code(QStringLiteral("ABI_PAG"), 5),    code(QStringLiteral("CAB_PAG"), 5),
        number(QStringLiteral("AGENTE")),      figure(QStringLiteral("TOTALE_MER")),
        figure(QStringLiteral("NETTO_MER")),
    };
    for (const char *name : {"SCONTO1", "SCONTO2", "SCONTO3"})
        c.append(notNull(percent(QString::fromLatin1(name))));
    c.append(code(QStringLiteral("CONTO_SCONTI"), 10));
    // Expenses: blank when not given, each with its VAT code and account.
    for (const char *expense : {"TRA", "BAN"}) {
        c.append(amount(QStringLiteral("SPESE_%1").arg(QLatin1String(expense))));
        c.append(code(QStringLiteral("IVA_%1").arg(QLatin1String(expense)), 4));
        c.append(code(QStringLiteral("CONTO_%1").arg(QLatin1String(expense)), 10));
    }
    c += {amount(QStringLiteral("BOLLI")), code(QStringLiteral("IVA_BOL"), 4), code(QStringLiteral("CONTO_BOL"), 10)};
    for (int i = 1; i <= 5; ++i)
        c.append(figure(QStringLiteral("IMPONIB_%1").arg(i)));
    for (int i = 1; i <= 5; ++i)
        c.append(figure(QStringLiteral("IVA_%1").arg(i)));
    for (int i = 1; i <= 5; ++i)
        c.append(code(QStringLiteral("PERC_%1").arg(i), 4));
    c += {
        figure(QStringLiteral("TOTALE")),
        figure(QStringLiteral("TOTALE_EUR")),
        figure(QStringLiteral("TOT_QTA")),
        figure(QStringLiteral("TOT_UTF")),
        code(QStringLiteral("CAUSALE_RIT"), 3),
        figure(QStringLiteral("IMPON_RIT")),
        notNull(percent(QStringLiteral("PERC_RIT"))),
        figure(QStringLiteral("RITENUTA")),
        number(QStringLiteral("NRO_RIT")),
        date(QStringLiteral("DATA_RIT")),
        code(QStringLiteral("CONTO_RIT"), 10),
        figure(QStringLiteral("TOT_NET")),
        figure(QStringLiteral("TOT_NET_EUR")),
    };
    for (const char *name : {"ACCOMPAGNATORIA", "STAMPATA", "SALDATA", "ANNULLATA", "STA_GIO", "STA_IVA", "SCAD_SAL"})
        c.append(flag(QString::fromLatin1(name)));
    for (int i = 1; i <= 4; ++i)
        c.append(date(QStringLiteral("SCAD%1").arg(i)));
    for (int i = 1; i <= 4; ++i)
        c.append(figure(QStringLiteral("IMPOSC%1").arg(i)));
    c += {notNull(percent(QStringLiteral("PERC_PROV"))), figure(QStringLiteral("TOT_PROV")),
          date(QStringLiteral("DATA_SAL")), text(QStringLiteral("TSTAMP"), 30), text(QStringLiteral("UTENTE"), 20)};
    return c;
}

QList<ColumnDef> rowColumns()
{
    return {
        key(code(QStringLiteral("ANNO"), 4)),
        key(integer(QStringLiteral("NRO_INT"))),
        key(integer(QStringLiteral("RIGA"))),
        number(QStringLiteral("NRO_REG")),
        code(QStringLiteral("MOVIMENTO"), 3),
        number(QStringLiteral("CLIENTE")),
        code(QStringLiteral("MARCA"), 3),
        code(QStringLiteral("ARTICOLO"), 30),
        code(QStringLiteral("MAGAZ"), 3),
        code(QStringLiteral("UN_MIS"), 3),
        notNull(quantity(QStringLiteral("QTA"))),
        figure(QStringLiteral("PREZZO"), 5),
        number(QStringLiteral("NDEC")),
        notNull(percent(QStringLiteral("SCONTO"))),
        notNull(percent(QStringLiteral("SCONTO2"))),
        notNull(percent(QStringLiteral("SCONTO3"))),
        code(QStringLiteral("COD_IVA"), 4),
        figure(QStringLiteral("IMPORTO")),
        text(QStringLiteral("DESCRI"), 255),
        notNull(code(QStringLiteral("TIPO"), 1)),
        number(QStringLiteral("PROGRES")),
        // Kept unrounded: the VAT slots add rows before rounding.
        figure(QStringLiteral("NETTO"), 10),
        notNull(code(QStringLiteral("ANNO_BOL"), 4)),
        number(QStringLiteral("NRO_BOL")),
        date(QStringLiteral("DATA_BOL")),
        number(QStringLiteral("RIGA_BOL")),
        notNull(code(QStringLiteral("ANNO_ORD"), 4)),
        number(QStringLiteral("NRO_ORD")),
        date(QStringLiteral("DATA_ORD")),
        number(QStringLiteral("RIGA_ORD")),
        number(QStringLiteral("NRO_RBO")),
        code(QStringLiteral("CONTO"), 10),
        code(QStringLiteral("CCOS"), 6),
        text(QStringLiteral("LIBERO1"), 60),
        text(QStringLiteral("LIBERO2"), 60),
        notNull(percent(QStringLiteral("PERC_PROV"))),
        figure(QStringLiteral("IMPO_PROV")),
        number(QStringLiteral("AGENTE")),
        notNull(code(QStringLiteral("ANNO_MOV"), 4)),
        number(QStringLiteral("NUM_MOV")),
    };
}

QList<ColumnDef> deliveryColumns()
{
    return {
        key(code(QStringLiteral("ANNO"), 4)),    key(integer(QStringLiteral("NRO_INT"))),
        text(QStringLiteral("DESTINA1"), 60),    text(QStringLiteral("DESTINA2"), 60),
        text(QStringLiteral("DESTINA3"), 60),    code(QStringLiteral("DESTINA_CAP"), 5),
        code(QStringLiteral("DESTINA_PROV"), 2), number(QStringLiteral("NRO_DOC")),
        date(QStringLiteral("DATA_DOC")),        code(QStringLiteral("CAUS_TRA"), 3),
    };
}

QList<ColumnDef> dueDateColumns()
{
    QList<ColumnDef> c = {
        key(code(QStringLiteral("ANNO"), 4)),  key(integer(QStringLiteral("NRO_INT"))),
        key(integer(QStringLiteral("PROGR"))), number(QStringLiteral("NRO_GIO_S")),
        number(QStringLiteral("NRO_DOC")),     date(QStringLiteral("DATA_DOC")),
        number(QStringLiteral("NRO_REG")),     date(QStringLiteral("DATA_REG")),
        code(QStringLiteral("MOVIMENTO"), 3),  number(QStringLiteral("CLIENTE")),
        number(QStringLiteral("FORNITORE")),   number(QStringLiteral("AGENTE")),
        figure(QStringLiteral("IMPORTO")),     figure(QStringLiteral("IMPORTO_EUR")),
        figure(QStringLiteral("TOTALE_FAT")),  figure(QStringLiteral("IMPO_PROV")),
        code(QStringLiteral("COND_PAG"), 3),   code(QStringLiteral("BANCA_APP"), 6),
        code(QStringLiteral("BANCA_PAG"), 6),  text(QStringLiteral("CONTO_COR"), 20),
        code(QStringLiteral("ABI"), 5),        code(QStringLiteral("CAB"), 5),
        code(QStringLiteral("ABI_PAG"), 5),    code(QStringLiteral("CAB_PAG"), 5),
        date(QStringLiteral("SCADENZA")),
    };
    for (const char *name : {"SALDO", "ANNULLATA", "ACCONTO", "STAMPATA"})
        c.append(flag(QString::fromLatin1(name)));
    c += {date(QStringLiteral("DATA_SAL")),     code(QStringLiteral("BANCA_SAL"), 6),
          flag(QStringLiteral("INSOLUTO")),     flag(QStringLiteral("ASSEGNO")),
          figure(QStringLiteral("SPESE")),      code(QStringLiteral("RIC_ANNO"), 4),
          number(QStringLiteral("RIC_NUMERO")), date(QStringLiteral("RIC_DATA")),
          flag(QStringLiteral("RICEVUTA")),     text(QStringLiteral("TSTAMP"), 30)};
    return c;
}

TableDef table(const QString &name, QList<ColumnDef> columns)
{
    return {name, Services::Target::Company, std::move(columns)};
}

int index(Family family)
{
    return int(family);
}

// Delivery blocks and due dates exist for definitive documents and
// proposals only.
int indexWithDueDates(Family family)
{
    Q_ASSERT(hasDueDates(family));
    return hasDueDates(family) ? int(family) : 0;
}

} // namespace

const TableDef &headerTable(Family family)
{
    static const TableDef defs[] = {table(Tables::FVENDT, headerColumns()), table(Tables::FVENDT_PR, headerColumns()),
                                    table(Tables::FVENDT_S, headerColumns())};
    return defs[index(family)];
}

const TableDef &rowTable(Family family)
{
    static const TableDef defs[] = {table(Tables::FVENDD, rowColumns()), table(Tables::FVENDD_PR, rowColumns()),
                                    table(Tables::FVENDD_S, rowColumns())};
    return defs[index(family)];
}

const TableDef &deliveryTable(Family family)
{
    static const TableDef defs[] = {table(Tables::FVENACC, deliveryColumns()),
                                    table(Tables::FVENACC_PR, deliveryColumns())};
    return defs[indexWithDueDates(family)];
}

const TableDef &dueDateTable(Family family)
{
    static const TableDef defs[] = {table(Tables::SCADF, dueDateColumns()), table(Tables::SCADF_PR, dueDateColumns())};
    return defs[indexWithDueDates(family)];
}

bool hasDueDates(Family family)
{
    return family != Family::Simulated;
}

const TableDef &customerTotalsTable()
{
    static const TableDef def = table(Tables::FATT_CLI, {
                                                            key(integer(QStringLiteral("CLIENTE"))),
                                                            key(code(QStringLiteral("ANNO"), 4)),
                                                            number(QStringLiteral("NRO_FATT")),
                                                            date(QStringLiteral("ULT_FATT")),
                                                            figure(QStringLiteral("IMPONIBILE")),
                                                            figure(QStringLiteral("IVA")),
                                                        });
    return def;
}

const TableDef &withholdingTable()
{
    static const TableDef def = table(Tables::RITENUTA, {
                                                            key(code(QStringLiteral("ANNO"), 4)),
                                                            key(integer(QStringLiteral("NRO_INT"))),
                                                            number(QStringLiteral("NRO_DOC")),
                                                            date(QStringLiteral("DATA_DOC")),
                                                            code(QStringLiteral("MOVIMENTO"), 3),
                                                            number(QStringLiteral("CLIENTE")),
                                                            number(QStringLiteral("FORNITORE")),
                                                            figure(QStringLiteral("IMPON_FATT")),
                                                            figure(QStringLiteral("TOT_FATT")),
                                                            figure(QStringLiteral("IMPON_RIT")),
                                                            notNull(percent(QStringLiteral("PERC_RIT"))),
                                                            figure(QStringLiteral("RITENUTA")),
                                                            text(QStringLiteral("TSTAMP"), 30),
                                                        });
    return def;
}

} // namespace Orlavo::Sales
