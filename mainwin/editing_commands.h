// The main window's commands that edit the car in place. The main dialog has checked
// each command's precondition before it calls one of these.
#pragma once

#include "mainwin/main_dialog.h"

#include <windows.h>

// A name field lost the focus: what the user typed into it becomes the name of the selected
// entry, cut to 63 bytes without splitting a character.
void CommitTypedName(HWND window, const NameList& list);
// "Set default": the first twelve parts get the first twelve part codes.
void SetDefaultPartNames(HWND window);
// "Choose..." under the part list and under the dummy list.
void ChoosePartName(HWND window);
void ChooseDummyName(HWND window);
// "Driver movements": the driver part check, then the driver movements dialog.
void DriverMovementsCommand(HWND window);
