// The database file, its text rules and the record cursor, on real encrypted files.
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "store/schema.h"
#include "store/sqldialect.h"
#include "store/textcompare.h"
#include "support/copywriters.h"
#include "support/files.h"
#include "support/othercopy.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QProcess>
#include <limits>
#include <numeric>
#include <optional>
#include <random>
#include <sqlcipher/sqlite3.h>

namespace {

struct FreshDb : ::testing::Test {
    QTemporaryDir dir;
    QString path;
    void SetUp() override { Schema::createDatabaseFile(path = dir.filePath(QStringLiteral("Bd DedUvevaro.mdb"))); }
};

QStringList names(RecordCursor& c) {
    QStringList out;
    for (c.moveFirst(); !c.eof(); c.moveNext()) out << c.text(QStringLiteral("Nome"));
    return out;
}

void addCustomer(Database& db, const QString& nome, const QVariant& cadastro = {}) {
    db.execute(QStringLiteral("INSERT INTO TblClientes (Nome, DataCadastro) VALUES (?, ?)"), {nome, cadastro});
}

void others(sqlite3* other, const QString& sql) {
    EXPECT_EQ(sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
}
QString column(Database& db, const QString& sql) {
    QStringList out;
    for (const QVariantList& r : db.rows(sql)) out << r[0].toString();
    return out.join(',');
}

int openDescriptors(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    int n = 0;
    for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::Files | QDir::System))
        n += fd.symLinkTarget() == target;
    return n;
}

// The cursors' page size while the object lives, put back however the test ends.
struct PageSizeFor {
    explicit PageSizeFor(int rows) { RecordCursor::setPageSize(rows); }
    ~PageSizeFor() { RecordCursor::setPageSize(saved); }
    PageSizeFor(const PageSizeFor&) = delete;
    PageSizeFor& operator=(const PageSizeFor&) = delete;
    const int saved = RecordCursor::pageSize();
};

// 5,000 customers "N00000" to "N04999", added in a shuffled order.
void addShuffledNames(Database& db) {
    Transaction tx(db);
    for (int i = 0; i < 5000; ++i)
        db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {QStringLiteral("N%1").arg(i * 7919 % 5000, 5, 10, QLatin1Char('0'))});
    tx.commit();
}

// A find of the name stands where the name order puts the row.
void expectPlacedAsTheOrder(RecordCursor& c, Database& db, const char* nome) {
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = '%1'").arg(QLatin1String(nome)))) << nome;
    EXPECT_EQ(c.absolutePosition(),
              db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome < ?"), {QString::fromLatin1(nome)}).toInt())
        << nome;
}

} // namespace

TEST_F(FreshDb, OpeningFailuresLeaveNoFileBehind) {
    const QString text = dir.filePath(QStringLiteral("texto.mdb")), empty = dir.filePath(QStringLiteral("vazio.mdb"));
    { QFile f(text); f.open(QIODevice::WriteOnly); f.write("isto não é um banco de dados\n"); }
    { QFile f(empty); f.open(QIODevice::WriteOnly); }
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    EXPECT_EQ(dbErrorOf([&] { Database d(dir.filePath(QStringLiteral("nada.mdb"))); }), DbErrorCode::FileNotFound);
    for (const auto& [file, connect] : {std::pair{path, "Access 2000;pwd=ERRADA"}, {text, ""}, {empty, ""}}) {
        const QByteArray digest = fileDigest(file);
        EXPECT_THROW(Database(file, QString::fromLatin1(connect)), DbError) << connect;
        EXPECT_EQ(fileDigest(file), digest);
    }
    // A file that stops being a database while it is open is named as damaged, not with the engine's own words.
    {
        Database d(path, QString::fromUtf8(ConnectWithPassword));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.write(QByteArray(8192, 'x')), f.close();
        try {
            d.scalar(QStringLiteral("SELECT count(*) FROM TblClientes"));
            ADD_FAILURE() << "a damaged file was read";
        } catch (const DbError& e) {
            EXPECT_TRUE(e.description().contains(QStringLiteral("danificado"))) << e.description().toStdString();
            EXPECT_FALSE(e.description().contains(QStringLiteral("database"))) << e.description().toStdString();
        }
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before) << "no journal or lock file may be left by a failed open";
}

TEST_F(FreshDb, DeliveredRowsAndTheKey) {
    Database db(path, QString::fromUtf8(ConnectWithPassword));
    EXPECT_EQ(column(db, "SELECT Qtde || '|' || ifnull(DtAtual, '') FROM TblConfig"), "0|");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.read(16).startsWith("SQLite format 3")) << "the file is encrypted";
    const QString index = QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'IdxTblApEntreguesGarantiadeServiçoDATALIMITEGARANTIA'");
    db.execute(QStringLiteral("DROP INDEX \"IdxTblApEntreguesGarantiadeServiçoDATALIMITEGARANTIA\"")), db = Database();
    EXPECT_EQ(Database(path, QString::fromUtf8(ConnectWithPassword)).scalar(index).toInt(), 1);
}

// Criteria in the shop's dialect; a name-prefix find finds what a plain scan of the list in its order finds.
TEST_F(FreshDb, CriteriaAndPrefixFindsMatchAsTheShopExpects) {
    const auto begins = [](const QString& typed) { return SqlDialect::beginsWith(QStringLiteral("Nome"), typed); };
    Database db(path);
    for (const char* n : {"ANA", "ana maria", "ÁLVARO", "ALBERTO", "ZÉ", "ZEZINHO", "zz", "Z[1]", "ÿVES", "YVES", "D'ÁVILA",
                          "D'AVILA", "ÇÃOZINHO", "CAO", "joão", "50% OFF", "500 PEÇAS", "5*", "A_B", "AXB", "ÖZIL", "OZIL",
                          "~TIL", "ÑANDU", "NANDU", "[SEM NOME]", "A[B]", "ZE?CA"})
        addCustomer(db, QString::fromUtf8(n), n == std::string("YVES") ? QVariant(QDate(2026, 12, 6)) : QVariant());
    addCustomer(db, QStringLiteral("VELHO"), QDate(1930, 1, 2)), addCustomer(db, QStringLiteral("NOVO"), QDate(2029, 1, 2));
    const QString lone(QChar(0xD800)), pair = QStringLiteral("A") + QChar(0xD83D) + QChar(0xDE00);
    addCustomer(db, "ZE" + lone + "CA");
    EXPECT_EQ(SqlDialect::storedText(pair), pair) << "a whole pair is a character";
    const QString withNul = QStringLiteral("ZE") + QChar(0) + QStringLiteral("CA");
    EXPECT_EQ(dbErrorOf([&] { SqlDialect::quote(withNul); }), DbErrorCode::InvalidText);
    EXPECT_EQ(dbErrorOf([&] { begins(withNul); }), DbErrorCode::InvalidText);
    const std::pair<QString, const char*> cases[] = {
        {"Nome = 'JOÃO'", "joão"},      {"Nome LIKE 'ção*'", "ÇÃOZINHO"},   {"Nome LIKE '50%*'", "50% OFF"},
        {"Nome LIKE 'A_B'", "A_B"},     {"Nome LIKE 'A?B'", "A_B,AXB"},     {"Nome LIKE '#0*'", "50% OFF,500 PEÇAS"},
        {"Nome LIKE '[X-Z]*'", "ZÉ,ZEZINHO,zz,Z[1],YVES,ZE?CA,ZE\uFFFDCA"}, {"Nome LIKE 'A[!_X]*'", "ANA,ana maria,ALBERTO,A[B]"},
        {begins("A?"), ""},             {begins("["), "[SEM NOME]"},        {begins("A["), "A[B]"},
        {begins("A[B]"), "A[B]"},       {"Nome = " + SqlDialect::quote("D'AVILA"), "D'AVILA"},
        {begins(lone), ""},             {begins("CLIENTE" + lone), ""},    {begins("ZE" + lone), "ZE\uFFFDCA"},
        {"Nome = " + SqlDialect::quote("ZE" + lone + "CA"), "ZE\uFFFDCA"}, {begins("ZE?"), "ZE?CA"},
        {"DataCadastro = #12/6/2026#", "YVES"}, {"DataCadastro > " + SqlDialect::dateLiteral(QDate(2026, 12, 5)), "YVES,NOVO"},
        {"DataCadastro = #12/6/26#", "YVES"},   {"DataCadastro < #12/6/2026 10:30#", "YVES,VELHO"},   {"DataCadastro = #1/2/29#", "NOVO"}, {"DataCadastro = #1/2/30#", "VELHO"},
    };
    for (const auto& [criterion, expected] : cases)
        EXPECT_EQ(column(db, "SELECT Nome FROM TblClientes WHERE " + criterion + " ORDER BY Codigo"), QString::fromUtf8(expected))
            << criterion.toStdString();
    for (const char* order : {"Nome", "Nome DESC", "Codigo"}) {
        RecordCursor c;
        c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY ") + QString::fromLatin1(order));
        const QStringList listed = names(c);
        if (order == std::string("Nome")) {
            EXPECT_EQ(listed.mid(listed.indexOf("ALBERTO"), 4).join(','), QString::fromUtf8("ALBERTO,ÁLVARO,ANA,ana maria"));
        }
        for (const char* typed : {"A", "a", "Á", "ÁL", "Z", "ZÉ", "z", "Z[", "[", "A[", "ÿ", "Y", "D'Á", "Ç", "C", "5*", "Ö",
                                  "~", "Ñ", "N", "Q", "ZZZZ"}) {
            const QByteArray p = (SqlDialect::likeLiteral(QString::fromUtf8(typed)) + QLatin1Char('*')).toUtf8();
            const auto scan = std::find_if(listed.begin(), listed.end(), [&p](const QString& n) {
                const QByteArray v = n.toUtf8();
                return TextCompare::like(p.constData(), std::size_t(p.size()), v.constData(), std::size_t(v.size()));
            });
            c.moveFirst();
            const bool found = c.findFirst(begins(QString::fromUtf8(typed)));
            EXPECT_EQ(found ? c.text(QStringLiteral("Nome")) : QString(), scan == listed.end() ? QString() : *scan)
                << order << " / " << typed;
        }
        c.addNew();   // rows added and deleted after the list was read
        c.setField(QStringLiteral("Nome"), QStringLiteral("XAVIER"));
        const qint64 added = c.update();
        ASSERT_TRUE(c.findFirst(begins(QStringLiteral("ANA"))));
        const qint64 gone = c.currentKey();
        c.deleteCurrent();
        EXPECT_EQ(c.indexOfKey(gone), -1);
        ASSERT_TRUE(c.findFirst(begins(QStringLiteral("XAV"))));
        EXPECT_EQ(c.currentKey(), added);
        EXPECT_EQ(c.absolutePosition(), c.indexOfKey(added));
        EXPECT_THROW(c.findFirst(QStringLiteral("DataCadastro = #13/45/2026#")), DbError);
        db.execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome = 'XAVIER'"));
        addCustomer(db, QStringLiteral("ANA"));
    }
}

TEST(CurrencyText, ParsesFormatsAndRounds) {
    struct Case { const char* in; std::int64_t raw; const char* fixed; const char* money; };
    const Case cases[] = {
        {"1.234,56", 12345600, "1234,56", "R$ 1.234,56"}, {"-3", -30000, "-3,00", "-R$ 3,00"},
        {"R$ 1.000.000,00", 10000000000LL, "1000000,00", "R$ 1.000.000,00"}, {"0,125", 1250, "0,13", "R$ 0,13"},
        {"12,34567", 123457, "12,35", "R$ 12,35"}, {"1,23455", 12346, "1,23", "R$ 1,23"},
        {"-0,005", -50, "-0,01", "-R$ 0,01"}, {"-0,00005", -1, "0,00", "R$ 0,00"},
    };
    for (const Case& c : cases) {
        const auto v = Currency::parse(QString::fromUtf8(c.in));
        ASSERT_TRUE(v.has_value()) << c.in;
        SCOPED_TRACE(c.in);
        EXPECT_EQ(v->raw(), c.raw);
        EXPECT_EQ(v->toFixed(), QString::fromUtf8(c.fixed));
        EXPECT_EQ(v->toCurrencyText(), QString::fromUtf8(c.money));
        EXPECT_EQ(v->roundedToCents().raw() % 100, 0);
        EXPECT_EQ(v->roundedToCents().toFixed(), QString::fromUtf8(c.fixed));
    }
    for (const char* bad : {"", "abc", "1,2,3", "1.23,00", "1,2345x", "1e5", "12a"})
        EXPECT_FALSE(Currency::parse(QString::fromUtf8(bad)).has_value()) << bad;
    for (const auto& [raw, pct, result] : {std::tuple{2000000LL, 15LL, 300000LL}, {33LL, 15LL, 5LL}, {-33LL, 15LL, -5LL},
                                           {29LL, 10LL, 3LL}, {21LL, 10LL, 2LL}})
        EXPECT_EQ(Currency::fromRaw(raw).percent(pct).raw(), result) << raw << " x " << pct << "%";
}

TEST_F(FreshDb, CursorMovesFindsAndEdits) {
    Database db(path);
    for (const char* n : {"CARLOS", "ANA", "BRUNO", "DORA"}) addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    EXPECT_EQ(c.text("NOME"), "ANA");
    EXPECT_TRUE(c.findFirst("Nome = 'BRUNO'") && !c.noMatch());
    EXPECT_FALSE(c.findFirst("Nome = 'ZECA'"));
    EXPECT_TRUE(c.noMatch());
    EXPECT_EQ(c.text("Nome"), "BRUNO") << "a find that fails keeps the row";
    RecordCursor filtered;   // a find looks only at the cursor's own rows
    filtered.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome <> 'ANA' ORDER BY Nome"));
    EXPECT_TRUE(filtered.findFirst("Nome < 'C'"));
    EXPECT_EQ(filtered.text("Nome"), "BRUNO");
    // Opened again on other rows in the same order, the same find looks at the new rows.
    filtered.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome <> 'BRUNO' ORDER BY Nome"));
    EXPECT_TRUE(filtered.findFirst("Nome < 'C'"));
    EXPECT_EQ(filtered.text("Nome"), "ANA");
    // Edit writes only what changed.
    db.execute("UPDATE TblClientes SET Bairro = 'CENTRO' WHERE Nome = 'BRUNO'");
    c.edit();
    c.setField("nome", "BRUNO D'AVILA");
    c.update();
    EXPECT_EQ(db.scalar("SELECT Bairro FROM TblClientes WHERE Nome = 'BRUNO D''AVILA'").toString(), "CENTRO");
    c.edit(), c.setField("Nome", "OUTRO"), c.cancelUpdate();
    EXPECT_EQ(c.text("Nome"), "BRUNO D'AVILA");
    // A cell written from a grid while the row's boxes hold an unsaved edit:
    // the edit stays pending, the cell shows its new value, both are stored.
    c.edit(), c.setField("Nome", "BRUNO D");
    c.writeField(c.absolutePosition(), "Bairro", "SUL");
    EXPECT_EQ(c.editMode(), RecordCursor::EditMode::Edit);
    EXPECT_EQ(c.text("Nome"), "BRUNO D");
    EXPECT_EQ(c.text("Bairro"), "SUL");
    c.update();
    EXPECT_EQ(column(db, "SELECT Nome || '/' || Bairro FROM TblClientes WHERE Codigo = " + QString::number(c.currentKey())),
              "BRUNO D/SUL");
    EXPECT_THROW(c.update(), DbError);
    for (const int row : {-1, c.recordCount()})   // a cell of no row: no row to write, none written
        EXPECT_EQ(dbErrorOf([&] { c.writeField(row, "Bairro", "X"); }), DbErrorCode::NoCurrentRecord) << row;
    EXPECT_THROW(c.setField("Nome", "X"), DbError);
    EXPECT_THROW(c.field("NaoExiste"), DbError);
    c.deleteCurrent();
    EXPECT_FALSE(c.hasCurrent());
    EXPECT_EQ(c.currentKey(), -1) << "no current row until the next move";
    EXPECT_EQ(c.recordCount(), 3);
    c.moveNext();   // the row after the deleted one
    EXPECT_EQ(c.text("Nome"), "CARLOS");
    c.moveLast(), c.deleteCurrent(), c.moveNext();
    EXPECT_TRUE(c.eof()) << "nothing after the deleted last row";
    EXPECT_EQ(c.recordCount(), 2);
    c.moveLast(), c.moveNext(), c.addNew(), c.setField("Nome", "EVA");
    const qint64 eva = c.update();
    EXPECT_EQ(c.currentKey(), eva);
    EXPECT_EQ(c.text("Nome"), "EVA");
    c.deleteCurrent(), c.addNew(), c.setField("Nome", "FIA");
    EXPECT_EQ(c.update(), eva + 1) << "the last number handed out is not handed out again";
    c.moveFirst();   // a row this cursor added, after the rows it read, is found where it stands
    EXPECT_TRUE(c.findFirst("Nome = 'FIA'"));
    EXPECT_EQ(c.absolutePosition(), c.recordCount() - 1);
    // A click on the place of the row just deleted lands on the row now there.
    c.setAbsolutePosition(0);
    const QString second = c.valueAt(1, c.fieldIndex("Nome")).toString();
    c.deleteCurrent();
    EXPECT_EQ(c.valueAt(0, c.fieldIndex("Nome")).toString(), second) << "a grid shows the deleted row";
    c.setAbsolutePosition(0);
    EXPECT_TRUE(c.hasCurrent());
    EXPECT_EQ(c.text("Nome"), second);
    c.addNew();   // a new row given no values is stored with none
    EXPECT_EQ(c.update(), eva + 2);
    EXPECT_EQ(column(db, "SELECT count(*) FROM TblClientes WHERE Nome IS NULL"), "1");
}

// Stored forms read back as typed; amounts beyond the money type are refused or read empty, never wrapped.
TEST_F(FreshDb, StoredFormsReadBackAsWritten) {
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblApEntregues ORDER BY IdApEntregues"));
    c.addNew();
    c.setField("OS", 17);
    c.setField("Dias", true);   // True in a whole-number field is -1
    c.setField("ValorCobrado", QStringLiteral("1.234,56"));
    c.setField(QString::fromUtf8("Garantia de Serviço"), true);
    c.setField("DataLimiteGarantia", QDate(2027, 1, 31));
    c.setField("HoraSaida", QTime(14, 5, 0));
    ASSERT_EQ(c.update(), 1);
    c.database().execute(QString::fromUtf8(
        "INSERT INTO TblApEntregues (IdApEntregues, Nome, Os, DataSaida, HoraSaida, DataEntrada, ValorCobrado, "
        "\"Garantia de Serviço\", DataConcluido) VALUES (2, 4711, '8', '09/03/2026', '9:30', '2026-03-01 10:00:00', 12.5, "
        "'0', '2026-02-30'), (3, 'JOÃO', 7, '2026-03-09', '14:05:00', NULL, 1e300, -1, NULL), "
        "(4, 'BIA', NULL, NULL, NULL, NULL, -1e19, 1, NULL), (5, 'CAIO', NULL, NULL, NULL, NULL, 900000000000.25, 0, NULL), "
        "(6, 'DUDA', NULL, '9/3/2026', '1899-12-30 08:05:00', NULL, NULL, NULL, NULL)"));
    c.requery();
    const auto read = [&](const QString& f) -> QString {
        const QVariant v = c.field(f);   // a grid page reads the same values as the current row
        EXPECT_EQ(c.rowAt(c.absolutePosition())[c.fieldIndex(f)], v) << f.toStdString();
        if (!v.isValid()) return QStringLiteral("-");
        if (f.startsWith(QStringLiteral("Valor"))) return c.currency(f).toFixed();
        if (f.startsWith(QStringLiteral("Garantia"))) return c.yesNo(f) ? QStringLiteral("Sim") : QStringLiteral("Não");
        if (v.typeId() == QMetaType::QDate) return v.toDate().toString(Qt::ISODate);
        if (v.typeId() == QMetaType::QTime) return v.toTime().toString(Qt::ISODate);
        return v.typeId() == QMetaType::QString ? "'" + v.toString() + "'" : v.toString();
    };
    const QString g = QString::fromUtf8("Garantia de Serviço");
    const struct { int row; QString field; const char* value; } cases[] = {
        {0, "Dias", "-1"}, {0, "ValorCobrado", "1234,56"}, {0, g, "Sim"}, {0, "DATALIMITEGARANTIA", "2027-01-31"},
        {0, "HoraSaida", "14:05:00"}, {1, "Nome", "'4711'"}, {1, "Os", "8"}, {1, "DataSaida", "2026-03-09"},
        {1, "HoraSaida", "09:30:00"}, {1, "DataEntrada", "2026-03-01"}, {1, "ValorCobrado", "12,50"}, {1, g, "Não"},
        {1, "DataConcluido", "-"}, {2, "ValorCobrado", "-"}, {2, g, "Sim"}, {3, "ValorCobrado", "-"}, {3, g, "Sim"},
        {4, "ValorCobrado", "900000000000,25"}, {4, g, "Não"}, {5, "DataSaida", "2026-03-09"}, {5, "HoraSaida", "08:05:00"},
    };
    for (const auto& k : cases) {
        c.setAbsolutePosition(k.row);
        EXPECT_EQ(read(k.field), QString::fromUtf8(k.value)) << k.row << " " << k.field.toStdString();
    }
    EXPECT_EQ(column(c.database(), QString::fromUtf8("SELECT IdApEntregues FROM TblApEntregues WHERE "
                                                     "[Garantia de Serviço] <> False ORDER BY 1")), "1,3,4");
    EXPECT_TRUE(c.findFirst("ValorCobrado = " + SqlDialect::currencyLiteral(Currency::fromCents(123456))));
    EXPECT_EQ(c.currentKey(), 1);
    EXPECT_FALSE(c.findFirst("ValorCobrado = CCur(-1234.56)")) << "a negative amount keeps its sign";
    EXPECT_TRUE(c.findFirst("HoraSaida = #14:05#"));   // no seconds: second 0
    EXPECT_EQ(c.currentKey(), 1);
    c.edit();
    for (const auto& [f, v] : {std::pair{"ValorCobrado", QVariant("doze")}, {"DataSaida", QVariant("31/02/2026")},
                               {"ValorCobrado", QVariant(Q_INT64_C(1000000000000000))},
                               {"ValorCobrado", QVariant(Q_INT64_C(-1000000000000000))}})
        EXPECT_THROW(c.setField(QString::fromLatin1(f), v), DbError) << f << " " << v.toString().toStdString();
    c.setField("ValorCobrado", Q_INT64_C(900000000000000));
    c.update();
    EXPECT_EQ(c.currency("ValorCobrado").toFixed(), "900000000000000,00");
    // The largest amounts keep their last cent, as another cursor reads them.
    c.edit();
    c.setField("ValorCobrado", QStringLiteral("900.000.000.000.000,01"));
    c.update();
    EXPECT_EQ(c.database().scalar("SELECT ValorCobrado FROM TblApEntregues WHERE IdApEntregues = 1").toLongLong(),
              Q_INT64_C(9000000000000000100));
}

TEST_F(FreshDb, LockFileTellsWhetherSomeoneHoldsTheFile) {
    EXPECT_FALSE(Database::isHeldOpen(path));
    {
        RecordCursor c, d;
        c.open(path, QStringLiteral("TblConfig"));
        EXPECT_TRUE(Database::isHeldOpen(path));
        d.open(path, QStringLiteral("TblStatus"));
        c.close();
        EXPECT_TRUE(Database::openInThisProcess(path)) << "the connection lives while a cursor uses it";
        ASSERT_GT(openDescriptors(path), 0);
    }
    EXPECT_FALSE(Database::openInThisProcess(path));
    EXPECT_EQ(openDescriptors(path), 0) << "closed, the file is really closed (a backup may copy it)";
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("Bd DedUvevaro.ldb"))));
    EXPECT_FALSE(Database::isHeldOpen(path)) << "a lock file left behind does not count";
}

// An idle cursor holds no lock; a write to a row another copy deleted is an error, never a silent success.
TEST_F(FreshDb, AnIdleCursorHoldsNoLockAndSeesOthersChanges) {
    Database db(path);
    for (const char* n : {"BRUNO", "ANA", "CARLOS"}) addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.moveLast();
    c.refresh();
    EXPECT_EQ(c.text("Nome"), QStringLiteral("ANA")) << "a refresh on an unchanged file goes back to the first row";
    c.rowAt(2);
    sqlite3* other = otherConnection(path);
    others(other, QStringLiteral("UPDATE TblClientes SET Bairro = 'CENTRO' WHERE Nome = 'BRUNO'; "
                                 "INSERT INTO TblClientes (Nome) VALUES ('AARAO'); DELETE FROM TblClientes WHERE Nome = 'ANA'"));
    sqlite3_close(other);
    c.edit();
    c.setField("Bairro", QStringLiteral("CENTRO"));
    EXPECT_EQ(dbErrorOf([&] { c.update(); }), DbErrorCode::RecordDeleted) << "never a success that stored nothing";
    EXPECT_EQ(c.editMode(), RecordCursor::EditMode::None);
    EXPECT_THROW(c.writeField(0, QStringLiteral("Bairro"), QStringLiteral("X")), DbError);
    c.setAbsolutePosition(1);
    EXPECT_EQ(c.text("Bairro"), QStringLiteral("CENTRO"));
    c.writeField(2, QStringLiteral("Bairro"), QStringLiteral("CENTRO"));
    EXPECT_EQ(readElsewhere(path, "SELECT count(*) FROM TblClientes WHERE Bairro = 'CENTRO'"), "2");
    c.refresh();
    EXPECT_EQ(names(c), QStringList({"AARAO", "BRUNO", "CARLOS"}));
}

// A write the disk refuses names its cause and leaves the file as it was; the next write is seen by other copies.
TEST_F(FreshDb, AFailedWriteNamesItsCauseAndTheNextWriteIsSeenByOthers) {
    StoreFault::install();
    int round = 0;
    for (const StoreFault::Kind kind : {StoreFault::DiskFull, StoreFault::IoError, StoreFault::ReadOnlyFolder}) {
        SCOPED_TRACE(StoreFault::causeWords(kind).toStdString());
        Database db(path);
        RecordCursor c;
        c.open(path, QStringLiteral("TblConfig"));
        const QByteArray before = fileDigest(path);
        {
            StoreFault fault(kind);
            try { db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 7")); ADD_FAILURE() << "the write reported success"; }
            catch (const DbError& e) { EXPECT_TRUE(e.description().startsWith(StoreFault::causeWords(kind))) << qPrintable(e.description()); }
            c.edit(), c.setField(QStringLiteral("Qtde"), 40 + round);
            EXPECT_THROW(c.update(), DbError);
            EXPECT_THROW({ Transaction tx(db); db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 9")); tx.commit(); }, DbError);
            EXPECT_EQ(fileDigest(path), before);
        }
        c.update();   // the cursor kept the edit
        db.execute(QStringLiteral("UPDATE TblConfig SET LocalBackup = ?"), {QStringLiteral("R%1").arg(round)});
        EXPECT_EQ(readElsewhere(path, "SELECT Qtde, LocalBackup FROM TblConfig"), QStringLiteral("%1|R%2").arg(40 + round).arg(round));
        ++round;
    }
}

// Keys are read three rows a page here: what a cursor shows must not depend on where the page edges fall.
TEST_F(FreshDb, PagedKeysShowTheRowsOfAWholeRead) {
    const PageSizeFor pages(3);
    struct Source { const char* cursor; const char* bare; };
    const Source sources[] = {
        {"SELECT * FROM TblClientes ORDER BY Nome", "ORDER BY Nome, rowid"},
        {"TblClientes", "ORDER BY rowid"},
        {"SELECT * FROM TblClientes ORDER BY Cidade", "ORDER BY Cidade, rowid"},
        {"SELECT * FROM TblClientes WHERE Codigo > 1 ORDER BY Cidade DESC, Nome",
         "WHERE Codigo > 1 ORDER BY Cidade DESC, Nome, rowid"},
    };
    using Run = std::function<void(RecordCursor&, sqlite3* other, const QStringList& all, const QString& bare)>;
    Database db(path);
    const auto bareNames = [&db](const QString& bare) { return column(db, "SELECT Nome FROM TblClientes " + bare).split(','); };
    const auto bareKeys = [&db](const QString& bare) {
        QList<qint64> keys;
        for (const QVariantList& r : db.rows("SELECT rowid FROM TblClientes " + bare)) keys << r[0].toLongLong();
        return keys;
    };
    // The pages holding `read` are read and the cursor stands on `stand`;
    // another copy changes rows; then the grid shows every row and the
    // cursor walks them: each row once, every row that still exists among
    // them, a row gone only where it had been read, the count the rows
    // reached, and the same current row.
    const auto afterOthers = [&](RecordCursor& c, sqlite3* other, std::initializer_list<int> read, int stand,
                                 const QString& change, const QString& bare) {
        const QList<qint64> opened = bareKeys(bare);
        QSet<qint64> readBefore;
        for (const int i : read) {
            c.rowAt(i);
            for (int k = i / 3 * 3; k < i / 3 * 3 + 3; ++k) readBefore << c.keyAt(k);
        }
        c.setAbsolutePosition(stand);
        const qint64 stood = c.currentKey();
        others(other, change);
        QList<qint64> shown;
        for (int i = 0; i < c.recordCount(); ++i) c.rowAt(i);
        for (int i = 0; i < c.recordCount(); ++i) shown << c.keyAt(i);   // as the grid shows them once told of the rows
        EXPECT_EQ(c.currentKey(), stood);
        EXPECT_EQ(c.keyAt(c.absolutePosition()), stood);
        EXPECT_EQ(QSet<qint64>(shown.begin(), shown.end()).size(), shown.size()) << "a row shown twice";
        const QList<qint64> now = bareKeys(bare);
        for (const qint64 k : opened)
            EXPECT_EQ(shown.contains(k), now.contains(k) || readBefore.contains(k)) << "key " << k;
        for (const qint64 k : shown) EXPECT_TRUE(opened.contains(k)) << "key " << k;
        QList<qint64> walked;
        for (c.moveFirst(); !c.eof(); c.moveNext()) walked << c.currentKey();
        EXPECT_EQ(walked, shown);
        EXPECT_EQ(c.recordCount(), shown.size());
    };
    // Another copy gives a row the order values of the row at `to`, a little beyond it.
    const auto moveAfter = [](const QStringList& all, int from, int to) {
        return QStringLiteral("UPDATE TblClientes SET Nome = '%2X', Cidade = (SELECT Cidade FROM TblClientes WHERE Nome = '%2') "
                              "WHERE Nome = '%1'").arg(all[from], all[to]);
    };
    const auto deleting = [](const QStringList& all, std::initializer_list<int> at) {
        QStringList names;
        for (const int i : at) names << "'" + all[i] + "'";
        return QStringLiteral("DELETE FROM TblClientes WHERE Nome IN (%1)").arg(names.join(','));
    };
    struct Case { const char* what; Run run; };
    const Case cases[] = {
        {"another copy deletes the far bound's row between two page reads",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 6}, 7, deleting(all, {3, 6}), bare);
         }},
        {"another copy deletes both bounds' rows", [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 6}, 7, deleting(all, {2, 6}), bare);
         }},
        {"another copy deletes rows on both sides of a page edge",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 8}, 1, deleting(all, {5, 6}), bare);
         }},
        {"another copy moves a row not read yet before the rows read",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 6}, 7, moveAfter(all, 4, 0), bare);
         }},
        {"another copy moves a row read already beyond the rows read",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0}, 2, moveAfter(all, 1, 7), bare);
         }},
        {"another copy moves a row from one unread stretch into a later one",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 6}, 1, moveAfter(all, 4, 9), bare);
         }},
        {"another copy moves rows across a page edge", [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             afterOthers(c, other, {0, 9}, 9, moveAfter(all, 2, 4) + "; " + moveAfter(all, 6, 5), bare);
         }},
        {"forwards across page edges", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             EXPECT_EQ(names(c), all);
             EXPECT_EQ(c.recordCount(), all.size());
         }},
        {"backwards across page edges, from the far end", [&](RecordCursor& c, sqlite3*, const QStringList& all, const QString&) {
             const int last = int(all.size()) - 1;
             c.setAbsolutePosition(last);
             EXPECT_EQ(c.valueAt(last - 4, c.fieldIndex("Nome")).toString(), all[last - 4]);
             c.moveNext();
             EXPECT_TRUE(c.eof());
             c.moveLast();
             QStringList seen;
             for (int i = c.recordCount() - 1; i >= 0; --i) {
                 c.setAbsolutePosition(i);
                 EXPECT_EQ(c.absolutePosition(), i);
                 seen.prepend(c.text("Nome"));
             }
             EXPECT_EQ(seen, all);
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
             c.setAbsolutePosition(2);   // one on the page read, one on a page not read yet
             others(other, QStringLiteral("DELETE FROM TblClientes WHERE Nome IN ('%1', '%2')").arg(all[1], all[4]));
             QStringList seen;
             for (; !c.eof(); c.moveNext()) seen << c.text("Nome");
             QStringList expected = all.mid(2);
             expected.removeAll(all[4]);
             EXPECT_EQ(seen, expected);
             EXPECT_EQ(c.recordCount(), all.size() - 1);
             c.setAbsolutePosition(1);
             EXPECT_THROW(c.field("Nome"), DbError);
         }},
        {"rows another copy deletes before the current row", [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString&) {
             c.setAbsolutePosition(7);
             others(other, QStringLiteral("DELETE FROM TblClientes WHERE Nome = '%1'").arg(all[4]));
             EXPECT_EQ(c.valueAt(4, c.fieldIndex("Nome")).toString(), all[5]);
             EXPECT_EQ(c.absolutePosition(), 6);
             c.moveNext();
             EXPECT_EQ(c.text("Nome"), all[8]);
         }},
        {"a row another copy adds between two pages, and the count after it",
         [&](RecordCursor& c, sqlite3* other, const QStringList& all, const QString& bare) {
             others(other, QStringLiteral("INSERT INTO TblClientes (Nome, Cidade) VALUES ('N045', 'B')"));
             EXPECT_EQ(names(c), all);
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
    for (const Case& k : cases)
        for (const Source& s : sources) {
            SCOPED_TRACE(std::string(k.what) + " / " + s.cursor);
            db.execute(QStringLiteral("DELETE FROM TblClientes"));   // ties and empty values in the order
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome, Cidade) VALUES ('N01', NULL), ('N02', 'B'), ('N03', 'A'), "
                                      "('N04', NULL), ('N05', 'B'), ('N06', 'C'), ('N07', 'A'), ('N08', NULL), ('N09', 'B'), ('N10', 'A')"));
            RecordCursor c;
            c.open(path, QString::fromLatin1(s.cursor));
            k.run(c, other, bareNames(QString::fromLatin1(s.bare)), QString::fromLatin1(s.bare));
        }
    sqlite3_close(other);
}

// A long list, its order sampled while the program waits: a row found far
// from the rows read, and a row read that the program itself renames before
// the list is read again, stand where the whole order puts them.
TEST_F(FreshDb, ALongListPlacesFoundAndRenamedRowsWhereTheOrderPutsThem) {
    Database db(path);
    addShuffledNames(db);
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    QElapsedTimer wait;   // the program waits for the operator a moment
    for (wait.start(); wait.elapsed() < 300;) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    const auto placedAsTheOrder = [&](const char* nome) { expectPlacedAsTheOrder(c, db, nome); };
    for (const char* nome : {"N00007", "N02048", "N04000", "N04999"}) placedAsTheOrder(nome);
    RecordCursor rename;
    rename.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome = 'N04000'"));
    rename.edit();
    rename.setField(QStringLiteral("Nome"), QStringLiteral("N01000A"));
    rename.update();
    c.requery();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("N04999")) << "the current row stays";
    EXPECT_EQ(c.recordCount(), 5000);
    for (const char* nome : {"N01000A", "N02500", "N00300", "N03001"}) placedAsTheOrder(nome);

    // Sorted again to be searched: the first row is there when asked for, and
    // the find stands where the new order puts the row.
    c.setRecordSource(QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome DESC"));
    c.refreshForFind();
    EXPECT_EQ(c.absolutePosition(), 0);
    EXPECT_EQ(c.currentKey(), db.scalar(QStringLiteral("SELECT Codigo FROM TblClientes WHERE Nome = 'N04999'")).toLongLong());
    c.setRecordSource(QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.refreshForFind();
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("N00000"));
    c.setRecordSource(QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome DESC"));
    c.refreshForFind();
    c.refreshForFind();
    c.edit();
    c.setField(QStringLiteral("Bairro"), QStringLiteral("CENTRO"));
    c.update();
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Bairro FROM TblClientes WHERE Nome = 'N04999'")).toString(), QStringLiteral("CENTRO"));
    // A find that misses, or fails, leaves the windows told of the first row.
    QSignalSpy moved(&c, &RecordCursor::currentChanged);
    c.setRecordSource(QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.refreshForFind();
    EXPECT_FALSE(c.findFirst(QStringLiteral("Nome = 'XYZ'")));
    EXPECT_EQ(moved.count(), 1);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("N00000"));
    c.setRecordSource(QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome DESC"));
    c.refreshForFind();
    EXPECT_THROW(c.findFirst(QStringLiteral("Nome = = 'N1'")), DbError);
    EXPECT_EQ(moved.count(), 2);
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("N04999"));
    c.refreshForFind();
    ASSERT_TRUE(c.findFirst(QStringLiteral("Nome = 'N02500'")));
    EXPECT_EQ(c.absolutePosition(), db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome > 'N02500'")).toInt());
    EXPECT_EQ(c.text(QStringLiteral("Nome")), QStringLiteral("N02500"));
}

// A table without an autonumber gives a new row the key of the last row this
// program deleted. A list read at both ends: its last row deleted, a brand
// added (it takes that key and joins the end), and another copy renames a
// brand not read yet to a name after the last rows read. Reading the middle
// finds the renamed brand, and the list holds every brand once.
TEST_F(FreshDb, ABrandRenamedPastTheReadEndStaysInTheListWhenANewBrandTakesADeletedKey) {
    Database db(path);
    for (const char* marca : {"ARNO", "BOSCH", "CONSUL", "DAKO", "ELECTROLUX", "FISCHER", "GE", "LG", "MIDEA", "PHILCO", "SAMSUNG", "WHIRLPOOL"})
        db.execute(QStringLiteral("INSERT INTO TblMarca (Marca) VALUES (?)"), {QString::fromLatin1(marca)});
    const PageSizeFor screens(3);   // screens of three rows
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblMarca ORDER BY Marca"));
    EXPECT_EQ(c.text(QStringLiteral("Marca")), QStringLiteral("ARNO"));
    c.moveLast();   // the first and the last screens are read, the middle ones are not
    ASSERT_EQ(c.text(QStringLiteral("Marca")), QStringLiteral("WHIRLPOOL"));
    const qint64 deleted = c.currentKey();
    c.deleteCurrent();
    c.addNew();
    c.setField(QStringLiteral("Marca"), QStringLiteral("AEG"));
    ASSERT_EQ(c.update(), deleted);
    sqlite3* other = otherConnection(path);
    others(other, QStringLiteral("UPDATE TblMarca SET Marca = 'SUGGAR' WHERE Marca = 'ELECTROLUX'"));
    sqlite3_close(other);

    QStringList listed;
    for (c.moveFirst(); !c.eof(); c.moveNext()) listed << c.text(QStringLiteral("Marca"));
    EXPECT_EQ(c.recordCount(), 12);
    EXPECT_TRUE(listed.contains(QStringLiteral("SUGGAR"))) << listed.join(',').toStdString();
    listed.sort();
    EXPECT_EQ(listed.join(','), column(db, QStringLiteral("SELECT Marca FROM TblMarca ORDER BY Marca")));
    ASSERT_TRUE(c.findFirst(QStringLiteral("Marca = 'SUGGAR'")));
    EXPECT_EQ(c.text(QStringLiteral("Marca")), QStringLiteral("SUGGAR"));
    EXPECT_EQ(c.keyAt(c.absolutePosition()), c.currentKey());
}

// A row this program adds to a table without an autonumber takes the key of the last row when another copy deleted
// that row; the list had it read, not read yet, or added itself. Read in part, in pages of two to four rows, the list
// then holds every brand once: the rows it read in name order, the rows it added after them.
TEST_F(FreshDb, ANewBrandTakingAKeyAnotherCopyFreedIsListedOnce) {
    const PageSizeFor pages(2);
    Database db(path);
    sqlite3* other = otherConnection(path);
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 rng(seed);
        const auto some = [&](int n) { return int(rng() % unsigned(n)); };
        enum { Read, NotRead, AddedHere } const freed = decltype(Read)(seed % 3);
        SCOPED_TRACE(testing::Message() << "seed " << seed << ", freed key " << int(freed));
        db.execute(QStringLiteral("DELETE FROM TblMarca"));
        const int rows = 8 + some(10);
        std::vector<int> numbers(1000);
        std::iota(numbers.begin(), numbers.end(), 0);
        std::shuffle(numbers.begin(), numbers.end(), rng);
        for (int i = 0; i < rows; ++i)
            db.execute(QStringLiteral("INSERT INTO TblMarca (Marca) VALUES (?)"), {QStringLiteral("M%1").arg(numbers[std::size_t(i)], 3, 10, QLatin1Char('0'))});
        RecordCursor::setPageSize(2 + some(3));
        RecordCursor c;
        c.open(path, QStringLiteral("SELECT * FROM TblMarca ORDER BY Marca"));
        for (int reads = some(3); reads > 0; --reads) c.setAbsolutePosition(some(rows));
        QStringList added;
        const auto add = [&] {
            added << QStringLiteral("N%1").arg(added.size());
            c.addNew(), c.setField(QStringLiteral("Marca"), added.back());
            return c.update();
        };
        if (freed == AddedHere) add();
        const qint64 last = db.scalar(QStringLiteral("SELECT max(rowid) FROM TblMarca")).toLongLong();
        // The row read is the current one: it goes, and Next reaches the row that followed it. Any other
        // current row stays current.
        if (freed == Read) c.setAbsolutePosition(c.indexOfKey(last));
        const int current = c.hasCurrent() && c.currentKey() == last ? c.absolutePosition() : -1;
        const auto shown = [&] { return c.hasCurrent() ? c.text(QStringLiteral("Marca")) : QString(); };
        const QString before = shown();
        others(other, QStringLiteral("DELETE FROM TblMarca WHERE rowid = %1").arg(last));
        ASSERT_EQ(add(), last);
        if (some(2)) add();
        if (freed == AddedHere) added.removeFirst();
        const QStringList stored = column(db, QStringLiteral("SELECT Marca FROM TblMarca WHERE Marca < 'N' ORDER BY Marca")).split(',');
        EXPECT_EQ(shown(), current >= 0 ? QString() : before);
        if (current >= 0) {
            QStringList rest;
            for (c.moveNext(); !c.eof(); c.moveNext()) rest << c.text(QStringLiteral("Marca"));
            EXPECT_EQ(rest, stored.mid(current) + added);
        }

        QStringList walked;
        for (c.moveFirst(); !c.eof(); c.moveNext()) walked << c.text(QStringLiteral("Marca"));
        EXPECT_EQ(c.recordCount(), walked.size());
        EXPECT_EQ(walked, stored + added);
    }
    sqlite3_close(other);
}

TARVEL_TEST_MAIN()

// A found row stands where the list's order puts it, in a list opened again
// on the unchanged file, after another copy's renames or this program's, on
// fewer rows of the table, and in the other direction.
TEST_F(FreshDb, AFoundRowStandsWhereTheOrderPutsItInEveryListOfTheRows) {
    Database db(path);
    addShuffledNames(db);
    const QString byName = QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome");
    const auto placedAsTheOrder = [&](RecordCursor& c, const char* nome) { expectPlacedAsTheOrder(c, db, nome); };
    {
        RecordCursor first;
        first.open(path, byName);
        placedAsTheOrder(first, "N04000");
    }
    RecordCursor again;
    again.open(path, byName);
    for (const char* nome : {"N00100", "N03000", "N04990"}) placedAsTheOrder(again, nome);

    // Another copy renames rows (as many rows as before, the same keys): they move after all the others.
    sqlite3* other = otherConnection(path);
    others(other, QStringLiteral("UPDATE TblClientes SET Nome = 'Z' || Nome WHERE Nome < 'N00050'"));
    sqlite3_close(other);
    RecordCursor afterOthers;
    afterOthers.open(path, byName);
    placedAsTheOrder(afterOthers, "N03000");

    // This program renames some more.
    db.execute(QStringLiteral("UPDATE TblClientes SET Nome = 'Z' || Nome WHERE Nome < 'N00100'"));
    RecordCursor afterOwn;
    afterOwn.open(path, byName);
    placedAsTheOrder(afterOwn, "N03000");
    // The list open before it, read again, takes them where they go now.
    afterOthers.requery();
    placedAsTheOrder(afterOthers, "N03000");
    ASSERT_TRUE(afterOthers.findFirst(QStringLiteral("Nome = 'ZN00060'")));
    EXPECT_EQ(afterOthers.absolutePosition(), 5000 - 100 + 60);

    // Other rows of the table, or the same rows in another order.
    RecordCursor fewer, reversed;
    fewer.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome > 'A' ORDER BY Nome"));
    reversed.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome DESC"));
    placedAsTheOrder(fewer, "N03000");
    ASSERT_TRUE(reversed.findFirst(QStringLiteral("Nome = 'N03000'")));
    EXPECT_EQ(reversed.absolutePosition(), db.scalar(QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome > 'N03000'")).toInt());
    // In the key's order, either way, with and without a condition: the keys as the engine orders them.
    const std::pair<const char*, const char*> byKeyLists[] = {
        {"TblClientes", "ORDER BY Codigo"},
        {"SELECT * FROM TblClientes ORDER BY Codigo DESC", "ORDER BY Codigo DESC"},
        {"SELECT * FROM TblClientes WHERE Nome > 'N04' ORDER BY [Codigo]", "WHERE Nome > 'N04' ORDER BY Codigo"},
        {"SELECT * FROM TblClientes ORDER BY rowid DESC", "ORDER BY Codigo DESC"},
    };
    for (const auto& [source, order] : byKeyLists) {
        RecordCursor byKey;
        byKey.open(path, QString::fromLatin1(source));
        QStringList keys;
        for (int i = 0; i < byKey.recordCount(); ++i) keys << QString::number(byKey.keyAt(i));
        EXPECT_EQ(keys.join(','), column(db, QStringLiteral("SELECT Codigo FROM TblClientes ") + QString::fromLatin1(order))) << source;
    }
}

// A COMMIT that fails is never taken as done and leaves no transaction open; one whose write stands anyway
// (the journal went) counts as done. Either way what waited for it learns the outcome, and a retry stores once.
TEST_F(FreshDb, AFailingCommitIsReportedAndReadBack) {
    StoreFault::install();
    for (const StoreFault::Kind kind : StoreFault::CommitFaults) {
        SCOPED_TRACE(int(kind));
        const bool lands = StoreFault::writeLands(kind);
        Database db(path);
        RecordCursor c;
        c.open(path, QStringLiteral("TblConfig"));
        int announced = 0;
        QObject::connect(&c, &RecordCursor::currentChanged, [&] { ++announced; });
        const QString name = QStringLiteral("K%1").arg(int(kind));
        const auto write = [&] {
            Transaction tx(db);
            c.edit(), c.setField(QStringLiteral("Qtde"), 5);
            c.update();
            db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES (?)"), {name});
            EXPECT_EQ(announced, 0) << "announced before the COMMIT";
            tx.commit();
        };
        {
            StoreFault fault(kind);
            try {
                write();
                EXPECT_TRUE(lands) << "a failed COMMIT taken as done";
            } catch (const DbError& e) {
                EXPECT_FALSE(lands);
                EXPECT_TRUE(e.description().startsWith(StoreFault::causeWords(kind))) << qPrintable(e.description());
            }
            EXPECT_NE(sqlite3_get_autocommit(db.handle()), 0) << "a transaction left open";
            EXPECT_EQ(announced, lands ? 1 : 0);
            // A single write meets the same COMMIT.
            EXPECT_EQ(dbErrorOf([&] { db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 9")); }) != 0, !lands);
        }
        EXPECT_EQ(c.number(QStringLiteral("Qtde")), lands ? 5 : 0) << "the cursor shows what is stored";
        const QString wanted = QStringLiteral("SELECT count(*) FROM TblClientes WHERE Nome = '%1'").arg(name);
        EXPECT_EQ(readElsewhere(path, wanted.toUtf8().constData()), lands ? "1" : "0");
        EXPECT_EQ(readElsewhere(path, "SELECT Imagem FROM TblConfig"), lands ? "9" : "1");
        if (!lands) write();
        EXPECT_EQ(readElsewhere(path, wanted.toUtf8().constData()), "1") << "stored once";
        db.execute(QStringLiteral("UPDATE TblConfig SET Qtde = 0, Imagem = 1"));
    }
}

// A write whose COMMIT errs and whose file then cannot be read is unconfirmed, not failed: nothing else is written
// until the file tells it, not even by another copy writing in a transaction or while one of its own reads is mid-step,
// and the retry of a new row stores it once whether the first landed or not (here the file is put back as it was to
// stand for one that did not). Then the other copy writes again. A counter the file holds as a negative number is a
// count.
TEST_F(FreshDb, AnUnconfirmedWriteIsToldBeforeAnyOtherAndNeverStoredTwice) {
    StoreFault::install();
    for (const int counter : {-1, int(std::numeric_limits<int>::min())}) {
        sqlite3* other = otherConnection(path);
        others(other, QStringLiteral("PRAGMA user_version = %1").arg(counter));
        sqlite3_close(other);
        for (const bool lands : {true, false}) {
            SCOPED_TRACE(testing::Message() << counter << (lands ? " lands" : " does not land"));
            Database db(path);
            const QString name = QStringLiteral("U%1%2").arg(counter).arg(lands);
            RecordCursor c;   // no row yet: the new one becomes current
            c.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome = '%1'").arg(name));
            QString address = QStringLiteral("RUA 1"), complement = QStringLiteral("AP 1");
            const auto add = [&] {
                c.addNew(), c.setField(QStringLiteral("Nome"), name), c.setField(QStringLiteral("Endereco"), address);
                if (!complement.isEmpty()) c.setField(QStringLiteral("Complemento"), complement);
                c.update();
            };
            const FileSnapshot unwritten(path);
            {
                StoreFault fault(StoreFault::JournalGoneUnreadable);
                EXPECT_EQ(dbErrorOf(add), DbErrorCode::Unconfirmed);
                c.cancelUpdate();
                EXPECT_EQ(dbErrorOf([&] { db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 9")); }), DbErrorCode::Unconfirmed);
                EXPECT_EQ(dbErrorOf([&] { Transaction tx(db); }), DbErrorCode::Unconfirmed);
                EXPECT_EQ(dbErrorOf(add), DbErrorCode::Unconfirmed);
                c.cancelUpdate();
                EXPECT_EQ(c.recordCount(), 0);
                for (const auto how : {CopyWriters::Write::MidRead, CopyWriters::Write::InTransaction})
                    EXPECT_EQ(CopyWriters::writeOnce(path, QStringLiteral("MEIO"), how, 30000), 1);
            }
            if (!lands) unwritten.putBack();
            // The list read again meanwhile holds the row that landed: the retry's values show in it, once.
            c.refresh();
            address = QStringLiteral("RUA 2"), complement.clear();
            add();
            EXPECT_EQ(c.recordCount(), 1);
            EXPECT_TRUE(c.hasCurrent());
            EXPECT_EQ(c.lastInsertKey(), c.currentKey());
            EXPECT_EQ(c.text(QStringLiteral("Nome")) + " " + c.text(QStringLiteral("Endereco")), name + " RUA 2");
            // Exactly the row the retry adds: the complement it no longer sets is empty.
            const QString stored = QStringLiteral("SELECT count(*), max(Codigo), max(Endereco), max(Complemento) FROM "
                                                  "TblClientes WHERE Nome = '%1'").arg(name);
            EXPECT_EQ(readElsewhere(path, stored.toUtf8().constData()), QStringLiteral("1|%1|RUA 2|").arg(c.currentKey()));
            EXPECT_EQ(readElsewhere(path, "SELECT Imagem FROM TblConfig"), "1") << "written while unconfirmed";
            EXPECT_EQ(readElsewhere(path, "SELECT count(*) FROM TblClientes WHERE Nome = 'MEIO'"), "0");
            EXPECT_EQ(CopyWriters::writeOnce(path, QStringLiteral("MEIO"), CopyWriters::Write::MidRead, 30000), 0)
                << "the turn was kept";
            db.execute(QStringLiteral("DELETE FROM TblClientes WHERE Nome = 'MEIO'"));
            // Every later write counts on.
            StoreFault fault(StoreFault::JournalGoneButError);
            db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 1"));
        }
    }
}

// While a write is unconfirmed this copy keeps the writers' turn: another copy's writes wait until the file tells it
// (so the commit counter alone tells it), then go on.
TEST_F(FreshDb, AnotherCopyWaitsWhileAWriteIsUnconfirmed) {
    StoreFault::install();
    Database db(path);
    CopyWriters::addChurnRows(db, 4);
    {
        StoreFault fault(StoreFault::JournalGoneUnreadable);
        EXPECT_EQ(dbErrorOf([&] { db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 9")); }), DbErrorCode::Unconfirmed);
    }
    const char* const rows = "SELECT count(*), group_concat(Nome) FROM TblClientes";
    const QString before = readElsewhere(path, rows);
    std::unique_ptr<QProcess> churn(CopyWriters::startChurn(path, 200));
    ASSERT_TRUE(churn->waitForStarted());
    QThread::msleep(1500);   // time for the copy to reach its first write
    EXPECT_EQ(readElsewhere(path, rows), before) << "another copy wrote while the outcome was unknown";
    db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 1"));   // tells it, and the turn goes
    ASSERT_TRUE(churn->waitForFinished(60000));
    EXPECT_EQ(churn->exitCode(), 0) << churn->readAllStandardError().toStdString();
    EXPECT_NE(readElsewhere(path, rows), before);
}

// A write that cannot start (another copy holds the write lock) or that fails gives the writers' turn back: another
// copy writes at once afterwards, and so does this one.
TEST_F(FreshDb, AWriteThatCannotStartOrFailsGivesTheTurnBack) {
    Database db(path);
    const int limit = Database::waitLimit();
    Database::setWaitLimit(200);
    sqlite3* other = otherConnection(path);
    others(other, QStringLiteral("BEGIN IMMEDIATE"));
    EXPECT_EQ(dbErrorOf([&] { db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 2")); }), DbErrorCode::Busy);
    EXPECT_EQ(dbErrorOf([&] { Transaction tx(db); }), DbErrorCode::Busy);
    sqlite3_close(other);
    Database::setWaitLimit(limit);
    EXPECT_NE(dbErrorOf([&] { db.execute(QStringLiteral("INSERT INTO TblClientes (Codigo, Nome) VALUES (1, 'A'), (1, 'B')")); }), 0);
    EXPECT_EQ(CopyWriters::writeOnce(path, QStringLiteral("OUTRA"), CopyWriters::Write::MidRead, 30000), 0);
    db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 2"));
    EXPECT_EQ(readElsewhere(path, "SELECT Imagem FROM TblConfig"), "2");
}

// A new row (or a deletion) whose transaction ends without storing it leaves the cursor as before: its rows, its
// current row and place, its count; so does another copy holding the file at the COMMIT, which leaves no transaction
// open. After an unconfirmed COMMIT the retry, in a new transaction, adds the row once.
TEST_F(FreshDb, ANewRowUndoneLeavesTheCursorAsItWas) {
    StoreFault::install();
    Database db(path);
    for (const char* n : {"ANA", "BIA", "CAIO"}) addCustomer(db, QString::fromUtf8(n));
    RecordCursor c;
    c.open(path, QStringLiteral("SELECT * FROM TblClientes ORDER BY Nome"));
    c.moveNext();
    int announced = 0;
    QObject::connect(&c, &RecordCursor::rowsReset, [&] { ++announced; });
    QString address;
    int withDora = 4;
    const auto add = [&] {
        Transaction tx(db);
        c.addNew(), c.setField(QStringLiteral("Nome"), QStringLiteral("DORA"));
        if (!address.isEmpty()) c.setField(QStringLiteral("Endereco"), address);
        c.update();
        EXPECT_EQ(c.recordCount(), withDora);
        tx.commit();
    };
    const qint64 lastAdded = c.lastInsertKey();
    const auto asBefore = [&] {
        EXPECT_EQ(c.lastInsertKey(), lastAdded) << "an add undone still names its key";
        EXPECT_EQ(c.recordCount(), 3);
        EXPECT_EQ(c.absolutePosition(), 1);
        EXPECT_EQ(c.text(QStringLiteral("Nome")), "BIA");
        EXPECT_EQ(names(c), QStringList({"ANA", "BIA", "CAIO"}));
        c.setAbsolutePosition(1);
        EXPECT_EQ(announced, 0);
        EXPECT_NE(sqlite3_get_autocommit(db.handle()), 0) << "a transaction left open";
    };
    const int limit = Database::waitLimit();
    Database::setWaitLimit(200);
    {
        sqlite3* other = otherConnection(path);   // reading: the COMMIT cannot write
        others(other, QStringLiteral("BEGIN; SELECT count(*) FROM TblClientes"));
        EXPECT_EQ(dbErrorOf(add), DbErrorCode::Busy);
        EXPECT_EQ(dbErrorOf([&] { Transaction tx(db); c.deleteCurrent(); tx.commit(); }), DbErrorCode::Busy);
        sqlite3_close(other);
    }
    Database::setWaitLimit(limit);
    asBefore();
    for (const StoreFault::Kind kind : {StoreFault::JournalKept, StoreFault::JournalGoneUnreadable}) {
        {
            StoreFault fault(kind);
            EXPECT_EQ(dbErrorOf(add), kind == StoreFault::JournalKept ? SQLITE_IOERR : DbErrorCode::Unconfirmed);
        }
        asBefore();
    }
    // A deletion undone keeps its row; on an empty cursor an add undone leaves no current row.
    RecordCursor none;
    none.open(path, QStringLiteral("SELECT * FROM TblClientes WHERE Nome = 'EVA'"));
    {
        StoreFault fault(StoreFault::JournalKept);
        EXPECT_NE(dbErrorOf([&] { Transaction tx(db); c.deleteCurrent(); tx.commit(); }), 0);
    }
    asBefore();
    {
        StoreFault fault(StoreFault::JournalKept);
        EXPECT_NE(dbErrorOf([&] {
                      Transaction tx(db);
                      none.addNew(), none.setField(QStringLiteral("Nome"), QStringLiteral("EVA")), none.update();
                      tx.commit();
                  }),
                  0);
    }
    asBefore();
    EXPECT_FALSE(none.hasCurrent());
    EXPECT_TRUE(none.eof() && none.bof());
    none.addNew(), none.setField(QStringLiteral("Nome"), QStringLiteral("EVA")), none.update();
    EXPECT_EQ(none.text(QStringLiteral("Nome")), "EVA") << "the row added next is not current";
    // A first add undone leaves no row to write onto, whatever the file told of earlier writes: another copy's row
    // that takes its key (a table without an autonumber) stays as it is.
    RecordCursor marcas;
    marcas.open(path, QStringLiteral("TblMarca"));
    const auto addMarca = [&] {
        Transaction tx(db);
        marcas.addNew(), marcas.setField(QStringLiteral("Marca"), QStringLiteral("AEG")), marcas.update();
        tx.commit();
    };
    {
        StoreFault fault(StoreFault::JournalKept);
        EXPECT_NE(dbErrorOf(addMarca), 0);
    }
    sqlite3* other = otherConnection(path);
    others(other, QStringLiteral("INSERT INTO TblMarca (Marca) VALUES ('BRASTEMP')"));
    sqlite3_close(other);
    addMarca();
    EXPECT_EQ(readElsewhere(path, "SELECT group_concat(Marca) FROM (SELECT Marca FROM TblMarca ORDER BY rowid)"), "BRASTEMP,AEG");
    // A retry whose COMMIT is refused, and, once the list has read the stored row in, one left unconfirmed and then
    // found not stored (the file put back as it was), keep that row known: the next retry writes onto it.
    for (const StoreFault::Kind kind : {StoreFault::JournalKept, StoreFault::JournalGoneUnreadable}) {
        if (kind == StoreFault::JournalGoneUnreadable) {
            c.requery();
            ASSERT_EQ(c.recordCount(), withDora = 5);
            announced = 0;
        }
        const FileSnapshot unwritten(path);
        address = QStringLiteral("RUA %1").arg(int(kind));
        {
            StoreFault fault(kind);
            EXPECT_NE(dbErrorOf(add), 0);
        }
        unwritten.putBack();
    }
    address = QStringLiteral("RUA 9");
    add();
    EXPECT_EQ(announced, 0) << "the row read in is no new row";
    EXPECT_EQ(names(c), QStringList({"ANA", "BIA", "CAIO", "DORA", "EVA"}));
    EXPECT_EQ(readElsewhere(path, "SELECT count(*), max(Endereco) FROM TblClientes WHERE Nome = 'DORA'"), "1|RUA 9");
}

// A retry writes onto the row its unconfirmed add landed only while that row is still the one an attempt stored: in a
// table without an autonumber another copy that deleted it may have given its key to a row of its own, which the retry
// leaves as it is, adding its own row. A retry whose write onto the landed row is left unconfirmed in its turn is
// told before the next try reads anything. A deletion and an add taking its key, undone together, leave the list as
// it was. Alone and in a transaction alike.
TEST_F(FreshDb, ARetryNeverTakesAnotherCopysRowForItsOwn) {
    StoreFault::install();
    for (const bool inTransaction : {false, true}) {
        SCOPED_TRACE(inTransaction ? "in a transaction" : "alone");
        Database db(path);
        db.execute(QStringLiteral("DELETE FROM TblMarca"));
        for (const char* marca : {"ARNO", "BOSCH"}) db.execute(QStringLiteral("INSERT INTO TblMarca (Marca) VALUES (?)"), {QString::fromLatin1(marca)});
        RecordCursor c;
        c.open(path, QStringLiteral("SELECT * FROM TblMarca ORDER BY Marca"));
        const auto addTo = [&](RecordCursor& c, const char* marca) {
            return dbErrorOf([&] {
                std::optional<Transaction> tx;
                if (inTransaction) tx.emplace(db);
                c.addNew(), c.setField(QStringLiteral("Marca"), QString::fromLatin1(marca));
                try {
                    c.update();
                } catch (...) {
                    c.cancelUpdate();
                    throw;
                }
                if (tx) tx->commit();
            });
        };
        const auto add = [&](const char* marca) { return addTo(c, marca); };
        const auto listedBy = [&](RecordCursor& c) {
            QStringList out;
            for (c.moveFirst(); !c.eof(); c.moveNext()) out << c.text(QStringLiteral("Marca"));
            return out.join(',');
        };
        const auto listed = [&] { return listedBy(c); };
        const auto stored = [&] {
            return readElsewhere(path, "SELECT group_concat(rowid || ' ' || Marca) FROM (SELECT rowid, Marca FROM TblMarca ORDER BY rowid)");
        };
        {
            StoreFault fault(StoreFault::JournalGoneUnreadable);
            EXPECT_EQ(add("CONSUL"), DbErrorCode::Unconfirmed);
        }
        {
            // Refused by the disk: the file tells the first add was stored and the writers' turn goes back.
            StoreFault fault(StoreFault::DiskFull);
            const int refused = add("CONSUL 2");
            EXPECT_NE(refused, 0);
            EXPECT_NE(refused, DbErrorCode::Unconfirmed);
        }
        EXPECT_EQ(stored(), "1 ARNO,2 BOSCH,3 CONSUL");
        sqlite3* other = otherConnection(path);
        others(other, QStringLiteral("DELETE FROM TblMarca WHERE Marca = 'CONSUL'; INSERT INTO TblMarca (Marca) VALUES ('DAKO')"));
        sqlite3_close(other);
        EXPECT_EQ(add("CONSUL 3"), 0);
        EXPECT_EQ(stored(), "1 ARNO,2 BOSCH,3 DAKO,4 CONSUL 3");
        EXPECT_EQ(listed(), "ARNO,BOSCH,CONSUL 3");

        {
            StoreFault fault(StoreFault::JournalGoneUnreadable);
            EXPECT_EQ(add("ELECTROLUX"), DbErrorCode::Unconfirmed);
        }
        {
            // Told stored; the write onto it lands, unconfirmed; the file still cannot tell.
            StoreFault fault(StoreFault::JournalGoneUnreadable);
            EXPECT_EQ(add("ELECTROLUX 2"), DbErrorCode::Unconfirmed);
            EXPECT_EQ(add("ELECTROLUX 3"), DbErrorCode::Unconfirmed);
        }
        EXPECT_EQ(add("ELECTROLUX 4"), 0);
        EXPECT_EQ(stored(), "1 ARNO,2 BOSCH,3 DAKO,4 CONSUL 3,5 ELECTROLUX 4");
        EXPECT_EQ(listed(), "ARNO,BOSCH,CONSUL 3,ELECTROLUX 4");

        {
            Transaction tx(db);
            db.execute(QStringLiteral("DELETE FROM TblMarca WHERE Marca = 'ELECTROLUX 4'"));
            c.addNew(), c.setField(QStringLiteral("Marca"), QStringLiteral("FISCHER"));
            EXPECT_EQ(c.update(), 5);
        }
        EXPECT_EQ(stored(), "1 ARNO,2 BOSCH,3 DAKO,4 CONSUL 3,5 ELECTROLUX 4");
        EXPECT_EQ(listed(), "ARNO,BOSCH,CONSUL 3,ELECTROLUX 4");

        // A landed add that took the key of the first row listed, which another copy deleted: its retry joins the
        // end of the list, and the row that had the key leaves it.
        db.execute(QStringLiteral("INSERT INTO TblMarca (Marca) VALUES ('AEG')"));
        RecordCursor d;
        d.open(path, QStringLiteral("SELECT * FROM TblMarca ORDER BY Marca"));
        ASSERT_EQ(d.text(QStringLiteral("Marca")), "AEG");
        {
            // The first row deleted and its key taken by an add, undone together: the row is back, first.
            Transaction tx(db);
            db.execute(QStringLiteral("DELETE FROM TblMarca WHERE Marca = 'AEG'"));
            d.addNew(), d.setField(QStringLiteral("Marca"), QStringLiteral("FISCHER"));
            EXPECT_EQ(d.update(), 6);
        }
        EXPECT_EQ(listedBy(d), "AEG,ARNO,BOSCH,CONSUL 3,DAKO,ELECTROLUX 4");
        others(other = otherConnection(path), QStringLiteral("DELETE FROM TblMarca WHERE Marca = 'AEG'"));
        sqlite3_close(other);
        {
            StoreFault fault(StoreFault::JournalGoneUnreadable);
            EXPECT_EQ(addTo(d, "FISCHER"), DbErrorCode::Unconfirmed);
        }
        EXPECT_EQ(addTo(d, "FISCHER 2"), 0);
        EXPECT_EQ(stored(), "1 ARNO,2 BOSCH,3 DAKO,4 CONSUL 3,5 ELECTROLUX 4,6 FISCHER 2");
        EXPECT_EQ(listedBy(d), "ARNO,BOSCH,CONSUL 3,DAKO,ELECTROLUX 4,FISCHER 2");
        db.execute(QStringLiteral("DELETE FROM TblMarca WHERE Marca = 'FISCHER 2'"));

        // An autonumber never gives a key twice: the landed customer is the add's own whatever another copy wrote
        // onto it since, and the retry writes onto it.
        db.execute(QStringLiteral("DELETE FROM TblClientes"));
        RecordCursor clientes;
        clientes.open(path, QStringLiteral("TblClientes"));
        const auto addCustomer = [&](const char* nome) {
            return dbErrorOf([&] {
                std::optional<Transaction> tx;
                if (inTransaction) tx.emplace(db);
                clientes.addNew(), clientes.setField(QStringLiteral("Nome"), QString::fromLatin1(nome));
                try {
                    clientes.update();
                } catch (...) {
                    clientes.cancelUpdate();
                    throw;
                }
                if (tx) tx->commit();
            });
        };
        {
            StoreFault fault(StoreFault::JournalGoneUnreadable);
            EXPECT_EQ(addCustomer("GIL"), DbErrorCode::Unconfirmed);
        }
        db.execute(QStringLiteral("UPDATE TblConfig SET Imagem = 1"));
        others(other = otherConnection(path), QStringLiteral("UPDATE TblClientes SET Nome = 'GILBERTO' WHERE Nome = 'GIL'"));
        sqlite3_close(other);
        EXPECT_EQ(addCustomer("GIL 2"), 0);
        EXPECT_EQ(readElsewhere(path, "SELECT group_concat(Nome) FROM TblClientes"), "GIL 2");
    }
}

// No window nests transactions or makes two writes wait for one: a transaction inside another and a second waiting
// write are refused, and the transaction goes on as before.
TEST_F(FreshDb, ATransactionInsideAnotherIsRefused) {
    Database db(path);
    QString outcome;
    {
        Transaction outer(db);
        db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES ('A')"));
        EXPECT_THROW(Transaction inner(db), std::logic_error);
        Transaction::whenStored(db, [&](Transaction::Outcome o) { outcome += o == Transaction::Outcome::Stored ? 'C' : 'R'; });
        EXPECT_THROW(Transaction::whenStored(db, [&](Transaction::Outcome) { outcome += '2'; }), std::logic_error);
        EXPECT_EQ(readElsewhere(path, "SELECT count(*) FROM TblClientes"), "0") << "stored before the COMMIT";
        outer.commit();
    }
    {
        Transaction dropped(db);
        db.execute(QStringLiteral("INSERT INTO TblClientes (Nome) VALUES ('B')"));
        Transaction::whenStored(db, [&](Transaction::Outcome o) { outcome += o == Transaction::Outcome::Stored ? 'C' : 'R'; });
    }
    Transaction::whenStored(db, [&](Transaction::Outcome o) { outcome += o == Transaction::Outcome::Stored ? 'c' : 'r'; });
    EXPECT_EQ(outcome, "CRc");
    EXPECT_EQ(readElsewhere(path, "SELECT group_concat(Nome) FROM TblClientes"), "A");
}
