#include "sales/windows/documentfields.h"

#include "services/core/values.h"
#include "ui/appcontext.h"
#include "ui/fieldlook.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QTabWidget>

namespace Orlavo::Sales {

DocumentFields::DocumentFields(Ui::AppContext &context, QWidget *owner, std::function<void(const QString &)> left)
    : QObject(owner), m_context(context), m_owner(owner), m_left(std::move(left))
{
}

Ui::InputField *DocumentFields::add(const QString &column, Ui::InputField *field, int width, bool typed)
{
    field->setObjectName((typed ? QStringLiteral("T_") : QStringLiteral("D_")) + column);
    field->setFixedWidth(width);
    field->setReadOnly(!typed);
    if (typed) {
        field->installEventFilter(this);
        field->setUpperCaseSwitch(&m_context.state.upperCaseKeys);
    } else {
        field->setFocusPolicy(Qt::NoFocus);
    }
    if (auto *number = qobject_cast<Ui::NumberField *>(field))
        number->setAlignment(Qt::AlignRight);
    m_fields.insert(column, field);
    m_order.append(column);
    return field;
}

QWidget *DocumentFields::addCoded(const QString &column, int length, int width, const CodeSource &source,
                                  std::function<Ui::LookupRequest()> list, int descriptionWidth)
{
    auto *holder = new QWidget(m_owner);
    auto *row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    auto *code = new Ui::CodeField(length, holder);
    add(column, code, width);
    Ui::attachLookup(code, m_context, std::move(list));
    Ui::leaveOnPick(code, this, [this, column] {
        describe(column);
        m_left(column);
    });
    row->addWidget(code);
    auto *label = new QLabel(holder);
    label->setObjectName(QStringLiteral("D_DESC_") + column);
    label->setMinimumWidth(descriptionWidth);
    row->addWidget(label, 1);
    m_descriptions.insert(column, label);
    m_sources.insert(column, source);
    return holder;
}

QLabel *DocumentFields::addLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("D_") + name);
    m_labels.insert(name, label);
    return label;
}

QString DocumentFields::value(const QString &column) const
{
    const Ui::InputField *f = field(column);
    return f ? f->text().trimmed() : QString();
}

void DocumentFields::setValue(const QString &column, const QString &text)
{
    if (Ui::InputField *f = field(column))
        f->setText(text);
    if (m_sources.contains(column))
        describe(column);
}

void DocumentFields::setNumber(const QString &column, double value, int decimals)
{
    setValue(column, value == 0 ? QString() : Services::formatPlain(value, decimals));
}

double DocumentFields::number(const QString &column, int decimals) const
{
    return Services::sqlNumber(value(column), decimals).toDouble();
}

QString DocumentFields::description(const QString &column) const
{
    const QLabel *l = m_descriptions.value(column);
    return l ? l->text() : QString();
}

void DocumentFields::setDescription(const QString &column, const QString &text)
{
    if (QLabel *l = m_descriptions.value(column))
        l->setText(text);
}

bool DocumentFields::describe(const QString &column)
{
    const auto source = m_sources.find(column);
    if (source == m_sources.end())
        return true;
    const auto found = codeDescription(m_context.db, *source, value(column));
    setDescription(column, found.value_or(QString()));
    return found.has_value() || value(column).isEmpty();
}

void DocumentFields::clear()
{
    for (Ui::InputField *f : std::as_const(m_fields))
        f->clear();
    for (QLabel *l : std::as_const(m_descriptions))
        l->clear();
    for (QLabel *l : std::as_const(m_labels))
        l->clear();
    for (Ui::InputField *f : std::as_const(m_fields))
        Ui::markFieldError(f, false);
}

QString DocumentFields::snapshot() const
{
    QStringList texts;
    for (const QString &column : m_order)
        texts.append(value(column));
    return texts.join(QChar(0x1f));
}

void DocumentFields::mark(const QString &column, bool failing)
{
    if (Ui::InputField *f = field(column))
        Ui::markFieldError(f, failing);
}

void DocumentFields::focus(const QString &column)
{
    Ui::InputField *f = field(column);
    if (!f)
        return;
    if (m_tabs) {
        for (int i = 0; i < m_tabs->count(); ++i) {
            if (m_tabs->widget(i)->isAncestorOf(f))
                m_tabs->setCurrentIndex(i);
        }
    }
    f->setFocus();
}

bool DocumentFields::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && Ui::leavesField(event)) {
        auto *f = qobject_cast<Ui::InputField *>(watched);
        if (f && f->isModified()) {
            f->setModified(false);
            const QString column = m_fields.key(f);
            describe(column);
            m_left(column);
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace Orlavo::Sales
