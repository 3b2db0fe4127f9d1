// The four file buttons of the main window: "Open Verro:Kesh...", "Save Verro:Kesh...",
// "Save Verro3..." and "Import damaged...", driven as a user would.
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "tests/gui/main_window_fixture.h"

#include <dlgs.h>

#include <cstring>
#include <filesystem>

namespace {

const char INFO[] = "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                    "Number of parts=3\r\nNumber of colors=3\r\n";

Bytes Verro3Vertices(const Bytes& file) {
    Fce3Header header;
    std::memcpy(&header, file.data(), sizeof header);
    return Bytes(file.begin() + VERRO3_HEADER_SIZE + header.tableOffsets[0],
                 file.begin() + VERRO3_HEADER_SIZE + header.tableOffsets[0] + header.vertexCount * 12);
}

using FileCommandsTest = MainWindowFixture;

// Each button asks with its own dialog, starting in lastDirectory; confirming moves
// lastDirectory to the chosen folder, cancelling changes nothing and shows nothing.
TEST_F(FileCommandsTest, EachButtonAsksAndRemembersTheFolder) {
    const std::string keshFilter("Verro:Kesh car meshes (*.fce)\0*.fce\0", 36);
    const std::string verro3Filter("Verro3 car meshes (*.fce)\0*.fce\0", 32);
    const std::string saveFilter =
        verro3Filter + std::string("Verro3 car damaged meshes (*.fce)\0*.fce\0", 40);
    CarShape renamed = SmallCar();
    renamed.partNames = {":A", ":B", ":C"};
    Open(renamed);
    WriteBytes(dir.File("kesh-car.fce"), MakeKesh(SmallCar()).Build());
    WriteBytes(dir.File("damaged-car.fce"), MakeVerro3(SmallCar(7)).Build());
    const struct {
        int button;
        std::string filter;
        const char* extension; // the save dialogs add "fce", the open ones nothing
        const char* chosen;
        uint32_t filterIndex;
    } cases[] = {
        {IDC_OPEN_KESH, keshFilter, "", "kesh-car.fce", 1},
        {IDC_IMPORT_DAMAGED, verro3Filter, "", "damaged-car.fce", 1},
        {IDC_SAVE_KESH, keshFilter, "fce", "kesh.fce", 1},
        {IDC_SAVE_VERRO3, saveFilter, "fce", "damaged.fce", 2},
        {IDC_SAVE_VERRO3, saveFilter, "fce", "normal.fce", 1},
    };
    for (const auto& c : cases) {
        std::strcpy(lastDirectory, "C:\\start\\");
        responder.Cancel();
        SendCommand(window, c.button);
        EXPECT_EQ(std::string(lastDirectory), "C:\\start\\");
        responder.Choose(dir.File(c.chosen), c.filterIndex);
        SendCommand(window, c.button);
        EXPECT_EQ(std::string(lastDirectory), dir.Folder());
        ASSERT_EQ(responder.requests.size(), 2u) << c.button;
        for (const RecordedRequest& request : responder.requests) {
            bool save = c.extension[0] != '\0';
            EXPECT_EQ(request.save, save);
            EXPECT_EQ(request.filter, c.filter);
            EXPECT_EQ(request.filterIndex, 1u);
            EXPECT_EQ(request.hasDefaultExtension, save);
            EXPECT_EQ(request.defaultExtension, c.extension);
            EXPECT_EQ(request.flags, save ? 0x00280006u : 0x00281804u);
            EXPECT_EQ(request.initialDirectory, "C:\\start\\");
        }
        responder.requests.clear();
        EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO) << c.button;
    }
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", ":LB"}));
    // The second file type writes the imported damaged car, the first the normal one.
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("damaged.fce"))), AsBytes(ShapeVertices(SmallCar(7))));
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("normal.fce"))), AsBytes(ShapeVertices(SmallCar())));
    EXPECT_EQ(ReadBytes(dir.File("kesh.fce")).size(), 8248u + 140 * 12 + 68 * 7);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 6)
        << "cancelled saves write nothing";
}

// Import wants a car first; the saves act only while a part is selected, and are otherwise
// ignored without a dialog or a message. A failed open empties the window.
TEST_F(FileCommandsTest, PreconditionsAndFailures) {
    auto expectSavesIgnored = [&](const char* why) {
        SendCommand(window, IDC_SAVE_KESH);
        SendCommand(window, IDC_SAVE_VERRO3);
        EXPECT_TRUE(responder.requests.empty()) << why;
    };
    std::strcpy(lastDirectory, "kept");
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_TRUE(responder.requests.empty());
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST});
    EXPECT_EQ(std::string(lastDirectory), "kept");
    expectSavesIgnored("no car");

    CarShape noParts;
    noParts.colourCount = 1;
    Open(noParts);
    expectSavesIgnored("a car without parts");
    Open(SmallCar());
    SendDlgItemMessageA(window, IDC_PART_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    expectSavesIgnored("no part selected");

    responder.messages.clear();
    std::strcpy(lastDirectory, "before");
    responder.Choose(dir.File("car.fce")); // a Verro3 file
    SendCommand(window, IDC_OPEN_KESH);
    EXPECT_EQ(responder.messages, (std::vector<std::string>{MESSAGE_NOT_KESH, MESSAGE_READ_ERROR}));
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "");
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    EXPECT_EQ(responder.unansweredDialogs, 0);
}

// Without the responder: the system's own save dialog, in which the user picks a file type
// and types a name, and its own question before a file is replaced.
class RealDialogsTest : public MainWindowFixture {
  protected:
    // The main window is a dialog too: the answerer takes it in first and leaves it be.
    RealDialogsTest() {
        answerer.Then([](HWND) {});
    }
    DialogAnswerer answerer;
};

HWND fileDialog = nullptr;
std::string typedName;
int fileType = 0;

// Runs in the file dialog's modal loop once it has settled: picks the file type, types
// the name and confirms.
void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND types = GetDlgItem(fileDialog, cmb1);
    SendMessageA(types, CB_SETCURSEL, fileType, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
        SendMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    }
    HWND name = GetDlgItem(fileDialog, cmb13) ? GetDlgItem(fileDialog, cmb13) : GetDlgItem(fileDialog, edt1);
    SetWindowTextA(name, typedName.c_str());
    PostClick(fileDialog, IDOK);
}

TEST_F(RealDialogsTest, SaveVerro3ThroughTheSystemDialogs) {
    WriteBytes(dir.File("car.fce"), MakeKesh(SmallCar()).Build());
    responder.Choose(dir.File("car.fce"));
    SendCommand(window, IDC_OPEN_KESH);
    ASSERT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    InstallResponder(nullptr);
    typedName = dir.File("typed");
    auto answerFileDialog = [](HWND dialog) {
        fileDialog = dialog;
        SetTimer(nullptr, 0, 300, AnswerFileDialog);
    };
    // The second type and a name without extension: the damaged car goes to typed.fce.
    fileType = 1;
    answerer.Then(answerFileDialog);
    SendCommand(window, IDC_SAVE_VERRO3);
    ASSERT_EQ(answerer.captions.size(), 2u) << "the main window, then the save dialog";
    KeshFile kesh = MakeKesh(SmallCar());
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("typed.fce"))), kesh.tables[8]);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());

    // The same name again, with the first type: the dialog asks before replacing the file.
    fileType = 0;
    answerer.Then(answerFileDialog);
    answerer.Then([](HWND dialog) { PostClick(dialog, IDYES); });
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_EQ(answerer.captions.size(), 4u);
    EXPECT_EQ(answerer.unexpected, 0);
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("typed.fce"))), kesh.tables[0]);
}

} // namespace
