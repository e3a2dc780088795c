// Opening a document or an address: what is decided before the desktop's opener starts.
#include "platform/shell.h"
#include "support/desktop.h"
#include "support/testmain.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

TEST(Shell, OnlyAnExistingDocumentWithAnApplicationIsOpened) {
    QTemporaryDir dir;
    const QString manual = dir.filePath("Manual.doc");
    const QString site = "http://www.tarvel.example", mail = "mailto:suporte@tarvel.example?subject=Tarvel";
    FakeDesktop desktop;
    QStringList asked;   // the kinds the desktop was asked about
    bool hasApplication = false;
    Shell::setDefaultApplicationQuery([&](const QString& mimeType) {
        asked << mimeType;
        return hasApplication ? QStringLiteral("app.desktop") : QString();
    });
    // The code is 0 when opened; the kind is what the desktop is asked (files' kinds are the machine's).
    const struct { QString target; bool exists, application, starts; int code; QString kind; } cases[] = {
        {manual, false, true, true, Shell::Code::FileNotFound, ""},
        {QUrl::fromLocalFile(manual).toString(), false, true, true, Shell::Code::FileNotFound, ""},
        {manual, true, false, true, Shell::Code::NoApplication, ""},
        {site, false, false, true, Shell::Code::NoApplication, "x-scheme-handler/http"},
        {manual, true, true, true, 0, ""},
        {QUrl::fromLocalFile(manual).toString(), true, true, true, 0, ""},
        {site, false, true, true, 0, "x-scheme-handler/http"},
        {mail, false, true, true, 0, "x-scheme-handler/mailto"},
        {site, false, true, false, Shell::Code::NotStarted, "x-scheme-handler/http"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.toStdString() + (c.exists ? " exists" : "") + (c.application ? " app" : ""));
        QFile f(manual);
        ASSERT_TRUE(c.exists ? f.open(QIODevice::WriteOnly) : (f.remove(), true));
        hasApplication = c.application;
        desktop.starts = c.starts;
        desktop.launches.clear();
        asked.clear();
        const std::optional<Shell::Failure> failure = Shell::openWithDefault(c.target);
        EXPECT_EQ(failure ? failure->code : 0, c.code);
        if (!c.kind.isEmpty()) EXPECT_EQ(asked, QStringList{c.kind});
        if (c.code == Shell::Code::FileNotFound) EXPECT_TRUE(asked.isEmpty());
        const bool launched = c.code == 0 || c.code == Shell::Code::NotStarted;
        ASSERT_EQ(desktop.launches.size(), launched ? 1 : 0);
        if (launched) {
            EXPECT_EQ(desktop.launches[0].program, "xdg-open");
            EXPECT_EQ(desktop.launches[0].arguments, QStringList{c.target});
        }
    }
}

TARVEL_TEST_MAIN()
