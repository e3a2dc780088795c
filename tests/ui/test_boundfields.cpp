// Fields bound to a record cursor: pending edits are written when the row
// changes and when the window closes, and only when something changed.
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

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
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
    QLabel* codigo = new QLabel(this);
    QPushButton* fechar = new QPushButton(QStringLiteral("&Fechar"), this);
    BoundFields* bound;

    CustomerForm() {
        setWindowTitle(QStringLiteral("Clientes"));
        nome->setObjectName(QStringLiteral("TxtNome"));
        endereco->setObjectName(QStringLiteral("TxtEndereco"));
        fechar->setObjectName(QStringLiteral("BtFechar"));
        auto* l = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{codigo, nome, endereco, obs, fechar}) l->addWidget(w);
        data->open(ProgramFolder::databasePath(), QStringLiteral("SELECT * FROM TblClientes ORDER BY Codigo"));
        bound = new BoundFields(data, this);
        bound->bind(codigo, QStringLiteral("Codigo"));
        bound->bind(nome, QStringLiteral("Nome"));
        bound->bind(endereco, QStringLiteral("Endereco"));
        bound->bind(obs, QStringLiteral("Email"));
        TextEntry::attach(nome, TextEntry::Standard);
        TextEntry::attach(endereco, TextEntry::Standard);
        TextEntry::setTypingLimit(nome, 40);
        TextEntry::setTypingLimit(endereco, 25);
        connect(fechar, &QPushButton::clicked, this, &QDialog::close);
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

TEST_F(BoundFieldsTest, EditIsWrittenOnRowChangeAndLongStoredTextSurvives) {
    CustomerForm form;
    form.show();
    ASSERT_EQ(form.nome->text(), "ANA");
    // The stored 40-character address shows whole under a 25-character limit.
    EXPECT_EQ(form.endereco->text(), LongAddress);

    Typing::focus(form.nome);
    form.nome->end(false);
    Typing::type(form.nome, " MARIA");
    EXPECT_EQ(stored("Nome", "ANA"), "ANA");       // still pending
    EXPECT_TRUE(form.bound->hasPending());
    EXPECT_EQ(form.bound->pendingFields(), QStringList({"Nome"}));

    form.data->moveNext();
    EXPECT_EQ(form.nome->text(), "BRUNO");
    EXPECT_EQ(stored("Endereco", "ANA MARIA"), LongAddress);  // unchanged, not cut
    EXPECT_EQ(stored("Email", "ANA MARIA"), "PRIMEIRA");
}

TEST_F(BoundFieldsTest, NothingIsWrittenWhenNothingChanged) {
    CustomerForm form;
    form.show();
    const int before = writes();
    // Text set to what is shown is no change either.
    form.nome->setText("ANA");
    form.data->moveNext();
    form.data->moveFirst();
    form.close();
    EXPECT_EQ(writes(), before);
}

TEST_F(BoundFieldsTest, PendingEditIsWrittenWhenEscClosesTheWindow) {
    QPointer<CustomerForm> form = new CustomerForm;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    Typing::focus(form->obs);
    form->obs->moveCursor(QTextCursor::End);
    Typing::type(form->obs, "LIGAR À TARDE");
    Typing::key(form->obs, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(form.isNull());
    EXPECT_EQ(stored("Email", "ANA"), "PRIMEIRALIGAR À TARDE");
}

TEST_F(BoundFieldsTest, CommitWritesOnlyChangedFieldsAndReportsFailures) {
    CustomerForm form;
    form.show();
    // Another copy changes the address meanwhile; our name edit must not
    // write the address back.
    Typing::focus(form.nome);
    form.nome->end(false);
    Typing::type(form.nome, "X");
    db.execute("UPDATE TblClientes SET Endereco = 'OUTRA' WHERE Nome = 'ANA'");
    form.bound->commit();
    EXPECT_FALSE(form.bound->hasPending());
    EXPECT_EQ(stored("Endereco", "ANAX"), "OUTRA");
    EXPECT_EQ(form.endereco->text(), "OUTRA");  // shows the stored row again

    // A value the field cannot hold is reported when the row changes.
    RecordCursor prices;
    prices.open(databasePath(), "TblPrecoMObra");
    prices.addNew();
    prices.setField("Aparelho", "TV");
    prices.update();
    prices.moveFirst();
    QLineEdit preco;
    BoundFields priceBound(&prices, nullptr);
    priceBound.bind(&preco, "Preco");
    preco.setText("12,3,4");
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Ocorreu um Erro ao tentar Gravar");
    prices.requery();
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_FALSE(priceBound.hasPending());
}

TEST(BoundFieldsText, MoneyAndYesNoReadTheSameWhateverTheStoredType) {
    const QString money = BoundFields::displayText(QVariant::fromValue(Currency::fromRaw(12345000)), FieldFormat::CurrencyText);
    EXPECT_EQ(money, "R$ 1.234,50");
    EXPECT_EQ(BoundFields::displayText(1234.5, FieldFormat::CurrencyText), money);
    // What a yes/no box or cell shows reads back, blanks and case aside.
    EXPECT_EQ(BoundFields::displayText(false, FieldFormat::YesNo), QStringLiteral("Não"));
    EXPECT_EQ(BoundFields::editedValue(QStringLiteral(" não "), FieldFormat::YesNo), QVariant(false));
    EXPECT_EQ(BoundFields::editedValue("Sim", FieldFormat::Auto), QVariant("Sim"));
}

TARVEL_TEST_MAIN()
