#include "ui/lisstam.h"

#include "scriptedprompter.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Services::Prompter;
using Orlavo::Testing::ScriptedPrompter;

namespace {

ReportEntry entry(const QString &key, const QString &description, const QString &file)
{
    return ReportEntry{QLatin1Char('1'), key, QStringLiteral("/rpt/") + file, description, QStringLiteral("C")};
}

const QString kDoc = QStringLiteral("DOCTRAS");

// Three reports for the transport document, one for provinces.
QList<ReportEntry> sampleList()
{
    return {entry(kDoc, QStringLiteral("Documento di trasporto A4"), QStringLiteral("ddt.rpt")),
            entry(QStringLiteral("TABPROV"), QStringLiteral("Province"), QStringLiteral("prov.rpt")),
            entry(kDoc, QStringLiteral("Documento di trasporto su carta bianca"), QStringLiteral("ddt_b.rpt")),
            entry(kDoc, QString(), QStringLiteral("ddt_pers.rpt"))};
}

QStringList pathsOf(const QList<ReportEntry> &entries)
{
    QStringList paths;
    for (const ReportEntry &e : entries)
        paths.append(e.path);
    return paths;
}

QListWidget *listOf(LisStam &window)
{
    return window.findChild<QListWidget *>(QStringLiteral("tabulati"));
}

QPushButton *buttonOf(LisStam &window, QDialogButtonBox::StandardButton which)
{
    auto *box = window.findChild<QDialogButtonBox *>();
    return box ? box->button(which) : nullptr;
}

} // namespace

TEST(LisStam, ShowsTheDescriptionsUnderItsTitle)
{
    const QList<ReportEntry> choices = entriesForKey(sampleList(), kDoc);
    LisStam window(choices);
    window.show();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Lista Tabulati"));
    QStringList labels;
    for (const QLabel *label : window.findChildren<QLabel *>())
        labels.append(label->text());
    EXPECT_EQ(labels, QStringList{QStringLiteral("Selezionare il tabulato da stampare")});
    QListWidget *list = listOf(window);
    ASSERT_NE(list, nullptr);
    QStringList shown;
    for (int row = 0; row < list->count(); ++row)
        shown.append(list->item(row)->text());
    // An entry without a description shows its file name.
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("Documento di trasporto A4"),
                           QStringLiteral("Documento di trasporto su carta bianca"), QStringLiteral("ddt_pers.rpt")}));
    EXPECT_NE(buttonOf(window, QDialogButtonBox::Ok), nullptr);
    EXPECT_NE(buttonOf(window, QDialogButtonBox::Cancel), nullptr);
    for (const QWidget *input : window.findChildren<QWidget *>()) {
        if (qobject_cast<const QAbstractButton *>(input) || qobject_cast<const QAbstractItemView *>(input)) {
            SCOPED_TRACE(input->metaObject()->className());
            EXPECT_FALSE(input->objectName().isEmpty());
        }
    }
}

TEST(LisStam, OkGivesTheSelectedInListOrder)
{
    const QList<ReportEntry> choices = entriesForKey(sampleList(), kDoc);
    struct Case {
        const char *name;
        QList<int> clicked; // rows selected, in this order
        QList<int> chosen;
    };
    const QList<Case> cases = {
        {"first already selected", {}, {0}},
        {"second only", {1}, {1}},
        {"last then first", {2, 0}, {0, 2}},
        {"all backwards", {2, 1, 0}, {0, 1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LisStam window(choices);
        window.show();
        QListWidget *list = listOf(window);
        ASSERT_NE(list, nullptr);
        if (!c.clicked.isEmpty())
            list->clearSelection();
        for (const int row : c.clicked)
            list->item(row)->setSelected(true);
        QPushButton *ok = buttonOf(window, QDialogButtonBox::Ok);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_FALSE(window.isVisible());
        QList<ReportEntry> expected;
        for (const int row : c.chosen)
            expected.append(choices.at(row));
        EXPECT_EQ(pathsOf(window.chosen()), pathsOf(expected));
    }
}

TEST(LisStam, OkWithNothingSelectedKeepsTheWindowOpen)
{
    LisStam window(entriesForKey(sampleList(), kDoc));
    window.show();
    listOf(window)->clearSelection();
    QPushButton *ok = buttonOf(window, QDialogButtonBox::Ok);
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isEnabled());
    window.accept();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.chosen().isEmpty());
    listOf(window)->item(1)->setSelected(true);
    EXPECT_TRUE(ok->isEnabled());
}

TEST(LisStam, DoubleClickGivesThatEntry)
{
    const QList<ReportEntry> choices = entriesForKey(sampleList(), kDoc);
    for (const int row : {0, 1, 2}) {
        SCOPED_TRACE(row);
        LisStam window(choices);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QListWidget *list = listOf(window);
        ASSERT_NE(list, nullptr);
        // Other entries selected before the double click do not count.
        for (int other = 0; other < list->count(); ++other)
            list->item(other)->setSelected(other != row);
        const QRect place = list->visualItemRect(list->item(row));
        // What the system sends for a double click: a click, then the double click.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_EQ(pathsOf(window.chosen()), QStringList{choices.at(row).path});
    }
}

TEST(LisStam, CancelEscapeAndCloseGiveNothing)
{
    const QList<ReportEntry> choices = entriesForKey(sampleList(), kDoc);
    struct Case {
        const char *name;
        std::function<void(LisStam &)> leave;
    };
    const QList<Case> cases = {
        {"Annulla", [](LisStam &w) { QTest::mouseClick(buttonOf(w, QDialogButtonBox::Cancel), Qt::LeftButton); }},
        {"Esc", [](LisStam &w) { QTest::keyClick(listOf(w), Qt::Key_Escape); }},
        {"window closed", [](LisStam &w) { w.close(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LisStam window(choices);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        listOf(window)->item(2)->setSelected(true);
        c.leave(window);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.result(), QDialog::Rejected);
        EXPECT_TRUE(window.chosen().isEmpty());
    }
}

TEST(LisStam, ChoosingForAPrint)
{
    const QList<ReportEntry> list = sampleList();
    struct Case {
        const char *name;
        QString key;
        QList<int> answer;  // rows of the key's entries the window gives back
        QStringList chosen; // paths given
        int windows;        // times the window is asked
        QString openMode;   // after the choice, starting from "XX"
        QString message;    // empty: none
    };
    const QList<Case> cases = {
        {"several, two chosen", kDoc, {0, 2}, {list.at(0).path, list.at(3).path}, 1, QStringLiteral("SI"), {}},
        {"several, one chosen", kDoc, {1}, {list.at(2).path}, 1, QStringLiteral("SI"), {}},
        {"several, cancelled", kDoc, {}, {}, 1, QStringLiteral("NO"), {}},
        {"one entry", QStringLiteral("TABPROV"), {}, {list.at(1).path}, 0, QStringLiteral("XX"), {}},
        {"one entry, key in other case", QStringLiteral("tabprov"), {}, {list.at(1).path}, 0, QStringLiteral("XX"), {}},
        {"no entry",
         QStringLiteral("FATVEND_ACC"),
         {},
         {},
         0,
         QStringLiteral("XX"),
         QStringLiteral("Nessun tabulato per la stampa FATVEND_ACC")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPrompter prompter;
        QString openMode = QStringLiteral("XX");
        int windows = 0;
        QStringList offered;
        const ChoiceAsker ask = [&](const QList<ReportEntry> &choices) {
            ++windows;
            offered = pathsOf(choices);
            QList<ReportEntry> answer;
            for (const int row : c.answer)
                answer.append(choices.at(row));
            return answer;
        };

        const QList<ReportEntry> chosen = chooseReports(list, c.key, prompter, openMode, ask);

        EXPECT_EQ(pathsOf(chosen), c.chosen);
        EXPECT_EQ(windows, c.windows);
        EXPECT_EQ(openMode, c.openMode);
        if (c.windows > 0) {
            EXPECT_EQ(offered, pathsOf(entriesForKey(list, c.key)));
        }
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.shown().isEmpty()) << prompter.texts().join(QLatin1Char('|')).toStdString();
            continue;
        }
        ASSERT_EQ(prompter.shown().size(), 1);
        EXPECT_EQ(prompter.shown().first().text, c.message);
        EXPECT_EQ(prompter.shown().first().title, QStringLiteral("Errore"));
        EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Warning);
        EXPECT_EQ(prompter.shown().first().buttons, Prompter::Buttons::Ok);
    }
}

TEST(LisStam, TheRealWindowIsModal)
{
    const QList<ReportEntry> choices = entriesForKey(sampleList(), kDoc);
    struct Case {
        const char *name;
        bool confirm;
        QStringList chosen;
    };
    const QList<Case> cases = {
        {"confirmed", true, {choices.at(1).path, choices.at(2).path}},
        {"cancelled", false, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *window = qobject_cast<LisStam *>(QApplication::activeModalWidget());
            if (!window)
                return;
            seen = true;
            QListWidget *list = listOf(*window);
            list->clearSelection();
            list->item(2)->setSelected(true);
            list->item(1)->setSelected(true);
            if (c.confirm)
                buttonOf(*window, QDialogButtonBox::Ok)->click();
            else
                window->reject();
        });
        const QList<ReportEntry> chosen = askWithLisStam(choices);
        EXPECT_TRUE(seen);
        EXPECT_EQ(pathsOf(chosen), c.chosen);
    }
}

TEST(LisStam, FitsTheScreenWithTheLabelWhole)
{
    struct Case {
        const char *name;
        int count;
        int descriptionLength;
    };
    const QList<Case> cases = {
        {"two short", 2, 3},
        {"a few", 5, 40},
        {"many long", 120, 400},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QList<ReportEntry> choices;
        for (int i = 0; i < c.count; ++i)
            choices.append(entry(kDoc, QString(c.descriptionLength, QLatin1Char('W')) + QString::number(i),
                                 QStringLiteral("r%1.rpt").arg(i)));
        LisStam window(choices);
        window.show();
        QApplication::processEvents();
        EXPECT_LE(window.frameGeometry().width(), 1366);
        EXPECT_LE(window.frameGeometry().height(), 768);
        for (const QLabel *label : window.findChildren<QLabel *>()) {
            SCOPED_TRACE(label->text().toStdString());
            EXPECT_GE(label->width(), label->minimumSizeHint().width());
            EXPECT_GE(label->height(), label->minimumSizeHint().height());
        }
        // The list shows a row or more.
        QListWidget *list = listOf(window);
        ASSERT_NE(list, nullptr);
        EXPECT_GE(list->viewport()->height(), list->sizeHintForRow(0));
    }
}
