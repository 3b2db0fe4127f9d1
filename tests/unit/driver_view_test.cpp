#include "driver/driver_movements.h"
#include "driver/driver_view.h"
#include "model/kesh.h"
#include "platform/platform.h"
#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>
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
    EXPECT_EQ(driverView.scaleByZ, 218.0f);
    EXPECT_EQ(driverView.scaleByY, 662.0f);
    ASSERT_EQ(driverView.triangleCount, 2u);
    EXPECT_EQ(driverView.viewTriangles[1].vertexIndexes[2], 7u) << "the driver part's triangles, as they are";
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

TEST_F(DriverViewTest, BandTogglesTheVerticesInsideIt) {
    const std::vector<ProjectedVertex> vertices = {{10, 10, 4}, {20, 10, 4}, {20, 20, 0}, {30, 30, 4},
                                                   {-5, -5, 4}, {15, 25, 4}, {15, 15, 7}};
    std::vector<ProjectedVertex> working;
    DriverView view{};
    auto drag = [&](int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        view.projectedVertices = working.data();
        view.vertexCount = static_cast<uint32_t>(working.size());
        StartBand(view, x0, y0);
        EXPECT_TRUE(MoveBand(view, (x0 + x1) / 2, y1));
        EXPECT_TRUE(EndBand(view, x1, y1));
        std::vector<uint32_t> flags;
        for (const ProjectedVertex& v : working) {
            flags.push_back(v.movement);
        }
        return flags;
    };
    const struct {
        std::array<int32_t, 4> corners;
        std::vector<uint32_t> expected;
    } cases[] = {
        {{20, 10, 10, 20}, {0, 0, 4, 4, 4, 4, 4}}, // dragged from any corner
        {{10, 10, 19, 19}, {0, 4, 0, 4, 4, 4, 4}}, // the left and top borders are inside
        {{20, 20, 11, 11}, {4, 4, 4, 4, 4, 4, 4}}, // and the right and bottom ones
        {{20, 20, 20, 20}, {4, 4, 4, 4, 4, 4, 7}}, // a click: the vertex under it only
    };
    for (const auto& c : cases) {
        working = vertices;
        EXPECT_EQ(drag(c.corners[0], c.corners[1], c.corners[2], c.corners[3]), c.expected)
            << ::testing::PrintToString(c.corners);
    }
    working = vertices;
    drag(0, 0, 40, 40);
    EXPECT_EQ(drag(40, 40, 0, 0), (std::vector<uint32_t>{4, 4, 0, 4, 4, 4, 0}))
        << "twice restores; 7 became 4, then 0";
    // No band without a drag in progress: the view lost the mouse, or the press went elsewhere.
    StartBand(view, 0, 0);
    CancelBand(view);
    EXPECT_FALSE(MoveBand(view, 100, 100) || EndBand(view, 100, 100));
    EXPECT_EQ(working[2].movement, 0u);
}

} // namespace
