#include "services/data/counters.h"

#include "services/core/tablenames.h"
#include "services/data/dataaccess.h"
#include "services/data/prompter.h"
#include "services/data/writeunit.h"

#include <cstdlib>

namespace Orlavo::Services::Counters {

namespace {
constexpr char kNotFound[] = "Non trovato il numeratore ";
constexpr char kSpent[] = "Fine numeratori ";
constexpr char kCannotGoOn[] = "Impossibile procedere. ";
constexpr char kRead[] = "SELECT numeratore ,max_numera FROM %1 WHERE anno = ? AND nome = ?";
constexpr char kUpdate[] = "UPDATE %1 SET numeratore = ? WHERE anno = ? AND nome = ?";
constexpr char kExists[] = "SELECT NOME FROM %1 WHERE ANNO = ? AND NOME = ?";
constexpr char kInsert[] = "INSERT INTO %1 (ANNO, NOME, DESCRIZIONE, NUMERATORE, MAX_NUMERA) VALUES (?, ?, ?, ?, ?)";
constexpr char kPreviousYear[] = "SELECT DISTINCT NOME, DESCRIZIONE FROM %1 WHERE ANNO = ? ORDER BY NOME";
constexpr char kVerifyWhere[] = "Verif. numeratori";
constexpr char kInsertStep[] = "Insert numera";
const QString kYearless = QStringLiteral("****");

enum class Taken { Number, Missing, Spent, Failed };

struct Take {
    Taken outcome = Taken::Failed;
    int number = 0;
};

// Read, add one, write back, on the table given, in the open transaction.
Take take(DataAccess &db, const QString &table, const QString &key)
{
    // A key without a name after its year cannot name a counter.
    if (key.size() < 5)
        return {Taken::Missing};
    const QString year = key.left(4);
    const QString name = key.mid(4);
    auto rows = db.openRecordsetForUpdate(QString::fromLatin1(kRead).arg(table), {year, name});
    if (!rows)
        return {Taken::Failed};
    if (rows->isEmpty())
        return {Taken::Missing};
    const auto row = rows->first();
    const int next = row.integer(QStringLiteral("numeratore")) + 1;
    if (next >= row.integer(QStringLiteral("max_numera")))
        return {Taken::Spent};
    if (db.executeSql(QString::fromLatin1(kUpdate).arg(table), {next, year, name}) != kErrNone)
        return {Taken::Failed};
    return {Taken::Number, next};
}

void setCounterError(DataAccess &db, const char *message, const QString &key)
{
    db.error().code = kErrCounter;
    db.error().number.clear();
    db.error().description = QString::fromUtf8(message) + key;
    db.setStep(QString::fromUtf8(message) + key);
}
} // namespace

int nextNumber(DataAccess &db, const QString &key)
{
    const Take taken = take(db, Tables::NUMERA, key);
    switch (taken.outcome) {
    case Taken::Number: return taken.number;
    case Taken::Missing: setCounterError(db, kNotFound, key); return 0;
    case Taken::Spent: setCounterError(db, kSpent, key); return 0;
    case Taken::Failed: break;
    }
    return 0;
}

int nextNumberS(DataAccess &db, const QString &key, const std::function<void()> &beforeExit)
{
    const Take taken = take(db, Tables::NUMERA_S, key);
    if (taken.outcome == Taken::Number)
        return taken.number;
    if (taken.outcome == Taken::Failed)
        return 0;
    const char *message = taken.outcome == Taken::Missing ? kNotFound : kSpent;
    setCounterError(db, message, key);
    db.prompter().error(QString::fromUtf8(message) + key + QChar(12) + QString::fromUtf8(kCannotGoOn),
                        QStringLiteral("Errore"));
    if (db.inTransaction())
        db.rollbackTransBoth();
    if (beforeExit)
        beforeExit();
    db.exitApplication(EXIT_FAILURE);
    return 0;
}

const QList<Counter> &firstYearCounters()
{
    static const QList<Counter> counters = [] {
        QList<Counter> list = {{QStringLiteral("NROINT"), QStringLiteral("Numero interno registrazioni contabili")}};
        // Sales invoices and their documents, for the ordinary series and
        // the series A, B and C, with credit and debit notes and proposals.
        const struct {
            const char *suffix;
            const char *what;
        } kinds[] = {{"", "Fatture di vendita"},
                     {"_NA", "Note di accredito"},
                     {"_ND", "Note di addebito"},
                     {"_PR", "Proposte di fattura"},
                     {"_NA_PR", "Proposte di nota di accredito"},
                     {"_ND_PR", "Proposte di nota di addebito"}};
        for (const QString &series : {QString(), QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}) {
            const QString seriesText = series.isEmpty() ? QString() : QStringLiteral(" serie ") + series;
            for (const auto &kind : kinds) {
                const QString what = QString::fromUtf8(kind.what);
                list.append({QStringLiteral("FVEND") + series + QLatin1String(kind.suffix), what + seriesText});
                list.append({QStringLiteral("FVEND") + series + QStringLiteral("DOC") + QLatin1String(kind.suffix),
                             what + seriesText + QStringLiteral(" (documento)")});
            }
        }
        list.append({
            {QStringLiteral("DDT"), QStringLiteral("Documenti di trasporto")},
            {QStringLiteral("DDTACQ"), QStringLiteral("Documenti di trasporto di carico")},
            {QStringLiteral("MOVMAG"), QStringLiteral("Movimenti di magazzino")},
            {QStringLiteral("FACQ"), QStringLiteral("Fatture di acquisto")},
            {QStringLiteral("RICEVUTA"), QStringLiteral("Ricevute fiscali")},
            {QStringLiteral("RICBANCA"), QStringLiteral("Ricevute bancarie")},
            {QStringLiteral("CORRISPETTIVI"), QStringLiteral("Corrispettivi")},
            {QStringLiteral("OFFERTE"), QStringLiteral("Ordini da cliente")},
            {QStringLiteral("PREVENTIVI"), QStringLiteral("Preventivi")},
            {QStringLiteral("COMMESSE"), QStringLiteral("Commesse")},
            {QStringLiteral("GIORNALE"), QStringLiteral("Libro giornale")},
        });
        return list;
    }();
    return counters;
}

const QList<Counter> &yearlessCounters()
{
    static const QList<Counter> counters = {{QStringLiteral("ANAC"), QStringLiteral("Codici clienti")},
                                            {QStringLiteral("ANAF"), QStringLiteral("Codici fornitori")}};
    return counters;
}

namespace {
bool insertMissing(WriteUnit &unit, const QString &year, const Counter &counter)
{
    auto found = unit.read(QString::fromLatin1(kExists).arg(Tables::NUMERA), {year, counter.name});
    if (!found)
        return false;
    if (!found->isEmpty())
        return true;
    return unit.execCompany(QString::fromLatin1(kInsertStep), QString::fromLatin1(kInsert).arg(Tables::NUMERA),
                            {year, counter.name, counter.description, 0, kLimit});
}
} // namespace

bool insertFirstYearCounters(WriteUnit &unit, const QString &year, bool withYearless)
{
    for (const Counter &counter : firstYearCounters()) {
        if (!insertMissing(unit, year, counter))
            return false;
    }
    if (withYearless) {
        for (const Counter &counter : yearlessCounters()) {
            if (!insertMissing(unit, kYearless, counter))
                return false;
        }
    }
    return true;
}

bool verifyYearCounters(DataAccess &db, const QString &year)
{
    bool numeric = false;
    const int working = year.toInt(&numeric);
    if (year.size() != 4 || !numeric)
        return false;
    ArchiveLock lock(db, QString::fromLatin1(kWholeArchive));
    if (!lock)
        return false;
    WriteUnit unit(db, QString::fromLatin1(kVerifyWhere));
    auto previous = unit.read(QString::fromLatin1(kPreviousYear).arg(Tables::NUMERA),
                              {QString::number(working - 1).rightJustified(4, QLatin1Char('0'))});
    if (!previous)
        return false;
    if (previous->isEmpty()) {
        if (!insertFirstYearCounters(unit, year, false))
            return false;
    } else {
        for (const auto &row : *previous) {
            if (!insertMissing(unit, year, {row.text(QStringLiteral("NOME")), row.text(QStringLiteral("DESCRIZIONE"))}))
                return false;
        }
    }
    return unit.commit();
}

} // namespace Orlavo::Services::Counters
