#include "tests/support/fce_builder.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <stdexcept>

namespace {

uint32_t Total(const std::vector<uint32_t>& counts) {
    return std::accumulate(counts.begin(), counts.end(), 0u);
}

void SetName(char (&field)[NAME_SIZE], const std::string& name) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), NAME_SIZE));
}

template <class Header> void FillCommon(Header& header, const CarShape& shape) {
    header.vertexCount = Total(shape.partVertexCounts);
    header.triangleCount = Total(shape.partTriangleCounts);
    header.artCount = 3;
    header.auxValues[0] = 0x3F800000; // 1.0f
    header.auxValues[1] = 0xDEADBEEF;
    header.auxValues[2] = 7;
    header.partCount = static_cast<uint32_t>(shape.partVertexCounts.size());
    for (uint32_t p = 0, firstVertex = 0, firstTriangle = 0; p < header.partCount; ++p) {
        header.partPositions[p] = {float(p), float(p) / 2, -float(p)};
        header.partFirstVertex[p] = firstVertex;
        header.partVertexCount[p] = shape.partVertexCounts[p];
        header.partFirstTriangle[p] = firstTriangle;
        header.partTriangleCount[p] = shape.partTriangleCounts[p];
        firstVertex += shape.partVertexCounts[p];
        firstTriangle += shape.partTriangleCounts[p];
        SetName(header.partNames[p],
                p < shape.partNames.size() ? shape.partNames[p] : ":P" + std::to_string(p));
    }
    header.dummyCount = static_cast<uint32_t>(shape.dummyNames.size());
    for (uint32_t d = 0; d < header.dummyCount; ++d) {
        header.dummyPositions[d] = {float(d) + 0.5f, 1.0f, float(d) * 2};
        SetName(header.dummyNames[d], shape.dummyNames[d]);
    }
    header.colourCount = shape.colourCount;
}

template <class Header, size_t N>
Bytes Lay(Header header, const Bytes (&tables)[N], const TableLayout& layout) {
    std::vector<int> order = layout.order;
    if (order.empty()) {
        order.resize(N);
        std::iota(order.begin(), order.end(), 0);
    }
    if (order.size() != N) {
        throw std::invalid_argument("a layout must place every table once");
    }
    Bytes body;
    for (int k : order) {
        body.insert(body.end(), layout.gap, 0xEE);
        header.tableOffsets[k] = static_cast<uint32_t>(body.size());
        body.insert(body.end(), tables[k].begin(), tables[k].end());
    }
    Bytes file = AsBytes(&header, 1);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

} // namespace

CarShape SmallCar(uint32_t seed) {
    return {{5, 3, 4}, {4, 1, 2}, {":HB", ":OD", ":LB"}, {"HWYN5", "TRYO324"}, 3, seed};
}

CarShape RandomShape(uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    auto name = [&] {
        std::string text(below(NAME_SIZE + 1), ' ');
        for (char& c : text) {
            c = static_cast<char>(1 + below(255));
        }
        return text;
    };
    CarShape shape;
    for (uint32_t p = below(7); p > 0; --p) {
        shape.partVertexCounts.push_back(below(10));
        shape.partTriangleCounts.push_back(below(13));
        shape.partNames.push_back(name());
    }
    for (uint32_t d = below(MAX_DUMMIES + 1); d > 0; --d) {
        shape.dummyNames.push_back(name());
    }
    shape.colourCount = below(MAX_COLOURS + 1);
    shape.seed = seed;
    return shape;
}

TableLayout ShuffledLayout(int tableCount, uint32_t seed) {
    TableLayout layout{std::vector<int>(static_cast<size_t>(tableCount)), seed % 9};
    std::iota(layout.order.begin(), layout.order.end(), 0);
    std::shuffle(layout.order.begin(), layout.order.end(), std::mt19937(seed));
    return layout;
}

// Vertex i of the car sits at (i + seed, 2i + 0.5, -i - 0.25) / 8, its normal at (0, 1, i);
// triangle j of a part joins its vertices j, j + 1, j + 2 (modulo the part's count).
std::vector<Vec3> ShapeVertices(const CarShape& shape) {
    std::vector<Vec3> vertices(Total(shape.partVertexCounts));
    for (size_t i = 0; i < vertices.size(); ++i) {
        vertices[i] = {(float(i) + float(shape.seed)) / 8, (2 * float(i) + 0.5f) / 8,
                       (-float(i) - 0.25f) / 8};
    }
    return vertices;
}

std::vector<Vec3> ShapeNormals(const CarShape& shape) {
    std::vector<Vec3> normals(Total(shape.partVertexCounts));
    for (size_t i = 0; i < normals.size(); ++i) {
        normals[i] = {0.0f, 1.0f, float(i) + float(shape.seed) / 16};
    }
    return normals;
}

std::vector<FceTriangle> ShapeTriangles(const CarShape& shape) {
    std::vector<FceTriangle> triangles;
    for (size_t p = 0; p < shape.partTriangleCounts.size(); ++p) {
        uint32_t n = std::max<uint32_t>(shape.partVertexCounts[p], 1);
        for (uint32_t j = 0; j < shape.partTriangleCounts[p]; ++j) {
            FceTriangle triangle{static_cast<uint32_t>(p), {j % n, (j + 1) % n, (j + 2) % n}, {}};
            for (size_t b = 0; b < sizeof triangle.opaque; ++b) {
                triangle.opaque[b] = static_cast<uint8_t>(b + j + shape.seed);
            }
            triangles.push_back(triangle);
        }
    }
    return triangles;
}

Verro3File MakeVerro3(const CarShape& shape) {
    Verro3File file;
    FillCommon(file.header, shape);
    file.header.secondaryColourCount = shape.colourCount;
    for (uint32_t i = 0; i < shape.colourCount && i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = {16 * i + 1, 16 * i + 2, 16 * i + 3, 16 * i + 4};
        file.header.secondaryColours[i] = {16 * i + 5, 16 * i + 6, 16 * i + 7, 16 * i + 8};
    }
    const size_t v = file.header.vertexCount;
    const Bytes tables[] = {
        AsBytes(ShapeVertices(shape)), AsBytes(ShapeNormals(shape)), AsBytes(ShapeTriangles(shape)),
        Bytes(v * 32, 0xA5),           Bytes(v * 12, 0xA5),          Bytes(v * 12, 0xA5)};
    std::copy(std::begin(tables), std::end(tables), file.tables);
    return file;
}

// The undamaged and the damaged geometry differ from the first, so that a mix-up shows.
KeshFile MakeKesh(const CarShape& shape) {
    KeshFile file;
    FillCommon(file.header, shape);
    file.header.version = KESH_VERSION;
    file.header.reservedWord = 0x12345678;
    FceColour* colours[] = {file.header.primaryColours, file.header.interiorColours,
                            file.header.secondaryColours, file.header.driverHairColours};
    for (uint32_t i = 0; i < shape.colourCount && i < MAX_COLOURS; ++i) {
        for (uint32_t k = 0; k < 4; ++k) {
            const auto b = static_cast<uint8_t>(16 * i + 4 * k);
            colours[k][i] = {uint8_t(b + 1), uint8_t(b + 2), uint8_t(b + 3), uint8_t(b + 4)};
        }
    }
    std::memset(file.header.reservedArea1, 0x11, sizeof file.header.reservedArea1);
    std::memset(file.header.reservedArea2, 0x22, sizeof file.header.reservedArea2);
    const size_t v = file.header.vertexCount;
    std::vector<Vec3> vertices = ShapeVertices(shape), normals = ShapeNormals(shape);
    std::vector<Vec3> undamaged = vertices, damaged = vertices, undamagedNormals = normals,
                      damagedNormals = normals;
    std::vector<uint32_t> movement(v);
    for (size_t i = 0; i < v; ++i) {
        undamaged[i].x += 100;
        damaged[i].y -= 100;
        undamagedNormals[i].x = 1;
        damagedNormals[i].z = -1;
        movement[i] = i % 3 == 0 ? MovementMoving : MovementFixed;
    }
    const Bytes unused[] = {Bytes(v * 32, 0xA5), Bytes(v * 12, 0xA5), Bytes(v * 4, 0xA5),
                            Bytes(size_t{file.header.triangleCount} * 12, 0xA5)};
    const Bytes tables[] = {AsBytes(vertices),
                            AsBytes(normals),
                            AsBytes(ShapeTriangles(shape)),
                            unused[0],
                            unused[1],
                            unused[1],
                            AsBytes(undamaged),
                            AsBytes(undamagedNormals),
                            AsBytes(damaged),
                            AsBytes(damagedNormals),
                            unused[2],
                            AsBytes(movement),
                            unused[2],
                            unused[3]};
    std::copy(std::begin(tables), std::end(tables), file.tables);
    return file;
}

Bytes Verro3File::Build(const TableLayout& layout) const {
    return Lay(header, tables, layout);
}

Bytes KeshFile::Build(const TableLayout& layout) const {
    return Lay(header, tables, layout);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())).flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

bool FileExists(const std::string& path) {
    return std::ifstream(path).good();
}
