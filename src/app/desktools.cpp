#include "desktools.h"

#include "app/frmabout.h"
#include "app/frmcalculadora.h"
#include "app/frmcalend.h"
#include "app/windowregistry.h"

void registerDeskTools() {
    WindowRegistry::add<FrmCalculadora>(QStringLiteral("FrmCalculadora"), WindowKind::Modal);
    WindowRegistry::add<frmCalend>(QStringLiteral("frmCalend"), WindowKind::Free);
    WindowRegistry::add<frmAbout>(QStringLiteral("frmAbout"), WindowKind::Modal);
}
