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

QListWidget *listOf(QWidget &window)
{
    return window.findChild<QListWidget *>("tabulati");
}

} // namespace

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
// OK gives the entries selected, in the list's order, a double click only
// that entry, whatever else is selected by then. A cancelled choice is the
// print's case above.
TEST(LisStam, TheRealWindowIsModal)
{
    for (const bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick);
        QStringList shown;
        QTimer::singleShot(0, [&shown, doubleClick] {
            auto *window = qobject_cast<LisStam *>(QApplication::activeModalWidget());
            if (!window)
                return;
            QListWidget *list = listOf(*window);
            for (int row = 0; row < list->count(); ++row)
                shown.append(list->item(row)->text());
            // What the system sends for a double click: a click, then the double click.
            const QPoint place = list->visualItemRect(list->item(2)).center();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
            list->item(1)->setSelected(true);
            if (doubleClick)
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place);
            else
                window->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
        const QStringList expected =
            doubleClick ? QStringList{kChoices[2].path} : QStringList{kChoices[1].path, kChoices[2].path};
        EXPECT_EQ(pathsOf(askWithLisStam(kChoices)), expected);
        EXPECT_EQ(shown,
                  (QStringList{"Documento di trasporto A4", "Documento di trasporto su carta bianca", "ddt_pers.rpt"}));
    }
}
