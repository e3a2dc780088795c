// The desk tools on the main window's entries: the calculator, the calendar
// beside the main window and the about box with its links and the
// system-information program; the backup explanation's folder.
#include "app/backup.h"
#include "app/desktools.h"
#include "app/frmabout.h"
#include "app/frmcalculadora.h"
#include "app/frmcalend.h"
#include "app/frminfo.h"
#include "apptest.h"
#include "store/clock.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"

#include <QCalendarWidget>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDate Today(2026, 12, 6);

class DeskToolsTest : public MainWindowTest {
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

// A PATH of the test's own while the object lives.
class TemporaryPath {
public:
    TemporaryPath() : m_old(qgetenv("PATH")) { qputenv("PATH", QFile::encodeName(m_dir.path())); }
    ~TemporaryPath() { qputenv("PATH", m_old); }
    // Puts an executable of that name in the PATH; returns its path.
    QString addProgram(const QString& name) {
        QFile f(m_dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
        return f.fileName();
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_old;
};

const QColor Blue(0, 0, 255);
const QColor Purple(128, 0, 128);

} // namespace

TEST_F(DeskToolsTest, TheEntriesOpenTheCalculatorTheCalendarAndTheAboutBox) {
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
            EXPECT_EQ(dlg->findChild<QLabel*>("lblVersion")->text(), QString::fromUtf8("Versão 1.0."));
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
    EXPECT_EQ(calend->windowTitle(), QString::fromUtf8("Calendário"));
    action("MnuCalendario")->trigger();
    EXPECT_EQ(mdi->findChildren<frmCalend*>().size(), 1);
    calend->findChild<QPushButton*>("BtFechar")->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(mdi->findChild<frmCalend*>(), nullptr) << "closing lets it go";
}

TEST_F(DeskToolsTest, TheCalendarComesBackToTodayWhenActivated) {
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
    const QString noMail = QString::fromUtf8("Não foi possível abrir o Gerenciador padrão de E-mail\r");
    const QString noPage = QString::fromUtf8(
        "Não foi possível abrir esta página da Internet\rVerifique se a sua conexão está funcionando corretamente\r");
    {
        // No mail program and no browser: told at once, nothing started.
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        boxes.answer(MsgAnswer::Ok);
        QTest::mouseClick(label("LblEmail"), Qt::LeftButton);
        QTest::mouseClick(label("LblSite"), Qt::LeftButton);
        ASSERT_EQ(boxes.log().size(), 2);
        EXPECT_EQ(boxes.log()[0].text, noMail + QString::fromUtf8("Nenhum programa desta área de trabalho está "
                                                                  "associado a x-scheme-handler/mailto 31 xdg-mime"));
        EXPECT_EQ(boxes.log()[1].text, noPage + QString::fromUtf8("Nenhum programa desta área de trabalho está "
                                                                  "associado a x-scheme-handler/http 31 xdg-mime"));
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

TEST_F(AboutTest, TheSystemInformationProgramIsStartedWhenInstalled) {
    TemporaryPath path;
    const QString failed = QString::fromUtf8("Não foi possível exibir as Informações do Sistema");
    auto* button = about->findChild<QPushButton*>("cmdSysInfo");
    EXPECT_EQ(button->text(), "&Seu Sistema");
    {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        button->click();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, failed);
        EXPECT_EQ(boxes.log()[0].title, "Tarvel");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
        EXPECT_TRUE(desktop.launches.isEmpty());
    }
    // The first program of the list that is installed.
    path.addProgram("gnome-system-monitor");
    const QString hardinfo = path.addProgram("hardinfo");
    {
        ScriptedBoxes boxes;
        button->click();
        ASSERT_EQ(desktop.launches.size(), 1);
        EXPECT_EQ(desktop.launches[0].program, hardinfo);
        EXPECT_TRUE(boxes.log().isEmpty());
        // One that cannot be started is told.
        desktop.starts = false;
        boxes.answer(MsgAnswer::Ok, failed);
        button->click();
        EXPECT_EQ(boxes.log().size(), 1);
    }
}

TEST(FrmInfoText, KeepsItsWordingWithTheFolderInTheHome) {
    TemporaryHome home;
    const QString documents = QDir::toNativeSeparators(home.path() + "/Meus Documentos");
    EXPECT_EQ(QFileInfo(Backup::folder()).path(), home.path() + "/Meus Documentos");
    EXPECT_TRUE(FrmInfo::text().endsWith(QString::fromUtf8("é aconselhável esvaziar esta pasta peridiocamente. "
                                                           "Localize a Pasta \"BackUp Os\" em \"") +
                                         documents + "\", e Exclua os Arquivos mais Antigos"));
    FrmInfo info;
    EXPECT_EQ(info.findChild<QLabel*>("Label1")->text(), FrmInfo::text());
}

TARVEL_TEST_MAIN()
