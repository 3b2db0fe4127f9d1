// The colours editor, dialog 106.
#pragma once

#include <windows.h>

// Runs the colours editor modally, owned by owner.
void RunColoursEditor(HWND owner);
