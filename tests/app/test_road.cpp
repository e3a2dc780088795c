// The road of a service order through the whole program, as a shop goes
// it: the real main window and the real windows behind its entries, driven
// by keyboard and mouse, on a delivered database file, with the documents
// printed through a private print server. After each step the tables hold
// what the step wrote, field by field. Then two copies of the program, two
// processes, go the same road at once on one file and both check out one
// shared order.
//
// TARVEL_ROAD_SHOTS=<folder> saves a picture of each main window as the road
// passes it (scripts/screenshots).
#include "app/backup.h"
#include "app/frmmdi.h"
#include "app/programwindows.h"
#include "app/windowregistry.h"
#include "customers/frmclientes.h"
#include "orders/frmapentregues.h"
#include "orders/frmdetalhes.h"
#include "orders/frmmanutencao.h"
#include "pickups/frmretirada.h"
#include "platform/screensize.h"
#include "platform/singleinstance.h"
#include "printing/printer.h"
#include "store/clock.h"
#include "store/currency.h"
#include "store/database.h"
#include "store/globals.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "support/files.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/printserver.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

PrintServer* server = nullptr;
// Where no print server can run here, the documents are recorded instead.
std::shared_ptr<RecordingTarget> recording;
const char* const RecordingVariable = "TARVEL_ROAD_RECORDING";

// The documents printed since the test began: the server's PDFs, once its
// queue is empty and `expected` stand there (or the wait timed out), or
// the recorded documents.
int printedDocuments(int expected) {
    if (recording) return int(recording->documents.size());
    return int(server->waitForPdfs(expected).size());
}

constexpr int Wait = 20000;
const QDateTime Now(QDate(2026, 3, 10), QTime(9, 41, 15));
const QString Password = QStringLiteral("1234");
const QString Operator = QStringLiteral("ADMINISTRADOR");

// What one copy of the program records on its road: the settings it adds
// (typed in lower case) and its customer.
struct Shop {
    QString marca, aparelho, tecnico;
    QString nome, endereco, complemento, bairro, telefone, obs;
    QString modelo, tensao;
    QString retirada, enderecoRetirada, local, defeito;
    QString reclamacao, estado, acessorios;
    QString andamento;
};

const Shop Shops[] = {
    {"philco", "televisor", "joão", "josé da conceição", "rua das acácias, 120", "apto 3", "jardim são joão",
     "3232-1111", "cliente desde 2020", "tp-21", "110v", "márcia gonçalves", "av. brasil, 45", "portão azul",
     "não liga", "não liga, cheiro de queimado", "riscos na tampa", "controle remoto",
     "trocado o flyback, testado 2h"},
    {"sony", "rádio", "márcio", "ângela müller", "av. paulista, 9", "sala 12", "bela vista", "3030-2020", "",
     "icf-40", "220v", "otávio brandão", "rua do comércio, 7", "fundos", "sem áudio",
     "chiado no alto-falante", "antena quebrada", "fonte e capa",
     "alto-falante novo"},
};

QString upper(const QString& s) { return s.toUpper(); }

// A value as the checks below write it: texts as they are, dates in ISO
// form, times as hh:mm:ss, numbers in digits, yes/no as true/false.
QString shown(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<QTime>()) return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    return v.toString();
}

// One row of a query as the program's store reads it, field by field.
QVariantMap record(const QString& sql) {
    RecordCursor c;
    c.open(ProgramFolder::databasePath(), sql);
    QVariantMap out;
    if (c.hasCurrent())
        for (const QString& f : c.fieldNames()) out.insert(f, c.field(f));
    c.close();
    return out;
}

// Every expected field of a row holds its value.
void expectFields(const QVariantMap& row, const QList<QPair<QString, QString>>& expected) {
    ASSERT_FALSE(row.isEmpty()) << "no such row";
    for (const auto& [field, value] : expected) {
        EXPECT_TRUE(row.contains(field)) << field.toStdString();
        EXPECT_EQ(shown(row.value(field)), value) << field.toStdString();
    }
}

qlonglong number(const QString& sql) { return Database::openDefault().scalar(sql).toLongLong(); }

template <class W = QWidget> W* child(QWidget* w, const QString& name) {
    W* c = w->findChild<W*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString() << " in " << w->objectName().toStdString();
    return c;
}
QPushButton* button(QWidget* w, const char* name) { return child<QPushButton>(w, QString::fromUtf8(name)); }
QLineEdit* edit(QWidget* w, const QString& name) { return child<QLineEdit>(w, name); }
QLineEdit* txt(QWidget* w, int i) { return edit(w, QStringLiteral("Txt(%1)").arg(i)); }
void click(QWidget* w, const char* name) {
    if (QPushButton* b = button(w, name)) {
        EXPECT_TRUE(b->isEnabled()) << name;
        b->click();
    }
}

// Works in a modal window while it is up: `open` makes it come (a click, a
// menu entry), `act` is what the operator does in it. The window must have
// closed when `act` is over, as after the operator's last click.
void inWindow(const char* name, const std::function<void(QWidget*)>& act, const std::function<void()>& open) {
    ModalScript script(act, Wait, QString::fromLatin1(name));
    open();
    EXPECT_TRUE(waitFor([&] { return script.done() && !script.dialog(); }, Wait)) << name << " did not close";
}

// Picks an item of a combo box from the keyboard, as the operator does with
// the arrow keys.
void pick(QComboBox* combo, const QString& text) {
    ASSERT_NE(combo, nullptr);
    Typing::focus(combo);
    if (combo->currentIndex() < 0) Typing::key(combo, Qt::Key_Down);
    for (int i = 0; i < combo->count() && combo->currentText() != text; ++i) Typing::key(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentText(), text);
}

// A double click with the mouse on the cell of a list's current row under
// a column heading.
void doubleClickCell(QWidget* list, const QString& heading) {
    DataGrid* grid = child<DataGrid>(list, QStringLiteral("DBGrid1"));
    ASSERT_NE(grid, nullptr);
    QTableView* view = grid->view();
    int column = -1;
    for (int c = 0; c < view->model()->columnCount(); ++c)
        if (view->model()->headerData(c, Qt::Horizontal).toString() == heading) column = c;
    ASSERT_GE(column, 0) << heading.toStdString();
    const QModelIndex cell = view->model()->index(grid->recordCursor()->absolutePosition(), column);
    view->scrollTo(cell);
    QCoreApplication::processEvents();
    const QPoint at = view->visualRect(cell).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
}

// Picks an entry of a list on its page of a tab strip with the mouse.
void chooseInList(QWidget* w, const QString& listName, const QString& text) {
    auto* list = child<QListWidget>(w, listName);
    ASSERT_NE(list, nullptr);
    QWidget* page = list;
    auto* tabs = child<QTabWidget>(w, QStringLiteral("SSTab1"));
    while (page && tabs->indexOf(page) < 0) page = page->parentWidget();
    ASSERT_NE(page, nullptr);
    tabs->setCurrentWidget(page);
    QCoreApplication::processEvents();
    const auto items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
}

// A picture of a window for the README, when TARVEL_ROAD_SHOTS asks for them.
void shot(QWidget* w, const char* name) {
    const QString folder = qEnvironmentVariable("TARVEL_ROAD_SHOTS");
    if (folder.isEmpty() || !w) return;
    QDir().mkpath(folder);
    QCoreApplication::processEvents();
    // Small files: at most 960 pixels wide, no transparency.
    QImage picture = w->grab().toImage().convertToFormat(QImage::Format_RGB888);
    if (picture.width() > 960) picture = picture.scaledToWidth(960, Qt::SmoothTransformation);
    picture.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")), "PNG", 0);
}

// One copy of the program on its road: the main window and what its
// operator does through it.
class Copy {
public:
    explicit Copy(const Shop& shop) : s(shop) {}
    ~Copy() { mdi.reset(); }

    // The program starts and ADMINISTRADOR logs in.
    void start() {
        mdi = std::make_unique<FrmMdi>();
        ASSERT_FALSE(mdi->ended());
        mdi->resize(1200, 860);
        mdi->show();
        inWindow("FrmInicializar", [](QWidget* w) {
            Typing::type(edit(w, "TxtOperador"), Password);
            EXPECT_EQ(edit(w, "TxtOperador")->text(), Operator);
            click(w, "BtOk");
        }, [] {});
        EXPECT_EQ(mdi->windowTitle(), "::: TARVEL ::: Sistema Inicializado por: " + Operator);
        EXPECT_EQ(Modulo::NomeOperadorAtual, Operator);
        // The first log-in of the day ran the daily update.
        EXPECT_EQ(shown(Database::openDefault().scalar("SELECT DtAtual FROM TblConfig")),
                  Clock::today().toString(Qt::ISODate));
    }

    // The status bar's count of running copies, as the main window shows it
    // at its next tick.
    bool showsCopies(int n) {
        QLabel* panel = child<QLabel>(mdi.get(), QStringLiteral("Panel2"));
        const QString want = QString::number(n) + QStringLiteral(" Usuário(s)");
        return waitFor([&] { return panel->text() == want; }, 6000);
    }

    // The road from the settings to the warranty return, stopping at the
    // first step that failed fatally.
    void throughReturn() {
        const std::function<void(Copy&)> steps[] = {&Copy::settings,         &Copy::newCustomer, &Copy::newAppliance,
                                                    &Copy::intake,           &Copy::workshop,    &Copy::serviceOrderToCheckout,
                                                    &Copy::deliveredAndReturn};
        for (const auto& step : steps) {
            step(*this);
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    // The settings: a brand, an appliance type and a technician.
    void settings() {
        ScriptedBoxes boxes;
        boxes.input(s.marca).input(s.aparelho).input(s.tecnico);
        inWindow("FrmAcesso", [](QWidget* gate) {
            Typing::type(edit(gate, "TxtOperador"), Password);
            inWindow("FrmConfig", [](QWidget* config) {
                click(config, "BtNvMarca");
                click(config, "BtNvTipo");
                click(config, "BtNvTecnico");
                shot(config, "configuracao");
                click(config, "BtFechar");
            }, [gate] { click(gate, "BtOk"); });
        }, [this] { action("MnuConfig")->trigger(); });
        EXPECT_EQ(boxes.failures(), 0);
        EXPECT_EQ(number("SELECT COUNT(*) FROM TblMarca WHERE Marca = '" + upper(s.marca) + "'"), 1);
        expectFields(record("SELECT * FROM TblAparelhos WHERE Aparelho = '" + upper(s.aparelho) + "'"),
                     {{"Dpto", "OUTROS"}});
        EXPECT_EQ(number("SELECT COUNT(*) FROM TblTecnicos WHERE NomeTecnico = '" + upper(s.tecnico) + "'"), 1);
    }

    // "Novo Cliente" from the menu: the customer, typed in lower case.
    void newCustomer() {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!");
        inWindow("FrmNvCliente", [this](QWidget* w) {
            Typing::type(txt(w, 0), s.nome);
            Typing::type(txt(w, 1), s.endereco);
            Typing::type(txt(w, 2), s.complemento);
            Typing::type(txt(w, 3), s.bairro);
            Typing::type(txt(w, 7), s.telefone);
            Typing::type(txt(w, 11), s.obs);
            Typing::type(edit(w, "TxtOperador"), Password);
            shot(w, "novo-cliente");
            click(w, "BtCadastro");
        }, [this] { action("MnuNvCliente")->trigger(); });
        EXPECT_EQ(boxes.failures(), 0);
        codigo = Modulo::CodClienteAtual;
        ASSERT_GT(codigo, 0);
        QString phone = s.telefone;
        phone.replace(QLatin1Char('-'), QLatin1Char(' '));
        expectFields(record(QStringLiteral("SELECT * FROM TblClientes WHERE Codigo = %1").arg(codigo)),
                     {{"Nome", upper(s.nome)},
                      {"Endereco", upper(s.endereco)},
                      {"Complemento", upper(s.complemento)},
                      {"Bairro", upper(s.bairro)},
                      {"Cidade", "SÃO PAULO"},
                      {"Estado", "SP"},
                      {"Cep", "00.000-000"},
                      {"TelResidencia", phone},
                      {"TelComercial", ""},
                      {"Fax", ""},
                      {"Celular", ""},
                      {"Email", upper(s.obs)},
                      {"Operador", Operator},
                      {"DataCadastro", Now.date().toString(Qt::ISODate)}});
    }

    // The customers list (F2): the customer found by name, and his appliance
    // recorded with the serial number the program makes.
    void newAppliance() {
        action("MnuClientes")->trigger();
        list = WindowHost::findList<FrmClientes>();
        ASSERT_NE(list, nullptr);
        QLineEdit* busca = edit(list, "TxtBusca");
        busca->clear();
        Typing::type(busca, s.nome.left(5));
        Typing::key(busca, Qt::Key_Return);
        ASSERT_EQ(child<QLabel>(list, "Lbl(1)")->text(), upper(s.nome));

        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Deseja que o Programa Gere um Número de Série");
        boxes.answer(MsgAnswer::Ok, "Aparelho Cadastrado com Sucesso!");
        inWindow("FrmApCliente", [this](QWidget* w) {
            EXPECT_EQ(edit(w, "TxtNmCliente")->text(), upper(s.nome));
            pick(child<QComboBox>(w, "Combo(0)"), upper(s.aparelho));
            pick(child<QComboBox>(w, "Combo(1)"), upper(s.marca));
            Typing::type(txt(w, 0), s.modelo);
            Typing::type(txt(w, 3), s.tensao);
            click(w, "BtCadastrar");   // no serial number: the program offers one
            serie = txt(w, 2)->text();
            shot(w, "aparelho-do-cliente");
            click(w, "BtCadastrar");
            click(w, "BtFechar");
        }, [this] { click(list, "BtNvAp"); });
        EXPECT_EQ(boxes.failures(), 0);
        const QRegularExpression form(QStringLiteral("^%1\\d\\d-AT$").arg(Now.toString(QStringLiteral("yyMMddHHmm"))));
        EXPECT_TRUE(form.match(serie).hasMatch()) << serie.toStdString();
        expectFields(record(QStringLiteral("SELECT * FROM TblApClientes WHERE ID = %1").arg(codigo)),
                     {{"Aparelho", upper(s.aparelho)},
                      {"Marca", upper(s.marca)},
                      {"Modelo", upper(s.modelo)},
                      {"NumSerie", serie},
                      {"Chassis", ""},
                      {"Tensao", upper(s.tensao)}});
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM TblApClientes WHERE ID = %1").arg(codigo)), 1);
        // The list stands on the new appliance, ready for the order.
        const QString selected = upper(s.aparelho + " " + s.marca + " " + s.modelo);
        QLabel* label3 = child<QLabel>(list, "Label3");
        EXPECT_TRUE(waitFor([&] { return label3->text() == selected; }, 3000)) << label3->text().toStdString();
        EXPECT_EQ(Modulo::DadosSelecionados[19], serie);
        shot(mdi.get(), "clientes");
    }

    // The customer's appliance taken in under a new service order, printed
    // at once.
    void intake() {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Deseja Imprimir esta Ordem de Serviço Agora?");
        boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
        inWindow("FrmEntrada", [this](QWidget* w) {
            EXPECT_EQ(child<QLabel>(w, "Lbl(1)")->text(), upper(s.nome));
            EXPECT_EQ(child<QComboBox>(w, "ComboAparelho")->currentText(), upper(s.aparelho));
            EXPECT_EQ(txt(w, 19)->text(), serie);
            Typing::type(txt(w, 21), s.reclamacao);
            Typing::type(txt(w, 22), s.estado);
            Typing::type(txt(w, 23), s.acessorios);
            Typing::type(edit(w, "TxtOperador"), Password);
            pick(child<QComboBox>(w, "Combo(3)"), upper(s.tecnico));
            shot(w, "entrada");
            inWindow("FrmImpressao", [](QWidget* p) { click(p, "BtIniciar"); }, [w] { click(w, "BtEntrada"); });
            os = child<QLabel>(w, "Label3")->text().toInt();
            click(w, "BtFechar");
        }, [this] { click(list, "BtFazerOs"); });
        EXPECT_EQ(boxes.failures(), 0);
        ASSERT_GT(os, 0);
        EXPECT_EQ(Modulo::OsAtual, os);
        for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
        QString phone = s.telefone;
        phone.replace(QLatin1Char('-'), QLatin1Char(' '));
        expectFields(record(QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(os)),
                     {{"IdCliente", QString::number(codigo)},
                      {"Nome", upper(s.nome)},
                      {"Endereco", upper(s.endereco)},
                      {"Complemento", upper(s.complemento)},
                      {"Bairro", upper(s.bairro)},
                      {"Cidade", "SÃO PAULO"},
                      {"Estado", "SP"},
                      {"Cep", "00.000-000"},
                      {"TelResidencia", phone},
                      {"Celular", ""},
                      {"Aparelho", upper(s.aparelho)},
                      {"Marca", upper(s.marca)},
                      {"Modelo", upper(s.modelo)},
                      {"Chassis", ""},
                      {"NumSerie", serie},
                      {"Tensao", upper(s.tensao)},
                      {"Dpto", "OUTROS"},
                      {"Defeito", upper(s.reclamacao)},
                      {"EstadoAparelho", upper(s.estado)},
                      {"Acessorios", upper(s.acessorios)},
                      {"Andamento", ""},
                      {"Tipo", "ORÇAMENTO"},
                      {"Status", "EM SERVIÇO"},
                      {"Tecnico", upper(s.tecnico)},
                      {"OperadorEnt", Operator},
                      {"DataEntrada", Now.date().toString(Qt::ISODate)},
                      {"HoraEntrada", Now.time().toString(QStringLiteral("HH:mm:ss"))},
                      {"Atendimento", "INTERNO"},
                      {"prioridade", "NORMAL"},
                      {"DtLmtGr", Now.date().toString(Qt::ISODate)},
                      {"Via", "1"}});
    }

    // The workshop list (F3): the order found by its customer's name, then
    // the list filtered by a double click on the customer's cell.
    void workshop() {
        action("Mnumanut")->trigger();
        oficina = WindowHost::findList<FrmManutencao>();
        ASSERT_NE(oficina, nullptr);
        QLineEdit* busca = edit(oficina, "TxtBusca");
        busca->clear();
        Typing::type(busca, s.nome.left(5));
        Typing::key(busca, Qt::Key_Return);
        ASSERT_EQ(oficina->dataFrmApMnt().number("Os"), os);
        doubleClickCell(oficina, "CLIENTE");
        EXPECT_EQ(Modulo::TituloFiltroManutencao,
                  QStringLiteral("APARELHOS EM MANUTENÇÃO : CLIENTE =  \"%1\"").arg(upper(s.nome)));
        EXPECT_EQ(oficina->dataFrmApMnt().recordCount(), 1);
        EXPECT_EQ(oficina->countText(), "1");
        EXPECT_EQ(oficina->dataFrmApMnt().number("Os"), os);
        shot(mdi.get(), "manutencao");
    }

    // F11 opens the order: the progress notes with the date (F5), the status
    // "PRONTO", then the price window and its checkout.
    void serviceOrderToCheckout() {
        ASSERT_NE(oficina, nullptr);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Confirma a sua Saída?");
        boxes.answer(MsgAnswer::Ok, "Foi Dado Saída no Aparelho com Sucesso!");
        inWindow("FrmOS", [this](QWidget* w) {
            EXPECT_EQ(w->windowTitle(), QStringLiteral("Ordem de Serviço Número: %1").arg(os));
            auto* notes = child<QPlainTextEdit>(w, "TxtAndamento");
            Typing::type(notes, s.andamento);
            Typing::key(notes, Qt::Key_F5);   // " (" today's date ")"
            chooseInList(w, "List1", "PRONTO");
            click(w, "BtSalvaStatus");
            expectFields(record(QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(os)),
                         {{"Status", "PRONTO"},
                          {"DataConcluido", Now.date().toString(Qt::ISODate)},
                          {"Andamento", upper(s.andamento) + " (" + Now.date().toString("dd/MM/yyyy") + ")"}});
            shot(w, "ordem-de-servico");
            inWindow("FrmOpcoesOS", [this](QWidget* p) { price(p); }, [w] { click(w, "BtOpcao"); });
        }, [this] { Typing::key(edit(oficina, "TxtBusca"), Qt::Key_F11); });
        EXPECT_EQ(boxes.failures(), 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Os = %1").arg(os)), 0);
        EXPECT_EQ(oficina->dataFrmApMnt().recordCount(), 0);
        EXPECT_EQ(oficina->countText(), "0");
        expectDelivered();
    }

    // The price window: two parts rows, the labour, a discount, an exit
    // note and 90 days of warranty; the operator, then the checkout.
    void price(QWidget* p) {
        const auto type = [p](const char* box, const QString& text) {
            QLineEdit* e = edit(p, QString::fromLatin1(box));
            e->clear();
            Typing::type(e, text);
        };
        EXPECT_EQ(child<QLabel>(p, "Label3")->text(), QString::number(os));
        type("TxtCod(0)", "101");
        type("TxtQtde(0)", "2");
        type("TxtId(0)", "un");
        type("TxtDescricao(0)", "capacitor 470uf");
        type("TxtVlUn(0)", "12,50");
        type("TxtCod(1)", "205");
        type("TxtQtde(1)", "1");
        type("TxtId(1)", "pc");
        type("TxtDescricao(1)", "flyback");
        type("TxtVlUn(1)", "85");
        type("TxtVlUn(6)", "60");
        type("TxtDesc", "10");
        type("TxtObs(0)", "  pago em dinheiro ");
        type("Text1", "90");
        type("TxtOperador", Password);
        click(p, "BtCalcular");
        EXPECT_EQ(edit(p, "TxtVl(0)")->text(), "25,00");
        EXPECT_EQ(edit(p, "TxtVl(1)")->text(), "85,00");
        shot(p, "precos-e-saida");
        click(p, "BtDarSaída");
    }

    // What the checkout wrote: the delivered row, field by field.
    void expectDelivered() {
        const QVariantMap row = record(QStringLiteral("SELECT * FROM TblApEntregues WHERE Os = %1").arg(os));
        entregue = row.value("IdApEntregues").toInt();
        ASSERT_GT(entregue, 0);
        QString phone = s.telefone;
        phone.replace(QLatin1Char('-'), QLatin1Char(' '));
        const QString today = Now.date().toString(Qt::ISODate);
        expectFields(row, {{"IdCliente", QString::number(codigo)},
                           {"Nome", upper(s.nome)},
                           {"Endereco", upper(s.endereco)},
                           {"Complemento", upper(s.complemento)},
                           {"Bairro", upper(s.bairro)},
                           {"Cidade", "SÃO PAULO"},
                           {"Estado", "SP"},
                           {"Cep", "00.000-000"},
                           {"TelResidencia", phone},
                           {"TelComercial", ""},
                           {"Fax", ""},
                           {"Celular", ""},
                           {"Aparelho", upper(s.aparelho)},
                           {"Marca", upper(s.marca)},
                           {"Modelo", upper(s.modelo)},
                           {"Chassis", ""},
                           {"NumSerie", serie},
                           {"Tensao", upper(s.tensao)},
                           {"Defeito", upper(s.reclamacao)},
                           {"EstadoAparelho", upper(s.estado)},
                           {"Acessorios", upper(s.acessorios)},
                           {"Dpto", "OUTROS"},
                           {"Os", QString::number(os)},
                           {"DataEntrada", today},
                           {"HoraEntrada", Now.time().toString(QStringLiteral("HH:mm:ss"))},
                           {"Dias", "0"},
                           {"DataSaida", today},
                           {"HoraSaida", Now.time().toString(QStringLiteral("HH:mm:ss"))},
                           {"Tipo", "ORÇAMENTO"},
                           {"Status", "PRONTO"},
                           {"DataConcluido", today},
                           {"OperadorEnt", Operator},
                           {"OperadorSaida", Operator},
                           {"Tecnico", upper(s.tecnico)},
                           {"Atendimento", "INTERNO"},
                           {"Garantia de Serviço", "true"},
                           {"DATALIMITEGARANTIA", Now.date().addDays(90).toString(Qt::ISODate)},
                           {"Loja", ""},
                           {"DataCompra", ""},
                           {"NotaFiscal", ""},
                           {"GarComplementar", ""},
                           {"Relatorio0", "101 2 un CAPACITOR 470UF 25,00"},
                           {"Relatorio1", "205 1 pc FLYBACK 85,00"},
                           {"Relatorio2", "    "},
                           {"Relatorio3", "    "},
                           {"Relatorio4", "    "},
                           {"Relatorio55", "    "},
                           // The amounts as the window shows them.
                           {"Relatorio5", "R$60,00"},
                           {"Relatorio6", "R$ 170,00"},
                           {"Relatorio7", "10,00"},
                           {"Relatorio9", "PAGO EM DINHEIRO"},
                           {"Relatorio10", ""},
                           {"Relatorio11", ""}});
        EXPECT_EQ(row.value("ValorCobrado").value<Currency>(), Currency::fromUnits(160));
    }

    // The delivered list (F4): the appliance found by its customer's name,
    // its details with the service report, the printed report, and the
    // warranty return, a new order, while the warranty holds.
    void deliveredAndReturn() {
        action("MnuApEntregues")->trigger();
        auto* entregues = WindowHost::findList<FrmApEntregues>();
        ASSERT_NE(entregues, nullptr);
        EXPECT_EQ(WindowHost::findList<FrmManutencao>(), nullptr);
        QLineEdit* busca = edit(entregues, "TxtBusca");
        busca->clear();
        Typing::type(busca, s.nome.left(5));
        Typing::key(busca, Qt::Key_Return);
        ASSERT_EQ(entregues->listCursor().number("IdApEntregues"), entregue);
        shot(mdi.get(), "entregues");

        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Confirma a Impressão dos Detalhes desta Ordem de Serviço");
        boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
        boxes.answer(MsgAnswer::No, "Deseja Imprimir esta Ordem de Serviço Agora?");
        std::unique_ptr<ModalScript> intake;
        inWindow("FrmDetalhes", [&](QWidget* d) {
            EXPECT_EQ(child<QLabel>(d, "Label2")->text(), QString::number(os));
            EXPECT_EQ(child<QLabel>(d, "Lbl(0)")->text(), QString::number(codigo));
            EXPECT_EQ(child<QLabel>(d, "Lbl(1)")->text(), upper(s.nome));
            const QStringList report = static_cast<FrmDetalhes*>(d)->reportLines();
            EXPECT_TRUE(report.contains("101 2 un CAPACITOR 470UF 25,00")) << report.join('|').toStdString();
            EXPECT_TRUE(report.contains("PAGO EM DINHEIRO")) << report.join('|').toStdString();
            shot(d, "detalhes");
            // The repaired-appliance report runs once its window has painted.
            inWindow("FrmImpDtApEnt", [](QWidget*) {}, [d] { click(d, "BtImpressao"); });
            // The return's intake opens once the details and the list have closed.
            intake = std::make_unique<ModalScript>([this](QWidget* w) { warrantyReturn(w); }, Wait,
                                                   QStringLiteral("FrmEntrada"));
            click(d, "BtRetorno");
        }, [entregues] { click(entregues, "BtDetalhes"); });
        ASSERT_TRUE(intake);
        EXPECT_TRUE(waitFor([&] { return intake->done() && !intake->dialog(); }, Wait));
        intake.reset();
        EXPECT_EQ(boxes.failures(), 0);
        EXPECT_EQ(WindowHost::findList<FrmApEntregues>(), nullptr);
        EXPECT_EQ(Modulo::IdApEntregueAtual, entregue);

        // A new number for the return; the warranty's end and technician
        // come with it.
        ASSERT_GT(retorno, os);
        expectFields(record(QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(retorno)),
                     {{"IdCliente", QString::number(codigo)},
                      {"Nome", upper(s.nome)},
                      {"Aparelho", upper(s.aparelho)},
                      {"Marca", upper(s.marca)},
                      {"Modelo", upper(s.modelo)},
                      {"NumSerie", serie},
                      {"Defeito", upper(s.defeito)},
                      {"Tipo", "GAR. DE SERVIÇO"},
                      {"Status", "EM SERVIÇO"},
                      {"Tecnico", upper(s.tecnico)},
                      {"OperadorEnt", Operator},
                      {"DataEntrada", Now.date().toString(Qt::ISODate)},
                      {"DtLmtGr", Now.date().addDays(90).toString(Qt::ISODate)},
                      {"Via", "0"}});
    }

    // The return's order in the workshop: its previous repairs show in the
    // delivered list, filtered on the appliance, beside the workshop list.
    void previousRepairs() {
        action("Mnumanut")->trigger();
        oficina = WindowHost::findList<FrmManutencao>();
        ASSERT_NE(oficina, nullptr);
        ASSERT_EQ(oficina->dataFrmApMnt().number("Os"), retorno);   // the last row
        inWindow("FrmOS", [](QWidget* w) { click(w, "BtMntAnt"); }, [this] { click(oficina, "BtOs"); });
        auto* entregues = WindowHost::findList<FrmApEntregues>();
        ASSERT_NE(entregues, nullptr);
        EXPECT_EQ(WindowHost::findList<FrmManutencao>(), oficina);
        const QString heading = upper(QStringLiteral("MANUTENÇÕES ANTERIORES : APARELHO = %1 MARCA = %2 MODELO = %3")
                                          .arg(s.aparelho, s.marca, s.modelo));
        EXPECT_EQ(Modulo::TituloFiltroEntregues, heading);
        EXPECT_EQ(child<DataGrid>(entregues, "DBGrid1")->caption(), heading);
        EXPECT_TRUE(entregues->filtered());
        EXPECT_EQ(entregues->listCursor().recordCount(), 1);
        EXPECT_EQ(entregues->listCursor().number("Os"), os);
        EXPECT_EQ(entregues->countText(), "1");
    }

    // The intake of a warranty return: the type chosen and locked, the
    // technician of the repair; the operator types the defect.
    void warrantyReturn(QWidget* w) {
        EXPECT_TRUE(child<QRadioButton>(w, "Option1(1)")->isChecked());
        EXPECT_FALSE(child<QRadioButton>(w, "Option1(0)")->isEnabled());
        EXPECT_EQ(child<QComboBox>(w, "Combo(3)")->currentText(), upper(s.tecnico));
        EXPECT_EQ(child<QLabel>(w, "Lbl(1)")->text(), upper(s.nome));
        EXPECT_EQ(txt(w, 19)->text(), serie);
        Typing::type(txt(w, 21), s.defeito);
        Typing::type(edit(w, "TxtOperador"), Password);
        click(w, "BtEntrada");
        retorno = child<QLabel>(w, "Label3")->text().toInt();
        click(w, "BtFechar");
    }

    // Both copies check out one order at the same moment: each opens it
    // from the workshop list, marks it "PRONTO", types the labour and its
    // password in the price window, then waits for the other copy before
    // confirming. Returns whether this copy's checkout went through; the
    // other copy's must have been refused with the message that another
    // operator may have checked it out.
    bool sharedCheckout(const QString& customer, const std::function<void()>& bothReady) {
        action("Mnumanut")->trigger();
        oficina = WindowHost::findList<FrmManutencao>();
        EXPECT_NE(oficina, nullptr);
        if (!oficina) return false;
        QLineEdit* busca = edit(oficina, "TxtBusca");
        busca->clear();
        Typing::type(busca, customer.left(5));
        Typing::key(busca, Qt::Key_Return);
        EXPECT_EQ(oficina->dataFrmApMnt().text("Nome"), upper(customer));
        ScriptedBoxes boxes(false);   // each box takes its default answer: Yes to the checkout
        inWindow("FrmOS", [&](QWidget* w) {
            chooseInList(w, "List1", "PRONTO");
            click(w, "BtSalvaStatus");
            inWindow("FrmOpcoesOS", [&](QWidget* p) {
                Typing::type(edit(p, "TxtVlUn(6)"), "30");
                Typing::type(edit(p, "TxtOperador"), Password);
                bothReady();
                click(p, "BtDarSaída");
            }, [w] { click(w, "BtOpcao"); });
        }, [busca] { Typing::key(busca, Qt::Key_F11); });
        const QStringList texts = boxes.texts();
        const bool done = texts.contains(QStringLiteral("Foi Dado Saída no Aparelho com Sucesso!"));
        if (!done) {
            EXPECT_TRUE(texts.join('|').contains(QStringLiteral("outro operador já tenha dado Saída")))
                << texts.join('|').toStdString();
        }
        // Either way the order has left the list, and its count says so.
        EXPECT_EQ(oficina->dataFrmApMnt().findFirst(QStringLiteral("Nome = '%1'").arg(upper(customer))), false);
        EXPECT_EQ(oficina->countText(), QString::number(oficina->dataFrmApMnt().recordCount()));
        WindowHost::closeList<FrmManutencao>();
        return done;
    }

    // A pickup receipt (F8), printed as soon as it is saved.
    void pickupReceipt() {
        action("MnuCompRet")->trigger();
        auto* receipts = WindowHost::findList<FrmRetirada>();
        ASSERT_NE(receipts, nullptr);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Deseja Imprimir este Comprovante Agora ?");
        boxes.answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
        inWindow("FrmNvRetirada", [this](QWidget* w) {
            const auto box = [w](int i) { return child<QWidget>(w, QStringLiteral("Txt(%1)").arg(i)); };
            Typing::type(box(0), s.retirada);
            Typing::type(box(1), s.enderecoRetirada);
            Typing::type(box(8), s.local);
            Typing::type(box(11), s.aparelho);
            Typing::type(box(12), s.marca);
            Typing::type(box(15), s.defeito);
            Typing::type(edit(w, "TxtOperador"), Password);
            shot(w, "novo-comprovante");
            // The print window runs its job once it has painted and closes.
            inWindow("FrmImpRetirada", [](QWidget*) {}, [w] { click(w, "BtSalvar"); });
        }, [receipts] { click(receipts, "BtCad"); });
        EXPECT_EQ(boxes.failures(), 0);
        const qint64 id = Modulo::IdRetiradaAtual.toLongLong();
        ASSERT_GT(id, 0);
        expectFields(record(QStringLiteral("SELECT * FROM TblRetirada WHERE IdRetirada = %1").arg(id)),
                     {{"Nome", upper(s.retirada)},
                      {"End", upper(s.enderecoRetirada)},
                      {"Cidade", "SÃO PAULO"},
                      {"Estado", "SP"},
                      {"Loc0", upper(s.local)},
                      {"Ap0", upper(s.aparelho)},
                      {"Marca0", upper(s.marca)},
                      {"Defeito", upper(s.defeito)},
                      {"DataEmissao", Now.date().toString(Qt::ISODate)},
                      {"HoraEmissao", Now.time().toString(QStringLiteral("HH:mm:ss"))},
                      {"Operador", Operator}});
    }

    // The operator ends the program (F12) and confirms.
    void exit() {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Deseja Realmente Encerrar o Sistema?");
        action("MnuSair")->trigger();
        EXPECT_EQ(boxes.failures(), 0);
        EXPECT_TRUE(waitFor([this] { return mdi->ended(); }, Wait));
        EXPECT_EQ(mdi->exitCode(), 0);
        mdi.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(Database::openInThisProcess(ProgramFolder::databasePath()));
    }

    QAction* action(const char* name) { return child<QAction>(mdi.get(), QString::fromLatin1(name)); }

    const Shop& s;
    std::unique_ptr<FrmMdi> mdi;
    FrmClientes* list = nullptr;
    FrmManutencao* oficina = nullptr;
    std::int32_t codigo = 0;
    QString serie;
    std::int32_t os = 0;   // the order taken in
    std::int32_t entregue = 0;   // its delivered row
    std::int32_t retorno = 0;    // the warranty return's order
};

// A road through the program in this process: its own lock against a second
// copy on the computer, a screen of 1024 x 768, the fixed clock, the
// desktop's default printer (the private print server's queue).
class RoadTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        prepare(folder());
        if (recording) recording->documents.clear();
        else
            for (const QString& pdf : server->newPdfs()) QFile::remove(pdf);
    }
    void TearDown() override {
        WindowRegistry::clear();
        SingleInstance::release();
        SingleInstance::setLockPath(QString());
        ScreenSize::setOverride(QSize());
        ProgramFolderTest::TearDown();
    }

    static void prepare(const QString& lockFolder) {
        SingleInstance::setLockPath(lockFolder + QStringLiteral("/tarvel.lock"));
        ScreenSize::setOverride(QSize(1024, 768));
        Clock::set(Now);
        registerProgramWindows();
    }
};

// The documents one road prints: the service order, the repaired-appliance
// report and the pickup receipt.
constexpr int Printed = 3;

QString backupIn(const QString& home, const QDate& day = Now.date()) {
    return home + QStringLiteral("/Meus Documentos/BackUp OS/") + Backup::dailyFileName(day);
}

} // namespace

// One order's road, from a delivered database to the exit backup.
TEST_F(RoadTest, OneOrderFromIntakeToDelivery) {
    TemporaryHome home;
    Copy copy(Shops[0]);
    copy.start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(number("SELECT Qtde FROM TblConfig"), 1);
    EXPECT_TRUE(copy.showsCopies(1));
    shot(copy.mdi.get(), "principal");
    copy.throughReturn();
    ASSERT_FALSE(HasFatalFailure());
    copy.previousRepairs();
    ASSERT_FALSE(HasFatalFailure());
    copy.pickupReceipt();
    // Its documents landed at the printer.
    EXPECT_EQ(printedDocuments(Printed), Printed);
    copy.exit();

    // The last copy out leaves the counter at 0 and the day's copy of the
    // file, which opens and holds the day's work.
    EXPECT_EQ(number("SELECT Qtde FROM TblConfig"), 0);
    const QString copyFile = backupIn(home.path());
    ASSERT_TRUE(QFile::exists(copyFile)) << copyFile.toStdString();
    Database saved(copyFile);
    EXPECT_EQ(saved.scalar("SELECT Nome FROM TblClientes").toString(), upper(Shops[0].nome));
    EXPECT_EQ(saved.scalar("SELECT COUNT(*) FROM TblRetirada").toInt(), 1);
    saved.close();

    // 91 days later the first log-in of the day counts the return's days in
    // the workshop and ends the repair's warranty: its details offer no
    // return any more.
    const QDate later = Now.date().addDays(91);
    Clock::set(QDateTime(later, QTime(8, 0)));
    Copy next(Shops[0]);
    next.start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(number(QStringLiteral("SELECT Dias FROM TblManutencao WHERE Os = %1").arg(copy.retorno)), 91);
    EXPECT_EQ(number(QStringLiteral("SELECT [Garantia de Serviço] FROM TblApEntregues WHERE Os = %1").arg(copy.os)), 0);
    next.action("MnuApEntregues")->trigger();
    auto* entregues = WindowHost::findList<FrmApEntregues>();
    ASSERT_NE(entregues, nullptr);
    EXPECT_EQ(entregues->listCursor().number("Os"), copy.os);
    inWindow("FrmDetalhes", [](QWidget* d) {
        EXPECT_FALSE(button(d, "BtRetorno")->isEnabled());
        click(d, "BtFechar");
    }, [entregues] { Typing::key(edit(entregues, "TxtBusca"), Qt::Key_F11); });
    next.exit();
    EXPECT_TRUE(QFile::exists(backupIn(home.path(), later)));
}

// ---------------------------------------------------------------- copies

namespace {

const char* const CopyVariable = "TARVEL_ROAD_COPY";
const char* const FolderVariable = "TARVEL_ROAD_FOLDER";

// A file that one copy leaves for the other in the shared folder.
void leaveMark(const QString& folder, const QString& name) {
    QFile f(folder + QStringLiteral("/") + name);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}
bool awaitMark(const QString& folder, const QString& name, int timeoutMs = 60000) {
    return waitFor([&] { return QFile::exists(folder + QStringLiteral("/") + name); }, timeoutMs);
}

} // namespace

// The part of one copy when the two-copies test starts this executable again
// (TARVEL_ROAD_COPY = 1 or 2): the road of its own customer, meeting the
// other copy on the way.
class RoadCopy : public ::testing::Test {
protected:
    void SetUp() override {
        n = qEnvironmentVariableIntValue(CopyVariable);
        shared = qEnvironmentVariable(FolderVariable);
        ASSERT_TRUE(n == 1 || n == 2);
        ProgramFolder::setPath(shared);
        Modulo::reset();
        SingleInstance::setLockPath(QDir::homePath() + QStringLiteral("/tarvel.lock"));
        ScreenSize::setOverride(QSize(1024, 768));
        Clock::set(Now);
        registerProgramWindows();
    }
    void TearDown() override { closeAllWindows(); }

    int n = 0;
    QString shared;
};

TEST_F(RoadCopy, ItsOwnCustomersRoad) {
    const QString other = QString::number(3 - n);
    Copy copy(Shops[n - 1]);
    copy.start();
    ASSERT_FALSE(HasFatalFailure());
    // Both copies are in: each status bar counts two.
    leaveMark(shared, QStringLiteral("entrou-%1").arg(n));
    ASSERT_TRUE(awaitMark(shared, "entrou-" + other));
    EXPECT_TRUE(copy.showsCopies(2));
    copy.throughReturn();
    ASSERT_FALSE(HasFatalFailure());
    copy.pickupReceipt();
    if (recording) {
        EXPECT_EQ(int(recording->documents.size()), Printed);
    }
    // The first copy's warranty return is the order both check out.
    if (n == 1) leaveMark(shared, QStringLiteral("retorno-1"));
    ASSERT_TRUE(awaitMark(shared, "retorno-1"));
    const bool checkedOut = copy.sharedCheckout(Shops[0].nome, [&] {
        leaveMark(shared, QStringLiteral("baixa-%1").arg(n));
        EXPECT_TRUE(awaitMark(shared, "baixa-" + other));
    });
    leaveMark(shared, QStringLiteral("%1-%2").arg(checkedOut ? "saida" : "recusada").arg(n));
    // The first copy ends while the second still works; the second ends
    // after it and makes the day's copy.
    leaveMark(shared, QStringLiteral("pronto-%1").arg(n));
    ASSERT_TRUE(awaitMark(shared, "pronto-" + other));
    if (n == 2) {
        ASSERT_TRUE(awaitMark(shared, "saiu-1"));
    }
    copy.exit();
    leaveMark(shared, QStringLiteral("saiu-%1").arg(n));
}

// Two copies of the program, two processes, on one file at the same time,
// each with its own customer.
TEST_F(RoadTest, TwoCopiesAtOnceOnOneFile) {
    QTemporaryDir homes[2];
    QProcess copies[2];
    for (int i = 0; i < 2; ++i) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(CopyVariable), QString::number(i + 1));
        env.insert(QString::fromLatin1(FolderVariable), folder());
        if (recording) env.insert(QString::fromLatin1(RecordingVariable), QStringLiteral("1"));
        env.insert(QStringLiteral("HOME"), homes[i].path());
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), homes[i].path());
        copies[i].setProcessEnvironment(env);
        copies[i].setProcessChannelMode(QProcess::MergedChannels);
        copies[i].start(QCoreApplication::applicationFilePath(), {});
    }
    for (QProcess& p : copies) {
        const bool ended = p.waitForFinished(150000);
        const std::string output = p.readAll().toStdString();
        EXPECT_TRUE(ended) << output;
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << output;
        EXPECT_EQ(p.exitCode(), 0) << output;
        if (!ended) p.kill();
    }

    // Each customer with his own appliance and receipt, none twice.
    for (const Shop& s : Shops) {
        const qlonglong codigo = number("SELECT Codigo FROM TblClientes WHERE Nome = '" + upper(s.nome) + "'");
        EXPECT_GT(codigo, 0) << s.nome.toStdString();
        expectFields(record(QStringLiteral("SELECT * FROM TblApClientes WHERE ID = %1").arg(codigo)),
                     {{"Aparelho", upper(s.aparelho)}, {"Marca", upper(s.marca)}, {"Modelo", upper(s.modelo)}});
        EXPECT_EQ(number("SELECT COUNT(*) FROM TblRetirada WHERE Nome = '" + upper(s.retirada) + "'"), 1);
    }
    // The second copy's warranty return is still in the workshop; the
    // first copy's left once, by one copy, the other told so.
    const QString first = upper(Shops[0].nome), second = upper(Shops[1].nome);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblManutencao WHERE Nome = '" + second + "' AND Tipo = 'GAR. DE SERVIÇO'"), 1);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblManutencao"), 1);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblApEntregues WHERE Nome = '" + first + "'"), 2);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblApEntregues WHERE Nome = '" + second + "'"), 1);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblApEntregues WHERE Tipo = 'GAR. DE SERVIÇO'"), 1);
    const auto marked = [&](const char* what) {
        int n = 0;
        for (int i = 1; i <= 2; ++i) n += QFile::exists(QStringLiteral("%1/%2-%3").arg(folder()).arg(what).arg(i));
        return n;
    };
    EXPECT_EQ(marked("saida"), 1);
    EXPECT_EQ(marked("recusada"), 1);
    // No order number was handed out twice.
    QList<qlonglong> numbers;
    for (const char* table : {"TblManutencao", "TblApEntregues"})
        for (const QVariantList& row : Database::openDefault().rows(QStringLiteral("SELECT Os FROM %1").arg(table)))
            numbers << row.value(0).toLongLong();
    EXPECT_EQ(QSet<qlonglong>(numbers.begin(), numbers.end()).size(), numbers.size());
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblClientes"), 2);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblApClientes"), 2);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblMarca"), 2);
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblTecnicos"), 2);
    // Each copy's documents landed at the printer.
    if (!recording) {
        EXPECT_EQ(printedDocuments(2 * Printed), 2 * Printed);
    }
    // Both out: the counter is back at 0, and the last one out made the copy.
    EXPECT_EQ(number("SELECT Qtde FROM TblConfig"), 0);
    EXPECT_FALSE(QFile::exists(backupIn(homes[0].path())));
    EXPECT_TRUE(QFile::exists(backupIn(homes[1].path())));
}

int main(int argc, char** argv) {
    // The print server first: the program must see its queue as the default
    // printer. The copies started by the two-copies test use the server of
    // the test that started them.
    PrintServer s;
    server = &s;
    const bool copy = qEnvironmentVariableIsSet(CopyVariable);
    if (!copy && !s.start())
        std::printf("No private print server (%s): the documents are recorded.\n", qPrintable(s.whyNot()));
    if (copy ? qEnvironmentVariableIsSet(RecordingVariable) : !s.running()) {
        recording = std::make_shared<RecordingTarget>();
        Printing::setDefaultTarget(recording);
    }
    GTEST_FLAG_SET(filter, copy ? "RoadCopy.*" : "-RoadCopy.*");
    return TestMain::run(argc, argv);
}
