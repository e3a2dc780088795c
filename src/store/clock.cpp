#include "clock.h"

namespace {
QDateTime g_fixed;
}

namespace Clock {
QDateTime now() { return g_fixed.isValid() ? g_fixed : QDateTime::currentDateTime(); }
QDate today() { return now().date(); }
QTime time() { return now().time(); }
void set(const QDateTime& fixed) { g_fixed = fixed; }
}
