#include "programwindows.h"

#include "app/desktools.h"
#include "customers/customerwindows.h"
#include "orders/deliveredwindows.h"
#include "orders/workshopwindows.h"
#include "pickups/pickupwindows.h"
#include "settings/settingswindows.h"

void registerProgramWindows() {
    registerCustomerWindows();
    registerWorkshopWindows();
    registerDeliveredWindows();
    registerPickupWindows();
    registerSettingsWindows();
    registerDeskTools();
}
