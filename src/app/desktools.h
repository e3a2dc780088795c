#pragma once

// Registers the desk tools with the main window's entries: "FrmCalculadora"
// (menu "Calculadora", F6), "frmCalend" (menu "Calendário", beside the main
// window) and "frmAbout" (menu "Sobre o Programa"). Call once at start-up.
void registerDeskTools();
