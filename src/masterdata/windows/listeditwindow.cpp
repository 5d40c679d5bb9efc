#include "masterdata/windows/listeditwindow.h"

#include "masterdata/rules/itemprices.h"
#include "masterdata/rules/pricelistrules.h"
#include "services/core/concurrency.h"
#include "services/core/values.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace Orlavo::Masterdata {

using Services::Prompter;
using Services::WriteEnd;

namespace {

constexpr char kListeditwindowConfirm[] = "Confermi aggiornamenti ?";

} // namespace

ListEditWindow::ListEditWindow(Ui::AppContext &context, const Services::FamilyDef &family, const QString &name,
                               const QString &title, bool inserting, QWidget *parent)
    : FormWindow(context, family, parent), m_familyDef(family), m_inserting(inserting)
{
    setObjectName(name);
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    m_grid = new QGridLayout(page(title));
    m_tabs->tabBar()->hide();
    m_tabs->setDocumentMode(true);
}

void ListEditWindow::addButtons()
{
    m_grid->setRowStretch(m_grid->rowCount(), 1);
    m_grid->setColumnStretch(m_grid->columnCount(), 1);
    auto *row = new QHBoxLayout;
    auto button = [this, row](const QString &caption, const char *name) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        row->addWidget(b);
        return b;
    };
    row->addStretch(1);
    QPushButton *save = button(QStringLiteral("&Registra"), "B_Registra");
    QPushButton *cancelButton = button(QStringLiteral("&Annulla"), "B_Annulla");
    m_delete = button(QStringLiteral("&Elimina"), "B_Elimina");
    QPushButton *exit = button(QStringLiteral("E&sci"), "B_Esci");
    m_delete->setVisible(!m_inserting);
    connect(save, &QPushButton::clicked, this, [this] { this->save(); });
    connect(cancelButton, &QPushButton::clicked, this, [this] { cancel(); });
    connect(m_delete, &QPushButton::clicked, this, [this] { remove(); });
    connect(exit, &QPushButton::clicked, this, [this] { close(); });
    setWaysOut({cancelButton, exit});
    static_cast<QVBoxLayout *>(layout())->addLayout(row);
    attachLookups();
}

void ListEditWindow::display(const Services::Record &record)
{
    m_stored = record;
    m_form->load(record);
    // Descriptions first: a window may name a code the tables do not hold.
    showDescriptions();
    formatFields();
}

void ListEditWindow::sayMissing(const QString &message)
{
    m_loaded = false;
    m_context.prompter.error(message, QStringLiteral("Errore ...... "));
}

void ListEditWindow::lock(const QString &name)
{
    if (auto *line = qobject_cast<Ui::InputField *>(field(name)))
        line->setReadOnly(true);
    else if (QWidget *widget = field(name))
        widget->setEnabled(false);
}

void ListEditWindow::showNumber(const QString &name, double value, int decimals)
{
    // A field shows its nought too ("0,00").
    setValue(name, QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(',')));
}

void ListEditWindow::padDiscounts(const QStringList &names)
{
    for (const QString &name : names) {
        auto *line = qobject_cast<QLineEdit *>(field(name));
        if (!line)
            continue;
        connect(
            line, &QLineEdit::editingFinished, this,
            [this, name] {
                const QString shown = value(name).trimmed();
                if (!shown.isEmpty())
                    setValue(name, discountText(Services::sqlNumber(shown, 2).toDouble()));
            },
            Qt::QueuedConnection);
    }
}

double ListEditWindow::number(const QString &name) const
{
    return Services::sqlNumber(value(name), kMostPriceDecimals).toDouble();
}

Services::Record ListEditWindow::typed() const
{
    return m_form->read(m_stored);
}

bool ListEditWindow::hasChanges() const
{
    return m_loaded && m_form->hasChanges();
}

bool ListEditWindow::save()
{
    if (!m_loaded || !m_context.db.checkWriteRights() || !hasChanges())
        return false;
    const Services::Record row = typed();
    const auto speaker = m_form->showProblems(problems(row));
    if (speaker) {
        m_context.prompter.error(speaker->message, QStringLiteral("Errore!"));
        return false;
    }
    if (m_context.prompter.ask(QString::fromLatin1(kListeditwindowConfirm), windowTitle(), Prompter::Icon::Question,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    if (!m_inserting &&
        Services::compareStored(m_context.db, m_familyDef, m_stored) == Services::StoredState::Changed &&
        m_context.prompter.ask(Services::Concurrency::changedElsewhere(), windowTitle(), Prompter::Icon::Warning,
                               Prompter::Buttons::OkCancel) != Prompter::Button::Ok)
        return false;
    const Services::WriteResult result = write(row);
    switch (result.end) {
    case WriteEnd::Written: break;
    case WriteEnd::Duplicate:
        m_form->showProblems({{result.column, duplicateMessage()}});
        m_context.prompter.error(duplicateMessage(), QStringLiteral("Errore!"));
        return false;
    case WriteEnd::Gone:
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
        return false;
    default: return false;
    }
    if (m_inserting) {
        display(emptyRow());
    } else if (auto again = reread()) {
        display(*again);
    }
    written();
    return true;
}

void ListEditWindow::cancel()
{
    if (!mayDropChanges())
        return;
    display(m_stored);
}

bool ListEditWindow::remove()
{
    if (m_inserting || !m_loaded || !m_context.db.checkWriteRights())
        return false;
    const QString refusal = deleteRefusal();
    if (!refusal.isEmpty()) {
        m_context.prompter.error(refusal, windowTitle());
        return false;
    }
    if (m_context.prompter.ask(deleteQuestion(), windowTitle(), Prompter::Icon::Question, Prompter::Buttons::YesNo,
                               Prompter::Button::No) != Prompter::Button::Yes)
        return false;
    const Services::WriteResult result = erase();
    if (result.end == WriteEnd::Gone)
        m_context.prompter.warn(Services::Concurrency::deletedElsewhere(), windowTitle());
    else if (result.end == WriteEnd::ChangedElsewhere)
        m_context.prompter.warn(Services::Concurrency::changedElsewhere(), windowTitle());
    if (!result.written())
        return false;
    written();
    setClosing();
    close();
    return true;
}

void ListEditWindow::written()
{
    if (m_onWritten)
        m_onWritten();
}

} // namespace Orlavo::Masterdata
