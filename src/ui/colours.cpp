#include "ui/colours.h"

namespace Orlavo::Ui {

namespace {
constexpr qlonglong kSystemColour = 2147483648LL;
constexpr qlonglong kLargestRgb = 0xFFFFFF;

// The system colours by their index, as the palette of this desktop has them.
QColor systemColour(qlonglong index, const QPalette &palette)
{
    switch (index) {
    case 1:  // desktop
    case 12: // workspace behind the windows
        return palette.color(QPalette::Dark);
    case 5: // window background
        return palette.color(QPalette::Base);
    case 6: // window frame
        return palette.color(QPalette::Shadow);
    case 8: // window text
        return palette.color(QPalette::Text);
    case 13: // selection
        return palette.color(QPalette::Highlight);
    case 14: // selected text
        return palette.color(QPalette::HighlightedText);
    case 16: // button shadow
        return palette.color(QPalette::Mid);
    case 17: // disabled text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Light);
    case 23: // tooltip text
        return palette.color(QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::ToolTipBase);
    default: // 15, the face of buttons, and any other
        return palette.color(QPalette::Button);
    }
}
} // namespace

QColor colourFromSetting(const QString &value, const QColor &fallback, const QPalette &palette)
{
    bool ok = false;
    const qlonglong number = value.trimmed().toLongLong(&ok);
    if (!ok || number < 0)
        return fallback;
    if (number >= kSystemColour)
        return systemColour(number - kSystemColour, palette);
    if (number > kLargestRgb)
        return fallback;
    return QColor(int(number & 0xFF), int((number >> 8) & 0xFF), int((number >> 16) & 0xFF));
}

QString settingFromColour(const QColor &colour)
{
    return QString::number(qlonglong(colour.red()) + 256LL * colour.green() + 65536LL * colour.blue());
}

} // namespace Orlavo::Ui
