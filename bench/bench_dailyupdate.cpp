// The daily update on the generated database (5,000 open orders, 100,000
// delivered appliances), against the bare set-based UPDATE statements on the
// same file. Target: the update at most 3 times the bare statements. A table
// of every figure follows the benchmarks: ours against the bare statements
// writing every row, and against them writing only the rows that change.
//
// Every iteration works on a fresh copy of the generated file (copied while
// the timer is paused, so the cached file stays as generated) and runs for the
// day after the one the file was made on, so that every open order's age
// changes as on a real first log-in of a day. Opening and keying the file is
// outside the measure on both sides.
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/generator.h"

#include "orders/dailyupdate.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/programfolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sqlcipher/sqlite3.h>

namespace {

struct Totals {
    double seconds = 0;
    long iterations = 0;
    double mean() const { return iterations ? seconds / double(iterations) : 0; }
};

const char* const EveryRow = "daily update (bare writes every row)";
const char* const ChangedRows = "daily update (bare writes changed rows)";

// The day the update runs for: the day after the generated file's day.
QDate updateDay() { return Clock::today().addDays(1); }

// A fresh copy of the generated file in a temporary folder.
struct FreshCopy {
    QTemporaryDir dir;
    QString path;
    FreshCopy() { path = BenchData::copyDatabase(dir.path()); }
};

void exec(sqlite3* db, const QByteArray& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &err) != SQLITE_OK) {
        const std::string text = err ? err : "erro";
        sqlite3_free(err);
        throw std::runtime_error(text);
    }
}

// The bare statements: one pass per table, every row written (as the update
// is defined), or only the rows whose value changes (as ours does).
QByteArray bareSql(bool changedOnly) {
    const QByteArray day = updateDay().toString(QStringLiteral("yyyy-MM-dd")).toUtf8();
    const QByteArray dias = "CAST(julianday('" + day + "') - julianday(DataEntrada) AS INTEGER)";
    const QByteArray flag = "(CASE WHEN DATALIMITEGARANTIA >= '" + day + "' THEN 1 ELSE 0 END)";
    return "BEGIN IMMEDIATE;"
           "UPDATE TblManutencao SET Dias = " + dias +
           (changedOnly ? " WHERE Dias IS NULL OR Dias <> " + dias : QByteArray()) + ";"
           "COMMIT;"
           "BEGIN IMMEDIATE;"
           "UPDATE TblApEntregues SET \"Garantia de Serviço\" = " + flag +
           (changedOnly ? " WHERE \"Garantia de Serviço\" IS NULL OR \"Garantia de Serviço\" <> " + flag
                        : QByteArray()) + ";"
           "COMMIT;"
           "UPDATE TblConfig SET DtAtual = '" + day + "';";
}

void runBare(benchmark::State& state, bool changedOnly) {
    const QByteArray sql = bareSql(changedOnly);
    Totals totals;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<FreshCopy>();
        auto conn = std::make_unique<Bare::Connection>(copy->path);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        exec(conn->handle(), sql);
        totals.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++totals.iterations;
        state.PauseTiming();
        conn.reset();
        copy.reset();
        state.ResumeTiming();
    }
    figures().recordBare(changedOnly ? ChangedRows : EveryRow, totals.mean());
}

void BM_DailyUpdate_Bare(benchmark::State& state) { runBare(state, false); }
void BM_DailyUpdate_BareChangedRows(benchmark::State& state) { runBare(state, true); }

void BM_DailyUpdate_Ours(benchmark::State& state) {
    const QDate day = updateDay();
    long changedAges = 0;
    Totals ours;
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = std::make_unique<FreshCopy>();
        auto db = std::make_unique<Database>(copy->path, QString::fromUtf8(ConnectWithPassword));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        const DailyUpdate::Result r = DailyUpdate::run(*db, day, [](DailyUpdate::Pass, int, int) {});
        ours.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++ours.iterations;
        state.PauseTiming();
        if (!r.manutencaoDone || !r.apEntreguesDone || !r.stamped) state.SkipWithError("a pass failed");
        changedAges = r.manutencaoRows;
        db.reset();
        copy.reset();
        state.ResumeTiming();
    }
    state.counters["open_orders"] = double(changedAges);
    figures().recordOurs(state, EveryRow, ours.mean());
    figures().recordOurs(state, ChangedRows, ours.mean(), "ratio_changed_rows");
}

BENCHMARK(BM_DailyUpdate_Bare)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DailyUpdate_BareChangedRows)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_DailyUpdate_Ours)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_dailyupdate", [] { BenchData::ensureDatabase(); },
                         "target: the update at most 3 times the bare statements writing every row", false);
}
