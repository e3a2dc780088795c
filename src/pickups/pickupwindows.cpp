#include "pickupwindows.h"

#include "app/windowregistry.h"
#include "frmretirada.h"

void registerPickupWindows() { WindowRegistry::add<FrmRetirada>(QStringLiteral("FrmRetirada"), WindowKind::List); }
