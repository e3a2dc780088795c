#include "typing.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

namespace Typing {

void focus(QWidget* w) {
    QWidget* win = w->window();
    if (!win->isVisible()) win->show();
    win->activateWindow();
    QApplication::setActiveWindow(win);
    w->setFocus(Qt::OtherFocusReason);
    QApplication::processEvents();
}

void type(QWidget* w, const QString& text) {
    if (!w->hasFocus()) focus(w);
    for (QChar c : text) {
        const Qt::Key code = c.isLetterOrNumber() || c.unicode() < 0x7f
                                 ? Qt::Key(c.toUpper().unicode())
                                 : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, w, code, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, w, code, QString(c), Qt::NoModifier);
    }
    QApplication::processEvents();
}

void key(QWidget* w, Qt::Key k, Qt::KeyboardModifiers mods) {
    if (!w->hasFocus()) focus(w);
    QTest::keyClick(w, k, mods);
    QApplication::processEvents();
}

void paste(QWidget* w, const QString& text) {
    QGuiApplication::clipboard()->setText(text);
    key(w, Qt::Key_V, Qt::ControlModifier);
}

void inputMethod(QWidget* w, const QString& text) {
    if (!w->hasFocus()) focus(w);
    QInputMethodEvent ev;
    ev.setCommitString(text);
    QApplication::sendEvent(w, &ev);
    QApplication::processEvents();
}

}
