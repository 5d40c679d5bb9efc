#include "reports/reportlayout.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <gtest/gtest.h>

#include <cmath>

using namespace Orlavo::Shell;

namespace {

constexpr double kA4Short = 210;
constexpr double kA4Long = 297;

ReportDefinition definition(const QString &text)
{
    const auto parsed = parseReportDefinition(text);
    if (!parsed) {
        ADD_FAILURE() << "definition not loaded: " << parsed.failure().detail.toStdString();
        return {};
    }
    return *parsed;
}

// Rows by hand: the columns in order, then one list of values per row.
ReportRows makeRows(const QStringList &columns, const QList<QVariantList> &rows)
{
    ReportRows out;
    for (int i = 0; i < columns.size(); ++i)
        out.columns.insert(columns[i], i);
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

QList<const PageText *> find(const ReportPage &page, const QString &text)
{
    QList<const PageText *> out;
    for (const PageText &t : page.texts)
        if (t.text == text)
            out.append(&t);
    return out;
}

std::string show(const QStringList &texts)
{
    return texts.join(QStringLiteral(" | ")).toStdString();
}

// --- Pages, page header and footer, numbering -------------------------------

// A register of numbered rows: page header with the page number, a detail
// line per row, a page footer.
constexpr double kLeft = 15, kTop = 10, kBottom = 11;
constexpr double kHeaderHeight = 20, kDetailHeight = 10, kFooterHeight = 8;

QString registerDefinition(bool landscape)
{
    return QStringLiteral("[REPORT]\nORIENTATION = %1\nMARGINS = %2, %3, 15, %4\n"
                          "[DATA]\nTABLE = REG\n"
                          "[PAGEHEADER]\nHEIGHT = %5\nTEXT = 0,0,100,6 | Registro IVA vendite\n"
                          "PAGENUMBER = 150,1,30,6 | Pag. | right\n"
                          "[DETAIL]\nHEIGHT = %6\nFIELD = 0,0,20,8 | REG.NUMERO | integer\n"
                          "[PAGEFOOTER]\nHEIGHT = %7\nTEXT = 0,2,100,5 | Fine pagina\n")
        .arg(landscape ? QStringLiteral("LANDSCAPE") : QStringLiteral("PORTRAIT"))
        .arg(kLeft)
        .arg(kTop)
        .arg(kBottom)
        .arg(kHeaderHeight)
        .arg(kDetailHeight)
        .arg(kFooterHeight);
}

ReportRows numberedRows(int count)
{
    QList<QVariantList> rows;
    for (int i = 1; i <= count; ++i)
        rows.append(QVariantList{i});
    return makeRows({QStringLiteral("REG.NUMERO")}, rows);
}

TEST(ReportLayoutTest, RowsSpreadOverPagesWithHeaderFooterAndNumbers)
{
    struct Case {
        const char *name;
        bool landscape;
        int fullPages; // the rows are whole pages plus extra ones
        int extra;
        int firstPage;
    };
    const QList<Case> cases = {
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
        const double pageWidth = c.landscape ? kA4Long : kA4Short;
        const double pageHeight = c.landscape ? kA4Short : kA4Long;
        const double detailTop = kTop + kHeaderHeight;
        const double footerTop = pageHeight - kBottom - kFooterHeight;
        const int perPage = int(std::floor((footerTop - detailTop) / kDetailHeight + 1e-9));
        const int rowCount = c.fullPages * perPage + c.extra;
        const int expectedPages = std::max(1, (rowCount + perPage - 1) / perPage);

        const ReportDocument doc =
            layoutReport(definition(registerDefinition(c.landscape)), numberedRows(rowCount), {}, c.firstPage);
        EXPECT_EQ(doc.landscape, c.landscape);
        EXPECT_DOUBLE_EQ(doc.pageSize.width(), pageWidth);
        EXPECT_DOUBLE_EQ(doc.pageSize.height(), pageHeight);
        ASSERT_EQ(doc.pages.size(), expectedPages);

        int next = 1;
        for (int p = 0; p < doc.pages.size(); ++p) {
            SCOPED_TRACE(p);
            const ReportPage &page = doc.pages[p];
            const auto header = find(page, QStringLiteral("Registro IVA vendite"));
            ASSERT_EQ(header.size(), 1) << show(textsOf(page));
            EXPECT_EQ(header[0]->rect, QRectF(kLeft, kTop, 100, 6));
            const auto number = find(page, QStringLiteral("Pag. %1").arg(c.firstPage + p));
            ASSERT_EQ(number.size(), 1) << show(textsOf(page));
            EXPECT_EQ(number[0]->rect, QRectF(kLeft + 150, kTop + 1, 30, 6));
            EXPECT_EQ(number[0]->align, Qt::AlignRight | Qt::AlignVCenter);
            const auto footer = find(page, QStringLiteral("Fine pagina"));
            ASSERT_EQ(footer.size(), 1) << show(textsOf(page));
            EXPECT_DOUBLE_EQ(footer[0]->rect.top(), footerTop + 2);

            // The rows on this page follow on from the last page, from just under the header.
            const int onPage = std::min(perPage, rowCount - (next - 1));
            QStringList expected = {QStringLiteral("Registro IVA vendite"),
                                    QStringLiteral("Pag. %1").arg(c.firstPage + p)};
            for (int k = 0; k < onPage; ++k)
                expected.append(QString::number(next + k));
            expected.append(QStringLiteral("Fine pagina"));
            EXPECT_EQ(textsOf(page), expected) << show(textsOf(page));
            for (int k = 0; k < onPage && 2 + k < page.texts.size(); ++k) {
                const QRectF r = page.texts[2 + k].rect;
                EXPECT_DOUBLE_EQ(r.top(), detailTop + k * kDetailHeight);
                EXPECT_DOUBLE_EQ(r.left(), kLeft);
                EXPECT_LE(r.top() + kDetailHeight, footerTop + 1e-9);
            }
            next += onPage;
        }
        EXPECT_EQ(next, rowCount + 1);
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
        const auto title = find(doc.pages[p], QStringLiteral("Registro dei corrispettivi"));
        EXPECT_EQ(title.size(), p == 0 ? 1 : 0);
        // A page number without a prefix is the bare number.
        ASSERT_FALSE(doc.pages[p].texts.isEmpty());
        EXPECT_EQ(doc.pages[p].texts[0].text, QString::number(p + 1));
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
    const QList<Case> cases = {
        {"plenty of room", room - 3 * detail, true},
        {"fits exactly", room - detail, true},
        {"a tenth too tall", room - detail + 0.1, false},
        {"header fills the page", room, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def =
            definition(QStringLiteral("[REPORT]\nMARGINS = 10, %1, 10, %2\n[DATA]\nTABLE = REG\n"
                                      "[REPORTHEADER]\nHEIGHT = %3\nTEXT = 0,0,50,5 | Intestazione\n"
                                      "[DETAIL]\nHEIGHT = %4\nFIELD = 0,0,20,8 | REG.NUMERO\nBOX = 0,0,190,%4\n")
                           .arg(top)
                           .arg(bottom)
                           .arg(c.headerHeight)
                           .arg(detail));
        const ReportDocument doc = layoutReport(def, numberedRows(1), {}, 1);
        ASSERT_EQ(doc.pages.size(), c.firstRowOnPageOne ? 1 : 2);
        const ReportPage &rowPage = doc.pages.last();
        const auto row = find(rowPage, QStringLiteral("1"));
        ASSERT_EQ(row.size(), 1) << show(textsOf(rowPage));
        const double expectedTop = c.firstRowOnPageOne ? top + c.headerHeight : top;
        EXPECT_DOUBLE_EQ(row[0]->rect.top(), expectedTop);
        ASSERT_EQ(rowPage.boxes.size(), 1);
        EXPECT_EQ(rowPage.boxes[0], QRectF(10, expectedTop, 190, detail));
        EXPECT_EQ(find(doc.pages[0], QStringLiteral("Intestazione")).size(), 1);
        if (!c.firstRowOnPageOne) {
            EXPECT_TRUE(doc.pages[0].boxes.isEmpty());
        }
    }
}

// A band taller than the page gets a page of its own and does not loop.
TEST(ReportLayoutTest, BandTallerThanAPageTakesAPageEach)
{
    struct Case {
        const char *name;
        int rows;
        QString pageHeader;
    };
    const QList<Case> cases = {
        {"one row", 1, QString()},
        {"three rows", 3, QString()},
        {"three rows under a page header", 3, QStringLiteral("[PAGEHEADER]\nHEIGHT = 15\nTEXT = 0,0,10,5 | T\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def =
            definition(QStringLiteral("[DATA]\nTABLE = REG\n") + c.pageHeader +
                       QStringLiteral("[DETAIL]\nHEIGHT = 400\nFIELD = 0,0,20,8 | REG.NUMERO\n"));
        const ReportDocument doc = layoutReport(def, numberedRows(c.rows), {}, 1);
        ASSERT_EQ(doc.pages.size(), c.rows);
        for (int p = 0; p < c.rows; ++p) {
            SCOPED_TRACE(p);
            const auto row = find(doc.pages[p], QString::number(p + 1));
            ASSERT_EQ(row.size(), 1) << show(textsOf(doc.pages[p]));
            EXPECT_DOUBLE_EQ(row[0]->rect.top(), def.margins.top() + def.pageHeader.height);
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
    const QStringList columns = {QStringLiteral("FATT.NUMERO"), QStringLiteral("FATT.CLIENTE"),
                                 QStringLiteral("FATT.IMPORTO")};
    return makeRows(columns, {
                                 {1, QStringLiteral("Bianchi"), 100.50},
                                 {2, QStringLiteral("Bianchi"), 200.25},
                                 {3, QStringLiteral("Rossi"), 1000},
                                 {4, QStringLiteral("Verdi"), 1.10},
                                 {5, QStringLiteral("Verdi"), 2.20},
                                 {6, QStringLiteral("Verdi"), 3.30},
                             });
}

TEST(ReportLayoutTest, GroupHeaderAndFooterAtEachChangeWithTheirOwnTotals)
{
    const QStringList expected = {
        QStringLiteral("Bianchi"),
        QStringLiteral("1"),
        QStringLiteral("100,50"),
        QStringLiteral("2"),
        QStringLiteral("200,25"),
        QStringLiteral("Totale cliente"),
        QStringLiteral("2"),
        QStringLiteral("300,75"),
        QStringLiteral("Rossi"),
        QStringLiteral("3"),
        QStringLiteral("1.000,00"),
        QStringLiteral("Totale cliente"),
        QStringLiteral("1"),
        QStringLiteral("1.000,00"),
        QStringLiteral("Verdi"),
        QStringLiteral("4"),
        QStringLiteral("1,10"),
        QStringLiteral("5"),
        QStringLiteral("2,20"),
        QStringLiteral("6"),
        QStringLiteral("3,30"),
        QStringLiteral("Totale cliente"),
        QStringLiteral("3"),
        QStringLiteral("6,60"),
        QStringLiteral("Totale generale"),
        QStringLiteral("6"),
        QStringLiteral("1.307,35"),
    };
    struct Case {
        const char *name;
        double bottomMargin;
        bool severalPages;
    };
    // A short page breaks the groups across pages; the totals must not notice.
    const QList<Case> cases = {{"one page", 10, false}, {"short pages", 250, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def = definition(invoicesByCustomer(c.bottomMargin));
        const ReportDocument doc = layoutReport(def, invoices(), {}, 1);
        ASSERT_FALSE(doc.pages.isEmpty());
        EXPECT_EQ(doc.pages.size() > 1, c.severalPages);
        QStringList body;
        for (int p = 0; p < doc.pages.size(); ++p) {
            SCOPED_TRACE(p);
            const ReportPage &page = doc.pages[p];
            ASSERT_FALSE(page.texts.isEmpty());
            EXPECT_EQ(page.texts[0].text, QStringLiteral("Pagina %1").arg(p + 1));
            for (qsizetype i = 1; i < page.texts.size(); ++i) {
                body.append(page.texts[i].text);
                // Bands follow one another down the page and stay above the margin.
                EXPECT_GE(page.texts[i].rect.top(), page.texts[i - 1].rect.top());
                EXPECT_LE(page.texts[i].rect.bottom(), kA4Long - c.bottomMargin + 1e-9);
            }
        }
        EXPECT_EQ(body, expected) << show(body);
    }

    // On one page the bands sit one under the other.
    const ReportDocument doc = layoutReport(definition(invoicesByCustomer(10)), invoices(), {}, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    const auto rossi = find(doc.pages[0], QStringLiteral("Rossi"));
    ASSERT_EQ(rossi.size(), 1);
    EXPECT_DOUBLE_EQ(rossi[0]->rect.top(), 10 + 6 + 6 + 5 + 5 + 6);
    EXPECT_TRUE(rossi[0]->font.bold);
    const auto total = find(doc.pages[0], QStringLiteral("1.307,35"));
    ASSERT_EQ(total.size(), 1);
    EXPECT_EQ(total[0]->align, Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_FALSE(total[0]->font.bold);
    EXPECT_EQ(total[0]->font.family, ReportDefinition().font.family);
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
    const ReportRows rows =
        makeRows({QStringLiteral("FATT.ANNO"), QStringLiteral("FATT.CLIENTE"), QStringLiteral("FATT.IMPORTO")},
                 {
                     {2023, QStringLiteral("A"), 10},
                     {2023, QStringLiteral("A"), 20},
                     {2023, QStringLiteral("B"), 5},
                     {2024, QStringLiteral("B"), 7},
                     {2024, QStringLiteral("B"), 1},
                 });
    const QStringList expected = {
        // 2023
        QStringLiteral("2023"),
        QStringLiteral("A"),
        QStringLiteral("10,00"),
        QStringLiteral("20,00"),
        QStringLiteral("A"),
        QStringLiteral("2"),
        QStringLiteral("30,00"), //
        QStringLiteral("B"),
        QStringLiteral("5,00"),
        QStringLiteral("B"),
        QStringLiteral("1"),
        QStringLiteral("5,00"),
        QStringLiteral("2023"),
        QStringLiteral("3"),
        QStringLiteral("35,00"),
        // 2024: B again, but a new group
        QStringLiteral("2024"),
        QStringLiteral("B"),
        QStringLiteral("7,00"),
        QStringLiteral("1,00"),
        QStringLiteral("B"),
        QStringLiteral("2"),
        QStringLiteral("8,00"), //
        QStringLiteral("2024"),
        QStringLiteral("2"),
        QStringLiteral("8,00"),
        // whole report
        QStringLiteral("5"),
        QStringLiteral("43,00"),
    };
    const ReportDocument doc = layoutReport(def, rows, {}, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    EXPECT_EQ(textsOf(doc), expected) << show(textsOf(doc));
}

// Rows whose group value is NULL (a LEFT JOIN that found nothing) are a group of their own.
TEST(ReportLayoutTest, NullGroupValuesFormAGroup)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = CLI\n"
        "[GROUP1]\nBY = PROV.SIGLA\nHEIGHT = 5\nTEXT = 0,0,20,5 | Provincia\nFIELD = 20,0,10,5 | PROV.SIGLA\n"
        "[GROUP1FOOTER]\nHEIGHT = 5\nCOUNT = 0,0,10,5 |\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n"));
    struct Case {
        const char *name;
        QVariant null;
    };
    const QList<Case> cases = {
        {"untyped NULL", QVariant()},
        {"NULL text from the database", QVariant(QMetaType::fromType<QString>())},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportRows rows = makeRows({QStringLiteral("CLI.CODICE"), QStringLiteral("PROV.SIGLA")},
                                         {
                                             {QStringLiteral("C1"), c.null},
                                             {QStringLiteral("C2"), c.null},
                                             {QStringLiteral("C3"), QStringLiteral("MI")},
                                         });
        const QStringList expected = {
            QStringLiteral("Provincia"), QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("2"),
            QStringLiteral("Provincia"), QStringLiteral("MI"), QStringLiteral("C3"), QStringLiteral("1"),
        };
        const ReportDocument doc = layoutReport(def, rows, {}, 1);
        EXPECT_EQ(textsOf(doc), expected) << show(textsOf(doc));
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
    const ReportRows rows =
        makeRows({QStringLiteral("MOV.VALUTA"), QStringLiteral("MOV.IMPORTO"), QStringLiteral("MOV.DECIMALI")},
                 {
                     {QStringLiteral("LIRE"), 1234567, 0},
                     {QStringLiteral("LIRE"), 999999.5, 0},
                     {QStringLiteral("EURO"), 1234.5, 2},
                     {QStringLiteral("EURO"), 0.125, 2},
                     {QStringLiteral("DOLLARI"), 12.5, QVariant()},
                 });
    const QStringList expected = {
        QStringLiteral("LIRE"),      QStringLiteral("1.234.567"), QStringLiteral("1.000.000"),
        QStringLiteral("2.234.567"), // 1234567 + 999999.5 rounded once, at the end
        QStringLiteral("EURO"),      QStringLiteral("1.234,50"),  QStringLiteral("0,13"),
        QStringLiteral("1.234,63"), //
        QStringLiteral("DOLLARI"),   QStringLiteral("13"),        QStringLiteral("13"),
    };
    const ReportDocument doc = layoutReport(def, rows, {}, 1);
    EXPECT_EQ(textsOf(doc), expected) << show(textsOf(doc));
}

TEST(ReportLayoutTest, FormatValue)
{
    FieldFormat text;
    FieldFormat amount;
    amount.kind = FieldFormat::Kind::Amount;
    FieldFormat integer;
    integer.kind = FieldFormat::Kind::Integer;
    FieldFormat date;
    date.kind = FieldFormat::Kind::Date;
    FieldFormat siNo;
    siNo.kind = FieldFormat::Kind::Flag;
    siNo.whenTrue = QStringLiteral("SI");
    siNo.whenFalse = QStringLiteral("NO");
    FieldFormat paid = siNo;
    paid.whenTrue = QStringLiteral("Pagata");
    paid.whenFalse = QString();

    const QVariant nullDouble(QMetaType::fromType<double>());
    const QVariant nullDate(QMetaType::fromType<QDate>());
    const QVariant nullText(QMetaType::fromType<QString>());
    struct Case {
        const char *name;
        QVariant value;
        FieldFormat format;
        int decimals;
        QString expected;
    };
    const QList<Case> cases = {
        {"text", QStringLiteral("Rossi S.r.l."), text, 2, QStringLiteral("Rossi S.r.l.")},
        {"text of a number", 42, text, 2, QStringLiteral("42")},
        {"amount", 1234567.891, amount, 2, QStringLiteral("1.234.567,89")},
        {"amount rounding half up", 2.675, amount, 2, QStringLiteral("2,68")},
        {"negative amount", -1234.565, amount, 2, QStringLiteral("-1.234,57")},
        {"amount in lire", 1936.27, amount, 0, QStringLiteral("1.936")},
        {"lire rounding up", 999.5, amount, 0, QStringLiteral("1.000")},
        {"amount with three decimals", 0.5, amount, 3, QStringLiteral("0,500")},
        {"amount from text", QStringLiteral("1500.4"), amount, 1, QStringLiteral("1.500,4")},
        {"zero amount", 0, amount, 2, QStringLiteral("0,00")},
        {"integer rounds", 12.6, integer, 2, QStringLiteral("13")},
        {"integer without grouping", 1234567, integer, 2, QStringLiteral("1234567")},
        {"negative integer", -3, integer, 0, QStringLiteral("-3")},
        {"date from ISO text", QStringLiteral("2023-05-07"), date, 2, QStringLiteral("07/05/2023")},
        {"date from ISO text with time", QStringLiteral("2023-12-31 23:59:59"), date, 2, QStringLiteral("31/12/2023")},
        {"date from ISO text with T", QStringLiteral("2001-01-02T08:00:00"), date, 2, QStringLiteral("02/01/2001")},
        {"date from QDate", QDate(2024, 2, 29), date, 2, QStringLiteral("29/02/2024")},
        {"date from QDateTime", QDateTime(QDate(1999, 11, 3), QTime(10, 0)), date, 2, QStringLiteral("03/11/1999")},
        {"text that is no date", QStringLiteral("da definire"), date, 2, QStringLiteral("da definire")},
        {"flag -1", -1, siNo, 2, QStringLiteral("SI")},
        {"flag 0", 0, siNo, 2, QStringLiteral("NO")},
        {"flag 1", 1, siNo, 2, QStringLiteral("SI")},
        {"flag as text", QStringLiteral("-1"), siNo, 2, QStringLiteral("SI")},
        {"flag as bool", true, siNo, 2, QStringLiteral("SI")},
        {"flag with empty false text", 0, paid, 2, QString()},
        {"flag with own true text", -1, paid, 2, QStringLiteral("Pagata")},
        {"NULL text", QVariant(), text, 2, QString()},
        {"NULL amount", QVariant(), amount, 2, QString()},
        {"typed NULL amount", nullDouble, amount, 2, QString()},
        {"NULL integer", nullDouble, integer, 2, QString()},
        {"NULL date", nullDate, date, 2, QString()},
        {"NULL date as text", nullText, date, 2, QString()},
        {"NULL flag", QVariant(), siNo, 2, QString()},
        {"typed NULL flag", QVariant(QMetaType::fromType<int>()), siNo, 2, QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(formatValue(c.value, c.format, c.decimals), c.expected);
    }
}

// Dates, flags and NULLs as a detail line shows them.
TEST(ReportLayoutTest, DetailFormatsAndEmptyNulls)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = FATT\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | FATT.NUMERO | integer\nFIELD = 25,0,25,5 | FATT.DATA_DOC | date\n"
        "FIELD = 55,0,15,5 | FATT.PAGATA | flag=SI/NO\nFIELD = 75,0,30,5 | FATT.NOTE\n"));
    const ReportRows rows = makeRows({QStringLiteral("FATT.NUMERO"), QStringLiteral("FATT.DATA_DOC"),
                                      QStringLiteral("FATT.PAGATA"), QStringLiteral("FATT.NOTE")},
                                     {
                                         {1, QStringLiteral("2023-01-15"), -1, QStringLiteral("urgente")},
                                         {2, QDate(2023, 2, 1), 0, QVariant()},
                                         {3, QVariant(), QVariant(), QVariant(QMetaType::fromType<QString>())},
                                     });
    struct Case {
        const char *name;
        QStringList texts;
    };
    const QList<Case> cases = {
        {"ISO text, flag -1",
         {QStringLiteral("1"), QStringLiteral("15/01/2023"), QStringLiteral("SI"), QStringLiteral("urgente")}},
        {"QDate, flag 0, NULL note", {QStringLiteral("2"), QStringLiteral("01/02/2023"), QStringLiteral("NO")}},
        {"all NULL", {QStringLiteral("3")}},
    };
    const ReportDocument doc = layoutReport(def, rows, {}, 1);
    ASSERT_EQ(doc.pages.size(), 1);
    const ReportPage &page = doc.pages[0];
    for (int r = 0; r < cases.size(); ++r) {
        SCOPED_TRACE(cases[r].name);
        QStringList onLine;
        for (const PageText &t : page.texts)
            if (qFuzzyCompare(t.rect.top(), def.margins.top() + r * 5))
                onLine.append(t.text);
        EXPECT_EQ(onLine, cases[r].texts) << show(onLine);
    }
    EXPECT_EQ(page.texts.size(), 4 + 3 + 1);
}

// FORMULA items print the text the caller named; an unknown name prints nothing.
TEST(ReportLayoutTest, FormulaItemsPrintTheCallersText)
{
    const ReportDefinition def = definition(QStringLiteral(
        "[DATA]\nTABLE = FATT\n"
        "[REPORTHEADER]\nHEIGHT = 10\nFORMULA = 0,0,100,5 | dicitura | center\nFORMULA = 0,5,100,5 | NOTE\n"
        "[PAGEFOOTER]\nHEIGHT = 5\nFORMULA = 0,0,100,5 | DITTA\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | FATT.NUMERO\n"));
    const QHash<QString, QString> formulas = {
        {QStringLiteral("DICITURA"), QStringLiteral("Copia per il cliente")},
        {QStringLiteral("DITTA"), QStringLiteral("Ferramenta Rossi")},
        {QStringLiteral("ALTRO"), QStringLiteral("non usato")},
    };
    struct Case {
        const char *name;
        int rows;
        QStringList expected;
    };
    const QList<Case> cases = {
        {"with rows",
         2,
         {QStringLiteral("Copia per il cliente"), QStringLiteral("1"), QStringLiteral("2"),
          QStringLiteral("Ferramenta Rossi")}},
        {"without rows", 0, {QStringLiteral("Copia per il cliente"), QStringLiteral("Ferramenta Rossi")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QList<QVariantList> values;
        for (int i = 1; i <= c.rows; ++i)
            values.append(QVariantList{i});
        const ReportDocument doc = layoutReport(def, makeRows({QStringLiteral("FATT.NUMERO")}, values), formulas, 1);
        ASSERT_EQ(doc.pages.size(), 1);
        EXPECT_EQ(textsOf(doc), c.expected) << show(textsOf(doc));
        const auto copy = find(doc.pages[0], QStringLiteral("Copia per il cliente"));
        ASSERT_EQ(copy.size(), 1);
        EXPECT_EQ(copy[0]->align, Qt::AlignHCenter | Qt::AlignVCenter);
        EXPECT_EQ(copy[0]->rect, QRectF(def.margins.left(), def.margins.top(), 100, 5));
        const auto firm = find(doc.pages[0], QStringLiteral("Ferramenta Rossi"));
        ASSERT_EQ(firm.size(), 1);
        EXPECT_DOUBLE_EQ(firm[0]->rect.top(), kA4Long - def.margins.bottom() - 5);
    }
}

// No rows: still one page, with the headers, footers and zero totals, but no group bands.
TEST(ReportLayoutTest, EmptyRowSetGivesOnePageWithHeaders)
{
    struct Case {
        const char *name;
        QString bands;
        QStringList expected;
    };
    const QString all = QStringLiteral(
        "[REPORTHEADER]\nHEIGHT = 10\nTEXT = 0,0,50,5 | Elenco clienti\n"
        "[PAGEHEADER]\nHEIGHT = 6\nTEXT = 0,0,50,5 | Codice  Ragione sociale\n"
        "[GROUP1]\nBY = CLI.PROV\nHEIGHT = 5\nTEXT = 0,0,50,5 | Provincia\n"
        "[GROUP1FOOTER]\nHEIGHT = 5\nCOUNT = 0,0,20,5 |\n"
        "[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n"
        "[REPORTFOOTER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | Totale\nCOUNT = 30,0,10,5 |\nSUM = 50,0,30,5 | CLI.FIDO\n"
        "[PAGEFOOTER]\nHEIGHT = 5\nPAGENUMBER = 0,0,30,5 | Pag.\n");
    const QList<Case> cases = {
        {"every band",
         all,
         {QStringLiteral("Codice  Ragione sociale"), QStringLiteral("Elenco clienti"), QStringLiteral("Totale"),
          QStringLiteral("0"), QStringLiteral("0,00"), QStringLiteral("Pag. 4")}},
        {"page header only",
         QStringLiteral("[PAGEHEADER]\nHEIGHT = 6\nTEXT = 0,0,50,5 | Intestazione\n"),
         {QStringLiteral("Intestazione")}},
        {"detail only", QStringLiteral("[DETAIL]\nHEIGHT = 5\nFIELD = 0,0,20,5 | CLI.CODICE\n"), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def = definition(QStringLiteral("[DATA]\nTABLE = CLI\n") + c.bands);
        const ReportDocument doc = layoutReport(
            def, makeRows({QStringLiteral("CLI.CODICE"), QStringLiteral("CLI.PROV"), QStringLiteral("CLI.FIDO")}, {}),
            {}, 4);
        ASSERT_EQ(doc.pages.size(), 1);
        EXPECT_EQ(textsOf(doc), c.expected) << show(textsOf(doc));
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
    const ReportPage &page = doc.pages[0];
    const double footerTop = kA4Long - 10 - 4;
    const QList<QLineF> lines = {
        QLineF(20, 26, 200, 26),                   // page header
        QLineF(110, 27, 110, 33),                  // first row
        QLineF(110, 33, 110, 39),                  // second row
        QLineF(200, footerTop, 20, footerTop + 4), // page footer, drawn right to left
    };
    const QList<QRectF> boxes = {QRectF(20, 27, 180, 6), QRectF(20, 33, 180, 6)};
    ASSERT_EQ(page.lines.size(), lines.size());
    for (int i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page.lines[i], lines[i]);
    }
    ASSERT_EQ(page.boxes.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(page.boxes[i], boxes[i]);
    }
}

// A register carries its total from page to page: the page header shows what
// earlier pages add up to, the page footer what this page brings it to.
TEST(ReportLayoutTest, PageTotalsCarryOver)
{
    struct Case {
        const char *name;
        QString reportFooter;
    };
    const QList<Case> cases = {
        {"page totals only", QString()},
        {"also a report total",
         QStringLiteral("[REPORTFOOTER]\nHEIGHT = 5\nSUM = 50,0,30,5 | REG.IMPORTO | integer\n")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const ReportDefinition def = definition(
            QStringLiteral(
                "[REPORT]\nMARGINS = 10, 10, 10, 200\n[DATA]\nTABLE = REG\n"
                "[PAGEHEADER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | Riporto\nSUM = 50,0,30,5 | REG.IMPORTO | integer\n"
                "[DETAIL]\nHEIGHT = 10\nFIELD = 0,0,20,5 | REG.NUMERO\n"
                "FIELD = 50,0,30,5 | REG.IMPORTO | integer\n"
                "[PAGEFOOTER]\nHEIGHT = 5\nTEXT = 0,0,30,5 | A riportare\nCOUNT = 30,0,10,5 |\n"
                "SUM = 50,0,30,5 | REG.IMPORTO | integer\n") +
            c.reportFooter);
        QList<QVariantList> values;
        for (int i = 1; i <= 20; ++i)
            values.append(QVariantList{i, i * 100});
        const ReportDocument doc =
            layoutReport(def, makeRows({QStringLiteral("REG.NUMERO"), QStringLiteral("REG.IMPORTO")}, values), {}, 1);
        ASSERT_GE(doc.pages.size(), 3);

        // Work out the running total from the rows each page shows.
        qint64 carried = 0;
        int rowsSoFar = 0;
        QString reportTotal;
        for (int p = 0; p < doc.pages.size(); ++p) {
            SCOPED_TRACE(p);
            const QStringList texts = textsOf(doc.pages[p]);
            ASSERT_GE(texts.size(), 5) << show(texts);
            EXPECT_EQ(texts[0], QStringLiteral("Riporto"));
            EXPECT_EQ(texts[1], QString::number(carried)) << show(texts);
            const qsizetype footer = texts.indexOf(QStringLiteral("A riportare"));
            ASSERT_GE(footer, 2) << show(texts);
            qsizetype rowsEnd = footer;
            if ((rowsEnd - 2) % 2 == 1) {
                // The report total, after the last row.
                EXPECT_FALSE(c.reportFooter.isEmpty());
                EXPECT_EQ(p, doc.pages.size() - 1);
                reportTotal = texts[--rowsEnd];
            }
            for (qsizetype i = 2; i < rowsEnd; i += 2) {
                // Number and amount of a row.
                const int number = texts[i].toInt();
                EXPECT_EQ(number, rowsSoFar + 1) << show(texts);
                EXPECT_EQ(texts[i + 1], QString::number(number * 100)) << show(texts);
                carried += number * 100;
                ++rowsSoFar;
            }
            ASSERT_EQ(footer + 3, texts.size()) << show(texts);
            EXPECT_EQ(texts[footer + 1], QString::number(rowsSoFar)) << show(texts);
            EXPECT_EQ(texts[footer + 2], QString::number(carried)) << show(texts);
        }
        EXPECT_EQ(rowsSoFar, 20);
        EXPECT_EQ(carried, 100 * 20 * 21 / 2);
        EXPECT_EQ(reportTotal, c.reportFooter.isEmpty() ? QString() : QString::number(carried));
    }
}

} // namespace
