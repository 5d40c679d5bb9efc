#include "masterdata/windows/visfoto.h"
#include "masterdatatest.h"

#include <QClipboard>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QSignalSpy>

// The photo window's wiring; names, copies and writes are the store's
// (itemphoto_test).

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::Prompter;

namespace {

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
