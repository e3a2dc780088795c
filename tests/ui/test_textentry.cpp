// Typing rules of text fields: capitals, apostrophe, money and digits,
// typing limit, Enter, F5/F6 stamps and focus colours.
#include "support/testmain.h"
#include "support/typing.h"
#include "store/clock.h"
#include "ui/textentry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QMenu>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>

namespace {

struct Form {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLineEdit* a = new QLineEdit(window.get());
    QLineEdit* b = new QLineEdit(window.get());
    QPlainTextEdit* notes = new QPlainTextEdit(window.get());
    QLabel* label = new QLabel("Nome", window.get());
    Form() {
        auto* l = new QVBoxLayout(window.get());
        l->addWidget(label);
        l->addWidget(a);
        l->addWidget(b);
        l->addWidget(notes);
        window->show();
    }
};

} // namespace

TEST(TextEntry, AnEditableListKeepsTheRulesOfItsLineEdit) {
    Form f;
    auto* list = new QComboBox(f.window.get());
    list->setEditable(true);
    f.window->layout()->addWidget(list);
    QWidget::setTabOrder(list, f.b);
    TextEntry::attach(list->lineEdit(), TextEntry::NoApostrophe | TextEntry::EnterMovesNext);
    Typing::type(list, "ab'c");           // typed while the list has the focus
    EXPECT_EQ(list->currentText(), QStringLiteral("abc"));
    Typing::key(list, Qt::Key_Return);
    EXPECT_TRUE(f.b->hasFocus());
}

TEST(TextEntry, CapitalsAndApostropheTypedPastedOrComposed) {
    Form f;
    TextEntry::attach(f.a, TextEntry::UpperCase | TextEntry::NoApostrophe);
    Typing::type(f.a, "d'ávila ç");
    EXPECT_EQ(f.a->text(), QStringLiteral("DÁVILA Ç"));
    Typing::paste(f.a, " o'neil");
    EXPECT_EQ(f.a->text(), QStringLiteral("DÁVILA Ç ONEIL"));
    Typing::inputMethod(f.a, "ã'");
    EXPECT_EQ(f.a->text(), QStringLiteral("DÁVILA Ç ONEILÃ"));
    // The context menu's paste goes through the same rules.
    QGuiApplication::clipboard()->setText("d'x");
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), f.a->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(f.a, &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    // The menu is in Portuguese: Qt's translation is loaded.
    QAction* pasteAction = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().remove(QLatin1Char('&')).startsWith("Colar")) pasteAction = a;
    ASSERT_NE(pasteAction, nullptr);
    pasteAction->trigger();
    menu->close();
    EXPECT_EQ(f.a->text(), QStringLiteral("DÁVILA Ç ONEILÃDX"));

    // Notes keep the apostrophe when only capitals are asked for.
    TextEntry::attach(f.notes, TextEntry::UpperCase);
    Typing::type(f.notes, "peça d'água");
    EXPECT_EQ(f.notes->toPlainText(), QStringLiteral("PEÇA D'ÁGUA"));
    Typing::paste(f.notes, "x'");
    EXPECT_EQ(f.notes->toPlainText(), QStringLiteral("PEÇA D'ÁGUAX'"));

    // Text set by the program is left alone.
    f.a->setText("o'neil");
    EXPECT_EQ(f.a->text(), "o'neil");
}

// A NUL, a lone surrogate, a control character (ESC, BEL, TAB, DEL) or a
// direction control never gets into a field, with rules or without, however
// it comes; a whole surrogate pair (a character beyond the first plane) does,
// and a field of several lines keeps the line breaks pasted into it.
TEST(TextEntry, NoControlOrHalfCharacterGetsIn) {
    Form f;
    TextEntry::attach(f.a, TextEntry::Standard);
    TextEntry::attach(f.notes, TextEntry::UpperCase);
    const QString nul(QChar(0));
    const QString high(QChar(0xD83D)), low(QChar(0xDE00));
    const QString pair = high + low;
    const QString controls = QStringLiteral("\x1b\x07\t\x7f\u202e\u2066\u0085");
    for (QWidget* w : {static_cast<QWidget*>(f.a), static_cast<QWidget*>(f.notes), static_cast<QWidget*>(f.b)}) {
        Typing::type(w, "a" + nul + "b" + high + "c" + low);
        Typing::paste(w, "d" + nul + high);
        Typing::inputMethod(w, low + "e" + nul);
        Typing::paste(w, pair);
        Typing::paste(w, "f" + controls + "g");
        Typing::inputMethod(w, controls.right(3) + "h");
    }
    EXPECT_EQ(f.a->text(), "ABCDE" + pair + "FGH");
    EXPECT_EQ(f.notes->toPlainText(), "ABCDE" + pair + "FGH");
    EXPECT_EQ(f.b->text(), "abcde" + pair + "fgh");
    Typing::paste(f.notes, "\r\nx\ry\r\n");
    EXPECT_EQ(f.notes->toPlainText(), "ABCDE" + pair + "FGH\nX\nY\n");
}

TEST(TextEntry, MoneyTakesOneCommaAndNoLetters) {
    Form f;
    TextEntry::attach(f.a, TextEntry::Money);
    Typing::type(f.a, "2a5,5,x-/");
    EXPECT_EQ(f.a->text(), "25,5");
    // "." becomes the comma, refused here because there is one already.
    Typing::type(f.a, ".0");
    EXPECT_EQ(f.a->text(), "25,50");

    f.a->clear();
    Typing::type(f.a, ",");
    EXPECT_EQ(f.a->text(), "0,");
    Typing::type(f.a, "5");
    EXPECT_EQ(f.a->text(), "0,5");
    // A comma typed over the selected comma counts it: refused.
    f.a->setSelection(1, 1);
    Typing::type(f.a, ",");
    EXPECT_EQ(f.a->text(), "0,5");

    // Pasted amounts lose grouping dots; pasted junk is filtered.
    f.a->clear();
    Typing::paste(f.a, "1.234,56");
    EXPECT_EQ(f.a->text(), "1234,56");
    f.a->clear();
    Typing::paste(f.a, "R$ 12abc,3,4");
    EXPECT_EQ(f.a->text(), "12,34");

    TextEntry::attach(f.b, TextEntry::DigitsOnly);
    Typing::type(f.b, "1a2,3");
    Typing::paste(f.b, "4-5");
    EXPECT_EQ(f.b->text(), "12345");
}

TEST(TextEntry, TypingLimitNeverCutsProgramText) {
    Form f;
    TextEntry::attach(f.a, TextEntry::Standard);
    TextEntry::setTypingLimit(f.a, 5);
    Typing::type(f.a, "abcdefg");
    EXPECT_EQ(f.a->text(), "ABCDE");
    // Pasted text is cut to the room left.
    f.a->setText("AB");
    f.a->end(false);
    Typing::paste(f.a, "xyz123");
    EXPECT_EQ(f.a->text(), "ABXYZ");

    // What does not fit whole stays out: never half a character.
    const QString emoji = QStringLiteral("\U0001F600");
    struct Cut {
        int limit;
        QString pasted;
        QString kept;
    };
    for (const Cut& c : {Cut{40, QString(39, QLatin1Char('L')) + emoji, QString(39, QLatin1Char('L'))},
                         Cut{41, QString(39, QLatin1Char('L')) + emoji + "M", QString(39, QLatin1Char('L')) + emoji},
                         Cut{5, QStringLiteral("ABCDE\u0301"), QStringLiteral("ABCD")}}) {
        TextEntry::setTypingLimit(f.a, c.limit);
        f.a->clear();
        Typing::paste(f.a, c.pasted);
        EXPECT_EQ(f.a->text(), c.kept) << c.limit;
        Typing::inputMethod(f.a, emoji);
        EXPECT_EQ(f.a->text(), c.kept) << c.limit;
    }
    TextEntry::setTypingLimit(f.a, 5);

    // A longer text set by the program stays whole; typing adds nothing,
    // deleting still works.
    const QString stored = QString(40, QLatin1Char('N'));
    f.a->setText(stored);
    f.a->end(false);
    Typing::type(f.a, "z");
    EXPECT_EQ(f.a->text(), stored);
    Typing::key(f.a, Qt::Key_Backspace);
    EXPECT_EQ(f.a->text().size(), 39);
    // Replacing a selection by typing fits again.
    f.a->selectAll();
    Typing::type(f.a, "q");
    EXPECT_EQ(f.a->text(), "Q");
}

TEST(TextEntry, EnterMovesOnAndF5F6StampTheNotes) {
    Form f;
    TextEntry::attach(f.a, TextEntry::Standard);
    Typing::focus(f.a);
    Typing::key(f.a, Qt::Key_Return);
    EXPECT_TRUE(f.b->hasFocus());

    Clock::set(QDateTime(QDate(2008, 5, 17), QTime(9, 5, 7)));
    TextEntry::attach(f.notes, TextEntry::UpperCase | TextEntry::DateTimeKeys);
    Typing::type(f.notes, "ok");
    Typing::key(f.notes, Qt::Key_F5);
    Typing::key(f.notes, Qt::Key_F6);
    Typing::key(f.notes, Qt::Key_Return);  // a new line in notes
    EXPECT_EQ(f.notes->toPlainText(), "OK (17/05/2008) (09:05:07)\n");
    Clock::set(QDateTime());
}

TEST(TextEntry, FocusColoursAreSetAndRestored) {
    Form f;
    const QColor base = f.a->palette().color(QPalette::Base);
    const QColor labelText = f.label->palette().color(QPalette::WindowText);
    TextEntry::setFocusStyle(f.a, {TextEntry::toolTipBase(), QColor(), true, f.label, QColor(255, 0, 0)});
    Typing::focus(f.a);
    EXPECT_EQ(f.a->palette().color(QPalette::Base), TextEntry::toolTipBase());
    EXPECT_TRUE(f.a->font().bold());
    EXPECT_EQ(f.label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    Typing::focus(f.b);
    EXPECT_EQ(f.a->palette().color(QPalette::Base), base);
    EXPECT_FALSE(f.a->font().bold());
    EXPECT_EQ(f.label->palette().color(QPalette::WindowText), labelText);
}

TARVEL_TEST_MAIN()
