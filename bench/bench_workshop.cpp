// The list of appliances in repair on the generated file (5,000 open orders):
// opening it, a cell filter on a column of each type and the name search,
// against bare SQL on the same file (see support/listbench.h).
// Target: every ratio at most 1.5.
#include "support/benchmain.h"
#include "support/files.h"
#include "support/listbench.h"

#include "orders/frmmanutencao.h"

int main(int argc, char** argv) {
    ListBench::registerAll(
        {"TblManutencao",
         {{"STATUS", "Status", "text", "Os"},
          {"NÚM SÉRIE", "NumSerie", "text of digits", "Os"},
          {"DIAS", "Dias", "number", "Os"},
          {"VALOR", "VlFinal", "money", "Os"},
          {"ENTRADA", "DataEntrada", "date", "Os"},
          {"HORA", "HoraEntrada", "time", "Os"}},
         // A "PRONTO" order with a price, two thirds down the table.
         "SELECT rowid FROM TblManutencao WHERE Status = 'PRONTO' AND VlFinal IS NOT NULL "
         "AND rowid > (SELECT MIN(rowid) + 3300 FROM TblManutencao) ORDER BY rowid LIMIT 1",
         {"SILV", "XYZ"},
         [] { return std::unique_ptr<OrderList>(new FrmManutencao); }});
    return runBenchmarks(argc, argv, "bench_workshop", [] { BenchFiles::programCopy(); },
                         "target: every ratio at most 1.5", true);
}
