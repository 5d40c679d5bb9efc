#include "reporting/rules/reportlayout.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>

using namespace Orlavo::Reporting;

namespace {

constexpr double kA4Short = 210;
constexpr double kA4Long = 297;
const Qt::Alignment kRight = Qt::AlignRight | Qt::AlignVCenter;

QStringList list(const char *joined)
{
    return QString::fromUtf8(joined).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

ReportDefinition definition(const QString &text)
{
    const auto parsed = parseReportDefinition(text);
    if (!parsed) {
        ADD_FAILURE() << "definition not loaded: " << parsed.failure().detail.toStdString();
        return {};
    }
    return *parsed;
}

// Rows by hand: the columns in order ("A.X|A.Y"), then one list of values per row.
ReportRows makeRows(const char *columns, const QList<QVariantList> &rows)
{
    ReportRows out;
    const QStringList names = list(columns);
    for (int i = 0; i < names.size(); ++i)
        out.columns.insert(names[i], i);
    out.rows = rows;
    return out;
}

QStringList textsOf(const ReportPage &page)
{
    QStringList out;
    for (const PageText &t : page.texts)
        out.append(t.text);
    return out;
}

QStringList textsOf(const ReportDocument &doc)
{
    QStringList out;
    for (const ReportPage &page : doc.pages)
        out += textsOf(page);
    return out;
}

const PageText *find(const ReportPage &page, const QString &text)
{
    for (const PageText &t : page.texts)
        if (t.text == text)
            return &t;
    return nullptr;
}

// --- Pages, page header and footer, numbering -------------------------------

constexpr double kLeft = 15, kTop = 10, kBottom = 11;
constexpr double kHeaderHeight = 20, kDetailHeight = 10, kFooterHeight = 8;

// A register: page header with the page number, a line per row, a page footer.
QString registerDefinition(bool landscape)
{
    return QString::asprintf("[REPORT]\nORIENTATION = %s\nMARGINS = %g, %g, 15, %g\n[DATA]\nTABLE = REG\n"
                             "[PAGEHEADER]\nHEIGHT = %g\nTEXT = 0,0,100,6 | Registro IVA vendite\n"
                             "PAGENUMBER = 150,1,30,6 | Pag. | right\n"
                             "[DETAIL]\nHEIGHT = %g\nFIELD = 0,0,20,8 | REG.NUMERO | integer\n"
                             "[PAGEFOOTER]\nHEIGHT = %g\nTEXT = 0,2,100,5 | Fine pagina\n",
                             landscape ? "LANDSCAPE" : "PORTRAIT", kLeft, kTop, kBottom, kHeaderHeight, kDetailHeight,
                             kFooterHeight);
}

ReportRows numberedRows(int count, bool withAmount = false)
{
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(withAmount ? QVariantList{i, i * 100} : QVariantList{i});
    return makeRows("REG.NUMERO|REG.IMPORTO", rows);
}

TEST(ReportLayoutTest, RowsSpreadOverPagesWithHeaderFooterAndNumbers)
{
    struct Case {
        const char *name;
        bool landscape;
        int fullPages, extra, firstPage; // the rows are whole pages plus extra ones
    };
    const Case cases[] = {
        {"no rows", false, 0, 0, 1},
        {"one row", false, 0, 1, 1},
        {"exactly one page", false, 1, 0, 1},
        {"one row over a page", false, 1, 1, 1},
        {"register carrying on from page 7", false, 2, 5, 7},
        {"landscape, carrying on", true, 2, 3, 7},
        {"landscape, exactly two pages", true, 2, 0, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QSizeF size = c.landscape ? QSizeF(kA4Long, kA4Short) : QSizeF(kA4Short, kA4Long);
        const double detailTop = kTop + kHeaderHeight, footerTop = size.height() - kBottom - kFooterHeight;
        const int perPage = int(std::floor((footerTop - detailTop) / kDetailHeight + 1e-9));
        const int rowCount = c.fullPages * perPage + c.extra;

        const ReportDocument doc =
            layoutReport(definition(registerDefinition(c.landscape)), numberedRows(rowCount), {}, c.firstPage);
        EXPECT_EQ(doc.landscape, c.landscape);
        EXPECT_EQ(doc.pageSize, size);
        ASSERT_EQ(doc.pages.size(), std::max(1, (rowCount + perPage - 1) / perPage));
        for (int p = 0; p < doc.pages.size(); ++p) {
            SCOPED_TRACE(p);
            const ReportPage &page = doc.pages[p];
            // The rows follow on from the last page, from just under the header.
            const int onPage = std::min(perPage, rowCount - p * perPage);
            QStringList expected = {QStringLiteral("Registro IVA vendite"),
                                    QStringLiteral("Pag. %1").arg(c.firstPage + p)};
            for (int k = 1; k <= onPage; ++k)
                expected.append(QString::number(p * perPage + k));
            expected.append(QStringLiteral("Fine pagina"));
            ASSERT_EQ(textsOf(page), expected);
            EXPECT_EQ(page.texts[0].rect, QRectF(kLeft, kTop, 100, 6));
            EXPECT_EQ(page.texts[1].rect, QRectF(kLeft + 150, kTop + 1, 30, 6));
            EXPECT_EQ(page.texts[1].align, kRight);
            EXPECT_DOUBLE_EQ(page.texts.last().rect.top(), footerTop + 2);
            for (int k = 0; k < onPage; ++k)
                EXPECT_EQ(page.texts[2 + k].rect.topLeft(), QPointF(kLeft, detailTop + k * kDetailHeight));
        }
    }
}

TEST(ReportLayoutTest, ReportHeaderOnlyOnTheFirstPage)
{
    const ReportDefinition def =
        definition(QStringLiteral("[REPORT]\nMARGINS = 10, 10, 10, 10\n[DATA]\nTABLE = REG\n"
                                  "[REPORTHEADER]\nHEIGHT = 30\nTEXT = 0,5,100,8 | Registro dei corrispettivi\n"
                                  "[PAGEHEADER]\nHEIGHT = 10\nPAGENUMBER = 0,0,30,6 |\n"
                                  "[DETAIL]\nHEIGHT = 10\nFIELD = 0,0,20,8 | REG.NUMERO\n"));
    const ReportDocument doc = layoutReport(def, numberedRows(60), {}, 1);
    ASSERT_GE(doc.pages.size(), 3);
    for (int p = 0; p < doc.pages.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(find(doc.pages[p], QStringLiteral("Registro dei corrispettivi")) != nullptr, p == 0);
        // A page number without a prefix is the bare number.
        EXPECT_EQ(textsOf(doc.pages[p]).value(0), QString::number(p + 1));
    }
    // Page header first, the report header under it, the first row under that.
    const ReportPage &first = doc.pages[0];
    ASSERT_GE(first.texts.size(), 3);
    EXPECT_DOUBLE_EQ(first.texts[1].rect.top(), 10 + 10 + 5);
    EXPECT_EQ(first.texts[2].text, QStringLiteral("1"));
    EXPECT_DOUBLE_EQ(first.texts[2].rect.top(), 10 + 10 + 30);
}

// A band goes on the page if it fits to the last tenth of a millimetre, on the next one otherwise.
TEST(ReportLayoutTest, BandThatDoesNotFitMovesToANewPage)
{
    constexpr double top = 10, bottom = 10, detail = 10;
    constexpr double room = kA4Long - top - bottom;
    struct Case {
        const char *name;
        double headerHeight;
        bool firstRowOnPageOne;
    };
    const Case cases[] = {
        {"plenty of room", room - 3 * detail, true},
        {"fits exactly", room - detail, true},
        {"a tenth too tall", room - detail + 0.1, false},
        {"header fills the page", room, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def =
            definition(QString::asprintf("[REPORT]\nMARGINS = 10, %g, 10, %g\n[DATA]\nTABLE = REG\n"
                                         "[REPORTHEADER]\nHEIGHT = %g\nTEXT = 0,0,50,5 | Intestazione\n"
                                         "[DETAIL]\nHEIGHT = %g\nFIELD = 0,0,20,8 | REG.NUMERO\nBOX = 0,0,190,%g\n",
                                         top, bottom, c.headerHeight, detail, detail));
        const ReportDocument doc = layoutReport(def, numberedRows(1), {}, 1);
        ASSERT_EQ(doc.pages.size(), c.firstRowOnPageOne ? 1 : 2);
        EXPECT_EQ(textsOf(doc.pages[0]).count(QStringLiteral("Intestazione")), 1);
        const ReportPage &rowPage = doc.pages.last();
        const double expectedTop = c.firstRowOnPageOne ? top + c.headerHeight : top;
        const PageText *row = find(rowPage, QStringLiteral("1"));
        ASSERT_NE(row, nullptr);
        EXPECT_DOUBLE_EQ(row->rect.top(), expectedTop);
        EXPECT_EQ(rowPage.boxes, QList<QRectF>{QRectF(10, expectedTop, 190, detail)});
        EXPECT_EQ(doc.pages[0].boxes.isEmpty(), !c.firstRowOnPageOne);
    }
}

// A band taller than the page gets a page of its own and does not loop.
TEST(ReportLayoutTest, BandTallerThanAPageTakesAPageEach)
{
    struct Case {
        int rows;
        const char *pageHeader;
    };
    const Case cases[] = {{1, ""}, {3, ""}, {3, "[PAGEHEADER]\nHEIGHT = 15\nTEXT = 0,0,10,5 | T\n"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pageHeader);
        const ReportDefinition def =
            definition(QStringLiteral("[DATA]\nTABLE = REG\n") + QLatin1String(c.pageHeader) +
                       QStringLiteral("[DETAIL]\nHEIGHT = 400\nFIELD = 0,0,20,8 | REG.NUMERO\n"));
        const ReportDocument doc = layoutReport(def, numberedRows(c.rows), {}, 1);
        ASSERT_EQ(doc.pages.size(), c.rows);
        for (int p = 0; p < c.rows; ++p) {
            SCOPED_TRACE(p);
            const PageText *row = find(doc.pages[p], QString::number(p + 1));
            ASSERT_NE(row, nullptr);
            EXPECT_DOUBLE_EQ(row->rect.top(), def.margins.top() + def.pageHeader.height);
        }
    }
}

// --- Groups and totals --------------------------------------------------------

QString invoicesByCustomer(double bottomMargin)
{
    return QStringLiteral("[REPORT]\nMARGINS = 10, 10, 10, %1\n[DATA]\nTABLE = FATT\n"
                          "[PAGEHEADER]\nHEIGHT = 6\nPAGENUMBER = 0,0,30,5 | Pagina\n"
                          "[GROUP1]\nBY = FATT.CLIENTE\nHEIGHT = 6\nFIELD = 0,0,60,6 | FATT.CLIENTE | bold\n"
                          "[GROUP1FOOTER]\nHEIGHT = 6\nTEXT = 0,0,30,6 | Totale cliente\nCOUNT = 40,0,10,6 |\n"
                          "SUM = 60,0,40,6 | FATT.IMPORTO | right\n"
                          "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | FATT.NUMERO\n"
                          "FIELD = 60,0,40,5 | FATT.IMPORTO | amount right\n"
                          "[REPORTFOOTER]\nHEIGHT = 8\nTEXT = 0,0,30,6 | Totale generale\nCOUNT = 40,0,10,6 |\n"
                          "SUM = 60,0,40,6 | FATT.IMPORTO | right\n")
        .arg(bottomMargin);
}

ReportRows invoices()
{
    const QString b = QStringLiteral("Bianchi"), r = QStringLiteral("Rossi"), v = QStringLiteral("Verdi");
    return makeRows("FATT.NUMERO|FATT.CLIENTE|FATT.IMPORTO",
                    {{1, b, 100.50}, {2, b, 200.25}, {3, r, 1000}, {4, v, 1.10}, {5, v, 2.20}, {6, v, 3.30}});
}

TEST(ReportLayoutTest, GroupHeaderAndFooterAtEachChangeWithTheirOwnTotals)
{
    const QStringList expected = list("Bianchi|1|100,50|2|200,25|Totale cliente|2|300,75|"
                                      "Rossi|3|1.000,00|Totale cliente|1|1.000,00|"
                                      "Verdi|4|1,10|5|2,20|6|3,30|Totale cliente|3|6,60|"
                                      "Totale generale|6|1.307,35");
    // A short page breaks the groups across pages; the totals must not notice.
    for (const double bottomMargin : {10.0, 250.0}) {
        SCOPED_TRACE(bottomMargin);
        const ReportDocument doc = layoutReport(definition(invoicesByCustomer(bottomMargin)), invoices(), {}, 1);
        ASSERT_EQ(doc.pages.size() > 1, bottomMargin > 100);
        QStringList body;
        for (int p = 0; p < doc.pages.size(); ++p) {
            SCOPED_TRACE(p);
            const ReportPage &page = doc.pages[p];
            EXPECT_EQ(textsOf(page).value(0), QStringLiteral("Pagina %1").arg(p + 1));
            for (qsizetype i = 1; i < page.texts.size(); ++i) {
                body.append(page.texts[i].text);
                // Bands follow one another down the page and stay above the margin.
                EXPECT_GE(page.texts[i].rect.top(), page.texts[i - 1].rect.top());
                EXPECT_LE(page.texts[i].rect.bottom(), kA4Long - bottomMargin + 1e-9);
            }
        }
        EXPECT_EQ(body, expected);
        if (doc.pages.size() != 1)
            continue;
        // On one page the bands sit one under the other, with the items' own fonts and alignment.
        const PageText *rossi = find(doc.pages[0], QStringLiteral("Rossi"));
        const PageText *total = find(doc.pages[0], QStringLiteral("1.307,35"));
        ASSERT_TRUE(rossi && total);
        EXPECT_DOUBLE_EQ(rossi->rect.top(), 10 + 6 + 6 + 5 + 5 + 6);
        EXPECT_TRUE(rossi->font.bold);
        EXPECT_EQ(total->align, kRight);
        EXPECT_FALSE(total->font.bold);
        EXPECT_EQ(total->font.family, ReportDefinition().font.family);
    }
}

// An outer change closes the inner group too, even when the inner value stays the same.
TEST(ReportLayoutTest, NestedGroupsCloseInnerFirst)
{
    const ReportDefinition def =
        definition(QStringLiteral("[DATA]\nTABLE = FATT\n"
                                  "[GROUP1]\nBY = FATT.ANNO\nHEIGHT = 6\nFIELD = 0,0,20,6 | FATT.ANNO | integer\n"
                                  "[GROUP2]\nBY = FATT.CLIENTE\nHEIGHT = 6\nFIELD = 10,0,40,6 | FATT.CLIENTE\n"
                                  "[GROUP2FOOTER]\nHEIGHT = 6\nFIELD = 10,0,40,6 | FATT.CLIENTE\nCOUNT = 60,0,10,6 |\n"
                                  "SUM = 80,0,30,6 | FATT.IMPORTO\n"
                                  "[GROUP1FOOTER]\nHEIGHT = 6\nFIELD = 0,0,20,6 | FATT.ANNO\nCOUNT = 60,0,10,6 |\n"
                                  "SUM = 80,0,30,6 | FATT.IMPORTO\n"
                                  "[DETAIL]\nHEIGHT = 5\nFIELD = 80,0,30,5 | FATT.IMPORTO | amount\n"
                                  "[REPORTFOOTER]\nHEIGHT = 6\nCOUNT = 60,0,10,6 |\nSUM = 80,0,30,6 | FATT.IMPORTO\n"));
    const QString a = QStringLiteral("A"), b = QStringLiteral("B");
    const ReportRows rows = makeRows("FATT.ANNO|FATT.CLIENTE|FATT.IMPORTO",
                                     {{2023, a, 10}, {2023, a, 20}, {2023, b, 5}, {2024, b, 7}, {2024, b, 1}});
    const ReportDocument doc = layoutReport(def, rows, {}, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(textsOf(doc), list("2023|A|10,00|20,00|A|2|30,00|B|5,00|B|1|5,00|2023|3|35,00|"
                                 "2024|B|7,00|1,00|B|2|8,00|2024|2|8,00|" // B again, but a new group
                                 "5|43,00"));
}

// Rows whose group value is NULL (a LEFT JOIN that found nothing) are a group of their own.
TEST(ReportLayoutTest, NullGroupValuesFormAGroup)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = CLI\n"
        "[GROUP1]\nBY = PROV.SIGLA\nHEIGHT = 5\nTEXT = 0,0,20,5 | Provincia\nFIELD = 20,0,10,5 | PROV.SIGLA\n"
        "[GROUP1FOOTER]\nHEIGHT = 5\nCOUNT = 0,0,10,5 |\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n"));
    for (const QVariant &null : {QVariant(), QVariant(QMetaType::fromType<QString>())}) {
        SCOPED_TRACE(null.typeName() ? null.typeName() : "untyped");
        const ReportRows rows = makeRows(
            "CLI.CODICE|PROV.SIGLA",
            {{QStringLiteral("C1"), null}, {QStringLiteral("C2"), null}, {QStringLiteral("C3"), QStringLiteral("MI")}});
        EXPECT_EQ(textsOf(layoutReport(def, rows, {}, 1)), list("Provincia|C1|C2|2|Provincia|MI|C3|1"));
    }
}

// Each row's currency says how many decimals its amounts have: lire none, euro two.
TEST(ReportLayoutTest, AmountsTakeTheDecimalsOfTheirColumn)
{
    const ReportDefinition def = definition(
        QStringLiteral("[DATA]\nTABLE = MOV\n"
                       "[GROUP1]\nBY = MOV.VALUTA\nHEIGHT = 5\nFIELD = 0,0,20,5 | MOV.VALUTA\n"
                       "[GROUP1FOOTER]\nHEIGHT = 5\nSUM = 50,0,40,5 | MOV.IMPORTO | amount=MOV.DECIMALI\n"
                       "[DETAIL]\nHEIGHT = 5\nFIELD = 50,0,40,5 | MOV.IMPORTO | amount=mov.decimali right\n"));
    const QString lire = QStringLiteral("LIRE"), euro = QStringLiteral("EURO");
    const ReportRows rows =
        makeRows("MOV.VALUTA|MOV.IMPORTO|MOV.DECIMALI", {{lire, 1234567, 0},
                                                         {lire, 999999.5, 0},
                                                         {euro, 1234.5, 2},
                                                         {euro, 0.125, 2},
                                                         {QStringLiteral("DOLLARI"), 12.5, QVariant()}});
    // Totals are rounded once, at the end.
    EXPECT_EQ(textsOf(layoutReport(def, rows, {}, 1)),
              list("LIRE|1.234.567|1.000.000|2.234.567|EURO|1.234,50|0,13|1.234,63|DOLLARI|13|13"));
}

TEST(ReportLayoutTest, FormatValue)
{
    FieldFormat text, amount, integer, date, siNo, paid;
    amount.kind = FieldFormat::Kind::Amount;
    integer.kind = FieldFormat::Kind::Integer;
    date.kind = FieldFormat::Kind::Date;
    siNo.kind = paid.kind = FieldFormat::Kind::Flag;
    siNo.whenTrue = QStringLiteral("SI");
    siNo.whenFalse = QStringLiteral("NO");
    paid.whenTrue = QStringLiteral("Pagata");
    const QVariant nullDouble(QMetaType::fromType<double>());
    struct Case {
        const char *name;
        QVariant value;
        FieldFormat format;
        int decimals;
        const char *expected;
    };
    const Case cases[] = {
        {"text", QStringLiteral("Rossi S.r.l."), text, 2, "Rossi S.r.l."},
        {"text of a number", 42, text, 2, "42"},
        {"amount", 1234567.891, amount, 2, "1.234.567,89"},
        {"amount rounding half up", 2.675, amount, 2, "2,68"},
        {"negative amount", -1234.565, amount, 2, "-1.234,57"},
        {"amount in lire", 1936.27, amount, 0, "1.936"},
        {"lire rounding up", 999.5, amount, 0, "1.000"},
        {"amount with three decimals", 0.5, amount, 3, "0,500"},
        {"amount from text", QStringLiteral("1500.4"), amount, 1, "1.500,4"},
        {"zero amount", 0, amount, 2, "0,00"},
        {"integer rounds", 12.6, integer, 2, "13"},
        {"integer without grouping", 1234567, integer, 2, "1234567"},
        {"negative integer", -3, integer, 0, "-3"},
        {"date from ISO text", QStringLiteral("2023-05-07"), date, 2, "07/05/2023"},
        {"date from ISO text with time", QStringLiteral("2023-12-31 23:59:59"), date, 2, "31/12/2023"},
        {"date from ISO text with T", QStringLiteral("2001-01-02T08:00:00"), date, 2, "02/01/2001"},
        {"date from QDate", QDate(2024, 2, 29), date, 2, "29/02/2024"},
        {"date from QDateTime", QDateTime(QDate(1999, 11, 3), QTime(10, 0)), date, 2, "03/11/1999"},
        {"text that is no date", QStringLiteral("da definire"), date, 2, "da definire"},
        {"flag -1", -1, siNo, 2, "SI"},
        {"flag 0", 0, siNo, 2, "NO"},
        {"flag 1", 1, siNo, 2, "SI"},
        {"flag as text", QStringLiteral("-1"), siNo, 2, "SI"},
        {"flag as bool", true, siNo, 2, "SI"},
        {"flag with empty false text", 0, paid, 2, ""},
        {"flag with own true text", -1, paid, 2, "Pagata"},
        {"NULL text", QVariant(), text, 2, ""},
        {"NULL amount", QVariant(), amount, 2, ""},
        {"typed NULL amount", nullDouble, amount, 2, ""},
        {"NULL integer", nullDouble, integer, 2, ""},
        {"NULL date", QVariant(QMetaType::fromType<QDate>()), date, 2, ""},
        {"NULL date as text", QVariant(QMetaType::fromType<QString>()), date, 2, ""},
        {"NULL flag", QVariant(), siNo, 2, ""},
        {"typed NULL flag", QVariant(QMetaType::fromType<int>()), siNo, 2, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatValue(c.value, c.format, c.decimals), QString::fromUtf8(c.expected));
    }
}

// A field formats its row's value as the item says; what comes out empty is not drawn.
TEST(ReportLayoutTest, DetailFormatsAndEmptyNulls)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = FATT\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | FATT.NUMERO | integer\nFIELD = 25,0,25,5 | FATT.DATA_DOC | date\n"
        "FIELD = 55,0,15,5 | FATT.PAGATA | flag=SI/NO\nFIELD = 75,0,30,5 | FATT.NOTE\n"));
    const ReportRows rows = makeRows("FATT.NUMERO|FATT.DATA_DOC|FATT.PAGATA|FATT.NOTE",
                                     {{1, QStringLiteral("2023-01-15"), -1, QStringLiteral("urgente")},
                                      {2, QDate(2023, 2, 1), 0, QVariant()},
                                      {3, QVariant(), QVariant(), QVariant(QMetaType::fromType<QString>())}});
    EXPECT_EQ(textsOf(layoutReport(def, rows, {}, 1)), list("1|15/01/2023|SI|urgente|2|01/02/2023|NO|3"));
}

// FORMULA items print the text the caller named; an unknown name prints nothing.
TEST(ReportLayoutTest, FormulaItemsPrintTheCallersText)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = REG\n"
        "[REPORTHEADER]\nHEIGHT = 10\nFORMULA = 0,0,100,5 | dicitura | center\nFORMULA = 0,5,100,5 | NOTE\n"
        "[PAGEFOOTER]\nHEIGHT = 5\nFORMULA = 0,0,100,5 | DITTA\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | REG.NUMERO\n"));
    const QHash<QString, QString> formulas = {{QStringLiteral("DICITURA"), QStringLiteral("Copia per il cliente")},
                                              {QStringLiteral("DITTA"), QStringLiteral("Ferramenta Rossi")},
                                              {QStringLiteral("ALTRO"), QStringLiteral("non usato")}};
    const ReportDocument doc = layoutReport(def, numberedRows(2), formulas, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(textsOf(doc), list("Copia per il cliente|1|2|Ferramenta Rossi"));
    const PageText *copy = find(doc.pages[0], QStringLiteral("Copia per il cliente"));
    const PageText *firm = find(doc.pages[0], QStringLiteral("Ferramenta Rossi"));
    ASSERT_TRUE(copy && firm);
    EXPECT_EQ(copy->align, Qt::AlignHCenter | Qt::AlignVCenter);
    EXPECT_EQ(copy->rect, QRectF(def.margins.left(), def.margins.top(), 100, 5));
    EXPECT_DOUBLE_EQ(firm->rect.top(), kA4Long - def.margins.bottom() - 5);
}

// No rows: still one page, with the headers, footers and zero totals, but no group bands.
TEST(ReportLayoutTest, EmptyRowSetGivesOnePageWithHeaders)
{
    struct Case {
        const char *bands, *expected;
    };
    const Case cases[] = {
        {"[REPORTHEADER]\nHEIGHT = 10\nTEXT = 0,0,50,5 | Elenco clienti\n"
         "[PAGEHEADER]\nHEIGHT = 6\nTEXT = 0,0,50,5 | Codice  Ragione sociale\n"
         "[GROUP1]\nBY = CLI.PROV\nHEIGHT = 5\nTEXT = 0,0,50,5 | Provincia\n"
         "[GROUP1FOOTER]\nHEIGHT = 5\nCOUNT = 0,0,20,5 |\n"
         "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n"
         "[REPORTFOOTER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | Totale\nCOUNT = 30,0,10,5 |\nSUM = 50,0,30,5 | CLI.FIDO\n"
         "[PAGEFOOTER]\nHEIGHT = 5\nPAGENUMBER = 0,0,30,5 | Pag.\n",
         "Codice  Ragione sociale|Elenco clienti|Totale|0|0,00|Pag. 4"},
        {"[PAGEHEADER]\nHEIGHT = 6\nTEXT = 0,0,50,5 | Intestazione\n", "Intestazione"},
        {"[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.bands);
        const ReportDefinition def = definition(QStringLiteral("[DATA]\nTABLE = CLI\n") + QLatin1String(c.bands));
        const ReportDocument doc = layoutReport(def, makeRows("CLI.CODICE|CLI.PROV|CLI.FIDO", {}), {}, 4);
        ASSERT_EQ(doc.pages.size(), 1);
        EXPECT_EQ(textsOf(doc), list(c.expected));
    }
}

// Lines and boxes move with their band's place on the page.
TEST(ReportLayoutTest, LinesAndBoxesFollowTheirBand)
{
    const ReportDefinition def =
        definition(QStringLiteral("[REPORT]\nMARGINS = 20, 15, 10, 10\n[DATA]\nTABLE = REG\n"
                                  "[PAGEHEADER]\nHEIGHT = 12\nLINE = 0, 11, 180, 11\n"
                                  "[DETAIL]\nHEIGHT = 6\nBOX = 0, 0, 180, 6\nLINE = 90, 0, 90, 6\n"
                                  "[PAGEFOOTER]\nHEIGHT = 4\nLINE = 180, 0, 0, 4\n"));
    const ReportDocument doc = layoutReport(def, numberedRows(2), {}, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    const double footerTop = kA4Long - 10 - 4;
    const QList<QLineF> lines = {
        QLineF(20, 26, 200, 26),                   // page header
        QLineF(110, 27, 110, 33),                  // first row
        QLineF(110, 33, 110, 39),                  // second row
        QLineF(200, footerTop, 20, footerTop + 4), // page footer, drawn right to left
    };
    EXPECT_EQ(doc.pages[0].lines, lines);
    EXPECT_EQ(doc.pages[0].boxes, (QList<QRectF>{QRectF(20, 27, 180, 6), QRectF(20, 33, 180, 6)}));
}

// A register carries its total from page to page: the page header shows what
// earlier pages add up to, the page footer what this page brings it to.
TEST(ReportLayoutTest, PageTotalsCarryOver)
{
    const QString bands = QStringLiteral(
        "[REPORT]\nMARGINS = 10, 10, 10, 200\n[DATA]\nTABLE = REG\n"
        "[PAGEHEADER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | Riporto\nSUM = 50,0,30,5 | REG.IMPORTO | integer\n"
        "[DETAIL]\nHEIGHT = 10\nFIELD = 0,0,20,5 | REG.NUMERO\nFIELD = 50,0,30,5 | REG.IMPORTO | integer\n"
        "[PAGEFOOTER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | A riportare\nCOUNT = 30,0,10,5 |\n"
        "SUM = 50,0,30,5 | REG.IMPORTO | integer\n");
    const QString reportTotal = QStringLiteral("[REPORTFOOTER]\nHEIGHT = 5\nSUM = 50,0,30,5 | REG.IMPORTO | integer\n");
    for (const bool withReportTotal : {false, true}) {
        SCOPED_TRACE(withReportTotal);
        const ReportDefinition def = definition(bands + (withReportTotal ? reportTotal : QString()));
        const ReportDocument doc = layoutReport(def, numberedRows(20, true), {}, 1);
        // (297 - 10 - 200 - 5 - 5) / 10: seven rows a page.
        ASSERT_EQ(doc.pages.size(), 3);
        int row = 1, total = 0;
        for (int p = 0; p < 3; ++p) {
            SCOPED_TRACE(p);
            QStringList expected = {QStringLiteral("Riporto"), QString::number(total)};
            for (int k = 0; k < 7 && row <= 20; ++k, ++row) {
                expected << QString::number(row) << QString::number(row * 100);
                total += row * 100;
            }
            if (p == 2 && withReportTotal)
                expected << QString::number(total);
            expected << QStringLiteral("A riportare") << QString::number(row - 1) << QString::number(total);
            EXPECT_EQ(textsOf(doc.pages[p]), expected);
        }
    }
}

} // namespace
