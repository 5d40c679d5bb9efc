#include "archives.h"
#include "masterdata/stores/customerstore.h"
#include "masterdata/stores/itemstore.h"
#include "sales/stores/documentstore.h"
#include "sales/stores/salestables.h"
#include "services/data/writeunit.h"

using namespace Orlavo;
using namespace Orlavo::Sales;
using Services::Row;

namespace {

const QString kYear = QStringLiteral("2024");

SalesDocument invoice(Family family, int number)
{
    SalesDocument d = SalesDocument::empty(family);
    Row &h = d.header;
    h.set(QStringLiteral("ANNO"), kYear);
    h.set(QStringLiteral("NRO_INT"), number);
    h.set(QStringLiteral("NRO_DOC"), number);
    h.set(QStringLiteral("DATA_DOC"), QDate(2024, 11, 15));
    h.set(QStringLiteral("MOVIMENTO"), QStringLiteral("VFM"));
    h.set(QStringLiteral("CLIENTE"), 7);
    h.set(QStringLiteral("COND_PAG"), QStringLiteral("R36"));
    h.set(QStringLiteral("IMPONIB_1"), 14.04);
    h.set(QStringLiteral("IVA_1"), 3.09);
    h.set(QStringLiteral("PERC_1"), QStringLiteral("22"));
    h.set(QStringLiteral("TOTALE"), 38.99);
    h.set(QStringLiteral("ACCOMPAGNATORIA"), true);

    Row typed = d.newRow();
    typed.set(QStringLiteral("DESCRI"), QStringLiteral("Consulenza"));
    typed.set(QStringLiteral("QTA"), 3);
    typed.set(QStringLiteral("PREZZO"), 19.99);
    typed.set(QStringLiteral("NETTO"), 50.248863);
    typed.set(QStringLiteral("COD_IVA"), QStringLiteral("22"));
    typed.set(QStringLiteral("IMPORTO"), 50.25); // never stored
    // Stray references on a typed row are not kept.
    typed.set(QStringLiteral("NRO_BOL"), 4);
    typed.set(QStringLiteral("NRO_ORD"), 9);
    Row fromNote = d.newRow();
    fromNote.set(QStringLiteral("TIPO"), QStringLiteral("D"));
    fromNote.set(QStringLiteral("PREZZO"), 2.125);
    fromNote.set(QStringLiteral("ANNO_BOL"), kYear);
    fromNote.set(QStringLiteral("NRO_BOL"), 12);
    fromNote.set(QStringLiteral("DATA_BOL"), QDate(2024, 11, 2));
    fromNote.set(QStringLiteral("RIGA_BOL"), 3);
    fromNote.set(QStringLiteral("NRO_ORD"), 9);
    Row fromOrder = d.newRow();
    fromOrder.set(QStringLiteral("TIPO"), QStringLiteral("B"));
    fromOrder.set(QStringLiteral("ANNO_ORD"), kYear);
    fromOrder.set(QStringLiteral("NRO_ORD"), 5);
    fromOrder.set(QStringLiteral("RIGA_ORD"), 2);
    fromOrder.set(QStringLiteral("NRO_BOL"), 12);
    d.rows = {typed, fromNote, fromOrder};

    if (!hasDueDates(family))
        return d;
    Row delivery(deliveryTable(family));
    delivery.set(QStringLiteral("DESTINA1"), QStringLiteral("Magazzino Nord"));
    delivery.set(QStringLiteral("CAUS_TRA"), QStringLiteral("VEN"));
    d.delivery = delivery;
    d.dueDates = dueDateRows(
        d, {{QDate(2024, 12, 31), 17.53, 1.12}, {QDate(2025, 1, 31), 17.54, 1.13}, {QDate(), 5, 0}}); // no date: no row
    return d;
}

class DocumentStoreTest : public Testing::EngineTest
{
protected:
    bool write(SalesDocument &document)
    {
        Services::WriteUnit unit(*db, QStringLiteral("Codifica Fatture"), Services::WriteUnit::Report::Quiet);
        return writeDocument(unit, document) && unit.commit();
    }

    SalesDocument read(Family family, int number)
    {
        const auto found = readDocument(*db, family, kYear, number);
        EXPECT_TRUE(found && found->has_value());
        return found && found->has_value() ? **found : SalesDocument{};
    }

    QVariant stored(const QString &sql) { return archives->scalar(sql); }
};

} // namespace

TEST_P(DocumentStoreTest, DefinitiveAndProposalShareANumberAndReadBackWhole)
{
    SalesDocument definitive = invoice(Family::Definitive, 1);
    SalesDocument proposal = invoice(Family::Proposal, 1);
    proposal.header.set(QStringLiteral("TOTALE"), 99.0);
    proposal.header.set(QStringLiteral("ACCOMPAGNATORIA"), false);
    ASSERT_TRUE(write(definitive));
    ASSERT_TRUE(write(proposal));

    EXPECT_EQ(read(Family::Definitive, 1), definitive);
    SalesDocument proposalRead = read(Family::Proposal, 1);
    EXPECT_EQ(proposalRead.header.number(QStringLiteral("TOTALE")), 99);
    EXPECT_FALSE(proposalRead.delivery); // not travelling with the goods: no block
    EXPECT_EQ(proposalRead.rows, definitive.rows);
    ASSERT_EQ(proposalRead.dueDates.size(), 2);
    EXPECT_EQ(proposalRead.dueDates[1].number(QStringLiteral("IMPO_PROV")), 1.13);
    EXPECT_EQ(proposalRead.dueDates[1].integer(QStringLiteral("PROGR")), 2);
    EXPECT_EQ(proposalRead.dueDates[1].date(QStringLiteral("SCADENZA")), QDate(2025, 1, 31));
}

TEST_P(DocumentStoreTest, RowsKeepOnlyTheirOwnSourceAndNeverAnAmount)
{
    SalesDocument d = invoice(Family::Definitive, 2);
    ASSERT_TRUE(write(d));
    const auto rows = Testing::Workstation(archives->config())
                          .rows(QStringLiteral("SELECT RIGA, TIPO, ANNO_BOL, NRO_BOL, RIGA_BOL, ANNO_ORD, NRO_ORD, "
                                               "RIGA_ORD, IMPORTO, NDEC, NETTO FROM FVENDD ORDER BY RIGA"));
    ASSERT_TRUE(rows && rows->size() == 3);
    QStringList seen;
    for (const auto &r : *rows) {
        QStringList values;
        for (int i = 0; i < 10; ++i)
            values << (r.at(i).isNull() ? QStringLiteral("null") : r.at(i).toString());
        seen << values.join(QLatin1Char('|'));
    }
    EXPECT_EQ(seen, (QStringList{QStringLiteral("1|||0|0||0|0|0|2"), QStringLiteral("2|D|2024|12|3||0|0|0|3"),
                                 QStringLiteral("3|B||0|0|2024|5|2|0|2")}));
    EXPECT_NEAR(rows->at(0).at(10).toDouble(), 50.248863, 1e-9); // unrounded
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM FVENDT WHERE TIPOFATT = ''")).toInt(), 1);
    EXPECT_EQ(stored(QStringLiteral("SELECT COUNT(*) FROM SCADF WHERE FORNITORE = 0 AND SALDO = 0")).toInt(), 2);
}

TEST_P(DocumentStoreTest, AFailureWritingRowsLeavesNoHeader)
{
    ASSERT_EQ(Testing::refuseWrites(db->connection(), GetParam(), QStringLiteral("FVENDD")), QString());
    SalesDocument d = invoice(Family::Definitive, 3);
    EXPECT_FALSE(write(d));
    EXPECT_EQ(archives->count(QStringLiteral("FVENDT")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("FVENACC")), 0);
}

TEST_P(DocumentStoreTest, DeleteAndEmptyTheSimulatedFamily)
{
    SalesDocument first = invoice(Family::Definitive, 4);
    SalesDocument second = invoice(Family::Definitive, 5);
    SalesDocument simulated = invoice(Family::Simulated, 4);
    ASSERT_TRUE(write(first) && write(second) && write(simulated));
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(deleteDocument(unit, Family::Definitive, kYear, 4) && emptySimulated(unit) && unit.commit());
    }
    for (const char *table : {"FVENDT", "FVENACC"})
        EXPECT_EQ(archives->count(QString::fromLatin1(table)), 1) << table;
    EXPECT_EQ(archives->count(QStringLiteral("FVENDD")), 3);
    EXPECT_EQ(archives->count(QStringLiteral("SCADF")), 2);
    EXPECT_EQ(archives->count(QStringLiteral("FVENDT_S")), 0);
    EXPECT_EQ(archives->count(QStringLiteral("FVENDD_S")), 0);
}

TEST_P(DocumentStoreTest, CustomerTotalsAddUpAcrossWorkstations)
{
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(addCustomerInvoice(unit, 7, kYear, QDate(2024, 3, 1), 100, 22) && unit.commit());
    }
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.open());
    {
        Services::WriteUnit unit(other.db(), QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(addCustomerInvoice(unit, 7, kYear, QDate(2024, 4, 2), 50.5, 11.11) && unit.commit());
    }
    const auto rows = other.rows(QStringLiteral("SELECT NRO_FATT, ULT_FATT, IMPONIBILE, IVA FROM FATT_CLI "
                                                "WHERE CLIENTE = 7 AND ANNO = '2024'"));
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ(rows->at(0).at(0).toInt(), 2);
    EXPECT_EQ(rows->at(0).at(1).toDate(), QDate(2024, 4, 2));
    EXPECT_DOUBLE_EQ(rows->at(0).at(2).toDouble(), 150.5);
    EXPECT_DOUBLE_EQ(rows->at(0).at(3).toDouble(), 33.11);
}

TEST_P(DocumentStoreTest, WithholdingEntryTakesTheDocumentsFigures)
{
    SalesDocument d = invoice(Family::Definitive, 6);
    d.header.set(QStringLiteral("IMPONIB_2"), 18.05);
    d.header.set(QStringLiteral("IMPON_RIT"), 17.05);
    d.header.set(QStringLiteral("PERC_RIT"), 23);
    d.header.set(QStringLiteral("RITENUTA"), 3.92);
    {
        Services::WriteUnit unit(*db, QStringLiteral("Prova"), Services::WriteUnit::Report::Quiet);
        ASSERT_TRUE(writeWithholding(unit, d) && unit.commit());
    }
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("SELECT IMPON_FATT FROM RITENUTA")).toDouble(), 32.09);
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("SELECT TOT_FATT FROM RITENUTA")).toDouble(), 38.99);
    EXPECT_DOUBLE_EQ(stored(QStringLiteral("SELECT RITENUTA FROM RITENUTA WHERE CLIENTE = 7")).toDouble(), 3.92);
}

TEST_P(DocumentStoreTest, InvoicesKeepTheirCustomerAndItemsFromDeletion)
{
    SalesDocument d = invoice(Family::Definitive, 7);
    d.rows[0].set(QStringLiteral("MARCA"), QStringLiteral("ABC"));
    d.rows[0].set(QStringLiteral("ARTICOLO"), QStringLiteral("VITE-10"));
    ASSERT_TRUE(write(d));
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 7).value(), QStringList{QStringLiteral("Fatture")});
    EXPECT_EQ(Masterdata::customerUsesOf(*db, 8).value(), QStringList());
    EXPECT_EQ(
        Masterdata::itemDeleteRefusal(*db, {QStringLiteral("01"), QStringLiteral("ABC"), QStringLiteral("VITE-10")})
            .value(),
        QStringLiteral("Impossibile eliminare l'articolo, esistono ancora movimenti"));
}

ORLAVO_FOR_EACH_ENGINE(DocumentStoreTest);
