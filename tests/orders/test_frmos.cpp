// The service-order window.
#include "workshopdata.h"

#include "app/windowregistry.h"
#include "customers/frmclientes.h"
#include "orders/frmos.h"
#include "orders/moodfaces.h"
#include "printing/printdata.h"
#include "store/clock.h"
#include "store/globals.h"
#include "support/expectedboxes.h"
#include "support/faultrun.h"
#include "support/fixture.h"
#include "support/modal.h"
#include "support/storefaults.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "ui/windowhost.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

using namespace WorkshopData;

namespace {

const QDate Today(2026, 12, 6);
const QString Gone = "É Possível que já tenha sido dado Saída neste Aparelho,\r3021__";

struct FrmOsTest : ProgramFolderTest {
    std::unique_ptr<FrmOS> w;
    qint64 os = 0;

    void SetUp() override { ProgramFolderTest::SetUp(), Clock::set(QDateTime(Today, QTime(10, 30, 15))); }
    void TearDown() override {
        w.reset();
        FrmOS::setDeliveredListFilter({});
        WindowRegistry::clear();
        ProgramFolderTest::TearDown();
    }
    FrmOS* openNew(const Fields& more = {}) {
        os = addOrder("ANA", more);
        Modulo::OsAtual = std::int32_t(os);
        w.reset(FrmOS::create());
        if (w) w->show(), QApplication::processEvents();
        return w.get();
    }
    template <class T = QWidget> T* child(const QString& name) const { return w->findChild<T*>(name); }
    QLineEdit* txt(int i) const { return child<QLineEdit>(QStringLiteral("Txt(%1)").arg(i)); }
    QString label(const char* name) const { return child<QLabel>(QLatin1String(name))->text(); }
    void click(const char* name) const { child<QPushButton>(QLatin1String(name))->click(); }
    void clickLabel(const char* name) const { QTest::mouseClick(child<QLabel>(QLatin1String(name)), Qt::LeftButton); }
    QPlainTextEdit* notes() const { return child<QPlainTextEdit>("TxtAndamento"); }
    QVariant stored(const QString& f) const { return Database::openDefault().scalar("SELECT [" + f + "] FROM TblManutencao WHERE Os = ?", {os}); }
    void storeElsewhere(const QString& field, const QVariant& value) const {
        Database::openDefault().execute(QStringLiteral("UPDATE TblManutencao SET [%1] = ? WHERE Os = ?").arg(field),
                                        {value, os});
    }
    QListWidget* list(const char* name) {   // the status (List1) or technician (List2) page
        child<QTabWidget>("SSTab1")->setCurrentIndex(name[4] == '1' ? 1 : 2);
        QApplication::processEvents();
        return child<QListWidget>(QLatin1String(name));
    }
    void pick(const char* name, const QString& text) {
        QListWidget* l = list(name);
        const auto items = l->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(items[0]).center());
    }
    void chooseMood(int mood) {
        clickLabel("Image1");
        auto* combo = child<QComboBox>("Combo1");
        combo->setCurrentIndex(mood);
        emit combo->activated(mood);
    }
    void enterEditMode(bool withPassword = true) {
        ModalScript gate([withPassword](QWidget* dlg) {
            if (withPassword) Typing::type(dlg->findChild<QLineEdit*>("TxtOperador"), "1234");
            dlg->findChild<QPushButton*>(withPassword ? "BtOk" : "BtFechar")->click();
        });
        click("BtAlterar");
    }
};

} // namespace

// Both lists sorted with accents beside their letter.
TEST_F(FrmOsTest, OpensOnTheOrder) {
    Database d = Database::openDefault();
    for (const char* t : {"ZECA", "BRUNO", "ÁLVARO"}) d.execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES (?)", {t});
    Modulo::AcessoOsLiberado = true;
    ASSERT_TRUE(openNew({{"Emocao", 3}, {"Via", 2}, {"prioridade", "URGENTE"},
                         {"VlFinal", QVariant::fromValue(Currency::fromCents(123456))}}));
    EXPECT_FALSE(Modulo::AcessoOsLiberado);
    EXPECT_EQ(label("Label10"), "URGENTE");
    EXPECT_EQ(label("Label4") + " " + label("Label6"), "05/03/2008 14:05:00");
    EXPECT_EQ(label("Label11"), "R$ 1.234,56");
    EXPECT_EQ(label("Label12"), "2ª");
    EXPECT_EQ(w->shownMood(), 3);
    EXPECT_EQ(list("List1")->item(2)->text(), "SEM CONSERTO");
    for (int i = 0; i < 3; ++i) EXPECT_EQ(list("List2")->item(i)->text(), QStringList({"ÁLVARO", "BRUNO", "ZECA"})[i]);
    // A mood outside the seven shows no face; an order that is gone opens nothing.
    ASSERT_TRUE(openNew({{"Emocao", 9}}));
    EXPECT_EQ(w->shownMood(), -1);
    EXPECT_TRUE(child<QLabel>("Image1")->pixmap().isNull());
    clickLabel("Image1");   // closing the chooser chooses nothing; a choice shows its face
    child<QComboBox>("Combo1")->hidePopup();
    EXPECT_TRUE(waitFor([&] { return !child<QComboBox>("Combo1")->isVisible(); }));
    EXPECT_EQ(stored("Emocao").toInt(), 9);
    chooseMood(6);
    EXPECT_EQ(child<QLabel>("Image1")->pixmap().toImage(), MoodFaces::face(6).toImage());
    clickLabel("Image1");   // the chooser opens again with no mood chosen
    EXPECT_EQ(child<QComboBox>("Combo1")->currentIndex(), -1);
    child<QComboBox>("Combo1")->hidePopup();
    EXPECT_TRUE(waitFor([&] { return !child<QComboBox>("Combo1")->isVisible(); }));
    EXPECT_EQ(stored("Emocao").toInt(), 6);
    Modulo::OsAtual = 125;
    expectBoxes({{Gone}}, [this] { w.reset(FrmOS::create()); });
    EXPECT_EQ(w, nullptr);
}

// Picked with the mouse or the keyboard; a final status (exact text) stamps today as completed.
TEST_F(FrmOsTest, StatusAndTechnicianPicks) {
    Database::openDefault().execute("INSERT INTO TblStatus (TipoStatus) VALUES ('PRONTO '), ('AGUARDANDO')");
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('BRUNO'), ('ZECA')");
    ASSERT_TRUE(openNew());
    storeElsewhere("DataConcluido", "2026-01-01");
    // A key pressed on the list, a lower-case text typed on it, or an entry picked with the mouse.
    const struct { const char* list; QString how; Qt::Key key; QString picked; QVariant concluded; } rows[] = {
        {"List1", "PRONTO", {}, "PRONTO", "2026-12-06"},     {"List1", "AGUARDANDO", {}, "AGUARDANDO", {}},
        {"List1", "SEM CONSERTO", {}, "SEM CONSERTO", "2026-12-06"}, {"List1", "PRONTO ", {}, "PRONTO ", {}},
        {"List1", "", Qt::Key_End, "SEM CONSERTO", "2026-12-06"},    {"List1", "a", {}, "AGUARDANDO", {}},
        {"List2", "BRUNO", {}, "BRUNO", {}},                         {"List2", "", Qt::Key_Down, "ZECA", {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.picked.toStdString());
        const bool status = row.list[4] == '1';
        const char* pickLabel = status ? "LblStatus" : "LblTecnico";
        auto* save = child<QPushButton>(status ? "BtSalvaStatus" : "BtSalvaTecnico");
        if (row.key) Typing::key(list(row.list), row.key);
        else if (row.how[0].isLower()) Typing::type(list(row.list), row.how);
        else pick(row.list, row.how);
        EXPECT_EQ(label(pickLabel), row.picked);
        EXPECT_TRUE(save->isEnabled());
        expectBoxes({}, [&] { save->click(); });
        EXPECT_EQ(stored(status ? "Status" : "Tecnico").toString(), row.picked);
        EXPECT_EQ(label(status ? "Label3" : "Label5") + label(pickLabel), row.picked);
        EXPECT_FALSE(save->isEnabled());
        if (status) { EXPECT_EQ(stored("DataConcluido"), row.concluded); }
    }
    // The picked entry unselected (Ctrl+Space) is no pick.
    Typing::key(list("List2"), Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(label("LblTecnico"), "");
    EXPECT_FALSE(child<QPushButton>("BtSalvaTecnico")->isEnabled());
}

// View mode: the identity locked, F5/F6 stamps (over a selection too), all stored on closing.
TEST_F(FrmOsTest, TypingAndNotesInViewModeAreStoredOnClosing) {
    ASSERT_TRUE(openNew({{"Andamento", "TROCADO FUSÍVEL"}}));
    EXPECT_TRUE(txt(17)->isReadOnly());
    txt(21)->clear();
    Typing::type(txt(21), "d'ávila");
    auto* n = notes();
    n->moveCursor(QTextCursor::End);
    Typing::type(n, " peça d'agua");
    Typing::key(n, Qt::Key_F5);
    Typing::key(n, Qt::Key_F6);
    EXPECT_EQ(n->toPlainText(), "TROCADO FUSÍVEL PEÇA D'AGUA (06/12/2026) (10:30:15)");
    QTextCursor c = n->textCursor();
    c.setPosition(0), c.setPosition(7, QTextCursor::KeepAnchor), n->setTextCursor(c);
    Typing::key(n, Qt::Key_F5);
    EXPECT_EQ(stored("Andamento").toString(), "TROCADO FUSÍVEL") << "pending until a write";
    Typing::key(n, Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(stored("Defeito").toString(), "DÁVILA");
    EXPECT_EQ(stored("Andamento").toString(), " (06/12/2026) FUSÍVEL PEÇA D'AGUA (06/12/2026) (10:30:15)");
}

// Edit mode only with the password, each time; "Salvar" stores; a warranty return keeps its type.
TEST_F(FrmOsTest, TheEditModeIsBehindTheGate) {
    ASSERT_TRUE(openNew({{"Atendimento", "INTERNO"}, {"prioridade", "NORMAL"}}));
    clickLabel("Label10");
    EXPECT_EQ(label("Label10"), "NORMAL");
    enterEditMode(false);
    EXPECT_TRUE(txt(17)->isReadOnly());
    EXPECT_FALSE(Modulo::AcessoOsLiberado);

    enterEditMode();
    EXPECT_FALSE(txt(17)->isReadOnly());
    const auto looks = [this](const QColor& box, const QColor& labels, Qt::CursorShape cursor) {
        EXPECT_EQ(txt(17)->palette().color(QPalette::Text), box);
        for (const char* l : {"Label1", "Label8", "Label10"}) {
            EXPECT_EQ(child<QLabel>(l)->palette().color(QPalette::WindowText), labels) << l;
            EXPECT_EQ(child<QLabel>(l)->cursor().shape(), cursor) << l;
        }
    };
    EXPECT_EQ(w->focusWidget(), txt(17));
    looks(QColor(255, 0, 0), QColor(255, 0, 0), Qt::PointingHandCursor);
    for (int i = 0; i < 3; ++i) clickLabel("Label1");   // round the types and on to the next
    for (const char* l : {"Label10", "Label8"}) clickLabel(l);
    txt(17)->end(false);
    Typing::type(txt(17), " slim extra");
    EXPECT_EQ(stored("Modelo").toString(), "PH21") << "pending until Salvar";
    click("BtAlterar");
    EXPECT_FALSE(Modulo::AcessoOsLiberado);
    EXPECT_TRUE(txt(17)->isReadOnly());
    looks(QColor(0, 0, 0), QColor(0, 0, 192), Qt::ArrowCursor);
    const auto row = Database::openDefault().rows(
        "SELECT Modelo, Tipo, prioridade, Atendimento FROM TblManutencao WHERE Os = ?", {os});
    EXPECT_EQ(row.at(0), (QVariantList{"PH21 SLIM EXTR", "GAR.DE FÁBRICA", "URGENTE", "EXTERNO"}));
    enterEditMode(false);
    EXPECT_TRUE(txt(17)->isReadOnly());

    ASSERT_TRUE(openNew({{"Tipo", "GAR. DE SERVIÇO"}}));
    enterEditMode();
    clickLabel("Label1");
    EXPECT_EQ(label("Label1"), "GAR. DE SERVIÇO");
}

// Every write with notes typed: another copy's changes kept; an order checked out elsewhere closes
// the window; a write the disk refuses names its cause, keeps what was typed and succeeds later.
TEST_F(FrmOsTest, WriteScenarios) {
    StoreFault::install();
    enum Way { Status, Mood, Edit, Closing };
    enum What { ChangedElsewhere, CheckedOut, Refused };
    const struct { Way way; What what; StoreFault::Kind fault; } rows[] = {{Status, ChangedElsewhere, {}}, {Edit, ChangedElsewhere, {}}, {Closing, ChangedElsewhere, {}},
                {Status, CheckedOut, {}}, {Mood, CheckedOut, {}}, {Edit, CheckedOut, {}}, {Closing, CheckedOut, {}},
                {Status, Refused, StoreFault::DiskFull}, {Mood, Refused, StoreFault::IoError}, {Closing, Refused, StoreFault::ReadOnlyFolder},
                {Status, Refused, StoreFault::DatabaseSyncFails}, {Mood, Refused, StoreFault::JournalSyncFails},
                {Closing, Refused, StoreFault::JournalKept}, {Status, Refused, StoreFault::DiskFullAtCommit},
                {Mood, Refused, StoreFault::DiskFullAtCommit}, {Closing, Refused, StoreFault::DatabaseSyncFails},
                {Status, Refused, StoreFault::JournalGoneButError}, {Closing, Refused, StoreFault::JournalGoneButError}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "way " << row.way << ", case " << row.what);
        ASSERT_TRUE(openNew({{"Via", 0}, {"prioridade", "NORMAL"}}));
        Typing::type(notes(), "trocado");
        const auto act = [&] {
            switch (row.way) {
            case Status: pick("List1", "PRONTO"); click("BtSalvaStatus"); break;
            case Mood: chooseMood(2); break;
            case Edit:
                enterEditMode();
                if (w->isVisible()) clickLabel("Label10"), click("BtAlterar");
                break;
            case Closing: click("BtFechar"); break;
            }
        };
        if (row.what == ChangedElsewhere) {
            for (const auto& [f, v] : Fields{{"Defeito", "TELA AZUL"}, {"Via", 1}, {"VlFinal", 990000},
                                             {"Tecnico", "OUTRO"}, {"Atendimento", "EXTERNO"}})
                storeElsewhere(f, v);
            expectBoxes({}, act);
            const auto kept = Database::openDefault().rows(
                "SELECT Andamento, Defeito, Via, VlFinal, Tecnico, Atendimento FROM TblManutencao WHERE Os = ?", {os});
            EXPECT_EQ(kept.at(0), (QVariantList{"TROCADO", "TELA AZUL", 1, 990000, "OUTRO", "EXTERNO"}));
            EXPECT_EQ(txt(21)->text(), "TELA AZUL") << "the write shows the stored row";
            EXPECT_EQ(stored("prioridade").toString(), row.way == Edit ? "URGENTE" : "NORMAL");
        } else if (row.what == CheckedOut) {
            Database::openDefault().execute("DELETE FROM TblManutencao WHERE Os = ?", {os});
            expectBoxes({{Gone}}, act);
            EXPECT_FALSE(w->isVisible());
            EXPECT_EQ(stored("Os"), QVariant()) << "the order does not come back";
        } else {
            const QString text = writeUnderFault(row.fault, databasePath(), act,
                                                 row.way == Closing ? MsgAnswer::No : MsgAnswer::Ok);
            if (!StoreFault::writeLands(row.fault)) {
                EXPECT_TRUE(text.startsWith("Não foi possível gravar as alterações desta Ordem de Serviço.")) << text.toStdString();
                EXPECT_TRUE(w->isVisible());
                EXPECT_EQ(notes()->toPlainText(), "TROCADO");
                expectBoxes({}, act);
            }
            EXPECT_EQ(stored("Andamento").toString(), "TROCADO");
            EXPECT_EQ(stored("Status").toString(), row.way == Status ? "PRONTO" : "EM SERVIÇO");
            EXPECT_EQ(stored("Emocao").toInt(), row.way == Mood ? 2 : 0);
            EXPECT_EQ(w->isVisible(), row.way != Closing);
        }
    }
}

// A status or technician pick whose "Salvar" the disk refused stays pending like typed notes, the pick alone: closing
// under the fault asks (No the default) and keeps the window; Esc in the notes once the disk is sound stores it. Picks
// never saved by their button are stored only by it; closing drops them without a question.
TEST_F(FrmOsTest, APickTheDiskRefusedStaysPendingUntilTheWindowCloses) {
    StoreFault::install();
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('BRUNO')");
    const QString cause = "13__O disco está cheio: não há espaço para gravar no banco de dados. Libere espaço no disco "
                          "e tente novamente.";
    const QString task = "Não foi possível gravar as alterações desta Ordem de Serviço.\r";
    for (const bool status : {true, false}) {
        SCOPED_TRACE(status ? "status" : "technician");
        ASSERT_TRUE(openNew());
        // The pick alone is pending.
        pick(status ? "List1" : "List2", status ? "PRONTO" : "BRUNO");
        auto* save = child<QPushButton>(status ? "BtSalvaStatus" : "BtSalvaTecnico");
        {
            StoreFault fault(StoreFault::DiskFull);
            const auto shown = expectBoxes({{task + "O que foi digitado continua na janela: corrija a causa abaixo e "
                                                   "tente novamente.\r" + cause}}, [&] { save->click(); });
            EXPECT_EQ(shown.value(0).text, task + "O que foi digitado continua na janela: corrija a causa abaixo e "
                                                  "tente novamente.\r" + cause);
            EXPECT_EQ(label(status ? "LblStatus" : "LblTecnico"), status ? "PRONTO" : "BRUNO");
            EXPECT_TRUE(save->isEnabled());
            const auto asked = expectBoxes({{"Fechar a janela assim mesmo", MsgAnswer::No}}, [&] { click("BtFechar"); });
            ASSERT_EQ(asked.size(), 1);
            EXPECT_EQ(asked[0].text, task + cause + "\rFechar a janela assim mesmo, sem gravar o que foi digitado?");
            EXPECT_EQ(asked[0].defaultButton, MsgAnswer::No);
            EXPECT_EQ(asked[0].buttons, MsgButtons::YesNo);
            EXPECT_EQ(asked[0].icon, MsgIcon::Critical);
            EXPECT_TRUE(w->isVisible());
        }
        EXPECT_EQ(stored("Status").toString() + " " + stored("Tecnico").toString() + " " + stored("Andamento").toString(),
                  "EM SERVIÇO CARLOS ");
        Typing::focus(notes());
        expectBoxes({}, [&] { Typing::key(notes(), Qt::Key_Escape); });
        EXPECT_FALSE(w->isVisible());
        EXPECT_EQ(stored(status ? "Status" : "Tecnico").toString(), status ? "PRONTO" : "BRUNO");
        EXPECT_EQ(stored("DataConcluido"), status ? QVariant("2026-12-06") : QVariant());
        EXPECT_EQ(stored(status ? "Tecnico" : "Status").toString(), status ? "CARLOS" : "EM SERVIÇO");
    }
    // Both picked, neither saved by its button: the mood's write stores neither, and each button then stores its own
    // pick alone.
    ASSERT_TRUE(openNew());
    pick("List1", "SEM CONSERTO");
    pick("List2", "BRUNO");
    expectBoxes({}, [&] { chooseMood(4); });
    const auto picks = [&] { return stored("Status").toString() + " " + stored("Tecnico").toString() + " " +
                                    stored("Emocao").toString(); };
    EXPECT_EQ(picks(), "EM SERVIÇO CARLOS 4");
    EXPECT_EQ(label("LblStatus") + label("LblTecnico"), "SEM CONSERTOBRUNO");
    click("BtSalvaTecnico");
    EXPECT_EQ(picks(), "EM SERVIÇO BRUNO 4");
    EXPECT_EQ(stored("DataConcluido"), QVariant());
    EXPECT_EQ(label("LblStatus") + "|" + label("LblTecnico"), "SEM CONSERTO|");
    EXPECT_TRUE(child<QPushButton>("BtSalvaStatus")->isEnabled());
    click("BtSalvaStatus");
    EXPECT_EQ(picks(), "SEM CONSERTO BRUNO 4");
    // Picked again and nothing else changed: closing has nothing to write, so a full disk asks nothing.
    pick("List1", "PRONTO");
    pick("List2", "BRUNO");
    StoreFault fault(StoreFault::DiskFull);
    expectBoxes({}, [&] { click("BtFechar"); });
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(picks(), "SEM CONSERTO BRUNO 4");
}

// Every other write of the order (the mood, "Alterar"/"Salvar", printing, the prices, closing) with a status and a
// technician picked: never saved by their buttons, they stay only shown and closing drops them without a question;
// once their "Salvar" was refused, that write stores them, once (another copy's later change is not overwritten),
// unless another pick took the refused one's place in its label.
TEST_F(FrmOsTest, OtherWritesStoreOnlyPicksWhoseSalvarFailed) {
    StoreFault::install();
    Database::openDefault().execute("INSERT INTO TblTecnicos (NomeTecnico) VALUES ('BRUNO')");
    PrintData::RecordingPrinter printer;
    WindowRegistry::add(WindowRegistry::Entry{"FrmOpcoesOS", WindowKind::Modal, nullptr, []() -> QWidget* {
        auto* d = new QDialog;
        QTimer::singleShot(0, d, &QDialog::accept);
        return d;
    }});
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"mood", [&] { chooseMood(3); }},
        {"edit", [&] { enterEditMode(), click("BtAlterar"); }},
        {"print", [&] {
             ModalScript print([](QWidget* dlg) { dlg->findChild<QPushButton*>("BtFechar")->click(); });
             click("BtImpOs");
         }},
        {"prices", [&] { click("BtOpcao"); }},
        {"closing", [&] { click("BtFechar"); }},
    };
    const auto row = [&] {
        const auto r = Database::openDefault().rows(
            "SELECT Status, Tecnico, DataConcluido, Andamento FROM TblManutencao WHERE Os = ?", {os});
        return r.at(0);
    };
    for (const bool refused : {false, true}) {
        for (const auto& [name, write] : writes) {
            SCOPED_TRACE(testing::Message() << name << (refused ? ", after a refused Salvar" : ", never saved"));
            ASSERT_TRUE(openNew());
            Typing::type(notes(), "trocado");   // the write's own business
            pick("List1", "PRONTO");
            pick("List2", "BRUNO");
            if (refused) {
                for (const char* save : {"BtSalvaStatus", "BtSalvaTecnico"})
                    writeUnderFault(StoreFault::DiskFull, databasePath(), [&] { click(save); });
                pick("List1", "SEM CONSERTO");   // replaces the refused status, shown only
            }
            expectBoxes({}, write);
            const bool open = w->isVisible();
            EXPECT_EQ(open, name != std::string("closing"));
            if (!refused) {
                EXPECT_EQ(row(), (QVariantList{"EM SERVIÇO", "CARLOS", QVariant(), "TROCADO"}));
                if (open) { EXPECT_EQ(label("LblStatus") + label("LblTecnico"), "PRONTOBRUNO"); }
                continue;
            }
            EXPECT_EQ(row(), (QVariantList{"EM SERVIÇO", "BRUNO", QVariant(), "TROCADO"}));
            if (!open) continue;
            EXPECT_EQ(label("Label3") + "|" + label("LblStatus") + "|" + label("LblTecnico"), "EM SERVIÇO|SEM CONSERTO|");
            EXPECT_TRUE(child<QPushButton>("BtSalvaStatus")->isEnabled());
            EXPECT_FALSE(child<QPushButton>("BtSalvaTecnico")->isEnabled());
            storeElsewhere("Status", "AGUARDANDO");
            storeElsewhere("Tecnico", "OUTRO");
            notes()->moveCursor(QTextCursor::End);
            Typing::type(notes(), " ok");
            expectBoxes({}, [&] { click("BtFechar"); });
            EXPECT_EQ(row(), (QVariantList{"AGUARDANDO", "OUTRO", QVariant(), "TROCADO OK"}));
        }
    }
}

// The buttons to other windows store what was typed first; a price window that could not load closes this one.
TEST_F(FrmOsTest, ButtonsToOtherWindows) {
    QStringList handed;
    FrmOS::setDeliveredListFilter([&](const QString& query, const QString& heading) { handed << query << heading; });
    bool loads = true;
    WindowRegistry::add(WindowRegistry::Entry{"FrmOpcoesOS", WindowKind::Modal, nullptr, [&]() -> QWidget* {
        if (!loads) return nullptr;
        auto* d = new QDialog;
        QTimer::singleShot(0, d, [d] {   // the price window stores a new amount
            Database::openDefault().execute("UPDATE TblManutencao SET VlFinal = 990000 WHERE Os = ?", {Modulo::OsAtual});
            d->accept();
        });
        return d;
    }});
    insert("TblClientes", {{"Nome", "BETO"}});
    const qint64 ana = insert("TblClientes", {{"Nome", "ANA"}});
    for (const char* other : {"AARAO", "ZECA"}) insert("TblClientes", {{"Nome", other}});   // ANA neither first nor last
    insert("TblApEntregues", {{"Os", 7}, {"Aparelho", "TV"}, {"NumSerie", "D'OR-2"}});
    const struct {
        const char* name;
        const char* button;
        std::function<void()> before;
        std::vector<ExpectedBox> boxes;
        bool stays;
        std::function<void()> check;
    } rows[] = {
        {"no previous repairs", "BtMntAnt", {}, {{"Não Consta Nenhum Registro de Manutenção Anterior"}}, true,
         [&] { EXPECT_TRUE(handed.isEmpty()); }},
        {"previous repairs", "BtMntAnt",
         [] { for (int i = 1; i <= 3; ++i) insert("TblApEntregues", {{"Os", i}, {"Aparelho", "TV"}, {"NumSerie", "D'OR-1"}}); },
         {}, false, [&] {
             EXPECT_EQ(handed, QStringList({"SELECT * FROM TblApEntregues WHERE Aparelho = 'TV' AND NumSerie = 'D''OR-1'",
                                            "MANUTENÇÕES ANTERIORES : APARELHO = TV MARCA = PHILCO MODELO = PH21"}));
         }},
        {"prices: the amount read again", "BtOpcao", {}, {}, true, [&] { EXPECT_EQ(label("Label11"), "R$ 99,00"); }},
        {"prices not loaded", "BtOpcao", [&] { loads = false; }, {}, false, {}},
        {"the customer beside the workshop", "BtCadCliente", {}, {}, false, [&] {
             auto* clientes = WindowHost::findList<FrmClientes>();
             ASSERT_NE(clientes, nullptr);
             EXPECT_TRUE(clientes->isVisible());
             EXPECT_EQ(clientes->dataFrmClientes().number("Codigo"), ana);
             EXPECT_EQ(Modulo::CodClienteAtual, ana);
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(openNew({{"IdCliente", ana}, {"NumSerie", "D'OR-1"}, {"Via", 0}}));
        txt(21)->clear();
        Typing::type(txt(21), "tela trincada");
        Modulo::OsAtual = 0;
        if (row.before) row.before();
        expectBoxes(row.boxes, [&] { click(row.button); });
        EXPECT_EQ(w->isVisible(), row.stays);
        const bool lookup = row.button == std::string("BtMntAnt"), elsewhere = lookup || row.button[2] == 'C';
        EXPECT_EQ(stored("Defeito").toString(), lookup && row.stays ? "NÃO LIGA" : "TELA TRINCADA");
        EXPECT_EQ(Modulo::OsAtual, elsewhere ? 0 : os);
        if (row.check) row.check();
    }
}

// The print window prints what was typed here; the window then shows the new print count.
TEST_F(FrmOsTest, PrintingTheOrderStoresWhatWasTypedFirst) {
    PrintData::RecordingPrinter printer;
    ASSERT_TRUE(openNew({{"Via", 0}}));
    txt(21)->clear();
    Typing::type(txt(21), "tela trincada");
    Modulo::OsAtual = 0;
    QString caption;
    ModalScript print([&](QWidget* dlg) { caption = dlg->windowTitle(), dlg->findChild<QPushButton*>("BtIniciar")->click(); });
    expectBoxes({{"Os Dados foram enviados para a Impressora. Aguarde!"}}, [this] { click("BtImpOs"); });
    EXPECT_TRUE(print.done());
    EXPECT_EQ(caption, QStringLiteral("Impressão da Ordem de Serviço: %1").arg(os));
    EXPECT_EQ(Modulo::OsAtual, os);
    ASSERT_EQ(printer.target->documents.size(), 1u);
    EXPECT_TRUE(printer.target->documents[0].pages.at(0).findText("TELA TRINCADA"));
    EXPECT_EQ(stored("Via").toInt(), 1);
    EXPECT_EQ(label("Label12"), "1ª");
    EXPECT_TRUE(w->isVisible());
}

TARVEL_TEST_MAIN()
