#pragma once

#include "agenda/stores/appointmentstore.h"
#include "agenda/windows/frmage.h"
#include "../masterdata/masterdatatest.h"

#include <QTableWidget>
#include <QTest>

#include <ostream>

namespace Orlavo::Agenda {
// An appointment in a failure message (appointmentstore_test.cpp).
void PrintTo(const Appointment &a, std::ostream *out);
} // namespace Orlavo::Agenda

namespace Orlavo::Testing {

// The five-day view from Sunday 7 December 2025 to Thursday 11.
inline const QDate kSunday(2025, 12, 7);

// Default hours (08.00-12.30, 15.00-19.00). Sunday: 07.30 MARCO, 09.00 ANNA,
// 09.15 LUCA; Monday: 12.45 ANNA in the pause; Tuesday: 10.00 ZENO and 15.00
// ANNA; Thursday: 19.30 MARCO; outside the week Saturday 6 and Friday 12 at
// 09.00.
class AgendaViewTest : public MasterdataTest<>
{
protected:
    void seed() override
    {
        add(0, "07.30", "MARCO", "Bianchi");
        add(0, "09.00", "ANNA", "Ferramenta Rossi & Figli Srl");
        add(0, "09.15", "LUCA", "");
        add(1, "12.45", "ANNA", "Verdi");
        add(2, "10.00", "ZENO", "Neri");
        add(2, "15.00", "ANNA", "Gialli");
        add(4, "19.30", "MARCO", "");
        add(-1, "09.00", "ANNA", "Sabato");
        add(5, "09.00", "ANNA", "Venerdì");
    }

    // Through the store's insert: one appointment per day and time, PROGR 1.
    void add(int day, const char *from, const char *who, const char *customer)
    {
        const Agenda::Appointment a{kSunday.addDays(day), from, 0, "", who, std::nullopt, customer, "", false};
        ASSERT_TRUE(Agenda::insertAppointment(context->db, a).written());
    }

    // The agenda on the fixture week, shown at the size it asks for.
    std::unique_ptr<Agenda::FrmAge> open()
    {
        auto window = std::make_unique<Agenda::FrmAge>(*context);
        window->resize(window->sizeHint());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->showFrom(kSunday);
        QApplication::processEvents();
        return window;
    }

    // The row whose slot starts at `from`.
    static int row(const Agenda::FrmAge &window, const QString &from)
    {
        for (int i = 0; i < window.timeSlots().size(); ++i) {
            if (window.timeSlots().at(i).from == from)
                return i;
        }
        ADD_FAILURE() << "no slot at " << from.toStdString();
        return -1;
    }

    // The lines a cell shows.
    static QStringList lines(const Agenda::FrmAge &window, int row, int column)
    {
        const QTableWidgetItem *item = window.grid()->item(row, column);
        if (!item)
            return {"<no item>"};
        QStringList texts;
        for (const QVariant &line : item->data(Qt::UserRole).toList())
            texts << line.toMap().value("text").toString();
        return texts;
    }
};

} // namespace Orlavo::Testing
