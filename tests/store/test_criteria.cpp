// Criteria and record sources as hostile text: whatever they say, a cursor
// only reads its own table, the file stays as it was and the connection
// keeps working. Typed texts with NUL and lone surrogates match literally or
// are refused.
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "store/sqldialect.h"
#include "support/files.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlcipher/sqlite3.h>

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
    // Counts rows through a connection of another copy, not ours.
    int countElsewhere(const char* sql) const {
        sqlite3* db = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_key(db, DatabasePassword, int(qstrlen(DatabasePassword)));
        registerTextFunctions(db);
        sqlite3_stmt* st = nullptr;
        int n = -1;
        if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) n = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        return n;
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
    EXPECT_EQ(countElsewhere("SELECT count(*) FROM TblClientes WHERE Nome = 'DEPOIS'"), 1);
    EXPECT_EQ(countElsewhere("SELECT Qtde FROM TblConfig"), 3);
    // What the windows do ask for still works.
    EXPECT_TRUE(c.findFirst(QStringLiteral("Codigo IN (SELECT Codigo FROM TblClientes WHERE Nome LIKE 'CLIENTE 12')")));
}

// A find that would run for ages is stopped with a clear error, and the
// cursor and its connection go on working.
TEST_F(HostileText, ARunawayFindIsStopped) {
    const int limit = Database::queryTimeLimit();
    Database::setQueryTimeLimit(200);
    RecordCursor c;
    c.open(path, QStringLiteral("TblClientes"));
    EXPECT_EQ(dbErrorOf([&] { c.findFirst("Codigo IN (SELECT a.Codigo FROM TblClientes a, TblClientes b, TblClientes c, "
                                        "TblClientes d, TblClientes e WHERE a.Nome || b.Nome || c.Nome || d.Nome = e.Nome)"); }),
              DbErrorCode::TookTooLong);
    Database::setQueryTimeLimit(limit);
    EXPECT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 3'")));
    c.edit();
    c.setField(QStringLiteral("Bairro"), QStringLiteral("CENTRO"));
    c.update();
    EXPECT_EQ(countElsewhere("SELECT count(*) FROM TblClientes WHERE Bairro = 'CENTRO'"), 1);
}

// A lone surrogate is kept as the replacement character and matched
// literally, never as a wildcard; a NUL is refused with a clear error.
TEST_F(HostileText, NulAndLoneSurrogatesMatchLiterallyOrAreRefused) {
    const QString lone(QChar(0xD800)), zeca = QStringLiteral("ZE") + lone + QStringLiteral("CA");
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.database().execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?), ('ZE?CA')"), {zeca});
    c.requery();
    const auto begins = [](const QString& t) { return SqlDialect::beginsWith(QStringLiteral("Nome"), t); };
    EXPECT_FALSE(c.findFirst(begins(lone)));
    EXPECT_FALSE(c.findFirst(begins(QStringLiteral("CLIENTE") + lone)));
    EXPECT_TRUE(c.findFirst(begins(QStringLiteral("ZE") + lone)));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE") + QChar(QChar::ReplacementCharacter) + QStringLiteral("CA"));
    EXPECT_TRUE(c.findFirst("Nome = " + SqlDialect::quote(zeca)));
    EXPECT_TRUE(c.findFirst(begins(QStringLiteral("ZE?"))));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE?CA"));
    const QString pair = QStringLiteral("A") + QChar(0xD83D) + QChar(0xDE00);
    EXPECT_EQ(SqlDialect::storedText(pair), pair) << "a whole pair is a character";

    const QString withNul = QStringLiteral("ZE") + QChar(0) + QStringLiteral("CA");
    EXPECT_EQ(dbErrorOf([&] { SqlDialect::quote(withNul); }), DbErrorCode::InvalidText);
    EXPECT_THROW(begins(withNul), DbError);
    EXPECT_THROW(c.findFirst(QStringLiteral("Nome = 'ZE") + QChar(0) + QStringLiteral("' OR 1 = 1")), DbError);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE?CA"));
}

TARVEL_TEST_MAIN()
