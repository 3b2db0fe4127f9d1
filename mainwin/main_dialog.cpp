#include "mainwin/main_dialog.h"

#include "colour/colours_editor.h"
#include "mainwin/app.h"
#include "mainwin/editing_commands.h"
#include "mainwin/name_edits.h"
#include "mainwin/outside_files.h"
#include "model/car_model.h"
#include "model/damaged_import.h"
#include "model/info_text.h"
#include "model/kesh.h"
#include "model/last_directory.h"
#include "model/verro3.h"
#include "model/verro3_save.h"
#include "obj/open_any.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "viewer/car_view_window.h"

#include <cstring>

namespace {

bool ModelIsEmpty() {
    return carModel.vertices == nullptr;
}

void InitialiseMainWindow(HWND window) {
    mainWindow = window;
    HANDLE icon =
        LoadImageA(appInstance, MAKEINTRESOURCEA(IDI_APPLICATION_ICON), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE);
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    // Both records start empty; there is nothing to free yet.
    std::memset(&fce3Mesh, 0, sizeof fce3Mesh);
    std::memset(&carModel, 0, sizeof carModel);
    char programPath[PATH_BUFFER_SIZE] = {};
    if (GetProgramPath(programPath, sizeof programPath)) {
        SetLastDirectoryFromProgramPath(programPath);
    }
}

void RefreshMainWindow(HWND window) {
    FillNameList(window, PartNameList());
    FillNameList(window, DummyNameList());
    char info[256];
    FormatInfoText(carModel.header, info, sizeof info);
    SetDlgItemTextA(window, IDC_INFO_TEXT, info);
    FollowCarInView(CarChange::NewCar);
}

// After an open that failed once a file was chosen the model is empty; the window must
// not go on showing the car that is gone.
void ClearMainWindow(HWND window) {
    FillNameList(window, PartNameList());
    FillNameList(window, DummyNameList());
    SetDlgItemTextA(window, IDC_INFO_TEXT, "");
    FollowCarInView(CarChange::NewCar);
}

void OpenCommand(HWND window, int (*open)()) {
    if (open()) {
        RefreshMainWindow(window);
    } else if (ModelIsEmpty()) {
        ClearMainWindow(window);
    }
}

bool HasSelection(HWND window, int listId) {
    return SelectedEntry(window, listId) >= 0;
}

// Buttons act on any notification; lists on a selection change, and the part list on a
// double-click too; name fields only when they lose the focus. A command whose
// precondition fails is ignored.
BOOL HandleCommand(HWND window, int id, int code) {
    switch (id) {
    case IDC_OPEN_VERRO3: OpenCommand(window, OpenVerro3OrModelFile); return TRUE;
    case IDC_OPEN_KESH: OpenCommand(window, OpenKeshOrModelFile); return TRUE;
    case IDC_IMPORT_DAMAGED:
        ImportDamagedFile();
        FollowCarInView(CarChange::Mesh);
        return TRUE;
    case IDC_SAVE_KESH:
        if (HasSelection(window, IDC_PART_LIST)) {
            SaveKeshFile();
        }
        return TRUE;
    case IDC_SAVE_VERRO3:
        if (HasSelection(window, IDC_PART_LIST)) {
            SaveVerro3File();
        }
        return TRUE;
    case IDC_PART_LIST:
    case IDC_DUMMY_LIST:
        if (id == IDC_PART_LIST && code == LBN_DBLCLK) {
            OpenCarView(window);
            return TRUE;
        }
        if (code != LBN_SELCHANGE) {
            return FALSE;
        }
        ShowSelectedName(window, id == IDC_PART_LIST ? PartNameList() : DummyNameList());
        FollowCarInView(CarChange::Selection);
        return TRUE;
    case IDC_PART_NAME:
    case IDC_DUMMY_NAME: {
        if (code != EN_KILLFOCUS) {
            return FALSE;
        }
        NameList list = id == IDC_PART_NAME ? PartNameList() : DummyNameList();
        if (HasSelection(window, list.listId)) {
            CommitTypedName(window, list);
        }
        return TRUE;
    }
    case IDC_SET_DEFAULT:
        if (SendDlgItemMessageA(window, IDC_PART_LIST, LB_GETCOUNT, 0, 0) > 0) {
            SetDefaultPartNames(window);
            FollowCarInView(CarChange::Selection);
        }
        return TRUE;
    case IDC_CHOOSE_PART:
        if (HasSelection(window, IDC_PART_LIST)) {
            ChoosePartName(window);
        }
        return TRUE;
    case IDC_CHOOSE_DUMMY:
        if (HasSelection(window, IDC_DUMMY_LIST)) {
            ChooseDummyName(window);
        }
        return TRUE;
    case IDC_COLOURS_EDITOR: RunColoursEditor(window); return TRUE;
    case IDC_CAR_VIEW: OpenCarView(window); return TRUE;
    case IDC_DRIVER_MOVEMENTS:
        if (HasSelection(window, IDC_PART_LIST)) {
            DriverMovementsCommand(window);
        }
        return TRUE;
    case IDC_CLOSE:
    case IDCANCEL: EndDialog(window, 0); return TRUE;
    default: return FALSE;
    }
}

} // namespace

int SelectedEntry(HWND window, int listId) {
    LRESULT selected = SendDlgItemMessageA(window, listId, LB_GETCURSEL, 0, 0);
    return selected < 0 ? -1 : static_cast<int>(selected);
}

NameList PartNameList() {
    return {IDC_PART_LIST, IDC_PART_NAME, carModel.header.partNames, PartsInUse(carModel.header)};
}

NameList DummyNameList() {
    return {IDC_DUMMY_LIST, IDC_DUMMY_NAME, carModel.header.dummyNames, DummiesInUse(carModel.header)};
}

bool CodePageIsUtf8() {
    return GetACP() == CP_UTF8;
}

// The field is filled from the car, never from the list: a list cannot hold every byte of a
// name that is not text in the code page, and what the field shows may be written back.
void ShowSelectedName(HWND window, const NameList& list) {
    int selected = SelectedEntry(window, list.listId);
    std::string shown;
    if (selected >= 0 && static_cast<uint32_t>(selected) < list.count) {
        shown = ShownName(list.names[selected], CodePageIsUtf8());
    }
    SetDlgItemTextA(window, list.fieldId, shown.c_str());
    SendDlgItemMessageA(window, list.fieldId, EM_SETMODIFY, FALSE, 0);
}

void FillNameList(HWND window, const NameList& list) {
    SendDlgItemMessageA(window, list.listId, LB_RESETCONTENT, 0, 0);
    for (uint32_t i = 0; i < list.count; ++i) {
        std::string shown = ShownName(list.names[i], CodePageIsUtf8());
        SendDlgItemMessageA(window, list.listId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    }
    SendDlgItemMessageA(window, list.listId, LB_SETCURSEL, 0, 0);
    ShowSelectedName(window, list);
}

INT_PTR CALLBACK MainDialog(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        InitialiseMainWindow(window);
        AcceptOutsideFiles(window);
        return TRUE;
    case WM_COMMAND: return HandleCommand(window, LOWORD(wParam), HIWORD(wParam));
    case WM_OPEN_STARTUP_FILE:
        if (TakeStartupFile()) {
            OpenCommand(window, OpenTakenFile);
        }
        return TRUE;
    case WM_DROPFILES:
        if (TakeDroppedFile(window, reinterpret_cast<HDROP>(wParam))) {
            OpenCommand(window, OpenTakenFile);
        }
        return TRUE;
    case WM_DESTROY:
        CloseCarView();
        ReleaseFce3Mesh();
        ReleaseCarModel();
        return TRUE;
    default: return FALSE;
    }
}
