// The main window from template 101, with a scratch folder and a responder standing in for
// the user. Destroying the window afterwards must release every block of the car.
#pragma once

#include "platform/platform.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_NE(window = OpenMainWindow(), nullptr); }
    void TearDown() override {
        DestroyWindow(window);
        EXPECT_EQ(LiveZeroedBlocks(), 0) << "destroying the main window releases the car";
    }
    // Opens the car through "Open Verro3..."; the responder forgets that dialog.
    void Open(const CarShape& shape, const std::string& name = "car.fce") {
        WriteBytes(dir.File(name), MakeVerro3(shape).Build());
        responder.Choose(dir.File(name));
        SendCommand(window, IDC_OPEN_VERRO3);
        responder.requests.clear();
    }

    HWND window = nullptr;
    TempDir dir;
    ScriptedResponder responder;
};
