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

#include <string>

namespace {

// Renames entry s of a list and its name in the model. The new name is inserted before the
// old entry, which is then deleted, so that the entry keeps its place and its selection.
bool ReplaceEntry(HWND window, const NameList& list, int entry, const char* text) {
    bool renamed = list.listId == IDC_PART_LIST ? RenamePart(carModel.header, entry, text)
                                                : RenameDummy(carModel.header, entry, text);
    // A list entry without a name in the model would stand for nothing.
    if (!renamed) {
        return false;
    }
    std::string shown = ShownName(list.names[entry], CodePageIsUtf8());
    SendDlgItemMessageA(window, list.listId, LB_INSERTSTRING, entry, reinterpret_cast<LPARAM>(shown.c_str()));
    SendDlgItemMessageA(window, list.listId, LB_DELETESTRING, entry + 1, 0);
    SendDlgItemMessageA(window, list.listId, LB_SETCURSEL, entry, 0);
    return true;
}

bool IsLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != 0;
}

} // namespace

void CommitTypedName(HWND window, const NameList& list) {
    int entry = SelectedEntry(window, list.listId);
    HWND field = GetDlgItem(window, list.fieldId);
    // Only what the user changed is written: passing through the field leaves a name's bytes
    // as the car has them.
    if (entry < 0 || !SendMessageA(field, EM_GETMODIFY, 0, 0)) {
        return;
    }
    std::string typed(static_cast<size_t>(GetWindowTextLengthA(field)) + 1, '\0');
    typed.resize(static_cast<size_t>(GetWindowTextA(field, typed.data(), static_cast<int>(typed.size()))));
    typed.resize(TypedNameLength(typed, CodePageIsUtf8(), IsLeadByte));
    if (ReplaceEntry(window, list, entry, typed.c_str())) {
        SendMessageA(field, EM_SETMODIFY, FALSE, 0);
    }
}

void SetDefaultPartNames(HWND window) {
    ApplyDefaultPartNames(carModel.header);
    FillNameList(window, PartNameList());
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
    if (ReplaceEntry(window, PartNameList(), entry, PartCodeOfRow(static_cast<int>(row)))) {
        ShowSelectedName(window, PartNameList());
    }
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
    if (ReplaceEntry(window, DummyNameList(), entry, chosenDummyName)) {
        ShowSelectedName(window, DummyNameList());
    }
}

void DriverMovementsCommand(HWND window) {
    if (CountDriverParts(carModel.header) != 1) {
        ShowErrorMessage(MESSAGE_DRIVER_PART);
        return;
    }
    RunDriverMovementsDialog(window);
}
