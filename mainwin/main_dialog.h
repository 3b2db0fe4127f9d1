// The main window: dialog 101 and its dialog procedure.
#pragma once

#include <windows.h>

#include "model/car_model.h"

#include <cstdint>

INT_PTR CALLBACK MainDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The part list or the dummy list: the names of the car's parts or dummies in use, and the
// field below the list in which the selected one is shown and typed.
struct NameList {
    int listId;
    int fieldId;
    char (*names)[NAME_SIZE];
    uint32_t count;
};
NameList PartNameList();
NameList DummyNameList();

// Whether the program's ANSI code page is UTF-8, as its manifest asks.
bool CodePageIsUtf8();

// Fills the list with the car's names and selects entry 0; the name field shows it, or is
// emptied when the list stays empty.
void FillNameList(HWND window, const NameList& list);

// The selected entry of a list, or -1 when none is selected.
int SelectedEntry(HWND window, int listId);

// Shows the car's name of the list's selected entry in the name field. The field then counts
// as unchanged: only what the user types into it is ever written back.
void ShowSelectedName(HWND window, const NameList& list);
