// Typing rules of text fields as one table, then the keys, the menu, the editable list, the focus style.
#include "support/modal.h"
#include "support/testmain.h"
#include "support/typing.h"
#include "store/clock.h"
#include "ui/messagebox.h"
#include "ui/textentry.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

namespace {

struct Form {
    std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
    QLineEdit* a = new QLineEdit(window.get());
    QLineEdit* b = new QLineEdit(window.get());
    QPlainTextEdit* notes = new QPlainTextEdit(window.get());
    Form() {
        auto* l = new QVBoxLayout(window.get());
        for (QWidget* w : std::initializer_list<QWidget*>{a, b, notes}) l->addWidget(w);
        window->show();
    }
};

enum How { Type, Paste, Compose, Select, Backspace, KeyText };   // KeyText: one key whose text is the whole string
enum Box { Line, Notes, Bare };   // Bare: a line edit with no rules of its own

QString text(QWidget* w) {
    if (auto* l = qobject_cast<QLineEdit*>(w)) return l->text();
    return static_cast<QPlainTextEdit*>(w)->toPlainText();
}

const QString Nul(QChar(0)), High(QChar(0xD83D)), Low(QChar(0xDE00)), Pair = High + Low;
const QString Controls = QStringLiteral("\x1b\x07\t\x7f\u202e\u2066\u0085");
const QString Emoji = QStringLiteral("\U0001F600");
const QString L39(39, QLatin1Char('L'));

} // namespace

TEST(TextEntry, WhatTypingPastingAndComposingLeaveInTheField) {
    using TE = TextEntry::Rules;
    const TE upper = TE(TextEntry::UpperCase) | TextEntry::NoApostrophe;
    struct Row {
        const char* what;
        TE rules;
        int limit;
        Box box;
        QString start;   // set by the program, caret at its end
        std::vector<std::pair<How, QString>> ops;
        QString kept;
    };
    const Row rows[] = {
        {"capitals, no apostrophe, typed", upper, 0, Line, "", {{Type, "d'ávila ç"}}, "DÁVILA Ç"},
        {"pasted", upper, 0, Line, "", {{Paste, " o'neil"}}, " ONEIL"},
        {"composed", upper, 0, Line, "", {{Compose, "ã'"}}, "Ã"},
        {"notes keep the apostrophe", TextEntry::UpperCase, 0, Notes, "", {{Type, "peça d'água"}, {Paste, "x'"}},
         "PEÇA D'ÁGUAX'"},
        {"program text is left alone", upper, 0, Line, "o'neil", {}, "o'neil"},
        {"no NUL or half character typed", TextEntry::Standard, 0, Line, "", {{Type, "a" + Nul + "b" + High + "c" + Low}},
         "ABC"},
        {"pasted", TextEntry::Standard, 0, Line, "", {{Paste, "d" + Nul + High}}, "D"},
        {"composed", TextEntry::Standard, 0, Line, "", {{Compose, Low + "e" + Nul}}, "E"},
        {"a whole pair goes in", TextEntry::Standard, 0, Line, "", {{Paste, Pair}, {Compose, Pair}}, Pair + Pair},
        {"no control pasted", TextEntry::Standard, 0, Line, "", {{Paste, "f" + Controls + "g"}}, "FG"},
        {"composed", TextEntry::Standard, 0, Line, "", {{Compose, Controls.right(3) + "h"}}, "H"},
        {"in notes", TextEntry::UpperCase, 0, Notes, "", {{Paste, "f" + Controls + "g"}}, "FG"},
        {"nor typed there, by a key that is not Tab", TextEntry::UpperCase, 0, Notes, "", {{Type, "\t" + Controls + "h\t"}},
         "H"},
        {"nor in a key's text", TextEntry::UpperCase, 0, Notes, "", {{Type, "a"}, {KeyText, "\tb\nc"}}, "AB\nC"},
        {"a line takes none in a key's text", TextEntry::Standard, 0, Line, "", {{KeyText, "d\te\n"}}, "DE"},
        {"nor a box without rules", {}, 0, Bare, "", {{KeyText, "f\tg"}}, "fg"},
        {"a line takes none composed", TextEntry::Standard, 0, Line, "", {{Compose, "a\nb"}}, "AB"},
        {"notes keep pasted line breaks", TextEntry::UpperCase, 0, Notes, "", {{Paste, "\r\nx\ry\r"}}, "\nX\nY\n"},
        {"a box without rules", {}, 0, Bare, "", {{Paste, "f" + Controls + Nul + "g"}, {Type, "a" + Nul + High}}, "fga"},
        {"money: digits and one comma", TextEntry::Money, 0, Line, "", {{Type, "2a5,5,x-/"}}, "25,5"},
        {"a point is the comma", TextEntry::Money, 0, Line, "", {{Type, "2.5.0"}}, "2,50"},
        {"a lone comma reads 0,", TextEntry::Money, 0, Line, "", {{Type, ","}, {Type, "5"}}, "0,5"},
        {"pasted too", TextEntry::Money, 0, Line, "", {{Paste, ","}}, "0,"},
        {"a comma typed over the selected comma counts it", TextEntry::Money, 0, Line, "0,5", {{Select, ","}, {Type, ","}},
         "0,5"},
        {"pasted amounts lose grouping", TextEntry::Money, 0, Line, "", {{Paste, "1.234,56"}}, "1234,56"},
        {"pasted junk is filtered", TextEntry::Money, 0, Line, "", {{Paste, "R$ 12abc,3,4"}}, "12,34"},
        {"digits only", TextEntry::DigitsOnly, 0, Line, "", {{Type, "1a2,3"}, {Paste, "4-5"}}, "12345"},
        {"typing stops at the limit", TextEntry::Standard, 5, Line, "", {{Type, "abcdefg"}}, "ABCDE"},
        {"a paste is cut to the room left", TextEntry::Standard, 5, Line, "AB", {{Paste, "xyz123"}}, "ABXYZ"},
        {"never half an emoji", TextEntry::Standard, 40, Line, "", {{Paste, L39 + Emoji}, {Compose, Emoji}}, L39},
        {"a whole one fits", TextEntry::Standard, 41, Line, "", {{Paste, L39 + Emoji + "M"}}, L39 + Emoji},
        {"nor half an accented letter", TextEntry::Standard, 5, Line, "", {{Paste, QStringLiteral("ABCDE\u0301")}}, "ABCD"},
        {"longer program text stays; deleting works", TextEntry::Standard, 5, Line, QString(7, 'N'),
         {{Type, "z"}, {Backspace, ""}}, QString(6, 'N')},
        {"a typed selection replaced fits again", TextEntry::Standard, 5, Line, QString(7, 'N'),
         {{Select, QString(7, 'N')}, {Type, "q"}}, "Q"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        Form f;
        QWidget* w = r.box == Notes ? static_cast<QWidget*>(f.notes) : r.box == Line ? f.a : f.b;
        if (r.box != Bare) TextEntry::attach(w, r.rules);
        if (r.limit) TextEntry::setTypingLimit(w, r.limit);
        f.a->setText(r.start);
        for (const auto& [how, s] : r.ops) {
            switch (how) {
            case Type: Typing::type(w, s); break;
            case Paste: Typing::paste(w, s); break;
            case Compose: Typing::inputMethod(w, s); break;
            case Select: f.a->setSelection(int(f.a->text().indexOf(s)), int(s.size())); break;
            case Backspace: Typing::key(w, Qt::Key_Backspace); break;
            case KeyText:
                if (!w->hasFocus()) Typing::focus(w);
                QTest::sendKeyEvent(QTest::Press, w, Qt::Key_unknown, s, Qt::NoModifier);
                break;
            }
        }
        EXPECT_EQ(text(w), r.kept);
    }
}

TEST(TextEntry, TheKeysTheMenuAndTheFocusColours) {
    Form f;
    // In notes F5 and F6 stamp the date and time, Enter is a new line.
    TextEntry::attach(f.a, TextEntry::Standard);
    Clock::set(QDateTime(QDate(2008, 5, 17), QTime(9, 5, 7)));
    TextEntry::attach(f.notes, TextEntry::UpperCase | TextEntry::DateTimeKeys);
    Typing::type(f.notes, "ok");
    Typing::key(f.notes, Qt::Key_F5);
    Typing::key(f.notes, Qt::Key_F6);
    Typing::key(f.notes, Qt::Key_Return);
    EXPECT_EQ(f.notes->toPlainText(), "OK (17/05/2008) (09:05:07)\n");
    Clock::set(QDateTime());

    // Esc stays the window's key in a field with rules: it cancels an input box, whose Enter gives the typed text.
    BoxHook* hook = setBoxHook(nullptr);   // the real box
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        ModalScript box([key](QWidget* dlg) {
            auto* field = dlg->findChild<QLineEdit*>();
            Typing::type(field, "d'x");
            Typing::key(field, key);
            EXPECT_FALSE(dlg->isVisible()) << key;
        });
        const auto typed = InputBox("Nome:", "Teste", {}, TextEntry::UpperCase | TextEntry::NoApostrophe);
        EXPECT_EQ(typed, key == Qt::Key_Escape ? std::nullopt : std::optional<QString>("DX"));
    }
    setBoxHook(hook);

    // The context menu, in Portuguese, pastes through the rules.
    QGuiApplication::clipboard()->setText("d'x");
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(2, 2), f.a->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(f.a, &menuEvent);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    QAction* pasteAction = nullptr;
    for (QAction* a : menu->actions())
        if (a->text().remove(QLatin1Char('&')).startsWith("Colar")) pasteAction = a;
    ASSERT_NE(pasteAction, nullptr);
    pasteAction->trigger();
    menu->close();
    EXPECT_EQ(f.a->text(), QStringLiteral("DX"));

    // An editable list keeps the rules of its line edit while it has the focus.
    auto* list = new QComboBox(f.window.get());
    list->setEditable(true);
    f.window->layout()->addWidget(list);
    QWidget::setTabOrder(list, f.b);
    TextEntry::attach(list->lineEdit(), TextEntry::NoApostrophe | TextEntry::EnterMovesNext);
    Typing::type(list, "ab'c");
    EXPECT_EQ(list->currentText(), QStringLiteral("abc"));
    Typing::key(list, Qt::Key_Return);
    EXPECT_TRUE(f.b->hasFocus());

    // The focus style is set on entering and undone on leaving.
    const QColor base = f.a->palette().color(QPalette::Base);
    TextEntry::setFocusStyle(f.a, {TextEntry::toolTipBase(), QColor(), true, nullptr, QColor()});
    Typing::focus(f.a);
    EXPECT_EQ(f.a->palette().color(QPalette::Base), TextEntry::toolTipBase());
    EXPECT_TRUE(f.a->font().bold());
    Typing::focus(f.b);
    EXPECT_EQ(f.a->palette().color(QPalette::Base), base);
    EXPECT_FALSE(f.a->font().bold());
}

TARVEL_TEST_MAIN()
