// Recording a new customer, alone and from the customers list.
#include "customerdata.h"
#include "customers/frmclientes.h"
#include "customers/frmnvcliente.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CustomerData;

namespace {

using NvClienteTest = ProgramFolderTest;

} // namespace

TEST(SoNumeros, KeepsEveryDigitInItsPlace) {
    EXPECT_EQ(FrmNvCliente::soNumeros("(12) 3456-7890"), " 12  3456 7890");
    EXPECT_EQ(FrmNvCliente::soNumeros("ABC"), "   ");
}

TEST_F(NvClienteTest, SavesTheCustomerWithTheAcceptedOperator) {
    Clock::set(QDateTime(QDate(2026, 3, 5), QTime(10, 0)));
    FrmNvCliente dlg;
    dlg.show();
    // The company's city, state and postal-code region.
    EXPECT_EQ(txt(&dlg, 4)->text(), "SÃO PAULO");
    EXPECT_EQ(txt(&dlg, 5)->text(), "SP");
    EXPECT_EQ(txt(&dlg, 6)->text(), "00.000-000");
    EXPECT_FALSE(button(&dlg, "BtCadastro")->isEnabled());

    Typing::type(txt(&dlg, 0), "joão d'ávila ");
    EXPECT_EQ(txt(&dlg, 0)->text(), "JOÃO DÁVILA ");
    Typing::key(txt(&dlg, 0), Qt::Key_Return);   // Enter moves on
    EXPECT_EQ(QApplication::focusWidget(), txt(&dlg, 1));
    Typing::type(txt(&dlg, 1), "   ");
    Typing::type(txt(&dlg, 7), "(12) 3456-7890");
    Typing::type(txt(&dlg, 10), "abc");
    Typing::type(dlg.findChild<QLineEdit*>("TxtOperador"), "1234");
    EXPECT_TRUE(button(&dlg, "BtCadastro")->isEnabled());

    ScriptedBoxes boxes;
    // An address of blanks is no address.
    boxes.answer(MsgAnswer::Ok, "'E obrigatório preencher o Endereço do Cliente !");
    button(&dlg, "BtCadastro")->click();
    EXPECT_EQ(boxes.log()[0].title, "Cadastro Cliente");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Information);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes"), 0);
    EXPECT_TRUE(button(&dlg, "BtCadastro")->isEnabled());

    txt(&dlg, 1)->setText("RUA DAS FLORES, 10");
    boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(&dlg, "BtCadastro")->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(txt(&dlg, 7)->text(), " 12  3456 7890");
    const auto rows = Database::openDefault().rows(
        "SELECT Codigo, Nome, TelResidencia, Celular, Operador, DataCadastro, Cidade FROM TblClientes");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].toLongLong(), Modulo::CodClienteAtual);
    EXPECT_EQ(rows[0][1], "JOÃO DÁVILA");
    EXPECT_EQ(rows[0][2], "12  3456 7890");
    EXPECT_EQ(rows[0][3], "");
    EXPECT_EQ(rows[0][4], "ADMINISTRADOR");
    EXPECT_EQ(rows[0][5], "2026-03-05");
    EXPECT_EQ(rows[0][6], "SÃO PAULO");
}

TEST_F(NvClienteTest, TheListStandsOnTheNewCustomerOrStaysWhereItWas) {
    addCustomer("ANA");
    addCustomer("ZECA");
    FrmClientes* list = FrmClientes::open();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(list->dataFrmClientes().findFirst("Nome = 'ZECA'"));
    const auto label = [&](const char* n) { return list->findChild<QLabel*>(n)->text(); };

    // Closed without saving: same row, same count, same code.
    ASSERT_TRUE(waitFor([&] { return Modulo::CodClienteAtual == list->dataFrmClientes().number("Codigo"); }));
    const qint32 before = Modulo::CodClienteAtual;
    {
        ModalScript script([](QWidget* dlg) { Typing::key(txt(dlg, 0), Qt::Key_Escape); }, 10000, "FrmNvCliente");
        list->findChild<QPushButton*>("BtCad")->click();
    }
    EXPECT_EQ(list->dataFrmClientes().text("Nome"), "ZECA");
    EXPECT_EQ(label("LblNumClientes"), "2");
    EXPECT_EQ(Modulo::CodClienteAtual, before);

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    ModalScript script([](QWidget* dlg) {
        Typing::type(txt(dlg, 0), "MARIA");
        Typing::type(txt(dlg, 1), "RUA B");
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        button(dlg, "BtCadastro")->click();
    });
    list->findChild<QPushButton*>("BtCad")->click();
    EXPECT_EQ(list->dataFrmClientes().text("Nome"), "MARIA");
    EXPECT_EQ(label("LblNumClientes"), "3");
    EXPECT_EQ(label("Lbl(1)"), "MARIA");
    EXPECT_EQ(list->dataFrmClientes().number("Codigo"), Modulo::CodClienteAtual);
}

// A customer the disk refuses says why and keeps the window with what was
// typed; once the cause is gone the same button records him.
TEST_F(NvClienteTest, AFailedSaveNamesItsCauseAndKeepsWhatWasTyped) {
    StoreFault::install();
    FrmNvCliente dlg;
    dlg.show();
    Typing::type(txt(&dlg, 0), "maria");
    Typing::type(txt(&dlg, 1), "rua a, 1");
    Typing::type(dlg.findChild<QLineEdit*>("TxtOperador"), "1234");
    for (const StoreFault::Kind kind : {StoreFault::DiskFull, StoreFault::IoError, StoreFault::ReadOnlyFolder}) {
        const QString text = writeUnderFault(kind, databasePath(), [&] { button(&dlg, "BtCadastro")->click(); });
        EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar Cadastrar este Cliente.")) << text.toStdString();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(txt(&dlg, 0)->text(), "MARIA");
        EXPECT_TRUE(button(&dlg, "BtCadastro")->isEnabled());
    }
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(&dlg, "BtCadastro")->click();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'MARIA'"), 1);
}

TARVEL_TEST_MAIN()
