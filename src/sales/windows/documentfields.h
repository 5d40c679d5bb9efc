#pragma once

#include "sales/stores/invoiceentry.h"
#include "services/core/record.h"

#include <QHash>
#include <QObject>
#include <QStringList>

#include <functional>

class QLabel;
class QTabWidget;
class QWidget;

namespace Orlavo::Ui {
struct AppContext;
class CodeField;
class InputField;
struct LookupRequest;
} // namespace Orlavo::Ui

namespace Orlavo::Sales {

// The header fields of a document window by column: typed fields, coded
// ones with their description beside them and their list on F4, shown-only
// ones. Leaving a field the operator changed (or picking its code) calls
// the window's handler with the column; coded fields describe themselves
// first, and an unknown code clears the description.
class DocumentFields : public QObject
{
    Q_OBJECT
public:
    DocumentFields(Ui::AppContext &context, QWidget *owner, std::function<void(const QString &column)> left);

    Ui::InputField *add(const QString &column, Ui::InputField *field, int width, bool typed = true);
    // A code field and its description label, in one widget to lay out.
    QWidget *addCoded(const QString &column, int length, int width, const CodeSource &source,
                      std::function<Ui::LookupRequest()> list, int descriptionWidth = 160);
    // A label that shows what the window computes or reads (a customer's
    // address), by name.
    QLabel *addLabel(const QString &name, QWidget *parent);

    Ui::InputField *field(const QString &column) const { return m_fields.value(column); }
    QStringList columns() const { return m_order; }
    QString value(const QString &column) const;
    // Sets the text as the program does, without calling the handler.
    void setValue(const QString &column, const QString &text);
    void setNumber(const QString &column, double value, int decimals);
    double number(const QString &column, int decimals = 5) const;
    QString description(const QString &column) const;
    void setDescription(const QString &column, const QString &text);
    QLabel *label(const QString &name) const { return m_labels.value(name); }
    // Shows the description of a coded field again; false when the code is
    // given and unknown.
    bool describe(const QString &column);
    // Every field and description empty, no red marks.
    void clear();
    // The texts of every field, to tell later whether something changed.
    QString snapshot() const;

    // The tabs the fields sit on: a failing field's tab comes forward.
    void setTabs(QTabWidget *tabs) { m_tabs = tabs; }
    void mark(const QString &column, bool failing);
    // Brings the field's tab forward and gives it the focus.
    void focus(const QString &column);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::AppContext &m_context;
    QWidget *m_owner;
    std::function<void(const QString &)> m_left;
    QHash<QString, Ui::InputField *> m_fields;
    QStringList m_order;
    QHash<QString, QLabel *> m_descriptions;
    QHash<QString, CodeSource> m_sources;
    QHash<QString, QLabel *> m_labels;
    QTabWidget *m_tabs = nullptr;
};

} // namespace Orlavo::Sales
