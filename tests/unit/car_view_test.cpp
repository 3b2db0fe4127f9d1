#include "viewer/car_view.h"

#include "tests/unit/test_car.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

// Part 0's two corners span a box 2 wide (x), 0.8 high (y) and 4 long (z), placed at x 2 to 4,
// y 0.1 to 0.9 and z -3 to 1, in a room of 200 x 60 pixels; the corner at its right, top and front
// is watched. Part 1 lies inside the box but for its vertices that are not finite.
TEST(CarViewTest, ASmallCarFittedTurnedZoomedAndPicked) {
    TestCar car;
    car.AddPart({2, 0.1f, -3}, {{0, 0, 0}, {2, 0.8f, 4}});
    car.AddPart({0, 0, 0}, {{NAN, 0, 0}, {0, INFINITY, 0}, {3, 0.5f, -1}});
    CarView view{};
    ResizeCarView(view, car.model, 224, 84);
    EXPECT_TRUE(view.scale == view.fitScale && view.scale > 0) << "a new view starts fitted";
    // The watched corner's side of the picture's centre pins each view's direction; depth is
    // towards the viewer from the box's centre. Every corner of the box fits within the margins,
    // touching them on one side.
    for (auto [fixedView, right, below, depth] : {std::tuple{FixedView::Top, true, true, 0.4f},
                                                  {FixedView::Front, false, false, 2.f},
                                                  {FixedView::Back, true, false, -2.f},
                                                  {FixedView::Side, true, false, 1.f}}) {
        ShowFixedView(view, car.model, fixedView);
        ViewPoint p = ProjectPoint(view, 4, 0.9f, 1);
        EXPECT_EQ(std::pair(p.x > 112, p.y > 42), std::pair(right, below)) << int(fixedView);
        EXPECT_NEAR(p.depth, depth, 1e-5);
        float low[2] = {1e9f, 1e9f}, high[2] = {-1e9f, -1e9f};
        for (int k = 0; k < 8; ++k) {
            ViewPoint c = ProjectPoint(view, k & 1 ? 4 : 2, k & 2 ? 0.9f : 0.1f, k & 4 ? 1 : -3);
            low[0] = std::min(low[0], c.x), low[1] = std::min(low[1], c.y);
            high[0] = std::max(high[0], c.x), high[1] = std::max(high[1], c.y);
        }
        EXPECT_TRUE(low[0] > 11.99f && high[0] < 212.01f && low[1] > 11.99f && high[1] < 72.01f);
        EXPECT_NEAR(std::max({12 - low[0], high[0] - 212, 12 - low[1], high[1] - 72}), 0, 1e-3);
    }
    const double fitted = view.scale;
    // Within the click's square nothing turns; 180 pixels to the right turn to the back.
    PressCarView(view, 50, 50);
    EXPECT_FALSE(MoveCarView(view, 50 + DRAG_PIXELS, 50 - DRAG_PIXELS));
    EXPECT_TRUE(MoveCarView(view, 230, 50));
    EXPECT_FALSE(ReleaseCarView(view, 230, 50)) << "a drag is no click";
    EXPECT_DOUBLE_EQ(view.yaw, -std::numbers::pi / 2);
    EXPECT_DOUBLE_EQ(view.pitch, 0);
    PressCarView(view, 9, 9);
    EXPECT_TRUE(ReleaseCarView(view, 9 + DRAG_PIXELS, 9));
    EXPECT_FALSE(MoveCarView(view, 99, 99)) << "the button is up";

    ZoomCarView(view, 120);
    EXPECT_DOUBLE_EQ(view.scale, fitted * ZOOM_PER_NOTCH);

    // Parts 2 and 4 are slopes crossing like an X seen from the side, 2 falling to -x, 4 rising
    // and further forward, both facing the viewer. Of part 3 only triangle 0 is drawn: triangle 1
    // names vertex 5, which belongs to the next part, and triangles 2 and 3 have a corner that is
    // not finite, as has part 5.
    car.AddPart({0, 0, 0}, {{0.5f, 1, 0}, {0.5f, 1, 1}, {-0.5f, 0, 1}, {-0.5f, 0, 0}},
                {{0, 2, 1}, {0, 3, 2}});
    car.AddPart({0, 0, 2}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, NAN, 0}, {INFINITY, 0, 0}},
                {{0, 2, 1}, {0, 2, 5}, {0, 1, 3}, {4, 1, 2}});
    car.AddPart({0, 0, 0.5f}, {{-0.5f, 1, 0}, {-0.5f, 1, 1}, {0.5f, 0, 1}, {0.5f, 0, 0}},
                {{0, 2, 1}, {0, 3, 2}});
    car.AddPart({NAN, 0, 0}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}}, {{0, 1, 2}});
    car.model.header.dummyCount = 3;
    car.model.header.dummyPositions[1] = {0, 0.5f, 3};
    car.model.header.dummyPositions[2] = {0, INFINITY, 0};
    view.selectedPart = 3;
    view.selectedDummy = 1;
    ShowFixedView(view, car.model, FixedView::Side);
    auto pickAt = [&](float y, float z) {
        ViewPoint p = ProjectPoint(view, 0, y, z);
        return PickPart(view, car.model, p.x, p.y);
    };
    EXPECT_EQ((std::array{pickAt(0.9f, 0.75f), pickAt(0.1f, 0.75f), pickAt(0.9f, 1.25f), pickAt(0.1f, 0.25f),
                          pickAt(0.7f, 2.2f)}),
              (std::array{2, 4, 4, 2, 3}));
    EXPECT_EQ((std::array{pickAt(0.5f, 1.75f), pickAt(-0.5f, 0.75f)}), (std::array{-1, -1})) << "empty space";
}

} // namespace
