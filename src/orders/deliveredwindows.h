#pragma once

// Registers the delivered-appliance windows: "FrmApEntregues" (the list of
// delivered appliances, menu "Entregues", F4 and the toolbar) and its part in
// the service-order window's previous repairs. Call once at start-up.
void registerDeliveredWindows();
