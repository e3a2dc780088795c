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
#include "support/generator.h"
#include "support/looptimer.h"

#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <sqlcipher/sqlite3.h>
#include <string>
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

// The shared file and both sides' open connections.
struct Files {
    QString path;
    Database db;   // keeps the store's shared connection open
    std::unique_ptr<Bare::Connection> bare;

    static Files& get() {
        static Files f;
        if (f.path.isEmpty()) {
            f.path = BenchData::ensureDatabase();
            f.db = Database(f.path, QString::fromUtf8(ConnectWithPassword));
            f.bare = std::make_unique<Bare::Connection>(f.path);
        }
        return f;
    }
};

// The figures of each measure, in the order they were taken.
struct Figure {
    std::string measure;
    std::string unit;
    double ours = -1, bare = -1;
};
std::vector<Figure> g_figures;

Figure& figure(const std::string& measure, const std::string& unit) {
    for (Figure& f : g_figures)
        if (f.measure == measure) return f;
    g_figures.push_back({measure, unit});
    return g_figures.back();
}

void recordBare(const std::string& measure, double seconds) { figure(measure, "time").bare = seconds; }

void recordOurs(benchmark::State& state, const std::string& measure, double seconds) {
    Figure& f = figure(measure, "time");
    f.ours = seconds;
    if (f.bare > 0) state.counters["ratio"] = seconds / f.bare;
}

// --- Opening a cursor ordered by name, with its record count --------------

void OpenCursor_Bare(benchmark::State& state) {
    Files& files = Files::get();
    std::size_t rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        const std::vector<std::int64_t> keys = Bare::keys(files.bare->handle(), BareDeliveredByName);
        rows = keys.size();
        benchmark::DoNotOptimize(rows);
    }
    recordBare("open cursor by Nome + count", t.perIteration(state));
    state.counters["rows"] = double(rows);
}

void OpenCursor_Ours(benchmark::State& state) {
    Files& files = Files::get();
    int rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        RecordCursor c;
        c.open(files.path, DeliveredByName, QString::fromUtf8(ConnectWithPassword));
        rows = c.recordCount();
        benchmark::DoNotOptimize(rows);
    }
    recordOurs(state, "open cursor by Nome + count", t.perIteration(state));
    state.counters["rows"] = rows;
}

// --- Find first on the customers ------------------------------------------

void FindFirst_Bare(benchmark::State& state) {
    Files& files = Files::get();
    std::int64_t key = -1;
    LoopTimer t;
    for (auto _ : state) {
        Bare::Statement st(files.bare->handle(), BareFind);
        key = st.step() ? sqlite3_column_int64(st.get(), 0) : -1;
        benchmark::DoNotOptimize(key);
    }
    recordBare("find first Nome LIKE 'SILV*'", t.perIteration(state));
    state.counters["key"] = double(key);
}

void FindFirst_Ours(benchmark::State& state) {
    Files& files = Files::get();
    RecordCursor c;
    c.open(files.path, QStringLiteral("TblClientes"), QString::fromUtf8(ConnectWithPassword));
    LoopTimer t;
    for (auto _ : state) {
        const bool found = c.findFirst(FindCriterion);
        benchmark::DoNotOptimize(found);
    }
    recordOurs(state, "find first Nome LIKE 'SILV*'", t.perIteration(state));
    state.counters["key"] = double(c.currentKey());
    if (c.noMatch()) state.SkipWithError("no customer matched");
}

// --- A grid page of 50 rows from the middle -------------------------------

int middlePage(int iteration, int pages, int rowCount) {
    const int first = (rowCount / 2 - pages * PageRows / 2) / PageRows * PageRows;
    return first + (iteration % pages) * PageRows;
}

void PageRead_Bare(benchmark::State& state) {
    Files& files = Files::get();
    const int pages = int(state.range(0));
    // The keys in name order, as the cursor holds them.
    const std::vector<std::int64_t> keys =
        Bare::keys(files.bare->handle(), "SELECT rowid FROM TblApEntregues ORDER BY Nome, rowid");
    int i = 0, rows = 0;
    LoopTimer t;
    for (auto _ : state) {
        const int start = middlePage(i++, pages, int(keys.size()));
        QByteArray sql = "SELECT * FROM TblApEntregues WHERE rowid IN (";
        for (int r = 0; r < PageRows; ++r) {
            if (r) sql += ',';
            sql += QByteArray::number(qlonglong(keys[std::size_t(start + r)]));
        }
        sql += ')';
        rows = Bare::readRows(files.bare->handle(), sql);
    }
    recordBare(pageMeasure(pages), t.perIteration(state));
    state.counters["rows"] = rows;
}

void PageRead_Ours(benchmark::State& state) {
    Files& files = Files::get();
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
    recordOurs(state, pageMeasure(pages), t.perIteration(state));
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
    Files& files = Files::get();
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
    Figure& f = figure("memory of the open 100,000-row cursor", "MB");
    f.ours = ours;
    f.bare = bare;
    state.counters["ours_MB"] = ours;
    state.counters["bare_MB"] = bare;
    if (bare > 0) state.counters["ratio"] = ours / bare;
}

BENCHMARK(OpenCursor_Bare)->Name("open_cursor_by_name/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(OpenCursor_Ours)->Name("open_cursor_by_name/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(FindFirst_Bare)->Name("find_first_silv/bare")->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(FindFirst_Ours)->Name("find_first_silv/ours")->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PageRead_Bare)->Name("page_of_50_middle/bare")->Arg(ColdPages)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PageRead_Ours)->Name("page_of_50_middle/ours")->Arg(ColdPages)->Unit(benchmark::kMicrosecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PageRead_Bare)->Name("page_of_50_cached/bare")->Arg(CachedPages)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PageRead_Ours)->Name("page_of_50_cached/ours")->Arg(CachedPages)->Unit(benchmark::kMicrosecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(CursorMemory)->Name("open_cursor_memory")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

std::string timeText(double seconds) {
    char buf[32];
    if (seconds < 0) return "-";
    if (seconds >= 0.1) std::snprintf(buf, sizeof buf, "%.1f ms", seconds * 1e3);
    else if (seconds >= 1e-3) std::snprintf(buf, sizeof buf, "%.2f ms", seconds * 1e3);
    else std::snprintf(buf, sizeof buf, "%.1f us", seconds * 1e6);
    return buf;
}

std::string valueText(const Figure& f, double v) {
    if (f.unit == "time") return timeText(v);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f MB", v);
    return buf;
}

void printSummary() {
    if (g_figures.empty()) return;
    std::printf("\n%-40s %12s %12s %7s\n", "measure", "ours", "bare", "ratio");
    for (const Figure& f : g_figures) {
        char ratio[16] = "-";
        if (f.ours >= 0 && f.bare > 0) std::snprintf(ratio, sizeof ratio, "%.2f", f.ours / f.bare);
        std::printf("%-40s %12s %12s %7s\n", f.measure.c_str(), valueText(f, f.ours).c_str(),
                    valueText(f, f.bare).c_str(), ratio);
    }
    std::printf("targets: every ratio at most 2; the open cursor holds under 20 MB\n");
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        Files::get();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_store: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    return 0;
}
