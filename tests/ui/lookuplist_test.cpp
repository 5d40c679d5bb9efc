#include "contexttest.h"
#include "services/core/tablenames.h"
#include "ui/frmrpt.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace Orlavo;
using namespace Orlavo::Ui;
namespace Tables = Orlavo::Services::Tables;

namespace {

// Seven zones whose descriptions hold words, "%" and "_".
class LookupListTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void prepare() override
    {
        context->state.rowsList = 12;
        for (const char *row :
             {"'Z1', 'ROSSI'", "'Z2', 'MARIO ROSSI'", "'Z3', 'BAROSSO'", "'Z4', 'SCONTO 10% CASSA'",
              "'Z5', 'SCONTO 10 CASSA'", "'Z6', 'ROSA_ROSSA'", "'Z7', 'CONSORZIO AGRARIO DELLE VALLI'"})
            run(QStringLiteral("INSERT INTO TAB_ZONA (CODICE, DESCRIZIONE) VALUES (%1)").arg(QLatin1String(row)));
    }

    // The zones list with the description filtered by what was typed.
    static LookupRequest byDescription(const QString &typed = {})
    {
        LookupRequest request;
        request.table = Tables::TAB_ZONA;
        request.title = "Lista ZONE";
        request.columns = {{"CODICE", "04C", "CODICE"}, {"DESCRIZIONE", "40C" + typed, "DESCRIZIONE"}};
        return request;
    }

    // The first column of every row the list holds.
    static QStringList codes(const LookupList &list)
    {
        QStringList found;
        for (int row = 0; row < list.rowCount(); ++row)
            found.append(list.values(row).first());
        return found;
    }

    QStringList found(const LookupRequest &request)
    {
        LookupList list(*context, request);
        return list.load() ? codes(list) : QStringList();
    }
};

} // namespace

// The start of the value or of a word, whatever the case; "%" and "_" typed
// by the operator match themselves.
TEST_P(LookupListTest, TypedTextMatchesTheStartOfTheValueOrOfAWord)
{
    const std::pair<const char *, QStringList> cases[] = {
        {"ros", {"Z1", "Z2", "Z6"}},
        {"10%", {"Z4"}},
        {"ROS_", {}},
    };
    for (const auto &[typed, expected] : cases)
        EXPECT_EQ(found(byDescription(typed)), expected) << typed;
    // An empty result says so, once per list, and gives nothing.
    EXPECT_FALSE(showLookupList(*context, byDescription("ZZZ")).has_value());
    EXPECT_EQ(prompter.texts(), QStringList(2, "Non ci sono record."));
}

TEST_P(LookupListTest, ProgramConditionsStatementsAndLimitsShapeTheList)
{
    LookupRequest request = byDescription();
    request.condition = "CODICE <> 'Z1'";
    request.columns[0].format = "04XCODICE <= 'Z3'";
    EXPECT_EQ(found(request), (QStringList{"Z2", "Z3"}));

    // A statement of the program's own replaces the built one, its order kept.
    request.condition.clear();
    request.columns[0].format = "04KSELECT CODICE, DESCRIZIONE FROM TAB_ZONA WHERE CODICE IN ('Z4', 'Z2') "
                                "ORDER BY CODICE DESC";
    EXPECT_EQ(found(request), (QStringList{"Z4", "Z2"}));

    // Rows beyond the limit are left out, and the list says so.
    for (const int limit : {4, 7}) {
        SCOPED_TRACE(limit);
        LookupRequest limited = byDescription();
        limited.rowLimit = limit;
        LookupList list(*context, limited);
        ASSERT_TRUE(list.load());
        EXPECT_EQ(codes(list), QStringList({"Z1", "Z2", "Z3", "Z4", "Z5", "Z6", "Z7"}).mid(0, limit));
        EXPECT_EQ(list.limited(), limit == 4);
        const auto *note = list.findChild<QLabel *>("limite");
        EXPECT_EQ(note->isHidden(), limit != 4);
        EXPECT_EQ(note->text(),
                  QStringLiteral("Elenco limitato alle prime %1 righe: restringere la ricerca.").arg(limit));
    }
}

// A hidden column comes back with the chosen row.
TEST_P(LookupListTest, TypingJumpsToTheRowAndEnterEndsThePick)
{
    LookupRequest request = byDescription();
    request.columns.swapItemsAt(0, 1);
    request.columns[0].format = "10C";
    request.columns[1].format = "00C";
    LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_TRUE(list.view()->isColumnHidden(1));
    EXPECT_EQ(list.findPrefix("X"), -1);
    list.show();
    QTest::keyClicks(list.view(), "sconto 10 ");
    EXPECT_EQ(list.view()->currentIndex().row(), list.findPrefix("SCONTO 10 "));
    QTest::keyClick(list.view(), Qt::Key_Return);
    EXPECT_EQ(list.chosen(), QStringList({"SCONTO 10 CASSA", "Z5"}));
    EXPECT_EQ(list.result(), QDialog::Accepted);
}

// F4 or a double click on a code field asks for the list; the chosen code goes in it.
TEST_P(LookupListTest, F4OnACodeFieldPutsTheChosenCodeInIt)
{
    CodeField field(4);
    attachLookup(&field, *context, [] { return byDescription(); });
    field.show();
    QStringList listed;
    for (const int row : {1, 2}) {
        QTimer::singleShot(0, [&listed, row] {
            if (auto *list = qobject_cast<LookupList *>(QApplication::activeModalWidget())) {
                listed = codes(*list);
                list->choose(row);
            }
        });
        if (row == 1)
            QTest::keyClick(&field, Qt::Key_F4);
        else
            QTest::mouseDClick(&field, Qt::LeftButton);
        EXPECT_EQ(listed.size(), 7) << row;
        EXPECT_EQ(field.text(), row == 1 ? "Z2" : "Z3");
        EXPECT_TRUE(field.isModified());
        field.setModified(false);
    }
}

// A print list previews its report in its owner's window and makes way for it.
TEST_P(LookupListTest, APrintListsPreviewReplacesIt)
{
    useShippedReports();
    LookupRequest request = byDescription();
    request.mode = LookupMode::Print;
    request.reportKey = "TABZONA";
    QWidget owner;
    LookupList list(*context, request, &owner);
    ASSERT_TRUE(list.load());
    list.show();
    list.findChild<QPushButton *>("anteprima")->click();
    const auto *preview = owner.findChild<FrmRpt *>();
    ASSERT_NE(preview, nullptr) << prompter.texts().join('|').toStdString();
    EXPECT_EQ(preview->windowTitle(), "Lista ZONE");
    EXPECT_GE(preview->pageCount(), 1);
    EXPECT_FALSE(list.isVisible());
}

ORLAVO_FOR_EACH_ENGINE(LookupListTest);
