// Recording a customer's appliances and the generated serial number.
#include "customerdata.h"
#include "customers/frmapcliente.h"
#include "customers/geranumserie.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using namespace CustomerData;

namespace {

struct ApClienteTest : ProgramFolderTest {
    qint64 ana = 0;
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ana = addCustomer("ANA");
        Modulo::CodClienteAtual = std::int32_t(ana);
        Modulo::NomeClienteAtual = "ANA";
        Database db = Database::openDefault();
        db.execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES ('TELEVISOR', 'OUTROS'), ('RADIO', 'OUTROS')");
        db.execute("INSERT INTO TblMarca (Marca) VALUES ('PHILCO'), ('SONY')");
    }
};

QComboBox* combo(QWidget* w, int i) { return w->findChild<QComboBox*>(QStringLiteral("Combo(%1)").arg(i)); }

} // namespace

TEST(GeraNumSerie, HasTheExactForm) {
    EXPECT_EQ(GeraNumSerie(QDateTime(QDate(2026, 3, 5), QTime(9, 7)), 4, "AB"), "260305090704-AB");
    EXPECT_EQ(GeraNumSerie(QDateTime(QDate(2031, 12, 31), QTime(23, 59)), 98, ""), "311231235998-");
    Clock::set(QDateTime(QDate(2026, 3, 5), QTime(9, 7, 30)));
    const QRegularExpression form("^2603050907(\\d\\d)-AT$");
    for (int i = 0; i < 300; ++i) {
        const auto m = form.match(GeraNumSerie("AT"));
        ASSERT_TRUE(m.hasMatch());
        ASSERT_LE(m.captured(1).toInt(), 98);
    }
    Clock::set(QDateTime());
}

TEST_F(ApClienteTest, AShortSerialOffersTheGeneratedOneAndTheSaveStopsEitherWay) {
    Clock::set(QDateTime(QDate(2026, 3, 5), QTime(9, 7)));
    FrmApCliente dlg;
    dlg.show();
    EXPECT_EQ(dlg.findChild<QLineEdit*>("TxtNmCliente")->text(), "ANA");
    EXPECT_EQ(combo(&dlg, 0)->count(), 2);
    EXPECT_EQ(combo(&dlg, 1)->itemText(1), "SONY");
    combo(&dlg, 0)->setCurrentText("TELEVISOR");
    combo(&dlg, 1)->setCurrentText("PHILCO");
    Typing::type(txt(&dlg, 0), "tp-21'x");
    EXPECT_EQ(txt(&dlg, 0)->text(), "TP-21X");
    Typing::type(txt(&dlg, 3), "220v");
    Typing::type(txt(&dlg, 2), "    ");   // blanks are no serial number

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Este Equipamento não possui um Número de Série Válido.\r"
                                "Deseja que o Programa Gere um Número de Série pare ele?");
    dlg.BtCadastrar_Click();
    EXPECT_EQ(boxes.log()[0].defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(txt(&dlg, 2)->text(), "    ");
    EXPECT_EQ(QApplication::focusWidget(), txt(&dlg, 2));
    boxes.answer(MsgAnswer::Yes);
    dlg.BtCadastrar_Click();
    const QString serial = txt(&dlg, 2)->text();
    EXPECT_TRUE(QRegularExpression("^2603050907\\d\\d-AT$").match(serial).hasMatch()) << serial.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApClientes"), 0);

    boxes.answer(MsgAnswer::Ok, "Aparelho Cadastrado com Sucesso!");
    dlg.BtCadastrar_Click();
    const auto row =
        Database::openDefault().rows("SELECT ID, Aparelho, Marca, Modelo, NumSerie, Tensao FROM TblApClientes");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0], (QVariantList{ana, "TELEVISOR", "PHILCO", "TP-21X", serial, "220V"}));
    // Ready for the next appliance of the same kind.
    EXPECT_TRUE(txt(&dlg, 0)->text().isEmpty() && txt(&dlg, 2)->text().isEmpty());
    EXPECT_EQ(txt(&dlg, 3)->text(), "220V");
    EXPECT_EQ(combo(&dlg, 0)->currentText(), "TELEVISOR");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(boxes.failures(), 0);
}

TARVEL_TEST_MAIN()
