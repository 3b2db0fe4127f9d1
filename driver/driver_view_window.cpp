#include "driver/driver_view_window.h"

LRESULT CALLBACK DriverViewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}
