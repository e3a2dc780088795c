// Finding a customer of the list by code or phone.
#include "customerdata.h"
#include "customers/frmclientes.h"
#include "customers/frmloccliente.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace CustomerData;

namespace {

struct LocClienteTest : ProgramFolderTest {
    FrmClientes* list = nullptr;
    qint64 beto = 0, carla = 0;
    void SetUp() override {
        ProgramFolderTest::SetUp();
        addCustomer("ANA", "CAMPINAS", "1911112222");
        beto = addCustomer("BETO", "CAMPINAS", "12  3456 7890");   // stored by the new-customer window
        carla = addCustomer("CARLA", "CAMPINAS", "(19) 3333-4444");  // typed in the editing window
        list = FrmClientes::open();
        ASSERT_NE(list, nullptr);
    }
    QString current() { return list->dataFrmClientes().text("Nome"); }
    QLineEdit* field(FrmLocCliente& d) { return d.findChild<QLineEdit*>("TxtBusca"); }
    void option(FrmLocCliente& d, const char* name) { d.findChild<QRadioButton*>(name)->click(); }
};

} // namespace

TEST_F(LocClienteTest, ACodeFindsTheCustomerAndClosesTheDialog) {
    ASSERT_TRUE(list->dataFrmClientes().findFirst("Nome = 'CARLA'"));
    {
        FrmLocCliente dlg(list);
        dlg.show();
        ScriptedBoxes boxes;
        EXPECT_TRUE(dlg.findChild<QRadioButton*>("Option1")->isChecked());
        Typing::type(field(dlg), "x9y9");   // digits only
        EXPECT_EQ(field(dlg)->text(), "99");
        boxes.answer(MsgAnswer::Ok, "Cliente não Localizado pelo Código");
        dlg.BtIniciar_Click();
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Information);
        EXPECT_EQ(current(), "ANA");   // the list went back to its first row
        EXPECT_EQ(field(dlg)->text(), "99");

        field(dlg)->setText("1,5");   // text that reached the box otherwise
        boxes.answer(MsgAnswer::Ok, "DIGITE APENAS NÚMEROS !");
        dlg.BtIniciar_Click();
        field(dlg)->clear();
        boxes.answer(MsgAnswer::Ok, "Digite algum Critério para a Pesquisa");
        dlg.BtIniciar_Click();
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);

        field(dlg)->setText(QString::number(beto));
        Typing::key(field(dlg), Qt::Key_Return);   // Enter starts the search
        EXPECT_EQ(dlg.result(), QDialog::Accepted);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(boxes.failures(), 0);
    }
    EXPECT_EQ(current(), "BETO");
    EXPECT_TRUE(waitFor([&] { return Modulo::CodClienteAtual == beto; }));

    // Reopened: the last criterion, selected, and the code option again.
    FrmLocCliente again(list);
    again.show();
    Typing::focus(field(again));
    EXPECT_EQ(field(again)->text(), QString::number(beto));
    EXPECT_TRUE(waitFor([&] { return field(again)->selectedText() == QString::number(beto); }));
    // The options are reached from the keyboard: Tab, then an arrow key.
    Typing::key(field(again), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), again.findChild<QRadioButton*>("Option1"));
    Typing::key(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_TRUE(again.findChild<QRadioButton*>("Option2")->isChecked());
}

TEST_F(LocClienteTest, PhonesAreComparedByTheirDigits) {
    FrmLocCliente dlg(list);
    dlg.show();
    ScriptedBoxes boxes;
    option(dlg, "Option2");
    EXPECT_EQ(dlg.focusWidget(), field(dlg));
    Typing::type(field(dlg), "(12) 3456-7890");
    EXPECT_EQ(field(dlg)->text(), "1234567890");
    dlg.BtIniciar_Click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(current(), "BETO");

    FrmLocCliente second(list);
    second.show();
    option(second, "Option2");
    field(second)->setText("1933334444");
    second.BtIniciar_Click();
    EXPECT_EQ(current(), "CARLA");

    FrmLocCliente third(list);
    third.show();
    option(third, "Option4");
    field(third)->setText("1911112222");   // ANA's home phone, not her mobile
    boxes.answer(MsgAnswer::Ok, "Cliente não Localizado pelo Número do Celular");
    third.BtIniciar_Click();
    EXPECT_TRUE(third.isVisible());
    EXPECT_EQ(current(), "CARLA");   // no re-read on a phone miss
    EXPECT_EQ(boxes.failures(), 0);
}

TARVEL_TEST_MAIN()
