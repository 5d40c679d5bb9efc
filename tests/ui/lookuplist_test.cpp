#include "contexttest.h"
#include "files.h"
#include "reporting/rules/reportlist.h"
#include "services/core/tablenames.h"
#include "ui/appcontext.h"
#include "ui/inputfields.h"
#include "ui/lookuplist.h"

#include <QApplication>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace Orlavo;
using namespace Orlavo::Reporting;
using namespace Orlavo::Ui;
using Orlavo::Testing::pdfPages;
namespace Tables = Orlavo::Services::Tables;

namespace {

const QString kZoneTitle = QStringLiteral("Lista ZONE");

class LookupListTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        context->state.rowsList = 12;
    }

    void zone(const QString &code, const QString &description)
    {
        ASSERT_EQ(context->db.executeSql(
                      QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_ZONA),
                      {code, description}),
                  0)
            << context->db.error().description.toStdString();
    }

    void zones()
    {
        zone(QStringLiteral("Z1"), QStringLiteral("ROSSI"));
        zone(QStringLiteral("Z2"), QStringLiteral("MARIO ROSSI"));
        zone(QStringLiteral("Z3"), QStringLiteral("BAROSSO"));
        zone(QStringLiteral("Z4"), QStringLiteral("SCONTO 10% CASSA"));
        zone(QStringLiteral("Z5"), QStringLiteral("SCONTO 10 CASSA"));
        zone(QStringLiteral("Z6"), QStringLiteral("ROSA_ROSSA"));
    }

    // The zones list with the description filtered by what was typed.
    LookupRequest byDescription(const QString &typed) const
    {
        LookupRequest request;
        request.table = Tables::TAB_ZONA;
        request.title = kZoneTitle;
        request.columns = {
            {QStringLiteral("CODICE"), QStringLiteral("04C"), QStringLiteral("CODICE")},
            {QStringLiteral("DESCRIZIONE"), QStringLiteral("40C") + typed, QStringLiteral("DESCRIZIONE")}};
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

    QStringList found(const QString &typed)
    {
        LookupList list(*context, byDescription(typed));
        if (!list.load())
            return {};
        return codes(list);
    }
};

} // namespace

TEST_P(LookupListTest, TypedTextMatchesTheStartOfTheValueOrOfAWordWhateverTheCase)
{
    zones();
    EXPECT_EQ(found(QStringLiteral("ROS")), (QStringList{"Z1", "Z2", "Z6"}));
    EXPECT_EQ(found(QStringLiteral("ros")), (QStringList{"Z1", "Z2", "Z6"}));
    EXPECT_EQ(found(QStringLiteral("mario r")), (QStringList{"Z2"}));
    EXPECT_EQ(found(QStringLiteral("CASSA")), (QStringList{"Z4", "Z5"}));
    EXPECT_TRUE(prompter.texts().isEmpty());
}

TEST_P(LookupListTest, PercentAndUnderscoreTypedByTheOperatorMatchThemselves)
{
    zones();
    EXPECT_EQ(found(QStringLiteral("10%")), (QStringList{"Z4"}));
    EXPECT_EQ(found(QStringLiteral("%")), QStringList());
    EXPECT_EQ(found(QStringLiteral("ROSA_")), (QStringList{"Z6"}));
    EXPECT_EQ(found(QStringLiteral("ROS_")), QStringList());
    EXPECT_EQ(found(QStringLiteral("!")), QStringList());
}

TEST_P(LookupListTest, EmptyResultSaysSoAndGivesNothing)
{
    LookupList empty(*context, byDescription(QString()));
    EXPECT_FALSE(empty.load());
    ASSERT_EQ(prompter.texts(), QStringList{QStringLiteral("Non ci sono record.")});

    zones();
    prompter.clear();
    EXPECT_EQ(found(QStringLiteral("ZZZ")), QStringList());
    EXPECT_EQ(prompter.texts(), QStringList{QStringLiteral("Non ci sono record.")});
    EXPECT_FALSE(showLookupList(*context, byDescription(QStringLiteral("ZZZ"))).has_value());
}

TEST_P(LookupListTest, HiddenColumnIsReturnedWithTheChosenRow)
{
    zones();
    LookupRequest request = byDescription(QStringLiteral("MARIO"));
    request.columns.swapItemsAt(0, 1);
    request.columns[1].format = QStringLiteral("00C");
    LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_TRUE(list.view()->isColumnHidden(1));
    EXPECT_FALSE(list.view()->isColumnHidden(0));
    list.choose(0);
    ASSERT_TRUE(list.chosen().has_value());
    EXPECT_EQ(*list.chosen(), (QStringList{"MARIO ROSSI", "Z2"}));
    EXPECT_EQ(list.result(), QDialog::Accepted);
}

TEST_P(LookupListTest, ProgramConditionsAndStatementsShapeTheList)
{
    zones();
    LookupRequest request = byDescription(QString());
    request.condition = QStringLiteral("CODICE <> 'Z1'");
    request.columns[0].format = QStringLiteral("04XCODICE <= 'Z3'");
    LookupList conditioned(*context, request);
    ASSERT_TRUE(conditioned.load());
    EXPECT_EQ(codes(conditioned), (QStringList{"Z2", "Z3"}));

    // A statement of the program's own replaces the built one, its order kept.
    request.condition.clear();
    request.columns[0].format = QStringLiteral("04KSELECT CODICE, DESCRIZIONE FROM %1 WHERE CODICE IN ('Z4', "
                                             "'Z2') ORDER BY CODICE DESC")
                                  .arg(Tables::TAB_ZONA);
    LookupList replaced(*context, request);
    ASSERT_TRUE(replaced.load());
    EXPECT_EQ(codes(replaced), (QStringList{"Z4", "Z2"}));
}

TEST_P(LookupListTest, RowsBeyondTheLimitAreLeftOutAndTheListSaysSo)
{
    zones();
    LookupRequest request = byDescription(QString());
    request.rowLimit = 4;
    LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(codes(list), (QStringList{"Z1", "Z2", "Z3", "Z4"}));
    EXPECT_TRUE(list.limited());
    const auto *note = list.findChild<QLabel *>(QStringLiteral("limite"));
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->text(), QStringLiteral("Elenco limitato alle prime 4 righe: restringere la ricerca."));
    EXPECT_FALSE(note->isHidden());

    request.rowLimit = 6;
    LookupList whole(*context, request);
    ASSERT_TRUE(whole.load());
    EXPECT_FALSE(whole.limited());
    EXPECT_TRUE(whole.findChild<QLabel *>(QStringLiteral("limite"))->isHidden());
}

TEST_P(LookupListTest, TypingJumpsToTheRowAndEnterOrEscapeEndsThePick)
{
    zones();
    LookupRequest request = byDescription(QString());
    request.columns.swapItemsAt(0, 1);
    LookupList list(*context, request);
    ASSERT_TRUE(list.load());
    EXPECT_EQ(list.findPrefix(QStringLiteral("ma")), 1);
    EXPECT_EQ(list.findPrefix(QStringLiteral("X")), -1);

    list.show();
    QTest::keyClicks(list.view(), QStringLiteral("sconto 10 "));
    EXPECT_EQ(list.view()->currentIndex().row(), list.findPrefix(QStringLiteral("SCONTO 10 ")));
    QTest::keyClick(list.view(), Qt::Key_Return);
    ASSERT_TRUE(list.chosen().has_value());
    EXPECT_EQ(list.chosen()->at(1), QStringLiteral("Z5"));

    LookupList left(*context, request);
    ASSERT_TRUE(left.load());
    left.show();
    QTest::keyClick(left.view(), Qt::Key_Escape);
    EXPECT_FALSE(left.chosen().has_value());
    EXPECT_EQ(left.result(), QDialog::Rejected);
}

TEST_P(LookupListTest, F4OnACodeFieldPutsTheChosenCodeInIt)
{
    zones();
    Ui::CodeField field(4);
    attachLookup(&field, *context, [this, &field] {
        LookupRequest request = byDescription(QString());
        request.columns[0].format = QStringLiteral("04C") + field.text();
        return request;
    });
    field.show();
    QStringList listed;
    const auto pickSecond = [&listed] {
        auto *list = qobject_cast<LookupList *>(QApplication::activeModalWidget());
        if (!list)
            return;
        listed = codes(*list);
        list->choose(1);
    };

    field.setText(QStringLiteral("Z"));
    QTimer::singleShot(0, pickSecond);
    QTest::keyClick(&field, Qt::Key_F4);
    EXPECT_EQ(listed.size(), 6);
    EXPECT_EQ(field.text(), QStringLiteral("Z2"));
    EXPECT_TRUE(field.isModified());

    // Left without a choice, the field keeps what it had.
    QTimer::singleShot(0, [] {
        if (auto *list = QApplication::activeModalWidget())
            QTest::keyClick(list, Qt::Key_Escape);
    });
    QTest::mouseDClick(&field, Qt::LeftButton);
    EXPECT_EQ(field.text(), QStringLiteral("Z2"));
}

ORLAVO_FOR_EACH_ENGINE(LookupListTest);
