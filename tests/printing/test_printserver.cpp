// Printing through the real path once: the program's default printer is the
// PDF queue of a private print server started for this run.
#include "printdata.h"
#include "printing/frmimpressao.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/othercopy.h"
#include "support/printserver.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

namespace {

PrintServer* server = nullptr;

class PrintServerTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        // The machine's set-up installs CUPS and cups-pdf: a server that does
        // not start is a failure, never a quiet skip.
        ASSERT_TRUE(server->running()) << "no private print server: " << server->whyNot().toStdString();
        ProgramFolderTest::SetUp();
        m_previous = Printing::setDefaultTarget(nullptr);   // the desktop's default printer
    }
    void TearDown() override {
        if (!server->running()) return;
        Printing::setDefaultTarget(m_previous);
        ProgramFolderTest::TearDown();
    }

private:
    std::shared_ptr<PrintTarget> m_previous;
};

} // namespace

// An order lands as one A4 page named after its job, and is counted.
TEST_F(PrintServerTest, ServiceOrderLandsAtTheDefaultPrinter) {
    const qint64 os = PrintData::addOrder();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    Modulo::OsAtual = std::int32_t(os);
    {
        FrmImpressao w;
        w.findChild<QPushButton*>("BtIniciar")->click();
        w.findChild<WindowTimer*>("Timer1")->fire();
    }
    EXPECT_EQ(PrintData::via(os), 1);
    const QStringList pdfs = server->waitForPdfs(1);
    ASSERT_EQ(pdfs.size(), 1);
    // Named after the job; the text is not searchable after PostScript.
    EXPECT_TRUE(pdfs[0].contains(QStringLiteral("Ordem_de_Servi"))) << pdfs[0].toStdString();
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdfs[0]});
    info.waitForFinished(30000);
    const QString text = QString::fromUtf8(info.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\b")))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("595 x 842 pts"))) << text.toStdString();
}

// A stopped queue, and a queue that refuses new jobs: the failure message
// with the printer's words, no PDF (the started document is dropped), Via
// unchanged; the window closes.
TEST_F(PrintServerTest, StoppedOrRefusingQueueGivesTheFailureMessage) {
    const auto queue = [](const char* program) {
        QProcess p;
        p.start(QString::fromLatin1(program), {server->queue()});
        return p.waitForFinished(20000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    };
    const qint64 os = PrintData::addOrder();
    Modulo::OsAtual = std::int32_t(os);
    const QStringList before = server->newPdfs();   // other tests' pages
    for (const bool stopped : {true, false}) {
        SCOPED_TRACE(stopped ? "stopped" : "refusing");
        ASSERT_TRUE(queue(stopped ? "cupsdisable" : "cupsreject"));
        QList<ShownBox> boxes;
        {
            ScriptedBoxes scripted(false);
            FrmImpressao w;
            w.show();
            w.findChild<QPushButton*>("BtIniciar")->click();
            w.findChild<WindowTimer*>("Timer1")->fire();
            EXPECT_FALSE(w.isVisible());
            boxes = scripted.log();
        }
        ASSERT_TRUE(queue(stopped ? "cupsenable" : "cupsaccept"));
        ASSERT_EQ(boxes.size(), 1);
        EXPECT_EQ(boxes[0].title, "Erro de Impressão");
        EXPECT_EQ(boxes[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("Não foi possível imprimir esta Ordem de Serviço\rVerifique se "
                                                             "a impressora está ligada e funcionando corretamente!\r")))
            << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.endsWith(QStringLiteral("__483"))) << boxes[0].text.toStdString();
        EXPECT_TRUE(boxes[0].text.contains(stopped ? QStringLiteral("está parada") : QStringLiteral("não aceitou")))
            << boxes[0].text.toStdString();
        EXPECT_EQ(PrintData::via(os), 0);
        EXPECT_EQ(server->waitForPdfs(int(before.size()) + 1, 1500), before);
    }
}

int main(int argc, char** argv) {
    PrintServer s;
    server = &s;
    if (!OtherCopy::serve(argc, argv)) s.start();
    return TestMain::run(argc, argv);
}
