#include "fixtures.h"
#include "masterdata/windows/f210arti.h"
#include "masterdata/windows/visfoto.h"
#include "masterdatatest.h"
#include "services/core/concurrency.h"

#include <QClipboard>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableWidget>

// The item windows' wiring: the checks, writes and lists are the stores'
// (items_test), the price arithmetic the rules' (pricerules_test); names,
// copies and writes of a photo are the photo store's.

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;
using Orlavo::Testing::red;
using ItemMode = F210Arti::Mode;

namespace {

// Company "01" with its standard data (warehouse 01, VAT 22, unit PZ) and
// brands ACM and BTX; prices have 2 decimals by default.
class F210ArtiTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        addStandardData();
        run("INSERT INTO TAB_MARCHE (CODICE, DESCRIZIONE, PERC_PROV) VALUES ('ACM', 'Acme', 4), ('BTX', 'Betax', 0)");
        context->settings.write("ARTICOLI", "DECIMALI_PREZZO1", "2");
        context->settings.write("ARTICOLI", "CODICE_IVA", "22");
        context->settings.write("ARTICOLI", "UNITA_MISURA", "PZ");
    }

    std::unique_ptr<F210Arti> open(ItemMode mode, const ItemKey &key = {}, const QString &parameter = {})
    {
        auto window = std::make_unique<F210Arti>(*context, mode, key, parameter);
        EXPECT_TRUE(window->loaded());
        answer();
        return window;
    }

    void type(F210Arti &window, const QString &name, const QString &text)
    {
        Orlavo::Testing::leave(static_cast<QLineEdit *>(window.field(name)), text);
    }
};

TEST_P(F210ArtiTest, APriceTypedDerivesItsTwinsAndAskedDecimalsStayWithTheItem)
{
    auto window = open(ItemMode::Insert);
    EXPECT_EQ(window->value("COD_IVA") + window->value("UNITA_MIS"), "22PZ");
    for (const auto &[name, text] : {std::pair{"MAGAZZINO", "01"}, {"ARTICOLO", "A1"}, {"DESC_ART", "Vite"}})
        window->setValue(name, text);
    type(*window, "MARCA", "ACM");
    EXPECT_EQ(window->value("PERC_PROV"), "4,00"); // the brand's commission
    type(*window, "SC_V1", "10");
    type(*window, "PREZZO_LIST", "100");
    EXPECT_EQ(window->value("PREZZO_IVA_INC") + "|" + window->value("PREZZO_VSC"), "122,00|90,00");
    EXPECT_TRUE(prompter.texts().isEmpty());

    // Three decimals typed: asked; Yes keeps them for this item only.
    const QString question = "Sono stati digitati un numero di decimali diverso da quello previsto: \n"
                             "Previsti: 2   Digitati: 3\nMantenere i nuovi decimali SOLO per questo articolo ? ";
    answer({Prompter::Button::Yes});
    type(*window, "PREZZO_IVA_INC", "12,345");
    EXPECT_EQ(prompter.texts(), QStringList{question});
    EXPECT_EQ(window->value("PREZZO_LIST"), "10,119");
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(prompter.texts(), QStringList{Testing::kConfirmUpdates});
    EXPECT_EQ(text("SELECT NUM_DEC FROM ARTICOLI"), "3");
    // Cleared for the next item, with the default decimals.
    EXPECT_TRUE(window->value("ARTICOLO").isEmpty());

    // No: the figure keeps the item's decimals.
    answer({Prompter::Button::No});
    type(*window, "PREZZO_LIST", "1,23456");
    EXPECT_EQ(window->value("PREZZO_LIST"), "1,23");
}

TEST_P(F210ArtiTest, FailingFieldsTurnRedAndTheLastSpeaks)
{
    auto window = open(ItemMode::Insert);
    window->setValue("MAGAZZINO", "01");
    window->setValue("MARCA", "ACM");
    window->setValue("SC_A1", "120");
    window->setValue("UNITA_MIS", "");
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), QStringList{"Codice articolo obbligatorio"});
    EXPECT_EQ(red(*window), (QStringList{"ARTICOLO", "DESC_ART", "SC_A1", "UNITA_MIS"}));
    EXPECT_EQ(window->focusWidget(), window->field("ARTICOLO"));
    EXPECT_EQ(count("ARTICOLI"), 0);

    // A field left with a wrong value says so at once, titled "Errore!".
    answer();
    type(*window, "COD_MERCE", "ZZ");
    ASSERT_EQ(prompter.shown().size(), 1);
    EXPECT_EQ(prompter.shown().first().text + "|" + prompter.shown().first().title,
              "Categoria merceologica errata|Errore!");
}

TEST_P(F210ArtiTest, ADocumentCodesAnItemAndComponentsKeepTheirOrder)
{
    const QString parameter = "ARTICODACM" + QString("N-1").leftJustified(30) + QString("15,5").leftJustified(20);
    auto window = open(ItemMode::Insert, {}, parameter);
    EXPECT_EQ(window->value("MARCA") + "|" + window->value("ARTICOLO") + "|" + window->value("PREZZO_LIST"),
              "ACM|N-1|15,50");
    for (const auto &[name, text] : {std::pair{"MAGAZZINO", "01"}, {"DESC_ART", "Kit"}})
        window->setValue(name, text);
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART) VALUES ('01', 'BTX', 'C1', 'Dado'), "
        "('01', 'BTX', 'C2', 'Rondella')");
    EXPECT_FALSE(window->addComponent("BTX", "C9", "1"));
    EXPECT_EQ(prompter.texts(), QStringList{"Articolo errato"});
    EXPECT_TRUE(window->addComponent("btx", "c2", "2"));
    EXPECT_TRUE(window->addComponent("BTX", "C1", "1,5"));
    answer({Prompter::Button::Ok});
    ASSERT_TRUE(window->save()) << prompter.texts().join('|').toStdString();

    // In modify: the grid as stored; a row taken away is a change.
    auto stored = open(ItemMode::Modify, {"01", "ACM", "N-1"});
    EXPECT_EQ(stored->componentGrid()->rowCount(), 2);
    EXPECT_FALSE(stored->hasChanges());
    stored->removeComponent(0);
    EXPECT_TRUE(stored->hasChanges());
}

TEST_P(F210ArtiTest, AnItemChangedElsewhereSinceLoadingIsToldBeforeTheSave)
{
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, COD_IVA, UNITA_MIS, CONTO) "
        "VALUES ('01', 'ACM', 'A1', 'Vite', '22', 'PZ', '041001')");
    auto window = open(ItemMode::Modify, {"01", "ACM", "A1"});
    Orlavo::Testing::Workstation(archives->config()).exec("UPDATE ARTICOLI SET LIBERO1 = 'altrove'");
    window->setValue("DESC_ART", "Bullone");
    answer({Prompter::Button::Ok, Prompter::Button::Cancel});
    EXPECT_FALSE(window->save());
    EXPECT_EQ(prompter.texts(), (QStringList{Testing::kConfirmUpdates, Services::Concurrency::changedElsewhere()}));
    EXPECT_EQ(text("SELECT DESC_ART FROM ARTICOLI"), "Vite");
    // OK: saved, and what the other workstation wrote stays.
    answer({Prompter::Button::Ok, Prompter::Button::Ok});
    EXPECT_TRUE(window->save());
    EXPECT_EQ(text("SELECT DESC_ART || '|' || LIBERO1 FROM ARTICOLI"), "Bullone|altrove");
}

TEST_P(F210ArtiTest, AUserWhoMayNotWriteWritesNothing)
{
    run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, COD_IVA, UNITA_MIS, CONTO) "
        "VALUES ('01', 'ACM', 'A1', 'Vite', '22', 'PZ', '041001')");
    context->state.userType = 0;
    auto window = open(ItemMode::Modify, {"01", "ACM", "A1"});
    window->setValue("DESC_ART", "Bullone");
    EXPECT_FALSE(window->save());
    EXPECT_FALSE(window->remove());
    // Each stopped at the rights, before any check or question.
    ASSERT_EQ(prompter.texts().size(), 2) << prompter.texts().join('|').toStdString();
    EXPECT_TRUE(prompter.texts().first().startsWith("Operazione non consentita : \n"));
    EXPECT_TRUE(prompter.texts().last().startsWith("Operazione non consentita : \n"));
    EXPECT_EQ(text("SELECT DESC_ART FROM ARTICOLI"), "Vite");
    EXPECT_EQ(count("ARTICOLI"), 1);
}

ORLAVO_FOR_EACH_ENGINE(F210ArtiTest);

// Items ACM A1, whose FOTOGR is an old workstation's path to a 200 x 100
// picture now in the image folder, and ACM A2, whose file is missing.
class VisFotoTest : public Orlavo::Testing::MasterdataTest<>
{
protected:
    void seed() override
    {
        folder = archives->folder() + "IMAGE/";
        context->state.pathImage = folder;
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::darkYellow);
        ASSERT_TRUE(QDir().mkpath(folder) && image.save(folder + "01_ACM_A1.png"));
        run("INSERT INTO ARTICOLI (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, FOTOGR) VALUES "
            "('01', 'ACM', 'A1', 'Trapano a colonna', 'C:\\ORLAVO\\IMAGE\\01_ACM_A1.png'), "
            "('01', 'ACM', 'A2', 'Avvitatore', 'manca.png')");
    }

    std::unique_ptr<VisFoto> open(const char *code)
    {
        auto window = std::make_unique<VisFoto>(*context, ItemKey{"01", "ACM", code});
        window->resize(600, 500);
        window->show();
        return window;
    }

    static QPushButton *button(const VisFoto &window, const char *name)
    {
        return window.findChild<QPushButton *>(QString::fromLatin1(name));
    }

    QString stored(const char *code)
    {
        return text(QStringLiteral("SELECT FOTOGR FROM ARTICOLI WHERE ARTICOLO = '%1'").arg(code));
    }

    QString folder;
};

} // namespace

TEST_P(VisFotoTest, TheStoredPictureIsShownCopiedAndPrinted)
{
    answer();
    const auto window = open("A1");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    ASSERT_EQ(window->image().size(), QSize(200, 100));
    EXPECT_FALSE(window->picture()->pixmap().isNull());

    button(*window, "copia")->click();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(200, 100));

    const QString pdf = archives->folder() + "foto.pdf";
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(window->printOn(printer));
    const QString page = Orlavo::Testing::pdfText(pdf);
    EXPECT_TRUE(page.contains("ACM A1") && page.contains("Trapano a colonna")) << page.toStdString();
    QProcess images;
    images.start("pdfimages", {"-list", pdf});
    ASSERT_TRUE(images.waitForFinished(30000));
    // Two heading lines, then one line per picture.
    EXPECT_EQ(QString::fromUtf8(images.readAllStandardOutput()).trimmed().split('\n').size(), 3);
}

TEST_P(VisFotoTest, AMissingPictureShowsThePlaceholderAndAMissingFolderTheDefaultOne)
{
    answer();
    const auto missing = open("A2");
    EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(missing->picture()->text(), "Immagine non disponibile");
    EXPECT_FALSE(button(*missing, "stampa")->isEnabled());
    EXPECT_TRUE(button(*missing, "elimina")->isEnabled());

    // PATHIMAGE gone: said once (the store's wording), and the pictures come
    // from the default folder.
    context->state.pathImage = archives->folder() + "SPOSTATA/";
    answer();
    const auto window = open("A1");
    EXPECT_EQ(prompter.titles(), QStringList{"Errore"});
    EXPECT_EQ(window->folder(), folder);
    EXPECT_FALSE(window->image().isNull());
}

TEST_P(VisFotoTest, CambiaTakesTheChosenFileAndEliminaClearsTheNameOnly)
{
    const auto window = open("A2");
    QSignalSpy changed(window.get(), &VisFoto::photoChanged);
    QString chosen;
    window->setFileChooser([&chosen](QWidget *, const QString &) { return chosen; });
    const QString wmf = archives->folder() + "logo.wmf";
    ASSERT_TRUE(Orlavo::Testing::writeBytes(wmf, QByteArray::fromHex("d7cdc69a") + QByteArray(40, '\0')));
    QImage image(30, 60, QImage::Format_RGB32);
    image.fill(Qt::cyan);
    const QString png = archives->folder() + "avvitatore.png";
    ASSERT_TRUE(image.save(png));

    // Cancelled, then the store's refusal of a file it cannot show: nothing written.
    for (const QString &file : {QString(), wmf}) {
        answer();
        chosen = file;
        button(*window, "cambia")->click();
        EXPECT_EQ(stored("A2"), "manca.png");
    }
    EXPECT_EQ(prompter.titles(), QStringList{"Errore"});

    answer();
    chosen = png;
    button(*window, "cambia")->click();
    EXPECT_EQ(stored("A2"), "01_ACM_A2.png");
    EXPECT_EQ(window->image().size(), QSize(30, 60));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.last().first().toString(), "01_ACM_A2.png");

    // Elimina asks; only OK clears the name, and the file stays.
    answer({Prompter::Button::Cancel});
    button(*window, "elimina")->click();
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione ?"});
    EXPECT_EQ(stored("A2"), "01_ACM_A2.png");
    answer({Prompter::Button::Ok});
    button(*window, "elimina")->click();
    EXPECT_EQ(stored("A2"), "");
    EXPECT_FALSE(button(*window, "elimina")->isEnabled());
    ASSERT_EQ(changed.size(), 2);
    EXPECT_EQ(changed.last().first().toString(), "");
}

ORLAVO_FOR_EACH_ENGINE(VisFotoTest);
