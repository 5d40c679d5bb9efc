#include "reporting/rules/reportlayout.h"

#include <QDate>
#include <QStringList>

#include <gtest/gtest.h>

#include <tuple>

#include <cmath>

using namespace Orlavo::Reporting;

namespace {

constexpr double kA4Short = 210, kA4Long = 297;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

// A definition of the given bands, with [REPORT] settings before them.
ReportDefinition definition(const QString &bands, const QString &report = {})
{
    const auto parsed =
        parseReportDefinition(QStringLiteral("[REPORT]\n") + report + QStringLiteral("\n[DATA]\nTABLE = R\n") + bands);
    if (!parsed) {
        ADD_FAILURE() << "definition not loaded: " << parsed.failure().detail.toStdString();
        return {};
    }
    return *parsed;
}

// Rows by hand: the columns in order ("R.X|R.Y"), then one list of values per row.
ReportRows makeRows(const char *columns, const QList<QVariantList> &rows)
{
    ReportRows out;
    const QStringList names = QString::fromLatin1(columns).split(QLatin1Char('|'));
    for (int i = 0; i < names.size(); ++i)
        out.columns.insert(names[i], i);
    out.rows = rows;
    return out;
}

ReportRows numbered(int count, bool withAmount = false)
{
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(withAmount ? QVariantList{i, i * 100} : QVariantList{i});
    return makeRows("R.NUMERO|R.IMPORTO", rows);
}

// The texts of a page, or of the whole document, joined by "|".
QString texts(const ReportPage &page)
{
    QStringList out;
    for (const PageText &t : page.texts)
        out.append(t.text);
    return out.join(QLatin1Char('|'));
}

QString texts(const ReportDocument &doc)
{
    QStringList out;
    for (const ReportPage &page : doc.pages)
        out.append(texts(page));
    return out.join(QLatin1Char('|'));
}

// A register: page header with its title, the page number (from the
// caller's first page) and the total carried from the earlier pages; a line
// per row; a page footer with what this page brings the count and total to;
// the grand total after the last row. The rows are whole pages plus extra ones.
TEST(ReportLayoutTest, RegisterRowsSpreadOverPagesCarryingTheirTotals)
{
    constexpr double left = 15, top = 10, bottom = 11, header = 20, detail = 10, footer = 8;
    constexpr int firstPage = 7;
    const double detailTop = top + header, footerTop = kA4Short - bottom - footer;
    const int perPage = int(std::floor((footerTop - detailTop) / detail + 1e-9));
    const int rowCount = 2 * perPage + 3;
    const ReportDefinition def =
        definition(QString::asprintf(
                       "[PAGEHEADER]\nHEIGHT = %g\nTEXT = 0,0,100,6 | Registro IVA vendite\n"
                       "PAGENUMBER = 150,1,30,6 | Pag. | right\nSUM = 200,1,30,6 | R.IMPORTO | integer\n"
                       "[DETAIL]\nHEIGHT = %g\nFIELD = 0,0,20,8 | R.NUMERO | integer\n"
                       "FIELD = 200,0,30,8 | R.IMPORTO | integer\n[PAGEFOOTER]\nHEIGHT = %g\n"
                       "TEXT = 0,2,100,5 | A riportare\nCOUNT = 150,2,10,5 |\nSUM = 200,2,30,5 | R.IMPORTO | integer\n"
                       "[REPORTFOOTER]\nHEIGHT = 5\nSUM = 200,0,30,5 | R.IMPORTO | integer\n",
                       header, detail, footer),
                   QString::asprintf("ORIENTATION = LANDSCAPE\nMARGINS = %g, %g, 15, %g", left, top, bottom));
    const ReportDocument doc = layoutReport(def, numbered(rowCount, true), {}, firstPage);
    EXPECT_EQ(doc.pageSize, QSizeF(kA4Long, kA4Short));
    ASSERT_EQ(doc.pages.size(), 3);
    int row = 1, total = 0;
    for (int p = 0; p < doc.pages.size(); ++p) {
        SCOPED_TRACE(p);
        const ReportPage &page = doc.pages[p];
        QStringList expected = {QStringLiteral("Registro IVA vendite"), QStringLiteral("Pag. %1").arg(firstPage + p),
                                QString::number(total)};
        for (int k = 0; k < perPage && row <= rowCount; ++k, ++row) {
            // From just under the header, one under the other.
            EXPECT_EQ(page.texts.value(expected.size()).rect.topLeft(), QPointF(left, detailTop + k * detail));
            expected << QString::number(row) << QString::number(row * 100);
            total += row * 100;
        }
        if (p == 2)
            expected << QString::number(total);
        expected << QStringLiteral("A riportare") << QString::number(row - 1) << QString::number(total);
        EXPECT_EQ(texts(page), expected.join(QLatin1Char('|')));
        EXPECT_DOUBLE_EQ(page.texts.value(page.texts.size() - 3).rect.top(), footerTop + 2);
    }
}

// A band goes on the page if it fits to the last tenth of a millimetre, on
// the next one otherwise. The report header comes once, under the page
// header; a page number without a prefix is the bare number. A band taller
// than a page gets a page of its own and does not loop.
TEST(ReportLayoutTest, BandThatDoesNotFitMovesToANewPage)
{
    constexpr double margin = 10, pageHeader = 7, detail = 10, room = kA4Long - 2 * margin - pageHeader;
    const std::tuple<double, bool> cases[] = {{room - detail, true}, {room - detail + 0.1, false}, {400, false}};
    for (const auto &[reportHeader, rowOnPageOne] : cases) {
        SCOPED_TRACE(reportHeader);
        const ReportDefinition def = definition(
            QString::asprintf("[PAGEHEADER]\nHEIGHT = %g\nPAGENUMBER = 0,0,30,6 |\n[REPORTHEADER]\nHEIGHT = %g\n"
                              "TEXT = 0,0,50,5 | Intestazione\n[DETAIL]\nHEIGHT = %g\n"
                              "FIELD = 0,0,20,8 | R.NUMERO\nBOX = 0,0,190,%g\n",
                              pageHeader, reportHeader, detail, detail),
            QStringLiteral("MARGINS = 10, 10, 10, 10"));
        const ReportDocument doc = layoutReport(def, numbered(1), {}, 1);
        ASSERT_EQ(doc.pages.size(), rowOnPageOne ? 1 : 2);
        EXPECT_EQ(texts(doc), QLatin1String(rowOnPageOne ? "1|Intestazione|1" : "1|Intestazione|2|1"));
        EXPECT_DOUBLE_EQ(doc.pages[0].texts[1].rect.top(), margin + pageHeader);
        const double rowTop = margin + pageHeader + (rowOnPageOne ? reportHeader : 0);
        EXPECT_DOUBLE_EQ(doc.pages.last().texts.last().rect.top(), rowTop);
        EXPECT_EQ(doc.pages.last().boxes, QList<QRectF>{QRectF(10, rowTop, 190, detail)});
        EXPECT_EQ(doc.pages[0].boxes.isEmpty(), !rowOnPageOne);
    }
}

// Group header and footer at each change, with the group's own count and
// totals; an outer change closes the inner group too, even when the inner
// value stays the same. A short page breaks the groups across pages and the
// totals do not notice. Items keep their own fonts and alignment.
TEST(ReportLayoutTest, GroupsCloseInnerFirstWithTheirOwnTotalsOnAnyPage)
{
    const QString a = QStringLiteral("A"), b = QStringLiteral("B");
    const ReportRows rows = makeRows("R.ANNO|R.CLIENTE|R.IMPORTO",
                                     {{2023, a, 10}, {2023, a, 20.25}, {2023, b, 1000}, {2024, b, 7}, {2024, b, 1}});
    for (const double bottomMargin : {10.0, 250.0}) {
        SCOPED_TRACE(bottomMargin);
        const ReportDefinition def = definition(
            QStringLiteral("[PAGEHEADER]\nHEIGHT = 6\nPAGENUMBER = 0,0,30,5 | Pagina\n"
                           "[GROUP1]\nBY = R.ANNO\nHEIGHT = 6\nFIELD = 0,0,20,6 | R.ANNO | integer bold\n"
                           "[GROUP2]\nBY = R.CLIENTE\nHEIGHT = 6\nFIELD = 10,0,40,6 | R.CLIENTE\n"
                           "[GROUP2FOOTER]\nHEIGHT = 6\nFIELD = 10,0,40,6 | R.CLIENTE\nCOUNT = 60,0,10,6 |\n"
                           "SUM = 80,0,30,6 | R.IMPORTO\n"
                           "[GROUP1FOOTER]\nHEIGHT = 6\nFIELD = 0,0,20,6 | R.ANNO\nCOUNT = 60,0,10,6 |\n"
                           "SUM = 80,0,30,6 | R.IMPORTO\n"
                           "[DETAIL]\nHEIGHT = 5\nFIELD = 80,0,30,5 | R.IMPORTO | amount\n"
                           "[REPORTFOOTER]\nHEIGHT = 6\nCOUNT = 60,0,10,6 |\nSUM = 80,0,30,6 | R.IMPORTO | right\n"),
            QStringLiteral("MARGINS = 10, 10, 10, %1").arg(bottomMargin));
        const ReportDocument doc = layoutReport(def, rows, {}, 1);
        ASSERT_EQ(doc.pages.size() > 1, bottomMargin > 100);
        QStringList body;
        for (int p = 0; p < doc.pages.size(); ++p) {
            const ReportPage &page = doc.pages[p];
            EXPECT_EQ(page.texts.value(0).text, QStringLiteral("Pagina %1").arg(p + 1));
            for (qsizetype i = 1; i < page.texts.size(); ++i) {
                body.append(page.texts[i].text);
                // Bands follow one another down the page and stay above the margin.
                EXPECT_GE(page.texts[i].rect.top(), page.texts[i - 1].rect.top());
                EXPECT_LE(page.texts[i].rect.bottom(), kA4Long - bottomMargin + 1e-9);
            }
        }
        EXPECT_EQ(body.join(QLatin1Char('|')),
                  QStringLiteral("2023|A|10,00|20,25|A|2|30,25|B|1.000,00|B|1|1.000,00|2023|3|1.030,25|"
                                 "2024|B|7,00|1,00|B|2|8,00|2024|2|8,00|5|1.038,25"));
        EXPECT_TRUE(doc.pages[0].texts[1].font.bold);
        EXPECT_EQ(doc.pages.last().texts.last().align, kRight);
        // No rows: still one page, its header and zero totals, no group bands.
        EXPECT_EQ(texts(layoutReport(def, makeRows("R.ANNO|R.CLIENTE|R.IMPORTO", {}), {}, 4)),
                  QStringLiteral("Pagina 4|0|0,00"));
    }
}

// Each row's currency says how many decimals its amounts have: lire none,
// euro two. Totals are rounded once, at the end, with the last row's
// decimals. Rows whose group value is null (a LEFT JOIN that found nothing)
// are a group of their own, and an empty value is not drawn.
TEST(ReportLayoutTest, AmountsTakeTheDecimalsOfTheirColumn)
{
    const ReportDefinition def =
        definition(QStringLiteral("[GROUP1]\nBY = R.VALUTA\nHEIGHT = 5\nFIELD = 0,0,20,5 | R.VALUTA\n"
                                  "[GROUP1FOOTER]\nHEIGHT = 5\nSUM = 50,0,40,5 | R.IMPORTO | amount=R.DECIMALI\n"
                                  "[DETAIL]\nHEIGHT = 5\nFIELD = 50,0,40,5 | R.IMPORTO | amount=r.decimali right\n"));
    const QString lire = QStringLiteral("LIRE"), euro = QStringLiteral("EURO");
    const ReportRows rows = makeRows("R.VALUTA|R.IMPORTO|R.DECIMALI", {{lire, 1234567, 0},
                                                                       {lire, 999999.5, 0},
                                                                       {euro, 1234.5, 2},
                                                                       {euro, 0.125, 2},
                                                                       {QStringLiteral("DOLLARI"), 12.5, QVariant()},
                                                                       {QVariant(), 3, 0},
                                                                       {QVariant(), 4, 0}});
    EXPECT_EQ(texts(layoutReport(def, rows, {}, 1)),
              QStringLiteral("LIRE|1.234.567|1.000.000|2.234.567|EURO|1.234,50|0,13|1.234,63|DOLLARI|13|13|3|4|7"));
}

// Amounts as the values' formatting gives them (its own test has the cases);
// integers rounded without groups; dates from either engine; flags by their
// texts; a null empty.
TEST(ReportLayoutTest, FormatValue)
{
    using Kind = FieldFormat::Kind;
    // Kind, decimals, decimals column, flag texts.
    const FieldFormat amount{Kind::Amount, 2, {}, {}, {}}, integer{Kind::Integer, 2, {}, {}, {}},
        date{Kind::Date, 2, {}, {}, {}}, siNo{Kind::Flag, 2, {}, "SI", "NO"}, paid{Kind::Flag, 2, {}, "Pagata", {}};
    const QVariant nullDouble(QMetaType::fromType<double>());
    const std::tuple<QVariant, FieldFormat, int, const char *> cases[] = {
        // clang-format off
        {QStringLiteral("1500.4"), amount, 1, "1.500,4"}, {12.6, integer, 2, "13"}, {1234567, integer, 2, "1234567"},
        {QStringLiteral("2023-12-31 23:59:59"), date, 2, "31/12/2023"}, {QDate(2024, 2, 29), date, 2, "29/02/2024"},
        {-1, siNo, 2, "SI"}, {0, siNo, 2, "NO"}, {0, paid, 2, ""}, {nullDouble, amount, 2, ""},
        // clang-format on
    };
    for (const auto &[value, format, decimals, expected] : cases)
        EXPECT_EQ(formatValue(value, format, decimals), QString::fromUtf8(expected))
            << value.typeName() << " " << value.toString().toStdString();
}

// FORMULA items print the text the caller named; an unknown name prints
// nothing. Lines move with their band's place on the page (boxes: above).
TEST(ReportLayoutTest, FormulasAndLinesFollowTheirBand)
{
    const ReportDefinition def = definition(
        QStringLiteral(
            "[REPORTHEADER]\nHEIGHT = 10\nFORMULA = 0,0,100,5 | dicitura | center\nFORMULA = 0,5,100,5 | NOTE\n"
            "[PAGEHEADER]\nHEIGHT = 12\nLINE = 0, 11, 180, 11\n"
            "[DETAIL]\nHEIGHT = 6\nFIELD = 0,0,20,5 | R.NUMERO\nLINE = 90, 0, 90, 6\n"
            "[PAGEFOOTER]\nHEIGHT = 4\nFORMULA = 0,0,100,4 | DITTA\nLINE = 180, 0, 0, 4\n"),
        QStringLiteral("MARGINS = 20, 15, 10, 10"));
    const QHash<QString, QString> formulas = {{QStringLiteral("DICITURA"), QStringLiteral("Copia per il cliente")},
                                              {QStringLiteral("DITTA"), QStringLiteral("Ferramenta Rossi")},
                                              {QStringLiteral("ALTRO"), QStringLiteral("non usato")}};
    const ReportDocument doc = layoutReport(def, numbered(2), formulas, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    const ReportPage &page = doc.pages[0];
    EXPECT_EQ(texts(page), QStringLiteral("Copia per il cliente|1|2|Ferramenta Rossi"));
    EXPECT_EQ(page.texts[0].rect, QRectF(20, 15 + 12, 100, 5));
    const double footerTop = kA4Long - 10 - 4;
    const QList<QLineF> lines = {
        QLineF(20, 26, 200, 26),                   // page header
        QLineF(110, 37, 110, 43),                  // first row, under the report header
        QLineF(110, 43, 110, 49),                  // second row
        QLineF(200, footerTop, 20, footerTop + 4), // page footer, drawn right to left
    };
    EXPECT_EQ(page.lines, lines);
}

} // namespace
