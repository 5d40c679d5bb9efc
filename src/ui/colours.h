#pragma once

#include <QColor>
#include <QPalette>
#include <QString>

namespace Orlavo::Ui {

// Colours in CONT.INI are numbers R + 256·G + 65536·B (12582912 is dark
// blue 0,0,192); from 2147483648 up they name a system colour by its index
// (2147483663: the face of buttons), taken from the palette.
inline constexpr char kDefaultBackground[] = "12582912";

// The colour of a setting; text that is not such a number gives fallback.
QColor colourFromSetting(const QString &value, const QColor &fallback, const QPalette &palette = QPalette());
// The setting of a colour, the same way round.
QString settingFromColour(const QColor &colour);

} // namespace Orlavo::Ui
