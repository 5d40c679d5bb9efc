#include "masterdata/windows/formwindow.h"

#include "masterdata/windows/codedlookups.h"
#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/formbinder.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>

namespace Orlavo::Masterdata {

FormWindow::FormWindow(Ui::AppContext &context, const Services::FamilyDef &family, QWidget *parent)
    : QDialog(parent), m_context(context), m_family(family)
{
    m_form = new Ui::FormBinder(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("Tabs"));
    m_form->setTabs(m_tabs);
}

bool FormWindow::mayDropChanges()
{
    return !hasChanges() ||
           m_context.prompter.ask(QStringLiteral("Rinuncia operazioni su record corrente?"), windowTitle(),
                                  Services::Prompter::Icon::Question,
                                  Services::Prompter::Buttons::YesNo) == Services::Prompter::Button::Yes;
}

void FormWindow::closeEvent(QCloseEvent *event)
{
    if (!closing() && !mayDropChanges()) {
        event->ignore();
        return;
    }
    setClosing();
    QDialog::closeEvent(event);
}

bool FormWindow::prefixed(const QString &name) const
{
    return std::any_of(m_prefixes.begin(), m_prefixes.end(),
                       [&name](const QString &prefix) { return name.startsWith(prefix); });
}

void FormWindow::showDescriptions()
{
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it)
        showDescription(it.key());
}

QWidget *FormWindow::page(const QString &title)
{
    auto *widget = new QWidget(m_tabs);
    m_tabs->addTab(widget, title);
    return widget;
}

std::pair<int, QString> FormWindow::placeOf(const QString &name) const
{
    for (auto it = m_prefixes.begin(); it != m_prefixes.end(); ++it) {
        if (name.startsWith(it.value()))
            return {it.key(), name.mid(it.value().size())};
    }
    const auto &parts = m_family.parts;
    for (int part = 0; part < parts.size(); ++part) {
        if (parts.at(part).def->column(name))
            return {part, name};
    }
    return {0, name};
}

void FormWindow::bindField(const QString &name, QWidget *widget)
{
    widget->setObjectName(QStringLiteral("T_") + name);
    const auto [part, column] = placeOf(name);
    m_form->bind(name, widget, part, column);
}

QWidget *FormWindow::addLine(const QString &name, int length, const QString &kind, int decimals)
{
    Ui::InputField *field = nullptr;
    if (kind == QLatin1String("D"))
        field = new Ui::DateField(this);
    else if (kind == QLatin1String("N"))
        field = new Ui::NumberField(decimals, false, this);
    else if (kind == QLatin1String("C"))
        field = new Ui::CodeField(length, this);
    else
        field = new Ui::TextField(length, this);
    if (kind != QLatin1String("D") && kind != QLatin1String("N"))
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    if (length > 0 && length <= 7)
        field->setMaximumWidth(20 + 11 * length);
    bindField(name, field);
    field->installEventFilter(this);
    return field;
}

QWidget *FormWindow::addCombo(const QString &name)
{
    auto *combo = new QComboBox(this);
    bindField(name, combo);
    combo->installEventFilter(this);
    return combo;
}

QWidget *FormWindow::addCheck(const QString &name, const QString &caption)
{
    auto *check = new QCheckBox(caption, this);
    bindField(name, check);
    return check;
}

QLabel *FormWindow::addDescription(const QString &name)
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("D_DESC_") + name);
    label->setMinimumWidth(180);
    m_descriptions.insert(name, label);
    return label;
}

QWidget *FormWindow::addCoded(const QString &name, int length)
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(addLine(name, length, QStringLiteral("C")));
    row->addWidget(addDescription(name), 1);
    return box;
}

void FormWindow::put(QGridLayout *grid, int row, int col, const QString &caption, QWidget *field, int span)
{
    auto *label = new QLabel(caption);
    label->setBuddy(field);
    grid->addWidget(label, row, col);
    grid->addWidget(field, row, col + 1, 1, span);
}

void FormWindow::fillFromList(const QString &name, const QList<std::pair<QString, QString>> &items)
{
    auto *combo = static_cast<QComboBox *>(field(name));
    combo->addItem(QString(), QString());
    for (const auto &[shown, code] : items)
        combo->addItem(shown, code);
}

void FormWindow::fillFromTable(const QString &name, const QString &table, const QString &keyColumn)
{
    QList<std::pair<QString, QString>> items;
    if (m_context.db.companyOpen()) {
        auto rows = m_context.db.openRecordset(
            QStringLiteral("SELECT %1, DESCRIZIONE FROM %2 ORDER BY DESCRIZIONE").arg(keyColumn, table), {},
            Services::databaseOf(table));
        if (rows) {
            for (const auto &row : *rows)
                items.append({row.text(QStringLiteral("DESCRIZIONE")), row.text(keyColumn)});
        }
    }
    fillFromList(name, items);
}

QWidget *FormWindow::field(const QString &name) const
{
    return m_form->widget(name);
}

void FormWindow::setValue(const QString &name, const QString &text)
{
    m_form->setText(name, text);
}

QString FormWindow::value(const QString &name) const
{
    return m_form->text(name);
}

void FormWindow::showDescription(const QString &name)
{
    QLabel *label = m_descriptions.value(name);
    const CodedLookup *lookup = partyLookup(m_form->columnOfField(name));
    if (label && lookup)
        label->setText(codedDescription(m_context.db, *lookup, value(name)));
}

void FormWindow::focusField(const QString &name)
{
    m_form->focusField(name);
}

Ui::LookupRequest FormWindow::lookupList(const QString &column) const
{
    const CodedLookup *lookup = partyLookup(column);
    return lookup ? codedLookupList(*lookup) : Ui::LookupRequest{};
}

void FormWindow::attachLookups()
{
    for (auto it = m_descriptions.begin(); it != m_descriptions.end(); ++it) {
        const QString name = it.key();
        auto *code = qobject_cast<Ui::CodeField *>(field(name));
        if (!partyLookup(m_form->columnOfField(name)) || !code)
            continue;
        // The column asked when the list opens: a field may change its column.
        Ui::attachLookup(code, m_context, [this, name] { return lookupList(m_form->columnOfField(name)); });
        connect(
            code, &Ui::CodeField::lookupRequested, this, [this, name] { showDescription(name); }, Qt::QueuedConnection);
    }
}

bool FormWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving a field for another runs its assistance; a message box or
    // list taking the focus, or the way out, does not.
    const QString name = m_form->nameOf(watched);
    if (!m_closing && !name.isEmpty() && Ui::leavesField(event, {m_waysOut.value(0), m_waysOut.value(1)})) {
        auto *line = qobject_cast<Ui::InputField *>(watched);
        if (line && line->isModified()) {
            line->setModified(false);
            leaveField(name);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace Orlavo::Masterdata
