// Draws the toolbar and status-bar pictures of assets/BMP. Run by hand when
// a picture changes:  orlavo_makeicons assets/BMP
// Every picture is plain shapes on the toolbar grey, so they stay our own and
// look alike; the program takes the top-left pixel's colour as transparent.

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cstdio>
#include <functional>

namespace {

const QColor kBackground(236, 236, 236);
const QColor kInk(64, 64, 64);
const QColor kPaper(255, 255, 255);
const QColor kLine(150, 160, 175);
const QColor kBlue(47, 109, 181);
const QColor kBlueDark(28, 63, 110);
const QColor kGreen(46, 157, 58);
const QColor kGreenDark(27, 94, 32);
const QColor kRed(210, 50, 45);
const QColor kRedDark(120, 20, 18);
const QColor kCarton(217, 162, 91);
const QColor kCartonLight(232, 184, 119);
const QColor kCartonDark(138, 90, 20);

QPen pen(const QColor &colour, qreal width = 1.0)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

QFont boldFont(int pixels)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixels);
    font.setBold(true);
    return font;
}

// A sheet with the top-right corner folded and a few text lines.
void page(QPainter &p, const QRectF &r, int lines = 3)
{
    const qreal fold = 4;
    QPainterPath sheet;
    sheet.moveTo(r.topLeft());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.bottomRight());
    sheet.lineTo(r.bottomLeft());
    sheet.closeSubpath();
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(215, 215, 215));
    p.drawPath(corner);
    p.setPen(pen(kLine));
    for (int i = 0; i < lines; ++i) {
        const qreal y = r.top() + 4.5 + i * 3;
        if (y > r.bottom() - 2)
            break;
        p.drawLine(QPointF(r.left() + 2.5, y), QPointF(r.right() - (i == 0 ? fold + 1 : 2.5), y));
    }
}

// A lorry facing right, drawn on a 24-unit square.
void lorry(QPainter &p)
{
    p.setPen(pen(kCartonDark));
    p.setBrush(QColor(232, 163, 61));
    p.drawRect(QRectF(1.5, 5.5, 13, 10.5));
    QPainterPath cab;
    cab.moveTo(14.5, 8.5);
    cab.lineTo(19, 8.5);
    cab.lineTo(22.5, 12.5);
    cab.lineTo(22.5, 16);
    cab.lineTo(14.5, 16);
    cab.closeSubpath();
    p.setPen(pen(kBlueDark));
    p.setBrush(kBlue);
    p.drawPath(cab);
    QPainterPath window;
    window.moveTo(16, 10);
    window.lineTo(18.5, 10);
    window.lineTo(20.8, 12.5);
    window.lineTo(16, 12.5);
    window.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(207, 230, 255));
    p.drawPath(window);
    p.setPen(pen(QColor(40, 40, 40)));
    p.setBrush(QColor(50, 50, 50));
    for (const qreal x : {6.0, 18.0}) {
        p.drawEllipse(QPointF(x, 18), 2.6, 2.6);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(190, 190, 190));
    for (const qreal x : {6.0, 18.0})
        p.drawEllipse(QPointF(x, 18), 0.9, 0.9);
}

void magnifier(QPainter &p, const QPointF &centre, qreal radius, const QPointF &handleEnd)
{
    const QPointF direction = (handleEnd - centre) / QLineF(centre, handleEnd).length();
    p.setPen(pen(QColor(107, 74, 43), radius * 0.55));
    p.drawLine(centre + direction * radius, handleEnd);
    p.setPen(pen(kInk, 1.6));
    p.setBrush(QColor(216, 236, 255));
    p.drawEllipse(centre, radius, radius);
    p.setPen(pen(kPaper, 1.2));
    p.setBrush(Qt::NoBrush);
    const QRectF arc(centre.x() - radius * 0.6, centre.y() - radius * 0.6, radius * 1.2, radius * 1.2);
    p.drawArc(arc, 100 * 16, 70 * 16);
}

// A round badge with a white sign: plus, cross or minus.
enum class Sign { Plus, Cross, Minus };
void badge(QPainter &p, const QPointF &centre, qreal radius, const QColor &fill, const QColor &rim, Sign sign)
{
    p.setPen(pen(rim));
    p.setBrush(fill);
    p.drawEllipse(centre, radius, radius);
    p.setPen(pen(kPaper, 2));
    const qreal arm = radius * 0.5;
    switch (sign) {
    case Sign::Plus:
        p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0));
        p.drawLine(centre - QPointF(0, arm), centre + QPointF(0, arm));
        break;
    case Sign::Cross:
        p.drawLine(centre - QPointF(arm, arm), centre + QPointF(arm, arm));
        p.drawLine(centre - QPointF(arm, -arm), centre + QPointF(arm, -arm));
        break;
    case Sign::Minus: p.drawLine(centre - QPointF(arm, 0), centre + QPointF(arm, 0)); break;
    }
}

// An arrow along a straight line, head at the end.
void arrow(QPainter &p, const QPointF &from, const QPointF &to, qreal width, const QColor &fill, const QColor &rim)
{
    const QLineF axis(from, to);
    const QPointF unit = (to - from) / axis.length();
    const QPointF normal(-unit.y(), unit.x());
    const qreal head = width * 2.2;
    const QPointF neck = to - unit * head;
    QPainterPath shape;
    shape.moveTo(from + normal * width / 2);
    shape.lineTo(neck + normal * width / 2);
    shape.lineTo(neck + normal * head * 0.55);
    shape.lineTo(to);
    shape.lineTo(neck - normal * head * 0.55);
    shape.lineTo(neck - normal * width / 2);
    shape.lineTo(from - normal * width / 2);
    shape.closeSubpath();
    p.setPen(pen(rim));
    p.setBrush(fill);
    p.drawPath(shape);
}

// An open carton seen from the front; `inside` is drawn between the flaps
// and the front face, so it seems to go into the box.
void openCarton(QPainter &p, const std::function<void()> &inside = {})
{
    p.setPen(pen(kCartonDark));
    p.setBrush(kCartonLight);
    QPolygonF left({{4.5, 11.5}, {1.5, 6.5}, {8.5, 5.5}, {10.5, 9.5}});
    QPolygonF right({{19.5, 11.5}, {22.5, 6.5}, {15.5, 5.5}, {13.5, 9.5}});
    p.drawPolygon(left);
    p.drawPolygon(right);
    p.setBrush(QColor(122, 77, 18));
    p.drawRect(QRectF(4.5, 9.5, 15, 2));
    if (inside)
        inside();
    p.setPen(pen(kCartonDark));
    p.setBrush(kCarton);
    p.drawRect(QRectF(4.5, 11.5, 15, 10));
    p.setPen(pen(QColor(245, 225, 190)));
    p.drawLine(QPointF(7, 14.5), QPointF(12, 14.5));
}

void listLines(QPainter &p, const QList<qreal> &rows, qreal left, const QColor &colour, qreal width)
{
    p.setPen(pen(colour, width));
    for (const qreal y : rows)
        p.drawLine(QPointF(left, y), QPointF(21.5, y));
}

// The small tree box with + or -.
void treeBox(QPainter &p, const QPointF &topLeft, bool plus)
{
    p.setPen(pen(kInk));
    p.setBrush(kPaper);
    p.drawRect(QRectF(topLeft, QSizeF(7, 7)));
    p.setPen(pen(plus ? kGreenDark : kRed, 1.6));
    const QPointF c = topLeft + QPointF(3.5, 3.5);
    p.drawLine(c - QPointF(2, 0), c + QPointF(2, 0));
    if (plus)
        p.drawLine(c - QPointF(0, 2), c + QPointF(0, 2));
}

void light(QPainter &p, const QColor &bright, const QColor &base, const QColor &rim)
{
    QRadialGradient glow(QPointF(6.5, 6), 7);
    glow.setColorAt(0, bright);
    glow.setColorAt(1, base);
    p.setPen(pen(rim));
    p.setBrush(glow);
    p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(6.2, 5.6), 1.8, 1.2);
}

struct Picture {
    const char *file;
    int size;
    std::function<void(QPainter &)> draw;
};

QList<Picture> pictures()
{
    return {
        {"clien.bmp", 24,
         [](QPainter &p) {
             QPainterPath body;
             body.moveTo(3.5, 22.5);
             body.lineTo(3.5, 19);
             body.cubicTo(3.5, 14, 7, 13, 12, 13);
             body.cubicTo(17, 13, 20.5, 14, 20.5, 19);
             body.lineTo(20.5, 22.5);
             body.closeSubpath();
             p.setPen(pen(kBlueDark));
             p.setBrush(kBlue);
             p.drawPath(body);
             p.setPen(pen(QColor(138, 90, 43)));
             p.setBrush(QColor(241, 194, 125));
             p.drawEllipse(QPointF(12, 7.5), 4.5, 4.8);
         }},
        {"forn.bmp", 24, [](QPainter &p) { lorry(p); }},
        {"agenda.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(kInk));
             p.setBrush(kPaper);
             p.drawRect(QRectF(2.5, 4.5, 19, 17));
             p.setBrush(kRed);
             p.drawRect(QRectF(2.5, 4.5, 19, 4.5));
             p.setPen(pen(kInk, 1.2));
             p.setBrush(QColor(200, 200, 200));
             for (const qreal x : {7.5, 16.5})
                 p.drawRoundedRect(QRectF(x - 1, 2, 2, 4.5), 1, 1);
             p.setPen(Qt::NoPen);
             for (int row = 0; row < 3; ++row) {
                 for (int col = 0; col < 4; ++col) {
                     const bool today = row == 1 && col == 2;
                     p.setBrush(today ? kRed : kLine);
                     p.drawRect(QRectF(4.5 + col * 4.2, 10.8 + row * 3.5, 2.6, 2.3));
                 }
             }
         }},
        {"ddt.bmp", 24,
         [](QPainter &p) {
             page(p, QRectF(2.5, 1.5, 14, 18), 4);
             p.save();
             p.translate(9.5, 11);
             p.scale(0.6, 0.6);
             lorry(p);
             p.restore();
         }},
        {"find.bmp", 24, [](QPainter &p) { magnifier(p, QPointF(10, 10), 6.5, QPointF(21, 21)); }},
        {"print.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(kInk));
             p.setBrush(kPaper);
             p.drawRect(QRectF(6.5, 2.5, 11, 7));
             p.setBrush(QColor(154, 163, 173));
             p.setPen(pen(QColor(74, 82, 90)));
             p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
             p.setBrush(QColor(74, 82, 90));
             p.drawRect(QRectF(5.5, 14.5, 13, 1));
             p.setPen(pen(kInk));
             p.setBrush(kPaper);
             p.drawRect(QRectF(6.5, 15.5, 11, 6.5));
             p.setPen(pen(kLine));
             p.drawLine(QPointF(8.5, 18), QPointF(15.5, 18));
             p.drawLine(QPointF(8.5, 20), QPointF(13.5, 20));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(60, 200, 60));
             p.drawEllipse(QPointF(18.5, 11.5), 1.2, 1.2);
         }},
        {"preview.bmp", 24,
         [](QPainter &p) {
             page(p, QRectF(2.5, 1.5, 14, 20), 5);
             magnifier(p, QPointF(14.5, 14), 4.5, QPointF(21.5, 21.5));
         }},
        {"cut.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(QColor(90, 95, 100), 2.4));
             p.drawLine(QPointF(9, 15.5), QPointF(15.5, 2));
             p.drawLine(QPointF(15, 15.5), QPointF(8.5, 2));
             p.setPen(pen(QColor(200, 205, 210), 0.8));
             p.drawLine(QPointF(9.6, 14), QPointF(15.2, 2.6));
             p.drawLine(QPointF(14.4, 14), QPointF(8.8, 2.6));
             p.setPen(Qt::NoPen);
             p.setBrush(kInk);
             p.drawEllipse(QPointF(12, 9.3), 1, 1);
             p.setPen(pen(QColor(198, 40, 40), 2));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(7.5, 18.5), 3.3, 3.3);
             p.drawEllipse(QPointF(16.5, 18.5), 3.3, 3.3);
         }},
        {"copy.bmp", 24,
         [](QPainter &p) {
             page(p, QRectF(2.5, 1.5, 12, 15), 3);
             page(p, QRectF(9.5, 7.5, 12, 15), 3);
         }},
        {"paste.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(QColor(107, 74, 43)));
             p.setBrush(QColor(176, 122, 60));
             p.drawRoundedRect(QRectF(2.5, 3.5, 15, 19), 1.5, 1.5);
             p.setPen(pen(kInk));
             p.setBrush(QColor(200, 200, 200));
             p.drawRoundedRect(QRectF(6.5, 1.5, 7, 4), 1, 1);
             page(p, QRectF(9.5, 8.5, 12, 14), 3);
         }},
        {"help.bmp", 24,
         [](QPainter &p) {
             QRadialGradient fill(QPointF(9, 8), 12);
             fill.setColorAt(0, QColor(110, 160, 225));
             fill.setColorAt(1, kBlue);
             p.setPen(pen(kBlueDark));
             p.setBrush(fill);
             p.drawEllipse(QPointF(12, 12), 10, 10);
             p.setPen(kPaper);
             p.setFont(boldFont(16));
             p.drawText(QRectF(0, 0, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
         }},
        {"esci.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(QColor(74, 46, 18)));
             p.setBrush(QColor(60, 48, 40));
             p.drawRect(QRectF(2.5, 2.5, 12, 19));
             p.setBrush(QColor(168, 111, 53));
             p.drawPolygon(QPolygonF({{2.5, 2.5}, {8.5, 4.5}, {8.5, 23}, {2.5, 21.5}}));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(240, 192, 64));
             p.drawEllipse(QPointF(7.2, 13), 0.9, 0.9);
             arrow(p, QPointF(10, 12), QPointF(22.5, 12), 3, kGreen, kGreenDark);
         }},
        {"insert.bmp", 24,
         [](QPainter &p) {
             page(p, QRectF(2.5, 1.5, 14, 19), 4);
             badge(p, QPointF(17, 17), 5.5, kGreen, kGreenDark, Sign::Plus);
         }},
        {"delete.bmp", 24,
         [](QPainter &p) {
             page(p, QRectF(2.5, 1.5, 14, 19), 4);
             badge(p, QPointF(17, 17), 5.5, kRed, kRedDark, Sign::Cross);
         }},
        {"dett1.bmp", 24,
         [](QPainter &p) {
             treeBox(p, QPointF(1.5, 2.5), true);
             listLines(p, {6}, 10.5, kInk, 2);
             listLines(p, {11, 14.5, 18, 21.5}, 6.5, kBlue, 1.4);
         }},
        {"dettNo1.bmp", 24,
         [](QPainter &p) {
             treeBox(p, QPointF(1.5, 2.5), false);
             listLines(p, {6}, 10.5, kInk, 2);
             p.setPen(pen(kLine, 1.2));
             p.drawLine(QPointF(6.5, 11.5), QPointF(21.5, 11.5));
             p.setPen(Qt::NoPen);
             p.setBrush(kInk);
             for (const qreal x : {10.0, 14.0, 18.0})
                 p.drawEllipse(QPointF(x, 15.5), 1, 1);
         }},
        {"opeartic.bmp", 24, [](QPainter &p) { openCarton(p); }},
        {"caric.bmp", 24,
         [](QPainter &p) {
             openCarton(p, [&p] { arrow(p, QPointF(12, 0.5), QPointF(12, 14), 3.5, kGreen, kGreenDark); });
         }},
        {"caricve.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(QColor(154, 122, 16)));
             p.setBrush(QColor(245, 197, 66));
             p.drawPolygon(QPolygonF({{1.5, 12}, {8.5, 4.5}, {22.5, 4.5}, {22.5, 19.5}, {8.5, 19.5}}));
             p.setBrush(kBackground);
             p.drawEllipse(QPointF(7, 12), 1.4, 1.4);
             p.setPen(QColor(90, 60, 0));
             p.setFont(boldFont(13));
             p.drawText(QRectF(9, 4.5, 13.5, 15), Qt::AlignCenter, QString(QChar(0x20AC)));
         }},
        {"calc.bmp", 24,
         [](QPainter &p) {
             p.setPen(pen(QColor(47, 53, 60)));
             p.setBrush(QColor(91, 100, 112));
             p.drawRoundedRect(QRectF(3.5, 1.5, 17, 21), 2, 2);
             p.setBrush(QColor(200, 230, 201));
             p.drawRect(QRectF(5.5, 3.5, 13, 4.5));
             p.setPen(Qt::NoPen);
             for (int row = 0; row < 4; ++row) {
                 for (int col = 0; col < 3; ++col) {
                     const bool equals = row == 3 && col == 2;
                     p.setBrush(equals ? QColor(240, 140, 40) : QColor(225, 225, 225));
                     p.drawRect(QRectF(5.5 + col * 4.6, 10 + row * 3.1, 3.4, 2.2));
                 }
             }
         }},
        {"rosso.bmp", 16,
         [](QPainter &p) { light(p, QColor(255, 150, 140), QColor(198, 30, 30), QColor(90, 15, 15)); }},
        {"verde.bmp", 16,
         [](QPainter &p) { light(p, QColor(170, 240, 160), QColor(30, 150, 40), QColor(15, 70, 20)); }},
    };
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "uso: orlavo_makeicons CARTELLA\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists()) {
        std::fprintf(stderr, "cartella inesistente: %s\n", argv[1]);
        return 1;
    }
    int failures = 0;
    for (const Picture &picture : pictures()) {
        QImage image(picture.size, picture.size, QImage::Format_RGB32);
        image.fill(kBackground);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::TextAntialiasing);
            picture.draw(painter);
        }
        // The corner is the transparent colour: nothing may be drawn there.
        image.setPixelColor(0, 0, kBackground);
        const QString path = folder.filePath(QString::fromLatin1(picture.file));
        if (!image.save(path, "BMP")) {
            std::fprintf(stderr, "impossibile scrivere %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
