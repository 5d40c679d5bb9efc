#pragma once

#include "contexttest.h"
#include "files.h"
#include "reporting/stores/reportdata.h"
#include "ui/fieldlook.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTimer>

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

// The next list the window opens chooses its row as soon as it shows, or
// is closed without a choice when the row is -1.
inline void pickInNextList(QWidget *window, int row)
{
    QTimer::singleShot(0, window, [row] {
        auto *list = qobject_cast<Ui::LookupList *>(QApplication::activeModalWidget());
        if (list && row < 0)
            list->reject();
        else if (list)
            list->choose(row);
    });
}

// The rows the report engine reads for the definition and the formula, in
// its order, each row's columns joined by "/".
inline QStringList reportRows(Services::DataAccess &db, const Reporting::ReportDefinition &definition,
                              const QString &formula, const QStringList &columns)
{
    const auto query = Reporting::buildReportQuery(db, definition, QStringLiteral("C"), formula);
    EXPECT_TRUE(query.ok()) << formula.toStdString() << ": "
                            << (query ? std::string() : query.failure().detail.toStdString());
    if (!query)
        return {};
    const auto read = Reporting::readReportRows(db, *query);
    EXPECT_TRUE(read.ok());
    QStringList rows;
    for (qsizetype row = 0; read && row < read->rows.size(); ++row) {
        QStringList values;
        for (const QString &column : columns)
            values << read->value(row, column).toString();
        rows << values.join(QLatin1Char('/'));
    }
    return rows;
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
