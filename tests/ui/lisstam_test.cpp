#include "ui/lisstam.h"

#include "fixtures.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Services::Prompter;
using Orlavo::Testing::expectRefused;

namespace {

ReportEntry entry(const QString &key, const QString &description, const QString &file)
{
    return ReportEntry{'1', key, "/rpt/" + file, description, "C"};
}

const QString kDoc = "DOCTRAS";

// Three reports for the transport document, one for provinces.
const QList<ReportEntry> kList = {
    entry(kDoc, "Documento di trasporto A4", "ddt.rpt"), entry("TABPROV", "Province", "prov.rpt"),
    entry(kDoc, "Documento di trasporto su carta bianca", "ddt_b.rpt"), entry(kDoc, QString(), "ddt_pers.rpt")};
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

QListWidget *listOf(QWidget &window)
{
    return window.findChild<QListWidget *>("tabulati");
}

QPushButton *buttonOf(QWidget &window, QDialogButtonBox::StandardButton which)
{
    return window.findChild<QDialogButtonBox *>()->button(which);
}

} // namespace

// A cancelled choice is the print's case below.
TEST(LisStam, DoubleClickGivesThatEntry)
{
    LisStam window(kChoices);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QListWidget *list = listOf(window);
    // What the system sends for a double click: a click, then the double click.
    const QPoint place = list->visualItemRect(list->item(2)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
    // Other entries selected by then do not count.
    list->item(0)->setSelected(true);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(pathsOf(window.chosen()), pathsOf(QList<int>{2}));
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
        {"several, cancelled", kDoc, {}, {}, 1, "NO"},
        {"one entry", "TABPROV", {}, {kList[1].path}, 0, "XX"},
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
        if (c.chosen.isEmpty() && !c.windows) {
            expectRefused(prompter, "Nessun tabulato per la stampa FATVEND_ACC", Prompter::Icon::Warning,
                          Prompter::Buttons::Ok, "Errore");
        } else {
            EXPECT_TRUE(prompter.shown().isEmpty());
        }
    }
}

// Modal, showing the descriptions (an entry without one by its file name);
// OK gives the entries selected, in the list's order.
TEST(LisStam, TheRealWindowIsModal)
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto *window = qobject_cast<LisStam *>(QApplication::activeModalWidget());
        if (!window)
            return;
        for (int row = 0; row < listOf(*window)->count(); ++row)
            shown.append(listOf(*window)->item(row)->text());
        listOf(*window)->clearSelection();
        listOf(*window)->item(2)->setSelected(true);
        listOf(*window)->item(1)->setSelected(true);
        buttonOf(*window, QDialogButtonBox::Ok)->click();
    });
    EXPECT_EQ(pathsOf(askWithLisStam(kChoices)), pathsOf(QList<int>{1, 2}));
    EXPECT_EQ(shown,
              (QStringList{"Documento di trasporto A4", "Documento di trasporto su carta bianca", "ddt_pers.rpt"}));
}
