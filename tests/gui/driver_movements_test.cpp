#include "driver/driver_dialog.h"
#include "driver/driver_view.h"
#include "model/verro3.h"
#include "resources/resource.h"
#include "tests/gui/gui_support.h"
#include "tests/support/fce_builder.h"
#include "tests/support/scripted_responder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace {

const char CAPTION[] = "Select moving driver vertices";
const COLORREF RED = RGB(255, 0, 0);
const COLORREF GREEN = RGB(0, 255, 0);
const COLORREF BLACK = RGB(0, 0, 0);

TEST(DriverTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_DRIVER_MOVEMENTS);
    EXPECT_EQ(t.caption, CAPTION);
    EXPECT_EQ(t.fontName, "MS Sans Serif");
    EXPECT_EQ(t.fontSize, 8);
    EXPECT_EQ(t.cx, 312);
    EXPECT_EQ(t.cy, 249);
    EXPECT_EQ(t.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
              DWORD(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
    EXPECT_EQ(t.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME), 0u);

    struct Control {
        int id;
        const char* className;
        const char* text;
        short x, y, cx, cy;
    };
    const Control controls[] = {
        {IDC_DRIVER_VIEW, "OmbrelImageWndClass", "", 4, 4, 304, 216},
        {IDC_RESET_ALL, "Button", "Reset all", 4, 228, 50, 14},
        {IDOK, "Button", "OK", 204, 228, 50, 14},
        {IDCANCEL, "Button", "Cancel", 256, 228, 50, 14},
    };
    ASSERT_EQ(t.items.size(), std::size(controls));
    for (size_t i = 0; i < t.items.size(); ++i) {
        const TemplateItem& item = t.items[i];
        const Control& c = controls[i];
        EXPECT_EQ(item.id, c.id);
        // Window classes are found without regard to case, and resource compilers spell them
        // as they like.
        EXPECT_EQ(lstrcmpiA(item.className.c_str(), c.className), 0) << item.className;
        EXPECT_EQ(item.text, c.text) << c.id;
        EXPECT_EQ((std::vector<short>{item.x, item.y, item.cx, item.cy}),
                  (std::vector<short>{c.x, c.y, c.cx, c.cy}))
            << c.id;
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE)) << c.id;
        if (item.className == "Button") {
            EXPECT_EQ(item.style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)) << c.id;
        }
    }
    EXPECT_TRUE(t.items[0].style & WS_TABSTOP);
    EXPECT_EQ(t.items[0].exStyle & WS_EX_CLIENTEDGE, DWORD(WS_EX_CLIENTEDGE));
}

// Steps that run one by one inside the dialog's modal loop, each from a thread timer. Timer
// messages come only when nothing else is waiting, so whatever a step posted has been
// handled, and the view painted, by the time the next one runs.
std::deque<std::function<void()>> pendingSteps;
UINT_PTR stepTimer = 0;
HWND runningDialog = nullptr;

void CALLBACK RunNextStep(HWND, UINT, UINT_PTR, DWORD) {
    // The modal loop shows the dialog only once its queue is empty, which a first tick can
    // beat; nothing can be seen or clicked before that.
    if (!IsWindowVisible(runningDialog)) {
        return;
    }
    if (pendingSteps.empty()) {
        // A script that forgot to close the dialog must not hang the test.
        KillTimer(nullptr, stepTimer);
        stepTimer = 0;
        PostClick(runningDialog, IDCANCEL);
        ADD_FAILURE() << "the steps ended with the dialog open";
        return;
    }
    auto step = std::move(pendingSteps.front());
    pendingSteps.pop_front();
    step();
}

HWND View() {
    return GetDlgItem(runningDialog, IDC_DRIVER_VIEW);
}

// Moves the real cursor to a point of the view, where the view will read it, and posts a
// mouse message there.
void Mouse(UINT message, POINT at) {
    POINT screen = at;
    ClientToScreen(View(), &screen);
    SetCursorPos(screen.x, screen.y);
    WPARAM keys = message == WM_LBUTTONUP ? 0 : MK_LBUTTON;
    PostMessageA(View(), message, keys, MAKELPARAM(at.x, at.y));
}

COLORREF PixelAt(int x, int y) {
    HDC dc = GetDC(View());
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(View(), dc);
    return colour;
}

// Every third pixel of every third row of the view, enough to see a band anywhere.
std::vector<COLORREF> Picture() {
    RECT client;
    GetClientRect(View(), &client);
    HDC dc = GetDC(View());
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; y += 3) {
        for (int x = 0; x < client.right; x += 3) {
            pixels.push_back(GetPixel(dc, x, y));
        }
    }
    ReleaseDC(View(), dc);
    return pixels;
}

POINT VertexAt(uint32_t k) {
    return {driverView.projectedVertices[k].x, driverView.projectedVertices[k].y};
}

std::vector<uint32_t> WorkingValues() {
    std::vector<uint32_t> values;
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        values.push_back(driverView.projectedVertices[k].movement);
    }
    return values;
}

// Each vertex's centre shows the colour of the last square drawn over it.
void ExpectVertexColours() {
    UpdateWindow(View());
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        POINT at = VertexAt(k);
        COLORREF expected = 0;
        for (uint32_t j = 0; j < driverView.vertexCount; ++j) {
            POINT other = VertexAt(j);
            if (std::abs(other.x - at.x) <= 1 && std::abs(other.y - at.y) <= 1) {
                expected = driverView.projectedVertices[j].movement == MovementFixed ? RED : GREEN;
            }
        }
        EXPECT_EQ(PixelAt(at.x, at.y), expected) << "vertex " << k;
    }
}

// The driver part, second of three, seen from the side (z across, y up):
//   3-------2      0, 1, 2, 3 the corners, 4 the centre, 5 and 6 on the diagonals;
//   | \   6/ |     four triangles meet at the centre. A fifth, from 5 to 1, names a
//   |   4    |     vertex the part does not have and must not be drawn.
//   |5/    \ |
//   0-------1
const std::vector<Vec3> DRIVER_VERTICES = {{0, 0, -1},    {0, 0, 1},          {0, 0.5f, 1},     {0, 0.5f, -1},
                                           {0, 0.25f, 0}, {0, 0.125f, -0.5f}, {0, 0.375f, 0.5f}};
const uint32_t DRIVER_TRIANGLES[][3] = {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {5, 1, 7}};
const std::vector<uint32_t> DRIVER_FLAGS = {4, 0, 7, 4, 0, 4, 0};

class DriverDialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        liveBefore = LiveZeroedBlocks();
        CarShape shape;
        shape.partVertexCounts = {4, 7, 3};
        shape.partTriangleCounts = {2, 5, 1};
        shape.partNames = {":HB", ":OD", ":TB"};
        WriteBytes(dir.File("car.fce"), MakeVerro3(shape).Build());
        ASSERT_EQ(OpenVerro3Path(dir.File("car.fce").c_str()), 1);
        PlaceDriver();
        original = ModelFlags();
    }
    void TearDown() override {
        ReleaseFce3Mesh();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), liveBefore) << "the dialog freed its working arrays";
        EXPECT_EQ(driverView.projectedVertices, nullptr);
    }
    void PlaceDriver() {
        const uint32_t first = carModel.header.partFirstVertex[1];
        for (size_t i = 0; i < DRIVER_VERTICES.size(); ++i) {
            carModel.vertices[first + i] = DRIVER_VERTICES[i];
            carModel.movementFlags[first + i] = DRIVER_FLAGS[i];
        }
        for (size_t j = 0; j < std::size(DRIVER_TRIANGLES); ++j) {
            FceTriangle& t = carModel.triangles[carModel.header.partFirstTriangle[1] + j];
            std::copy(DRIVER_TRIANGLES[j], DRIVER_TRIANGLES[j] + 3, t.vertexIndexes);
        }
        // The neighbours' values must survive whatever the dialog does.
        const uint32_t others[] = {0, 7, 0, 4, 7, 0, 4};
        for (uint32_t k = 0; k < 4; ++k) {
            carModel.movementFlags[k] = others[k];
        }
        for (uint32_t k = 0; k < 3; ++k) {
            carModel.movementFlags[11 + k] = others[4 + k];
        }
    }
    static std::vector<uint32_t> ModelFlags() {
        return std::vector<uint32_t>(carModel.movementFlags,
                                     carModel.movementFlags + carModel.header.vertexCount);
    }
    // Runs the dialog modally through its entry point with the steps given.
    INT_PTR Run(std::vector<std::function<void()>> steps, HWND owner = nullptr) {
        DialogAnswerer answerer;
        answerer.Then([&](HWND dialog) {
            runningDialog = dialog;
            pendingSteps.assign(steps.begin(), steps.end());
            stepTimer = SetTimer(nullptr, 0, 20, RunNextStep);
        });
        INT_PTR result = RunDriverMovementsDialog(owner);
        if (stepTimer) {
            KillTimer(nullptr, stepTimer);
            stepTimer = 0;
        }
        pendingSteps.clear();
        EXPECT_EQ(answerer.captions, std::vector<std::string>{CAPTION});
        return result;
    }
    static std::function<void()> Click(int id) {
        return [id] { PostClick(runningDialog, id); };
    }
    int64_t liveBefore = 0;
    TempDir dir;
    ScriptedResponder responder;
    std::vector<uint32_t> original;
};

TEST_F(DriverDialogTest, ShowsTheDriverPartInRedAndGreen) {
    std::vector<COLORREF> picture;
    INT_PTR result = Run({
        [] {
            EXPECT_EQ(WindowText(runningDialog), CAPTION);
            RECT client;
            GetClientRect(View(), &client);
            EXPECT_EQ(driverView.viewClientRect.right, client.right);
            EXPECT_EQ(driverView.viewClientRect.bottom, client.bottom);
            EXPECT_EQ(driverView.driverPartIndex, 1u);
            EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
            // Corner 0 sits at the bottom left, inside the 10-pixel margin, corner 2 at the
            // top right; the x extent fills the width.
            EXPECT_EQ(VertexAt(0).x, 10);
            EXPECT_NEAR(VertexAt(1).x, client.right - 10, 1);
            EXPECT_LT(VertexAt(2).y, VertexAt(0).y);
            ExpectVertexColours();
            // The bottom edge is drawn in black between the squares; inside the triangles
            // the background shows, also where the edge from 5 to 1 would run.
            POINT a = VertexAt(0), b = VertexAt(1);
            EXPECT_EQ(PixelAt((a.x + b.x) / 2, a.y), BLACK);
            POINT centre = VertexAt(4), top = VertexAt(3);
            EXPECT_EQ(PixelAt(centre.x, (centre.y + top.y) / 2), GetSysColor(COLOR_WINDOW));
            POINT five = VertexAt(5);
            for (int dy = -1; dy <= 1; ++dy) {
                EXPECT_EQ(PixelAt((five.x + b.x) / 2, (five.y + b.y) / 2 + dy), GetSysColor(COLOR_WINDOW));
            }
        },
        [&] {
            // Moves and a release with no drag in progress change nothing and draw nothing.
            picture = Picture();
            POINT at = VertexAt(4);
            Mouse(WM_MOUSEMOVE, {at.x + 40, at.y - 20});
            Mouse(WM_LBUTTONUP, at);
        },
        [&] {
            EXPECT_EQ(driverView.dragging, 0u);
            EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
            EXPECT_TRUE(Picture() == picture);
        },
        Click(IDCANCEL),
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(ModelFlags(), original);
}

TEST_F(DriverDialogTest, MouseDragTogglesTheVerticesInsideTheBand) {
    POINT anchor{};
    INT_PTR result = Run({
        [&] {
            // From a little right of and below the centre, up and left out of the view: the
            // band holds corner 3 and the centre.
            POINT centre = VertexAt(4);
            anchor = {centre.x + 30, centre.y + 20};
            Mouse(WM_LBUTTONDOWN, anchor);
        },
        [&] {
            EXPECT_EQ(driverView.dragging, 1u);
            EXPECT_EQ(GetCapture(), View());
            Mouse(WM_MOUSEMOVE, {anchor.x - 30, anchor.y - 10});
        },
        [&] {
            Mouse(WM_MOUSEMOVE, {-4, -3});
        },
        [&] {
            // The band is inverted over the picture; the squares are not redrawn meanwhile.
            COLORREF background = GetSysColor(COLOR_WINDOW);
            EXPECT_EQ(PixelAt(anchor.x - 2, anchor.y - 2), background ^ 0xFFFFFF);
            EXPECT_EQ(PixelAt(anchor.x + 2, anchor.y + 2), background);
            EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
            Mouse(WM_LBUTTONUP, {-4, -3});
        },
        [&] {
            EXPECT_EQ(driverView.dragging, 0u);
            EXPECT_NE(GetCapture(), View());
            EXPECT_EQ(WorkingValues(), (std::vector<uint32_t>{4, 0, 7, 0, 4, 4, 0}));
            COLORREF background = GetSysColor(COLOR_WINDOW);
            EXPECT_EQ(PixelAt(anchor.x - 2, anchor.y - 2), background) << "repainted after the drag";
            ExpectVertexColours();
        },
        Click(IDOK),
    });
    EXPECT_EQ(result, 1);
    std::vector<uint32_t> expected = original;
    expected[4 + 3] = 0;
    expected[4 + 4] = 4;
    EXPECT_EQ(ModelFlags(), expected);
}

TEST_F(DriverDialogTest, LosingTheMouseEndsTheDragWithoutToggling) {
    POINT corner{};
    INT_PTR result = Run({
        [] {
            Mouse(WM_LBUTTONDOWN, {2, 2});
        },
        [&] {
            RECT client;
            GetClientRect(View(), &client);
            corner = {client.right - 3, client.bottom - 3};
            Mouse(WM_MOUSEMOVE, corner);
        },
        [&] {
            EXPECT_EQ(PixelAt(corner.x - 1, 3), GetSysColor(COLOR_WINDOW) ^ 0xFFFFFF) << "the band is drawn";
            // Another window takes the mouse, as a button does when it is pressed.
            SetCapture(GetDlgItem(runningDialog, IDC_RESET_ALL));
            EXPECT_EQ(driverView.dragging, 0u);
        },
        [&] {
            EXPECT_EQ(PixelAt(corner.x - 1, 3), GetSysColor(COLOR_WINDOW)) << "the band is gone";
            Mouse(WM_LBUTTONUP, corner);
        },
        [] {
            EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
            ExpectVertexColours();
        },
        Click(IDOK),
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ModelFlags(), original);
}

TEST_F(DriverDialogTest, ResetAllThenOkFixesOnlyTheDriverPart) {
    INT_PTR result = Run({
        Click(IDC_RESET_ALL),
        [] {
            EXPECT_EQ(WorkingValues(), std::vector<uint32_t>(7, MovementFixed));
            EXPECT_EQ(ModelFlags(), (std::vector<uint32_t>{0, 7, 0, 4, 4, 0, 7, 4, 0, 4, 0, 7, 0, 4}));
            ExpectVertexColours();
            EXPECT_EQ(PixelAt(VertexAt(1).x, VertexAt(1).y), RED);
        },
        Click(IDOK),
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(ModelFlags(), (std::vector<uint32_t>{0, 7, 0, 4, 4, 4, 4, 4, 4, 4, 4, 7, 0, 4}));
}

TEST_F(DriverDialogTest, CancelLeavesTheModelUnchanged) {
    for (int close : {IDCANCEL, IDC_RESET_ALL}) {
        std::vector<std::function<void()>> steps = {
            [] {
                Mouse(WM_LBUTTONDOWN, {0, 0});
            },
            [] {
                Mouse(WM_MOUSEMOVE, {5000, 5000});
            },
            [] {
                Mouse(WM_LBUTTONUP, {5000, 5000});
            },
            [] { EXPECT_NE(WorkingValues(), DRIVER_FLAGS); },
        };
        if (close == IDC_RESET_ALL) {
            steps.push_back(Click(IDC_RESET_ALL));
        }
        steps.push_back(Click(IDCANCEL));
        EXPECT_EQ(Run(steps), 0);
        EXPECT_EQ(ModelFlags(), original);
    }
}

TEST_F(DriverDialogTest, ReopeningShowsWhatWasWritten) {
    Run({
        [] {
            // A click on corner 1 alone.
            Mouse(WM_LBUTTONDOWN, VertexAt(1));
        },
        [] { Mouse(WM_LBUTTONUP, VertexAt(1)); },
        [] {
            EXPECT_EQ(WorkingValues(), (std::vector<uint32_t>{4, 4, 7, 4, 0, 4, 0}));
        },
        Click(IDOK),
    });
    Run({
        [] {
            EXPECT_EQ(WorkingValues(), (std::vector<uint32_t>{4, 4, 7, 4, 0, 4, 0}));
            ExpectVertexColours();
            EXPECT_EQ(PixelAt(VertexAt(1).x, VertexAt(1).y), RED);
            EXPECT_EQ(PixelAt(VertexAt(2).x, VertexAt(2).y), GREEN) << "7 shows like 0";
        },
        Click(IDCANCEL),
    });
}

// Needs the driver part check of the main window's "Driver movements" command.
TEST_F(DriverDialogTest, OpensFromTheMainWindowWithOneDriverPartAnywhere) {
    // The main window starts from an empty model; the car is opened through it.
    ReleaseFce3Mesh();
    ReleaseCarModel();
    HWND window = OpenMainWindow();
    ASSERT_NE(window, nullptr);
    std::string path = dir.File("driver.fce");
    CarShape shape;
    shape.partVertexCounts = {3, 4, 5};
    shape.partTriangleCounts = {1, 2, 3};
    shape.partNames = {":HB", ":TB", ":OD"};
    WriteBytes(path, MakeVerro3(shape).Build());
    responder.Choose(path);
    SendCommand(window, IDC_OPEN_VERRO3);
    ASSERT_EQ(ListEntries(window, IDC_PART_LIST).size(), 3u);
    ASSERT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    {
        DialogAnswerer answerer;
        answerer.Then([](HWND dialog) {
            EXPECT_EQ(driverView.driverPartIndex, 2u);
            EXPECT_EQ(driverView.vertexCount, 5u);
            PostClick(dialog, IDOK);
        });
        SendCommand(window, IDC_DRIVER_MOVEMENTS);
        EXPECT_EQ(answerer.captions, std::vector<std::string>{CAPTION});
    }
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);
    DestroyWindow(window);
}

} // namespace
