// The manual backup window and the copy it shares with the exit backup.
#include "app/backup.h"
#include "app/frmbackup.h"
#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "support/files.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <unistd.h>

class FakeLista : public QWidget {
    Q_OBJECT
};

namespace {

class BackupTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        FrmBackup::setFileChooser([this](QWidget*, const QString& title, const QString& start, const QString& filter) {
            EXPECT_EQ(title, "Localizar Pasta");
            EXPECT_EQ(filter, "*.mdb");
            starts << start;
            std::optional<QString> answer;
            if (!answers.isEmpty()) answer = answers.takeFirst();
            return answer;
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
    FrmBackup* open() {
        window = std::make_unique<FrmBackup>();
        window->show();
        window->findChild<WindowTimer*>("TimerBanco")->fire();
        return window.get();
    }
    QPushButton* button(const char* name) { return window->findChild<QPushButton*>(name); }
    QString local() { return window->findChild<QLabel*>("LblLocal")->text(); }
    QString stored() {
        return Database::openDefault().scalar("SELECT LocalBackup FROM TblConfig").toString();
    }
    QString home() const { return m_home.path(); }

    std::unique_ptr<FrmBackup> window;
    QList<std::optional<QString>> answers;   // the chooser's next answers
    QStringList starts;                      // the names it started from

private:
    TemporaryHome m_home;
};

} // namespace

TEST_F(BackupTest, ChoosingTheTargetAndCancellingTheDialog) {
    open();
    EXPECT_TRUE(local().isEmpty());
    {
        // Iniciar before any location.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        button("BtIniciar")->click();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, QString::fromUtf8("Clique em \" Alterar Localização \" e selecione o Local do BackUp"));
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Information);
        EXPECT_EQ(boxes.log()[0].title, "BackUp");
    }
    // A cancelled first dialog leaves nothing.
    answers << std::nullopt;
    button("BtLocal")->click();
    EXPECT_TRUE(local().isEmpty());
    EXPECT_TRUE(stored().isEmpty());

    const QString target = home() + "/copia.mdb";
    answers << target << std::nullopt;
    button("BtLocal")->click();
    EXPECT_EQ(local(), target);
    EXPECT_EQ(stored(), target);
    // Cancelled the next time: the stored location stays.
    button("BtLocal")->click();
    EXPECT_EQ(local(), target);
    EXPECT_EQ(stored(), target);
    EXPECT_EQ(starts, (QStringList{FrmBackup::presetName(), FrmBackup::presetName(), target}));
    window.reset();

    // A new window shows the stored location.
    open();
    EXPECT_EQ(local(), target);
}

TEST_F(BackupTest, TheLiveDatabaseIsNeverATarget) {
    open();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "próprio Banco de Dados");
    answers << databasePath();
    button("BtLocal")->click();
    EXPECT_TRUE(local().isEmpty());
    EXPECT_TRUE(stored().isEmpty());
    window.reset();

    // Reached through a link, from a location stored earlier.
    const QString link = home() + "/atalho.mdb";
    ASSERT_TRUE(QFile::link(databasePath(), link));
    Database(databasePath()).execute("UPDATE TblConfig SET LocalBackup = ?", {link});
    const QByteArray was = fileDigest(databasePath());
    open();
    boxes.answer(MsgAnswer::Ok, "próprio Banco de Dados");
    button("BtIniciar")->click();
    EXPECT_TRUE(button("BtIniciar")->isEnabled());
    EXPECT_FALSE(window->findChild<WindowTimer*>("Timer1")->isActive());
    EXPECT_THROW(Backup::copyDatabaseTo(link), DbError);
    EXPECT_EQ(fileDigest(databasePath()), was);
    EXPECT_EQ(boxes.log().size(), 2);
}

TEST_F(BackupTest, ACopyReplacesTheTargetAndOpensWithThePassword) {
    const QString target = home() + "/Cópia Manual.mdb";
    { QFile old(target); ASSERT_TRUE(old.open(QIODevice::WriteOnly)); old.write("cópia antiga"); }
    Database(databasePath()).execute("INSERT INTO TblClientes (Nome) VALUES ('MARIA')");
    open();
    answers << target;
    button("BtLocal")->click();

    ScriptedBoxes boxes;
    button("BtIniciar")->click();
    EXPECT_FALSE(button("BtIniciar")->isEnabled());
    EXPECT_FALSE(button("BtLocal")->isEnabled());
    EXPECT_TRUE(window->findChild<QLabel*>("Label2")->isVisible());
    EXPECT_EQ(window->findChild<QProgressBar*>("ProgressBar1")->value(), 15);
    EXPECT_FALSE(Database::openInThisProcess(databasePath())) << "the window let the database go";
    boxes.answerWith([this](const ShownBox& box) {
        EXPECT_EQ(window->findChild<QProgressBar*>("ProgressBar1")->value(), 100);
        EXPECT_EQ(box.text, "BackUp Executado com Sucesso !");
        EXPECT_EQ(box.icon, MsgIcon::Information);
        return MsgAnswer::Ok;
    });
    window->findChild<WindowTimer*>("Timer1")->fire();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_TRUE(QFileInfo(Backup::folder()).isDir()) << "the automatic backup's folder is made too";

    EXPECT_EQ(QDir(home()).entryList(QDir::Files | QDir::Hidden), QStringList{"Cópia Manual.mdb"});
    EXPECT_EQ(fileDigest(target), fileDigest(databasePath()));
    EXPECT_EQ(Database(target, QString::fromUtf8(ConnectWithPassword)).scalar("SELECT Nome FROM TblClientes").toString(),
              "MARIA");
}

TEST_F(BackupTest, ATargetThatCannotBeWrittenLeavesTheWindowReadyForAnotherTry) {
    // A folder the program cannot write (as root, one in /proc).
    QString folder = home() + "/Somente Leitura";
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    if (::geteuid() == 0) folder = "/proc/sys";
    const QString target = folder + "/copia.mdb";
    open();
    answers << target;
    button("BtLocal")->click();
    button("BtIniciar")->click();

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "O Caminho na Rede para se fazer o BackUp está Errado !,");
    window->findChild<WindowTimer*>("Timer1")->fire();
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[0].text,
              QString::fromUtf8("O Caminho na Rede para se fazer o BackUp está Errado !,\rOu talvez a Rede neste momento "
                                "esteja Inoperante.\rClique em \" Alterar Localização \",Ache o Caminho correto e "
                                "tente novamente.\rSe o Problema persistir Contacte o Suporte Técnico"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(button("BtIniciar")->isEnabled());
    EXPECT_TRUE(button("BtLocal")->isEnabled());
    EXPECT_EQ(local(), target);
    EXPECT_FALSE(QFile::exists(target));
    QFile::setPermissions(home() + "/Somente Leitura", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(BackupTest, AnotherCopyHoldingTheFileStopsTheBackupAndKeepsTheOldCopy) {
    {
        OtherCopy other(databasePath());
        ASSERT_TRUE(other.holding());
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        open();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text,
                  QString::fromUtf8("O Banco de Dados está \" ABERTO \" e não poderá ser feito BackUp.\rFeche todos os "
                                    "Programas que usam o Banco de Dados e tente novamente."));
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(button("BtIniciar")->isEnabled());
        EXPECT_FALSE(button("BtLocal")->isEnabled());
        EXPECT_TRUE(button("BtInfo")->isEnabled());
        EXPECT_TRUE(window->findChild<QLabel*>("Image2")->isVisible());
        window.reset();
    }

    // Another copy opens the file between the test and the copy.
    const QString target = home() + "/copia.mdb";
    { QFile old(target); ASSERT_TRUE(old.open(QIODevice::WriteOnly)); old.write("cópia de ontem"); }
    const QByteArray was = fileDigest(target);
    open();
    answers << target;
    button("BtLocal")->click();
    button("BtIniciar")->click();
    OtherCopy other(databasePath());
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não Está sendo usado por outro Programa!");
    boxes.answer(MsgAnswer::Ok, "OCORREU UM ERRO AO TENTAR FAZER O BACK-UP");
    window->findChild<WindowTimer*>("Timer1")->fire();
    ASSERT_EQ(boxes.log().size(), 2);
    EXPECT_TRUE(boxes.log()[1].text.endsWith("__ERRO: 70"));
    EXPECT_EQ(boxes.log()[1].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(fileDigest(target), was) << "the earlier copy is kept";
    EXPECT_EQ(QDir(home()).entryList(QDir::Files | QDir::Hidden), QStringList{"copia.mdb"}) << "no temporary file left";
}

TEST_F(BackupTest, TheRealDialogStartsWithItsTitleAndPresetName) {
    FrmBackup::setFileChooser({});
    open();
    const QString target = home() + "/escolhida.mdb";
    ModalScript script([&](QWidget* dlg) {
        auto* fd = qobject_cast<QFileDialog*>(dlg);
        ASSERT_TRUE(fd);
        EXPECT_EQ(fd->windowTitle(), "Localizar Pasta");
        EXPECT_EQ(fd->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(fd->findChild<QLineEdit*>("fileNameEdit")->text(), FrmBackup::presetName());
        // Typed as the operator does (selectFile leaves a focused name box alone).
        fd->findChild<QLineEdit*>("fileNameEdit")->setText(target);
        QMetaObject::invokeMethod(fd, "accept");
    });
    button("BtLocal")->click();
    EXPECT_EQ(local(), target);
    EXPECT_EQ(stored(), target);
}

TEST_F(BackupTest, TheMainWindowLetsTheDatabaseGoForTheBackup) {
    WindowRegistry::add<FakeLista>("FrmRetirada", WindowKind::List);
    FrmMdi::setLoginRunner([](QWidget*) { return int(QDialog::Accepted); });
    FrmMdi mdi;
    mdi.findChild<WindowTimer*>("Timer1")->fire();
    mdi.openList("FrmRetirada");
    ASSERT_TRUE(WindowHost::findList<FakeLista>());

    bool sawOpen = true;
    ModalScript script([&](QWidget* dlg) {
        EXPECT_FALSE(WindowHost::findList<FakeLista>()) << "the lists close first";
        sawOpen = Database::openInThisProcess(databasePath());
        // The lock test finds the file closed: no message, the buttons ready.
        dlg->findChild<WindowTimer*>("TimerBanco")->fire();
        EXPECT_TRUE(dlg->findChild<QPushButton*>("BtIniciar")->isEnabled());
        dlg->findChild<QPushButton*>("BtFechar")->click();
    }, 10000, "FrmBackup");
    mdi.MnuBacup_Click();
    EXPECT_FALSE(sawOpen);
    EXPECT_TRUE(Database::openInThisProcess(databasePath())) << "reopened afterwards";
    EXPECT_TRUE(mdi.findChild<WindowTimer*>("Timer3")->isActive());
}

TEST_F(BackupTest, TheAutomaticCopyMakesItsFoldersAndSkipsAnOpenDatabase) {
    Clock::set(QDateTime(QDate(2026, 12, 5), QTime(18, 0)));
    ASSERT_FALSE(QFileInfo::exists(home() + "/Meus Documentos"));
    {
        Database held(databasePath());
        EXPECT_FALSE(BackupAutomatico()) << "never while this process holds the file";
    }
    EXPECT_TRUE(QDir(Backup::folder()).isEmpty());
    EXPECT_TRUE(BackupAutomatico());
    EXPECT_EQ(Backup::folder(), home() + "/Meus Documentos/BackUp OS");
    EXPECT_EQ(QDir(Backup::folder()).entryList(QDir::Files), QStringList{"Copia de Bd DedUvevaro5_12_26.mdb"});
}

TARVEL_TEST_MAIN()

#include "test_backup.moc"
