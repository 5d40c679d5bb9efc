#include "fixtures.h"
#include "masterdata/stores/itemphoto.h"
#include "masterdata/stores/itemprints.h"
#include "masterdata/stores/itemstore.h"
#include "masterdatatest.h"
#include "ui/frmrpt.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

// The item stores: checks, writes and the lists an item seeds, the photo's
// files, the item card.

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
        return Orlavo::Testing::problemTexts(checkItem(context->db, item, inserting), false);
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

// Items of brand ACM in warehouse 01, one of them also in warehouse 02.
TEST_P(ItemStoreTest, TheCardHoldsTheChosenItemsFiguresWithTheirDecimals)
{
    useShippedReports();
    run("INSERT INTO TAB_MAGAZZINI (CODICE, DESCRIZIONE) VALUES ('02', 'DEPOSITO NORD')");
    // A code with a quote: the selection must still name it exactly.
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, PREZZO_LIST, PREZZO_IVA_INC, NUM_DEC, "
        "PREZZO_LIST_E, NUM_DEC_E, PREZZO_LIST_3, NUM_DEC_3, PREZZO_ACQ, PREZZO_V1, ESISTENZA, IMPEGNATO) "
        "VALUES ('01', 'ACM', 'TR\"10', 'TRAPANO A COLONNA', 12.345, 15.061, 3, 10.5, 2, 1234, 0, 7.125, 14.2, 42.5, "
        "4)");
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'ACM', 'TR10', 'ALTRO TRAPANO'), "
        "('02', 'ACM', 'TR\"10', 'TRAPANO DEL DEPOSITO')");
    Reporting::PrintCommand command = itemCardPrint({"01", "ACM", "TR\"10"});
    command.output = Reporting::ReportOutput::Pdf;
    command.pdfPath = archives->folder() + "scheda.pdf";
    ASSERT_TRUE(Ui::printReport(*context, command)) << prompter.texts().join('|').toStdString();
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    // Each list price with its own decimals; purchase and sale with those of price 1.
    Orlavo::Testing::expectAll(Orlavo::Testing::pdfText(command.pdfPath),
                               {"Scheda articolo", "TR\"10", "TRAPANO A COLONNA", "MAGAZZINO PRINCIPALE", "Acme",
                                "12,345", "15,061", "10,50", "1.234", "7,125", "14,200", "42,500", "4,000"},
                               {"ALTRO TRAPANO", "TRAPANO DEL DEPOSITO", "DEPOSITO NORD"});
}

ORLAVO_FOR_EACH_ENGINE(ItemStoreTest);

TEST(ItemPhotoNames, StoredNamesAreReadInsideTheImageFolder)
{
    const QString folder = "/srv/orlavo/IMAGE/";
    // clang-format off
    const struct {
        const char *stored;
        QString expected;
    } cases[] = {
        {"01_ACM_A1.png", folder + "01_ACM_A1.png"},
        {"foto\\trapani\\a1.jpg", folder + "foto/trapani/a1.jpg"},
        // Another workstation's path: only the file name counts.
        {"C:\\ORLAVO\\IMAGE\\a1.JPG", folder + "a1.JPG"},
        {"/home/mario/Immagini/a3.png", folder + "a3.png"},
        {"  ", ""},
        {"C:\\ORLAVO\\IMAGE\\", ""},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        EXPECT_EQ(photoFile(folder, QString::fromUtf8(c.stored)), c.expected);
    }

    QTemporaryDir app;
    const QString root = app.path() + "/";
    ASSERT_TRUE(QDir().mkpath(root + "FOTO"));
    const PhotoFolder configured = photoFolder(root + "FOTO", root);
    EXPECT_EQ(configured.path, root + "FOTO/");
    EXPECT_TRUE(configured.refusal.isEmpty());
    const PhotoFolder missing = photoFolder(root + "ASSENTE/", root);
    EXPECT_EQ(missing.path, root + "IMAGE/");
    EXPECT_EQ(missing.refusal, "Directory " + root + "ASSENTE/   non valida, Usare la directory predefinita");
}

// Items ACM A1 and A2 of warehouse 01; the image folder IMAGE/ of the
// archives' folder, and pictures from elsewhere in ALTROVE/.
class ItemPhotoTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'ACM', 'A1', 'Trapano'), "
            "('01', 'ACM', 'A2', 'Avvitatore')");
        folder = archives->folder() + "IMAGE/";
        ASSERT_TRUE(QDir().mkpath(folder));
    }

    QString picture(const QString &path, Qt::GlobalColor colour)
    {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(colour);
        QDir().mkpath(QFileInfo(path).absolutePath());
        EXPECT_TRUE(image.save(path));
        return path;
    }
    QString elsewhere(const QString &name, Qt::GlobalColor colour = Qt::red)
    {
        return picture(archives->folder() + "ALTROVE/" + name, colour);
    }

    QString stored(const char *code)
    {
        return text(QStringLiteral("SELECT FOTOGR FROM ARTICOLI WHERE ARTICOLO = '%1'").arg(code));
    }
    QStringList files() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

    WriteEnd change(const ItemKey &key, const QString &chosen)
    {
        const auto changed = changeItemPhoto(context->db, folder, key, chosen);
        EXPECT_TRUE(changed) << (changed ? "" : changed.failure().message.toStdString());
        return changed ? changed->end : WriteEnd::Failed;
    }

    const ItemKey a1{"01", "ACM", "A1"};
    const ItemKey a2{"01", "ACM", "A2"};
    QString folder;
};

} // namespace

TEST_P(ItemPhotoTest, AFileFromElsewhereIsCopiedUnderTheItemsNameAndNeverOverAnotherFile)
{
    const QString red = elsewhere("rosso.png");
    EXPECT_EQ(change(a1, red), WriteEnd::Written);
    EXPECT_EQ(stored("A1"), "01_ACM_A1.png");
    EXPECT_EQ(Orlavo::Testing::readBytes(folder + "01_ACM_A1.png"), Orlavo::Testing::readBytes(red));
    // The same file chosen again is the one already there.
    EXPECT_EQ(change(a1, red), WriteEnd::Written);
    EXPECT_EQ(files(), QStringList{"01_ACM_A1.png"});

    // A2's name holds a different file: it stays, the new one takes a counter.
    const QString old = picture(folder + "01_ACM_A2.png", Qt::blue);
    const QByteArray oldBytes = Orlavo::Testing::readBytes(old);
    EXPECT_EQ(change(a2, elsewhere("verde.PNG", Qt::green)), WriteEnd::Written);
    EXPECT_EQ(stored("A2"), "01_ACM_A2_2.png");
    EXPECT_EQ(Orlavo::Testing::readBytes(old), oldBytes);
    EXPECT_EQ(readPhoto(folder + "01_ACM_A2_2.png").pixelColor(0, 0), QColor(Qt::green));

    // A file already in the folder keeps its place and its name.
    const QString inside = picture(folder + "trapani/nero.jpg", Qt::black);
    EXPECT_EQ(change(a1, inside), WriteEnd::Written);
    EXPECT_EQ(stored("A1"), "trapani/nero.jpg");
    EXPECT_EQ(files(), (QStringList{"01_ACM_A1.png", "01_ACM_A2.png", "01_ACM_A2_2.png"}));

    // Clearing the photo leaves the file where it is.
    EXPECT_EQ(writeItemPhoto(context->db, a2, {}).end, WriteEnd::Written);
    EXPECT_TRUE(archives->scalar("SELECT FOTOGR FROM ARTICOLI WHERE ARTICOLO = 'A2'").isNull());
    EXPECT_TRUE(QFileInfo::exists(folder + "01_ACM_A2_2.png"));
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
}

TEST_P(ItemPhotoTest, WhatCannotBeShownOrWrittenLeavesNeitherNameNorCopy)
{
    EXPECT_EQ(change(a1, elsewhere("rosso.png")), WriteEnd::Written);
    // A metafile, and a file that only calls itself a picture.
    const QString wmf = archives->folder() + "ALTROVE/logo.wmf";
    const QString fake = archives->folder() + "ALTROVE/finto.png";
    ASSERT_TRUE(Orlavo::Testing::writeBytes(wmf, QByteArray::fromHex("d7cdc69a0000") + QByteArray(64, '\1')));
    ASSERT_TRUE(Orlavo::Testing::writeBytes(fake, "testo, non immagine"));
    for (const QString &chosen : {wmf, fake}) {
        SCOPED_TRACE(chosen.toStdString());
        const auto changed = changeItemPhoto(context->db, folder, a1, chosen);
        ASSERT_FALSE(changed);
        EXPECT_EQ(changed.failure().message, "Formato immagine non supportato");
    }
    EXPECT_EQ(stored("A1"), "01_ACM_A1.png");

    // A write that fails, or an item deleted meanwhile, takes its copy back.
    ASSERT_EQ(Orlavo::Testing::refuseWrites(context->db.connection(), GetParam(), "ARTICOLI"), QString());
    EXPECT_EQ(change(a2, elsewhere("verde.png", Qt::green)), WriteEnd::Failed);
    EXPECT_TRUE(prompter.texts().value(0).startsWith(
        "Rilevato errore su Gestione articoli\nCodice -100\nStep Agg. foto articolo"))
        << prompter.texts().join('|').toStdString();
    ASSERT_EQ(Orlavo::Testing::allowWrites(context->db.connection(), GetParam(), "ARTICOLI"), QString());
    EXPECT_EQ(change({"01", "ACM", "ZZ"}, elsewhere("blu.png", Qt::blue)), WriteEnd::Gone);
    EXPECT_EQ(files(), QStringList{"01_ACM_A1.png"});
    EXPECT_EQ(stored("A2"), "");
}

ORLAVO_FOR_EACH_ENGINE(ItemPhotoTest);
