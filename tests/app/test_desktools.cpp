// The desk tools: the desktop's programs behind the links, the backup explanation's folder.
#include "app/desktoplinks.h"
#include "app/frminfo.h"
#include "apptest.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/scenario.h"
#include "support/testmain.h"

#include <QTemporaryDir>

namespace {

const QString NoPage = "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando "
                       "corretamente\r";
const QString NoInfo = "Não foi possível exibir as Informações do Sistema";

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

TEST(FrmInfoText, NamesTheFolderInTheHome) {
    TemporaryHome home;
    EXPECT_TRUE(FrmInfo::text().contains("Localize a Pasta \"BackUp Os\" em \"" + home.path() + "/Meus Documentos\""));
}

TARVEL_TEST_MAIN()
