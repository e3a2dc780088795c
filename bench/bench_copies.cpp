// Copies of the program writing to one database file at once, each a real
// process (see tests/support/copywriters.h): eight copies each raising the
// running-copies counter 500 times and adding 500 customers through a record
// cursor, interleaved, as fast as they can; then two copies, for the wait of
// a copy's first write. The file is a fresh database in a temporary folder.
// Targets: no write lost, no lock error, the longest single wait far below
// the wait limit (30 s), a copy's first write with two copies under 1 s.
#include "support/benchmain.h"
#include "support/copywriters.h"
#include "support/figures.h"

#include "store/database.h"
#include "store/schema.h"

#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

// One run of `copies` copies on a fresh file; the counters and figures of it.
void runCopies(benchmark::State& state, int copies, int each) {
    CopyWriters::Run run;
    int lost = 0;
    for (auto _ : state) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
        Schema::createDatabaseFile(path);
        run = CopyWriters::start(path, copies, each, 600000);
        Database db(path);
        lost = copies * each - db.scalar(QStringLiteral("SELECT Qtde FROM TblConfig")).toInt();
        lost += copies * each - db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes")).toInt();
    }
    int failed = 0;
    qint64 firstWrite = 0, slowestCopy = 0, fastestCopy = -1;
    for (const CopyWriters::Copy& c : run.copies) {
        if (!c.finished || c.exitCode != 0) ++failed;
        firstWrite = std::max(firstWrite, c.firstWriteUs);
        slowestCopy = std::max(slowestCopy, c.totalUs);
        fastestCopy = fastestCopy < 0 ? c.totalUs : std::min(fastestCopy, c.totalUs);
    }
    const std::string label = std::to_string(copies) + " copies x " + std::to_string(each);
    Figures& f = figures();
    f.record(state, label + ": longest single write wait", double(run.longestWaitUs()) * 1e-6, -1, Figures::Unit::Seconds);
    f.record(state, label + ": longest first write", double(firstWrite) * 1e-6, -1, Figures::Unit::Seconds);
    f.record(state, label + ": slowest copy, all its writes", double(slowestCopy) * 1e-6, double(fastestCopy) * 1e-6,
             Figures::Unit::Seconds);
    state.counters["longest_wait_ms"] = double(run.longestWaitUs()) / 1000.0;
    state.counters["first_write_ms"] = double(firstWrite) / 1000.0;
    state.counters["lost_writes"] = lost;
    state.counters["failed_copies"] = failed;
    if (lost != 0 || failed != 0) state.SkipWithError("writes lost or copies failed");
}

void EightCopies(benchmark::State& state) { runCopies(state, 8, 500); }
void TwoCopies(benchmark::State& state) { runCopies(state, 2, 500); }

} // namespace

BENCHMARK(EightCopies)->Name("copies/8x500")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK(TwoCopies)->Name("copies/2x500")->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

int main(int argc, char** argv) {
    if (const std::optional<int> code = CopyWriters::serve(argc, argv)) return *code;
    return runBenchmarks(argc, argv, "bench_copies", {},
                         "targets: no write lost, no copy failed; longest wait far below the 30 s limit; "
                         "first write with two copies under 1 s (the 'bare' column of the last row is the "
                         "fastest copy)",
                         false);
}
