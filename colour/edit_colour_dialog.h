// The colour edit dialog, template 108: one colour in colourEditState, changed by four
// scroll bars with a live preview.
#pragma once

#include <windows.h>

// Ends with 1 for OK, 0 for Cancel; the caller copies colourEditState back only after OK.
INT_PTR CALLBACK EditColourDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
