// The list of delivered appliances on the generated file (100,000 delivered
// appliances): opening it, a cell filter on a column of each type and the
// name search, against bare SQL on the same file (see support/listbench.h);
// then the complete printed list, streamed page by page.
// Targets: every ratio at most 1.5; the printed list's memory does not grow
// with the table.
#include "support/bare.h"
#include "support/benchmain.h"
#include "support/figures.h"
#include "support/files.h"
#include "support/listbench.h"
#include "support/looptimer.h"

#include "orders/frmapentregues.h"
#include "printing/aparelhosentregues.h"
#include "printing/printjob.h"
#include "store/recordcursor.h"

#include <benchmark/benchmark.h>

namespace {

// A recording that keeps nothing of the document: what the list holds is what
// is measured.
class Discard : public PrintTarget {
public:
    PageGeometry geometry(PrintOrientation orientation) override { return PdfTarget::a4(orientation); }
    void deliver(const RecordedDocument& document) override { pages = document.pageCount(); }
    int pages = 0;
};

// The complete printed list: every row read from the cursor and printed; the
// resident memory it adds, and the time per page.
void PrintList(benchmark::State& state) {
    BenchFiles& f = BenchFiles::programCopy();
    auto target = std::make_shared<Discard>();
    std::int64_t added = 0;
    LoopTimer t;
    for (auto _ : state) {
        Bare::releaseFreeMemory();
        const std::int64_t before = Bare::residentBytes();
        RecordCursor rows;
        rows.open(f.path, QStringLiteral("TblApEntregues"));
        Printer p(target);
        std::int64_t peak = 0;
        AparelhosEntregues::print(p, rows, PrintJob::builtInPicture(), QStringLiteral("ELETRÔNICA ÁGIL"),
                                  QStringLiteral("Relatório de Aparelhos ENTREGUES"));
        peak = Bare::residentBytes();
        added = std::max(added, peak - before);
    }
    const double perPage = t.perIteration(state) / std::max(1, target->pages);
    state.counters["pages"] = target->pages;
    state.counters["MB added"] = double(added) / (1024.0 * 1024.0);
    state.counters["ms per page"] = perPage * 1000.0;
}

} // namespace

int main(int argc, char** argv) {
    ListBench::registerAll(
        {"TblApEntregues",
         {{"STATUS", "Status", "text", "DataSaida"},
          {"NÚM SÉRIE", "NumSerie", "text of digits", "DataSaida"},
          {"OS", "Os", "number", "DataSaida"},
          {"GS", "Garantia de Serviço", "yes/no", "DataSaida"},
          {"VALOR", "ValorCobrado", "money", "DataSaida"},
          {"SAÍDA", "DataSaida", "date", "Os"},
          {"HORA", "HoraSaida", "time", "Os"}},
         // A delivered appliance with a charge, two thirds down the table.
         "SELECT rowid FROM TblApEntregues WHERE ValorCobrado IS NOT NULL AND NumSerie IS NOT NULL "
         "AND rowid > (SELECT MIN(rowid) + 66000 FROM TblApEntregues) ORDER BY rowid LIMIT 1",
         {"SILV", "XYZ"},
         [] { return std::unique_ptr<OrderList>(new FrmApEntregues); }});
    benchmark::RegisterBenchmark("print/complete list", PrintList)
        ->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();
    return runBenchmarks(argc, argv, "bench_delivered", [] { BenchFiles::programCopy(); },
                         "targets: every ratio at most 1.5; the printed list's memory does not grow with the table",
                         true);
}
