#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace Orlavo::Shell {

// The size of a toolbar picture, and of a status-bar light.
inline constexpr QSize kToolbarPictureSize(24, 24);
inline constexpr QSize kStatusLightSize(16, 16);

// The path of `name` in `folder`: the exact name first, then a file whose
// name differs only in case (the pictures come from systems that ignored
// case, so "CLIEN.BMP" must find clien.bmp). Empty when there is none.
QString findFileIgnoringCase(const QString &folder, const QString &name);

// A picture of the BMP folder for a toolbar or the status bar. The colour of
// the top-left pixel is the background and becomes transparent, as toolbar
// bitmaps have always been drawn. A missing or unreadable file gives a grey
// framed "?" of `placeholderSize`, never a null picture: the button stays
// visible and usable.
QPixmap toolbarPixmap(const QString &folder, const QString &name, QSize placeholderSize = kToolbarPictureSize);
QIcon toolbarPicture(const QString &folder, const QString &name, QSize placeholderSize = kToolbarPictureSize);

// The grey framed "?" shown in place of a missing picture.
QPixmap placeholderPicture(QSize size = kToolbarPictureSize);

} // namespace Orlavo::Shell
