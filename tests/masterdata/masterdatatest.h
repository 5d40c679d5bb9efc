#pragma once

#include "contexttest.h"
#include "files.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

#include <initializer_list>

namespace Orlavo::Testing {

// The fields of a window marked as failing, by column, in order.
inline QStringList red(const QWidget &window)
{
    QStringList columns;
    for (const QWidget *widget : window.findChildren<QWidget *>()) {
        if (widget->objectName().startsWith(QLatin1String("T_")) && Ui::hasFieldError(widget))
            columns << widget->objectName().mid(2);
    }
    columns.sort();
    return columns;
}

// The operator types in a field and leaves it.
inline void leave(QLineEdit *field, const QString &text)
{
    field->setText(text);
    field->setModified(true);
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &leaving);
}

inline QString pdfText(const QString &path)
{
    return pdfPages(path).join(QLatin1Char('\n'));
}

// A master-data test on company "01", an administrator at work; seed()
// adds the test's own rows once the archives are open.
template <typename P = ScriptedPrompter> class MasterdataTest : public ContextTest<P>
{
protected:
    void SetUp() override
    {
        ContextTest<P>::SetUp();
        if (this->IsSkipped() || this->HasFatalFailure())
            return;
        this->context->state.userType = 2;
        seed();
    }

    virtual void seed() {}

    // The messages shown so far forgotten, the next answers queued.
    void answer(std::initializer_list<Services::Prompter::Button> buttons = {})
    {
        this->prompter.clear();
        for (const Services::Prompter::Button b : buttons)
            this->prompter.queue(b);
    }

    // A committed value, as text.
    QString text(const QString &sql) const { return this->archives->scalar(sql).toString(); }
    int count(const QString &table) const { return this->archives->count(table); }
};

// The same with the standard data of a new company and its party counters.
template <typename P = ScriptedPrompter> class StandardDataTest : public MasterdataTest<P>
{
protected:
    void seed() override { this->addStandardData(); }
};

} // namespace Orlavo::Testing
