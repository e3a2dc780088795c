// The manual backup window, the copy it shares with the exit's, the main window letting the file go.
#include "app/backup.h"
#include "app/frmbackup.h"
#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "support/files.h"
#include "support/scriptedboxes.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scenario.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <sqlcipher/sqlite3.h>
#include <sys/mount.h>
#include <unistd.h>

class FakeLista : public QWidget {
    Q_OBJECT
};

namespace {

class BackupTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        FrmBackup::setFileChooser([this](QWidget*, const QString&, const QString& start, const QString&) {
            starts << start;
            return answers.isEmpty() ? std::nullopt : answers.takeFirst();
        });
    }
    void TearDown() override {
        window.reset();
        FrmBackup::setFileChooser({});
        FrmMdi::setLoginRunner({});
        WindowRegistry::clear();
        ProgramFolderTest::TearDown();
    }

    // Opens the window and runs its lock test.
    void open() {
        window = std::make_unique<FrmBackup>();
        window->show();
        window->findChild<WindowTimer*>("TimerBanco")->fire();
    }
    void click(const char* name) { window->findChild<QPushButton*>(name)->click(); }
    bool enabled(const char* name) { return window->findChild<QPushButton*>(name)->isEnabled(); }
    QString local() { return window->findChild<QLabel*>("LblLocal")->text(); }
    // Chooses `target` (a file in the home folder unless absolute), then starts the copy.
    void copyTo(const QString& target) {
        answers << target;
        click("BtLocal");
        click("BtIniciar");
        window->findChild<WindowTimer*>("Timer1")->fire();
    }
    QString file(const QString& name) { return QDir(home.path()).filePath(name); }
    void write(const QString& name, const QByteArray& contents) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    static QByteArray readFile(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList homeFiles() { return QDir(home.path()).entryList(QDir::Files | QDir::Hidden); }

    TemporaryHome home;
    std::unique_ptr<FrmBackup> window;
    QList<std::optional<QString>> answers;   // the chooser's next answers
    QStringList starts;                      // the names it started from
};

const QString Stored = "SELECT LocalBackup FROM TblConfig";

} // namespace

TEST_F(BackupTest, TheWindowsScenarios) {
    const auto clean = [this] {
        QDir(home.path()).removeRecursively();
        QDir().mkpath(home.path());
        answers.clear();
        starts.clear();
    };
    QByteArray was;
    runScenarios({
        {"no location yet", nullptr, [&] { open(); click("BtIniciar"); },
         {{"Clique em \" Alterar Localização \" e selecione o Local do BackUp"}}, {{Stored, {""}}}},
        {"cancelled, chosen, cancelled again", nullptr, [&] {
             open();
             answers << std::nullopt << file("copia.mdb") << std::nullopt;
             for (int i = 0; i < 3; ++i) click("BtLocal");
             EXPECT_EQ(starts, (QStringList{FrmBackup::presetName(), FrmBackup::presetName(), file("copia.mdb")}));
         }, {}, {{Stored, {file("copia.mdb")}}}, [&] { EXPECT_EQ(local(), file("copia.mdb")); }},
        {"the live database is never a target", nullptr, [&] { open(); answers << databasePath(); click("BtLocal"); },
         {{"próprio Banco de Dados"}}, {{Stored, {""}}}},
        {"nor a link to it stored earlier", [&] {
             ASSERT_TRUE(QFile::link(databasePath(), file("atalho.mdb")));
             Database::openDefault().execute("UPDATE TblConfig SET LocalBackup = ?", {file("atalho.mdb")});
         }, [&] { was = fileDigest(databasePath()); open(); click("BtIniciar"); },
         {{"próprio Banco de Dados"}}, {}, [&] {
             EXPECT_TRUE(enabled("BtIniciar"));
             EXPECT_FALSE(window->findChild<WindowTimer*>("Timer1")->isActive());
             window.reset();
             EXPECT_THROW(Backup::copyDatabaseTo(file("atalho.mdb")), DbError) << "the copy itself refuses it too";
             EXPECT_EQ(fileDigest(databasePath()), was);
         }},
        {"a copy replaces the target and opens with the password", [&] {
             write("Cópia Manual.mdb", "cópia antiga");
             Database::openDefault().execute("INSERT INTO TblClientes (Nome) VALUES ('MARIA')");
         }, [&] { open(); copyTo(file("Cópia Manual.mdb")); },
         {{"BackUp Executado com Sucesso !"}}, {}, [&] {
             EXPECT_FALSE(window->isVisible());
             EXPECT_EQ(window->result(), QDialog::Accepted);
             EXPECT_TRUE(QFileInfo(Backup::folder()).isDir()) << "the automatic copies' folder is made too";
             EXPECT_EQ(homeFiles(), QStringList{"Cópia Manual.mdb"});
             EXPECT_EQ(Database(file("Cópia Manual.mdb")).scalar("SELECT Nome FROM TblClientes").toString(), "MARIA");
         }},
        {"a target that cannot be written: ready for another try", nullptr, [&] {
             QDir().mkpath(file("Somente Leitura"));
             QFile::setPermissions(file("Somente Leitura"), QFile::ReadOwner | QFile::ExeOwner);
             open();
             copyTo(::geteuid() == 0 ? "/proc/sys/copia.mdb" : file("Somente Leitura/copia.mdb"));
             QFile::setPermissions(file("Somente Leitura"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
         }, {{"O Caminho na Rede para se fazer o BackUp está Errado !,\rOu talvez a Rede neste momento esteja Inoperante."}},
         {}, [&] {
             EXPECT_TRUE(window->isVisible());
             EXPECT_TRUE(enabled("BtIniciar") && enabled("BtLocal"));
             EXPECT_TRUE(local().endsWith("/copia.mdb"));
             EXPECT_TRUE(QDir(file("Somente Leitura")).isEmpty());
         }},
        {"another copy holds the file at the start", nullptr, [&] {
             OtherCopy other(databasePath());
             ASSERT_TRUE(other.holding());
             open();
             EXPECT_FALSE(enabled("BtIniciar") || enabled("BtLocal"));
             EXPECT_TRUE(enabled("BtInfo"));
             window.reset();
         }, {{"O Banco de Dados está \" ABERTO \" e não poderá ser feito BackUp."}}},
        {"another copy opens it before the copy: the old copy stays", [&] { write("copia.mdb", "cópia de ontem"); }, [&] {
             was = fileDigest(file("copia.mdb"));
             open();
             answers << file("copia.mdb");
             click("BtLocal");
             click("BtIniciar");
             OtherCopy other(databasePath());
             window->findChild<WindowTimer*>("Timer1")->fire();
         }, {{"Não Está sendo usado por outro Programa!"}, {"OCORREU UM ERRO AO TENTAR FAZER O BACK-UP"}}, {}, [&] {
             EXPECT_FALSE(window->isVisible());
             EXPECT_EQ(fileDigest(file("copia.mdb")), was);
             EXPECT_EQ(homeFiles(), QStringList{"copia.mdb"}) << "no temporary file left";
         }},
    }, clean, [this] { window.reset(); });
}

// A target disk too small for the copy (a small memory disk, where the system lets one be made): the message names
// the want of space, whole; the target disk keeps no part of the copy.
TEST_F(BackupTest, AFullDiskIsNamedAsTheCause) {
    const QString disk = file("Pendrive");
    QDir().mkpath(disk);
    if (::mount("tmpfs", QFile::encodeName(disk).constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "no memory disk can be made here";
    const struct Unmount {
        QByteArray path;
        ~Unmount() { ::umount2(path.constData(), MNT_DETACH); }
    } unmount{QFile::encodeName(disk)};
    const QString target = disk + "/copia.mdb";
    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        open();
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        copyTo(target);
        ASSERT_EQ(boxes.log().size(), 1);
        const ShownBox& shown = boxes.log()[0];
        EXPECT_EQ(shown.text, "OCORREU UM ERRO AO TENTAR FAZER O BACK-UP\rNão há espaço livre no disco para "
                                       "gravar '" + target + "': libere espaço no disco ou escolha outro local e tente "
                                       "novamente.__ERRO: 57");
        EXPECT_EQ(shown.icon, MsgIcon::Exclamation);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(QDir(disk).isEmpty());
    }
}

TEST_F(BackupTest, TheMainWindowLetsTheDatabaseGoForTheBackup) {
    WindowRegistry::add<FakeLista>("FrmRetirada", WindowKind::List);
    FrmMdi::setLoginRunner([](QWidget*) { return int(QDialog::Accepted); });
    FrmMdi mdi;
    mdi.findChild<WindowTimer*>("Timer1")->fire();
    mdi.openList("FrmRetirada");
    bool sawOpen = true;
    ModalScript script([&](QWidget* dlg) {
        EXPECT_FALSE(WindowHost::findList<FakeLista>()) << "the lists close first";
        sawOpen = Database::openInThisProcess(databasePath());
        dlg->findChild<WindowTimer*>("TimerBanco")->fire();   // no message: the file is free
        EXPECT_TRUE(dlg->findChild<QPushButton*>("BtIniciar")->isEnabled());
        dlg->findChild<QPushButton*>("BtFechar")->click();
    }, 10000, "FrmBackup");
    mdi.MnuBacup_Click();
    EXPECT_FALSE(sawOpen);
    EXPECT_TRUE(Database::openInThisProcess(databasePath())) << "reopened afterwards";
    EXPECT_TRUE(mdi.findChild<WindowTimer*>("Timer3")->isActive());
}

TEST_F(BackupTest, TheAutomaticCopy) {
    EXPECT_EQ(Backup::dailyFileName(QDate(2005, 1, 15)), "Copia de Bd DedUvevaro15_1_05.mdb");
    Clock::set(QDateTime(QDate(2026, 12, 5), QTime(18, 0)));
    {
        Database held(databasePath());
        EXPECT_FALSE(BackupAutomatico()) << "never while this process holds the file";
    }
    EXPECT_TRUE(BackupAutomatico());
    EXPECT_EQ(Backup::folder(), home.path() + "/Meus Documentos/BackUp OS");
    EXPECT_EQ(QDir(Backup::folder()).entryList(QDir::Files), QStringList{"Copia de Bd DedUvevaro5_12_26.mdb"});
    const QString copy = QDir(Backup::folder()).filePath("Copia de Bd DedUvevaro5_12_26.mdb");
    EXPECT_EQ(fileDigest(copy), fileDigest(databasePath()));

    // A journal left by a copy that stopped mid-write is rolled back first:
    // the copy holds only what was committed.
    QByteArray data, journal;
    {
        Database db(databasePath());
        ASSERT_EQ(sqlite3_exec(db.handle(), "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 400) "
                                            "INSERT INTO TblClientes (Nome) SELECT printf('%0500d', i) FROM n; "
                                            "PRAGMA cache_size = 10; BEGIN; UPDATE TblClientes SET Nome = printf('%0500d', 0)",
                               nullptr, nullptr, nullptr), SQLITE_OK);
        data = readFile(databasePath());
        journal = readFile(databasePath() + "-journal");
        ASSERT_FALSE(journal.isEmpty());
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    write(databasePath(), data);
    write(databasePath() + "-journal", journal);
    EXPECT_TRUE(BackupAutomatico());
    Database copied(copy);
    EXPECT_EQ(copied.scalar("SELECT count(DISTINCT Nome) FROM TblClientes").toInt(), 400);
}

TARVEL_TEST_MAIN()

#include "test_backup.moc"
