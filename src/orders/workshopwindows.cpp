#include "workshopwindows.h"

#include "app/windowregistry.h"
#include "frmmanutencao.h"
#include "frmopcoesos.h"

void registerWorkshopWindows() {
    WindowRegistry::add(WindowRegistry::Entry{QStringLiteral("FrmManutencao"), WindowKind::List,
                                              &FrmManutencao::staticMetaObject,
                                              [] { return static_cast<QWidget*>(FrmManutencao::create()); }});
    WindowRegistry::add(WindowRegistry::Entry{QStringLiteral("FrmOpcoesOS"), WindowKind::Modal,
                                              &FrmOpcoesOS::staticMetaObject,
                                              [] { return static_cast<QWidget*>(FrmOpcoesOS::create()); }});
}
