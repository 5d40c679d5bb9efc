#include "reporting/reportpainter.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace Orlavo::Reporting {

namespace {
constexpr char kFallbackFamily[] = "DejaVu Sans";
constexpr int kPdfResolution = 600;
} // namespace

QString availableFamily(const QString &family)
{
    static QHash<QString, QString> known;
    const auto it = known.constFind(family);
    if (it != known.cend())
        return *it;
    const QString chosen = QFontDatabase::hasFamily(family) ? family : QString::fromLatin1(kFallbackFamily);
    known.insert(family, chosen);
    return chosen;
}

QPageLayout reportPageLayout(const ReportDocument &document)
{
    QSizeF portrait = document.landscape ? document.pageSize.transposed() : document.pageSize;
    if (portrait.isEmpty())
        portrait = QSizeF(210, 297);
    // A size matching a standard one (A4, DL) is named as such.
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       document.landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

void paintReportPage(QPainter &painter, const ReportDocument &document, int page)
{
    if (page < 0 || page >= document.pages.size())
        return;
    const double dpi = painter.device()->logicalDpiX();
    const double perMm = dpi / 25.4;
    const auto px = [perMm](const QRectF &mm) {
        return QRectF(mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm);
    };
    const ReportPage &p = document.pages.at(page);
    QPen pen(Qt::black);
    pen.setWidthF(0.2 * perMm);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    for (const QLineF &line : p.lines)
        painter.drawLine(QLineF(line.p1() * perMm, line.p2() * perMm));
    for (const QRectF &box : p.boxes)
        painter.drawRect(px(box));

    // Texts mostly repeat the previous one's font: set a font only when it changes.
    std::optional<ReportFont> current;
    for (const PageText &t : p.texts) {
        if (!current || current->family != t.font.family || current->size != t.font.size ||
            current->bold != t.font.bold || current->italic != t.font.italic) {
            QFont font(availableFamily(t.font.family));
            font.setPointSizeF(t.font.size);
            font.setBold(t.font.bold);
            font.setItalic(t.font.italic);
            painter.setFont(font);
            current = t.font;
        }
        painter.drawText(px(t.rect), int(t.align) | Qt::TextSingleLine, t.text);
    }
}

QImage renderReportPage(const ReportDocument &document, int page, double dpi)
{
    const double perMm = dpi / 25.4;
    QImage image(qMax(1, qRound(document.pageSize.width() * perMm)),
                 qMax(1, qRound(document.pageSize.height() * perMm)), QImage::Format_RGB32);
    // The image's resolution makes point sizes come out at this scale.
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paintReportPage(painter, document, page);
    return image;
}

Services::Outcome<void> writeReportPdf(const ReportDocument &document, const QString &path)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfResolution);
        writer.setTitle(document.title);
        writer.setCreator(QStringLiteral("Orlavo"));
        writer.setPageLayout(reportPageLayout(document));
        QPainter painter;
        if (!painter.begin(&writer))
            return Services::Failure{QStringLiteral("Impossibile stampare: "), QStringLiteral("PDF non avviato")};
        for (int page = 0; page < document.pages.size(); ++page) {
            if (page > 0)
                writer.newPage();
            paintReportPage(painter, document, page);
        }
        painter.end();
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Services::Failure{QStringLiteral("Impossibile stampare: "), file.errorString()};
    if (file.write(buffer.data()) != buffer.size() || !file.commit())
        return Services::Failure{QStringLiteral("Disco pieno"), file.errorString()};
    return {};
}

} // namespace Orlavo::Reporting
