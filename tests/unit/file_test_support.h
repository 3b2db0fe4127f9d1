// What the tests of the file code share: a scratch folder and a responder standing in for
// the user, and a check that every test frees the car it loaded.
#pragma once

#include "model/car_model.h"
#include "model/failure_reason.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "tests/support/fce_builder.h"
#include "tests/support/model_state.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

// Names of the files in a folder, to see that a command leaves nothing behind.
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
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    TempDir dir;
    ScriptedResponder responder;
};
