// The gate before a service order's data may be changed.
#include "operators/frmacessoos.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {

using GateTest = ProgramFolderTest;

QLineEdit* field(QWidget* dlg) { return dlg->findChild<QLineEdit*>("TxtOperador"); }
QPushButton* button(QWidget* dlg, const char* name) { return dlg->findChild<QPushButton*>(name); }

} // namespace

TEST_F(GateTest, AnOperatorHoldingCnfConfirms) {
    FrmAcessoOs gate;
    EXPECT_EQ(gate.windowTitle(), "Alterar dados da Ordem de Serviço");
    EXPECT_FALSE(button(&gate, "BtOk")->isEnabled());
    ScriptedBoxes boxes;
    ModalScript script([](QWidget* dlg) {
        EXPECT_EQ(QApplication::focusWidget(), field(dlg));
        Typing::type(field(dlg), "1234");
        EXPECT_TRUE(button(dlg, "BtOk")->isEnabled());
        EXPECT_EQ(QApplication::focusWidget(), button(dlg, "BtOk"));
        EXPECT_FALSE(Modulo::AcessoOsLiberado);
        button(dlg, "BtOk")->click();
    });
    EXPECT_EQ(gate.exec(), QDialog::Accepted);
    EXPECT_TRUE(Modulo::AcessoOsLiberado);
}

// Cancel, Esc and the close box, each after an accepted operator: the
// variable keeps its value (False here; True stays True).
TEST_F(GateTest, CancelEscAndCloseBoxLeaveTheVariableAsItWas) {
    const std::vector<std::function<void(QWidget*)>> ways = {
        [](QWidget* dlg) { button(dlg, "BtFechar")->click(); },
        [](QWidget* dlg) { Typing::key(button(dlg, "BtOk"), Qt::Key_Escape); },
        [](QWidget* dlg) { dlg->close(); },
    };
    for (bool before : {false, true}) {
        for (std::size_t i = 0; i < ways.size(); ++i) {
            SCOPED_TRACE(i);
            Modulo::AcessoOsLiberado = before;
            FrmAcessoOs gate;
            ScriptedBoxes boxes;
            ModalScript script([&](QWidget* dlg) {
                Typing::type(field(dlg), "1234");
                ways[i](dlg);
            });
            EXPECT_EQ(gate.exec(), QDialog::Rejected);
            EXPECT_EQ(Modulo::AcessoOsLiberado, before);
        }
    }
}

TEST_F(GateTest, AnOperatorWithoutCnfIsRefused) {
    Database(databasePath())
        .execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Cnf) VALUES ('PEDRO', 10727, 1, 1, 1, 0)");
    FrmAcessoOs gate;
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
    ModalScript script([](QWidget* dlg) {
        Typing::type(field(dlg), "4567");   // 4567 is 10727 in octal
        EXPECT_EQ(field(dlg)->text(), "PEDRO");
        EXPECT_FALSE(button(dlg, "BtOk")->isEnabled());
        button(dlg, "BtFechar")->click();
    });
    EXPECT_EQ(gate.exec(), QDialog::Rejected);
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, "Acessar Configurações");
    EXPECT_FALSE(Modulo::AcessoOsLiberado);
}

TARVEL_TEST_MAIN()
