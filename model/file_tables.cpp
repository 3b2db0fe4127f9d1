#include "model/file_tables.h"

#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/messages.h"
#include "model/verro3.h"

#include <cstdio>
#include <cstring>

// Either separator may come before the name: paths reach us from Windows and from POSIX.
void NoteCarFileName(const char* path) {
    const char* name = path;
    for (const char* at = path; *at; ++at) {
        if (*at == '/' || *at == '\\') {
            name = at + 1;
        }
    }
    std::snprintf(carFileName, sizeof carFileName, "%s", name);
    carFilePath = path;
}

bool ReadHeader(FileHandle file, uint64_t fileSize, void* header, uint32_t size, const char* layout) {
    if (fileSize < size) {
        NoteFailure("the file is %llu bytes, shorter than the %u-byte %s header",
                    static_cast<unsigned long long>(fileSize), size, layout);
        return false;
    }
    if (!ReadFileExactly(file, header, size)) {
        NoteFailure("the %u-byte %s header cannot be read", size, layout);
        return false;
    }
    return true;
}

bool TableFitsFile(uint64_t fileSize, const TablePlace& table) {
    uint64_t start = uint64_t{table.headerSize} + table.offset;
    if (start > UINT32_MAX) {
        NoteFailure("%s starts at file offset %llu, beyond the 4 GiB a file position can reach", table.name,
                    static_cast<unsigned long long>(start));
        return false;
    }
    if (table.size != 0 && start + table.size > fileSize) {
        NoteFailure("%s: %u bytes at file offset %llu run past the end of the file (%llu bytes)", table.name,
                    table.size, static_cast<unsigned long long>(start),
                    static_cast<unsigned long long>(fileSize));
        return false;
    }
    return true;
}

bool ReadTable(FileHandle file, const TablePlace& table, void** array) {
    uint32_t start = table.headerSize + table.offset;
    if (!SeekFileTo(file, start)) {
        NoteFailure("%s: cannot seek to file offset %u", table.name, start);
        return false;
    }
    *array = AllocateZeroed(table.size);
    if (!*array) {
        NoteFailure("%s: out of memory for %u bytes", table.name, table.size);
        return false;
    }
    if (!ReadFileExactly(file, *array, table.size)) {
        NoteFailure("%s: reading %u bytes at file offset %u failed", table.name, table.size, start);
        return false;
    }
    return true;
}

bool CopyIntoNewArray(const void* source, uint32_t size, void** array) {
    *array = AllocateZeroed(size);
    if (!*array) {
        NoteFailure("out of memory for %u bytes", size);
        return false;
    }
    if (size != 0) {
        std::memcpy(*array, source, size);
    }
    return true;
}

bool BeginSave(SaveFile& save, const char* target) {
    save.target = target;
    save.file = CreateFileBeside(target, &save.temporaryPath);
    if (!save.file) {
        NoteFailure("cannot create a new file in the folder of %s", target);
        return false;
    }
    return true;
}

bool WriteTable(const SaveFile& save, const char* name, uint32_t headerSize, const void* data, uint32_t size,
                uint32_t* offset) {
    uint32_t position = 0;
    if (!QueryFilePosition(save.file, &position) || position < headerSize) {
        NoteFailure("%s: the file position before it cannot be read", name);
        return false;
    }
    *offset = position - headerSize;
    if (!WriteFileExactly(save.file, data, size)) {
        NoteFailure("%s: writing %u bytes at file offset %u failed", name, size, position);
        return false;
    }
    return true;
}

bool WriteHeader(const SaveFile& save, const void* header, uint32_t size) {
    if (!SeekFileTo(save.file, 0) || !WriteFileExactly(save.file, header, size)) {
        NoteFailure("writing the %u-byte header failed", size);
        return false;
    }
    return true;
}

bool FinishSave(SaveFile& save) {
    // Renamed into place before its bytes reach the disk, the new file could be found empty
    // after a power cut, with the old one gone.
    if (!FlushFileToDisk(save.file)) {
        NoteFailure("the written file cannot be flushed to the disk");
        return false;
    }
    FileHandle file = save.file;
    save.file = nullptr;
    if (!CloseFileHandle(file)) {
        NoteFailure("closing the written file failed");
        RemoveFile(save.temporaryPath.c_str());
        return false;
    }
    if (!ReplaceFileWith(save.temporaryPath.c_str(), save.target)) {
        NoteFailure("the written file cannot replace %s", save.target);
        RemoveFile(save.temporaryPath.c_str());
        return false;
    }
    return true;
}

void AbandonSave(SaveFile& save) {
    if (save.file) {
        CloseFileHandle(save.file);
        save.file = nullptr;
        RemoveFile(save.temporaryPath.c_str());
    }
}

FileHandle OpenCarFile(const char* path) {
    bool notAFile = false;
    FileHandle file = OpenFileForReading(path, &notAFile);
    if (!file) {
        NoteFailure(notAFile ? "is a folder, a pipe or a device, not a file"
                             : "cannot be opened for reading");
    }
    return file;
}

int LoadCar(const char* path, bool (*read)(FileHandle file)) {
    ClearFailureReason();
    FileHandle file = OpenCarFile(path);
    bool loaded = false;
    if (file) {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        loaded = read(file);
    }
    if (!loaded) {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        ShowErrorMessage(MESSAGE_READ_ERROR);
    }
    if (file) {
        CloseFileHandle(file);
    }
    if (loaded) {
        NoteCarFileName(path);
    }
    return loaded ? 1 : 0;
}

int SaveCar(const char* path, const std::function<bool(const SaveFile&)>& write) {
    ClearFailureReason();
    SaveFile save;
    bool written = false;
    if (!CarModelIsLoaded()) {
        NoteFailure("no car is loaded");
    } else if (BeginSave(save, path)) {
        written = write(save) && FinishSave(save);
    }
    AbandonSave(save);
    if (!written) {
        ShowErrorMessage(MESSAGE_WRITE_ERROR);
    }
    return written ? 1 : 0;
}
