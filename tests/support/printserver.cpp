#include "printserver.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString Ppd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString Backend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");

bool writeFile(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    f.write(text.toUtf8());
    return true;
}

} // namespace

PrintServer::~PrintServer() { stop(); }

QString PrintServer::socket() const { return m_dir ? m_dir->filePath(QStringLiteral("cups.sock")) : QString(); }

bool PrintServer::fail(const QString& why) {
    m_whyNot = why;
    stop();
    return false;
}

bool PrintServer::command(const QString& program, const QStringList& args, QString* output) const {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socket());
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return false;
    }
    if (output) *output = QString::fromUtf8(p.readAllStandardOutput()) + QString::fromUtf8(p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

bool PrintServer::start() {
    if (m_running) return true;
    if (geteuid() != 0) return fail(QStringLiteral("the private print server needs root (its jobs run as lp)"));
    for (const QString& f : {QStringLiteral("/usr/sbin/cupsd"), Backend, Ppd})
        if (!QFileInfo::exists(f)) return fail(f + QStringLiteral(" is not installed"));
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarvel-cups-XXXXXX"));
    if (!m_dir->isValid()) return fail(QStringLiteral("no temporary folder"));
    const QString d = m_dir->path();
    m_queue = QStringLiteral("TarvelPDF_%1").arg(QCoreApplication::applicationPid());
    chmod(QFile::encodeName(d).constData(), 0755);
    for (const char* sub : {"spool", "cache", "state", "tmp", "log", "ppd"}) QDir(d).mkpath(QString::fromLatin1(sub));
    // The filters run as lp and write their temporary files here.
    const passwd* lp = getpwnam("lp");
    if (!lp) return fail(QStringLiteral("no user lp"));
    const QByteArray tmp = QFile::encodeName(d + QStringLiteral("/tmp"));
    if (chown(tmp.constData(), lp->pw_uid, lp->pw_gid) != 0 || chmod(tmp.constData(), 01770) != 0)
        return fail(QStringLiteral("cannot hand the spool's temporary folder to lp"));

    const bool ok = writeFile(d + QStringLiteral("/cupsd.conf"),
                              QStringLiteral("Listen %1\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                             "DefaultAuthType None\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n    Allow all\n"
                                             "  </Limit>\n</Policy>\n")
                                  .arg(socket())) &&
                    writeFile(d + QStringLiteral("/cups-files.conf"),
                              QStringLiteral("User lp\nGroup lp\nSystemGroup root\nServerRoot %1\n"
                                             "RequestRoot %1/spool\nCacheDir %1/cache\nStateDir %1/state\n"
                                             "TempDir %1/tmp\nServerBin /usr/lib/cups\nDataDir /usr/share/cups\n"
                                             "AccessLog %1/log/access_log\nErrorLog %1/log/error_log\n"
                                             "PageLog %1/log/page_log\n")
                                  .arg(d));
    if (!ok) return fail(QStringLiteral("cannot write the server's configuration"));

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(QStringLiteral("/usr/sbin/cupsd"),
                  {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"), QStringLiteral("-s"),
                   d + QStringLiteral("/cups-files.conf")});
    if (!m_cupsd.waitForStarted(10000)) return fail(QStringLiteral("cupsd did not start"));
    QDeadlineTimer deadline(15000);
    while (!QFileInfo::exists(socket())) {
        if (deadline.hasExpired() || m_cupsd.state() != QProcess::Running)
            return fail(QStringLiteral("cupsd did not listen: ") + QString::fromUtf8(m_cupsd.readAll()));
        QThread::msleep(50);
    }
    m_running = true;
    // The margins queue: the same printer, its A4 page printable only inside
    // `Margin` millimetres from every edge.
    QFile original(Ppd);
    if (!original.open(QIODevice::ReadOnly)) return fail(QStringLiteral("cannot read ") + Ppd);
    const double edge = Margin / 25.4 * 72.0;
    const auto points = [](double v) { return QString::number(v, 'f', 2); };
    QString ppd = QString::fromUtf8(original.readAll());
    ppd.replace(QStringLiteral("*HWMargins: 0 0 0 0"),
                QStringLiteral("*HWMargins: %1 %1 %1 %1").arg(points(edge)));
    ppd.replace(QStringLiteral("*ImageableArea A4/A4: \"0 0 595 842\""),
                QStringLiteral("*ImageableArea A4/A4: \"%1 %1 %2 %3\"")
                    .arg(points(edge), points(595 - edge), points(842 - edge)));
    const QString marginsPpd = d + QStringLiteral("/ppd/margins.ppd");
    if (!writeFile(marginsPpd, ppd)) return fail(QStringLiteral("cannot write ") + marginsPpd);
    if (!addQueue(queue(), Ppd) || !addQueue(marginQueue(), marginsPpd) || !makeDefault(queue()))
        return fail(m_whyNot);

    m_hadServer = qEnvironmentVariableIsSet("CUPS_SERVER");
    m_oldServer = qgetenv("CUPS_SERVER");
    qputenv("CUPS_SERVER", QFile::encodeName(socket()));
    return true;
}

void PrintServer::stop() {
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();   // SIGTERM to the server's own process id
        if (!m_cupsd.waitForFinished(10000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(5000);
        }
    }
    for (const QString& config : std::as_const(m_queueConfigs)) QFile::remove(config);
    m_queueConfigs.clear();
    if (m_running) {
        if (m_hadServer) qputenv("CUPS_SERVER", m_oldServer);
        else qunsetenv("CUPS_SERVER");
    }
    m_running = false;
    m_dir.reset();
}

QString PrintServer::pdfFolder(const QString& queue) const {
    return m_dir ? m_dir->filePath(QStringLiteral("pdf-") + (queue.isEmpty() ? m_queue : queue)) : QString();
}

bool PrintServer::addQueue(const QString& name, const QString& ppd) {
    // The device "cups-pdf:/<name>" reads cups-pdf-<name>.conf after the common one.
    const QString config = QStringLiteral("/etc/cups/cups-pdf-%1.conf").arg(name);
    m_queueConfigs << config;
    if (!writeFile(config, QStringLiteral("Out %1\n").arg(pdfFolder(name)))) {
        m_whyNot = QStringLiteral("cannot write ") + config;
        return false;
    }
    QString out;
    if (!command(QStringLiteral("lpadmin"), {QStringLiteral("-p"), name, QStringLiteral("-E"), QStringLiteral("-v"),
                                            QStringLiteral("cups-pdf:/") + name, QStringLiteral("-P"), ppd},
                 &out)) {
        m_whyNot = QStringLiteral("lpadmin failed: ") + out;
        return false;
    }
    return true;
}

bool PrintServer::makeDefault(const QString& queue) {
    QString out;
    if (command(QStringLiteral("lpadmin"), {QStringLiteral("-d"), queue}, &out)) return true;
    m_whyNot = QStringLiteral("lpadmin -d failed: ") + out;
    return false;
}

QStringList PrintServer::newPdfs(const QString& queue) const {
    QStringList out;
    for (const QFileInfo& f :
         QDir(pdfFolder(queue)).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Time | QDir::Reversed))
        out << f.absoluteFilePath();
    return out;
}

QStringList PrintServer::waitForPdfs(int count, int timeoutMs, const QString& queue) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QString pending;
        command(QStringLiteral("lpstat"), {QStringLiteral("-o")}, &pending);
        if (pending.trimmed().isEmpty() && newPdfs(queue).size() >= count) break;
        QThread::msleep(100);
    }
    return newPdfs(queue);
}
