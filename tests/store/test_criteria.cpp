// Criteria and record sources as hostile text: whatever they say, a cursor
// only reads its own table, nothing runs for ages, the file stays as it was
// and the connection keeps working. Typed texts with NUL and lone surrogates match literally or
// are refused.
#include "store/database.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "support/files.h"
#include "support/othercopy.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

struct HostileText : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    void SetUp() override {
        Schema::createDatabaseFile(path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb")));
        Database db(path);
        for (int i = 0; i < 60; ++i)
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {QStringLiteral("CLIENTE %1").arg(i)});
    }
};

} // namespace

TEST_F(HostileText, HostileCriteriaFailCleanlyAndChangeNothing) {
    QString growing = QStringLiteral("'XXXXXXXXXX'");   // grows to a hundred million characters inside the engine
    for (int i = 0; i < 7; ++i) growing = QStringLiteral("replace(%1, 'X', 'XXXXXXXXXX')").arg(growing);
    const int NotAllowed = DbErrorCode::NotAllowed, Bad = DbErrorCode::BadCriterion;
    const std::pair<QString, int> cases[] = {
        {"Nome = sqlcipher_export('main')", NotAllowed}, {"Nome = load_extension('x')", NotAllowed},
        {"Nome = randomblob(1000)", NotAllowed},         {"Nome = printf('%.*c', 1000000000, 'x')", NotAllowed},
        {"Codigo IN (SELECT Senha FROM TblOperador)", NotAllowed}, {"Nome IN (SELECT sql FROM sqlite_master)", NotAllowed},
        {"Codigo = 1; ATTACH '" + dir.filePath("copia.db") + "' AS x KEY ''", Bad},
        {"Codigo = 1; PRAGMA rekey = 'nova'", Bad},      {"Codigo = 1; PRAGMA journal_mode = WAL", Bad},
        {"Codigo = 1; DELETE FROM TblClientes", Bad},    {"Codigo = 1" + QString(QChar(0)) + "; DELETE FROM TblClientes", Bad},
        {"Codigo = 1 -- AND x", Bad},                    {"Codigo = 1 /* x */", Bad},
        {"1) OR (1", Bad},                               {"(Codigo = 1", Bad},     {"Codigo = 1)", Bad},
        {"Codigo IN (WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r)", NotAllowed},
        {"Nome = " + growing, Bad},
    };
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 7'")));
    const QByteArray before = fileDigest(path);
    const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);
    for (const auto& [criterion, code] : cases) {
        EXPECT_EQ(dbErrorOf([&] { c.findFirst(criterion); }), code) << criterion.toStdString();
        EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("CLIENTE 7")) << "the cursor stays on its row";
        RecordCursor source;   // the same text as a record source's filter
        EXPECT_THROW(source.open(path, "SELECT * FROM TblClientes WHERE " + criterion), DbError) << criterion.toStdString();
    }
    for (const char* source : {"SELECT * FROM TblClientes WHERE 1 UNION SELECT * FROM TblOperador",
                               "SELECT *, (SELECT Senha FROM TblOperador) AS s FROM TblClientes",
                               "SELECT sqlcipher_export('main') FROM TblClientes", "sqlite_master",
                               "SELECT * FROM TblClientes ORDER BY (SELECT Senha FROM TblOperador)"}) {
        RecordCursor other;
        EXPECT_THROW(other.open(path, QString::fromUtf8(source)), DbError) << source;
    }
    // A find that would run for ages is stopped with a clear error.
    const int limit = Database::queryTimeLimit();
    Database::setQueryTimeLimit(200);
    EXPECT_EQ(dbErrorOf([&] { c.findFirst("Codigo IN (SELECT a.Codigo FROM TblClientes a, TblClientes b, TblClientes c, "
                                          "TblClientes d, TblClientes e WHERE a.Nome || b.Nome || c.Nome || d.Nome = e.Nome)"); }),
              DbErrorCode::TookTooLong);
    Database::setQueryTimeLimit(limit);
    EXPECT_EQ(fileDigest(path), before) << "the file is byte for byte as it was";
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), filesBefore) << "no file was made beside it";

    // The connection is as it was: one database, its journal, the real tables.
    Database& db = c.database();
    EXPECT_EQ(db.rows(QStringLiteral("PRAGMA database_list")).size(), 1u);
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_temp_master")).toInt(), 0);
    c.addNew();
    c.setField(QStringLiteral("Nome"), QStringLiteral("DEPOIS"));
    c.update();
    db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 3"));
    EXPECT_EQ(readElsewhere(path, "SELECT count(*) FROM TblClientes WHERE Nome = 'DEPOIS'"), "1");
    EXPECT_EQ(readElsewhere(path, "SELECT Qtde FROM TblConfig"), "3");
    // What the windows do ask for still works.
    EXPECT_TRUE(c.findFirst(QStringLiteral("Codigo IN (SELECT Codigo FROM TblClientes WHERE Nome LIKE 'CLIENTE 12')")));
    // One statement followed by blanks, line ends or a semicolon is one statement.
    for (const char* end : {" ", "\t", "\r\n", ";", " ; \n"}) {
        EXPECT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 13'") + end)) << end;
        RecordCursor source;
        EXPECT_NO_THROW(source.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome = 'CLIENTE 14'") + end)) << end;
        EXPECT_EQ(source.recordCount(), 1) << end;
    }
}

TARVEL_TEST_MAIN()
