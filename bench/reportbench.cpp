#include "reportbench.h"

#include "benchsession.h"

#include "archives.h"
#include "reporting/reportpainter.h"
#include "reporting/rules/reportlist.h"
#include "reporting/stores/reportbuild.h"
#include "scriptedprompter.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLatin1Char>
#include <QRegularExpression>
#include <QString>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>

namespace Orlavo::Bench {

namespace {

using Services::AppState;
using Services::DataAccess;
using Services::Engine;
using Services::Params;
using Services::WriteUnit;
using Reporting::ReportDocument;
using Reporting::ReportEntry;
using Reporting::ReportPage;
using Testing::PgServer;
using Testing::ScriptedPrompter;
using Testing::TestArchives;

constexpr int kRows = 20000;

// The page and the bands, in millimetres: the definition is written from
// these and the expected page count is worked out from them.
constexpr int kPageHeight = 297;
constexpr int kTopMargin = 15;
constexpr int kBottomMargin = 15;
constexpr int kPageHeader = 24;
constexpr int kDetail = 6;
constexpr int kReportFooter = 12;
constexpr int kPageFooter = 8;
// Texts each band puts on a page (lines are not texts).
constexpr int kPageHeaderTexts = 4;
constexpr int kDetailTexts = 3;
constexpr int kReportFooterTexts = 4;
constexpr int kPageFooterTexts = 1;

// The report window's resolution at 100 %.
constexpr double kPreviewDpi = 96;

const QString kCountLabel = QStringLiteral("Righe:");
const QString kSumLabel = QStringLiteral("Totale numeratori:");

// The list of every counter: name, description, value (no decimals),
// totals at the end, "Pag. N" at the foot of each page.
QString definitionText()
{
    return QStringLiteral(R"([REPORT]
TITLE=Numeratori
ORIENTATION=PORTRAIT
MARGINS=20,%1,20,%2
FONT=DejaVu Sans,10

[DATA]
TABLE=NUMERA,1
ORDER=NUMERA.NOME

[PAGEHEADER]
HEIGHT=%3
TEXT=0,0,170,9 | Numeratori | center bold size=14
TEXT=0,13,30,6 | NOME | bold
TEXT=32,13,100,6 | DESCRIZIONE | bold
TEXT=134,13,36,6 | NUMERATORE | bold right
LINE=0,20,170,20

[DETAIL]
HEIGHT=%4
FIELD=0,0,30,6 | NUMERA.NOME
FIELD=32,0,100,6 | NUMERA.DESCRIZIONE
FIELD=134,0,36,6 | NUMERA.NUMERATORE | right amount=0

[REPORTFOOTER]
HEIGHT=%5
LINE=0,2,170,2
TEXT=0,4,30,6 | %7
COUNT=30,4,25,6 | | right
TEXT=80,4,50,6 | %8
SUM=134,4,36,6 | NUMERA.NUMERATORE | right amount=0

[PAGEFOOTER]
HEIGHT=%6
PAGENUMBER=0,1,170,6 | Pag. | right
)")
        .arg(kTopMargin)
        .arg(kBottomMargin)
        .arg(kPageHeader)
        .arg(kDetail)
        .arg(kReportFooter)
        .arg(kPageFooter)
        .arg(kCountLabel, kSumLabel);
}

// 1234567 → "1.234.567", as an amount without decimals reads.
QString grouped(qint64 value)
{
    QString digits = QString::number(value);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char('.'));
    return digits;
}

// What the document of `rows` rows must hold.
struct Expected {
    int rows = 0;
    int pages = 0;
    qsizetype texts = 0;
    QString count;
    QString sum;
    QString lastPageNumber;

    explicit Expected(int n) : rows(n)
    {
        const int bottom = kPageHeight - kBottomMargin - kPageFooter;
        const int firstRow = kTopMargin + kPageHeader;
        const int perPage = (bottom - firstRow) / kDetail;
        pages = qMax(1, (rows + perPage - 1) / perPage);
        const int onLast = rows - (pages - 1) * perPage;
        // The totals go on a page of their own when the last one is full.
        if (firstRow + onLast * kDetail + kReportFooter > bottom)
            ++pages;
        texts = qsizetype(pages) * (kPageHeaderTexts + kPageFooterTexts) + qsizetype(rows) * kDetailTexts +
                kReportFooterTexts;
        count = QString::number(rows);
        sum = grouped(qint64(rows) * (rows + 1) / 2);
        lastPageNumber = QStringLiteral("Pag. %1").arg(pages);
    }
};

// The text drawn right after `label` on the page, empty when there is none.
QString textAfter(const ReportPage &page, const QString &label)
{
    for (qsizetype i = 0; i + 1 < page.texts.size(); ++i) {
        if (page.texts[i].text == label)
            return page.texts[i + 1].text;
    }
    return {};
}

// Empty when the document is the list of `expected.rows` rows, else what is
// wrong with it.
QString checkDocument(const ReportDocument &document, const Expected &expected)
{
    if (document.pages.size() != expected.pages)
        return QStringLiteral("%1 pages, expected %2").arg(document.pages.size()).arg(expected.pages);
    qsizetype texts = 0;
    for (const ReportPage &page : document.pages)
        texts += page.texts.size();
    if (texts != expected.texts)
        return QStringLiteral("%1 texts, expected %2").arg(texts).arg(expected.texts);
    const ReportPage &first = document.pages.first();
    if (expected.rows > 0 && textAfter(first, QStringLiteral("NUMERATORE")) != QStringLiteral("N000001"))
        return QStringLiteral("first row \"%1\", expected N000001").arg(textAfter(first, QStringLiteral("NUMERATORE")));
    const ReportPage &last = document.pages.last();
    if (textAfter(last, kCountLabel) != expected.count)
        return QStringLiteral("count \"%1\", expected %2").arg(textAfter(last, kCountLabel), expected.count);
    if (textAfter(last, kSumLabel) != expected.sum)
        return QStringLiteral("sum \"%1\", expected %2").arg(textAfter(last, kSumLabel), expected.sum);
    if (last.texts.isEmpty() || last.texts.last().text != expected.lastPageNumber)
        return QStringLiteral("last page ends with \"%1\", expected \"%2\"")
            .arg(last.texts.isEmpty() ? QString() : last.texts.last().text, expected.lastPageNumber);
    return {};
}

// Page objects in a PDF file as written by Qt (no object streams).
qsizetype pdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![a-zA-Z])"));
    return QString::fromLatin1(pdf).count(page);
}

// Draws a line of text once, so the font database is loaded before any
// timing: in the application the windows have done so long before a print.
void loadFonts()
{
    static const bool loaded = [] {
        ReportDocument document;
        document.pageSize = QSizeF(50, 20);
        ReportPage page;
        page.texts.append({QRectF(0, 0, 50, 10), QStringLiteral("Pag. 1"),
                           Reporting::ReportFont{QStringLiteral("DejaVu Sans"), 10, false, false}, Qt::AlignLeft});
        page.texts.append({QRectF(0, 10, 50, 10), QStringLiteral("Pag. 1"),
                           Reporting::ReportFont{QStringLiteral("DejaVu Sans"), 14, true, false}, Qt::AlignLeft});
        document.pages.append(page);
        return !Reporting::renderReportPage(document, 0, kPreviewDpi).isNull();
    }();
    benchmark::DoNotOptimize(loaded);
}

// The bench archives with the rows of the list and its definition file
// beside them; a failure is recorded instead of ending the process.
class ReportSession
{
public:
    ReportSession(Engine engine, int rows) : m_base(engine)
    {
        if (!m_base.ready()) {
            m_problem = QString::fromStdString(m_base.problem());
            return;
        }
        if (!fill(rows)) {
            m_problem = QStringLiteral("rows not inserted: ") + QString::fromStdString(m_base.lastError());
            return;
        }
        const int found = m_base.committedRows();
        if (found != rows) {
            m_problem = QStringLiteral("NUMERA holds %1 rows, expected %2").arg(found).arg(rows);
            return;
        }
        m_entry = ReportEntry{QLatin1Char('1'), QStringLiteral("NUMERATORI"),
                              m_base.archives().folder() + QStringLiteral("NUMERATORI.RPT"),
                              QStringLiteral("Numeratori"), QStringLiteral("C")};
        QFile definition(m_entry.path);
        if (!definition.open(QIODevice::WriteOnly) || definition.write(definitionText().toUtf8()) < 0) {
            m_problem = QStringLiteral("definition not written: ") + definition.errorString();
            return;
        }
        m_ready = true;
    }

    bool ready() const { return m_ready; }
    std::string problem() const { return m_problem.toStdString(); }
    DataAccess &db() { return m_base.db(); }
    const ReportEntry &entry() const { return m_entry; }
    QString pdfPath() { return m_base.archives().folder() + QStringLiteral("NUMERATORI.pdf"); }

private:
    bool fill(int rows)
    {
        WriteUnit unit(m_base.db(), QStringLiteral("Prova stampa"), WriteUnit::Report::Quiet);
        for (int i = 1; i <= rows; ++i) {
            if (!unit.execCompany(QStringLiteral("Ins. numeratore"), kInsertNumera, numeraRow(i)))
                return false;
        }
        return unit.commit();
    }

    Session m_base;
    ReportEntry m_entry;
    QString m_problem;
    bool m_ready = false;
};

double msSince(const QElapsedTimer &timer, qint64 fromNs)
{
    return double(timer.nsecsElapsed() - fromNs) / 1e6;
}

void fail(benchmark::State &state, const QString &why)
{
    state.SkipWithError(why.toStdString().c_str());
}

// The whole list to a PDF file: query, layout, drawing, writing.
void listToPdf(benchmark::State &state, Engine engine)
{
    const int rows = int(state.range(0));
    loadFonts();
    ReportSession session(engine, rows);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    const Expected expected(rows);
    QFile::remove(session.pdfPath());
    ReportDocument document;
    double buildMs = 0;
    double pdfMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto built = Reporting::buildReport(session.db(), session.entry(), {});
        if (!built) {
            fail(state, QStringLiteral("report not built: %1 %2").arg(built.failure().message, built.failure().detail));
            return;
        }
        const qint64 builtAt = timer.nsecsElapsed();
        buildMs += double(builtAt) / 1e6;
        const auto written = Reporting::writeReportPdf(*built, session.pdfPath());
        if (!written) {
            fail(state,
                 QStringLiteral("PDF not written: %1 %2").arg(written.failure().message, written.failure().detail));
            return;
        }
        pdfMs += msSince(timer, builtAt);
        document = std::move(*built);
    }
    if (const QString wrong = checkDocument(document, expected); !wrong.isEmpty()) {
        fail(state, wrong);
        return;
    }
    QFile pdf(session.pdfPath());
    if (!pdf.open(QIODevice::ReadOnly) || pdf.size() == 0) {
        fail(state, QStringLiteral("PDF missing or empty"));
        return;
    }
    const QByteArray bytes = pdf.readAll();
    if (!bytes.startsWith("%PDF-") || pdfPages(bytes) != expected.pages) {
        fail(state, QStringLiteral("PDF of %1 pages, expected %2").arg(pdfPages(bytes)).arg(expected.pages));
        return;
    }
    const auto perRun = benchmark::Counter::kAvgIterations;
    state.counters["build_ms"] = benchmark::Counter(buildMs, perRun);
    state.counters["pdf_ms"] = benchmark::Counter(pdfMs, perRun);
    state.counters["pages"] = expected.pages;
    state.counters["pdf_MB"] = double(bytes.size()) / 1e6;
    state.SetItemsProcessed(rows);
}

// What the preview does before it shows anything: the report built, its
// first page drawn at screen resolution.
void firstPreviewPage(benchmark::State &state, Engine engine)
{
    const int rows = int(state.range(0));
    loadFonts();
    ReportSession session(engine, rows);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    const Expected expected(rows);
    ReportDocument document;
    QImage image;
    double buildMs = 0;
    double renderMs = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        auto built = Reporting::buildReport(session.db(), session.entry(), {});
        if (!built) {
            fail(state, QStringLiteral("report not built: %1 %2").arg(built.failure().message, built.failure().detail));
            return;
        }
        const qint64 builtAt = timer.nsecsElapsed();
        buildMs += double(builtAt) / 1e6;
        image = Reporting::renderReportPage(*built, 0, kPreviewDpi);
        renderMs += msSince(timer, builtAt);
        document = std::move(*built);
    }
    if (const QString wrong = checkDocument(document, expected); !wrong.isEmpty()) {
        fail(state, wrong);
        return;
    }
    // An A4 page at 96 dpi, with something drawn on it.
    const QSize size(int(std::lround(210 * kPreviewDpi / 25.4)), int(std::lround(297 * kPreviewDpi / 25.4)));
    if (image.size() != size) {
        fail(state, QStringLiteral("page image %1x%2, expected %3x%4")
                        .arg(image.width())
                        .arg(image.height())
                        .arg(size.width())
                        .arg(size.height()));
        return;
    }
    qsizetype inked = 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            inked += qGray(line[x]) < 128 ? 1 : 0;
    }
    // The title, headings and rows in 10-point text blacken some thousands
    // of pixels; a failed drawing leaves the page white.
    if (inked < 1000) {
        fail(state, QStringLiteral("first page nearly blank: %1 dark pixels").arg(inked));
        return;
    }
    const auto perRun = benchmark::Counter::kAvgIterations;
    state.counters["build_ms"] = benchmark::Counter(buildMs, perRun);
    state.counters["render_ms"] = benchmark::Counter(renderMs, perRun);
    state.counters["pages"] = expected.pages;
    state.SetItemsProcessed(rows);
}

// ORLAVO_BENCH_ROWS replaces the row count, for a quick run or a profile.
int rowsOr(int standard)
{
    bool ok = false;
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS", &ok);
    return ok && rows > 0 ? rows : standard;
}

void add(const std::string &name, void (*body)(benchmark::State &, Engine), Engine engine)
{
    benchmark::RegisterBenchmark(name.c_str(), body, engine)
        ->Arg(rowsOr(kRows))
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
}

} // namespace

void registerReportBenchmarks()
{
    for (const auto &[name, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        const std::string suffix = std::string("/") + name;
        add("ReportListToPdf" + suffix, listToPdf, engine);
        add("ReportFirstPreviewPage" + suffix, firstPreviewPage, engine);
    }
}

} // namespace Orlavo::Bench
