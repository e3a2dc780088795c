#pragma once

// Registers the pickup-receipt list "FrmRetirada" with the main window's
// entries (menu "Comprovante de Retirada", F8 and the toolbar). Call once at
// start-up.
void registerPickupWindows();
