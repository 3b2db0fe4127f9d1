#include "cli/fceconv_main.h"
#include "model/half_sizes.h"
#include "model/kesh.h"
#include "obj/obj_conventions.h"
#include "obj/obj_export.h"
#include "obj/obj_import.h"
#include "obj/obj_library.h"
#include "tests/unit/file_test_support.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

namespace {

using ObjTest = FileCommandTest;

std::string Fceconv(const std::vector<std::string>& arguments) {
    std::ostringstream out, err;
    EXPECT_EQ(RunFceconv(arguments, out, err, {}), 0) << err.str();
    return err.str();
}

// A random car as real cars are: every vertex on a triangle, printable names without spaces,
// unused header slots zero, the undamaged mesh equal to the normal one, texture coordinates on
// the image. Kesh cars may have a damaged mesh of their own.
Bytes CleanCar(uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    auto real = [&](float low, float high) {
        return std::uniform_real_distribution<float>(low, high)(random);
    };
    CarShape shape;
    shape.seed = seed;
    shape.colourCount = below(MAX_COLOURS + 1);
    for (uint32_t p = 1 + below(6); p > 0; --p) {
        uint32_t vertices = 1 + below(9);
        shape.partVertexCounts.push_back(vertices);
        shape.partTriangleCounts.push_back(std::max(vertices, 3u) - 2 + below(4)); // j, j+1, j+2 cover all
        shape.partNames.push_back(":P" + std::to_string(p) + "x" + std::to_string(below(1000)));
    }
    for (uint32_t d = below(MAX_DUMMIES + 1); d > 0; --d) {
        shape.dummyNames.push_back("D" + std::to_string(below(100)));
    }
    auto clean = [&](auto& file) {
        auto& h = file.header;
        for (uint32_t p = 0; p < h.partCount; ++p) {
            h.partPositions[p] = {real(-2, 2), real(-1, 1), real(-3, 3)};
        }
        for (uint32_t d = 0; d < h.dummyCount; ++d) {
            h.dummyPositions[d] = {real(-2, 2), real(-1, 1), real(-3, 3)};
        }
        auto* vertices = reinterpret_cast<Vec3*>(file.tables[0].data());
        auto* normals = reinterpret_cast<Vec3*>(file.tables[1].data());
        for (uint32_t i = 0; i < h.vertexCount; ++i) {
            vertices[i] = {real(-1, 1), real(-1, 1), real(-2, 2)};
            normals[i] = {real(-1, 1), real(-1, 1), real(-1, 1)};
        }
        auto* triangles = reinterpret_cast<FceTriangle*>(file.tables[2].data());
        for (uint32_t t = 0; t < h.triangleCount; ++t) {
            triangles[t].flags = below(4) == 0 ? static_cast<uint32_t>(random()) : below(0x1000);
            triangles[t].texturePage = below(4);
            for (int k = 0; k < 3; ++k) {
                triangles[t].u[k] = real(0, 1);
                triangles[t].v[k] = real(0, 1);
            }
        }
    };
    if (seed % 2 == 0) {
        Verro3File file = MakeVerro3(shape);
        clean(file);
        return file.Build();
    }
    KeshFile file = MakeKesh(shape);
    clean(file);
    file.tables[6] = file.tables[0];
    file.tables[7] = file.tables[1];
    if (seed % 3 != 0) {
        file.tables[8] = file.tables[0];
        file.tables[9] = file.tables[1];
    }
    return file.Build();
}

// The loaded car, held apart.
struct Snapshot {
    FceKeshHeader header;
    std::vector<Vec3> vertices, normals, damagedVertices, damagedNormals;
    std::vector<FceTriangle> triangles;
    std::vector<uint32_t> movement;
};

Snapshot TakeSnapshot() {
    const FceKeshHeader& h = carModel.header;
    return {h,
            {carModel.vertices, carModel.vertices + h.vertexCount},
            {carModel.normals, carModel.normals + h.vertexCount},
            {carModel.damagedVertices, carModel.damagedVertices + h.vertexCount},
            {carModel.damagedNormals, carModel.damagedNormals + h.vertexCount},
            {carModel.triangles, carModel.triangles + h.triangleCount},
            {carModel.movementFlags, carModel.movementFlags + h.vertexCount}};
}

void ExpectSamePlace(const Vec3& at, const Vec3& v, const Vec3& at2, const Vec3& v2) {
    const double a[] = {at.x + double(v.x), at.y + double(v.y), at.z + double(v.z)};
    const double b[] = {at2.x + double(v2.x), at2.y + double(v2.y), at2.z + double(v2.z)};
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(a[k], b[k], 1e-6 * (1 + std::abs(a[k])));
    }
}

// Out to OBJ and back: with the car as base, the very file convert writes but for the half-sizes;
// without, the same car up to where each part's origin lies.
TEST_F(ObjTest, RoundTripGivesTheCarBack) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        SCOPED_TRACE(seed);
        const std::string car = Write(CleanCar(seed)), obj = dir.File("car.obj");
        const std::string converted = dir.File("converted.fce"), imported = dir.File("imported.fce");
        Fceconv({"convert", "--to", "kesh", "--force", "-o", converted, car});
        Fceconv({"export", "--obj", "--force", "-o", obj, car});
        Fceconv({"import", "--to", "kesh", "--base", car, "--force", "-o", imported, obj});
        if (seed % 6 == 3) { // a Kesh car with a damaged mesh of its own, which Verro3 leaves out
            EXPECT_NE(Fceconv({"import", "--to", "verro3", "--force", "-o", dir.File("v3.fce"), obj})
                          .find("the Verro3 layout does not hold"),
                      std::string::npos);
        }
        Bytes expected = ReadBytes(converted), got = ReadBytes(imported);
        ASSERT_EQ(got.size(), expected.size());
        constexpr size_t AUX = offsetof(FceKeshHeader, auxValues);
        EXPECT_TRUE(std::equal(got.begin(), got.begin() + AUX, expected.begin()));
        EXPECT_TRUE(std::equal(got.begin() + AUX + 12, got.end(), expected.begin() + AUX + 12));

        ASSERT_TRUE(OpenKeshPath(converted.c_str()));
        HalfSizes box = BodyHalfSizes(carModel);
        EXPECT_EQ(std::memcmp(&box, got.data() + AUX, sizeof box), 0);
        Snapshot was = TakeSnapshot();
        ASSERT_TRUE(OpenObjPath(obj.c_str(), {}, nullptr)) << LastFailureReason();
        const FceKeshHeader &h = carModel.header, &w = was.header;
        ASSERT_EQ(h.partCount, w.partCount);
        EXPECT_EQ(h.artCount, 1u);
        EXPECT_EQ(h.colourCount, 0u);
        EXPECT_EQ(std::memcmp(h.partNames, w.partNames, sizeof h.partNames), 0);
        EXPECT_EQ(std::memcmp(h.partVertexCount, w.partVertexCount, sizeof h.partVertexCount), 0);
        EXPECT_EQ(std::memcmp(h.partTriangleCount, w.partTriangleCount, sizeof h.partTriangleCount), 0);
        EXPECT_EQ(std::memcmp(h.dummyNames, w.dummyNames, sizeof h.dummyNames), 0);
        EXPECT_EQ(std::memcmp(h.dummyPositions, w.dummyPositions, sizeof h.dummyPositions), 0);
        for (uint32_t p = 0; p < h.partCount; ++p) {
            for (uint32_t i = h.partFirstVertex[p]; i < h.partFirstVertex[p] + h.partVertexCount[p]; ++i) {
                ExpectSamePlace(h.partPositions[p], carModel.vertices[i], w.partPositions[p],
                                was.vertices[i]);
                ExpectSamePlace(h.partPositions[p], carModel.damagedVertices[i], w.partPositions[p],
                                was.damagedVertices[i]);
                EXPECT_EQ(carModel.movementFlags[i], uint32_t{MovementFixed});
            }
        }
        EXPECT_EQ(std::memcmp(carModel.normals, was.normals.data(), was.normals.size() * sizeof(Vec3)), 0);
        EXPECT_EQ(std::memcmp(carModel.damagedNormals, was.damagedNormals.data(),
                              was.normals.size() * sizeof(Vec3)),
                  0);
        for (uint32_t t = 0; t < h.triangleCount; ++t) {
            FceTriangle expected = was.triangles[t];
            for (size_t k = 0; k < sizeof expected.reserved; ++k) {
                expected.reserved[k] = k % 2 ? 0xFF : 0x00;
            }
            EXPECT_EQ(std::memcmp(&carModel.triangles[t], &expected, sizeof expected), 0) << t;
        }
    }
}

// A closed box as the game has it: seen from outside, each face turns the other way than the
// right hand says in the car's frame. Exported, every face's right-hand normal agrees with the
// normals of its corners, and each dummy's helper points outward too.
TEST_F(ObjTest, ExportedFacesWindWithTheirNormals) {
    KeshFile box = MakeKesh({{8}, {12}, {":HB"}, {"HFLO", "TRYO"}});
    box.header.partPositions[0] = {1, 2, 3};
    auto* vertices = reinterpret_cast<Vec3*>(box.tables[0].data());
    auto* normals = reinterpret_cast<Vec3*>(box.tables[1].data());
    for (int i = 0; i < 8; ++i) {
        vertices[i] = {i & 1 ? 1.0f : -1.0f, i & 2 ? 1.0f : -1.0f, i & 4 ? 1.0f : -1.0f};
        normals[i] = {vertices[i].x / std::sqrt(3.0f), vertices[i].y / std::sqrt(3.0f),
                      vertices[i].z / std::sqrt(3.0f)};
    }
    auto* triangles = reinterpret_cast<FceTriangle*>(box.tables[2].data());
    int t = 0;
    for (int axis = 0; axis < 3; ++axis) {
        for (int side : {0, 1}) {
            std::vector<uint32_t> face; // the four corners on that side, around the face
            for (uint32_t i : {0u, 1u, 3u, 2u}) {
                uint32_t low = i & ((1u << axis) - 1), high = (i >> axis) << (axis + 1);
                face.push_back(high | uint32_t(side) << axis | low);
            }
            for (int half : {0, 1}) {
                uint32_t a = face[0], b = face[1 + half], c = face[2 + half];
                const Vec3 &pa = vertices[a], &pb = vertices[b], &pc = vertices[c];
                float cross[3] = {(pb.y - pa.y) * (pc.z - pa.z) - (pb.z - pa.z) * (pc.y - pa.y),
                                  (pb.z - pa.z) * (pc.x - pa.x) - (pb.x - pa.x) * (pc.z - pa.z),
                                  (pb.x - pa.x) * (pc.y - pa.y) - (pb.y - pa.y) * (pc.x - pa.x)};
                if (cross[axis] * (side ? 1 : -1) > 0) {
                    std::swap(b, c);
                }
                triangles[t].texturePage = uint32_t(t % 3);
                triangles[t++].vertexIndexes[0] = a;
                triangles[t - 1].vertexIndexes[1] = b;
                triangles[t - 1].vertexIndexes[2] = c;
            }
        }
    }
    box.tables[8] = box.tables[0]; // no damaged mesh of its own
    box.tables[9] = box.tables[1];
    ASSERT_TRUE(OpenKeshPath(Write(box.Build()).c_str()));
    ObjExportCounts counts;
    ASSERT_TRUE(
        SaveObjPath(dir.File("box.obj").c_str(), {ObjMesh::Both, dir.File("box00.tga"), "", ""}, &counts));
    tinyobj::ObjReader reader;
    ASSERT_TRUE(reader.ParseFromFile(dir.File("box.obj")));
    EXPECT_EQ(reader.Warning(), ""); // every material it uses is in the material file
    ASSERT_FALSE(reader.GetMaterials().empty());
    EXPECT_EQ(reader.GetMaterials()[0].diffuse_texname, "box00.tga");
    const tinyobj::attrib_t& a = reader.GetAttrib();
    ASSERT_EQ(reader.GetShapes().size(), 3u);
    for (const tinyobj::shape_t& shape : reader.GetShapes()) {
        const std::vector<tinyobj::index_t>& indices = shape.mesh.indices;
        ASSERT_EQ(indices.size(), shape.name == ":HB" ? 36u : 24u);
        double centre[3] = {};
        for (const tinyobj::index_t& i : indices) {
            for (int k = 0; k < 3; ++k) {
                centre[k] += a.vertices[size_t(i.vertex_index) * 3 + size_t(k)] / double(indices.size());
            }
        }
        for (size_t f = 0; f < indices.size(); f += 3) {
            const double* p[3];
            for (int k = 0; k < 3; ++k) {
                p[k] = &a.vertices[size_t(indices[f + size_t(k)].vertex_index) * 3];
            }
            double e[3] = {p[1][0] - p[0][0], p[1][1] - p[0][1], p[1][2] - p[0][2]};
            double g[3] = {p[2][0] - p[0][0], p[2][1] - p[0][1], p[2][2] - p[0][2]};
            double n[3] = {e[1] * g[2] - e[2] * g[1], e[2] * g[0] - e[0] * g[2], e[0] * g[1] - e[1] * g[0]};
            for (int k = 0; k < 3; ++k) {
                int vn = indices[f + size_t(k)].normal_index;
                const double out[3] = {p[k][0] - centre[0], p[k][1] - centre[1], p[k][2] - centre[2]};
                const double* direction = vn >= 0 ? &a.normals[size_t(vn) * 3] : out;
                EXPECT_GT(n[0] * direction[0] + n[1] * direction[1] + n[2] * direction[2], 0)
                    << shape.name << " face " << f / 3;
            }
        }
    }
}

// Every convention at once: object and group names, a quad, a vertex with two normals, tags and
// hexadecimal flags (a material holds over the next objects), negative indexes, a face without normals or
// texture coordinates, helpers for a position, dummies, a box of moving vertices and a damaged mesh; no
// material file.
TEST_F(ObjTest, ImportReadsEveryConvention) {
    const std::string text =
        "mtllib missing.mtl\n"
        "o :HB\n"
        "v 0 0 0\nv 2 0 0\nv 2 0 -2\nv 0 0 -2\nv 1 1 -1\n"
        "vt 0.25 0.75\nvt +0.5\nvn 0 1 0\nvn 0 -1 0\n"
        "usemtl 0X0AE_T2_\nf 1/1/1 2/1/1 3/1/1 4/1/1\n"
        "usemtl body_FHIC__FNOC__T1_\nf 1/2/2 2/2/2 5/2/2\n"
        "g :OD\nv 0 0 0\nv 1 0 0\nv 0 0 -1\nf -3 -2 -1\n"
        "o POSITION_:OD\nv 5 6 -7\nv 7 6 -7\nv 6 9 -7\nf -3 -2 -1\n"
        "o ANIMATED_00_:OD\nv -0.5 -0.5 0.5\nv 0.5 0.5 0\nv 0.5 -0.5 0\nf -3 -2 -1\n"
        "o DUMMY_00_HFLO\nv 0 2 -3\nv 1 2 -3\nv 2 2 -3\nf -3 -2 -1\n"
        "o DUMMY_TRYO\nv 4 4 4\nf -1 -1 -1\n"
        "o DAMAGE_:OD\nv 0 -1 0\nv 1 -1 0\nv 0 -1 -1\nvn 0 0 1\nf -3//-1 -2//-1 -1//-1\n";
    std::ofstream(dir.File("model.obj")) << text;
    std::vector<std::string> warnings;
    auto handles = [] { // open files, where the system lists them
#ifdef _WIN32
        return 0; // under Wine the list is the emulator's, whose own files come and go
#else
        std::error_code none;
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd", none), {});
#endif
    };
    const auto open = handles();
    ASSERT_TRUE(OpenObjPath(dir.File("model.obj").c_str(), {}, &warnings)) << LastFailureReason();
    EXPECT_EQ(handles(), open);
    EXPECT_EQ(warnings,
              std::vector<std::string>{"the material file missing.mtl is missing; the material names "
                                       "still give the flags and pages"});
    EXPECT_EQ(carFilePath, dir.File("model.obj"));
    const FceKeshHeader& h = carModel.header;
    ASSERT_EQ(h.partCount, 2u);
    EXPECT_STREQ(h.partNames[1], ":OD");
    EXPECT_EQ(h.vertexCount, 10u); // :HB's vertices 1 and 2 come with two normals each
    EXPECT_EQ(h.triangleCount, 4u);
    auto expectVec = [](const Vec3& v, Vec3 expected) {
        EXPECT_FLOAT_EQ(v.x, expected.x);
        EXPECT_FLOAT_EQ(v.y, expected.y);
        EXPECT_FLOAT_EQ(v.z, expected.z);
    };
    expectVec(h.partPositions[0], {1, 0.2f, 1}); // the centroid of its five places
    expectVec(h.partPositions[1], {6, 7, 7});
    expectVec(carModel.vertices[0], {-1, -0.2f, -1});
    expectVec(carModel.normals[0], {0, 1, 0});
    expectVec(carModel.normals[1], {0, -1, 0});
    const uint32_t indexes[4][3] = {{0, 2, 4}, {0, 4, 5}, {1, 3, 6}, {0, 1, 2}};
    const TriangleLook looks[4] = {{0xAE, 2}, {0xAE, 2}, {0x6, 1}, {0x6, 1}};
    for (int t = 0; t < 4; ++t) {
        const FceTriangle& triangle = carModel.triangles[t];
        EXPECT_EQ(std::vector<uint32_t>(triangle.vertexIndexes, triangle.vertexIndexes + 3),
                  std::vector<uint32_t>(indexes[t], indexes[t] + 3));
        EXPECT_EQ(triangle.flags, looks[t].flags);
        EXPECT_EQ(triangle.texturePage, looks[t].page);
        EXPECT_EQ(triangle.u[0], t < 2 ? 0.25f : t == 2 ? 0.5f : 0.0f);
        EXPECT_EQ(triangle.v[0], t < 2 ? 0.25f : t == 2 ? 1.0f : 0.0f); // a V left out is 0
        EXPECT_EQ(triangle.reserved[10], 0x00);
        EXPECT_EQ(triangle.reserved[11], 0xFF);
    }
    for (uint32_t i = 7; i < 10; ++i) { // :OD's normals come from its face, pointing up
        expectVec(carModel.normals[i], {0, 1, 0});
        expectVec(carModel.damagedNormals[i], {0, 0, -1});
        EXPECT_EQ(carModel.movementFlags[i], i == 7 ? 0u : 4u) << i;
    }
    expectVec(carModel.vertices[7], {-6, -7, -7});
    expectVec(carModel.damagedVertices[8], {-5, -8, -7});
    expectVec(carModel.undamagedVertices[8], carModel.vertices[8]);
    EXPECT_EQ(carModel.movementFlags[0], 4u);
    ASSERT_EQ(h.dummyCount, 2u);
    EXPECT_STREQ(h.dummyNames[0], "HFLO");
    EXPECT_STREQ(h.dummyNames[1], "TRYO");
    expectVec(h.dummyPositions[0], {1, 2, 3});
    EXPECT_EQ(h.artCount, 1u);
}

// Each model that cannot become a car says why, naming the object, and the loaded car stays.
TEST_F(ObjTest, ImportRefusesWhatNoCarHolds) {
    auto objects = [](const std::string& prefix, int count) {
        std::string text = "o body\nv 0 0 0\nf 1 1 1\n";
        for (int i = 0; i < count; ++i) {
            text += "o " + prefix + std::to_string(i) + "_d\nv 0 0 0\nf -1 -1 -1\n";
        }
        return text;
    };
    const struct {
        std::string text, reason;
    } cases[] = {
        {objects("p", 64), "object \"p63_d\": a car holds at most 64 parts"},
        {objects("DUMMY_", 17), "object \"DUMMY_16_d\": a car holds at most 16 dummies"},
        {"o " + std::string(64, 'n') + "\nv 0 0 0\nf 1 1 1\n",
         "object \"" + std::string(64, 'n') + "\": a part's name holds at most 63 bytes"},
        {"o a\nv 0 0 0\nv 1 0 0\nf 1 2 2\no DAMAGE_a\nf 1 1 1\n",
         "object \"DAMAGE_a\": 1 vertices, where the part \"a\" has 2"},
        {"o a\nv 0 0 0\nv 1 0 0\n", "no object has faces: there is no part to make a car of"},
        {"o a\nv 0 0 0\nf 1 1 1\no DUMMY_00_x\n", "object \"DUMMY_00_x\": a helper without vertices"},
        {"o a\nv 0 0 0\nv 1 nan 0\nf 1 2 1\n", "object \"a\", line 3: a coordinate that is not a number"},
        {"o a\nv 0 0 0\nvn 1e39 0 0\nf 1//1 1//1 1//1\n",
         "object \"a\", line 3: a normal beyond what a car file holds"},
        {"o a\nv 0 0 0\nf 1 2 1\n",
         "object \"a\", line 3: a face refers to a vertex, texture coordinate or normal that is not there"},
    };
    ASSERT_TRUE(OpenKeshPath(Write(MakeKesh(SmallCar()).Build()).c_str()));
    const Snapshot loaded = TakeSnapshot();
    const Vec3* vertices = carModel.vertices;
    for (const auto& [text, reason] : cases) {
        std::ofstream(dir.File("model.obj")) << text;
        EXPECT_FALSE(OpenObjPath(dir.File("model.obj").c_str(), {}, nullptr));
        EXPECT_EQ(LastFailureReason(), reason);
        EXPECT_EQ(std::memcmp(&carModel.header, &loaded.header, sizeof loaded.header), 0);
        EXPECT_EQ(carModel.vertices, vertices);
    }
    std::ofstream(dir.File("model.obj")) << "o a\nv 0 0 0\nf 1 1 1\n";
    EXPECT_FALSE(OpenObjPath(dir.File("model.obj").c_str(), {dir.File("none.fce")}, nullptr));
    EXPECT_EQ(LastFailureReason(), "the base car " + dir.File("none.fce") + ": cannot be opened for reading");
    EXPECT_EQ(carModel.vertices, vertices);
    EXPECT_TRUE(responder.messages.empty());
    EXPECT_FALSE(OpenKeshPath(dir.File("none.fce").c_str())); // and messages reach the user again
    EXPECT_EQ(responder.messages.size(), 1u);
}

} // namespace
