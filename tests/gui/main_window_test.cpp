// The main window and its file commands, driven as a user would, with the responder standing
// in for the file dialogs, and cars that reach it from outside them: named on the command line
// or dropped onto it (the real program's command line is tested with the program itself).
#include "mainwin/outside_files.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "tests/gui/main_window_fixture.h"

#include <shlobj.h>

#include <cstring>

namespace {

const std::string LONG_NAME = "a part name of exactly sixty-three characters, 0123456789abcdef";

using MainWindowTest = MainWindowFixture;

// From the empty window to a car shown, saved in both layouts and as the damaged car, and a
// failed open that empties the window again. Each file button asks with its own dialog that
// starts in lastDirectory; confirming moves lastDirectory to the chosen folder, cancelling
// changes nothing and shows nothing. Saves and the import need a car.
TEST_F(MainWindowTest, OpenShowAndSaveACar) {
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_STREQ(lastDirectory, program) << "the test program is not called VerroFCEConverter.exe";
    EXPECT_NE(SendMessageA(window, WM_GETICON, ICON_BIG, 0), 0);
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_TRUE(responder.requests.empty()) << "no dialog without a car";
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST});

    CarShape shape = SmallCar();
    shape.partNames[2] = LONG_NAME;
    Open(shape);
    const char* info = "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                       "Number of parts=3\r\nNumber of colors=3\r\n";
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", LONG_NAME}));
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"HWYN5", "TRYO324"}));
    EXPECT_EQ(ItemText(window, IDC_PART_NAME) + ItemText(window, IDC_DUMMY_NAME), ":HBHWYN5");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), info);
    SelectByUser(window, IDC_PART_LIST, 2);
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME) + ItemText(window, IDC_DUMMY_NAME), LONG_NAME + "TRYO324");

    WriteBytes(dir.File("damaged-car.fce"), MakeVerro3(SmallCar(7)).Build());
    // Open dialogs start with no extension; save dialogs add "fce" and ask before replacing a file.
    const std::string openKesh = "open Verro:Kesh car meshes (*.fce)|*.fce| 1 - 00281804 C:\\start\\",
                      openVerro3 = "open Verro3 car meshes (*.fce)|*.fce| 1 - 00281804 C:\\start\\",
                      saveKesh = "save Verro:Kesh car meshes (*.fce)|*.fce| 1 fce 00280006 C:\\start\\",
                      saveVerro3 =
                          "save Verro3 car meshes (*.fce)|*.fce|Verro3 car damaged meshes (*.fce)|*.fce| "
                          "1 fce 00280006 C:\\start\\";
    const struct {
        int button;
        std::string request;
        const char* chosen;
        uint32_t filterIndex;
    } buttons[] = {
        {IDC_IMPORT_DAMAGED, openVerro3, "damaged-car.fce", 1},
        {IDC_SAVE_KESH, saveKesh, "kesh.fce", 1},
        {IDC_SAVE_VERRO3, saveVerro3, "damaged.fce", 2},
        {IDC_SAVE_VERRO3, saveVerro3, "normal.fce", 1},
        {IDC_OPEN_KESH, openKesh, "kesh.fce", 1},
    };
    for (const auto& b : buttons) {
        std::strcpy(lastDirectory, "C:\\start\\");
        responder.requests.clear();
        responder.Cancel();
        SendCommand(window, b.button);
        EXPECT_EQ(std::string(lastDirectory), "C:\\start\\");
        responder.Choose(dir.File(b.chosen), b.filterIndex);
        SendCommand(window, b.button);
        EXPECT_EQ(std::string(lastDirectory), dir.Folder());
        EXPECT_EQ(responder.requests, std::vector<std::string>(2, b.request));
    }
    EXPECT_EQ(responder.messages.size(), 1u);
    EXPECT_EQ(Verro3Vertices(dir.File("damaged.fce")), MakeVerro3(SmallCar(7)).tables[0]);
    EXPECT_EQ(Verro3Vertices(dir.File("normal.fce")), MakeVerro3(SmallCar()).tables[0]);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", LONG_NAME}))
        << "the Kesh file holds the car";
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), info);

    // A failed open leaves no car, and the window shows none.
    responder.Choose(dir.File("car.fce"));
    SendCommand(window, IDC_OPEN_KESH);
    EXPECT_EQ(responder.messages,
              (std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST, MESSAGE_NOT_KESH, MESSAGE_READ_ERROR}));
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size() + ListEntries(window, IDC_DUMMY_LIST).size(), 0u);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME) + ItemText(window, IDC_DUMMY_NAME) +
                  ItemText(window, IDC_INFO_TEXT),
              "");
    responder.requests.clear();
    SendCommand(window, IDC_SAVE_KESH);
    EXPECT_TRUE(responder.requests.empty());

    for (int id : {IDC_CLOSE, IDCANCEL}) {
        ShowWindow(window, SW_SHOW);
        SendCommand(window, id);
        EXPECT_FALSE(IsWindowVisible(window)) << "a modeless dialog ended by EndDialog is hidden";
    }
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
