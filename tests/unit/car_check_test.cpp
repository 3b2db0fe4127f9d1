#include "model/car_check.h"
#include "model/kesh.h"
#include "tests/unit/file_test_support.h"

#include <cmath>
#include <functional>
#include <limits>

namespace {

std::string Place(std::optional<uint32_t> value) {
    return value ? std::to_string(*value) : "-";
}

// Everything about a problem but its message, in one comparable line.
std::string Describe(const CarProblem& problem) {
    return std::string(problem.kind) + " " + SeverityName(problem.severity) + " part=" + Place(problem.part) +
           " dummy=" + Place(problem.dummy) + " table=" + (problem.table ? problem.table : "-") +
           " index=" + Place(problem.index);
}

Vec3& VertexIn(Bytes& table, size_t index) {
    return reinterpret_cast<Vec3*>(table.data())[index];
}

CarShape WithCounts(std::vector<uint32_t> vertices, std::vector<uint32_t> triangles) {
    CarShape shape = SmallCar();
    shape.partVertexCounts = vertices;
    shape.partTriangleCounts = triangles;
    return shape;
}

using CheckCarTest = FileCommandTest;

// SmallCar has parts :HB (vertices 0-4, triangles 0-3), :OD (5-7, 4) and :LB (8-11, 5-6) and
// the dummies HWYN5 and TRYO324. Each case breaks one thing and must find that one problem.
TEST_F(CheckCarTest, EachFaultIsFoundOnceWithItsPlace) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    const struct {
        CarShape shape;
        std::function<void(KeshFile&)> fault;
        std::string expected;
    } cases[] = {
        {SmallCar(),
         [](KeshFile& f) { reinterpret_cast<FceTriangle*>(f.tables[2].data())[5].vertexIndexes[1] = 4; },
         "vertex-index-outside-part error part=2 dummy=- table=triangles index=5"},
        {SmallCar(), [](KeshFile& f) { f.header.partVertexCount[1] = 4; },
         "ranges-overlap error part=2 dummy=- table=vertices index=8"},
        {SmallCar(), [](KeshFile& f) { f.header.partTriangleCount[2] = 1; },
         "range-hole warning part=- dummy=- table=triangles index=6"},
        {WithCounts({5, 3, 4}, {4, 0, 2}), nullptr,
         "part-without-triangles warning part=1 dummy=- table=- index=-"},
        {WithCounts({5, 0, 4}, {4, 0, 2}), nullptr, "part-empty warning part=1 dummy=- table=- index=-"},
        {SmallCar(), [&](KeshFile& f) { VertexIn(f.tables[0], 6).x = nan; },
         "coordinate-not-finite error part=1 dummy=- table=vertices index=6"},
        {SmallCar(), [&](KeshFile& f) { VertexIn(f.tables[9], 10).z = -inf; },
         "coordinate-not-finite error part=2 dummy=- table=damaged normals index=10"},
        {SmallCar(), [](KeshFile& f) { VertexIn(f.tables[8], 2).y = -2e6f; },
         "coordinate-too-large warning part=0 dummy=- table=damaged vertices index=2"},
        {SmallCar(), [&](KeshFile& f) { f.header.partPositions[2].y = inf; },
         "position-not-finite error part=2 dummy=- table=part positions index=2"},
        {SmallCar(), [](KeshFile& f) { f.header.dummyPositions[0].x = 1.5e6f; },
         "position-too-large warning part=- dummy=0 table=dummy positions index=0"},
        {SmallCar(), [](KeshFile& f) { std::memset(f.header.partNames[0], 'x', NAME_SIZE); },
         "name-fills-field error part=0 dummy=- table=part names index=0"},
        {SmallCar(), [](KeshFile& f) { std::memset(f.header.dummyNames[0], 0, NAME_SIZE); },
         "name-empty warning part=- dummy=0 table=dummy names index=0"},
        {SmallCar(), [](KeshFile& f) { f.header.partNames[2][1] = '\t'; },
         "name-not-printable warning part=2 dummy=- table=part names index=2"},
        {SmallCar(), [](KeshFile& f) { std::strcpy(f.header.partNames[2], ":HB"); },
         "name-duplicate warning part=2 dummy=- table=part names index=2"},
        {SmallCar(), [](KeshFile& f) { std::strcpy(f.header.partNames[2], ":OD"); },
         "driver-parts warning part=2 dummy=- table=part names index=2"},
        {SmallCar(), [](KeshFile& f) { reinterpret_cast<uint32_t*>(f.tables[11].data())[9] = 7; },
         "movement-value warning part=2 dummy=- table=movement values index=9"},
        {SmallCar(), [](KeshFile& f) { std::fill(f.tables[8].begin(), f.tables[8].end(), 0); },
         "damaged-mesh-zero warning part=- dummy=- table=damaged vertices index=-"},
        {SmallCar(), [](KeshFile& f) { f.header.colourCount = 0; },
         "colour-count-zero warning part=- dummy=- table=colours index=-"},
    };
    for (const auto& c : cases) {
        KeshFile file = MakeKesh(c.shape);
        if (c.fault) {
            c.fault(file);
        }
        ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1) << c.expected;
        std::vector<CarProblem> problems = CheckCar(carModel, CarLayout::Kesh);
        ASSERT_EQ(problems.size(), 1u) << c.expected << "\n" << (problems.empty() ? "" : problems[0].message);
        EXPECT_EQ(Describe(problems[0]), c.expected) << problems[0].message;
    }
}

// A Verro3 car's second and damaged geometry are copies of its one mesh and its movement
// values are all 4: a fault in the mesh is told once, and nothing is said of the copies.
TEST_F(CheckCarTest, Verro3FaultsAreToldOnce) {
    Verro3File file = MakeVerro3(SmallCar());
    VertexIn(file.tables[0], 3).y = std::numeric_limits<float>::infinity();
    ASSERT_EQ(OpenVerro3Path(Write(file.Build()).c_str()), 1);
    std::vector<CarProblem> problems = CheckCar(carModel, CarLayout::Verro3);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(Describe(problems[0]), "coordinate-not-finite error part=0 dummy=- table=vertices index=3");
}

} // namespace
