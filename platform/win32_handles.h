// Program-wide handles of the Win32 side. The instance holds the dialog templates and the
// icon; the main window owns every file dialog and message box of the program.
#pragma once

#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
