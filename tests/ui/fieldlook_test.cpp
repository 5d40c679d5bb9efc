#include "services/core/settings.h"
#include "ui/colours.h"
#include "ui/fieldlook.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

using namespace Orlavo::Ui;

TEST(Colours, SettingsNumbersAreRedInTheLowByteAndSystemColoursFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(10, 20, 30));
    const QColor fallback(1, 1, 1);
    EXPECT_EQ(colourFromSetting(QStringLiteral("12582912"), fallback, palette), QColor(0, 0, 192));
    EXPECT_EQ(colourFromSetting(QStringLiteral(" 65280 "), fallback, palette), QColor(0, 255, 0));
    EXPECT_EQ(colourFromSetting(QStringLiteral("2147483663"), fallback, palette), QColor(10, 20, 30));
    for (const char *bad : {"blu", "-1", "16777216"})
        EXPECT_EQ(colourFromSetting(QString::fromLatin1(bad), fallback, palette), fallback) << bad;

    const QColor odd(1, 2, 3);
    EXPECT_EQ(settingFromColour(odd), QStringLiteral("197121"));
    EXPECT_EQ(colourFromSetting(settingFromColour(odd), fallback), odd);
}

TEST(FieldLook, FieldsTakeTheirColoursByNameAndMissingKeysAreWrittenBack)
{
    QTemporaryDir dir;
    Orlavo::Services::Settings settings(dir.filePath(QStringLiteral("CONT.INI")));
    settings.write(QStringLiteral("MENU"), QStringLiteral("COLOREEDITB"), QStringLiteral("65535"));
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(200, 200, 200));
    const FieldColours colours = readFieldColours(settings, palette);
    EXPECT_EQ(settings.read(QStringLiteral("MENU"), QStringLiteral("COLOREEDITB")), QStringLiteral("65535"));
    EXPECT_EQ(settings.read(QStringLiteral("MENU"), QStringLiteral("COLOREPROB")), QStringLiteral("2147483663"));
    EXPECT_EQ(colours.editBackground, QColor(255, 255, 0));
    EXPECT_EQ(colours.protectedBackground, QColor(200, 200, 200));

    QWidget window;
    auto *shown = new QLineEdit(&window);
    shown->setObjectName(QStringLiteral("d_totale"));
    auto *typed = new QLineEdit(&window);
    typed->setObjectName(QStringLiteral("T_codice"));
    auto *plain = new QLineEdit(&window);
    plain->setObjectName(QStringLiteral("codice"));
    const QColor plainBase = plain->palette().color(QPalette::Base);
    applyFieldColours(&window, colours);
    EXPECT_EQ(shown->palette().color(QPalette::Base), QColor(200, 200, 200));
    EXPECT_EQ(typed->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(plain->palette().color(QPalette::Base), plainBase);

    // A failing field is red until it passes; the colours do not hide the mark.
    markFieldError(typed, true);
    applyFieldColours(&window, colours);
    EXPECT_TRUE(hasFieldError(typed));
    EXPECT_EQ(typed->palette().color(QPalette::Base), QColor(255, 0, 0));
    markFieldError(plain, true);
    clearFieldErrors(&window);
    EXPECT_FALSE(hasFieldError(typed));
    EXPECT_EQ(typed->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_EQ(plain->palette().color(QPalette::Base), plainBase);
}

// Painted, not only marked: a list box draws its face in the button
// colours. The colour is read a little inside the left edge.
TEST(FieldLook, AListBoxTurnsRedAndBack)
{
    const auto face = [](QWidget &widget) {
        widget.resize(160, 28);
        const QImage image = widget.grab().toImage();
        return image.pixelColor(6, image.height() / 2);
    };
    const auto looksRed = [](const QColor &c) {
        return c.red() > 200 && c.red() - c.green() > 100 && c.red() - c.blue() > 100;
    };
    QComboBox combo;
    combo.addItems({QStringLiteral("    "), QStringLiteral("    ")});
    const QColor before = face(combo);
    ASSERT_FALSE(looksRed(before));
    markFieldError(&combo, true);
    EXPECT_TRUE(looksRed(face(combo))) << face(combo).name().toStdString();
    markFieldError(&combo, false);
    EXPECT_EQ(face(combo), before);
}
