// The appliance search dialogs: by order number and serial number, the
// checked-out answer, the refusals and the remembered text.
#include "workshopdata.h"

#include "orders/frmlocap.h"
#include "orders/frmlocapentregue.h"
#include "orders/frmmanutencao.h"
#include "store/globals.h"
#include "store/sqldialect.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace WorkshopData;

namespace {

const QString Title = QString::fromUtf8("Localizar Aparelho em Manutenção");

struct LocApTest : ProgramFolderTest {
    FrmManutencao* list = nullptr;
    std::unique_ptr<FrmLocAp> dlg;

    void open() {
        list = FrmManutencao::open();
        ASSERT_NE(list, nullptr);
        dlg = std::make_unique<FrmLocAp>(list);
        dlg->show();
        QApplication::processEvents();
    }
    QLineEdit* box() { return dlg->findChild<QLineEdit*>("TxtBusca"); }
    QRadioButton* option(const char* name) { return dlg->findChild<QRadioButton*>(name); }
    void search(const QString& text) {
        box()->setText(text);
        dlg->findChild<QPushButton*>("BtIniciar")->click();
    }
    QString listed() { return list->dataFrmApMnt().text("Nome"); }
};

} // namespace

TEST_F(LocApTest, OpensOnTheOrderOptionAndTypesAsItIsGiven) {
    addOrder("ANA");
    open();
    EXPECT_EQ(dlg->windowTitle(), Title);
    EXPECT_TRUE(option("Option1")->isChecked());
    EXPECT_EQ(option("Option1")->toolTip(), "Ex. 1234, 9889 etc.");
    box()->setText("abc");
    Typing::focus(dlg->findChild<QPushButton*>("BtFechar"));
    option("Option3")->click();
    EXPECT_TRUE(box()->hasFocus());
    EXPECT_EQ(box()->selectedText(), "abc");
    box()->clear();
    Typing::type(box(), "ab'c-1");
    EXPECT_EQ(box()->text(), "abc-1") << "no capitals, no apostrophe";
    Typing::type(box(), "1234567890123456789");
    EXPECT_EQ(box()->text().size(), 15);
}

TEST_F(LocApTest, FindsAnOrderByNumberAndMovesTheListThenCloses) {
    const qint64 ana = addOrder("ANA", {{"NumSerie", "X9"}});
    addOrder("BETO", {{"NumSerie", "12345"}});
    addOrder("CARLA");
    open();
    ASSERT_EQ(listed(), "CARLA");
    search(QString::number(ana));
    EXPECT_EQ(listed(), "ANA");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());

    // By serial number, digits or not, compared as text.
    dlg = std::make_unique<FrmLocAp>(list);
    dlg->show();
    EXPECT_EQ(box()->text(), QString::number(ana)) << "the last text comes back";
    EXPECT_EQ(FrmLocAp::rememberedSearch(), QString::number(ana));
    option("Option3")->click();
    search("12345");
    EXPECT_EQ(listed(), "BETO");
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(LocApTest, RefusalsAndMissesSayWhyAndStayOpen) {
    addOrder("ANA");
    addOrder("BETO");
    addDelivered(77, "ZELIA", QDate(2026, 11, 30), "MARCIA");
    open();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Digite algum Critério para a Pesquisa");
    search("");
    for (const char* text : {"12A", "-1", "1,5", " 1", "1e3"}) {
        boxes.answer(MsgAnswer::Ok, "DIGITE APENAS NÚMEROS !");
        search(QString::fromLatin1(text));
    }
    boxes.answer(MsgAnswer::Ok, "JÁ FOI DADO SAÍDA NESTE APARELHO\rEm:30/11/2026\rPor: MARCIA");
    search("77");
    boxes.answer(MsgAnswer::Ok, "Ordem de Serviço não Localizada");
    search("999999999999999");
    option("Option3")->click();
    boxes.answer(MsgAnswer::Ok, "Nenhum Aparelho foi Localizado com este Número de Série!");
    search("NADA");
    ASSERT_EQ(boxes.log().size(), 9);
    for (const ShownBox& b : boxes.log()) EXPECT_EQ(b.title, Title);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.log()[6].icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.log()[7].icon, MsgIcon::Information);
    EXPECT_EQ(boxes.log()[8].icon, MsgIcon::Information);
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(box()->text(), "NADA");
    EXPECT_EQ(listed(), "BETO") << "the list did not move";
}

TEST_F(LocApTest, AnOrderOutsideTheListsFilterClosesTheDialogButLeavesTheList) {
    const qint64 ana = addOrder("ANA", {{"Status", "PRONTO"}});
    addOrder("BETO");
    list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    list->showFilter("SELECT * FROM TblManutencao WHERE Status = 'EM SERVIÇO' ORDER BY Os", "EM SERVIÇO");
    dlg = std::make_unique<FrmLocAp>(list);
    search(QString::number(ana));
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(listed(), "BETO");
}

TEST_F(LocApTest, ADatabaseErrorIsReportedAndTheDialogStays) {
    addOrder("ANA");
    open();
    // The workshop table is gone under the dialog's cursors.
    Database::openDefault().execute("ALTER TABLE TblManutencao RENAME TO TblOutra");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Ocorreu um erro Inesperado ao tentar fazer esta Pesquisa\r"
                                "Feche todos os Formulário e tente Novamente. Se o Problema Persistir Contacte o "
                                "Suporte Técnico e Informe o Erro Abaixo!\r");
    search("1");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log().last().title, Title);
    EXPECT_TRUE(dlg->isVisible());
}

TEST_F(LocApTest, TheListsF10OpensTheDialogModally) {
    addOrder("ANA");
    const qint64 beto = addOrder("BETO");
    addOrder("CARLA");
    list = FrmManutencao::open();
    ModalScript script([beto](QWidget* d) {
        auto* text = d->findChild<QLineEdit*>("TxtBusca");
        text->setText(QString::number(beto));
        d->findChild<QPushButton*>("BtIniciar")->click();
    }, 10000, "FrmLocAp");
    Typing::key(list->findChild<QLineEdit*>("TxtBusca"), Qt::Key_F10);
    EXPECT_TRUE(script.done());
    EXPECT_EQ(listed(), "BETO");
}

TEST_F(ProgramFolderTest, TheDeliveredDialogSearchesTheListsCursorAndRereadsItOnAMiss) {
    addDelivered(10, "ANA", QDate(2026, 1, 2), "MARCIA", "S1");
    addDelivered(11, "BETO", QDate(2026, 1, 3), "MARCIA", "12345");
    addDelivered(12, "CARLA", QDate(2026, 1, 4), "MARCIA", "S3");
    RecordCursor listCursor;
    listCursor.open(databasePath(), "SELECT * FROM TblApEntregues WHERE Nome <> 'CARLA'");
    FrmLocApEntregue dlg(&listCursor);
    EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8("Localizar Ordem de Serviço de Aparelho já Entregue"));
    auto* box = dlg.findChild<QLineEdit*>("TxtBusca");
    const auto search = [&](const QString& text) {
        box->setText(text);
        dlg.findChild<QPushButton*>("BtIniciar")->click();
    };
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Ordem de Serviço não Localizada");
    search("12");   // CARLA is outside the list's query
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Localizar Aparelho já entregue pela Ordem de Serviço"));
    EXPECT_EQ(listCursor.text("Nome"), "BETO") << "read again, on its last row";
    boxes.answer(MsgAnswer::Ok, "DIGITE APENAS NÚMEROS !");
    search("1O");
    EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Localizar Ordem de Serviço de Aparelho Entregue"));
    search("10");
    EXPECT_EQ(listCursor.text("Nome"), "ANA");
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    FrmLocApEntregue again(&listCursor);
    EXPECT_EQ(again.findChild<QLineEdit*>("TxtBusca")->text(), "10");
    again.findChild<QRadioButton*>("Option3")->setChecked(true);
    again.findChild<QLineEdit*>("TxtBusca")->setText("12345");
    again.findChild<QPushButton*>("BtIniciar")->click();
    EXPECT_EQ(listCursor.text("Nome"), "BETO");
}

TARVEL_TEST_MAIN()
