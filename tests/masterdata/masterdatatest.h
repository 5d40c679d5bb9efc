#pragma once

#include "contexttest.h"
#include "files.h"
#include "masterdata/stores/customerstore.h"
#include "ui/fieldlook.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>

#include <initializer_list>

namespace Orlavo::Testing {

// A customer written by the store: how the write ended, its code in *code.
inline Services::WriteEnd insertInto(Services::DataAccess &db, const Masterdata::Customer &customer, int *code)
{
    const auto written = Masterdata::insertCustomer(db, customer);
    *code = int(written.code);
    return written.end;
}

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

// A master-data test on company "01", an administrator at work.
template <typename P = ScriptedPrompter> class MasterdataTest : public ContextTest<P>
{
protected:
    void SetUp() override
    {
        ContextTest<P>::SetUp();
        if (!this->IsSkipped() && !this->HasFatalFailure())
            this->context->state.userType = 2;
    }

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

} // namespace Orlavo::Testing
