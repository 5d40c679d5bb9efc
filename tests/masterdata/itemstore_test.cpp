#include "fixtures.h"
#include "masterdata/stores/itemstore.h"
#include "masterdatatest.h"

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

// Company "01" with its standard data (warehouse 01, VAT 22, unit PZ,
// revenue account 041001), brands ACM and BTX, and the discounts of brand
// ACM: suppliers 1 and 2 with their own rows (supplier 1 also one for every
// brand, which its own row overrides), supplier 3 with the every-brand row
// only; customers 7 and 8, customer 7 with a markup.
class ItemStoreTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        addStandardData();
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE) VALUES ('ACM', 'Acme'), ('BTX', 'Betax'), ('999', 'Std')");
        run("INSERT INTO TAB_SCONFOR (FORNITORE, MARCA, SC_A1, SC_A2, SC_A3) VALUES (1, 'ACM', 10, 0, 0), "
            "(1, '999', 50, 0, 0), (2, 'ACM', 20, 0, 0), (3, '999', 5, 0, 0)");
        run("INSERT INTO TAB_SCONCLI (CLIENTE, MARCA, SC_V1, SC_V2, SC_V3, PERC_RIC) VALUES (7, 'ACM', 0, 0, 0, 20), "
            "(8, 'ACM', 5, 0, 0, 0)");
    }

    Item valid(const char *brand, const char *code, double listPrice = 100)
    {
        Item item = newItem(context->db, {0, 2, 2, QStringLiteral("22"), QStringLiteral("PZ")});
        Services::Row &row = item.main();
        row.setText("MAGAZZINO", "01");
        row.setText("MARCA", brand);
        row.setText("ARTICOLO", code);
        row.setText("DESC_ART", "Articolo di prova");
        row.set("PREZZO_LIST", listPrice);
        return item;
    }

    void insert(const Item &item, const QList<Component> &components = {})
    {
        EXPECT_EQ(insertItem(context->db, item, components).end, WriteEnd::Written)
            << prompter.texts().join('|').toStdString();
    }

    QStringList messages(const Item &item, bool inserting = false)
    {
        QStringList found;
        for (const Services::FieldProblem &p : checkItem(context->db, item, inserting))
            found << p.message;
        return found;
    }
};

TEST_P(ItemStoreTest, AnInsertSeedsTheListsOfTheBrandsPartiesAndAnUpdateKeepsThemInStep)
{
    const Item item = valid("ACM", "A1");
    EXPECT_EQ(item.main().text("CONTO") + item.main().text("COD_IVA") + item.main().text("UNITA_MIS"), "04100122PZ");
    insert(item);
    // Three suppliers, each with its own discounts (the brand row wins over the every-brand one).
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ"), "3");
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 1"), "90");
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 3"), "95");
    // Two customers for each supplier.
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN"), "6");
    EXPECT_EQ(text("SELECT PR_RICARICATO FROM LIST_VEN WHERE CLIENTE = 7 AND FORNITORE = 1"), "108");
    EXPECT_EQ(text("SELECT PR_VENDITA FROM LIST_VEN WHERE CLIENTE = 8 AND FORNITORE = 2"), "95");

    // A new list price reaches every row, with the same discounts.
    const Item loaded = *loadItem(context->db, itemKey(item));
    Item dearer = loaded;
    dearer.main().set("PREZZO_LIST", 200);
    dearer.main().set("SC_A1", 30); // the item's own discounts: no supplier here lacks a brand row
    EXPECT_EQ(updateItem(context->db, dearer, loaded, {}).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT PR_ACQUISTO FROM LIST_ACQ WHERE FORNITORE = 2"), "160");
    EXPECT_EQ(text("SELECT PR_RICARICATO FROM LIST_VEN WHERE CLIENTE = 7 AND FORNITORE = 1"), "216");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_VEN WHERE PR_LISTINO = 200"), "6");
}

TEST_P(ItemStoreTest, AnUpdateWritesWhatChangedHereAndAFailureLeavesEverythingAsItWas)
{
    insert(valid("BTX", "C1"));
    insert(valid("BTX", "C2"));
    const Item parent = valid("ACM", "P1");
    insert(parent, {{"btx", "c2", 2}, {"BTX", "C1", 1.5}});
    ASSERT_TRUE(loadComponents(context->db, "ACM", "P1"));
    EXPECT_EQ(*loadComponents(context->db, "ACM", "P1"), (QList<Component>{{"BTX", "C2", 2}, {"BTX", "C1", 1.5}}));

    // Stock posted by another workstation meanwhile survives a save that left it alone.
    const Item loaded = *loadItem(context->db, itemKey(parent));
    Orlavo::Testing::Workstation(archives->config()).exec("UPDATE ARTICOLI SET ESISTENZA = 12 WHERE ARTICOLO = 'P1'");
    Item renamed = loaded;
    renamed.main().setText("DESC_ART", "Composto");
    EXPECT_EQ(updateItem(context->db, renamed, loaded, {{"BTX", "C1", 3}}).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT DESC_ART FROM ARTICOLI WHERE ARTICOLO = 'P1'"), "Composto");
    EXPECT_DOUBLE_EQ(archives->scalar("SELECT ESISTENZA FROM ARTICOLI WHERE ARTICOLO = 'P1'").toDouble(), 12);
    EXPECT_EQ(text("SELECT COUNT(*) FROM ARTICOMP"), "1");

    // A failing list write takes the item and its components back with it.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "LIST_VEN"), QString());
    const Orlavo::Testing::Snapshot before(*archives, {"ARTICOLI", "ARTICOMP", "LIST_ACQ"});
    Item other = valid("ACM", "P2");
    EXPECT_EQ(insertItem(context->db, other, {{"BTX", "C1", 1}}).end, WriteEnd::Failed);
    Orlavo::Testing::expectNothingWritten(before, context->db);
    const Item stored = *loadItem(context->db, itemKey(renamed));
    Item again = stored;
    again.main().set("PREZZO_LIST", 150);
    EXPECT_EQ(updateItem(context->db, again, stored, {}).end, WriteEnd::Failed);
    Orlavo::Testing::expectNothingWritten(before, context->db);

    // Deleted meanwhile: the save writes it again.
    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "LIST_VEN"), QString());
    run("DELETE FROM ARTICOLI WHERE ARTICOLO = 'P1'");
    EXPECT_EQ(updateItem(context->db, again, stored, {}).end, WriteEnd::Written);
    EXPECT_EQ(text("SELECT PREZZO_LIST FROM ARTICOLI WHERE ARTICOLO = 'P1'"), "150");
}

TEST_P(ItemStoreTest, ChecksAndComponentsRefuseInTheirOrder)
{
    Item wrong = valid("ACM", "A1");
    wrong.main().setText("ULT_SCARIC", "31/02/2026");
    wrong.main().set("SC_A2", 120);
    wrong.main().set("SC_V1", -1);
    wrong.main().setText("ARTIC_ALT", "NONE");
    wrong.main().setText("UNITA_MIS", "");
    wrong.main().setText("DESC_ART", "");
    EXPECT_EQ(messages(wrong), (QStringList{"Data ultimo scarico errata ", "Sconto non può essere maggiore di 100 !",
                                            "Sconto non può essere minore di zero !", "Articolo alternativo errato",
                                            "Codice marca obbligatorio", "Unità di misura obbligatoria",
                                            "Descrizione articolo obbligatoria"}));
    const Item item = valid("ACM", "A1");
    EXPECT_TRUE(messages(item, true).isEmpty());
    insert(item);
    EXPECT_EQ(messages(item, true), QStringList{"Codice articolo già presente in archivio"});
    Item unknownBrand = valid("ZZZ", "A2");
    EXPECT_EQ(messages(unknownBrand, true), QStringList{"Codice marca errato"});

    insert(valid("BTX", "C1"));
    insert(valid("BTX", "K1"), {{"ACM", "A1", 1}});
    const ItemKey parent{"01", "ACM", "A1"};
    const struct {
        const char *brand, *code, *quantity, *message;
    } cases[] = {
        {"BTX", "C1", "x", "Qauntità errata"},
        {"BTX", "", "1", "Articolo obbligatorio"},
        {"", "C1", "1", "Marca obbligatoria"},
        {"BTX", "NONE", "1", "Articolo errato"},
        {"ACM", "A1", "1", "Articolo errato"}, // itself
        {"BTX", "K1", "1", "Articolo errato"}, // holds the parent: a cycle
        {"btx", "c1", "2,5", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(componentProblem(context->db, parent, c.brand, c.code, c.quantity), QString::fromUtf8(c.message))
            << c.code;
}

TEST_P(ItemStoreTest, ADeleteKeepsWhatAnotherWarehouseStillNeeds)
{
    run("INSERT INTO TAB_MAGAZZINI (CODICE, DESCRIZIONE) VALUES ('02', 'Deposito')");
    insert(valid("BTX", "C1"));
    insert(valid("ACM", "A1"), {{"BTX", "C1", 1}});
    Item second = valid("ACM", "A1");
    second.main().setText("MAGAZZINO", "02");
    insert(second);
    EXPECT_EQ(*itemDeleteRefusal(context->db, {"01", "BTX", "C1"}),
              "Impossibile eliminare l'articolo, è componente di un articolo composto");
    EXPECT_TRUE(itemDeleteRefusal(context->db, {"01", "ACM", "A1"})->isEmpty());

    // Warehouse 02 still holds ACM A1: its lists and components stay. BTX C1
    // has the two suppliers with discounts for every brand.
    const QString acm = "SELECT COUNT(*) FROM %1 WHERE MARCA%2 = 'ACM'";
    const auto rows = [&](const char *table, const char *suffix = "") {
        return text(acm.arg(QLatin1String(table), QLatin1String(suffix)));
    };
    EXPECT_EQ(deleteItem(context->db, {"01", "ACM", "A1"}).end, WriteEnd::Written);
    EXPECT_EQ(rows("LIST_ACQ") + rows("LIST_VEN") + rows("ARTICOMP", "_P"), "361");
    EXPECT_EQ(deleteItem(context->db, {"02", "ACM", "A1"}).end, WriteEnd::Written);
    EXPECT_EQ(rows("LIST_ACQ") + rows("LIST_VEN") + rows("ARTICOMP", "_P") + rows("ARTICOLI"), "0000");
    EXPECT_EQ(text("SELECT COUNT(*) FROM LIST_ACQ WHERE MARCA = 'BTX'"), "2");
}

ORLAVO_FOR_EACH_ENGINE(ItemStoreTest);

} // namespace
