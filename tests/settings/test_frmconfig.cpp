// The settings window's three lists, and its entry from the main window.
#include "app/apptest.h"
#include "operators/frminicializar.h"
#include "settings/frmconfig.h"
#include "settings/settingswindows.h"
#include "support/faultrun.h"
#include "support/typing.h"
#include "support/windowscenario.h"

#include <QLineEdit>
#include <QListWidget>

using namespace Scenario;

namespace {

using ConfigTest = ProgramFolderTest;

// One list of the window: its table and field, its buttons and texts.
struct Family {
    const char *table, *field, *list;
    void (FrmConfig::*add)();
    int maxRows, maxLength;
    QString limitMessage, prompt, lengthMessage;
};

} // namespace

// Each list: its length and row limits; Cancel and an empty answer store nothing.
TEST_F(ConfigTest, EachListKeepsItsLengthAndRowLimits) {
    StoreFault::install();
    const Family families[] = {
        {"TblMarca", "Marca", "List1", &FrmConfig::BtNvMarca_Click, 15, 16, "Número Máximo de Marcas Excedido",
         "Digite a \" Nova Marca\"", "Digite o Nome da Marca com no Máximo 16 Caracteres"},
        {"TblTecnicos", "NomeTecnico", "List3", &FrmConfig::BtNvTecnico_Click, 3, 14,
         "Número Máximo de Técnicos Excedido", "Digite o Nome do Técnico",
         "Digite o Nome do Técnico com no Máximo 14 Caracteres"},
        {"TblAparelhos", "Aparelho", "List2", &FrmConfig::BtNvTipo_Click, 20, 16,
         "Número Máximo de Aparelhos Excedido", "Digite o \" Novo Aparelho \"",
         "Digite a Descrição do Aparelho com no Máximo 16 Caracteres"},
    };
    FrmConfig w;
    std::vector<Step> steps;
    for (const Family& f : families) {
        const QString longest(f.maxLength, QLatin1Char('a'));
        const auto add = [&w, f] { (w.*f.add)(); };
        const QString all = QStringLiteral("SELECT %1 FROM %2").arg(f.field, f.table);
        steps.push_back({QString(f.table) + ": one character too many", add, {input(longest + "x", f.prompt),
                          ok(QStringLiteral("EXCESSO DE CARACTERES ! (%1)\r").arg(f.maxLength + 1) + f.lengthMessage)},
                         all, ""});
        steps.push_back({QString(f.table) + ": the longest, Cancel and nothing", [&w, f, add, longest] {
                             add(), add(), add();
                             EXPECT_EQ(lines(&w, f.list), longest.toUpper());
                         }, {input(longest), input(std::nullopt), input(QString())}, all, longest.toUpper()});
        steps.push_back({QString(f.table) + ": up to the limit", [add, f] { for (int i = 1; i <= f.maxRows; ++i) add(); },
                         {}, QStringLiteral("SELECT COUNT(*) FROM %1").arg(f.table), QString::number(f.maxRows)});
        for (int i = 1; i < f.maxRows; ++i) steps.back().boxes.push_back(input(QStringLiteral("N%1").arg(i)));
        steps.back().boxes.push_back(ok(f.limitMessage));
    }
    steps.push_back({"the real input box types capitals without apostrophe", [&] {
                         BoxHook* tests = setBoxHook(nullptr);
                         Database::openDefault().execute("DELETE FROM TblTecnicos");
                         ModalScript script([](QWidget* dlg) {
                             Typing::type(dlg->findChild<QLineEdit*>(), "d'ângelo");
                             static_cast<QDialog*>(dlg)->accept();
                         });
                         w.BtNvTecnico_Click();
                         setBoxHook(tests);
                     }, {}, "SELECT NomeTecnico FROM TblTecnicos", "DÂNGELO"});
    steps.push_back({"an apostrophe never reaches the table; blanks are stored as typed", [&] {
                         Database::openDefault().execute("DELETE FROM TblTecnicos");
                         w.BtNvTecnico_Click(), w.BtNvTecnico_Click();
                     }, {input("D'ANGELO"), ok("apóstrofo"), input("   ")}, "SELECT NomeTecnico FROM TblTecnicos", "   "});
    steps.push_back({"a refused save shows the error and adds no line", [&] {
                         raw("CREATE TRIGGER recusa BEFORE INSERT ON TblTecnicos BEGIN SELECT RAISE(ABORT, 'recusada'); END");
                         const QString before = lines(&w, "List3");
                         w.BtNvTecnico_Click();
                         EXPECT_EQ(lines(&w, "List3"), before);
                     }, {input("ANA"), ok("Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!\r")}});
    steps.push_back({"an add the file cannot confirm takes the name typed at the next click, on its one row", [&] {
                         raw("DROP TRIGGER recusa");
                         {
                             StoreFault fault(StoreFault::JournalGoneUnreadable);
                             w.BtNvTecnico_Click();
                         }
                         EXPECT_FALSE(lines(&w, "List3").contains("BIA"));
                         w.BtNvTecnico_Click();
                         EXPECT_EQ(lines(&w, "List3").count("BEA"), 1);
                         EXPECT_FALSE(lines(&w, "List3").contains("BIA"));
                     }, {input("BIA"), ok("Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!\rSe o Problema "
                                          "persistir, Contacte o Suporte Técnico\r3197_" + UnconfirmedText +
                                          "_Banco de Dados"), input("BEA")},
                     "SELECT group_concat(NomeTecnico) FROM TblTecnicos WHERE NomeTecnico IN ('BIA', 'BEA')", "BEA"});
    steps.push_back({"one the next click cancels stays as stored, shown once, and counts toward the limit", [&] {
                         {
                             StoreFault fault(StoreFault::JournalGoneUnreadable);
                             w.BtNvTecnico_Click();
                         }
                         w.BtNvTecnico_Click();
                         EXPECT_EQ(lines(&w, "List3").count("CAIO"), 1);
                         w.BtNvTecnico_Click();
                     }, {input("CAIO"), ok(UnconfirmedText), input(std::nullopt), ok("Número Máximo de Técnicos Excedido")},
                     "SELECT group_concat(NomeTecnico) FROM TblTecnicos WHERE NomeTecnico = 'CAIO'", "CAIO"});
    run(steps);
}

// An add the file could not confirm and the list read in since (another copy's deletion had it read again) keeps its
// one line when a later click writes a corrected name onto it, also after a click whose write the disk refused.
TEST_F(ConfigTest, AStoredAddTheListReadInSinceKeepsOneLine) {
    StoreFault::install();
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('ZECA')");
    FrmConfig w;
    w.show();
    auto* list = w.findChild<QListWidget*>("List3");
    run({
        {"the add left unconfirmed", [&] {
             StoreFault fault(StoreFault::JournalGoneUnreadable);
             w.BtNvTecnico_Click();
         }, {input("BIA"), ok(UnconfirmedText)}},
        {"a row another copy deleted: the list is read again", [&] {
             Database::openDefault().execute("DELETE FROM TblTecnicos WHERE NomeTecnico = 'ZECA'");
             list->setCurrentRow(lines(&w, "List3").split(',').indexOf("ZECA"));
             w.BtExTecnico_Click();
             EXPECT_EQ(lines(&w, "List3"), "BIA");
         }, {ok("Este Registro não foi encontrado no Banco de Dados.")}},
        {"a correction the disk refuses leaves the stored row as it was, for the next click", [&] {
             StoreFault fault(StoreFault::JournalKept);
             w.BtNvTecnico_Click();
             EXPECT_EQ(lines(&w, "List3"), "BIA");
         }, {input("BETA"), ok("Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!")},
         "SELECT group_concat(NomeTecnico) FROM TblTecnicos", "BIA"},
        {"the corrected name on the same line", [&] {
             w.BtNvTecnico_Click();
             EXPECT_EQ(lines(&w, "List3"), "BEA");
         }, {input("BEA")}, "SELECT group_concat(NomeTecnico) FROM TblTecnicos", "BEA"},
    });
}

// An add the file could not confirm, then a correction the disk refused: another copy deletes the stored row and its
// new technician takes the freed key. The next click adds its own name and leaves the other copy's technician alone.
TEST_F(ConfigTest, ARetryLeavesTheRowAnotherCopyPutOnTheLandedKey) {
    StoreFault::install();
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('ZECA')");
    FrmConfig w;
    w.show();
    const QString stored = "SELECT group_concat(rowid || ' ' || NomeTecnico) FROM (SELECT rowid, NomeTecnico FROM TblTecnicos ORDER BY rowid)";
    run({
        {"the add left unconfirmed", [&] {
             StoreFault fault(StoreFault::JournalGoneUnreadable);
             w.BtNvTecnico_Click();
         }, {input("BIA"), ok(UnconfirmedText)}},
        {"a correction the disk refuses: the writers' turn goes back", [&] {
             StoreFault fault(StoreFault::JournalKept);
             w.BtNvTecnico_Click();
         }, {input("BETA"), ok("Ocorreu um Erro ao tentar Cadastrar o Nome deste Técnico!")}, stored, "1 ZECA,2 BIA"},
        {"another copy's technician on the freed key stays; the click adds its own", [&] {
             elsewhere("DELETE FROM TblTecnicos WHERE NomeTecnico = 'BIA'; INSERT INTO TblTecnicos (NomeTecnico) VALUES ('CAIO')");
             w.BtNvTecnico_Click();
             EXPECT_EQ(lines(&w, "List3"), "ZECA,BEA");
         }, {input("BEA")}, stored, "1 ZECA,2 CAIO,3 BEA"},
    });
}

// Deleting: the selected row alone goes (not one differing only in case), nothing else when another copy removed it.
TEST_F(ConfigTest, DeletionRemovesOnlyTheSelectedRow) {
    Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('PHILCO'), ('Lg'), ('LG'), ('SONY')");
    FrmConfig w;
    w.show();
    auto* list = w.findChild<QListWidget*>("List1");
    const QString marcas = "SELECT Marca FROM TblMarca";
    run({
        {"nothing selected", [&] { w.BtExMarca_Click(); }, {ok("Selecione a Marca a ser Excluída !!!")}, marcas,
         "PHILCO,Lg,LG,SONY"},
        {"a current entry the operator unselected", [&] {
             list->setCurrentRow(1);
             list->currentItem()->setSelected(false);
             w.BtExMarca_Click();
         }, {ok("Selecione a Marca a ser Excluída !!!")}, marcas, "PHILCO,Lg,LG,SONY"},
        {"the selected row alone", [&] {
             list->setCurrentRow(2);
             w.BtExMarca_Click();
             EXPECT_EQ(lines(&w, "List1"), "PHILCO,Lg,SONY");
         }, {ok("A Marca:  \" LG \"  Será Excluída !")}, marcas, "PHILCO,Lg,SONY"},
        {"another copy removed the selected row", [&] {
             Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('SONY'), ('TOSHIBA')");
             list->setCurrentRow(2);
             Database::openDefault().execute(
                 "DELETE FROM TblMarca WHERE rowid = (SELECT MIN(rowid) FROM TblMarca WHERE Marca = 'SONY')");
             w.BtExMarca_Click();
             EXPECT_EQ(lines(&w, "List1"), "PHILCO,Lg,SONY,TOSHIBA");
         }, {ok("não foi encontrado")}, marcas, "PHILCO,Lg,SONY,TOSHIBA"},
    });
}

using SettingsEntriesTest = MainWindowTest;

// An operator holding Cnf changes his password from the main window and opens the settings with the new one.
TEST_F(SettingsEntriesTest, AnOperatorLogsInChangesHisPasswordAndOpensTheSettings) {
    registerSettingsWindows();
    start();
    Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, Cnf) VALUES ('PEDRO', 10727, 1, 1)");
    {
        FrmInicializar login;
        ModalScript script([&](QWidget* dlg) { perform(dlg, "TxtOperador=4567;BtOk"); });
        EXPECT_EQ(login.exec(), QDialog::Accepted);
    }
    bool opened = false;
    run({
        {"the password from the main window", [&] {
             ModalScript change([&](QWidget* dlg) {
                 perform(dlg, "TxtOperador=4567;TxtNvSenha=8642;TxtConfNvSenha=8642;BtOk");
             }, 10000, "FrmAltSenha");
             action("MnuAltSenha")->trigger();
         }, {ok("SENHA ALTERADA COM SUCESSO !")}},
        {"the new password opens the settings", [&] {
             ModalScript gate([&](QWidget* gw) {
                 ModalScript config([&](QWidget* c) { opened = true; perform(c, "BtFechar"); }, 10000, "FrmConfig");
                 perform(gw, "TxtOperador=8642;BtOk");
             }, 10000, "FrmAcesso");
             action("MnuConfig")->trigger();
             EXPECT_TRUE(opened);
         }},
    });
}

TARVEL_TEST_MAIN()
