// Writes the sample car: a small synthetic Verro3 car (body, four wheels, a driver, light
// dummies and colours) and its damaged variant, so that there is something to open, and the
// car's texture beside it.
//   generate_samples FOLDER   writes FOLDER/sample_car.fce, FOLDER/sample_car_damaged.fce and
//                             FOLDER/sample_car00.tga
#include "tests/support/fce_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Mesh {
    std::vector<Vec3> vertices;         // relative to the part's position
    std::vector<FceTriangle> triangles; // indexes relative to the part
    Vec3 position = {0, 0, 0};
};

// The texture, TEXTURE_SIZE pixels square: the body's paint in its top half, a wheel's rim in
// the bottom left, tyre tread and the driver's suit in the bottom right. Texture coordinates
// run across (U) and down (V) from its top-left corner.
constexpr int TEXTURE_SIZE = 64;

struct Uv {
    float u, v;
};

FceTriangle Triangle(uint32_t a, uint32_t b, uint32_t c, Uv ta = {}, Uv tb = {}, Uv tc = {}) {
    FceTriangle triangle{};
    triangle.vertexIndexes[0] = a;
    triangle.vertexIndexes[1] = b;
    triangle.vertexIndexes[2] = c;
    const Uv uv[3] = {ta, tb, tc};
    for (int k = 0; k < 3; ++k) {
        triangle.u[k] = uv[k].u;
        triangle.v[k] = uv[k].v;
    }
    return triangle;
}

// Red paint with a white stripe and a yellow rim; a grey rim with five spokes; dark tread; a
// blue suit. Blue, green, red, as the file keeps a pixel.
std::vector<uint8_t> TexturePixels() {
    std::vector<uint8_t> bgr;
    auto put = [&](int r, int g, int b) { bgr.insert(bgr.end(), {uint8_t(b), uint8_t(g), uint8_t(r)}); };
    const int half = TEXTURE_SIZE / 2;
    for (int y = 0; y < TEXTURE_SIZE; ++y) {
        for (int x = 0; x < TEXTURE_SIZE; ++x) {
            if (y < half) {
                bool rim = x < 2 || x >= TEXTURE_SIZE - 2 || y < 2 || y >= half - 2;
                bool stripe = y >= 13 && y < 18;
                rim ? put(240, 200, 0) : stripe ? put(245, 245, 245) : put(200, 25, 20);
            } else if (x < half) {
                double dx = x + 0.5 - half / 2.0, dy = y + 0.5 - half * 1.5;
                double angle = std::atan2(dy, dx), radius = std::sqrt(dx * dx + dy * dy);
                bool spoke = std::cos(5 * angle) > 0.6;
                radius < 4 || (spoke && radius < 13) ? put(210, 210, 215)
                : radius < 13                        ? put(60, 60, 65)
                                                     : put(25, 25, 25);
            } else if (y < half + half / 2) {
                (x / 4) % 2 ? put(35, 35, 35) : put(55, 55, 55);
            } else {
                put(30, 60, 170);
            }
        }
    }
    return bgr;
}

// A TGA of 24 bits a pixel, uncompressed, its top row first.
Bytes TextureFile() {
    const uint8_t size = TEXTURE_SIZE;
    Bytes file = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, size, 0, size, 0, 24, 0x20};
    std::vector<uint8_t> pixels = TexturePixels();
    file.resize(file.size() + pixels.size());
    std::copy(pixels.begin(), pixels.end(), file.end() - std::ptrdiff_t(pixels.size()));
    return file;
}

// A box from (x0, y0, z0) to (x1, y1, z1): 8 corners, 12 triangles.
Mesh Box(float x0, float y0, float z0, float x1, float y1, float z1) {
    Mesh mesh;
    for (int i = 0; i < 8; ++i) {
        mesh.vertices.push_back({i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0});
    }
    const uint32_t faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1},
                                  {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    // Each face shows the whole paint.
    const Uv corner[4] = {{0, 0}, {1, 0}, {1, 0.5f}, {0, 0.5f}};
    for (const auto& f : faces) {
        mesh.triangles.push_back(Triangle(f[0], f[1], f[2], corner[0], corner[1], corner[2]));
        mesh.triangles.push_back(Triangle(f[0], f[2], f[3], corner[0], corner[2], corner[3]));
    }
    return mesh;
}

// A wheel at (x, y, z): two octagons around the x axis, joined by their sides. As in real
// cars, its vertices lie around the origin and its part's position puts it in place.
Mesh Wheel(float x, float y, float z) {
    Mesh mesh;
    mesh.position = {x, y, z};
    const float radius = 0.33f, width = 0.22f;
    for (int side = 0; side < 2; ++side) {
        for (int i = 0; i < 8; ++i) {
            float angle = float(i) * 3.14159265f / 4;
            mesh.vertices.push_back({side ? width : 0, radius * std::sin(angle), radius * std::cos(angle)});
        }
    }
    // The tread runs around the tyre; each side shows the rim, its picture's centre at the hub.
    auto tread = [](uint32_t i, float across) {
        return Uv{0.5f + 0.5f * float(i) / 8, 0.5f + 0.25f * across};
    };
    auto rim = [](uint32_t i) {
        float angle = float(i) * 3.14159265f / 4;
        return Uv{0.25f + 0.2f * std::cos(angle), 0.75f + 0.2f * std::sin(angle)};
    };
    for (uint32_t i = 0; i < 8; ++i) {
        uint32_t j = (i + 1) % 8;
        mesh.triangles.push_back(Triangle(i, j, 8 + j, tread(i, 0), tread(i + 1, 0), tread(i + 1, 1)));
        mesh.triangles.push_back(Triangle(i, 8 + j, 8 + i, tread(i, 0), tread(i + 1, 1), tread(i, 1)));
    }
    // (B - A) x (C - A) of a car's triangle points into the solid, on the caps as on the tread.
    for (uint32_t i = 1; i + 1 < 8; ++i) {
        mesh.triangles.push_back(Triangle(0, i + 1, i, rim(0), rim(i + 1), rim(i)));
        mesh.triangles.push_back(Triangle(8, 8 + i, 8 + i + 1, rim(0), rim(i), rim(i + 1)));
    }
    return mesh;
}

// A seated driver seen from the side (z forward, y up): a head ring, a torso and arms
// reaching forward to the steering wheel.
Mesh Driver() {
    Mesh mesh;
    auto add = [&](float y, float z) {
        mesh.vertices.push_back({-0.35f, y, z});
        return uint32_t(mesh.vertices.size() - 1);
    };
    uint32_t centre = add(1.05f, -0.25f);
    uint32_t ring[10];
    for (int i = 0; i < 10; ++i) {
        float angle = float(i) * 2 * 3.14159265f / 10;
        ring[i] = add(1.05f + 0.12f * std::sin(angle), -0.25f + 0.11f * std::cos(angle));
    }
    for (int i = 0; i < 10; ++i) {
        mesh.triangles.push_back(Triangle(centre, ring[i], ring[(i + 1) % 10]));
    }
    uint32_t torso[3][3];
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 3; ++col) {
            torso[row][col] =
                add(0.9f - 0.25f * float(row), -0.45f + 0.12f * float(col) + 0.03f * float(row));
        }
    }
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col) {
            mesh.triangles.push_back(Triangle(torso[row][col], torso[row][col + 1], torso[row + 1][col + 1]));
            mesh.triangles.push_back(Triangle(torso[row][col], torso[row + 1][col + 1], torso[row + 1][col]));
        }
    }
    uint32_t elbow = add(0.62f, -0.02f), hand = add(0.72f, 0.22f), wrist = add(0.66f, 0.2f);
    mesh.triangles.push_back(Triangle(torso[0][2], elbow, torso[1][2]));
    mesh.triangles.push_back(Triangle(elbow, hand, wrist));
    return mesh;
}

Verro3File BuildCar(bool damaged) {
    std::vector<Mesh> parts = {Box(-0.9f, 0.3f, -2.1f, 0.9f, 1.0f, 2.1f),
                               Wheel(-0.95f, 0.33f, 1.3f),
                               Wheel(0.73f, 0.33f, 1.3f),
                               Wheel(-0.95f, 0.33f, -1.3f),
                               Wheel(0.73f, 0.33f, -1.3f),
                               Driver()};
    if (damaged) {
        // The front of the body is pushed in and down.
        for (Vec3& v : parts[0].vertices) {
            if (v.z > 0) {
                v.z -= 0.35f;
                v.y -= 0.1f;
            }
        }
    }
    CarShape shape;
    shape.partNames = {":HB", ":HLFW", ":HRFW", ":HLRW", ":HRRW", ":OD"};
    shape.dummyNames = {"HWYN5", "HWYN5", "TRYN5", "TRYN5", "BRYN9", ":LICENSE"};
    shape.colourCount = 3;
    for (const Mesh& part : parts) {
        shape.partVertexCounts.push_back(uint32_t(part.vertices.size()));
        shape.partTriangleCounts.push_back(uint32_t(part.triangles.size()));
    }
    // The driver wears the suit, and is flat: seen from both sides.
    for (FceTriangle& t : parts[5].triangles) {
        t.flags = TriangleNoCull;
        for (int k = 0; k < 3; ++k) {
            t.u[k] = 0.8f + 0.1f * float(k);
            t.v[k] = 0.85f + 0.05f * float(k % 2);
        }
    }
    Verro3File file = MakeVerro3(shape);
    const Vec3 dummyPositions[] = {{-0.6f, 0.7f, 2.1f}, {0.6f, 0.7f, 2.1f},   {-0.6f, 0.7f, -2.1f},
                                   {0.6f, 0.7f, -2.1f}, {0.0f, 0.95f, -2.1f}, {0.0f, 0.5f, -2.12f}};
    std::memcpy(file.header.dummyPositions, dummyPositions, sizeof dummyPositions);
    // As in real cars the origin lies inside the body, here halfway up, and the car is placed
    // around it: the ground lies below it.
    constexpr float ORIGIN_HEIGHT = 0.65f;
    for (size_t p = 0; p < parts.size(); ++p) {
        file.header.partPositions[p] = parts[p].position;
        file.header.partPositions[p].y -= ORIGIN_HEIGHT;
    }
    for (size_t d = 0; d < shape.dummyNames.size(); ++d) {
        file.header.dummyPositions[d].y -= ORIGIN_HEIGHT;
    }
    // The body's half-sizes, which the game takes as the car's box: half its width and length,
    // and the depth of its bottom below the origin.
    const float halfSizes[3] = {0.9f, ORIGIN_HEIGHT - 0.3f, 2.1f};
    std::memcpy(file.header.auxValues, halfSizes, sizeof halfSizes);
    // Primary red, blue and yellow; secondary dark grey, light grey and a half-clear teal
    // (hue, saturation, value, transparency).
    const Fce3Colour primary[] = {{0, 220, 200, 255}, {160, 180, 150, 255}, {43, 200, 230, 255}};
    const Fce3Colour secondary[] = {{0, 0, 60, 255}, {0, 0, 200, 255}, {128, 128, 128, 128}};
    std::memcpy(file.header.primaryColours, primary, sizeof primary);
    std::memcpy(file.header.secondaryColours, secondary, sizeof secondary);

    std::vector<Vec3> vertices, normals;
    std::vector<FceTriangle> triangles;
    for (size_t p = 0; p < parts.size(); ++p) {
        for (const Vec3& v : parts[p].vertices) {
            vertices.push_back(v);
            float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
            normals.push_back(length > 0 ? Vec3{v.x / length, v.y / length, v.z / length} : Vec3{0, 1, 0});
        }
        for (FceTriangle t : parts[p].triangles) {
            t.texturePage = uint32_t(p);
            triangles.push_back(t);
        }
    }
    file.tables[0] = AsBytes(vertices);
    file.tables[1] = AsBytes(normals);
    file.tables[2] = AsBytes(triangles);
    for (int k = 3; k < 6; ++k) {
        std::fill(file.tables[k].begin(), file.tables[k].end(), uint8_t(0));
    }
    return file;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_samples FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    try {
        WriteBytes(folder + "/sample_car.fce", BuildCar(false).Build());
        WriteBytes(folder + "/sample_car_damaged.fce", BuildCar(true).Build());
        WriteBytes(folder + "/sample_car00.tga", TextureFile());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "generate_samples: %s\n", error.what());
        return 1;
    }
    return 0;
}
