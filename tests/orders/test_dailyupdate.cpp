// The once-a-day update of ages and warranty flags, on real files.
#include "orders/dailyupdate.h"
#include "store/database.h"
#include "support/fixture.h"
#include "support/testmain.h"

namespace {

const QDate Today(2025, 7, 1);

using DailyUpdateTest = ProgramFolderTest;

} // namespace

// More rows than one block: every row of both tables gets its value, the
// progress reaches each table's count, and DtAtual is stamped.
TEST_F(DailyUpdateTest, EveryRowOfSeveralBlocksIsUpdated) {
    Database db(databasePath());
    const int rows = 2 * DailyUpdate::BlockRows + 17;
    {
        Transaction tx(db);
        for (int i = 0; i < rows; ++i) {
            db.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 0)",
                       {Today.addDays(-(i % 400))});
            const QVariant end = i % 7 == 0 ? QVariant() : QVariant(Today.addDays(i % 5 - 2));
            db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, ?)",
                       {end, i % 2});
        }
        // Deleted rows leave holes in the keys.
        db.execute("DELETE FROM TblManutencao WHERE Os % 10 = 3");
        tx.commit();
    }
    const int manutencao = db.scalar("SELECT count(*) FROM TblManutencao").toInt();

    QList<std::tuple<DailyUpdate::Pass, int, int>> seen;
    const DailyUpdate::Result r = DailyUpdate::run(db, Today, [&](DailyUpdate::Pass p, int done, int total) {
        seen.append({p, done, total});
    });
    EXPECT_TRUE(r.manutencaoDone);
    EXPECT_TRUE(r.apEntreguesDone);
    EXPECT_TRUE(r.stamped);
    EXPECT_EQ(r.manutencaoRows, manutencao);
    EXPECT_EQ(r.apEntreguesRows, rows);

    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblManutencao WHERE Dias IS NULL OR Dias <> "
                        "CAST(julianday('2025-07-01') - julianday(DataEntrada) AS INTEGER)").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT max(Dias) FROM TblManutencao").toInt(), 399);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblApEntregues WHERE [Garantia de Serviço] <> "
                        "(CASE WHEN DATALIMITEGARANTIA >= '2025-07-01' THEN 1 ELSE 0 END)").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblApEntregues WHERE DATALIMITEGARANTIA IS NULL "
                        "AND [Garantia de Serviço] <> 0").toInt(), 0);
    EXPECT_EQ(db.scalar("SELECT DtAtual FROM TblConfig").toString(), "2025-07-01");

    // The bars' maximums first (delivered, then in repair), then each pass
    // up to its count, the in-repair pass first.
    ASSERT_GE(seen.size(), 4);
    EXPECT_EQ(seen[0], std::make_tuple(DailyUpdate::Pass::ApEntregues, 0, rows));
    EXPECT_EQ(seen[1], std::make_tuple(DailyUpdate::Pass::Manutencao, 0, manutencao));
    int lastManutencao = -1, lastEntregues = -1;
    for (int i = 2; i < seen.size(); ++i) {
        const auto [pass, done, total] = seen[i];
        int& last = pass == DailyUpdate::Pass::Manutencao ? lastManutencao : lastEntregues;
        if (pass == DailyUpdate::Pass::Manutencao) {
            EXPECT_EQ(lastEntregues, -1) << "in-repair pass first";
        }
        EXPECT_GT(done, last);
        last = done;
    }
    EXPECT_EQ(lastManutencao, manutencao);
    EXPECT_EQ(lastEntregues, rows);
}

// Dates with a time part are read by their day; a date that cannot be read
// leaves the row as it was; an empty end date is no warranty.
TEST_F(DailyUpdateTest, UnreadableDatesLeaveTheirRowAlone) {
    Database db(databasePath());
    db.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('A', ?, 5)",
               {QDateTime(Today.addDays(-3), QTime(23, 10))});
    db.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('B', 'lixo', 5)");
    db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('A', 'lixo', 1)");
    db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('B', '', 1)");
    db.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('C', ?, NULL)",
               {QDateTime(Today, QTime(8, 0))});

    DailyUpdate::run(db, Today);
    auto rows = db.rows("SELECT Dias FROM TblManutencao ORDER BY Nome");
    EXPECT_EQ(rows[0][0].toInt(), 3);
    EXPECT_EQ(rows[1][0].toInt(), 5);
    rows = db.rows("SELECT [Garantia de Serviço] FROM TblApEntregues ORDER BY Nome");
    EXPECT_EQ(rows[0][0].toInt(), 1);
    EXPECT_EQ(rows[1][0].toInt(), 0);
    EXPECT_EQ(rows[2][0].toInt(), 1);
}

TEST_F(DailyUpdateTest, EmptyTablesStillStampTheDate) {
    Database db(databasePath());
    QList<int> maxima;
    const DailyUpdate::Result r = DailyUpdate::run(db, Today, [&](DailyUpdate::Pass, int, int total) { maxima << total; });
    EXPECT_TRUE(r.stamped);
    EXPECT_EQ(db.scalar("SELECT DtAtual FROM TblConfig").toString(), "2025-07-01");
    EXPECT_FALSE(maxima.isEmpty());
    for (int m : maxima) EXPECT_EQ(m, 0);
}

TARVEL_TEST_MAIN()
