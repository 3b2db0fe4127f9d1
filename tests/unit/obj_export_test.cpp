#include "cli/fceconv_main.h"
#include "tests/unit/file_test_support.h"

#include <array>
#include <fstream>
#include <sstream>

namespace {

using Position = std::array<float, 3>;
using Face = std::array<int, 3>;

// What a 3D program takes from an OBJ file: objects by name, positions, normals and faces.
struct Obj {
    std::vector<std::string> objects;
    std::vector<Position> positions, normals;
    std::vector<Face> faces;
    bool operator==(const Obj&) const = default;
};

Obj ReadObj(const std::string& path) {
    Obj obj;
    std::ifstream file(path);
    std::string line, keyword;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        words >> keyword;
        if (keyword == "o") {
            obj.objects.emplace_back();
            words >> obj.objects.back();
        } else if (keyword == "v" || keyword == "vn") {
            Position p;
            words >> p[0] >> p[1] >> p[2];
            (keyword == "v" ? obj.positions : obj.normals).push_back(p);
        } else if (keyword == "f") {
            Face f;
            std::string corner;
            for (int& index : f) {
                words >> corner;
                index = std::stoi(corner.substr(0, corner.find('/')));
                EXPECT_EQ(corner, std::to_string(index) + "//" + std::to_string(index))
                    << "normal = position";
            }
            obj.faces.push_back(f);
        }
        EXPECT_TRUE(keyword == "#" || keyword == "p" || !words.fail()) << line;
    }
    return obj;
}

using ObjExportTest = FileCommandTest;

// Each part becomes one object at part position + vertex, with its own triangles as faces
// counted over the whole file; a triangle that points outside its part is left out and told.
TEST_F(ObjExportTest, ReadsBackAsTheCarPlacesIt) {
    KeshFile car = MakeKesh(SmallCar());
    const FceKeshHeader& h = car.header;
    std::strcpy(car.header.partNames[0], "high body\xE9");
    std::memset(car.header.partNames[1], 0, NAME_SIZE);
    car.header.partPositions[2] = {10, -2.5f, 0.125f};
    auto* triangles = reinterpret_cast<FceTriangle*>(car.tables[2].data());
    triangles[5].vertexIndexes[2] = 4; // part 2 has 4 vertices
    std::string input = Write(car.Build());
    for (std::string mesh : {"normal", "damaged"}) {
        std::ostringstream out, err;
        ASSERT_EQ(RunFceconv({"export", "--obj", "--mesh", mesh, "-o", dir.File(mesh), input}, out, err), 0);
        EXPECT_EQ(err.str(),
                  "fceconv: " + input + ": triangles skipped for a vertex index outside their part: 1\n");
        const auto* vertices = reinterpret_cast<const Vec3*>(car.tables[mesh == "normal" ? 0 : 8].data());
        const auto* normalsIn = reinterpret_cast<const Vec3*>(car.tables[mesh == "normal" ? 1 : 9].data());
        Obj expected{{"high_body_", "part1", ":LB", "dummy_HWYN5", "dummy_TRYO324"}, {}, {}, {}};
        for (uint32_t p = 0; p < h.partCount; ++p) {
            const Vec3& at = h.partPositions[p];
            for (uint32_t v = h.partFirstVertex[p]; v < h.partFirstVertex[p] + h.partVertexCount[p]; ++v) {
                expected.positions.push_back(
                    {at.x + vertices[v].x, at.y + vertices[v].y, at.z + vertices[v].z});
                expected.normals.push_back({normalsIn[v].x, normalsIn[v].y, normalsIn[v].z});
            }
            for (uint32_t t = h.partFirstTriangle[p]; t < h.partFirstTriangle[p] + h.partTriangleCount[p];
                 ++t) {
                const uint32_t* i = triangles[t].vertexIndexes;
                int first = int(h.partFirstVertex[p]) + 1; // the parts lie back to back, as in the file
                if (t != 5) {
                    expected.faces.push_back({first + int(i[0]), first + int(i[1]), first + int(i[2])});
                }
            }
        }
        for (const Vec3& dummy : {h.dummyPositions[0], h.dummyPositions[1]}) {
            expected.positions.push_back({dummy.x, dummy.y, dummy.z});
        }
        EXPECT_EQ(ReadObj(dir.File(mesh)), expected) << mesh;
    }
}

// The text of a large car is written in several blocks; each line comes out once and whole.
TEST_F(ObjExportTest, LargeCarComesOutWhole) {
    CarShape shape = SmallCar();
    shape.partVertexCounts = {5, 60000, 4};
    shape.partTriangleCounts = {4, 50000, 2};
    std::ostringstream out, err;
    ASSERT_EQ(RunFceconv({"export", "--obj", "-o", dir.File("big.obj"), Write(MakeVerro3(shape).Build())},
                         out, err),
              0);
    Obj obj = ReadObj(dir.File("big.obj"));
    EXPECT_EQ(obj.positions.size(), 60011u);
    EXPECT_EQ(obj.normals.size(), 60009u);
    EXPECT_EQ(obj.faces.size(), 50006u);
}

} // namespace
