// The customers list and the searches that move it: deletions, appliances,
// sorting, the empty table, the new customer, the hand-over to the intake.
#include "customerdata.h"
#include "customers/frmclientes.h"
#include "customers/frmloccliente.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/storefaults.h"
#include "support/modal.h"
#include "support/scenario.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QComboBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QTableView>

using namespace CustomerData;

namespace {

struct ClientesTest : ProgramFolderTest {
    FrmClientes* w = nullptr;

    void open(const QString& on = {}) {
        w = FrmClientes::open();
        ASSERT_NE(w, nullptr);
        if (!on.isEmpty()) { ASSERT_TRUE(w->dataFrmClientes().findFirst("Nome = '" + on + "'")); }
        settle();
    }
    // The one-tick publishing timers have run.
    void settle() {
        waitFor([this] {
            return !w->findChild<QTimer*>("TimerGrid")->isActive() && !w->findChild<QTimer*>("TimerAparelho")->isActive();
        });
    }
    void click(const char* name) {
        w->findChild<QPushButton*>(name)->click();
        settle();
    }
    QString current() { return w->dataFrmClientes().text("Nome"); }
    QString label(const char* name) { return w->findChild<QLabel*>(name)->text(); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    void expectPublished() { EXPECT_EQ(Modulo::CodClienteAtual, w->dataFrmClientes().number("Codigo")); }
    QColor searchColour() { return search()->palette().color(QPalette::Text); }
    // Types a name into the list's search box and presses Enter.
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
    // Records MARIA through the new-customer window the list opens.
    void newCustomer() {
        ModalScript script([](QWidget* dlg) {
            Typing::type(txt(dlg, 0), "MARIA");
            Typing::type(txt(dlg, 1), "RUA B");
            Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
            button(dlg, "BtCadastro")->click();
        }, 10000, "FrmNvCliente");
        click("BtCad");
    }
};

const QStringList WorkButtons = {"BtExcluir", "BtEditar", "BtLocCliente", "BtNvAp", "BtExAp", "BtFazerOs"};

const QString Refused = "ATENÇÃO!\rO Cadastro deste Cliente não poderá ser Excluído\rPorque ";
const QString Sure = "\r\rTem Certeza que Deseja Excluir O Cadastro deste Cliente?";
const QString NoAppliance = "Não existe nenhum aparelho cadastrado para este Cliente";
const QString Names = "SELECT Nome FROM TblClientes ORDER BY Nome";
const QString Appliances = "SELECT Aparelho FROM TblApClientes ORDER BY Aparelho";

} // namespace

TEST_F(ClientesTest, DeletingCustomersAndAppliances) {
    qint64 ana = 0, beto = 0;
    const auto customers = [&] {
        ana = addCustomer("ANA");
        beto = addCustomer("BETO");
        addCustomer("CARLA");
        addAppliance(ana, "TV", "T1");
        addAppliance(ana, "DVD", "D1");
        addAppliance(beto, "RADIO", "R1");
    };
    const QStringList all = {"ANA", "BETO", "CARLA"};
    const auto deleteAna = [&] { open("ANA"); click("BtExcluir"); };
    runScenarios({
        {"one in repair", [&] { addOpenOrder(ana, "ANA"); addOpenOrder(beto, "BETO"); }, deleteAna,
         {{Refused + "possui 1 Aparelho(s) atualmente em Manutençao!"}}, {{Names, all}}},
        {"under warranty", [&] { addDelivered(ana, "ANA", true); addDelivered(ana, "ANA", false); }, deleteAna,
         {{Refused + "possui 1 Aparelho(s) atualmente em PERÍODO DE GARANTIA!"}}, {{Names, all}}},
        {"restriction", [&] { Database::openDefault().execute("INSERT INTO TblRestricao (IdCliente, Cliente, Tipo) VALUES (?, 'ANA', 'AVISO')", {ana}); },
         deleteAna, {{Refused + "Existe 'Restrições' para ele."}}, {{Names, all}}},
        {"the only one left, whatever the label says", nullptr,
         [&] { open("ANA"); Database::openDefault().execute("DELETE FROM TblClientes WHERE Nome <> 'ANA'"); click("BtExcluir"); },
         {{"Este é o único cliente e não poderá ser Excluído"}}, {{Names, {"ANA"}}}},
        {"answered no", nullptr, deleteAna, {{"ANA" + Sure, MsgAnswer::No}}, {{Names, all}, {Appliances, QStringList{"DVD", "RADIO", "TV"}}}},
        {"deleted with his appliances; the next row shows", [&] { addDelivered(ana, "ANA", false); }, deleteAna,
         {{"ANA" + Sure, MsgAnswer::Yes}, {"Cadastro de Cliente Excluído com Sucesso"}},
         {{Names, {"BETO", "CARLA"}}, {Appliances, QStringList{"RADIO"}}, {"SELECT Nome FROM TblApEntregues", {"ANA"}}},
         [&] { EXPECT_EQ(current(), "BETO"); EXPECT_EQ(label("LblNumClientes"), "2"); expectPublished(); }},
        {"the last row: back to the first", nullptr, [&] { open("CARLA"); click("BtExcluir"); },
         {{"CARLA" + Sure, MsgAnswer::Yes}, {"Cadastro de Cliente Excluído com Sucesso"}}, {{Names, {"ANA", "BETO"}}},
         [&] { EXPECT_EQ(current(), "ANA"); EXPECT_EQ(label("Lbl(1)"), "ANA"); EXPECT_EQ(label("LblNumClientes"), "2"); expectPublished(); }},
        {"a failure between the two deletions", [&] {
             raw("CREATE TRIGGER falha BEFORE DELETE ON TblClientes BEGIN SELECT RAISE(ABORT, 'falha simulada'); END");
         }, deleteAna,
         {{"ANA" + Sure, MsgAnswer::Yes}, {"OCORREU UM ERRO AO TENTAR EXCLUIR O CADASTRO DESTE CLIENTE !\r"}},
         {{Names, all}, {Appliances, QStringList{"DVD", "RADIO", "TV"}}},
         [&] { EXPECT_EQ(current(), "ANA"); EXPECT_EQ(label("LblNumClientes"), "3"); }},
        {"a deletion whose COMMIT fails leaves the whole list, on the customer", StoreFault::install, [&] {
             open("BETO");
             StoreFault fault(StoreFault::JournalKept);
             click("BtExcluir");
         },
         {{"BETO" + Sure, MsgAnswer::Yes},
          {"OCORREU UM ERRO AO TENTAR EXCLUIR O CADASTRO DESTE CLIENTE !\rSe o Problema persistir, Contacte o Suporte "
           "Técnico e informe o Erro Abaixo\r10_Erro de leitura ou gravação no disco: verifique o disco ou a rede e tente "
           "novamente._Banco de Dados"}},
         {{Names, all}, {Appliances, QStringList{"DVD", "RADIO", "TV"}}},
         [&] {
             EXPECT_EQ(current(), "BETO");
             EXPECT_EQ(label("LblNumClientes"), "3");
             RecordCursor& list = w->dataFrmClientes();
             EXPECT_EQ(list.recordCount(), 3);
             QStringList shown;
             for (int i = 0; i < list.recordCount(); ++i) shown << list.valueAt(i, list.fieldIndex("Nome")).toString();
             EXPECT_EQ(shown, all);
         }},
        {"an appliance: the next one is selected", nullptr, [&] { open("ANA"); click("BtExAp"); },
         {{"Apararelho: TV\rModelo: T1\rNúmero de Série: SN1234", MsgAnswer::Yes}}, {{Appliances, QStringList{"DVD", "RADIO"}}},
         [&] { EXPECT_EQ(Modulo::DadosSelecionados[15], "DVD"); EXPECT_EQ(label("Label3"), "DVD PHILCO D1"); }},
        {"an appliance that cannot be deleted", [&] {
             raw("CREATE TRIGGER falha BEFORE DELETE ON TblApClientes BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
         }, [&] { open("ANA"); click("BtExAp"); },
         {{"Apararelho: TV", MsgAnswer::Yes}, {"Excluir o Cadastro deste Aparelho.\r"}}, {{Appliances, QStringList{"DVD", "RADIO", "TV"}}}},
        {"the last appliance, then none", nullptr, [&] { open("BETO"); click("BtExAp"); click("BtExAp"); },
         {{"Apararelho: RADIO", MsgAnswer::Yes}, {NoAppliance}, {NoAppliance}}, {{Appliances, QStringList{"DVD", "TV"}}},
         [&] { EXPECT_EQ(label("Label3"), "  "); }},
    }, customers);
}

TEST_F(ClientesTest, FindingByCodeOrPhone) {
    qint64 beto = 0;
    bool accepted = false;
    const auto customers = [&] {
        addCustomer("ANA", "CAMPINAS", "1911112222");
        beto = addCustomer("BETO", "CAMPINAS", "12  3456 7890");     // as the new-customer window stores it
        addCustomer("CARLA", "CAMPINAS", "(19) 3333-4444");          // as typed in the editing window
        open("CARLA");
    };
    // Runs the search dialog on the list: an option, the text, Enter.
    const auto find = [&](const char* option, const QString& text, bool typed = true) {
        return [=, &accepted, this] {
            FrmLocCliente dlg(w);
            dlg.show();
            dlg.findChild<QRadioButton*>(option)->click();
            auto* box = dlg.findChild<QLineEdit*>("TxtBusca");
            box->clear();
            typed ? Typing::type(box, text) : box->setText(text);
            Typing::key(box, Qt::Key_Return);
            accepted = !dlg.isVisible() && dlg.result() == QDialog::Accepted;
            settle();
        };
    };
    // The row the list stands on; the dialog closes only on a find.
    const auto on = [&](const char* nome, bool found = false) {
        return [=, &accepted, this] { EXPECT_EQ(current(), nome); EXPECT_EQ(accepted, found); };
    };
    QList<Scenario> table = {
        {"an unknown code: back to the first row", nullptr, find("Option1", "x9y9"),   // digits only
         {{"Cliente não Localizado pelo Código"}}, {}, on("ANA")},
        {"not digits", nullptr, find("Option1", "1,5", false), {{"DIGITE APENAS NÚMEROS !"}}, {}, on("CARLA")},
        {"a code beyond 32 bits", nullptr, find("Option1", "4294967298"), {{"pelo Código"}}, {}, on("ANA")},
        {"a phone typed with separators, stored with blanks", nullptr, find("Option2", "(12) 3456-7890"), {}, {}, on("BETO", true)},
        {"a phone stored with punctuation, found by its digits", [&] { ASSERT_TRUE(w->dataFrmClientes().findFirst("Nome = 'ANA'")); },
         find("Option2", "1933334444"), {}, {}, on("CARLA", true)},
        {"no criterion", nullptr, find("Option1", ""), {{"Digite algum Critério para a Pesquisa"}}, {}, on("CARLA")},
        {"a home phone missed: the list stays", nullptr, find("Option2", "1999999999"),
         {{"Cliente não Localizado pelo Telefone Residencial"}}, {}, on("CARLA")},
        {"a work phone missed", nullptr, find("Option3", "1911112222"), {{"Cliente não Localizado pelo Telefone Comercial"}}, {}, on("CARLA")},
        {"a mobile missed (her home phone is no mobile)", nullptr, find("Option4", "1911112222"),
         {{"Cliente não Localizado pelo Número do Celular"}}, {}, on("CARLA")},
    };
    table << Scenario{"a code", nullptr, [&] { find("Option1", QString::number(beto))(); }, {}, {}, [&] {
        EXPECT_EQ(current(), "BETO");
        EXPECT_TRUE(accepted);
        EXPECT_TRUE(waitFor([&] { return Modulo::CodClienteAtual == beto; }));
        EXPECT_EQ(FrmLocCliente::rememberedCriterion(), QString::number(beto));
    }};
    runScenarios(table, customers);
}

TEST_F(ClientesTest, TheShownCustomerIsWhatTheOtherWindowsGet) {
    const qint64 ana = addCustomer("ANA", "CAMPINAS", "1933334444");
    const qint64 beto = addCustomer("BETO");
    addAppliance(ana, "TV", "T1", "SN-A");
    addAppliance(beto, "TV", "B1");
    Database::openDefault().execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES ('RADIO', 'OUTROS')");
    Database::openDefault().execute("INSERT INTO TblMarca (Marca) VALUES ('SONY')");
    w = FrmClientes::showOnCustomer(std::int32_t(beto));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(current(), "BETO");
    EXPECT_EQ(Modulo::CodClienteAtual, beto);

    // A new appliance goes to the customer shown, whatever a stale variable says.
    Modulo::CodClienteAtual = 999;
    runScenario({"new appliance", nullptr, [&] {
        ModalScript script([](QWidget* dlg) {
            EXPECT_EQ(dlg->findChild<QLineEdit*>("TxtNmCliente")->text(), "BETO");
            dlg->findChild<QComboBox*>("Combo(0)")->setCurrentText("RADIO");
            dlg->findChild<QComboBox*>("Combo(1)")->setCurrentText("SONY");
            Typing::type(txt(dlg, 0), "ICF");
            Typing::type(txt(dlg, 2), "RS-778");
            button(dlg, "BtCadastrar")->click();
            button(dlg, "BtFechar")->click();
        });
        click("BtNvAp");
    }, {{"Aparelho Cadastrado com Sucesso!"}}, {{"SELECT Modelo FROM TblApClientes WHERE ID = " + QString::number(beto), {"B1", "ICF"}}},
        [&] { EXPECT_EQ(w->findChild<DataGrid*>("DBGrid2")->model()->rowCount(), 2); }});

    // The model corrected in the grid is written before the intake gets the row shown.
    ASSERT_TRUE(w->dataFrmClientes().findFirst("Nome = 'ANA'"));
    settle();
    QTableView* view = w->findChild<DataGrid*>("DBGrid2")->view();
    view->setCurrentIndex(view->model()->index(0, 2));
    view->edit(view->currentIndex());
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    Typing::type(editor, "t2'b");
    QString model;
    ModalScript intake([&model](QWidget* dlg) {
        model = txt(dlg, 17)->text();
        button(dlg, "BtFechar")->click();
    }, 10000, "FrmEntrada");
    click("BtFazerOs");
    EXPECT_EQ(model, "t2b");
    EXPECT_EQ(storedRows("SELECT Modelo FROM TblApClientes WHERE ID = " + QString::number(ana)), QStringList{"t2b"});
}

TEST_F(ClientesTest, NameSearchFollowsTheSortAndRemembersItsText) {
    addCustomer("MARCOS", "SOROCABA");
    addCustomer("ANA", "BAURU");
    addCustomer("MARIA", "AMPARO");
    addCustomer("100 PEÇAS", "CAMPINAS");
    addCustomer("A_B LTDA", "CAMPINAS");
    open();
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
    expectPublished();

    w->close();
    closeAllWindows();
    open();
    EXPECT_EQ(search()->text(), "A_");
    EXPECT_TRUE(w->findChild<QRadioButton*>("OptNome")->isChecked());
    EXPECT_EQ(current(), "100 PEÇAS");   // sorted by name again
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
    open();
    EXPECT_EQ(FrmClientes::open(), w);
    EXPECT_EQ(FrmClientes::showOnCustomer(std::int32_t(ana)), w);
    ASSERT_EQ(area.subWindowList().size(), 1);
    EXPECT_EQ(area.subWindowList()[0]->widget(), w);
    EXPECT_EQ(Modulo::DadosSelecionados[15] + Modulo::DadosSelecionados[20], "TV110V");
    QPointer<FrmClientes> gone = w;
    Typing::key(search(), Qt::Key_Escape);
    EXPECT_TRUE(waitFor([&] { return gone.isNull(); }));
    for (int i = 15; i <= 20; ++i) EXPECT_TRUE(Modulo::DadosSelecionados[std::size_t(i)].isEmpty()) << i;
    EXPECT_EQ(Modulo::CodClienteAtual, ana);
    EXPECT_EQ(WindowHost::findList<FrmClientes>(), nullptr);
    WindowHost::setMdiArea(nullptr);
}

TEST_F(ClientesTest, AnEmptyTableLeavesOnlyNewCustomerSortSearchAndClose) {
    open();
    EXPECT_EQ(label("LblNumClientes"), "0");
    for (const QString& b : WorkButtons) EXPECT_FALSE(w->findChild<QPushButton*>(b)->isEnabled()) << b.toStdString();
    EXPECT_TRUE(w->findChild<QPushButton*>("BtCad")->isEnabled());
    find("X");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
    EXPECT_EQ(w->findChild<QTableView*>()->focusPolicy(), Qt::NoFocus);

    // The first customer recorded here can be worked on without reopening.
    runScenario({"the first customer", nullptr, [&] { newCustomer(); }, {{"Cliente Cadastrado com Sucesso!"}}});
    EXPECT_EQ(current(), "MARIA");
    EXPECT_EQ(label("LblNumClientes"), "1");
    for (const QString& b : WorkButtons) EXPECT_TRUE(w->findChild<QPushButton*>(b)->isEnabled()) << b.toStdString();
    for (QTableView* v : w->findChildren<QTableView*>()) EXPECT_NE(v->focusPolicy(), Qt::NoFocus);
    addAppliance(Modulo::CodClienteAtual, "TV", "T1");
    w->findChild<QRadioButton*>("OptNome")->click();
    settle();
    auto* grid2 = w->findChild<DataGrid*>("DBGrid2");
    EXPECT_TRUE(grid2->view()->model()->flags(grid2->view()->model()->index(0, 2)) & Qt::ItemIsEditable);
}

TEST_F(ClientesTest, TheListStandsOnTheNewCustomerOrStaysWhereItWas) {
    addCustomer("ANA");
    addCustomer("ZECA");
    open("ZECA");
    // Closed without saving: same row, same count, same code.
    ASSERT_TRUE(waitFor([&] { return Modulo::CodClienteAtual == w->dataFrmClientes().number("Codigo"); }));
    const qint32 before = Modulo::CodClienteAtual;
    {
        ModalScript script([](QWidget* dlg) { Typing::key(txt(dlg, 0), Qt::Key_Escape); }, 10000, "FrmNvCliente");
        click("BtCad");
    }
    EXPECT_EQ(current(), "ZECA");
    EXPECT_EQ(label("LblNumClientes"), "2");
    EXPECT_EQ(Modulo::CodClienteAtual, before);

    runScenario({"saved", nullptr, [&] { newCustomer(); }, {{"Cliente Cadastrado com Sucesso!"}}});
    EXPECT_EQ(current(), "MARIA");
    EXPECT_EQ(label("LblNumClientes"), "3");
    EXPECT_EQ(label("Lbl(1)"), "MARIA");
    expectPublished();
}

TARVEL_TEST_MAIN()
