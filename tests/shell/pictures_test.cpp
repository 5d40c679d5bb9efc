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
    const QDir folder(dir.path());
    for (const char *name : {"clien.bmp", "Forn.BMP", "calc.bmp", "CALC.BMP"})
        ASSERT_TRUE(writeBytes(folder.filePath(QString::fromLatin1(name)), "x"));
    ASSERT_TRUE(folder.mkdir(QStringLiteral("help.bmp")));

    // Two files differing only in case: the exact name wins. Nothing for a
    // missing file, a folder of that name, no name.
    const std::pair<const char *, const char *> cases[] = {
        {"CLIEN.BMP", "clien.bmp"},
        {"forn.bmp", "Forn.BMP"},
        {"calc.bmp", "calc.bmp"},
        {"CALC.BMP", "CALC.BMP"},
        {"agenda.bmp", nullptr},
        {"HELP.BMP", nullptr},
        {"", nullptr},
    };
    for (const auto &[asked, found] : cases) {
        const QString expected = found ? folder.absoluteFilePath(QString::fromLatin1(found)) : QString();
        EXPECT_EQ(findFileIgnoringCase(dir.path(), QString::fromLatin1(asked)), expected) << asked;
    }
    EXPECT_EQ(findFileIgnoringCase(dir.path() + QLatin1Char('/'), QStringLiteral("clien.bmp")),
              folder.absoluteFilePath(QStringLiteral("clien.bmp")));
    EXPECT_TRUE(findFileIgnoringCase(folder.filePath(QStringLiteral("manca")), QStringLiteral("clien.bmp")).isEmpty());
}

TEST(Pictures, MissingOrUnreadablePictureGivesTheQuestionMark)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeBytes(QDir(dir.path()).filePath(QStringLiteral("rotto.bmp")), "BM non una bitmap"));
    const QImage placeholder = placeholderPicture().toImage();
    ASSERT_EQ(placeholder.size(), kToolbarPictureSize);
    EXPECT_GT(opaquePixels(placeholder), 0);
    for (const char *name : {"manca.bmp", "rotto.bmp", "ROTTO.BMP"}) {
        EXPECT_EQ(toolbarPixmap(dir.path(), QString::fromLatin1(name)).toImage(), placeholder) << name;
        EXPECT_FALSE(toolbarPicture(dir.path(), QString::fromLatin1(name)).pixmap(kToolbarPictureSize).isNull());
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
    ASSERT_TRUE(image.save(QDir(dir.path()).filePath(QStringLiteral("prova.bmp")), "BMP"));

    const QImage shown = toolbarPixmap(dir.path(), QStringLiteral("Prova.bmp")).toImage();
    ASSERT_EQ(shown.size(), QSize(24, 24));
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
        const QImage image(findFileIgnoringCase(folder, QString::fromLatin1(name)));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(size, size));
        const QImage shown = toolbarPixmap(folder, QString::fromLatin1(name)).toImage();
        EXPECT_NE(shown, placeholder);
        // Something drawn on a transparent background.
        EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
        EXPECT_GT(opaquePixels(shown), size * size / 8);
        // No picture is another's copy.
        EXPECT_FALSE(seen.contains(image));
        seen.append(image);
    }
}
