// The intake: hand-over, typing, operator, every confirmation as one table, the saved row, returns.
#include "intakedata.h"
#include "orders/frmentrada.h"
#include "store/clock.h"
#include "support/expectedboxes.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QApplication>
#include <QCheckBox>
#include <QRegularExpression>

using namespace IntakeData;

namespace {

const QDateTime Now(QDate(2026, 3, 5), QTime(9, 7, 30));
const QString Offer = "O Aparelho foi dado Entrada com Sucesso! \rDeseja Imprimir esta Ordem de Serviço Agora?";
const QString FactoryData = "Alguns Dados do Aparelho em Garantia de Fábrica são Obrigatórios";
const QString Block = "NÃO PERMITIR ENTRADA";
const QString BlockCustomer = "Não poderá ser dado Entrada neste Aparelho porque Existe Restrições para este Cliente.";
const QString BlockAppliance = "Não poderá ser dado Entrada neste Aparelho porque ele possui Restrições.";
const QString WarnCustomer = "ATENÇÃO\rExiste Restrições para este Cliente.\rDê Entrada Normalmete";
const QString WarnAppliance = "ATENÇÃO\rExiste Restrições para este Aparelho.\rDê Entrada Normalmete";

struct EntradaTest : ProgramFolderTest {
    std::unique_ptr<FrmEntrada> w;

    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(Now);
        addLists();
        selectAppliance();
    }
    void TearDown() override {
        w.reset();
        ProgramFolderTest::TearDown();
    }
    FrmEntrada* open() {
        w = std::make_unique<FrmEntrada>();
        w->show();
        QApplication::setActiveWindow(w.get());
        return w.get();
    }
    // Opens the window and accepts the administrator.
    FrmEntrada* openReady() {
        open();
        Typing::type(w->findChild<QLineEdit*>("TxtOperador"), "1234");
        EXPECT_TRUE(button(w.get(), "BtEntrada")->isEnabled());
        return w.get();
    }
    QString field(const QString& name, qlonglong os) {
        return Database::openDefault().scalar("SELECT " + name + " FROM TblManutencao WHERE Os = ?", {os}).toString();
    }
    // Confirms, answering the print offer with No; returns the new number.
    qlonglong confirm() {
        expectBoxes({{Offer, MsgAnswer::No}}, [this] { w->BtEntrada_Click(); });
        return Modulo::OsAtual;
    }
    // A restriction of customer `cliente` (0: none) or of the appliance with serial `serie` ("": none).
    static void addRestriction(int cliente, const QString& serie, const QString& tipo) {
        const auto of = [&](const QString& v) { return serie.isEmpty() ? QVariant() : QVariant(v); };
        Database::openDefault().execute(
            "INSERT INTO TblRestricao (IdCliente, Aparelho, Marca, Modelo, NumSerie, Tipo) VALUES (?, ?, ?, ?, ?, ?)",
            {cliente ? QVariant(cliente) : QVariant(), of("TELEVISOR"), of("PHILCO"), of("TP-21"), of(serie), tipo});
    }
};

} // namespace

// The hand-over selects type and brand in sorted lists, the department follows the type; the
// model's limit; the factory-warranty boxes open with their option.
TEST_F(EntradaTest, HandOverAndTyping) {
    open();
    QComboBox* tipo = combo(w.get(), "ComboAparelho");
    EXPECT_EQ(tipo->currentText(), "TELEVISOR");
    EXPECT_EQ(combo(w.get(), "Combo(1)")->currentText(), "PHILCO");
    EXPECT_EQ(combo(w.get(), "ComboDpto")->currentText(), "VIDEO");
    tipo->setCurrentIndex(tipo->findText("RADIO"));
    EXPECT_EQ(combo(w.get(), "ComboDpto")->currentText(), "AUDIO");
    EXPECT_EQ(QApplication::focusWidget(), txt(w.get(), 21));
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());
    EXPECT_TRUE(option(w.get(), "Option1(0)")->isChecked());
    EXPECT_FALSE(option(w.get(), "Option1(1)")->isEnabled()) << "a service warranty only as a return";

    Typing::type(txt(w.get(), 17), "abcdefghijklmnopq");
    EXPECT_EQ(txt(w.get(), 17)->text(), "TP-21ABCDEFGHI");   // 14 at most
    option(w.get(), "Option1(2)")->click();
    EXPECT_FALSE(txt(w.get(), 24)->isReadOnly());
    option(w.get(), "Option1(0)")->click();
    EXPECT_TRUE(txt(w.get(), 24)->isReadOnly());

    // Closing empties the hand-over; a type or brand no longer listed stays unselected.
    Typing::key(txt(w.get(), 21), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
    selectAppliance("SN-1001", "MICROONDAS", "BRASTEMP");
    open();
    EXPECT_EQ(combo(w.get(), "ComboAparelho")->currentIndex(), -1);
    EXPECT_EQ(combo(w.get(), "Combo(1)")->currentIndex(), -1);
}

// Enter in a drop-down list moves on to the next widget of the window's order, as in its boxes.
TEST_F(EntradaTest, EnterInTheListsMovesOn) {
    open();
    for (const auto& [from, to] : {std::pair{"ComboAparelho", "Combo(1)"}, {"Combo(1)", "Txt(17)"}, {"Combo(3)", "Check1"}}) {
        Typing::key(combo(w.get(), from), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), to) << from;
    }
}

// An operator without the right is refused (openReady() lets the administrator in).
TEST_F(EntradaTest, AnOperatorWithoutTheRight) {
    open();
    auto* op = w->findChild<QLineEdit*>("TxtOperador");
    expectBoxes({{"Voce Não Possui Autorizaçao para esta Operação"}}, [&] { Typing::type(op, "4321"); });
    EXPECT_EQ(op->text(), "BALCAO");
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());
}

// Each check failing alone with its message and focus, the offers, the restrictions in either row
// order, the saves; `orders` counts the rows after it (one other order is there before).
TEST_F(EntradaTest, ConfirmationScenarios) {
    Database::openDefault().execute("INSERT INTO TblManutencao (Aparelho, Marca, Modelo, NumSerie, Status) "
                                    "VALUES ('TELEVISOR', 'PHILCO', 'TP-21', 'DUP-1', 'PRONTO')");
    const QString existing = QString::number(count("SELECT Os FROM TblManutencao"));
    const auto factory = [](const char* loja, const char* data, const char* nf) {
        return [=](FrmEntrada* f) {
            option(f, "Option1(2)")->click();
            txt(f, 24)->setText(QString::fromUtf8(loja));
            txt(f, 25)->setText(QString::fromUtf8(data));
            txt(f, 26)->setText(QString::fromUtf8(nf));
        };
    };
    const auto restrict = [](std::vector<std::tuple<int, const char*, QString>> rows) {
        return [=] { for (const auto& [id, serie, tipo] : rows) addRestriction(id, serie, tipo); };
    };
    const auto warn = QStringLiteral("AVISAR GERÊNCIA");
    struct Row {
        const char* name;
        std::function<void()> before;           // rows written before the window opens
        std::function<void(FrmEntrada*)> type;  // after the operator and the defect "NAO LIGA"
        std::vector<ExpectedBox> boxes;
        int orders;
        QString focus;
        std::function<void()> check = {};
    };
    const std::vector<Row> rows = {
        {"type", {}, [](FrmEntrada* f) { combo(f, "ComboAparelho")->setCurrentIndex(-1); },
         {{"Digite o Tipo de Aparelho"}}, 1, "ComboAparelho"},
        {"brand", {}, [](FrmEntrada* f) { combo(f, "Combo(1)")->setCurrentIndex(-1); },
         {{"Digite a Marca do Aparelho"}}, 1, "Combo(1)"},
        {"duplicate, trimmed", {}, [](FrmEntrada* f) { txt(f, 19)->setText("  DUP-1 "); },
         {{"ATENÇÃO!\rNão poderá ser dado entrada neste Equipamento\rJá existe um Aparelho \"PRONTO\" com estas "
           "mesmas especificações!\rOrdem de Serviço N. " + existing}}, 1, {}},
        {"shop", {}, factory("  ", "01/03/2026", "NF1"), {{FactoryData}}, 1, "Txt(24)"},
        {"purchase date", {}, factory("LOJA", "", "NF1"), {{FactoryData}}, 1, "Txt(25)"},
        {"invoice", {}, factory("LOJA", "01/03/2026", " "), {{FactoryData}}, 1, "Txt(26)"},
        {"not a date", {}, factory("LOJA", "31/02/2026", "NF1"), {{"Digite uma Data Válida"}}, 1, "Txt(25)"},
        {"future purchase", {}, factory("LOJA", "06/03/2026", "NF1"),
         {{"Data da Compra após a Data Atual - Corrija"}}, 1, "Txt(25)"},
        {"purchase today", {}, factory("LOJA", "05/03/2026", "NF1"), {{Offer, MsgAnswer::No}}, 2, {}},
        {"serial refused", {}, [](FrmEntrada* f) { txt(f, 19)->setText("   1"); },
         {{"Este Equipamento não possui um Número de Série Válido.", MsgAnswer::No}}, 1, "Txt(19)"},
        {"serial made", {}, [](FrmEntrada* f) { txt(f, 19)->setText(" ABC "); },
         {{"Número de Série pare ele?", MsgAnswer::Yes}}, 1, {}},
        {"empty defect refused", {}, [](FrmEntrada* f) { txt(f, 21)->setText("   "); },
         {{"Você não digitou nenhum defeito para este aparelho", MsgAnswer::No}}, 1, "Txt(21)"},
        {"empty defect accepted", {}, [](FrmEntrada* f) { txt(f, 21)->setText(" "); },
         {{"Deseja emitir a Ordem de Serviço assim mesmo?", MsgAnswer::Yes}, {Offer, MsgAnswer::No}}, 2, {}},
        {"customer refused, refusal first", restrict({{7, "", Block}, {7, "", warn}}), {}, {{BlockCustomer}}, 1, {}},
        {"appliance refused, refusal first",
         restrict({{7, "", warn}, {0, "SN-1001", Block}, {0, "SN-1001", warn}, {0, "OUTRA", Block}}), {},
         {{WarnCustomer}, {BlockAppliance}}, 1, {}},
        {"appliance refused, warning first",
         restrict({{7, "", warn}, {0, "OUTRA", Block}, {0, "SN-1001", warn}, {0, "SN-1001", Block}}), {},
         {{WarnCustomer}, {BlockAppliance}}, 1, {}},
        {"refusal in other letters only warns",
         restrict({{7, "", "Não Permitir Entrada"}, {0, "SN-1001", "NÃO PERMITIR ENTRADA "}}), {},
         {{WarnCustomer}, {WarnAppliance}, {Offer, MsgAnswer::No}}, 2, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.before) row.before();
        selectAppliance();
        openReady();
        Typing::type(txt(w.get(), 21), "nao liga");
        if (row.type) row.type(w.get());
        const QList<ShownBox> shown = expectBoxes(row.boxes, [this] { w->BtEntrada_Click(); });
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), row.orders);
        if (!row.focus.isEmpty()) {
            EXPECT_EQ(QApplication::focusWidget()->objectName(), row.focus);
        }
        if (!shown.isEmpty() && row.orders == 1) {
            EXPECT_EQ(shown.last().title, "Emissão de Ordem de Serviço");
            EXPECT_FALSE(w->findChild<QLabel*>("Label3")->isVisible());
        }
        if (row.name == std::string("serial made")) {
            EXPECT_EQ(shown[0].defaultButton, MsgAnswer::No);
            EXPECT_TRUE(QRegularExpression("^2603050907\\d\\d-AT$").match(txt(w.get(), 19)->text()).hasMatch());
        }
        if (row.name == std::string("empty defect accepted")) {
            EXPECT_EQ(shown[0].defaultButton, MsgAnswer::Yes);
        }
        if (row.check) row.check();
        Database::openDefault().execute("DELETE FROM TblManutencao WHERE NumSerie <> 'DUP-1'");
        Database::openDefault().execute("DELETE FROM TblRestricao");
        w.reset();
    }
}

// The saved row field by field; then a factory warranty's four fields.
TEST_F(EntradaTest, SavedRows) {
    Database::openDefault().execute("INSERT INTO TblManutencao (Nome, NumSerie) VALUES ('OUTRO', 'X1')");
    openReady();
    Typing::type(txt(w.get(), 21), "  sem imagem ");
    Typing::type(txt(w.get(), 22), "riscado");
    Typing::type(txt(w.get(), 23), "controle");
    combo(w.get(), "Combo(3)")->setCurrentIndex(combo(w.get(), "Combo(3)")->findText("PEDRO"));
    w->findChild<QCheckBox*>("Check1")->setChecked(true);
    option(w.get(), "OptExterno")->setChecked(true);
    option(w.get(), "OptUrgente")->setChecked(true);
    const qlonglong os = confirm();
    EXPECT_EQ(count("SELECT MAX(Os) FROM TblManutencao"), os);
    EXPECT_EQ(w->findChild<QLabel*>("Label3")->text(), QString::number(os));
    EXPECT_TRUE(w->findChild<QLabel*>("Label3")->isVisible());
    // Every field of the new row.
    const auto row = Database::openDefault().rows(
        "SELECT IdCliente, Nome, Endereco, Complemento, Bairro, Cidade, Estado, Cep, TelResidencia, TelComercial, Fax, "
        "Celular, Aparelho, Marca, Modelo, Chassis, NumSerie, Tensao, Defeito, EstadoAparelho, Acessorios, Andamento, "
        "Tipo, Loja, DataCompra, Status, OperadorEnt, Tecnico, Dpto, DataEntrada, HoraEntrada, Atendimento, prioridade, "
        "DtLmtGr, Dias, Via, Emocao, Email FROM TblManutencao WHERE Os = ?", {os});
    QStringList values;
    for (const QVariant& v : row.at(0)) values << v.toString();
    EXPECT_EQ(values.join('|'), "7|ANA|RUA A, 1|APTO 2|CENTRO|CAMPINAS|SP|13000-000|1933334444|1922223333|1911112222|"
                                "19999998888|TELEVISOR|PHILCO|TP-21|CH-9|SN-1001|110V|SEM IMAGEM|RISCADO|CONTROLE|"
                                "A TRANSPORTAR|ORÇAMENTO|||EM SERVIÇO|ADMINISTRADOR|PEDRO|VIDEO|2026-03-05|09:07:30|"
                                "EXTERNO|URGENTE|2026-03-05|0|0|0|");
    EXPECT_EQ(Modulo::SqlFiltroEntregues, "SELECT * FROM TblApEntregues WHERE Aparelho = 'TELEVISOR' AND Marca = "
                                          "'PHILCO' AND Modelo = 'TP-21' AND NumSerie = 'SN-1001'");
    for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
    for (int i = 17; i <= 27; ++i) EXPECT_TRUE(txt(w.get(), i)->text().isEmpty()) << i;
    EXPECT_FALSE(option(w.get(), "Option1(2)")->isEnabled());
    EXPECT_TRUE(option(w.get(), "Option1(0)")->isChecked());
    EXPECT_TRUE(button(w.get(), "BtEntrada")->isEnabled());
    EXPECT_EQ(child<QLabel>(w.get(), "Lbl(1)")->text(), "ANA");

    // A second appliance of the customer from the same window.
    QComboBox* tipo = combo(w.get(), "ComboAparelho");
    tipo->setCurrentIndex(tipo->findText("RADIO"));
    txt(w.get(), 17)->setText("MS'1");   // an older record's apostrophe stays text
    Typing::type(txt(w.get(), 19), "ab12");
    Typing::type(txt(w.get(), 21), "nao le cd");
    w->findChild<QCheckBox*>("Check1")->setChecked(false);
    option(w.get(), "OptInterno")->setChecked(true);
    option(w.get(), "OptNormal")->setChecked(true);
    const qlonglong second = confirm();
    EXPECT_EQ(second, os + 1);
    EXPECT_EQ(field("Nome || '|' || Dpto || '|' || NumSerie || '|' || Modelo || '|' || ifnull(Andamento, '-') || '|' || "
                    "Atendimento || '|' || prioridade || '|' || Tipo", second),
              "ANA|AUDIO|AB12|MS'1|-|INTERNO|NORMAL|ORÇAMENTO");
    EXPECT_TRUE(Modulo::SqlFiltroEntregues.endsWith("Modelo = 'MS''1' AND NumSerie = 'AB12'"));

    w.reset();
    selectAppliance("FAB-77", "DVD", "SONY");
    openReady();
    Typing::type(txt(w.get(), 21), "trava");
    option(w.get(), "Option1(2)")->click();
    txt(w.get(), 24)->setText(" magazine ");   // the shop is stored in capitals, however it stands in the box
    Typing::type(txt(w.get(), 25), "05/03/2026");
    Typing::type(txt(w.get(), 26), "nf 123");
    const qlonglong fab = confirm();
    EXPECT_EQ(field("Tipo || '|' || Loja || '|' || DataCompra || '|' || NotaFiscal || '|' || GarComplementar || "
                    "'|' || Dpto || '|' || Tecnico || '|' || DtLmtGr", fab),
              "GAR.DE FÁBRICA|MAGAZINE|05/03/2026|NF 123||VIDEO DIGITAL||2026-03-05");
}

// A warranty return (the road checks its row): locked boxes, one order per opening, a deleted brand.
TEST_F(EntradaTest, WarrantyReturn) {
    Modulo::RetornoGarantia = true;
    Modulo::TecnicoRetorno = QString("CARLOS");
    Modulo::DataLimiteRetorno = QDate(2026, 5, 30);
    openReady();
    EXPECT_FALSE(Modulo::RetornoGarantia);
    EXPECT_FALSE(option(w.get(), "Option1(2)")->isEnabled());
    EXPECT_FALSE(txt(w.get(), 19)->isEnabled());
    Typing::type(txt(w.get(), 21), "voltou");
    const qlonglong os = confirm();
    EXPECT_EQ(field("Tecnico || DtLmtGr", os), "CARLOS2026-05-30");
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());

    w.reset();
    Database::openDefault().execute("DELETE FROM TblMarca WHERE Marca = 'PHILCO'");
    selectAppliance("SN-2");
    Modulo::RetornoGarantia = true;
    expectBoxes({{"Este 'Aparelho' ou 'Marca' foi Excluído!"}}, [this] { open(); });
    EXPECT_FALSE(w->findChild<QLineEdit*>("TxtOperador")->isEnabled());
}

// A refused row names its cause, writes nothing, keeps the window as typed and saves later.
TEST_F(EntradaTest, AFailedSaveKeepsTheWindowAsTyped) {
    StoreFault::install();
    openReady();
    Typing::type(txt(w.get(), 21), "nao liga");
    for (const StoreFault::Kind kind : StoreFault::RefusedWrites) {
        const QString refused = writeUnderFault(kind, databasePath(), [&] { w->BtEntrada_Click(); });
        EXPECT_TRUE(refused.startsWith("Ocorreu um Erro ao tentar Emitir esta Ordem de Serviço.")) << refused.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);
    EXPECT_FALSE(w->findChild<QLabel*>("Label3")->isVisible());
    EXPECT_EQ(txt(w.get(), 21)->text(), "NAO LIGA");
    EXPECT_EQ(field("Defeito", confirm()), "NAO LIGA");
}

// A COMMIT that stored the order though an error came back is the order emitted: one row, its number shown.
TEST_F(EntradaTest, AnOrderWhoseCommitLandedIsEmittedOnce) {
    StoreFault::install();
    openReady();
    Typing::type(txt(w.get(), 21), "nao liga");
    qlonglong os = 0;
    {
        StoreFault fault(StoreFault::JournalGoneButError);
        os = confirm();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
    EXPECT_EQ(field("Defeito", os), "NAO LIGA");
    EXPECT_EQ(w->findChild<QLabel*>("Label3")->text(), QString::number(os));
    EXPECT_TRUE(w->findChild<QLabel*>("Label3")->isVisible());
}

// An order the file cannot confirm says so and keeps the window as typed; confirming again emits that order once, as
// the window then shows it: onto the order that landed (never refused as a duplicate of itself; what it no longer
// sets, such as the pick-up and the factory warranty, left empty), or as a first save when it did not land. A
// confirmation in between that the disk refuses changes none of that.
struct UnconfirmedEntradaTest : EntradaTest, ::testing::WithParamInterface<Told> {};

TEST_P(UnconfirmedEntradaTest, AnUnconfirmedOrderIsEmittedOnceWhenConfirmedAgain) {
    StoreFault::install();
    openReady();
    Typing::type(txt(w.get(), 21), "nao liga");
    w->findChild<QCheckBox*>("Check1")->setChecked(true);
    option(w.get(), "Option1(2)")->click();
    Typing::type(txt(w.get(), 24), "magazine");
    Typing::type(txt(w.get(), 25), "05/03/2026");
    Typing::type(txt(w.get(), 26), "nf 123");
    leaveUnconfirmed(databasePath(), [&] { w->BtEntrada_Click(); }, GetParam());
    EXPECT_FALSE(w->findChild<QLabel*>("Label3")->isVisible());
    EXPECT_EQ(txt(w.get(), 21)->text(), "NAO LIGA");
    Typing::type(txt(w.get(), 21), " nem acende");
    w->findChild<QCheckBox*>("Check1")->setChecked(false);
    option(w.get(), "Option1(0)")->click();
    writeUnderFault(StoreFault::JournalKept, databasePath(), [&] { w->BtEntrada_Click(); });
    const qlonglong os = confirm();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
    EXPECT_EQ(field("Defeito || '|' || Tipo || '|' || ifnull(Andamento, '-') || ifnull(Loja, '-') || "
                    "ifnull(DataCompra, '-') || ifnull(NotaFiscal, '-') || '|' || Dias",
                    os),
              "NAO LIGA NEM ACENDE|ORÇAMENTO|----|0");
    EXPECT_EQ(w->findChild<QLabel*>("Label3")->text(), QString::number(os));
}

INSTANTIATE_TEST_SUITE_P(HowTheFileTellsIt, UnconfirmedEntradaTest, ::testing::Values(Told::Stored, Told::NotStored));

TARVEL_TEST_MAIN()
