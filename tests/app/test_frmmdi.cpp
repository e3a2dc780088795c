// The main window: start-up and its failures, the picture of the day, the
// list-window rules, the desktop links and the shut-down with its copy.
#include "app/backup.h"
#include "app/frmmdi.h"
#include "app/windowregistry.h"
#include "apptest.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/deliveredfiles.h"
#include "store/programfolder.h"
#include "store/schema.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <sqlcipher/sqlite3.h>
#include <thread>
#include <QToolBar>
#include <sqlcipher/sqlite3.h>

// Stand-ins for the list windows of the other areas; lists are told apart
// by their type.
class FakeClientes : public QWidget {
    Q_OBJECT
};
class FakeManutencao : public QWidget {
    Q_OBJECT
};
class FakeApEntregues : public QWidget {
    Q_OBJECT
};
class FakeRetirada : public QWidget {
    Q_OBJECT
};

namespace {

const QDate Today(2025, 3, 10);
const QString StartMessage = QString::fromUtf8(
    "O Banco de Dados 'Bd DedUvevaro.mdb', Necessário para o funcionamento do programa não foi localizado!\r"
    "Localize o Banco de Dados 'Bd DedUvevaro.mdb' e coloque-o na mesma pasta do Tarvel.");

class MdiTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Clock::set(QDateTime(Today, QTime(10, 0)));
    }

    int qtde() { return Database::openDefault().scalar("SELECT Qtde FROM TblConfig").toInt(); }
    void config(const QString& sql, const QVariantList& params = {}) { Database::openDefault().execute(sql, params); }
    QVariant configValue(const QString& field) {
        return Database::openDefault().scalar("SELECT " + field + " FROM TblConfig");
    }
    QStringList backups() {
        return QDir(Backup::folder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    template <class W> bool isOpen() { return WindowHost::findList<W>() != nullptr; }

    // Closes the main window (its close box, or `how`) answering the exit question.
    void exitAnswering(MsgAnswer answer, const std::function<void()>& how = {}) {
        ScriptedBoxes boxes;
        boxes.answer(answer, "Deseja Realmente Encerrar o Sistema?");
        how ? how() : void(mdi->close());
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, "Encerrar Programa");
        EXPECT_EQ(boxes.log()[0].defaultButton, MsgAnswer::No);
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Question);
    }

    FakeDesktop desktop;

private:
    TemporaryHome m_home;
};

QStringList listing(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

template <class W> void addFakeList(const QString& name, const QString& title) {
    WindowRegistry::add({name, WindowKind::List, &W::staticMetaObject, [title] {
        auto* w = new W;
        w->setWindowTitle(title);
        return static_cast<QWidget*>(w);
    }});
}

void registerFakeLists() {
    addFakeList<FakeClientes>("FrmClientes", "Clientes");
    addFakeList<FakeManutencao>("FrmManutencao", QString::fromUtf8("Aparelhos em Manutenção"));
    addFakeList<FakeApEntregues>("FrmApEntregues", "Aparelhos Entregues");
    addFakeList<FakeRetirada>("FrmRetirada", "Comprovante de Retirada");
}

} // namespace

TEST_F(MdiTest, ADatabaseThatCannotBeOpenedEndsTheStartWithOneMessage) {
    enum Case { Missing, WrongKey, Damaged };
    for (Case c : {Missing, WrongKey, Damaged}) {
        SCOPED_TRACE(int(c));
        QFile::remove(databasePath());
        QFile::remove(ProgramFolder::lockFilePath());
        if (c == WrongKey) Schema::createDatabaseFile(databasePath(), "OUTRA SENHA");
        if (c == Damaged) {
            Schema::createDatabaseFile(databasePath());
            QFile f(databasePath());
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.seek(100);
            f.write(QByteArray(600, '\x5a'));
        }
        QFile::remove(ProgramFolder::lockFilePath());
        const QStringList before = listing(folder());
        const QByteArray was = c == Missing ? QByteArray() : fileDigest(databasePath());

        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        mdi = std::make_unique<FrmMdi>();
        EXPECT_TRUE(mdi->ended());
        EXPECT_NE(mdi->exitCode(), 0);
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, StartMessage);
        EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(timer("Timer1")->isActive()) << "no log-in after a failed start";
        mdi.reset();

        EXPECT_EQ(listing(folder()), before) << "nothing created";
        if (c != Missing) {
            EXPECT_EQ(fileDigest(databasePath()), was) << "nothing changed";
        }
        if (c == WrongKey) {
            EXPECT_EQ(Database(databasePath(), "Access 2000;pwd=OUTRA SENHA").scalar("SELECT Qtde FROM TblConfig").toInt(), 0);
        }
    }
}

// A file that is there but cannot be written gets a message naming the
// cause, never the missing-file one; nothing changes, and the next start,
// once the cause is gone, runs.
TEST_F(MdiTest, AFileThatCannotBeWrittenNamesTheCause) {
    StoreFault::install();
    for (const StoreFault::Kind kind : {StoreFault::ReadOnlyFile, StoreFault::DiskFull, StoreFault::ReadOnlyFolder}) {
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

// Another copy in the middle of a write holds the file: the start waits for
// it; a file kept busy past the wait gets a message of its own, never the
// missing-file one.
TEST_F(MdiTest, ABusyFileIsWaitedForAtStart) {
    sqlite3* other = nullptr;
    sqlite3_open_v2(QFile::encodeName(databasePath()).constData(), &other, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_key(other, DatabasePassword, int(qstrlen(DatabasePassword)));
    const auto holdFile = [&] {
        ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE; UPDATE TblConfig SET Qtde = 5", nullptr, nullptr, nullptr), SQLITE_OK);
    };
    holdFile();
    std::thread later([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    });
    {
        ScriptedBoxes boxes;
        start();
        later.join();
        EXPECT_FALSE(mdi->ended());
        EXPECT_TRUE(boxes.log().isEmpty());
        EXPECT_EQ(qtde(), 6) << "the other copy's write, then ours";
        mdi.reset();
    }

    const int limit = Database::waitLimit();
    Database::setWaitLimit(300);
    holdFile();
    {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        mdi = std::make_unique<FrmMdi>();
        EXPECT_TRUE(mdi->ended());
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_NE(boxes.log()[0].text, StartMessage);
        EXPECT_TRUE(boxes.log()[0].text.contains(QString::fromUtf8("está em uso por outra cópia"))) << boxes.log()[0].text.toStdString();
        EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
        mdi.reset();
    }
    Database::setWaitLimit(limit);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(qtde(), 6) << "the failed start left the counter alone";
}

TEST_F(MdiTest, StartCountsTheCopyShowsTheDateAndRunsTheLogIn) {
    FrmMdi::setLoginRunner({});   // the real log-in window
    config("UPDATE TblConfig SET Qtde = 1");   // another copy runs
    mdi = std::make_unique<FrmMdi>();
    ASSERT_FALSE(mdi->ended());
    EXPECT_EQ(qtde(), 2);
    EXPECT_EQ(mdi->windowTitle(), "TARVEL");
    EXPECT_EQ(mdi->findChild<QLineEdit*>("Text2")->text(), QString::fromUtf8("segunda-feira, 10 de março de 2025"));
    EXPECT_EQ(mdi->findChild<QLabel*>("LblLogo(1)")->text(), QString::fromUtf8("ASSISTÊNCIA TÉCNICA"));
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel1")->text(),
              QString::fromUtf8("Tarvel - Sistema de Emissão e Controle de Ordems de Serviços"));
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), QString::fromUtf8("0 Usuário(s)"));

    {
        ScriptedBoxes boxes;
        ModalScript login([](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
            dlg->findChild<QPushButton*>("BtOk")->click();
        }, 10000, "FrmInicializar");
        timer("Timer1")->fire();
    }
    EXPECT_FALSE(mdi->ended());
    EXPECT_EQ(mdi->windowTitle(), "::: TARVEL ::: Sistema Inicializado por: ADMINISTRADOR");
    EXPECT_TRUE(timer("Timer3")->isActive());
    timer("Timer3")->fire();
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), QString::fromUtf8("2 Usuário(s)"));
    config("UPDATE TblConfig SET Qtde = 3");   // a third copy started
    timer("Timer3")->fire();
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), QString::fromUtf8("3 Usuário(s)"));
}

TEST_F(MdiTest, ACancelledLogInEndsTheProgram) {
    FrmMdi::setLoginRunner({});
    mdi = std::make_unique<FrmMdi>();
    EXPECT_EQ(qtde(), 1);
    int ended = -1;
    QObject::connect(mdi.get(), &FrmMdi::programEnded, [&](int code) { ended = code; });
    ModalScript login([](QWidget* dlg) { dlg->findChild<QPushButton*>("BtFechar")->click(); });
    timer("Timer1")->fire();
    EXPECT_TRUE(mdi->ended());
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(qtde(), 0) << "the log-in lowered the counter";
    EXPECT_FALSE(timer("Timer3")->isActive());
    EXPECT_TRUE(backups().isEmpty());
}

TEST_F(MdiTest, PictureOfTheDay) {
    DeliveredFiles::create(folder());   // logo and four pictures
    const QString pictures = folder() + "/Imagens";
    const auto picture = [&](int n) { return QDir(pictures).filePath(QString("Imagem Fundo (%1).jpg").arg(n)); };

    // Option off: no picture and nothing written.
    config("UPDATE TblConfig SET ImagemFundo = 0, Imagem = 7, DtAtual = NULL");
    start();
    EXPECT_TRUE(mdi->backgroundFile().isEmpty());
    EXPECT_EQ(configValue("Imagem").toInt(), 7);
    mdi.reset();

    // Already updated today: the stored picture, no draw, nothing written.
    config("UPDATE TblConfig SET ImagemFundo = 1, Imagem = 3, DtAtual = ?", {Today});
    start();
    EXPECT_EQ(mdi->backgroundFile(), picture(3));
    EXPECT_EQ(configValue("Imagem").toInt(), 3);
    mdi.reset();

    // A new day with three pictures: one of them, remembered.
    QFile::remove(picture(4));
    config("UPDATE TblConfig SET DtAtual = ?", {Today.addDays(-1)});
    QSet<int> drawn;
    for (int i = 0; i < 30; ++i) {
        mdi = std::make_unique<FrmMdi>();
        const int n = configValue("Imagem").toInt();
        ASSERT_GE(n, 1);
        ASSERT_LE(n, 3);
        EXPECT_EQ(mdi->backgroundFile(), picture(n));
        drawn << n;
        mdi.reset();
    }
    EXPECT_GE(drawn.size(), 2) << "the picture is drawn at random";

    // The drawn number cannot be remembered: the picture shows all the same.
    config("UPDATE TblConfig SET Imagem = 9");
    {
        const Database db(databasePath());
        ASSERT_EQ(sqlite3_exec(db.handle(),
                               "CREATE TRIGGER RefuseImagem BEFORE UPDATE OF Imagem ON TblConfig "
                               "BEGIN SELECT RAISE(ABORT, 'Imagem bloqueada'); END",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    }
    mdi = std::make_unique<FrmMdi>();
    EXPECT_FALSE(mdi->ended());
    EXPECT_EQ(configValue("Imagem").toInt(), 9);
    EXPECT_TRUE(mdi->backgroundFile() == picture(1) || mdi->backgroundFile() == picture(2) ||
                mdi->backgroundFile() == picture(3))
        << mdi->backgroundFile().toStdString();
    mdi.reset();
    config("DROP TRIGGER RefuseImagem");

    // A new day with an empty folder: number 1 stored, the built-in background.
    for (int n = 1; n <= 3; ++n) QFile::remove(picture(n));
    config("UPDATE TblConfig SET Imagem = 4");
    start();
    EXPECT_EQ(configValue("Imagem").toInt(), 1);
    EXPECT_TRUE(mdi->backgroundFile().isEmpty());
    mdi.reset();
    // ... and a missing folder.
    QDir(pictures).removeRecursively();
    config("UPDATE TblConfig SET Imagem = 4");
    start();
    EXPECT_EQ(configValue("Imagem").toInt(), 1);
    EXPECT_TRUE(mdi->backgroundFile().isEmpty());
}

TEST_F(MdiTest, EntriesWaitForTheirWindowsAndCarryTheirKeys) {
    start();
    for (const char* name : {"MnuClientes", "MnuNvCliente", "MnuCompRet", "MnuConfig", "Mnumanut", "MnuApEntregues",
                             "MnuAltSenha", "MnuCalendario", "MnuCal", "MnuSobrePrograma"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char* name : {"MnuSair", "MnuPro", "MnuExibirLogo", "MnuBacup", "MnuAjuda", "MnuCascata"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    for (const char* key : {"Clientes", "Retirada", "Manutencao", "Entregues"})
        EXPECT_FALSE(mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>(key)->isEnabled()) << key;

    registerFakeLists();
    mdi->updateEntries();
    EXPECT_TRUE(action("MnuClientes")->isEnabled());
    EXPECT_TRUE(mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Entregues")->isEnabled());

    const std::pair<const char*, Qt::Key> keys[] = {{"MnuClientes", Qt::Key_F2}, {"Mnumanut", Qt::Key_F3},
                                                    {"MnuApEntregues", Qt::Key_F4}, {"MnuCal", Qt::Key_F6},
                                                    {"MnuPro", Qt::Key_F7}, {"MnuCompRet", Qt::Key_F8},
                                                    {"MnuSair", Qt::Key_F12}};
    for (const auto& [name, key] : keys) EXPECT_EQ(action(name)->shortcut(), QKeySequence(key)) << name;
    // The key works from the window.
    mdi->show();
    QApplication::setActiveWindow(mdi.get());
    QTest::keyClick(mdi.get(), Qt::Key_F2);
    EXPECT_TRUE(isOpen<FakeClientes>());
}

TEST_F(MdiTest, EachMainListClosesTheOthersAndThePickupListClosesNone) {
    registerFakeLists();
    start();
    QMdiArea* area = mdi->findChild<QMdiArea*>("MdiArea");

    action("MnuClientes")->trigger();
    action("MnuClientes")->trigger();
    EXPECT_EQ(area->subWindowList().size(), 1) << "one instance";
    action("Mnumanut")->trigger();
    EXPECT_FALSE(isOpen<FakeClientes>());
    EXPECT_TRUE(isOpen<FakeManutencao>());
    EXPECT_EQ(area->subWindowList().size(), 1);

    action("MnuClientes")->trigger();
    action("MnuCompRet")->trigger();
    EXPECT_TRUE(isOpen<FakeClientes>());
    EXPECT_TRUE(isOpen<FakeRetirada>());
    EXPECT_FALSE(isOpen<FakeManutencao>());

    // The window menu lists both and arranges them.
    auto* janela = mdi->findChild<QMenu*>("MnuJanela");
    emit janela->aboutToShow();
    QStringList listed;
    for (QAction* a : janela->actions())
        if (a->objectName().startsWith("MnuJanelaLista")) listed << a->text();
    EXPECT_EQ(listed.size(), 2);
    EXPECT_TRUE(listed.contains("&1 Clientes")) << listed.join('|').toStdString();
    mdi->resize(1000, 700);
    mdi->show();
    action("MnuHorizontal")->trigger();
    for (QMdiSubWindow* sub : area->subWindowList()) EXPECT_EQ(sub->width(), area->viewport()->width());
    action("MnuVertical")->trigger();
    for (QMdiSubWindow* sub : area->subWindowList()) EXPECT_EQ(sub->height(), area->viewport()->height());

    // The reverse: the pickup list first, then customers: only customers.
    for (QMdiSubWindow* sub : area->subWindowList()) sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Retirada")->trigger();
    EXPECT_TRUE(isOpen<FakeRetirada>());
    mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Clientes")->trigger();
    EXPECT_TRUE(isOpen<FakeClientes>());
    EXPECT_FALSE(isOpen<FakeRetirada>());
    mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Entregues")->trigger();
    EXPECT_FALSE(isOpen<FakeClientes>());
    EXPECT_TRUE(isOpen<FakeApEntregues>());
    EXPECT_EQ(area->subWindowList().size(), 1);
}

TEST_F(MdiTest, ManualWebPageAndScreenSaverGoThroughTheDesktop) {
    start();
    const QString manual = ProgramFolder::file(FrmMdi::manualFileName());
    const QString helpMessage = QString::fromUtf8(
        "Não foi possível iniciar a Ajuda\rVerifique se o Arquivo 'Tarvel - Manual do Usuário.doc'\r"
        "Está na mesma pasta do Programa 'Tarvel'");
    {
        // Missing manual.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        action("MnuAjuda")->trigger();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, helpMessage);
        EXPECT_EQ(boxes.log()[0].title, "Iniciar a Ajuda");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(desktop.launches.isEmpty());
    }
    {
        QFile f(manual);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{\\rtf1 Manual}");
    }
    {
        // No program for the document on this desktop: the message at once,
        // nothing started.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        action("MnuAjuda")->trigger();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, helpMessage);
        EXPECT_TRUE(desktop.launches.isEmpty());
    }
    {
        desktop.defaults.insert("application/msword", "writer.desktop");
        ScriptedBoxes boxes;
        action("MnuAjuda")->trigger();
        ASSERT_EQ(desktop.launches.size(), 1);
        EXPECT_EQ(desktop.launches[0].program, "xdg-open");
        EXPECT_EQ(desktop.launches[0].arguments, QStringList{manual});
        // What the opener does later is never shown out of context.
        desktop.lastFailure(4, "xdg-open: o programa não conseguiu abrir o arquivo");
        EXPECT_TRUE(boxes.log().isEmpty());
    }
    const QString webMessage = QString::fromUtf8(
        "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando corretamente\r");
    auto* site = mdi->findChild<QLineEdit*>("TxtSite");
    mdi->show();
    {
        // No browser: the message at once; the link stays unvisited.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        QTest::mouseClick(site, Qt::LeftButton);
        EXPECT_EQ(desktop.launches.size(), 1);
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, webMessage + QString::fromUtf8("Nenhum programa desta área de trabalho está "
                                                                      "associado a x-scheme-handler/http 31 xdg-mime"));
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(boxes.log()[0].title, "Tarvel");
        EXPECT_EQ(site->palette().color(QPalette::Text), QColor(0, 0, 255));
    }
    {
        // The web page: the address after "http://", purple once visited.
        desktop.defaults.insert("x-scheme-handler/http", "browser.desktop");
        ScriptedBoxes boxes;
        QTest::mouseClick(site, Qt::LeftButton);
        ASSERT_EQ(desktop.launches.size(), 2);
        EXPECT_EQ(desktop.launches[1].arguments, QStringList{"http://" + FrmMdi::webAddress()});
        EXPECT_EQ(site->palette().color(QPalette::Text), QColor(128, 0, 128));
        desktop.lastFailure(4, "xdg-open: o programa não conseguiu abrir o arquivo");
        EXPECT_TRUE(boxes.log().isEmpty());
        // The opener that cannot start is told at once.
        desktop.starts = false;
        boxes.answer(MsgAnswer::Ok, webMessage + "xdg-open não pôde ser iniciado 5 xdg-open");
        QTest::mouseClick(site, Qt::LeftButton);
        EXPECT_EQ(boxes.log().size(), 1);
    }
    {
        // The screen saver: a failure says nothing.
        ScriptedBoxes boxes;
        mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Protecao")->trigger();
        ASSERT_EQ(desktop.launches.size(), 4);
        EXPECT_EQ(desktop.launches[3].program, "xdg-screensaver");
        EXPECT_EQ(desktop.launches[3].arguments, QStringList{"activate"});
        EXPECT_TRUE(boxes.log().isEmpty());
    }
    // The logo panel: a click on the logo hides it, the menu shows it again.
    auto* panel = mdi->findChild<QWidget*>("Picture3");
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(mdi->findChild<QLabel*>("ImageLogo"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    action("MnuExibirLogo")->trigger();
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(MdiTest, AnsweringNoKeepsTheProgramRunningWithoutItsChildWindows) {
    registerFakeLists();
    start();
    mdi->show();
    action("MnuClientes")->trigger();
    action("MnuCompRet")->trigger();
    exitAnswering(MsgAnswer::No, [this] { mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>("Sair")->trigger(); });
    EXPECT_FALSE(mdi->ended());
    EXPECT_TRUE(mdi->isVisible());
    EXPECT_FALSE(isOpen<FakeClientes>());
    EXPECT_FALSE(isOpen<FakeRetirada>());
    EXPECT_EQ(qtde(), 1);
    EXPECT_TRUE(timer("Timer3")->isActive());
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_TRUE(mdi->menuBar()->isEnabled());
    timer("Timer3")->fire();
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), QString::fromUtf8("1 Usuário(s)"));
}

TEST_F(MdiTest, ExitWhileAnotherCopyHoldsTheFileLowersTheCounterWithoutACopy) {
    config("UPDATE TblConfig SET Qtde = 1");
    OtherCopy other(databasePath());
    ASSERT_TRUE(other.holding());
    start();
    EXPECT_EQ(qtde(), 2);
    int ended = -1;
    QObject::connect(mdi.get(), &FrmMdi::programEnded, [&](int code) { ended = code; });
    exitAnswering(MsgAnswer::Yes);
    EXPECT_TRUE(mdi->ended());
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_EQ(qtde(), 1);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_FALSE(Database::openInThisProcess(databasePath()));
}

TEST_F(MdiTest, TheLastExitOfTheDayKeepsOneCopyWithTheLaterState) {
    const QString name = Backup::dailyFileName(Today);
    EXPECT_EQ(name, "Copia de Bd DedUvevaro10_3_25.mdb");
    EXPECT_EQ(Backup::dailyFileName(QDate(2027, 1, 1)), "Copia de Bd DedUvevaro1_1_27.mdb");
    EXPECT_EQ(Backup::dailyFileName(QDate(2026, 12, 5)), "Copia de Bd DedUvevaro5_12_26.mdb");

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        config("INSERT INTO TblClientes (Nome) VALUES (?)", {QString("CLIENTE %1").arg(run)});
        config("UPDATE TblConfig SET Qtde = 3");   // counts left by copies that crashed
        start();
        mdi->show();
        exitAnswering(MsgAnswer::Yes);
        ASSERT_FALSE(mdi->ended()) << "the copy runs first";
        EXPECT_TRUE(timer("Timer2")->isActive());
        EXPECT_FALSE(mdi->menuBar()->isEnabled());
        EXPECT_FALSE(action("MnuSair")->isEnabled()) << "no key works while the copy runs";
        for (const char* key : {"Clientes", "Retirada", "Manutencao", "Entregues", "Protecao", "Sair"})
            EXPECT_FALSE(mdi->findChild<QToolBar*>("Toolbar1")->findChild<QAction*>(key)->isEnabled()) << key;
        EXPECT_TRUE(mdi->findChild<QLineEdit*>("Text1")->isVisible());
        EXPECT_FALSE(mdi->findChild<QLineEdit*>("Text2")->isVisible());
        // The close box while the copy waits changes nothing.
        mdi->close();
        EXPECT_TRUE(mdi->isVisible());
        timer("Timer2")->fire();
        EXPECT_TRUE(mdi->ended());
        EXPECT_EQ(qtde(), 0);
        EXPECT_EQ(backups(), QStringList{name});
        EXPECT_FALSE(Database::openInThisProcess(databasePath()));
        mdi.reset();
    }
    // The copy is the encrypted file itself and holds the second exit's state.
    const QString copy = QDir(Backup::folder()).filePath(name);
    EXPECT_THROW(Database(copy, "Access 2000;pwd=ERRADA"), DbError);
    EXPECT_EQ(Database(copy, QString::fromUtf8(ConnectWithPassword)).scalar("SELECT count(*) FROM TblClientes").toInt(), 2);
}

TEST(Fonts, TheOriginalDesktopFacesFallBackToInstalledFreeFaces) {
    Fonts::installSubstitutes();
    const std::pair<const char*, QStringList> faces[] = {
        {"Lucida Sans", {"DejaVu Sans Condensed"}}, {"Verdana", {"DejaVu Sans"}},
        {"Comic Sans MS", {"DejaVu Sans"}},        {"Arial", {"Liberation Sans"}},
        {"Arial Narrow", {"Liberation Sans Narrow"}}, {"Times New Roman", {"Liberation Serif"}},
        {"Courier New", {"Liberation Mono"}}};
    for (const auto& [family, expected] : faces)
        EXPECT_TRUE(expected.contains(QFontInfo(QFont(family)).family())) << family << " -> "
                                                                          << QFontInfo(QFont(family)).family().toStdString();
}

TARVEL_TEST_MAIN()

#include "test_frmmdi.moc"
