#include "workshopwindows.h"

#include "app/windowregistry.h"
#include "frmmanutencao.h"

void registerWorkshopWindows() {
    WindowRegistry::add(WindowRegistry::Entry{QStringLiteral("FrmManutencao"), WindowKind::List,
                                              &FrmManutencao::staticMetaObject,
                                              [] { return static_cast<QWidget*>(FrmManutencao::create()); }});
}
