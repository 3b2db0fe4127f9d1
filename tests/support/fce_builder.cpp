#include "tests/support/fce_builder.h"

#include <cstdio>
#include <cstring>
#include <numeric>
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
    uint32_t firstVertex = 0;
    uint32_t firstTriangle = 0;
    for (uint32_t p = 0; p < header.partCount; ++p) {
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

template <size_t N>
Bytes Lay(uint32_t headerSize, const void* header, uint32_t (&offsets)[N], const Bytes (&tables)[N],
          const TableLayout& layout) {
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
        offsets[k] = static_cast<uint32_t>(body.size());
        body.insert(body.end(), tables[k].begin(), tables[k].end());
    }
    Bytes file(headerSize + body.size());
    std::memcpy(file.data(), header, headerSize);
    if (!body.empty()) {
        std::memcpy(file.data() + headerSize, body.data(), body.size());
    }
    return file;
}

} // namespace

CarShape SmallCar(uint32_t seed) {
    CarShape shape;
    shape.partVertexCounts = {5, 3, 4};
    shape.partTriangleCounts = {4, 1, 2};
    shape.partNames = {":HB", ":OD", ":LB"};
    shape.dummyNames = {"HWYN5", "TRYO324"};
    shape.colourCount = 3;
    shape.seed = seed;
    return shape;
}

std::vector<Vec3> ShapeVertices(const CarShape& shape) {
    std::vector<Vec3> vertices(Total(shape.partVertexCounts));
    for (size_t i = 0; i < vertices.size(); ++i) {
        float f = float(i);
        vertices[i] = {(f + float(shape.seed)) / 8, (2 * f + 0.5f) / 8, (-f - 0.25f) / 8};
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
            FceTriangle triangle{};
            triangle.textureGroup = static_cast<uint32_t>(p);
            triangle.vertexIndexes[0] = j % n;
            triangle.vertexIndexes[1] = (j + 1) % n;
            triangle.vertexIndexes[2] = (j + 2) % n;
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
    file.header.version = 0;
    file.header.secondaryColourCount = shape.colourCount;
    for (uint32_t i = 0; i < shape.colourCount && i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = {16 * i + 1, 16 * i + 2, 16 * i + 3, 16 * i + 4};
        file.header.secondaryColours[i] = {16 * i + 5, 16 * i + 6, 16 * i + 7, 16 * i + 8};
    }
    uint32_t v = file.header.vertexCount;
    file.tables[0] = AsBytes(ShapeVertices(shape));
    file.tables[1] = AsBytes(ShapeNormals(shape));
    file.tables[2] = AsBytes(ShapeTriangles(shape));
    file.tables[3] = Bytes(size_t{v} * 32, 0xA5);
    file.tables[4] = Bytes(size_t{v} * 12, 0xA5);
    file.tables[5] = Bytes(size_t{v} * 12, 0xA5);
    return file;
}

KeshFile MakeKesh(const CarShape& shape) {
    KeshFile file;
    FillCommon(file.header, shape);
    file.header.version = KESH_VERSION;
    file.header.reservedWord = 0x12345678;
    for (uint32_t i = 0; i < shape.colourCount && i < MAX_COLOURS; ++i) {
        uint8_t b = static_cast<uint8_t>(16 * i);
        file.header.primaryColours[i] = {uint8_t(b + 1), uint8_t(b + 2), uint8_t(b + 3), uint8_t(b + 4)};
        file.header.interiorColours[i] = {uint8_t(b + 5), uint8_t(b + 6), uint8_t(b + 7), uint8_t(b + 8)};
        file.header.secondaryColours[i] = {uint8_t(b + 9), uint8_t(b + 10), uint8_t(b + 11), uint8_t(b + 12)};
        file.header.driverHairColours[i] = {uint8_t(b + 13), uint8_t(b + 14), uint8_t(b + 15), uint8_t(b)};
    }
    std::memset(file.header.reservedArea1, 0x11, sizeof file.header.reservedArea1);
    std::memset(file.header.reservedArea2, 0x22, sizeof file.header.reservedArea2);
    size_t v = file.header.vertexCount;
    size_t t = file.header.triangleCount;
    std::vector<Vec3> vertices = ShapeVertices(shape);
    std::vector<Vec3> normals = ShapeNormals(shape);
    // The second and the damaged geometry differ from the first, so that a mix-up shows.
    std::vector<Vec3> undamaged = vertices, damaged = vertices, undamagedNormals = normals,
                      damagedNormals = normals;
    for (size_t i = 0; i < v; ++i) {
        undamaged[i].x += 100;
        damaged[i].y -= 100;
        undamagedNormals[i].x = 1;
        damagedNormals[i].z = -1;
    }
    std::vector<uint32_t> movement(v);
    for (size_t i = 0; i < v; ++i) {
        movement[i] = i % 3 == 0 ? MovementMoving : MovementFixed;
    }
    file.tables[0] = AsBytes(vertices);
    file.tables[1] = AsBytes(normals);
    file.tables[2] = AsBytes(ShapeTriangles(shape));
    file.tables[3] = Bytes(v * 32, 0xA5);
    file.tables[4] = Bytes(v * 12, 0xA5);
    file.tables[5] = Bytes(v * 12, 0xA5);
    file.tables[6] = AsBytes(undamaged);
    file.tables[7] = AsBytes(undamagedNormals);
    file.tables[8] = AsBytes(damaged);
    file.tables[9] = AsBytes(damagedNormals);
    file.tables[10] = Bytes(v * 4, 0xA5);
    file.tables[11] = AsBytes(movement);
    file.tables[12] = Bytes(v * 4, 0xA5);
    file.tables[13] = Bytes(t * 12, 0xA5);
    return file;
}

Bytes Verro3File::Build(const TableLayout& layout) const {
    Fce3Header copy = header;
    return Lay(VERRO3_HEADER_SIZE, &copy, copy.tableOffsets, tables, layout);
}

Bytes KeshFile::Build(const TableLayout& layout) const {
    FceKeshHeader copy = header;
    return Lay(KESH_HEADER_SIZE, &copy, copy.tableOffsets, tables, layout);
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        throw std::runtime_error("cannot create " + path);
    }
    size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    if (written != bytes.size()) {
        throw std::runtime_error("cannot write " + path);
    }
}

Bytes ReadBytes(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        throw std::runtime_error("cannot open " + path);
    }
    Bytes bytes;
    uint8_t buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.insert(bytes.end(), buffer, buffer + got);
    }
    std::fclose(file);
    return bytes;
}

bool FileExists(const std::string& path) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file) {
        std::fclose(file);
    }
    return file != nullptr;
}
