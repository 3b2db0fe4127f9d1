#include "platform/platform_internal.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Descriptors are stored one above their value so that descriptor 0 is not a null handle.
int Descriptor(FileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
}
FileHandle Handle(int descriptor) {
    return descriptor < 0 ? nullptr : reinterpret_cast<FileHandle>(static_cast<intptr_t>(descriptor) + 1);
}
} // namespace

int ChooseFile(const FileDialogRequest& request, FileDialogResult* result) {
    std::memset(result->path, 0, sizeof result->path);
    result->fileOffset = 0;
    result->filterIndex = request.filterIndex;
    const PlatformResponder* responder = CurrentResponder();
    if (responder && responder->answerFileDialog) {
        return responder->answerFileDialog(request, *result) ? 1 : 0;
    }
    return 0;
}

void ShowErrorMessage(const char* text) {
    const PlatformResponder* responder = CurrentResponder();
    if (responder && responder->reportMessage) {
        responder->reportMessage(text);
        return;
    }
    std::fprintf(stderr, "Error: %s\n", text);
}

FileHandle OpenFileForReading(const char* path) {
    int descriptor = open(path, O_RDONLY | O_CLOEXEC);
    if (descriptor >= 0) {
        struct stat status;
        if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
            close(descriptor);
            return nullptr;
        }
    }
    return Handle(descriptor);
}

FileHandle CreateFileForWriting(const char* path) {
    return Handle(open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

bool QueryFileSize(FileHandle file, uint64_t* size) {
    struct stat status;
    if (fstat(Descriptor(file), &status) != 0) {
        return false;
    }
    *size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool SeekFileTo(FileHandle file, uint32_t position) {
    return lseek(Descriptor(file), static_cast<off_t>(position), SEEK_SET) != static_cast<off_t>(-1);
}

bool QueryFilePosition(FileHandle file, uint32_t* position) {
    off_t current = lseek(Descriptor(file), 0, SEEK_CUR);
    if (current < 0 || current > static_cast<off_t>(UINT32_MAX)) {
        return false;
    }
    *position = static_cast<uint32_t>(current);
    return true;
}

bool ReadFileExactly(FileHandle file, void* buffer, uint32_t size) {
    auto* bytes = static_cast<char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        ssize_t got = read(Descriptor(file), bytes + done, size - done);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return false;
        }
        done += static_cast<uint32_t>(got);
    }
    return true;
}

bool WriteFileExactly(FileHandle file, const void* buffer, uint32_t size) {
    const auto* bytes = static_cast<const char*>(buffer);
    uint32_t done = 0;
    while (done < size) {
        ssize_t put = write(Descriptor(file), bytes + done, size - done);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return false;
        }
        done += static_cast<uint32_t>(put);
    }
    return true;
}

void CloseFileHandle(FileHandle file) {
    close(Descriptor(file));
}

void* AllocateZeroed(uint64_t size) {
    if (size > SIZE_MAX - 1) {
        return nullptr;
    }
    void* block = std::calloc(size == 0 ? 1 : static_cast<size_t>(size), 1);
    if (block) {
        CountBlock(+1);
    }
    return block;
}

void FreeZeroed(void* block) {
    if (block) {
        std::free(block);
        CountBlock(-1);
    }
}

bool GetProgramPath(char* buffer, uint32_t size) {
    ssize_t length = readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0 || static_cast<uint32_t>(length) >= size - 1) {
        return false;
    }
    buffer[length] = '\0';
    return true;
}
