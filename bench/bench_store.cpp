// The store against bare SQL on the same generated file (see
// support/generator.h): each measure runs twice, first as the bare SQLCipher
// C API equivalent ("<measure>/bare"), then through the store ("<measure>/ours",
// with the ratio ours/bare as a counter). A table of every figure follows the
// benchmarks. Targets: every ratio at most 2; the open cursor holds under 20 MB.
//
// Both sides keep their connection open across iterations (the program keeps
// one shared connection per process), so opening and keying the file is not
// part of any measure except the memory one.
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/looptimer.h"

#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/sqldialect.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const QString DeliveredByName = QStringLiteral("SELECT * FROM TblApEntregues ORDER BY Nome");
const char* const BareDeliveredByName = "SELECT rowid FROM TblApEntregues ORDER BY Nome";
const QString FindCriterion = QStringLiteral("Nome LIKE 'SILV*'");
const char* const BareFind = "SELECT rowid FROM TblClientes WHERE Nome LIKE 'SILV*' ORDER BY rowid LIMIT 1";

// Grid pages read one after the other, all in the middle of the 100,000 rows.
// ColdPages are more than the connection's page cache holds, so that every
// read finds its rows on the file, as a grid scrolled to the middle does; the
// two CachedPages stay in the cache, which leaves the store's own work.
constexpr int PageRows = 50;
constexpr int ColdPages = 64;
constexpr int CachedPages = 2;

std::string pageMeasure(int pages) {
    return pages == CachedPages ? "read 50 rows (pages in cache)" : "read 50 rows from the middle";
}

// --- Opening a cursor ordered by name, with its record count --------------

void OpenCursor_Bare(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    std::size_t rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        const std::vector<std::int64_t> keys = Bare::keys(files.bare->handle(), BareDeliveredByName);
        rows = keys.size();
        benchmark::DoNotOptimize(rows);
    }
    figures().recordBare("open cursor by Nome + count", t.perIteration(state));
    state.counters["rows"] = double(rows);
}

void OpenCursor_Ours(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    int rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        RecordCursor c;
        c.open(files.path, DeliveredByName, QString::fromUtf8(ConnectWithPassword));
        rows = c.recordCount();
        benchmark::DoNotOptimize(rows);
    }
    figures().recordOurs(state, "open cursor by Nome + count", t.perIteration(state));
    state.counters["rows"] = rows;
}

// --- Find first on the customers ------------------------------------------

void FindFirst_Bare(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    std::int64_t key = -1;
    LoopTimer t;
    for (auto _ : state) {
        Bare::Statement st(files.bare->handle(), BareFind);
        key = st.step() ? sqlite3_column_int64(st.get(), 0) : -1;
        benchmark::DoNotOptimize(key);
    }
    figures().recordBare("find first Nome LIKE 'SILV*'", t.perIteration(state));
    state.counters["key"] = double(key);
}

void FindFirst_Ours(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    RecordCursor c;
    c.open(files.path, QStringLiteral("TblClientes"), QString::fromUtf8(ConnectWithPassword));
    LoopTimer t;
    for (auto _ : state) {
        const bool found = c.findFirst(FindCriterion);
        benchmark::DoNotOptimize(found);
    }
    figures().recordOurs(state, "find first Nome LIKE 'SILV*'", t.perIteration(state));
    state.counters["key"] = double(c.currentKey());
    if (c.noMatch()) state.SkipWithError("no customer matched");
}

// --- Name-prefix finds in name order, 100,000 and 1,000,000 customers -------

// A prefix that names have and one that none has; range 1 picks the file
// (0: the 100,000 customers, 1: the million).
const char* const Prefixes[] = {"SILV", "XYZ"};

BenchFiles& prefixFile(const benchmark::State& state) {
    return state.range(1) ? BenchFiles::largeCustomers() : BenchFiles::generated();
}

std::string prefixMeasure(const benchmark::State& state) {
    return std::string("find '") + Prefixes[state.range(0)] + "*' in name order" +
           (state.range(1) ? " [1,000,000]" : " [100,000]");
}

// The bare side: the indexed range query of the prefix, then the found row
// read by its key and its place in the list looked up in a table of the keys
// made once, as the cursor keeps one.
void PrefixFind_Bare(benchmark::State& state) {
    BenchFiles& files = prefixFile(state);
    const char* prefix = Prefixes[state.range(0)];
    const std::vector<std::int64_t> keys = Bare::keys(files.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
    std::unordered_map<std::int64_t, std::size_t> place;
    for (std::size_t i = 0; i < keys.size(); ++i) place.emplace(keys[i], i);
    QByteArray next = prefix;
    next[next.size() - 1] = char(next[next.size() - 1] + 1);
    const QByteArray sql = QByteArray("SELECT rowid FROM TblClientes WHERE Nome >= '") + prefix + "' AND Nome < '" + next +
                           "' AND Nome LIKE '" + prefix + "*' ORDER BY Nome, rowid LIMIT 1";
    std::size_t at = 0;
    LoopTimer t;
    for (auto _ : state) {
        Bare::Statement st(files.bare->handle(), sql);
        if (st.step()) {
            const std::int64_t key = sqlite3_column_int64(st.get(), 0);
            at = place.at(key);
            Bare::readRows(files.bare->handle(), "SELECT * FROM TblClientes WHERE rowid = " + QByteArray::number(qlonglong(key)));
        }
        benchmark::DoNotOptimize(at);
    }
    figures().recordBare(prefixMeasure(state), t.perIteration(state));
}

void PrefixFind_Ours(benchmark::State& state) {
    BenchFiles& files = prefixFile(state);
    RecordCursor c;
    c.open(files.path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"), QString::fromUtf8(ConnectWithPassword));
    const QString criterion = SqlDialect::beginsWith(QStringLiteral("Nome"), QString::fromLatin1(Prefixes[state.range(0)]));
    c.findFirst(criterion);   // the cursor's table of keys, made on the first find
    LoopTimer t;
    for (auto _ : state) {
        c.moveFirst();
        benchmark::DoNotOptimize(c.findFirst(criterion));
    }
    figures().recordOurs(state, prefixMeasure(state), t.perIteration(state));
    state.counters["found"] = !c.noMatch();
}

// --- A find right after a row was added -------------------------------------

// The window adds a customer and finds it (or another) at once: a row is
// added through the cursor, a prefix found, and the row deleted again so
// that the kept file stays as generated. The bare side does the same writes
// and the indexed range query.
std::string addFindMeasure(const benchmark::State& state) {
    return std::string("add a row, find 'SILV*', delete it") + (state.range(0) ? " [1,000,000]" : " [100,000]");
}

BenchFiles& addFindFile(const benchmark::State& state) {
    return state.range(0) ? BenchFiles::largeCustomers() : BenchFiles::programCopy();
}

void AddFind_Bare(benchmark::State& state) {
    BenchFiles& files = addFindFile(state);
    sqlite3* db = files.bare->handle();
    LoopTimer t;
    for (auto _ : state) {
        sqlite3_exec(db, "INSERT INTO TblClientes (Nome) VALUES ('ZZ BENCH')", nullptr, nullptr, nullptr);
        const std::int64_t added = sqlite3_last_insert_rowid(db);
        Bare::Statement st(db, "SELECT rowid FROM TblClientes WHERE Nome >= 'SILV' AND Nome < 'SILW' AND "
                               "Nome LIKE 'SILV*' ORDER BY Nome, rowid LIMIT 1");
        benchmark::DoNotOptimize(st.step());
        sqlite3_exec(db, ("DELETE FROM TblClientes WHERE rowid = " + std::to_string(added)).c_str(), nullptr, nullptr,
                     nullptr);
    }
    figures().recordBare(addFindMeasure(state), t.perIteration(state));
}

void AddFind_Ours(benchmark::State& state) {
    BenchFiles& files = addFindFile(state);
    RecordCursor c;
    c.open(files.path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"), QString::fromUtf8(ConnectWithPassword));
    const QString criterion = SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("SILV"));
    c.findFirst(criterion);   // the cursor's table of keys, made on the first find
    LoopTimer t;
    for (auto _ : state) {
        c.addNew();
        c.setField(QStringLiteral("Nome"), QStringLiteral("ZZ BENCH"));
        const qint64 added = c.update();
        benchmark::DoNotOptimize(c.findFirst(criterion));
        c.findFirst(QStringLiteral("Codigo = %1").arg(added));
        c.deleteCurrent();
    }
    figures().recordOurs(state, addFindMeasure(state), t.perIteration(state));
}

// --- A grid page of 50 rows from the middle -------------------------------

int middlePage(int iteration, int pages, int rowCount) {
    const int first = (rowCount / 2 - pages * PageRows / 2) / PageRows * PageRows;
    return first + (iteration % pages) * PageRows;
}

void PageRead_Bare(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    const int pages = int(state.range(0));
    // The keys in name order, as the cursor holds them.
    const std::vector<std::int64_t> keys =
        Bare::keys(files.bare->handle(), "SELECT rowid FROM TblApEntregues ORDER BY Nome, rowid");
    int i = 0, rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        const int start = middlePage(i++, pages, int(keys.size()));
        rows = Bare::readRowsByKey(files.bare->handle(), "TblApEntregues", keys, std::size_t(start), PageRows);
    }
    figures().recordBare(pageMeasure(pages), t.perIteration(state));
    state.counters["rows"] = rows;
}

void PageRead_Ours(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    const int pages = int(state.range(0));
    RecordCursor c;
    c.open(files.path, DeliveredByName, QString::fromUtf8(ConnectWithPassword));
    const int columns = int(c.fieldNames().size());
    int i = 0;
    qsizetype values = 0;
    LoopTimer t;
    for (auto _ : state) {
        const int start = middlePage(i++, pages, c.recordCount());
        values = 0;
        for (int r = start; r < start + PageRows; ++r) values += c.rowAt(r).size();
        benchmark::DoNotOptimize(values);
    }
    figures().recordOurs(state, pageMeasure(pages), t.perIteration(state));
    state.counters["rows"] = double(values / std::max(columns, 1));
}

// --- Memory held by the open cursor ---------------------------------------

// Resident memory taken by whatever make() opens and keeps, in MB. The
// store's shared connection is closed first, so that both sides pay for a
// connection of their own, as a cursor opened alone does.
template <typename Make>
double heldMegabytes(Make make) {
    Bare::releaseFreeMemory();
    const std::int64_t before = Bare::residentBytes();
    auto held = make();
    Bare::releaseFreeMemory();
    const std::int64_t after = Bare::residentBytes();
    benchmark::DoNotOptimize(held);
    return double(after - before) / (1024.0 * 1024.0);
}

void CursorMemory(benchmark::State& state) {
    BenchFiles& files = BenchFiles::generated();
    files.db.close();
    double ours = 0, bare = 0;
    for (auto _ : state) {
        bare = heldMegabytes([&] {
            auto conn = std::make_shared<Bare::Connection>(files.path);
            auto keys = std::make_shared<std::vector<std::int64_t>>(Bare::keys(conn->handle(), BareDeliveredByName));
            keys->shrink_to_fit();
            return std::make_pair(conn, keys);
        });
        ours = heldMegabytes([&] {
            auto c = std::make_shared<RecordCursor>();
            c->open(files.path, DeliveredByName, QString::fromUtf8(ConnectWithPassword));
            c->rowAt(c->recordCount() / 2);   // a grid page shown
            return c;
        });
    }
    files.db = Database(files.path, QString::fromUtf8(ConnectWithPassword));
    figures().record(state, "memory of the open 100,000-row cursor", ours, bare, Figures::Unit::Megabytes);
    state.counters["ours_MB"] = ours;
    state.counters["bare_MB"] = bare;
}

BENCHMARK(OpenCursor_Bare)->Name("open_cursor_by_name/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(OpenCursor_Ours)->Name("open_cursor_by_name/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(FindFirst_Bare)->Name("find_first_silv/bare")->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(FindFirst_Ours)->Name("find_first_silv/ours")->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PrefixFind_Bare)->Name("prefix_find/bare")->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PrefixFind_Ours)->Name("prefix_find/ours")->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(AddFind_Bare)->Name("add_find/bare")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(AddFind_Ours)->Name("add_find/ours")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PageRead_Bare)->Name("page_of_50_middle/bare")->Arg(ColdPages)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PageRead_Ours)->Name("page_of_50_middle/ours")->Arg(ColdPages)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PageRead_Bare)->Name("page_of_50_cached/bare")->Arg(CachedPages)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PageRead_Ours)->Name("page_of_50_cached/ours")->Arg(CachedPages)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(CursorMemory)->Name("open_cursor_memory")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_store",
                         [] {
                             BenchFiles::generated();
                             BenchFiles::largeCustomers();
                             BenchFiles::programCopy();
                         },
                         "targets: every ratio at most 2, prefix finds at most 1.5; the open cursor holds under 20 MB",
                         false);
}
