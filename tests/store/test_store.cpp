// The database file, its text rules and the record cursor, on real encrypted
// files in temporary folders.
#include "store/currency.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "store/sqldialect.h"
#include "store/textcompare.h"
#include "support/files.h"
#include "support/othercopy.h"
#include "support/storefaults.h"

#include <QCoreApplication>
#include <functional>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

namespace {

QString g_self;

struct FreshDb : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"));
        Schema::createDatabaseFile(path);
    }
    QStringList listing() const { return QDir(dir.path()).entryList(QDir::Files | QDir::NoDotAndDotDot); }
};

QStringList names(RecordCursor& c) {
    QStringList out;
    for (c.moveFirst(); !c.eof(); c.moveNext()) out << c.text(QStringLiteral("Nome"));
    return out;
}

void addCustomer(Database& db, const QString& nome) {
    db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {nome});
}

// A second, independent connection, as another copy of the program has.
sqlite3* otherConnection(const QString& path) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    sqlite3_key(db, DatabasePassword, int(qstrlen(DatabasePassword)));
    registerTextFunctions(db);
    return db;
}

// Descriptors of this process open on a file.
int openDescriptors(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        if (fd.symLinkTarget() == target) ++n;
    return n;
}

} // namespace

TEST_F(FreshDb, OpeningFailuresLeaveNoFileBehind) {
    const QString text = dir.filePath(QStringLiteral("texto.mdb"));
    { QFile f(text); f.open(QIODevice::WriteOnly); f.write("isto não é um banco de dados\n"); }
    const QString empty = dir.filePath(QStringLiteral("vazio.mdb"));
    { QFile f(empty); f.open(QIODevice::WriteOnly); }
    const QStringList before = listing();

    // Missing file.
    const QString missing = dir.filePath(QStringLiteral("nada.mdb"));
    try { Database d(missing); FAIL() << "opened a missing file"; }
    catch (const DbError& e) { EXPECT_EQ(e.number(), DbErrorCode::FileNotFound); EXPECT_FALSE(e.description().isEmpty()); }
    EXPECT_FALSE(QFile::exists(missing));

    // Wrong password.
    const QByteArray dbBefore = fileDigest(path);
    EXPECT_THROW(Database(path, QStringLiteral("Access 2000;pwd=ERRADA")), DbError);
    EXPECT_EQ(fileDigest(path), dbBefore);

    // A text file and an empty file are not databases.
    const QByteArray textBefore = fileDigest(text);
    EXPECT_THROW(Database d(text), DbError);
    EXPECT_EQ(fileDigest(text), textBefore);
    EXPECT_THROW(Database d(empty), DbError);
    EXPECT_EQ(QFileInfo(empty).size(), 0);

    EXPECT_EQ(listing().join('|').toStdString(), before.join('|').toStdString())
        << "no journal or lock file may be left by a failed open";
}

TEST_F(FreshDb, DeliveredRowsAndTheKey) {
    Database db(path, QString::fromUtf8(ConnectWithPassword));
    EXPECT_EQ(db.scalar("SELECT Qtde FROM TblConfig").toInt(), 0);
    EXPECT_FALSE(db.scalar("SELECT DtAtual FROM TblConfig").isValid());
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblStatus").toInt(), 3);
    RecordCursor op;
    op.open(path, QStringLiteral("SELECT * FROM TblOperador WHERE Senha = 2322"));
    ASSERT_EQ(op.recordCount(), 1);
    EXPECT_EQ(op.text("nomeoperador"), QStringLiteral("ADMINISTRADOR"));
    for (const char* right : {"Ini", "EmOs", "BxOs", "Ce", "CadUsu", "CadFunc", "Cnf", "Rst", "Fnr"})
        EXPECT_TRUE(op.yesNo(QString::fromLatin1(right))) << right;
    EXPECT_EQ(Schema::passwordToStored(1234), 2322);
    // The file is encrypted: the plain header of an unencrypted database is absent.
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3"));
    // Every field of the delivered-appliance record exists, its odd names included.
    const Schema::Table* ent = Schema::table(QStringLiteral("tblapentregues"));
    ASSERT_NE(ent, nullptr);
    EXPECT_EQ(ent->fields.size(), 60u);

    // A file made before the warranty index gets it when it is next opened.
    const QString warrantyIndex = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'IdxTblApEntreguesGarantiadeServiçoDATALIMITEGARANTIA'");
    EXPECT_EQ(db.scalar(warrantyIndex).toInt(), 1);
    db.execute(QStringLiteral("DROP INDEX \"IdxTblApEntreguesGarantiadeServiçoDATALIMITEGARANTIA\""));
    op.close();
    db = Database();
    Database reopened(path, QString::fromUtf8(ConnectWithPassword));
    EXPECT_EQ(reopened.scalar(warrantyIndex).toInt(), 1);
}

TEST_F(FreshDb, TextComparesAsTheShopExpects) {
    Database db(path);
    for (const char* n : {"ANA", "ÁLVARO", "ALBERTO", "BRUNO", "ÇÃOZINHO", "joão", "50% OFF", "500 PEÇAS", "A_B", "AXB",
                          "[SEM NOME]", "A[B]"})
        addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome <> 'x' ORDER BY Nome"));
    const QStringList sorted = names(c);
    EXPECT_LT(sorted.indexOf("ALBERTO"), sorted.indexOf(QString::fromUtf8("ÁLVARO")));
    EXPECT_LT(sorted.indexOf(QString::fromUtf8("ÁLVARO")), sorted.indexOf("ANA"));
    EXPECT_LT(sorted.indexOf("ANA"), sorted.indexOf("BRUNO"));

    EXPECT_TRUE(c.findFirst(QString::fromUtf8("Nome = 'JOÃO'")));
    EXPECT_EQ(c.text("Nome"), QString::fromUtf8("joão"));
    EXPECT_TRUE(c.findFirst(QString::fromUtf8("Nome LIKE 'ção*'")));
    EXPECT_EQ(c.text("Nome"), QString::fromUtf8("ÇÃOZINHO"));
    // % and _ are ordinary characters; typed wildcards are matched literally.
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome LIKE '50%*'")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome LIKE 'A_B'")).toInt(), 1);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome LIKE 'A?B'")).toInt(), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome LIKE '#0*'")).toInt(), 2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE ") +
                        SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("A?")))
                  .toInt(), 0);
    // A typed "[" is a character like any other.
    for (const auto& [typed, found] : {std::pair{"[", "[SEM NOME]"}, {"A[", "A[B]"}, {"A[B]", "A[B]"}}) {
        ASSERT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QString::fromUtf8(typed)))) << typed;
        EXPECT_EQ(c.text("Nome"), QString::fromUtf8(found)) << typed;
    }
}

// Name-prefix finds walk the name's index from the prefix; whatever the
// letters, they find what a plain scan of the list in its order finds, and
// rows added or deleted since the list was read are found or skipped.
TEST_F(FreshDb, PrefixFindsAgreeWithAScanOfTheList) {
    Database db(path);
    const QStringList all = {"ANA", "ana maria", "ÁLVARO", "ALVARO", "ÂNGELA", "ZÉ", "ZEZINHO", "zz", "ZZZ", "Z[1]",
                             "ÿVES", "YVES", "D'ÁVILA", "D'AVILA", "ÇÃO", "CAO", "50 PEÇAS", "5*", "ÉDEN", "EDEN", "ÖZIL",
                             "OZIL", "PÃO", "PAO", "~TIL", "ÑANDU", "NANDU"};
    for (const QString& n : all) addCustomer(db, n);
    for (const char* order : {"Nome", "Nome DESC", "Codigo", "Cidade, Nome"}) {
        RecordCursor c;
        c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY ") + QString::fromLatin1(order));
        const QStringList listed = names(c);
        for (const char* typed : {"A", "a", "Á", "ÁL", "ALV", "ÂN", "Z", "ZE", "ZÉ", "z", "ZZ", "Z[", "ÿ", "Y", "D'", "D'Á",
                                  "Ç", "C", "5", "5*", "É", "Ö", "O", "PÃ", "~", "Ñ", "N", "Q", "ZZZZ"}) {
            const QString t = QString::fromUtf8(typed);
            const QString pattern = SqlDialect::likeLiteral(t) + QLatin1Char('*');
            QString expected;
            for (const QString& n : listed) {
                const QByteArray p = pattern.toUtf8(), v = n.toUtf8();
                if (TextCompare::like(p.constData(), std::size_t(p.size()), v.constData(), std::size_t(v.size()))) {
                    expected = n;
                    break;
                }
            }
            c.moveFirst();
            const bool found = c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), t));
            EXPECT_EQ(found, !expected.isEmpty()) << order << " / " << typed;
            if (found) EXPECT_EQ(c.text(QStringLiteral("Nome")), expected) << order << " / " << typed;
        }
        // Rows added and deleted after the list was read, and the rows after a deletion.
        c.addNew();
        c.setField(QStringLiteral("Nome"), QStringLiteral("XAVIER"));
        const qint64 added = c.update();
        ASSERT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("XAV"))));
        EXPECT_EQ(c.currentKey(), added);
        ASSERT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("ANA"))));
        const qint64 gone = c.currentKey();
        c.deleteCurrent();
        EXPECT_EQ(c.indexOfKey(gone), -1);
        ASSERT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("XAV"))));
        EXPECT_EQ(c.currentKey(), added);
        EXPECT_EQ(c.absolutePosition(), c.indexOfKey(added));
        ASSERT_TRUE(c.findFirst(SqlDialect::beginsWith(QStringLiteral("Nome"), QStringLiteral("ZZZ"))));
        EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ZZZ"));
        // Put the file back for the next order.
        db.execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome = 'XAVIER'"));
        db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES ('ANA')"));
    }
}

// A refresh on an unchanged file keeps the list it read and goes back to the
// first row; a change by this copy or another one is read again.
TEST_F(FreshDb, RefreshReadsAgainOnlyWhatChanged) {
    Database db(path);
    for (const char* n : {"BRUNO", "ANA", "CARLOS"}) addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.moveLast();
    c.refresh();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("ANA"));
    EXPECT_EQ(names(c), QStringList({"ANA", "BRUNO", "CARLOS"}));

    sqlite3* other = otherConnection(path);
    ASSERT_EQ(sqlite3_exec(other, "INSERT INTO TblClientes (Nome) VALUES ('AARAO')", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);
    c.refresh();
    EXPECT_EQ(names(c), QStringList({"AARAO", "ANA", "BRUNO", "CARLOS"}));
    db.execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome = 'BRUNO'"));
    c.requery();
    EXPECT_EQ(names(c), QStringList({"AARAO", "ANA", "CARLOS"}));
}

TEST(CurrencyText, ParsesAndFormatsExactly) {
    struct Case { const char* in; std::int64_t raw; const char* fixed; const char* money; };
    const Case cases[] = {
        {"1.234,56", 12345600, "1234,56", "R$ 1.234,56"},
        {"25,5", 255000, "25,50", "R$ 25,50"},
        {"0,0001", 1, "0,00", "R$ 0,00"},
        {"-3", -30000, "-3,00", "-R$ 3,00"},
        {"R$ 1.000.000,00", 10000000000LL, "1000000,00", "R$ 1.000.000,00"},
        {"0,125", 1250, "0,13", "R$ 0,13"},
        {"12,34567", 123457, "12,35", "R$ 12,35"},
        {"1,23455", 12346, "1,23", "R$ 1,23"},
        {"-0,00005", -1, "0,00", "R$ 0,00"},
    };
    for (const Case& c : cases) {
        const auto v = Currency::parse(QString::fromUtf8(c.in));
        ASSERT_TRUE(v.has_value()) << c.in;
        EXPECT_EQ(v->raw(), c.raw) << c.in;
        EXPECT_EQ(v->toFixed(), QString::fromUtf8(c.fixed)) << c.in;
        EXPECT_EQ(v->toCurrencyText(), QString::fromUtf8(c.money)) << c.in;
    }
    for (const char* bad : {"", "abc", "1,2,3", "1.23,00", "1,2345x", "1e5", "12a"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad)).has_value()) << bad;
    EXPECT_EQ(Currency::fromUnits(200).percent(15).raw(), 300000);
}

TEST_F(FreshDb, AutoNumberIsNeverHandedOutTwice) {
    RecordCursor c;
    c.open(path, QStringLiteral("TblManutencao"));
    c.addNew();
    c.setField("Nome", "A");
    const qint64 first = c.update();
    c.addNew();
    c.setField("Nome", "B");
    const qint64 second = c.update();
    EXPECT_EQ(second, first + 1);
    c.requery();
    c.moveLast();
    c.deleteCurrent();
    c.addNew();
    c.setField("Nome", "C");
    EXPECT_EQ(c.update(), second + 1);
}

TEST_F(FreshDb, CursorMovesFindsAndEdits) {
    Database db(path);
    for (const char* n : {"CARLOS", "ANA", "BRUNO", "DORA"}) addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    int moves = 0;
    QObject::connect(&c, &RecordCursor::currentChanged, [&] { ++moves; });
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    EXPECT_EQ(c.recordCount(), 4);
    EXPECT_FALSE(c.bof());
    EXPECT_EQ(c.text("NOME"), "ANA");
    c.moveLast();
    c.moveNext();
    EXPECT_TRUE(c.eof());
    EXPECT_FALSE(c.hasCurrent());
    EXPECT_THROW(c.field("Nome"), DbError);
    c.moveLast();
    EXPECT_EQ(c.text("Nome"), "DORA");
    c.moveNext();
    EXPECT_TRUE(c.eof());
    EXPECT_GT(moves, 3);

    // A failed find keeps the row; a malformed criterion is an error.
    c.findFirst("Nome = 'BRUNO'");
    EXPECT_FALSE(c.noMatch());
    EXPECT_FALSE(c.findFirst("Nome = " + SqlDialect::quote("D'AVILA")));
    EXPECT_TRUE(c.noMatch());
    EXPECT_EQ(c.text("Nome"), "BRUNO");
    EXPECT_THROW(c.findFirst("Nome = 'abc"), DbError);
    EXPECT_THROW(c.findFirst("Nome = "), DbError);
    EXPECT_THROW(c.findFirst("Codigo = 1; DROP TABLE TblClientes"), DbError);
    EXPECT_EQ(c.text("Nome"), "BRUNO");

    // Edit writes only what changed and keeps an apostrophe intact.
    db.execute("UPDATE TblClientes SET Bairro = 'CENTRO' WHERE Nome = 'BRUNO'");
    c.edit();
    c.setField("nome", "BRUNO D'AVILA");
    c.setField("DataCadastro", QDate(2026, 12, 6));
    c.update();
    EXPECT_EQ(c.text("Bairro"), "CENTRO");
    EXPECT_TRUE(c.findFirst("Nome = " + SqlDialect::quote("BRUNO D'AVILA")));
    EXPECT_EQ(c.date("DataCadastro"), QDate(2026, 12, 6));
    EXPECT_TRUE(c.findFirst("DataCadastro = #12/6/2026#"));
    EXPECT_THROW(c.findFirst("DataCadastro = #13/45/2026#"), DbError);

    // Cancel drops the edit; update without edit is an error.
    c.edit();
    c.setField("Nome", "OUTRO");
    c.cancelUpdate();
    EXPECT_EQ(c.text("Nome"), "BRUNO D'AVILA");
    EXPECT_THROW(c.update(), DbError);
    EXPECT_THROW(c.setField("Nome", "X"), DbError);
    EXPECT_THROW(c.field("NaoExiste"), DbError);

    // Delete leaves no current row; the next move reaches the following row.
    c.findFirst("Nome = 'CARLOS'");
    c.deleteCurrent();
    EXPECT_FALSE(c.hasCurrent());
    EXPECT_EQ(c.recordCount(), 3);
    c.moveNext();
    EXPECT_EQ(c.text("Nome"), "DORA");
    c.deleteCurrent();
    c.moveNext();
    EXPECT_TRUE(c.eof());
    // A row added past the end becomes the current row.
    c.addNew();
    c.setField("Nome", "EVA");
    const qint64 eva = c.update();
    EXPECT_EQ(c.currentKey(), eva);
    EXPECT_EQ(c.text("Nome"), "EVA");

    // Other writers' changes show when a row is read again.
    c.moveFirst();
    db.execute("UPDATE TblClientes SET Nome = 'ANABELA' WHERE Nome = 'ANA'");
    c.moveLast();
    c.moveFirst();
    EXPECT_EQ(c.text("Nome"), "ANABELA");
}

TEST_F(FreshDb, FieldTypesReadBackAsWritten) {
    RecordCursor c;
    c.open(path, QStringLiteral("TblApEntregues"));
    c.addNew();
    c.setField("OS", 17);
    c.setField("Dias", true);   // True in a whole-number field is -1
    c.setField("ValorCobrado", QStringLiteral("1.234,56"));
    c.setField(QString::fromUtf8("Garantia de Serviço"), true);
    c.setField("DataLimiteGarantia", QDate(2027, 1, 31));
    c.setField("HoraSaida", QTime(14, 5, 0));
    const qint64 key = c.update();
    c.requery();
    ASSERT_TRUE(c.findFirst(QStringLiteral("IdApEntregues = %1").arg(key)));
    EXPECT_EQ(c.number("Os"), 17);
    EXPECT_EQ(c.number("Dias"), -1);
    EXPECT_TRUE(c.yesNo("Dias"));
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "1234,56");
    EXPECT_TRUE(c.yesNo(QString::fromUtf8("garantia de serviço")));
    EXPECT_EQ(c.date("DATALIMITEGARANTIA"), QDate(2027, 1, 31));
    EXPECT_EQ(c.time("HoraSaida"), QTime(14, 5, 0));
    EXPECT_FALSE(c.field("Nome").isValid());
    EXPECT_TRUE(c.findFirst(QString::fromUtf8("[Garantia de Serviço] = True AND IDCliente Is Null")));
    c.edit();
    EXPECT_THROW(c.setField("ValorCobrado", QStringLiteral("doze")), DbError);
    EXPECT_THROW(c.setField("DataSaida", QStringLiteral("31/02/2026")), DbError);
}

// Two real processes on one file: both add rows and raise the counter.
TEST_F(FreshDb, TwoProcessesLoseNothing) {
    constexpr int PerProcess = 150;
    QProcess a, b;
    for (QProcess* p : {&a, &b}) p->start(g_self, {QStringLiteral("--worker"), path, QString::number(PerProcess)});
    for (QProcess* p : {&a, &b}) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    Database db(path);
    EXPECT_EQ(db.scalar("SELECT Qtde FROM TblConfig").toInt(), 2 * PerProcess);
    EXPECT_EQ(db.scalar("SELECT count(*) FROM TblManutencao").toInt(), 2 * PerProcess);
    EXPECT_EQ(db.scalar("SELECT count(DISTINCT Os) FROM TblManutencao").toInt(), 2 * PerProcess);
}

TEST_F(FreshDb, LockFileTellsWhetherSomeoneHoldsTheFile) {
    EXPECT_FALSE(Database::isHeldOpen(path));
    {
        RecordCursor c;
        c.open(path, QStringLiteral("TblConfig"));
        EXPECT_TRUE(Database::isHeldOpen(path));
        EXPECT_TRUE(Database::openInThisProcess(path));
        RecordCursor d;
        d.open(path, QStringLiteral("TblStatus"));
        c.close();
        EXPECT_TRUE(Database::openInThisProcess(path)) << "the connection lives while a cursor uses it";
    }
    EXPECT_FALSE(Database::openInThisProcess(path));
    // A lock file left behind (as by a crashed copy) does not count.
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Bd DedUvevaro.ldb"))));
    EXPECT_FALSE(Database::isHeldOpen(path));

    // Another process holding the file.
    OtherCopy holder(path);
    ASSERT_TRUE(holder.holding());
    EXPECT_TRUE(Database::isHeldOpen(path));
    ASSERT_TRUE(holder.stop());
    EXPECT_FALSE(Database::isHeldOpen(path));
}

TEST_F(FreshDb, OtherStoredFormsReadAsBefore) {
    {
        Database db(path);
        // The store's own forms, then forms written by hand or by older tools.
        db.execute(QString::fromUtf8("INSERT INTO TblApEntregues (IdApEntregues, Nome, Os, DataSaida, HoraSaida, "
                                     "ValorCobrado, \"Garantia de Serviço\") "
                                     "VALUES (1, 'JOÃO', 7, '2026-03-09', '14:05:00', 123400, 1)"));
        db.execute(QString::fromUtf8("INSERT INTO TblApEntregues (IdApEntregues, Nome, Os, DataSaida, HoraSaida, "
                                     "DataEntrada, ValorCobrado, \"Garantia de Serviço\", DataConcluido) "
                                     "VALUES (2, 4711, '8', '09/03/2026', '9:30', '2026-03-01 10:00:00', 12.5, '0', "
                                     "'2026-02-30')"));
        // True as the cursor writes it into a whole-number field.
        db.execute(QString::fromUtf8("INSERT INTO TblApEntregues (IdApEntregues, \"Garantia de Serviço\") VALUES (3, -1)"));
    }
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblApEntregues ORDER BY IdApEntregues"));
    ASSERT_EQ(c.recordCount(), 3);

    EXPECT_EQ(c.text("Nome"), QString::fromUtf8("JOÃO"));
    EXPECT_EQ(c.date("DataSaida"), QDate(2026, 3, 9));
    EXPECT_EQ(c.time("HoraSaida"), QTime(14, 5, 0));
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "12,34");
    EXPECT_TRUE(c.yesNo(QString::fromUtf8("Garantia de Serviço")));

    c.moveNext();
    EXPECT_EQ(c.field("Nome"), QVariant(QStringLiteral("4711"))) << "a number in a text field reads as text";
    EXPECT_EQ(c.date("DataSaida"), QDate(2026, 3, 9));
    EXPECT_EQ(c.time("HoraSaida"), QTime(9, 30, 0));
    EXPECT_EQ(c.date("DataEntrada"), QDate(2026, 3, 1));
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "12,50");
    EXPECT_FALSE(c.yesNo(QString::fromUtf8("Garantia de Serviço")));
    EXPECT_FALSE(c.field("DataConcluido").isValid()) << "an impossible date reads empty";
    EXPECT_EQ(c.number("Os"), 8);
    c.moveNext();
    EXPECT_TRUE(c.yesNo(QString::fromUtf8("Garantia de Serviço"))) << "-1 is True";

    // A grid page reads the same values as the current row.
    for (int i = 0; i < c.recordCount(); ++i) {
        c.setAbsolutePosition(i);
        const QVariantList row = c.rowAt(i);
        ASSERT_EQ(row.size(), c.fieldNames().size());
        for (int col = 0; col < row.size(); ++col)
            EXPECT_EQ(row[col], c.field(c.fieldNames()[col])) << "row " << i << " field " << qPrintable(c.fieldNames()[col]);
    }
}

// Amounts beyond what the money type holds (about 922 trillion reais) are
// refused when written and read empty when found in the file; they never wrap
// round into some other amount.
TEST_F(FreshDb, AmountsOutOfRangeNeverTurnIntoOtherAmounts) {
    {
        Database db(path);
        db.execute(QStringLiteral("INSERT INTO TblApEntregues (IdApEntregues, Nome, ValorCobrado) "
                                  "VALUES (1, 'ANA', 1e300), (2, 'BIA', -1e19), (3, 'CAIO', 900000000000.25)"));
    }
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblApEntregues ORDER BY IdApEntregues"));
    EXPECT_FALSE(c.field("ValorCobrado").isValid());
    c.moveNext();
    EXPECT_FALSE(c.field("ValorCobrado").isValid());
    EXPECT_EQ(c.rowAt(1)[c.fieldNames().indexOf(QStringLiteral("ValorCobrado"))], QVariant());
    c.moveNext();
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "900000000000,25");

    c.edit();
    EXPECT_THROW(c.setField("ValorCobrado", Q_INT64_C(1000000000000000)), DbError);
    EXPECT_THROW(c.setField("ValorCobrado", Q_INT64_C(-1000000000000000)), DbError);
    c.setField("ValorCobrado", Q_INT64_C(900000000000000));
    c.update();
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "900000000000000,00");
}

TEST_F(FreshDb, AnIdleCursorHoldsNoLockAndSeesOthersChanges) {
    {
        Database db(path);
        for (int i = 0; i < 3; ++i) addCustomer(db, QStringLiteral("CLIENTE %1").arg(i));
    }
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.moveNext();
    c.rowAt(0);
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = 'CLIENTE 0'")));

    // Another copy writes without waiting (no busy timeout): nothing of ours is in its way.
    sqlite3* other = otherConnection(path);
    EXPECT_EQ(sqlite3_exec(other, "UPDATE TblClientes SET Bairro = 'CENTRO' WHERE Nome = 'CLIENTE 0'", nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(other);
    sqlite3_close(other);

    // Its change shows when the row is read again.
    c.moveNext();
    c.moveFirst();
    EXPECT_EQ(c.text("Bairro"), QStringLiteral("CENTRO"));

    // Changing the source starts from the new table's fields.
    c.setRecordSource(QStringLiteral("TblStatus"));
    c.refresh();
    EXPECT_EQ(c.text("TipoStatus"), QStringLiteral("PRONTO"));

    // Closed, the cursor leaves the file really closed (a backup may copy it).
    ASSERT_GT(openDescriptors(path), 0);
    c.close();
    EXPECT_EQ(openDescriptors(path), 0);
}

// A write to a row that another copy deleted meanwhile is an error, never a
// success that stored nothing; the other rows are left alone.
TEST_F(FreshDb, WritingARowAnotherCopyDeletedFails) {
    {
        Database db(path);
        for (int i = 0; i < 2; ++i) addCustomer(db, QStringLiteral("CLIENTE %1").arg(i));
    }
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    ASSERT_EQ(c.text("Nome"), QStringLiteral("CLIENTE 0"));
    sqlite3* other = otherConnection(path);
    ASSERT_EQ(sqlite3_exec(other, "DELETE FROM TblClientes WHERE Nome = 'CLIENTE 0'", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(other);

    c.edit();
    c.setField("Bairro", QStringLiteral("CENTRO"));
    try {
        c.update();
        ADD_FAILURE() << "the update of a deleted row reported success";
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), DbErrorCode::RecordDeleted);
    }
    EXPECT_EQ(c.editMode(), RecordCursor::EditMode::None);
    EXPECT_THROW(c.writeField(0, QStringLiteral("Bairro"), QStringLiteral("CENTRO")), DbError);

    // The surviving row still takes writes.
    c.writeField(1, QStringLiteral("Bairro"), QStringLiteral("CENTRO"));
    Database db(path);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Bairro = 'CENTRO'")).toInt(), 1);
}

// A write the disk refuses names the cause in Portuguese, leaves the file as
// it was and leaves the connection outside any transaction: the next write,
// once the cause is gone, is seen by the other copies.
TEST_F(FreshDb, AFailedWriteNamesItsCauseAndTheNextWriteIsSeenByOthers) {
    StoreFault::install();
    const StoreFault::Kind kinds[] = {StoreFault::DiskFull, StoreFault::IoError, StoreFault::ReadOnlyFolder};
    int round = 0;
    for (const StoreFault::Kind kind : kinds) {
        SCOPED_TRACE(StoreFault::causeWords(kind).toStdString());
        Database db(path);
        RecordCursor c;
        c.open(path, QStringLiteral("TblConfig"));
        const QByteArray before = fileDigest(path);
        {
            StoreFault fault(kind);
            try {
                db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 7"));
                ADD_FAILURE() << "the write reported success";
            } catch (const DbError& e) {
                EXPECT_TRUE(e.description().startsWith(StoreFault::causeWords(kind))) << qPrintable(e.description());
            }
            c.edit();
            c.setField(QStringLiteral("Qtde"), 40 + round);
            EXPECT_THROW(c.update(), DbError);
            EXPECT_THROW(
                {
                    Transaction tx(db);
                    db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 9"));
                    tx.commit();
                },
                DbError);
            EXPECT_EQ(fileDigest(path), before);
        }
        // The cursor kept the edit: saving again now succeeds.
        c.update();
        db.execute(QStringLiteral("UPDATE TblConfig SET LocalBackup = ?"), {QStringLiteral("R%1").arg(round)});
        sqlite3* other = otherConnection(path);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT Qtde, LocalBackup FROM TblConfig", -1, &st, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        EXPECT_EQ(sqlite3_column_int(st, 0), 40 + round);
        EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 1))), QStringLiteral("R%1").arg(round));
        sqlite3_finalize(st);
        sqlite3_close(other);
        ++round;
    }
}

namespace {

int worker(const QString& path, int count) {
    try {
        RecordCursor orders;
        orders.open(path, QStringLiteral("TblManutencao"));
        Database db(path);
        for (int i = 0; i < count; ++i) {
            orders.addNew();
            orders.setField("Nome", QStringLiteral("CLIENTE %1").arg(i));
            orders.update();
            db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = Qtde + 1"));
        }
    } catch (const DbError& e) {
        std::fprintf(stderr, "%d %s\n", e.number(), qPrintable(e.description()));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> code = OtherCopy::serve(argc, argv)) return *code;
    QCoreApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == QLatin1String("--worker")) return worker(args[2], args[3].toInt());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

// The keys are read a page at a time (three rows here, so that a few rows
// cross several page edges): what a cursor shows must not depend on where
// the edges fall, in any order, with ties and empty values in the order, and
// whatever another copy did between two pages.
TEST_F(FreshDb, PagedKeysShowTheRowsOfAWholeRead) {
    const int savedPage = RecordCursor::pageSize();
    RecordCursor::setPageSize(3);
    struct Restore { int n; ~Restore() { RecordCursor::setPageSize(n); } } restore{savedPage};

    struct Source { const char* cursor; const char* bare; };
    const Source sources[] = {
        {"SELECT * FROM TblClientes ORDER BY Nome", "ORDER BY Nome, rowid"},
        {"TblClientes", "ORDER BY rowid"},
        {"SELECT * FROM TblClientes ORDER BY Cidade", "ORDER BY Cidade, rowid"},
        {"SELECT * FROM TblClientes WHERE Codigo > 1 ORDER BY Cidade DESC, Nome",
         "WHERE Codigo > 1 ORDER BY Cidade DESC, Nome, rowid"},
    };
    using Run = std::function<void(RecordCursor&, sqlite3* other, const QStringList& all, const QString& bare)>;
    const auto others = [](sqlite3* other, const QString& sql) {
        EXPECT_EQ(sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
    };
    Database db(path);
    const auto bareNames = [&db](const QString& bare) {
        QStringList out;
        for (const QVariantList& r : db.rows(QStringLiteral("SELECT Nome FROM TblClientes ") + bare)) out << r[0].toString();
        return out;
    };
    struct Case { const char* what; Run run; };
    const Case cases[] = {
        {"forwards across page edges", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             EXPECT_EQ(names(c), all);
             EXPECT_EQ(c.recordCount(), all.size());
         }},
        {"backwards across page edges, from the far end", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             c.moveLast();
             QStringList seen;
             for (int i = c.recordCount() - 1; i >= 0; --i) {
                 c.setAbsolutePosition(i);
                 EXPECT_EQ(c.absolutePosition(), i);
                 seen.prepend(c.text("Nome"));
             }
             EXPECT_EQ(seen, all);
         }},
        {"absolute position at the far end", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             const int last = int(all.size()) - 1;
             c.setAbsolutePosition(last);
             EXPECT_EQ(c.absolutePosition(), last);
             EXPECT_EQ(c.text("Nome"), all.last());
             EXPECT_EQ(c.valueAt(last - 4, c.fieldIndex("Nome")).toString(), all[last - 4]);
             c.moveNext();
             EXPECT_TRUE(c.eof());
         }},
        {"a find beyond the pages read", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = '%1'").arg(all[7])));
             EXPECT_EQ(c.absolutePosition(), 7);
             c.moveNext();
             EXPECT_EQ(c.text("Nome"), all[8]);
             ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = '%1'").arg(all[1])));
             EXPECT_EQ(c.absolutePosition(), 1);
         }},
        {"rows another copy deletes between two pages", [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString&) {
             // One on the page read, one on a page not read yet.
             c.setAbsolutePosition(2);
             others(other, QStringLiteral("DELETE FROM TblClientes WHERE Nome IN ('%1', '%2')").arg(all[1], all[4]));
             QStringList seen;
             for (; !c.eof(); c.moveNext()) seen << c.text("Nome");
             QStringList expected = all.mid(2);
             expected.removeAll(all[4]);
             EXPECT_EQ(seen, expected);
             // The row read before it went stays in the cursor as a deleted row.
             EXPECT_EQ(c.recordCount(), all.size() - 1);
             c.setAbsolutePosition(1);
             EXPECT_THROW(c.field("Nome"), DbError);
         }},
        {"a row another copy adds between two pages, and the count after it",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             others(other, QStringLiteral("INSERT INTO TblClientes (Nome, Cidade) VALUES ('N045', 'B')"));
             EXPECT_EQ(names(c), all);
             EXPECT_EQ(c.recordCount(), all.size());
             c.requery();
             EXPECT_EQ(c.recordCount(), all.size() + 1);
             EXPECT_EQ(names(c), bareNames(bare));
         }},
        {"our own deletion at a page edge", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             c.setAbsolutePosition(3);
             c.deleteCurrent();
             c.moveNext();
             EXPECT_EQ(c.text("Nome"), all[4]);
             c.moveLast();
             EXPECT_EQ(c.text("Nome"), all.last());
             EXPECT_EQ(c.recordCount(), all.size() - 1);
         }},
    };
    sqlite3* other = otherConnection(path);
    // Ties and empty values in the order; the names follow the order of entry.
    const char* cities[] = {nullptr, "B", "A", nullptr, "B", "C", "A", nullptr, "B", "A"};
    for (const Case& k : cases)
        for (const Source& s : sources) {
            SCOPED_TRACE(std::string(k.what) + " / " + s.cursor);
            {
                Transaction tx(db);
                db.execute(QStringLiteral("DELETE FROM TblClientes"));
                for (int i = 0; i < 10; ++i)
                    db.execute(QStringLiteral("INSERT INTO TblClientes (Nome, Cidade) VALUES (?, ?)"),
                               {QStringLiteral("N%1").arg(i + 1, 2, 10, QLatin1Char('0')),
                                cities[i] ? QVariant(QString::fromLatin1(cities[i])) : QVariant()});
                tx.commit();
            }
            const QStringList all = bareNames(QString::fromLatin1(s.bare));
            RecordCursor c;
            c.open(path, QString::fromLatin1(s.cursor));
            k.run(c, other, all, QString::fromLatin1(s.bare));
            c.close();
        }
    sqlite3_close(other);
}
