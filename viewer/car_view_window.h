// The car view window: a modeless, resizable window owned by the main window that shows the
// car, follows the main window's selection and selects the part that a click picks.
#pragma once

#include <windows.h>

// The car view's window while it is open, else null.
extern HWND carViewWindow;

// Registers the car view's window class; start-up does it beside the driver view's class.
void RegisterCarViewClass();

// "Car view...": opens the view beside mainWindow, or brings it forward when it is open.
void OpenCarView(HWND mainWindow);

// What changed in the main window: the view follows it when it is open.
enum class CarChange {
    Selection, // a selection in the part list or the dummy list
    Mesh,      // the car's vertices, as the damaged import changes them
    NewCar,    // an open, successful or failed: a new car or none
};
void FollowCarInView(CarChange change);

void CloseCarView();

LRESULT CALLBACK CarViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
