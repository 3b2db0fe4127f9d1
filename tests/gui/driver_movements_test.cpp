#include "driver/driver_dialog.h"
#include "driver/driver_view.h"
#include "platform/win32_handles.h"
#include "tests/gui/main_window_fixture.h"

#include <array>

namespace {

const char CAPTION[] = "Select moving driver vertices";
const COLORREF RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0), BLACK = RGB(0, 0, 0);
const COLORREF BACKGROUND = GetSysColor(COLOR_WINDOW), INVERTED = BACKGROUND ^ 0xFFFFFF;

TEST(DriverTemplateTest, MatchesItsDescription) {
    DialogTemplate t = ReadDialogTemplate(IDD_DRIVER_MOVEMENTS);
    ExpectDialogFrame(t, CAPTION, 0, 0, 312, 249);
    ExpectControls(t, {
                          {IDC_DRIVER_VIEW, "OmbrelImageWndClass", "", 4, 4, 304, 216, WS_TABSTOP},
                          {IDC_RESET_ALL, "Button", "Reset all", 4, 228, 50, 14},
                          {IDOK, "Button", "OK", 204, 228, 50, 14},
                          {IDCANCEL, "Button", "Cancel", 256, 228, 50, 14},
                      });
    EXPECT_EQ(t.items[0].exStyle & WS_EX_CLIENTEDGE, DWORD(WS_EX_CLIENTEDGE));
    for (size_t i = 1; i < t.items.size(); ++i) {
        EXPECT_EQ(t.items[i].style & BS_TYPEMASK, DWORD(BS_PUSHBUTTON)) << t.items[i].text;
    }
}

std::vector<uint32_t> WorkingValues() {
    std::vector<uint32_t> values;
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        values.push_back(driverView.projectedVertices[k].movement);
    }
    return values;
}

POINT VertexAt(uint32_t k) {
    return {driverView.projectedVertices[k].x, driverView.projectedVertices[k].y};
}

// The driver part, third of four, seen from the side (z across, y up):
//   3-------2      0, 1, 2, 3 the corners, 4 the centre, 5 and 6 on the diagonals;
//   | \   6/ |     four triangles meet at the centre. A fifth, from 5 to 1, names a
//   |   4    |     vertex the part does not have and must not be drawn.
//   |5/    \ |
//   0-------1
const Vec3 DRIVER_VERTICES[] = {{0, 0, -1},    {0, 0, 1},          {0, 0.5f, 1},     {0, 0.5f, -1},
                                {0, 0.25f, 0}, {0, 0.125f, -0.5f}, {0, 0.375f, 0.5f}};
const uint32_t DRIVER_TRIANGLES[][3] = {{0, 1, 4}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {5, 1, 7}};
const std::vector<uint32_t> DRIVER_FLAGS = {4, 0, 7, 4, 0, 4, 0};
const uint32_t FIRST = 8, FIRST_TRIANGLE = 5;

class DriverDialogTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        CarShape shape;
        shape.partVertexCounts = {5, 3, 7, 4};
        shape.partTriangleCounts = {4, 1, 5, 2};
        shape.partNames = {":HB", ":LB", ":OD", ":TB"};
        Open(shape);
        // The neighbours' values, neither all 0 nor all 4, must survive whatever the dialog does.
        for (uint32_t k = 0; k < carModel.header.vertexCount; ++k) {
            carModel.movementFlags[k] =
                k - FIRST < 7 ? DRIVER_FLAGS[k - FIRST] : std::array<uint32_t, 3>{0, 7, 4}[k % 3];
        }
        std::copy(std::begin(DRIVER_VERTICES), std::end(DRIVER_VERTICES), carModel.vertices + FIRST);
        for (uint32_t j = 0; j < 5; ++j) {
            std::copy_n(DRIVER_TRIANGLES[j], 3, carModel.triangles[FIRST_TRIANGLE + j].vertexIndexes);
        }
        original = ModelFlags();
    }
    static std::vector<uint32_t> ModelFlags() {
        return std::vector<uint32_t>(carModel.movementFlags,
                                     carModel.movementFlags + carModel.header.vertexCount);
    }
    // The model's values with the driver part's replaced.
    std::vector<uint32_t> Written(const std::vector<uint32_t>& driver) const {
        std::vector<uint32_t> flags = original;
        std::copy(driver.begin(), driver.end(), flags.begin() + FIRST);
        return flags;
    }
    // Without a modal loop, a test can look at the dialog between the messages it posts.
    void OpenDialog() {
        dialog = CreateDialogParamA(appInstance, MAKEINTRESOURCEA(IDD_DRIVER_MOVEMENTS), window,
                                    DriverMovementsDialog, 0);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        PumpMessages();
    }
    void Close(int id) {
        SendCommand(dialog, id);
        DestroyWindow(dialog); // the fixture sees that the dialog freed its working arrays
    }
    HWND View() const { return GetDlgItem(dialog, IDC_DRIVER_VIEW); }
    // Moves the real cursor to a point of the view, where the view reads it, and posts a
    // mouse message there.
    void Mouse(UINT message, POINT at) {
        POINT screen = at;
        ClientToScreen(View(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(View(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }
    std::vector<COLORREF> Pixels(const std::vector<POINT>& points) const {
        HDC dc = GetDC(View());
        std::vector<COLORREF> pixels;
        for (POINT at : points) {
            pixels.push_back(GetPixel(dc, at.x, at.y));
        }
        ReleaseDC(View(), dc);
        return pixels;
    }
    // The working values, each checked against the colour of its square.
    std::vector<uint32_t> ShownValues() const {
        for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
            EXPECT_EQ(Pixels({VertexAt(k)})[0],
                      driverView.projectedVertices[k].movement == MovementFixed ? RED : GREEN)
                << k;
        }
        return WorkingValues();
    }
    HWND dialog = nullptr;
    std::vector<uint32_t> original;
};

TEST_F(DriverDialogTest, FromTheMainWindowResetAllThenCancelKeepsAndOkFixesOnlyTheDriverPart) {
    // The driver part is neither the first, the last nor the selected part.
    SelectByUser(window, IDC_PART_LIST, 3);
    const std::vector<uint32_t> fixed(7, MovementFixed);
    for (int close : {IDCANCEL, IDOK}) {
        DialogAnswerer answerer;
        answerer.Then([close](HWND opened) {
            EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
            PostClick(opened, IDC_RESET_ALL);
            PostClick(opened, close);
        });
        SendCommand(window, IDC_DRIVER_MOVEMENTS);
        EXPECT_EQ(answerer.captions, std::vector<std::string>{CAPTION});
        EXPECT_EQ(ModelFlags(), close == IDOK ? Written(fixed) : original);
    }
    EXPECT_TRUE(responder.messages.empty());
    // Reopened, the dialog shows what was written; "Reset all" repaints what a drag changed.
    OpenDialog();
    EXPECT_EQ(ShownValues(), fixed);
    Mouse(WM_LBUTTONDOWN, {0, 0});
    Mouse(WM_MOUSEMOVE, {5000, 5000});
    Mouse(WM_LBUTTONUP, {5000, 5000});
    EXPECT_EQ(ShownValues(), std::vector<uint32_t>(7, MovementMoving));
    SendCommand(dialog, IDC_RESET_ALL);
    PumpMessages();
    EXPECT_EQ(ShownValues(), fixed);
    Close(IDCANCEL);
}

TEST_F(DriverDialogTest, ShowsRedAndGreenSquaresAndAMouseDragTogglesTheBand) {
    OpenDialog();
    RECT client;
    GetClientRect(View(), &client);
    EXPECT_EQ(driverView.viewClientRect.right, client.right);
    EXPECT_EQ(driverView.viewClientRect.bottom, client.bottom);
    EXPECT_EQ(ShownValues(), DRIVER_FLAGS);
    // A black edge between the squares; inside the triangles the background shows, also
    // where the edge from 5 to 1 would run.
    POINT a = VertexAt(0), b = VertexAt(1), centre = VertexAt(4), top = VertexAt(3), five = VertexAt(5);
    POINT middle = {(five.x + b.x) / 2, (five.y + b.y) / 2};
    EXPECT_EQ(Pixels({{(a.x + b.x) / 2, a.y},
                      {centre.x, (centre.y + top.y) / 2},
                      {middle.x, middle.y - 1},
                      middle,
                      {middle.x, middle.y + 1}}),
              (std::vector<COLORREF>{BLACK, BACKGROUND, BACKGROUND, BACKGROUND, BACKGROUND}));

    // A move with no drag in progress draws no band, wherever the last one was anchored.
    POINT at = {centre.x + 40, centre.y - 20};
    Mouse(WM_MOUSEMOVE, at);
    EXPECT_EQ(
        Pixels({{at.x - 2, at.y - 2}, {at.x + 2, at.y - 2}, {at.x - 2, at.y + 2}, {at.x + 2, at.y + 2}}),
        std::vector<COLORREF>(4, BACKGROUND));

    // From a little right of and below the centre, up and left out of the view: the band
    // holds corner 3 and the centre.
    POINT anchor = {centre.x + 30, centre.y + 20};
    Mouse(WM_LBUTTONDOWN, anchor);
    EXPECT_EQ(GetCapture(), View());
    Mouse(WM_MOUSEMOVE, {anchor.x - 30, anchor.y - 10});
    Mouse(WM_MOUSEMOVE, {-4, -3});
    // The band is inverted over the picture; nothing is toggled before the release.
    EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}, VertexAt(3), {anchor.x + 2, anchor.y + 2}}),
              (std::vector<COLORREF>{INVERTED, RED ^ 0xFFFFFF, BACKGROUND}));
    EXPECT_EQ(WorkingValues(), DRIVER_FLAGS);
    Mouse(WM_LBUTTONUP, {-4, -3});
    EXPECT_NE(GetCapture(), View());
    EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}})[0], BACKGROUND) << "repainted after the drag";
    const std::vector<uint32_t> toggled = {4, 0, 7, 0, 4, 4, 0};
    EXPECT_EQ(ShownValues(), toggled);

    // A drag over everything, until another window takes the mouse as a pressed button does.
    POINT corner = {client.right - 3, client.bottom - 3};
    Mouse(WM_LBUTTONDOWN, {2, 2});
    Mouse(WM_MOUSEMOVE, corner);
    EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], INVERTED) << "the band is drawn";
    SetCapture(GetDlgItem(dialog, IDC_RESET_ALL));
    PumpMessages();
    EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], BACKGROUND) << "the band is gone";
    Mouse(WM_LBUTTONUP, corner);
    EXPECT_EQ(ShownValues(), toggled);
    Close(IDOK);
    EXPECT_EQ(ModelFlags(), Written(toggled)) << "the 7 written back as it was";
}

} // namespace
