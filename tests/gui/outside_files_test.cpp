// Cars that reach the main window from outside its file dialogs: named on the command line
// or dropped onto it. The real program's command line is tested with the program itself.
#include "mainwin/outside_files.h"
#include "model/last_directory.h"
#include "tests/gui/main_window_fixture.h"

#include <shlobj.h>

#include <cstring>

namespace {

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
