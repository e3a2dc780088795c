#include "windowregistry.h"

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

}
