// The delivered-appliances grid on the generated file (see
// support/generator.h): opening a grid on the 100,000 rows of TblApEntregues
// and scrolling it from top to bottom a page (50 rows) at a time, against the
// bare SQLCipher C API reading the same 50 rows on the same file
// ("<measure>/bare" first, then "<measure>/ours" with the ratio ours/bare as a
// counter). The scroll is measured twice: through the grid's model (the data
// path alone) and with the view painting every page. Memory is read at the
// top and at the bottom of a scroll: it must stay flat. A table of every
// figure follows the benchmarks.
#include <algorithm>
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/looptimer.h"

#include "store/recordcursor.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <sqlcipher/sqlite3.h>
#include <string>
#include <vector>

namespace {

constexpr int PageRows = 50;

// The columns the delivered list shows.
const QList<GridColumn> Columns = {
    {"Os", "OS", 50},
    {"Nome", "Cliente", 220},
    {"Aparelho", "Aparelho", 100},
    {"Marca", "Marca", 90},
    {"Modelo", "Modelo", 90},
    {"NumSerie", "Nº Série", 100},
    {"DataSaida", "Saída", 80, FieldFormat::ShortDate},
    {"ValorCobrado", "Valor", 80, FieldFormat::CurrencyText, Qt::AlignRight | Qt::AlignVCenter},
    {"Status", "Status", 90},
    {"Garantia de Serviço", "Garantia", 60, FieldFormat::YesNo},
};

// The table's rows in stored order.
const std::vector<std::int64_t>& storedKeys() {
    static const std::vector<std::int64_t> keys =
        Bare::keys(BenchFiles::generated().bare->handle(), "SELECT rowid FROM TblApEntregues ORDER BY rowid");
    return keys;
}

// The two scrolls, through the model and painted, against the same bare reads.
const char* const ScrollModel = "scroll top to bottom (model)";
const char* const ScrollPainted = "scroll top to bottom (painted)";

// The bare read of one page: every column of 50 rows by their keys.
int bareReadPage(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t first) {
    return Bare::readRowsByKey(db, "TblApEntregues", keys, first, PageRows);
}

// A grid window the size of one page of rows.
struct Grid {
    RecordCursor cursor;
    DataGrid grid;
    Grid(const QString& path, bool shown) {
        cursor.open(path, QStringLiteral("TblApEntregues"));
        grid.bindCursor(&cursor);
        grid.setColumns(Columns);
        grid.setCaption(QStringLiteral("APARELHOS ENTREGUES"));
        QTableView* v = grid.view();
        const int rowHeight = v->verticalHeader()->defaultSectionSize();
        grid.resize(1100, PageRows * rowHeight + v->horizontalHeader()->sizeHint().height() +
                              grid.captionLabel()->sizeHint().height() + 40);
        if (shown) {
            grid.show();
            QApplication::processEvents();
        }
    }
    // Shows the page that starts at row `first`.
    void showPage(int first, bool paint) {
        QTableView* v = grid.view();
        v->verticalScrollBar()->setValue(first);
        if (paint) {
            v->viewport()->repaint();
        } else {
            // What painting asks of the model: every shown cell.
            const int rows = std::min(PageRows, cursor.recordCount() - first);
            const int cols = grid.model()->columnCount();
            for (int r = first; r < first + rows; ++r)
                for (int c = 0; c < cols; ++c) benchmark::DoNotOptimize(grid.model()->index(r, c).data());
        }
    }
    int pages() const { return (cursor.recordCount() + PageRows - 1) / PageRows; }
};

// --- opening ---------------------------------------------------------------

void GridOpen_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::generated();
    LoopTimer t;
    int rows = 0;
    for (auto _ : state) {
        // The keys in key order, read the cheapest way (from the smallest
        // index, then sorted), as the grid's cursor reads them.
        auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblApEntregues");
        std::sort(keys.begin(), keys.end());
        rows = bareReadPage(f.bare->handle(), keys, 0);
        benchmark::DoNotOptimize(keys.data());
    }
    figures().recordBare("open the grid (model)", t.perIteration(state));
    figures().recordBare("open the grid (painted)", t.perIteration(state));
    state.counters["rows"] = rows;
}

void GridOpen_Ours(benchmark::State& state) {
    BenchFiles& f = BenchFiles::generated();
    LoopTimer t;
    int rows = 0;
    const bool painted = state.range(0) != 0;
    for (auto _ : state) {
        Grid g(f.path, painted);
        g.showPage(0, painted);
        rows = g.grid.model()->rowCount();
    }
    // The painted figure adds Qt's drawing of the window to the same work.
    figures().recordOurs(state, painted ? "open the grid (painted)" : "open the grid (model)", t.perIteration(state));
    state.counters["rows"] = rows;
}

// --- painting one page -----------------------------------------------------

// A page of 50 rows in the middle painted again and again (two pages in
// turn, their rows in the cursor's cache): the view's painting alone, against
// the bare read of the same rows. Target: at most 8 ms a page.
const char* const PaintPage = "paint a page of 50 rows";

void PaintPage_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::generated();
    const std::vector<std::int64_t>& keys = storedKeys();
    const std::size_t middle = keys.size() / 2 / PageRows * PageRows;
    int i = 0;
    LoopTimer t;
    for (auto _ : state) bareReadPage(f.bare->handle(), keys, middle + std::size_t((i++ % 2) * PageRows));
    figures().recordBare(PaintPage, t.perIteration(state));
}

void PaintPage_Ours(benchmark::State& state) {
    BenchFiles& f = BenchFiles::generated();
    Grid g(f.path, true);
    const int middle = g.cursor.recordCount() / 2 / PageRows * PageRows;
    g.showPage(middle, true);
    g.showPage(middle + PageRows, true);
    int i = 0;
    LoopTimer t;
    for (auto _ : state) g.showPage(middle + (i++ % 2) * PageRows, true);
    figures().recordOurs(state, PaintPage, t.perIteration(state));
    state.counters["ms_per_page"] = t.perIteration(state) * 1e3;
}

// --- scrolling top to bottom ----------------------------------------------

void Scroll_Bare(benchmark::State& state) {
    BenchFiles& f = BenchFiles::generated();
    const std::vector<std::int64_t>& keys = storedKeys();
    LoopTimer t;
    std::int64_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (std::size_t first = 0; first < keys.size(); first += PageRows)
            rows += bareReadPage(f.bare->handle(), keys, first);
    }
    const double seconds = t.perIteration(state);
    figures().recordBare(ScrollModel, seconds);
    figures().recordBare(ScrollPainted, seconds);
    state.counters["rows"] = double(rows);
    state.counters["us_per_page"] = seconds * 1e6 / double((keys.size() + PageRows - 1) / PageRows);
}

void scrollOurs(benchmark::State& state, bool paint) {
    BenchFiles& f = BenchFiles::generated();
    Grid g(f.path, true);
    // One scroll first, so that the measure sees the steady state.
    for (int p = 0; p < g.pages(); ++p) g.showPage(p * PageRows, paint);
    Bare::releaseFreeMemory();
    const std::int64_t before = Bare::residentBytes();
    std::int64_t peak = before;
    LoopTimer t;
    for (auto _ : state) {
        for (int p = 0; p < g.pages(); ++p) {
            g.showPage(p * PageRows, paint);
            if (p % 200 == 0) peak = std::max(peak, Bare::residentBytes());
        }
    }
    const double seconds = t.perIteration(state);
    // Painting is Qt's own text layout of every cell; its ratio is shown
    // apart from the data path's.
    if (paint) figures().recordOurs(state, ScrollPainted, seconds, "ratio_with_painting");
    else figures().recordOurs(state, ScrollModel, seconds);
    Bare::releaseFreeMemory();
    const std::int64_t after = Bare::residentBytes();
    state.counters["us_per_page"] = seconds * 1e6 / double(g.pages());
    state.counters["rss_start_MB"] = double(before) / (1024.0 * 1024.0);
    state.counters["rss_end_MB"] = double(after) / (1024.0 * 1024.0);
    state.counters["rss_growth_MB"] = double(std::max(peak, after) - before) / (1024.0 * 1024.0);
}

void Scroll_OursModel(benchmark::State& state) { scrollOurs(state, false); }
void Scroll_OursPainted(benchmark::State& state) { scrollOurs(state, true); }

} // namespace

BENCHMARK(GridOpen_Bare)->Name("grid_open/bare")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(GridOpen_Ours)->Name("grid_open/ours")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(PaintPage_Bare)->Name("paint_page/bare")->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(PaintPage_Ours)->Name("paint_page/ours")->Unit(benchmark::kMillisecond)->MinTime(0.5)->UseRealTime();
BENCHMARK(Scroll_Bare)->Name("grid_scroll_top_to_bottom/bare")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Scroll_OursModel)->Name("grid_scroll_top_to_bottom/ours_model")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Scroll_OursPainted)->Name("grid_scroll_top_to_bottom/ours_painted")->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv) {
    return runBenchmarks(argc, argv, "bench_grid", [] { storedKeys(); },
                         "targets: ratio of the model rows (open, scroll) at most 2; a page painted in at most "
                         "8 ms; the painted scroll at most 5 times the bare read; rss_growth_MB near 0",
                         true);
}
