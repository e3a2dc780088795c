// The road of an order through the real program's windows, alone and as two
// processes on one file. TARVEL_ROAD_SHOTS=<folder> saves pictures of the
// windows as the road passes them (scripts/screenshots).
#include "app/backup.h"
#include "app/frmmdi.h"
#include "app/programwindows.h"
#include "app/windowregistry.h"
#include "customers/frmclientes.h"
#include "orders/frmapentregues.h"
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
#include "support/liststeps.h"
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
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

PrintServer* server = nullptr;
// Where no print server can run here, the documents are recorded instead.
std::shared_ptr<RecordingTarget> recording;
const char* const RecordingVariable = "TARVEL_ROAD_RECORDING";
// The two-copies test starts this executable again as copy 1 and 2 on one folder.
const char* const CopyVariable = "TARVEL_ROAD_COPY";
const char* const FolderVariable = "TARVEL_ROAD_FOLDER";

int printedDocuments(int expected) {
    if (recording) return int(recording->documents.size());
    return int(server->waitForPdfs(expected).size());
}

constexpr int Wait = 20000;
const QDateTime Now(QDate(2026, 3, 10), QTime(9, 41, 15));
const QString In90Days = Now.date().addDays(90).toString(Qt::ISODate);
const QString Password = QStringLiteral("1234");
const QString Operator = QStringLiteral("ADMINISTRADOR");
const QPair<MsgAnswer, QString> Printing{MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!"};

struct Shop {
    QString marca, aparelho, tecnico, nome, endereco, modelo, tensao;
    QString retirada, local, defeito, reclamacao, acessorios;
};

const Shop Shops[] = {
    {"philco", "televisor", "joão", "josé da conceição", "rua das acácias, 120", "tp-21", "110v", "márcia gonçalves",
     "portão azul", "não liga", "não liga, cheiro de queimado", "controle remoto"},
    {"sony", "rádio", "márcio", "ângela müller", "av. paulista, 9", "icf-40", "220v", "otávio brandão", "fundos",
     "sem áudio", "chiado no alto-falante", "fonte e capa"},
};

QString upper(const QString& s) { return s.toUpper(); }

QVariantMap order(const char* table, std::int32_t os) {
    RecordCursor c;
    c.open(ProgramFolder::databasePath(), QStringLiteral("SELECT * FROM %1 WHERE Os = %2").arg(table).arg(os));
    QVariantMap out;
    if (c.hasCurrent())
        for (const QString& f : c.fieldNames()) out.insert(f, c.field(f));
    c.close();
    return out;
}

void expectFields(const QVariantMap& row, const QList<QPair<QString, QString>>& expected) {
    ASSERT_FALSE(row.isEmpty()) << "no such row";
    for (const auto& [field, value] : expected) {
        const QVariant v = row.value(field);
        EXPECT_EQ(v.metaType() == QMetaType::fromType<QTime>() ? v.toTime().toString("HH:mm:ss") : v.toString(), value)
            << field.toStdString();
    }
}

qlonglong number(const QString& sql) { return Database::openDefault().scalar(sql).toLongLong(); }

template <class W = QWidget> W* child(QWidget* w, const QString& name) {
    W* c = w->findChild<W*>(name);
    EXPECT_NE(c, nullptr) << name.toStdString() << " in " << w->objectName().toStdString();
    return c;
}
QLineEdit* edit(QWidget* w, const QString& name) { return child<QLineEdit>(w, name); }
QString label(QWidget* w, const QString& name) { return child<QLabel>(w, name)->text(); }
void click(QWidget* w, const char* name) {
    auto* b = child<QPushButton>(w, QString::fromUtf8(name));
    ASSERT_TRUE(b && b->isEnabled()) << name;
    b->click();
}
void fill(QWidget* w, const QList<QPair<QString, QString>>& boxes) {
    for (const auto& [name, text] : boxes) {
        QWidget* box = child<QWidget>(w, name);
        if (auto* e = qobject_cast<QLineEdit*>(box)) e->clear();
        Typing::type(box, text);
    }
}

// Works in a modal window: `open` brings it, `act` must leave it closed,
// with these messages answered.
using Answers = QList<QPair<MsgAnswer, QString>>;
void inWindow(const char* name, const std::function<void(QWidget*)>& act, const std::function<void()>& open,
              const Answers& answers = {}) {
    std::optional<ScriptedBoxes> boxes;
    for (const auto& [answer, text] : answers) (boxes ? *boxes : boxes.emplace()).answer(answer, text);
    ModalScript script(act, Wait, QString::fromLatin1(name));
    open();
    EXPECT_TRUE(waitFor([&] { return script.done() && !script.dialog(); }, Wait)) << name << " did not close";
    EXPECT_EQ(boxes ? boxes->failures() : 0, 0) << name;
}

void pick(QComboBox* combo, const QString& text) {
    ASSERT_NE(combo, nullptr);
    Typing::focus(combo);
    if (combo->currentIndex() < 0) Typing::key(combo, Qt::Key_Down);
    for (int i = 0; i < combo->count() && combo->currentText() != text; ++i) Typing::key(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentText(), text);
}

void markReady(QWidget* w) {
    child<QTabWidget>(w, QStringLiteral("SSTab1"))->setCurrentIndex(1);
    auto* list = child<QListWidget>(w, QStringLiteral("List1"));
    QCoreApplication::processEvents();
    const auto items = list->findItems(QStringLiteral("PRONTO"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(items[0]).center());
}

void shot(QWidget* w, const char* name) {
    const QString folder = qEnvironmentVariable("TARVEL_ROAD_SHOTS");
    if (folder.isEmpty()) return;
    QCoreApplication::processEvents();
    QImage picture = w->grab().toImage().convertToFormat(QImage::Format_RGB888);
    if (picture.width() > 960) picture = picture.scaledToWidth(960, Qt::SmoothTransformation);
    picture.save(QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png")), "PNG", 0);
}

class Copy {
public:
    explicit Copy(const Shop& shop) : s(shop) {}

    void start() {
        mdi = std::make_unique<FrmMdi>();
        ASSERT_FALSE(mdi->ended());
        mdi->resize(1200, 860);
        mdi->show();
        inWindow("FrmInicializar", [](QWidget* w) { fill(w, {{"TxtOperador", Password}}); click(w, "BtOk"); }, [] {});
    }

    bool showsCopies(int n) {
        QLabel* panel = child<QLabel>(mdi.get(), QStringLiteral("Panel2"));
        return waitFor([&] { return panel->text() == QString::number(n) + QStringLiteral(" Usuário(s)"); }, 6000);
    }

    template <class L> L* openList(const char* entry) {
        action(entry)->trigger();
        return WindowHost::findList<L>();
    }

    void throughReturn() {
        for (auto step : {&Copy::settings, &Copy::newCustomer, &Copy::newAppliance, &Copy::intake, &Copy::workshop,
                          &Copy::serviceOrderToCheckout, &Copy::deliveredAndReturn}) {
            (this->*step)();
            if (::testing::Test::HasFatalFailure()) return;
        }
    }

    // The settings feed the lists of the windows that follow.
    void settings() {
        ScriptedBoxes boxes;
        boxes.input(s.marca).input(s.aparelho).input(s.tecnico);
        inWindow("FrmAcesso", [](QWidget* gate) {
            Typing::type(edit(gate, "TxtOperador"), Password);
            inWindow("FrmConfig", [](QWidget* config) {
                for (const char* add : {"BtNvMarca", "BtNvTipo", "BtNvTecnico"}) click(config, add);
                shot(config, "configuracao");
                click(config, "BtFechar");
            }, [gate] { click(gate, "BtOk"); });
        }, [this] { action("MnuConfig")->trigger(); });
        EXPECT_EQ(boxes.failures(), 0);
    }

    void newCustomer() {
        inWindow("FrmNvCliente", [this](QWidget* w) {
            fill(w, {{"Txt(0)", s.nome}, {"Txt(1)", s.endereco}, {"TxtOperador", Password}});
            shot(w, "novo-cliente");
            click(w, "BtCadastro");
        }, [this] { action("MnuNvCliente")->trigger(); }, {{MsgAnswer::Ok, "Cliente Cadastrado com Sucesso!"}});
        codigo = Modulo::CodClienteAtual;
        ASSERT_GT(codigo, 0);
    }

    // F2: the customer found by name; the list stands on his new appliance.
    void newAppliance() {
        ASSERT_NE(list = openList<FrmClientes>("MnuClientes"), nullptr);
        ListSteps::search(edit(list, "TxtBusca"), s.nome.left(5));
        ASSERT_EQ(label(list, "Lbl(1)"), upper(s.nome));
        inWindow("FrmApCliente", [this](QWidget* w) {
            EXPECT_EQ(edit(w, "TxtNmCliente")->text(), upper(s.nome));
            pick(child<QComboBox>(w, "Combo(0)"), upper(s.aparelho));
            pick(child<QComboBox>(w, "Combo(1)"), upper(s.marca));
            fill(w, {{"Txt(0)", s.modelo}, {"Txt(3)", s.tensao}});
            click(w, "BtCadastrar");   // no serial number: the program offers one
            serie = edit(w, "Txt(2)")->text();
            shot(w, "aparelho-do-cliente");
            click(w, "BtCadastrar");
            click(w, "BtFechar");
        }, [this] { click(list, "BtNvAp"); },
                 {{MsgAnswer::Yes, "Deseja que o Programa Gere um Número de Série"},
                  {MsgAnswer::Ok, "Aparelho Cadastrado com Sucesso!"}});
        EXPECT_FALSE(serie.isEmpty());
        const QString selected = upper(s.aparelho + " " + s.marca + " " + s.modelo);
        EXPECT_TRUE(waitFor([&] { return label(list, "Label3") == selected; }, 3000));
        shot(mdi.get(), "clientes");
    }

    // The customer and appliance come from the list; the first via is out.
    void intake() {
        inWindow("FrmEntrada", [this](QWidget* w) {
            fill(w, {{"Txt(21)", s.reclamacao}, {"Txt(23)", s.acessorios}, {"TxtOperador", Password}});
            pick(child<QComboBox>(w, "Combo(3)"), upper(s.tecnico));
            shot(w, "entrada");
            inWindow("FrmImpressao", [](QWidget* p) { click(p, "BtIniciar"); }, [w] { click(w, "BtEntrada"); });
            os = label(w, "Label3").toInt();
            click(w, "BtFechar");
        }, [this] { click(list, "BtFazerOs"); },
                 {{MsgAnswer::Yes, "Deseja Imprimir esta Ordem de Serviço Agora?"}, Printing});
        ASSERT_GT(os, 0);
        EXPECT_EQ(Modulo::OsAtual, os);
        for (const QString& slot : Modulo::DadosSelecionados) EXPECT_TRUE(slot.isEmpty());
        expectFields(order("TblManutencao", os),
                     {{"IdCliente", QString::number(codigo)}, {"Nome", upper(s.nome)}, {"Endereco", upper(s.endereco)},
                      {"Aparelho", upper(s.aparelho)}, {"Marca", upper(s.marca)}, {"Modelo", upper(s.modelo)},
                      {"NumSerie", serie}, {"Tensao", upper(s.tensao)}, {"Dpto", "OUTROS"}, {"Tipo", "ORÇAMENTO"},
                      {"Defeito", upper(s.reclamacao)}, {"Tecnico", upper(s.tecnico)},
                      {"HoraEntrada", Now.time().toString("HH:mm:ss")}, {"Via", "1"}});
    }

    void workshop() {
        ASSERT_NE(oficina = openList<FrmManutencao>("Mnumanut"), nullptr);
        ListSteps::search(edit(oficina, "TxtBusca"), s.nome.left(5));
        ListSteps::doubleClick(child<DataGrid>(oficina, "DBGrid1"), oficina->dataFrmApMnt(), "CLIENTE");
        EXPECT_EQ(oficina->countText(), "1");
        EXPECT_EQ(oficina->dataFrmApMnt().number("Os"), os);
        shot(mdi.get(), "manutencao");
    }

    // The list behind loses the checked-out order.
    void serviceOrderToCheckout() {
        ASSERT_NE(oficina, nullptr);
        inWindow("FrmOS", [this](QWidget* w) {
            markReady(w);
            click(w, "BtSalvaStatus");
            shot(w, "ordem-de-servico");
            inWindow("FrmOpcoesOS", [this](QWidget* p) {
                EXPECT_EQ(label(p, "Label3"), QString::number(os));
                fill(p, {{"TxtCod(0)", "101"}, {"TxtQtde(0)", "2"}, {"TxtId(0)", "un"}, {"TxtVlUn(0)", "12,50"},
                         {"TxtDescricao(0)", "capacitor 470uf"}, {"TxtCod(1)", "205"}, {"TxtQtde(1)", "1"},
                         {"TxtId(1)", "pc"}, {"TxtDescricao(1)", "flyback"}, {"TxtVlUn(1)", "85"}, {"TxtVlUn(6)", "60"},
                         {"TxtDesc", "10"}, {"TxtObs(0)", "  pago em dinheiro "}, {"Text1", "90"}});
                fill(p, {{"TxtOperador", Password}});
                click(p, "BtCalcular");
                shot(p, "precos-e-saida");
                click(p, "BtDarSaída");
            }, [w] { click(w, "BtOpcao"); });
        }, [this] { Typing::key(edit(oficina, "TxtBusca"), Qt::Key_F11); },
            {{MsgAnswer::Yes, "Confirma a sua Saída?"}, {MsgAnswer::Ok, "Foi Dado Saída no Aparelho com Sucesso!"}});
        EXPECT_EQ(oficina->countText(), "0");

        // The amounts as the price window showed them.
        const QVariantMap row = order("TblApEntregues", os);
        entregue = row.value("IdApEntregues").toInt();
        ASSERT_GT(entregue, 0);
        expectFields(row, {{"IdCliente", QString::number(codigo)}, {"NumSerie", serie}, {"Status", "PRONTO"},
                           {"Acessorios", upper(s.acessorios)}, {"DataConcluido", Now.date().toString(Qt::ISODate)},
                           {"OperadorSaida", Operator}, {"DATALIMITEGARANTIA", In90Days},
                           {"Relatorio0", "101 2 un CAPACITOR 470UF 25,00"}, {"Relatorio1", "205 1 pc FLYBACK 85,00"},
                           {"Relatorio5", "R$60,00"}, {"Relatorio6", "R$ 170,00"}, {"Relatorio7", "10,00"},
                           {"Relatorio9", "PAGO EM DINHEIRO"}, {"Garantia de Serviço", "true"}});
        EXPECT_EQ(row.value("ValorCobrado").value<Currency>(), Currency::fromUnits(160));
    }

    void deliveredAndReturn() {
        FrmApEntregues* entregues = nullptr;
        ASSERT_NE(entregues = openList<FrmApEntregues>("MnuApEntregues"), nullptr);
        ListSteps::search(edit(entregues, "TxtBusca"), s.nome.left(5));
        ASSERT_EQ(entregues->listCursor().number("IdApEntregues"), entregue);
        shot(mdi.get(), "entregues");

        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Confirma a Impressão dos Detalhes desta Ordem de Serviço");
        boxes.answer(Printing.first, Printing.second);
        boxes.answer(MsgAnswer::No, "Deseja Imprimir esta Ordem de Serviço Agora?");
        std::unique_ptr<ModalScript> intake;
        inWindow("FrmDetalhes", [&](QWidget* d) {
            EXPECT_EQ(label(d, "Label2"), QString::number(os));
            shot(d, "detalhes");
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
        EXPECT_EQ(Modulo::IdApEntregueAtual, entregue);
        ASSERT_GT(retorno, os);
        expectFields(order("TblManutencao", retorno),
                     {{"IdCliente", QString::number(codigo)}, {"NumSerie", serie}, {"Tensao", upper(s.tensao)},
                      {"Defeito", upper(s.defeito)}, {"Tipo", "GAR. DE SERVIÇO"}, {"Tecnico", upper(s.tecnico)}, {"DtLmtGr", In90Days}, {"Via", "0"}});
    }

    void warrantyReturn(QWidget* w) {
        EXPECT_EQ(child<QComboBox>(w, "Combo(3)")->currentText(), upper(s.tecnico));
        EXPECT_EQ(edit(w, "Txt(19)")->text(), serie);
        fill(w, {{"Txt(21)", s.defeito}, {"TxtOperador", Password}});
        click(w, "BtEntrada");
        retorno = label(w, "Label3").toInt();
        click(w, "BtFechar");
    }

    // The return's previous repairs: the delivered list filtered on the appliance.
    void previousRepairs() {
        ASSERT_NE(oficina = openList<FrmManutencao>("Mnumanut"), nullptr);
        ASSERT_EQ(oficina->dataFrmApMnt().number("Os"), retorno);
        inWindow("FrmOS", [](QWidget* w) { click(w, "BtMntAnt"); }, [this] { click(oficina, "BtOs"); });
        auto* entregues = WindowHost::findList<FrmApEntregues>();
        ASSERT_NE(entregues, nullptr);
        EXPECT_EQ(entregues->listCursor().number("Os"), os);
        EXPECT_EQ(entregues->countText(), "1");
    }

    // Both copies check out one order at once; the one refused is told why.
    bool sharedCheckout(const QString& customer, const std::function<void()>& bothReady) {
        oficina = openList<FrmManutencao>("Mnumanut");
        if (!oficina) return false;
        QLineEdit* busca = edit(oficina, "TxtBusca");
        ListSteps::search(busca, customer.left(5));
        EXPECT_EQ(oficina->dataFrmApMnt().text("Nome"), upper(customer));
        ScriptedBoxes boxes(false);   // each box takes its default answer: Yes to the checkout
        inWindow("FrmOS", [&](QWidget* w) {
            markReady(w);
            click(w, "BtSalvaStatus");
            inWindow("FrmOpcoesOS", [&](QWidget* p) {
                fill(p, {{"TxtVlUn(6)", "30"}, {"TxtOperador", Password}});
                bothReady();
                click(p, "BtDarSaída");
            }, [w] { click(w, "BtOpcao"); });
        }, [busca] { Typing::key(busca, Qt::Key_F11); });
        const QString texts = boxes.texts().join('|');
        const bool done = texts.contains(QStringLiteral("Foi Dado Saída no Aparelho com Sucesso!"));
        EXPECT_TRUE(done || texts.contains("outro operador já tenha dado Saída")) << texts.toStdString();
        // Either way the order has left the list, and its count says so.
        EXPECT_FALSE(oficina->dataFrmApMnt().findFirst(QStringLiteral("Nome = '%1'").arg(upper(customer))));
        EXPECT_EQ(oficina->countText(), QString::number(oficina->dataFrmApMnt().recordCount()));
        WindowHost::closeList<FrmManutencao>();
        return done;
    }

    void pickupReceipt() {
        FrmRetirada* receipts = nullptr;
        ASSERT_NE(receipts = openList<FrmRetirada>("MnuCompRet"), nullptr);
        inWindow("FrmNvRetirada", [this](QWidget* w) {
            fill(w, {{"Txt(0)", s.retirada}, {"Txt(1)", s.endereco}, {"Txt(8)", s.local}, {"Txt(11)", s.aparelho},
                     {"Txt(12)", s.marca}, {"Txt(15)", s.defeito}, {"TxtOperador", Password}});
            shot(w, "novo-comprovante");
            inWindow("FrmImpRetirada", [](QWidget*) {}, [w] { click(w, "BtSalvar"); });
        }, [receipts] { click(receipts, "BtCad"); },
                 {{MsgAnswer::Yes, "Deseja Imprimir este Comprovante Agora ?"}, Printing});
        const qint64 id = Modulo::IdRetiradaAtual.toLongLong();
        ASSERT_GT(id, 0);
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM TblRetirada WHERE IdRetirada = %1 AND Nome = '%2' AND "
                                        "Loc0 = '%3'").arg(id).arg(upper(s.retirada), upper(s.local))), 1);
    }

    void exit() {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Yes, "Deseja Realmente Encerrar o Sistema?");
        action("MnuSair")->trigger();
        EXPECT_EQ(boxes.failures(), 0);
        EXPECT_TRUE(waitFor([this] { return mdi->ended(); }, Wait));
        EXPECT_EQ(mdi->exitCode(), 0);
        mdi.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    QAction* action(const char* name) { return child<QAction>(mdi.get(), QString::fromLatin1(name)); }

    const Shop& s;
    std::unique_ptr<FrmMdi> mdi;
    FrmClientes* list = nullptr;
    FrmManutencao* oficina = nullptr;
    QString serie;
    // The customer, the order taken in, its delivered row, the warranty return's order.
    std::int32_t codigo = 0, os = 0, entregue = 0, retorno = 0;
};

class RoadTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        prepare(folder() + QStringLiteral("/tarvel.lock"));
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

public:
    static void prepare(const QString& lock) {
        SingleInstance::setLockPath(lock);
        ScreenSize::setOverride(QSize(1024, 768));
        Clock::set(Now);
        registerProgramWindows();
    }
};

// The service order, the repaired-appliance report and the pickup receipt.
constexpr int Printed = 3;

QString backupIn(const QString& home, const QDate& day = Now.date()) {
    return home + QStringLiteral("/Meus Documentos/BackUp OS/") + Backup::dailyFileName(day);
}

} // namespace

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
    EXPECT_EQ(printedDocuments(Printed), Printed);
    copy.exit();

    // The last copy out leaves the counter at 0 and the day's copy of the file.
    EXPECT_EQ(number("SELECT Qtde FROM TblConfig"), 0);
    EXPECT_TRUE(QFile::exists(backupIn(home.path())));

    // 91 days later: the return's days in the workshop, the warranty over.
    const QDate later = Now.date().addDays(91);
    Clock::set(QDateTime(later, QTime(8, 0)));
    Copy next(Shops[0]);
    next.start();
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(number(QStringLiteral("SELECT Dias FROM TblManutencao WHERE Os = %1").arg(copy.retorno)), 91);
    FrmApEntregues* entregues = nullptr;
    ASSERT_NE(entregues = next.openList<FrmApEntregues>("MnuApEntregues"), nullptr);
    EXPECT_EQ(entregues->listCursor().number("Os"), copy.os);
    inWindow("FrmDetalhes", [](QWidget* d) {
        EXPECT_FALSE(child<QPushButton>(d, "BtRetorno")->isEnabled());
        click(d, "BtFechar");
    }, [entregues] { Typing::key(edit(entregues, "TxtBusca"), Qt::Key_F11); });
    next.exit();
    EXPECT_TRUE(QFile::exists(backupIn(home.path(), later)));
}

class RoadCopy : public ::testing::Test {
protected:
    void SetUp() override {
        n = qEnvironmentVariableIntValue(CopyVariable);
        shared = qEnvironmentVariable(FolderVariable);
        ASSERT_TRUE(n == 1 || n == 2);
        ProgramFolder::setPath(shared);
        Modulo::reset();
        RoadTest::prepare(QDir::homePath() + QStringLiteral("/tarvel.lock"));
    }
    void TearDown() override { closeAllWindows(); }
    void mark(const QString& name) { ASSERT_TRUE(QFile(shared + "/" + name).open(QIODevice::WriteOnly)); }
    bool await(const QString& name) {
        return waitFor([&] { return QFile::exists(shared + "/" + name); }, 60000);
    }

    int n = 0;
    QString shared;
};

TEST_F(RoadCopy, ItsOwnCustomersRoad) {
    const QString other = QString::number(3 - n);
    Copy copy(Shops[n - 1]);
    copy.start();
    ASSERT_FALSE(HasFatalFailure());
    mark(QStringLiteral("entrou-%1").arg(n));
    ASSERT_TRUE(await("entrou-" + other));
    EXPECT_TRUE(copy.showsCopies(2));
    copy.throughReturn();
    ASSERT_FALSE(HasFatalFailure());
    copy.pickupReceipt();
    EXPECT_TRUE(!recording || int(recording->documents.size()) == Printed);
    // The first copy's warranty return is the order both check out.
    if (n == 1) mark(QStringLiteral("retorno-1"));
    ASSERT_TRUE(await("retorno-1"));
    const bool checkedOut = copy.sharedCheckout(Shops[0].nome, [&] {
        mark(QStringLiteral("baixa-%1").arg(n));
        EXPECT_TRUE(await("baixa-" + other));
    });
    mark(QStringLiteral("%1-%2").arg(checkedOut ? "saida" : "recusada").arg(n));
    // The second copy ends last and makes the day's copy.
    mark(QStringLiteral("pronto-%1").arg(n));
    ASSERT_TRUE(await("pronto-" + other));
    ASSERT_TRUE(n == 1 || await("saiu-1"));
    copy.exit();
    mark(QStringLiteral("saiu-%1").arg(n));
}

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

    // The shared order left once, by one copy; the other was told so.
    EXPECT_EQ(Database::openDefault().scalar("SELECT group_concat(Nome) FROM TblManutencao").toString(),
              upper(Shops[1].nome));
    EXPECT_EQ(number("SELECT COUNT(*) FROM TblApEntregues WHERE Nome = '" + upper(Shops[0].nome) + "'"), 2);
    EXPECT_EQ(QDir(folder()).entryList({"saida-*"}).size(), 1);
    EXPECT_EQ(QDir(folder()).entryList({"recusada-*"}).size(), 1);
    EXPECT_EQ(number("SELECT COUNT(*) - COUNT(DISTINCT Os) FROM (SELECT Os FROM TblManutencao UNION ALL "
                     "SELECT Os FROM TblApEntregues)"), 0);   // no order number twice
    for (const char* table : {"TblClientes", "TblApClientes", "TblMarca", "TblTecnicos", "TblRetirada"})
        EXPECT_EQ(number(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)), 2) << table;
    EXPECT_TRUE(recording || printedDocuments(2 * Printed) == 2 * Printed);
    // Both out: the counter is back at 0, and the last one out made the copy.
    EXPECT_EQ(number("SELECT Qtde FROM TblConfig"), 0);
    EXPECT_FALSE(QFile::exists(backupIn(homes[0].path())));
    EXPECT_TRUE(QFile::exists(backupIn(homes[1].path())));
}

int main(int argc, char** argv) {
    // The print server first, as the default printer; the copies use the parent's.
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
