#include "mainwin/editing_commands.h"

#include "driver/driver_dialog.h"
#include "mainwin/choosers.h"
#include "mainwin/dummy_names.h"
#include "mainwin/main_dialog.h"
#include "mainwin/name_edits.h"
#include "mainwin/part_codes.h"
#include "model/car_model.h"
#include "platform/platform.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

namespace {

// Renames entry s of a list and its name in the model. The new text is inserted before the
// old entry, which is then deleted, so that the entry keeps its place and its selection.
void ReplaceEntry(HWND window, int listId, int entry, const char* text) {
    bool renamed = listId == IDC_PART_LIST ? RenamePart(carModel.header, entry, text)
                                           : RenameDummy(carModel.header, entry, text);
    // A list entry without a name in the model would stand for nothing.
    if (!renamed) {
        return;
    }
    SendDlgItemMessageA(window, listId, LB_INSERTSTRING, entry, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(window, listId, LB_DELETESTRING, entry + 1, 0);
    SendDlgItemMessageA(window, listId, LB_SETCURSEL, entry, 0);
}

} // namespace

void CommitTypedName(HWND window, int listId, int fieldId) {
    int entry = SelectedEntry(window, listId);
    if (entry < 0) {
        return;
    }
    // Longer text is cut after its first 63 characters.
    char name[NAME_SIZE] = {};
    GetDlgItemTextA(window, fieldId, name, sizeof name);
    ReplaceEntry(window, listId, entry, name);
}

void SetDefaultPartNames(HWND window) {
    ApplyDefaultPartNames(carModel.header);
    FillNameList(window, IDC_PART_LIST, IDC_PART_NAME, carModel.header.partNames, carModel.header.partCount);
}

void ChoosePartName(HWND window) {
    int entry = SelectedEntry(window, IDC_PART_LIST);
    if (entry < 0) {
        return;
    }
    INT_PTR row =
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CHOOSE_PART_NAME), window, ChoosePartNameDialog, 0);
    // 0 is a cancel and -1 a dialog that could not be shown; only a row names a code.
    if (row < 1 || row > PART_CODE_COUNT) {
        return;
    }
    const char* code = PartCodeOfRow(static_cast<int>(row));
    ReplaceEntry(window, IDC_PART_LIST, entry, code);
    SetDlgItemTextA(window, IDC_PART_NAME, code);
}

void ChooseDummyName(HWND window) {
    int entry = SelectedEntry(window, IDC_DUMMY_LIST);
    if (entry < 0) {
        return;
    }
    INT_PTR result =
        DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_CHOOSE_DUMMY), window, ChooseDummyDialog, 0);
    // A dialog that could not be shown returns -1 and has chosen nothing.
    if (result != 1) {
        return;
    }
    ReplaceEntry(window, IDC_DUMMY_LIST, entry, chosenDummyName);
    SetDlgItemTextA(window, IDC_DUMMY_NAME, chosenDummyName);
}

void DriverMovementsCommand(HWND window) {
    if (CountDriverParts(carModel.header) != 1) {
        ShowErrorMessage(MESSAGE_DRIVER_PART);
        return;
    }
    RunDriverMovementsDialog(window);
}
