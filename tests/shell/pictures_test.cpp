#include "shell/windows/pictures.h"

#include "files.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>

using namespace Orlavo::Shell;
using Orlavo::Testing::writeBytes;

namespace {

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
    for (const char *name : {"clien.bmp", "calc.bmp", "CALC.BMP"})
        ASSERT_TRUE(writeBytes(folder.filePath(QString::fromLatin1(name)), "x"));
    ASSERT_TRUE(folder.mkdir(QStringLiteral("help.bmp")));

    // Two files differing only in case: the exact name wins. Nothing for a
    // missing file, a folder of that name, no name.
    const std::pair<const char *, const char *> cases[] = {
        {"CLIEN.BMP", "clien.bmp"}, {"calc.bmp", "calc.bmp"}, {"CALC.BMP", "CALC.BMP"},
        {"agenda.bmp", nullptr},    {"HELP.BMP", nullptr},
    };
    for (const auto &[asked, found] : cases) {
        const QString expected = found ? folder.absoluteFilePath(QString::fromLatin1(found)) : QString();
        EXPECT_EQ(findFileIgnoringCase(dir.path(), QString::fromLatin1(asked)), expected) << asked;
    }
}

TEST(Pictures, MissingOrUnreadablePictureGivesTheQuestionMark)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(writeBytes(QDir(dir.path()).filePath(QStringLiteral("rotto.bmp")), "BM non una bitmap"));
    const QImage placeholder = placeholderPicture().toImage();
    ASSERT_EQ(placeholder.size(), kToolbarPictureSize);
    EXPECT_GT(opaquePixels(placeholder), 0);
    for (const char *name : {"manca.bmp", "ROTTO.BMP"})
        EXPECT_EQ(toolbarPixmap(dir.path(), QString::fromLatin1(name)).toImage(), placeholder) << name;
}
