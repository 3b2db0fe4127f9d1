// What the fuzz targets share: the input as a file the readers can open by name, a
// responder that takes the messages, and the car that damaged files are imported into.
#pragma once

#include "platform/platform.h"
#include "tests/support/fce_builder.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

// The input lives in a memory file, so that the fuzzer touches no disk for it.
class InputFile {
  public:
    InputFile() : descriptor_(memfd_create("fuzz-input", MFD_CLOEXEC)) {
        if (descriptor_ < 0) {
            std::abort();
        }
        path_ = "/proc/self/fd/" + std::to_string(descriptor_);
    }
    const char* Hold(const uint8_t* data, size_t size) {
        if (ftruncate(descriptor_, 0) != 0 ||
            (size != 0 && pwrite(descriptor_, data, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
        return path_.c_str();
    }

  private:
    int descriptor_;
    std::string path_;
};

// Messages are part of normal failures; nobody needs to see them.
inline void SilenceMessages() {
    static PlatformResponder quiet{[](const FileDialogRequest&, FileDialogResult&) { return 0; },
                                   [](const char*) {}};
    InstallResponder(&quiet);
}

// A folder for files the targets write, in memory when the system offers it.
inline std::string ScratchFolder() {
    static std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        std::string pattern = std::string(base) + "/verro-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::abort();
        }
        return pattern;
    }();
    return folder;
}

// The car that the damaged import target imports into; the seeds share its counts.
inline CarShape FuzzCar(uint32_t seed = 1) {
    CarShape shape;
    shape.partVertexCounts = {6, 3, 5};
    shape.partTriangleCounts = {4, 2, 3};
    shape.partNames = {":HB", ":OD", ":LB"};
    shape.dummyNames = {"HWYN5"};
    shape.colourCount = 2;
    shape.seed = seed;
    return shape;
}
