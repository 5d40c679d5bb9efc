#pragma once

#include "contexttest.h"
#include "files.h"
#include "reporting/stores/reportdata.h"
#include "services/core/record.h"
#include "ui/fieldlook.h"
#include "ui/lookuplist.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

#include <initializer_list>
#include <memory>
#include <vector>

namespace Orlavo::Testing {

// The master-data windows' confirmation questions.
inline const QString kConfirmRegistrations = QStringLiteral("Confermi registrazioni?");
inline const QString kConfirmUpdates = QStringLiteral("Confermi aggiornamenti ?");

// A filter set of type F with what `set` gives it.
template <typename F> F with(auto set)
{
    F f;
    set(f);
    return f;
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

// The values in a column of the rows a list loads, its title checked.
inline QStringList listValues(Ui::AppContext &context, const Ui::LookupRequest &request, const QString &title,
                              int column = 0)
{
    Ui::LookupList list(context, request);
    EXPECT_EQ(list.windowTitle(), title);
    EXPECT_TRUE(list.load());
    QStringList values;
    for (int row = 0; row < list.rowCount(); ++row)
        values << list.values(row).at(column);
    return values;
}

// The texts of a column of the window's grid, top to bottom.
inline QStringList gridColumn(const QWidget &window, int column)
{
    const auto *grid = window.findChild<QTableWidget *>();
    QStringList cells;
    for (int row = 0; grid && row < grid->rowCount(); ++row)
        cells << grid->item(row, column)->text();
    return cells;
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

// Each problem as "COLUMN:message", in order, or its message alone.
inline QStringList problemTexts(const QList<Services::FieldProblem> &problems, bool withColumn = true)
{
    QStringList texts;
    for (const Services::FieldProblem &p : problems)
        texts << (withColumn ? p.column + QLatin1Char(':') + p.message : p.message);
    return texts;
}

// A main window keeping what the menu entries open: a single window by its
// name, a task window as "name|tag|title".
struct WindowKeeper : Ui::WindowHost {
    QStringList opened;
    std::vector<std::unique_ptr<QWidget>> windows;
    void openSingle(const QString &name, const std::function<QWidget *()> &create) override
    {
        opened << name;
        windows.emplace_back(create());
    }
    bool registerOpenWindow(const QString &) override { return false; }
    void unregisterOpenWindow(const QString &) override {}
    QMdiSubWindow *showTaskWindow(QWidget *window, const QString &name, const QString &tag) override
    {
        opened << name + QLatin1Char('|') + tag + QLatin1Char('|') + window->windowTitle();
        windows.emplace_back(window);
        return nullptr;
    }
    QWidget *hostWidget() override { return nullptr; }
};

inline QString pdfText(const QString &path)
{
    return pdfPages(path).join(QLatin1Char('\n'));
}

// A print's text holds every present text and none of the absent ones.
inline void expectAll(const QString &text, const QStringList &present, const QStringList &absent)
{
    for (const QString &p : present)
        EXPECT_TRUE(text.contains(p)) << "missing " << p.toStdString() << "\n" << text.toStdString();
    for (const QString &a : absent)
        EXPECT_FALSE(text.contains(a)) << "unexpected " << a.toStdString() << "\n" << text.toStdString();
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

    // Another workstation runs sql while the question is open.
    void elsewhereOn(const QString &question, const QString &sql)
    {
        this->prompter.onText = question;
        this->prompter.action = [this, sql] { EXPECT_TRUE(Workstation(this->archives->config()).exec(sql)); };
    }

    // A PDF file of the test's own.
    QString pdf(const QString &name = QStringLiteral("stampa")) const
    {
        return this->archives->folder() + name + QStringLiteral(".pdf");
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

// A fixture holding the window under test, closed before the archives go.
template <typename W, typename Base> class WindowFixture : public Base
{
protected:
    void TearDown() override
    {
        window.reset();
        Base::TearDown();
    }

    std::unique_ptr<W> window;
};

} // namespace Orlavo::Testing
