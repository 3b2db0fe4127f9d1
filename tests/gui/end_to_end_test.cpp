// Drives the real program in a process of its own, through the system's file dialogs.
#include "model/kesh.h"
#include "obj/obj_import.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <dlgs.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {

template <class Condition> bool WaitFor(Condition condition) {
    for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
         std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(50))) {
        if (condition()) {
            return true;
        }
    }
    return false;
}

HWND FindDialog(HWND owner, const char* caption = nullptr) {
    for (HWND dialog = nullptr; (dialog = FindWindowExA(nullptr, dialog, "#32770", caption)) != nullptr;) {
        if (GetWindow(dialog, GW_OWNER) == owner && IsWindowVisible(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

class EndToEndTest : public ::testing::Test {
  protected:
    // The program as Wine sees it, on drive Z:; the wide call passes any folder name whole.
    void Start(const std::wstring& arguments) {
        const auto program = std::filesystem::path("Z:" + std::string(VERRO_PROGRAM)).make_preferred();
        std::wstring commandLine = L"\"" + program.wstring() + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &process));
        ASSERT_TRUE(
            WaitFor([&] { return (main = FindWindowA(nullptr, "Verro3 <-> Verro:Kesh FCE Converter")); }));
    }
    void TearDown() override {
        TerminateProcess(process.hProcess, 1); // fails harmlessly once the program has ended
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    // Presses the button and answers the file dialog it opens with a name and a file type.
    HWND Choose(int button, const char* caption, const std::string& name, int fileType = 0) {
        PostClick(main, button);
        HWND dialog = nullptr;
        EXPECT_TRUE(WaitFor([&] { return (dialog = FindDialog(main, caption)) && GetDlgItem(dialog, IDOK); }))
            << caption;
        SendDlgItemMessageA(dialog, cmb1, CB_SETCURSEL, fileType, 0);
        for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), LPARAM(GetDlgItem(dialog, cmb1)));
        }
        SendDlgItemMessageA(dialog, GetDlgItem(dialog, cmb13) ? cmb13 : edt1, WM_SETTEXT, 0,
                            LPARAM(name.c_str()));
        PostClick(dialog, IDOK);
        return dialog;
    }
    // The main window takes a sent message only once the command that opened the dialog ended.
    void Settle(HWND dialog) {
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
        SendMessageA(main, WM_NULL, 0, 0);
    }

    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
};

// A car named on the command line, in a folder whose name is not ASCII, with an option-like
// argument before it. The dialogs then start in its folder: the damaged car goes to typed.fce there,
// for the second file type and a bare name, a 3D model opens as a car, and a broken car opened
// there shows a real message box.
TEST_F(EndToEndTest, ACarFromTheCommandLineThroughTheSystemsDialogs) {
    TempDir dir;
    const std::filesystem::path folder = std::filesystem::path(dir.Folder()) / L"Машины à l'été";
    std::filesystem::create_directory(folder);
    CarShape shape = SmallCar();
    shape.partNames = {"Caf\xE9", std::string(62, 'A') + "\xE9", ":LB"}; // written in an older code page
    const KeshFile kesh = MakeKesh(shape);
    WriteBytes(folder / L"car one.fce", kesh.Build());
    WriteBytes(folder / L"broken.fce", Bytes(100, 7));
    Start(L"-x \"" + (folder / L"car one.fce").wstring() + L"\" second.fce");
    ASSERT_TRUE(WaitFor([&] { return SendDlgItemMessageA(main, IDC_PART_LIST, LB_GETCOUNT, 0, 0) == 3; }));
    // The focus passes through each name field; the last name is typed. The list shows the older
    // names as Windows-1252 reads them.
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    ASSERT_TRUE(AttachThreadInput(GetCurrentThreadId(), thread, TRUE));
    HWND list = GetDlgItem(main, IDC_PART_LIST), field = GetDlgItem(main, IDC_PART_NAME);
    for (int part = 0; part < 3; ++part) {
        SendMessageA(list, LB_SETCURSEL, part, 0);
        SendMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_PART_LIST, LBN_SELCHANGE), LPARAM(list));
        SetFocus(field);
        if (part == 2) {
            SendMessageW(field, WM_SETTEXT, 0, LPARAM(L"Crème"));
            SendMessageW(field, EM_SETMODIFY, TRUE, 0);
        }
        SetFocus(list);
    }
    AttachThreadInput(GetCurrentThreadId(), thread, FALSE);
    wchar_t shown[2][80] = {};
    SendMessageW(list, LB_GETTEXT, 0, LPARAM(shown[0]));
    SendMessageW(list, LB_GETTEXT, 1, LPARAM(shown[1]));
    EXPECT_EQ(std::wstring(shown[0]), L"Café");
    EXPECT_EQ(std::wstring(shown[1]), std::wstring(62, L'A') + L"é");
    Settle(Choose(IDC_SAVE_VERRO3, "Save As", "typed", 1));
    const Bytes typed = ReadBytes(folder / L"typed.fce");
    const auto& names = reinterpret_cast<const Fce3Header*>(typed.data())->partNames;
    EXPECT_EQ(std::string(names[0]) + "|" + names[1] + "|" + names[2],
              "Caf\xE9|" + std::string(62, 'A') + "\xE9|Cr\xC3\xA8me");
    const auto start = typed.begin() + VERRO3_HEADER_SIZE +
                       reinterpret_cast<const Fce3Header*>(typed.data())->tableOffsets[0];
    EXPECT_EQ(Bytes(start, start + kesh.tables[8].size()), kesh.tables[8]) << "the damaged vertices";
    // A 3D model through the Open dialog's second file type, saved: the car fceconv's import builds.
    const char model[] = "o :HB\nv 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nf 1 2 3 4\n"
                         "o :LB\nv 0 0 1\nv 1 0 1\nv 0 1 1\nf 5 6 7\n";
    std::ofstream(folder / L"model.obj") << model;
    std::ofstream(dir.File("model.obj")) << model;
    Choose(IDC_OPEN_KESH, "Open", "model.obj", 1);
    ASSERT_TRUE(WaitFor([&] { return SendDlgItemMessageA(main, IDC_PART_LIST, LB_GETCOUNT, 0, 0) == 2; }));
    Settle(Choose(IDC_SAVE_KESH, "Save As", "from model"));
    ASSERT_TRUE(OpenObjPath(dir.File("model.obj").c_str(), {}, nullptr));
    ASSERT_TRUE(SaveKeshPath(dir.File("imported.fce").c_str()));
    ReleaseCarModel();
    EXPECT_EQ(ReadBytes(folder / L"from model.fce"), ReadBytes(dir.File("imported.fce")));
    Choose(IDC_OPEN_KESH, "Open", "broken.fce");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindDialog(main, "Error")) != nullptr; }));
    EXPECT_EQ(ItemText(box, 0xFFFF), "Error while reading file");
    PostClick(box, IDOK);
    Settle(box);
    PostClick(main, IDC_CLOSE);
    ASSERT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

} // namespace
