#include "colour/colours_editor.h"

#include "colour/colour_edit.h"
#include "colour/colour_tables.h"
#include "colour/edit_colour_dialog.h"
#include "colour/swatch.h"
#include "model/car_model.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"

namespace {

int ListId(int table) {
    return IDC_COLOUR_LIST_FIRST + table;
}

int SelectedRow(HWND dialog, int table) {
    LRESULT row = SendDlgItemMessageA(dialog, ListId(table), LB_GETCURSEL, 0, 0);
    return row < 0 ? -1 : static_cast<int>(row);
}

void SelectRow(HWND dialog, int table, int row) {
    SendDlgItemMessageA(dialog, ListId(table), LB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

void AppendRow(HWND dialog, int table, const FceColour& colour) {
    char text[COLOUR_ROW_TEXT_SIZE];
    FormatColourRow(colour, text);
    SendDlgItemMessageA(dialog, ListId(table), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void RepaintSwatches(HWND dialog) {
    InvalidateRect(dialog, nullptr, FALSE);
}

void FillColourLists(HWND dialog) {
    FceKeshHeader& header = carModel.header;
    const uint32_t rows = ColourRows(header);
    if (rows == 0) {
        return;
    }
    for (uint32_t row = 0; row < rows; ++row) {
        for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
            AppendRow(dialog, table, ColourTable(header, table)[row]);
        }
    }
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        SelectRow(dialog, table, 0);
    }
}

// Swatches are painted left to right and stop at the first list without a selection.
void PaintSwatches(HWND dialog) {
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        const FceColour* entry = ColourEntry(carModel.header, table, SelectedRow(dialog, table));
        if (!entry) {
            return;
        }
        PaintSwatch(GetDlgItem(dialog, IDC_COLOUR_SWATCH_FIRST + table), entry->hue, entry->saturation,
                    entry->value, entry->transparency);
    }
}

void SelectionChanged(HWND dialog, int changedTable) {
    const int row = SelectedRow(dialog, changedTable);
    if (row < 0) {
        return;
    }
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        if (table != changedTable) {
            SelectRow(dialog, table, row);
        }
    }
    RepaintSwatches(dialog);
}

void EditColour(HWND dialog, int table) {
    const int row = SelectedRow(dialog, table);
    FceColour* entry = ColourEntry(carModel.header, table, row);
    if (!entry) {
        return;
    }
    LoadColourEditState(*entry, &colourEditState);
    if (DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_EDIT_COLOUR), dialog, EditColourDialog, 0) != 1) {
        return;
    }
    StoreColourEditState(colourEditState, entry);
    char text[COLOUR_ROW_TEXT_SIZE];
    FormatColourRow(*entry, text);
    // Replaced in place, so that the row keeps its position and its selection.
    const int listId = ListId(table);
    SendDlgItemMessageA(dialog, listId, LB_INSERTSTRING, static_cast<WPARAM>(row),
                        reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageA(dialog, listId, LB_DELETESTRING, static_cast<WPARAM>(row + 1), 0);
    SelectRow(dialog, table, row);
    RepaintSwatches(dialog);
}

void AddColour(HWND dialog) {
    const int row = AddColourRow(carModel.header);
    if (row < 0) {
        return;
    }
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        AppendRow(dialog, table, ColourTable(carModel.header, table)[row]);
        SelectRow(dialog, table, row);
    }
    RepaintSwatches(dialog);
}

void DeleteColour(HWND dialog) {
    // The primary list's selection is the selection of all four.
    const int row = SelectedRow(dialog, 0);
    if (!DeleteColourRow(carModel.header, row)) {
        return;
    }
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        SendDlgItemMessageA(dialog, ListId(table), LB_DELETESTRING, static_cast<WPARAM>(row), 0);
    }
    for (int table = 0; table < COLOUR_TABLE_COUNT; ++table) {
        SelectRow(dialog, table, 0);
    }
    RepaintSwatches(dialog);
}

BOOL ColoursEditorCommand(HWND dialog, int id, int code) {
    if (id >= IDC_COLOUR_LIST_FIRST && id < IDC_COLOUR_LIST_FIRST + COLOUR_TABLE_COUNT) {
        if (code == LBN_SELCHANGE) {
            SelectionChanged(dialog, id - IDC_COLOUR_LIST_FIRST);
        }
        return TRUE;
    }
    if (id >= IDC_COLOUR_EDIT_FIRST && id < IDC_COLOUR_EDIT_FIRST + COLOUR_TABLE_COUNT) {
        EditColour(dialog, id - IDC_COLOUR_EDIT_FIRST);
        return TRUE;
    }
    switch (id) {
    case IDC_ADD_COLOUR: AddColour(dialog); return TRUE;
    case IDC_DELETE_COLOUR: DeleteColour(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    default: return FALSE; // among them IDOK, which Enter sends: there is no default button
    }
}

} // namespace

INT_PTR CALLBACK ColoursEditorDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: FillColourLists(dialog); return TRUE;
    case WM_PAINT: PaintSwatches(dialog); return FALSE;
    case WM_COMMAND: return ColoursEditorCommand(dialog, LOWORD(wParam), HIWORD(wParam));
    default: return FALSE;
    }
}

void RunColoursEditor(HWND owner) {
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_COLOURS_EDITOR), owner, ColoursEditorDialog, 0);
}
