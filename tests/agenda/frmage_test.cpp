#include "agenda/windows/frmappin.h"
#include "agendawindowtest.h"
#include "services/core/concurrency.h"

#include <QComboBox>
#include <QPushButton>
#include <QWheelEvent>

// The five-day view: where appointments land, the moves, the day delete and
// what a double-click opens.

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::Prompter;
using Orlavo::Testing::kSunday;

namespace {

class FrmAgeTest : public Testing::AgendaViewTest
{
protected:
    // Every line of the five columns.
    static int shownLines(const FrmAge &window)
    {
        int shown = 0;
        for (int r = 0; r < window.grid()->rowCount(); ++r) {
            for (int c = 0; c < window.grid()->columnCount(); ++c)
                shown += int(lines(window, r, c).size());
        }
        return shown;
    }
};

TEST_P(FrmAgeTest, EachAppointmentIsInItsSlotAndDay)
{
    auto window = open();

    // Before the bands, in them (a cell's operators from the last), in the
    // pause, after them.
    const int last = window->grid()->rowCount() - 1;
    EXPECT_EQ(lines(*window, 0, 0), QStringList{"07.30  MARCO  Bianchi"});
    EXPECT_EQ(lines(*window, row(*window, "09.00"), 0),
              (QStringList{"09.15  LUCA", "09.00  ANNA  Ferramenta Rossi & Figli Srl"}));
    EXPECT_EQ(lines(*window, row(*window, "12.30"), 1), QStringList{"12.45  ANNA  Verdi"});
    EXPECT_EQ(lines(*window, row(*window, "15.00"), 2), QStringList{"15.00  ANNA  Gialli"});
    EXPECT_EQ(lines(*window, last, 4), QStringList{"19.30  MARCO"});
    // Nothing else, nothing from outside the week.
    EXPECT_EQ(shownLines(*window), 7);
}

TEST_P(FrmAgeTest, TheButtonsTheDayFieldAndTheWheelMoveTheWeek)
{
    auto window = open();
    window->findChild<QPushButton *>("B_Avanti")->click();
    EXPECT_EQ(window->firstDay(), kSunday.addDays(1));
    EXPECT_EQ(window->findChild<QLineEdit *>("T_GIORNO")->text(), "08/12/2025");
    EXPECT_EQ(lines(*window, row(*window, "09.00"), 4), QStringList{"09.00  ANNA  Venerdì"});
    window->findChild<QPushButton *>("B_Indietro")->click();
    window->findChild<QPushButton *>("B_Indietro")->click();
    EXPECT_EQ(window->firstDay(), kSunday.addDays(-1));

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

    Testing::leave(window->findChild<QLineEdit *>("T_GIORNO"), "09/12/2025");
    EXPECT_EQ(window->firstDay(), kSunday.addDays(2));
}

TEST_P(FrmAgeTest, DeletingADayAsksAndTakesOnlyThatDay)
{
    auto window = open();
    window->grid()->setCurrentCell(row(*window, "10.00"), 2);
    for (const Prompter::Button choice : {Prompter::Button::No, Prompter::Button::Yes}) {
        answer({choice});
        window->findChild<QPushButton *>("B_Elimina")->click();
        EXPECT_EQ(prompter.texts(), QStringList{"Confermi eliminazione?"});
        const QVariant tuesday =
            archives->scalar("SELECT COUNT(*) FROM APPUNTAMENTI WHERE GIORNO = ?", {kSunday.addDays(2)});
        EXPECT_EQ(tuesday.toInt(), choice == Prompter::Button::No ? 2 : 0);
    }
    EXPECT_EQ(archives->count("APPUNTAMENTI"), 7);
    // The view follows.
    EXPECT_EQ(shownLines(*window), 5);
}

TEST_P(FrmAgeTest, ADoubleClickOpensTheAppointmentOrANewOneAtTheSlot)
{
    auto window = open();
    QStringList seen;
    window->setPresenter([&seen](FrmAppIn &shown) {
        seen << QStringList{shown.windowTitle(), shown.field("GIORNO")->text(), shown.field("ORA")->text(),
                            shown.operatorBox()->currentText()}
                    .join('|');
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

    // An empty slot of Wednesday; outside the bands the time is the
    // operator's to type; the second line of Sunday's 09.00 cell.
    click(row(*window, "10.30"), 3, 0);
    click(0, 3, 0);
    click(row(*window, "09.00"), 0, 1);
    // "Nuovo": a new one at the selected slot, even where the cell is taken.
    grid->setCurrentCell(row(*window, "09.00"), 0);
    window->findChild<QPushButton *>("B_Nuovo")->click();
    EXPECT_EQ(seen, (QStringList{"Inserimento appuntamento|10/12/2025|10.30|", "Inserimento appuntamento|10/12/2025||",
                                 "Modifica appuntamento|07/12/2025|09.00|ANNA",
                                 "Inserimento appuntamento|07/12/2025|09.00|"}));

    // One deleted elsewhere is not opened: the operator is told.
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'ZENO'"));
    window->openCell(row(*window, "10.00"), 2, 0);
    EXPECT_EQ(seen.size(), 4);
    EXPECT_EQ(prompter.texts(), QStringList{Services::Concurrency::deletedElsewhere()});
    EXPECT_TRUE(lines(*window, row(*window, "10.00"), 2).isEmpty());
}

TEST_P(FrmAgeTest, TheViewReadsAgainWhenActivated)
{
    auto window = open();
    Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("INSERT INTO APPUNTAMENTI (GIORNO, ORA, PROGR, OPERATORE) VALUES (?, '11.00', 1, 'ALTRO')",
                           {kSunday.addDays(3)}));
    EXPECT_TRUE(lines(*window, row(*window, "11.00"), 3).isEmpty());
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_EQ(lines(*window, row(*window, "11.00"), 3), QStringList{"11.00  ALTRO"});
}

ORLAVO_FOR_EACH_ENGINE(FrmAgeTest);

} // namespace
