// Printing through the real path: the program's default printer is the PDF
// queue of a private print server started for this run.
#include "printdata.h"
#include "printing/frmimpressao.h"
#include "printing/printer.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/othercopy.h"
#include "support/printserver.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "ui/windowhost.h"

#include <QCheckBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>

using namespace PrintData;

namespace {

PrintServer* server = nullptr;

QString run(const QString& program, const QStringList& args) {
    QProcess proc;
    proc.start(program, args);
    proc.waitForFinished(30000);
    return QString::fromUtf8(proc.readAllStandardOutput());
}

int pages(const QString& pdf) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

class PrintServerTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        if (!server->running()) GTEST_SKIP() << "no private print server: " << server->whyNot().toStdString();
        ProgramFolderTest::SetUp();
        m_previous = Printing::setDefaultTarget(nullptr);   // the desktop's default printer
    }
    void TearDown() override {
        if (!server->running()) return;
        Printing::setDefaultTarget(m_previous);
        ProgramFolderTest::TearDown();
    }

    void runJob(qint64 os) {
        Modulo::OsAtual = std::int32_t(os);
        FrmImpressao w;
        w.findChild<QCheckBox*>("Check3")->setChecked(true);
        w.findChild<QPushButton*>("BtIniciar")->click();
        w.findChild<WindowTimer*>("Timer1")->fire();
    }

private:
    std::shared_ptr<PrintTarget> m_previous;
};

} // namespace

// An order with stub, tags and previous repairs lands as two PDFs: the
// one-page order and the report of its 8 earlier repairs on two pages.
TEST_F(PrintServerTest, ServiceOrderLandsAtTheDefaultPrinter) {
    const qint64 os = addOrder();
    for (int i = 1; i <= 8; ++i) addDelivered(200 + i);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    runJob(os);
    EXPECT_EQ(via(os), 1);
    const QStringList pdfs = server->waitForPdfs(2);
    ASSERT_EQ(pdfs.size(), 2) << pdfs.join(' ').toStdString();
    // cups-pdf names each file after its job; the text went through
    // PostScript and is not searchable any more, the pages are.
    const int order = pdfs[0].contains(QStringLiteral("Ordem_de_Servi")) ? 0 : 1;
    EXPECT_TRUE(pdfs[order].contains(QStringLiteral("Ordem_de_Servi"))) << pdfs[order].toStdString();
    EXPECT_TRUE(pdfs[1 - order].contains(QStringLiteral("Manuten"))) << pdfs[1 - order].toStdString();
    EXPECT_EQ(pages(pdfs[order]), 1);
    EXPECT_EQ(pages(pdfs[1 - order]), 2);
    EXPECT_TRUE(run(QStringLiteral("pdfinfo"), {pdfs[order]}).contains(QStringLiteral("595 x 842 pts")));
    for (const QString& f : pdfs) QFile::remove(f);
}

// A stopped queue, and a queue that refuses new jobs: the failure message,
// no PDF, Via unchanged.
TEST_F(PrintServerTest, StoppedOrRefusingQueueGivesTheFailureMessage) {
    const qint64 os = addOrder();
    for (bool stopped : {true, false}) {
        SCOPED_TRACE(stopped ? "stopped" : "refusing");
        ASSERT_TRUE(stopped ? server->disableQueue() : server->rejectJobs());
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Verifique se a impressora está ligada e funcionando corretamente!");
        runJob(os);
        ASSERT_TRUE(stopped ? server->enableQueue() : server->acceptJobs());
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, "Erro de Impressão");
        EXPECT_TRUE(boxes.log()[0].text.endsWith(QStringLiteral("__483"))) << boxes.log()[0].text.toStdString();
        EXPECT_TRUE(boxes.log()[0].text.contains(stopped ? QStringLiteral("está parada") : QStringLiteral("não aceitou")))
            << boxes.log()[0].text.toStdString();
        EXPECT_EQ(via(os), 0);
        const QStringList pdfs = server->waitForPdfs(1, 1500);
        EXPECT_TRUE(pdfs.isEmpty()) << pdfs.join(' ').toStdString();
    }
}

int main(int argc, char** argv) {
    // The server first: the program must see its queue as the default printer.
    PrintServer s;
    server = &s;
    if (!OtherCopy::serve(argc, argv)) s.start();
    return TestMain::run(argc, argv);
}
