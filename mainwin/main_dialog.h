// The main window: dialog 101 and its dialog procedure.
#pragma once

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK MainDialog(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Fills a list with the first count names and selects entry 0; the name field shows the
// selected entry, or is emptied when the list stays empty.
void FillNameList(HWND window, int listId, int fieldId, const char (*names)[64], uint32_t count);

// The selected entry of a list, or -1 when none is selected.
int SelectedEntry(HWND window, int listId);

// Shows the text of the list's selected entry in the name field.
void ShowSelectedName(HWND window, int listId, int fieldId);
