// The desk tools: the calculator, the calendar and the about box behind the
// main window's entries; the desktop's programs behind the links; the backup
// explanation's folder.
#include "app/desktoplinks.h"
#include "app/desktools.h"
#include "app/frmabout.h"
#include "app/frmcalend.h"
#include "app/appicons.h"
#include "app/frminfo.h"
#include "apptest.h"
#include "store/clock.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scenario.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString NoPage = "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando "
                       "corretamente\r";
const QString NoInfo = "Não foi possível exibir as Informações do Sistema";

const QDate Today(2026, 12, 6);

class DeskEntriesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Clock::set(QDateTime(Today, QTime(9, 30)));
        registerDeskTools();
        start();
    }
};

class AboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        about = std::make_unique<frmAbout>();
        about->show();
        about->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(about.get()));
    }
    QLabel* label(const char* name) { return about->findChild<QLabel*>(name); }
    QColor colour(const char* name) { return label(name)->palette().color(QPalette::WindowText); }

    FakeDesktop desktop;
    std::unique_ptr<frmAbout> about;
};

const QColor Blue(0, 0, 255);
const QColor Purple(128, 0, 128);

class DeskToolsTest : public MainWindowTest {
protected:
    FakeDesktop desktop;
};

struct TemporaryPath {   // a PATH of the test's own while the object lives
    QTemporaryDir dir;
    QByteArray old = qgetenv("PATH");
    TemporaryPath() { qputenv("PATH", QFile::encodeName(dir.path())); }
    ~TemporaryPath() { qputenv("PATH", old); }
    QString add(const QString& name) {   // an executable of that name; its path
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return f.fileName();
    }
};

} // namespace

TEST_F(DeskEntriesTest, TheEntriesOpenTheCalculatorTheCalendarAndTheAboutBox) {
    for (const char* name : {"MnuCal", "MnuCalendario", "MnuSobrePrograma"})
        EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_EQ(action("MnuCal")->shortcut(), QKeySequence(Qt::Key_F6));

    {
        ModalScript calc([](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), "Calculadora Tarvel");
            EXPECT_EQ(dlg->findChild<QLabel*>("LblDisplay")->text(), "0");
            dlg->findChild<QPushButton*>("BtFechar")->click();
        }, 10000, "FrmCalculadora");
        action("MnuCal")->trigger();
        EXPECT_TRUE(calc.done());
    }
    {
        ModalScript about([](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), "Sobre Tarvel");
            EXPECT_EQ(dlg->findChild<QLabel*>("lblTitle")->text(), "Tarvel");
            EXPECT_EQ(dlg->findChild<QLabel*>("lblVersion")->text(), "Versão 1.0.");
            dlg->findChild<QPushButton*>("cmdOK")->click();
        }, 10000, "frmAbout");
        action("MnuSobrePrograma")->trigger();
        EXPECT_TRUE(about.done());
    }

    // The calendar stands beside the main window, one of it at a time.
    action("MnuCalendario")->trigger();
    auto* calend = mdi->findChild<frmCalend*>();
    ASSERT_NE(calend, nullptr);
    EXPECT_TRUE(calend->isVisible());
    EXPECT_TRUE(calend->isWindow());
    EXPECT_FALSE(calend->isModal());
    EXPECT_EQ(calend->windowTitle(), "Calendário");
    action("MnuCalendario")->trigger();
    EXPECT_EQ(mdi->findChildren<frmCalend*>().size(), 1);
    calend->findChild<QPushButton*>("BtFechar")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mdi->findChild<frmCalend*>(), nullptr) << "closing lets it go";
}

TEST_F(DeskEntriesTest, TheCalendarComesBackToTodayWhenActivated) {
    action("MnuCalendario")->trigger();
    auto* calend = mdi->findChild<frmCalend*>();
    ASSERT_NE(calend, nullptr);
    auto* calendario = calend->findChild<QCalendarWidget*>("Calendario");
    EXPECT_EQ(calendario->selectedDate(), Today);
    EXPECT_EQ(calend->findChild<QPushButton*>("BtFechar")->text(), "&Cancelar");

    calendario->showNextMonth();
    calendario->showNextMonth();
    calendario->setSelectedDate(QDate(2027, 2, 14));
    EXPECT_EQ(calendario->monthShown(), 2);
    // The operator goes to the main window and comes back.
    mdi->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mdi.get()));
    calend->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calend));
    EXPECT_EQ(calendario->selectedDate(), Today);
    EXPECT_EQ(calendario->monthShown(), 12);
    EXPECT_EQ(calendario->yearShown(), 2026);
}

TEST_F(AboutTest, LinksOpenTheDesktopsProgramsAndTurnPurpleOnlyThen) {
    const QString noMail = "Não foi possível abrir o Gerenciador padrão de E-mail\r";
    {
        // No mail program and no browser: told at once, nothing started.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        boxes.answer(MsgAnswer::Ok);
        QTest::mouseClick(label("LblEmail"), Qt::LeftButton);
        QTest::mouseClick(label("LblSite"), Qt::LeftButton);
        ASSERT_EQ(boxes.log().size(), 2);
        EXPECT_EQ(boxes.log()[0].text, noMail + "Nenhum programa desta área de trabalho está associado a "
                                                "x-scheme-handler/mailto 31 xdg-mime");
        EXPECT_EQ(boxes.log()[1].text, NoPage + "Nenhum programa desta área de trabalho está associado a "
                                                "x-scheme-handler/http 31 xdg-mime");
        for (const ShownBox& box : boxes.log()) {
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
            EXPECT_EQ(box.title, "Tarvel");
        }
        EXPECT_TRUE(desktop.launches.isEmpty());
        EXPECT_EQ(colour("LblEmail"), Blue);
        EXPECT_EQ(colour("LblSite"), Blue);
        EXPECT_TRUE(about->isVisible()) << "the about box stays";
    }
    desktop.defaults.insert("x-scheme-handler/mailto", "mail.desktop");
    desktop.defaults.insert("x-scheme-handler/http", "browser.desktop");
    {
        ScriptedBoxes boxes;
        QTest::mouseClick(label("LblEmail"), Qt::LeftButton);
        ASSERT_EQ(desktop.launches.size(), 1);
        EXPECT_EQ(desktop.launches[0].program, "xdg-open");
        EXPECT_EQ(desktop.launches[0].arguments,
                  QStringList{"mailto:" + label("LblEmail")->text() + "?subject=Tarvel"});
        EXPECT_EQ(colour("LblEmail"), Purple);
        EXPECT_EQ(colour("LblSite"), Blue);
        QTest::mouseClick(label("LblSite"), Qt::LeftButton);
        ASSERT_EQ(desktop.launches.size(), 2);
        EXPECT_EQ(desktop.launches[1].arguments, QStringList{"http://" + FrmMdi::webAddress()});
        EXPECT_EQ(label("LblSite")->text(), FrmMdi::webAddress());
        EXPECT_EQ(colour("LblSite"), Purple);
        // The browser ending badly later says nothing over other windows.
        desktop.lastFailure(4, "xdg-open: o programa não conseguiu abrir o arquivo");
        EXPECT_TRUE(boxes.log().isEmpty());
    }
}

TEST_F(AboutTest, TheLinkUnderTheMouseIsEmphasised) {
    QLabel* email = label("LblEmail");
    QLabel* site = label("LblSite");
    EXPECT_EQ(email->font().pointSize(), 8);
    EXPECT_EQ(email->cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(email);
    EXPECT_EQ(email->font().pointSize(), 9);
    EXPECT_TRUE(email->font().underline());
    EXPECT_FALSE(site->font().underline());
    QTest::mouseMove(about.get(), QPoint(5, about->height() - 5));
    EXPECT_EQ(email->font().pointSize(), 8);
    EXPECT_FALSE(email->font().underline());
}

TEST_F(DeskToolsTest, TheDesktopsProgramsOrAMessageAtOnce) {
    TemporaryPath path;
    QString hardinfo;
    bool opened = false;
    const auto launched = [&](const QString& program, const QStringList& arguments, bool ok = true) {
        return [=, &opened, this] {
            EXPECT_EQ(opened, ok);
            ASSERT_EQ(desktop.launches.size(), 1);
            EXPECT_EQ(desktop.launches[0].program, program);
            EXPECT_EQ(desktop.launches[0].arguments, arguments);
        };
    };
    const auto none = [&] { return [&opened, this] { EXPECT_FALSE(opened); EXPECT_TRUE(desktop.launches.isEmpty()); }; };
    const auto web = [&] { opened = DesktopLinks::openWebPage("www.exemplo.com.br"); };
    const auto mail = [&] { opened = DesktopLinks::openMail("ana@exemplo.com.br"); };
    const auto info = [&] { opened = DesktopLinks::StartSysInfo(); };
    const auto browser = [this] { desktop.defaults.insert("x-scheme-handler/http", "browser.desktop"); };
    const auto reset = [this] { desktop.launches.clear(); desktop.defaults.clear(); desktop.starts = true; };
    for (const Scenario& s : QList<Scenario>{
             {"no browser", nullptr, web, {{NoPage + "Nenhum programa desta área de trabalho está associado a "
                                                     "x-scheme-handler/http 31 xdg-mime"}}, {}, none()},
             {"the browser", browser, web, {}, {}, launched("xdg-open", {"http://www.exemplo.com.br"})},
             {"an opener that cannot start", [&] { browser(); desktop.starts = false; }, web,
              {{NoPage + "xdg-open não pôde ser iniciado 5 xdg-open"}}, {}, launched("xdg-open", {"http://www.exemplo.com.br"}, false)},
             {"the mail program", [&] { desktop.defaults.insert("x-scheme-handler/mailto", "mail.desktop"); }, mail, {}, {},
              launched("xdg-open", {"mailto:ana@exemplo.com.br?subject=Tarvel"})},
             {"no system-information program", nullptr, info, {{NoInfo}}, {}, none()},
             {"the first installed of the list", [&] { path.add("gnome-system-monitor"); hardinfo = path.add("hardinfo"); },
              info, {}, {}, [&] { launched(hardinfo, {})(); }},
             {"one that cannot start", [&] { desktop.starts = false; }, info, {{NoInfo}}, {}, [&] { launched(hardinfo, {}, false)(); }},
         }) {
        reset();
        runScenario(s);
    }
}

// The program's pictures are solid inside their outlines: no pixel the background shows through that the
// picture's edge does not reach.
TEST(Pictures, HaveNoHolesInsideTheirOutlines) {
    std::vector<std::pair<QString, QPixmap>> pictures{{"backupDisk", AppIcons::backupDisk(64)},
                                                      {"lockedDatabase", AppIcons::lockedDatabase(64)},
                                                      {"printer", AppIcons::printer(64)},
                                                      {"calendar", AppIcons::calendar(64)},
                                                      {"calculator", AppIcons::calculator(64)}};
    for (const char* key : {"Clientes", "Retirada", "Manutencao", "Entregues", "Protecao", "Sair"})
        pictures.emplace_back(key, AppIcons::toolbar(key).pixmap(64, 64));
    for (const auto& [name, picture] : pictures) {
        const QImage img = picture.toImage().convertToFormat(QImage::Format_ARGB32);
        // The clear pixels reached from the edge, four ways.
        QSet<int> outside;
        QList<QPoint> todo;
        for (int i = 0; i < 64; ++i) todo << QPoint(i, 0) << QPoint(i, 63) << QPoint(0, i) << QPoint(63, i);
        while (!todo.isEmpty()) {
            const QPoint p = todo.takeLast();
            if (!img.rect().contains(p) || qAlpha(img.pixel(p)) != 0 || outside.contains(p.y() * 64 + p.x())) continue;
            outside << p.y() * 64 + p.x();
            todo << p + QPoint(1, 0) << p - QPoint(1, 0) << p + QPoint(0, 1) << p - QPoint(0, 1);
        }
        int holes = 0;
        for (int y = 0; y < 64; ++y)
            for (int x = 0; x < 64; ++x) holes += qAlpha(img.pixel(x, y)) == 0 && !outside.contains(y * 64 + x);
        EXPECT_EQ(holes, 0) << name.toStdString();
    }
}

TEST(FrmInfoText, NamesTheFolderInTheHome) {
    TemporaryHome home;
    EXPECT_TRUE(FrmInfo::text().contains("Localize a Pasta \"BackUp Os\" em \"" + home.path() + "/Meus Documentos\""));
}

TARVEL_TEST_MAIN()
