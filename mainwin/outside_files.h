// Cars that reach the main window from outside its own file dialogs: named on the
// program's command line, or dropped onto the window. Each opens as its Open command would.
#pragma once

#include <windows.h>

#include <shellapi.h>

// What the main window gets, once it is up, to open the car of the command line.
constexpr UINT WM_OPEN_STARTUP_FILE = WM_APP + 11;

// Keeps the car named on the command line (the part after the program's name) until the
// main window opens it.
void NoteStartupFile(const char* commandLine);

// Lets the main window take dropped files, and asks it for the startup file.
void AcceptOutsideFiles(HWND window);

// Takes the startup file, once, as the path to open. False when there is none.
bool TakeStartupFile();

// Takes the first file of a drop as the path to open, and releases the drop. A drop while a
// dialog of ours is open is ignored: the car under that dialog must not change. False when
// nothing was taken.
bool TakeDroppedFile(HWND window, HDROP drop);

// Opens the path taken, a 3D model or a car in the layout that its first word names; its folder becomes
// lastDirectory first, as a confirmed file dialog would make it. 1 when a car was loaded.
int OpenTakenFile();
