#include "mainwin/outside_files.h"

#include "mainwin/startup_file.h"
#include "model/last_directory.h"
#include "obj/open_any.h"

#include <string>

namespace {

std::string startupFile;
std::string takenPath;

bool PathExists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// A name on the command line may be relative to the folder the program was started in;
// lastDirectory needs the whole path.
std::string FullPath(const std::string& path) {
    DWORD size = GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return path;
    }
    std::string full(size, '\0');
    DWORD length = GetFullPathNameA(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) {
        return path;
    }
    full.resize(length);
    return full;
}

} // namespace

void NoteStartupFile(const char* commandLine) {
    startupFile = StartupFile(commandLine ? commandLine : "", PathExists);
}

void AcceptOutsideFiles(HWND window) {
    DragAcceptFiles(window, TRUE);
    if (!startupFile.empty()) {
        PostMessageA(window, WM_OPEN_STARTUP_FILE, 0, 0);
    }
}

bool TakeStartupFile() {
    if (startupFile.empty()) {
        return false;
    }
    takenPath = FullPath(startupFile);
    startupFile.clear();
    return true;
}

bool TakeDroppedFile(HWND window, HDROP drop) {
    bool taken = false;
    // Our dialogs disable the main window while they run.
    if (IsWindowEnabled(window) && DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        UINT length = DragQueryFileA(drop, 0, nullptr, 0);
        std::string path(length + 1, '\0');
        if (length > 0 && DragQueryFileA(drop, 0, path.data(), length + 1) == length) {
            path.resize(length);
            takenPath = path;
            taken = true;
        }
    }
    DragFinish(drop);
    return taken;
}

int OpenTakenFile() {
    SetLastDirectoryFromPath(takenPath.c_str());
    return OpenCarOrModelPath(takenPath.c_str());
}
