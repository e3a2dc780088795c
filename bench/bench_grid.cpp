// The delivered-appliances grid on the generated file (see
// support/generator.h): opening a grid on the 100,000 rows of TblApEntregues
// and scrolling it from top to bottom a page (50 rows) at a time, against the
// bare SQLCipher C API reading the same 50 rows on the same file
// ("<measure>/bare" first, then "<measure>/ours" with the ratio ours/bare as a
// counter). The scroll is measured twice: through the grid's model (the data
// path alone) and with the view painting every page. Memory is read at the
// top and at the bottom of a scroll: it must stay flat.
#include "support/bare.h"
#include "support/generator.h"
#include "support/looptimer.h"

#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>
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

struct Files {
    QString path;
    Database db;   // keeps the store's shared connection open
    std::unique_ptr<Bare::Connection> bare;
    std::vector<std::int64_t> keys;   // the table's rows in stored order

    static Files& get() {
        static Files f;
        if (f.path.isEmpty()) {
            f.path = BenchData::ensureDatabase();
            f.db = Database(f.path, QString::fromUtf8(ConnectWithPassword));
            f.bare = std::make_unique<Bare::Connection>(f.path);
            f.keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblApEntregues ORDER BY rowid");
        }
        return f;
    }
};

// Seconds per iteration of the bare side of each measure, for the ratios.
std::vector<std::pair<std::string, double>> g_bare;

double bareSeconds(const std::string& measure) {
    for (const auto& [m, s] : g_bare)
        if (m == measure) return s;
    return -1;
}

void recordBare(benchmark::State& state, const std::string& measure, double seconds) {
    g_bare.emplace_back(measure, seconds);
    (void)state;
}

void recordOurs(benchmark::State& state, const std::string& measure, double seconds,
                const char* counter = "ratio") {
    const double bare = bareSeconds(measure);
    if (bare > 0) state.counters[counter] = seconds / bare;
}

// The bare read of one page: every column of 50 rows by their keys.
int bareReadPage(sqlite3* db, const std::vector<std::int64_t>& keys, std::size_t first) {
    QByteArray sql = "SELECT * FROM TblApEntregues WHERE rowid IN (";
    const std::size_t last = std::min(keys.size(), first + PageRows);
    for (std::size_t i = first; i < last; ++i) {
        if (i > first) sql += ',';
        sql += QByteArray::number(qlonglong(keys[i]));
    }
    sql += ')';
    return Bare::readRows(db, sql);
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
    Files& f = Files::get();
    LoopTimer t;
    int rows = 0;
    for (auto _ : state) {
        const auto keys = Bare::keys(f.bare->handle(), "SELECT rowid FROM TblApEntregues ORDER BY rowid");
        rows = bareReadPage(f.bare->handle(), keys, 0);
        benchmark::DoNotOptimize(keys.data());
    }
    recordBare(state, "open", t.perIteration(state));
    state.counters["rows"] = rows;
}

void GridOpen_Ours(benchmark::State& state) {
    Files& f = Files::get();
    LoopTimer t;
    int rows = 0;
    for (auto _ : state) {
        Grid g(f.path, true);
        g.showPage(0, true);
        rows = g.grid.model()->rowCount();
    }
    recordOurs(state, "open", t.perIteration(state));
    state.counters["rows"] = rows;
}

// --- scrolling top to bottom ----------------------------------------------

void Scroll_Bare(benchmark::State& state) {
    Files& f = Files::get();
    LoopTimer t;
    std::int64_t rows = 0;
    for (auto _ : state) {
        rows = 0;
        for (std::size_t first = 0; first < f.keys.size(); first += PageRows)
            rows += bareReadPage(f.bare->handle(), f.keys, first);
    }
    const double seconds = t.perIteration(state);
    recordBare(state, "scroll", seconds);
    state.counters["rows"] = double(rows);
    state.counters["us_per_page"] = seconds * 1e6 / double((f.keys.size() + PageRows - 1) / PageRows);
}

void scrollOurs(benchmark::State& state, bool paint) {
    Files& f = Files::get();
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
    recordOurs(state, "scroll", seconds, paint ? "ratio_with_painting" : "ratio");
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
BENCHMARK(GridOpen_Ours)->Name("grid_open/ours")->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
BENCHMARK(Scroll_Bare)->Name("grid_scroll_top_to_bottom/bare")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Scroll_OursModel)->Name("grid_scroll_top_to_bottom/ours_model")->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();
BENCHMARK(Scroll_OursPainted)->Name("grid_scroll_top_to_bottom/ours_painted")->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("targets: ratio of grid_open and grid_scroll_top_to_bottom/ours_model at most 2; rss_growth_MB near 0\n");
    return 0;
}
