// The main window, with a scratch folder and a responder standing in for the user.
#pragma once

#include "mainwin/main_dialog.h"
#include "platform/platform.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

class MainWindowFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        window = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialog, 0);
        ASSERT_NE(window, nullptr);
        ShowWindow(window, SW_SHOW);
        PumpMessages();
    }
    void TearDown() override {
        DestroyWindow(window);
        EXPECT_EQ(LiveZeroedBlocks(), 0) << "destroying the main window releases the car";
    }
    // Opens car.fce through "Open Verro3..."; the responder forgets that dialog.
    void Open(const CarShape& shape) {
        WriteBytes(dir.File("car.fce"), MakeVerro3(shape).Build());
        responder.Choose(dir.File("car.fce"));
        SendCommand(window, IDC_OPEN_VERRO3);
        responder.requests.clear();
    }

    HWND window = nullptr;
    TempDir dir;
    ScriptedResponder responder;
};
