// The part name chooser (dialog 103) and the dummy name chooser (dialog 104).
#pragma once

#include <windows.h>

// Result 0 when cancelled, otherwise the row (1 to 27) of PartCodeTable that was chosen.
INT_PTR CALLBACK ChoosePartNameDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Result 1 when chosenDummyName holds the chosen name, 0 when cancelled.
INT_PTR CALLBACK ChooseDummyDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves a chooser so that its top-left corner lies on that of a control of the main window.
void PlaceOverMainWindowControl(HWND dialog, int controlId);
