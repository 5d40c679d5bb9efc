#include "ui/recordwindow.h"

#include "services/core/concurrency.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace Orlavo::Ui {

RecordWindow::RecordWindow(AppContext &context, const QStringList &headings, QWidget *parent)
    : QDialog(parent), m_context(context), m_grid(new QTableWidget(0, int(headings.size()), this)),
      m_save(new QPushButton(QStringLiteral("&Registra"), this)),
      m_remove(new QPushButton(QStringLiteral("&Elimina"), this)),
      m_cancel(new QPushButton(QStringLiteral("&Annulla"), this)),
      m_exit(new QPushButton(QStringLiteral("E&sci"), this))
{
    m_grid->setObjectName(QStringLiteral("griglia"));
    m_grid->setHorizontalHeaderLabels(headings);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    connect(m_grid, &QTableWidget::cellClicked, this, [this](int row, int) { loadRow(row); });
    connect(m_grid, &QTableWidget::currentCellChanged, this, [this](int row, int, int previous, int) {
        if (row != previous)
            loadRow(row);
    });

    m_save->setObjectName(QStringLiteral("registra"));
    m_remove->setObjectName(QStringLiteral("elimina"));
    m_cancel->setObjectName(QStringLiteral("annulla"));
    m_exit->setObjectName(QStringLiteral("esci"));
    for (QPushButton *button : {m_save, m_remove, m_cancel, m_exit})
        button->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    connect(m_remove, &QPushButton::clicked, this, [this] { remove(); });
    connect(m_cancel, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    setLeavingTips(m_cancel, m_exit);
}

void RecordWindow::watchCodeField(QWidget *field)
{
    m_codeField = field;
    field->installEventFilter(this);
}

void RecordWindow::fitGridToRows(int rows)
{
    m_grid->setFixedHeight(m_grid->horizontalHeader()->sizeHint().height() +
                           qMax(1, rows) * m_grid->verticalHeader()->defaultSectionSize() + 2 * m_grid->frameWidth());
}

QHBoxLayout *RecordWindow::buttonRow() const
{
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton *button : {m_save, m_remove, m_cancel, m_exit})
        buttons->addWidget(button);
    return buttons;
}

void setLeavingTips(QPushButton *cancel, QPushButton *exit)
{
    const QString cancelTip = QStringLiteral("Annullamento delle modifiche");
    const QString exitTip = QStringLiteral("Uscita senza registrazione");
    cancel->setToolTip(cancelTip);
    cancel->setStatusTip(cancelTip);
    exit->setToolTip(exitTip);
    exit->setStatusTip(exitTip);
}

bool RecordWindow::eventFilter(QObject *watched, QEvent *event)
{
    // A message box or another window taking the focus is not leaving the
    // field, and on the way out (Annulla, Esci) the code no longer matters.
    if (watched == m_codeField && m_codeField && leavesField(event, {m_cancel, m_exit}))
        checkCode();
    auto *line = qobject_cast<QLineEdit *>(watched);
    if (line && m_watched.contains(line) && line->isModified() && leavesField(event, {m_cancel, m_exit, m_quiet})) {
        line->setModified(false);
        fieldLeft(line);
    }
    return QDialog::eventFilter(watched, event);
}

void RecordWindow::watchField(QLineEdit *field)
{
    m_watched << field;
    field->installEventFilter(this);
}

void RecordWindow::fieldLeft(QLineEdit *)
{
}

bool RecordWindow::confirm(const QString &question, bool yesNo, std::optional<Services::Prompter::Button> defaultButton)
{
    using Services::Prompter;
    const Prompter::Button answer =
        m_context.prompter.ask(question, messageTitle(), Prompter::Icon::Question,
                               yesNo ? Prompter::Buttons::YesNo : Prompter::Buttons::OkCancel, defaultButton);
    return answer == (yesNo ? Prompter::Button::Yes : Prompter::Button::Ok);
}

void RecordWindow::refuse(const QString &text, QWidget *field)
{
    m_context.prompter.warn(text, QStringLiteral("Errore!"));
    if (field)
        field->setFocus(Qt::OtherFocusReason);
}

void RecordWindow::sayDeletedElsewhere()
{
    m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), messageTitle());
}

} // namespace Orlavo::Ui
