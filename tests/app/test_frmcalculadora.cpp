// The desk calculator: sequences typed and clicked, its errors, Enter, the values kept between openings.
#include "app/frmcalculadora.h"
#include "support/scenario.h"
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
    QWidget* keyTarget() const { return calc->focusWidget() ? calc->focusWidget() : calc.get(); }

    // Digits and ",+-*/%=" typed or clicked; "C" clears (Esc when typed); "B" is Backspace.
    QString run(const QString& sequence, Via via) {
        for (QChar c : sequence) {
            if (c == QLatin1Char('B')) {
                QTest::keyClick(keyTarget(), Qt::Key_Backspace);
            } else if (via == Via::Keys) {
                if (c == QLatin1Char('C')) QTest::keyClick(keyTarget(), Qt::Key_Escape);
                else QTest::keyClick(keyTarget(), c.toLatin1());
            } else {
                QTest::mouseClick(button(int(QStringLiteral("0123456789,C=*/+-%").indexOf(c))), Qt::LeftButton);
            }
        }
        return display();
    }

    std::unique_ptr<FrmCalculadora> calc;
};

const QString ErrorLines = "Ocorreu um Erro ao tentar Efetuar este Calculo.\rVerifique os Valores Digitados\r";
const QString ByZero = "Divisão por zero 11 Tarvel";
const QString Overflow = "Estouro de capacidade 6 Tarvel";

} // namespace

TEST_F(CalculadoraTest, Sequences) {
    const QString nines(20, QLatin1Char('9'));
    const struct Row { QString sequence, display, error = {}; } rows[] = {
        {"", "0"},
        {"1,5+2,25=", "3,75"},          // decimal comma
        {"10/3=", "3,3333"},            // four places
        {"200%10=", "20"},              // percentage
        {"2+3*4=", "20"},               // chained: 2 + 3 is done when "*" comes
        {"2+3=7", "57"},                // digits after "=" append to the result
        {"2+3==", "7"},                 // "=" again repeats the operator
        {"2+3=*2=", "10"},              // an operator after "=" starts from the result
        {"6+*3=", "18"},                // a second operator only replaces the first
        {"5-8=", "-3"},
        {"5-8=*2=", "-6"},
        {"5,,", "5,"},                  // one comma only
        {"5+,5=", "5,5"},               // a comma starts the new number
        {"007", "7"},                   // no leading zero
        {"1,23456+0=", "1,2346"},       // more than four places are rounded
        {"0,00005+0=", "0"},            // halves go to the even neighbour
        {"0,00015+0=", "0,0002"},
        {"0,0003*0,5=", "0,0002"},      // also when multiplying
        {"0-0,0003=*0,5=", "-0,0002"},  // a negative product too: its half goes to the even neighbour
        {"0-0,0005=*0,5=", "-0,0002"},
        {"0-0,0007=*0,5=", "-0,0004"},
        {"0-0,0003=*0,4=", "-0,0001"},  // not a half: the nearer neighbour
        {"0-0,0003=*0,6=", "-0,0002"},
        {"0-0,0005=%50=", "-0,0002"},   // so does the percentage of a negative amount
        {"123B", "12"},                 // Backspace
        {"7B", "0"},
        {"9+4C5=", "5"},                // clear keeps the operator, not the operands
        {"5=", "5"},                    // no operator yet: the number stays
        {"922337203685477*1=", "922337203685477"},
        {"9+1=C8/0=", "ERRO", ByZero},  // never the previous result
        {"8/0=4*2=", "8", ByZero},      // the operands were reset
        {"1/0=+5=", "5", ByZero},       // an operator on the error works from 0
        {"3/0+", "ERRO", ByZero},       // chained: the error stays
        {nines + "+2=", "2", Overflow}, // the operator's number is out of range
        {"900000000000000*900000000000000=", "0", Overflow},
        {"5-8=B", "-"},                 // a lone sign left by Backspace...
        {"5-8=B+", "0", "Tipos incompatíveis 13 Tarvel"},   // ...is no number
    };
    for (Via via : {Via::Keys, Via::Buttons}) {
        for (const Row& r : rows) {
            QList<ExpectedBox> boxes;
            if (!r.error.isEmpty()) boxes << ExpectedBox{ErrorLines + r.error};
            runScenario({r.sequence.toStdString() + (via == Via::Keys ? " typed" : " clicked"), nullptr, [&] {
                FrmCalculadora::forgetWorkingValues();
                open();
                run(r.sequence, via);
            }, boxes, {}, [&] { EXPECT_EQ(display(), r.display); }});
        }
    }
    // "ERRO" stands while the message shows, never an old result.
    ScriptedBoxes boxes;
    boxes.answerWith([this](const ShownBox&) {
        EXPECT_EQ(display(), "ERRO");
        return MsgAnswer::Ok;
    });
    run("C900000000000000*900000000000000=", Via::Keys);
}

TEST_F(CalculadoraTest, EnterEscAndTheValuesKeptBetweenOpenings) {
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
    QTest::keyClick(keyTarget(), Qt::Key_Escape);
    EXPECT_TRUE(calc->isVisible()) << "Esc clears, the window stays";
    calc->findChild<QPushButton*>("BtFechar")->click();
    EXPECT_FALSE(calc->isVisible());
    EXPECT_EQ(calc->result(), QDialog::Accepted);

    // The working values outlive the window.
    open();
    run("2+3=", Via::Buttons);
    open();
    EXPECT_EQ(display(), "0");
    EXPECT_EQ(calc->focusWidget(), button(FrmCalculadora::IgualKey));
    EXPECT_EQ(run("4=", Via::Keys), "6") << "first operand 2 and \"+\" kept";
}

// The display: yellow digits on black in bold Comic Sans MS 14.25. A key lights yellow while it is held,
// pressed with the mouse or typed, and takes the button face again when released.
TEST_F(CalculadoraTest, TheDisplayAndTheKeysHeld) {
    auto* screen = calc->findChild<QLabel*>("LblDisplay");
    const QFont f = screen->font();
    EXPECT_EQ(QString("%1 %2 %3").arg(f.family()).arg(f.pointSizeF()).arg(f.bold()), "Comic Sans MS 14.25 1");
    EXPECT_EQ(screen->palette().color(QPalette::WindowText), QColor(255, 255, 0));
    EXPECT_EQ(screen->palette().color(QPalette::Window), QColor(Qt::black));
    const QColor face = button(7)->palette().color(QPalette::Button);
    ASSERT_NE(face, QColor(255, 255, 0));
    const auto lit = [this](int index) { return button(index)->palette().color(QPalette::Button) == QColor(255, 255, 0); };
    QTest::mousePress(button(7), Qt::LeftButton);
    EXPECT_TRUE(lit(7));
    QTest::mouseRelease(button(7), Qt::LeftButton);
    EXPECT_FALSE(lit(7));
    QTest::keyPress(keyTarget(), '5');
    EXPECT_TRUE(lit(5));
    QTest::keyRelease(keyTarget(), '5');
    EXPECT_FALSE(lit(5));
    EXPECT_EQ(display(), "75");
}

TARVEL_TEST_MAIN()
