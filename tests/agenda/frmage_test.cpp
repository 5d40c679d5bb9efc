#include "agenda/windows/frmage.h"
#include "agenda/windows/frmappin.h"
#include "contexttest.h"
#include "services/core/concurrency.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

// The five-day view: where appointments land, the moves, the day delete and
// what a double-click opens. With ORLAVO_SCREENSHOTS=<folder> the filled
// week is also saved as a PNG to look at.

using namespace Orlavo;
using namespace Orlavo::Agenda;
using Orlavo::Services::Prompter;

namespace {

// Sunday 7 December 2025 to Thursday 11.
const QDate kSunday(2025, 12, 7);

// Default hours (08.00-12.30, 15.00-19.00). Sunday: 07.30 MARCO, 09.00 ANNA
// for customer 7, 09.15 LUCA; Monday: 12.45 ANNA in the pause; Tuesday:
// 10.00 ZENO and 15.00 ANNA done; Thursday: 19.30 MARCO; outside the week
// Saturday 6 and Friday 12 at 09.00.
class AgendaViewTest : public Orlavo::Testing::ContextTest<>
{
protected:
    void SetUp() override
    {
        ContextTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        run("INSERT INTO ANAG_CLI (CLIENTE, RAG_SOC1) VALUES (7, 'Ferramenta Rossi & Figli Srl')");
        add(kSunday, "07.30", "MARCO", "Bianchi");
        add(kSunday, "09.00", "ANNA", "Ferramenta Rossi & Figli Srl", 7);
        add(kSunday, "09.15", "LUCA", "");
        add(kSunday.addDays(1), "12.45", "ANNA", "Verdi");
        add(kSunday.addDays(2), "10.00", "ZENO", "Neri");
        add(kSunday.addDays(2), "15.00", "ANNA", "Gialli", std::nullopt, true);
        add(kSunday.addDays(4), "19.30", "MARCO", "");
        add(kSunday.addDays(-1), "09.00", "ANNA", "Sabato");
        add(kSunday.addDays(5), "09.00", "ANNA", "Venerdì");
    }

    void add(const QDate &day, const QString &from, const QString &who, const QString &customer,
             std::optional<int> code = std::nullopt, bool done = false)
    {
        ASSERT_EQ(context->db.executeSql("INSERT INTO APPUNTAMENTI (GIORNO, ORA, PROGR, OPERATORE, COD_CLI, CLIENTE, "
                                         "EVASO) VALUES (?, ?, 1, ?, ?, ?, ?)",
                                         {day, from, who, code ? QVariant(*code) : QVariant(QMetaType(QMetaType::Int)),
                                          customer.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : customer,
                                          done ? -1 : 0}),
                  Services::kErrNone)
            << context->db.error().description.toStdString();
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

    // The darkest grey level painted inside a cell.
    static int darkest(FrmAge &window, int row, int column)
    {
        QTableWidget *grid = window.grid();
        const QRect place = grid->visualRect(grid->model()->index(row, column)).adjusted(1, 1, -1, -1);
        const QImage image = grid->viewport()->grab(place).toImage();
        int level = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                level = std::min(level, qGray(image.pixel(x, y)));
        }
        return level;
    }

    int countOn(const QDate &day) const
    {
        return archives->scalar("SELECT COUNT(*) FROM APPUNTAMENTI WHERE GIORNO = ?", {day}).toInt();
    }
};

TEST_P(AgendaViewTest, EachAppointmentIsInItsSlotAndDay)
{
    auto window = open();
    EXPECT_EQ(window->windowTitle(), "Agenda appuntamenti");
    EXPECT_EQ(headers(*window), (QStringList{"Domenica\n07 DIC.", "Lunedì\n08 DIC.", "Martedì\n09 DIC.",
                                             "Mercoledì\n10 DIC.", "Giovedì\n11 DIC."}));
    EXPECT_EQ(window->findChild<QLineEdit *>("T_GIORNO")->text(), "07/12/2025");

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
    EXPECT_EQ(window->cell(row(*window, "09.00"), 0).at(1).customer, 7);

    // A done one is drawn in grey, the others in black.
    EXPECT_GE(darkest(*window, row(*window, "15.00"), 2), 100);
    EXPECT_LT(darkest(*window, row(*window, "10.00"), 2), 60);
}

TEST_P(AgendaViewTest, NarrowColumnsTakeTheShortWeekday)
{
    auto window = open();
    // A large font, as an operator's screen settings may give: the full
    // weekday no longer fits when the window is at its narrowest.
    QFont large = window->grid()->horizontalHeader()->font();
    large.setPixelSize(30);
    window->grid()->horizontalHeader()->setFont(large);
    window->resize(window->minimumSizeHint().width(), 640);
    QApplication::processEvents();
    EXPECT_EQ(headers(*window),
              (QStringList{"Dom\n07 DIC.", "Lun\n08 DIC.", "Mar\n09 DIC.", "Mer\n10 DIC.", "Gio\n11 DIC."}));
    window->resize(window->sizeHint());
    QApplication::processEvents();
    EXPECT_EQ(headers(*window).first(), "Domenica\n07 DIC.");
}

TEST_P(AgendaViewTest, TheHourColumnOnlyWhenAsked)
{
    auto plain = open();
    EXPECT_TRUE(plain->grid()->verticalHeader()->isHidden());
    EXPECT_EQ(context->settings.read("APPUNTAMENTI", "COLONNE"), "N");

    context->settings.write("APPUNTAMENTI", "COLONNE", "S");
    auto window = open();
    const QHeaderView *hours = window->grid()->verticalHeader();
    EXPECT_TRUE(hours->isVisible());
    const auto label = [&window](int row) { return window->grid()->verticalHeaderItem(row)->text(); };
    EXPECT_EQ(label(0), "00.00-08.00");
    EXPECT_EQ(label(1), "08.00");
    EXPECT_EQ(label(2), "08.30");
    EXPECT_EQ(label(row(*window, "12.30")), "12.30-15.00");
    EXPECT_EQ(label(row(*window, "15.00")), "15.00");
    EXPECT_EQ(label(window->grid()->rowCount() - 1), "19.00-24.00");
}

TEST_P(AgendaViewTest, TheButtonsTheDayFieldAndTheWheelMoveTheWeek)
{
    auto window = open();
    const int nine = row(*window, "09.00");
    window->findChild<QPushButton *>("B_Avanti")->click();
    EXPECT_EQ(window->firstDay(), kSunday.addDays(1));
    EXPECT_EQ(headers(*window).first(), "Lunedì\n08 DIC.");
    EXPECT_EQ(window->findChild<QLineEdit *>("T_GIORNO")->text(), "08/12/2025");
    EXPECT_EQ(lines(*window, nine, 4), QStringList{"09.00  ANNA  Venerdì"});
    EXPECT_TRUE(lines(*window, nine, 0).isEmpty());

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
    roll(-120);
    EXPECT_EQ(window->firstDay(), kSunday.addDays(1));
    roll(120);
    EXPECT_EQ(window->firstDay(), kSunday);
    EXPECT_EQ(headers(*window).first(), "Domenica\n07 DIC.");

    window->findChild<QPushButton *>("B_Oggi")->click();
    EXPECT_EQ(window->firstDay(), QDate::currentDate());

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
    EXPECT_EQ(countOn(kSunday), 3);
    EXPECT_EQ(countOn(kSunday.addDays(1)), 1);
    // The view follows.
    EXPECT_TRUE(lines(*window, row(*window, "10.00"), 2).isEmpty());
    EXPECT_EQ(everything(*window).size(), 5);
}

TEST_P(AgendaViewTest, ADoubleClickOpensTheAppointmentOrANewOneAtTheSlot)
{
    auto window = open();
    struct Seen {
        QString title, day, from, who;
    };
    QList<Seen> seen;
    std::function<void(FrmAppIn &)> act;
    window->setPresenter([&](FrmAppIn &shown) {
        seen.append({shown.windowTitle(), shown.field("GIORNO")->text(), shown.field("ORA")->text(),
                     shown.operatorBox()->currentText()});
        if (act)
            act(shown);
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

    // The second line of Sunday's 09.00 cell, then its first.
    click(row(*window, "09.00"), 0, 1);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen.last().title, "Modifica appuntamento");
    EXPECT_EQ(seen.last().day + " " + seen.last().from + " " + seen.last().who, "07/12/2025 09.00 ANNA");
    click(row(*window, "09.00"), 0, 0);
    ASSERT_EQ(seen.size(), 4);
    EXPECT_EQ(seen.last().from + " " + seen.last().who, "09.15 LUCA");
    // Below the last line of a cell: a new one at the slot.
    window->openCell(row(*window, "09.00"), 0, 2);
    ASSERT_EQ(seen.size(), 5);
    EXPECT_EQ(seen.last().title, "Inserimento appuntamento");
    EXPECT_EQ(seen.last().from, "09.00");
    // "Nuovo" (the toolbar's insert too): a new one at the selected slot,
    // even where the cell is taken.
    grid->setCurrentCell(row(*window, "09.00"), 0);
    window->findChild<QPushButton *>("B_Nuovo")->click();
    ASSERT_EQ(seen.size(), 6);
    EXPECT_EQ(seen.last().title + " " + seen.last().day + " " + seen.last().from,
              "Inserimento appuntamento 07/12/2025 09.00");

    // What the window writes shows at once.
    act = [this](FrmAppIn &shown) {
        shown.operatorBox()->setCurrentText("PIA");
        prompter.queue(Prompter::Button::Ok);
        EXPECT_TRUE(shown.save()) << prompter.texts().join('|').toStdString();
    };
    click(row(*window, "11.00"), 4, 0);
    EXPECT_EQ(lines(*window, row(*window, "11.00"), 4), QStringList{"11.00  PIA"});

    // One deleted elsewhere is not opened: the operator is told.
    act = {};
    prompter.clear();
    Orlavo::Testing::Workstation other(archives->config());
    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'ZENO'"));
    const int opened = int(seen.size());
    window->openCell(row(*window, "10.00"), 2, 0);
    EXPECT_EQ(seen.size(), opened);
    EXPECT_EQ(prompter.texts(), QStringList{Services::Concurrency::deletedElsewhere()});
    EXPECT_TRUE(lines(*window, row(*window, "10.00"), 2).isEmpty());
}

TEST_P(AgendaViewTest, TheViewReadsAgainWhenActivatedAndEveryMinute)
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

    ASSERT_TRUE(other.exec("DELETE FROM APPUNTAMENTI WHERE OPERATORE = 'ALTRO'"));
    QTimer *minute = nullptr;
    for (QTimer *timer : window->findChildren<QTimer *>()) {
        if (timer->isActive() && timer->interval() == 60 * 1000)
            minute = timer;
    }
    ASSERT_NE(minute, nullptr);
    ASSERT_TRUE(QMetaObject::invokeMethod(minute, "timeout"));
    EXPECT_TRUE(lines(*window, eleven, 3).isEmpty());
}

// The filled week at the size the window asks for, with and without the
// hour column: every row in sight, the full weekdays, a name too long for
// its column elided with the whole line in the tooltip.
TEST_P(AgendaViewTest, TheWeekFitsItsWindow)
{
    for (const char *hourColumn : {"N", "S"}) {
        SCOPED_TRACE(hourColumn);
        context->settings.write("APPUNTAMENTI", "COLONNE", hourColumn);
        auto window = open();
        window->grid()->setCurrentCell(row(*window, "10.00"), 2);
        QApplication::processEvents();
        EXPECT_EQ(window->size(), window->sizeHint());
        EXPECT_EQ(window->grid()->verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(window->grid()->horizontalScrollBar()->maximum(), 0);
        EXPECT_TRUE(headers(*window).first().startsWith("Domenica"));
        const QTableWidgetItem *busy = window->grid()->item(row(*window, "09.00"), 0);
        EXPECT_EQ(busy->toolTip(), "09.15  LUCA\n09.00  ANNA  Ferramenta Rossi & Figli Srl");

        const QString folder = qEnvironmentVariable("ORLAVO_SCREENSHOTS");
        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            const QString name = QString("frmage_%1_%2.png")
                                     .arg(GetParam() == Services::Engine::Sqlite ? "sqlite" : "pg",
                                          QString(hourColumn) == "S" ? "ore" : "senzaore");
            EXPECT_TRUE(window->grab().save(QDir(folder).filePath(name)));
        }
    }
}

ORLAVO_FOR_EACH_ENGINE(AgendaViewTest);

} // namespace
