#include "mainwin/choosers.h"

#include "mainwin/dummy_names.h"
#include "resources/resource.h"

namespace {

void InitialiseChooseDummy(HWND dialog) {
    SetChosenDummyName(DEFAULT_LIGHT_NAME);
    // Every run starts from the defaults; the dummy's present name is not read back.
    for (int buttonId : DEFAULT_LIGHT_SELECTION.buttonIds) {
        CheckDlgButton(dialog, buttonId, BST_CHECKED);
    }
    // Over the info text, so that both lists stay in sight.
    PlaceOverMainWindowControl(dialog, IDC_INFO_TEXT);
}

LightSelection SelectedButtons(HWND dialog) {
    LightSelection selection{};
    for (int column = 0; column < LIGHT_COLUMN_COUNT; ++column) {
        const LightColumnChoices& choices = LightColumns[column];
        for (int i = 0; i < choices.count; ++i) {
            if (IsDlgButtonChecked(dialog, choices.choices[i].buttonId) == BST_CHECKED) {
                selection.buttonIds[column] = choices.choices[i].buttonId;
                break;
            }
        }
    }
    return selection;
}

BOOL HandleCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDOK:
        // Each column always has a selected button; should one have none, the dialog
        // stays open rather than report a name it could not build.
        if (BuildLightName(SelectedButtons(dialog), chosenDummyName)) {
            EndDialog(dialog, 1);
        }
        return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    // The "Empty" buttons of the time and the delay column move together.
    case IDC_TIME_EMPTY:
        if (code != BN_CLICKED) {
            return FALSE;
        }
        CheckRadioButton(dialog, IDC_DELAY_NONE, IDC_DELAY_EMPTY, IDC_DELAY_EMPTY);
        return TRUE;
    case IDC_DELAY_EMPTY:
        if (code != BN_CLICKED) {
            return FALSE;
        }
        CheckRadioButton(dialog, IDC_TIME_CONSTANT, IDC_TIME_EMPTY, IDC_TIME_EMPTY);
        return TRUE;
    default:
        if (const char* name = FixedDummyNameForButton(id)) {
            SetChosenDummyName(name);
            EndDialog(dialog, 1);
            return TRUE;
        }
        return FALSE;
    }
}

} // namespace

INT_PTR CALLBACK ChooseDummyDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: InitialiseChooseDummy(dialog); return TRUE;
    case WM_COMMAND: return HandleCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}
