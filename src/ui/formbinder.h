#pragma once

#include "services/data/recordstore.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

class QTabWidget;
class QWidget;

namespace Orlavo::Services {
class Prompter;
} // namespace Orlavo::Services

namespace Orlavo::Ui {

// The fields of a record window bound to the columns of its record: line
// edits by their text, combo boxes by the code in their item data (a code no
// longer listed is added, so it shows and fails its check), check boxes as
// flags. Loads a record into the fields, reads the typed record back, tells
// whether the operator changed anything, and marks failing fields red with
// their tab brought forward.
class FormBinder : public QObject
{
    Q_OBJECT
public:
    explicit FormBinder(QWidget *window);

    // A field named `name` shows column `column` of part `part`.
    void bind(const QString &name, QWidget *widget, int part, const QString &column);
    // The tabs the fields sit on: a failing field's tab comes forward.
    void setTabs(QTabWidget *tabs) { m_tabs = tabs; }

    QWidget *widget(const QString &name) const { return m_fields.value(name).widget; }
    // The bound name of a widget; empty when it is no field.
    QString nameOf(const QObject *widget) const;
    QStringList names() const { return m_order; }
    // The field showing a column (of any part when the name is the column).
    QString fieldOf(const QString &column) const;
    // The column a field shows now.
    QString columnOfField(const QString &name) const { return m_fields.value(name).column; }

    // A field's text as a form holds it: a combo's code, a check box's
    // flag letters ("S"/"N", or its encoding's own such as "P"/"S").
    QString text(const QString &name) const;
    void setText(const QString &name, const QString &text);

    // Shows the record; what the operator changes is measured against it.
    void load(const Services::Record &record);
    // The record with every field's value read into `base`.
    Services::Record read(const Services::Record &base) const;
    // The fields differ from what load() showed.
    bool hasChanges() const;
    const Services::Record &shown() const { return m_shown; }

    // Every failing field red and the others clear; the one that speaks
    // (the last, or the first with `firstSpeaks`) comes forward with its tab
    // and is returned, so the window shows its message.
    std::optional<Services::FieldProblem> showProblems(const QList<Services::FieldProblem> &problems,
                                                       bool firstSpeaks = false);
    void markField(const QString &name, bool failing);
    // Brings the field's tab forward and gives it the focus.
    void focusField(const QString &name);

    // The close-with-changes question: true when the window may drop the
    // input (nothing changed, or the operator said Yes).
    bool mayDropChanges(Services::Prompter &prompter, const QString &question, const QString &title) const;

private:
    struct Field {
        QPointer<QWidget> widget;
        int part = 0;
        QString column;
    };
    const Services::ColumnDef *columnOf(const Field &field) const;

    QWidget *m_window;
    QTabWidget *m_tabs = nullptr;
    QHash<QString, Field> m_fields;
    QStringList m_order;
    Services::Record m_shown;
};

} // namespace Orlavo::Ui
