// The advanced settings: company record, statuses, labour prices, operators
// and restrictions, on a real database file.
#include "operators/frmnvoperador.h"
#include "settings/configavancadas.h"
#include "store/database.h"
#include "store/schema.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <sqlcipher/sqlite3.h>

namespace {

using AdvancedTest = ProgramFolderTest;

QVariant value(const QString& sql, const QVariantList& params = {}) {
    return Database::openDefault().scalar(sql, params);
}
QLineEdit* box(QWidget* w, const QString& name) { return w->findChild<QLineEdit*>(name); }
QPushButton* button(QWidget* w, const char* name) { return w->findChild<QPushButton*>(name); }
QStringList lines(QWidget* w, const char* list) {
    QStringList out;
    auto* l = w->findChild<QListWidget*>(list);
    for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
    return out;
}
// Types at the end of a box's text.
void append(QLineEdit* box, const QString& text) {
    Typing::focus(box);
    box->end(false);
    Typing::type(box, text);
}
void select(QWidget* w, const char* list, int line) {
    auto* l = w->findChild<QListWidget*>(list);
    l->setCurrentRow(line);
    emit l->itemClicked(l->item(line));
}

} // namespace

// What is typed into the company, authorised-brand and message boxes is
// stored by "&Fechar", by Esc and by the close box, and shown next time.
TEST_F(AdvancedTest, CompanyBoxesAreWrittenOnEveryWayOfClosing) {
    const std::vector<std::function<void(ConfigAvancadas&)>> ways = {
        [](ConfigAvancadas& w) { button(&w, "BtFechar")->click(); },
        [](ConfigAvancadas& w) { Typing::key(box(&w, "Text3"), Qt::Key_Escape); },
        [](ConfigAvancadas& w) { w.close(); },
    };
    for (std::size_t i = 0; i < ways.size(); ++i) {
        SCOPED_TRACE(i);
        const QString n = QString::number(i);
        {
            ConfigAvancadas w;
            w.show();
            EXPECT_EQ(w.windowTitle(), "Configurações Avançadas");
            EXPECT_EQ(box(&w, "Text2")->text(), i == 0 ? QString("ASSISTÊNCIA TÉCNICA") : "LOJA " + QString::number(i - 1));
            box(&w, "Text2")->clear();
            Typing::type(box(&w, "Text2"), "LOJA " + n);
            append(box(&w, "TxtAut(11)"), "M" + n);
            append(box(&w, "Text1(2)"), " " + n);
            ways[i](w);
            EXPECT_FALSE(w.isVisible());
        }
        EXPECT_EQ(value("SELECT NomeFantasia FROM TblEmpresa").toString(), "LOJA " + n);
        EXPECT_TRUE(value("SELECT Aut12 FROM TblEmpresa").toString().endsWith("M" + n));
        EXPECT_TRUE(value("SELECT Msg3 FROM TblEmpresa").toString().endsWith(" " + n));
    }
    ConfigAvancadas w;
    EXPECT_EQ(box(&w, "Text2")->text(), "LOJA 2");
    EXPECT_EQ(box(&w, "TxtAut(11)")->text(), "M0M1M2");
}

// A stored value longer than its box's limit comes back unchanged; the
// limit applies to typing only.
TEST_F(AdvancedTest, ALongStoredValueSurvivesOpenAndClose) {
    const QString longMessage(130, QLatin1Char('M'));
    Database::openDefault().execute("UPDATE TblEmpresa SET Sigla = 'ABCD', Msg1 = ?", {longMessage});
    {
        ConfigAvancadas w;
        w.show();
        EXPECT_EQ(box(&w, "Text3")->text(), "ABCD");
        EXPECT_EQ(box(&w, "Text1(0)")->text(), longMessage);
        Typing::type(box(&w, "TxtFax"), "1234");
        Typing::type(box(&w, "Text3"), "X");
        EXPECT_EQ(box(&w, "Text3")->text(), "ABCD");
        w.close();
    }
    EXPECT_EQ(value("SELECT Sigla FROM TblEmpresa").toString(), "ABCD");
    EXPECT_EQ(value("SELECT Msg1 FROM TblEmpresa").toString(), longMessage);
    EXPECT_EQ(value("SELECT Fax FROM TblEmpresa").toString(), "1234");
}

// Statuses: 13 characters stored, 14 refused; built-in names never deleted,
// whatever row holds them; others go after the notice.
TEST_F(AdvancedTest, StatusesKeepTheirLengthAndTheBuiltInNames) {
    ConfigAvancadas w;
    ScriptedBoxes boxes;
    boxes.input("aguardando pc", "Digite o Nome do Status");
    w.BtNvStatus_Click();
    boxes.input("aguardando pcs")
        .answer(MsgAnswer::Ok, "EXCESSO DE CARACTERES ! (14)\rDigite o Nome do Status com no Máximo 13 Caracteres");
    w.BtNvStatus_Click();
    EXPECT_EQ(boxes.log().last().title, "Tarvel");
    boxes.input("pronto");
    w.BtNvStatus_Click();
    EXPECT_EQ(lines(&w, "List1"), (QStringList{"PRONTO", "EM SERVIÇO", "SEM CONSERTO", "AGUARDANDO PC", "PRONTO"}));

    boxes.answer(MsgAnswer::Ok, "Selecione o Nome do Status a ser Excluído !!!");
    w.BtExStatus_Click();
    for (int line : {0, 1, 2, 4}) {
        select(&w, "List1", line);
        boxes.answer(MsgAnswer::Ok, "Este Status nao poderar ser Excluído");
        w.BtExStatus_Click();
        EXPECT_EQ(boxes.log().last().title, "Impossível Excluir");
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    }
    select(&w, "List1", 3);
    boxes.answer(MsgAnswer::Ok, "O Status:  \" AGUARDANDO PC \"  Será Excluído !");
    w.BtExStatus_Click();
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblStatus").toInt(), 4);
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblStatus WHERE TipoStatus = 'PRONTO'").toInt(), 2);
    EXPECT_EQ(lines(&w, "List1"), (QStringList{"PRONTO", "EM SERVIÇO", "SEM CONSERTO", "PRONTO"}));
}

// Labour prices: the price box's typing rules, a saved line in the
// fixed-pitch layout, an unreadable price, and the deletion of the clicked
// line alone.
TEST_F(AdvancedTest, LabourPricesAreTypedListedAndDeleted) {
    ConfigAvancadas w;
    w.show();
    QLineEdit* preco = box(&w, "TxtPreco");
    Typing::type(preco, ",");
    EXPECT_EQ(preco->text(), "0,");
    EXPECT_EQ(preco->cursorPosition(), 2);
    preco->clear();
    Typing::type(preco, "2a-/5.5,1");
    EXPECT_EQ(preco->text(), "25,51");
    preco->clear();
    Typing::paste(preco, "R$ 1.234,56");
    EXPECT_EQ(preco->text(), "1234,56");

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Digite o Tipo de Aparelho e o Preço da Mão de Obra");
    w.BtSalvarMo_Click();
    EXPECT_EQ(QApplication::focusWidget(), box(&w, "TxtAparelho"));
    // Five decimals are read to four, the half rounding up.
    Typing::type(box(&w, "TxtAparelho"), "tv");
    preco->clear();
    Typing::type(preco, "2,55005");
    w.BtSalvarMo_Click();
    box(&w, "TxtAparelho")->setText("som");
    preco->setText("80");
    w.BtSalvarMo_Click();
    EXPECT_TRUE(box(&w, "TxtAparelho")->text().isEmpty());
    EXPECT_TRUE(preco->text().isEmpty());
    EXPECT_EQ(lines(&w, "List5"), (QStringList{"TV" + QString(18, ' ') + "R$ 2,55", "SOM" + QString(17, ' ') + "R$ 80,00"}));
    EXPECT_EQ(lines(&w, "List6"), (QStringList{"1", "2"}));
    EXPECT_EQ(value("SELECT Preco FROM TblPrecoMObra WHERE Aparelho = 'TV'").toLongLong(), 25501);

    boxes.answer(MsgAnswer::Ok, "Selecione o aparelho que deseja excluir! ");
    w.BtExcluirMo_Click();
    EXPECT_EQ(boxes.log().last().title, "Exclusão de Preço de Mão de Obra");
    select(&w, "List5", 1);
    boxes.answer(MsgAnswer::Ok, "O Aparelho selecionado será Excluído da Tabela de Preços de Mão de Obra !");
    w.BtExcluirMo_Click();
    EXPECT_EQ(lines(&w, "List5"), QStringList{"TV" + QString(18, ' ') + "R$ 2,55"});
    EXPECT_EQ(lines(&w, "List6"), QStringList{"1"});

    // Another copy deleted the clicked price: nothing else goes.
    select(&w, "List5", 0);
    Database::openDefault().execute("DELETE FROM TblPrecoMObra");
    Database::openDefault().execute("INSERT INTO TblPrecoMObra (Aparelho, Preco) VALUES ('TV', 10000)");
    boxes.answer(MsgAnswer::Ok, "não foi encontrado");
    w.BtExcluirMo_Click();
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblPrecoMObra").toInt(), 1);
}

// Line positions past 255 still name their own row.
TEST_F(AdvancedTest, APriceFarDownTheListIsTheOneDeleted) {
    Database db = Database::openDefault();
    for (int i = 0; i < 300; ++i)
        db.execute("INSERT INTO TblPrecoMObra (Aparelho, Preco) VALUES (?, 10000)", {QStringLiteral("AP%1").arg(i)});
    ConfigAvancadas w;
    select(&w, "List5", 280);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok);
    w.BtExcluirMo_Click();
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblPrecoMObra").toInt(), 299);
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblPrecoMObra WHERE Aparelho = 'AP280'").toInt(), 0);
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblPrecoMObra WHERE Aparelho = 'AP24'").toInt(), 1);
}

TEST_F(AdvancedTest, AtMostTwoOperators) {
    ConfigAvancadas w;
    {
        ModalScript script([](QWidget* dlg) { dlg->close(); }, 10000, "frmNvOperador");
        w.BtNvOp_Click();
    }
    Database::openDefault().execute("INSERT INTO TblOperador (NomeOperador, Senha) VALUES ('PEDRO', 10727)");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Numero Máximo de Operadores Excedido");
    w.BtNvOp_Click();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.log().last().title, "Tarvel");
}

// Restrictions: the delete button needs Rst; the question names the row;
// after a deletion the next row, or the first, becomes current; a reason
// typed is written when the window closes.
TEST_F(AdvancedTest, RestrictionsAreDeletedUnderRstAndTheirReasonEdited) {
    Database db = Database::openDefault();
    for (const char* cliente : {"ANA", "BETO", "CAIO"})
        db.execute("INSERT INTO TblRestricao (IdCliente, Cliente, Motivo, OpRestricao, DataRestricao, Tipo) "
                   "VALUES (1, ?, 'DEVE', 'ADMINISTRADOR', '2025-03-04', 'NÃO PERMITIR ENTRADA')",
                   {QString::fromLatin1(cliente)});
    db.execute("INSERT INTO TblOperador (NomeOperador, Senha, Ini, Rst) VALUES ('PEDRO', 10727, 1, 0)");
    {
        ConfigAvancadas w;
        w.show();
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
        Typing::type(box(&w, "TxtOperador"), "4567");
        EXPECT_EQ(boxes.log().last().title, "Excluir Restrição");
        EXPECT_FALSE(box(&w, "TxtOperador")->isEnabled());
        EXPECT_FALSE(button(&w, "BtExRestricao")->isEnabled());
    }
    ConfigAvancadas w;
    w.show();
    Typing::type(box(&w, "TxtOperador"), "1234");
    EXPECT_EQ(QApplication::focusWidget(), button(&w, "BtExRestricao"));
    auto* grid = w.findChild<DataGrid*>("DBGrid2");
    grid->view()->setCurrentIndex(grid->model()->index(2, 0));
    EXPECT_EQ(box(&w, "TxtRest(0)")->text(), "CAIO");

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Confirma Exclusão da Restrição Número: 3\rAdiciona em: 04/03/2025\rpor: ADMINISTRADOR");
    button(&w, "BtExRestricao")->click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblRestricao").toInt(), 3);
    boxes.answer(MsgAnswer::Yes);
    button(&w, "BtExRestricao")->click();
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblRestricao").toInt(), 2);
    EXPECT_EQ(box(&w, "TxtRest(0)")->text(), "ANA");
    EXPECT_TRUE(box(&w, "TxtRest(0)")->isReadOnly());

    append(box(&w, "TxtRest(5)"), " E NAO PAGOU");
    w.close();
    EXPECT_EQ(value("SELECT Motivo FROM TblRestricao WHERE Cliente = 'ANA'").toString(), "DEVE E NAO PAGOU");
    EXPECT_EQ(value("SELECT Motivo FROM TblRestricao WHERE Cliente = 'BETO'").toString(), "DEVE");

    // A deletion the database refuses is reported and its restriction stays
    // current; with no restriction left the question still comes, its parts
    // empty, and Yes deletes nothing.
    ASSERT_EQ(sqlite3_exec(db.handle(),
                           "CREATE TRIGGER recusa BEFORE DELETE ON TblRestricao "
                           "BEGIN SELECT RAISE(ABORT, 'exclusão recusada'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ConfigAvancadas again;
    again.show();
    Typing::type(box(&again, "TxtOperador"), "1234");
    boxes.answer(MsgAnswer::Yes, "Número: 1\r")
        .answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Excluir esta Restrição!\r");
    button(&again, "BtExRestricao")->click();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.log().last().text.contains("exclusão recusada"));
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblRestricao").toInt(), 2);
    EXPECT_EQ(box(&again, "TxtRest(0)")->text(), "ANA");

    db.execute("DROP TRIGGER recusa");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes);
    button(&again, "BtExRestricao")->click();
    button(&again, "BtExRestricao")->click();
    EXPECT_EQ(value("SELECT COUNT(*) FROM TblRestricao").toInt(), 0);
    boxes.answer(MsgAnswer::Yes, "Confirma Exclusão da Restrição Número: \rAdiciona em: \rpor: ");
    button(&again, "BtExRestricao")->click();
    EXPECT_EQ(boxes.log().last().text, "Confirma Exclusão da Restrição Número: \rAdiciona em: \rpor: ");
}

TARVEL_TEST_MAIN()
