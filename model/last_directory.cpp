#include "model/last_directory.h"

#include <algorithm>
#include <cstring>

char lastDirectory[PATH_BUFFER_SIZE];

void SetLastDirectoryFromChoice(const FileDialogResult& choice) {
    std::memset(lastDirectory, 0, sizeof lastDirectory);
    size_t length = std::min<size_t>(
        {choice.fileOffset, strnlen(choice.path, sizeof choice.path), sizeof lastDirectory - 1});
    std::memcpy(lastDirectory, choice.path, length);
}

void SetLastDirectoryFromPath(const char* path) {
    const char* name = path;
    for (const char* c = path; *c != '\0'; ++c) {
        if (*c == '\\' || *c == '/') {
            name = c + 1;
        }
    }
    size_t length = static_cast<size_t>(name - path);
    // A cut folder would name another folder, or none.
    if (length >= sizeof lastDirectory) {
        return;
    }
    std::memset(lastDirectory, 0, sizeof lastDirectory);
    std::memcpy(lastDirectory, path, length);
}

int ChooseFileFromLastDirectory(bool save, const char* filter, FileDialogResult* choice) {
    FileDialogRequest request{
        save, filter, 1, save ? "fce" : nullptr, save ? SAVE_DIALOG_FLAGS : OPEN_DIALOG_FLAGS, lastDirectory};
    if (!ChooseFile(request, choice)) {
        return 0;
    }
    SetLastDirectoryFromChoice(*choice);
    return 1;
}

void SetLastDirectoryFromProgramPath(const char* programPath) {
    std::memset(lastDirectory, 0, sizeof lastDirectory);
    std::strncpy(lastDirectory, programPath, sizeof lastDirectory - 1);
    if (char* name = std::strstr(lastDirectory, "\\VerroFCEConverter.exe")) {
        *name = '\0';
    }
}
