#include "viewer/car_view.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace {

const float NaN = std::numeric_limits<float>::quiet_NaN();
const float INF = std::numeric_limits<float>::infinity();
using Corners = std::array<uint32_t, 3>;

// A car in memory: parts added one after the other, vertices relative to their position.
struct TestCar {
    std::vector<Vec3> vertices;
    std::vector<FceTriangle> triangles;
    CarModel model{};

    void AddPart(Vec3 position, const std::vector<Vec3>& points, const std::vector<Corners>& corners) {
        FceKeshHeader& h = model.header;
        uint32_t p = h.partCount++;
        h.partPositions[p] = position;
        h.partFirstVertex[p] = uint32_t(vertices.size());
        h.partVertexCount[p] = uint32_t(points.size());
        h.partFirstTriangle[p] = uint32_t(triangles.size());
        h.partTriangleCount[p] = uint32_t(corners.size());
        vertices.insert(vertices.end(), points.begin(), points.end());
        for (const Corners& c : corners) {
            triangles.push_back({0, {c[0], c[1], c[2]}, {}});
        }
    }
    // A square in the plane x = 0 of the part, from (0, 0, 0) to (0, 1, 1).
    void AddSquare(Vec3 position) {
        AddPart(position, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, 0, 1}}, {{0, 1, 2}, {0, 2, 3}});
    }
    const CarModel& Model() {
        model.header.vertexCount = uint32_t(vertices.size());
        model.header.triangleCount = uint32_t(triangles.size());
        model.vertices = model.damagedVertices = vertices.data();
        model.triangles = triangles.data();
        return model;
    }
};

// A box 2 wide (x), 0.8 high (y) and 4 long (z), its part placed so that it spans x 2 to 4,
// y 0.1 to 0.9 and z -3 to 1; a second part whose vertices are not finite changes nothing.
TestCar BoxCar() {
    TestCar car;
    std::vector<Vec3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.push_back({i & 1 ? 2.f : 0, i & 2 ? 0.8f : 0, i & 4 ? 4.f : 0});
    }
    car.AddPart({2, 0.1f, -3}, corners, {{0, 1, 3}, {4, 5, 7}, {0, 2, 6}});
    car.AddPart({0, 0, 0}, {{NaN, 0, 0}, {0, INF, 0}, {3, 0.5f, -1}}, {{0, 1, 2}});
    return car;
}

CarView Picture(int32_t width, int32_t height) {
    CarView view{};
    view.width = width;
    view.height = height;
    return view;
}

ScreenPoint Pixel(const CarView& view, Vec3 at) {
    ViewPoint p = ProjectPoint(view, at.x, at.y, at.z);
    return {int32_t(std::lround(p.x)), int32_t(std::lround(p.y))};
}

void ExpectAt(const CarView& view, Vec3 at, float x, float y, float depth) {
    ViewPoint p = ProjectPoint(view, at.x, at.y, at.z);
    EXPECT_NEAR(p.x, x, 1e-3);
    EXPECT_NEAR(p.y, y, 1e-3);
    EXPECT_NEAR(p.depth, depth, 1e-5);
}

// The room is 200 x 60 pixels; the corner at the car's right, top and front is watched.
TEST(CarViewTest, FixedViewsFitTheCarWithItsMarginAndProportions) {
    TestCar car = BoxCar();
    CarView view = Picture(224, 84);
    struct Case {
        FixedView fixedView;
        double scale; // the smaller of width and height room over the car's extent
        float x, y, depth;
    };
    for (const Case& c : {Case{FixedView::Side, 50, 212, 22, 1}, Case{FixedView::Top, 30, 172, 72, 0.4f},
                          Case{FixedView::Front, 75, 37, 12, 2}, Case{FixedView::Back, 75, 187, 12, -2}}) {
        ShowFixedView(view, car.Model(), c.fixedView);
        EXPECT_NEAR(view.scale, c.scale, 1e-5) << int(c.fixedView);
        ExpectAt(view, {4, 0.9f, 1}, c.x, c.y, c.depth);
    }
}

TEST(CarViewTest, DraggingTurnsAboutTheCentreAndTheWheelZoomsWithinBounds) {
    TestCar car = BoxCar();
    CarView view = Picture(224, 84);
    ShowFixedView(view, car.Model(), FixedView::Side);
    // Within the click's square nothing turns; 180 pixels to the right turn to the back.
    PressCarView(view, 50, 50);
    EXPECT_FALSE(MoveCarView(view, 50 + DRAG_PIXELS, 50 - DRAG_PIXELS));
    ExpectAt(view, {4, 0.9f, 1}, 212, 22, 1);
    EXPECT_TRUE(MoveCarView(view, 230, 50));
    EXPECT_FALSE(ReleaseCarView(view, 230, 50)) << "a drag is no click";
    ExpectAt(view, {4, 0.9f, 1}, 162, 22, -2);
    // Down tips the car towards the viewer, and stops once it is seen from straight above.
    OrbitCarView(view, 0, 1000);
    ExpectAt(view, {4, 0.9f, 1}, 162, -58, 0.4f);
    PressCarView(view, 9, 9);
    EXPECT_TRUE(ReleaseCarView(view, 9 + DRAG_PIXELS, 9));

    ZoomCarView(view, 120);
    EXPECT_DOUBLE_EQ(view.scale, 50 * ZOOM_PER_NOTCH);
    ZoomCarView(view, 120 * 100);
    EXPECT_DOUBLE_EQ(view.scale, 50 * ZOOM_MAX);
    // Seen from above, the car's length of 4 fills the room's 60 pixels of height.
    ResizeCarView(view, car.Model(), 424, 84);
    EXPECT_DOUBLE_EQ(view.scale, 15 * ZOOM_MAX) << "the zoom outlives a resize";
}

// Slopes crossing like an X seen from the side, A falling to -x, B rising and further forward.
TEST(CarViewTest, AClickPicksThePartNearestTheViewerUnderIt) {
    TestCar car;
    car.AddPart({0, 0, 0}, {{0.5f, 1, 0}, {0.5f, 1, 1}, {-0.5f, 0, 1}, {-0.5f, 0, 0}},
                {{0, 1, 2}, {0, 2, 3}});
    car.AddPart({0, 0, 0.5f}, {{-0.5f, 1, 0}, {-0.5f, 1, 1}, {0.5f, 0, 1}, {0.5f, 0, 0}},
                {{0, 1, 2}, {0, 2, 3}});
    CarView view = Picture(300, 200);
    ShowFixedView(view, car.Model(), FixedView::Side);
    auto pickAt = [&](float y, float z) {
        ViewPoint p = ProjectPoint(view, 0, y, z);
        return PickPart(view, car.Model(), p.x, p.y);
    };
    EXPECT_EQ(
        (std::array{pickAt(0.9f, 0.75f), pickAt(0.1f, 0.75f), pickAt(0.9f, 1.25f), pickAt(0.1f, 0.25f)}),
        (std::array{0, 1, 1, 0}));
    EXPECT_EQ((std::array{pickAt(0.5f, 1.75f), pickAt(-0.5f, 0.75f)}), (std::array{-1, -1})) << "empty space";
    OrbitCarView(view, 360, 0);
    EXPECT_EQ((std::array{pickAt(0.9f, 0.75f), pickAt(0.1f, 0.75f)}), (std::array{1, 0}))
        << "seen from the left";
}

TEST(CarViewTest, TheFrameLeavesOutBadTrianglesAndSplitsOffWhatIsSelected) {
    TestCar car;
    car.AddSquare({0, 0, 0});
    // Triangle 1 names vertex 5, which belongs to the next part; triangles 2 and 3 have a
    // corner that is not finite. Only triangle 0 is drawn. Dummy 0 stands at the origin.
    car.AddPart({0, 0, 2}, {{0, 0, 0}, {0, 1, 0}, {0, 1, 1}, {0, NaN, 0}, {INF, 0, 0}},
                {{0, 1, 2}, {0, 2, 5}, {0, 1, 3}, {4, 1, 2}});
    car.AddSquare({0, 0, -2});
    car.AddSquare({NaN, 0, 0});
    car.model.header.dummyCount = 3;
    car.model.header.dummyPositions[1] = {0, 0.5f, 3};
    car.model.header.dummyPositions[2] = {0, INF, 0};
    CarView view = Picture(300, 200);
    view.selectedPart = view.selectedDummy = 1;
    ResetCarView(view, car.Model());
    BuildCarFrame(view, car.Model());
    EXPECT_EQ(view.partLines.size(), 4 * 4u);
    EXPECT_EQ(view.dummyLines.size(), 1 * 4u);
    ScreenPoint a = Pixel(view, {0, 0, 2}), b = Pixel(view, {0, 1, 2}), c = Pixel(view, {0, 1, 3});
    EXPECT_EQ(view.selectedPartLines, (std::vector{a, b, c, a}));
    ScreenPoint d = Pixel(view, {0, 0.5f, 3});
    EXPECT_EQ(view.selectedDummyLines,
              (std::vector<ScreenPoint>{{d.x - DUMMY_CROSS, d.y - DUMMY_CROSS},
                                        {d.x + DUMMY_CROSS + 1, d.y + DUMMY_CROSS + 1},
                                        {d.x - DUMMY_CROSS, d.y + DUMMY_CROSS},
                                        {d.x + DUMMY_CROSS + 1, d.y - DUMMY_CROSS - 1}}));
}

TEST(CarViewTest, OpensBesideItsOwnerWhereTheScreenAllows) {
    struct Case {
        PixelRect owner;
        int32_t width, left, top; // 400 high
    };
    for (const Case& c : {Case{{0, 0, 600, 400}, 500, 600, 0}, Case{{700, 100, 1300, 500}, 500, 200, 100},
                          Case{{300, 700, 900, 1100}, 500, 780, 600}, Case{{0, 0, 600, 400}, 1500, 0, 0}}) {
        PixelRect r = PlaceBeside(c.owner, {0, 0, 1280, 1000}, c.width, 400);
        EXPECT_EQ((std::array{r.left, r.top, r.right, r.bottom}),
                  (std::array{c.left, c.top, c.left + c.width, c.top + 400}));
    }
}

} // namespace
