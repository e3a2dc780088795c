// Opening documents and addresses in the desktop's default applications: the
// kind of each, the desktop's own query and the decision before starting.
#include "platform/shell.h"
#include "support/desktop.h"
#include "support/files.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

namespace {

// A desktop's settings of the test's own (XDG folders) while the object
// lives, with no desktop session named, so the freedesktop tools read them.
class XdgFolders {
public:
    XdgFolders() {
        for (const char* name : Names) m_old.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)});
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir.filePath("config")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir.filePath("none")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath("data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir.filePath("none")));
        for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
            qunsetenv(name);
        QDir().mkpath(m_dir.filePath("config"));
        QDir().mkpath(m_dir.filePath("data/applications"));
    }
    ~XdgFolders() {
        for (const Saved& s : m_old) s.set ? qputenv(s.name, s.value) : qunsetenv(s.name);
    }
    // The user's choice of default applications.
    void setDefaults(const QByteArray& lines) {
        QFile f(m_dir.filePath("config/mimeapps.list"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Default Applications]\n" + lines);
    }
    void install(const QString& entry, const QByteArray& mimeType) {
        QFile f(m_dir.filePath("data/applications/" + entry));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Desktop Entry]\nType=Application\nName=Editor\nExec=true %f\nMimeType=" + mimeType + ";\n");
    }

private:
    static constexpr const char* Names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                                            "XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION",
                                            "GNOME_DESKTOP_SESSION_ID"};
    struct Saved {
        const char* name;
        QByteArray value;
        bool set;
    };
    QTemporaryDir m_dir;
    QList<Saved> m_old;
};

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& contents) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(contents);
    return f.fileName();
}

} // namespace

TEST(Shell, TheKindOfAnAddressOrDocument) {
    QTemporaryDir dir;
    EXPECT_EQ(Shell::mimeTypeOf("http://www.tarvel.example"), "x-scheme-handler/http");
    EXPECT_EQ(Shell::mimeTypeOf("mailto:suporte@tarvel.example?subject=Tarvel"), "x-scheme-handler/mailto");
    const QString manual = writeFile(dir, QString::fromUtf8("Tarvel - Manual do Usuário.doc"), "{\\rtf1 Manual}");
    EXPECT_EQ(Shell::mimeTypeOf(manual), "application/msword");
    EXPECT_EQ(Shell::mimeTypeOf(writeFile(dir, "lista.pdf", "%PDF-1.4\n")), "application/pdf");
}

TEST(Shell, TheDesktopsOwnQueryNamesOnlyAnInstalledApplication) {
    TemporaryHome home;
    XdgFolders xdg;
    EXPECT_EQ(Shell::defaultApplication("application/msword"), "") << "nothing chosen";
    xdg.setDefaults("application/msword=tarvelwriter.desktop\nx-scheme-handler/http=removed.desktop\n");
    EXPECT_EQ(Shell::defaultApplication("application/msword"), "") << "chosen but not installed";
    xdg.install("tarvelwriter.desktop", "application/msword");
    EXPECT_EQ(Shell::defaultApplication("application/msword"), "tarvelwriter.desktop");
    EXPECT_EQ(Shell::defaultApplication("x-scheme-handler/http"), "");
}

TEST(Shell, NothingStartsWithoutAnApplicationAndOnlyAStartFailureIsReported) {
    QTemporaryDir dir;
    FakeDesktop desktop;
    const QString missing = dir.filePath("Manual.doc");
    std::optional<Shell::Failure> failure = Shell::openWithDefault(missing);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, Shell::Code::FileNotFound);
    EXPECT_TRUE(failure->description.contains(missing));

    const QString manual = writeFile(dir, "Manual.doc", "{\\rtf1 Manual}");
    failure = Shell::openWithDefault(manual);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, Shell::Code::NoApplication);
    EXPECT_EQ(failure->source, "xdg-mime");
    EXPECT_TRUE(failure->description.endsWith("application/msword"));
    EXPECT_TRUE(desktop.launches.isEmpty());

    desktop.defaults.insert("application/msword", "writer.desktop");
    EXPECT_FALSE(Shell::openWithDefault(manual));
    ASSERT_EQ(desktop.launches.size(), 1);
    EXPECT_EQ(desktop.launches[0].program, "xdg-open");
    EXPECT_EQ(desktop.launches[0].arguments, QStringList{manual});
    EXPECT_FALSE(Shell::openWithDefault(QUrl::fromLocalFile(manual).toString())) << "a file: URL is the same file";

    desktop.starts = false;
    failure = Shell::openWithDefault(manual);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, Shell::Code::NotStarted);
    EXPECT_EQ(failure->source, "xdg-open");
}

TARVEL_TEST_MAIN()
