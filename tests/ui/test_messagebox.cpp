// Message boxes, error messages and the reading and writing of numbers, dates and times.
#include "support/scriptedboxes.h"
#include "support/testmain.h"
#include "store/dberror.h"
#include "ui/errormessage.h"
#include "ui/messagebox.h"
#include "ui/numbers.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

TEST(MessageBox, RealBoxShowsPortugueseButtonsAndLineBreaks) {
    BoxHook* saved = setBoxHook(nullptr);
    QStringList seen;   // the text, the default button, the buttons
    QTimer::singleShot(0, [&] {
        auto* mb = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(mb, nullptr);
        seen << mb->text() << (mb->defaultButton() ? mb->defaultButton()->text() : QString());
        for (QAbstractButton* b : mb->buttons()) seen << b->text();
        for (QAbstractButton* b : mb->buttons())
            if (b->text() == "Sim") b->click();
    });
    const MsgAnswer a = MsgBox("Linha 1\rLinha 2", MsgButtons::YesNoCancel, MsgIcon::Exclamation, MsgAnswer::No);
    setBoxHook(saved);
    EXPECT_EQ(a, MsgAnswer::Yes);
    std::sort(seen.begin() + 2, seen.end());
    EXPECT_EQ(seen, QStringList({"Linha 1\nLinha 2", "Não", "Cancelar", "Não", "Sim"}));
}

TEST(ErrorMessage, ShowsTheLinesThenNumberDescriptionAndSource) {
    const DbError err(3022, "Valor duplicado no índice", "DAO.Recordset");
    const std::exception& asStd = err;   // caught as std::exception, it keeps its fields
    EXPECT_EQ(ErrorInfo::from(asStd).format("%2__ERRO: %1"), QStringLiteral("Valor duplicado no índice__ERRO: 3022"));
    EXPECT_EQ((ErrorInfo{5, "50%1 x", "S"}.format("%1 %2 %3")), "5 50%1 x S");   // "%1" in a description stays
    const ErrorInfo other = ErrorInfo::from(std::runtime_error("falhou"));
    EXPECT_EQ(other.format("%1 %2 %3"), "0 falhou Tarvel");

    ScriptedBoxes boxes;
    boxes.answer(MsgAnswer::Ok);
    ShowError({"Linha um!", "Linha dois"}, ErrorInfo::from(err), "%1_%2_%3", "Configurações Tarvel");
    ASSERT_EQ(boxes.log().size(), 1);
    EXPECT_EQ(boxes.log()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(boxes.log()[0].title, QStringLiteral("Configurações Tarvel"));
    EXPECT_EQ(boxes.log()[0].text, "Linha um!\rLinha dois\r3022_Valor duplicado no índice_DAO.Recordset");
}

TEST(Numbers, ReadingAndWritingInBrazilianFormats) {
    const struct { const char* text; double number; qint64 integer; } leading[] = {{"", 0, 0},          {"12abc", 12, 12},    {"  -3.5x", -3.5, -3}, {"1,5", 1, 1},
                   {"abc", 0, 0},       {"+.5", 0.5, 0},      {"12.9", 12.9, 12},    {"-7 dias", -7, -7},
                   {"9223372036854775808", 9223372036854775808.0, std::numeric_limits<qint64>::max()},
                   {"99999999999999999999999", 1e23, std::numeric_limits<qint64>::max()}};
    for (const auto& c : leading) {
        EXPECT_DOUBLE_EQ(Numbers::leadingNumber(c.text), c.number) << c.text;
        EXPECT_EQ(Numbers::leadingInteger(c.text), c.integer) << c.text;
    }
    EXPECT_EQ(Numbers::plain(Currency::fromRaw(255000)), "25,5");
    EXPECT_EQ(Numbers::plain(Currency::fromRaw(-1)), "-0,0001");
    EXPECT_EQ(Numbers::plain(Currency::fromRaw(30000)), "3");
    EXPECT_EQ(Numbers::plain(0.1 + 0.2), "0,3");
    EXPECT_EQ(Numbers::fixed(-0.001), "0,00");
    EXPECT_EQ(Numbers::longDate(QDate(2025, 12, 6)), QStringLiteral("sábado, 6 de dezembro de 2025"));
    EXPECT_EQ(Numbers::dateValue("7/5/2008"), QDate(2008, 5, 7));
    EXPECT_EQ(Numbers::dateValue("31/12/29"), QDate(2029, 12, 31));
    EXPECT_EQ(Numbers::dateValue("1/1/30"), QDate(1930, 1, 1));
    EXPECT_EQ(Numbers::dateValue("31/02/2008"), std::nullopt);
    EXPECT_EQ(Numbers::timeValue("9:05"), QTime(9, 5));
    EXPECT_EQ(Numbers::timeValue("25:00"), std::nullopt);
}

TARVEL_TEST_MAIN()
