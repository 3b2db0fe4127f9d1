#include "platform/platform_internal.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {
// Descriptors are stored one above their value so that descriptor 0 is not a null handle.
int Descriptor(FileHandle file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file) - 1);
}
FileHandle Handle(int descriptor) {
    return descriptor < 0 ? nullptr : reinterpret_cast<FileHandle>(static_cast<intptr_t>(descriptor) + 1);
}
// What a system call that a test made fail returns.
int Failed() {
    errno = EIO;
    return -1;
}

// Where a save lands: the file that a symbolic link points to, so that the link survives
// the replacement. A target that does not exist yet is taken as given.
std::string ResolvedTarget(const char* target) {
    char* real = realpath(target, nullptr);
    if (!real) {
        return target;
    }
    std::string resolved = real;
    std::free(real);
    return resolved;
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

FileHandle OpenFileForReading(const char* path, bool* notAFile) {
    // Without O_NONBLOCK, opening a pipe waits for a writer that may never come.
    int descriptor = FailThisCall() ? Failed() : open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat status;
    bool regular = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
    if (!regular || fcntl(descriptor, F_SETFL, O_RDONLY) != 0) {
        if (notAFile) {
            *notAFile = !regular;
        }
        close(descriptor);
        return nullptr;
    }
    return Handle(descriptor);
}

FileHandle CreateFileForWriting(const char* path) {
    return Handle(FailThisCall() ? Failed() : open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

bool QueryFileSize(FileHandle file, uint64_t* size) {
    struct stat status;
    if (FailThisCall() || fstat(Descriptor(file), &status) != 0) {
        return false;
    }
    *size = static_cast<uint64_t>(status.st_size);
    return true;
}

bool SeekFileTo(FileHandle file, uint32_t position) {
    return !FailThisCall() &&
           lseek(Descriptor(file), static_cast<off_t>(position), SEEK_SET) != static_cast<off_t>(-1);
}

bool QueryFilePosition(FileHandle file, uint32_t* position) {
    off_t current = FailThisCall() ? Failed() : lseek(Descriptor(file), 0, SEEK_CUR);
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
        ssize_t got = FailThisCall() ? Failed() : read(Descriptor(file), bytes + done, size - done);
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
        ssize_t put = FailThisCall() ? Failed() : write(Descriptor(file), bytes + done, size - done);
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

bool FlushFileToDisk(FileHandle file) {
    int flushed = 0;
    do {
        flushed = FailThisCall() ? Failed() : fsync(Descriptor(file));
    } while (flushed != 0 && errno == EINTR);
    return flushed == 0;
}

bool CloseFileHandle(FileHandle file) {
    // A close that fails has still given the descriptor back.
    int closed = close(Descriptor(file));
    return !FailThisCall() && closed == 0;
}

FileHandle CreateFileBeside(const char* targetPath, std::string* temporaryPath) {
    std::string target = ResolvedTarget(targetPath);
    size_t slash = target.find_last_of('/');
    std::string pattern =
        (slash == std::string::npos ? "" : target.substr(0, slash + 1)) + ".verro-save-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    int descriptor = FailThisCall() ? Failed() : mkostemp(name.data(), O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    // mkstemp makes a private file; the saved file gets the mode of the file it replaces,
    // or that of any new file.
    struct stat status;
    mode_t mode;
    if (stat(target.c_str(), &status) == 0) {
        mode = status.st_mode & 07777;
    } else {
        mode_t mask = umask(0);
        umask(mask);
        mode = 0644 & ~mask;
    }
    static_cast<void>(fchmod(descriptor, mode));
    *temporaryPath = name.data();
    return Handle(descriptor);
}

bool ReplaceFileWith(const char* temporaryPath, const char* targetPath) {
    std::string target = ResolvedTarget(targetPath);
    if (FailThisCall() || rename(temporaryPath, target.c_str()) != 0) {
        return false;
    }
    // The new name lives in the folder: a folder that is not flushed may forget it after a
    // power cut. The file is in place by now whatever the flush says, and not every file
    // system can flush a folder, so a failure here is not the save's.
    size_t slash = target.find_last_of('/');
    std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
    int descriptor = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        static_cast<void>(fsync(descriptor));
        close(descriptor);
    }
    return true;
}

bool RemoveFile(const char* path) {
    return unlink(path) == 0;
}

bool QueryFileIdentity(const char* path, FileIdentity* identity) {
    struct stat status;
    if (stat(path, &status) != 0) {
        return false;
    }
    *identity = {static_cast<uint64_t>(status.st_dev), static_cast<uint64_t>(status.st_ino)};
    return true;
}

bool IsTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

void* AllocateZeroed(uint64_t size) {
    if (size > SIZE_MAX - 1) {
        return nullptr;
    }
    void* block = FailThisCall() ? nullptr : std::calloc(size == 0 ? 1 : static_cast<size_t>(size), 1);
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
    ssize_t length = FailThisCall() ? Failed() : readlink("/proc/self/exe", buffer, size - 1);
    if (length <= 0 || static_cast<uint32_t>(length) >= size - 1) {
        return false;
    }
    buffer[length] = '\0';
    return true;
}
