#include "deliveredwindows.h"

#include "app/windowregistry.h"
#include "frmapentregues.h"
#include "frmos.h"

void registerDeliveredWindows() {
    WindowRegistry::add(WindowRegistry::Entry{QStringLiteral("FrmApEntregues"), WindowKind::List,
                                              &FrmApEntregues::staticMetaObject,
                                              [] { return static_cast<QWidget*>(FrmApEntregues::create()); }});
    FrmOS::setDeliveredListFilter(&FrmApEntregues::showPreviousRepairs);
}
