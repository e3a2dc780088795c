// The main window: the start and its failures, the entries and the exit.
#include "app/backup.h"
#include "apptest.h"
#include "platform/fonts.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/schema.h"
#include "store/deliveredfiles.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scenario.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QDir>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <sqlcipher/sqlite3.h>
#include <unistd.h>

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
    template <class W> static void addFakeList(const QString& name, const QString& title) {
        WindowRegistry::add({name, WindowKind::List, &W::staticMetaObject, [title] {
            auto* w = new W;
            w->setWindowTitle(title);
            return static_cast<QWidget*>(w);
        }});
    }
    void registerFakeLists() {
        addFakeList<FakeClientes>("FrmClientes", "Clientes");
        addFakeList<FakeManutencao>("FrmManutencao", "Aparelhos em Manutenção");
        addFakeList<FakeApEntregues>("FrmApEntregues", "Aparelhos Entregues");
        addFakeList<FakeRetirada>("FrmRetirada", "Comprovante de Retirada");
    }
    QVariant configValue(const QString& field) { return Database::openDefault().scalar("SELECT " + field + " FROM TblConfig"); }
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

// A file that cannot be written: the cause named, nothing changed, the next start runs. A writable file that opens
// read-only stands on a read-only medium; a file whose own mode forbids writing (not for root) is the file's cause; a
// file the system will not let the program open comes with the advice to free reading and writing on it.
TEST_F(MdiTest, AFileThatCannotBeWrittenNamesTheCause) {
    StoreFault::install();
    const QString medium = "O Banco de Dados 'Bd DedUvevaro.mdb' foi localizado, mas não pôde ser usado:\rO disco onde "
                           "está o banco de dados é somente leitura (um CD, um cartão travado ou um disco montado só "
                           "para leitura): o arquivo não pode ser gravado nele. Copie a pasta do Tarvel para um disco "
                           "que permita gravação.\rCorrija o problema e inicie o Tarvel novamente.";
    const QString unreadable = "O Banco de Dados 'Bd DedUvevaro.mdb' foi localizado, mas não pôde ser usado:\rO arquivo "
                               "do banco de dados não pode ser lido: o sistema negou o acesso a ele. Libere a leitura "
                               "e a gravação no arquivo e tente novamente. (%1)\rCorrija o problema e inicie o Tarvel "
                               "novamente.";
    const QFile::Permissions mode = QFile::permissions(databasePath());
    for (const StoreFault::Kind kind : {StoreFault::ReadOnlyFile, StoreFault::DiskFull, StoreFault::ReadOnlyFolder,
                                        StoreFault::UnreadableFile, StoreFault::None}) {
        const bool readOnlyMode = kind == StoreFault::None;
        if (readOnlyMode && ::geteuid() == 0) continue;   // root writes whatever the mode says
        SCOPED_TRACE(StoreFault::causeWords(kind).toStdString());
        if (readOnlyMode) QFile::setPermissions(databasePath(), QFile::ReadOwner | QFile::ReadUser);
        const QByteArray was = fileDigest(databasePath());
        {
            StoreFault fault(readOnlyMode ? StoreFault::ReadOnlyFile : kind);
            ScriptedBoxes boxes;
            boxes.answer(MsgAnswer::Ok);
            mdi = std::make_unique<FrmMdi>();
            EXPECT_TRUE(mdi->ended());
            ASSERT_EQ(boxes.log().size(), 1);
            if (kind == StoreFault::ReadOnlyFile) EXPECT_EQ(boxes.log()[0].text, medium);
            else if (kind == StoreFault::UnreadableFile)
                EXPECT_EQ(boxes.log()[0].text, unreadable.arg(databasePath()));
            else EXPECT_TRUE(boxes.log()[0].text.contains(StoreFault::causeWords(readOnlyMode ? StoreFault::ReadOnlyFile : kind)))
                << boxes.log()[0].text.toStdString();
            EXPECT_FALSE(boxes.log()[0].text.contains("não foi localizado"));
            EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
            mdi.reset();
        }
        EXPECT_EQ(fileDigest(databasePath()), was);
        QFile::setPermissions(databasePath(), mode);
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
    for (const char* name : {"MnuClientes", "MnuNvCliente", "MnuCompRet", "MnuConfig", "Mnumanut", "MnuApEntregues",
                             "MnuAltSenha", "MnuCalendario", "MnuCal", "MnuSobrePrograma"})
        EXPECT_FALSE(action(name)->isEnabled()) << name;
    for (const char* name : {"MnuSair", "MnuPro", "MnuExibirLogo", "MnuBacup", "MnuAjuda", "MnuCascata"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    const std::pair<const char*, Qt::Key> keys[] = {{"MnuClientes", Qt::Key_F2}, {"Mnumanut", Qt::Key_F3},
                                                    {"MnuApEntregues", Qt::Key_F4}, {"MnuCal", Qt::Key_F6},
                                                    {"MnuPro", Qt::Key_F7}, {"MnuCompRet", Qt::Key_F8},
                                                    {"MnuSair", Qt::Key_F12}};
    for (const auto& [name, key] : keys) EXPECT_EQ(action(name)->shortcut(), QKeySequence(key)) << name;
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

// A list that refuses to close (the operator kept what it could not write) stays, whichever list it is: the entry that
// would close it opens nothing, and the backup says why it waits and does not start.
TEST_F(MdiTest, AListThatRefusesToCloseStaysAndTheBackupWaits) {
    registerFakeLists();
    start();
    struct Keep : QObject {
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() != QEvent::Close) return false;
            e->ignore();
            return true;
        }
    } keep;
    const std::pair<const char*, QString> lists[] = {{"MnuClientes", "C"}, {"Mnumanut", "M"}, {"MnuApEntregues", "E"},
                                                     {"MnuCompRet", "R"}};
    for (const auto& [entry, open] : lists) {
        SCOPED_TRACE(entry);
        action(entry)->trigger();
        QWidget* kept = WindowHost::mdiArea()->subWindowList().constLast()->widget();
        kept->installEventFilter(&keep);
        for (const char* other : {"MnuClientes", "Mnumanut", "MnuApEntregues"}) {
            if (QLatin1String(other) == QLatin1String(entry)) continue;
            action(other)->trigger();
            EXPECT_EQ(openLists(), open) << other;
        }
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        QTimer::singleShot(3000, &keep, [] { ModalScript::closeModals(); });   // a backup window that should not have come
        action("MnuBacup")->trigger();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, "O BackUp não pode ser feito enquanto a janela \"" + kept->windowTitle() +
                                           "\" estiver aberta: ela guarda alterações que não foram gravadas.\rGrave "
                                           "as alterações ou feche a janela sem gravá-las e tente novamente.");
        EXPECT_EQ(boxes.log()[0].title, "BackUp");
        EXPECT_EQ(openLists(), open);
        EXPECT_TRUE(Database::openInThisProcess(databasePath())) << "the main window kept the file";
        EXPECT_TRUE(timer("Timer3")->isActive());
        kept->removeEventFilter(&keep);
        kept->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// The picture of the day stays the same all day.
TEST_F(MdiTest, ThePictureOfTheDayStaysForTheDay) {
    config("UPDATE TblConfig SET ImagemFundo = 1, Imagem = 9, DtAtual = ?", {Today});
    start();
    EXPECT_EQ(Database::openDefault().scalar("SELECT Imagem FROM TblConfig").toInt(), 9);
}

// A picture of another shape than the window covers it from its middle: a tall picture of three bands
// shows its middle band from the top of the window to the bottom, a wide one likewise.
TEST_F(MdiTest, TheBackgroundPictureShowsItsMiddle) {
    QDir(folder()).mkpath("Imagens");
    config("UPDATE TblConfig SET ImagemFundo = 1, Imagem = 1, DtAtual = ?", {Today});
    for (const QSize& shape : {QSize(100, 600), QSize(1800, 100)}) {
        SCOPED_TRACE(shape.width());
        QImage bands(shape, QImage::Format_RGB32);
        const bool tall = shape.height() > shape.width();
        for (int i = 0; i < 3; ++i) {
            const QColor colour = i == 1 ? Qt::green : i == 0 ? Qt::red : Qt::blue;
            QPainter(&bands).fillRect(tall ? QRect(0, i * 200, 100, 200) : QRect(i * 600, 0, 600, 100), colour);
        }
        ASSERT_TRUE(bands.save(folder() + "/Imagens/Imagem Fundo (1).jpg"));
        start();
        mdi->resize(1024, 768);
        mdi->show();
        QWidget* view = mdi->findChild<QMdiArea*>("MdiArea")->viewport();
        const QImage shown = view->grab().toImage();
        for (const QPoint& at : {QPoint(2, 2), QPoint(shown.width() - 3, shown.height() - 3)})
            EXPECT_GT(QColor(shown.pixel(at)).green(), 200) << at.x() << ',' << at.y();
        mdi.reset();
    }
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
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_TRUE(mdi->menuBar()->isEnabled());
    timer("Timer3")->fire();
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), "1 Usuário(s)");
}

// Yes, the last copy out (counts left by crashed copies aside): the day's copy
// first, under its notice, one file a day holding the later state.
TEST_F(MdiTest, TheLastExitOfTheDayKeepsOneCopyWithTheLaterState) {
    const QString name = Backup::dailyFileName(Today);
    EXPECT_EQ(name, "Copia de Bd DedUvevaro10_3_25.mdb");
    EXPECT_EQ(Backup::dailyFileName(QDate(2027, 1, 1)), "Copia de Bd DedUvevaro1_1_27.mdb");
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        config("INSERT INTO TblClientes (Nome) VALUES (?)", {QString("CLIENTE %1").arg(run)});
        config("UPDATE TblConfig SET Qtde = 3");
        start();
        mdi->show();
        leave(MsgAnswer::Yes);
        ASSERT_FALSE(mdi->ended()) << "the copy runs first";
        EXPECT_TRUE(timer("Timer2")->isActive());
        EXPECT_FALSE(mdi->menuBar()->isEnabled());
        EXPECT_FALSE(action("MnuSair")->isEnabled()) << "no key works while the copy runs";
        for (const char* key : {"Clientes", "Retirada", "Manutencao", "Entregues", "Protecao", "Sair"})
            EXPECT_FALSE(button(key)->isEnabled()) << key;
        EXPECT_TRUE(mdi->findChild<QLineEdit*>("Text1")->isVisible());
        EXPECT_EQ(mdi->findChild<QLineEdit*>("Text1")->text(), "Fazendo BackUp... Aguarde!");
        EXPECT_FALSE(mdi->findChild<QLineEdit*>("Text2")->isVisible());
        mdi->close();   // changes nothing while the copy waits
        EXPECT_TRUE(mdi->isVisible());
        timer("Timer2")->fire();
        EXPECT_TRUE(mdi->ended());
        EXPECT_EQ(qtde(), 0);
        EXPECT_EQ(backups(), QStringList{name});
        EXPECT_FALSE(Database::openInThisProcess(databasePath()));
        mdi.reset();
    }
    const QString copy = QDir(Backup::folder()).filePath(name);
    EXPECT_THROW(Database(copy, "Access 2000;pwd=ERRADA"), DbError);
    EXPECT_EQ(Database(copy, QString::fromUtf8(ConnectWithPassword)).scalar("SELECT count(*) FROM TblClientes").toInt(), 2);
}

// Another copy still running: the counter lowered, no copy made.
TEST_F(MdiTest, ExitWhileAnotherCopyHoldsTheFileLowersTheCounterWithoutACopy) {
    config("UPDATE TblConfig SET Qtde = 1");
    OtherCopy other(databasePath());
    ASSERT_TRUE(other.holding());
    start();
    EXPECT_EQ(qtde(), 2);
    int ended = -1;
    QObject::connect(mdi.get(), &FrmMdi::programEnded, [&](int code) { ended = code; });
    leave(MsgAnswer::Yes);
    EXPECT_TRUE(mdi->ended());
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(timer("Timer2")->isActive());
    EXPECT_EQ(qtde(), 1);
    EXPECT_TRUE(backups().isEmpty());
    EXPECT_FALSE(Database::openInThisProcess(databasePath()));
}

TEST_F(MdiTest, StartCountsTheCopyShowsTheDateAndRunsTheLogIn) {
    FrmMdi::setLoginRunner({});   // the real log-in window
    config("UPDATE TblConfig SET Qtde = 1");   // another copy runs
    DeliveredFiles::create(folder());          // with the logo
    mdi = std::make_unique<FrmMdi>();
    ASSERT_FALSE(mdi->ended());
    EXPECT_EQ(qtde(), 2);
    EXPECT_EQ(mdi->windowTitle(), "TARVEL");
    EXPECT_EQ(mdi->findChild<QLineEdit*>("Text2")->text(), "segunda-feira, 10 de março de 2025");
    EXPECT_FALSE(mdi->findChild<QLabel*>("ImageLogo")->pixmap().isNull());
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel1")->text(), "Tarvel - Sistema de Emissão e Controle de Ordems de Serviços");
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), "0 Usuário(s)");
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
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), "2 Usuário(s)");
    config("UPDATE TblConfig SET Qtde = 3");   // a third copy started
    timer("Timer3")->fire();
    EXPECT_EQ(mdi->findChild<QLabel*>("Panel2")->text(), "3 Usuário(s)");
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
        ASSERT_EQ(sqlite3_exec(db.handle(), "CREATE TRIGGER RefuseImagem BEFORE UPDATE OF Imagem ON TblConfig "
                                            "BEGIN SELECT RAISE(ABORT, 'Imagem bloqueada'); END", nullptr, nullptr, nullptr),
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

    // A new day with an empty folder: number 1 stored, the built-in background; and a missing folder.
    for (int n = 1; n <= 3; ++n) QFile::remove(picture(n));
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        if (round == 1) QDir(pictures).removeRecursively();
        config("UPDATE TblConfig SET Imagem = 4");
        start();
        EXPECT_EQ(configValue("Imagem").toInt(), 1);
        EXPECT_TRUE(mdi->backgroundFile().isEmpty());
        mdi.reset();
    }
}

TEST_F(MdiTest, ManualWebPageAndScreenSaverGoThroughTheDesktop) {
    start();
    const QString manual = ProgramFolder::file(FrmMdi::manualFileName());
    const QString help = "Não foi possível iniciar a Ajuda\rVerifique se o Arquivo 'Tarvel - Manual do Usuário.doc'\r"
                         "Está na mesma pasta do Programa 'Tarvel'";
    const QString web = "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando "
                        "corretamente\r";
    auto* site = mdi->findChild<QLineEdit*>("TxtSite");
    const auto siteColour = [site] { return site->palette().color(QPalette::Text); };
    const auto launched = [this](int n, const QString& program, const QStringList& arguments) {
        return [=, this] {
            ASSERT_EQ(desktop.launches.size(), n);
            EXPECT_EQ(desktop.launches.last().program, program);
            EXPECT_EQ(desktop.launches.last().arguments, arguments);
            if (desktop.lastFailure) desktop.lastFailure(4, "o programa não conseguiu abrir o arquivo");   // never shown later
        };
    };
    mdi->show();
    QString text;
    for (const Scenario& s : QList<Scenario>{
             {"missing manual", nullptr, [&] { action("MnuAjuda")->trigger(); }, {{help}}, {},
              [&] { EXPECT_TRUE(desktop.launches.isEmpty()); }},
             {"no program for the manual", [&] {
                  QFile f(manual);
                  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
                  f.write("{\\rtf1 Manual}");
              }, [&] { action("MnuAjuda")->trigger(); }, {{help}}, {}, [&] { EXPECT_TRUE(desktop.launches.isEmpty()); }},
             {"the manual", [&] { desktop.defaults.insert("application/msword", "writer.desktop"); },
              [&] { action("MnuAjuda")->trigger(); }, {}, {}, launched(1, "xdg-open", {manual})},
             {"no browser: the link stays unvisited", nullptr, [&] { QTest::mouseClick(site, Qt::LeftButton); },
              {{web + "Nenhum programa desta área de trabalho está associado a x-scheme-handler/http 31 xdg-mime"}}, {},
              [&] { EXPECT_EQ(desktop.launches.size(), 1); EXPECT_EQ(siteColour(), QColor(0, 0, 255)); }},
             {"the web page, purple once visited", [&] { desktop.defaults.insert("x-scheme-handler/http", "b.desktop"); },
              [&] { QTest::mouseClick(site, Qt::LeftButton); }, {}, {}, [&] {
                  launched(2, "xdg-open", {"http://" + FrmMdi::webAddress()})();
                  EXPECT_EQ(site->text(), FrmMdi::webAddress());
                  EXPECT_EQ(siteColour(), QColor(128, 0, 128));
              }},
             {"the screen saver: a failure says nothing", nullptr, [&] { button("Protecao")->trigger(); }, {}, {},
              launched(3, "xdg-screensaver", {"activate"})},
         })
        runScenario(s);

    // The logo panel: a click on the logo hides it, the menu shows it again.
    auto* panel = mdi->findChild<QWidget*>("Picture3");
    EXPECT_TRUE(panel->isVisible());
    QTest::mouseClick(mdi->findChild<QLabel*>("ImageLogo"), Qt::LeftButton);
    EXPECT_FALSE(panel->isVisible());
    action("MnuExibirLogo")->trigger();
    EXPECT_TRUE(panel->isVisible());
}

// The window menu: the open windows listed with the active one checked; the
// arrangements; a minimized window left where it is by the tilings.
TEST_F(MdiTest, TheWindowMenuListsAndArrangesTheChildWindows) {
    registerFakeLists();
    start();
    mdi->resize(1000, 700);
    mdi->show();
    action("MnuClientes")->trigger();
    action("MnuCompRet")->trigger();
    QMdiArea* area = mdi->findChild<QMdiArea*>("MdiArea");
    QList<QMdiSubWindow*> subs = area->subWindowList();
    ASSERT_EQ(subs.size(), 2);
    auto* janela = mdi->findChild<QMenu*>("MnuJanela");
    const auto listed = [janela] {
        emit janela->aboutToShow();
        QStringList out;
        for (QAction* a : janela->actions())
            if (a->objectName().startsWith("MnuJanelaLista")) out << (a->isChecked() ? "*" : "") + a->text();
        return out;
    };
    EXPECT_EQ(listed(), (QStringList{"&1 Clientes", "*&2 Comprovante de Retirada"}));
    area->setActiveSubWindow(subs[0]);
    EXPECT_EQ(listed(), (QStringList{"*&1 Clientes", "&2 Comprovante de Retirada"})) << "listed once, the new active";
    mdi->findChild<QAction*>("MnuJanelaLista(2)")->trigger();
    EXPECT_EQ(area->activeSubWindow(), subs[1]);

    action("MnuCascata")->trigger();
    EXPECT_GT(subs[1]->x(), subs[0]->x());
    EXPECT_GT(subs[1]->y(), subs[0]->y());
    action("MnuHorizontal")->trigger();   // one above the other
    EXPECT_EQ(subs[0]->x(), subs[1]->x());
    EXPECT_GE(subs[1]->y(), subs[0]->geometry().bottom());
    action("MnuVertical")->trigger();     // side by side
    EXPECT_EQ(subs[0]->y(), subs[1]->y());
    EXPECT_GE(subs[1]->x(), subs[0]->geometry().right());

    // A minimized window stays minimized and out of the tiling: the other takes the first place and the whole height.
    subs[0]->showMinimized();
    const QRect vertical = subs[1]->geometry();
    action("MnuHorizontal")->trigger();
    EXPECT_TRUE(subs[0]->isMinimized());
    EXPECT_EQ(subs[1]->y(), 0);
    EXPECT_GT(subs[1]->height(), vertical.height() / 2);
    // Chosen from the list, it comes back.
    listed();
    mdi->findChild<QAction*>("MnuJanelaLista(1)")->trigger();
    EXPECT_FALSE(subs[0]->isMinimized());
    EXPECT_EQ(area->activeSubWindow(), subs[0]);
}

TEST(Fonts, TheOriginalDesktopFacesFallBackToInstalledFreeFaces) {
    Fonts::installSubstitutes();
    const std::pair<const char*, const char*> faces[] = {
        {"Lucida Sans", "DejaVu Sans Condensed"}, {"Verdana", "DejaVu Sans"},        {"Comic Sans MS", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},             {"Arial Narrow", "Liberation Sans Narrow"},
        {"Times New Roman", "Liberation Serif"},  {"Courier New", "Liberation Mono"}};
    for (const auto& [family, expected] : faces) EXPECT_EQ(QFontInfo(QFont(family)).family(), expected) << family;
}

TARVEL_TEST_MAIN()

#include "test_frmmdi.moc"
