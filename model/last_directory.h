// The folder in which every open and save dialog starts.
#pragma once

#include "platform/platform.h"

extern char lastDirectory[PATH_BUFFER_SIZE];

// The folder of the chosen file, with its trailing separator.
void SetLastDirectoryFromChoice(const FileDialogResult& choice);

// The folder of a file that came without a file dialog, with its trailing separator, as a
// confirmed dialog would leave it. A folder too long for lastDirectory leaves it unchanged.
void SetLastDirectoryFromPath(const char* path);

// Shows the open or save dialog of the file commands, starting in lastDirectory with the
// first pair of filter selected; a save dialog adds the extension "fce" and asks before it
// replaces a file. A confirmed file's folder becomes lastDirectory at once. Nonzero when the
// user confirmed a file.
int ChooseFileFromLastDirectory(bool save, const char* filter, FileDialogResult* choice);

// The program's folder: the path cut where "\VerroFCEConverter.exe" starts, or the
// whole path when the program file has another name.
void SetLastDirectoryFromProgramPath(const char* programPath);
