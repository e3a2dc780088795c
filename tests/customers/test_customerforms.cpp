// The customer's forms: a new customer, editing one (and his copies), his appliances.
#include "customerdata.h"
#include "customers/frmaltcadastro.h"
#include "customers/frmapcliente.h"
#include "customers/frmclientes.h"
#include "customers/frmnvcliente.h"
#include "customers/geranumserie.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scenario.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QRegularExpression>

using namespace CustomerData;

namespace {

using CustomerFormsTest = ProgramFolderTest;

QLineEdit* operador(QWidget* w) { return w->findChild<QLineEdit*>("TxtOperador"); }
void retype(QLineEdit* box, const QString& text) {
    box->selectAll();
    Typing::type(box, text);
}

const QString Blank = "'E obrigatório preencher o Endereço do Cliente !";

// Shows a new-customer window holding MARIA at RUA A, 1 and the administrator's password.
void typeMaria(QWidget* dlg) {
    dlg->show();
    Typing::type(txt(dlg, 0), "maria");
    Typing::type(txt(dlg, 1), "rua a, 1");
    Typing::type(operador(dlg), "1234");
}

} // namespace

// Txt(0) to Txt(11) hold Nome to Email (Txt(10): the mobile); the road records a whole customer.
TEST_F(CustomerFormsTest, ANewCustomer) {
    // Fills the window and saves, twice when the first is refused.
    const auto fill = [](const QString& address, const QString& password, bool again = false) {
        return [=] {
            FrmNvCliente dlg;
            dlg.show();
            Typing::type(txt(&dlg, 0), "joão ");
            Typing::type(txt(&dlg, 1), address);
            Typing::type(txt(&dlg, 7), "(12) 3456-7890");
            Typing::type(txt(&dlg, 10), "abc");
            Typing::type(operador(&dlg), password);
            EXPECT_EQ(button(&dlg, "BtCadastro")->isEnabled(), !password.isEmpty());
            button(&dlg, "BtCadastro")->click();
            if (again) {
                retype(txt(&dlg, 1), "RUA DAS FLORES, 10");
                button(&dlg, "BtCadastro")->click();
            }
            EXPECT_EQ(dlg.result() == QDialog::Accepted, !dlg.isVisible());
        };
    };
    // The company's city, state and postal-code region are the defaults; a phone keeps each digit in its place.
    const auto company = [] { Database::openDefault().execute("UPDATE TblEmpresa SET Cidade = 'campinas', Estado = 'sp', Cep = '13083-970'"); };
    runScenarios({
        {"an address of blanks, then a real one", company, fill("   ", "1234", true),
         {{Blank}, {"Cliente Cadastrado com Sucesso!"}},
         {{"SELECT Nome, Endereco, Cidade, Estado, Cep, TelResidencia, Celular, substr(DataCadastro, 1, 10) = '" +
               Clock::today().toString(Qt::ISODate) + "' FROM TblClientes",
           {"JOÃO|RUA DAS FLORES, 10|CAMPINAS|SP|13.000-000|12  3456 7890||1"}}}},
        {"no password, no save", nullptr, fill("RUA A", ""), {}, {{"SELECT Nome FROM TblClientes", {}}}},
    });
}

// A refused write says why and keeps what was typed; the same button records him afterwards.
TEST_F(CustomerFormsTest, AFailedSaveNamesItsCauseAndKeepsWhatWasTyped) {
    StoreFault::install();
    FrmNvCliente dlg;
    typeMaria(&dlg);
    for (const StoreFault::Kind kind : StoreFault::RefusedWrites) {
        const QString text = writeUnderFault(kind, databasePath(), [&] { button(&dlg, "BtCadastro")->click(); });
        EXPECT_TRUE(text.startsWith("Ocorreu um Erro ao tentar Cadastrar este Cliente.")) << text.toStdString();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(txt(&dlg, 0)->text(), "MARIA");
        EXPECT_TRUE(button(&dlg, "BtCadastro")->isEnabled());
    }
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(&dlg, "BtCadastro")->click();
    EXPECT_EQ(storedRows("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'MARIA'"), QStringList{"1"});

    // A COMMIT that stored the row though an error came back is a success: the customer is there once.
    FrmNvCliente again;
    again.show();
    Typing::type(txt(&again, 0), "joao");
    Typing::type(txt(&again, 1), "rua b, 2");
    Typing::type(operador(&again), "1234");
    {
        StoreFault fault(StoreFault::JournalGoneButError);
        ScriptedBoxes stored;
        stored.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
        button(&again, "BtCadastro")->click();
    }
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(storedRows("SELECT COUNT(*) FROM TblClientes WHERE Nome = 'JOAO'"), QStringList{"1"});
}

// A save the file cannot confirm says so and keeps what was typed: confirming again stores the customer once.
TEST_F(CustomerFormsTest, AnUnconfirmedSaveIsStoredOnceWhenConfirmedAgain) {
    StoreFault::install();
    FrmNvCliente dlg;
    typeMaria(&dlg);
    const QString text = writeUnconfirmed(databasePath(), [&] { button(&dlg, "BtCadastro")->click(); });
    EXPECT_EQ(text, "Ocorreu um Erro ao tentar Cadastrar este Cliente.\rTente Reparar e Compactar o Banco de Dados e Tente "
                    "Novamente\rSe o problema persistir Contacte o Suporte Técnico e Informe o erro Abaixo\r3197 " +
                        UnconfirmedText + " Banco de Dados");
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(txt(&dlg, 1)->text(), "RUA A, 1");
    retype(txt(&dlg, 1), "rua b, 2");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
    button(&dlg, "BtCadastro")->click();
    EXPECT_EQ(storedRows("SELECT Codigo, Endereco FROM TblClientes WHERE Nome = 'MARIA'"),
              QStringList{QStringLiteral("%1|RUA B, 2").arg(Modulo::CodClienteAtual)});
}

// The boxes that end a row of the customer's boxes (name, address, district, postal code, work phone,
// mobile, note) end at one right edge, in the new customer's window and in the editing one.
TEST_F(CustomerFormsTest, TheRowsOfBoxesEndAtOneRightEdge) {
    FrmNvCliente fresh;
    FrmAltCadastro edit;
    for (const auto& [window, first] : {std::pair<QWidget*, int>{&fresh, 0}, {&edit, 1}}) {
        window->show();
        QApplication::processEvents();
        QStringList edges;
        for (int i : {0, 1, 3, 6, 8, 10, 11})
            edges << QString("Txt(%1) %2").arg(first + i).arg(txt(window, first + i)->geometry().right() -
                                                              txt(window, first + 1)->geometry().right());
        EXPECT_EQ(edges.filter(QRegularExpression(" 0$")).size(), 7) << window->objectName().toStdString() << ": "
                                                                     << edges.join(", ").toStdString();
    }
}

TEST_F(CustomerFormsTest, EditingACustomer) {
    const QString note40 = "CLIENTE PREFERE CONTATO PELO CELULAR 123";
    qint64 ana = 0;
    const auto customers = [&] {
        ana = addCustomer("ANA SILVA", "CAMPINAS", "1911112222", note40);
        const qint64 beto = addCustomer("BETO");
        addOpenOrder(ana, "ANA SILVA");
        addOpenOrder(ana, "ANA SILVA");
        addOpenOrder(beto, "BETO");
        addDelivered(ana, "ANA SILVA", false);
        Database::openDefault().execute("INSERT INTO TblRetirada (Nome, End) VALUES ('ANA SILVA', 'RUA A, 1')");
    };
    // Opens the editing window from the list on ANA, runs `act` in it.
    const auto edit = [](std::function<void(QWidget*)> act) {
        return [=] {
            FrmClientes* list = FrmClientes::open();
            ASSERT_NE(list, nullptr);
            ASSERT_TRUE(list->dataFrmClientes().findFirst("Nome = 'ANA SILVA'"));
            ModalScript script(act, 10000, "FrmAltCadastro");
            list->findChild<QPushButton*>("BtEditar")->click();
            EXPECT_TRUE(script.done());
        };
    };
    const QString customers_ = "SELECT Nome, Endereco, Cidade, Email, Operador FROM TblClientes ORDER BY Codigo";
    const QString orders = "SELECT Nome, Cidade, Email FROM TblManutencao ORDER BY Nome";
    const QString delivered = "SELECT Nome, Endereco FROM TblApEntregues";
    const QString confirm = "Confirma a Alteração nos dados cadastrais deste Cliente?";
    runScenarios({
        {"a new name reaches the order copies, not the receipts", nullptr, edit([](QWidget* dlg) {
             EXPECT_FALSE(button(dlg, "BtAltCadastro")->isEnabled());
             EXPECT_TRUE(txt(dlg, 1)->isReadOnly()) << "the name waits for an allowed operator";
             Typing::type(operador(dlg), "1234");
             EXPECT_FALSE(txt(dlg, 1)->isReadOnly());
             retype(txt(dlg, 1), "ana souza");
             button(dlg, "BtAltCadastro")->click();
         }),
         {{confirm, MsgAnswer::Yes}, {"Dados Cadastrais do Cliente Alterados com Sucesso!"}},
         {{customers_, {"ANA SOUZA|RUA A, 1|CAMPINAS|" + note40 + "|ADMINISTRADOR", "BETO|RUA A, 1|CAMPINAS||ADMINISTRADOR"}},
          {orders, {"ANA SOUZA|CAMPINAS|" + note40, "ANA SOUZA|CAMPINAS|" + note40, "BETO||"}},
          {delivered, {"ANA SOUZA|RUA A, 1"}},
          {"SELECT Nome FROM TblRetirada", {"ANA SILVA"}}},
         [] { EXPECT_EQ(FrmClientes::open()->findChild<QLabel*>("Lbl(1)")->text(), "ANA SOUZA"); }},
        // The 40-character note in the 25-character box is kept whole; no operator without the password.
        {"a blank address refused, then a new one", nullptr, edit([](QWidget* dlg) {
             Typing::type(operador(dlg), "12");
             EXPECT_TRUE(txt(dlg, 1)->isReadOnly());
             retype(txt(dlg, 2), "  ");
             button(dlg, "BtAltCadastro")->click();
             retype(txt(dlg, 2), "rua nova, 5");
             button(dlg, "BtAltCadastro")->click();
         }),
         {{Blank}, {confirm, MsgAnswer::Yes}, {"Alterados com Sucesso!"}},
         {{customers_, {"ANA SILVA|RUA NOVA, 5|CAMPINAS|" + note40 + "|", "BETO|RUA A, 1|CAMPINAS||ADMINISTRADOR"}},
          {delivered, {"ANA SILVA|RUA NOVA, 5"}}}},
        {"a failure part-way leaves everything as it was", [] {
             raw("CREATE TRIGGER falha BEFORE UPDATE ON TblApEntregues BEGIN SELECT RAISE(ABORT, 'bloqueado'); END");
         }, edit([](QWidget* dlg) {
             retype(txt(dlg, 5), "SOROCABA");
             button(dlg, "BtAltCadastro")->click();
             EXPECT_TRUE(dlg->isVisible());
             EXPECT_FALSE(dlg->findChild<QLabel*>("LblEdit")->isVisible());
             button(dlg, "BtFechar")->click();
         }),
         {{confirm, MsgAnswer::Yes}, {"Ocorreu um Erro ao tentar Alterar os Dados Cadastrais"}},
         {{"SELECT Cidade FROM TblClientes ORDER BY Codigo", {"CAMPINAS", "CAMPINAS"}},
          {orders, {"ANA SILVA||", "ANA SILVA||", "BETO||"}}}},
        {"a COMMIT the disk refuses keeps what was typed; the same button then stores it once", StoreFault::install,
         edit([](QWidget* dlg) {
             retype(txt(dlg, 5), "SOROCABA");
             {
                 StoreFault fault(StoreFault::JournalKept);
                 button(dlg, "BtAltCadastro")->click();
             }
             EXPECT_EQ(txt(dlg, 5)->text(), "SOROCABA");
             button(dlg, "BtAltCadastro")->click();
         }),
         {{confirm, MsgAnswer::Yes}, {StoreFault::causeWords(StoreFault::JournalKept)}, {confirm, MsgAnswer::Yes},
          {"Alterados com Sucesso!"}},
         {{"SELECT Cidade FROM TblClientes ORDER BY Codigo", {"SOROCABA", "CAMPINAS"}},
          {orders, {"ANA SILVA|SOROCABA|" + note40, "ANA SILVA|SOROCABA|" + note40, "BETO||"}}}},
        {"a COMMIT the file cannot confirm says so, not that nothing was written; the same button then stores it",
         StoreFault::install, edit([](QWidget* dlg) {
             retype(txt(dlg, 5), "ITU");
             {
                 StoreFault fault(StoreFault::JournalGoneUnreadable);
                 button(dlg, "BtAltCadastro")->click();
             }
             EXPECT_EQ(txt(dlg, 5)->text(), "ITU");
             button(dlg, "BtAltCadastro")->click();
         }),
         {{confirm, MsgAnswer::Yes},
          {"Ocorreu um Erro ao tentar Alterar os Dados Cadastrais deste Cliente.\rTente Reparar e Compactar o Banco de "
           "Dados e Tente Novamente\rSe o problema persistir Contacte o Suporte Técnico e Informe o erro Abaixo\r3197 " +
           UnconfirmedText + " Banco de Dados"},
          {confirm, MsgAnswer::Yes}, {"Alterados com Sucesso!"}},
         {{"SELECT Cidade FROM TblClientes ORDER BY Codigo", {"ITU", "CAMPINAS"}},
          {orders, {"ANA SILVA|ITU|" + note40, "ANA SILVA|ITU|" + note40, "BETO||"}}}},
    }, customers);
}

TEST(SoNumeros, KeepsEveryDigitInItsPlace) {
    EXPECT_EQ(FrmNvCliente::soNumeros("(12) 3456-7890"), " 12  3456 7890");
    EXPECT_EQ(FrmNvCliente::soNumeros("0a9/"), "0 9 ");
}

TEST(GeraNumSerie, HasTheExactForm) {
    EXPECT_EQ(GeraNumSerie(QDateTime(QDate(2026, 3, 5), QTime(9, 7)), 4, "AB"), "260305090704-AB");
    EXPECT_EQ(GeraNumSerie(QDateTime(QDate(2031, 12, 31), QTime(23, 59)), 98, ""), "311231235998-");
}

TEST_F(CustomerFormsTest, AnApplianceOfTheCustomer) {
    std::unique_ptr<FrmApCliente> dlg;
    const auto given = [] {
        const qint64 ana = addCustomer("ANA");
        Modulo::CodClienteAtual = std::int32_t(ana);
        Modulo::NomeClienteAtual = "ANA";
        Database db = Database::openDefault();
        db.execute("INSERT INTO TblAparelhos (Aparelho, Dpto) VALUES ('TELEVISOR', 'OUTROS'), ('RADIO', 'OUTROS')");
        db.execute("INSERT INTO TblMarca (Marca) VALUES ('PHILCO'), ('SONY')");
        db.execute("UPDATE TblEmpresa SET Sigla = 'AT'");
        Clock::set(QDateTime(QDate(2026, 3, 5), QTime(9, 7)));
    };
    // Fills the window (blanks for the serial number) and saves `saves` times; a
    // model not typed is pasted as it stands.
    const auto save = [&](const QString& serial, int saves, const QString& brand = "SONY",
                          std::optional<QString> model = std::nullopt) {
        return [=, &dlg] {
            dlg = std::make_unique<FrmApCliente>();
            dlg->show();
            EXPECT_EQ(dlg->findChild<QLineEdit*>("TxtNmCliente")->text(), "ANA");
            dlg->findChild<QComboBox*>("Combo(0)")->setCurrentText("TELEVISOR");
            dlg->findChild<QComboBox*>("Combo(1)")->setCurrentText(brand);
            model ? txt(dlg.get(), 0)->setText(*model) : Typing::type(txt(dlg.get(), 0), "tp-21'x");
            Typing::type(txt(dlg.get(), 3), "220v");
            Typing::type(txt(dlg.get(), 2), serial);
            for (int i = 0; i < saves; ++i) dlg->BtCadastrar_Click();
        };
    };
    const QString stored = "SELECT ID, Aparelho, Marca, Modelo, NumSerie, Tensao FROM TblApClientes";
    const QString offer = "Este Equipamento não possui um Número de Série Válido.\rDeseja que o Programa Gere";
    runScenarios({
        {"a serial of blanks: no generated one, no save", nullptr, save("    ", 1), {{offer, MsgAnswer::No}}, {{stored, {}}},
         [&] { EXPECT_EQ(txt(dlg.get(), 2)->text(), "    "); EXPECT_EQ(QApplication::focusWidget(), txt(dlg.get(), 2)); }},
        {"three characters: the generated one, then saved", nullptr, save("abc", 2),
         {{offer, MsgAnswer::Yes}, {"Aparelho Cadastrado com Sucesso!"}}, {}, [&] {
             const QStringList rows = storedRows(stored);
             ASSERT_EQ(rows.size(), 1);
             EXPECT_TRUE(QRegularExpression("^1\\|TELEVISOR\\|SONY\\|TP-21X\\|2603050907\\d\\d-AT\\|220V$").match(rows[0]).hasMatch())
                 << rows[0].toStdString();
         }},
        {"four characters are a serial number; the boxes cleared for the next", nullptr, save("ab12", 1),
         {{"Aparelho Cadastrado com Sucesso!"}}, {{stored, {"1|TELEVISOR|SONY|TP-21X|AB12|220V"}}}, [&] {
             EXPECT_TRUE(txt(dlg.get(), 0)->text().isEmpty() && txt(dlg.get(), 2)->text().isEmpty());
             EXPECT_EQ(txt(dlg.get(), 3)->text(), "220V");
             EXPECT_EQ(dlg->findChild<QComboBox*>("Combo(0)")->currentText(), "TELEVISOR");
             EXPECT_TRUE(dlg->isVisible());
         }},
        {"a model pasted in small letters is stored in capitals", nullptr, save("ab12", 1, "SONY", "tp-21x"),
         {{"Aparelho Cadastrado com Sucesso!"}}, {{stored, {"1|TELEVISOR|SONY|TP-21X|AB12|220V"}}}},
        {"no brand", nullptr, save("ab12", 1, ""), {{"Digite a Marca do Aparelho"}}, {{stored, {}}}},
        {"no model", nullptr, save("ab12", 1, "SONY", ""), {{"Digite a Modelo do Aparelho"}}, {{stored, {}}}},
    }, given, [&] { dlg.reset(); });
}

TARVEL_TEST_MAIN()
