// A second workstation for the concurrency tests: runs one job against the
// archives named in its environment and reports on stdout.
//   lock USER               waits for ORLAVO_W_GO, takes the archive lock
//   increment USER N        waits for ORLAVO_W_GO, takes N numbers of 2026PROVA
//   appointments USER N     waits for ORLAVO_W_GO, adds N appointments on
//                           07/12/2026 at 09.00, saying each one's PROGR
//   unloads USER N          waits for ORLAVO_W_GO, posts N unloads of one
//                           piece of item 01/ABC/VITE
//   invoices USER N         waits for ORLAVO_W_GO, posts N worked invoices
//   invoice-crash USER STEP posts one worked invoice with withholding and
//                           dies (SIGKILL) when the posting reaches STEP
//   hang                    writes both databases, says READY and waits to be killed
//   crash-at-super-journal  writes both databases and dies inside the commit,
//   crash-after-commit-point  before or after its commit point

#include "agenda/stores/appointmentstore.h"
#include "../sales/workedinvoice.h"
#include "scriptedprompter.h"
#include "services/core/tablenames.h"
#include "services/data/counters.h"
#include "services/data/dataaccess.h"
#include "services/data/writeunit.h"
#include "warehouse/stores/movementstore.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QThread>

#include <sqlite3.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <unistd.h>

using namespace Orlavo;

namespace {

sqlite3_vfs g_shim;
sqlite3_vfs *g_real = nullptr;
const char *g_crashOn = nullptr;

// Dies, like a machine losing power, when SQLite deletes the named file.
int shimDelete(sqlite3_vfs *, const char *name, int syncDir)
{
    if (g_crashOn && std::strstr(name, g_crashOn))
        ::raise(SIGKILL);
    return g_real->xDelete(g_real, name, syncDir);
}

void installCrashShim(const char *marker)
{
    g_real = sqlite3_vfs_find(nullptr);
    g_shim = *g_real;
    g_shim.zName = "orlavo-crash";
    g_shim.xDelete = shimDelete;
    g_crashOn = marker;
    sqlite3_vfs_register(&g_shim, 1);
}

void say(const QString &line)
{
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

void waitForGo()
{
    const QString go = qEnvironmentVariable("ORLAVO_W_GO");
    while (!go.isEmpty() && !QFileInfo::exists(go))
        QThread::msleep(1);
}

// `times` writes, the go given first. A write refused because the other
// workstation holds the lock is tried again a moment later, as the message
// tells the operator; a moment between two writes, or on SQLite the one that
// started first would make them all before the other. DONE at the end.
int repeatWrites(Testing::ScriptedPrompter &prompter, int times, const std::function<Services::WriteResult(int)> &write)
{
    waitForGo();
    for (int i = 1, waits = 0; i <= times; ++i) {
        const Services::WriteResult result = write(i);
        if (result.end == Services::WriteEnd::LockHeld && ++waits < 100000) {
            prompter.clear();
            QThread::usleep(500);
            --i;
            continue;
        }
        if (!result.written()) {
            say(QStringLiteral("FAILED %1 %2").arg(result.step, prompter.texts().join(QLatin1Char('|'))));
            return 6;
        }
        QThread::msleep(2);
    }
    say(QStringLiteral("DONE"));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString job = args.value(0);
    if (job == QLatin1String("crash-at-super-journal"))
        installCrashShim("-mj");
    else if (job == QLatin1String("crash-after-commit-point"))
        installCrashShim("-journal");

    Services::AppState state;
    state.user = args.value(1, QStringLiteral("WORKER"));
    Testing::ScriptedPrompter prompter;
    Services::DataAccess db(state, prompter, QString());
    db.setExitHook([](int) { ::_exit(4); });
    db.setLockRetryDelay(5);
    Services::ConnectionConfig config;
    config.dbType = qEnvironmentVariable("ORLAVO_W_TYPE");
    config.pathDb = qEnvironmentVariable("ORLAVO_W_PATHDB");
    config.servicesFile = QStringLiteral("SERVIZI.MDB");
    config.server.host = qEnvironmentVariable("ORLAVO_W_HOST");
    config.server.port = qEnvironmentVariableIntValue("ORLAVO_W_PORT");
    config.server.database = qEnvironmentVariable("ORLAVO_W_DATABASE");
    config.server.user = qEnvironmentVariable("ORLAVO_W_USER");
    if (job.isEmpty() || !db.openServices(config) || !db.openCompany(QStringLiteral("01")))
        return 4;
    // A job that waits for the start says when its archives are open, so
    // the start is given once both workstations are ready.
    if (!qEnvironmentVariable("ORLAVO_W_GO").isEmpty())
        say(QStringLiteral("OPEN"));

    if (job == QLatin1String("lock")) {
        waitForGo();
        const bool locked = db.lockArchive(QStringLiteral("TUTTO"));
        say(locked ? QStringLiteral("LOCKED") : QStringLiteral("REFUSED"));
        for (const QString &text : prompter.texts())
            say(QStringLiteral("MSG ") + QString(text).replace(QLatin1Char('\n'), QLatin1Char('|')));
        return locked ? 0 : 3;
    }
    const int times = args.value(2).toInt();
    if (job == QLatin1String("increment")) {
        return repeatWrites(prompter, times, [&](int) {
            // A machine so busy that the wait for the other workstation ran
            // out: the engine refused the transaction and nothing was taken.
            Services::WriteUnit unit(db, QStringLiteral("Incremento"), Services::WriteUnit::Report::Quiet);
            if (!unit.ok())
                return Services::WriteResult::of(db.isLockConflict(db.error().number) ? Services::WriteEnd::LockHeld
                                                                                      : Services::WriteEnd::Failed);
            const bool taken = Services::Counters::nextNumber(db, QStringLiteral("2026PROVA")) != 0 && unit.commit();
            return Services::WriteResult::of(taken ? Services::WriteEnd::Written : Services::WriteEnd::Failed,
                                             db.error().step + QLatin1Char(' ') + db.error().description);
        });
    }
    if (job == QLatin1String("unloads")) {
        Services::Row unload(Warehouse::movementTable());
        const std::pair<const char *, QVariant> values[] = {{"ANNO", "2026"},     {"DATA_REG", QDate(2026, 5, 4)},
                                                            {"MAGAZZINO", "01"},  {"MARCA", "ABC"},
                                                            {"ARTICOLO", "VITE"}, {"CAUSALE", "S10"},
                                                            {"QUANTITA", 1},      {"PREZZO", 2.5}};
        for (const auto &[column, value] : values)
            unload.set(QString::fromLatin1(column), value);
        Warehouse::PriceUpdates prices;
        prices.listPrice = prices.purchasePrice = false;
        return repeatWrites(prompter, times, [&](int) { return Warehouse::insertMovement(db, unload, prices); });
    }
    if (job == QLatin1String("invoices")) {
        state.company = QStringLiteral("01");
        return repeatWrites(prompter, times, [&](int) {
            Sales::InvoicePosting posting = Sales::Worked::workedInvoice("VFM", Sales::Worked::kWorked, 10, 10);
            return Sales::postInvoice(db, posting).result;
        });
    }
    if (job == QLatin1String("invoice-crash")) {
        const QString step = args.value(2);
        state.company = QStringLiteral("01");
        db.setStepHook([step](const QString &reached) {
            if (reached == step)
                ::raise(SIGKILL);
        });
        Sales::InvoicePosting posting = Sales::Worked::workedInvoice("VFM", Sales::Worked::kWorked, 10, 10, 20);
        const Sales::Posted posted = Sales::postInvoice(db, posting);
        say(posted.result.written() ? QStringLiteral("NOT REACHED") : QStringLiteral("FAILED ") + posted.result.step);
        return 5;
    }
    if (job == QLatin1String("appointments")) {
        Agenda::Appointment appointment;
        appointment.day = QDate(2026, 12, 7);
        appointment.from = QStringLiteral("09.00");
        appointment.operatorName = state.user;
        return repeatWrites(prompter, times, [&](int i) {
            appointment.notes = QStringLiteral("%1 %2").arg(state.user).arg(i);
            const Services::WriteResult result = Agenda::insertAppointment(db, appointment);
            if (result.written())
                say(QStringLiteral("P %1").arg(result.code));
            return result;
        });
    }
    // Both databases written in one transaction, then the process dies:
    // while waiting (killed by the test) or inside the commit (shim).
    Services::WriteUnit unit(db, QStringLiteral("Scrittura"), Services::WriteUnit::Report::Quiet);
    if (!unit.execCompany(QStringLiteral("Ins. numera"),
                          QStringLiteral("INSERT INTO %1 (ANNO, NOME, NUMERATORE, MAX_NUMERA) VALUES (?, ?, ?, ?)")
                              .arg(Services::Tables::NUMERA),
                          {QStringLiteral("2026"), QStringLiteral("FVEND"), 0, 99999}) ||
        !unit.execServices(
            QStringLiteral("Ins. provincia"),
            QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Services::Tables::TAB_PROV),
            {QStringLiteral("ZZ"), QStringLiteral("PROVA")})) {
        return 7;
    }
    if (job == QLatin1String("hang")) {
        say(QStringLiteral("READY"));
        QThread::sleep(120);
        return 8;
    }
    return unit.commit() ? 0 : 9;
}
