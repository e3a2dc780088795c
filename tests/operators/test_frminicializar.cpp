// The log-in window: refusals that end the start, the greeting, the operator
// check with Ini and the daily update at the first log-in of a day.
#include "operators/frminicializar.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "store/clock.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/files.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/twips.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

namespace {

const QDate Today(2025, 3, 10);

class LoginTest : public StartUpTest {
protected:
    void SetUp() override {
        StartUpTest::SetUp();
        Clock::set(QDateTime(Today, QTime(9, 30)));
        Database::openDefault().execute("UPDATE TblConfig SET Qtde = 1");   // raised by the main window
    }
    int qtde() { return Database::openDefault().scalar("SELECT Qtde FROM TblConfig").toInt(); }
    // Types a password and presses OK; returns exec()'s result.
    int logIn(FrmInicializar& w, const QString& password) {
        ModalScript script([&](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), password);
            dlg->findChild<QPushButton*>("BtOk")->click();
        });
        return w.exec();
    }
};

} // namespace

TEST_F(LoginTest, FirstLogInOfTheDayUpdatesAgesAndWarrantiesAndStampsTheDate) {
    Database d = Database::openDefault();
    d.execute("UPDATE TblConfig SET DtAtual = ?", {Today.addDays(-1)});
    for (const QVariant& entry : {QVariant(Today), QVariant(Today.addDays(-1)), QVariant(Today.addDays(-30)), QVariant()})
        d.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 7)", {entry});
    const QVariant ends[] = {QVariant(Today), QVariant(Today.addDays(-1)), QVariant(), QVariant(Today.addDays(1))};
    const int before[] = {0, 1, 1, 0};
    for (int i = 0; i < 4; ++i)
        d.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, ?)",
                  {ends[i], before[i]});

    FrmInicializar w;
    ScriptedBoxes boxes;
    EXPECT_EQ(logIn(w, "1234"), QDialog::Accepted);
    EXPECT_EQ(Modulo::NomeOperadorAtual, "ADMINISTRADOR");

    QList<qlonglong> dias;
    for (const QVariantList& r : d.rows("SELECT Dias FROM TblManutencao ORDER BY Os")) dias << r[0].toLongLong();
    EXPECT_EQ(dias, (QList<qlonglong>{0, 1, 30, 7}));   // no entry date: left as it was
    QList<int> flags;
    for (const QVariantList& r : d.rows("SELECT [Garantia de Serviço] FROM TblApEntregues ORDER BY IdApEntregues"))
        flags << r[0].toInt();
    EXPECT_EQ(flags, (QList<int>{1, 0, 0, 1}));
    EXPECT_EQ(d.scalar("SELECT DtAtual FROM TblConfig").toString(), "2025-03-10");
    EXPECT_EQ(qtde(), 1);
    // The window grew to show both bars, each sized to its table.
    EXPECT_GT(w.height(), Twips::toPixels(FrmInicializar::StartHeight));
    EXPECT_EQ(w.findChild<QProgressBar*>("ProgressBar1")->maximum(), 4);
    EXPECT_EQ(w.findChild<QProgressBar*>("ProgressBar2")->maximum(), 4);
}

TEST_F(LoginTest, SecondLogInOfTheDayTouchesNoTable) {
    Database d = Database::openDefault();
    d.execute("UPDATE TblConfig SET DtAtual = ?", {Today});
    d.execute("INSERT INTO TblManutencao (Nome, DataEntrada, Dias) VALUES ('X', ?, 7)", {Today.addDays(-2)});
    d.execute("INSERT INTO TblApEntregues (Nome, DATALIMITEGARANTIA, [Garantia de Serviço]) VALUES ('X', ?, 1)",
              {Today.addDays(-2)});
    d.close();
    const QByteArray was = fileDigest(databasePath());

    FrmInicializar w;
    ScriptedBoxes boxes;
    EXPECT_EQ(logIn(w, "1234"), QDialog::Accepted);
    EXPECT_EQ(Modulo::NomeOperadorAtual, "ADMINISTRADOR");
    EXPECT_EQ(w.height(), Twips::toPixels(FrmInicializar::StartHeight));
    EXPECT_EQ(fileDigest(databasePath()), was);
}

TEST_F(LoginTest, CancelAndAMissingRightLowerTheCounterOnce) {
    Database::openDefault().execute(
        "INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) VALUES ('ANA', 17442, 0, 1)");  // 7970
    {
        FrmInicializar w;
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorização para esta Operação");
        ModalScript script([](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "7970");
            EXPECT_FALSE(dlg->findChild<QPushButton*>("BtOk")->isEnabled());
            dlg->findChild<QPushButton*>("BtFechar")->click();
        });
        EXPECT_EQ(w.exec(), QDialog::Rejected);
        EXPECT_EQ(boxes.log()[0].title, "Inicializar o Sistema");
        EXPECT_EQ(qtde(), 0);
        EXPECT_TRUE(Modulo::NomeOperadorAtual.isEmpty());
    }
    {
        // Esc cancels too; the counter never goes below zero.
        FrmInicializar w;
        ModalScript script([](QWidget* dlg) { Typing::key(dlg->findChild<QLineEdit*>("TxtOperador"), Qt::Key_Escape); });
        EXPECT_EQ(w.exec(), QDialog::Rejected);
        EXPECT_EQ(qtde(), 0);
    }
}

TEST_F(LoginTest, GreetingWindowsUseTheTwentyFourHourClock) {
    const struct {
        QTime at;
        const char* greeting;
    } cases[] = {
        {QTime(4, 59, 59), ""},         {QTime(5, 0, 0), "Bom Dia:"},     {QTime(11, 58, 59), "Bom Dia:"},
        {QTime(11, 59, 30), ""},        {QTime(12, 0, 0), "Boa Tarde:"},  {QTime(17, 58, 59), "Boa Tarde:"},
        {QTime(17, 59, 0), ""},         {QTime(18, 0, 0), "Boa Noite:"},  {QTime(22, 0, 0), "Boa Noite:"},
        {QTime(23, 58, 59), "Boa Noite:"}, {QTime(23, 59, 0), ""},        {QTime(0, 0, 0), ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FrmInicializar::saudacao(c.at), QString(c.greeting)) << c.at.toString().toStdString();

    Clock::set(QDateTime(Today, QTime(22, 0)));
    FrmInicializar w;
    ModalScript script([](QWidget* dlg) {
        EXPECT_EQ(dlg->findChild<QLabel*>("Label2")->text(), "Boa Noite:");
        EXPECT_EQ(dlg->findChild<QLabel*>("Label3")->text(), "segunda-feira, 10 de março de 2025");
        EXPECT_EQ(dlg->findChild<QLabel*>("Label7")->text(), "22:00:00");
        dlg->findChild<QPushButton*>("BtFechar")->click();
    });
    w.exec();
}

TEST_F(LoginTest, ASecondCopyEndsTheStartAndACrashedCopyDoesNotBlock) {
    OtherCopy other(SingleInstance::lockPath(), OtherCopy::Holds::InstanceLock);
    ASSERT_TRUE(other.holding());
    {
        FrmInicializar w;
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "O Programa já está aberto");
        EXPECT_EQ(w.exec(), QDialog::Rejected);
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, "Inicializar Tarvel");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(qtde(), 0);
    }
    other.stop();

    // A copy that dies holding the lock leaves the file behind, not the lock.
    OtherCopy crashed(SingleInstance::lockPath(), OtherCopy::Holds::InstanceLock);
    ASSERT_TRUE(crashed.holding());
    crashed.kill();
    EXPECT_EQ(crashed.exitStatus(), QProcess::CrashExit);
    ASSERT_TRUE(QFile::exists(SingleInstance::lockPath()));
    Database::openDefault().execute("UPDATE TblConfig SET Qtde = 1");
    FrmInicializar w;
    ScriptedBoxes boxes;
    EXPECT_EQ(logIn(w, "1234"), QDialog::Accepted);
    EXPECT_EQ(qtde(), 1);
    EXPECT_TRUE(SingleInstance::held());
}

TEST_F(LoginTest, ASmallScreenAsksAndNoEndsTheStart) {
    ScreenSize::setOverride(QSize(640, 480));
    {
        FrmInicializar w;
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::No, "Resolução de 800 X 600 ou maior\rDeseja Executar");
        EXPECT_EQ(w.exec(), QDialog::Rejected);
        EXPECT_EQ(boxes.log()[0].defaultButton, MsgAnswer::No);
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Question);
        EXPECT_EQ(boxes.log()[0].title, "Tarvel");
        EXPECT_EQ(qtde(), 0);
    }
    Database::openDefault().execute("UPDATE TblConfig SET Qtde = 1");
    {
        FrmInicializar w;
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes);
        EXPECT_EQ(logIn(w, "1234"), QDialog::Accepted);
        EXPECT_EQ(qtde(), 1);
    }
    ScreenSize::setOverride(QSize(800, 600));   // exactly the limit: no question
    FrmInicializar w;
    ScriptedBoxes boxes;
    EXPECT_EQ(logIn(w, "1234"), QDialog::Accepted);
    EXPECT_TRUE(boxes.log().isEmpty());
}

TARVEL_TEST_MAIN()
