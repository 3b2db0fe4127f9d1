// Start-up of the program.
#pragma once

#include "platform/win32_handles.h"

// Registers "OmbrelImageWndClass", the driver vertex view, for the dialogs that hold it.
void RegisterDriverViewClass();

// The entry function's work: store the instance, register the view classes, run the main
// window modally until it closes. Returns the program's exit code.
int RunProgram(HINSTANCE instance);
