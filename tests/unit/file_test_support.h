// What the tests of the file commands share: the state checks, a small car, and a fixture
// with a scratch folder and a responder standing in for the user.
#pragma once

#include "model/car_model.h"
#include "model/verro3.h"
#include "tests/support/fce_builder.h"
#include "tests/support/model_state.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

// Bytes of an array of the model, or of a slice of a file.
template <class T> Bytes ArrayBytes(const T* array, size_t count) {
    const auto* begin = reinterpret_cast<const uint8_t*>(array);
    return Bytes(begin, begin + count * sizeof(T));
}
inline Bytes Slice(const Bytes& bytes, size_t offset, size_t size) {
    if (offset + size > bytes.size()) {
        return {};
    }
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
                 bytes.begin() + static_cast<std::ptrdiff_t>(offset + size));
}
template <class Header> Header HeaderOf(const Bytes& file) {
    Header header{};
    std::memcpy(&header, file.data(), std::min(file.size(), sizeof header));
    return header;
}
inline bool AllZero(const Bytes& bytes) {
    for (uint8_t b : bytes) {
        if (b != 0) {
            return false;
        }
    }
    return true;
}

// Names of the files in a folder, to see that a save leaves nothing behind.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FileCommandTest : public ::testing::Test {
  protected:
    void TearDown() override {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), 0);
    }
    std::string Write(const Bytes& bytes, const std::string& name = "car.fce") {
        std::string path = dir.File(name);
        WriteBytes(path, bytes);
        return path;
    }
    TempDir dir;
    ScriptedResponder responder;
};
