#include "itemsearchbench.h"

#include "masterdata/windows/artielri.h"
#include "services/core/tablenames.h"
#include "ui/lookuplist.h"
#include "windowsession.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <array>

namespace Orlavo::Bench {

namespace {

using Services::Engine;
namespace Tables = Services::Tables;

constexpr int kItems = 200000;
constexpr int kBrands = 100;
// Descriptions cycle through these, the item's number last: "vite" starts
// a word in one item of five, "12345" in eleven items.
constexpr std::array<const char *, 10> kNouns = {"VITE",   "BULLONE", "DADO",    "RONDELLA", "VITE",
                                                 "CHIAVE", "PINZA",   "TRAPANO", "AVVITATORE", "PUNTA"};
constexpr std::array<const char *, 7> kKinds = {"ZINCATA", "INOX", "OTTONE", "ACCIAIO", "RAME", "NYLON", "FERRO"};

QString brandOf(int i)
{
    return QStringLiteral("M%1").arg(i % kBrands, 2, 10, QLatin1Char('0'));
}

int items()
{
    const int rows = qEnvironmentVariableIntValue("ORLAVO_BENCH_ROWS");
    return rows > 0 ? rows : kItems;
}

WindowSession itemSession(Engine engine)
{
    return WindowSession(engine,
                         QStringLiteral("INSERT INTO %1 (MAGAZZINO, MARCA, ARTICOLO, DESC_ART, TIPO_ART, UNITA_MIS, "
                                        "COD_MERCE, ESISTENZA, PREZZO_LIST) VALUES ('01', ?, ?, ?, ?, 'PZ', ?, ?, ?)")
                             .arg(Tables::ARTICOLI),
                         items(), [](int i) -> Services::Params {
                             return {brandOf(i),
                                     QStringLiteral("ART%1").arg(i, 6, 10, QLatin1Char('0')),
                                     QStringLiteral("%1 %2 %3")
                                         .arg(QLatin1String(kNouns[i % kNouns.size()]),
                                              QLatin1String(kKinds[(i / 10) % kKinds.size()]))
                                         .arg(i),
                                     QStringLiteral("0%1").arg(i % 5),
                                     QStringLiteral("G%1").arg(i % 40),
                                     i % 50,
                                     1.5 + i % 100};
                         });
}

bool addBrands(WindowSession &session)
{
    Services::WriteUnit unit(session.context().db, QStringLiteral("Prova marche"), Services::WriteUnit::Report::Quiet);
    for (int b = 0; b < kBrands && unit.ok(); ++b)
        unit.execCompany(QStringLiteral("Ins. marca"),
                         QStringLiteral("INSERT INTO %1 (CODICE, DESCRIZIONE) VALUES (?, ?)").arg(Tables::TAB_MARCHE),
                         {brandOf(b), QStringLiteral("Marca di prova %1").arg(b)});
    return unit.commit();
}

// Lista in ArtiELri: the typed filters read, the statement built, the rows
// read in brand and code order, the list shown and painted.
void itemList(benchmark::State &state, Engine engine, const char *field, const char *typed)
{
    WindowSession session = itemSession(engine);
    if (!session.ready() || !addBrands(session)) {
        state.SkipWithError(session.ready() ? "brands not written" : session.problem().c_str());
        return;
    }
    Masterdata::ArtiELri window(session.context(), true);
    window.field(QString::fromLatin1(field))->setText(QString::fromLatin1(typed));
    ListedScreen screen;
    for (auto _ : state) {
        const auto search = window.search();
        if (!search) {
            state.SkipWithError("search refused");
            return;
        }
        if (!paintList(state, session.context(), window.listRequest(*search), screen))
            return;
    }
    reportScreen(state, screen);
}

} // namespace

void registerItemSearchBenchmarks()
{
    const struct {
        const char *label, *field, *typed;
    } searches[] = {
        {"brand_M42", "MARCA", "M42"},
        {"word_vite", "DESC_ART", "vite"},
        {"word_12345", "DESC_ART", "12345"},
    };
    for (const auto &[engineName, engine] :
         {std::pair{"SQLite", Engine::Sqlite}, std::pair{"PostgreSQL", Engine::Postgres}}) {
        for (const auto &s : searches) {
            const std::string title = std::string("ItemList200k/") + s.label + "/" + engineName;
            benchmark::RegisterBenchmark(title.c_str(), itemList, engine, s.field, s.typed)
                ->UseRealTime()
                ->Unit(benchmark::kMillisecond)
                ->MinTime(2.0);
        }
    }
}

} // namespace Orlavo::Bench
