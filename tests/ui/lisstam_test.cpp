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

#include <functional>

using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Services::Prompter;

namespace {

ReportEntry entry(const QString &key, const QString &description, const QString &file)
{
    return ReportEntry{'1', key, "/rpt/" + file, description, "C"};
}

const QString kDoc = "DOCTRAS";

// Three reports for the transport document, one for provinces.
const QList<ReportEntry> kList = {entry(kDoc, "Documento di trasporto A4", "ddt.rpt"),
                                  entry("TABPROV", "Province", "prov.rpt"),
                                  entry(kDoc, "Documento di trasporto su carta bianca", "ddt_b.rpt"),
                                  entry(kDoc, QString(), "ddt_pers.rpt")};
const QList<ReportEntry> kChoices = entriesForKey(kList, kDoc);

QStringList pathsOf(const QList<ReportEntry> &entries)
{
    QStringList paths;
    for (const ReportEntry &e : entries)
        paths.append(e.path);
    return paths;
}

QStringList pathsOf(const QList<int> &rows)
{
    QStringList paths;
    for (const int row : rows)
        paths.append(kChoices.at(row).path);
    return paths;
}

QListWidget *listOf(QWidget &window) { return window.findChild<QListWidget *>("tabulati"); }

QPushButton *buttonOf(QWidget &window, QDialogButtonBox::StandardButton which)
{
    return window.findChild<QDialogButtonBox *>()->button(which);
}

} // namespace

TEST(LisStam, ShowsTheDescriptionsUnderItsTitle)
{
    LisStam window(kChoices);
    window.show();
    EXPECT_EQ(window.windowTitle(), "Lista Tabulati");
    QStringList labels;
    for (const QLabel *label : window.findChildren<QLabel *>())
        labels.append(label->text());
    EXPECT_EQ(labels, QStringList{"Selezionare il tabulato da stampare"});
    QStringList shown;
    for (int row = 0; row < listOf(window)->count(); ++row)
        shown.append(listOf(window)->item(row)->text());
    // An entry without a description shows its file name.
    EXPECT_EQ(shown, (QStringList{"Documento di trasporto A4", "Documento di trasporto su carta bianca", "ddt_pers.rpt"}));
    for (const QWidget *input : window.findChildren<QWidget *>()) {
        if (qobject_cast<const QAbstractButton *>(input) || qobject_cast<const QAbstractItemView *>(input)) {
            EXPECT_FALSE(input->objectName().isEmpty()) << input->metaObject()->className();
        }
    }
}

TEST(LisStam, OkGivesTheSelectedInListOrderAndNeedsASelection)
{
    const struct {
        const char *name;
        QList<int> clicked; // rows selected, in this order
        QList<int> chosen;
    } cases[] = {
        {"first already selected", {}, {0}},
        {"second only", {1}, {1}},
        {"last then first", {2, 0}, {0, 2}},
        {"all backwards", {2, 1, 0}, {0, 1, 2}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LisStam window(kChoices);
        window.show();
        if (!c.clicked.isEmpty())
            listOf(window)->clearSelection();
        for (const int row : c.clicked)
            listOf(window)->item(row)->setSelected(true);
        QTest::mouseClick(buttonOf(window, QDialogButtonBox::Ok), Qt::LeftButton);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(pathsOf(window.chosen()), pathsOf(c.chosen));
    }

    // Nothing selected: OK is off and the window stays.
    LisStam window(kChoices);
    window.show();
    listOf(window)->clearSelection();
    EXPECT_FALSE(buttonOf(window, QDialogButtonBox::Ok)->isEnabled());
    window.accept();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.chosen().isEmpty());
    listOf(window)->item(1)->setSelected(true);
    EXPECT_TRUE(buttonOf(window, QDialogButtonBox::Ok)->isEnabled());
}

TEST(LisStam, DoubleClickGivesThatEntryAndLeavingGivesNothing)
{
    for (const int row : {0, 2}) {
        SCOPED_TRACE(row);
        LisStam window(kChoices);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        QListWidget *list = listOf(window);
        // Other entries selected before the double click do not count.
        for (int other = 0; other < list->count(); ++other)
            list->item(other)->setSelected(other != row);
        // What the system sends for a double click: a click, then the double click.
        const QPoint place = list->visualItemRect(list->item(row)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
        EXPECT_EQ(window.result(), QDialog::Accepted);
        EXPECT_EQ(pathsOf(window.chosen()), pathsOf(QList<int>{row}));
    }

    const std::pair<const char *, std::function<void(LisStam &)>> leaving[] = {
        {"Annulla", [](LisStam &w) { QTest::mouseClick(buttonOf(w, QDialogButtonBox::Cancel), Qt::LeftButton); }},
        {"Esc", [](LisStam &w) { QTest::keyClick(listOf(w), Qt::Key_Escape); }},
        {"window closed", [](LisStam &w) { w.close(); }},
    };
    for (const auto &[name, leave] : leaving) {
        SCOPED_TRACE(name);
        LisStam window(kChoices);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        listOf(window)->item(2)->setSelected(true);
        leave(window);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.result(), QDialog::Rejected);
        EXPECT_TRUE(window.chosen().isEmpty());
    }
}

TEST(LisStam, ChoosingForAPrint)
{
    const struct {
        const char *name;
        QString key;
        QList<int> answer;  // rows of the key's entries the window gives back
        QStringList chosen; // paths given
        int windows;        // times the window is asked
        QString openMode;   // after the choice, starting from "XX"
    } cases[] = {
        {"several, two chosen", kDoc, {0, 2}, {kList[0].path, kList[3].path}, 1, "SI"},
        {"several, one chosen", kDoc, {1}, {kList[2].path}, 1, "SI"},
        {"several, cancelled", kDoc, {}, {}, 1, "NO"},
        {"one entry", "TABPROV", {}, {kList[1].path}, 0, "XX"},
        {"one entry, key in other case", "tabprov", {}, {kList[1].path}, 0, "XX"},
        {"no entry", "FATVEND_ACC", {}, {}, 0, "XX"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Orlavo::Testing::ScriptedPrompter prompter;
        QString openMode = "XX";
        int windows = 0;
        const ChoiceAsker ask = [&](const QList<ReportEntry> &choices) {
            ++windows;
            EXPECT_EQ(pathsOf(choices), pathsOf(entriesForKey(kList, c.key)));
            QList<ReportEntry> answer;
            for (const int row : c.answer)
                answer.append(choices.at(row));
            return answer;
        };
        EXPECT_EQ(pathsOf(chooseReports(kList, c.key, prompter, openMode, ask)), c.chosen);
        EXPECT_EQ(windows, c.windows);
        EXPECT_EQ(openMode, c.openMode);
        EXPECT_EQ(prompter.texts(), c.chosen.isEmpty() && !c.windows
                                        ? QStringList{"Nessun tabulato per la stampa FATVEND_ACC"}
                                        : QStringList());
        if (!prompter.shown().isEmpty()) {
            EXPECT_EQ(prompter.shown().first().title, "Errore");
            EXPECT_EQ(prompter.shown().first().icon, Prompter::Icon::Warning);
            EXPECT_EQ(prompter.shown().first().buttons, Prompter::Buttons::Ok);
        }
    }
}

TEST(LisStam, TheRealWindowIsModal)
{
    for (const bool confirm : {true, false}) {
        SCOPED_TRACE(confirm);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *window = qobject_cast<LisStam *>(QApplication::activeModalWidget());
            if (!window)
                return;
            seen = true;
            listOf(*window)->clearSelection();
            listOf(*window)->item(2)->setSelected(true);
            listOf(*window)->item(1)->setSelected(true);
            confirm ? buttonOf(*window, QDialogButtonBox::Ok)->click() : window->reject();
        });
        EXPECT_EQ(pathsOf(askWithLisStam(kChoices)), confirm ? pathsOf(QList<int>{1, 2}) : QStringList());
        EXPECT_TRUE(seen);
    }
}

TEST(LisStam, FitsTheScreenWithTheLabelWhole)
{
    for (const auto &[count, length] : {std::pair(2, 3), std::pair(5, 40), std::pair(120, 400)}) {
        SCOPED_TRACE(count);
        QList<ReportEntry> choices;
        for (int i = 0; i < count; ++i)
            choices.append(entry(kDoc, QString(length, 'W') + QString::number(i), QStringLiteral("r%1.rpt").arg(i)));
        LisStam window(choices);
        window.show();
        QApplication::processEvents();
        EXPECT_LE(window.frameGeometry().width(), 1366);
        EXPECT_LE(window.frameGeometry().height(), 768);
        for (const QLabel *label : window.findChildren<QLabel *>())
            EXPECT_TRUE(label->width() >= label->minimumSizeHint().width() &&
                        label->height() >= label->minimumSizeHint().height());
        // The list shows a row or more.
        EXPECT_GE(listOf(window)->viewport()->height(), listOf(window)->sizeHintForRow(0));
    }
}
