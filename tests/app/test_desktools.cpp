// The desk tools: the desktop's programs behind the links, the calculator,
// the calendar and the about box on the main window's entries, the backup
// explanation's folder.
#include "app/backup.h"
#include "app/desktoplinks.h"
#include "app/desktools.h"
#include "app/frmabout.h"
#include "app/frmcalend.h"
#include "app/frminfo.h"
#include "apptest.h"
#include "store/clock.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scenario.h"
#include "support/testmain.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate Today(2026, 12, 6);
const QString NoPage = "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando "
                       "corretamente\r";
const QString NoInfo = "Não foi possível exibir as Informações do Sistema";

class DeskToolsTest : public MainWindowTest {
protected:
    FakeDesktop desktop;
};

// A PATH of the test's own while the object lives.
class TemporaryPath {
public:
    TemporaryPath() : m_old(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(m_dir.path())); }
    ~TemporaryPath() { qputenv("PATH", m_old); }
    // Puts an executable of that name in the PATH; returns its path.
    QString add(const QString& name) {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return f.fileName();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

} // namespace

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
             {"no mail program", nullptr, mail, {{"Não foi possível abrir o Gerenciador padrão de E-mail\rNenhum programa"}},
              {}, none()},
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

TEST_F(DeskToolsTest, TheEntriesOpenTheCalculatorTheAboutBoxAndOneCalendar) {
    Clock::set(QDateTime(Today, QTime(9, 30)));
    registerDeskTools();
    start();
    for (const char* name : {"FrmCalculadora", "frmAbout"}) {
        ModalScript script([](QWidget* dlg) { dlg->close(); }, 10000, name);
        action(name == QLatin1String("frmAbout") ? "MnuSobrePrograma" : "MnuCal")->trigger();
        EXPECT_TRUE(script.done());
    }
    // The calendar stands beside the main window, one at a time, back on
    // today whenever it is activated.
    action("MnuCalendario")->trigger();
    action("MnuCalendario")->trigger();
    ASSERT_EQ(mdi->findChildren<frmCalend*>().size(), 1);
    auto* calend = mdi->findChild<frmCalend*>();
    EXPECT_TRUE(calend->isVisible() && calend->isWindow() && !calend->isModal());
    auto* calendario = calend->findChild<QCalendarWidget*>("Calendario");
    calendario->setSelectedDate(QDate(2027, 2, 14));
    mdi->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(mdi.get()));
    calend->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(calend));
    EXPECT_EQ(calendario->selectedDate(), Today);
    EXPECT_EQ(calendario->monthShown(), 12);
    calend->findChild<QPushButton*>("BtFechar")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mdi->findChild<frmCalend*>(), nullptr) << "closing lets it go";
}

TEST_F(DeskToolsTest, TheAboutBoxLinksTurnPurpleOnlyWhenOpened) {
    frmAbout about;
    about.show();
    about.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&about));
    auto* email = about.findChild<QLabel*>("LblEmail");
    auto* site = about.findChild<QLabel*>("LblSite");
    const auto colour = [](QLabel* l) { return l->palette().color(QPalette::WindowText); };
    const QColor blue(0, 0, 255), purple(128, 0, 128);
    runScenario({"no programs", nullptr, [&] {
        QTest::mouseClick(email, Qt::LeftButton);
        QTest::mouseClick(site, Qt::LeftButton);
    }, {{"E-mail"}, {"página da Internet"}}, {}, [&] { EXPECT_EQ(colour(email), blue); EXPECT_EQ(colour(site), blue); }});
    desktop.defaults.insert("x-scheme-handler/mailto", "mail.desktop");
    runScenario({"the mail program", nullptr, [&] { QTest::mouseClick(email, Qt::LeftButton); }, {}, {}, [&] {
        EXPECT_EQ(desktop.launches.value(0).arguments, QStringList{"mailto:" + email->text() + "?subject=Tarvel"});
        EXPECT_EQ(colour(email), purple);
        EXPECT_EQ(colour(site), blue);
    }});
    // The link under the mouse is underlined.
    QTest::mouseMove(site);
    EXPECT_TRUE(site->font().underline());
    EXPECT_FALSE(email->font().underline());
    QTest::mouseMove(&about, QPoint(5, about.height() - 5));
    EXPECT_FALSE(site->font().underline());
}

TEST(FrmInfoText, NamesTheFolderInTheHome) {
    TemporaryHome home;
    EXPECT_TRUE(FrmInfo::text().contains("Localize a Pasta \"BackUp Os\" em \"" + home.path() + "/Meus Documentos\""));
}

TARVEL_TEST_MAIN()
