#include "model/car_check.h"
#include "model/kesh.h"
#include "tests/unit/file_test_support.h"

#include <functional>
#include <limits>

namespace {

// Everything about a problem but its message, in one comparable line.
std::string Describe(const CarProblem& problem) {
    auto place = [](const char* what, std::optional<uint32_t> value) {
        return value ? what + std::to_string(*value) : "";
    };
    return std::string(problem.kind) + " " + SeverityName(problem.severity) + place(" part ", problem.part) +
           place(" dummy ", problem.dummy) + (problem.table ? std::string(" in ") + problem.table : "") +
           place(" at ", problem.index);
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
    const float inf = std::numeric_limits<float>::infinity();
    auto none = [](KeshFile&) {};
    const struct {
        std::function<void(KeshFile&)> fault;
        std::string expected;
        CarShape shape = SmallCar();
    } cases[] = {
        {[](auto& f) { reinterpret_cast<FceTriangle*>(f.tables[2].data())[5].vertexIndexes[1] = 4; },
         "vertex-index-outside-part error part 2 in triangles at 5"},
        {[](auto& f) { f.header.partVertexCount[1] = 4; }, "ranges-overlap error part 2 in vertices at 8"},
        {[](auto& f) { f.header.partTriangleCount[2] = 1; }, "range-hole warning in triangles at 6"},
        {none, "part-without-triangles warning part 1", WithCounts({5, 3, 4}, {4, 0, 2})},
        {none, "part-empty warning part 1", WithCounts({5, 0, 4}, {4, 0, 2})},
        {[&](auto& f) { VertexIn(f.tables[9], 10).z = -inf; },
         "coordinate-not-finite error part 2 in damaged normals at 10"},
        {[](auto& f) { VertexIn(f.tables[8], 2).y = -2e6f; },
         "coordinate-too-large warning part 0 in damaged vertices at 2"},
        {[&](auto& f) { f.header.partPositions[2].y = inf; },
         "position-not-finite error part 2 in part positions at 2"},
        {[](auto& f) { f.header.dummyPositions[0].x = 1.5e6f; },
         "position-too-large warning dummy 0 in dummy positions at 0"},
        {[](auto& f) { std::memset(f.header.partNames[0], 'x', NAME_SIZE); },
         "name-fills-field error part 0 in part names at 0"},
        {[](auto& f) { std::memset(f.header.dummyNames[0], 0, NAME_SIZE); },
         "name-empty warning dummy 0 in dummy names at 0"},
        {[](auto& f) { f.header.partNames[2][1] = '\t'; },
         "name-not-printable warning part 2 in part names at 2"},
        {[](auto& f) { std::strcpy(f.header.partNames[2], ":HB"); },
         "name-duplicate warning part 2 in part names at 2"},
        {[](auto& f) { std::strcpy(f.header.partNames[2], ":OD"); },
         "driver-parts warning part 2 in part names at 2"},
        {[](auto& f) { reinterpret_cast<uint32_t*>(f.tables[11].data())[9] = 7; },
         "movement-value warning part 2 in movement values at 9"},
        {[](auto& f) { f.header.colourCount = 0; }, "colour-count-zero warning in colours"},
    };
    for (const auto& c : cases) {
        KeshFile file = MakeKesh(c.shape);
        c.fault(file);
        ASSERT_EQ(OpenKeshPath(Write(file.Build()).c_str()), 1) << c.expected;
        std::vector<CarProblem> problems = CheckCar(carModel, CarLayout::Kesh);
        ASSERT_EQ(problems.size(), 1u) << c.expected << "\n" << (problems.empty() ? "" : problems[0].message);
        EXPECT_EQ(Describe(problems[0]), c.expected) << problems[0].message;
    }
}

} // namespace
