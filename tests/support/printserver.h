#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A private print server for a test run: `cupsd -f` as a child process in a
// temporary folder, its default queue a cups-pdf queue whose PDFs land in that
// folder. CUPS_SERVER points at it while it runs. Call start() before anything
// asks CUPS for printers; where it cannot start, whyNot() says why.
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

    // Waits for no pending job and `count` PDFs; returns them, oldest first.
    QStringList waitForPdfs(int count, int timeoutMs = 30000);
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
