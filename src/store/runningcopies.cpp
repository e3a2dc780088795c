#include "runningcopies.h"

#include "database.h"

namespace RunningCopies {

void raise(Database& db) { db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = Qtde + 1")); }

void lower(Database& db) {
    db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = (CASE WHEN Qtde > 0 THEN Qtde - 1 ELSE 0 END)"));
}

void reset(Database& db) { db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 0")); }

}
