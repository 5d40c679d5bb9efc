#include "shell/windows/pictures.h"

#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPainter>

namespace Orlavo::Shell {

QString findFileIgnoringCase(const QString &folder, const QString &name)
{
    if (name.isEmpty() || folder.isEmpty())
        return QString();
    const QDir dir(folder);
    const QFileInfo exact(dir.filePath(name));
    if (exact.isFile())
        return exact.absoluteFilePath();
    // Sorted, so two names differing only in case always give the same file.
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return dir.absoluteFilePath(entry);
    }
    return QString();
}

QPixmap placeholderPicture(QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(1.5, 1.5, -1.5, -1.5);
    painter.setPen(QPen(QColor(110, 110, 110), 1));
    painter.setBrush(QColor(205, 205, 205));
    painter.drawRect(frame);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(qMax(6, int(frame.height() * 0.7)));
    painter.setFont(font);
    painter.setPen(QColor(70, 70, 70));
    painter.drawText(frame, Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

QPixmap toolbarPixmap(const QString &folder, const QString &name, QSize placeholderSize)
{
    const QString path = findFileIgnoringCase(folder, name);
    QImage image;
    if (path.isEmpty() || !image.load(path) || image.isNull())
        return placeholderPicture(placeholderSize);
    if (image.hasAlphaChannel())
        return QPixmap::fromImage(image);
    // The corner's colour is the background: clear it wherever it appears.
    image = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb background = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == background)
                line[x] = qRgba(0, 0, 0, 0);
        }
    }
    return QPixmap::fromImage(image);
}

QIcon toolbarPicture(const QString &folder, const QString &name, QSize placeholderSize)
{
    return QIcon(toolbarPixmap(folder, name, placeholderSize));
}

} // namespace Orlavo::Shell
