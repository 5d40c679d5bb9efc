#include "masterdata/stores/pricelookup.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;

namespace {

// A list row as the document row reads it, every figure in its place.
QString described(const ListPrice &p)
{
    const auto n = [](double v) { return QString::number(v, 'g', 12); };
    return QStringLiteral("%1 '%2'%3 %4 %5/%6/%7 %8 fisso %9 acq %10/%11/%12 %13 ric %14 %15")
        .arg(p.supplier)
        .arg(p.supplierName, p.standard ? QStringLiteral(" base") : QString())
        .arg(n(p.listPrice), n(p.sale[0]), n(p.sale[1]), n(p.sale[2]), n(p.salePrice), n(p.fixedPrice))
        .arg(n(p.purchase[0]), n(p.purchase[1]), n(p.purchase[2]), n(p.purchasePrice), n(p.markup), n(p.markedUpPrice));
}

// Customer 7 has rows of ACM A1 from suppliers 2 and 1; customer 8 of A3
// only; the standard list has A1 from supplier 1 and from 99999 (no
// register row) and A2 from supplier 1; customer 7 has A2 of brand BTX,
// not ACM.
class PriceLookupTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO ANAG_FOR (FORNITORE, RAG_SOC1, TIPOLISTINO) VALUES (1, 'Uno Srl  ', 'P'), (2, 'Due Spa', "
            "'P')");
        const char *insert =
            "INSERT INTO LIST_VEN (CLIENTE, MARCA, ARTICOLO, FORNITORE, PR_LISTINO, SC_V1, SC_V2, SC_V3, "
            "PR_VENDITA, SC_A1, SC_A2, SC_A3, PR_ACQUISTO, PERC_RIC, PR_RICARICATO, PR_VENFISSO) "
            "VALUES (%1, '%2', '%3', %4, %5, 1, 2, 3, 94.1, 4, 5, 6, 85.5, 7, 91.49, 99.9)";
        const struct {
            int customer;
            const char *brand, *item;
            int supplier;
            double list;
        } rows[] = {
            {7, "ACM", "A1", 2, 102},     {7, "ACM", "A1", 1, 101},     {99999, "ACM", "A1", 99999, 109},
            {99999, "ACM", "A1", 1, 108}, {99999, "ACM", "A2", 1, 208}, {8, "ACM", "A3", 1, 301},
            {7, "BTX", "A2", 1, 207},
        };
        for (const auto &r : rows)
            run(QString::fromLatin1(insert)
                    .arg(r.customer)
                    .arg(QLatin1String(r.brand), QLatin1String(r.item))
                    .arg(r.supplier)
                    .arg(r.list));
    }

    // The source and the rows' suppliers and list prices.
    QString found(int customer, const char *brand, const char *item, const char *type = "FAT", bool own = false)
    {
        const auto lookup = lookupListPrices(context->db, customer, QString::fromLatin1(brand),
                                             QString::fromLatin1(item), QString::fromLatin1(type), own);
        if (!lookup)
            return QStringLiteral("failed: ") + lookup.failure().detail;
        QStringList texts{QString::number(int(lookup->source))};
        for (const ListPrice &p : lookup->rows)
            texts << QStringLiteral("%1:%2%3").arg(p.supplier).arg(p.listPrice).arg(p.standard ? "b" : "");
        return texts.join(QLatin1Char(' '));
    }
};

TEST_P(PriceLookupTest, TheCustomersRowsComeFirstThenTheStandardListThenTheItem)
{
    const QString customer = QString::number(int(PriceSource::CustomerList));
    const QString standard = QString::number(int(PriceSource::StandardList));
    const QString item = QString::number(int(PriceSource::Item));
    const struct {
        int customer;
        const char *brand, *item, *type;
        bool own;
        QString rows;
    } cases[] = {
        // In supplier order, whatever order they were written in.
        {7, "ACM", "A1", "FAT", false, customer + " 1:101 2:102"},
        {7, "acm", " a1 ", "DDT", false, customer + " 1:101 2:102"},
        {8, "ACM", "A1", "FAT", false, standard + " 1:108b 99999:109b"},
        // Brand and item both count: BTX A2 is not ACM A2.
        {7, "ACM", "A2", "FAT", false, standard + " 1:208b"},
        {8, "ACM", "A4", "FAT", false, item},
        // Receipts never read the lists (the rule's other cases are its own test).
        {7, "ACM", "A1", "vfr ", false, item},
    };
    for (const auto &c : cases)
        EXPECT_EQ(found(c.customer, c.brand, c.item, c.type, c.own), c.rows)
            << c.customer << " " << c.brand << " " << c.item << " '" << c.type << "'";
}

TEST_P(PriceLookupTest, ARowCarriesEveryFigureAndTheSuppliersName)
{
    const auto own = lookupListPrices(context->db, 7, "ACM", "A1", "FAT", false);
    ASSERT_TRUE(own);
    ASSERT_EQ(own->rows.size(), 2);
    EXPECT_EQ(described(own->rows.at(0)), "1 'Uno Srl' 101 1/2/3 94.1 fisso 99.9 acq 4/5/6 85.5 ric 7 91.49");
    const auto standard = lookupListPrices(context->db, 8, "ACM", "A1", "FAT", false);
    ASSERT_TRUE(standard);
    ASSERT_EQ(standard->rows.size(), 2);
    EXPECT_EQ(described(standard->rows.at(1)), "99999 '' base 109 1/2/3 94.1 fisso 99.9 acq 4/5/6 85.5 ric 7 91.49");
}

ORLAVO_FOR_EACH_ENGINE(PriceLookupTest);

} // namespace
