#include "support/listbench.h"

#include "support/bare.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/looptimer.h"

#include "orders/orderlist.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <sqlcipher/sqlite3.h>
#include <string>

namespace ListBench {

namespace {

constexpr int ScreenRows = 30;

const ListSetup* g_setup = nullptr;

// The bare reads of a list of keys standing on the row at `at`: a screen of
// rows ending there (or from there) and the row itself.
void bareScreen(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t at) {
    if (keys.empty()) return;
    const std::size_t first = at + 1 >= ScreenRows ? at + 1 - ScreenRows : 0;
    Bare::readRowsByKey(db, g_setup->table, keys, first, ScreenRows);
    Bare::readRowsByKey(db, g_setup->table, keys, at, 1);
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

QByteArray table() { return QByteArray(g_setup->table); }

void place(OrderList& w) {
    w.resize(1100, 600);
    w.show();
}

std::unique_ptr<OrderList> shownList() {
    auto w = g_setup->make();
    place(*w);
    settle();
    return w;
}

// --- opening --------------------------------------------------------------

// What a list opened on its last row must read at the least: the count of
// its rows and the screen of rows at the end of the table.
void Open_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    const QByteArray count = "SELECT count(*) FROM " + table();
    const QByteArray last = "SELECT rowid FROM " + table() + " ORDER BY rowid DESC LIMIT " + QByteArray::number(ScreenRows);
    LoopTimer t;
    for (auto _ : state) {
        benchmark::DoNotOptimize(Bare::keys(f.bare->handle(), count.constData()));
        auto keys = Bare::keys(f.bare->handle(), last.constData());
        std::reverse(keys.begin(), keys.end());
        bareScreen(f.bare->handle(), keys, keys.empty() ? 0 : keys.size() - 1);
    }
    recordBare("open the list", t.perIteration(state));
}

void Open_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    Timed t;
    int rows = 0;
    for (auto _ : state) {
        std::unique_ptr<OrderList> w;
        t.run([&] {
            w = g_setup->make();
            place(*w);
        });
        rows = w->listCursor().recordCount();
    }
    t.record(state, "open the list", bareFigures()["open the list"]);
    state.counters["rows"] = rows;
}

// --- cell filter ----------------------------------------------------------

std::int64_t startRow() {
    static const std::int64_t row = [] {
        Bare::Statement st(BenchFiles::programCopy().bare->handle(), g_setup->startRowSql);
        st.step();
        return std::int64_t(sqlite3_column_int64(st.get(), 0));
    }();
    return row;
}

const FilterColumn& column(int i) { return g_setup->columns.at(std::size_t(i)); }

std::string filterMeasure(int i) { return std::string("filter by ") + column(i).kind + " (" + column(i).field + ")"; }

// The stored value of the start row's field, as a bare literal.
QByteArray bareLiteral(sqlite3* db, const char* field) {
    Bare::Statement st(db, "SELECT quote(\"" + QByteArray(field) + "\") FROM " + table() +
                               " WHERE rowid = " + QByteArray::number(qlonglong(startRow())));
    st.step();
    return QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
}

void Filter_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    const int i = int(state.range(0));
    const QByteArray sql = "SELECT rowid FROM " + table() + " WHERE \"" + column(i).field + "\" = " +
                           bareLiteral(f.bare->handle(), column(i).field) + " ORDER BY " + column(i).order + ", rowid";
    LoopTimer t;
    for (auto _ : state) bareLast(f.bare->handle(), sql);
    recordBare(filterMeasure(i), t.perIteration(state));
}

void Filter_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    auto w = shownList();
    QTableView* v = w->findChild<DataGrid*>(QStringLiteral("DBGrid1"))->view();
    int col = 0;
    for (int c = 0; c < v->model()->columnCount(); ++c)
        if (v->model()->headerData(c, Qt::Horizontal).toString() == QString::fromUtf8(column(i).heading)) col = c;
    RecordCursor& cursor = w->listCursor();
    Timed t;
    for (auto _ : state) {
        // Each filter starts from the whole list (a filter applied again to
        // the same rows would find them read already), standing on the start row.
        state.PauseTiming();
        w->BtReset_Click();
        cursor.setAbsolutePosition(cursor.indexOfKey(startRow()));
        v->setCurrentIndex(v->model()->index(cursor.absolutePosition(), col));
        settle();
        state.ResumeTiming();
        t.run([&] { w->DBGrid1_DblClick(); });
    }
    t.record(state, filterMeasure(i), bareFigures()[filterMeasure(i)]);
    state.counters["rows"] = cursor.recordCount();
}

// --- name search ----------------------------------------------------------

std::string findMeasure(int i) {
    return std::string("search name prefix '") + g_setup->prefixes.at(std::size_t(i)) + "'";
}

// The search from a list in table order: the list is ordered by name, then the first match found.
void Find_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    const int i = int(state.range(0));
    const QByteArray byName = "SELECT rowid FROM " + table() + " ORDER BY Nome, rowid";
    const QByteArray find = "SELECT rowid FROM " + table() + " WHERE Nome LIKE '" +
                            g_setup->prefixes.at(std::size_t(i)) + "*' ORDER BY Nome, rowid LIMIT 1";
    LoopTimer t;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), byName.constData());
        Bare::Statement st(f.bare->handle(), find);
        if (st.step()) {
            const std::int64_t key = sqlite3_column_int64(st.get(), 0);
            bareScreen(f.bare->handle(), keys, std::size_t(std::find(keys.begin(), keys.end(), key) - keys.begin()));
        } else {
            // No match: the list is read again and stands on its first row.
            const auto again = Bare::keys(f.bare->handle(), byName.constData());
            bareScreen(f.bare->handle(), again, 0);
        }
    }
    recordBare(findMeasure(i), t.perIteration(state));
}

void Find_Ours(benchmark::State& state) {
    BenchFiles::programCopy();
    const int i = int(state.range(0));
    const char* prefix = g_setup->prefixes.at(std::size_t(i));
    auto w = shownList();
    w->findChild<QLineEdit*>(QStringLiteral("TxtBusca"))->setText(QString::fromLatin1(prefix));
    Timed t;
    for (auto _ : state) {
        // Each search starts from the list as it opens (table order).
        state.PauseTiming();
        w->BtReset_Click();
        settle();
        state.ResumeTiming();
        t.run([&] { w->Busca_Nome(); });
    }
    t.record(state, findMeasure(i), bareFigures()[findMeasure(i)]);
    state.counters["found"] = w->listCursor().text(QStringLiteral("Nome")).startsWith(QLatin1String(prefix));
}

} // namespace

void registerAll(const ListSetup& setup) {
    static ListSetup kept;
    kept = setup;
    g_setup = &kept;
    const int lastColumn = int(setup.columns.size()) - 1;
    const int lastPrefix = int(setup.prefixes.size()) - 1;
    benchmark::RegisterBenchmark("open/bare", Open_Bare)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
    benchmark::RegisterBenchmark("open/ours", Open_Ours)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
    benchmark::RegisterBenchmark("filter/bare", Filter_Bare)
        ->DenseRange(0, lastColumn)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
    benchmark::RegisterBenchmark("filter/ours", Filter_Ours)
        ->DenseRange(0, lastColumn)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
    benchmark::RegisterBenchmark("search/bare", Find_Bare)
        ->DenseRange(0, lastPrefix)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
    benchmark::RegisterBenchmark("search/ours", Find_Ours)
        ->DenseRange(0, lastPrefix)->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
}

}
