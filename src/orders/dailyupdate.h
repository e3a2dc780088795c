#pragma once

#include "store/dberror.h"

#include <QDate>
#include <functional>
#include <optional>

class Database;

// The once-a-day update of the first log-in of a day:
// - every open order's TblManutencao.Dias becomes today minus DataEntrada;
// - every delivered appliance's [Garantia de Serviço] becomes whether its
//   DATALIMITEGARANTIA is today or later (False when it is empty);
// - TblConfig.DtAtual becomes today.
//
// Each pass runs in one transaction: the open orders a block of rows per
// statement, the delivered rows in one statement that writes only the rows
// whose flag changes (an index finds them). A row whose date cannot be read
// is left as it is. A pass that fails (a full disk, the file held by another
// copy past the wait) leaves its table as it was and the other pass still
// runs; DtAtual is stamped only when both passes were stored, so the next
// log-in of the day runs the update again.
namespace DailyUpdate {

enum class Pass { Manutencao, ApEntregues };

// Progress of a pass: rows done out of the table's count.
using Progress = std::function<void(Pass pass, int done, int total)>;

struct Result {
    int manutencaoRows = 0;      // rows in TblManutencao when the update started
    int apEntreguesRows = 0;     // rows in TblApEntregues
    bool manutencaoDone = false; // the pass was committed
    bool apEntreguesDone = false;
    bool stamped = false;        // DtAtual was written
    std::optional<DbError> failure;  // why a pass or the stamp was not stored (the first cause)
};

// Runs the update. `progress` is called first once per table with done = 0
// and the table's row count (TblApEntregues, then TblManutencao), then after
// each block of TblManutencao's pass, then once when TblApEntregues is done.
Result run(Database& db, const QDate& today, const Progress& progress = {});

// Rows per statement inside a pass (between two progress reports).
inline constexpr int BlockRows = 4096;

}
