#include "platform/platform_internal.h"
#include "platform/win32_handles.h"

#include <commdlg.h>
#include <cstring>
#include <string>

HINSTANCE appInstance = nullptr;
HWND mainWindow = nullptr;

namespace {
// What a system call that a test made fail returns, with the error the system would set.
template <class T> T Failed(T result) {
    SetLastError(ERROR_IO_DEVICE);
    return result;
}
} // namespace

int ChooseFile(const FileDialogRequest& request, FileDialogResult* result) {
    std::memset(result->path, 0, sizeof result->path);
    result->fileOffset = 0;
    result->filterIndex = request.filterIndex;
    if (const PlatformResponder* responder = CurrentResponder(); responder && responder->answerFileDialog) {
        return responder->answerFileDialog(request, *result) ? 1 : 0;
    }
    OPENFILENAMEA dialog;
    std::memset(&dialog, 0, sizeof dialog);
    // The record without the later extension fields: 76 bytes on 32-bit Windows.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = mainWindow;
    dialog.lpstrFilter = request.filter;
    dialog.nFilterIndex = request.filterIndex;
    dialog.lpstrFile = result->path;
    dialog.nMaxFile = PATH_BUFFER_SIZE;
    dialog.lpstrInitialDir = request.initialDirectory;
    dialog.lpstrDefExt = request.defaultExtension;
    dialog.Flags = request.flags;
    BOOL confirmed = request.save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog);
    if (!confirmed) {
        return 0;
    }
    result->fileOffset = dialog.nFileOffset;
    result->filterIndex = dialog.nFilterIndex;
    return 1;
}

void ShowErrorMessage(const char* text) {
    if (const PlatformResponder* responder = CurrentResponder(); responder && responder->reportMessage) {
        responder->reportMessage(text);
        return;
    }
    MessageBoxA(mainWindow, text, "Error", MB_ICONHAND);
}

FileHandle OpenFileForReading(const char* path, bool* notAFile) {
    // OPEN_EXISTING: a reader must never leave an empty file behind.
    HANDLE file = FailThisCall() ? Failed(INVALID_HANDLE_VALUE)
                                 : CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    bool folder = false, device = false;
    if (file == INVALID_HANDLE_VALUE) {
        DWORD attributes = GetFileAttributesA(path);
        folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    } else if (GetFileType(file) != FILE_TYPE_DISK) {
        // A pipe, a console or a device such as NUL: nothing to read a car from.
        CloseHandle(file);
        device = true;
    }
    if (notAFile) {
        *notAFile = folder || device;
    }
    return file == INVALID_HANDLE_VALUE || device ? nullptr : file;
}

FileHandle CreateFileForWriting(const char* path) {
    HANDLE file = FailThisCall() ? Failed(INVALID_HANDLE_VALUE)
                                 : CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool QueryFileSize(FileHandle file, uint64_t* size) {
    DWORD high = 0;
    DWORD low = FailThisCall() ? Failed(INVALID_FILE_SIZE) : GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) {
        return false;
    }
    *size = (uint64_t{high} << 32) | low;
    return true;
}

bool SeekFileTo(FileHandle file, uint32_t position) {
    // With a high part the distance is a 64-bit number, so positions from 2 GiB on are not
    // taken as negative.
    LONG high = 0;
    SetLastError(NO_ERROR);
    DWORD low = FailThisCall() ? Failed(INVALID_SET_FILE_POINTER)
                               : SetFilePointer(file, static_cast<LONG>(position), &high, FILE_BEGIN);
    return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool QueryFilePosition(FileHandle file, uint32_t* position) {
    DWORD current =
        FailThisCall() ? Failed(INVALID_SET_FILE_POINTER) : SetFilePointer(file, 0, nullptr, FILE_CURRENT);
    if (current == INVALID_SET_FILE_POINTER) {
        return false;
    }
    *position = current;
    return true;
}

bool ReadFileExactly(FileHandle file, void* buffer, uint32_t size) {
    DWORD done = 0;
    return !FailThisCall() && ReadFile(file, buffer, size, &done, nullptr) && done == size;
}

bool WriteFileExactly(FileHandle file, const void* buffer, uint32_t size) {
    DWORD done = 0;
    return !FailThisCall() && WriteFile(file, buffer, size, &done, nullptr) && done == size;
}

bool FlushFileToDisk(FileHandle file) {
    return !FailThisCall() && FlushFileBuffers(file) != 0;
}

bool CloseFileHandle(FileHandle file) {
    // A close that fails has still given the handle back.
    BOOL closed = CloseHandle(file);
    return !FailThisCall() && closed != 0;
}

FileHandle CreateFileBeside(const char* targetPath, std::string* temporaryPath) {
    std::string target = targetPath;
    size_t separator = target.find_last_of("\\/:");
    std::string folder = separator == std::string::npos ? "" : target.substr(0, separator + 1);
    std::string name = target.substr(folder.size());
    // The name is made here rather than by GetTempFileNameA, which refuses folders longer than
    // MAX_PATH - 14 characters: its name is no longer than the target's, so any target that a
    // file dialog accepts can be written. CREATE_NEW never takes another file's place.
    uint64_t seed = GetTickCount64() ^ (uint64_t{GetCurrentProcessId()} << 32);
    for (uint32_t attempt = 0; attempt < 64; ++attempt) {
        std::string candidate = TemporaryName(name.size(), seed, attempt);
        if (lstrcmpiA(candidate.c_str(), name.c_str()) == 0) {
            continue;
        }
        HANDLE file = FailThisCall() ? Failed(INVALID_HANDLE_VALUE)
                                     : CreateFileA((folder + candidate).c_str(), GENERIC_WRITE, 0, nullptr,
                                                   CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            *temporaryPath = folder + candidate;
            return file;
        }
        DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED) {
            return nullptr;
        }
    }
    return nullptr;
}

bool ReplaceFileWith(const char* temporaryPath, const char* targetPath) {
    // A read-only file is not written over, as CreateFileA would not open it for writing;
    // not every implementation of MoveFileExA refuses to replace one.
    DWORD attributes = GetFileAttributesA(targetPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        return false;
    }
    return !FailThisCall() &&
           MoveFileExA(temporaryPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const char* path) {
    return DeleteFileA(path) != 0;
}

bool QueryFileIdentity(const char* path, FileIdentity* identity) {
    // No access asked: the query works even on a file that another program holds open
    // exclusively. Backup semantics let a folder be opened too.
    HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION information;
    bool known = GetFileInformationByHandle(file, &information) != 0;
    CloseHandle(file);
    if (known) {
        *identity = {information.dwVolumeSerialNumber,
                     (uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
    }
    return known;
}

bool IsTerminal(StandardStream stream) {
    // A console answers GetConsoleMode; a pipe, a file or the NUL device does not.
    DWORD mode = 0;
    HANDLE handle = GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return GetConsoleMode(handle, &mode) != 0;
}

void* AllocateZeroed(uint64_t size) {
    if (size > SIZE_MAX - 1) {
        return nullptr;
    }
    // GlobalAlloc of 0 bytes is not a usable block everywhere; a loaded model needs real ones.
    void* block = FailThisCall() ? nullptr : GlobalAlloc(GPTR, size == 0 ? 1 : static_cast<SIZE_T>(size));
    if (block) {
        CountBlock(+1);
    }
    return block;
}

void FreeZeroed(void* block) {
    if (block) {
        GlobalFree(block);
        CountBlock(-1);
    }
}

bool GetProgramPath(char* buffer, uint32_t size) {
    DWORD length = FailThisCall() ? 0 : GetModuleFileNameA(nullptr, buffer, size);
    return length != 0 && length < size;
}
