// The services of the operating system that the portable code needs: files, zero-filled
// memory, the error message box, the two file dialogs and the program's own path.
// One implementation makes the Win32 calls; the other serves native builds with POSIX files.
// Either way, an installed responder answers file dialogs and takes messages instead of
// the user, which is how tests and the command-line converter drive the commands.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

constexpr uint32_t PATH_BUFFER_SIZE = 260;

// Flag bits of the file dialogs, as the Win32 OPENFILENAME record spells them.
constexpr uint32_t DIALOG_READONLY = 0x00000001; // OFN_READONLY
constexpr uint32_t DIALOG_OVERWRITEPROMPT = 0x00000002;
constexpr uint32_t DIALOG_HIDEREADONLY = 0x00000004;
constexpr uint32_t DIALOG_PATHMUSTEXIST = 0x00000800;
constexpr uint32_t DIALOG_FILEMUSTEXIST = 0x00001000;
constexpr uint32_t DIALOG_EXPLORER = 0x00080000;
constexpr uint32_t DIALOG_LONGNAMES = 0x00200000;
constexpr uint32_t OPEN_DIALOG_FLAGS =
    DIALOG_EXPLORER | DIALOG_LONGNAMES | DIALOG_FILEMUSTEXIST | DIALOG_PATHMUSTEXIST | DIALOG_HIDEREADONLY;
constexpr uint32_t SAVE_DIALOG_FLAGS =
    DIALOG_EXPLORER | DIALOG_LONGNAMES | DIALOG_HIDEREADONLY | DIALOG_OVERWRITEPROMPT;

struct FileDialogRequest {
    bool save;                    // save dialog instead of open dialog
    const char* filter;           // pairs of NUL-terminated texts, closed by an empty text
    uint32_t filterIndex;         // 1-based pair selected when the dialog opens
    const char* defaultExtension; // nullptr for none
    uint32_t flags;
    const char* initialDirectory;
};

struct FileDialogResult {
    char path[PATH_BUFFER_SIZE]; // full path of the chosen file
    uint16_t fileOffset;         // where the file name starts within path
    uint32_t filterIndex;        // 1-based pair in force when the user confirmed
};

// Stands in for the user: answers file dialogs and takes error messages.
struct PlatformResponder {
    // Returns nonzero and fills the result to confirm a file, 0 to cancel.
    std::function<int(const FileDialogRequest&, FileDialogResult&)> answerFileDialog;
    std::function<void(const char* text)> reportMessage;
};

// Installs a responder (nullptr removes it). The caller keeps it alive while installed.
void InstallResponder(const PlatformResponder* responder);
// The responder installed, or nullptr: code that stands in for it a while puts it back.
const PlatformResponder* CurrentResponder();

// Shows a file dialog owned by the main window. Returns nonzero when a file was confirmed.
// Without a responder, native builds have no dialog and report a cancel.
int ChooseFile(const FileDialogRequest& request, FileDialogResult* result);

// Shows a modal message box owned by the main window: caption "Error", stop icon, OK.
// Without a responder, native builds print the text on stderr.
void ShowErrorMessage(const char* text);

// Files. A handle is nullptr when no file could be opened.
using FileHandle = void*;
// Exclusive; never creates a file, never waits for a pipe or a device. When nothing can be
// opened, *notAFile (when given) tells whether what is there is no file: a folder, a pipe, a
// device.
FileHandle OpenFileForReading(const char* path, bool* notAFile = nullptr);
FileHandle CreateFileForWriting(const char* path); // exclusive; creates or empties
bool QueryFileSize(FileHandle file, uint64_t* size);
bool SeekFileTo(FileHandle file, uint32_t position);
bool QueryFilePosition(FileHandle file, uint32_t* position);
// One transfer; false when it fails or moves fewer bytes than asked.
bool ReadFileExactly(FileHandle file, void* buffer, uint32_t size);
bool WriteFileExactly(FileHandle file, const void* buffer, uint32_t size);
// Makes what was written to the file reach the disk, so that it survives a power cut.
bool FlushFileToDisk(FileHandle file);
// False when the system reports that the file could not be closed cleanly.
bool CloseFileHandle(FileHandle file);

// Saving never destroys what was there: a save writes a new file beside its target and
// only a complete, closed file takes the target's place.
// Creates an empty file for writing, with a fresh name, in the folder of targetPath;
// its path goes to temporaryPath. nullptr when no file can be created there.
FileHandle CreateFileBeside(const char* targetPath, std::string* temporaryPath);
// A fresh name for the file that CreateFileBeside makes beside a target whose name is
// targetNameLength characters long: no longer than that, so that every path the system takes
// for the target it takes for this file too, and another one for each attempt.
std::string TemporaryName(size_t targetNameLength, uint64_t seed, uint32_t attempt);
// Puts the closed file at temporaryPath in the place of targetPath, replacing a file
// that is there, and makes the change of the folder reach the disk. On failure both stay
// as they were.
bool ReplaceFileWith(const char* temporaryPath, const char* targetPath);
bool RemoveFile(const char* path);

// Zero-filled memory; nullptr when it runs out. A block of size 0 is still a real block.
void* AllocateZeroed(uint64_t size);
void FreeZeroed(void* block);
// Blocks handed out and not yet freed, and blocks handed out since the start: they let
// tests prove that nothing leaks and that a refused file allocated nothing.
int64_t LiveZeroedBlocks();
int64_t ZeroedBlocksHandedOut();

// Writes the full path of the running program; false when it cannot be found.
bool GetProgramPath(char* buffer, uint32_t size);

// For tests of what happens when the system fails: of the file, memory and path calls above,
// the next `calls` ones work and the one after fails as the system would report it; the rest
// work again. A negative count plants nothing. Removing a file never fails this way, so that
// the cleanup after a failure can be seen to happen.
void FailSystemCallAfter(int64_t calls);
// Whether the failure planted last has happened.
bool PlantedFailureHappened();

// What makes a file the same file under any of its names: the device (volume) and the
// file's number on it. Comparing identities costs nothing, finding one costs one query.
// These queries are not among the calls a test can make fail.
struct FileIdentity {
    uint64_t volume;
    uint64_t index;
    bool operator==(const FileIdentity&) const = default;
};
struct FileIdentityHash {
    size_t operator()(const FileIdentity& identity) const {
        return static_cast<size_t>(identity.index * 0x9E3779B97F4A7C15u ^ identity.volume);
    }
};
// The identity of the file or folder at path, following links; false when nothing is there
// or it cannot be asked.
bool QueryFileIdentity(const char* path, FileIdentity* identity);

// Whether a standard stream is shown on a terminal (a console), where a line may be rewritten
// in place, rather than going to a file or a pipe.
enum class StandardStream { Output, Error };
bool IsTerminal(StandardStream stream);

static_assert(OPEN_DIALOG_FLAGS == 0x00281804);
static_assert(SAVE_DIALOG_FLAGS == 0x00280006);
