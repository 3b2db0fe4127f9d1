#include "driver/driver_dialog.h"

// Not built yet: nothing opens.
void RunDriverMovementsDialog(HWND) {}
