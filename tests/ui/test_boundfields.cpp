// Fields bound to a record cursor: pending edits written when the row changes or the window closes.
#include "support/fixture.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/boundfields.h"
#include "ui/textentry.h"
#include "ui/windowkeys.h"

#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>
#include <sqlcipher/sqlite3.h>

namespace {

const QString LongAddress = QStringLiteral("RUA DOUTOR JOSÉ BONIFÁCIO DE ANDRADA 1234");  // 40 characters

// A small editing window over TblClientes.
class CustomerForm : public QDialog {
public:
    RecordCursor* data = new RecordCursor(this);
    QLineEdit* nome = new QLineEdit(this);
    QLineEdit* endereco = new QLineEdit(this);
    QPlainTextEdit* obs = new QPlainTextEdit(this);
    QPushButton* fechar = new QPushButton(QStringLiteral("&Fechar"), this);   // Esc presses it
    BoundFields* bound;

    CustomerForm() {
        auto* l = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{nome, endereco, obs, fechar}) l->addWidget(w);
        fechar->setObjectName(QStringLiteral("BtFechar"));
        connect(fechar, &QPushButton::clicked, this, &QDialog::reject);
        data->open(ProgramFolder::databasePath(), QStringLiteral("SELECT * FROM TblClientes ORDER BY Codigo"));
        bound = new BoundFields(data, this);
        bound->bind(nome, QStringLiteral("Nome"));
        bound->bind(endereco, QStringLiteral("Endereco"));
        bound->bind(obs, QStringLiteral("Email"));
        TextEntry::attach(endereco, TextEntry::Standard);
        TextEntry::setTypingLimit(endereco, 25);
        WindowKeys::install(this);
    }
};

class BoundFieldsTest : public ProgramFolderTest {
protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        db = Database(databasePath());
        db.execute("INSERT INTO TblClientes (Nome, Endereco, Email) VALUES (?, ?, ?)",
                   {"ANA", LongAddress, "PRIMEIRA"});
        db.execute("INSERT INTO TblClientes (Nome, Endereco) VALUES (?, ?)", {"BRUNO", "RUA B"});
    }
    void TearDown() override {
        db.close();
        ProgramFolderTest::TearDown();
    }
    QString stored(const QString& field, const QString& nome) {
        return db.scalar(QStringLiteral("SELECT %1 FROM TblClientes WHERE Nome = ?").arg(field), {nome}).toString();
    }
    int writes() { return sqlite3_total_changes(db.handle()); }
    Database db;
};

} // namespace

// Only the changed field is written: not one another copy changed, nor a long text cut by the limit.
TEST_F(BoundFieldsTest, OnlyAChangedFieldIsWrittenWhenTheRowChangesOrTheWindowCloses) {
    QPointer<CustomerForm> window = new CustomerForm;
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    CustomerForm& form = *window;
    ASSERT_EQ(form.nome->text(), "ANA");
    EXPECT_EQ(form.endereco->text(), LongAddress);   // shown whole under a 25-character limit
    const int before = writes();
    form.nome->setText("ANA");   // the program's own text is no edit
    form.data->moveNext();
    form.data->moveFirst();
    EXPECT_EQ(writes(), before);

    Typing::focus(form.nome);
    form.nome->end(false);
    Typing::type(form.nome, " MARIA");
    EXPECT_EQ(form.bound->pendingFields(), QStringList({"Nome"}));
    db.execute("UPDATE TblClientes SET Email = 'OUTRA' WHERE Nome = 'ANA'");
    EXPECT_EQ(stored("Nome", "ANA"), "ANA");   // still pending
    form.data->moveNext();
    EXPECT_EQ(form.nome->text(), "BRUNO");
    EXPECT_EQ(stored("Endereco", "ANA MARIA"), LongAddress);
    EXPECT_EQ(stored("Email", "ANA MARIA"), "OUTRA");
    EXPECT_FALSE(form.bound->hasPending());

    // Esc closes the window and writes what is pending.
    Typing::focus(form.obs);
    Typing::type(form.obs, "LIGAR À TARDE");
    Typing::key(form.obs, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(stored("Email", "BRUNO"), QStringLiteral("LIGAR À TARDE"));
}

// Inside a transaction the typed values stay pending until its COMMIT: a rolled-back write leaves them all for the
// next one; a committed one shows them as stored.
TEST_F(BoundFieldsTest, AValueCountsAsWrittenOnlyOnceItsTransactionCommits) {
    CustomerForm form;
    form.show();
    Typing::focus(form.obs);
    form.obs->moveCursor(QTextCursor::End);
    Typing::type(form.obs, " LIGAR");
    for (const bool commits : {false, true}) {
        SCOPED_TRACE(commits);
        {
            Transaction tx(form.data->database());
            form.bound->commit();
            EXPECT_EQ(form.bound->pendingFields(), QStringList({"Email"})) << "written before the COMMIT";
            if (commits) tx.commit();
        }
        EXPECT_EQ(form.bound->hasPending(), !commits);
        EXPECT_EQ(stored("Email", "ANA"), commits ? "PRIMEIRA LIGAR" : "PRIMEIRA");
        EXPECT_EQ(form.obs->toPlainText(), "PRIMEIRA LIGAR");
    }
}

// A value the field cannot hold is reported and kept: the cursor stays on its row and the window open, unless the
// operator chooses to close all the same.
TEST_F(BoundFieldsTest, AValueTheFieldCannotHoldKeepsItsRowAndWindow) {
    RecordCursor prices;
    prices.open(databasePath(), "TblPrecoMObra");
    for (const char* aparelho : {"TV", "SOM"}) {
        prices.addNew();
        prices.setField("Aparelho", aparelho);
        prices.setField("Preco", "10");
        prices.update();
    }
    prices.moveFirst();
    QWidget window;
    auto* preco = new QLineEdit(&window);
    BoundFields priceBound(&prices, &window);
    priceBound.bind(preco, "Preco");
    window.show();
    preco->setText("12,3,4");
    const QString failed = "Ocorreu um Erro ao tentar Gravar";
    const QString question = "\rFechar a janela assim mesmo, sem gravar o que foi digitado?";
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, failed).answer(MsgAnswer::No, failed).answer(MsgAnswer::Yes, question);
    prices.moveNext();
    EXPECT_EQ(prices.text("Aparelho"), "TV") << "the row that could not be written stays";
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(preco->text(), "12,3,4");
    EXPECT_TRUE(window.close());
    ASSERT_EQ(boxes.log().size(), 3);
    EXPECT_TRUE(boxes.log()[1].text.endsWith(question) && boxes.log()[1].icon == MsgIcon::Critical);
    EXPECT_FALSE(priceBound.hasPending());
    EXPECT_EQ(preco->text(), "10");
}

// A grid's write of the current row shows through where nothing was typed and keeps what was; a dialog closed while
// its write fails drops what was typed, so that showing it again neither shows nor writes it as stored.
TEST_F(BoundFieldsTest, AnotherWriteOfTheRowKeepsTheTypedValuesAFailedClosingDropsThem) {
    CustomerForm form;
    form.show();
    Typing::focus(form.nome);
    form.nome->end(false);
    Typing::type(form.nome, " MARIA");
    form.data->writeField(form.data->absolutePosition(), "Email", "GRADE");
    EXPECT_EQ(form.obs->toPlainText(), "GRADE");
    EXPECT_EQ(form.nome->text(), "ANA MARIA");
    EXPECT_EQ(form.bound->pendingFields(), QStringList({"Nome"}));

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Gravar");
    const char* failing = "CREATE TRIGGER falha BEFORE UPDATE ON TblClientes BEGIN SELECT RAISE(ABORT, 'falha'); END";
    ASSERT_EQ(sqlite3_exec(db.handle(), failing, nullptr, nullptr, nullptr), SQLITE_OK);
    form.fechar->click();
    db.execute("DROP TRIGGER falha");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(boxes.log().size(), 1);
    form.show();
    EXPECT_EQ(form.nome->text(), "ANA");
    form.fechar->click();
    EXPECT_EQ(stored("Nome", "ANA"), "ANA");
    EXPECT_EQ(stored("Email", "ANA"), "GRADE");
}

TEST(BoundFieldsText, MoneyAndYesNoReadTheSameWhateverTheStoredType) {
    const QString money = BoundFields::displayText(QVariant::fromValue(Currency::fromRaw(12345000)), FieldFormat::CurrencyText);
    EXPECT_EQ(money, "R$ 1.234,50");
    EXPECT_EQ(BoundFields::displayText(1234.5, FieldFormat::CurrencyText), money);
    EXPECT_EQ(BoundFields::displayText(qint64(-1), FieldFormat::YesNo), "Sim");
    EXPECT_EQ(BoundFields::displayText(false, FieldFormat::YesNo), QStringLiteral("Não"));
    // What a yes/no box or cell shows reads back, blanks and case aside.
    EXPECT_EQ(BoundFields::editedValue(QStringLiteral(" não "), FieldFormat::YesNo), QVariant(false));
}

TARVEL_TEST_MAIN()
