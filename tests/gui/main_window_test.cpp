// The main window's file commands, cars that reach it named on the command line or dropped, and the
// car view beside it.
#include "mainwin/outside_files.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "obj/obj_export.h"
#include "tests/gui/main_window_fixture.h"
#include "viewer/car_view.h"
#include "viewer/car_view_window.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

using MainWindowTest = MainWindowFixture;

// Wine does not carry a drop handle into another process, so drops go to this one's window.
HGLOBAL PostDrop(HWND window, const std::string& path) {
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + path.size() + 2);
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    std::memcpy(files + 1, path.c_str(), path.size());
    GlobalUnlock(drop);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    return drop;
}

// Each file button asks with its own dialog that starts in lastDirectory; confirming moves
// lastDirectory to the chosen folder, cancelling changes nothing. Saves and the import need a car.
TEST_F(MainWindowTest, FileCommandsAndCarsFromOutside) {
    SendCommand(window, IDC_SAVE_KESH);
    SendCommand(window, IDC_SAVE_VERRO3);
    SendCommand(window, IDC_IMPORT_DAMAGED);
    EXPECT_TRUE(responder.requests.empty()) << "no dialog without a car";
    EXPECT_EQ(responder.messages, std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST});

    // A name relative to the folder the program starts in; that folder becomes lastDirectory.
    WriteBytes(dir.File("car one.fce"), MakeKesh(SmallCar()).Build());
    SetCurrentDirectoryA(dir.Folder().c_str());
    NoteStartupFile("/x \"car one.fce\"");
    PostMessageA(window, WM_OPEN_STARTUP_FILE, 0, 0);
    PumpMessages();
    EXPECT_EQ(std::string(lastDirectory), dir.Folder());
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST), (std::vector<std::string>{":HB", ":OD", ":LB"}));
    SelectByUser(window, IDC_DUMMY_LIST, 1);
    EXPECT_EQ(ItemText(window, IDC_PART_NAME) + ItemText(window, IDC_DUMMY_NAME), ":HBTRYO324");
    EXPECT_EQ(ItemText(window, IDC_INFO_TEXT),
              "Number of triangles=7\r\nNumber of vertices=12\r\n"
              "Number of dummies=2\r\nNumber of parts=3\r\nNumber of colors=3\r\n");

    WriteBytes(dir.File("damaged-car.fce"), MakeVerro3(SmallCar(7)).Build());
    // Open dialogs start with no extension; save dialogs add "fce" and ask before replacing a file.
    const struct {
        int button;
        std::string request;
        const char* chosen;
    } buttons[] = {
        {IDC_IMPORT_DAMAGED, "open Verro3 car meshes (*.fce)|*.fce| 1 - 00281804", "damaged-car.fce"},
        {IDC_SAVE_KESH, "save Verro:Kesh car meshes (*.fce)|*.fce| 1 fce 00280006", "kesh.fce"},
        {IDC_SAVE_VERRO3,
         "save Verro3 car meshes (*.fce)|*.fce|Verro3 car damaged meshes (*.fce)|*.fce| 1 fce 00280006",
         "verro3.fce"},
        {IDC_OPEN_KESH, "open Verro:Kesh car meshes (*.fce)|*.fce|3D model (*.obj)|*.obj| 1 - 00281804",
         "kesh.fce"},
    };
    for (const auto& b : buttons) {
        std::strcpy(lastDirectory, "C:\\start\\");
        responder.requests.clear();
        responder.Cancel();
        SendCommand(window, b.button);
        EXPECT_EQ(std::string(lastDirectory), "C:\\start\\");
        responder.Choose(dir.File(b.chosen));
        SendCommand(window, b.button);
        EXPECT_EQ(std::string(lastDirectory), dir.Folder());
        EXPECT_EQ(responder.requests, std::vector<std::string>(2, b.request + " C:\\start\\"));
    }
    // Under a dialog a drop is ignored, and released all the same.
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
    HGLOBAL ignored = nullptr;
    DialogAnswerer answerer;
    answerer.Then([&](HWND editor) {
        ignored = PostDrop(window, dir.File("damaged-car.fce"));
        PostClick(editor, IDCANCEL);
    });
    SendCommand(window, IDC_COLOURS_EDITOR);
    EXPECT_EQ(GlobalSize(ignored), 0u);
    EXPECT_EQ(carModel.movementFlags[0], MovementMoving) << "the Kesh car stays; a Verro3 car moves nothing";

    WriteBytes(dir.File("broken.fce"), Bytes(100, 7));
    PostDrop(window, dir.File("broken.fce"));
    PumpMessages();
    EXPECT_EQ(responder.messages, (std::vector<std::string>{MESSAGE_LOAD_NORMAL_FIRST, MESSAGE_READ_ERROR}));
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size() + ListEntries(window, IDC_DUMMY_LIST).size(), 0u);
    PostDrop(window, dir.File("damaged-car.fce"));
    PumpMessages();
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    // A 3D model that cannot become a car says why, and the car stays.
    std::ofstream(dir.File("bad.obj")) << "o :HB\nv 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n";
    PostDrop(window, dir.File("bad.obj"));
    PumpMessages();
    ASSERT_EQ(responder.messages.size(), 3u);
    EXPECT_NE(responder.messages[2].find(":HB"), std::string::npos) << responder.messages[2];
    EXPECT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);

    SendCommand(window, IDCANCEL);
    EXPECT_FALSE(IsWindowVisible(window)) << "a modeless dialog ended by EndDialog is hidden";
}

const COLORREF SELECTED = RGB(230, 40, 0);
const int WHEEL = 2; // ":HRFW", the wheel nearest the viewer at first

// The car view: the sample car opened, a wheel clicked in the view.
TEST_F(MainWindowTest, AClickOnAWheelSelectsItsPartWhichTheViewHighlights) {
    RegisterCarViewClass();
    SendCommand(window, IDC_PART_LIST, LBN_DBLCLK);
    const std::string samples = std::filesystem::path(std::string("Z:") + VERRO_SAMPLES + "/").make_preferred().string();
    responder.Choose(samples + "sample_car.fce");
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(WindowText(carViewWindow), "Car view - sample_car.fce");
    // Closing the view leaves the car; the button opens it again, beside the main window.
    SendMessageA(carViewWindow, WM_CLOSE, 0, 0);
    SendCommand(window, IDC_CAR_VIEW);
    ASSERT_NE(carViewWindow, nullptr);
    RECT view, owner;
    GetWindowRect(carViewWindow, &view);
    GetWindowRect(window, &owner);
    EXPECT_EQ(view.left, owner.right);
    RECT client; // the picture fills the client area's bottom
    GetClientRect(carViewWindow, &client);
    const int top = client.bottom - carView.height;
    // The row's controls stand above the picture, left to right, each with room for its text.
    RECT previous = {0, 0, 0, 0};
    for (int id : {IDC_CAR_VIEW_DAMAGED, IDC_CAR_VIEW_WIREFRAME, IDC_CAR_VIEW_TEXTURE, IDC_CAR_VIEW_EXPORT_OBJ}) {
        RECT r;
        GetWindowRect(GetDlgItem(carViewWindow, id), &r);
        MapWindowPoints(nullptr, carViewWindow, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_TRUE(r.right - r.left > 40 && r.bottom > r.top && r.left >= previous.right && r.bottom < top) << id;
        previous = r;
    }

    // The wheel's hub, on its inner side, lies under its outer side from where the view looks.
    const Vec3& hub = carModel.header.partPositions[WHEEL];
    const ViewPoint p = ProjectPoint(carView, hub.x, hub.y, hub.z);
    const LPARAM at = MAKELPARAM(LONG(p.x), LONG(p.y) + top);
    PostMessageA(carViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(carViewWindow, WM_LBUTTONUP, 0, at);
    PumpMessages();
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), WHEEL);

    UpdateWindow(carViewWindow);
    // The wheel is drawn where it was clicked, and its edges in the selection colour are on screen.
    const Frame& frame = carView.frame;
    EXPECT_EQ(frame.part[size_t(LONG(p.y)) * size_t(frame.width) + size_t(LONG(p.x))], WHEEL);
    auto edge = std::ranges::find(frame.colour, SELECTED_COLOUR);
    ASSERT_NE(edge, frame.colour.end());
    const int edgeAt = int(edge - frame.colour.begin());
    HDC dc = GetDC(carViewWindow);
    EXPECT_EQ(GetPixel(dc, edgeAt % frame.width, edgeAt / frame.width + top), SELECTED);
    ReleaseDC(carViewWindow, dc);
    // The texture beside the sample car paints the body, no longer selected, red on screen; a
    // texture chosen with "Texture..." that cannot be read leaves it bare, the sample's again paints it.
    auto redShare = [&] {
        UpdateWindow(carViewWindow);
        HDC screen = GetDC(carViewWindow);
        int body = 0, red = 0;
        for (int y = 0; y < frame.height; y += 3) {
            for (int x = 0; x < frame.width; x += 3) {
                if (frame.part[size_t(y) * size_t(frame.width) + size_t(x)] == 0) {
                    const COLORREF c = GetPixel(screen, x, y + top);
                    ++body;
                    red += GetRValue(c) > 2 * GetGValue(c) && GetRValue(c) > 2 * GetBValue(c);
                }
            }
        }
        ReleaseDC(carViewWindow, screen);
        return double(red) / std::max(body, 1);
    };
    EXPECT_GT(redShare(), 0.5);
    WriteBytes(dir.File("broken.tga"), Bytes(40, 7));
    responder.Choose(dir.File("broken.tga"));
    SendCommand(carViewWindow, IDC_CAR_VIEW_TEXTURE);
    EXPECT_EQ(responder.requests.back(), "open Targa images (*.tga)|*.tga| 1 - 00281804 " + samples);
    EXPECT_LT(redShare(), 0.1);
    responder.Choose(samples + "sample_car00.tga");
    SendCommand(carViewWindow, IDC_CAR_VIEW_TEXTURE);
    EXPECT_GT(redShare(), 0.5);

    // "Export OBJ..." writes what fceconv's export writes, with the texture found beside the car.
    responder.Choose(dir.File("view.obj"));
    SendCommand(carViewWindow, IDC_CAR_VIEW_EXPORT_OBJ);
    EXPECT_EQ(responder.requests.back(), "save 3D model (*.obj)|*.obj| 1 obj 00280006 " + samples);
    ObjExportOptions options{ObjMesh::Both, samples + "sample_car00.tga", samples + "sample_car.fce", "Verro3"};
    std::filesystem::create_directory(dir.File("fceconv"));
    ASSERT_TRUE(SaveObjPath(dir.File("fceconv/view.obj").c_str(), options, nullptr));
    for (std::string file : {"view.obj", "view.mtl"}) {
        EXPECT_EQ(ReadBytes(dir.File(file)), ReadBytes(dir.File("fceconv/" + file))) << file;
    }

    responder.Choose(dir.File("missing.fce"));
    SendCommand(window, IDC_OPEN_VERRO3);
    UpdateWindow(carViewWindow);
    EXPECT_TRUE(std::ranges::all_of(carView.frame.part, [](int32_t part) { return part < 0; }));
}

} // namespace
