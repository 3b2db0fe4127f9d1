// The car view through the main window: the sample car opened, a wheel clicked in the view.
#include "tests/gui/main_window_fixture.h"
#include "viewer/car_view.h"
#include "viewer/car_view_window.h"

#include <algorithm>

namespace {

const COLORREF SELECTED = RGB(230, 40, 0);
const int WHEEL = 2; // ":HRFW", the wheel nearest the viewer at first

using CarViewWindowTest = MainWindowFixture;

TEST_F(CarViewWindowTest, AClickOnAWheelSelectsItsPartWhichTheViewHighlights) {
    RegisterCarViewClass();
    SendCommand(window, IDC_PART_LIST, LBN_DBLCLK);
    responder.Choose(std::string("Z:") + VERRO_SAMPLES + "/sample_car.fce");
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(WindowText(carViewWindow), "Car view - sample_car.fce");
    // Closing the view leaves the car; the button opens it again, beside the main window.
    SendMessageA(carViewWindow, WM_CLOSE, 0, 0);
    SendCommand(window, IDC_CAR_VIEW);
    ASSERT_NE(carViewWindow, nullptr);
    EXPECT_EQ(ScreenRect(carViewWindow).left, ScreenRect(window).right);
    RECT client; // the picture fills the client area's bottom
    GetClientRect(carViewWindow, &client);
    const int top = client.bottom - carView.height;

    auto clickAt = [&](float x, float y, float z) {
        ViewPoint p = ProjectPoint(carView, x, y, z);
        const LPARAM at = MAKELPARAM(LONG(p.x), LONG(p.y) + top);
        PostMessageA(carViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(carViewWindow, WM_LBUTTONUP, 0, at);
        PumpMessages();
    };
    // The wheel's hub, on its inner side, lies under its outer side from where the view looks.
    const Vec3& hub = carModel.header.partPositions[WHEEL];
    clickAt(hub.x, hub.y, hub.z);
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), WHEEL);

    // Every corner of the wheel's triangles is drawn in the highlight colour.
    UpdateWindow(carViewWindow);
    ASSERT_EQ(carView.selectedPartLines.size(), 4 * carModel.header.partTriangleCount[WHEEL]);
    HDC dc = GetDC(carViewWindow);
    EXPECT_EQ(std::ranges::count_if(carView.selectedPartLines,
                                    [&](ScreenPoint c) { return GetPixel(dc, c.x, c.y + top) == SELECTED; }),
              ptrdiff_t(carView.selectedPartLines.size()));
    ReleaseDC(carViewWindow, dc);
    clickAt(0.5f, 1, 1); // on the roof, front right
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);

    // A failed open leaves nothing to show.
    responder.Choose(dir.File("missing.fce"));
    SendCommand(window, IDC_OPEN_VERRO3);
    UpdateWindow(carViewWindow);
    EXPECT_EQ(WindowText(carViewWindow), "Car view");
    EXPECT_TRUE(carView.partLines.empty() && carView.selectedPartLines.empty() && carView.dummyLines.empty());
}

} // namespace
