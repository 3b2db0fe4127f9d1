// The folder in which every open and save dialog starts.
#pragma once

#include "platform/platform.h"

extern char lastDirectory[PATH_BUFFER_SIZE];

// The folder of the chosen file, with its trailing separator.
void SetLastDirectoryFromChoice(const FileDialogResult& choice);

// The program's folder: the path cut where "\VerroFCEConverter.exe" starts, or the
// whole path when the program file has another name.
void SetLastDirectoryFromProgramPath(const char* programPath);
