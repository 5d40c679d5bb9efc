#include "agenda/windows/frmage.h"
#include "agenda/windows/frmappin.h"
#include "contexttest.h"
#include "services/core/concurrency.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QWheelEvent>

// The five-day view: where appointments land, the moves, the day delete and
// what a double-click opens.

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::Prompter;

namespace {

// Sunday 7 December 2025 to Thursday 11.
const QDate kSunday(2025, 12, 7);

// Default hours (08.00-12.30, 15.00-19.00). Sunday: 07.30 MARCO, 09.00 ANNA,
// 09.15 LUCA; Monday: 12.45 ANNA in the pause; Tuesday: 10.00 ZENO and 15.00
// ANNA; Thursday: 19.30 MARCO; outside the week Saturday 6 and Friday 12 at
// 09.00.
class AgendaViewTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        add(kSunday, "07.30", "MARCO", "Bianchi");
        add(kSunday, "09.00", "ANNA", "Ferramenta Rossi & Figli Srl");
        add(kSunday, "09.15", "LUCA", "");
        add(kSunday.addDays(1), "12.45", "ANNA", "Verdi");
        add(kSunday.addDays(2), "10.00", "ZENO", "Neri");
        add(kSunday.addDays(2), "15.00", "ANNA", "Gialli");
        add(kSunday.addDays(4), "19.30", "MARCO", "");
        add(kSunday.addDays(-1), "09.00", "ANNA", "Sabato");
        add(kSunday.addDays(5), "09.00", "ANNA", "Venerdì");
    }

    // Through the store's insert: one appointment per day and time, PROGR 1.
    void add(const QDate &day, const char *from, const char *who, const char *customer)
    {
        ASSERT_TRUE(
            insertAppointment(context->db, {day, from, 0, "", who, std::nullopt, customer, "", false}).written());
    }

    // The agenda on the fixture week, shown at the size it asks for.
    std::unique_ptr<FrmAge> open()
    {
        auto window = std::make_unique<FrmAge>(*context);
        window->resize(window->sizeHint());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->showFrom(kSunday);
        QApplication::processEvents();
        return window;
    }

    // The row whose slot starts at `from`.
    static int row(const FrmAge &window, const QString &from)
    {
        for (int i = 0; i < window.timeSlots().size(); ++i) {
            if (window.timeSlots().at(i).from == from)
                return i;
        }
        ADD_FAILURE() << "no slot at " << from.toStdString();
        return -1;
    }

    // The lines a cell shows.
    static QStringList lines(const FrmAge &window, int row, int column)
    {
        QStringList texts;
        const QTableWidgetItem *item = window.grid()->item(row, column);
        if (!item)
            return {"<no item>"};
        for (const QVariant &line : item->data(Qt::UserRole).toList())
            texts << line.toMap().value("text").toString();
        return texts;
    }

    // Every line of the five columns, "column|text".
    static QStringList everything(const FrmAge &window)
    {
        QStringList all;
        for (int r = 0; r < window.grid()->rowCount(); ++r) {
            for (int c = 0; c < window.grid()->columnCount(); ++c) {
                for (const QString &line : lines(window, r, c))
                    all << QString::number(c) + "|" + line;
            }
        }
        return all;
    }

    static QStringList headers(const FrmAge &window)
    {
        QStringList texts;
        for (int c = 0; c < window.grid()->columnCount(); ++c)
            texts << window.grid()->horizontalHeaderItem(c)->text();
        return texts;
    }

    int countOn(const QDate &day) const
    {
        return archives->scalar("SELECT COUNT(*) FROM APPUNTAMENTI WHERE GIORNO = ?", {day}).toInt();
    }
};

TEST_P(AgendaViewTest, EachAppointmentIsInItsSlotAndDay)
{
    auto window = open();
    EXPECT_EQ(headers(*window), (QStringList{"Domenica\n07 DIC.", "Lunedì\n08 DIC.", "Martedì\n09 DIC.",
                                             "Mercoledì\n10 DIC.", "Giovedì\n11 DIC."}));

    // Before the bands, in them (a cell's operators from the last), in the
    // pause, after them.
    const int last = window->grid()->rowCount() - 1;
    EXPECT_EQ(lines(*window, 0, 0), QStringList{"07.30  MARCO  Bianchi"});
    EXPECT_EQ(lines(*window, row(*window, "09.00"), 0),
              (QStringList{"09.15  LUCA", "09.00  ANNA  Ferramenta Rossi & Figli Srl"}));
    EXPECT_EQ(lines(*window, row(*window, "12.30"), 1), QStringList{"12.45  ANNA  Verdi"});
    EXPECT_EQ(lines(*window, row(*window, "10.00"), 2), QStringList{"10.00  ZENO  Neri"});
    EXPECT_EQ(lines(*window, row(*window, "15.00"), 2), QStringList{"15.00  ANNA  Gialli"});
    EXPECT_EQ(lines(*window, last, 4), QStringList{"19.30  MARCO"});
    // Nothing else, nothing from outside the week.
    EXPECT_EQ(everything(*window).size(), 7) << everything(*window).join('\n').toStdString();
}

TEST_P(AgendaViewTest, TheButtonsTheDayFieldAndTheWheelMoveTheWeek)
{
    auto window = open();
    const int nine = row(*window, "09.00");
    window->findChild<QPushButton *>("B_Avanti")->click();
    EXPECT_EQ(window->firstDay(), kSunday.addDays(1));
    EXPECT_EQ(window->findChild<QLineEdit *>("T_GIORNO")->text(), "08/12/2025");
    EXPECT_EQ(lines(*window, nine, 4), QStringList{"09.00  ANNA  Venerdì"});

    window->findChild<QPushButton *>("B_Indietro")->click();
    window->findChild<QPushButton *>("B_Indietro")->click();
    EXPECT_EQ(window->firstDay(), kSunday.addDays(-1));
    EXPECT_EQ(lines(*window, nine, 0), QStringList{"09.00  ANNA  Sabato"});

    // The wheel: down a day later, up a day earlier.
    const auto roll = [&window](int delta) {
        QWidget *viewport = window->grid()->viewport();
        const QPointF at(viewport->rect().center());
        QWheelEvent wheel(at, viewport->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &wheel);
    };
    roll(-120);
    EXPECT_EQ(window->firstDay(), kSunday);
    roll(120);
    EXPECT_EQ(window->firstDay(), kSunday.addDays(-1));

    // A day typed in the field.
    auto *day = window->findChild<QLineEdit *>("T_GIORNO");
    day->setFocus();
    day->setText("09/12/2025");
    day->setModified(true);
    QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(day, &leaving);
    EXPECT_EQ(window->firstDay(), kSunday.addDays(2));
    EXPECT_EQ(lines(*window, row(*window, "10.00"), 0), QStringList{"10.00  ZENO  Neri"});
}

TEST_P(AgendaViewTest, DeletingADayTakesOnlyThatDay)
{
    auto window = open();
    window->grid()->setCurrentCell(row(*window, "10.00"), 2);
    prompter.queue(Prompter::Button::No);
    window->findChild<QPushButton *>("B_Elimina")->click();
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione?"});
    EXPECT_EQ(countOn(kSunday.addDays(2)), 2);

    prompter.clear();
    prompter.queue(Prompter::Button::Yes);
    window->TimCanc();
    EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione?"});
    EXPECT_EQ(countOn(kSunday.addDays(2)), 0);
    EXPECT_EQ(archives->count("APPUNTAMENTI"), 7);
    // The view follows.
    EXPECT_EQ(everything(*window).size(), 5);
}

TEST_P(AgendaViewTest, ADoubleClickOpensTheAppointmentOrANewOneAtTheSlot)
{
    auto window = open();
    struct Seen {
        QString title, day, from, who;
    };
    QList<Seen> seen;
    window->setPresenter([&](FrmAppIn &shown) {
        seen.append({shown.windowTitle(), shown.field("GIORNO")->text(), shown.field("ORA")->text(),
                     shown.operatorBox()->currentText()});
    });
    QTableWidget *grid = window->grid();
    // Double-clicks on a cell, `line` lines down.
    const auto click = [grid](int row, int column, int line) {
        const QRect place = grid->visualRect(grid->model()->index(row, column));
        const QPoint at(place.left() + 10, place.top() + 3 + grid->fontMetrics().height() * line + 4);
        QCursor::setPos(grid->viewport()->mapToGlobal(at));
        // What the system sends: a click, then the double click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };

    // An empty slot of Wednesday.
    click(row(*window, "10.30"), 3, 0);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen.last().title, "Inserimento appuntamento");
    EXPECT_EQ(seen.last().day, "10/12/2025");
    EXPECT_EQ(seen.last().from, "10.30");
    // Outside the bands the time is the operator's to type.
    click(0, 3, 0);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen.last().from, "");

    // The second line of Sunday's 09.00 cell.
    click(row(*window, "09.00"), 0, 1);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen.last().title, "Modifica appuntamento");
    EXPECT_EQ(seen.last().day + " " + seen.last().from + " " + seen.last().who, "07/12/2025 09.00 ANNA");
    // "Nuovo" (the toolbar's insert too): a new one at the selected slot,
    // even where the cell is taken.
    grid->setCurrentCell(row(*window, "09.00"), 0);
    window->findChild<QPushButton *>("B_Nuovo")->click();
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(seen.last().title + " " + seen.last().day + " " + seen.last().from,
              "Inserimento appuntamento 07/12/2025 09.00");

    // One deleted elsewhere is not opened: the operator is told.
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'ZENO'"));
    const int opened = int(seen.size());
    window->openCell(row(*window, "10.00"), 2, 0);
    EXPECT_EQ(seen.size(), opened);
    EXPECT_EQ(prompter.texts(), QStringList{Services::Concurrency::deletedElsewhere()});
    EXPECT_TRUE(lines(*window, row(*window, "10.00"), 2).isEmpty());
}

TEST_P(AgendaViewTest, TheViewReadsAgainWhenActivated)
{
    auto window = open();
    const int eleven = row(*window, "11.00");
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO APPUNTAMENTI (GIORNO, ORA, PROGR, OPERATORE) VALUES (?, '11.00', 1, 'ALTRO')",
                           {kSunday.addDays(3)}));
    EXPECT_TRUE(lines(*window, eleven, 3).isEmpty());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(lines(*window, eleven, 3), QStringList{"11.00  ALTRO"});
}

ORLAVO_FOR_EACH_ENGINE(AgendaViewTest);

} // namespace
