// The pickup-receipt list, as one table of scenarios on the real window; the
// main window's entry for it.
#include "app/apptest.h"
#include "pickups/frmretirada.h"
#include "pickups/pickupwindows.h"
#include "customers/customerwindows.h"
#include "support/modal.h"
#include "printing/printdata.h"
#include "store/globals.h"
#include "support/othercopy.h"
#include "support/scriptedboxes.h"
#include "support/storefaults.h"
#include "support/windowscenario.h"
#include "ui/gridmodel.h"
#include "ui/windowhost.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollBar>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <sqlcipher/sqlite3.h>

using namespace Scenario;

namespace {

void addReceipt(const QString& nome, const QString& bairro = "CENTRO", const QString& data = "2026-03-01",
                const QString& operador = "ADMINISTRADOR") {
    Database::openDefault().execute(
        "INSERT INTO TblRetirada (Nome, End, Bairro, Defeito, DataEmissao, HoraEmissao, Operador) "
        "VALUES (?, ?, ?, 'NAO LIGA', ?, '10:30:00', ?)", {nome, "RUA " + nome, bairro, data, operador});
}

struct RetiradaTest : WindowTest {
    FrmRetirada* w() { return static_cast<FrmRetirada*>(window.get()); }
    RecordCursor& data() { return w()->dataRetirada(); }
    QString current() { return data().hasCurrent() ? data().text("Nome") : QString(); }
    QString order() {
        QStringList names;
        for (int i = 0; i < data().recordCount(); ++i) names << data().valueAt(i, data().fieldIndex("Nome")).toString();
        return names.join(',');
    }
    QString shown(int i) { return WindowTest::shown(QStringLiteral("Txt(%1)").arg(i)); }
    void stand(const QString& nome) { ASSERT_TRUE(data().findFirst("Nome = '" + nome + "'")); }
    bool readOnly() { return child<QLineEdit>(window.get(), "Txt(0)")->isReadOnly(); }
    // Searches by name: the row it stands on and the search text's colour.
    QString find(const QString& typed) {
        act("TxtBusca=" + typed + ";TxtBusca@Return");
        const QColor colour = child(window.get(), "TxtBusca")->palette().color(QPalette::Text);
        return current() + (colour == QColor(0, 0, 255) ? "|blue" : colour == QColor(255, 0, 0) ? "|red" : "|" + colour.name());
    }
};

void printNow(QWidget* p) { p->findChild<WindowTimer*>("TimerRetirada")->fire(); }

} // namespace

TEST_F(RetiradaTest, Scenarios) {
    const QString longName = "MARIA APARECIDA DOS SANTOS OLIVEIRA SOUZA";   // 41 characters, the box takes 35
    const QString noneToDelete = "Selecione o Comprovante de Retirada a ser Excluido";
    const QString nomes = "SELECT Nome FROM TblRetirada ORDER BY Nome";
    PrintData::RecordingPrinter printer;
    run({
        {"an empty list refuses printing and deleting and takes no typing", [&] {
             open<FrmRetirada>();
             act("BtImpressao;BtExcluir");
             EXPECT_TRUE(readOnly());
         }, {ok("Não existe Nenhum Comprovante de Retirada a ser Impresso"), ok(noneToDelete)}},
        {"opens on the last stored receipt", [&] {
             addReceipt("CARLA", "VILA NOVA", "2026-03-03", "PEDRO");
             addReceipt("ANA", "CENTRO", "2026-03-02", "ZULMIRA");
             addReceipt("BRUNO", "BOSQUE", "2026-03-01", "ADMINISTRADOR");
             open<FrmRetirada>();
             EXPECT_EQ(current() + "|" + shown(0) + "|" + shown(15), "BRUNO|BRUNO|NAO LIGA");
             EXPECT_FALSE(readOnly());
             EXPECT_EQ(window->findChild<DataGrid*>("DBGrid1")->view()->currentIndex().row(), 2);
         }},
        {"each option sorts by its field", [&] {
             for (const auto& [option, names] : {std::pair{"OptData", "BRUNO,ANA,CARLA"}, {"OptOperador", "BRUNO,CARLA,ANA"},
                                                 {"OptEndereco", "ANA,BRUNO,CARLA"}, {"OptBairro", "BRUNO,ANA,CARLA"}}) {
                 act(option);
                 EXPECT_EQ(order(), names) << option;
             }
         }},
        {"a search goes by name order while the option shown stays", [&] {
             act("TxtBusca=car;TxtBusca@Return");
             EXPECT_EQ(order() + "|" + current(), "ANA,BRUNO,CARLA|CARLA");
             EXPECT_TRUE(child<QRadioButton>(window.get(), "OptBairro")->isChecked());
         }},
        {"a search: found in blue; none in red, back to the first name", [&] {
             EXPECT_EQ(find("bru"), "BRUNO|blue");
             EXPECT_EQ(find("ZE"), "ANA|red");
             stand("CARLA");
             EXPECT_EQ(find(""), "ANA|blue") << "an empty text matches the first name";
             EXPECT_EQ(find("*"), "ANA|red") << "a wildcard is a plain character";
             EXPECT_EQ(find("%"), "ANA|red");
         }},
        {"No deletes nothing", [&] { stand("BRUNO"); act("BtExcluir"); },
         {no("Confirma a Exclusão do Comprovante de Retirada Selecionado")}, nomes, "ANA,BRUNO,CARLA"},
        {"deleting moves to the next receipt", [&] { act("BtExcluir"); EXPECT_EQ(current(), "CARLA"); }, {yes()}, nomes,
         "ANA,CARLA"},
        {"deleting the last moves to the first", [&] { act("BtExcluir"); EXPECT_EQ(current() + shown(0), "ANAANA"); },
         {yes()}, nomes, "ANA"},
        {"deleting the only one leaves an empty list that still works", [&] {
             act("BtExcluir");
             EXPECT_EQ(shown(0), "");
             EXPECT_TRUE(readOnly());
             act("BtExcluir;OptNome");
         }, {yes(), ok(noneToDelete)}, nomes, ""},
        {"an edit is written before sorting; a long stored name is never cut", [&] {
             addReceipt(longName);
             addReceipt("BETO");
             open<FrmRetirada>();
             stand(longName);
             act("Txt(8)=portão azul;Txt(0)+=X");
             EXPECT_EQ(shown(0), longName);
             act("OptNome");
         }, {}, "SELECT Nome, Loc0 FROM TblRetirada WHERE Nome <> 'BETO'", longName + "|PORTÃO AZUL"},
        {"No to printing prints nothing", [&] {
             stand("BETO");
             act("Txt(15)+= e faz barulho;BtImpressao");
             EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());
         }, {no("Confirma a Impressão deste Comprovante de Retirada")}},
        {"an edit is written before printing: the paper shows what the screen shows", [&] {
             ModalScript print(printNow, 10000, "FrmImpRetirada");
             act("BtImpressao");
             EXPECT_TRUE(print.done());
             EXPECT_EQ(rows("SELECT Nome FROM TblRetirada WHERE IdRetirada = ?", {Modulo::IdRetiradaAtual}), "BETO");
             ASSERT_EQ(printer.target->documents.size(), 1u);
             EXPECT_TRUE(printer.target->documents[0].pages.at(0).allText().contains("NAO LIGA E FAZ BARULHO"));
             EXPECT_EQ(current(), "BETO");
         }, {yes(), ok("Os Dados foram enviados para a Impressora. Aguarde!")},
         "SELECT Defeito FROM TblRetirada WHERE Nome = 'BETO'", "NAO LIGA E FAZ BARULHO"},
        {"an edit is written before a search; Enter starts the defect box's second line", [&] {
             act("Txt(3)+=X;Txt(15)+=;Txt(15)@Return;Txt(15)+=x;TxtBusca=MARIA;TxtBusca@Return");
             EXPECT_EQ(current(), longName);
         }, {}, "SELECT Bairro, Defeito FROM TblRetirada WHERE Nome = 'BETO'", "CENTROX|NAO LIGA E FAZ BARULHO\nX"},
        {"a refused write says so and prints nothing the screen does not show", [&] {
             raw("CREATE TRIGGER trava BEFORE UPDATE ON TblRetirada BEGIN SELECT RAISE(ABORT, 'travado'); END");
             Modulo::IdRetiradaAtual = QVariant();
             act("Txt(7)=1111;BtImpressao");
             EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());
             raw("DROP TRIGGER trava");
         }, {yes(), ok("Ocorreu um Erro ao tentar Gravar as Alterações deste Registro.")}},
        {"closing the new-receipt dialog leaves the list where it was", [&] {
             open<FrmRetirada>();
             stand("BETO");
             ModalScript cancel([](QWidget* dlg) { click(dlg, "BtFechar"); }, 10000, "FrmNvRetirada");
             act("BtCad");
             EXPECT_TRUE(cancel.done());
             EXPECT_EQ(current(), "BETO");
         }},
        {"a new receipt is listed and made current", [&] {
             ModalScript write([](QWidget* dlg) { perform(dlg, "Txt(0)=caio;Txt(1)=rua c;TxtOperador=1234;BtSalvar;BtFechar"); });
             act("BtCad");
             EXPECT_TRUE(write.done());
             EXPECT_EQ(current() + QString::number(data().recordCount()), "CAIO3");
             EXPECT_FALSE(Modulo::NovaRetiradaSalva);
         }, {no()}},
    });
}

using RetiradaMainWindowTest = MainWindowTest;

TEST_F(RetiradaMainWindowTest, TheMainWindowsEntryOpensTheListBesideTheOthers) {
    start();
    EXPECT_FALSE(action("MnuCompRet")->isEnabled());
    mdi.reset();
    registerPickupWindows();
    start();
    QAction* entry = action("MnuCompRet");
    ASSERT_TRUE(entry->isEnabled());
    EXPECT_EQ(entry->shortcut(), QKeySequence(Qt::Key_F8));
    entry->trigger();
    auto* list = WindowHost::findList<FrmRetirada>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->windowTitle(), "Comprovante de Retirada");
    EXPECT_EQ(mdi->findChild<QMdiArea*>()->subWindowList().size(), 1);
    entry->trigger();   // one list only
    EXPECT_EQ(mdi->findChild<QMdiArea*>()->subWindowList().size(), 1);
}

// The main window honours the receipt list's refused close: with an edit the full disk refused and the operator keeping
// it (No, the default), the customers list does not open beside it and the backup says why it waits; on a sound disk
// the backup closes the list, storing the edit, and Esc in a box closes a list the same way.
TEST_F(RetiradaMainWindowTest, ARefusedCloseOfTheListKeepsItOpen) {
    StoreFault::install();
    addReceipt("ANA");
    registerPickupWindows();
    registerCustomerWindows();
    start();
    action("MnuCompRet")->trigger();
    auto* list = WindowHost::findList<FrmRetirada>();
    ASSERT_NE(list, nullptr);
    perform(list, "Txt(15)+= E ESQUENTA");
    const QString question = "Ocorreu um Erro ao tentar Gravar as Alterações deste Registro.\rVerifique os Dados "
                             "Digitados.\r13 O disco está cheio: não há espaço para gravar no banco de dados. Libere "
                             "espaço no disco e tente novamente. Banco de Dados\rFechar a janela assim mesmo, sem gravar "
                             "o que foi digitado?";
    {
        StoreFault fault(StoreFault::DiskFull);
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::No).answer(MsgAnswer::No).answer(MsgAnswer::Ok);
        action("MnuClientes")->trigger();
        EXPECT_EQ(WindowHost::findList<FrmRetirada>(), list);
        EXPECT_EQ(WindowHost::findList(*WindowRegistry::find("FrmClientes")->type), nullptr);
        QTimer::singleShot(3000, list, [] { ModalScript::closeModals(); });   // a backup window that should not come
        action("MnuBacup")->trigger();
        ASSERT_EQ(boxes.log().size(), 3);
        for (int i : {0, 1}) {
            EXPECT_EQ(boxes.log()[i].text, question);
            EXPECT_EQ(boxes.log()[i].defaultButton, MsgAnswer::No);
            EXPECT_EQ(boxes.log()[i].title, "Comprovante de Retirada");
        }
        EXPECT_EQ(boxes.log()[2].text, "O BackUp não pode ser feito enquanto a janela \"Comprovante de Retirada\" "
                                       "estiver aberta: ela guarda alterações que não foram gravadas.\rGrave as "
                                       "alterações ou feche a janela sem gravá-las e tente novamente.");
        EXPECT_EQ(WindowHost::findList<FrmRetirada>(), list);
        EXPECT_EQ(text(child(list, "Txt(15)")), "NAO LIGA E ESQUENTA");
    }
    EXPECT_EQ(rows("SELECT Defeito FROM TblRetirada"), "NAO LIGA");
    ModalScript backup([](QWidget* dlg) { dlg->findChild<QPushButton*>("BtFechar")->click(); }, 10000, "FrmBackup");
    action("MnuBacup")->trigger();
    EXPECT_TRUE(backup.done());
    EXPECT_EQ(WindowHost::findList<FrmRetirada>(), nullptr);
    EXPECT_EQ(rows("SELECT Defeito FROM TblRetirada"), "NAO LIGA E ESQUENTA");

    action("MnuCompRet")->trigger();
    list = WindowHost::findList<FrmRetirada>();
    perform(list, "Txt(15)+= MUITO;Txt(15)@Escape");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(WindowHost::findList<FrmRetirada>(), nullptr);
    EXPECT_EQ(rows("SELECT Defeito FROM TblRetirada"), "NAO LIGA E ESQUENTA MUITO");
}

// On a 1024 x 768 screen the whole list can be brought into view: its left
// side with the names, and its right side with the close button.
TEST_F(RetiradaMainWindowTest, OnASmallScreenTheWholeListCanBeBroughtIntoView) {
    registerPickupWindows();
    start();
    mdi->resize(1024, 740);
    mdi->show();
    action("MnuCompRet")->trigger();
    QCoreApplication::processEvents();
    auto* area = mdi->findChild<QMdiArea*>();
    ASSERT_EQ(area->subWindowList().size(), 1);
    QMdiSubWindow* sub = area->subWindowList().first();
    const QWidget* close = WindowHost::findList<FrmRetirada>()->findChild<QWidget*>("BtFechar");
    // The operator scrolls with the bars he sees, the area's and the list's own.
    const auto scroll = [&](bool toEnd) {
        for (QScrollBar* bar : mdi->findChildren<QScrollBar*>())
            if (bar->isVisible()) bar->setValue(toEnd ? bar->maximum() : bar->minimum());
        QCoreApplication::processEvents();
    };
    // As it opens, and cascaded (at the size of its widgets, past the area's edge).
    for (const bool cascaded : {false, true}) {
        SCOPED_TRACE(cascaded);
        if (cascaded) action("MnuCascata")->trigger();
        scroll(false);
        EXPECT_GE(sub->x(), 0);
        EXPECT_GE(sub->y(), 0);
        scroll(true);
        EXPECT_EQ(close->visibleRegion(), QRegion(close->rect())) << close->mapTo(area->viewport(), QPoint(0, 0)).x();
    }
}

// An edit that a refused write could not store stays typed and pending on its receipt, in the open list, whether
// printing, closing (the operator stays) or moving to another receipt met the fault; closing or moving again stores it,
// once.
TEST_F(RetiradaTest, AnEditTheDiskRefusedStaysPendingOnItsReceipt) {
    StoreFault::install();
    addReceipt("BETO");
    addReceipt("ANA");
    enum Way { Print, Fechar, Move, Search };
    for (const StoreFault::Kind kind : StoreFault::RefusedWrites)
        for (const Way way : {Print, Fechar, Move, Search}) {
            SCOPED_TRACE(testing::Message() << "fault " << kind << ", way " << way);
            open<FrmRetirada>("Txt(15)+= E ESQUENTA");
            auto* grid = window->findChild<DataGrid*>("DBGrid1");
            const int row = grid->view()->currentIndex().row();
            const QString nome = current();
            const auto leave = [&] {
                if (way == Move) grid->view()->setCurrentIndex(grid->model()->index(1 - row, 0));
                else if (way == Search) act("TxtBusca=B;TxtBusca@Return");
                else act("BtFechar");
            };
            {
                StoreFault fault(kind);
                ScriptedBoxes boxes;
                if (way == Print) boxes.answer(MsgAnswer::Yes);
                boxes.answer(way == Fechar ? MsgAnswer::No : MsgAnswer::Ok, StoreFault::causeWords(kind));
                if (way == Print) act("BtImpressao");
                else leave();
            }
            EXPECT_EQ(rows("SELECT Defeito FROM TblRetirada"), "NAO LIGA,NAO LIGA");
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(current() + " " + shown(15), nome + " NAO LIGA E ESQUENTA");
            EXPECT_EQ(grid->view()->currentIndex().row(), row);
            // A search the disk refused leaves the list in the order it shows, so the next one sorts it.
            EXPECT_EQ(order(), "BETO,ANA");
            leave();
            EXPECT_EQ(rows("SELECT Defeito FROM TblRetirada WHERE Nome = ?", {nome}), "NAO LIGA E ESQUENTA");
            EXPECT_EQ(rows("SELECT COUNT(*) FROM TblRetirada WHERE Defeito = 'NAO LIGA'"), "1");
            EXPECT_EQ(window->isVisible(), way == Move || way == Search);
            if (way == Search) {
                EXPECT_EQ(order() + "|" + current(), "ANA,BETO|BETO");
            }
            raw("UPDATE TblRetirada SET Defeito = 'NAO LIGA'");
        }
}

// Each search reads the list again in name order: a receipt another copy stored since the list opened is found, in
// a list already in name order too.
TEST_F(RetiradaTest, ASearchFindsTheReceiptsAnotherCopyStored) {
    addReceipt("BETO");
    addReceipt("ANA");
    open<FrmRetirada>("OptNome");
    EXPECT_EQ(find("ANA"), "ANA|blue");
    const auto otherCopyAdds = [&](const char* nome) {
        sqlite3* other = otherConnection(databasePath());
        const QString sql = QStringLiteral("INSERT INTO TblRetirada (Nome, End, DataEmissao) VALUES ('%1', 'RUA', '2026-03-02')")
                                .arg(nome);
        EXPECT_EQ(sqlite3_exec(other, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
    };
    otherCopyAdds("CAIO");
    EXPECT_EQ(find("CA"), "CAIO|blue");
    otherCopyAdds("AARAO");
    EXPECT_EQ(find("ZE"), "AARAO|red") << "no match: the first name of the list read again";
    EXPECT_EQ(order(), "AARAO,ANA,BETO,CAIO");
}

// The questions of the receipts and their default buttons: Yes where printing is offered, No before anything is
// deleted or recorded.
TEST_F(RetiradaTest, EachQuestionHasItsDefaultButton) {
    addReceipt("ANA");
    Database::openDefault().execute("INSERT INTO TblClientes (Nome, Endereco) VALUES ('CAIO', 'RUA C')");
    open<FrmRetirada>();
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Confirma a Impressão deste Comprovante de Retirada")
        .answer(MsgAnswer::No, "Confirma a Exclusão do Comprovante de Retirada Selecionado")
        .answer(MsgAnswer::Yes, "Deseja incluir este Cliente no Cadastro de Clientes")
        .answer(MsgAnswer::No, "ATENÇÃO - JÁ EXISTE UM CLIENTE CADASTRADO COM ESTE NOME")
        .answer(MsgAnswer::No, "Deseja Imprimir este Comprovante Agora ?");
    act("BtImpressao;BtExcluir");
    ModalScript write([](QWidget* dlg) { perform(dlg, "Txt(0)=caio;Txt(1)=rua c;TxtOperador=1234;BtClientes;BtSalvar;BtFechar"); });
    act("BtCad");
    EXPECT_TRUE(write.done());
    QStringList defaults;
    for (const ShownBox& b : boxes.log()) defaults << (b.defaultButton == MsgAnswer::Yes ? "Yes" : b.defaultButton == MsgAnswer::No ? "No" : "?");
    EXPECT_EQ(defaults.join(','), "Yes,No,No,No,Yes");
}

TARVEL_TEST_MAIN()
