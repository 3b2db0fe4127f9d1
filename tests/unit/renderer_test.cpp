#include "viewer/renderer.h"

#include "tests/support/fce_builder.h"
#include "tests/support/temp_dir.h"
#include "tests/unit/test_car.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <tuple>

namespace {

constexpr uint32_t FRONT = 0, BACK = 1; // which way a square's triangles face the camera
constexpr uint32_t HALF = ((BACKGROUND_COLOUR & 0xFEFEFE) >> 1) + ((SURFACE_COLOUR & 0xFEFEFE) >> 1);

// Seen from the car's right (x), with the picture exact: the model's point (x, y, z) lands on
// picture point (20.5 + z, 20.5 - y) when x is 0, and the camera stands at x = 64.
CarView SideView() {
    CarView view{};
    view.width = view.height = 41;
    view.scale = view.fitScale = 1;
    view.focal = 64;
    view.selectedPart = view.selectedDummy = -1;
    return view;
}

// A square in the plane x = depth, from -10 to 10 in y and z, as two triangles sharing a diagonal.
// By the file's rule, (B - A) x (C - A) points into the car: a triangle facing the viewer at +x
// has it pointing to -x.
void AddSquare(TestCar& car, float depth, uint32_t facing, uint32_t flags = 0) {
    car.AddPart({depth, 0, 0}, {{0, -10, -10}, {0, 10, 10}, {0, 10, -10}, {0, -10, 10}},
                facing == FRONT ? std::vector<Corners>{{0, 1, 2}, {0, 3, 1}}
                                : std::vector<Corners>{{0, 2, 1}, {0, 1, 3}},
                flags);
}

std::map<uint32_t, int> Census(const Frame& frame) {
    std::map<uint32_t, int> count;
    for (uint32_t c : frame.colour) {
        ++count[c];
    }
    return count;
}

TEST(RendererTest, SharedEdgesDepthCullingAndBlending) {
    CarView view = SideView();
    // Semi-transparent, each pixel of the square is blended once: not twice on the shared
    // diagonal, nor left open. With its corners on pixel centres the square covers 20 x 20.
    TestCar glass;
    AddSquare(glass, 0, FRONT, TriangleSemiTransparent);
    RenderCarView(view, glass.model, nullptr);
    EXPECT_EQ(Census(view.frame), (std::map<uint32_t, int>{{HALF, 400}, {BACKGROUND_COLOUR, 41 * 41 - 400}}));
    // Selected glass blends over an opaque square behind it, whichever is drawn first.
    view.selectedPart = 0;
    RenderCarView(view, glass.model, nullptr);
    std::vector<uint32_t> seen = {view.frame.colour[20 * 41 + 15]};
    for (float first : {5.f, 0.f}) {
        TestCar car;
        AddSquare(car, first, FRONT, first > 0 ? uint32_t(TriangleSemiTransparent) : 0);
        AddSquare(car, 5 - first, FRONT, first > 0 ? 0 : uint32_t(TriangleSemiTransparent));
        view.selectedPart = first > 0 ? 0 : 1;
        RenderCarView(view, car.model, nullptr);
        seen.push_back(view.frame.colour[20 * 41 + 15]);
        EXPECT_EQ(view.frame.part[20 * 41 + 15], view.selectedPart);
    }
    EXPECT_TRUE(seen[1] == seen[2] && seen[1] != seen[0]) << seen[0] << " " << seen[1] << " " << seen[2];
    view.selectedPart = -1;

    // The nearer square hides the farther whatever their order; the picture and a pick agree.
    for (float first : {5.f, -5.f}) {
        TestCar car;
        AddSquare(car, first, FRONT);
        AddSquare(car, -first, FRONT);
        RenderCarView(view, car.model, nullptr);
        int32_t nearer = first > 0 ? 0 : 1;
        EXPECT_EQ(view.frame.part[20 * 41 + 20], nearer);
        EXPECT_EQ(PickPart(view, car.model, 20.5, 20.5), nearer);
    }
    // A back face is left out unless drawn from both sides.
    for (auto [flags, drawn] : {std::pair{0u, 0}, {uint32_t(TriangleNoCull), 400}}) {
        TestCar car;
        AddSquare(car, 0, BACK, flags);
        RenderCarView(view, car.model, nullptr);
        EXPECT_EQ(Census(view.frame)[SURFACE_COLOUR], drawn) << flags;
    }
}

TEST(RendererTest, TexturedSquaresShowTheirTexelsInPerspective) {
    CarView view = SideView();
    // Red, green / blue, white from the image's top-left; U across, V down.
    const Texture texture = {2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}};
    TestCar car;
    AddSquare(car, 0, FRONT);
    for (FceTriangle& t : car.triangles) {
        for (int k = 0; k < 3; ++k) {
            const Vec3& corner = car.vertices[t.vertexIndexes[k]];
            t.u[k] = corner.z > 0 ? 1.f : 0.f;
            t.v[k] = corner.y > 0 ? 0.f : 1.f;
        }
    }
    RenderCarView(view, car.model, &texture);
    const Frame& frame = view.frame;
    EXPECT_EQ((std::array{frame.colour[12 * 41 + 12], frame.colour[12 * 41 + 28], frame.colour[28 * 41 + 12],
                          frame.colour[28 * 41 + 28]}),
              (std::array{0xFF0000u, 0x00FF00u, 0x0000FFu, 0xFFFFFFu}));
    // Tilted, its near half looks larger: its middle, z = 0, is still at column 20.5, where the
    // picture's straight halfway between its edges lies near column 26.5.
    for (Vec3& v : car.vertices) {
        v.x = 3 * v.z;
    }
    RenderCarView(view, car.model, &texture);
    EXPECT_EQ(
        (std::array{frame.colour[15 * 41 + 19], frame.colour[15 * 41 + 22], frame.colour[15 * 41 + 25]}),
        (std::array{0xFF0000u, 0x00FF00u, 0x00FF00u}));
}

TEST(RendererTest, ATriangleThroughTheNearPlaneIsCutNotWrapped) {
    CarView view = SideView();
    // Two corners at x = 0, one behind the camera on the right (z = 10): what is drawn lies right
    // of the edge between the first two, as the triangle runs towards the camera and out of the
    // picture. Projected through the camera, the third corner would land on the left.
    TestCar car;
    car.AddPart({0, 0, 0}, {{0, -10, 0}, {0, 10, 0}, {100, 0, 10}}, {{0, 1, 2}}, TriangleNoCull);
    RenderCarView(view, car.model, nullptr);
    int left = 0, right = 0;
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 41; ++x) {
            (x < 20 ? left : right) += view.frame.part[y * 41 + x] == 0;
        }
    }
    EXPECT_EQ(left, 0);
    EXPECT_GT(right, 20 * 20);
    // The near plane stands a 64th of the camera's distance ahead of it.
    EXPECT_EQ((std::array{std::isnan(ProjectPoint(view, 62.9, 0, 0).x),
                          std::isnan(ProjectPoint(view, 63.1, 0, 0).x)}),
              (std::array{false, true}));
}

// The selected part's edges and the dummies go over everything, the wireframe's lines over the
// background; the surfaces behind the lines still answer picks.
TEST(RendererTest, LinesGoOverTheSurfaces) {
    CarView view = SideView();
    TestCar car;
    AddSquare(car, 0, FRONT); // selected, hidden by the next, which looks larger
    AddSquare(car, 5, FRONT);
    car.model.header.dummyCount = 2;
    car.model.header.dummyPositions[0] = {0, 0, -7}; // at picture point (13.5, 20.5)
    car.model.header.dummyPositions[1] = {0, 3, 8};  // (28.5, 17.5)
    view.selectedPart = 0;
    view.selectedDummy = 1;
    for (auto [wireframe, edgeOfNearer, inside] : {std::tuple{false, BACKGROUND_COLOUR, SURFACE_COLOUR},
                                                   {true, WIREFRAME_COLOUR, BACKGROUND_COLOUR}}) {
        view.wireframe = wireframe;
        RenderCarView(view, car.model, nullptr);
        auto at = [&](int x, int y) { return view.frame.colour[y * 41 + x]; };
        EXPECT_EQ((std::array{at(20, 10), at(20, 9), at(15, 20), at(13, 20), at(28, 17)}),
                  (std::array{SELECTED_COLOUR, edgeOfNearer, inside, DUMMY_COLOUR, SELECTED_COLOUR}))
            << wireframe;
        EXPECT_EQ(PickPart(view, car.model, 15, 20), 1);
    }
}

// A TGA: 18 bytes of header (no id, no colour map), then the pixels as the type says.
Bytes Tga(uint8_t type, uint8_t bits, bool topFirst, const Bytes& data) {
    Bytes file = {0, 0, type, 0, 0, 0, 0, 0,    0,
                  0, 0, 0,    2, 0, 2, 0, bits, uint8_t((topFirst ? 0x20 : 0) | (bits & 8))};
    file.resize(18 + data.size());
    std::copy(data.begin(), data.end(), file.begin() + 18);
    return file;
}

TEST(TextureTest, TgaFilesReadBackOrGiveAReason) {
    TempDir dir;
    // 24 bits, plain, bottom row first, each pixel blue, green, red.
    WriteBytes(dir.File("plain.tga"), Tga(2, 24, false, {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255, 0}));
    // 32 bits, RLE, top row first: red and green as they are, then a run of two half-clear blues.
    WriteBytes(dir.File("rle.tga"),
               Tga(10, 32, true, {1, 0, 0, 255, 255, 0, 255, 0, 255, 0x81, 255, 0, 0, 128}));
    for (auto [name, pixels] :
         {std::pair{"plain.tga", std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}},
          {"rle.tga", std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0x800000FF, 0x800000FF}}}) {
        Texture texture;
        std::string reason = "stale";
        EXPECT_TRUE(LoadTga(dir.File(name), texture, reason)) << reason;
        EXPECT_EQ(std::tuple(texture.width, texture.height, texture.pixels, reason),
                  std::tuple(2, 2, pixels, std::string()));
    }
    WriteBytes(dir.File("short.tga"), Tga(2, 24, false, {255, 0, 0, 255, 255, 255, 0, 0, 255, 0, 255}));
    WriteBytes(dir.File("kind.tga"), Tga(7, 24, false, Bytes(12)));
    for (const char* name : {"short.tga", "kind.tga", "missing.tga"}) {
        Texture texture;
        std::string reason;
        EXPECT_FALSE(LoadTga(dir.File(name), texture, reason)) << name;
        EXPECT_FALSE(reason.empty()) << name;
    }
}

} // namespace
