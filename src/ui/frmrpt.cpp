#include "ui/frmrpt.h"

#include "reporting/reportpainter.h"
#include "reporting/stores/reportdata.h"
#include "ui/appcontext.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace Orlavo::Ui {

namespace {

constexpr char kPrintTitle[] = "Stampa";
constexpr double kScreenDpi = 96;

// One print at a time: a second one while the first runs is refused.
bool g_printing = false;

struct PrintingFlag {
    PrintingFlag() { g_printing = true; }
    ~PrintingFlag() { g_printing = false; }
};

QString messageOf(const Services::Failure &failure)
{
    // The engine's texts stand alone; the cause follows where it helps.
    if (failure.message == QLatin1String(Reporting::ReportErrors::kCannotPrint))
        return failure.message + failure.detail;
    return failure.detail.isEmpty() ? failure.message : failure.message + QLatin1Char('\n') + failure.detail;
}

} // namespace

bool printReport(AppContext &context, const Reporting::PrintCommand &command, QWidget *parent, const ChoiceAsker &ask)
{
    Services::Prompter &prompter = context.prompter;
    if (g_printing) {
        prompter.error(QString::fromUtf8(Reporting::ReportErrors::kInvalidOperation), QString::fromUtf8(kPrintTitle));
        return false;
    }
    const PrintingFlag printing;
    const QList<Reporting::ReportEntry> chosen =
        chooseReports(context.reports, command.key, prompter, context.state.openMode, ask ? ask : askWithLisStam);
    bool produced = false;
    for (const Reporting::ReportEntry &entry : chosen) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        auto document = Reporting::buildReport(context.db, entry, command.request);
        QApplication::restoreOverrideCursor();
        if (!document) {
            prompter.error(messageOf(document.failure()), QString::fromUtf8(kPrintTitle));
            continue;
        }
        if (command.output == Reporting::ReportOutput::Pdf) {
            if (auto written = Reporting::writeReportPdf(*document, command.pdfPath); !written) {
                prompter.error(messageOf(written.failure()), QString::fromUtf8(kPrintTitle));
                continue;
            }
            produced = true;
            continue;
        }
        auto *window = new FrmRpt(context, *document, command.title, command.copies, parent);
        if (command.output == Reporting::ReportOutput::Printer) {
            produced = window->printDocument() || produced;
            window->deleteLater();
            continue;
        }
        window->showMaximized();
        produced = true;
    }
    return produced;
}

FrmRpt::FrmRpt(AppContext &context, Reporting::ReportDocument document, const QString &title, int copies, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ctx(context), m_document(std::move(document)), m_copies(std::max(1, copies)),
      m_scroll(new QScrollArea(this)), m_view(new QLabel), m_pageBox(new QSpinBox(this)), m_pageOf(new QLabel(this)),
      m_zoomBox(new QComboBox(this))
{
    setObjectName(QStringLiteral("frmRpt"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title.isEmpty() ? m_document.title : title);
    setWindowIcon(QIcon(m_ctx.state.iconForms));

    const auto button = [this](const char *name, const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    QPushButton *first = button("primaPagina", QStringLiteral("|<"), QStringLiteral("Prima pagina"));
    QPushButton *previous = button("paginaPrecedente", QStringLiteral("<"), QStringLiteral("Pagina precedente"));
    QPushButton *next = button("paginaSuccessiva", QStringLiteral(">"), QStringLiteral("Pagina successiva"));
    QPushButton *last = button("ultimaPagina", QStringLiteral(">|"), QStringLiteral("Ultima pagina"));
    QPushButton *print = button("stampa", QStringLiteral("Stampa..."), QStringLiteral("Stampa su una stampante"));
    QPushButton *pdf = button("esportaPdf", QStringLiteral("Esporta PDF..."), QStringLiteral("Salva in un file PDF"));
    QPushButton *close = button("chiudi", QStringLiteral("Chiudi"), QStringLiteral("Chiude l'anteprima"));

    m_pageBox->setObjectName(QStringLiteral("pagina"));
    m_pageBox->setRange(1, std::max(1, pageCount()));
    m_pageOf->setText(QStringLiteral("di %1").arg(pageCount()));
    m_zoomBox->setObjectName(QStringLiteral("zoom"));
    m_zoomBox->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_zoomBox->addItem(QStringLiteral("Adatta alla larghezza"), 0);
    for (const int percent : {50, 75, 100, 125, 150, 200})
        m_zoomBox->addItem(QStringLiteral("%1%").arg(percent), percent);

    auto *bar = new QHBoxLayout;
    for (QWidget *w : std::initializer_list<QWidget *>{first, previous, new QLabel(QStringLiteral("Pagina"), this),
                                                       m_pageBox, m_pageOf, next, last, m_zoomBox})
        bar->addWidget(w);
    bar->addStretch(1);
    bar->addWidget(print);
    bar->addWidget(pdf);
    bar->addWidget(close);

    m_view->setObjectName(QStringLiteral("vistaPagina"));
    m_view->setAlignment(Qt::AlignCenter);
    m_scroll->setObjectName(QStringLiteral("anteprima"));
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(true);
    m_scroll->setBackgroundRole(QPalette::Dark);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(first, &QPushButton::clicked, this, [this] { showPage(0); });
    connect(previous, &QPushButton::clicked, this, [this] { showPage(m_page - 1); });
    connect(next, &QPushButton::clicked, this, [this] { showPage(m_page + 1); });
    connect(last, &QPushButton::clicked, this, [this] { showPage(pageCount() - 1); });
    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int value) { showPage(value - 1); });
    connect(m_zoomBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { setZoom(m_zoomBox->itemData(index).toInt()); });
    connect(print, &QPushButton::clicked, this, [this] { printDocument(); });
    connect(pdf, &QPushButton::clicked, this, [this] { askPdfPath(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(screen->availableGeometry().size());
    render();
}

void FrmRpt::showPage(int page)
{
    page = std::clamp(page, 0, std::max(0, pageCount() - 1));
    if (page == m_page && !m_view->pixmap().isNull())
        return;
    m_page = page;
    const QSignalBlocker block(m_pageBox);
    m_pageBox->setValue(page + 1);
    render();
}

void FrmRpt::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // Fitting the width follows the window's size.
    if (m_zoom == 0)
        render();
}

void FrmRpt::setZoom(int percent)
{
    m_zoom = std::max(0, percent);
    render();
}

void FrmRpt::render()
{
    double dpi = kScreenDpi * (m_zoom > 0 ? m_zoom / 100.0 : 1.0);
    if (m_zoom == 0) {
        // The page's width fills the window, less the scroll bar.
        const double width = std::max(200, m_scroll->viewport()->width() - 24);
        dpi = width / (m_document.pageSize.width() / 25.4);
    }
    const qreal ratio = devicePixelRatioF();
    QImage image = Reporting::renderReportPage(m_document, m_page, dpi * ratio);
    image.setDevicePixelRatio(ratio);
    m_view->setPixmap(QPixmap::fromImage(image));
}

bool FrmRpt::printDocument()
{
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_ctx.prompter.error(QString::fromUtf8(Reporting::ReportErrors::kNoPrinter), QString::fromUtf8(kPrintTitle));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(windowTitle());
    printer.setCopyCount(m_copies);
    printer.setPageLayout(Reporting::reportPageLayout(m_document));
    printer.setFullPage(true);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QPainter painter;
    if (!painter.begin(&printer)) {
        m_ctx.prompter.error(QString::fromUtf8(Reporting::ReportErrors::kCannotPrint) + QStringLiteral("stampante non disponibile"),
                             QString::fromUtf8(kPrintTitle));
        return false;
    }
    for (int page = 0; page < pageCount(); ++page) {
        if (page > 0)
            printer.newPage();
        Reporting::paintReportPage(painter, m_document, page);
    }
    return painter.end();
}

bool FrmRpt::exportPdf(const QString &path)
{
    if (auto written = Reporting::writeReportPdf(m_document, path); !written) {
        m_ctx.prompter.error(written.failure().message == QLatin1String(Reporting::ReportErrors::kDiskFull)
                                 ? written.failure().message
                                 : written.failure().message + written.failure().detail,
                             QString::fromUtf8(kPrintTitle));
        return false;
    }
    return true;
}

void FrmRpt::askPdfPath()
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Esporta PDF"),
                                                      m_document.title + QStringLiteral(".pdf"),
                                                      QStringLiteral("Documenti PDF (*.pdf)"));
    if (!path.isEmpty())
        exportPdf(path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) ? path : path + QStringLiteral(".pdf"));
}

} // namespace Orlavo::Ui
