#include "driver/driver_movements.h"
#include "driver/driver_view.h"
#include "model/kesh.h"
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
#include <random>
#include <vector>

namespace {

using Position = std::array<int32_t, 2>;
const float INF = std::numeric_limits<float>::infinity(), NaN = std::numeric_limits<float>::quiet_NaN();

// A car of two parts, ":HB" and then ":OD", whose triangles name a vertex it may not have,
// opened in a view of 456 x 351 pixels over the view before.
std::vector<Position> Show(const std::vector<Vec3>& driver) {
    TempDir dir;
    WriteBytes(dir.File("car.fce"),
               MakeKesh({{3, uint32_t(driver.size())}, {1, 2}, {":HB", ":OD"}, {}, 0, 1}).Build());
    EXPECT_EQ(OpenKeshPath(dir.File("car.fce").c_str()), 1);
    std::copy(driver.begin(), driver.end(), carModel.vertices + 3);
    carModel.triangles[2].vertexIndexes[2] = 7;
    EXPECT_TRUE(OpenDriverView(456, 351));
    std::vector<Position> positions;
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        positions.push_back({driverView.projectedVertices[k].x, driverView.projectedVertices[k].y});
    }
    return positions;
}

class DriverViewTest : public ::testing::Test {
  protected:
    void TearDown() override {
        CloseDriverView();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), 0) << "the working arrays are freed";
    }
};

TEST_F(DriverViewTest, ProjectsTheDriverPartFromTheSideInsideTheIntegerRange) {
    // The first vertex is the largest on both axes, so a box that updates only one bound per
    // vertex comes out wrong. (0, 0.5, -1) truncates -54.5 toward zero, not down; the last
    // vertex gives -53.99999997 in double, which float arithmetic would round to -54.
    EXPECT_EQ(Show({{0.3f, 0.5f, 1},
                    {0.1f, 0, -1},
                    {0.2f, 0.25f, 0},
                    {0, 0.5f, -1},
                    {9, 0, 1},
                    {0, 0x1.2c9fb6p-9f, 0}}),
              (std::vector<Position>{{446, 121}, {10, 229}, {228, 175}, {10, 121}, {446, 229}, {228, 228}}));
    // A point that is not a number is drawn at the centre; an infinite extent gives no scale;
    // huge coordinates stay inside the integer range.
    const std::pair<std::vector<Vec3>, std::vector<Position>> cases[] = {
        {{{0, 0.5f, 1}, {0, NaN, NaN}, {0, 0, -1}}, {{446, 121}, {228, 175}, {10, 229}}},
        {{{0, 0.5f, INF}, {0, 0, -1}}, {{228, 175}, {228, 175}}},
        {{{0, -3e38f, -3e38f}, {0, 3e38f, 3e38f}}, {{63, 340}, {393, 10}}},
    };
    for (const auto& [driver, expected] : cases) {
        driverView.dragging = 1;
        EXPECT_EQ(Show(driver), expected);
        EXPECT_EQ(driverView.dragging, 0u) << "a new view starts without a drag";
    }
    EXPECT_TRUE(TriangleInView({0, 1, 2}, 3));
    EXPECT_FALSE(TriangleInView({3, 0, 0}, 3) || TriangleInView({0, 3, 0}, 3) ||
                 TriangleInView({0, 0, 3}, 3));
}

// Random bands over vertices on a small grid, so that many lie on a border: what lies inside or on
// the band toggles between fixed and moving (any other value becomes fixed), the rest stays,
// whichever corner the drag starts from; a click is a band of one point.
TEST_F(DriverViewTest, BandTogglesTheVerticesInsideIt) {
    std::mt19937 random(1);
    auto below = [&](uint32_t n) { return int32_t(random() % n); };
    const uint32_t values[] = {MovementMoving, MovementFixed, 7};
    std::vector<ProjectedVertex> working(10), before;
    DriverView view{};
    view.projectedVertices = working.data();
    view.vertexCount = uint32_t(working.size());
    for (int run = 0; run < 300; ++run) {
        for (ProjectedVertex& v : working) {
            v = {below(9), below(9), values[below(3)]};
        }
        before = working;
        const int32_t x0 = below(9), y0 = below(9), x1 = run % 5 ? below(9) : x0,
                      y1 = run % 5 ? below(9) : y0;
        StartBand(view, x0, y0);
        EXPECT_TRUE(MoveBand(view, x0, y1));
        EXPECT_TRUE(EndBand(view, x1, y1));
        for (size_t k = 0; k < working.size(); ++k) {
            const ProjectedVertex& v = before[k];
            const bool inside = std::min(x0, x1) <= v.x && v.x <= std::max(x0, x1) &&
                                std::min(y0, y1) <= v.y && v.y <= std::max(y0, y1);
            const uint32_t toggled = v.movement == MovementFixed ? MovementMoving : MovementFixed;
            EXPECT_EQ(working[k].movement, inside ? toggled : v.movement) << "run " << run << ", " << k;
        }
    }
    // No band without a drag in progress: the view lost the mouse, or the press went elsewhere.
    before = working;
    StartBand(view, 0, 0);
    CancelBand(view);
    EXPECT_FALSE(MoveBand(view, 100, 100) || EndBand(view, 100, 100));
    EXPECT_TRUE(std::equal(working.begin(), working.end(), before.begin(),
                           [](auto& a, auto& b) { return a.movement == b.movement; }));
}

} // namespace
