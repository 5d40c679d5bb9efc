#include "ui/fieldlook.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The colour drawn a little inside the widget's left edge, clear of text.
QColor face(QWidget &widget)
{
    widget.resize(160, 28);
    const QImage image = widget.grab().toImage();
    return image.pixelColor(6, image.height() / 2);
}

bool looksRed(const QColor &colour)
{
    return colour.red() > 200 && colour.red() - colour.green() > 100 && colour.red() - colour.blue() > 100;
}

TEST(FieldMark, EveryKindOfFieldTurnsRedAndBack)
{
    QLineEdit line;
    QComboBox combo;
    combo.addItems({QStringLiteral("    "), QStringLiteral("    ")});
    QPushButton button(QStringLiteral("    "));
    for (QWidget *field : std::initializer_list<QWidget *>{&line, &combo, &button}) {
        SCOPED_TRACE(field->metaObject()->className());
        const QColor before = face(*field);
        ASSERT_FALSE(looksRed(before));
        Orlavo::Ui::markFieldError(field, true);
        EXPECT_TRUE(looksRed(face(*field))) << face(*field).name().toStdString();
        Orlavo::Ui::markFieldError(field, false);
        EXPECT_EQ(face(*field), before);
    }
}

} // namespace
