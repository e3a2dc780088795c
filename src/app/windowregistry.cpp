#include "windowregistry.h"

#include "ui/windowhost.h"

#include <QDialog>
#include <QHash>

namespace WindowRegistry {

namespace {
QHash<QString, Entry>& entries() {
    static QHash<QString, Entry> e;
    return e;
}
}

void add(Entry entry) {
    const QString name = entry.name;
    entries().insert(name, std::move(entry));
}

void clear() { entries().clear(); }

const Entry* find(const QString& name) {
    auto it = entries().constFind(name);
    return it == entries().constEnd() ? nullptr : &it.value();
}

bool showModal(const QString& name) {
    const Entry* e = find(name);
    if (!e || e->kind != WindowKind::Modal) return false;
    // Modal windows are dialogs: the window host runs and deletes them.
    QWidget* w = e->make();
    auto* d = qobject_cast<QDialog*>(w);
    Q_ASSERT(!w || d);
    if (d) WindowHost::showModal(d);
    return true;
}

}
