#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A private print server for a test run: `cupsd -f` as a child process with
// its configuration, spool, cache, state and logs in a temporary folder,
// listening on a socket there, with one PDF queue (the cups-pdf backend) as
// its default destination. CUPS_SERVER points at the socket while it runs,
// so "the default printer" of the program is this queue. cups-pdf writes
// each job into the "PDF" folder of the user who printed it, unless its
// queue has a configuration of its own: the queue's name is unique to the
// run and its configuration sends the PDFs into the run's temporary folder,
// so that runs at the same time never see each other's PDFs. The server is
// stopped by its process id; the queue's configuration and the PDFs go with
// the temporary folder.
//
// Call start() before anything in the process asks CUPS for printers. Where
// a server cannot be started (not root, CUPS or cups-pdf not installed),
// running() is false and whyNot() says why.
class PrintServer {
public:
    PrintServer() = default;
    ~PrintServer();
    PrintServer(const PrintServer&) = delete;
    PrintServer& operator=(const PrintServer&) = delete;

    bool start();
    void stop();
    bool running() const { return m_running; }
    QString whyNot() const { return m_whyNot; }

    QString queue() const { return m_queue; }
    QString socket() const;

    // Stops (cupsdisable) and restarts (cupsenable) the queue.
    bool disableQueue();
    bool enableQueue();
    // Makes the queue refuse new jobs (cupsreject) and accept them again (cupsaccept).
    bool rejectJobs();
    bool acceptJobs();

    // Waits until no job is pending and `count` new PDFs stand in the PDF
    // folder; returns them, oldest first (fewer when the wait timed out).
    QStringList waitForPdfs(int count, int timeoutMs = 30000);
    // The new PDFs now.
    QStringList newPdfs() const;

private:
    bool command(const QString& program, const QStringList& args, QString* output = nullptr) const;
    bool fail(const QString& why);

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_cupsd;
    bool m_running = false;
    QString m_whyNot;
    QString m_pdfFolder;
    QString m_queue;
    QString m_queueConfig;
    QByteArray m_oldServer;
    bool m_hadServer = false;
};
