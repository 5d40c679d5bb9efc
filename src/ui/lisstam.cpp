#include "ui/lisstam.h"

#include "services/data/prompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace Orlavo::Ui {

namespace {
constexpr char kLisstamTitle[] = "Lista Tabulati";
constexpr char kPrompt[] = "Selezionare il tabulato da stampare";
constexpr char kNoReport[] = "Nessun tabulato per la stampa ";
// The window never grows past what a 1366×768 screen shows.
constexpr int kMaxWidth = 900;
constexpr int kMaxHeight = 600;
} // namespace

LisStam::LisStam(const QList<Reporting::ReportEntry> &choices, QWidget *parent)
    : QDialog(parent), m_choices(choices), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("LisStam"));
    setWindowTitle(QString::fromUtf8(kLisstamTitle));

    auto *prompt = new QLabel(QString::fromUtf8(kPrompt), this);
    prompt->setObjectName(QStringLiteral("messaggio"));

    m_list->setObjectName(QStringLiteral("tabulati"));
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const Reporting::ReportEntry &entry : m_choices) {
        // Without a description the file name still tells the reports apart.
        const QString text = entry.description.isEmpty() ? QFileInfo(entry.path).fileName() : entry.description;
        auto *item = new QListWidgetItem(text, m_list);
        item->setToolTip(QDir::toNativeSeparators(entry.path));
    }
    if (m_list->count() > 0) {
        m_list->setCurrentRow(0);
        m_list->item(0)->setSelected(true);
    }
    connect(m_list, &QListWidget::itemDoubleClicked, this, &LisStam::acceptOnly);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("pulsanti"));
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("ok"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("annulla"));
    connect(buttons, &QDialogButtonBox::accepted, this, &LisStam::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // OK needs something to print.
    connect(m_list, &QListWidget::itemSelectionChanged, this,
            [this] { m_ok->setEnabled(!m_list->selectedItems().isEmpty()); });
    m_ok->setEnabled(!m_list->selectedItems().isEmpty());

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(m_list, 1);
    layout->addWidget(buttons);

    // Wide enough for the descriptions and tall enough for the rows, within limits.
    const QMargins margins = layout->contentsMargins();
    const int frame = 2 * m_list->frameWidth();
    const int listWidth = m_list->sizeHintForColumn(0) + frame + m_list->verticalScrollBar()->sizeHint().width();
    const int listHeight = m_list->count() * std::max(1, m_list->sizeHintForRow(0)) + frame;
    const int chrome = prompt->sizeHint().height() + buttons->sizeHint().height() + 2 * layout->spacing() +
                       margins.top() + margins.bottom();
    const int width = std::clamp(listWidth + margins.left() + margins.right(), 360, kMaxWidth);
    const int height = std::clamp(listHeight + chrome, 240, kMaxHeight);
    const QSize least = layout->totalMinimumSize();
    resize(std::max(width, least.width()), std::max(height, least.height()));
}

void LisStam::accept()
{
    QList<int> rows;
    for (const QListWidgetItem *item : m_list->selectedItems())
        rows.append(m_list->row(item));
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    m_rows = rows;
    QDialog::accept();
}

void LisStam::acceptOnly(QListWidgetItem *item)
{
    const int row = m_list->row(item);
    if (row < 0)
        return;
    m_rows = {row};
    QDialog::accept();
}

QList<Reporting::ReportEntry> LisStam::chosen() const
{
    QList<Reporting::ReportEntry> entries;
    if (result() != QDialog::Accepted)
        return entries;
    for (const int row : m_rows)
        entries.append(m_choices.at(row));
    return entries;
}

QList<Reporting::ReportEntry> chooseReports(const QList<Reporting::ReportEntry> &list, const QString &key, Services::Prompter &prompter,
                                 QString &openMode, const ChoiceAsker &ask)
{
    const QList<Reporting::ReportEntry> entries = Reporting::entriesForKey(list, key);
    if (entries.isEmpty()) {
        prompter.warn(QString::fromUtf8(kNoReport) + key, QStringLiteral("Errore"));
        return {};
    }
    if (entries.size() == 1)
        return entries;
    const QList<Reporting::ReportEntry> chosen = ask ? ask(entries) : askWithLisStam(entries);
    openMode = chosen.isEmpty() ? QStringLiteral("NO") : QStringLiteral("SI");
    return chosen;
}

QList<Reporting::ReportEntry> askWithLisStam(const QList<Reporting::ReportEntry> &choices)
{
    LisStam window(choices, QApplication::activeWindow());
    window.exec();
    return window.chosen();
}

} // namespace Orlavo::Ui
