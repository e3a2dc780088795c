#pragma once

#include <QMetaObject>
#include <QString>
#include <QWidget>
#include <functional>

// The windows the main window opens from its menus and toolbar, by name
// ("FrmClientes", "FrmNvCliente", "frmCalend"...). A window's area registers
// it once at start-up; the main window's entry for it stays disabled until
// then.
enum class WindowKind {
    List,    // a single-instance child window of the main window (the lists)
    Modal,   // a dialog shown modally; made anew each time
    Free     // a single-instance ordinary window beside the main window
};

namespace WindowRegistry {

struct Entry {
    QString name;
    WindowKind kind = WindowKind::Modal;
    const QMetaObject* type = nullptr;     // lists: tells the open instance
    std::function<QWidget*()> make;
};

void add(Entry entry);
// Registers a window class W made with its default constructor.
template <class W> void add(const QString& name, WindowKind kind) {
    add(Entry{name, kind, &W::staticMetaObject, [] { return static_cast<QWidget*>(new W); }});
}
void clear();
// nullptr when the name is not registered.
const Entry* find(const QString& name);
// Makes a registered modal window and shows it modally (WindowHost::showModal);
// false when the name is not registered as a modal window.
bool showModal(const QString& name);

}
