#include "driver/driver_movements.h"
#include "driver/driver_view.h"
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

using Corners = std::array<uint32_t, 3>;

struct PartData {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<Corners> triangles;
    std::vector<uint32_t> flags; // MovementFixed for every vertex when empty
};

template <class T> T* Allocate(size_t count) {
    return static_cast<T*>(AllocateZeroed(uint64_t{count} * sizeof(T)));
}

// Puts the parts into the car model back to back, as a reader leaves them.
void LoadCar(const std::vector<PartData>& parts) {
    ReleaseCarModel();
    FceKeshHeader& header = carModel.header;
    header.version = KESH_VERSION;
    header.partCount = static_cast<uint32_t>(parts.size());
    for (size_t p = 0; p < parts.size(); ++p) {
        header.partFirstVertex[p] = header.vertexCount;
        header.partVertexCount[p] = static_cast<uint32_t>(parts[p].vertices.size());
        header.partFirstTriangle[p] = header.triangleCount;
        header.partTriangleCount[p] = static_cast<uint32_t>(parts[p].triangles.size());
        header.vertexCount += header.partVertexCount[p];
        header.triangleCount += header.partTriangleCount[p];
        std::strncpy(header.partNames[p], parts[p].name.c_str(), NAME_SIZE);
    }
    carModel.vertices = Allocate<Vec3>(header.vertexCount);
    carModel.triangles = Allocate<FceTriangle>(header.triangleCount);
    carModel.movementFlags = Allocate<uint32_t>(header.vertexCount);
    for (size_t p = 0; p < parts.size(); ++p) {
        for (size_t i = 0; i < parts[p].vertices.size(); ++i) {
            uint32_t at = header.partFirstVertex[p] + static_cast<uint32_t>(i);
            carModel.vertices[at] = parts[p].vertices[i];
            carModel.movementFlags[at] = parts[p].flags.empty() ? MovementFixed : parts[p].flags[i];
        }
        for (size_t j = 0; j < parts[p].triangles.size(); ++j) {
            FceTriangle& t = carModel.triangles[header.partFirstTriangle[p] + j];
            t.textureGroup = 99;
            std::memcpy(t.vertexIndexes, parts[p].triangles[j].data(), sizeof t.vertexIndexes);
        }
    }
}

std::vector<uint32_t> ModelFlags() {
    return std::vector<uint32_t>(carModel.movementFlags,
                                 carModel.movementFlags + carModel.header.vertexCount);
}

std::vector<std::array<int32_t, 2>> Positions() {
    std::vector<std::array<int32_t, 2>> positions;
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        positions.push_back({driverView.projectedVertices[k].x, driverView.projectedVertices[k].y});
    }
    return positions;
}

std::vector<uint32_t> ViewFlags() {
    std::vector<uint32_t> flags;
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        flags.push_back(driverView.projectedVertices[k].movement);
    }
    return flags;
}

// A part before the driver with far-away vertices, so that the driver's box, its vertex
// offset and its triangle offset all show whether the right range was read.
PartData Body() {
    return {":HB", {{0, 40, 50}, {0, -40, -50}, {1, 2, 3}}, {{0, 1, 2}, {2, 1, 0}}, {0, 7, 0}};
}

class DriverViewTest : public ::testing::Test {
  protected:
    void SetUp() override { liveBefore = LiveZeroedBlocks(); }
    void TearDown() override {
        CloseDriverView();
        ReleaseCarModel();
        EXPECT_EQ(LiveZeroedBlocks(), liveBefore) << "the working arrays are freed";
    }
    // The driver part second, in a view of the worked example's size.
    void Show(const std::vector<Vec3>& driver, int32_t width = 456, int32_t height = 351) {
        LoadCar({Body(), {":OD", driver, {}, {}}});
        ASSERT_TRUE(OpenDriverView(width, height));
    }
    int64_t liveBefore = 0;
};

const float INF = std::numeric_limits<float>::infinity();

TEST_F(DriverViewTest, WorkedExample) {
    // The first vertex is the largest on both axes, so a box that only ever updates one
    // bound per vertex comes out wrong.
    Show(
        {{0.3f, 0.5f, 1}, {0.1f, 0, -1}, {0.2f, 0.25f, 0}, {0, 0.5f, -1}, {9, 0, 1}, {0, 0x1.2c9fb6p-9f, 0}});
    EXPECT_EQ(driverView.driverPartIndex, 1u);
    EXPECT_EQ(driverView.viewCentreX, 228);
    EXPECT_EQ(driverView.viewCentreY, 175);
    EXPECT_EQ(driverView.boxMin.y, 0.0f);
    EXPECT_EQ(driverView.boxMin.z, -1.0f);
    EXPECT_EQ(driverView.boxMax.y, 0.5f);
    EXPECT_EQ(driverView.boxMax.z, 1.0f);
    EXPECT_EQ(driverView.boxCentre.y, 0.25f);
    EXPECT_EQ(driverView.boxCentre.z, 0.0f);
    EXPECT_EQ(driverView.scaleByZ, 218.0f);
    EXPECT_EQ(driverView.scaleByY, 662.0f);
    EXPECT_EQ(driverView.viewScale, 218.0f);
    // Model x is not shown. (0, 0.5, -1) truncates -54.5 toward zero, not down; the last
    // vertex gives -53.99999997 in double, which float arithmetic rounds to -54.
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{
                               {446, 121}, {10, 229}, {228, 175}, {10, 121}, {446, 229}, {228, 228}}));
}

TEST_F(DriverViewTest, TakesMovementValuesAndTrianglesOfTheDriverPartOnly) {
    LoadCar({Body(), {":OD", {{0, 0, 0}, {0, 1, 1}, {0, 2, 0}}, {{0, 1, 2}, {2, 0, 7}}, {0, 4, 9}}});
    ASSERT_TRUE(OpenDriverView(100, 100));
    EXPECT_EQ(ViewFlags(), (std::vector<uint32_t>{0, 4, 9}));
    ASSERT_EQ(driverView.triangleCount, 2u);
    EXPECT_EQ(std::vector<uint32_t>(driverView.viewTriangles[1].vertexIndexes,
                                    driverView.viewTriangles[1].vertexIndexes + 3),
              (std::vector<uint32_t>{2, 0, 7}));
    EXPECT_TRUE(TriangleInView(driverView.viewTriangles[0], driverView.vertexCount));
    EXPECT_FALSE(TriangleInView(driverView.viewTriangles[1], driverView.vertexCount));
}

TEST_F(DriverViewTest, BoxNeverShrinksInsideTheStartBounds) {
    Show({{0, -200000, 200000}, {0, -300000, 300000}});
    EXPECT_EQ(driverView.boxMin.z, 99999.0f);
    EXPECT_EQ(driverView.boxMax.z, 300000.0f);
    EXPECT_EQ(driverView.boxMin.y, -300000.0f);
    EXPECT_EQ(driverView.boxMax.y, -99999.0f);
}

TEST_F(DriverViewTest, FlatAxisLetsTheOtherGovern) {
    Show({{0, 0.3f, -1}, {0, 0.3f, 1}, {0, 0.3f, 0.5f}});
    EXPECT_EQ(driverView.scaleByY, INF);
    EXPECT_EQ(driverView.viewScale, 218.0f);
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{{10, 175}, {446, 175}, {337, 175}}));

    Show({{0, 0, 2}, {0, 0.5f, 2}});
    EXPECT_EQ(driverView.scaleByZ, INF);
    EXPECT_EQ(driverView.viewScale, 662.0f);
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{{228, 340}, {228, 10}}));
}

TEST_F(DriverViewTest, AllVerticesInOnePointSitAtTheCentre) {
    for (const std::vector<Vec3>& driver :
         {std::vector<Vec3>{{1, 2, 3}}, std::vector<Vec3>{{0, -5, 7}, {1, -5, 7}, {2, -5, 7}}}) {
        Show(driver, 301, 200);
        for (const auto& position : Positions()) {
            EXPECT_EQ(position, (std::array<int32_t, 2>{150, 100}));
        }
    }
}

TEST_F(DriverViewTest, NonFinitePositionsStayInsideTheIntegerRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // A position that is not a number leaves the box alone and is drawn at the centre.
    Show({{0, 0.5f, 1}, {0, nan, nan}, {0, 0, -1}});
    EXPECT_EQ(driverView.boxMax.y, 0.5f);
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{{446, 121}, {228, 175}, {10, 229}}));

    // An infinite position makes the scale 0 on its axis: everything lands on the centre.
    Show({{0, 0.5f, INF}, {0, 0, -1}});
    EXPECT_EQ(driverView.scaleByZ, 0.0f);
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{{228, 175}, {228, 175}}));

    // A flat z and a y extent of a few denormals: both scales overflow to infinity, and the
    // lower vertex's offset is -infinity.
    Show({{0, -0x1p-149f, 3}, {0, 0x1p-147f, 3}});
    EXPECT_EQ(driverView.viewScale, INF);
    EXPECT_EQ(Positions(), (std::vector<std::array<int32_t, 2>>{{228, INT32_MAX}, {228, 175}}));

    // Huge finite positions still fit the view.
    Show({{0, -3e38f, -3e38f}, {0, 3e38f, 3e38f}});
    for (const auto& position : Positions()) {
        EXPECT_GE(position[0], 9);
        EXPECT_LE(position[0], 447);
    }
}

TEST(DrawingCoordinateTest, KeepsRoomForTheSquareAndTheGdiRange) {
    EXPECT_EQ(DrawingCoordinate(-7), -7);
    EXPECT_EQ(DrawingCoordinate(446), 446);
    for (int32_t extreme : {INT32_MAX, INT32_MIN}) {
        int32_t at = DrawingCoordinate(extreme);
        EXPECT_LT(std::abs(int64_t{at}) + 2, int64_t{1} << 27);
        EXPECT_EQ(at > 0, extreme > 0);
    }
}

TEST(ToggledMovementTest, FixedAndMovingSwapOtherValuesBecomeFixed) {
    const uint32_t cases[][2] = {{4, 0}, {0, 4}, {7, 4}, {1, 4}, {0xFFFFFFFF, 4}};
    for (const auto& c : cases) {
        EXPECT_EQ(ToggledMovement(c[0]), c[1]) << c[0];
    }
}

// Band rules on a hand-made set of projected vertices.
class BandTest : public ::testing::Test {
  protected:
    void SetUp() override {
        view.projectedVertices = vertices.data();
        view.vertexCount = static_cast<uint32_t>(vertices.size());
    }
    void Drag(int32_t x0, int32_t y0, int32_t x1, int32_t y1) {
        StartBand(view, x0, y0);
        EXPECT_TRUE(MoveBand(view, (x0 + x1) / 2, y1));
        EXPECT_TRUE(MoveBand(view, x1, y1));
        EXPECT_TRUE(EndBand(view, x1, y1));
    }
    std::vector<uint32_t> Flags() const {
        std::vector<uint32_t> flags;
        for (const ProjectedVertex& v : vertices) {
            flags.push_back(v.movement);
        }
        return flags;
    }
    std::vector<ProjectedVertex> vertices = {{10, 10, 4}, {20, 10, 4}, {20, 20, 0}, {30, 30, 4},
                                             {-5, -5, 4}, {15, 25, 4}, {15, 15, 7}};
    DriverView view{};
};

TEST_F(BandTest, EveryDirectionSelectsTheSameVertices) {
    const int32_t corners[][4] = {{10, 10, 20, 20}, {20, 20, 10, 10}, {20, 10, 10, 20}, {10, 20, 20, 10}};
    for (const auto& c : corners) {
        std::vector<ProjectedVertex> original = vertices;
        Drag(c[0], c[1], c[2], c[3]);
        EXPECT_EQ(Flags(), (std::vector<uint32_t>{0, 0, 4, 4, 4, 4, 4})) << c[0] << "," << c[1];
        EXPECT_EQ(view.dragging, 0u);
        vertices = original;
    }
}

TEST_F(BandTest, BordersAreInsideTheBand) {
    Drag(10, 10, 19, 19); // left and top border
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{0, 4, 0, 4, 4, 4, 4}));
    Drag(20, 20, 11, 11); // right and bottom border, the first band's vertex 6 again
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{0, 4, 4, 4, 4, 4, 0}));
}

TEST_F(BandTest, BandLeavingTheViewToTheTopLeft) {
    Drag(15, 15, -12, -40);
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{0, 4, 0, 4, 0, 4, 4}));
}

TEST_F(BandTest, ClickTogglesOnlyTheVertexUnderIt) {
    StartBand(view, 20, 20);
    EXPECT_TRUE(EndBand(view, 20, 20));
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{4, 4, 4, 4, 4, 4, 7}));
}

TEST_F(BandTest, DraggingTwiceRestoresExceptOtherValues) {
    Drag(0, 0, 40, 40);
    Drag(40, 40, 0, 0);
    // 7 became 4 at the first toggle and is now 0.
    EXPECT_EQ(Flags(), (std::vector<uint32_t>{4, 4, 0, 4, 4, 4, 0}));
}

TEST_F(BandTest, NothingHappensWithoutADragInProgress) {
    StartBand(view, 0, 0);
    EXPECT_TRUE(EndBand(view, 40, 40));
    std::vector<uint32_t> after = Flags();
    // Moves and a release that arrive with the button up: the band and the values stay.
    EXPECT_FALSE(MoveBand(view, 100, 100));
    EXPECT_FALSE(EndBand(view, 100, 100));
    EXPECT_EQ(Flags(), after);
    EXPECT_EQ((std::array<int32_t, 4>{view.bandStartX, view.bandStartY, view.bandEndX, view.bandEndY}),
              (std::array<int32_t, 4>{0, 0, 40, 40}));
    // Losing the mouse ends the drag without toggling.
    StartBand(view, 0, 0);
    CancelBand(view);
    EXPECT_FALSE(EndBand(view, 40, 40));
    EXPECT_EQ(Flags(), after);
}

TEST(FindDriverPartTest, ExactlyTheNameAmongThePartsInUse) {
    struct Case {
        std::vector<std::string> names;
        uint32_t partCount;
        int expected; // -1: none
    };
    const Case cases[] = {
        {{":HB", ":TB", ":OD"}, 3, 2},
        {{":OD", ":OD"}, 2, 0},
        {{":od"}, 1, -1},
        {{":OD "}, 1, -1},
        {{" :OD"}, 1, -1},
        {{":O"}, 1, -1},
        {{":HB", ":OD"}, 1, -1},
        {{std::string(64, 'x'), ":OD"}, 2, 1},
        {{}, 0, -1},
        {{":OD"}, 200, 0},
    };
    for (const Case& c : cases) {
        FceKeshHeader header{};
        header.partCount = c.partCount;
        for (size_t p = 0; p < c.names.size(); ++p) {
            std::memcpy(header.partNames[p], c.names[p].data(),
                        std::min<size_t>(c.names[p].size(), NAME_SIZE));
        }
        uint32_t index = 12345;
        bool found = FindDriverPart(header, &index);
        EXPECT_EQ(found ? int(index) : -1, c.expected) << (c.names.empty() ? "" : c.names.back());
    }
}

TEST_F(DriverViewTest, OkWritesTheWorkingValuesIntoTheDriverPartOnly) {
    LoadCar(
        {Body(), {":OD", {{0, 0, 0}, {0, 1, 1}, {0, 2, 2}}, {}, {0, 7, 4}}, {":TB", {{0, 0, 0}}, {}, {0}}});
    std::vector<uint32_t> original = ModelFlags();
    ASSERT_TRUE(OpenDriverView(200, 200));
    // Unchanged, even the value that is neither 0 nor 4.
    WriteDriverMovements();
    EXPECT_EQ(ModelFlags(), original);

    ResetDriverMovements();
    EXPECT_EQ(ModelFlags(), original) << "the model waits for OK";
    WriteDriverMovements();
    EXPECT_EQ(ModelFlags(), (std::vector<uint32_t>{0, 7, 0, 4, 4, 4, 0}));

    driverView.projectedVertices[1].movement = MovementMoving;
    WriteDriverMovements();
    CloseDriverView();
    ASSERT_TRUE(OpenDriverView(200, 200));
    EXPECT_EQ(ViewFlags(), (std::vector<uint32_t>{4, 0, 4})) << "a new opening starts from the model";
}

TEST_F(DriverViewTest, WithoutADriverPartTheViewIsEmptyAndOkWritesNothing) {
    for (const char* name : {":HB", ":od"}) {
        LoadCar({Body(), {name, {{0, 0, 0}}, {{0, 0, 0}}, {0}}});
        std::vector<uint32_t> original = ModelFlags();
        ASSERT_TRUE(OpenDriverView(200, 100));
        EXPECT_EQ(driverView.vertexCount, 0u);
        EXPECT_EQ(driverView.projectedVertices, nullptr);
        EXPECT_EQ(driverView.viewCentreX, 100);
        ResetDriverMovements();
        WriteDriverMovements();
        EXPECT_EQ(ModelFlags(), original);
    }
}

TEST_F(DriverViewTest, OpeningTwiceAndClosingTwiceLeakNothing) {
    Show({{0, 0, 0}, {0, 1, 1}});
    int64_t open = LiveZeroedBlocks();
    EXPECT_EQ(open, liveBefore + 5) << "three model arrays and two working arrays";
    driverView.dragging = 1;
    ASSERT_TRUE(OpenDriverView(50, 50));
    EXPECT_EQ(LiveZeroedBlocks(), open);
    EXPECT_EQ(driverView.dragging, 0u) << "no drag survives into a new opening";
    CloseDriverView();
    CloseDriverView();
    EXPECT_EQ(LiveZeroedBlocks(), open - 2);
    EXPECT_EQ(driverView.viewTriangles, nullptr);
}

} // namespace
