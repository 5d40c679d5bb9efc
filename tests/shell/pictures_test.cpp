#include "shell/windows/pictures.h"

#include "files.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using namespace Orlavo::Shell;
using Orlavo::Testing::writeBytes;

namespace {

// Every picture the main window asks for, with its size.
const std::pair<const char *, int> kShipped[] = {
    {"clien.bmp", 24},   {"forn.bmp", 24},     {"agenda.bmp", 24}, {"ddt.bmp", 24},     {"find.bmp", 24},
    {"print.bmp", 24},   {"preview.bmp", 24},  {"cut.bmp", 24},    {"copy.bmp", 24},    {"paste.bmp", 24},
    {"help.bmp", 24},    {"esci.bmp", 24},     {"insert.bmp", 24}, {"delete.bmp", 24},  {"dett1.bmp", 24},
    {"dettNo1.bmp", 24}, {"opeartic.bmp", 24}, {"caric.bmp", 24},  {"caricve.bmp", 24}, {"calc.bmp", 24},
    {"rosso.bmp", 16},   {"verde.bmp", 16},
};

QString path(const QTemporaryDir &dir, const QString &name)
{
    return QDir(dir.path()).absoluteFilePath(name);
}

bool touch(const QTemporaryDir &dir, const QString &name)
{
    return writeBytes(path(dir, name), QByteArray("x"));
}

int opaquePixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) == 255 ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Pictures, FindsAFileWhateverTheCaseOfItsName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(touch(dir, QStringLiteral("clien.bmp")));
    ASSERT_TRUE(touch(dir, QStringLiteral("Forn.BMP")));
    ASSERT_TRUE(touch(dir, QStringLiteral("calc.bmp")));
    ASSERT_TRUE(touch(dir, QStringLiteral("CALC.BMP")));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("help.bmp")));

    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("CLIEN.BMP")), path(dir, QStringLiteral("clien.bmp")));
    EXPECT_EQ(findFileIgnoringCase(dir.path() + QLatin1Char('/'), QStringLiteral("clien.bmp")),
              path(dir, QStringLiteral("clien.bmp")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("forn.bmp")), path(dir, QStringLiteral("Forn.BMP")));
    // Two files differing only in case: the exact name wins.
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("calc.bmp")), path(dir, QStringLiteral("calc.bmp")));
    EXPECT_EQ(findFileIgnoringCase(dir.path(), QStringLiteral("CALC.BMP")), path(dir, QStringLiteral("CALC.BMP")));

    // Nothing: a missing file, a folder of that name, no name, no folder.
    EXPECT_TRUE(findFileIgnoringCase(dir.path(), QStringLiteral("agenda.bmp")).isEmpty());
    EXPECT_TRUE(findFileIgnoringCase(dir.path(), QStringLiteral("HELP.BMP")).isEmpty());
    EXPECT_TRUE(findFileIgnoringCase(dir.path(), QString()).isEmpty());
    EXPECT_TRUE(findFileIgnoringCase(path(dir, QStringLiteral("manca")), QStringLiteral("clien.bmp")).isEmpty());
}

TEST(Pictures, MissingOrUnreadablePictureGivesTheQuestionMark)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeBytes(path(dir, QStringLiteral("rotto.bmp")), QByteArray("BM non una bitmap")));
    const QImage placeholder = placeholderPicture().toImage();
    ASSERT_EQ(placeholder.size(), kToolbarPictureSize);
    EXPECT_GT(opaquePixels(placeholder), 0);

    for (const char *name : {"manca.bmp", "rotto.bmp", "ROTTO.BMP"}) {
        SCOPED_TRACE(name);
        const QPixmap picture = toolbarPixmap(dir.path(), QString::fromLatin1(name));
        ASSERT_FALSE(picture.isNull());
        EXPECT_EQ(picture.size(), kToolbarPictureSize);
        EXPECT_EQ(picture.toImage(), placeholder);
        const QIcon icon = toolbarPicture(dir.path(), QString::fromLatin1(name));
        EXPECT_FALSE(icon.isNull());
        EXPECT_FALSE(icon.pixmap(kToolbarPictureSize).isNull());
    }
    // A status light keeps its own size when missing.
    EXPECT_EQ(toolbarPixmap(dir.path(), QStringLiteral("rosso.bmp"), kStatusLightSize).size(), kStatusLightSize);
}

TEST(Pictures, TheCornerColourIsTransparentEverywhere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QColor grey(192, 192, 192);
    QImage image(24, 24, QImage::Format_RGB32);
    image.fill(grey);
    {
        QPainter painter(&image);
        painter.fillRect(QRect(4, 4, 16, 16), Qt::red);
        painter.fillRect(QRect(10, 10, 4, 4), grey); // a hole in the middle
    }
    ASSERT_TRUE(image.save(path(dir, QStringLiteral("prova.bmp")), "BMP"));

    const QImage shown = toolbarPixmap(dir.path(), QStringLiteral("Prova.bmp")).toImage();
    ASSERT_EQ(shown.size(), QSize(24, 24));
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(23, 23)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(11, 11)), 0);
    EXPECT_EQ(shown.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(opaquePixels(shown), 16 * 16 - 4 * 4);
}

TEST(Pictures, EveryShippedPictureLoads)
{
    const QString folder = QStringLiteral(ORLAVO_SHIPPED_BMP);
    const QImage placeholder = placeholderPicture().toImage();
    QList<QImage> seen;
    for (const auto &[name, size] : kShipped) {
        SCOPED_TRACE(name);
        const QString file = findFileIgnoringCase(folder, QString::fromLatin1(name));
        ASSERT_FALSE(file.isEmpty());
        const QImage image(file);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(size, size));
        const QImage shown = toolbarPixmap(folder, QString::fromLatin1(name)).toImage();
        EXPECT_NE(shown, placeholder);
        // Something drawn on a transparent background.
        EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
        EXPECT_GT(opaquePixels(shown), size * size / 8);
        // No picture is another's copy.
        for (const QImage &other : seen)
            EXPECT_NE(image, other);
        seen.append(image);
    }
}
