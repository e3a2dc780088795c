// Two copies of the program, real processes, taking the same appliance in at once.
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

void waitForLine() {
    char line[16];
    (void)std::fgets(line, sizeof line, stdin);
}
void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// The copy's boxes go to its output; the customer's warning (after the look
// for an open order, before the save) waits for the test's word.
class AnswerBoxes : public BoxHook {
public:
    MsgAnswer messageBox(const ShownBox& box) override {
        say("caixa " + QString(box.text).replace(QLatin1Char('\r'), QLatin1Char('|')));
        if (box.text.contains(QStringLiteral("Existe Restrições para este Cliente."))) say("aviso"), waitForLine();
        return box.buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
    std::optional<QString> inputBox(const ShownBox&) override { return std::nullopt; }
};

// The copy: the intake on the selected appliance, confirmed when told; writes
// the number it got (0: none).
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
    say("pronto");
    waitForLine();
    w.BtEntrada_Click();
    say(QStringLiteral("os %1").arg(Modulo::OsAtual));
    setBoxHook(nullptr);
    return 0;
}

using IntakeCopiesTest = ProgramFolderTest;

} // namespace

// Both stop at the customer's warning, then save: one gets the order, the
// other is told the appliance is in.
TEST_F(IntakeCopiesTest, TwoCopiesConfirmingTheSameApplianceOpenExactlyOneOrder) {
    IntakeData::addLists();
    Database::openDefault().execute("INSERT INTO TblRestricao (IdCliente, Tipo) VALUES (7, 'AVISAR GERÊNCIA')");
    QProcess copies[2];
    const auto readUntil = [](QProcess& p, const QByteArray& wanted) {
        for (QByteArray line; line != wanted;) {
            if (!p.canReadLine()) ASSERT_TRUE(p.waitForReadyRead(WaitMs)) << wanted.constData();
            else line = p.readLine().trimmed();
        }
    };
    for (QProcess& p : copies) p.start(QCoreApplication::applicationFilePath(), {CopyOption, folder()});
    for (QProcess& p : copies) readUntil(p, "pronto");
    for (QProcess& p : copies) p.write("vai\n");
    for (QProcess& p : copies) readUntil(p, "aviso");
    for (QProcess& p : copies) p.write("ok\n");
    QString outputs[2];
    for (int i : {0, 1}) {
        EXPECT_TRUE(copies[i].waitForFinished(WaitMs));
        EXPECT_EQ(copies[i].exitCode(), 0);
        outputs[i] = QString::fromUtf8(copies[i].readAllStandardOutput());
    }
    ASSERT_EQ(IntakeData::count("SELECT COUNT(*) FROM TblManutencao"), 1);
    const qlonglong os = IntakeData::count("SELECT Os FROM TblManutencao");
    const int winner = outputs[0].contains(QStringLiteral("os %1\n").arg(os)) ? 0 : 1;
    EXPECT_TRUE(outputs[winner].contains(QStringLiteral("os %1\n").arg(os))) << outputs[winner].toStdString();
    EXPECT_TRUE(outputs[1 - winner].contains(QStringLiteral("os 0\n")));
    EXPECT_TRUE(outputs[1 - winner].contains(
        QStringLiteral("Já existe um Aparelho \"EM SERVIÇO\" com estas mesmas especificações!|Ordem de Serviço N. %1")
            .arg(os)))
        << outputs[1 - winner].toStdString();
}

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], CopyOption) == 0) return runCopy(argc, argv);
    return TestMain::run(argc, argv);
}
