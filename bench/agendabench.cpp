#include "agendabench.h"

#include "agenda/stores/appointmentstore.h"
#include "agenda/windows/frmage.h"
#include "services/core/tablenames.h"
#include "windowsession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSqlQuery>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <vector>

namespace Orlavo::Bench {

namespace {

using Services::Engine;

constexpr int kAppointments = 200000;
// About five and a half years of working days and week-ends alike.
constexpr int kDays = 2000;
constexpr int kShown = 5;
const QDate kFirstDay(2022, 1, 3);
constexpr std::array<const char *, 4> kOperators = {"ANNA", "BRUNO", "CARLA", "DARIO"};

int appointments()
{
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS");
    return rows > 0 ? rows : kAppointments;
}

QString timeOf(int minutes)
{
    return QStringLiteral("%1.%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// Appointment i goes to day (i - 1) mod kDays, so the days fill in turn as
// an agenda in use fills; the k-th of its day starts at 07.00 plus k
// quarters of an hour (52 a day, up to 19.45: some before the morning, some
// after the afternoon), numbered by how many came round before.
Services::Params appointmentRow(int i)
{
    const int j = i - 1, k = j / kDays;
    const int start = 7 * 60 + 15 * (k % 52);
    return {kFirstDay.addDays(j % kDays),
            timeOf(start),
            k / 52 + 1,
            timeOf(start + 30),
            QString::fromLatin1(kOperators[k % kOperators.size()]),
            k % 3 == 0 ? QVariant(QMetaType(QMetaType::Int)) : QVariant(1000 + j % 5000),
            QStringLiteral("Cliente di prova %1").arg(j % 5000),
            QStringLiteral("Appuntamento di prova numero %1").arg(i),
            k % 5 == 0 ? -1 : 0};
}

// How many appointments the five days from `dayIndex` hold.
int heldFrom(int dayIndex, int rows)
{
    int held = 0;
    for (int d = dayIndex; d < dayIndex + kShown; ++d)
        held += rows / kDays + (d < rows % kDays ? 1 : 0);
    return held;
}

int shownIn(const Agenda::FrmAge &window)
{
    int shown = 0;
    for (int row = 0; row < window.grid()->rowCount(); ++row)
        for (int column = 0; column < window.grid()->columnCount(); ++column)
            shown += int(window.cell(row, column).size());
    return shown;
}

void reportTimes(benchmark::State &state, const char *name, std::vector<double> &ms)
{
    std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
    state.counters[std::string(name) + "_median_ms"] = ms[ms.size() / 2];
    state.counters[std::string(name) + "_worst_ms"] = *std::max_element(ms.begin(), ms.end());
}

// Five days from a different day each run: the store's read alone, then
// what the window does to show them (read, cells built, rows sized,
// painted).
void fiveDays(benchmark::State &state, Engine engine)
{
    const int rows = appointments();
    WindowSession session(engine,
                          QStringLiteral("INSERT INTO %1 (GIORNO, ORA, PROGR, ORA_A, OPERATORE, COD_CLI, CLIENTE, "
                                         "NOTE1, EVASO) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              .arg(Services::Tables::APPUNTAMENTI),
                          rows, appointmentRow);
    if (!session.ready()) {
        state.SkipWithError(session.problem().c_str());
        return;
    }
    // An archive in use has its statistics (autovacuum); a fresh bulk insert not yet.
    if (engine == Engine::Postgres && !QSqlQuery(session.context().db.connection())
                                           .exec(QStringLiteral("ANALYZE %1").arg(Services::Tables::APPUNTAMENTI))) {
        state.SkipWithError("ANALYZE refused");
        return;
    }
    Agenda::FrmAge window(session.context());
    window.resize(window.sizeHint());
    window.show();
    window.showFrom(kFirstDay);
    QApplication::processEvents();

    std::vector<double> read, view;
    QElapsedTimer clock;
    int run = 0;
    for (auto _ : state) {
        const int dayIndex = (run++ * 397) % (kDays - kShown);
        const QDate first = kFirstDay.addDays(dayIndex);
        clock.start();
        const auto found = Agenda::appointmentsBetween(session.context().db, first, first.addDays(kShown - 1));
        read.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        window.showFrom(first);
        window.repaint();
        QApplication::processEvents();
        view.push_back(clock.nsecsElapsed() / 1e6);
        // Every appointment of the five days read and in a cell.
        const int held = heldFrom(dayIndex, rows);
        if (!found || found->size() != held || shownIn(window) != held) {
            state.SkipWithError(QStringLiteral("from %1: %2 held, %3 read, %4 shown")
                                    .arg(first.toString(Qt::ISODate))
                                    .arg(held)
                                    .arg(found ? found->size() : -1)
                                    .arg(shownIn(window))
                                    .toStdString()
                                    .c_str());
            return;
        }
    }
    reportTimes(state, "read", read);
    reportTimes(state, "view", view);
    state.counters["shown"] = heldFrom(0, rows);
}

} // namespace

void registerAgendaBenchmarks()
{
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        const std::string title = std::string("AgendaFiveDays/") + engineName + "/" + std::to_string(appointments());
        benchmark::RegisterBenchmark(title.c_str(), fiveDays, engine)
            ->Iterations(200)
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond);
    }
}

} // namespace Orlavo::Bench
