// Taking an appliance in under a new service order: the window, its checks,
// the saved row and the warranty return, on real windows and database files.
#include "app/apptest.h"
#include "customers/customerwindows.h"
#include "customers/frmclientes.h"
#include "intakedata.h"
#include "orders/frmentrada.h"
#include "printing/printdata.h"
#include "store/clock.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QRegularExpression>
#include <functional>
#include <memory>

using namespace IntakeData;

namespace {

const QDateTime Now(QDate(2026, 3, 5), QTime(9, 7, 30));

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
    QWidget* focused() const { return QApplication::focusWidget(); }
    std::vector<QVariantList> orders() {
        return Database::openDefault().rows("SELECT * FROM TblManutencao ORDER BY Os");
    }
    QVariant field(const QString& name, qlonglong os) {
        return Database::openDefault().scalar("SELECT " + name + " FROM TblManutencao WHERE Os = ?", {os});
    }
    // Confirms, answers the print offer with No and returns the new number.
    qlonglong confirm(ScriptedBoxes& boxes) {
        boxes.answer(MsgAnswer::No, "O Aparelho foi dado Entrada com Sucesso! \rDeseja Imprimir esta Ordem de "
                                    "Serviço Agora?");
        w->BtEntrada_Click();
        return Modulo::OsAtual;
    }
    void addRestriction(const QVariant& cliente, const QString& serie, const QString& tipo) {
        Database::openDefault().execute(
            "INSERT INTO TblRestricao (IdCliente, Aparelho, Marca, Modelo, NumSerie, Tipo) VALUES (?, ?, ?, ?, ?, ?)",
            {cliente, serie.isEmpty() ? QVariant() : QVariant("TELEVISOR"),
             serie.isEmpty() ? QVariant() : QVariant("PHILCO"), serie.isEmpty() ? QVariant() : QVariant("TP-21"),
             serie.isEmpty() ? QVariant() : QVariant(serie), tipo});
    }
};

} // namespace

// The window opens on the hand-over: customer labels, appliance boxes, the
// lists sorted with the handed-over type and brand selected, the department
// following the type, and the focus on the defect.
TEST_F(EntradaTest, LoadsTheHandOverIntoLabelsListsAndBoxes) {
    open();
    EXPECT_EQ(w->windowTitle(), "Nova Ordem de Serviço");
    EXPECT_EQ(lbl(w.get(), 0)->text(), "7");
    EXPECT_EQ(lbl(w.get(), 1)->text(), "ANA");
    EXPECT_EQ(lbl(w.get(), 11)->text(), "19999998888");
    EXPECT_EQ(txt(w.get(), 17)->text(), "TP-21");
    EXPECT_EQ(txt(w.get(), 19)->text(), "SN-1001");
    QComboBox* tipo = combo(w.get(), "ComboAparelho");
    QComboBox* dpto = combo(w.get(), "ComboDpto");
    QStringList types;
    for (int i = 0; i < tipo->count(); ++i) types << tipo->itemText(i);
    EXPECT_EQ(types, (QStringList{"ÁUDIO SYSTEM", "DVD", "RADIO", "TELEVISOR"}));
    EXPECT_EQ(combo(w.get(), "Combo(1)")->itemText(0), "GRADIENTE");
    EXPECT_EQ(combo(w.get(), "Combo(3)")->itemText(0), "CARLOS");
    EXPECT_EQ(tipo->currentText(), "TELEVISOR");
    EXPECT_EQ(combo(w.get(), "Combo(1)")->currentText(), "PHILCO");
    EXPECT_EQ(combo(w.get(), "Combo(3)")->currentIndex(), -1);
    EXPECT_EQ(dpto->currentText(), "VIDEO");
    EXPECT_FALSE(dpto->isVisible());
    tipo->setCurrentIndex(tipo->findText("ÁUDIO SYSTEM"));
    EXPECT_EQ(dpto->currentText(), "SOM");
    tipo->setCurrentIndex(tipo->findText("RADIO"));
    EXPECT_EQ(dpto->currentText(), "AUDIO");
    EXPECT_EQ(focused(), txt(w.get(), 21));
    EXPECT_TRUE(option(w.get(), "Option1(0)")->isChecked());
    EXPECT_FALSE(option(w.get(), "Option1(1)")->isEnabled());
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());
    EXPECT_FALSE(w->findChild<QLabel*>("Label3")->isVisible());

    // A type or brand no longer listed leaves its list unselected.
    w.reset();
    selectAppliance("SN-1001", "MICROONDAS", "BRASTEMP");
    open();
    EXPECT_EQ(combo(w.get(), "ComboAparelho")->currentIndex(), -1);
    EXPECT_EQ(combo(w.get(), "Combo(1)")->currentIndex(), -1);
    EXPECT_EQ(combo(w.get(), "ComboDpto")->currentIndex(), -1);
}

// Typing: capitals, no apostrophe, Enter moves on (also from a list); the
// focused box's caption turns red; the factory-warranty boxes open with their
// option and lock again with their text kept.
TEST_F(EntradaTest, TypingFocusColoursAndFactoryWarrantyBoxes) {
    open();
    Typing::type(txt(w.get(), 21), "não liga'");
    EXPECT_EQ(txt(w.get(), 21)->text(), "NÃO LIGA");
    EXPECT_EQ(lbl(w.get(), 21)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    Typing::key(txt(w.get(), 21), Qt::Key_Return);
    EXPECT_EQ(focused(), txt(w.get(), 22));
    EXPECT_NE(lbl(w.get(), 21)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    Typing::focus(combo(w.get(), "ComboAparelho"));
    Typing::key(combo(w.get(), "ComboAparelho"), Qt::Key_Return);
    EXPECT_EQ(focused(), combo(w.get(), "Combo(1)"));
    Typing::type(txt(w.get(), 17), "abcdefghijklmnopq");
    EXPECT_EQ(txt(w.get(), 17)->text(), "TP-21ABCDEFGHI");   // 14 at most

    QLineEdit* loja = txt(w.get(), 24);
    EXPECT_TRUE(loja->isReadOnly());
    EXPECT_FALSE(lbl(w.get(), 24)->isEnabled());
    option(w.get(), "Option1(2)")->click();
    EXPECT_FALSE(loja->isReadOnly());
    EXPECT_TRUE(lbl(w.get(), 24)->isEnabled());
    EXPECT_EQ(focused(), loja);
    Typing::type(loja, "casas bahia");
    option(w.get(), "Option1(0)")->click();
    EXPECT_TRUE(loja->isReadOnly());
    EXPECT_EQ(loja->text(), "CASAS BAHIA");
    EXPECT_EQ(loja->focusPolicy(), Qt::ClickFocus);
}

// A wrong password, an operator without the right and the administrator.
TEST_F(EntradaTest, OperatorCheckEnablesTheConfirmationOnlyForTheRight) {
    open();
    auto* op = w->findChild<QLineEdit*>("TxtOperador");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Operador Não Cadastrado");
    Typing::type(op, "9999");
    EXPECT_EQ(boxes.log()[0].title, "Emitir Ordem de Serviço");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(op->text().isEmpty());
    boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
    Typing::type(op, "4321");
    EXPECT_EQ(boxes.log()[1].icon, MsgIcon::Critical);
    EXPECT_EQ(op->text(), "BALCAO");
    EXPECT_FALSE(op->isEnabled());
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());

    w.reset();
    selectAppliance();
    openReady();
    EXPECT_EQ(w->findChild<QLineEdit*>("TxtOperador")->text(), "ADMINISTRADOR");
    EXPECT_EQ(focused(), button(w.get(), "BtEntrada"));
}

// Each check failing alone, in the order of the chain, with its message, its
// icon and the field it focuses; nothing is saved by any of them.
TEST_F(EntradaTest, ValidationChainStopsAtEachStepWithItsMessageAndFocus) {
    Database::openDefault().execute(
        "INSERT INTO TblManutencao (Aparelho, Marca, Modelo, NumSerie, Status) "
        "VALUES ('TELEVISOR', 'PHILCO', 'TP-21', 'DUP-1', 'PRONTO')");
    const qlonglong existing = count("SELECT Os FROM TblManutencao");
    struct Step {
        const char* name;
        std::function<void(FrmEntrada*)> prepare;
        QString text;
        MsgIcon icon;
        QString focus;   // empty: the focus is not checked
    };
    const auto factory = [](const char* loja, const char* data, const char* nf) {
        return [=](FrmEntrada* f) {
            Typing::type(txt(f, 21), "NAO LIGA");
            option(f, "Option1(2)")->click();
            txt(f, 24)->setText(QString::fromUtf8(loja));
            txt(f, 25)->setText(QString::fromUtf8(data));
            txt(f, 26)->setText(QString::fromUtf8(nf));
        };
    };
    const std::vector<Step> steps = {
        {"type", [](FrmEntrada* f) { combo(f, "ComboAparelho")->setCurrentIndex(-1); },
         "Digite o Tipo de Aparelho", MsgIcon::Exclamation, "ComboAparelho"},
        {"brand", [](FrmEntrada* f) { combo(f, "Combo(1)")->setCurrentIndex(-1); },
         "Digite a Marca do Aparelho", MsgIcon::Exclamation, "Combo(1)"},
        {"duplicate", [](FrmEntrada* f) { txt(f, 19)->setText("  DUP-1 "); },
         "ATENÇÃO!\rNão poderá ser dado entrada neste Equipamento\rJá existe um Aparelho \"PRONTO\" com estas "
         "mesmas especificações!\rOrdem de Serviço N. " + QString::number(existing),
         MsgIcon::Critical, {}},
        {"shop", factory("  ", "01/03/2026", "NF1"),
         "Alguns Dados do Aparelho em Garantia de Fábrica são Obrigatórios", MsgIcon::Exclamation, "Txt(24)"},
        {"purchase date", factory("LOJA", "", "NF1"),
         "Alguns Dados do Aparelho em Garantia de Fábrica são Obrigatórios", MsgIcon::Exclamation, "Txt(25)"},
        {"invoice", factory("LOJA", "01/03/2026", " "),
         "Alguns Dados do Aparelho em Garantia de Fábrica são Obrigatórios", MsgIcon::Exclamation, "Txt(26)"},
        {"not a date", factory("LOJA", "31/02/2026", "NF1"), "Digite uma Data Válida", MsgIcon::Exclamation,
         "Txt(25)"},
        {"future purchase", factory("LOJA", "06/03/2026", "NF1"), "Data da Compra após a Data Atual - Corrija",
         MsgIcon::Exclamation, "Txt(25)"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        selectAppliance();
        openReady();
        step.prepare(w.get());
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        w->BtEntrada_Click();
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].text, step.text);
        EXPECT_EQ(boxes.log()[0].icon, step.icon);
        EXPECT_EQ(boxes.log()[0].title, "Emissão de Ordem de Serviço");
        if (!step.focus.isEmpty()) {
            EXPECT_EQ(focused()->objectName(), step.focus);
        }
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
        w.reset();
    }

    // The serial number, tested trimmed: the offer (No by default) and a
    // second confirmation in every case.
    selectAppliance();
    openReady();
    txt(w.get(), 19)->setText("   1");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Este Equipamento não possui um Número de Série Válido.\rDeseja que o Programa "
                                "Gere um Número de Série pare ele?");
    w->BtEntrada_Click();
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Question);
    EXPECT_EQ(boxes.log()[0].defaultButton, MsgAnswer::No);
    EXPECT_EQ(txt(w.get(), 19)->text(), "   1");
    EXPECT_EQ(focused(), txt(w.get(), 19));
    boxes.answer(MsgAnswer::Yes);
    w->BtEntrada_Click();
    EXPECT_TRUE(QRegularExpression("^2603050907\\d\\d-AT$").match(txt(w.get(), 19)->text()).hasMatch())
        << txt(w.get(), 19)->text().toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);

    // An empty defect asks, Yes by default; No goes back to the defect.
    txt(w.get(), 21)->setText("   ");
    boxes.answer(MsgAnswer::No, "Você não digitou nenhum defeito para este aparelho\rDeseja emitir a Ordem de "
                                "Serviço assim mesmo? ");
    w->BtEntrada_Click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(focused(), txt(w.get(), 21));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
    // Yes saves the order with an empty defect.
    boxes.answer(MsgAnswer::Yes);
    const qlonglong os = confirm(boxes);
    EXPECT_EQ(field("Defeito", os).toString(), "");
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 2);
}

// A refusing restriction blocks whatever the order of the matching rows; the
// others warn and the intake goes on. The customer's come first.
TEST_F(EntradaTest, RestrictionsBlockInEitherRowOrderAndOtherwiseWarn) {
    const QString blockCustomer = "ATENÇÃO\rNão poderá ser dado Entrada neste Aparelho porque Existe Restrições "
                                  "para este Cliente.\rComunique a Gerência Imediatamente";
    const QString blockAppliance = "ATENÇÃO\rNão poderá ser dado Entrada neste Aparelho porque ele possui "
                                   "Restrições.\rComunique a Gerência Imediatamente";
    const QString warnCustomer = "ATENÇÃO\rExiste Restrições para este Cliente.\rDê Entrada Normalmete e "
                                 "Comunique a Gerência o mais depressa possível";
    const QString warnAppliance = "ATENÇÃO\rExiste Restrições para este Aparelho.\rDê Entrada Normalmete e "
                                  "Comunique a Gerência o mais depressa possível";
    const QString block = "NÃO PERMITIR ENTRADA";
    const QString warn = "AVISAR GERÊNCIA";
    for (bool blockFirst : {true, false}) {
        SCOPED_TRACE(blockFirst ? "refusal first" : "warning first");
        Database::openDefault().execute("DELETE FROM TblRestricao");
        // The customer: a refusal and a warning.
        addRestriction(7, {}, blockFirst ? block : warn);
        addRestriction(7, {}, blockFirst ? warn : block);
        selectAppliance();
        openReady();
        Typing::type(txt(w.get(), 21), "RUIDO");
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok);
        w->BtEntrada_Click();
        EXPECT_EQ(boxes.texts(), QStringList{blockCustomer});
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);

        // The customer warned; the appliance: a refusal and a warning.
        Database::openDefault().execute("DELETE FROM TblRestricao WHERE Tipo = ?", {block});
        addRestriction(QVariant(), blockFirst ? "SN-1001" : "OUTRA", block);
        addRestriction(QVariant(), "SN-1001", warn);
        addRestriction(QVariant(), blockFirst ? "OUTRA" : "SN-1001", block);
        boxes.clearLog();
        boxes.answer(MsgAnswer::Ok).answer(MsgAnswer::Ok);
        w->BtEntrada_Click();
        EXPECT_EQ(boxes.texts(), (QStringList{warnCustomer, blockAppliance}));
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);

        // Both only warn: both messages, then the order. The refusing type
        // is its exact text: in other letters it only warns.
        Database::openDefault().execute("DELETE FROM TblRestricao WHERE Tipo = ?", {block});
        addRestriction(7, {}, "Não Permitir Entrada");
        boxes.clearLog();
        boxes.answer(MsgAnswer::Ok).answer(MsgAnswer::Ok);
        confirm(boxes);
        EXPECT_EQ(boxes.texts().mid(0, 2), (QStringList{warnCustomer, warnAppliance}));
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
        Database::openDefault().execute("DELETE FROM TblManutencao");
        w.reset();
    }
}

// The saved row, field by field, for an estimate and a factory warranty; the
// number is the key of the insert, shown and kept in OsAtual.
TEST_F(EntradaTest, SavedRowHoldsEveryFieldForEachOrderType) {
    Database::openDefault().execute("INSERT INTO TblManutencao (Nome, NumSerie) VALUES ('OUTRO', 'X1')");
    openReady();
    Typing::type(txt(w.get(), 21), "  sem imagem ");
    Typing::type(txt(w.get(), 22), "riscado");
    Typing::type(txt(w.get(), 23), "controle");
    combo(w.get(), "Combo(3)")->setCurrentIndex(combo(w.get(), "Combo(3)")->findText("PEDRO"));
    w->findChild<QCheckBox*>("Check1")->setChecked(true);
    option(w.get(), "OptExterno")->setChecked(true);
    option(w.get(), "OptUrgente")->setChecked(true);
    ScriptedBoxes boxes;
    const qlonglong os = confirm(boxes);
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_GT(os, 1);
    EXPECT_EQ(count("SELECT MAX(Os) FROM TblManutencao"), os);
    EXPECT_EQ(w->findChild<QLabel*>("Label3")->text(), QString::number(os));
    EXPECT_TRUE(w->findChild<QLabel*>("Label3")->isVisible());

    const QStringList names = {"IdCliente", "Nome", "Endereco", "Complemento", "Bairro", "Cidade", "Estado", "Cep",
                               "TelResidencia", "TelComercial", "Fax", "Celular", "Aparelho", "Marca", "Modelo",
                               "Chassis", "NumSerie", "Tensao", "Defeito", "EstadoAparelho", "Acessorios",
                               "Andamento", "Tipo", "Loja", "DataCompra", "Status", "OperadorEnt", "Tecnico", "Dpto",
                               "DataEntrada", "HoraEntrada", "Atendimento", "prioridade", "DtLmtGr", "Dias", "Via",
                               "Emocao", "Email"};
    QStringList values;
    for (const QString& n : names) values << field(n, os).toString();
    EXPECT_EQ(values, (QStringList{"7", "ANA", "RUA A, 1", "APTO 2", "CENTRO", "CAMPINAS", "SP", "13000-000",
                                   "1933334444", "1922223333", "1911112222", "19999998888", "TELEVISOR", "PHILCO",
                                   "TP-21", "CH-9", "SN-1001", "110V", "SEM IMAGEM", "RISCADO", "CONTROLE",
                                   "A TRANSPORTAR", "ORÇAMENTO", "", "", "EM SERVIÇO", "ADMINISTRADOR", "PEDRO",
                                   "VIDEO", "2026-03-05", "09:07:30", "EXTERNO", "URGENTE", "2026-03-05", "0", "0",
                                   "0", ""}));
    EXPECT_EQ(Modulo::SqlFiltroEntregues, "SELECT * FROM TblApEntregues WHERE Aparelho = 'TELEVISOR' AND Marca = "
                                          "'PHILCO' AND Modelo = 'TP-21' AND NumSerie = 'SN-1001'");

    // After the save: slots empty, boxes empty, types locked, the button on;
    // a second appliance of the customer in the same window, another type,
    // no pickup, the factory warranty typed before the save kept out of
    // nothing: an estimate stores none of it.
    for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
    for (int i = 17; i <= 27; ++i) EXPECT_TRUE(txt(w.get(), i)->text().isEmpty()) << i;
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(option(w.get(), QString("Option1(%1)").arg(i))->isEnabled());
    EXPECT_TRUE(option(w.get(), "Option1(0)")->isChecked());
    EXPECT_TRUE(button(w.get(), "BtEntrada")->isEnabled());
    EXPECT_EQ(lbl(w.get(), 1)->text(), "ANA");

    QComboBox* tipo = combo(w.get(), "ComboAparelho");
    tipo->setCurrentIndex(tipo->findText("ÁUDIO SYSTEM"));
    txt(w.get(), 17)->setText("MS'1");   // an older record's apostrophe stays text
    Typing::type(txt(w.get(), 19), "ab12");
    Typing::type(txt(w.get(), 21), "nao le cd");
    w->findChild<QCheckBox*>("Check1")->setChecked(false);
    option(w.get(), "OptInterno")->setChecked(true);
    option(w.get(), "OptNormal")->setChecked(true);
    const qlonglong second = confirm(boxes);
    EXPECT_EQ(second, os + 1);
    EXPECT_EQ(field("Dpto", second).toString(), "SOM");
    EXPECT_EQ(field("NumSerie", second).toString(), "AB12");
    EXPECT_EQ(field("Modelo", second).toString(), "MS'1");
    EXPECT_TRUE(Modulo::SqlFiltroEntregues.endsWith("Modelo = 'MS''1' AND NumSerie = 'AB12'"));
    EXPECT_FALSE(field("Andamento", second).isValid());
    EXPECT_EQ(field("Atendimento", second).toString(), "INTERNO");
    EXPECT_EQ(field("prioridade", second).toString(), "NORMAL");

    // A factory warranty stores its four fields.
    w.reset();
    selectAppliance("FAB-77", "DVD", "SONY");
    openReady();
    Typing::type(txt(w.get(), 21), "trava");
    option(w.get(), "Option1(2)")->click();
    Typing::type(txt(w.get(), 24), " magazine ");
    Typing::type(txt(w.get(), 25), "05/03/2026");
    Typing::type(txt(w.get(), 26), "nf 123");
    const qlonglong fab = confirm(boxes);
    EXPECT_EQ(field("Tipo", fab).toString(), "GAR.DE FÁBRICA");
    EXPECT_EQ(field("Loja", fab).toString(), "MAGAZINE");
    EXPECT_EQ(field("DataCompra", fab).toString(), "05/03/2026");
    EXPECT_EQ(field("NotaFiscal", fab).toString(), "NF 123");
    EXPECT_EQ(field("GarComplementar", fab).toString(), "");
    EXPECT_EQ(field("Dpto", fab).toString(), "VIDEO DIGITAL");
    EXPECT_EQ(field("Tecnico", fab).toString(), "");
    EXPECT_EQ(field("DtLmtGr", fab).toString(), "2026-03-05");
    EXPECT_EQ(orders().size(), 4u);
}

// A warranty return: only "Gar. de Serviço", the earlier technician, the
// appliance locked, the warranty end kept as DtLmtGr and one order per opening.
TEST_F(EntradaTest, WarrantyReturnSavesAServiceWarrantyOrderOnce) {
    Modulo::RetornoGarantia = true;
    Modulo::TecnicoRetorno = QString("CARLOS");
    Modulo::DataLimiteRetorno = QDate(2026, 5, 30);
    openReady();
    EXPECT_FALSE(Modulo::RetornoGarantia);
    EXPECT_EQ(Modulo::TecnicoRetorno.toString(), "");
    EXPECT_TRUE(option(w.get(), "Option1(1)")->isChecked());
    EXPECT_TRUE(option(w.get(), "Option1(1)")->isEnabled());
    EXPECT_FALSE(option(w.get(), "Option1(0)")->isEnabled());
    EXPECT_FALSE(option(w.get(), "Option1(2)")->isEnabled());
    EXPECT_EQ(combo(w.get(), "Combo(3)")->currentText(), "CARLOS");
    EXPECT_FALSE(combo(w.get(), "ComboAparelho")->isEnabled());
    EXPECT_FALSE(combo(w.get(), "Combo(1)")->isEnabled());
    for (int i = 17; i <= 20; ++i) EXPECT_FALSE(txt(w.get(), i)->isEnabled()) << i;
    EXPECT_TRUE(txt(w.get(), 21)->isEnabled());
    Typing::type(txt(w.get(), 21), "voltou o defeito");
    ScriptedBoxes boxes;
    const qlonglong os = confirm(boxes);
    EXPECT_EQ(field("Tipo", os).toString(), "GAR. DE SERVIÇO");
    EXPECT_EQ(field("Tecnico", os).toString(), "CARLOS");
    EXPECT_EQ(field("DtLmtGr", os).toString(), "2026-05-30");
    EXPECT_EQ(field("NumSerie", os).toString(), "SN-1001");
    EXPECT_FALSE(button(w.get(), "BtEntrada")->isEnabled());

    // A return whose brand was deleted: the message once, and the operator
    // field out of reach.
    w.reset();
    Database::openDefault().execute("DELETE FROM TblMarca WHERE Marca = 'PHILCO'");
    selectAppliance("SN-2");
    Modulo::RetornoGarantia = true;
    boxes.answer(MsgAnswer::Ok, "ATENÇÃO\rEste 'Aparelho' ou 'Marca' foi Excluído!\rPortanto será Necessário "
                                "Recadastrá-los");
    open();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log().last().title, "Nova Ordem de Serviço");
    EXPECT_FALSE(w->findChild<QGroupBox*>("Frame2")->isEnabled());
    EXPECT_FALSE(w->findChild<QLineEdit*>("TxtOperador")->isEnabled());
}

// Yes to the print offer opens the print window on the new order; its job
// prints the order and counts the copy; the intake is still open after it.
TEST_F(EntradaTest, ThePrintOfferPrintsTheNewOrder) {
    PrintData::RecordingPrinter printer;
    openReady();
    Typing::type(txt(w.get(), 21), "nao liga");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes, "Deseja Imprimir esta Ordem de Serviço Agora?");
    boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    QString caption;
    bool intakeBeneath = false;
    ModalScript print([&](QWidget* dlg) {
        caption = dlg->windowTitle();
        intakeBeneath = w->isVisible() && dlg->parentWidget() == w.get();
        button(dlg, "BtIniciar")->click();
        dlg->findChild<WindowTimer*>("Timer1")->fire();
    }, 10000, "FrmImpressao");
    w->BtEntrada_Click();
    EXPECT_TRUE(print.done());
    const qlonglong os = Modulo::OsAtual;
    EXPECT_EQ(caption, "Impressão da Ordem de Serviço: " + QString::number(os));
    EXPECT_TRUE(intakeBeneath);
    ASSERT_EQ(printer.target->documents.size(), 1u);
    const QString printed = printer.target->documents[0].pages.at(0).allText();
    EXPECT_TRUE(printed.contains(QStringLiteral("%1").arg(os, 5, 10, QLatin1Char('0')))) << printed.toStdString();
    EXPECT_TRUE(printed.contains("NAO LIGA"));
    EXPECT_EQ(PrintData::via(os), 1);
    EXPECT_TRUE(w->isVisible());
}

// Closing, saved or not, empties the hand-over.
TEST_F(EntradaTest, ClosingEmptiesTheHandOver) {
    open();
    Modulo::DadosSelecionados[13] = "X";
    Typing::key(txt(w.get(), 21), Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
}

// A database that refuses the new row: the failure is reported with its
// number and text, nothing is written, and the window goes on working.
TEST_F(EntradaTest, AFailedSaveIsReportedAndTheWindowGoesOn) {
    StoreFault::install();
    openReady();
    Typing::type(txt(w.get(), 21), "nao liga");
    raw("CREATE TRIGGER falha BEFORE INSERT ON TblManutencao BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok);
    w->BtEntrada_Click();
    ASSERT_EQ(boxes.log().size(), 1);
    const QString text = boxes.log()[0].text;
    EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar Emitir esta Ordem de Serviço.")) << text.toStdString();
    EXPECT_TRUE(text.contains("disco cheio"));
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);
    EXPECT_FALSE(w->findChild<QLabel*>("Label3")->isVisible());
    EXPECT_EQ(txt(w.get(), 21)->text(), "NAO LIGA");

    raw("DROP TRIGGER falha");
    // The disk refusing the order: the cause in Portuguese, the window as typed.
    for (const StoreFault::Kind kind : {StoreFault::DiskFull, StoreFault::IoError, StoreFault::ReadOnlyFolder}) {
        const QString refused = writeUnderFault(kind, databasePath(), [&] { w->BtEntrada_Click(); });
        EXPECT_TRUE(refused.startsWith("Ocorreu um Erro ao tentar Emitir esta Ordem de Serviço.")) << refused.toStdString();
        EXPECT_EQ(txt(w.get(), 21)->text(), "NAO LIGA");
    }
    const qlonglong os = confirm(boxes);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 1);
    EXPECT_EQ(field("Defeito", os).toString(), "NAO LIGA");
}

// The road in the program: the customers list from the main window, the
// customer's appliance, "Nova Ordem de Serviço", the operator, the order's
// number on the window and the order in the workshop table.
using IntakeRoadTest = MainWindowTest;
TEST_F(IntakeRoadTest, AnApplianceIsTakenInFromTheCustomersList) {
    addLists();
    Database d = Database::openDefault();
    d.execute("INSERT INTO TblClientes (Nome, Endereco, Cidade) VALUES ('BEATRIZ', 'RUA B, 2', 'SANTOS')");
    const qlonglong beatriz = d.lastInsertKey();
    d.execute("INSERT INTO TblApClientes (ID, Aparelho, Marca, Modelo, NumSerie) "
              "VALUES (?, 'RADIO', 'SONY', 'ICF-7', 'RS-778')",
              {beatriz});
    registerCustomerWindows();
    start();
    action("MnuClientes")->trigger();
    auto* list = WindowHost::findList<FrmClientes>();
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(waitFor([] { return Modulo::DadosSelecionados[19] == "RS-778"; }));

    ScriptedBoxes boxes;
    QString shown;
    ModalScript intake([&](QWidget* dlg) {
        EXPECT_EQ(lbl(dlg, 1)->text(), "BEATRIZ");
        EXPECT_EQ(combo(dlg, "ComboDpto")->currentText(), "AUDIO");
        Typing::type(txt(dlg, 21), "sem som");
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        boxes.answer(MsgAnswer::No, "Deseja Imprimir esta Ordem de Serviço Agora?");
        Typing::key(button(dlg, "BtEntrada"), Qt::Key_Return);
        shown = dlg->findChild<QLabel*>("Label3")->text();
        button(dlg, "BtFechar")->click();
    }, 10000, "FrmEntrada");
    list->findChild<QPushButton*>("BtFazerOs")->click();
    EXPECT_TRUE(intake.done());
    const auto row = d.rows("SELECT Os, IdCliente, Nome, Aparelho, NumSerie, Defeito, Status, OperadorEnt "
                            "FROM TblManutencao");
    ASSERT_EQ(row.size(), 1u);
    EXPECT_EQ(row[0][0].toString(), shown);
    EXPECT_EQ(QVariantList(row[0].begin() + 1, row[0].end()),
              (QVariantList{beatriz, "BEATRIZ", "RADIO", "RS-778", "SEM SOM", "EM SERVIÇO", "ADMINISTRADOR"}));
}

TARVEL_TEST_MAIN()
