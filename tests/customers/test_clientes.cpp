// The customers list: deletion, search, sorting, publishing the current row,
// the appliance grid and the hand-over to the intake.
#include "customerdata.h"
#include "customers/frmclientes.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

using namespace CustomerData;

namespace {

struct ClientesTest : ProgramFolderTest {
    FrmClientes* w = nullptr;

    FrmClientes* openList() {
        w = FrmClientes::open();
        EXPECT_NE(w, nullptr);
        settle();
        return w;
    }
    // The one-tick publishing timers have run.
    void settle() {
        waitFor([this] {
            auto* t1 = w->findChild<QTimer*>("TimerGrid");
            auto* t2 = w->findChild<QTimer*>("TimerAparelho");
            return !t1->isActive() && !t2->isActive();
        });
    }
    QString current(const char* field = "Nome") { return w->dataFrmClientes().text(field); }
    QString label(const char* name) { return w->findChild<QLabel*>(name)->text(); }
    QPushButton* button(const char* name) { return w->findChild<QPushButton*>(name); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    QColor searchColour() { return search()->palette().color(QPalette::Text); }
    void find(const QString& text) {
        search()->clear();
        Typing::type(search(), text);
        Typing::key(search(), Qt::Key_Return);
        settle();
    }
    void stand(const QString& nome) {
        ASSERT_TRUE(w->dataFrmClientes().findFirst("Nome = '" + nome + "'"));
        settle();
    }
};

} // namespace

TEST_F(ClientesTest, DeletionRefusalsComeInOrderThenTheCustomerGoesWithHisAppliances) {
    const qint64 ana = addCustomer("ANA");
    addCustomer("BETO");
    addAppliance(ana, "TV", "T1");
    addAppliance(ana, "DVD", "D1");
    addOpenOrder(ana, "ANA");
    addOpenOrder(ana, "ANA");
    addDelivered(ana, "ANA", true);
    addDelivered(ana, "ANA", false);
    Database::openDefault().execute(
        "INSERT INTO TblRestricao (IdCliente, Cliente, Tipo) VALUES (?, 'ANA', 'AVISO')", {ana});
    openList();
    EXPECT_EQ(label("LblNumClientes"), "2");
    ASSERT_EQ(current(), "ANA");

    ScriptedBoxes boxes;
    const QString head = "ATENÇÃO!\rO Cadastro deste Cliente não poderá ser Excluído\r";
    boxes.answer(MsgAnswer::Ok, head + "Porque possui 2 Aparelho(s) atualmente em Manutençao!");
    button("BtExcluir")->click();
    Database::openDefault().execute("DELETE FROM TblManutencao");
    boxes.answer(MsgAnswer::Ok, head + "Porque possui 1 Aparelho(s) atualmente em PERÍODO DE GARANTIA!");
    button("BtExcluir")->click();
    Database::openDefault().execute("UPDATE TblApEntregues SET [Garantia de Serviço] = False");
    boxes.answer(MsgAnswer::Ok, head + "Porque Existe 'Restrições' para ele.");
    button("BtExcluir")->click();
    Database::openDefault().execute("DELETE FROM TblRestricao");
    // Another window deleted BETO: the table counts, not the label.
    Database::openDefault().execute("DELETE FROM TblClientes WHERE Nome = 'BETO'");
    boxes.answer(MsgAnswer::Ok, "Este é o único cliente e não poderá ser Excluído");
    button("BtExcluir")->click();
    ASSERT_EQ(boxes.log().size(), 4);
    EXPECT_EQ(boxes.log()[0].title, "Exclusão de Cadastro de Clientes");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[3].title, "Cadastro de Clientes");
    EXPECT_EQ(boxes.log()[3].icon, MsgIcon::Exclamation);

    addCustomer("CARLA");
    boxes.answer(MsgAnswer::No, "ANA\r\rTem Certeza que Deseja Excluir O Cadastro deste Cliente?\r"
                                "Esta Operação não poderá ser Desfeita !");
    button("BtExcluir")->click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'"), 1);

    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Cadastro de Cliente Excluído com Sucesso");
    button("BtExcluir")->click();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApClientes"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApEntregues"), 2);   // delivered rows stay
    EXPECT_EQ(label("LblNumClientes"), "1");
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(ClientesTest, DeletionMovesToTheNextRowOrToTheFirstAfterTheLast) {
    for (const char* n : {"ANA", "BETO", "CARLA", "DIANA"}) addCustomer(n);
    openList();
    ScriptedBoxes boxes;
    stand("BETO");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok);
    button("BtExcluir")->click();
    settle();
    EXPECT_EQ(current(), "CARLA");
    EXPECT_EQ(Modulo::CodClienteAtual, w->dataFrmClientes().number("Codigo"));
    stand("DIANA");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok);
    button("BtExcluir")->click();
    settle();
    EXPECT_EQ(current(), "ANA");
    EXPECT_EQ(label("Lbl(1)"), "ANA");
    EXPECT_EQ(label("LblNumClientes"), "2");
    EXPECT_EQ(Modulo::CodClienteAtual, w->dataFrmClientes().number("Codigo"));
}

TEST_F(ClientesTest, AFailureBetweenTheTwoDeletionsLeavesBothTablesUnchanged) {
    addCustomer("ANA");
    const qint64 beto = addCustomer("BETO");
    addAppliance(beto, "TV", "T1");
    addAppliance(beto, "RADIO", "R1");
    raw("CREATE TRIGGER falha BEFORE DELETE ON TblClientes BEGIN SELECT RAISE(ABORT, 'falha simulada'); END");
    openList();
    stand("BETO");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "OCORREU UM ERRO AO TENTAR EXCLUIR O CADASTRO DESTE CLIENTE !");
    button("BtExcluir")->click();
    ASSERT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(boxes.log()[1].title, "Exclusão de Cadastro de Clientes");
    EXPECT_TRUE(boxes.log()[1].text.contains("falha simulada"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApClientes WHERE ID = " + QString::number(beto)), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes"), 2);
    settle();
    EXPECT_EQ(current(), "BETO");
    EXPECT_EQ(label("LblNumClientes"), "2");
    EXPECT_EQ(w->dataFrmClientes().recordCount(), 2);
}

TEST_F(ClientesTest, NameSearchFollowsTheSortAndRemembersItsText) {
    addCustomer("MARCOS", "SOROCABA");
    addCustomer("ANA", "BAURU");
    addCustomer("MARIA", "AMPARO");
    addCustomer("100 PEÇAS", "CAMPINAS");
    addCustomer("A_B LTDA", "CAMPINAS");
    openList();
    // In name order MARCOS comes first; in city order MARIA (AMPARO) does.
    find("MAR");
    EXPECT_EQ(current(), "MARCOS");
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    w->findChild<QRadioButton*>("OptCidade")->click();
    settle();
    EXPECT_EQ(current(), "MARIA");   // first row of the new order
    stand("ANA");
    find("mar");   // typed letters become capitals
    EXPECT_EQ(search()->text(), "MAR");
    EXPECT_EQ(current(), "MARIA");

    // No match: red, back to the first row of the current order.
    stand("ANA");
    find("ZE");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
    EXPECT_EQ(current(), "MARIA");
    // "_" and "%" are ordinary characters.
    find("10_");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
    find("A_");
    EXPECT_EQ(current(), "A_B LTDA");
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    EXPECT_EQ(Modulo::CodClienteAtual, w->dataFrmClientes().number("Codigo"));

    w->close();
    closeAllWindows();
    openList();
    EXPECT_EQ(search()->text(), "A_");
    EXPECT_TRUE(w->findChild<QRadioButton*>("OptNome")->isChecked());
    EXPECT_EQ(current(), "100 PEÇAS");   // sorted by name again
}

TEST_F(ClientesTest, OpeningOnACodePublishesTheRowShownAndNewAppliancesGoThere) {
    addCustomer("ANA");
    const qint64 beto = addCustomer("BETO");
    addAppliance(beto, "TV", "T1");
    w = FrmClientes::showOnCustomer(std::int32_t(beto));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(current(), "BETO");
    EXPECT_EQ(Modulo::CodClienteAtual, beto);
    EXPECT_EQ(Modulo::DadosSelecionados[15], "TV");
    // An unknown code leaves the list where it was, and says so.
    EXPECT_EQ(FrmClientes::showOnCustomer(999), w);
    EXPECT_EQ(current(), "BETO");
    EXPECT_EQ(Modulo::CodClienteAtual, beto);

    // Whatever a stale variable says, the appliance goes to the customer shown.
    Modulo::CodClienteAtual = 999;
    Database::openDefault().execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES ('RADIO', 'OUTROS')");
    Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('SONY')");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Aparelho Cadastrado com Sucesso!");
    ModalScript script([](QWidget* dlg) {
        EXPECT_EQ(dlg->findChild<QLineEdit*>("TxtNmCliente")->text(), "BETO");
        dlg->findChild<QComboBox*>("Combo(0)")->setCurrentText("RADIO");
        dlg->findChild<QComboBox*>("Combo(1)")->setCurrentText("SONY");
        Typing::type(dlg->findChild<QLineEdit*>("Txt(0)"), "ICF");
        Typing::type(dlg->findChild<QLineEdit*>("Txt(2)"), "RS-778");
        dlg->findChild<QPushButton*>("BtCadastrar")->click();
        dlg->findChild<QPushButton*>("BtFechar")->click();
    });
    button("BtNvAp")->click();
    settle();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApClientes WHERE ID = " + QString::number(beto)), 2);
    EXPECT_EQ(w->findChild<DataGrid*>("DBGrid2")->model()->rowCount(), 2);
}

TEST_F(ClientesTest, NewOrderButtonWritesAPendingCellEditAndHandsOverTheSelection) {
    const qint64 ana = addCustomer("ANA", "CAMPINAS", "1933334444");
    addAppliance(ana, "TV", "T1", "SN-A");
    openList();
    auto* grid = w->findChild<DataGrid*>("DBGrid2");
    EXPECT_TRUE(button("BtFazerOs")->isEnabled());
    EXPECT_EQ(Modulo::DadosSelecionados[17], "T1");

    // The model is being corrected in the grid; the apostrophe is refused.
    QTableView* view = grid->view();
    const QModelIndex cell = grid->model()->index(0, 2);
    view->setCurrentIndex(cell);
    view->edit(cell);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Typing::type(editor, "t2'b");
    EXPECT_EQ(editor->text(), "t2b");
    Modulo::DadosSelecionados[12] = "intocado";
    // The intake opens on the hand-over; what it shows is what was handed over.
    QStringList shown;
    const auto readIntake = [&shown](QWidget* dlg) {
        shown.clear();
        for (int i : {0, 1, 5, 8, 12}) shown << dlg->findChild<QLabel*>(QStringLiteral("Lbl(%1)").arg(i))->text();
        for (int i : {17, 18, 19, 20}) shown << dlg->findChild<QLineEdit*>(QStringLiteral("Txt(%1)").arg(i))->text();
        const auto& s = Modulo::DadosSelecionados;
        shown << s[15] << s[16];
        dlg->findChild<QPushButton*>("BtFechar")->click();
    };
    {
        ModalScript intake(readIntake, 10000, "FrmEntrada");
        button("BtFazerOs")->click();
        EXPECT_TRUE(intake.done());
    }
    EXPECT_EQ(text("SELECT Modelo FROM TblApClientes"), "t2b");   // no capitals in the grid
    EXPECT_EQ(shown, (QStringList{QString::number(ana), "ANA", "CAMPINAS", "1933334444", "intocado", "t2b", "CH1",
                                  "SN-A", "110V", "TV", "PHILCO"}));
    // The intake empties every slot when it closes.
    for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());

    // A second order on the same appliance after the intake emptied the slots.
    {
        ModalScript intake(readIntake, 10000, "FrmEntrada");
        button("BtFazerOs")->click();
        EXPECT_TRUE(intake.done());
    }
    EXPECT_EQ(shown.mid(1, 1), QStringList{"ANA"});
    EXPECT_EQ(shown.mid(5, 1), QStringList{"t2b"});

    w->close();
    EXPECT_TRUE(Modulo::DadosSelecionados[15].isEmpty() && Modulo::DadosSelecionados[20].isEmpty());
}

TEST_F(ClientesTest, ApplianceDeletionTellsNoApplianceFromADatabaseError) {
    const qint64 ana = addCustomer("ANA");
    addCustomer("BETO");
    addAppliance(ana, "TV", "T1");
    addAppliance(ana, "DVD", "D1");
    openList();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes, "Apararelho: TV\rModelo: T1\rNúmero de Série: SN1234");
    button("BtExAp")->click();
    settle();
    EXPECT_EQ(Modulo::DadosSelecionados[15], "DVD");
    EXPECT_EQ(label("Label3"), "DVD PHILCO D1");

    raw("CREATE TRIGGER falha BEFORE DELETE ON TblApClientes BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok);
    button("BtExAp")->click();
    EXPECT_TRUE(boxes.log().last().text.contains("disco cheio"));
    EXPECT_FALSE(boxes.log().last().text.contains("Não existe nenhum aparelho"));
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblApClientes"), 1);

    raw("DROP TRIGGER falha");
    // The last appliance goes, then the list says there is none.
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Não existe nenhum aparelho cadastrado para este Cliente");
    button("BtExAp")->click();
    settle();
    EXPECT_EQ(label("Label3"), "  ");
    boxes.answer(MsgAnswer::Ok, "Não existe nenhum aparelho cadastrado para este Cliente");
    button("BtExAp")->click();
    EXPECT_EQ(boxes.log().last().title, "Cadastro de Aparelho de Clientes");
    EXPECT_EQ(boxes.failures(), 0);
}

// One list in the main window's area: opening it again, or on a customer,
// finds the open one; Esc closes it and empties the appliance slots.
TEST_F(ClientesTest, LivesAsOneChildOfTheMainWindowsArea) {
    const qint64 ana = addCustomer("ANA");
    addCustomer("BETO");
    addAppliance(ana, "TV", "T1");
    QMdiArea area;
    area.resize(1200, 800);
    area.show();
    WindowHost::setMdiArea(&area);
    openList();
    EXPECT_EQ(FrmClientes::open(), w);
    EXPECT_EQ(FrmClientes::showOnCustomer(std::int32_t(ana)), w);
    ASSERT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(area.subWindowList()[0]->widget(), w);
    EXPECT_EQ(Modulo::DadosSelecionados[15], "TV");
    QPointer<FrmClientes> gone = w;
    Typing::key(search(), Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return gone.isNull(); }));
    EXPECT_TRUE(Modulo::DadosSelecionados[15].isEmpty());
    EXPECT_EQ(Modulo::CodClienteAtual, ana);
    EXPECT_EQ(WindowHost::findList<FrmClientes>(), nullptr);
    WindowHost::setMdiArea(nullptr);
}

TEST_F(ClientesTest, AnEmptyTableLeavesOnlyNewCustomerSortSearchAndClose) {
    openList();
    EXPECT_EQ(label("LblNumClientes"), "0");
    for (const char* b : {"BtExcluir", "BtEditar", "BtLocCliente", "BtNvAp", "BtExAp", "BtFazerOs"})
        EXPECT_FALSE(button(b)->isEnabled()) << b;
    EXPECT_TRUE(button("BtCad")->isEnabled());
    find("X");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
}

TARVEL_TEST_MAIN()
