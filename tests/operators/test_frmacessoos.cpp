// The gate before a service order's data may be changed: only Cnf's confirmation sets AcessoOsLiberado.
#include "operators/frmacessoos.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/windowscenario.h"
#include "support/scriptedboxes.h"
#include "support/typing.h"

#include <QLineEdit>
#include <QPushButton>

using GateTest = ProgramFolderTest;

TEST_F(GateTest, Scenarios) {
    Database db(databasePath());   // kept open: the gates' cursors share it
    db.execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs, BxOs, Cnf) VALUES ('PEDRO', 10727, 1, 1, 1, 0)");
    const struct {
        const char *typed, *close;   // 4567: PEDRO, without Cnf; a button, "Esc" or "X" (the close box)
        bool before, after;
    } scenarios[] = {
        {"1234", "BtOk", false, true},     {"1234", "BtFechar", false, false}, {"1234", "Esc", false, false},
        {"1234", "X", false, false},       {"1234", "BtFechar", true, true},   {"1234", "X", true, true},
        {"4567", "BtFechar", false, false},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(std::string(s.typed) + " " + s.close + (s.before ? " was True" : ""));
        Modulo::AcessoOsLiberado = s.before;
        FrmAcessoOs gate;
        ScriptedBoxes boxes;
        const bool refused = QString(s.typed) == "4567";
        if (refused) boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
        ModalScript script([&](QWidget* dlg) {
            auto* field = dlg->findChild<QLineEdit*>("TxtOperador");
            auto* ok = dlg->findChild<QPushButton*>("BtOk");
            EXPECT_TRUE(QApplication::focusWidget() == field && !ok->isEnabled());
            Typing::type(field, s.typed);
            EXPECT_EQ(ok->isEnabled(), !refused);
            EXPECT_EQ(Modulo::AcessoOsLiberado, s.before) << "set only when the window is confirmed";
            if (QString(s.close) == "Esc") Typing::key(QApplication::focusWidget(), Qt::Key_Escape);
            else if (QString(s.close) == "X") dlg->close();
            else dlg->findChild<QPushButton*>(s.close)->click();
        });
        EXPECT_EQ(gate.exec(), QString(s.close) == "BtOk" ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(Modulo::AcessoOsLiberado, s.after);
    }
}

TARVEL_TEST_MAIN()
