#include "fixtures.h"
#include "masterdata/stores/itemphoto.h"
#include "masterdatatest.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

using namespace Orlavo;
using namespace Orlavo::Masterdata;
using Orlavo::Services::WriteEnd;

namespace {

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
