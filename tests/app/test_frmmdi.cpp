// The main window: the start and its failures, the entries and the exit.
#include "app/backup.h"
#include "apptest.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/schema.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/scenario.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/testmain.h"

#include <QDir>
#include <QMdiArea>
#include <QTest>
#include <QToolBar>
#include <sqlcipher/sqlite3.h>

// Stand-ins for the list windows of the other areas, told apart by type.
class FakeClientes : public QWidget { Q_OBJECT };
class FakeManutencao : public QWidget { Q_OBJECT };
class FakeApEntregues : public QWidget { Q_OBJECT };
class FakeRetirada : public QWidget { Q_OBJECT };

namespace {

const QDate Today(2025, 3, 10);
const QString Missing = "O Banco de Dados 'Bd DedUvevaro.mdb', Necessário para o funcionamento do programa não foi "
                        "localizado!";

class MdiTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Clock::set(QDateTime(Today, QTime(10, 0)));
    }
    int qtde() { return Database::openDefault().scalar("SELECT Qtde FROM TblConfig").toInt(); }
    void config(const QString& sql, const QVariantList& params = {}) { Database::openDefault().execute(sql, params); }
    QStringList backups() { return QDir(Backup::folder()).entryList(QDir::Files | QDir::Hidden); }
    QAction* button(const char* key) { return mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>(key); }
    void registerFakeLists() {
        WindowRegistry::add<FakeClientes>("FrmClientes", WindowKind::List);
        WindowRegistry::add<FakeManutencao>("FrmManutencao", WindowKind::List);
        WindowRegistry::add<FakeApEntregues>("FrmApEntregues", WindowKind::List);
        WindowRegistry::add<FakeRetirada>("FrmRetirada", WindowKind::List);
    }
    QString openLists() {   // by the first letter of their entries' names
        QString open;
        if (WindowHost::findList<FakeClientes>()) open += 'C';
        if (WindowHost::findList<FakeManutencao>()) open += 'M';
        if (WindowHost::findList<FakeApEntregues>()) open += 'E';
        if (WindowHost::findList<FakeRetirada>()) open += 'R';
        return open;
    }
    void leave(MsgAnswer answer) {
        ScriptedBoxes boxes;
        boxes.answer(answer, "Deseja Realmente Encerrar o Sistema?");
        mdi->close();
        EXPECT_EQ(boxes.log().value(0).defaultButton, MsgAnswer::No);
    }

    FakeDesktop desktop;
    TemporaryHome home;
};

} // namespace

TEST_F(MdiTest, ADatabaseThatCannotBeOpenedEndsTheStartWithOneMessage) {
    // Spoils the file, then starts: nothing is made or changed in the folder.
    const auto failedStart = [this](std::function<void()> spoil) -> std::function<void()> {
        return [=, this] {
            QFile::remove(databasePath());
            QFile::remove(ProgramFolder::lockFilePath());
            spoil();
            const QStringList before = QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden);
            const QByteArray was = fileDigest(databasePath());
            mdi = std::make_unique<FrmMdi>();
            EXPECT_TRUE(mdi->ended());
            EXPECT_NE(mdi->exitCode(), 0);
            EXPECT_FALSE(timer("Timer1")->isActive()) << "no log-in after a failed start";
            mdi.reset();
            EXPECT_EQ(QDir(folder()).entryList(QDir::AllEntries | QDir::Hidden), before) << "nothing created";
            EXPECT_EQ(fileDigest(databasePath()), was) << "nothing changed";
        };
    };
    runScenarios({
        {"missing", nullptr, failedStart([] {}), {{Missing}}},
        {"damaged", nullptr, failedStart([this] {
             Schema::createDatabaseFile(databasePath());
             QFile f(databasePath());
             ASSERT_TRUE(f.open(QIODevice::ReadWrite));
             f.seek(100);
             f.write(QByteArray(600, '\x5a'));
         }), {{Missing}}},
    });
}

// A file that cannot be written: the cause named, nothing changed, the next start runs.
TEST_F(MdiTest, AFileThatCannotBeWrittenNamesTheCause) {
    StoreFault::install();
    for (const StoreFault::Kind kind : {StoreFault::ReadOnlyFile, StoreFault::DiskFull, StoreFault::ReadOnlyFolder,
                                        StoreFault::UnreadableFile}) {
        SCOPED_TRACE(StoreFault::causeWords(kind).toStdString());
        const QByteArray was = fileDigest(databasePath());
        {
            StoreFault fault(kind);
            ScriptedBoxes boxes;
            boxes.answer(MsgAnswer::Ok);
            mdi = std::make_unique<FrmMdi>();
            EXPECT_TRUE(mdi->ended());
            ASSERT_EQ(boxes.log().size(), 1);
            EXPECT_TRUE(boxes.log()[0].text.contains(StoreFault::causeWords(kind))) << boxes.log()[0].text.toStdString();
            EXPECT_FALSE(boxes.log()[0].text.contains("não foi localizado"));
            EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
            mdi.reset();
        }
        EXPECT_EQ(fileDigest(databasePath()), was);
        ScriptedBoxes none;
        start();
        EXPECT_FALSE(mdi->ended());
        mdi.reset();
        config("UPDATE TblConfig SET Qtde = 0");
    }
}

TEST_F(MdiTest, AFileKeptBusyAtStart) {
    sqlite3* other = nullptr;
    sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(other, DatabasePassword, int(qstrlen(DatabasePassword)));
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE TblConfig SET Qtde = 5", nullptr, nullptr, nullptr), SQLITE_OK);
    const int limit = Database::waitLimit();
    Database::setWaitLimit(300);
    runScenario({"kept busy", nullptr, [&] { mdi = std::make_unique<FrmMdi>(); },
                 {{"O Banco de Dados 'Bd DedUvevaro.mdb' está em uso por outra cópia do Tarvel"}}, {},
                 [&] { EXPECT_TRUE(mdi->ended()); mdi.reset(); }});
    Database::setWaitLimit(limit);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(qtde(), 0);
}

// A cancelled log-in ends the program (the log-in lowered the counter).
TEST_F(MdiTest, ACancelledLogInEndsTheProgram) {
    FrmMdi::setLoginRunner([](QWidget*) { return int(QDialog::Rejected); });
    int ended = -1;
    mdi = std::make_unique<FrmMdi>();
    QObject::connect(mdi.get(), &FrmMdi::programEnded, [&](int code) { ended = code; });
    timer("Timer1")->fire();
    EXPECT_TRUE(mdi->ended());
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(MdiTest, EntriesWaitForTheirWindowsAndEachMainListClosesTheOthers) {
    start();
    EXPECT_FALSE(action("MnuClientes")->isEnabled());
    EXPECT_FALSE(button("Clientes")->isEnabled());
    registerFakeLists();
    mdi->updateEntries();
    EXPECT_TRUE(button("Clientes")->isEnabled());
    mdi->show();
    QApplication::setActiveWindow(mdi.get());
    // Keys and buttons, one after the other, and the lists open after each.
    const std::pair<std::function<void()>, const char*> steps[] = {
        {[&] { QTest::keyClick(mdi.get(), Qt::Key_F2); }, "C"},
        {[&] { QTest::keyClick(mdi.get(), Qt::Key_F2); }, "C"},   // one instance
        {[&] { QTest::keyClick(mdi.get(), Qt::Key_F8); }, "CR"},  // the pickups close none
        {[&] { QTest::keyClick(mdi.get(), Qt::Key_F3); }, "M"},
        {[&] { button("Retirada")->trigger(); }, "MR"},
        {[&] { QTest::keyClick(mdi.get(), Qt::Key_F4); }, "E"},
        {[&] { button("Clientes")->trigger(); button("Retirada")->trigger(); }, "CR"},
    };
    for (const auto& [act, open] : steps) {
        act();
        EXPECT_EQ(openLists(), open);
    }
    EXPECT_EQ(mdi->findChild<QMdiArea*>("MdiArea")->subWindowList().size(), 2);
}

// The picture of the day stays the same all day.
TEST_F(MdiTest, ThePictureOfTheDayStaysForTheDay) {
    config("UPDATE TblConfig SET ImagemFundo = 1, Imagem = 9, DtAtual = ?", {Today});
    start();
    EXPECT_EQ(Database::openDefault().scalar("SELECT Imagem FROM TblConfig").toInt(), 9);
}

TEST_F(MdiTest, TheExit) {
    registerFakeLists();
    start();
    mdi->show();
    action("MnuClientes")->trigger();
    action("MnuCompRet")->trigger();
    // No: the program runs on without its child windows.
    leave(MsgAnswer::No);
    EXPECT_FALSE(mdi->ended());
    EXPECT_EQ(openLists(), "");
    EXPECT_EQ(qtde(), 1);
    EXPECT_TRUE(timer("Timer3")->isActive());
    mdi.reset();

    // Yes, the last copy out (counts left by crashed copies aside): the day's copy first.
    config("UPDATE TblConfig SET Qtde = 3");
    start();
    mdi->show();
    leave(MsgAnswer::Yes);
    ASSERT_FALSE(mdi->ended()) << "the copy runs first";
    EXPECT_FALSE(action("MnuSair")->isEnabled()) << "no key works while the copy runs";
    mdi->close();   // changes nothing while the copy waits
    EXPECT_TRUE(mdi->isVisible());
    timer("Timer2")->fire();
    EXPECT_TRUE(mdi->ended());
    EXPECT_EQ(qtde(), 0);
    EXPECT_EQ(backups(), QStringList{Backup::dailyFileName(Today)});
    EXPECT_FALSE(Database::openInThisProcess(databasePath()));
}

TARVEL_TEST_MAIN()

#include "test_frmmdi.moc"
