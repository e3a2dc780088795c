// Editing a customer and his copies in the service-order tables.
#include "customerdata.h"
#include "customers/frmaltcadastro.h"
#include "customers/frmclientes.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace CustomerData;

namespace {

const QString Note40 = QStringLiteral("CLIENTE PREFERE CONTATO PELO CELULAR 123");

struct AltCadastroTest : ProgramFolderTest {
    qint64 ana = 0;
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ana = addCustomer("ANA SILVA", "CAMPINAS", "1911112222", Note40);
        addCustomer("BETO");
        addOpenOrder(ana, "ANA SILVA");
        addOpenOrder(ana, "ANA SILVA");
        addDelivered(ana, "ANA SILVA", false);
        Database::openDefault().execute("INSERT INTO TblRetirada (Nome, End) VALUES ('ANA SILVA', 'RUA A, 1')");
    }
    // Opens the editing window from the list on ANA and runs `act` in it.
    void edit(const std::function<void(QWidget*)>& act) {
        FrmClientes* list = FrmClientes::open();
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(list->dataFrmClientes().findFirst("Nome = 'ANA SILVA'"));
        ModalScript script(act, 10000, "FrmAltCadastro");
        list->findChild<QPushButton*>("BtEditar")->click();
        EXPECT_TRUE(script.done());
    }
};

} // namespace

TEST_F(AltCadastroTest, ANewNameReachesTheOrderCopiesButNotTheReceipts) {
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes, "Confirma a Alteração nos dados cadastrais deste Cliente?")
        .answer(MsgAnswer::Ok, "Dados Cadastrais do Cliente Alterados com Sucesso!");
    edit([](QWidget* dlg) {
        EXPECT_EQ(txt(dlg, 1)->text(), "ANA SILVA");
        EXPECT_TRUE(txt(dlg, 1)->isReadOnly());
        EXPECT_FALSE(button(dlg, "BtAltCadastro")->isEnabled());
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        EXPECT_FALSE(txt(dlg, 1)->isReadOnly());
        txt(dlg, 1)->selectAll();
        Typing::type(txt(dlg, 1), "ana souza");
        EXPECT_EQ(txt(dlg, 1)->palette().color(QPalette::Text), QColor(255, 0, 0));
        button(dlg, "BtAltCadastro")->click();
    });
    EXPECT_EQ(boxes.failures(), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao WHERE Nome = 'ANA SOUZA' AND Email = '" + Note40 + "'"), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues WHERE Nome = 'ANA SOUZA'"), 1);
    EXPECT_EQ(text("SELECT Nome FROM TblRetirada"), "ANA SILVA");
    EXPECT_EQ(text("SELECT Operador FROM TblClientes WHERE Codigo = " + QString::number(ana)), "ADMINISTRADOR");
    // The list shows the stored row.
    auto* list = FrmClientes::open();
    EXPECT_EQ(list->findChild<QLabel*>("Lbl(1)")->text(), "ANA SOUZA");
    EXPECT_EQ(list->dataFrmClientes().text("Nome"), "ANA SOUZA");
}

// A 40-character note in the 25-character box, an unfinished password and a
// blank-only address.
TEST_F(AltCadastroTest, KeepsALongNoteAndWritesNoUnfinishedPassword) {
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "'E obrigatório preencher o Endereço do Cliente !")
        .answer(MsgAnswer::Yes)
        .answer(MsgAnswer::Ok);
    edit([](QWidget* dlg) {
        EXPECT_EQ(txt(dlg, 12)->text(), Note40);
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "12");
        txt(dlg, 2)->selectAll();
        Typing::type(txt(dlg, 2), "  ");
        button(dlg, "BtAltCadastro")->click();   // refused
        txt(dlg, 2)->selectAll();
        Typing::type(txt(dlg, 2), "rua nova, 5");
        button(dlg, "BtAltCadastro")->click();
    });
    EXPECT_EQ(boxes.failures(), 0);
    const auto row = Database::openDefault().rows(
        "SELECT Nome, Endereco, Email, Operador FROM TblClientes WHERE Codigo = " + QString::number(ana));
    EXPECT_EQ(row[0], (QVariantList{"ANA SILVA", "RUA NOVA, 5", Note40, ""}));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues WHERE Endereco = 'RUA NOVA, 5'"), 1);
}

TEST_F(AltCadastroTest, AFailurePartWayLeavesEverythingAsItWas) {
    raw("CREATE TRIGGER falha BEFORE UPDATE ON TblApEntregues BEGIN SELECT RAISE(ABORT, 'bloqueado'); END");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Alterar os Dados Cadastrais");
    edit([](QWidget* dlg) {
        txt(dlg, 5)->selectAll();
        Typing::type(txt(dlg, 5), "SOROCABA");
        button(dlg, "BtAltCadastro")->click();
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_TRUE(button(dlg, "BtAltCadastro")->isEnabled());
        EXPECT_FALSE(dlg->findChild<QLabel*>("LblEdit")->isVisible());
        button(dlg, "BtFechar")->click();
    });
    ASSERT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(boxes.log()[1].icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.log()[1].text.contains("bloqueado"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Cidade = 'SOROCABA'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao WHERE Cidade = 'SOROCABA'"), 0);
}

TARVEL_TEST_MAIN()
