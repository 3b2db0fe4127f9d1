// The window procedure of "OmbrelImageWndClass", the driver vertex view.
#pragma once

#include <windows.h>

LRESULT CALLBACK DriverViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Paints the driver part: its triangles as a black wireframe, then a 3 x 3 square on every
// vertex, red when it is fixed and green otherwise.
void DrawDriverVertices(HDC dc);
