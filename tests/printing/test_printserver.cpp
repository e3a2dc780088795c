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

int main(int argc, char** argv) {
    PrintServer s;
    server = &s;
    if (!OtherCopy::serve(argc, argv)) s.start();
    return TestMain::run(argc, argv);
}
