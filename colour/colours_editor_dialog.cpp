#include "colour/colours_editor.h"

// Not built yet: the button does nothing.
void RunColoursEditor(HWND) {}
