// The settings window's three lists, the gate before it and the main
// window's entries, on a real database file.
#include "app/apptest.h"
#include "customers/frmapcliente.h"
#include "operators/frmacesso.h"
#include "operators/frminicializar.h"
#include "settings/frmconfig.h"
#include "settings/settingswindows.h"
#include "store/database.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <sqlcipher/sqlite3.h>

namespace {

using ConfigTest = ProgramFolderTest;

qlonglong count(const QString& sql, const QVariantList& params = {}) {
    return Database::openDefault().scalar(sql, params).toLongLong();
}

QStringList column(const QString& sql) {
    QStringList out;
    for (const QVariantList& row : Database::openDefault().rows(sql)) out << row.value(0).toString();
    return out;
}

QStringList lines(QWidget* w, const char* list) {
    QStringList out;
    auto* l = w->findChild<QListWidget*>(list);
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}

void select(QWidget* w, const char* list, const QString& text) {
    auto* l = w->findChild<QListWidget*>(list);
    const auto found = l->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    l->setCurrentItem(found[0]);
}

// One list of the window: its table and field, its buttons and texts.
struct Family {
    const char* table;
    const char* field;
    const char* list;
    void (FrmConfig::*add)();
    void (FrmConfig::*remove)();
    int maxRows;
    int maxLength;
    QString limitMessage;
    QString prompt;
    QString lengthMessage;
};

const Family Marcas{"TblMarca", "Marca", "List1", &FrmConfig::BtNvMarca_Click, &FrmConfig::BtExMarca_Click, 15, 16,
                    "Número Máximo de Marcas Excedido", "Digite a \" Nova Marca\"",
                    "Digite o Nome da Marca com no Máximo 16 Caracteres"};
const Family Tecnicos{"TblTecnicos", "NomeTecnico", "List3", &FrmConfig::BtNvTecnico_Click,
                      &FrmConfig::BtExTecnico_Click, 3, 14, "Número Máximo de Técnicos Excedido",
                      "Digite o Nome do Técnico", "Digite o Nome do Técnico com no Máximo 14 Caracteres"};
const Family Aparelhos{"TblAparelhos", "Aparelho", "List2", &FrmConfig::BtNvTipo_Click, &FrmConfig::BtExTipo_Click,
                       20, 16, "Número Máximo de Aparelhos Excedido", "Digite o \" Novo Aparelho \"",
                       "Digite a Descrição do Aparelho com no Máximo 16 Caracteres"};

} // namespace

// Each list: the longest name is stored and one more character refused with
// the length in the message; lower case is stored in capitals; the row
// limit stops the button before any question.
TEST_F(ConfigTest, EachListKeepsItsLengthAndRowLimits) {
    for (const Family& f : {Marcas, Tecnicos, Aparelhos}) {
        SCOPED_TRACE(f.table);
        FrmConfig w;
        w.show();
        ScriptedBoxes boxes;
        const QString longest(f.maxLength, QLatin1Char('a'));
        boxes.input(longest + "x", f.prompt);
        boxes.answer(MsgAnswer::Ok, QStringLiteral("EXCESSO DE CARACTERES ! (%1)\r").arg(f.maxLength + 1) + f.lengthMessage);
        (w.*f.add)();
        EXPECT_EQ(boxes.log().last().title, "Configurações");
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Information);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ") + f.table), 0);

        boxes.input(longest);
        (w.*f.add)();
        EXPECT_EQ(lines(&w, f.list), QStringList{longest.toUpper()});
        EXPECT_EQ(column(QStringLiteral("SELECT %1 FROM %2").arg(f.field, f.table)), QStringList{longest.toUpper()});

        // Cancel and an empty answer store nothing and say nothing.
        boxes.input(std::nullopt);
        boxes.input(QString());
        (w.*f.add)();
        (w.*f.add)();

        for (int i = 1; i < f.maxRows; ++i) {
            boxes.input(QStringLiteral("N%1").arg(i));
            (w.*f.add)();
        }
        EXPECT_EQ(lines(&w, f.list).size(), f.maxRows);
        boxes.answer(MsgAnswer::Ok, f.limitMessage);
        (w.*f.add)();
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
        EXPECT_EQ(boxes.log().last().title, "Tarvel");
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM ") + f.table), f.maxRows);
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblAparelhos WHERE Dpto <> 'OUTROS' OR Dpto IS NULL"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblAparelhos"), 20);
}

// A name with an apostrophe never reaches the table; a name of blanks is
// stored as typed.
TEST_F(ConfigTest, ApostropheRefusedBlanksKept) {
    FrmConfig w;
    ScriptedBoxes boxes;
    boxes.input("D'ANGELO").answer(MsgAnswer::Ok, "apóstrofo");
    w.BtNvTecnico_Click();
    boxes.input("   ");
    w.BtNvTecnico_Click();
    EXPECT_EQ(column("SELECT NomeTecnico FROM TblTecnicos"), QStringList{"   "});
}

// Deleting: no selection asks for one; the notice names the item, then its
// own row goes (not a row differing only in case); the other copy's
// deletion leaves every other row alone.
TEST_F(ConfigTest, DeletionRemovesOnlyTheSelectedRow) {
    Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('PHILCO'), ('Lg'), ('LG'), ('SONY')");
    FrmConfig w;
    w.show();
    EXPECT_EQ(lines(&w, "List1"), (QStringList{"PHILCO", "Lg", "LG", "SONY"}));
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Selecione a Marca a ser Excluída !!!");
    w.BtExMarca_Click();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblMarca"), 4);

    select(&w, "List1", "LG");
    boxes.answer(MsgAnswer::Ok, "A Marca:  \" LG \"  Será Excluída !");
    w.BtExMarca_Click();
    EXPECT_EQ(boxes.log().last().title, "Configurações");
    EXPECT_EQ(column("SELECT Marca FROM TblMarca"), (QStringList{"PHILCO", "Lg", "SONY"}));
    EXPECT_EQ(lines(&w, "List1"), (QStringList{"PHILCO", "Lg", "SONY"}));

    // Another copy removes the selected SONY while this window shows it:
    // the other SONY stays, and the list is read again.
    Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('SONY')");
    w.findChild<QListWidget*>("List1")->setCurrentRow(2);
    Database::openDefault().execute(
        "DELETE FROM TblMarca WHERE rowid = (SELECT MIN(rowid) FROM TblMarca WHERE Marca = 'SONY')");
    boxes.answer(MsgAnswer::Ok, "não foi encontrado");
    w.BtExMarca_Click();
    EXPECT_EQ(column("SELECT Marca FROM TblMarca"), (QStringList{"PHILCO", "Lg", "SONY"}));
    EXPECT_EQ(lines(&w, "List1"), (QStringList{"PHILCO", "Lg", "SONY"}));
}

// A save the database refuses shows its error and adds no line.
TEST_F(ConfigTest, RefusedSaveShowsTheErrorAndNoLine) {
    Database db = Database::openDefault();
    ASSERT_EQ(sqlite3_exec(db.handle(),
                           "CREATE TRIGGER recusa BEFORE INSERT ON TblTecnicos "
                           "BEGIN SELECT RAISE(ABORT, 'gravação recusada'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    FrmConfig w;
    ScriptedBoxes boxes;
    boxes.input("ANA").answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!\r"
                                             "Se o Problema persistir, Contacte o Suporte Técnico\r");
    w.BtNvTecnico_Click();
    EXPECT_TRUE(boxes.log().last().text.contains("gravação recusada"));
    EXPECT_EQ(boxes.log().last().title, "Configurações Tarvel");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_TRUE(lines(&w, "List3").isEmpty());
}

// The gate closes before the settings open; the appliance window then
// offers the brands and types recorded there.
TEST_F(ConfigTest, GateOpensTheSettingsWhoseListsTheApplianceWindowOffers) {
    FrmAcesso gate;
    EXPECT_EQ(gate.windowTitle(), "Acesso à Configurações");
    ScriptedBoxes boxes;
    boxes.input("brastemp").input("geladeira");
    ModalScript script([&](QWidget* dlg) {
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        ModalScript config(
            [&](QWidget* settings) {
                EXPECT_FALSE(gate.isVisible());
                auto* frm = static_cast<FrmConfig*>(settings);
                frm->BtNvMarca_Click();
                frm->BtNvTipo_Click();
                Typing::key(settings->findChild<QPushButton*>("BtFechar"), Qt::Key_Escape);
            },
            10000, "FrmConfig");
        dlg->findChild<QPushButton*>("BtOk")->click();
    });
    EXPECT_EQ(gate.exec(), QDialog::Accepted);

    Modulo::NomeClienteAtual = "ANA";
    FrmApCliente ap;
    EXPECT_EQ(ap.findChild<QComboBox*>("Combo(0)")->itemText(0), "GELADEIRA");
    EXPECT_EQ(ap.findChild<QComboBox*>("Combo(1)")->itemText(0), "BRASTEMP");
}

using SettingsEntriesTest = MainWindowTest;

TEST_F(SettingsEntriesTest, MainWindowEntriesOpenTheGateAndThePasswordChange) {
    registerSettingsWindows();
    start();
    ASSERT_TRUE(action("MnuConfig")->isEnabled());
    ASSERT_TRUE(action("MnuAltSenha")->isEnabled());
    {
        ModalScript script([](QWidget* dlg) { dlg->findChild<QPushButton*>("BtFechar")->click(); }, 10000,
                           "FrmAltSenha");
        action("MnuAltSenha")->trigger();
    }
    ModalScript script([](QWidget* dlg) { dlg->close(); }, 10000, "FrmAcesso");
    action("MnuConfig")->trigger();
}

// A new shop's first day with the settings: the first operator adds an
// operator who may open the settings, that operator logs in, changes his
// password and opens the settings with the new one.
TEST_F(SettingsEntriesTest, AnOperatorAddedInTheSettingsLogsInAndChangesHisPassword) {
    registerSettingsWindows();
    start();
    const auto click = [](QWidget* w, const char* name) { w->findChild<QPushButton*>(name)->click(); };
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Operador: PEDRO\rCadastrado Com Sucesso !");
    {
        ModalScript gate([&](QWidget* g) {
            Typing::type(g->findChild<QLineEdit*>("TxtOperador"), "1234");
            ModalScript config([&](QWidget* c) {
                ModalScript advanced([&](QWidget* a) {
                    ModalScript nv([&](QWidget* n) {
                        Typing::type(n->findChild<QLineEdit*>("TxtOperador"), "1234");
                        Typing::type(n->findChild<QLineEdit*>("TxtNvUsuario"), "pedro");
                        Typing::type(n->findChild<QLineEdit*>("TxtSnNvUsuario"), "4567");
                        n->findChild<QCheckBox*>("Check7")->setChecked(true);
                        click(n, "BtCadastrar");
                        click(n, "BtFechar");
                    }, 10000, "frmNvOperador");
                    click(a, "BtNvOp");
                    EXPECT_EQ(a->findChild<DataGrid*>("DBGrid1")->model()->rowCount(), 2);
                    click(a, "BtFechar");
                }, 10000, "ConfigAvancadas");
                click(c, "BtConfigAvanc");
                click(c, "BtFechar");
            }, 10000, "FrmConfig");
            click(g, "BtOk");
        }, 10000, "FrmAcesso");
        action("MnuConfig")->trigger();
    }
    {
        FrmInicializar login;
        ModalScript script([&](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "4567");
            click(dlg, "BtOk");
        });
        EXPECT_EQ(login.exec(), QDialog::Accepted);
        EXPECT_EQ(Modulo::NomeOperadorAtual, "PEDRO");
    }
    boxes.answer(MsgAnswer::Ok, "SENHA ALTERADA COM SUCESSO !");
    {
        ModalScript change([&](QWidget* dlg) {
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "4567");
            Typing::type(dlg->findChild<QLineEdit*>("TxtNvSenha"), "8642");
            Typing::type(dlg->findChild<QLineEdit*>("TxtConfNvSenha"), "8642");
            click(dlg, "BtOk");
        }, 10000, "FrmAltSenha");
        action("MnuAltSenha")->trigger();
    }
    ModalScript gate([&](QWidget* g) {
        Typing::type(g->findChild<QLineEdit*>("TxtOperador"), "8642");
        EXPECT_EQ(g->findChild<QLineEdit*>("TxtOperador")->text(), "PEDRO");
        ModalScript config([&](QWidget* c) { click(c, "BtFechar"); }, 10000, "FrmConfig");
        click(g, "BtOk");
    }, 10000, "FrmAcesso");
    action("MnuConfig")->trigger();
}

// The real input box takes capitals and no apostrophe as they are typed.
TEST_F(ConfigTest, TheInputBoxTypesCapitalsWithoutApostrophe) {
    FrmConfig w;
    w.show();
    BoxHook* tests = setBoxHook(nullptr);
    ModalScript script([](QWidget* dlg) {
        auto* field = dlg->findChild<QLineEdit*>();
        Typing::type(field, "d'ângelo");
        EXPECT_EQ(field->text(), "DÂNGELO");
        static_cast<QDialog*>(dlg)->accept();
    });
    w.BtNvTecnico_Click();
    setBoxHook(tests);
    EXPECT_EQ(column("SELECT NomeTecnico FROM TblTecnicos"), QStringList{"DÂNGELO"});
}

TARVEL_TEST_MAIN()
