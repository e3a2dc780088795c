#pragma once

// A window driven through its scenarios as one table: each step acts on the
// window, names the message and input boxes it must show (in order, each
// answered) and, optionally, the rows a query must then read.
//
//   Scenario::run({
//       {"two letters are no name", [&] { Scenario::setText(name, "AN"); Scenario::click(w, "BtSalvar"); },
//        {Scenario::ok("Obrigatório o Preenchimento do Nome")}, "SELECT COUNT(*) FROM TblRetirada", "0"},
//   });
//
// A step that shows a box it does not name, or leaves one unshown, fails.
#include "support/fixture.h"
#include "support/modal.h"
#include "support/testmain.h"
#include "ui/messagebox.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Scenario {

// A box a step must show: the answer given and a part of its text (input
// boxes: the text typed, nullopt for Cancel, and a part of the prompt).
struct Box {
    bool input = false;
    MsgAnswer answer = MsgAnswer::Ok;
    std::optional<QString> typed;
    QString text;
};
inline Box ok(const QString& text = {}) { return {false, MsgAnswer::Ok, std::nullopt, text}; }
inline Box yes(const QString& text = {}) { return {false, MsgAnswer::Yes, std::nullopt, text}; }
inline Box no(const QString& text = {}) { return {false, MsgAnswer::No, std::nullopt, text}; }
inline Box input(std::optional<QString> typed, const QString& prompt = {}) { return {true, MsgAnswer::Ok, typed, prompt}; }

struct Step {
    QString name;
    std::function<void()> act;
    std::vector<Box> boxes = {};
    QString query = {};      // read after the step; empty: none
    QString expected = {};   // its rows, see rows()
    QString focus = {};      // the object name of the widget that must then have the focus; empty: any
};

// Runs the steps in order, each with its own scripted boxes.
void run(const std::vector<Step>& steps);

// The rows a query reads on the program's database, each row's values joined
// by "|" (NULL as empty), the rows joined by ",".
QString rows(const QString& sql, const QVariantList& params = {});
// Runs statements the store's dialect does not take (triggers, views).
void raw(const QString& sql);
// Runs statements through a connection of its own, as another copy writes.
void elsewhere(const QString& sql);

// Acts on a window's widgets by object name, in order, as the operator
// would; the actions are separated by ";":
//   "Txt(0)=ana"     replaces the box's text by typing "ana" ("Txt(0)=" empties it)
//   "Txt(3)+=X"      types "X" at the end of the box's text
//   "Txt(0)@Return"  presses a key in the widget (Return, Escape)
//   "BtSalvar"       clicks a button (radio buttons and check boxes too)
void perform(QWidget* window, const QString& actions);
// The object name of the widget that has the focus.
QString focusName();

// Widgets by object name; a missing one fails the test.
QWidget* child(QWidget* parent, const QString& name);
template <class T> T* child(QWidget* parent, const QString& name) { return qobject_cast<T*>(child(parent, name)); }
void click(QWidget* parent, const QString& button);
// Replaces a text box's text (line or multi-line box) by typing.
void setText(QWidget* box, const QString& text);
QString text(QWidget* box);
// The lines of a list widget, joined by ",".
QString lines(QWidget* parent, const QString& list);

// A test driving one window at a time in its own program folder: open()
// makes and shows a new window (the last one going first), act() performs
// actions on it (see perform()).
struct WindowTest : ProgramFolderTest {
    template <class W> W* open(const QString& actions = {}) {
        window.reset();
        auto* w = new W;
        window.reset(w);
        w->show();
        perform(w, actions);
        return w;
    }
    void act(const QString& actions) { perform(window.get(), actions); }
    QString shown(const QString& name) { return text(child(window.get(), name)); }
    bool enabled(const QString& name) { return child(window.get(), name)->isEnabled(); }
    void TearDown() override {
        window.reset();
        ProgramFolderTest::TearDown();
    }
    std::unique_ptr<QWidget> window;
};

}
