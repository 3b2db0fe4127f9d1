#include "driver/driver_view_window.h"
#include "mainwin/app.h"
#include "mainwin/main_dialog.h"
#include "resources/resource.h"
#include "viewer/car_view_window.h"

void RegisterDriverViewClass() {
    WNDCLASSA viewClass = {};
    viewClass.style = 0;
    viewClass.lpfnWndProc = DriverViewWndProc;
    viewClass.hInstance = appInstance;
    viewClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    viewClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    viewClass.lpszClassName = "OmbrelImageWndClass";
    RegisterClassA(&viewClass);
}

int RunProgram(HINSTANCE instance) {
    appInstance = instance;
    RegisterDriverViewClass();
    RegisterCarViewClass();
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), GetDesktopWindow(), MainDialog, 0);
    return 0;
}
