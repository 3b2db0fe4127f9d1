// The colours editor, dialog 106: the car's four colour tables, edited in place.
#pragma once

#include <windows.h>

INT_PTR CALLBACK ColoursEditorDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Runs the colours editor modally, owned by owner.
void RunColoursEditor(HWND owner);
