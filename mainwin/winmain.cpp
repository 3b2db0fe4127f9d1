#include "mainwin/app.h"
#include "mainwin/outside_files.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    NoteStartupFile(commandLine);
    return RunProgram(instance);
}
