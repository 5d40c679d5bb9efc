#include "masterdata/windows/visfoto.h"

#include "masterdata/stores/itemphoto.h"
#include "reporting/reportpainter.h"
#include "reporting/stores/reportdata.h"
#include "services/core/concurrency.h"
#include "ui/appcontext.h"

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;

namespace {

constexpr char kVisfotoTitle[] = "Foto articolo";
constexpr char kErrorTitle[] = "Errore";
constexpr char kPrintTitle[] = "Stampa";
constexpr char kNoPicture[] = "Immagine non disponibile";
constexpr char kVisfotoConfirmDelete[] = "Confermi eliminazione ?";
constexpr char kChooseTitle[] = "Scegli immagine";
constexpr char kFilter[] = "Immagini (*.bmp *.ico *.jpg *.jpeg *.gif *.png *.wmf)";
constexpr char kPrintFont[] = "DejaVu Sans";
constexpr double kMarginMm = 15;

QString chooseWithDialog(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, QString::fromUtf8(kChooseTitle), folder, QString::fromUtf8(kFilter));
}

void setUpPage(QPrinter &printer, const QString &title)
{
    printer.setDocName(title);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
}

} // namespace

VisFoto::VisFoto(Ui::AppContext &context, const ItemKey &key, QWidget *parent)
    : QDialog(parent), m_ctx(context), m_key(key), m_choose(chooseWithDialog), m_caption(new QLabel(this)),
      m_picture(new QLabel(this)), m_print(new QPushButton(QStringLiteral("S&tampa"), this)),
      m_delete(new QPushButton(QStringLiteral("&Elimina"), this)),
      m_copy(new QPushButton(QStringLiteral("C&opia"), this))
{
    setObjectName(QStringLiteral("VisFoto"));
    setWindowTitle(QStringLiteral("%1 %2 %3").arg(QString::fromUtf8(kVisfotoTitle), m_key.brand, m_key.code));

    m_caption->setObjectName(QStringLiteral("articolo"));
    m_picture->setObjectName(QStringLiteral("immagine"));
    m_picture->setAlignment(Qt::AlignCenter);
    m_picture->setFrameShape(QFrame::StyledPanel);
    // The picture follows the window, never the other way round.
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_picture->setMinimumSize(320, 240);

    auto *change = new QPushButton(QStringLiteral("&Cambia"), this);
    auto *exit = new QPushButton(QStringLiteral("E&sci"), this);
    change->setObjectName(QStringLiteral("cambia"));
    m_print->setObjectName(QStringLiteral("stampa"));
    m_delete->setObjectName(QStringLiteral("elimina"));
    m_copy->setObjectName(QStringLiteral("copia"));
    exit->setObjectName(QStringLiteral("esci"));
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {change, m_print, m_delete, m_copy, exit}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    connect(change, &QPushButton::clicked, this, &VisFoto::changePhoto);
    connect(m_print, &QPushButton::clicked, this, &VisFoto::previewPhoto);
    connect(m_delete, &QPushButton::clicked, this, &VisFoto::deletePhoto);
    connect(m_copy, &QPushButton::clicked, this, &VisFoto::copyPhoto);
    connect(exit, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(m_picture, 1);
    layout->addLayout(buttons);
    resize(520, 460);

    const PhotoFolder folder = photoFolder(m_ctx.state.pathImage, m_ctx.state.appFolder);
    m_folder = folder.path;
    if (!folder.refusal.isEmpty())
        m_ctx.prompter.error(folder.refusal, QString::fromUtf8(kErrorTitle));
    reload();
}

void VisFoto::reload()
{
    const std::optional<Item> item = loadItem(m_ctx.db, m_key);
    m_stored = item ? item->main().text(QStringLiteral("FOTOGR")) : QString();
    m_description = item ? item->main().text(QStringLiteral("DESC_ART")) : QString();
    m_image = readPhoto(photoFile(m_folder, m_stored));
    m_caption->setText(QStringLiteral("%1 %2 - %3").arg(m_key.brand, m_key.code, m_description));
    m_print->setEnabled(!m_image.isNull());
    m_copy->setEnabled(!m_image.isNull());
    m_delete->setEnabled(!m_stored.isEmpty());
    fit();
}

void VisFoto::fit()
{
    if (m_image.isNull()) {
        m_picture->setPixmap({});
        m_picture->setText(QString::fromUtf8(kNoPicture));
        return;
    }
    m_picture->setPixmap(QPixmap::fromImage(
        m_image.scaled(m_picture->contentsRect().size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void VisFoto::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    fit();
}

bool VisFoto::wasWritten(const Services::WriteResult &result)
{
    if (result.end == Services::WriteEnd::Gone)
        m_ctx.prompter.warn(Services::Concurrency::deletedElsewhere(), QString::fromUtf8(kVisfotoTitle));
    // A failure has been reported by the write unit.
    if (!result.written())
        return false;
    reload();
    emit photoChanged(m_stored);
    return true;
}

void VisFoto::changePhoto()
{
    const QString chosen = m_choose(this, m_folder);
    if (chosen.isEmpty())
        return;
    const auto changed = changeItemPhoto(m_ctx.db, m_folder, m_key, chosen);
    if (!changed) {
        const Services::Failure &failure = changed.failure();
        m_ctx.prompter.error(failure.detail.isEmpty() ? failure.message
                                                      : failure.message + QLatin1Char('\n') + failure.detail,
                             QString::fromUtf8(kErrorTitle));
        return;
    }
    wasWritten(*changed);
}

void VisFoto::deletePhoto()
{
    if (m_stored.isEmpty())
        return;
    if (m_ctx.prompter.ask(QString::fromUtf8(kVisfotoConfirmDelete), QString::fromUtf8(kVisfotoTitle), Prompter::Icon::Question,
                           Prompter::Buttons::OkCancel, Prompter::Button::Cancel) != Prompter::Button::Ok)
        return;
    wasWritten(writeItemPhoto(m_ctx.db, m_key, {}));
}

void VisFoto::copyPhoto()
{
    if (!m_image.isNull())
        QGuiApplication::clipboard()->setImage(m_image);
}

bool VisFoto::printOn(QPrinter &printer)
{
    if (m_image.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRect page = painter.viewport();
    painter.setFont(QFont(Reporting::availableFamily(QString::fromLatin1(kPrintFont)), 12));
    const int line = painter.fontMetrics().height();
    const QRect caption(page.left(), page.top(), page.width(), line * 2);
    painter.drawText(
        caption, Qt::AlignLeft | Qt::AlignTop,
        QStringLiteral("%1 %2 (magazzino %3)\n%4").arg(m_key.brand, m_key.code, m_key.warehouse, m_description));
    const QRect area = page.adjusted(0, line * 3, 0, 0);
    const QSize size = m_image.size().scaled(area.size(), Qt::KeepAspectRatio);
    painter.drawImage(QRect(QPoint(area.left() + (area.width() - size.width()) / 2, area.top()), size), m_image);
    return painter.end();
}

void VisFoto::previewPhoto()
{
    if (m_image.isNull())
        return;
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, windowTitle());
    QPrintPreviewDialog preview(&printer, this);
    preview.setWindowTitle(windowTitle());
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this](QPrinter *target) { printOn(*target); });
    preview.exec();
}

void VisFoto::TimStampa()
{
    if (m_image.isNull())
        return;
    if (QPrinterInfo::availablePrinters().isEmpty()) {
        m_ctx.prompter.error(QString::fromUtf8(Reporting::ReportErrors::kNoPrinter), QString::fromUtf8(kPrintTitle));
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    setUpPage(printer, windowTitle());
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted && !printOn(printer))
        m_ctx.prompter.error(QString::fromUtf8(Reporting::ReportErrors::kCannotPrint) +
                                 QStringLiteral("stampante non disponibile"),
                             QString::fromUtf8(kPrintTitle));
}

void VisFoto::TimAnte()
{
    previewPhoto();
}

} // namespace Orlavo::Masterdata
