// Drives the real program from outside, as a user would: its main window, the real common
// file dialog and a real message box, in a process of its own.
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

// The program's path as Wine sees it: the build tree lies on drive Z:.
std::string ProgramPath() {
    std::string path = "Z:" + std::string(VERRO_PROGRAM);
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

template <class Condition> bool WaitFor(Condition condition, int milliseconds = 20000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

struct Search {
    DWORD process;
    HWND owner;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window) && WindowText(window) == search->caption &&
        (!search->owner || GetWindow(window, GW_OWNER) == search->owner)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindTopWindow(DWORD process, const char* caption, HWND owner = nullptr) {
    Search search{process, owner, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// GetWindowText does not ask a control of another process for its text; WM_GETTEXT does.
std::string RemoteText(HWND dialog, int id) {
    char text[512] = {};
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void PostCommand(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string commandLine = "\"" + ProgramPath() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process))
            << commandLine;
        ASSERT_TRUE(WaitFor([&] {
            return (mainWindow = FindTopWindow(process.dwProcessId, "Verro3 <-> Verro:Kesh FCE Converter"));
        }));
    }
    void TearDown() override {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }

    // Presses "Open Verro3..." and types name into the real open dialog.
    void OpenThroughTheDialog(const std::string& name) {
        PostCommand(mainWindow, IDC_OPEN_VERRO3);
        HWND dialog = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (dialog = FindTopWindow(process.dwProcessId, "Open", mainWindow)); }));
        const int fileNameCombo = 0x47C; // the dialog's "File name" box
        ASSERT_TRUE(WaitFor([&] { return GetDlgItem(dialog, fileNameCombo) != nullptr; }));
        SetDlgItemTextA(dialog, fileNameCombo, name.c_str());
        PostCommand(dialog, IDOK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    }

    LRESULT PartCount() { return SendDlgItemMessageA(mainWindow, IDC_PART_LIST, LB_GETCOUNT, 0, 0); }

    PROCESS_INFORMATION process = {};
    HWND mainWindow = nullptr;
};

TEST_F(EndToEndTest, OpensACarThroughTheRealDialogsAndCloses) {
    TempDir dir;
    CarShape shape;
    shape.partVertexCounts = {5, 3};
    shape.partTriangleCounts = {4, 1};
    shape.partNames = {":HB", ":OD"};
    shape.dummyNames = {"HWYN5"};
    shape.colourCount = 2;
    // A bare file name finds the car only if the dialog starts in the program's folder.
    std::filesystem::path programFolder = std::filesystem::path(ProgramPath()).parent_path();
    std::string besideProgram = (programFolder / "end_to_end_car.fce").string();
    WriteBytes(besideProgram, MakeVerro3(shape).Build());
    OpenThroughTheDialog("end_to_end_car.fce");
    std::filesystem::remove(besideProgram);

    ASSERT_TRUE(WaitFor([&] { return PartCount() == 2; }));
    EXPECT_EQ(RemoteText(mainWindow, IDC_PART_NAME), ":HB");
    EXPECT_EQ(RemoteText(mainWindow, IDC_DUMMY_NAME), "HWYN5");
    SendDlgItemMessageA(mainWindow, IDC_PART_LIST, LB_SETCURSEL, 1, 0);
    SendMessageA(mainWindow, WM_COMMAND, MAKEWPARAM(IDC_PART_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(mainWindow, IDC_PART_LIST)));
    EXPECT_EQ(RemoteText(mainWindow, IDC_PART_NAME), ":OD");
    EXPECT_EQ(RemoteText(mainWindow, IDC_INFO_TEXT), "Number of triangles=5\r\nNumber of vertices=8\r\n"
                                                     "Number of dummies=1\r\nNumber of parts=2\r\n"
                                                     "Number of colors=2\r\n");

    // A broken file: a real message box, then the window shows no car.
    WriteBytes(dir.File("broken.fce"), Bytes(100, 7));
    OpenThroughTheDialog(dir.File("broken.fce"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindTopWindow(process.dwProcessId, "Error", mainWindow)); }));
    EXPECT_EQ(RemoteText(box, 0xFFFF), "Error while reading file");
    PostCommand(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box) && PartCount() == 0; }));
    EXPECT_EQ(RemoteText(mainWindow, IDC_INFO_TEXT), "");
    EXPECT_EQ(RemoteText(mainWindow, IDC_PART_NAME), "");

    // The dialog now starts in the folder of the file chosen last.
    WriteBytes(dir.File("second.fce"), MakeVerro3(shape).Build());
    OpenThroughTheDialog("second.fce");
    ASSERT_TRUE(WaitFor([&] { return PartCount() == 2; }));

    PostCommand(mainWindow, IDC_CLOSE);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
