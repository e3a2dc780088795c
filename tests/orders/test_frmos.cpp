// The service-order window: opening, status and technician, mood, typing,
// the edit mode behind the gate, writes of changed fields only, an order
// checked out elsewhere, previous repairs and the customer's record.
#include "workshopdata.h"

#include "app/apptest.h"
#include "app/windowregistry.h"
#include "customers/customerwindows.h"
#include "customers/frmclientes.h"
#include "orders/frmmanutencao.h"
#include "orders/frmos.h"
#include "orders/moodfaces.h"
#include "orders/workshopwindows.h"
#include "printing/printdata.h"
#include "store/clock.h"
#include "store/globals.h"
#include "store/recordcursor.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/scriptedboxes.h"
#include "support/faultrun.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <memory>

using namespace WorkshopData;

namespace {

const QDate Today(2026, 12, 6);

struct FrmOsTest : ProgramFolderTest {
    std::unique_ptr<FrmOS> w;
    qint64 os = 0;

    void SetUp() override {
        ProgramFolderTest::SetUp();
        Clock::set(QDateTime(Today, QTime(10, 30, 15)));
        FrmOS::setDeliveredListFilter({});
    }
    void TearDown() override {
        w.reset();
        FrmOS::setDeliveredListFilter({});
        WindowRegistry::clear();
        Clock::set({});
        ProgramFolderTest::TearDown();
    }

    // Opens the window on an order, shown as the workshop list shows it.
    FrmOS* open(qint64 order) {
        Modulo::OsAtual = std::int32_t(order);
        w.reset(FrmOS::create());
        if (w) {
            w->show();
            QApplication::processEvents();
        }
        return w.get();
    }
    FrmOS* openNew(const Fields& more = {}) {
        os = addOrder("ANA", more);
        return open(os);
    }

    template <class T = QWidget> T* child(const QString& name) const {
        T* c = w->findChild<T*>(name);
        EXPECT_TRUE(c) << name.toStdString();
        return c;
    }
    QLineEdit* txt(int i) const { return child<QLineEdit>(QStringLiteral("Txt(%1)").arg(i)); }
    QLabel* label(const char* name) const { return child<QLabel>(QLatin1String(name)); }
    QPushButton* button(const char* name) const { return child<QPushButton>(QLatin1String(name)); }
    QPlainTextEdit* notes() const { return child<QPlainTextEdit>("TxtAndamento"); }

    QVariant stored(const QString& field) const {
        return Database::openDefault().scalar(QStringLiteral("SELECT [%1] FROM TblManutencao WHERE Os = ?").arg(field),
                                              {os});
    }
    void storeElsewhere(const QString& field, const QVariant& value) const {
        Database::openDefault().execute(QStringLiteral("UPDATE TblManutencao SET [%1] = ? WHERE Os = ?").arg(field),
                                        {value, os});
    }

    // Picks an entry of the status or technician list with the mouse, on its page.
    void pick(const char* list, const QString& text) {
        auto* tabs = child<QTabWidget>("SSTab1");
        auto* l = child<QListWidget>(QLatin1String(list));
        tabs->setCurrentWidget(tabs->widget(QLatin1String(list) == QLatin1String("List1") ? 1 : 2));
        QApplication::processEvents();
        const auto items = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items[0]).center());
    }
    void saveStatus(const QString& status) {
        pick("List1", status);
        button("BtSalvaStatus")->click();
    }

    // Presses "Alterar Dados" and answers the gate: with the password, or cancelling it.
    void enterEditMode(bool withPassword = true) {
        ModalScript gate(
            [withPassword](QWidget* dlg) {
                if (withPassword) {
                    Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
                    dlg->findChild<QPushButton*>("BtOk")->click();
                } else {
                    dlg->findChild<QPushButton*>("BtFechar")->click();
                }
            },
            10000);
        button("BtAlterar")->click();
    }
};

QString caption(const QPushButton* b) { return b->text().remove(QLatin1Char('&')); }

} // namespace

TEST_F(FrmOsTest, OpensOnTheOrderWithItsFieldsListsMoodAndCounts) {
    Database d = Database::openDefault();
    for (const char* t : {"ZECA", "BRUNO", "ÁLVARO"})
        d.execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES (?)", {QString::fromUtf8(t)});
    Modulo::AcessoOsLiberado = true;
    ASSERT_TRUE(openNew({{"Emocao", 3}, {"Via", 2}, {"Tensao", "220V"}, {"prioridade", "URGENTE"},
                         {"VlFinal", QVariant::fromValue(Currency::fromCents(123456))}}));
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8("Ordem de Serviço Número: %1").arg(os));
    EXPECT_FALSE(Modulo::AcessoOsLiberado);
    EXPECT_EQ(label("Label2")->text(), QString::number(os));
    EXPECT_EQ(txt(0)->text(), "ANA");
    EXPECT_EQ(txt(20)->text(), "220V");
    EXPECT_EQ(label("Label1")->text(), QString::fromUtf8("ORÇAMENTO"));
    EXPECT_EQ(label("Label10")->text(), "URGENTE");
    EXPECT_EQ(label("Label4")->text(), "05/03/2008");
    EXPECT_EQ(label("Label6")->text(), "14:05:00");
    EXPECT_EQ(label("Label11")->text(), QString::fromUtf8("R$ 1.234,56"));
    EXPECT_EQ(label("Label12")->text(), QString::fromUtf8("2ª"));
    EXPECT_EQ(w->shownMood(), 3);
    EXPECT_FALSE(child<QComboBox>("Combo1")->isVisible());
    // Both lists in alphabetical order, accents beside their letter.
    const auto entries = [this](const char* name) {
        QStringList out;
        auto* l = child<QListWidget>(QLatin1String(name));
        for (int i = 0; i < l->count(); ++i) out << l->item(i)->text();
        return out;
    };
    EXPECT_EQ(entries("List1"), QStringList({QString::fromUtf8("EM SERVIÇO"), "PRONTO", "SEM CONSERTO"}));
    EXPECT_EQ(entries("List2"), QStringList({QString::fromUtf8("ÁLVARO"), "BRUNO", "ZECA"}));
    EXPECT_FALSE(button("BtSalvaStatus")->isEnabled());
    EXPECT_FALSE(button("BtSalvaTecnico")->isEnabled());
    EXPECT_EQ(caption(button("BtAlterar")), "Alterar Dados");
    // The price window and the delivered list are not part of the program yet.
    EXPECT_FALSE(button("BtOpcao")->isEnabled());
    EXPECT_FALSE(button("BtMntAnt")->isEnabled());

    // Another window changes the amount and the count: activation shows them.
    storeElsewhere("Via", 0);
    w->Form_Activate();
    EXPECT_EQ(label("Label12")->text(), QString::fromUtf8("0ª"));

    // A mood outside the seven shows no face and no message.
    w.reset();
    ASSERT_TRUE(openNew({{"Emocao", 9}}));
    EXPECT_EQ(w->shownMood(), -1);
    EXPECT_TRUE(label("Image1")->pixmap().isNull());
}

TEST_F(FrmOsTest, AnOrderThatIsNotThereIsReportedAndTheWindowDoesNotOpen) {
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("É Possível que já tenha sido dado Saída neste Aparelho,\r3021__"));
    EXPECT_EQ(open(125), nullptr);
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].title, QString::fromUtf8("Detalhes da Ordem de Serviço"));
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
}

TEST_F(FrmOsTest, AFinalStatusStampsTheCompletionDateAndAnyOtherClearsIt) {
    Database::openDefault().execute("INSERT INTO TblStatus (TipoStatus) VALUES ('PRONTO ')");
    Database::openDefault().execute("INSERT INTO TblStatus (TipoStatus) VALUES ('AGUARDANDO')");
    ASSERT_TRUE(openNew());
    pick("List1", "PRONTO");
    EXPECT_EQ(label("LblStatus")->text(), "PRONTO");
    EXPECT_TRUE(button("BtSalvaStatus")->isEnabled());
    button("BtSalvaStatus")->click();
    EXPECT_FALSE(button("BtSalvaStatus")->isEnabled());
    EXPECT_EQ(label("LblStatus")->text(), "");
    EXPECT_EQ(stored("Status").toString(), "PRONTO");
    EXPECT_EQ(stored("DataConcluido").toString(), "2026-12-06");
    EXPECT_EQ(label("Label3")->text(), "PRONTO");
    EXPECT_EQ(label("Label9")->text(), "06/12/2026");

    saveStatus("AGUARDANDO");
    EXPECT_EQ(stored("Status").toString(), "AGUARDANDO");
    EXPECT_TRUE(stored("DataConcluido").isNull());
    EXPECT_EQ(label("Label9")->text(), "");

    // Saving a final status again replaces an earlier date with today's.
    storeElsewhere("DataConcluido", "2026-01-01");
    Clock::set(QDateTime(Today.addDays(1), QTime(9, 0)));
    saveStatus(QString::fromUtf8("SEM CONSERTO"));
    EXPECT_EQ(stored("DataConcluido").toString(), "2026-12-07");

    // The comparison is exact: a trailing blank is another status.
    saveStatus("PRONTO ");
    EXPECT_EQ(stored("Status").toString(), "PRONTO ");
    EXPECT_TRUE(stored("DataConcluido").isNull());

    saveStatus(QString::fromUtf8("EM SERVIÇO"));
    EXPECT_TRUE(stored("DataConcluido").isNull());

    // The keyboard picks as the mouse does: the arrows, then the first letter.
    auto* list = child<QListWidget>("List1");
    Typing::key(list, Qt::Key_End);
    EXPECT_EQ(label("LblStatus")->text(), QString::fromUtf8("SEM CONSERTO"));
    EXPECT_TRUE(button("BtSalvaStatus")->isEnabled());
    Typing::type(list, "a");
    EXPECT_EQ(label("LblStatus")->text(), "AGUARDANDO");
    button("BtSalvaStatus")->click();
    EXPECT_EQ(stored("Status").toString(), "AGUARDANDO");
}

TEST_F(FrmOsTest, TheTechnicianAndTheMoodAreSavedWithoutAPassword) {
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('BRUNO'), ('ZECA')");
    ASSERT_TRUE(openNew());
    pick("List2", "BRUNO");
    EXPECT_EQ(label("LblTecnico")->text(), "BRUNO");
    button("BtSalvaTecnico")->click();
    EXPECT_EQ(stored("Tecnico").toString(), "BRUNO");
    EXPECT_EQ(label("Label5")->text(), "BRUNO");
    EXPECT_EQ(label("LblTecnico")->text(), "");
    EXPECT_FALSE(button("BtSalvaTecnico")->isEnabled());
    // An arrow picks too.
    Typing::key(child<QListWidget>("List2"), Qt::Key_Down);
    EXPECT_EQ(label("LblTecnico")->text(), "ZECA");
    EXPECT_TRUE(button("BtSalvaTecnico")->isEnabled());

    // The mood chooser: shown by a click on the face, hidden by any choice.
    auto* combo = child<QComboBox>("Combo1");
    QTest::mouseClick(label("Image1"), Qt::LeftButton);
    EXPECT_TRUE(combo->isVisible());
    combo->hidePopup();  // closed without a choice
    EXPECT_TRUE(waitFor([&] { return !combo->isVisible(); }));
    EXPECT_EQ(stored("Emocao").toInt(), 0);

    QTest::mouseClick(label("Image1"), Qt::LeftButton);
    ASSERT_EQ(combo->itemText(6), "Procon");
    combo->setCurrentIndex(6);
    emit combo->activated(6);
    EXPECT_FALSE(combo->isVisible());
    EXPECT_EQ(stored("Emocao").toInt(), 6);
    EXPECT_EQ(w->shownMood(), 6);
    EXPECT_EQ(label("Image1")->pixmap().toImage(), MoodFaces::face(6).toImage());
    w.reset();
    ASSERT_TRUE(open(os));
    EXPECT_EQ(w->shownMood(), 6);
}

TEST_F(FrmOsTest, TypingRulesAndNotesTypedInViewModeAreStoredOnClosing) {
    ASSERT_TRUE(openNew({{"Andamento", "TROCADO FUSÍVEL"}}));
    // Appliance identity and factory warranty are locked in view mode.
    for (int i : {15, 16, 17, 18, 19, 24, 25, 26, 27}) EXPECT_TRUE(txt(i)->isReadOnly()) << i;
    for (int i : {20, 21, 22, 23}) EXPECT_FALSE(txt(i)->isReadOnly()) << i;
    EXPECT_EQ(txt(21)->focusPolicy(), Qt::ClickFocus);
    txt(21)->clear();
    Typing::type(txt(21), "d'ávila");
    EXPECT_EQ(txt(21)->text(), QString::fromUtf8("DÁVILA"));
    Typing::type(txt(23), "controle");

    auto* n = notes();
    n->moveCursor(QTextCursor::End);
    Typing::type(n, " peça d'agua");
    Typing::key(n, Qt::Key_F5);
    Typing::key(n, Qt::Key_F6);
    const QString expected = QString::fromUtf8("TROCADO FUSÍVEL PEÇA D'AGUA (06/12/2026) (10:30:15)");
    EXPECT_EQ(n->toPlainText(), expected);
    // A selection is replaced by the stamp.
    QTextCursor c = n->textCursor();
    c.setPosition(0);
    c.setPosition(7, QTextCursor::KeepAnchor);
    n->setTextCursor(c);
    Typing::key(n, Qt::Key_F5);
    EXPECT_TRUE(n->toPlainText().startsWith(QString::fromUtf8(" (06/12/2026) FUSÍVEL")));
    EXPECT_EQ(stored("Andamento").toString(), QString::fromUtf8("TROCADO FUSÍVEL")) << "pending until a write";

    Typing::key(n, Qt::Key_Escape);  // the close button's key
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(stored("Defeito").toString(), QString::fromUtf8("DÁVILA"));
    EXPECT_EQ(stored("Acessorios").toString(), "CONTROLE");
    EXPECT_TRUE(stored("Andamento").toString().startsWith(QString::fromUtf8(" (06/12/2026) FUSÍVEL PEÇA D'AGUA")));
}

TEST_F(FrmOsTest, TheEditModeIsBehindTheGateAndSavesCorrectedDataAndToggledLabels) {
    ASSERT_TRUE(openNew({{"Atendimento", "INTERNO"}, {"prioridade", "NORMAL"}}));
    auto* tipo = label("Label1");

    // In view mode the labels do not change.
    QTest::mouseClick(tipo, Qt::LeftButton);
    QTest::mouseClick(label("Label10"), Qt::LeftButton);
    EXPECT_EQ(tipo->text(), QString::fromUtf8("ORÇAMENTO"));
    EXPECT_EQ(label("Label10")->text(), "NORMAL");

    // The gate cancelled: still viewing, nothing written.
    enterEditMode(false);
    EXPECT_EQ(caption(button("BtAlterar")), "Alterar Dados");
    EXPECT_TRUE(txt(17)->isReadOnly());
    EXPECT_FALSE(Modulo::AcessoOsLiberado);

    enterEditMode();
    EXPECT_EQ(caption(button("BtAlterar")), "Salvar");
    EXPECT_TRUE(Modulo::AcessoOsLiberado);
    EXPECT_FALSE(txt(17)->isReadOnly());
    EXPECT_EQ(w->focusWidget(), txt(17));
    EXPECT_EQ(txt(17)->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(tipo->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(tipo->cursor().shape(), Qt::PointingHandCursor);

    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(tipo, Qt::LeftButton);
        seen << tipo->text();
    }
    EXPECT_EQ(seen, QStringList({QString::fromUtf8("GAR.DE FÁBRICA"), QString::fromUtf8("ORÇAMENTO"),
                                 QString::fromUtf8("GAR.DE FÁBRICA")}));
    QTest::mouseClick(label("Label10"), Qt::LeftButton);
    QTest::mouseClick(label("Label8"), Qt::LeftButton);
    EXPECT_EQ(label("Label10")->text(), "URGENTE");
    EXPECT_EQ(label("Label8")->text(), "EXTERNO");
    txt(17)->clear();
    Typing::type(txt(17), "ph-29 slim extra");  // cut at 14
    txt(19)->end(false);
    Typing::type(txt(19), "x123");
    Typing::type(txt(24), "casas bahia");
    EXPECT_EQ(stored("Modelo").toString(), "PH21") << "pending until Salvar";

    button("BtAlterar")->click();
    EXPECT_EQ(caption(button("BtAlterar")), "Alterar Dados");
    EXPECT_FALSE(Modulo::AcessoOsLiberado);
    EXPECT_TRUE(txt(17)->isReadOnly());
    EXPECT_EQ(txt(17)->palette().color(QPalette::Text), QColor(0, 0, 0));
    EXPECT_EQ(tipo->palette().color(QPalette::WindowText), QColor(0, 0, 192));
    EXPECT_EQ(stored("Modelo").toString(), "PH-29 SLIM EXT");
    EXPECT_EQ(stored("NumSerie").toString(), "SN-ANAX123");
    EXPECT_EQ(stored("Loja").toString(), "CASAS BAHIA");
    EXPECT_EQ(stored("Tipo").toString(), QString::fromUtf8("GAR.DE FÁBRICA"));
    EXPECT_EQ(stored("prioridade").toString(), "URGENTE");
    EXPECT_EQ(stored("Atendimento").toString(), "EXTERNO");

    // The next press asks for the password again.
    enterEditMode(false);
    EXPECT_EQ(caption(button("BtAlterar")), "Alterar Dados");

    // A warranty return keeps its type, also in edit mode.
    w.reset();
    ASSERT_TRUE(openNew({{"Tipo", QString::fromUtf8("GAR. DE SERVIÇO")}}));
    enterEditMode();
    QTest::mouseClick(label("Label1"), Qt::LeftButton);
    EXPECT_EQ(label("Label1")->text(), QString::fromUtf8("GAR. DE SERVIÇO"));
}

// Another copy changes the order while the window is open: each write stores
// only what this window changed; the amount and the print count are shown,
// never written back.
TEST_F(FrmOsTest, AWriteStoresOnlyWhatThisWindowChanged) {
    ASSERT_TRUE(openNew({{"Via", 0}}));
    Typing::type(notes(), "aguardando peça");
    storeElsewhere("Defeito", "TELA AZUL");
    storeElsewhere("Via", 1);
    storeElsewhere("VlFinal", 990000);
    storeElsewhere("Tecnico", "OUTRO");
    saveStatus("PRONTO");
    EXPECT_EQ(stored("Status").toString(), "PRONTO");
    EXPECT_EQ(stored("Andamento").toString(), QString::fromUtf8("AGUARDANDO PEÇA"));
    EXPECT_EQ(stored("Defeito").toString(), "TELA AZUL");
    EXPECT_EQ(stored("Via").toInt(), 1);
    EXPECT_EQ(stored("VlFinal").toLongLong(), 990000);
    EXPECT_EQ(stored("Tecnico").toString(), "OUTRO");
    EXPECT_EQ(txt(21)->text(), "TELA AZUL") << "the write shows the stored row";

    // Edit mode and closing alike.
    storeElsewhere("Modelo", "NOVO");
    storeElsewhere("Via", 2);
    enterEditMode();
    QTest::mouseClick(label("Label10"), Qt::LeftButton);
    button("BtAlterar")->click();
    storeElsewhere("Tensao", "110V");
    button("BtFechar")->click();
    EXPECT_EQ(stored("Modelo").toString(), "NOVO");
    EXPECT_EQ(stored("Via").toInt(), 2);
    EXPECT_EQ(stored("Tensao").toString(), "110V");
    EXPECT_EQ(stored("prioridade").toString(), "NORMAL");
}

// The order was checked out by another copy: every write says so, writes
// nothing (the order does not come back) and the window closes.
TEST_F(FrmOsTest, AnOrderCheckedOutElsewhereIsNeverWrittenAgain) {
    const auto gone = [this] {
        Database::openDefault().execute("DELETE FROM TblManutencao WHERE Os = ?", {os});
    };
    const QString message = QString::fromUtf8("É Possível que já tenha sido dado Saída neste Aparelho,\r3021__");
    for (int way = 0; way < 4; ++way) {
        SCOPED_TRACE(way);
        ASSERT_TRUE(openNew());
        Typing::type(notes(), "trocado");
        if (way == 0) pick("List1", "PRONTO");
        gone();
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, message);
        switch (way) {
        case 0: button("BtSalvaStatus")->click(); break;
        case 1: enterEditMode(); break;
        case 2: button("BtFechar")->click(); break;
        case 3:
            QTest::mouseClick(label("Image1"), Qt::LeftButton);
            child<QComboBox>("Combo1")->setCurrentIndex(2);
            emit child<QComboBox>("Combo1")->activated(2);
            break;
        }
        ASSERT_EQ(boxes.log().size(), 1);
        EXPECT_EQ(boxes.log()[0].title, QString::fromUtf8("Detalhes da Ordem de Serviço"));
        EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(count("SELECT COUNT(*) FROM TblManutencao"), 0);
        w.reset();
    }
}

// A write that fails while the order is still open says why, never that the
// order left; the window stays with what was typed and the same action,
// once the cause is gone, stores it.
TEST_F(FrmOsTest, AFailedWriteOfAnOpenOrderKeepsTheWindowAndWhatWasTyped) {
    StoreFault::install();
    enum Way { Status, Mood, Closing };
    const struct {
        Way way;
        StoreFault::Kind fault;
    } cases[] = {{Status, StoreFault::DiskFull}, {Mood, StoreFault::IoError}, {Closing, StoreFault::ReadOnlyFolder}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.way));
        ASSERT_TRUE(openNew());
        Typing::type(notes(), "trocado");
        const auto act = [&] {
            switch (c.way) {
            case Status: saveStatus("PRONTO"); break;
            case Mood:
                QTest::mouseClick(label("Image1"), Qt::LeftButton);
                child<QComboBox>("Combo1")->setCurrentIndex(2);
                emit child<QComboBox>("Combo1")->activated(2);
                break;
            case Closing: button("BtFechar")->click(); break;
            }
        };
        const QString text = writeUnderFault(c.fault, databasePath(), act, c.way == Closing ? MsgAnswer::No : MsgAnswer::Ok);
        EXPECT_TRUE(text.startsWith(QString::fromUtf8("Não foi possível gravar as alterações desta Ordem de Serviço.")))
            << text.toStdString();
        EXPECT_FALSE(text.contains(QString::fromUtf8("Saída"))) << text.toStdString();
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(notes()->toPlainText(), "TROCADO");

        ScriptedBoxes none;
        act();
        EXPECT_EQ(stored("Andamento").toString(), "TROCADO");
        if (c.way == Status) EXPECT_EQ(stored("Status").toString(), "PRONTO");
        if (c.way == Mood) EXPECT_EQ(stored("Emocao").toInt(), 2);
        EXPECT_EQ(w->isVisible(), c.way != Closing);
        w.reset();
    }
}

TEST_F(FrmOsTest, PreviousRepairsOfTheApplianceGoToTheDeliveredList) {
    QStringList handed;
    FrmOS::setDeliveredListFilter([&](const QString& query, const QString& heading) { handed << query << heading; });
    // A serial number with an apostrophe, and an older repair of another appliance.
    ASSERT_TRUE(openNew({{"NumSerie", "D'OR-1"}, {"Modelo", "PH21"}}));
    EXPECT_TRUE(button("BtMntAnt")->isEnabled());
    insert("TblApEntregues", {{"Os", 7}, {"Aparelho", "TV"}, {"NumSerie", "D'OR-2"}});
    {
        ScriptedBoxes boxes;
        boxes.answer(MsgAnswer::Ok, QString::fromUtf8("Não Consta Nenhum Registro de Manutenção Anterior para este Aparelho"));
        button("BtMntAnt")->click();
        EXPECT_EQ(boxes.log().last().icon, MsgIcon::Information);
        EXPECT_EQ(boxes.log().last().title, QString::fromUtf8("Detalhes da Ordem de Serviço"));
    }
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(handed.isEmpty());
    EXPECT_EQ(Modulo::SqlFiltroEntregues,
              QString::fromUtf8("SELECT * FROM TblApEntregues WHERE Aparelho = 'TV' AND NumSerie = 'D''OR-1'"));

    for (int i = 1; i <= 3; ++i) insert("TblApEntregues", {{"Os", i}, {"Aparelho", "TV"}, {"NumSerie", "D'OR-1"}});
    button("BtMntAnt")->click();
    EXPECT_FALSE(w->isVisible());
    const QString heading = QString::fromUtf8("MANUTENÇÕES ANTERIORES : APARELHO = TV MARCA = PHILCO MODELO = PH21");
    ASSERT_EQ(handed, QStringList({Modulo::SqlFiltroEntregues, heading}));
    EXPECT_EQ(Modulo::TituloFiltroEntregues, heading);
    RecordCursor listed;
    listed.open(databasePath(), handed[0]);
    EXPECT_EQ(listed.recordCount(), 3);
}

TEST_F(FrmOsTest, TheCustomerButtonShowsTheCustomerAndClosesTheWindow) {
    insert("TblClientes", {{"Nome", "BETO"}});
    const qint64 ana = insert("TblClientes", {{"Nome", "ANA"}});
    insert("TblClientes", {{"Nome", "CARLA"}});
    ASSERT_TRUE(openNew({{"IdCliente", ana}}));
    Typing::type(txt(22), "riscado");
    button("BtCadCliente")->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(stored("EstadoAparelho").toString(), "RISCADO");
    auto* clientes = WindowHost::findList<FrmClientes>();
    ASSERT_TRUE(clientes);
    EXPECT_TRUE(clientes->isVisible());
    EXPECT_EQ(clientes->dataFrmClientes().number("Codigo"), ana);
    EXPECT_EQ(Modulo::CodClienteAtual, ana);
}

// The print window prints what was typed here, and the window then shows
// the new print count.
TEST_F(FrmOsTest, PrintingTheOrderStoresWhatWasTypedFirst) {
    PrintData::RecordingPrinter printer;
    ASSERT_TRUE(openNew({{"Via", 0}}));
    ASSERT_TRUE(button("BtImpOs")->isEnabled());
    txt(21)->clear();
    Typing::type(txt(21), "tela trincada");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, QString::fromUtf8("Os Dados foram enviados para a Impressora. Aguarde!"));
    Modulo::OsAtual = 0;
    {
        ModalScript script([this](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("Impressão da Ordem de Serviço: %1").arg(os));
            dlg->findChild<QPushButton*>("BtIniciar")->click();
        });
        button("BtImpOs")->click();
        EXPECT_TRUE(script.done());
    }
    EXPECT_EQ(Modulo::OsAtual, os);
    ASSERT_EQ(printer.target->documents.size(), 1u);
    EXPECT_TRUE(printer.target->documents[0].pages.at(0).findText("TELA TRINCADA"));
    EXPECT_EQ(stored("Via").toInt(), 1);
    EXPECT_EQ(label("Label12")->text(), QString::fromUtf8("1ª"));
    EXPECT_TRUE(w->isVisible());
}

// The price window comes with its own part of the program and registers
// itself; it works on OsAtual. A checkout there, or a price window that could
// not load, closes this window too, without another write.
TEST_F(FrmOsTest, ThePriceWindowWorksOnTheOrderAndACheckoutThereClosesThisWindow) {
    struct PriceWindow : QDialog {
        explicit PriceWindow(bool checkout) {
            QTimer::singleShot(0, this, [this, checkout] {
                if (checkout)
                    Database::openDefault().execute("DELETE FROM TblManutencao WHERE Os = ?", {Modulo::OsAtual});
                accept();
            });
        }
    };
    bool checkout = false, loads = true;
    WindowRegistry::add(WindowRegistry::Entry{"FrmOpcoesOS", WindowKind::Modal, nullptr, [&]() -> QWidget* {
                                                  return loads ? new PriceWindow(checkout) : nullptr;
                                              }});
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        checkout = way == 1;
        loads = way != 2;
        ASSERT_TRUE(openNew());
        ASSERT_TRUE(button("BtOpcao")->isEnabled());
        Typing::type(notes(), "orçado");
        Modulo::OsAtual = 0;
        button("BtOpcao")->click();
        EXPECT_EQ(Modulo::OsAtual, os);
        EXPECT_EQ(w->isVisible(), way == 0);
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Os = %1").arg(os)), way == 1 ? 0 : 1);
        if (way != 1) {
            EXPECT_EQ(stored("Andamento").toString(), QString::fromUtf8("ORÇADO"));
        }
        w.reset();
    }
}

// From the workshop list: the window opens on the current row, and the list
// shows what the window stored when it comes back.
TEST_F(FrmOsTest, TheWorkshopListOpensTheOrderAndShowsItsChanges) {
    os = addOrder("ANA");
    addOrder("BETO");
    FrmManutencao* list = FrmManutencao::open();
    ASSERT_TRUE(list);
    list->dataFrmApMnt().findFirst(QStringLiteral("Os = %1").arg(os));
    {
        ModalScript script([this](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("Ordem de Serviço Número: %1").arg(os));
            auto* tabs = dlg->findChild<QTabWidget*>("SSTab1");
            tabs->setCurrentIndex(1);
            auto* l = dlg->findChild<QListWidget*>("List1");
            l->setCurrentItem(l->findItems("PRONTO", Qt::MatchExactly).value(0));
            QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->currentItem()).center());
            dlg->findChild<QPushButton*>("BtSalvaStatus")->click();
            dlg->findChild<QPushButton*>("BtFechar")->click();
        });
        list->BtOs_Click();
        EXPECT_TRUE(script.done());
    }
    EXPECT_EQ(list->dataFrmApMnt().text("Status"), "PRONTO");
    EXPECT_EQ(list->dataFrmApMnt().number("Os"), os);
}

// In the program: F3 lists the orders, F11 opens the current one; the
// customer button then shows the customer beside the workshop list.
class FrmOsProgramTest : public MainWindowTest {};

TEST_F(FrmOsProgramTest, FromTheMainWindowToTheOrderAndOnToItsCustomer) {
    registerCustomerWindows();
    registerWorkshopWindows();
    const qint64 ana = insert("TblClientes", {{"Nome", "ANA"}});
    const qint64 os = addOrder("ANA", {{"IdCliente", ana}});
    start();
    mdi->show();
    action("Mnumanut")->trigger();
    auto* list = WindowHost::findList<FrmManutencao>();
    ASSERT_TRUE(list);
    {
        ModalScript script([&](QWidget* dlg) {
            EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("Ordem de Serviço Número: %1").arg(os));
            // TARVEL_SHOT_DIR=folder: the window is also saved there as a picture, to be looked at.
            if (const QString shot = qEnvironmentVariable("TARVEL_SHOT_DIR"); !shot.isEmpty())
                dlg->grab().save(shot + QStringLiteral("/FrmOS.png"));
            Typing::type(dlg->findChild<QPlainTextEdit*>("TxtAndamento"), "cliente avisado");
            dlg->findChild<QPushButton*>("BtCadCliente")->click();
        });
        Typing::key(list->findChild<QLineEdit*>("TxtBusca"), Qt::Key_F11);
        EXPECT_TRUE(script.done());
    }
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Andamento = 'CLIENTE AVISADO'")), 1);
    auto* clientes = WindowHost::findList<FrmClientes>();
    ASSERT_TRUE(clientes);
    EXPECT_EQ(clientes->dataFrmClientes().number("Codigo"), ana);
    EXPECT_EQ(WindowHost::findList<FrmManutencao>(), list) << "the workshop list stays open";
}

TARVEL_TEST_MAIN()
