// The driver movements dialog, 107.
#pragma once

#include <windows.h>

// Runs "Select moving driver vertices" modally, owned by owner.
void RunDriverMovementsDialog(HWND owner);
