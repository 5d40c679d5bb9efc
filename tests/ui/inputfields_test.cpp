#include "ui/gridclipboard.h"
#include "ui/inputfields.h"
#include "ui/waitmessage.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <tuple>

using namespace Orlavo::Services;
using namespace Orlavo::Ui;

namespace {

// Characters as a keyboard layout sends them, whatever QTest makes of non-ASCII ones.
void typeText(QLineEdit *field, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(field, &press);
    }
}

void commit(QLineEdit *field, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
}

void pasteInto(QLineEdit *field, const QString &text)
{
    QApplication::clipboard()->setText(text);
    field->paste();
}

// Dropped at the end of the text, as a drag from another window ends.
void drop(QLineEdit *field, const QString &text)
{
    QMimeData data;
    data.setText(text);
    const QPoint place(field->width() - 2, field->height() / 2);
    QDragEnterEvent enter(place, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &enter);
    QDropEvent event(place, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(field, &event);
}

void leave(QWidget *widget)
{
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(widget, &out);
}

// Every way text reaches a field (Ctrl+V ends in the same paste as the
// context menu); each leaves the cursor after what it brought.
const std::pair<const char *, std::function<void(QLineEdit *, const QString &)>> kRoutes[] = {
    {"keys", typeText},       {"paste", pasteInto},
    {"drop", drop},           {"insert", [](QLineEdit *f, const QString &t) { f->insert(t); }},
    {"input method", commit},
};

} // namespace

// Which characters each kind takes is the key filter's (keyfilter_test);
// here every route reaches it, the text around the edit included.
TEST(InputFields, EveryRouteGoesThroughTheFilter)
{
    bool capitals = true;
    const struct {
        std::function<InputField *()> make;
        const char *before, *incoming, *after;
    } cases[] = {
        {[] { return new NumberField(2); }, "12", ".", "12,"},
        {[] { return new NumberField(2); }, "12,5", ".", "12,5"},
        {[] { return new TextField(5); }, "ab", "cdefg", "abCDE"},
    };
    for (const auto &c : cases) {
        for (const auto &[route, bring] : kRoutes) {
            SCOPED_TRACE(testing::Message() << c.before << " + " << c.incoming << " by " << route);
            const std::unique_ptr<InputField> field(c.make());
            field->setUpperCaseSwitch(&capitals);
            field->setText(QString::fromUtf8(c.before));
            bring(field.get(), QString::fromUtf8(c.incoming));
            EXPECT_EQ(field->text(), QString::fromUtf8(c.after));
        }
    }
}

// A value read from the archive shows as stored, even with characters no
// key could type; a whole selection gives way to text beginning the same
// way, and the typing marks the field changed although capitals replace it.
// Keys without text still edit, and Enter, never held back, reaches the window.
TEST(InputFields, TextSetByTheProgramIsKeptAndTypingStillFiltered)
{
    TextField field(30);
    field.setText(QStringLiteral("caffè 5 €"));
    QTest::keyClicks(&field, QStringLiteral("x"));
    commit(&field, QStringLiteral("°"));
    EXPECT_EQ(field.text(), QStringLiteral("caffè 5 €X"));

    field.setText(QStringLiteral("rossi"));
    ASSERT_FALSE(field.isModified());
    field.selectAll();
    typeText(&field, QStringLiteral("ro"));
    EXPECT_EQ(field.text(), QStringLiteral("RO"));
    EXPECT_TRUE(field.isModified());

    field.setText(QStringLiteral("abCDE"));
    QSignalSpy returned(&field, &QLineEdit::returnPressed);
    for (const Qt::Key key : {Qt::Key_Home, Qt::Key_Delete, Qt::Key_Right, Qt::Key_Backspace})
        QTest::keyClick(&field, key);
    EXPECT_EQ(field.text(), QStringLiteral("CDE"));
    QTest::keyClick(&field, Qt::Key_Return);
    EXPECT_EQ(returned.count(), 1);
}

// How a figure or a date reads is the values' own test; here the field
// rewrites it before the window hears of the leaving, still marked as the
// operator's edit. What a paste replaces is not counted: a selection holding
// the comma gives way to a new one.
TEST(InputFields, NumbersAndDatesAreRewrittenOnLeaving)
{
    NumberField number(2);
    number.setValue(-0.5);
    EXPECT_EQ(number.text(), QStringLiteral("-0,50"));
    number.setSelection(2, 2);
    pasteInto(&number, QStringLiteral(".7"));
    EXPECT_EQ(number.text(), QStringLiteral("-0,70"));
    number.setText(QStringLiteral("1.234,567"));
    EXPECT_DOUBLE_EQ(number.value(), 1234.57);
    DateField date;
    const std::tuple<InputField *, const char *, const char *> cases[] = {{&number, "1,239", "1,24"},
                                                                          {&date, "1/2/24", "01/02/2024"}};
    for (const auto &[field, typed, shown] : cases) {
        SCOPED_TRACE(typed);
        field->setText(QString());
        QTest::keyClicks(field, QString::fromUtf8(typed));
        QStringList heard;
        const QObject listening;
        QObject::connect(field, &QLineEdit::editingFinished, &listening,
                         [&heard, field] { heard.append(field->text()); });
        leave(field);
        EXPECT_EQ(heard, QStringList{QString::fromUtf8(shown)});
        EXPECT_TRUE(field->isModified());
    }
}

// On entering, by the keyboard or the mouse once the click has placed the
// cursor.
TEST(InputFields, FocusInSelectsTheWholeText)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    TextField *first = new TextField(20), *second = new TextField(20);
    for (TextField *field : {first, second}) {
        layout->addWidget(field);
        field->setText(QStringLiteral("3,00"));
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window) && first->hasFocus());
    EXPECT_EQ(first->selectedText(), QStringLiteral("3,00"));
    QTest::mouseClick(second, Qt::LeftButton, Qt::NoModifier, QPoint(2, second->height() / 2));
    ASSERT_TRUE(second->hasFocus());
    QApplication::processEvents();
    EXPECT_EQ(second->selectedText(), QStringLiteral("3,00"));
}

namespace {

// Three rows of a code, an amount, a read-only column and free text.
class GridClipboard : public testing::Test
{
protected:
    void SetUp() override
    {
        grid.setRowCount(3);
        grid.setColumnCount(4);
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 4; ++column) {
                auto *item =
                    new QTableWidgetItem(QStringLiteral("a%1|%1,00|R%1|x%1").arg(row + 1).section('|', column, column));
                if (column == 2)
                    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
                grid.setItem(row, column, item);
            }
        }
        keys = new ClipboardKeys(&grid);
        keys->setColumnFilter(0, FieldType::Code);
        keys->setColumnFilter(1, FieldType::Number);
        keys->setUpperCaseSwitch(&upperCase);
    }

    QStringList column(int c) const
    {
        QStringList all;
        for (int row = 0; row < grid.rowCount(); ++row)
            all.append(grid.item(row, c)->text());
        return all;
    }

    QString copied(const QList<QTableWidgetSelectionRange> &ranges, Qt::Key key = Qt::Key_C)
    {
        grid.clearSelection();
        for (const auto &range : ranges)
            grid.setRangeSelected(range, true);
        QTest::keyClick(&grid, key, Qt::ControlModifier);
        return QApplication::clipboard()->text();
    }

    QTableWidget grid;
    ClipboardKeys *keys = nullptr;
    bool upperCase = true;
};

} // namespace

TEST_F(GridClipboard, CopyAndCutGiveTabSeparatedLines)
{
    EXPECT_EQ(copied({{0, 0, 1, 1}}), QStringLiteral("a1\t1,00\na2\t2,00"));
    // Nothing selected: the current cell.
    grid.setCurrentCell(1, 3, QItemSelectionModel::NoUpdate);
    EXPECT_EQ(copied({}), QStringLiteral("x2"));
    // Cut empties only the editable cells.
    EXPECT_EQ(copied({{0, 1, 1, 2}}, Qt::Key_X), QStringLiteral("1,00\tR1\n2,00\tR2"));
    EXPECT_EQ(column(1), (QStringList{"", "", "3,00"}));
    EXPECT_EQ(column(2), (QStringList{"R1", "R2", "R3"}));
}

TEST_F(GridClipboard, PasteGoesThroughTheColumnFiltersAndSkipsReadOnlyCells)
{
    grid.setCurrentCell(0, 0);
    // Spreadsheet lines: Windows line ends, the last one ended, more than fits.
    QApplication::clipboard()->setText(QStringLiteral("b 1\t3.25\tW\ty\r\n"
                                                      "bb\t4,5,\tW\t\x01\r\n"
                                                      "c{\t-7\tW\tz\tspare\r\n"
                                                      "d\t8\tW\tw\r\n"));
    QTest::keyClick(&grid, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(column(0), (QStringList{"a1", "BB", "a3"}));
    EXPECT_EQ(column(1), (QStringList{"3,25", "2,00", "-7"}));
    EXPECT_EQ(column(2), (QStringList{"R1", "R2", "R3"}));
    EXPECT_EQ(column(3), (QStringList{"Y", "x2", "Z"}));

    upperCase = false;
    grid.setCurrentCell(2, 3);
    EXPECT_EQ(keys->paste(QStringLiteral("last\tnone")), 1);
    EXPECT_EQ(grid.item(2, 3)->text(), QStringLiteral("last"));
    // A grid with no edit triggers is read-only as a whole.
    grid.setEditTriggers(QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(keys->paste(QStringLiteral("q")), 0);
}

// The message and the wait cursor last as long as the scope, an exception
// included; an inner message gives the outer one back.
TEST(WaitMessage, ShowsWhileTheScopeRunsAndGivesBackTheOuterOne)
{
    const auto shown = [] {
        const QWidget *window = waitMessageWindow();
        const QLabel *label = window && window->isVisible() ? window->findChild<QLabel *>() : nullptr;
        return label ? label->text() : QString();
    };
    QPointer<QWidget> window;
    EXPECT_THROW(
        {
            const WaitMessage outer(QStringLiteral("Attendere, copia in corso"));
            window = waitMessageWindow();
            EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            {
                const WaitMessage inner(QStringLiteral("Attendere, indici"));
                EXPECT_EQ(shown(), QStringLiteral("Attendere, indici"));
            }
            EXPECT_EQ(shown(), QStringLiteral("Attendere, copia in corso"));
            throw std::runtime_error("copia fallita");
        },
        std::runtime_error);
    EXPECT_EQ(waitMessageWindow(), nullptr);
    EXPECT_TRUE(window.isNull() || !window->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
