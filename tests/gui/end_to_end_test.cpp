// Drives the real program from outside, as a user would, in a process of its own: its main
// window, the system's own file dialogs and a real message box.
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

// The program's path as Wine sees it: the build tree lies on drive Z:.
std::string ProgramPath() {
    std::string path = "Z:" + std::string(VERRO_PROGRAM);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

template <class Condition> bool WaitFor(Condition condition) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
        if (condition()) {
            return true;
        }
    }
    return false;
}

struct Search {
    DWORD process;
    HWND owner;
    std::string caption;
    HWND found;
};

// A visible top-level window of the process with this caption (any, when empty), owned by
// owner when one is given.
HWND FindTopWindow(DWORD process, const std::string& caption, HWND owner = nullptr) {
    Search search{process, owner, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD owning = 0;
            GetWindowThreadProcessId(window, &owning);
            char text[256] = {};
            GetWindowTextA(window, text, sizeof text);
            if (owning == s->process && IsWindowVisible(window) &&
                (s->caption.empty() || text == s->caption) &&
                (!s->owner || GetWindow(window, GW_OWNER) == s->owner)) {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The vertex table of a Verro3 file.
Bytes Vertices(const std::string& path) {
    const Bytes file = ReadBytes(path);
    const auto* header = reinterpret_cast<const Fce3Header*>(file.data());
    const auto start = file.begin() + VERRO3_HEADER_SIZE + header->tableOffsets[0];
    return Bytes(start, start + header->vertexCount * 12);
}

// GetWindowText does not ask a control of another process for its text; WM_GETTEXT does.
std::string RemoteText(HWND dialog, int id) {
    char text[512] = {};
    SendDlgItemMessageA(dialog, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string commandLine = "\"" + ProgramPath() + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        ASSERT_TRUE(WaitFor([&] { return (main = Find("Verro3 <-> Verro:Kesh FCE Converter")) != nullptr; }));
    }
    void TearDown() override {
        if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process.hProcess, 1);
        }
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    HWND Find(const std::string& caption, HWND owner = nullptr) {
        return FindTopWindow(process.dwProcessId, caption, owner);
    }
    // Presses a button of the main window and waits for the dialog it opens.
    HWND Press(int button, const char* caption) {
        PostClick(main, button);
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (dialog = Find(caption, main)) && GetDlgItem(dialog, IDOK); }))
            << caption;
        return dialog;
    }
    // Types a file name into the system's file dialog, picks a file type and confirms.
    HWND Answer(HWND dialog, const std::string& name, int fileType = 0) {
        SendDlgItemMessageA(dialog, cmb1, CB_SETCURSEL, fileType, 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), LPARAM(GetDlgItem(dialog, cmb1)));
        }
        SendDlgItemMessageA(dialog, GetDlgItem(dialog, cmb13) ? cmb13 : edt1, WM_SETTEXT, 0,
                            LPARAM(name.c_str()));
        PostClick(dialog, IDOK);
        return dialog;
    }
    // Waits until the dialog is gone and the command that opened it has ended: the main window
    // takes a sent message only then.
    void Settle(HWND dialog) {
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        SendMessageA(main, WM_NULL, 0, 0);
    }
    LRESULT PartCount() { return SendDlgItemMessageA(main, IDC_PART_LIST, LB_GETCOUNT, 0, 0); }

    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
};

TEST_F(EndToEndTest, OpenSaveAndCloseThroughTheSystemsDialogs) {
    TempDir dir;
    const CarShape shape{{5, 3}, {4, 1}, {":HB", ":OD"}, {"HWYN5"}, 2, 1};
    const KeshFile kesh = MakeKesh(shape);
    // A bare file name finds the car only if the dialog starts in the program's folder.
    const std::string beside =
        (std::filesystem::path(ProgramPath()).parent_path() / "end_to_end_car.fce").string();
    WriteBytes(beside, kesh.Build());
    Settle(Answer(Press(IDC_OPEN_KESH, "Open"), "end_to_end_car.fce"));
    std::filesystem::remove(beside);
    ASSERT_EQ(PartCount(), 2);
    EXPECT_EQ(RemoteText(main, IDC_PART_NAME) + RemoteText(main, IDC_DUMMY_NAME), ":HBHWYN5");
    EXPECT_EQ(RemoteText(main, IDC_INFO_TEXT),
              "Number of triangles=5\r\nNumber of vertices=8\r\n"
              "Number of dummies=1\r\nNumber of parts=2\r\nNumber of colors=2\r\n");

    // The second file type and a name without extension: the damaged car goes to typed.fce, in
    // the folder typed. The same name again with the first type: the dialog asks first.
    Settle(Answer(Press(IDC_SAVE_VERRO3, "Save As"), dir.File("typed"), 1));
    EXPECT_EQ(Vertices(dir.File("typed.fce")), kesh.tables[8]);
    HWND save = Answer(Press(IDC_SAVE_VERRO3, "Save As"), "typed");
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = Find("", save)) && GetDlgItem(question, IDYES); }));
    PostClick(question, IDYES);
    Settle(save);
    EXPECT_EQ(Vertices(dir.File("typed.fce")), kesh.tables[0]);

    // A broken file: a real message box, then the window shows no car. The open dialog now
    // starts in the folder of the file chosen last.
    WriteBytes(dir.File("broken.fce"), Bytes(100, 7));
    Answer(Press(IDC_OPEN_VERRO3, "Open"), "broken.fce");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = Find("Error", main)) != nullptr; }));
    EXPECT_EQ(RemoteText(box, 0xFFFF), "Error while reading file");
    PostClick(box, IDOK);
    Settle(box);
    EXPECT_EQ(PartCount(), 0);
    EXPECT_EQ(RemoteText(main, IDC_INFO_TEXT) + RemoteText(main, IDC_PART_NAME), "");

    PostClick(main, IDC_CLOSE);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
