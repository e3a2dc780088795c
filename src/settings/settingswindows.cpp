#include "settingswindows.h"

#include "app/windowregistry.h"
#include "operators/frmacesso.h"
#include "operators/frmaltsenha.h"

void registerSettingsWindows() {
    WindowRegistry::add<FrmAcesso>(QStringLiteral("FrmAcesso"), WindowKind::Modal);
    WindowRegistry::add<FrmAltSenha>(QStringLiteral("FrmAltSenha"), WindowKind::Modal);
}
