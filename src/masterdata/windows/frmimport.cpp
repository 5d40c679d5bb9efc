#include "masterdata/windows/frmimport.h"

#include "ui/appcontext.h"
#include "ui/waitmessage.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;

namespace {

constexpr char kFrmimportTitle[] = "Importa da file";
constexpr char kFileFilter[] = "File di testo (*.txt *.csv);;Tutti i file (*)";
constexpr char kFile[] = "File: %1";
constexpr char kCounts[] = "Nuove: %1  Modificate: %2  Invariate: %3  Scartate: %4";
constexpr char kRefusedHeading[] = "Righe scartate";
constexpr char kLineHeading[] = "Riga";
constexpr char kReasonHeading[] = "Motivo";
constexpr char kFrmimportConfirm[] = "Conferma";
constexpr char kCancel[] = "Annulla";
constexpr char kEmptyFile[] = "Il file %1 non contiene righe da importare.";
constexpr char kWorking[] = "Importazione in corso...";
constexpr char kDone[] = "Tabella %1: importazione completata.\nRighe nuove: %2\nRighe modificate: %3";
constexpr char kCancelled[] = "Importazione annullata: nessuna riga è stata scritta.";

} // namespace

FrmImport::FrmImport(Ui::AppContext &context, ImportKind kind, QWidget *parent)
    : QDialog(parent), m_context(context), m_kind(kind), m_file(new QLabel(this)), m_counts(new QLabel(this)),
      m_refused(new QTableWidget(0, 2, this))
{
    setObjectName(QStringLiteral("FrmImport"));
    setWindowTitle(QString::fromUtf8(kFrmimportTitle) + QStringLiteral(" - ") + importLayout(kind).title);

    m_file->setObjectName(QStringLiteral("file"));
    m_file->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_counts->setObjectName(QStringLiteral("conteggi"));
    m_refused->setObjectName(QStringLiteral("scartate"));
    m_refused->setHorizontalHeaderLabels({QString::fromUtf8(kLineHeading), QString::fromUtf8(kReasonHeading)});
    m_refused->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_refused->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_refused->verticalHeader()->hide();
    m_refused->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_refused->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);

    auto *buttons = new QDialogButtonBox(this);
    m_confirm = buttons->addButton(QString::fromUtf8(kFrmimportConfirm), QDialogButtonBox::AcceptRole);
    m_confirm->setObjectName(QStringLiteral("conferma"));
    m_confirm->setEnabled(false);
    m_cancel = buttons->addButton(QString::fromUtf8(kCancel), QDialogButtonBox::RejectRole);
    m_cancel->setObjectName(QStringLiteral("annulla"));
    connect(m_confirm, &QPushButton::clicked, this, &FrmImport::confirm);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_file);
    layout->addWidget(m_counts);
    layout->addWidget(new QLabel(QString::fromUtf8(kRefusedHeading), this));
    layout->addWidget(m_refused);
    layout->addWidget(buttons);
    resize(560, 380);
    showPreview();
}

bool FrmImport::chooseFile()
{
    const QString path = m_chooser ? m_chooser(this)
                                   : QFileDialog::getOpenFileName(this, QString::fromUtf8(kFrmimportTitle), QDir::homePath(),
                                                                  QString::fromUtf8(kFileFilter));
    if (path.isEmpty())
        return false;
    return load(path);
}

bool FrmImport::load(const QString &path)
{
    const QString title = QString::fromUtf8(kFrmimportTitle);
    auto preview = previewImportFile(m_context.db, m_kind, path);
    if (!preview) {
        m_context.prompter.error(preview.failure().message + QLatin1Char('\n') + preview.failure().detail, title);
        return false;
    }
    if (preview->text.lines.isEmpty()) {
        m_context.prompter.warn(QString::fromUtf8(kEmptyFile).arg(QDir::toNativeSeparators(path)), title);
        return false;
    }
    m_preview = std::move(*preview);
    m_file->setText(QString::fromUtf8(kFile).arg(QDir::toNativeSeparators(path)));
    showPreview();
    return true;
}

void FrmImport::showPreview()
{
    m_counts->setText(QString::fromUtf8(kCounts)
                          .arg(m_preview.added.size())
                          .arg(m_preview.changed.size())
                          .arg(m_preview.unchanged.size())
                          .arg(m_preview.refused.size()));
    m_refused->setRowCount(int(m_preview.refused.size()));
    for (int row = 0; row < m_refused->rowCount(); ++row) {
        const RefusedLine &line = m_preview.refused.at(row);
        auto *number = new QTableWidgetItem(QString::number(line.line));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_refused->setItem(row, 0, number);
        m_refused->setItem(row, 1, new QTableWidgetItem(line.reason));
    }
    m_confirm->setEnabled(m_preview.hasWork());
}

void FrmImport::confirm()
{
    if (!m_preview.hasWork())
        return;
    const QString title = QString::fromUtf8(kFrmimportTitle);
    const int total = int(m_preview.added.size() + m_preview.changed.size());
    QProgressDialog progress(QString::fromUtf8(kWorking), QString::fromUtf8(kCancel), 0, total, this);
    Ui::setUpProgress(progress, title, QStringLiteral("importazione"));
    const auto step = [&progress](int done, int rows) {
        progress.setMaximum(rows);
        progress.setValue(std::min(done, rows));
        QCoreApplication::processEvents();
        return !progress.wasCanceled();
    };
    const ImportApplied applied = applyImport(m_context.db, m_preview, step);
    progress.close();

    switch (applied.result) {
    case ImportApplied::Result::Written:
        m_written = applied.inserted + applied.updated;
        m_context.prompter.info(
            QString::fromUtf8(kDone).arg(importLayout(m_kind).title).arg(applied.inserted).arg(applied.updated), title);
        accept();
        break;
    case ImportApplied::Result::Cancelled: m_context.prompter.info(QString::fromUtf8(kCancelled), title); break;
    case ImportApplied::Result::Failed:
        // The lock message or the error report has been shown.
        break;
    }
}

bool importTable(Ui::AppContext &context, ImportKind kind, QWidget *parent, FrmImport::FileChooser chooseFile)
{
    FrmImport dialog(context, kind, parent);
    if (chooseFile)
        dialog.setFileChooser(std::move(chooseFile));
    if (!dialog.chooseFile())
        return false;
    dialog.exec();
    return dialog.written() > 0;
}

} // namespace Orlavo::Masterdata
