// The appliance search dialogs as one table each, and how the text is typed.
#include "delivereddata.h"

#include "orders/frmlocap.h"
#include "orders/frmlocapentregue.h"
#include "orders/frmmanutencao.h"
#include "support/fixture.h"
#include "support/liststeps.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace WorkshopData;

namespace {

struct Search {
    std::function<void()> before;
    bool serial;
    QString text;
    QString box;       // as ListStep::boxes writes it; "" none
    QString listed;    // the list's current name afterwards
};

// Each row in a dialog opened again: the last text comes back, "Ordem de
// Serviço" is chosen; the dialog closes exactly when nothing is said.
void runSearches(const std::function<QDialog*()>& open, const std::function<QString()>& listed,
                 const std::vector<Search>& rows) {
    QString last;
    for (const Search& r : rows) {
        SCOPED_TRACE(r.text.toStdString());
        std::unique_ptr<QDialog> dlg(open());
        dlg->show();
        auto* box = dlg->findChild<QLineEdit*>("TxtBusca");
        EXPECT_EQ(box->text(), last);
        EXPECT_TRUE(dlg->findChild<QRadioButton*>("Option1")->isChecked());
        if (r.before) r.before();
        if (r.serial) dlg->findChild<QRadioButton*>("Option3")->click();
        box->setText(r.text);
        ScriptedBoxes boxes;
        if (!r.box.isEmpty()) boxes.answer(MsgAnswer::Ok);
        dlg->findChild<QPushButton*>("BtIniciar")->click();
        ASSERT_EQ(boxes.log().size(), r.box.isEmpty() ? 0 : 1);
        if (!r.box.isEmpty()) { EXPECT_TRUE(ListSteps::shown(boxes.log()[0]).startsWith(r.box)) << r.box.toStdString(); }
        EXPECT_EQ(dlg->isVisible(), !r.box.isEmpty());
        EXPECT_EQ(dlg->result(), r.box.isEmpty() ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(listed(), r.listed);
        last = r.text;
    }
}

const QString T = "Localizar Aparelho em Manutenção: ";

} // namespace

TEST_F(ProgramFolderTest, TheWorkshopSearchFindsByNumberOrSerialAndSaysWhyNot) {
    const qint64 ana = addOrder("ANA", {{"Status", "PRONTO"}});
    const qint64 beto = addOrder("BETO", {{"NumSerie", "12345"}});
    addOrder("CARLA");
    DeliveredData::addDelivered(77, "ZELIA", {{"DataSaida", QDate(2026, 11, 30)}, {"OperadorSaida", "MARCIA"}});
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_NE(list, nullptr);
    const auto a = QString::number(ana), b = QString::number(beto);
    const auto filter = [list] { list->showFilter("SELECT * FROM TblManutencao WHERE Status = 'EM SERVIÇO'", "F"); };
    const auto rename = [] { Database::openDefault().execute("ALTER TABLE TblManutencao RENAME TO TblOutra"); };
    runSearches([list] { return new FrmLocAp(list); }, [list] { return list->dataFrmApMnt().text("Nome"); }, {
        {{}, false, "", "! " + T + "Digite algum Critério para a Pesquisa", "CARLA"},
        {{}, false, "12A", "! " + T + "DIGITE APENAS NÚMEROS !", "CARLA"},
        {{}, false, "-1", "! " + T + "DIGITE APENAS NÚMEROS !", "CARLA"},
        {{}, false, "77", "! " + T + "JÁ FOI DADO SAÍDA NESTE APARELHO\rEm:30/11/2026\rPor: MARCIA", "CARLA"},
        {{}, false, "999999999999999", "i " + T + "Ordem de Serviço não Localizada", "CARLA"},
        {{}, true, "NADA", "i " + T + "Nenhum Aparelho foi Localizado com este Número de Série!", "CARLA"},
        {{}, false, a, "", "ANA"},
        {{}, true, "12345", "", "BETO"},
        // Found in the workshop but outside the list's filter: the list stays.
        {filter, false, a, "", "CARLA"},
        {rename, false, b, "X " + T + "Ocorreu um erro Inesperado ao tentar fazer esta Pesquisa\r", "CARLA"},
    });
}

TEST_F(ProgramFolderTest, TheDeliveredSearchLooksWithinTheListAndRereadsItOnAMiss) {
    DeliveredData::addDelivered(10, "ANA", {{"NumSerie", "S1"}});
    DeliveredData::addDelivered(11, "BETO", {{"NumSerie", "12345"}});
    DeliveredData::addDelivered(12, "CARLA", {{"NumSerie", "S3"}});
    RecordCursor list;
    list.open(databasePath(), "SELECT * FROM TblApEntregues WHERE Nome <> 'CARLA'");
    const QString t = "Localizar Ordem de Serviço de Aparelho Entregue: ";
    runSearches([&list] { return new FrmLocApEntregue(&list); }, [&list] { return list.text("Nome"); }, {
        {{}, false, "", "! " + t + "Digite algum Critério para a Pesquisa", "ANA"},
        {{}, false, "1O", "! " + t + "DIGITE APENAS NÚMEROS !", "ANA"},
        // A miss reads the list again (a row another copy wrote shows) and stands on its last row.
        {[] { DeliveredData::addDelivered(13, "DANI"); }, false, "12",
         "i Localizar Aparelho já entregue pela Ordem de Serviço: Ordem de Serviço não Localizada", "DANI"},
        {[&list] { list.moveFirst(); }, true, "S3", "i " + t + "Nenhum Aparelho foi Localizado com este Número de Série!", "DANI"},
        {{}, false, "10", "", "ANA"},
        {{}, true, "12345", "", "BETO"},
    });
}

// The search text: no capitals, no apostrophe, 15 characters; an option
// click sends the focus back to it, its whole text selected.
TEST_F(ProgramFolderTest, TheSearchTextIsTypedAsItIsGiven) {
    RecordCursor list;
    FrmLocApEntregue dlg(&list);
    dlg.show();
    auto* box = dlg.findChild<QLineEdit*>("TxtBusca");
    box->clear();
    Typing::type(box, "ab'c-1");
    EXPECT_EQ(box->text(), "abc-1");
    Typing::type(box, "1234567890123456789");
    EXPECT_EQ(box->text().size(), 15);
    Typing::focus(dlg.findChild<QPushButton*>("BtFechar"));
    dlg.findChild<QRadioButton*>("Option3")->click();
    QApplication::processEvents();
    EXPECT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), box->text());
}

TARVEL_TEST_MAIN()
