// The advanced settings window, as tables of scenarios.
#include "settings/configavancadas.h"
#include "support/faultrun.h"
#include "support/scriptedboxes.h"
#include "support/typing.h"
#include "support/windowscenario.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

using namespace Scenario;

namespace {

using AdvancedTest = ProgramFolderTest;
using RestrictionsTest = WindowTest;

void select(QWidget* w, const char* list, int line) {
    child<QListWidget>(w, list)->setCurrentRow(line);
    emit child<QListWidget>(w, list)->itemClicked(child<QListWidget>(w, list)->item(line));
}
void execute(const QString& sql, const QVariantList& params = {}) { Database::openDefault().execute(sql, params); }

} // namespace

// The company boxes are written however the window closes; a stored value longer than its box comes back whole.
TEST_F(AdvancedTest, CompanyBoxesAreWrittenOnEveryWayOfClosing) {
    const QString longMessage(130, QLatin1Char('M'));
    execute("UPDATE TblEmpresa SET Sigla = 'ABCD', Msg1 = ?", {longMessage});
    const char* ways[] = {"BtFechar", "Text3@Escape", ""};   // "": the close box
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QString n = QString::number(i);
        ConfigAvancadas w;
        w.show();
        EXPECT_EQ(text(child(&w, "Text2")), i == 0 ? QString("ASSISTÊNCIA TÉCNICA") : "LOJA " + QString::number(i - 1));
        EXPECT_EQ(text(child(&w, "Text1(0)")), longMessage);
        perform(&w, QStringLiteral("Text2=LOJA %1;TxtAut(11)+=M%1;Text1(2)+= %1;Text3+=X").arg(n));   // Sigla takes two
        if (*ways[i]) perform(&w, ways[i]);
        else w.close();
        EXPECT_FALSE(w.isVisible());
        EXPECT_EQ(rows("SELECT NomeFantasia, substr(Aut12, -2), substr(Msg3, -2), Sigla, Msg1 FROM TblEmpresa"),
                  "LOJA " + n + "|M" + n + "| " + n + "|ABCD|" + longMessage);
    }
}

// The company's frames keep the height their one line of text needs, also in a window taller than they are:
// the room left over stays below them.
TEST_F(AdvancedTest, TheCompanyFramesKeepTheirHeight) {
    ConfigAvancadas w;
    w.resize(w.width(), 900);
    w.show();
    QApplication::processEvents();
    QWidget* tab = child(&w, "Text2")->parentWidget()->parentWidget();
    QStringList grown;
    for (auto* frame : tab->findChildren<QGroupBox*>(Qt::FindDirectChildrenOnly))
        if (frame->findChildren<QLineEdit*>().size() && frame->height() > frame->sizeHint().height())
            grown << frame->title() + ": " + QString::number(frame->height() - frame->sizeHint().height());
    EXPECT_EQ(grown.join(", "), "");
}

// Statuses: 13 characters stored, 14 refused; built-in names never deleted, whatever row holds them.
TEST_F(AdvancedTest, Statuses) {
    ConfigAvancadas w;
    std::vector<Step> steps = {
        {"13 characters", [&] { w.BtNvStatus_Click(); }, {input("aguardando pc", "Digite o Nome do Status")}},
        {"14 characters", [&] { w.BtNvStatus_Click(); },
         {input("aguardando pcs"), ok("EXCESSO DE CARACTERES ! (14)\rDigite o Nome do Status com no Máximo 13 Caracteres")}},
        {"a built-in name twice", [&] {
             w.BtNvStatus_Click();
             EXPECT_EQ(lines(&w, "List1"), "PRONTO,EM SERVIÇO,SEM CONSERTO,AGUARDANDO PC,PRONTO");
         }, {input("pronto")}},
        {"nothing selected", [&] { w.BtExStatus_Click(); }, {ok("Selecione o Nome do Status a ser Excluído !!!")}},
    };
    for (int line : {0, 1, 2, 4})
        steps.push_back({QStringLiteral("built-in on line %1").arg(line),
                         [&w, line] { select(&w, "List1", line); w.BtExStatus_Click(); },
                         {ok("Este Status nao poderar ser Excluído")}, "SELECT COUNT(*) FROM TblStatus", "5"});
    steps.push_back({"another name", [&] {
                         select(&w, "List1", 3);
                         w.BtExStatus_Click();
                         EXPECT_EQ(lines(&w, "List1"), "PRONTO,EM SERVIÇO,SEM CONSERTO,PRONTO");
                     }, {ok("O Status:  \" AGUARDANDO PC \"  Será Excluído !")},
                     "SELECT TipoStatus FROM TblStatus ORDER BY TipoStatus", "EM SERVIÇO,PRONTO,PRONTO,SEM CONSERTO"});
    run(steps);
}

// Labour prices: saved lines with their keys; the clicked line alone deleted, also far down the list.
TEST_F(AdvancedTest, LabourPrices) {
    ConfigAvancadas w;
    w.show();
    const QString missing = "Digite o Tipo de Aparelho e o Preço da Mão de Obra";
    const auto save = [&](const QString& aparelho, const QString& preco) {
        return [&w, aparelho, preco] { perform(&w, "TxtAparelho=" + aparelho + ";TxtPreco=" + preco + ";BtSalvarMo"); };
    };
    run({
        {"nothing typed", [&] { perform(&w, "TxtPreco=;BtSalvarMo"); }, {ok(missing)}, {}, {}, "TxtAparelho"},
        {"a type without a price", save("tv", ""), {ok(missing)}},
        {"a type of blanks", save("   ", "10"), {ok(missing)}},
        {"two prices", [&] {
             save("tv", "2.55005")();   // "." types a comma; the fifth decimal rounds the fourth
             save("som", "80")();
             EXPECT_EQ(text(child(&w, "TxtAparelho")) + text(child(&w, "TxtPreco")), "");
             EXPECT_EQ(lines(&w, "List5"), "TV" + QString(18, ' ') + "R$ 2,55,SOM" + QString(17, ' ') + "R$ 80,00");
             // The prices stand in one column: the list's font gives every character one width.
             const QFontMetrics fm(child(&w, "List5")->font());
             EXPECT_EQ(fm.horizontalAdvance("TV" + QString(18, ' ')), fm.horizontalAdvance("SOM" + QString(17, ' ')));
             EXPECT_EQ(lines(&w, "List6"), "1,2");
         }, {}, "SELECT Aparelho, Preco FROM TblPrecoMObra", "TV|25501,SOM|800000"},
        {"nothing selected", [&] { perform(&w, "BtExcluirMo"); }, {ok("Selecione o aparelho que deseja excluir! ")}},
        {"the clicked line", [&] {
             select(&w, "List5", 1);
             w.BtExcluirMo_Click();
             EXPECT_EQ(lines(&w, "List6"), "1");
         }, {ok("O Aparelho selecionado será Excluído da Tabela de Preços de Mão de Obra !")},
         "SELECT Aparelho FROM TblPrecoMObra", "TV"},
        {"removed by another copy: nothing else goes", [&] {
             select(&w, "List5", 0);
             execute("DELETE FROM TblPrecoMObra");
             execute("INSERT INTO TblPrecoMObra (Aparelho, Preco) VALUES ('TV', 10000)");
             w.BtExcluirMo_Click();
         }, {ok("não foi encontrado")}, "SELECT COUNT(*) FROM TblPrecoMObra", "1"},
        {"renamed by another copy: not deleted", [&] {
             select(&w, "List5", 0);
             execute("UPDATE TblPrecoMObra SET Aparelho = 'RADIO'");
             w.BtExcluirMo_Click();
         }, {ok("não foi encontrado")}, "SELECT Aparelho FROM TblPrecoMObra", "RADIO"},
        {"line 280 of 300", [&] {
             raw("DELETE FROM TblPrecoMObra; WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n WHERE i < 299) "
                 "INSERT INTO TblPrecoMObra (Aparelho, Preco) SELECT 'AP' || i, 10000 FROM n");
             ConfigAvancadas again;
             select(&again, "List5", 280);
             again.BtExcluirMo_Click();
         }, {ok()}, "SELECT COUNT(*), SUM(Aparelho = 'AP280'), SUM(Aparelho = 'AP24') FROM TblPrecoMObra", "299|0|1"},
        {"5, then the 5 deleted: a lone comma reads 0, and stores 0", [&] {
             perform(&w, "TxtAparelho=radio;TxtPreco=5,");
             auto* preco = child<QLineEdit>(&w, "TxtPreco");
             preco->setCursorPosition(1);
             Typing::key(preco, Qt::Key_Backspace);
             EXPECT_EQ(text(preco) + QString::number(preco->cursorPosition()), "0,2");
             perform(&w, "BtSalvarMo");
         }, {}, "SELECT Preco FROM TblPrecoMObra WHERE Aparelho = 'RADIO'", "0"},
    });
}

TEST_F(AdvancedTest, AtMostTwoOperators) {
    ConfigAvancadas w;
    run({
        {"the second operator", [&] {
             ModalScript script([](QWidget* dlg) {
                 perform(dlg, "TxtOperador=1234;TxtNvUsuario=pedro;TxtSnNvUsuario=4567;BtCadastrar;BtFechar");
             }, 10000, "frmNvOperador");
             w.BtNvOp_Click();
             EXPECT_EQ(w.findChild<DataGrid*>("DBGrid1")->model()->rowCount(), 2);
         }, {ok("Cadastrado Com Sucesso")}},
        {"a third", [&] { w.BtNvOp_Click(); }, {ok("Numero Máximo de Operadores Excedido")}},
    });
}

// The operators grid hands the chosen operator to the rights and delete windows, and reads the rows again after them.
TEST_F(AdvancedTest, TheOperatorsGridHandsTheChosenOneOn) {
    execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini) VALUES ('PEDRO', 10727, 1)");
    ConfigAvancadas w;
    w.show();
    auto* grid = w.findChild<DataGrid*>("DBGrid1");
    const auto shown = [grid] {
        QStringList cells;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            for (int c = 0; c < grid->model()->columnCount(); ++c) cells << grid->model()->index(r, c).data().toString();
        return cells.join('|');
    };
    const auto choose = [&](const QString& nome) {
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            for (int c = 0; c < grid->model()->columnCount(); ++c)
                if (grid->model()->index(r, c).data().toString() == nome) grid->view()->setCurrentIndex(grid->model()->index(r, c));
    };
    QString before, title;
    run({
        {"the rights of the one chosen", [&] {
             choose("PEDRO");
             before = shown();
             ModalScript alt([&](QWidget* dlg) {
                 title = dlg->windowTitle();
                 child<QCheckBox>(dlg, "Check9")->setChecked(true);
                 perform(dlg, "TxtOperador=1234;BtAlterar;BtFechar");
             }, 10000, "FrmAltAcesso");
             w.BtAltAcesso_Click();
             EXPECT_EQ(title, "Alterar Níveis de Acesso para o Operador: PEDRO");
             EXPECT_NE(shown(), before) << "the grid shows the new rights";
         }, {ok("Níveis de Acesso do Operador: PEDRO\rAlterados Com Sucesso !")}, "SELECT Fnr <> 0 FROM TblOperador WHERE NomeOperador = 'PEDRO'", "1"},
        {"the one chosen deleted; the grid without him", [&] {
             choose("PEDRO");
             ModalScript ex([&](QWidget* dlg) {
                 EXPECT_EQ(child<QLabel>(dlg, "LblExOp")->text(), "PEDRO");
                 perform(dlg, "TxtOperador=1234;BtExcluir;BtFechar");
             }, 10000, "FrmExOperador");
             w.BtExOp_Click();
             EXPECT_EQ(grid->model()->rowCount(), 1);
         }, {ok("OPERADOR: PEDRO\rEXCLUÍDO COM SUCESSO !")}, "SELECT NomeOperador FROM TblOperador", "ADMINISTRADOR"},
    });
}

// Restrictions: deleting needs Rst and moves to the next row, or the first; a reason typed is written on closing.
TEST_F(RestrictionsTest, Scenarios) {
    for (const char* cliente : {"ANA", "BETO", "CAIO"})
        execute("INSERT INTO TblRestricao (IdCliente, Cliente, Motivo, OpRestricao, DataRestricao, Tipo) "
                "VALUES (1, ?, 'DEVE', 'ADMINISTRADOR', '2025-03-04', 'NÃO PERMITIR ENTRADA')",
                {QString::fromLatin1(cliente)});
    execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, Rst) VALUES ('PEDRO', 10727, 1, 0)");
    const auto current = [&] { return text(child(window.get(), "TxtRest(0)")); };
    const QString cliente = "SELECT Cliente FROM TblRestricao ORDER BY Cliente";
    run({
        {"an operator without Rst", [&] {
             open<ConfigAvancadas>("TxtOperador=4567");
             EXPECT_FALSE(child(window.get(), "TxtOperador")->isEnabled() || child(window.get(), "BtExRestricao")->isEnabled());
         }, {ok("Voce Não Possui Autorizaçao para esta Operação")}},
        {"No keeps the restriction", [&] {
             open<ConfigAvancadas>("TxtOperador=1234");
             EXPECT_EQ(focusName(), "BtExRestricao");
             auto* grid = window->findChild<DataGrid*>("DBGrid2");
             grid->view()->setCurrentIndex(grid->model()->index(2, 0));
             EXPECT_EQ(current(), "CAIO");
             act("BtExRestricao");
         }, {no("Confirma Exclusão da Restrição Número: 3\rAdiciona em: 04/03/2025\rpor: ADMINISTRADOR")}, cliente,
         "ANA,BETO,CAIO"},
        {"Yes on the last deletes it and moves to the first", [&] {
             act("BtExRestricao");
             EXPECT_EQ(current(), "ANA");
             EXPECT_TRUE(static_cast<QLineEdit*>(child(window.get(), "TxtRest(0)"))->isReadOnly());
         }, {yes()}, cliente, "ANA,BETO"},
        {"the reason typed is written on closing", [&] {
             act("TxtRest(5)+= E NAO PAGOU");
             window->close();
         }, {}, "SELECT Motivo FROM TblRestricao ORDER BY Cliente", "DEVE E NAO PAGOU,DEVE"},
        {"a refused deletion says so and stays on its restriction", [&] {
             raw("CREATE TRIGGER recusa BEFORE DELETE ON TblRestricao BEGIN SELECT RAISE(ABORT, 'recusada'); END");
             open<ConfigAvancadas>("TxtOperador=1234");
             act("BtExRestricao");
             raw("DROP TRIGGER recusa");
             EXPECT_EQ(current(), "ANA");
         }, {yes("Número: 1\r"), ok("Ocorreu um Erro ao tentar Excluir esta Restrição!\r")}, cliente, "ANA,BETO"},
        {"Yes on the first moves to the next", [&] { act("BtExRestricao"); EXPECT_EQ(current(), "BETO"); }, {yes()}, cliente, "BETO"},
        {"with none left the question comes, its parts empty", [&] { act("BtExRestricao"); act("BtExRestricao"); }, {yes(), yes("Confirma Exclusão da Restrição Número: \rAdiciona em: \rpor: ")}, cliente, ""},
        {"\"Adicionar Restrição\" reads those added elsewhere and stands on the last", [&] {
             for (const char* c : {"DAVI", "EVA"})
                 execute("INSERT INTO TblRestricao (IdCliente, Cliente, Motivo, Tipo) VALUES (2, ?, 'DEVE', 'AVISO')", {QString::fromLatin1(c)});
             act("BtNvRestricao");
             EXPECT_EQ(current(), "EVA");
             EXPECT_EQ(window->findChild<DataGrid*>("DBGrid2")->model()->rowCount(), 2);
         }, {}, cliente, "DAVI,EVA"},
    });
}

// A write the disk refuses as the window closes names its cause and keeps the window open with every value typed,
// unless the operator closes it all the same; closing again stores them. Moving off a restriction whose reason
// cannot be written stays on it. A COMMIT that landed all the same is a success.
TEST_F(RestrictionsTest, AWriteTheDiskRefusesKeepsTheWindowAndWhatWasTyped) {
    StoreFault::install();
    for (const char* cliente : {"ANA", "BETO"})
        execute("INSERT INTO TblRestricao (IdCliente, Cliente, Motivo, Tipo) VALUES (1, ?, 'DEVE', 'AVISO')",
                {QString::fromLatin1(cliente)});
    enum Way { Fechar, Escape, CloseBox, Move, CloseAnyway };
    std::vector<std::pair<StoreFault::Kind, Way>> cases = {{StoreFault::DiskFull, Escape}, {StoreFault::JournalKept, CloseBox},
                                                           {StoreFault::IoError, CloseAnyway}};
    for (const StoreFault::Kind kind : StoreFault::RefusedWrites) cases.insert(cases.end(), {{kind, Fechar}, {kind, Move}});
    cases.insert(cases.end(), {{StoreFault::JournalGoneButError, Fechar}, {StoreFault::JournalGoneButError, Move}});
    const QString stored = "SELECT NomeFantasia FROM TblEmpresa UNION ALL SELECT Motivo FROM TblRestricao ORDER BY 1";
    for (const auto& [kind, way] : cases) {
        SCOPED_TRACE(testing::Message() << "fault " << kind << ", way " << way);
        execute("UPDATE TblEmpresa SET NomeFantasia = 'LOJA'");
        execute("UPDATE TblRestricao SET Motivo = 'DEVE'");
        open<ConfigAvancadas>(way == Move ? "TxtRest(5)+= E SUMIU" : "Text2=OUTRA LOJA;TxtRest(5)+= E SUMIU");
        auto* grid = window->findChild<DataGrid*>("DBGrid2");
        const auto leave = [&] {
            switch (way) {
            case Fechar: case CloseAnyway: act("BtFechar"); break;
            case Escape: act("Text2@Escape"); break;
            case CloseBox: window->close(); break;
            case Move: grid->view()->setCurrentIndex(grid->model()->index(1, 0)); break;
            }
        };
        const QString typed = way == Move ? "DEVE E SUMIU" : "OUTRA LOJA";
        const QString text = writeUnderFault(kind, databasePath(), leave,
                                             way == Move ? MsgAnswer::Ok : way == CloseAnyway ? MsgAnswer::Yes : MsgAnswer::No);
        if (way == CloseAnyway) {
            EXPECT_FALSE(window->isVisible());
            EXPECT_EQ(rows(stored), "DEVE,DEVE,LOJA");
            continue;
        }
        if (!StoreFault::writeLands(kind)) {
            EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar Gravar as Alterações deste Registro.")) << text.toStdString();
            EXPECT_EQ(text.endsWith("sem gravar o que foi digitado?"), way != Move) << text.toStdString();
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(shown(way == Move ? "TxtRest(5)" : "Text2") + shown("TxtRest(0)"), typed + "ANA");
            EXPECT_EQ(grid->view()->currentIndex().row(), 0);
            ScriptedBoxes none;
            leave();
            EXPECT_EQ(none.log().size(), 0U);
        }
        EXPECT_EQ(window->isVisible(), way == Move);
        EXPECT_EQ(rows(stored), way == Move ? "DEVE,DEVE E SUMIU,LOJA" : "DEVE,DEVE E SUMIU,OUTRA LOJA");
        if (way == Move) EXPECT_EQ(shown("TxtRest(0)") + QString::number(grid->view()->currentIndex().row()), "BETO1");
    }
}

TARVEL_TEST_MAIN()
