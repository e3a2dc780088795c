// The customers window on the generated file (see support/generator.h, 100,000
// customers): opening it, sorting it by each option and finding a name
// prefix, against the bare SQLCipher C API doing the same reads on the same
// file ("<measure>/bare" first, then "<measure>/ours" with the ratio ours/bare
// as a counter). A table of every figure follows the benchmarks.
// Target: every ratio at most 2.
//
// What the window must read is the bare side's work: the customers' keys in
// the list's order, one screen of rows (30), the count, and the appliances of
// the customer it stands on. The window side adds its widgets: building,
// painting, publishing the current row.
#include "support/bare.h"
#include "support/generator.h"
#include "support/looptimer.h"

#include "customers/frmclientes.h"
#include "store/database.h"
#include "store/programfolder.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int ScreenRows = 30;

struct Files {
    std::unique_ptr<QTemporaryDir> dir;
    QString path;
    Database db;   // keeps the store's shared connection open, as the main window does
    std::unique_ptr<Bare::Connection> bare;

    static Files& get() {
        static Files f;
        if (f.path.isEmpty()) {
            BenchData::ensureDatabase();
            // The window works on a copy, so the generated file stays as made.
            f.dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarvel-bench-customers-XXXXXX"));
            f.path = BenchData::copyDatabase(f.dir->path());
            ProgramFolder::setPath(f.dir->path());
            f.db = Database(f.path, QString::fromUtf8(ConnectWithPassword));
            f.bare = std::make_unique<Bare::Connection>(f.path);
        }
        return f;
    }
};

struct Figure {
    std::string measure;
    double ours = -1, bare = -1;
};
std::vector<Figure> g_figures;

Figure& figure(const std::string& measure) {
    for (Figure& f : g_figures)
        if (f.measure == measure) return f;
    g_figures.push_back({measure});
    return g_figures.back();
}

void recordBare(const std::string& measure, double seconds) { figure(measure).bare = seconds; }

void recordOurs(benchmark::State& state, const std::string& measure, double seconds) {
    Figure& f = figure(measure);
    f.ours = seconds;
    if (f.bare > 0) state.counters["ratio"] = seconds / f.bare;
}

// The bare reads of a list standing on `current`: a screen of customers from
// `first` and the current customer's appliances.
void bareScreen(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t first, std::int64_t current) {
    QByteArray sql = "SELECT * FROM TblClientes WHERE rowid IN (";
    const std::size_t last = std::min(keys.size(), first + ScreenRows);
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) sql += ',';
        sql += QByteArray::number(qlonglong(keys[i]));
    }
    sql += ')';
    Bare::readRows(db, sql);
    Bare::readRows(db, "SELECT * FROM TblApClientes WHERE ID = " + QByteArray::number(qlonglong(current)));
}

// Lets the window paint and run its publishing timers.
void settle(FrmClientes& w) {
    QApplication::processEvents();
    w.publishNow();
    QApplication::processEvents();
}

// --- opening --------------------------------------------------------------

void Open_Bare(benchmark::State& state) {
    Files& f = Files::get();
    LoopTimer t;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
        Bare::Statement count(f.bare->handle(), "SELECT COUNT(*) FROM TblClientes");
        count.step();
        bareScreen(f.bare->handle(), keys, 0, keys.front());
    }
    recordBare("open the window (by Nome)", t.perIteration(state));
}

void Open_Ours(benchmark::State& state) {
    Files::get();
    LoopTimer t;
    int rows = 0;
    for (auto _ : state) {
        FrmClientes w;
        w.show();
        settle(w);
        rows = w.dataFrmClientes().recordCount();
    }
    recordOurs(state, "open the window (by Nome)", t.perIteration(state));
    state.counters["rows"] = rows;
}

// --- sorting --------------------------------------------------------------

struct SortOption {
    const char* field;
    void (FrmClientes::*click)();
};
const SortOption Sorts[] = {{"Nome", &FrmClientes::OptNome_Click},         {"Endereco", &FrmClientes::OptEndereco_Click},
                            {"Bairro", &FrmClientes::OptBairro_Click},     {"Cidade", &FrmClientes::OptCidade_Click},
                            {"Codigo", &FrmClientes::OptCodigo_Click},     {"Operador", &FrmClientes::OptOperador_Click}};

std::string sortMeasure(int i) { return std::string("sort by ") + Sorts[i].field; }

void Sort_Bare(benchmark::State& state) {
    Files& f = Files::get();
    const int i = int(state.range(0));
    const QByteArray sql = QByteArray("SELECT rowid FROM TblClientes ORDER BY ") + Sorts[i].field + ", rowid";
    LoopTimer t;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), sql.constData());
        bareScreen(f.bare->handle(), keys, 0, keys.front());
    }
    recordBare(sortMeasure(i), t.perIteration(state));
}

void Sort_Ours(benchmark::State& state) {
    Files::get();
    const int i = int(state.range(0));
    FrmClientes w;
    w.show();
    settle(w);
    LoopTimer t;
    for (auto _ : state) {
        (w.*Sorts[i].click)();
        settle(w);
    }
    recordOurs(state, sortMeasure(i), t.perIteration(state));
}

// --- name search ----------------------------------------------------------

// A prefix found about four fifths down the list, and one that no name has
// (the list then goes back to its first row).
const char* const Prefixes[] = {"SILV", "XYZ"};

std::string findMeasure(int i) { return std::string("find name prefix '") + Prefixes[i] + "'"; }

void Find_Bare(benchmark::State& state) {
    Files& f = Files::get();
    const int i = int(state.range(0));
    const auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
    const QByteArray sql = QByteArray("SELECT rowid FROM TblClientes WHERE Nome LIKE '") + Prefixes[i] +
                           "*' ORDER BY Nome, rowid LIMIT 1";
    LoopTimer t;
    for (auto _ : state) {
        Bare::Statement st(f.bare->handle(), sql);
        if (st.step()) {
            const std::int64_t key = sqlite3_column_int64(st.get(), 0);
            const std::size_t at = std::size_t(std::find(keys.begin(), keys.end(), key) - keys.begin());
            bareScreen(f.bare->handle(), keys, at, key);
        } else {
            // No match: the list is read again and stands on its first row.
            const auto again = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
            bareScreen(f.bare->handle(), again, 0, again.front());
        }
    }
    recordBare(findMeasure(i), t.perIteration(state));
}

void Find_Ours(benchmark::State& state) {
    Files::get();
    const int i = int(state.range(0));
    FrmClientes w;
    w.show();
    settle(w);
    auto* box = w.findChild<QLineEdit*>(QStringLiteral("TxtBusca"));
    box->setText(QString::fromLatin1(Prefixes[i]));
    LoopTimer t;
    for (auto _ : state) {
        w.dataFrmClientes().moveFirst();
        w.Busca_Nome();
        settle(w);
    }
    recordOurs(state, findMeasure(i), t.perIteration(state));
    state.counters["found"] = w.dataFrmClientes().text(QStringLiteral("Nome")).startsWith(QLatin1String(Prefixes[i]));
}

void printSummary() {
    std::printf("\n%-36s %12s %12s %7s\n", "measure", "ours", "bare", "ratio");
    for (const Figure& f : g_figures) {
        char ratio[16] = "-";
        if (f.ours >= 0 && f.bare > 0) std::snprintf(ratio, sizeof ratio, "%.2f", f.ours / f.bare);
        std::printf("%-36s %9.2f ms %9.2f ms %7s\n", f.measure.c_str(), f.ours * 1e3, f.bare * 1e3, ratio);
    }
    std::printf("target: every ratio at most 2\n");
}

} // namespace

BENCHMARK(Open_Bare)->Name("open/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Open_Ours)->Name("open/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Sort_Bare)->Name("sort/bare")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Sort_Ours)->Name("sort/ours")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Bare)->Name("find/bare")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Ours)->Name("find/ours")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    try {
        Files::get();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_customers: %s\n", e.what());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    return 0;
}
