// The four file buttons of the main window: "Open Verro:Kesh...", "Save Verro:Kesh...",
// "Save Verro3..." and "Import damaged...", driven as a user would.
#include "model/last_directory.h"
#include "model/messages.h"
#include "model/verro3.h"
#include "platform/win32_handles.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <dlgs.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace {

const std::string KESH_FILTER("Verro:Kesh car meshes (*.fce)\0*.fce\0", 36);
const std::string VERRO3_FILTER("Verro3 car meshes (*.fce)\0*.fce\0", 32);
const std::string VERRO3_SAVE_FILTER("Verro3 car meshes (*.fce)\0*.fce\0"
                                     "Verro3 car damaged meshes (*.fce)\0*.fce\0",
                                     72);
const uint32_t OPEN_FLAGS = 0x00281804;
const uint32_t SAVE_FLAGS = 0x00280006;

const char INFO[] = "Number of triangles=7\r\nNumber of vertices=12\r\nNumber of dummies=2\r\n"
                    "Number of parts=3\r\nNumber of colors=3\r\n";

Bytes Slice(const Bytes& bytes, size_t offset, size_t size) {
    return offset + size <= bytes.size() ? Bytes(bytes.begin() + offset, bytes.begin() + offset + size)
                                         : Bytes{};
}

Bytes Verro3Vertices(const Bytes& file) {
    Fce3Header header;
    std::memcpy(&header, file.data(), sizeof header);
    return Slice(file, VERRO3_HEADER_SIZE + header.tableOffsets[0], header.vertexCount * 12);
}

class FileCommandsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        DestroyWindow(window);
        EXPECT_EQ(LiveZeroedBlocks(), 0) << "destroying the window releases the car";
    }
    std::string Write(const Bytes& bytes, const std::string& name) {
        WriteBytes(dir.File(name), bytes);
        return dir.File(name);
    }
    // Opens a Kesh car through its button; the responder forgets that dialog.
    void OpenKesh(const CarShape& shape = SmallCar()) {
        responder.Choose(Write(MakeKesh(shape).Build(), "car.fce"));
        SendCommand(window, IDC_OPEN_KESH);
        ASSERT_EQ(ListEntries(window, IDC_PART_LIST).size(), shape.partVertexCounts.size());
        responder.requests.clear();
    }
    void ExpectRequest(bool save, const std::string& filter, const char* extension, uint32_t flags,
                       const std::string& folder) {
        ASSERT_EQ(responder.requests.size(), 1u);
        const RecordedRequest& request = responder.requests[0];
        EXPECT_EQ(request.save, save);
        EXPECT_EQ(request.filter, filter);
        EXPECT_EQ(request.filterIndex, 1u);
        EXPECT_EQ(request.hasDefaultExtension, extension != nullptr);
        EXPECT_EQ(request.defaultExtension, extension ? extension : "");
        EXPECT_EQ(request.flags, flags);
        EXPECT_EQ(request.initialDirectory, folder);
        responder.requests.clear();
    }
    HWND window = nullptr;
    TempDir dir;
    ScriptedResponder responder;
};

TEST_F(FileCommandsTest, OpenKeshFillsTheWindow) {
    std::strcpy(lastDirectory, "C:\\start\\");
    responder.Choose(Write(MakeKesh(SmallCar()).Build(), "car.fce"));
    SendCommand(window, IDC_OPEN_KESH);
    ExpectRequest(false, KESH_FILTER, nullptr, OPEN_FLAGS, "C:\\start\\");
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", ":LB"}));
    EXPECT_EQ(ListEntries(window, IDC_DUMMY_LIST), (std::vector<std::string>{"HWYN5", "TRYO324"}));
    EXPECT_EQ(ItemText(window, IDC_PART_NAME), ":HB");
    EXPECT_EQ(ItemText(window, IDC_DUMMY_NAME), "HWYN5");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
}

TEST_F(FileCommandsTest, CancelledOpenKeepsTheCarAndTheFolder) {
    OpenKesh();
    std::strcpy(lastDirectory, "kept");
    responder.Cancel();
    SendCommand(window, IDC_OPEN_KESH);
    EXPECT_EQ(responder.requests.size(), 1u);
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_TRUE(responder.messages.empty());
}

TEST_F(FileCommandsTest, OpeningAVerro3FileAsKeshFailsAndEmptiesTheWindow) {
    OpenKesh();
    responder.Choose(Write(MakeVerro3(SmallCar()).Build(), "old.fce"));
    SendCommand(window, IDC_OPEN_KESH);
    EXPECT_EQ(responder.messages, (std::vector<std::string>{MESSAGE_NOT_KESH, MESSAGE_READ_ERROR}));
    EXPECT_TRUE(ListEntries(window, IDC_PART_LIST).empty());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), "");
    // With the car gone, the saves have nothing to act on.
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_EQ(responder.requests.size(), 1u);
}

TEST_F(FileCommandsTest, SaveKeshWritesTheCar) {
    OpenKesh();
    TempDir out;
    responder.Choose(out.File("saved.fce"));
    SendCommand(window, IDC_SAVE_KESH);
    ExpectRequest(true, KESH_FILTER, "fce", SAVE_FLAGS, dir.Folder());
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ReadBytes(out.File("saved.fce")).size(), 8248u + 140 * 12 + 68 * 7);
    EXPECT_EQ(std::string(lastDirectory), out.Folder());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO) << "a save changes nothing in the window";
}

TEST_F(FileCommandsTest, SaveVerro3OffersBothTypesAndWritesTheChosenOne) {
    OpenKesh();
    TempDir out;
    responder.Choose(out.File("damaged.fce"), 2);
    SendCommand(window, IDC_SAVE_VERRO3);
    ExpectRequest(true, VERRO3_SAVE_FILTER, "fce", SAVE_FLAGS, dir.Folder());
    responder.Choose(out.File("normal.fce"), 1);
    SendCommand(window, IDC_SAVE_VERRO3);
    ExpectRequest(true, VERRO3_SAVE_FILTER, "fce", SAVE_FLAGS, out.Folder());
    EXPECT_TRUE(responder.messages.empty());

    KeshFile kesh = MakeKesh(SmallCar());
    EXPECT_EQ(Verro3Vertices(ReadBytes(out.File("damaged.fce"))), kesh.tables[8]);
    EXPECT_EQ(Verro3Vertices(ReadBytes(out.File("normal.fce"))), kesh.tables[0]);
}

TEST_F(FileCommandsTest, CancelledSavesWriteNothingAndKeepTheFolder) {
    OpenKesh();
    std::strcpy(lastDirectory, "kept");
    for (int id : {IDC_SAVE_KESH, IDC_SAVE_VERRO3}) {
        responder.Cancel();
        SendCommand(window, id);
    }
    EXPECT_EQ(responder.requests.size(), 2u);
    EXPECT_EQ(std::string(lastDirectory), "kept");
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Folder()), {}), 1);
}

// The saves act only while a part is selected: no dialog, no message otherwise.
TEST_F(FileCommandsTest, SavesWithoutASelectedPartAreIgnored) {
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_TRUE(responder.requests.empty()) << "no car loaded";

    OpenKesh();
    SendDlgItemMessageA(window, IDC_PART_LIST, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_TRUE(responder.requests.empty()) << "no part selected";

    CarShape noParts;
    noParts.colourCount = 1;
    OpenKesh(noParts);
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_TRUE(responder.requests.empty()) << "a car without parts";
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(responder.unansweredDialogs, 0);
}

TEST_F(FileCommandsTest, ImportWithoutACarAsksForTheNormalFileFirst) {
    std::strcpy(lastDirectory, "kept");
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_TRUE(responder.requests.empty());
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST});
    EXPECT_EQ(std::string(lastDirectory), "kept");
}

TEST_F(FileCommandsTest, ImportThenSaveTheDamagedCar) {
    OpenKesh();
    TempDir other;
    WriteBytes(other.File("damaged.fce"), MakeVerro3(SmallCar(7)).Build());
    responder.Choose(other.File("damaged.fce"));
    SendCommand(window, IDC_IMPORT_DAMAGED);
    ExpectRequest(false, VERRO3_FILTER, nullptr, OPEN_FLAGS, dir.Folder());
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(std::string(lastDirectory), other.Folder());
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT), INFO);

    responder.Choose(other.File("out.fce"), 2);
    SendCommand(window, IDC_SAVE_VERRO3);
    EXPECT_EQ(Verro3Vertices(ReadBytes(other.File("out.fce"))), AsBytes(ShapeVertices(SmallCar(7))));
}

TEST_F(FileCommandsTest, ImportOfAnotherCarShowsTheMismatch) {
    OpenKesh();
    CarShape other = SmallCar(7);
    other.partVertexCounts = {5, 3, 4, 1};
    other.partTriangleCounts = {4, 1, 2, 0};
    responder.Choose(Write(MakeVerro3(other).Build(), "other.fce"));
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_DAMAGED_MISMATCH});
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);

    responder.messages.clear();
    responder.Cancel();
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(responder.requests.size(), 2u);
}

// Without the responder: the system's own save dialog, in which the user picks the second
// file type and types a name, and the system's own message box.
class RealDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The main window is a dialog too: the answerer takes it in first and leaves it be
        // when it is activated again after each dialog.
        answerer.Then([](HWND) {});
        window = OpenMainWindow();
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(answerer.captions.size(), 1u);
        answerer.captions.clear();
    }
    void TearDown() override { DestroyWindow(window); }
    DialogAnswerer answerer;
    HWND window = nullptr;
    TempDir dir;
};

HWND fileDialog = nullptr;
std::string typedName;

// Runs in the file dialog's modal loop once it has settled: picks the second file type,
// types the name and confirms.
void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND types = GetDlgItem(fileDialog, cmb1);
    SendMessageA(types, CB_SETCURSEL, 1, 0);
    for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
        SendMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(types));
    }
    HWND name = GetDlgItem(fileDialog, cmb13) ? GetDlgItem(fileDialog, cmb13) : GetDlgItem(fileDialog, edt1);
    SetWindowTextA(name, typedName.c_str());
    PostClick(fileDialog, IDOK);
}

TEST_F(RealDialogsTest, SaveVerro3ThroughTheSystemDialogs) {
    {
        ScriptedResponder responder;
        WriteBytes(dir.File("car.fce"), MakeKesh(SmallCar()).Build());
        responder.Choose(dir.File("car.fce"));
        SendCommand(window, IDC_OPEN_KESH);
        ASSERT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    }
    std::strcpy(lastDirectory, dir.Folder().c_str());
    typedName = dir.File("typed");
    answerer.Then([](HWND dialog) {
        fileDialog = dialog;
        SetTimer(nullptr, 0, 300, AnswerFileDialog);
    });
    SendCommand(window, IDC_SAVE_VERRO3);
    ASSERT_EQ(answerer.captions.size(), 1u);
    // The default extension was added, and the second type wrote the damaged vertices.
    ASSERT_TRUE(FileExists(dir.File("typed.fce")));
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("typed.fce"))), MakeKesh(SmallCar()).tables[8]);
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());

    // Saving over a read-only file: the dialog asks before replacing it, the save fails
    // and the system's message box tells so.
    ASSERT_TRUE(SetFileAttributesA(dir.File("typed.fce").c_str(), FILE_ATTRIBUTE_READONLY));
    std::string dialogCaption = answerer.captions[0];
    answerer.captions.clear();
    answerer.Then([](HWND dialog) {
        fileDialog = dialog;
        SetTimer(nullptr, 0, 300, AnswerFileDialog);
    });
    answerer.Then([](HWND dialog) { PostClick(dialog, IDYES); });
    std::string messageText;
    answerer.Then([&messageText](HWND dialog) {
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM text) {
                if (ClassName(child) == "Static") {
                    *reinterpret_cast<std::string*>(text) += WindowText(child);
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&messageText));
        PostClick(dialog, IDOK);
    });
    SendCommand(window, IDC_SAVE_VERRO3);
    SetFileAttributesA(dir.File("typed.fce").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(answerer.unexpected, 0);
    ASSERT_EQ(answerer.captions.size(), 3u);
    EXPECT_EQ(answerer.captions[0], dialogCaption);
    EXPECT_EQ(answerer.captions[2], "Error");
    EXPECT_EQ(messageText, MESSAGE_WRITE_ERROR);
    EXPECT_EQ(Verro3Vertices(ReadBytes(dir.File("typed.fce"))), MakeKesh(SmallCar()).tables[8]);
}

} // namespace
