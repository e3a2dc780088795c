// Message boxes, input boxes, error messages and the reading of numbers.
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "store/dberror.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

TEST(MessageBox, ScriptedAnswersAreLoggedWithWhatWasShown) {
    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::No, "Encerrar").input(QStringLiteral("brastemp")).input(std::nullopt);

    EXPECT_EQ(MsgBox("Deseja Realmente Encerrar o Sistema?", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No,
                     "Encerrar Programa"),
              MsgAnswer::No);
    EXPECT_EQ(InputBox("Digite o Nome da Marca"), std::optional<QString>("brastemp"));
    EXPECT_EQ(InputBox("Digite o Nome da Marca"), std::nullopt);

    ASSERT_EQ(boxes.log().size(), 3);
    const ShownBox& first = boxes.log()[0];
    EXPECT_EQ(first.title, "Encerrar Programa");
    EXPECT_EQ(first.icon, MsgIcon::Question);
    EXPECT_EQ(first.buttons, MsgButtons::YesNo);
    EXPECT_EQ(first.defaultButton, MsgAnswer::No);
    // Untitled boxes carry the program's title.
    EXPECT_EQ(boxes.log()[1].title, "Tarvel");
    EXPECT_EQ(boxes.log()[1].kind, ShownBox::Kind::Input);
}

TEST(MessageBox, UnscriptedBoxFailsAtOnceWithTheDefaultAnswer) {
    ScriptedBoxes boxes(/*reportFailures=*/false);
    // No script: answered at once with the default button, counted as a failure.
    EXPECT_EQ(MsgBox("Excluir?", MsgButtons::YesNo, MsgIcon::Question, MsgAnswer::No), MsgAnswer::No);
    EXPECT_EQ(MsgBox("Pronto"), MsgAnswer::Ok);
    EXPECT_EQ(InputBox("Nome"), std::nullopt);
    EXPECT_EQ(boxes.failures(), 3);
    // A scripted input where a message box comes is a failure too.
    boxes.input(QStringLiteral("X"));
    EXPECT_EQ(MsgBox("Outra", MsgButtons::OkCancel, MsgIcon::None, MsgAnswer::Cancel), MsgAnswer::Cancel);
    EXPECT_EQ(boxes.failures(), 4);
}

TEST(MessageBox, RealBoxShowsPortugueseButtonsAndLineBreaks) {
    // Without a hook the real box is shown; it is answered from a timer.
    BoxHook* saved = setBoxHook(nullptr);
    QString text, title;
    QStringList captions;
    QString defaultCaption;
    QTimer::singleShot(0, [&] {
        auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(mb, nullptr);
        text = mb->text();
        title = mb->windowTitle();
        for (QAbstractButton* b : mb->buttons()) captions << b->text();
        defaultCaption = mb->defaultButton() ? mb->defaultButton()->text() : QString();
        for (QAbstractButton* b : mb->buttons())
            if (b->text() == "Sim") b->click();
    });
    const MsgAnswer a = MsgBox("Linha 1\rLinha 2", MsgButtons::YesNoCancel, MsgIcon::Exclamation, MsgAnswer::No);
    setBoxHook(saved);
    EXPECT_EQ(a, MsgAnswer::Yes);
    EXPECT_EQ(text, "Linha 1\nLinha 2");
    EXPECT_EQ(title, "Tarvel");
    captions.sort();
    EXPECT_EQ(captions, QStringList({"Cancelar", "Não", "Sim"}));
    EXPECT_EQ(defaultCaption, QStringLiteral("Não"));
}

TEST(ErrorMessage, FormatsNumberDescriptionAndSource) {
    const DbError err(3022, "Valor duplicado no índice", "DAO.Recordset");
    const ErrorInfo info = ErrorInfo::from(err);
    EXPECT_EQ(info.format("%1_%2_%3"), QStringLiteral("3022_Valor duplicado no índice_DAO.Recordset"));
    EXPECT_EQ(info.format("%2__ERRO: %1"), QStringLiteral("Valor duplicado no índice__ERRO: 3022"));
    // A description holding "%1" is left as it is.
    EXPECT_EQ((ErrorInfo{5, "50%1 x", "S"}.format("%1 %2 %3")), "5 50%1 x S");

    // A DbError caught as std::exception keeps its fields.
    const std::exception& asStd = err;
    EXPECT_EQ(ErrorInfo::from(asStd).number, 3022);
    const ErrorInfo other = ErrorInfo::from(std::runtime_error("falhou"));
    EXPECT_EQ(other.number, 0);
    EXPECT_EQ(other.source, "Tarvel");

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok);
    ShowError({"Ocorreu um Erro ao tentar Cadastrar esta Marca de Aparelho!",
               "Se o Problema persistir, Contacte o Suporte Técnico"},
              info, "%1_%2_%3", "Configurações Tarvel");
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[0].title, QStringLiteral("Configurações Tarvel"));
    EXPECT_EQ(boxes.log()[0].text,
              "Ocorreu um Erro ao tentar Cadastrar esta Marca de Aparelho!\r"
              "Se o Problema persistir, Contacte o Suporte Técnico\r"
              "3022_Valor duplicado no índice_DAO.Recordset");
}

TEST(Numbers, LeadingNumberStopsAtTheFirstOtherCharacter) {
    EXPECT_EQ(Numbers::leadingNumber(""), 0.0);
    EXPECT_EQ(Numbers::leadingNumber("12abc"), 12.0);
    EXPECT_EQ(Numbers::leadingNumber("  -3.5x"), -3.5);
    EXPECT_EQ(Numbers::leadingNumber("1,5"), 1.0);
    EXPECT_EQ(Numbers::leadingNumber("abc"), 0.0);
    EXPECT_EQ(Numbers::leadingNumber("+.5"), 0.5);
    EXPECT_EQ(Numbers::leadingInteger("1234"), 1234);
    EXPECT_EQ(Numbers::leadingInteger("12.9"), 12);
    EXPECT_EQ(Numbers::leadingInteger("-7 dias"), -7);
    EXPECT_EQ(Numbers::leadingInteger("99999999999999999999999"), std::numeric_limits<qint64>::max());
}

TEST(Numbers, CurrencyReadingAndFormats) {
    EXPECT_EQ(Numbers::currencyValue("25,5"), Currency::fromRaw(255000));
    EXPECT_EQ(Numbers::currencyValue(" 1.234,5678 "), Currency::fromRaw(12345678));
    EXPECT_EQ(Numbers::currencyValue(""), std::nullopt);
    EXPECT_EQ(Numbers::currencyValue("12a"), std::nullopt);
    EXPECT_EQ(Numbers::currencyValue("1,2,3"), std::nullopt);
    const Currency c = Currency::fromRaw(12345600);
    EXPECT_EQ(Numbers::fixed(c), "1234,56");
    EXPECT_EQ(Numbers::currencyText(c), "R$ 1.234,56");
    EXPECT_EQ(Numbers::plain(Currency::fromRaw(255000)), "25,5");
    EXPECT_EQ(Numbers::plain(Currency::fromRaw(-1)), "-0,0001");
    EXPECT_EQ(Numbers::plain(2.0 * 12.75), "25,5");
    EXPECT_EQ(Numbers::plain(0.1 + 0.2), "0,3");
    EXPECT_EQ(Numbers::fixed(3.0), "3,00");
}

TEST(Numbers, BrazilianDatesAndTimes) {
    EXPECT_EQ(Numbers::shortDate(QDate(2008, 5, 7)), "07/05/2008");
    EXPECT_EQ(Numbers::longDate(QDate(2025, 12, 6)), QStringLiteral("sábado, 6 de dezembro de 2025"));
    EXPECT_EQ(Numbers::timeText(QTime(9, 5, 3)), "09:05:03");
    EXPECT_EQ(Numbers::dateValue("7/5/2008"), QDate(2008, 5, 7));
    EXPECT_EQ(Numbers::dateValue("31/12/08"), QDate(2008, 12, 31));
    EXPECT_EQ(Numbers::dateValue("31/02/2008"), std::nullopt);
    EXPECT_EQ(Numbers::timeValue("9:05"), QTime(9, 5));
    EXPECT_EQ(Numbers::timeValue("25:00"), std::nullopt);
}

TARVEL_TEST_MAIN()
