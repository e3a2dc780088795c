// Two copies of the program taking the same appliance in at the same moment:
// each a real process with its own intake window on the same database file.
#include "intakedata.h"
#include "orders/frmentrada.h"
#include "store/programfolder.h"
#include "support/fixture.h"
#include "support/testmain.h"
#include "ui/appsetup.h"
#include "ui/messagebox.h"

#include <QApplication>
#include <QProcess>
#include <cstdio>
#include <cstring>

namespace {

const char* const CopyOption = "--intake-copy";
constexpr int WaitMs = 30000;

// Waits for the test's next line.
void waitForLine() {
    char line[16];
    (void)std::fgets(line, sizeof line, stdin);
}

// The copy's message boxes: written to its output and answered as an
// operator who does not print would. The customer's restriction warning,
// which comes after the look for an open order and before the save, is
// held until the test says so, so that both copies stand there at once.
class AnswerBoxes : public BoxHook {
public:
    MsgAnswer messageBox(const ShownBox& box) override {
        std::printf("caixa %s\n", QString(box.text).replace(QLatin1Char('\r'), QLatin1Char('|')).toUtf8().constData());
        if (box.text.contains(QStringLiteral("Existe Restrições para este Cliente."))) {
            std::printf("aviso\n");
            std::fflush(stdout);
            waitForLine();
        }
        return box.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(const ShownBox&) override { return std::nullopt; }
};

// The copy: opens the intake on the selected appliance, accepts the
// administrator, says it is ready, confirms when told to and writes the
// number it got (0: none).
int runCopy(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    AppSetup::init(app);
    ProgramFolder::setPath(QString::fromLocal8Bit(argv[2]));
    AnswerBoxes boxes;
    setBoxHook(&boxes);
    IntakeData::selectAppliance();
    FrmEntrada w;
    w.show();
    w.findChild<QLineEdit*>("TxtOperador")->setText("1234");
    w.findChild<QLineEdit*>("Txt(21)")->setText("NAO LIGA");
    if (!w.findChild<QPushButton*>("BtEntrada")->isEnabled()) return 3;
    std::printf("pronto\n");
    std::fflush(stdout);
    waitForLine();
    w.BtEntrada_Click();
    std::printf("os %d\n", int(Modulo::OsAtual));
    std::fflush(stdout);
    setBoxHook(nullptr);
    return 0;
}

using IntakeCopiesTest = ProgramFolderTest;

} // namespace

TEST_F(IntakeCopiesTest, TwoCopiesConfirmingTheSameApplianceOpenExactlyOneOrder) {
    IntakeData::addLists();
    Database::openDefault().execute("INSERT INTO TblRestricao (IdCliente, Tipo) VALUES (7, 'AVISAR GERÊNCIA')");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        QProcess copies[2];
        for (QProcess& p : copies) p.start(QCoreApplication::applicationFilePath(), {CopyOption, folder()});
        for (QProcess& p : copies) {
            ASSERT_TRUE(p.waitForReadyRead(WaitMs));
            ASSERT_EQ(p.readLine().trimmed(), "pronto");
        }
        // Both confirm; both pass the look for an open order and stop at the
        // warning; then both go on to the save.
        for (QProcess& p : copies) p.write("vai\n");
        for (QProcess& p : copies) {
            QByteArray line;
            while (line != "aviso") {
                if (!p.canReadLine()) ASSERT_TRUE(p.waitForReadyRead(WaitMs));
                else line = p.readLine().trimmed();
            }
        }
        for (QProcess& p : copies) p.write("ok\n");
        QStringList outputs;
        for (QProcess& p : copies) {
            EXPECT_TRUE(p.waitForFinished(WaitMs));
            EXPECT_EQ(p.exitCode(), 0);
            outputs << QString::fromUtf8(p.readAllStandardOutput());
        }
        const qlonglong open = IntakeData::count("SELECT COUNT(*) FROM TblManutencao WHERE NumSerie = 'SN-1001'");
        EXPECT_EQ(open, 1);
        const qlonglong os = IntakeData::count("SELECT Os FROM TblManutencao");
        // One copy got the order, the other was told the appliance is in.
        const int winner = outputs[0].contains(QStringLiteral("os %1\n").arg(os)) ? 0 : 1;
        EXPECT_TRUE(outputs[winner].contains(QStringLiteral("os %1\n").arg(os))) << outputs.join("/").toStdString();
        EXPECT_TRUE(outputs[1 - winner].contains("os 0\n")) << outputs[1 - winner].toStdString();
        EXPECT_TRUE(outputs[1 - winner].contains(QStringLiteral("Já existe um Aparelho \"EM SERVIÇO\" com estas "
                                                                "mesmas especificações!|Ordem de Serviço N. %1")
                                                     .arg(os)))
            << outputs[1 - winner].toStdString();
        Database::openDefault().execute("DELETE FROM TblManutencao");
    }
}

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], CopyOption) == 0) return runCopy(argc, argv);
    return TestMain::run(argc, argv);
}
