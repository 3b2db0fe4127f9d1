// The car view through the main window: the sample car opened, a wheel clicked in the view.
#include "tests/gui/main_window_fixture.h"
#include "viewer/car_view.h"
#include "viewer/car_view_window.h"

namespace {

const COLORREF SELECTED = RGB(230, 40, 0);
const int WHEEL = 2; // ":HRFW", the wheel nearest the viewer at first

class CarViewWindowTest : public MainWindowFixture {
  protected:
    void SetUp() override {
        RegisterCarViewClass();
        MainWindowFixture::SetUp();
    }
    // Client coordinates of a picture point: the picture fills the client area's bottom.
    POINT InClient(float x, float y) const {
        RECT client;
        GetClientRect(carViewWindow, &client);
        return {LONG(x), LONG(y) + client.bottom - carView.height};
    }
    // Clicks a point of the car's space where the view shows it.
    void ClickAt(double x, double y, double z) {
        ViewPoint p = ProjectPoint(carView, x, y, z);
        POINT at = InClient(p.x, p.y);
        PostMessageA(carViewWindow, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
        PostMessageA(carViewWindow, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
        PumpMessages();
    }
};

TEST_F(CarViewWindowTest, AClickOnAWheelSelectsItsPartWhichTheViewHighlights) {
    SendCommand(window, IDC_PART_LIST, LBN_DBLCLK);
    ASSERT_NE(carViewWindow, nullptr);
    responder.Choose(std::string("Z:") + VERRO_SAMPLES + "/sample_car.fce");
    SendCommand(window, IDC_OPEN_VERRO3);
    EXPECT_EQ(WindowText(carViewWindow), "Car view - sample_car.fce");
    // Closing the view leaves the car; the button opens it again, beside the main window.
    SendMessageA(carViewWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(carViewWindow, nullptr);
    SendCommand(window, IDC_CAR_VIEW);
    ASSERT_NE(carViewWindow, nullptr);
    EXPECT_EQ(ScreenRect(carViewWindow).left, ScreenRect(window).right);
    UpdateWindow(carViewWindow);

    // The wheel's hub, on its inner side, lies under its outer side from where the view looks.
    const Vec3& hub = carModel.header.partPositions[WHEEL];
    ClickAt(hub.x, hub.y, hub.z);
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), WHEEL);

    // Every corner of the wheel's triangles is drawn in the highlight colour.
    UpdateWindow(carViewWindow);
    ASSERT_EQ(carView.selectedPartLines.size(), 4 * carModel.header.partTriangleCount[WHEEL]);
    HDC dc = GetDC(carViewWindow);
    int highlighted = 0;
    for (const ScreenPoint& corner : carView.selectedPartLines) {
        POINT pixel = InClient(float(corner.x), float(corner.y));
        highlighted += GetPixel(dc, pixel.x, pixel.y) == SELECTED;
    }
    ReleaseDC(carViewWindow, dc);
    EXPECT_EQ(highlighted, int(carView.selectedPartLines.size()));
    ClickAt(0.5, 1, 1); // on the roof, front right
    EXPECT_EQ(ListSelection(window, IDC_PART_LIST), 0);

    // A failed open leaves nothing to show.
    WriteBytes(dir.File("broken.fce"), Bytes(100, 7));
    responder.Choose(dir.File("broken.fce"));
    SendCommand(window, IDC_OPEN_VERRO3);
    UpdateWindow(carViewWindow);
    EXPECT_EQ(WindowText(carViewWindow), "Car view");
    EXPECT_TRUE(carView.partLines.empty() && carView.selectedPartLines.empty() && carView.dummyLines.empty());
}

} // namespace
