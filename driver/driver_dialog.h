// The driver movements dialog, 107.
#pragma once

#include <windows.h>

// The procedure of "Select moving driver vertices". It ends with 1 after OK and with 0
// after Cancel or when its working arrays cannot be allocated.
INT_PTR CALLBACK DriverMovementsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs "Select moving driver vertices" modally, owned by owner, and returns its result.
INT_PTR RunDriverMovementsDialog(HWND owner);
