#include "driver/driver_dialog.h"

#include "driver/driver_movements.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

namespace {

void Initialise(HWND dialog) {
    RECT client = {};
    GetClientRect(GetDlgItem(dialog, IDC_DRIVER_VIEW), &client);
    if (!OpenDriverView(client.right, client.bottom)) {
        EndDialog(dialog, 0);
    }
}

void Command(HWND dialog, int id) {
    switch (id) {
    case IDOK:
        WriteDriverMovements();
        EndDialog(dialog, 1);
        break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    case IDC_RESET_ALL:
        ResetDriverMovements();
        InvalidateRect(GetDlgItem(dialog, IDC_DRIVER_VIEW), nullptr, TRUE);
        break;
    default: break;
    }
}

} // namespace

INT_PTR CALLBACK DriverMovementsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: Initialise(dialog); return TRUE;
    case WM_COMMAND: Command(dialog, LOWORD(wParam)); return FALSE;
    case WM_DESTROY: CloseDriverView(); return TRUE;
    default: return FALSE;
    }
}

INT_PTR RunDriverMovementsDialog(HWND owner) {
    return DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_DRIVER_MOVEMENTS), owner, DriverMovementsDialog,
                           0);
}
