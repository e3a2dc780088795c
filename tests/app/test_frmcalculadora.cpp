// The desk calculator: key sequences typed and clicked, its errors, the keys
// it takes before its buttons and the working values kept between openings.
#include "app/frmcalculadora.h"
#include "support/scriptedboxes.h"
#include "support/testmain.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

enum class Via { Keys, Buttons };

class CalculadoraTest : public ::testing::Test {
protected:
    void SetUp() override {
        FrmCalculadora::forgetWorkingValues();
        open();
    }

    void open() {
        calc = std::make_unique<FrmCalculadora>();
        calc->show();
        calc->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(calc.get()));
    }
    QString display() const { return calc->findChild<QLabel*>("LblDisplay")->text(); }
    QPushButton* button(int index) const {
        return calc->findChild<QPushButton*>(QStringLiteral("Digito(%1)").arg(index));
    }
    QPushButton* buttonFor(QChar c) const {
        static const QString keys = QStringLiteral("0123456789,C=*/+-%");
        const qsizetype i = keys.indexOf(c);
        return i < 0 ? nullptr : button(int(i));
    }
    // The widget that gets the keys: the window's focused button.
    QWidget* keyTarget() const { return calc->focusWidget() ? calc->focusWidget() : calc.get(); }

    // Runs a sequence: digits and ",+-*/%=" typed or clicked; "C" the clear
    // button (Esc when typed); "B" Backspace (a key in both ways).
    QString run(const QString& sequence, Via via) {
        for (QChar c : sequence) {
            if (c == QLatin1Char('B')) {
                QTest::keyClick(keyTarget(), Qt::Key_Backspace);
            } else if (via == Via::Keys) {
                if (c == QLatin1Char('C')) QTest::keyClick(keyTarget(), Qt::Key_Escape);
                else QTest::keyClick(keyTarget(), c.toLatin1());
            } else {
                QPushButton* b = buttonFor(c);
                EXPECT_NE(b, nullptr) << c.toLatin1();
                if (b) QTest::mouseClick(b, Qt::LeftButton);
            }
        }
        return display();
    }

    std::unique_ptr<FrmCalculadora> calc;
};

const QString ErrorLines = QString::fromUtf8("Ocorreu um Erro ao tentar Efetuar este Calculo.\rVerifique os Valores Digitados\r");

} // namespace

TEST_F(CalculadoraTest, SequencesShowTheirResultsTypedOrClicked) {
    struct Row {
        const char* sequence;
        const char* display;
    };
    const Row rows[] = {
        {"", "0"},
        {"1,5+2,25=", "3,75"},          // decimal comma
        {"10/3=", "3,3333"},            // four places
        {"2/3=", "0,6667"},
        {"200%10=", "20"},              // percentage
        {"50%50=", "25"},
        {"2+3*4=", "20"},               // chained: 2 + 3 is done when "*" comes
        {"2+3=7", "57"},                // digits after "=" append to the result
        {"2+3==", "7"},                 // "=" again repeats the operator
        {"2+3=*2=", "10"},              // an operator after "=" starts from the result
        {"6+*3=", "18"},                // a second operator only replaces the first
        {"5-8=", "-3"},                 // sign change
        {"5-8=*2=", "-6"},             // works on from a negative result
        {"0-0,5*4=", "-2"},
        {"5,,", "5,"},                  // one comma only
        {"5+,5=", "5,5"},               // a comma starts the new number
        {"007", "7"},                   // no leading zero
        {"1,23456+0=", "1,2346"},       // more than four places are rounded
        {"0,00005+0=", "0"},            // halves go to the even neighbour
        {"0,00015+0=", "0,0002"},
        {"123B", "12"},                 // Backspace
        {"7B", "0"},                    // an emptied display shows 0
        {"9+4C", "0"},                  // clear
        {"9+4C5=", "5"},                // clear keeps the operator, not the operands
        {"5=", "5"},                    // no operator yet: the number stays
        {"922337203685477*1=", "922337203685477"},
    };
    for (Via via : {Via::Keys, Via::Buttons}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.sequence) + (via == Via::Keys ? " typed" : " clicked"));
            FrmCalculadora::forgetWorkingValues();
            open();
            ScriptedBoxes boxes;
            EXPECT_EQ(run(QString::fromLatin1(row.sequence), via), QString::fromLatin1(row.display));
            EXPECT_TRUE(boxes.log().isEmpty());
        }
    }
}

TEST_F(CalculadoraTest, DivisionByZeroShowsAnErrorNeverAnOldResult) {
    for (Via via : {Via::Keys, Via::Buttons}) {
        SCOPED_TRACE(via == Via::Keys ? "typed" : "clicked");
        FrmCalculadora::forgetWorkingValues();
        open();
        run("9+1=C", via);   // a previous result that must not show again
        ScriptedBoxes boxes;
        boxes.answerWith([this](const ShownBox& box) {
            EXPECT_EQ(display(), "ERRO") << "while the message shows";
            EXPECT_EQ(box.text, ErrorLines + QString::fromUtf8("Divisão por zero 11 Tarvel"));
            EXPECT_EQ(box.title, "Calculadora");
            EXPECT_EQ(box.icon, MsgIcon::Exclamation);
            return MsgAnswer::Ok;
        });
        EXPECT_EQ(run("8/0=", via), "ERRO");
        ASSERT_EQ(boxes.log().size(), 1);
        // The next number starts afresh; the operands were reset.
        EXPECT_EQ(run("4", via), "4");
        EXPECT_EQ(run("*2=", via), "8");
    }
    // An operator on the error works from 0; Backspace clears it.
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok, "Divisão por zero");
    run("1/0=", Via::Keys);
    EXPECT_EQ(run("+5=", Via::Keys), "5");
    boxes.answer(MsgAnswer::Ok, "Divisão por zero");
    EXPECT_EQ(run("3/0+", Via::Keys), "ERRO") << "chained: the error stays, no result";
    EXPECT_EQ(run("B", Via::Keys), "0");
    EXPECT_EQ(boxes.failures(), 0);
}

TEST_F(CalculadoraTest, NumbersOutsideTheCurrencyRangeGiveTheErrorAndAReset) {
    ScriptedBoxes boxes;
    boxes.answerWith([this](const ShownBox& box) {
        EXPECT_EQ(box.text, ErrorLines + QString::fromUtf8("Estouro de capacidade 6 Tarvel"));
        EXPECT_EQ(display(), QString(20, QLatin1Char('9'))) << "the operator's reading failed, not a calculation";
        return MsgAnswer::Ok;
    });
    EXPECT_EQ(run(QString(20, QLatin1Char('9')) + "+", Via::Keys), "0");
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(run("2=", Via::Keys), "2") << "first operand reset to 0";

    // A result too large: "ERRO" while the message shows, then 0.
    boxes.answerWith([this](const ShownBox& box) {
        EXPECT_TRUE(box.text.endsWith("Estouro de capacidade 6 Tarvel"));
        EXPECT_EQ(display(), "ERRO");
        return MsgAnswer::Ok;
    });
    EXPECT_EQ(run("C900000000000000*900000000000000=", Via::Buttons), "0");
    // A lone sign left by Backspace is no number.
    EXPECT_EQ(run("C5-8=B", Via::Keys), "-");
    boxes.answer(MsgAnswer::Ok, "Tipos incompatíveis 13 Tarvel");
    EXPECT_EQ(run("+", Via::Keys), "0");
    EXPECT_EQ(boxes.log().size(), 3);
}

TEST_F(CalculadoraTest, EnterPressesTheFocusedButtonAndEscClearsWithoutClosing) {
    EXPECT_EQ(calc->focusWidget(), button(FrmCalculadora::IgualKey)) << "\"=\" has the focus at the start";
    run("2+3", Via::Buttons);
    QTest::keyClick(keyTarget(), Qt::Key_Return);
    EXPECT_EQ(display(), "5");
    // After a click on "C", Enter presses "C" again.
    QTest::mouseClick(button(FrmCalculadora::Limpar), Qt::LeftButton);
    EXPECT_EQ(calc->focusWidget(), button(FrmCalculadora::Limpar));
    run("7", Via::Keys);
    QTest::keyClick(keyTarget(), Qt::Key_Enter);
    EXPECT_EQ(display(), "0");

    run("42", Via::Keys);
    QTest::keyClick(keyTarget(), Qt::Key_Escape);
    EXPECT_EQ(display(), "0");
    EXPECT_TRUE(calc->isVisible()) << "Esc clears, the window stays";
    calc->findChild<QPushButton*>("BtFechar")->click();
    EXPECT_FALSE(calc->isVisible());
    EXPECT_EQ(calc->result(), QDialog::Accepted);
}

TEST_F(CalculadoraTest, ButtonsLightWhilePressedOrTyped) {
    const QColor lit(255, 255, 0);
    QPushButton* seven = button(7);
    const QColor face = seven->palette().color(QPalette::Button);
    ASSERT_NE(face, lit);
    QTest::mousePress(seven, Qt::LeftButton);
    EXPECT_EQ(seven->palette().color(QPalette::Button), lit);
    QTest::mouseRelease(seven, Qt::LeftButton);
    EXPECT_EQ(display(), "7");
    EXPECT_NE(seven->palette().color(QPalette::Button), lit) << "the focus went to \"=\"";

    QTest::keyPress(keyTarget(), '+');
    EXPECT_EQ(button(FrmCalculadora::Mais)->palette().color(QPalette::Button), lit);
    QTest::keyRelease(keyTarget(), '+');
    for (int i = 0; i < FrmCalculadora::KeyCount; ++i)
        EXPECT_EQ(button(i)->palette().color(QPalette::Button), face) << i;
}

TEST_F(CalculadoraTest, WorkingValuesOutliveTheWindow) {
    run("2+3=", Via::Buttons);
    calc->close();
    open();
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(calc->focusWidget(), button(FrmCalculadora::IgualKey));
    EXPECT_EQ(run("4=", Via::Keys), "6") << "first operand 2 and \"+\" kept";
    EXPECT_EQ(calc->windowTitle(), "Calculadora Tarvel");
}

TARVEL_TEST_MAIN()
