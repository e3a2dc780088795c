// The list of appliances in repair on the generated file (see
// support/generator.h, 5,000 open orders): opening it, a cell filter on a
// column of each type and the name search, against the bare SQLCipher C API
// doing the same reads on the same file ("<measure>/bare" first, then
// "<measure>/ours" with the ratio ours/bare as a counter). A table of every
// figure follows the benchmarks.
// Target: every ratio at most 1.5.
//
// What the list must read is the bare side's work: the keys of the rows in
// the list's order, the screen of rows at the last row (where the list
// stands after a refresh) or at the row found, and the current row. The list
// side adds its widgets (building them, the heading, the count, the grid's
// rows and current row): that is the measure with the target. Painting the
// window afterwards costs the same few milliseconds whatever the rows (text
// shaping and drawing of a screenful of cells); it is shown apart, in the
// rows "..., painted", which add it to the operation.
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/looptimer.h"

#include "orders/frmmanutencao.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int ScreenRows = 30;

// The bare reads of a list of keys standing on the row at `at`: a screen of
// rows ending there (or from there) and the row itself.
void bareScreen(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t at) {
    if (keys.empty()) return;
    const std::size_t first = at + 1 >= ScreenRows ? at + 1 - ScreenRows : 0;
    Bare::readRowsByKey(db, "TblManutencao", keys, first, ScreenRows);
    Bare::readRowsByKey(db, "TblManutencao", keys, at, 1);
}

// The bare reads of a refreshed list: its keys, standing on the last row.
void bareLast(sqlite3* db, const QByteArray& keySql) {
    const auto keys = Bare::keys(db, keySql.constData());
    bareScreen(db, keys, keys.empty() ? 0 : keys.size() - 1);
}

void settle() { QApplication::processEvents(); }

// Times an operation and the painting that follows it.
class Timed {
public:
    template <class F> void run(F&& operation) {
        const auto start = std::chrono::steady_clock::now();
        operation();
        const auto done = std::chrono::steady_clock::now();
        settle();
        m_operation += std::chrono::duration<double>(done - start).count();
        m_painted += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    // Records both figures of measure: the operation (with its ratio) and with the painting.
    void record(benchmark::State& state, const std::string& measure, double bare) {
        const double n = state.iterations() ? double(state.iterations()) : 1.0;
        figures().record(state, measure + ", painted", m_painted / n, bare, Figures::Unit::Seconds);
        state.counters["painted"] = state.counters["ratio"];
        figures().recordOurs(state, measure, m_operation / n);
    }

private:
    double m_operation = 0, m_painted = 0;
};

// The bare figure of each measure, taken first.
std::map<std::string, double>& bareFigures() {
    static std::map<std::string, double> figures;
    return figures;
}
void recordBare(const std::string& measure, double seconds) {
    bareFigures()[measure] = seconds;
    figures().recordBare(measure, seconds);
}

struct ShownList {
    FrmManutencao w;
    ShownList() {
        place(w);
        settle();
    }
    static void place(FrmManutencao& w) {
        w.resize(1100, 600);
        w.show();
    }
};

// --- opening --------------------------------------------------------------

void Open_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    LoopTimer t;
    for (auto _ : state) bareLast(f.bare->handle(), "SELECT rowid FROM TblManutencao");
    recordBare("open the list", t.perIteration(state));
}

void Open_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    Timed t;
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<FrmManutencao> w;
        t.run([&] {
            w = std::make_unique<FrmManutencao>();
            ShownList::place(*w);
        });
        rows = w->dataFrmApMnt().recordCount();
    }
    t.record(state, "open the list", bareFigures()["open the list"]);
    state.counters["rows"] = rows;
}

// --- cell filter ----------------------------------------------------------

// A column of each kind and the criterion the bare side runs for the value
// of the row the filter starts from (a row well inside the table).
struct FilterColumn {
    const char* heading;
    const char* field;
    const char* kind;
};
const FilterColumn Columns[] = {{"STATUS", "Status", "text"},     {"NÚM SÉRIE", "NumSerie", "text of digits"},
                                {"DIAS", "Dias", "number"},       {"VALOR", "VlFinal", "money"},
                                {"ENTRADA", "DataEntrada", "date"}, {"HORA", "HoraEntrada", "time"}};
// A "PRONTO" order with a price, two thirds down the table.
std::int64_t startRow() {
    static const std::int64_t row = [] {
        Bare::Statement st(BenchFiles::programCopy().bare->handle(),
                           "SELECT rowid FROM TblManutencao WHERE Status = 'PRONTO' AND VlFinal IS NOT NULL "
                           "AND rowid > (SELECT MIN(rowid) + 3300 FROM TblManutencao) ORDER BY rowid LIMIT 1");
        st.step();
        return std::int64_t(sqlite3_column_int64(st.get(), 0));
    }();
    return row;
}

std::string filterMeasure(int i) { return std::string("filter by ") + Columns[i].kind + " (" + Columns[i].field + ")"; }

// The stored value of the start row's field, as a bare literal.
QByteArray bareLiteral(sqlite3* db, const char* field) {
    Bare::Statement st(db, QByteArray("SELECT quote(\"") + field + "\") FROM TblManutencao WHERE rowid = " +
                               QByteArray::number(qlonglong(startRow())));
    st.step();
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
}

void Filter_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    const int i = int(state.range(0));
    const QByteArray sql = QByteArray("SELECT rowid FROM TblManutencao WHERE \"") + Columns[i].field +
                           "\" = " + bareLiteral(f.bare->handle(), Columns[i].field) + " ORDER BY Os, rowid";
    LoopTimer t;
    for (auto _ : state) bareLast(f.bare->handle(), sql);
    recordBare(filterMeasure(i), t.perIteration(state));
}

void Filter_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    ShownList l;
    QTableView* v = l.w.findChild<DataGrid*>(QStringLiteral("DBGrid1"))->view();
    int col = 0;
    for (int c = 0; c < v->model()->columnCount(); ++c)
        if (v->model()->headerData(c, Qt::Horizontal).toString() == QString::fromUtf8(Columns[i].heading)) col = c;
    Timed t;
    for (auto _ : state) {
        // Each filter starts from the whole list standing on the start row.
        state.PauseTiming();
        l.w.BtReset_Click();
        l.w.dataFrmApMnt().findFirst(QStringLiteral("Os = %1").arg(startRow()));
        v->setCurrentIndex(v->model()->index(l.w.dataFrmApMnt().absolutePosition(), col));
        settle();
        state.ResumeTiming();
        t.run([&] { l.w.DBGrid1_DblClick(); });
    }
    t.record(state, filterMeasure(i), bareFigures()[filterMeasure(i)]);
    state.counters["rows"] = l.w.dataFrmApMnt().recordCount();
}

// --- name search ----------------------------------------------------------

// A prefix of many names, and one that no name has (the list then goes back
// to its first row).
const char* const Prefixes[] = {"SILV", "XYZ"};

std::string findMeasure(int i) { return std::string("search name prefix '") + Prefixes[i] + "'"; }

// The search from a list in table order: the list is ordered by name, then the first match found.
void Find_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    const int i = int(state.range(0));
    const QByteArray find = QByteArray("SELECT rowid FROM TblManutencao WHERE Nome LIKE '") + Prefixes[i] +
                            "*' ORDER BY Nome, rowid LIMIT 1";
    LoopTimer t;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblManutencao ORDER BY Nome, rowid");
        Bare::Statement st(f.bare->handle(), find);
        if (st.step()) {
            const std::int64_t key = sqlite3_column_int64(st.get(), 0);
            bareScreen(f.bare->handle(), keys, std::size_t(std::find(keys.begin(), keys.end(), key) - keys.begin()));
        } else {
            // No match: the list is read again and stands on its first row.
            const auto again = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblManutencao ORDER BY Nome, rowid");
            bareScreen(f.bare->handle(), again, 0);
        }
    }
    recordBare(findMeasure(i), t.perIteration(state));
}

void Find_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    ShownList l;
    l.w.findChild<QLineEdit*>(QStringLiteral("TxtBusca"))->setText(QString::fromLatin1(Prefixes[i]));
    Timed t;
    for (auto _ : state) {
        // Each search starts from the list as it opens (table order).
        state.PauseTiming();
        l.w.BtReset_Click();
        settle();
        state.ResumeTiming();
        t.run([&] { l.w.Busca_Nome(); });
    }
    t.record(state, findMeasure(i), bareFigures()[findMeasure(i)]);
    state.counters["found"] = l.w.dataFrmApMnt().text(QStringLiteral("Nome")).startsWith(QLatin1String(Prefixes[i]));
}

} // namespace

BENCHMARK(Open_Bare)->Name("open/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Open_Ours)->Name("open/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Filter_Bare)->Name("filter/bare")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Filter_Ours)->Name("filter/ours")->DenseRange(0, 5)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Bare)->Name("search/bare")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Find_Ours)->Name("search/ours")->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_workshop", [] { BenchFiles::programCopy(); },
                         "target: every ratio at most 1.5", true);
}
