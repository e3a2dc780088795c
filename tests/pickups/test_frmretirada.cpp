// The pickup-receipt list: opening, sorting, the name search, deleting,
// editing in place, the new-receipt dialog and the main window's entry.
#include "app/apptest.h"
#include "pickupdata.h"
#include "printing/printdata.h"
#include "pickups/frmretirada.h"
#include "pickups/pickupwindows.h"
#include "store/globals.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/gridmodel.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QPlainTextEdit>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QScrollBar>
#include <QTableView>

using namespace PickupData;

namespace {

struct RetiradaTest : ProgramFolderTest {
    void TearDown() override {
        w.reset();
        ProgramFolderTest::TearDown();
    }
    FrmRetirada* open() {
        w = std::make_unique<FrmRetirada>();
        w->show();
        return w.get();
    }
    RecordCursor& data() { return w->dataRetirada(); }
    QString current(const char* field = "Nome") { return data().hasCurrent() ? data().text(field) : QString(); }
    QRadioButton* option(const char* name) { return w->findChild<QRadioButton*>(name); }
    QLineEdit* search() { return w->findChild<QLineEdit*>("TxtBusca"); }
    QColor searchColour() { return search()->palette().color(QPalette::Text); }
    void find(const QString& t) {
        search()->clear();
        Typing::type(search(), t);
        Typing::key(search(), Qt::Key_Return);
    }
    QLineEdit* line(int i) { return static_cast<QLineEdit*>(box(w.get(), i)); }
    void stand(const QString& nome) { ASSERT_TRUE(data().findFirst("Nome = '" + nome + "'")); }
    std::unique_ptr<FrmRetirada> w;
};

} // namespace

TEST_F(RetiradaTest, AnEmptyListRefusesPrintingAndDeletingAndTakesNoTyping) {
    open();
    EXPECT_EQ(data().recordCount(), 0);
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Não existe Nenhum Comprovante de Retirada a ser Impresso");
    button(w.get(), "BtImpressao")->click();
    EXPECT_EQ(boxes.log().last().title, "Impressão de Comprovante de Retirada");
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Exclamation);
    boxes.answer(MsgAnswer::Ok, "Selecione o Comprovante de Retirada a ser Excluido");
    button(w.get(), "BtExcluir")->click();
    EXPECT_EQ(boxes.log().last().title, "Exclusão de Comprovante de Retirada");
    EXPECT_TRUE(line(0)->isReadOnly());
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(RetiradaTest, OpensOnTheLastStoredReceiptAndSortsAndSearchesByName) {
    addReceipt("CARLA", "VILA NOVA", "2026-03-03", "PEDRO");
    addReceipt("ANA", "CENTRO", "2026-03-02", "ZULMIRA");
    addReceipt("BRUNO", "BOSQUE", "2026-03-01", "ADMINISTRADOR");
    open();
    EXPECT_EQ(current(), "BRUNO");
    EXPECT_EQ(line(0)->text(), "BRUNO");
    EXPECT_EQ(boxText(w.get(), 15), "NAO LIGA");
    EXPECT_TRUE(option("OptData")->isChecked());
    EXPECT_EQ(w->findChild<DataGrid*>("DBGrid1")->view()->currentIndex().row(), 2);

    const auto order = [this] {
        QStringList names;
        for (int i = 0; i < data().recordCount(); ++i) names << data().valueAt(i, data().fieldIndex("Nome")).toString();
        return names.join(',');
    };
    option("OptData")->click();
    EXPECT_EQ(order(), "BRUNO,ANA,CARLA");
    EXPECT_EQ(current(), "BRUNO");
    option("OptOperador")->click();
    EXPECT_EQ(order(), "BRUNO,CARLA,ANA");
    option("OptEndereco")->click();
    EXPECT_EQ(order(), "ANA,BRUNO,CARLA");
    option("OptBairro")->click();
    EXPECT_EQ(order(), "BRUNO,ANA,CARLA");

    // A search switches to name order; the option shown stays.
    find("car");
    EXPECT_EQ(search()->text(), "CAR");
    EXPECT_EQ(order(), "ANA,BRUNO,CARLA");
    EXPECT_EQ(current(), "CARLA");
    EXPECT_TRUE(option("OptBairro")->isChecked());
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    find("ZE");
    EXPECT_EQ(current(), "ANA");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
    // An empty text matches the first name; wildcards are plain characters.
    find("");
    EXPECT_EQ(current(), "ANA");
    EXPECT_EQ(searchColour(), QColor(0, 0, 255));
    find("*");
    EXPECT_EQ(searchColour(), QColor(255, 0, 0));
}

TEST_F(RetiradaTest, DeletingMovesToTheNextReceiptOrToTheFirstAfterTheLast) {
    for (const char* n : {"ANA", "BRUNO", "CARLA"}) addReceipt(n);
    open();
    ScriptedBoxes boxes;
    stand("BRUNO");
    boxes.answer(MsgAnswer::No, "Confirma a Exclusão do Comprovante de Retirada Selecionado");
    button(w.get(), "BtExcluir")->click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::No);
    EXPECT_EQ(boxes.log().last().icon, MsgIcon::Question);
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 3);

    boxes.answer(MsgAnswer::Yes);
    button(w.get(), "BtExcluir")->click();
    EXPECT_EQ(current(), "CARLA");
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada WHERE Nome = 'BRUNO'"), 0);
    boxes.answer(MsgAnswer::Yes);
    button(w.get(), "BtExcluir")->click();
    EXPECT_EQ(current(), "ANA");
    EXPECT_EQ(line(0)->text(), "ANA");
    boxes.answer(MsgAnswer::Yes);
    button(w.get(), "BtExcluir")->click();
    // The last one gone: an empty list that still works.
    EXPECT_EQ(count("SELECT COUNT(*) FROM TblRetirada"), 0);
    EXPECT_EQ(line(0)->text(), "");
    EXPECT_TRUE(line(0)->isReadOnly());
    boxes.answer(MsgAnswer::Ok, "Selecione o Comprovante de Retirada a ser Excluido");
    button(w.get(), "BtExcluir")->click();
    option("OptNome")->click();
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(RetiradaTest, EditsAreWrittenBeforePrintingSortingAndSearchingAndLongNamesStayWhole) {
    const QString longName = "MARIA APARECIDA DOS SANTOS OLIVEIRA SOUZA";   // 41 characters, more than 35
    addReceipt(longName);
    addReceipt("BETO");
    open();
    stand(longName);
    EXPECT_EQ(line(0)->text(), longName);
    // Typing stops at the box's limit, but the stored name is never cut.
    line(8)->clear();
    Typing::type(line(8), "portão azul");
    Typing::type(line(0), "X");
    EXPECT_EQ(line(0)->text(), longName);
    option("OptNome")->click();
    EXPECT_EQ(text("SELECT Loc0 FROM TblRetirada WHERE IdRetirada = 1"), "PORTÃO AZUL");
    EXPECT_EQ(text("SELECT Nome FROM TblRetirada WHERE IdRetirada = 1"), longName);

    // Before printing: the paper shows what the screen shows.
    stand("BETO");
    static_cast<QPlainTextEdit*>(box(w.get(), 15))->moveCursor(QTextCursor::End);
    Typing::type(box(w.get(), 15), " e faz barulho");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Confirma a Impressão deste Comprovante de Retirada");
    button(w.get(), "BtImpressao")->click();
    EXPECT_EQ(boxes.log().last().defaultButton, MsgAnswer::Yes);
    EXPECT_EQ(boxes.log().last().title, "Comprovante de Retirada");
    EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());
    PrintData::RecordingPrinter printer;
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Os Dados foram enviados para a Impressora. Aguarde!");
    {
        ModalScript print([](QWidget* p) { p->findChild<WindowTimer*>("TimerRetirada")->fire(); }, 10000,
                          "FrmImpRetirada");
        button(w.get(), "BtImpressao")->click();
        EXPECT_TRUE(print.done());
    }
    EXPECT_EQ(Modulo::IdRetiradaAtual.toLongLong(), 2);
    EXPECT_EQ(text("SELECT Defeito FROM TblRetirada WHERE IdRetirada = 2"), "NAO LIGA E FAZ BARULHO");
    ASSERT_EQ(printer.target->documents.size(), 1u);
    EXPECT_TRUE(printer.target->documents[0].pages.at(0).allText().contains("NAO LIGA E FAZ BARULHO"));
    // Printing leaves the list and the row as they were.
    EXPECT_EQ(current(), "BETO");

    // Before a search. Enter is the boxes' own: the two-line defect box
    // starts its second line.
    line(3)->end(false);
    Typing::type(line(3), "X");
    static_cast<QPlainTextEdit*>(box(w.get(), 15))->moveCursor(QTextCursor::End);
    Typing::key(box(w.get(), 15), Qt::Key_Return);
    Typing::type(box(w.get(), 15), "x");
    find("MARIA");
    EXPECT_EQ(text("SELECT Bairro FROM TblRetirada WHERE IdRetirada = 2"), "CENTROX");
    EXPECT_EQ(text("SELECT Defeito FROM TblRetirada WHERE IdRetirada = 2"), "NAO LIGA E FAZ BARULHO\nX");
    EXPECT_EQ(current(), longName);

    // A refused write says so and the list stays usable.
    raw("CREATE TRIGGER trava BEFORE UPDATE ON TblRetirada BEGIN SELECT RAISE(ABORT, 'registro travado'); END");
    line(7)->clear();
    Typing::type(line(7), "1111");
    boxes.answer(MsgAnswer::Yes).answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Gravar as Alterações deste Registro.");
    Modulo::IdRetiradaAtual = QVariant();
    button(w.get(), "BtImpressao")->click();
    EXPECT_FALSE(Modulo::IdRetiradaAtual.isValid());   // nothing printed that the screen does not show
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(RetiradaTest, ANewReceiptIsListedAndClosingTheDialogLeavesTheList) {
    addReceipt("ANA");
    addReceipt("BRUNO");
    open();
    stand("ANA");
    {
        ModalScript cancel([](QWidget* dlg) { button(dlg, "BtFechar")->click(); }, 10000, "FrmNvRetirada");
        button(w.get(), "BtCad")->click();
        EXPECT_TRUE(cancel.done());
    }
    EXPECT_EQ(current(), "ANA");

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No);   // no print
    ModalScript write([](QWidget* dlg) {
        Typing::type(box(dlg, 0), "caio");
        Typing::type(box(dlg, 1), "rua c");
        Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
        button(dlg, "BtSalvar")->click();
        button(dlg, "BtFechar")->click();
    });
    button(w.get(), "BtCad")->click();
    EXPECT_TRUE(write.done());
    EXPECT_EQ(current(), "CAIO");
    EXPECT_EQ(data().recordCount(), 3);
    EXPECT_FALSE(Modulo::NovaRetiradaSalva);
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

TEST_F(RetiradaMainWindowTest, OnASmallScreenTheWholeListCanBeScrolledIntoView) {
    registerPickupWindows();
    start();
    mdi->resize(1024, 740);   // a 1024 x 768 screen
    mdi->show();
    action("MnuCompRet")->trigger();
    QCoreApplication::processEvents();
    auto* area = mdi->findChild<QMdiArea*>();
    ASSERT_EQ(area->subWindowList().size(), 1);
    QMdiSubWindow* sub = area->subWindowList().first();
    ASSERT_GT(sub->width(), area->viewport()->width());   // wider than the room it has
    QScrollBar* h = area->horizontalScrollBar();
    h->setValue(h->minimum());
    QCoreApplication::processEvents();
    EXPECT_GE(sub->x(), 0);   // its left side, with the names
    h->setValue(h->maximum());
    QCoreApplication::processEvents();
    const QWidget* close = button(WindowHost::findList<FrmRetirada>(), "BtFechar");
    const QRect shown(close->mapTo(area->viewport(), QPoint(0, 0)), close->size());
    EXPECT_TRUE(area->viewport()->rect().contains(shown)) << shown.x() << " " << area->viewport()->width();
}

TARVEL_TEST_MAIN()
