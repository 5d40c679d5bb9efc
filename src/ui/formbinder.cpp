#include "ui/formbinder.h"

#include "services/data/prompter.h"
#include "ui/fieldlook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

namespace Orlavo::Ui {

using Services::Prompter;

FormBinder::FormBinder(QWidget *window) : QObject(window), m_window(window) {}

void FormBinder::bind(const QString &name, QWidget *widget, int part, const QString &column)
{
    if (!m_fields.contains(name))
        m_order << name;
    m_fields.insert(name, Field{widget, part, column});
}

QString FormBinder::nameOf(const QObject *widget) const
{
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        if (it->widget == widget)
            return it.key();
    }
    return {};
}

QString FormBinder::fieldOf(const QString &column) const
{
    if (m_fields.contains(column))
        return column;
    for (const QString &name : m_order) {
        if (m_fields.value(name).column == column)
            return name;
    }
    return {};
}

const Services::ColumnDef *FormBinder::columnOf(const Field &field) const
{
    if (field.part >= m_shown.partCount())
        return nullptr;
    return m_shown.part(field.part).def().column(field.column);
}

QString FormBinder::text(const QString &name) const
{
    QWidget *widget = m_fields.value(name).widget;
    if (auto *line = qobject_cast<QLineEdit *>(widget))
        return line->text();
    if (auto *combo = qobject_cast<QComboBox *>(widget))
        return combo->currentData().toString();
    if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        const Services::ColumnDef *column = columnOf(m_fields.value(name));
        return column ? Services::flagText(*column, check->isChecked())
                      : (check->isChecked() ? QStringLiteral("S") : QStringLiteral("N"));
    }
    return {};
}

void FormBinder::setText(const QString &name, const QString &text)
{
    QWidget *widget = m_fields.value(name).widget;
    if (auto *line = qobject_cast<QLineEdit *>(widget)) {
        line->setText(text);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const QString code = text.trimmed();
        // Codes compare ignoring case, as the archives' keys do.
        int index = combo->findData(code, Qt::UserRole, Qt::MatchFixedString);
        if (index < 0) {
            // A code no longer in its table still shows, and fails its check.
            combo->addItem(code, code);
            index = combo->count() - 1;
        }
        combo->setCurrentIndex(index);
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        const Services::ColumnDef *column = columnOf(m_fields.value(name));
        const QString on = column ? Services::flagText(*column, true) : QStringLiteral("S");
        check->setChecked(text.trimmed().compare(on, Qt::CaseInsensitive) == 0);
    }
}

void FormBinder::load(const Services::Record &record)
{
    m_shown = record;
    for (const QString &name : m_order) {
        const Field &field = m_fields.value(name);
        const Services::ColumnDef *column = columnOf(field);
        if (!column)
            continue;
        setText(name, Services::shownText(*column, record.part(field.part).value(field.column)));
        if (auto *line = qobject_cast<QLineEdit *>(field.widget.data()))
            line->setModified(false);
    }
    // A blank flag shows as its box: measure changes against what shows.
    m_shown = read(record);
    clearFieldErrors(m_window);
}

Services::Record FormBinder::read(const Services::Record &base) const
{
    Services::Record record = base;
    for (const QString &name : m_order) {
        const Field &field = m_fields.value(name);
        if (field.part < record.partCount() && record.part(field.part).def().column(field.column))
            record.part(field.part).setText(field.column, text(name));
    }
    return record;
}

bool FormBinder::hasChanges() const
{
    return !(read(m_shown) == m_shown);
}

void FormBinder::markField(const QString &name, bool failing)
{
    if (QWidget *widget = m_fields.value(name).widget)
        markFieldError(widget, failing);
}

void FormBinder::focusField(const QString &name)
{
    QWidget *widget = m_fields.value(name).widget;
    if (!widget)
        return;
    if (m_tabs) {
        for (int tab = 0; tab < m_tabs->count(); ++tab) {
            if (m_tabs->widget(tab)->isAncestorOf(widget))
                m_tabs->setCurrentIndex(tab);
        }
    }
    widget->setFocus(Qt::OtherFocusReason);
}

std::optional<Services::FieldProblem> FormBinder::showProblems(const QList<Services::FieldProblem> &problems,
                                                               bool firstSpeaks)
{
    clearFieldErrors(m_window);
    for (const Services::FieldProblem &problem : problems)
        markField(fieldOf(problem.column), true);
    if (problems.isEmpty())
        return std::nullopt;
    const Services::FieldProblem speaker = firstSpeaks ? problems.first() : problems.last();
    focusField(fieldOf(speaker.column));
    return speaker;
}

bool FormBinder::mayDropChanges(Prompter &prompter, const QString &question, const QString &title) const
{
    return !hasChanges() ||
           prompter.ask(question, title, Prompter::Icon::Question, Prompter::Buttons::YesNo) == Prompter::Button::Yes;
}

} // namespace Orlavo::Ui
