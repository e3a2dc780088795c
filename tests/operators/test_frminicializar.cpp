// The log-in window: refusals that end the start and lower the running-copies
// counter, the greeting, the operator check and the first log-in's daily update.
#include "operators/frminicializar.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/windowscenario.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/typing.h"
#include "ui/twips.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QDate Today(2025, 3, 10);
using LoginTest = StartUpTest;

} // namespace

TEST(FrmInicializarText, GreetingUsesTheTwentyFourHourClockStrictly) {
    const std::pair<const char*, const char*> cases[] = {
        {"04:59:59", ""},           {"05:00:00", "Bom Dia:"},   {"11:58:59", "Bom Dia:"},   {"11:59:30", ""},
        {"12:00:00", "Boa Tarde:"}, {"17:58:59", "Boa Tarde:"}, {"17:59:00", ""},           {"00:00:00", ""},
        {"18:00:00", "Boa Noite:"}, {"23:58:59", "Boa Noite:"}, {"23:59:00", ""}};
    for (const auto& [at, greeting] : cases)
        EXPECT_EQ(FrmInicializar::saudacao(QTime::fromString(at)), QString(greeting)) << at;
}

// Each start from a counter of `qtde`: only "BtOk" logs in (and runs the daily update unless it ran today);
// every other way lowers the counter. No `close`: the window never shows.
TEST_F(LoginTest, Scenarios) {
    enum class Copy { None, Running, Crashed };
    const QString Small = "Resolução de 800 X 600 ou maior\rDeseja Executar";
    const struct {
        Copy copy;
        QSize screen;
        bool updatedToday;
        int qtde;
        const char* typed;
        QString close;   // "BtOk", "BtFechar", "Esc"
        QList<std::pair<MsgAnswer, QString>> messages;
    } scenarios[] = {
        {Copy::None, {1024, 768}, false, 1, "1234", "BtOk", {}},
        {Copy::None, {1024, 768}, true, 1, "1234", "BtOk", {}},
        {Copy::None, {1024, 768}, false, 1, "7970", "BtFechar", {{MsgAnswer::Ok, "Voce Não Possui Autorização para esta Operação"}}},
        {Copy::None, {1024, 768}, false, 0, "", "Esc", {}},
        {Copy::Running, {1024, 768}, false, 1, "", {}, {{MsgAnswer::Ok, "O Programa já está aberto"}}},
        {Copy::Crashed, {1024, 768}, false, 1, "1234", "BtOk", {}},
        {Copy::None, {640, 480}, false, 1, "", {}, {{MsgAnswer::No, Small}}},
        {Copy::None, {640, 480}, false, 1, "1234", "BtOk", {{MsgAnswer::Yes, Small}}},
        {Copy::None, {800, 600}, false, 1, "1234", "BtOk", {}},
    };
    Clock::set(QDateTime(Today, QTime(22, 0)));
    Database d = Database::openDefault();
    d.execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) VALUES ('ANA', 17442, 0, 1)");   // 7970
    for (const auto& s : scenarios) {
        SCOPED_TRACE(&s - scenarios);
        const bool loggedIn = s.close == "BtOk", dailyUpdate = loggedIn && !s.updatedToday;
        d.execute("UPDATE TblConfig SET Qtde = ?, DtAtual = ?", {s.qtde, s.updatedToday ? Today : Today.addDays(-1)});
        d.execute("DELETE FROM TblManutencao");
        d.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 0)", {Today.addDays(-3)});
        Modulo::NomeOperadorAtual.clear();
        ScreenSize::setOverride(s.screen);
        std::unique_ptr<OtherCopy> other;
        if (s.copy != Copy::None) {
            other = std::make_unique<OtherCopy>(SingleInstance::lockPath(), OtherCopy::Holds::InstanceLock);
            ASSERT_TRUE(other->holding());
            if (s.copy == Copy::Crashed) other->kill();
        }
        ScriptedBoxes boxes;
        for (const auto& [answer, text] : s.messages) boxes.answer(answer, text);
        FrmInicializar w;
        std::unique_ptr<ModalScript> script;
        if (!s.close.isEmpty())
            script = std::make_unique<ModalScript>([&](QWidget* dlg) {
                QString labels;
                for (const char* l : {"Label2", "Label3", "Label7"}) labels += dlg->findChild<QLabel*>(l)->text() + "|";
                EXPECT_EQ(labels, "Boa Noite:|segunda-feira, 10 de março de 2025|22:00:00|");
                auto* field = dlg->findChild<QLineEdit*>("TxtOperador");
                Typing::type(field, s.typed);
                EXPECT_EQ(dlg->findChild<QPushButton*>("BtOk")->isEnabled(), loggedIn);
                if (s.close == "Esc") Typing::key(field, Qt::Key_Escape);
                else dlg->findChild<QPushButton*>(s.close)->click();
            });
        EXPECT_EQ(w.exec(), loggedIn ? QDialog::Accepted : QDialog::Rejected);
        for (const ShownBox& box : boxes.log()) {
            const bool yesNo = box.buttons == MsgButtons::YesNo;
            EXPECT_EQ(box.icon, yesNo ? MsgIcon::Question : s.copy == Copy::Running ? MsgIcon::Exclamation : MsgIcon::Critical);
            EXPECT_TRUE(!yesNo || box.defaultButton == MsgAnswer::No);
        }
        EXPECT_EQ(d.scalar("SELECT Qtde FROM TblConfig").toInt(), loggedIn ? s.qtde : std::max(s.qtde - 1, 0));
        EXPECT_EQ(Modulo::NomeOperadorAtual, loggedIn ? "ADMINISTRADOR" : "");
        EXPECT_EQ(d.scalar("SELECT Dias FROM TblManutencao").toInt(), dailyUpdate ? 3 : 0);
        EXPECT_EQ(d.scalar("SELECT DtAtual FROM TblConfig").toDate(), loggedIn || s.updatedToday ? Today : Today.addDays(-1));
        // The window grows to show the update's bars, each sized to its table.
        EXPECT_EQ(w.height() > Twips::toPixels(FrmInicializar::StartHeight), dailyUpdate);
        if (dailyUpdate) { EXPECT_EQ(w.findChild<QProgressBar*>("ProgressBar1")->maximum(), 1); }
        script.reset();
        other.reset();
        SingleInstance::release();
    }
}

// A daily update the full disk refused: the operator is told why, the day is not stamped and the program starts; the
// next log-in of the day runs the update again and stamps it.
TEST_F(LoginTest, ADailyUpdateTheDiskRefusedRunsAgainAtTheNextLogIn) {
    StoreFault::install();
    Clock::set(QDateTime(Today, QTime(9, 0)));
    Database d = Database::openDefault();
    d.execute("UPDATE TblConfig SET Qtde = 1, DtAtual = ?", {Today.addDays(-1)});
    d.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 0)", {Today.addDays(-3)});
    d.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, 1)",
              {Today.addDays(-1)});
    const QString state = "SELECT (SELECT Dias FROM TblManutencao), (SELECT [Garantia de Serviço] FROM TblApEntregues), "
                          "(SELECT DtAtual FROM TblConfig)";
    for (const bool full : {true, false}) {
        SCOPED_TRACE(full ? "full disk" : "sound disk");
        std::optional<StoreFault> fault;
        if (full) fault.emplace(StoreFault::DiskFull);
        ScriptedBoxes boxes;
        if (full) boxes.answer(MsgAnswer::Ok);
        FrmInicializar w;
        ModalScript script([](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
            dlg->findChild<QPushButton*>("BtOk")->click();
        });
        EXPECT_EQ(w.exec(), QDialog::Accepted);
        fault.reset();
        ASSERT_EQ(boxes.log().size(), full ? 1 : 0);
        if (full) {
            EXPECT_EQ(boxes.log()[0].text, "Não foi possível gravar a Atualização Diária dos Aparelhos.\rEla será feita "
                                           "novamente no próximo início do Sistema.\r13_O disco está cheio: não há "
                                           "espaço para gravar no banco de dados. Libere espaço no disco e tente "
                                           "novamente._Banco de Dados");
            EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
            EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
        }
        EXPECT_EQ(d.rows(state).at(0), full ? (QVariantList{0, 1, "2025-03-09"}) : (QVariantList{3, 0, "2025-03-10"}));
    }
}

TARVEL_TEST_MAIN()
