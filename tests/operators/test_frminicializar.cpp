// The log-in window: refusals that end the start and lower the running-copies
// counter, the greeting, the operator check with Ini and the daily update at
// the first log-in of a day.
#include "operators/frminicializar.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
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
    const struct {
        QTime at;
        const char* greeting;
    } cases[] = {
        {QTime(4, 59, 59), ""},        {QTime(5, 0, 0), "Bom Dia:"},       {QTime(11, 58, 59), "Bom Dia:"},
        {QTime(11, 59, 30), ""},       {QTime(12, 0, 0), "Boa Tarde:"},    {QTime(17, 58, 59), "Boa Tarde:"},
        {QTime(17, 59, 0), ""},        {QTime(18, 0, 0), "Boa Noite:"},    {QTime(23, 58, 59), "Boa Noite:"},
        {QTime(23, 59, 0), ""},        {QTime(0, 0, 0), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrmInicializar::saudacao(c.at), QString(c.greeting)) << c.at.toString().toStdString();
}

// Each start from a counter of `qtde` (raised by the main window): the other
// copy, the screen, what is typed and how the window is left (no `close`: it
// never shows), the messages with their answers, and what is left behind.
TEST_F(LoginTest, Scenarios) {
    enum class Copy { None, Running, Crashed };
    const QString Small = "Resolução de 800 X 600 ou maior\rDeseja Executar";
    const struct {
        Copy copy;
        QSize screen;
        bool updatedToday;
        int qtde;
        const char* typed;
        const char* close;   // "BtOk", "BtFechar", "Esc"
        QList<std::pair<MsgAnswer, QString>> messages;
        int result, qtdeAfter;
        bool loggedIn, dailyUpdate;
    } scenarios[] = {
        {Copy::None, {1024, 768}, false, 1, "1234", "BtOk", {}, QDialog::Accepted, 1, true, true},
        {Copy::None, {1024, 768}, true, 1, "1234", "BtOk", {}, QDialog::Accepted, 1, true, false},
        {Copy::None, {1024, 768}, false, 1, "7970", "BtFechar",
         {{MsgAnswer::Ok, "Voce Não Possui Autorização para esta Operação"}}, QDialog::Rejected, 0, false, false},
        {Copy::None, {1024, 768}, false, 0, "", "Esc", {}, QDialog::Rejected, 0, false, false},
        {Copy::Running, {1024, 768}, false, 1, "", nullptr, {{MsgAnswer::Ok, "O Programa já está aberto"}},
         QDialog::Rejected, 0, false, false},
        {Copy::Crashed, {1024, 768}, false, 1, "1234", "BtOk", {}, QDialog::Accepted, 1, true, true},
        {Copy::None, {640, 480}, false, 1, "", nullptr, {{MsgAnswer::No, Small}}, QDialog::Rejected, 0, false, false},
        {Copy::None, {640, 480}, false, 1, "1234", "BtOk", {{MsgAnswer::Yes, Small}}, QDialog::Accepted, 1, true, true},
        {Copy::None, {800, 600}, false, 1, "1234", "BtOk", {}, QDialog::Accepted, 1, true, true},
    };
    Clock::set(QDateTime(Today, QTime(22, 0)));
    Database d = Database::openDefault();
    d.execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) VALUES ('ANA', 17442, 0, 1)");   // 7970
    for (const auto& s : scenarios) {
        SCOPED_TRACE(std::string(s.typed) + " " + (s.close ? s.close : "-") + " " + std::to_string(&s - scenarios));
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
        if (s.close)
            script = std::make_unique<ModalScript>([&](QWidget* dlg) {
                EXPECT_EQ(dlg->findChild<QLabel*>("Label2")->text(), "Boa Noite:");
                EXPECT_EQ(dlg->findChild<QLabel*>("Label3")->text(), "segunda-feira, 10 de março de 2025");
                EXPECT_EQ(dlg->findChild<QLabel*>("Label7")->text(), "22:00:00");
                auto* field = dlg->findChild<QLineEdit*>("TxtOperador");
                Typing::type(field, s.typed);
                auto* ok = dlg->findChild<QPushButton*>("BtOk");
                EXPECT_EQ(ok->isEnabled(), s.loggedIn);
                if (QString(s.close) == "Esc") Typing::key(field, Qt::Key_Escape);
                else dlg->findChild<QPushButton*>(s.close)->click();
            });
        EXPECT_EQ(w.exec(), s.result);
        for (const ShownBox& box : boxes.log()) {
            EXPECT_EQ(box.icon, box.buttons == MsgButtons::YesNo ? MsgIcon::Question
                                : s.copy == Copy::Running ? MsgIcon::Exclamation : MsgIcon::Critical);
            if (box.buttons == MsgButtons::YesNo) EXPECT_EQ(box.defaultButton, MsgAnswer::No);
            if (s.copy == Copy::Running) EXPECT_EQ(box.title, "Inicializar Tarvel");
        }
        EXPECT_EQ(boxes.log().size(), s.messages.size());
        EXPECT_EQ(d.scalar("SELECT Qtde FROM TblConfig").toInt(), s.qtdeAfter);
        EXPECT_EQ(Modulo::NomeOperadorAtual, s.loggedIn ? "ADMINISTRADOR" : "");
        EXPECT_EQ(d.scalar("SELECT Dias FROM TblManutencao").toInt(), s.dailyUpdate ? 3 : 0);
        EXPECT_EQ(d.scalar("SELECT DtAtual FROM TblConfig").toDate(), s.loggedIn || s.updatedToday ? Today : Today.addDays(-1));
        // The window grows to show the update's bars, each sized to its table.
        EXPECT_EQ(w.height() > Twips::toPixels(FrmInicializar::StartHeight), s.dailyUpdate);
        if (s.dailyUpdate) EXPECT_EQ(w.findChild<QProgressBar*>("ProgressBar1")->maximum(), 1);
        script.reset();
        other.reset();
        SingleInstance::release();
    }
}

TARVEL_TEST_MAIN()
