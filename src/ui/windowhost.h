#pragma once

#include <QDialog>
#include <QTimer>
#include <functional>
#include <utility>

class QMdiArea;

// Hosting of the program's windows.
//
// List windows are single-instance child windows of the main window's
// QMdiArea. Opening a list that is open activates it; closing it (its own
// close(), BtFechar, the close box) deletes it (Qt::WA_DeleteOnClose), so its
// record cursors, owned by the window, are released. Without an MDI area (in
// tests) lists are top-level windows with the same single-instance rule.
namespace WindowHost {

void setMdiArea(QMdiArea* area);
QMdiArea* mdiArea();

// The open instance of a list window, or nullptr.
QWidget* findList(const QMetaObject& type);
template <class W> W* findList() { return static_cast<W*>(findList(W::staticMetaObject)); }

// Adds a newly made window as a list: delete on close, MDI child when there is
// an area. Not shown yet.
void adopt(QWidget* window);
// Shows (or activates) a list window.
void showList(QWidget* window);

// Loads a list window of the given type when it is not open (not shown):
// make() builds it and it is adopted. make() may return nullptr (a window
// that could not load): nothing is adopted and nullptr is returned.
// Returns the open instance.
QWidget* loadList(const QMetaObject& type, const std::function<QWidget*()>& make);
// Opens a list window: loads it when needed and shows/activates it.
QWidget* openList(const QMetaObject& type, const std::function<QWidget*()>& make);

// The same for a window class W, made by its default constructor unless a
// maker is given (e.g. a static W* W::create()).
template <class W> W* loadList(const std::function<W*()>& make = [] { return new W; }) {
    return static_cast<W*>(loadList(W::staticMetaObject, [&make]() -> QWidget* { return make(); }));
}
template <class W> W* openList(const std::function<W*()>& make = [] { return new W; }) {
    return static_cast<W*>(openList(W::staticMetaObject, [&make]() -> QWidget* { return make(); }));
}
// Closes a list window when it is open (an ordinary close; no question asked
// unless the window asks itself). Returns false when the window refused.
// A closed window is gone when this returns: its record cursors have let the
// database go.
bool closeList(const QMetaObject& type);
template <class W> bool closeList() { return closeList(W::staticMetaObject); }
// Closes every list window the same way; false when one refused.
bool closeAllLists();

// A window just made whose loading failed (loadFailed()) is deleted and
// nullptr returned; a loaded one is returned as it is.
template <class W> W* keepIfLoaded(W* window) {
    if (!window->loadFailed()) return window;
    delete window;
    return nullptr;
}

// The parent for a modal dialog: the active window, else the main window.
QWidget* dialogParent();

// Shows a dialog modally (parented to dialogParent() when it has no parent),
// deletes it afterwards and returns exec()'s result.
int showModal(QDialog* dialog);
template <class D, class... Args> int showModal(Args&&... args) {
    return showModal(new D(std::forward<Args>(args)...));
}

}

// A window's timer, named like the window's other widgets ("Timer1").
// A one-shot timer stops itself before running its handler; fire() runs the
// handler at once the same way (tests, or a window that must not wait).
class WindowTimer : public QTimer {
    Q_OBJECT
public:
    WindowTimer(QObject* owner, const QString& name, int intervalMs, bool oneShot,
                std::function<void()> handler);
    void fire();
    // enabled + interval in one, as the windows use them.
    void setEnabled(bool on) { on ? start() : stop(); }
    bool isEnabled() const { return isActive(); }

private:
    std::function<void()> m_handler;
};

// The hourglass pointer while a long operation runs; the normal pointer is
// restored when the guard ends, on every way out (return, exception).
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    // Restores the pointer before the guard ends (e.g. before a message).
    void release();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_active = true;
};
