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
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/looptimer.h"

#include "customers/frmclientes.h"

#include <QApplication>
#include <QLineEdit>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int ScreenRows = 30;

// The bare reads of a list standing on `current`: a screen of customers from
// `first` and the current customer's appliances.
void bareScreen(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t first, std::int64_t current) {
    Bare::readRowsByKey(db, "TblClientes", keys, first, ScreenRows);
    Bare::readRows(db, "SELECT * FROM TblApClientes WHERE ID = " + QByteArray::number(qlonglong(current)));
}

// The bare reads of the list in the order of keySql, standing on its first row.
void bareTop(sqlite3* db, const char* keySql) {
    const auto keys = Bare::keys(db, keySql);
    bareScreen(db, keys, 0, keys.front());
}

// Lets the window paint and run its publishing timers.
void settle(FrmClientes& w) {
    QApplication::processEvents();
    w.publishNow();
    QApplication::processEvents();
}

// Shows the window and lets it settle, as the measures find it.
void showSettled(FrmClientes& w) {
    w.show();
    settle(w);
}

// --- opening --------------------------------------------------------------

void Open_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    LoopTimer t;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
        Bare::Statement count(f.bare->handle(), "SELECT COUNT(*) FROM TblClientes");
        count.step();
        bareScreen(f.bare->handle(), keys, 0, keys.front());
    }
    figures().recordBare("open the window (by Nome)", t.perIteration(state));
}

void Open_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    LoopTimer t;
    int rows = 0;
    for (auto _ : state) {
        FrmClientes w;
        showSettled(w);
        rows = w.dataFrmClientes().recordCount();
    }
    figures().recordOurs(state, "open the window (by Nome)", t.perIteration(state));
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
    BenchFiles& f = BenchFiles::programCopy();
    const int i = int(state.range(0));
    const QByteArray sql = QByteArray("SELECT rowid FROM TblClientes ORDER BY ") + Sorts[i].field + ", rowid";
    LoopTimer t;
    for (auto _ : state) {
        bareTop(f.bare->handle(), sql.constData());
    }
    figures().recordBare(sortMeasure(i), t.perIteration(state));
}

void Sort_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    FrmClientes w;
    showSettled(w);
    LoopTimer t;
    for (auto _ : state) {
        (w.*Sorts[i].click)();
        settle(w);
    }
    figures().recordOurs(state, sortMeasure(i), t.perIteration(state));
}

// --- name search ----------------------------------------------------------

// A prefix found about four fifths down the list, and one that no name has
// (the list then goes back to its first row).
const char* const Prefixes[] = {"SILV", "XYZ"};

std::string findMeasure(int i) { return std::string("find name prefix '") + Prefixes[i] + "'"; }

void Find_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
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
            bareTop(f.bare->handle(), "SELECT rowid FROM TblClientes ORDER BY Nome, rowid");
        }
    }
    figures().recordBare(findMeasure(i), t.perIteration(state));
}

void Find_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    FrmClientes w;
    showSettled(w);
    auto* box = w.findChild<QLineEdit*>(QStringLiteral("TxtBusca"));
    box->setText(QString::fromLatin1(Prefixes[i]));
    LoopTimer t;
    for (auto _ : state) {
        w.dataFrmClientes().moveFirst();
        w.Busca_Nome();
        settle(w);
    }
    figures().recordOurs(state, findMeasure(i), t.perIteration(state));
    state.counters["found"] = w.dataFrmClientes().text(QStringLiteral("Nome")).startsWith(QLatin1String(Prefixes[i]));
}

} // namespace

BENCHMARK(Open_Bare)->Name("open/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Open_Ours)->Name("open/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Sort_Bare)->Name("sort/bare")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Sort_Ours)->Name("sort/ours")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Bare)->Name("find/bare")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Ours)->Name("find/ours")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_customers", [] { BenchFiles::programCopy(); },
                         "target: every ratio at most 2", true);
}
