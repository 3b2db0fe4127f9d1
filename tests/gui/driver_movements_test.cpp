// The driver's vertices chosen with the real mouse, the driver part neither first, last nor selected.
#include "driver/driver_view.h"
#include "model/car_model.h"
#include "tests/gui/main_window_fixture.h"

#include <cstring>

namespace {

const COLORREF RED = RGB(255, 0, 0), GREEN = RGB(0, 255, 0), BLACK = RGB(0, 0, 0);
const COLORREF BACKGROUND = GetSysColor(COLOR_WINDOW), INVERTED = BACKGROUND ^ 0xFFFFFF;

// Corners 0 to 3 anticlockwise from the bottom left, 4 the centre, 5 and 6 on the diagonals. The
// bottom edge is only the first triangle's closing edge; the fifth names a vertex the part lacks.
const Vec3 DRIVER_VERTICES[] = {{0, 0, -1},    {0, 0, 1},          {0, 0.5f, 1},     {0, 0.5f, -1},
                                {0, 0.25f, 0}, {0, 0.125f, -0.5f}, {0, 0.375f, 0.5f}};
const uint32_t DRIVER_TRIANGLES[][3] = {{1, 4, 0}, {1, 2, 4}, {2, 3, 4}, {3, 0, 4}, {5, 1, 7}};
const std::vector<uint32_t> DRIVER_FLAGS = {4, 0, 7, 4, 0, 4, 0};
const uint32_t FIRST = 8, FIRST_TRIANGLE = 5;

std::vector<uint32_t> Flags() {
    return std::vector<uint32_t>(carModel.movementFlags,
                                 carModel.movementFlags + carModel.header.vertexCount);
}

class DriverMovementsTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        Open({{5, 3, 7, 4}, {4, 1, 5, 2}, {":HB", ":LB", ":OD", ":TB"}, {}, 0, 1});
        for (uint32_t k = 0; k < carModel.header.vertexCount; ++k) { // neither all 0 nor all 4 around
            carModel.movementFlags[k] = k - FIRST < 7 ? DRIVER_FLAGS[k - FIRST] : k % 3 * 2;
        }
        std::copy(std::begin(DRIVER_VERTICES), std::end(DRIVER_VERTICES), carModel.vertices + FIRST);
        for (uint32_t j = 0; j < 5; ++j) {
            std::copy_n(DRIVER_TRIANGLES[j], 3, carModel.triangles[FIRST_TRIANGLE + j].vertexIndexes);
        }
        original = Flags();
    }
    HWND View() const { return GetDlgItem(dialog, IDC_DRIVER_VIEW); }
    POINT At(uint32_t k) const {
        return {driverView.projectedVertices[k].x, driverView.projectedVertices[k].y};
    }
    // The view reads the real cursor.
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
    // Each checked against the colour of its square.
    std::vector<uint32_t> Shown() const {
        std::vector<uint32_t> values;
        for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
            values.push_back(driverView.projectedVertices[k].movement);
            EXPECT_EQ(Pixels({At(k)})[0], values.back() == MovementFixed ? RED : GREEN) << k;
        }
        return values;
    }
    HWND dialog = nullptr;
    std::vector<uint32_t> original;
};

// Opened twice: a drag, a drag cut short, "Reset all" and Cancel change nothing; a drag and OK write
// the driver part's values alone.
TEST_F(DriverMovementsTest, DraggingTheMouseTogglesTheVerticesInTheBand) {
    SelectByUser(window, IDC_PART_LIST, 3);
    const std::vector<uint32_t> toggled = {4, 0, 7, 0, 4, 4, 0};
    // From below right of the centre to out of the view: the band, drawn inverted, holds corner 3
    // and the centre. A move with no drag in progress draws nothing.
    auto drag = [&] {
        const POINT centre = At(4), anchor = {centre.x + 30, centre.y + 20};
        Mouse(WM_MOUSEMOVE, anchor);
        EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}})[0], BACKGROUND);
        Mouse(WM_LBUTTONDOWN, anchor);
        EXPECT_EQ(GetCapture(), View());
        Mouse(WM_MOUSEMOVE, {anchor.x - 30, anchor.y - 10});
        Mouse(WM_MOUSEMOVE, {-4, -3});
        EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}, At(3), {anchor.x + 2, anchor.y + 2}}),
                  (std::vector<COLORREF>{INVERTED, RED ^ 0xFFFFFF, BACKGROUND}));
        Mouse(WM_LBUTTONUP, {-4, -3});
        EXPECT_NE(GetCapture(), View());
        EXPECT_EQ(Pixels({{anchor.x - 2, anchor.y - 2}})[0], BACKGROUND);
        EXPECT_EQ(Shown(), toggled);
    };
    DialogAnswerer answerer;
    answerer.Then([&](HWND opened) {
        dialog = opened;
        RECT client;
        GetClientRect(View(), &client);
        EXPECT_EQ((std::vector<int32_t>{driverView.viewClientRect.right, driverView.viewClientRect.bottom}),
                  (std::vector<int32_t>{client.right, client.bottom}));
        // An edge, the inside of a triangle, and where the edge to the missing vertex would run.
        const POINT a = At(0), b = At(1), centre = At(4), five = At(5);
        EXPECT_EQ(Pixels({{(a.x + b.x) / 2, a.y},
                          {centre.x, (centre.y + At(3).y) / 2},
                          {(five.x + b.x) / 2, (five.y + b.y) / 2}}),
                  (std::vector<COLORREF>{BLACK, BACKGROUND, BACKGROUND}));
        drag();
        const POINT corner = {client.right - 3, client.bottom - 3};
        Mouse(WM_LBUTTONDOWN, {2, 2});
        Mouse(WM_MOUSEMOVE, corner);
        EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], INVERTED);
        SetCapture(GetDlgItem(dialog, IDC_RESET_ALL));
        PumpMessages();
        EXPECT_EQ(Pixels({{corner.x - 1, 3}})[0], BACKGROUND) << "the band goes with the mouse";
        Mouse(WM_LBUTTONUP, corner);
        EXPECT_EQ(Shown(), toggled);
        ClickNow(dialog, IDC_RESET_ALL);
        PumpMessages();
        EXPECT_EQ(Shown(), std::vector<uint32_t>(7, MovementFixed)) << "repainted";
        ClickNow(dialog, IDCANCEL);
    });
    answerer.Then([&](HWND opened) {
        dialog = opened;
        drag();
        ClickNow(dialog, IDOK);
    });
    std::vector<uint32_t> written = original;
    std::copy(toggled.begin(), toggled.end(), written.begin() + FIRST);
    for (const auto& expected : {original, written}) {
        SendCommand(window, IDC_DRIVER_MOVEMENTS);
        EXPECT_EQ(Flags(), expected);
    }
    // With no part, or two, named exactly ":OD", a message instead.
    std::strcpy(carModel.header.partNames[2], ":od");
    SendCommand(window, IDC_DRIVER_MOVEMENTS);
    std::strcpy(carModel.header.partNames[0], ":OD");
    std::strcpy(carModel.header.partNames[2], ":OD");
    SendCommand(window, IDC_DRIVER_MOVEMENTS);
    EXPECT_EQ(responder.messages,
              std::vector<std::string>(2, "Part :OD  (Driver) not found or there is more than one part :OD"));
    EXPECT_EQ(answerer.captions, std::vector<std::string>(2, "Select moving driver vertices"));
}

} // namespace
