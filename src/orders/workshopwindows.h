#pragma once

// Registers the workshop windows with the main window's entries:
// "FrmManutencao" (the list of appliances in repair, menu "Em Manutenção",
// F3 and the toolbar). Call once at start-up.
void registerWorkshopWindows();
