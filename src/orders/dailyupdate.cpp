#include "dailyupdate.h"

#include "store/database.h"
#include "store/dberror.h"

#include <algorithm>
#include <limits>

namespace DailyUpdate {

namespace {

struct PassSql {
    QString table;
    QString key;
    QString update;   // ?1 today, ?2 and ?3 the block's key range (lo, hi]
};

// Today minus the entry date, in whole days; a row whose entry date cannot be
// read keeps its value.
const PassSql Manutencao{
    QStringLiteral("TblManutencao"), QStringLiteral("Os"),
    QStringLiteral("UPDATE TblManutencao SET Dias = CAST(julianday(?1) - julianday(date(DataEntrada)) AS INTEGER) "
                   "WHERE Os > ?2 AND Os <= ?3 AND julianday(date(DataEntrada)) IS NOT NULL "
                   "AND (Dias IS NULL OR Dias <> CAST(julianday(?1) - julianday(date(DataEntrada)) AS INTEGER))")};

// The warranty still runs when its end date is today or later; an empty end
// date is no warranty; an end date that cannot be read keeps the flag.
// Only the rows whose flag can change are written, found through the index
// on the flag and the end date: a set flag whose date has passed or is
// empty, a clear flag whose date is today or later, and any other stored
// flag. Dates are stored as "yyyy-MM-dd", so they compare as text.
const QString ApEntreguesUpdate = QStringLiteral(
    "UPDATE TblApEntregues SET [Garantia de Serviço] = "
    "(CASE WHEN julianday(date(DATALIMITEGARANTIA)) >= julianday(?1) THEN 1 ELSE 0 END) "
    "WHERE IdApEntregues IN (SELECT IdApEntregues FROM TblApEntregues WHERE "
    "[Garantia de Serviço] IS NULL OR [Garantia de Serviço] < 0 OR [Garantia de Serviço] > 1 "
    "OR ([Garantia de Serviço] = 0 AND DATALIMITEGARANTIA >= ?1) "
    "OR ([Garantia de Serviço] = 1 AND (DATALIMITEGARANTIA < ?1 OR DATALIMITEGARANTIA IS NULL))) "
    "AND (DATALIMITEGARANTIA IS NULL OR DATALIMITEGARANTIA = '' "
    "OR julianday(date(DATALIMITEGARANTIA)) IS NOT NULL) "
    "AND ([Garantia de Serviço] IS NULL OR [Garantia de Serviço] <> "
    "(CASE WHEN julianday(date(DATALIMITEGARANTIA)) >= julianday(?1) THEN 1 ELSE 0 END))");

int countRows(Database& db, const QString& table) {
    try {
        return int(db.scalar(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toLongLong());
    } catch (const DbError&) {
        return 0;
    }
}

// One pass in one transaction, a block of keys per statement. A block that
// fails fails the whole pass: its table stays as it was. Throws DbError.
void runPass(Database& db, const PassSql& pass, Pass which, const QDate& today, int total, const Progress& progress) {
    Transaction tx(db);
    const QString nextBound =
        QStringLiteral("SELECT %1 FROM %2 WHERE %1 > ?1 ORDER BY %1 LIMIT 1 OFFSET ?2").arg(pass.key, pass.table);
    qint64 lo = std::numeric_limits<qint64>::min();
    int done = 0;
    for (;;) {
        const QVariant bound = db.scalar(nextBound, {lo, BlockRows - 1});
        const bool last = !bound.isValid();
        const qint64 hi = last ? std::numeric_limits<qint64>::max() : bound.toLongLong();
        db.execute(pass.update, {today, lo, hi});
        done = last ? total : std::min(total, done + BlockRows);
        if (progress) progress(which, done, total);
        if (last) break;
        lo = hi;
    }
    tx.commit();
}

// Runs one step; a failure is kept as the result's cause (the first one)
// and the update goes on. Returns whether the step was stored.
bool stored(Result& r, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const DbError& e) {
        if (!r.failure) r.failure = e;
        return false;
    }
}

} // namespace

Result run(Database& db, const QDate& today, const Progress& progress) {
    Result r;
    r.apEntreguesRows = countRows(db, QStringLiteral("TblApEntregues"));
    if (progress) progress(Pass::ApEntregues, 0, r.apEntreguesRows);
    r.manutencaoRows = countRows(db, Manutencao.table);
    if (progress) progress(Pass::Manutencao, 0, r.manutencaoRows);

    r.manutencaoDone = stored(r, [&] { runPass(db, Manutencao, Pass::Manutencao, today, r.manutencaoRows, progress); });
    r.apEntreguesDone = stored(r, [&] {
        Transaction tx(db);
        db.execute(ApEntreguesUpdate, {today});
        tx.commit();
    });
    if (progress) progress(Pass::ApEntregues, r.apEntreguesRows, r.apEntreguesRows);

    // The day counts as done only once both passes are stored; otherwise the
    // next log-in runs them again.
    if (r.manutencaoDone && r.apEntreguesDone)
        r.stamped = stored(r, [&] { db.execute(QStringLiteral("UPDATE TblConfig SET DtAtual = ?1"), {today}); });
    return r;
}

}
