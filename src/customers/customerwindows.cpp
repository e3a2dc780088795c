#include "customerwindows.h"

#include "app/windowregistry.h"
#include "frmclientes.h"
#include "frmnvcliente.h"

void registerCustomerWindows() {
    WindowRegistry::add(WindowRegistry::Entry{QStringLiteral("FrmClientes"), WindowKind::List,
                                              &FrmClientes::staticMetaObject,
                                              [] { return static_cast<QWidget*>(FrmClientes::create()); }});
    WindowRegistry::add<FrmNvCliente>(QStringLiteral("FrmNvCliente"), WindowKind::Modal);
}
