// The once-a-day update of ages and warranty flags, on real files.
#include "orders/dailyupdate.h"
#include "store/database.h"
#include "support/fixture.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/windowscenario.h"

namespace {

const QDate Today(2025, 7, 1);

using DailyUpdateTest = ProgramFolderTest;

} // namespace

// Each row by its own dates: a time part is read by its day, an unreadable date leaves the row alone, an empty
// end date is no warranty, the last day counts, a flag stored as True (-1) or any other number is written anew.
TEST_F(DailyUpdateTest, EachRowByItsDates) {
    Database db(databasePath());
    const QVariant noDate;
    const std::pair<QVariant, QVariant> inRepair[] = {   // DataEntrada, Dias
        {QDateTime(Today.addDays(-3), QTime(23, 10)), 5}, {"lixo", 5}, {Today, noDate}};
    const std::pair<QVariant, QVariant> delivered[] = {   // DATALIMITEGARANTIA, the flag
        {"lixo", 1}, {"", 1}, {QDateTime(Today, QTime(8, 0)), noDate}, {Today, 0}, {Today.addDays(-1), 1}, {noDate, 1},
        {Today.addDays(5), -1}, {Today.addDays(-5), -1}, {Today.addDays(5), 0}, {Today.addDays(-5), 2},
        {Today.addDays(-5), 0}, {Today.addDays(5), 1}};
    for (const auto& [date, days] : inRepair)
        db.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, ?)", {date, days});
    for (const auto& [date, flag] : delivered)
        db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, ?)",
                   {date, flag});
    const DailyUpdate::Result r = DailyUpdate::run(db, Today);
    EXPECT_TRUE(r.manutencaoDone && r.apEntreguesDone && r.stamped);
    EXPECT_EQ(Scenario::rows("SELECT Dias FROM TblManutencao ORDER BY Os"), "3,5,0");
    EXPECT_EQ(Scenario::rows("SELECT [Garantia de Serviço] FROM TblApEntregues ORDER BY IdApEntregues"),
              "1,0,1,1,0,0,1,0,1,0,0,1");
    EXPECT_EQ(db.scalar("SELECT DtAtual FROM TblConfig").toString(), "2025-07-01");
}

// More rows than one block, with holes in the keys: every row gets its value
// and the progress reaches each table's count, the in-repair pass first.
TEST_F(DailyUpdateTest, EveryRowOfSeveralBlocksIsUpdated) {
    Database db(databasePath());
    const int rows = 2 * DailyUpdate::BlockRows + 17;
    {
        Transaction tx(db);
        for (int i = 0; i < rows; ++i) {
            db.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 0)", {Today.addDays(-(i % 400))});
            db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, ?)",
                       {Today.addDays(i % 5 - 2), i % 2});
        }
        db.execute("DELETE FROM TblManutencao WHERE Os % 10 = 3");
        tx.commit();
    }
    const int manutencao = db.scalar("SELECT count(*) FROM TblManutencao").toInt();
    QList<std::tuple<DailyUpdate::Pass, int, int>> seen;
    DailyUpdate::run(db, Today, [&](DailyUpdate::Pass p, int done, int total) { seen.append({p, done, total}); });
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblManutencao WHERE Dias IS NULL OR Dias <> "
                        "CAST(julianday('2025-07-01') - julianday(DataEntrada) AS INTEGER)").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblApEntregues WHERE [Garantia de Serviço] <> "
                        "(CASE WHEN DATALIMITEGARANTIA >= '2025-07-01' THEN 1 ELSE 0 END)").toInt(), 0);

    // The bars' maximums first (delivered, then in repair), then each block of the in-repair pass, then the
    // delivered pass.
    using P = DailyUpdate::Pass;
    const qsizetype blocks = (manutencao + DailyUpdate::BlockRows - 1) / DailyUpdate::BlockRows;
    ASSERT_EQ(seen.size(), 3 + blocks);
    EXPECT_EQ(seen[0], std::make_tuple(P::ApEntregues, 0, rows));
    EXPECT_EQ(seen[1], std::make_tuple(P::Manutencao, 0, manutencao));
    EXPECT_EQ(seen[1 + blocks], std::make_tuple(P::Manutencao, manutencao, manutencao));
    EXPECT_EQ(seen.back(), std::make_tuple(P::ApEntregues, rows, rows));
}

// A disk that fills in the middle of a pass: the pass leaves its table whole, the day stays unstamped and the cause is
// kept; one pass refused leaves the day unstamped too; a later run with nothing refused stores everything.
TEST_F(DailyUpdateTest, AFailedPassLeavesTheDayUnstamped) {
    StoreFault::install();
    Database db(databasePath());
    db.execute("UPDATE TblConfig SET DtAtual = ?", {Today.addDays(-1)});
    db.execute("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
               "INSERT INTO TblManutencao (Nome, DataEntrada, Dias) SELECT 'X', ?, 0 FROM n",
               {DailyUpdate::BlockRows + 5, Today.addDays(-2)});
    db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, 0)", {Today});
    const QString state = "SELECT (SELECT SUM(Dias) FROM TblManutencao), (SELECT [Garantia de Serviço] FROM "
                          "TblApEntregues), (SELECT DtAtual FROM TblConfig)";
    // The disk fills after the first block of the in-repair pass and has room again by the end of the passes.
    std::optional<StoreFault> fault;
    DailyUpdate::Result r = DailyUpdate::run(db, Today, [&](DailyUpdate::Pass p, int done, int total) {
        if (p == DailyUpdate::Pass::Manutencao && done == DailyUpdate::BlockRows) fault.emplace(StoreFault::DiskFull);
        else if (done == total && done > 0) fault.reset();
    });
    EXPECT_FALSE(r.manutencaoDone || r.apEntreguesDone || r.stamped);
    ASSERT_TRUE(r.failure.has_value());
    EXPECT_TRUE(r.failure->description().startsWith(StoreFault::causeWords(StoreFault::DiskFull)));
    EXPECT_EQ(db.rows(state).at(0), (QVariantList{0, 0, "2025-06-30"}));
    // Only the delivered pass refused (the engine aborts its write): the in-repair pass is stored, the day is not.
    Scenario::raw("CREATE TRIGGER Recusa BEFORE UPDATE ON TblApEntregues BEGIN SELECT RAISE(ABORT, 'recusado'); END");
    r = DailyUpdate::run(db, Today);
    EXPECT_TRUE(r.manutencaoDone && !r.apEntreguesDone && !r.stamped && r.failure);
    EXPECT_EQ(db.rows(state).at(0), (QVariantList{2 * (DailyUpdate::BlockRows + 5), 0, "2025-06-30"}));
    Scenario::raw("DROP TRIGGER Recusa");
    r = DailyUpdate::run(db, Today);
    EXPECT_TRUE(r.manutencaoDone && r.apEntreguesDone && r.stamped && !r.failure);
    EXPECT_EQ(db.rows(state).at(0), (QVariantList{2 * (DailyUpdate::BlockRows + 5), 1, "2025-07-01"}));
}

TARVEL_TEST_MAIN()
