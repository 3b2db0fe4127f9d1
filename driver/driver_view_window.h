// The window procedure of "OmbrelImageWndClass", the driver vertex view.
#pragma once

#include <windows.h>

LRESULT CALLBACK DriverViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
