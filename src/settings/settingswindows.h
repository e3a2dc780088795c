#pragma once

// Registers the settings windows with the main window's entries:
// "FrmAcesso" (menu "Configuração Tarvel": the gate, then the settings) and
// "FrmAltSenha" (menu "Alterar Senha"). Call once at start-up.
void registerSettingsWindows();
