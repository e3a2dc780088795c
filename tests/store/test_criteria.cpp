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
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
        Schema::createDatabaseFile(path);
        Database db(path);
        for (int i = 0; i < 60; ++i)
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {QStringLiteral("CLIENTE %1").arg(i)});
    }
    QStringList files() const { return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
};

// Counts rows through a connection of another copy, not ours.
int countElsewhere(const QString& path, const char* sql) {
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

// A text that grows to a hundred million characters inside the engine.
QString growingText() {
    QString t = QStringLiteral("'XXXXXXXXXX'");
    for (int i = 0; i < 7; ++i) t = QStringLiteral("replace(%1, 'X', 'XXXXXXXXXX')").arg(t);
    return t;
}

} // namespace

TEST_F(HostileText, HostileCriteriaFailCleanlyAndChangeNothing) {
    struct Case { QString criterion; int code; };
    const QString other = dir.filePath(QStringLiteral("copia.db"));
    const std::vector<Case> cases = {
        // Functions that change the file or the connection.
        {QStringLiteral("Nome = sqlcipher_export('main')"), DbErrorCode::NotAllowed},
        {QStringLiteral("Nome = load_extension('x')"), DbErrorCode::NotAllowed},
        {QStringLiteral("Nome = randomblob(1000)"), DbErrorCode::NotAllowed},
        {QStringLiteral("Nome = printf('%.*c', 1000000000, 'x')"), DbErrorCode::NotAllowed},
        // Another table, the schema.
        {QStringLiteral("Codigo IN (SELECT Senha FROM TblOperador)"), DbErrorCode::NotAllowed},
        {QStringLiteral("Nome IN (SELECT sql FROM sqlite_master)"), DbErrorCode::NotAllowed},
        // Attach, pragma, a second statement.
        {QStringLiteral("Codigo = 1; ATTACH '%1' AS x KEY ''").arg(other), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1; PRAGMA rekey = 'nova'"), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1; PRAGMA journal_mode = WAL"), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1; DELETE FROM TblClientes"), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1") + QChar(0) + QStringLiteral("; DELETE FROM TblClientes"), DbErrorCode::BadCriterion},
        // Comments and unbalanced parentheses that would leave the criterion's place.
        {QStringLiteral("Codigo = 1 -- AND x"), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1 /* x */"), DbErrorCode::BadCriterion},
        {QStringLiteral("1) OR (1"), DbErrorCode::BadCriterion},
        {QStringLiteral("(Codigo = 1"), DbErrorCode::BadCriterion},
        {QStringLiteral("Codigo = 1)"), DbErrorCode::BadCriterion},
        // Recursion and a text that grows past any stored value.
        {QStringLiteral("Codigo IN (WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) SELECT n FROM r)"),
         DbErrorCode::NotAllowed},
        {QStringLiteral("Nome = ") + growingText(), DbErrorCode::BadCriterion},
    };

    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 7'")));
    const QByteArray before = fileDigest(path);
    const QStringList filesBefore = files();
    for (const Case& k : cases) {
        try {
            c.findFirst(k.criterion);
            ADD_FAILURE() << "accepted: " << k.criterion.toStdString();
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), k.code) << k.criterion.toStdString() << " -> " << e.description().toStdString();
            EXPECT_FALSE(e.description().isEmpty());
        }
        EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("CLIENTE 7")) << "the cursor stays on its row";
        // The same text as a record source's filter.
        RecordCursor source;
        EXPECT_THROW(source.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE ") + k.criterion), DbError)
            << k.criterion.toStdString();
    }
    EXPECT_EQ(fileDigest(path), before) << "the file is byte for byte as it was";
    EXPECT_EQ(files(), filesBefore) << "no file was made beside it";

    // The connection is as it was: one database, its journal, the real tables.
    Database& db = c.database();
    EXPECT_EQ(db.rows(QStringLiteral("PRAGMA database_list")).size(), 1u);
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_temp_master")).toInt(), 0);
    // Later writes land in the file's own tables, seen by another copy.
    c.addNew();
    c.setField(QStringLiteral("Nome"), QStringLiteral("DEPOIS"));
    c.update();
    db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 3"));
    EXPECT_EQ(countElsewhere(path, "SELECT count(*) FROM TblClientes WHERE Nome = 'DEPOIS'"), 1);
    EXPECT_EQ(countElsewhere(path, "SELECT Qtde FROM TblConfig"), 3);
    EXPECT_TRUE(c.findFirst(QStringLiteral("Nome LIKE 'CLIENTE 5*' AND (Codigo > 0)")));
}

TEST_F(HostileText, HostileRecordSourcesReadOnlyTheirTable) {
    for (const char* source : {"SELECT * FROM TblClientes WHERE 1 UNION SELECT * FROM TblOperador",
                               "SELECT *, (SELECT Senha FROM TblOperador) AS s FROM TblClientes",
                               "SELECT sqlcipher_export('main') FROM TblClientes",
                               "sqlite_master",
                               "SELECT * FROM TblClientes ORDER BY (SELECT Senha FROM TblOperador)"}) {
        RecordCursor c;
        try {
            c.open(path, QString::fromUtf8(source));
            ADD_FAILURE() << "opened: " << source;
        } catch (const DbError& e) {
            EXPECT_FALSE(e.description().isEmpty()) << source;
        }
    }
    // What the windows do ask for still works.
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT Codigo, Nome FROM TblClientes WHERE Nome LIKE 'CLIENTE 1*' AND "
                                "(Codigo > 0 OR Nome IS NULL) ORDER BY Nome DESC"));
    EXPECT_EQ(c.recordCount(), 11);
    EXPECT_TRUE(c.findFirst(QStringLiteral("Codigo IN (SELECT Codigo FROM TblClientes WHERE Nome = 'CLIENTE 12')")));
}

// A find that would run for ages is stopped with a clear error, and the
// cursor and its connection go on working.
TEST_F(HostileText, ARunawayFindIsStopped) {
    const int limit = Database::queryTimeLimit();
    Database::setQueryTimeLimit(200);
    RecordCursor c;
    c.open(path, QStringLiteral("TblClientes"));
    try {
        c.findFirst(QStringLiteral("Codigo IN (SELECT a.Codigo FROM TblClientes a, TblClientes b, TblClientes c, "
                                   "TblClientes d, TblClientes e WHERE a.Nome || b.Nome || c.Nome || d.Nome = e.Nome)"));
        ADD_FAILURE() << "the runaway find ended by itself";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbErrorCode::TookTooLong) << e.description().toStdString();
    }
    Database::setQueryTimeLimit(limit);
    EXPECT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 3'")));
    c.edit();
    c.setField(QStringLiteral("Bairro"), QStringLiteral("CENTRO"));
    c.update();
    EXPECT_EQ(countElsewhere(path, "SELECT count(*) FROM TblClientes WHERE Bairro = 'CENTRO'"), 1);
}

// Typed texts with a NUL or a lone surrogate: the surrogate is kept as the
// replacement character and matched literally, never as a wildcard; a NUL
// is refused with a clear error.
TEST_F(HostileText, NulAndLoneSurrogatesMatchLiterallyOrAreRefused) {
    const QString lone(QChar(0xD800));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.addNew();
    c.setField(QStringLiteral("Nome"), QStringLiteral("ZE") + lone + QStringLiteral("CA"));
    c.update();
    c.requery();

    // The lone surrogate is no "?": "ZE?CA" or "ZEXCA" do not match it, and it matches nothing else.
    EXPECT_FALSE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), lone)));
    EXPECT_FALSE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("CLIENTE") + lone)));
    EXPECT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("ZE") + lone)));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE") + QChar(QChar::ReplacementCharacter) + QStringLiteral("CA"));
    EXPECT_TRUE(c.findFirst(QStringLiteral("Nome = ") + SqlDialect::quote(QStringLiteral("ZE") + lone + QStringLiteral("CA"))));
    EXPECT_EQ(SqlDialect::storedText(QStringLiteral("A") + QChar(0xD83D) + QChar(0xDE00)),
              QStringLiteral("A") + QChar(0xD83D) + QChar(0xDE00)) << "a whole pair is a character";
    Database& db = c.database();
    db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES ('ZE?CA')"));
    c.requery();
    EXPECT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("ZE?"))));
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE?CA"));

    // NUL: refused by the quoting helpers and by the translator.
    const QString withNul = QStringLiteral("ZE") + QChar(0) + QStringLiteral("CA");
    try {
        SqlDialect::quote(withNul);
        ADD_FAILURE() << "quoted a NUL";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbErrorCode::InvalidText);
    }
    EXPECT_THROW(SqlDialect::beginsWith(QStringLiteral("Nome"), withNul), DbError);
    EXPECT_THROW(c.findFirst(QStringLiteral("Nome = 'ZE") + QChar(0) + QStringLiteral("' OR 1 = 1")), DbError);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZE?CA"));
}

TARVEL_TEST_MAIN()
