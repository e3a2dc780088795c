#pragma once

// Registers the customer windows with the main window's entries:
// "FrmClientes" (the list, menu "Clientes", F2 and the toolbar) and
// "FrmNvCliente" (menu "Novo Cliente"). Call once at start-up.
void registerCustomerWindows();
