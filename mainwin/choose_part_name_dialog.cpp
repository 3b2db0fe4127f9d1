#include "mainwin/choosers.h"

#include "mainwin/part_codes.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

void PlaceOverMainWindowControl(HWND dialog, int controlId) {
    RECT control;
    RECT own;
    if (!GetWindowRect(GetDlgItem(mainWindow, controlId), &control) || !GetWindowRect(dialog, &own)) {
        return;
    }
    MoveWindow(dialog, control.left, control.top, own.right - own.left, own.bottom - own.top, FALSE);
}

INT_PTR CALLBACK ChoosePartNameDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        for (const PartCode& row : PartCodeTable) {
            SetDlgItemTextA(dialog, row.buttonId, row.description);
        }
        // Over the dummy list, so that the part list stays in sight.
        PlaceOverMainWindowControl(dialog, IDC_DUMMY_LIST);
        return TRUE;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        if (int row = PartCodeRowForButton(id)) {
            EndDialog(dialog, row);
            return TRUE;
        }
        return FALSE;
    }
    default: return FALSE;
    }
}
