#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A private print server for a test run: `cupsd -f` as a child process in a
// temporary folder, with two cups-pdf queues whose PDFs land in folders of
// their own there: the default queue, whose whole A4 page is printable, and a
// queue whose printer declares hardware margins of `Margin` millimetres on
// every side, as a typical laser or inkjet printer does. CUPS_SERVER points at
// the server while it runs. Call start() before anything asks CUPS for
// printers; where it cannot start, whyNot() says why.
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

    static constexpr double Margin = 4.2;
    QString queue() const { return m_queue; }
    QString marginQueue() const { return m_queue + QStringLiteral("_Margens"); }
    QString socket() const;
    // Makes a queue the server's default printer.
    bool makeDefault(const QString& queue);

    // Waits for no pending job and `count` PDFs of a queue (the default
    // queue when none is named); returns them, oldest first.
    QStringList waitForPdfs(int count, int timeoutMs = 30000, const QString& queue = {});
    QStringList newPdfs(const QString& queue = {}) const;

private:
    bool command(const QString& program, const QStringList& args, QString* output = nullptr) const;
    bool fail(const QString& why);
    bool addQueue(const QString& name, const QString& ppd);
    QString pdfFolder(const QString& queue) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    QProcess m_cupsd;
    bool m_running = false;
    QString m_whyNot;
    QString m_queue;
    QStringList m_queueConfigs;
    QByteArray m_oldServer;
    bool m_hadServer = false;
};
