// Writing a new pickup receipt: the operator check, the required name and
// address, the stored row, the print offer and the recording of the customer.
#include "pickupdata.h"
#include "printing/printdata.h"
#include "pickups/frmnvretirada.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace PickupData;

namespace {

struct NvRetiradaTest : ProgramFolderTest {
    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(QDate(2026, 3, 5), QTime(14, 25, 40)));
        Database::openDefault().execute("UPDATE TblEmpresa SET Cidade = 'campinas', Estado = 'sp'");
        dlg = std::make_unique<FrmNvRetirada>();
        dlg->show();
    }
    void TearDown() override {
        dlg.reset();
        Clock::set({});
        ProgramFolderTest::TearDown();
    }
    QLineEdit* operador() { return dlg->findChild<QLineEdit*>("TxtOperador"); }
    void type(int i, const QString& t) { Typing::type(box(dlg.get(), i), t); }
    void fill(const QString& nome, const QString& endereco) {
        type(0, nome);
        type(1, endereco);
    }
    std::unique_ptr<FrmNvRetirada> dlg;
};

} // namespace

// A receipt the disk refuses says why and keeps the dialog with what was
// typed; once the cause is gone the same button stores it, once.
TEST_F(NvRetiradaTest, AFailedSaveNamesItsCauseAndKeepsWhatWasTyped) {
    StoreFault::install();
    dlg.reset();   // opened again over the fault layer
    dlg = std::make_unique<FrmNvRetirada>();
    dlg->show();
    fill("maria", "rua a, 1");
    Typing::type(operador(), "1234");
    for (const StoreFault::Kind kind : {StoreFault::DiskFull, StoreFault::IoError, StoreFault::ReadOnlyFolder}) {
        const QString text = writeUnderFault(kind, databasePath(), [&] { button(dlg.get(), "BtSalvar")->click(); });
        EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar gerar este Comprovante de Retirada")) << text.toStdString();
        EXPECT_EQ(boxText(dlg.get(), 0), "MARIA");
        EXPECT_TRUE(button(dlg.get(), "BtSalvar")->isEnabled());
        EXPECT_FALSE(Modulo::NovaRetiradaSalva);
    }
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Comprovante de Retirada Criado com Sucesso");
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'MARIA' AND End = 'RUA A, 1'"), 1);
    EXPECT_FALSE(button(dlg.get(), "BtSalvar")->isEnabled());
}

TEST_F(NvRetiradaTest, OpensWithTheShopsCityAndWaitsForAnOperatorWithTheRight) {
    EXPECT_EQ(boxText(dlg.get(), 4), "CAMPINAS");
    EXPECT_EQ(boxText(dlg.get(), 5), "SP");
    EXPECT_FALSE(button(dlg.get(), "BtSalvar")->isEnabled());
    EXPECT_FALSE(button(dlg.get(), "BtClientes")->isEnabled());

    // Capitals, no apostrophe; Enter moves on, also from the two-line defect
    // box. The name is bold only while it has the focus.
    type(0, "joão d'ávila");
    EXPECT_EQ(boxText(dlg.get(), 0), "JOÃO DÁVILA");
    EXPECT_TRUE(box(dlg.get(), 0)->font().bold());
    Typing::key(box(dlg.get(), 0), Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), box(dlg.get(), 1));
    EXPECT_FALSE(box(dlg.get(), 0)->font().bold());
    type(15, "nao liga");
    Typing::key(box(dlg.get(), 15), Qt::Key_Return);
    EXPECT_EQ(boxText(dlg.get(), 15), "NAO LIGA");
    EXPECT_EQ(QApplication::focusWidget(), operador());
    // Typing limits: state 2, name 40.
    type(5, "XYZ");
    EXPECT_EQ(boxText(dlg.get(), 5), "SP");

    // An operator without EmOs is refused and nothing opens up.
    Database::openDefault().execute(
        "INSERT INTO TblOperador (NomeOperador, Senha, Ini, EmOs) VALUES ('BETO', 17442, 1, 0)");  // 7970
    {
        FrmNvRetirada other;
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Voce Não Possui Autorizaçao para esta Operação");
        Typing::type(other.findChild<QLineEdit*>("TxtOperador"), "7970");
        EXPECT_EQ(boxes.log()[0].title, "Criar Novo Comprovante de Retirada");
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(button(&other, "BtSalvar")->isEnabled());
        EXPECT_FALSE(button(&other, "BtClientes")->isEnabled());
    }
    Typing::type(operador(), "1234");
    EXPECT_EQ(operador()->text(), "ADMINISTRADOR");
    EXPECT_FALSE(operador()->isEnabled());
    EXPECT_TRUE(button(dlg.get(), "BtSalvar")->isEnabled());
    EXPECT_TRUE(button(dlg.get(), "BtClientes")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), button(dlg.get(), "BtSalvar"));
}

TEST_F(NvRetiradaTest, SavingNeedsANameAndAnAddressOfThreeCharactersThenStoresTheReceipt) {
    Typing::type(operador(), "1234");
    ScriptedBoxes boxes;
    // Two letters, or blanks alone, are no name.
    fill("AN", "RUA X");
    boxes.answer(MsgAnswer::Ok, "Obrigatório o Preenchimento do Nome do Cliente");
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_EQ(boxes.log().last().title, "Criar Novo Comprovante de Retirada");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(QApplication::focusWidget(), box(dlg.get(), 0));
    static_cast<QLineEdit*>(box(dlg.get(), 0))->setText("     ");
    boxes.answer(MsgAnswer::Ok, "Obrigatório o Preenchimento do Nome do Cliente");
    button(dlg.get(), "BtSalvar")->click();
    // Exactly three characters as typed, the blank counted, is a name.
    static_cast<QLineEdit*>(box(dlg.get(), 0))->setText("AN ");
    static_cast<QLineEdit*>(box(dlg.get(), 1))->setText("R ");
    boxes.answer(MsgAnswer::Ok, "Obrigatório o Preenchimento do Endereço do Cliente");
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_EQ(QApplication::focusWidget(), box(dlg.get(), 1));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 0);
    EXPECT_TRUE(button(dlg.get(), "BtSalvar")->isEnabled());

    static_cast<QLineEdit*>(box(dlg.get(), 1))->setText("RUA DAS FLORES, 10");
    type(8, "perto da praça");
    type(11, "televisor");
    type(14, "sn-77");
    type(15, "  sem imagem ");
    boxes.answer(MsgAnswer::No, "Comprovante de Retirada Criado com Sucesso\rDeseja Imprimir este Comprovante Agora ?");
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_EQ(boxes.log().last().title, "Novo Comprovante de Retirada");
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(boxes.failures(), 0);

    ASSERT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 1);
    const QString row = text("SELECT Nome || '|' || End || '|' || Cidade || '|' || Estado || '|' || Loc0 || '|' || "
                             "Loc1 || '|' || Ap0 || '|' || NumSerie || '|' || Defeito || '|' || Operador || '|' || "
                             "DataEmissao || '|' || HoraEmissao FROM TblRetirada");
    EXPECT_EQ(row, "AN|RUA DAS FLORES, 10|CAMPINAS|SP|PERTO DA PRAÇA||TELEVISOR|SN-77|SEM IMAGEM|"
                   "ADMINISTRADOR|2026-03-05|14:25:40");
    EXPECT_TRUE(Modulo::NovaRetiradaSalva);
    // No print: the dialog stays open, and one receipt per opening.
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(button(dlg.get(), "BtSalvar")->isEnabled());
    EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());
}

// The print window runs its job at once and stays until the test closes it.
void printNow(QWidget* window) { window->findChild<WindowTimer*>("TimerRetirada")->fire(); }

TEST_F(NvRetiradaTest, PrintingAfterTheSaveNamesTheReceiptJustStored) {
    PrintData::RecordingPrinter printer;
    addReceipt("ANTIGO");
    // Another copy of the program adds a receipt right after ours.
    raw("CREATE TRIGGER outra_copia AFTER INSERT ON TblRetirada WHEN NEW.Nome = 'CARLOS' BEGIN "
        "INSERT INTO TblRetirada (Nome, End) VALUES ('OUTRA COPIA', 'RUA Z'); END");
    Typing::type(operador(), "1234");
    fill("CARLOS", "RUA B, 2");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    ModalScript print(printNow, 10000, "FrmImpRetirada");
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_TRUE(print.done());
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 3);
    EXPECT_EQ(Modulo::IdRetiradaAtual.toLongLong(), count("SELECT IdRetirada FROM TblRetirada WHERE Nome = 'CARLOS'"));
    ASSERT_EQ(printer.target->documents.size(), 1u);
    const QString printed = printer.target->documents[0].pages.at(0).allText();
    EXPECT_TRUE(printed.contains("CARLOS"));
    EXPECT_FALSE(printed.contains("OUTRA COPIA"));
    // The dialog closes when the print window has closed.
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(NvRetiradaTest, APrintFailureAfterTheSaveNeverSaysTheReceiptFailed) {
    PrintData::RecordingPrinter printer;
    printer.target->setFailure(483, QStringLiteral("Impressora desligada"));
    Typing::type(operador(), "1234");
    fill("CARLOS", "RUA B, 2");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Não foi possível imprimir este Comprovante de Retirada");
    ModalScript print([](QWidget* w) {
        printNow(w);
        button(w, "BtFechar")->click();   // the failed print window waits for Cancel
    });
    button(dlg.get(), "BtSalvar")->click();
    EXPECT_TRUE(print.done());
    for (const ShownBox& b : boxes.log()) EXPECT_FALSE(b.text.contains("gerar este Comprovante")) << b.text.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'CARLOS'"), 1);
    EXPECT_TRUE(Modulo::NovaRetiradaSalva);
    EXPECT_TRUE(printer.target->documents.empty());
    EXPECT_EQ(boxes.failures(), 0);
}

// Only a save that stored nothing says it failed: a receipt whose row was
// stored but could not be read back goes on to the print offer.
TEST_F(NvRetiradaTest, OnlyASaveThatStoredNothingSaysItFailed) {
    raw("CREATE TRIGGER falha BEFORE INSERT ON TblRetirada BEGIN SELECT RAISE(ABORT, 'disco cheio'); END");
    Typing::type(operador(), "1234");
    fill("CARLOS", "RUA B, 2");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar gerar este Comprovante de Retirada\r"
                                "Verifique os dados digitados estão corretos.\r"
                                "Se o problema persistir Contacte o Suporte Técnico\r");
    button(dlg.get(), "BtSalvar")->click();
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, "Erro ao emitir Comprovante de Retirada");
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(boxes.log()[0].text.contains("disco cheio"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 0);
    EXPECT_FALSE(Modulo::NovaRetiradaSalva);
    EXPECT_TRUE(dlg->isVisible());

    raw("DROP TRIGGER falha");
    FrmNvRetirada second;
    second.show();
    Typing::type(second.findChild<QLineEdit*>("TxtOperador"), "1234");
    static_cast<QLineEdit*>(box(&second, 0))->setText("ZECA");
    static_cast<QLineEdit*>(box(&second, 1))->setText("RUA Z");
    // The insert is stored; reading the row back through the window's cursor
    // fails (the receipts now stand behind a view that has no row keys).
    const QString fields = "Nome, End, Complemento, Bairro, Cidade, Estado, TelRes, Cel, Loc0, Loc1, Loc2, Ap0, "
                           "Marca0, Mod0, NumSerie, Defeito, DataEmissao, HoraEmissao, Operador";
    raw("ALTER TABLE TblRetirada RENAME TO TblGuardada");
    raw("CREATE VIEW TblRetirada AS SELECT * FROM TblGuardada");
    raw("CREATE TRIGGER grava INSTEAD OF INSERT ON TblRetirada BEGIN INSERT INTO TblGuardada (" + fields +
        ") VALUES (NEW." + QString(fields).replace(", ", ", NEW.") + "); END");
    boxes.answer(MsgAnswer::No, "Comprovante de Retirada Criado com Sucesso");
    button(&second, "BtSalvar")->click();
    EXPECT_EQ(boxes.log().size(), 2);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'ZECA'"), 1);
    EXPECT_TRUE(Modulo::NovaRetiradaSalva);
    EXPECT_FALSE(button(&second, "BtSalvar")->isEnabled());
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(NvRetiradaTest, TheCustomerButtonRecordsTheReceiptsCustomerOnce) {
    Typing::type(operador(), "1234");
    ScriptedBoxes boxes;
    // No: nothing.
    fill("B", "RUA C");
    boxes.answer(MsgAnswer::No, "Deseja incluir este Cliente no Cadastro de Clientes");
    button(dlg.get(), "BtClientes")->click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_EQ(boxes.log().last().title, "Cadastro de Clientes");
    // Blanks are no name.
    static_cast<QLineEdit*>(box(dlg.get(), 0))->setText("   ");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "É obrigatório preencher o Nome do Cliente !");
    button(dlg.get(), "BtClientes")->click();
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Information);
    EXPECT_EQ(QApplication::focusWidget(), box(dlg.get(), 0));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes"), 0);

    // A one-letter name can be recorded as a customer.
    static_cast<QLineEdit*>(box(dlg.get(), 0))->setText(" B ");
    type(6, "(19) 3333-4444");
    type(7, "99999-0000");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(dlg.get(), "BtClientes")->click();
    EXPECT_EQ(boxes.failures(), 0);
    EXPECT_EQ(text("SELECT Nome || '|' || Endereco || '|' || Cidade || '|' || Estado || '|' || TelResidencia || '|' || "
                   "Celular || '|' || Operador || '|' || DataCadastro FROM TblClientes"),
              "B|RUA C|CAMPINAS|SP|(19) 3333-4444|99999-0000|ADMINISTRADOR|2026-03-05");
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Cep IS NULL AND TelComercial IS NULL AND Fax IS NULL "
                    "AND Email IS NULL"),
              1);
    EXPECT_FALSE(button(dlg.get(), "BtClientes")->isEnabled());
    // Independent of the receipt, which can still be saved.
    EXPECT_TRUE(button(dlg.get(), "BtSalvar")->isEnabled());
}

TEST_F(NvRetiradaTest, ANameAlreadyRecordedShowsTheStoredCustomerBeforeRecordingAgain) {
    Database::openDefault().execute(
        "INSERT INTO TblClientes (Nome, Endereco, Complemento, Bairro, Operador, DataCadastro) "
        "VALUES ('ANA', 'RUA A', 'AP 3', 'CENTRO', 'PEDRO', '2025-01-02')");
    const qlonglong codigo = count("SELECT Codigo FROM TblClientes");
    Typing::type(operador(), "1234");
    fill("ANA ", "RUA NOVA");
    ScriptedBoxes boxes;
    const QString warning = "ATENÇÃO - JÁ EXISTE UM CLIENTE CADASTRADO COM ESTE NOME\r\rEndereço: RUA A AP 3\r"
                            "Bairro: CENTRO\rCódigo: " + QString::number(codigo) +
                            "\rCadastrado em: 02/01/2025\rPor: PEDRO\r\rDeseja Cadastrar assim mesmo?";
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::No, warning);
    button(dlg.get(), "BtClientes")->click();
    EXPECT_EQ(boxes.log().last().title, "Cadastro de Cliente");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes"), 1);
    EXPECT_TRUE(button(dlg.get(), "BtClientes")->isEnabled());

    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Yes, warning).answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(dlg.get(), "BtClientes")->click();
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'ANA'"), 2);

    // A failed write says so and leaves the table as it was.
    FrmNvRetirada second;
    second.show();
    Typing::type(second.findChild<QLineEdit*>("TxtOperador"), "1234");
    static_cast<QLineEdit*>(box(&second, 0))->setText("ZECA");
    static_cast<QLineEdit*>(box(&second, 1))->setText("RUA Z");
    raw("CREATE TRIGGER falha BEFORE INSERT ON TblClientes BEGIN SELECT RAISE(ABORT, 'sem espaço'); END");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Cadastrar este Cliente.\r"
                                                       "Verifique se os dados digitados estão corretos e tente novamente\r");
    button(&second, "BtClientes")->click();
    EXPECT_EQ(boxes.log().last().title, "Cadastrar Novo Cliente");
    EXPECT_TRUE(boxes.log().last().text.contains("sem espaço"));
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblClientes"), 2);
    EXPECT_EQ(boxes.failures(), 0);
}

TARVEL_TEST_MAIN()
