// Cars that reach the main window from outside its file dialogs: named on the command line
// or dropped onto it.
#include "mainwin/outside_files.h"
#include "model/last_directory.h"
#include "tests/gui/main_window_fixture.h"

#include <shlobj.h>

#include <cstring>
#include <filesystem>

namespace {

// The real program, in a process of its own, with a car whose folder name fits no single
// ANSI code page: the wide call passes it whole, and the program must take it as UTF-8.
TEST(OutsideFilesTest, TheProgramOpensTheCarNamedOnItsCommandLine) {
    TempDir dir;
    std::filesystem::path folder = std::filesystem::path(dir.Folder()) / L"Машины à l'été";
    std::filesystem::create_directory(folder);
    WriteBytes(dir.File("car.fce"), MakeKesh(SmallCar()).Build());
    std::filesystem::rename(dir.File("car.fce"), folder / L"car one.fce");
    std::string program = "Z:" + std::string(VERRO_PROGRAM);
    std::wstring commandLine = L"\"" + std::wstring(program.begin(), program.end()) + L"\" -x \"" +
                               (folder / L"car one.fce").wstring() + L"\" second.fce";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               &startup, &process));
    HWND main = nullptr;
    char info[256] = {};
    for (int wait = 0; wait < 400 && info[0] == '\0'; ++wait) {
        Sleep(50);
        main = FindWindowA(nullptr, "Verro3 <-> Verro:Kesh FCE Converter");
        GetDlgItemTextA(main, IDC_INFO_TEXT, info, sizeof info);
    }
    EXPECT_STREQ(info, "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                       "Number of parts=3\r\nNumber of colors=3\r\n");
    PostMessageA(main, WM_COMMAND, IDC_CLOSE, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

// A drop as the shell hands it over. Wine does not carry a drop handle into another process
// (Windows copies it), so drops go to a main window of this one, through its message queue.
HGLOBAL PostDrop(HWND window, const std::string& path) {
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(files + 1, path.c_str(), path.size());
    GlobalUnlock(drop);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return drop;
}

using OutsideFilesWindowTest = MainWindowFixture;

TEST_F(OutsideFilesWindowTest, ACarOpensFromTheCommandLineOrADropButNotUnderADialog) {
    WriteBytes(dir.File("car one.fce"), MakeKesh(SmallCar()).Build());
    WriteBytes(dir.File("broken.fce"), Bytes(100, 7));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    // Ignored, and released all the same.
    HGLOBAL ignored = nullptr;
    DialogAnswerer answerer;
    answerer.Then([&](HWND editor) {
        ignored = PostDrop(window, dir.File("car one.fce"));
        PostClick(editor, IDCANCEL);
    });
    SendCommand(window, IDC_COLOURS_EDITOR);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 0u);
    EXPECT_EQ(GlobalSize(ignored), 0u);

    // A name relative to the folder the program starts in; that folder becomes lastDirectory.
    SetCurrentDirectoryA(dir.Folder().c_str());
    NoteStartupFile("/x \"car one.fce\"");
    PostMessageA(window, WM_OPEN_STARTUP_FILE, 0, 0);
    PumpMessages();
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());

    PostDrop(window, dir.File("broken.fce"));
    PumpMessages();
    EXPECT_EQ(responder.messages, std::vector<std::string>{"Error while reading file"});
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 0u);
    PostDrop(window, dir.File("car one.fce"));
    PumpMessages();
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
}

} // namespace
