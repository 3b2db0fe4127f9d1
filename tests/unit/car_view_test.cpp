#include "viewer/car_view.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <tuple>
#include <vector>

namespace {

using Corners = std::array<uint32_t, 3>;

// A car in memory: parts added one after the other, vertices relative to their position.
struct TestCar {
    std::vector<Vec3> vertices;
    std::vector<FceTriangle> triangles;
    CarModel model{};

    void AddPart(Vec3 position, const std::vector<Vec3>& points, const std::vector<Corners>& corners = {}) {
        FceKeshHeader& h = model.header;
        uint32_t p = h.partCount++;
        h.partPositions[p] = position;
        h.partFirstVertex[p] = h.vertexCount;
        h.partVertexCount[p] = uint32_t(points.size());
        h.partFirstTriangle[p] = h.triangleCount;
        h.partTriangleCount[p] = uint32_t(corners.size());
        vertices.insert(vertices.end(), points.begin(), points.end());
        for (const Corners& c : corners) {
            triangles.push_back({0, {c[0], c[1], c[2]}, {}, 0, {}, {}});
        }
        h.vertexCount = uint32_t(vertices.size());
        h.triangleCount = uint32_t(triangles.size());
        model.vertices = model.damagedVertices = vertices.data();
        model.triangles = triangles.data();
    }
};

ScreenPoint Pixel(const CarView& view, Vec3 at) {
    ViewPoint p = ProjectPoint(view, at.x, at.y, at.z);
    return {int32_t(std::lround(p.x)), int32_t(std::lround(p.y))};
}

// Part 0's two corners span a box 2 wide (x), 0.8 high (y) and 4 long (z), placed at x 2 to 4,
// y 0.1 to 0.9 and z -3 to 1, in a room of 200 x 60 pixels; the corner at its right, top and front
// is watched. Part 1 lies inside the box but for its vertices that are not finite.
TEST(CarViewTest, ASmallCarFittedTurnedZoomedPickedAndDrawn) {
    TestCar car;
    car.AddPart({2, 0.1f, -3}, {{0, 0, 0}, {2, 0.8f, 4}});
    car.AddPart({0, 0, 0}, {{NAN, 0, 0}, {0, INFINITY, 0}, {3, 0.5f, -1}});
    CarView view{};
    ResizeCarView(view, car.model, 224, 84);
    // The scale is the smaller of the room's width and height over the car's extent on screen.
    for (auto [fixedView, scale, x, y, depth] : {std::tuple{FixedView::Top, 30.0, 172.f, 72.f, 0.4f},
                                                 {FixedView::Front, 75.0, 37.f, 12.f, 2.f},
                                                 {FixedView::Back, 75.0, 187.f, 12.f, -2.f},
                                                 {FixedView::Side, 50.0, 212.f, 22.f, 1.f}}) {
        ShowFixedView(view, car.model, fixedView);
        EXPECT_NEAR(view.scale, scale, 1e-5) << int(fixedView);
        ViewPoint p = ProjectPoint(view, 4, 0.9f, 1);
        EXPECT_NEAR(p.x, x, 1e-3);
        EXPECT_NEAR(p.y, y, 1e-3);
        EXPECT_NEAR(p.depth, depth, 1e-5);
    }
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
    EXPECT_DOUBLE_EQ(view.scale, 50 * ZOOM_PER_NOTCH);

    // Parts 2 and 4 are slopes crossing like an X seen from the side, 2 falling to -x, 4 rising
    // and further forward. Of part 3 only triangle 0 is drawn: triangle 1 names vertex 5, which
    // belongs to the next part, and triangles 2 and 3 have a corner that is not finite, as has part 5.
    car.AddPart({0, 0, 0}, {{0.5f, 1, 0}, {0.5f, 1, 1}, {-0.5f, 0, 1}, {-0.5f, 0, 0}},
                {{0, 1, 2}, {0, 2, 3}});
    car.AddPart({0, 0, 2}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, NAN, 0}, {INFINITY, 0, 0}},
                {{0, 1, 2}, {0, 2, 5}, {0, 1, 3}, {4, 1, 2}});
    car.AddPart({0, 0, 0.5f}, {{-0.5f, 1, 0}, {-0.5f, 1, 1}, {0.5f, 0, 1}, {0.5f, 0, 0}},
                {{0, 1, 2}, {0, 2, 3}});
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
    EXPECT_EQ(
        (std::array{pickAt(0.9f, 0.75f), pickAt(0.1f, 0.75f), pickAt(0.9f, 1.25f), pickAt(0.1f, 0.25f)}),
        (std::array{2, 4, 4, 2}));
    EXPECT_EQ((std::array{pickAt(0.5f, 1.75f), pickAt(-0.5f, 0.75f)}), (std::array{-1, -1})) << "empty space";

    BuildCarFrame(view, car.model);
    EXPECT_EQ(view.partLines.size(), 4 * 4u);
    EXPECT_EQ(view.dummyLines.size(), 1 * 4u);
    ScreenPoint a = Pixel(view, {0, 0, 2}), b = Pixel(view, {0, 1, 2}), c = Pixel(view, {0, 1, 3});
    EXPECT_EQ(view.selectedPartLines, (std::vector{a, b, c, a}));
    ScreenPoint d = Pixel(view, {0, 0.5f, 3});
    ASSERT_EQ(view.selectedDummyLines.size(), 4u);
    EXPECT_EQ(view.selectedDummyLines[0], (ScreenPoint{d.x - DUMMY_CROSS, d.y - DUMMY_CROSS}));
}

} // namespace
