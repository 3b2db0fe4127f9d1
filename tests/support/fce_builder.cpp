#include "tests/support/fce_builder.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numeric>
#include <random>
#include <stdexcept>

namespace {

void SetName(char (&field)[NAME_SIZE], const std::string& name) {
    std::memset(field, 0, sizeof field);
    std::memcpy(field, name.data(), std::min<size_t>(name.size(), NAME_SIZE));
}

// The fields both layouts share, and the vertex, normal and triangle tables.
template <class Header> void FillCommon(Header& header, Bytes* tables, const CarShape& shape) {
    header.artCount = 3;
    header.auxValues[0] = 0x3F800000; // 1.0f
    header.auxValues[1] = 0xDEADBEEF;
    header.auxValues[2] = 7;
    header.partCount = static_cast<uint32_t>(shape.partVertexCounts.size());
    std::vector<Vec3> vertices, normals;
    std::vector<FceTriangle> triangles;
    for (uint32_t p = 0; p < header.partCount; ++p) {
        header.partPositions[p] = {float(p), float(p) / 2, -float(p)};
        header.partFirstVertex[p] = static_cast<uint32_t>(vertices.size());
        header.partVertexCount[p] = shape.partVertexCounts[p];
        header.partFirstTriangle[p] = static_cast<uint32_t>(triangles.size());
        header.partTriangleCount[p] = shape.partTriangleCounts[p];
        SetName(header.partNames[p],
                p < shape.partNames.size() ? shape.partNames[p] : ":P" + std::to_string(p));
        for (uint32_t k = 0; k < shape.partVertexCounts[p]; ++k) {
            const float i = float(vertices.size());
            vertices.push_back({(i + float(shape.seed)) / 8, (2 * i + 0.5f) / 8, (-i - 0.25f) / 8});
            normals.push_back({0.0f, 1.0f, i + float(shape.seed) / 16});
        }
        const uint32_t n = std::max<uint32_t>(shape.partVertexCounts[p], 1);
        for (uint32_t j = 0; j < shape.partTriangleCounts[p]; ++j) {
            FceTriangle triangle{p, {j % n, (j + 1) % n, (j + 2) % n}, {}, 0, {}, {}};
            // Whatever follows the indexes is carried, not read: a byte pattern shows that.
            auto* rest = reinterpret_cast<uint8_t*>(&triangle) + offsetof(FceTriangle, reserved);
            std::iota(rest, reinterpret_cast<uint8_t*>(&triangle + 1), uint8_t(j + shape.seed));
            triangles.push_back(triangle);
        }
    }
    header.vertexCount = static_cast<uint32_t>(vertices.size());
    header.triangleCount = static_cast<uint32_t>(triangles.size());
    header.dummyCount = static_cast<uint32_t>(shape.dummyNames.size());
    for (uint32_t d = 0; d < header.dummyCount; ++d) {
        header.dummyPositions[d] = {float(d) + 0.5f, 1.0f, float(d) * 2};
        SetName(header.dummyNames[d], shape.dummyNames[d]);
    }
    header.colourCount = shape.colourCount;
    tables[0] = AsBytes(vertices);
    tables[1] = AsBytes(normals);
    tables[2] = AsBytes(triangles);
    tables[3] = Bytes(vertices.size() * 32, 0xA5);
    tables[4] = tables[5] = Bytes(vertices.size() * 12, 0xA5);
}

} // namespace

template <class Header, int N> Bytes FceFile<Header, N>::Build(const TableLayout& layout) const {
    std::vector<int> order = layout.order;
    if (order.empty()) {
        order.resize(N);
        std::iota(order.begin(), order.end(), 0);
    }
    Header laid = header;
    Bytes body;
    for (int k : order) {
        body.insert(body.end(), layout.gap, 0xEE);
        laid.tableOffsets[k] = static_cast<uint32_t>(body.size());
        body.insert(body.end(), tables[k].begin(), tables[k].end());
    }
    Bytes file = AsBytes(&laid, 1);
    file.insert(file.end(), body.begin(), body.end());
    return file;
}
template struct FceFile<Fce3Header, VERRO3_TABLE_COUNT>;
template struct FceFile<FceKeshHeader, KESH_TABLE_COUNT>;

CarShape SmallCar(uint32_t seed) {
    return {{5, 3, 4}, {4, 1, 2}, {":HB", ":OD", ":LB"}, {"HWYN5", "TRYO324"}, 3, seed};
}

CarShape RandomShape(uint32_t seed) {
    std::mt19937 random(seed);
    auto below = [&](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    auto name = [&] {
        std::string text(below(NAME_SIZE + 1), ' ');
        std::generate(text.begin(), text.end(), [&] { return static_cast<char>(1 + below(255)); });
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

Verro3File MakeVerro3(const CarShape& shape) {
    Verro3File file;
    FillCommon(file.header, file.tables, shape);
    file.header.secondaryColourCount = shape.colourCount;
    for (uint32_t i = 0; i < shape.colourCount && i < MAX_COLOURS; ++i) {
        file.header.primaryColours[i] = {16 * i + 1, 16 * i + 2, 16 * i + 3, 16 * i + 4};
        file.header.secondaryColours[i] = {16 * i + 5, 16 * i + 6, 16 * i + 7, 16 * i + 8};
    }
    return file;
}

KeshFile MakeKesh(const CarShape& shape) {
    KeshFile file;
    FillCommon(file.header, file.tables, shape);
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
    // Tables 6 to 9 are the first two again, moved: x by 100, y by -100, normals marked.
    for (int k = 6; k < 10; ++k) {
        const auto* first = reinterpret_cast<const Vec3*>(file.tables[k % 2].data());
        std::vector<Vec3> geometry(first, first + v);
        for (Vec3& g : geometry) {
            (k < 8 ? g.x : g.y) += k % 2 ? 1 : (k < 8 ? 100 : -100);
        }
        file.tables[k] = AsBytes(geometry);
    }
    std::vector<uint32_t> movement(v);
    for (size_t i = 0; i < v; ++i) {
        movement[i] = i % 3 == 0 ? MovementMoving : MovementFixed;
    }
    file.tables[11] = AsBytes(movement);
    file.tables[10] = file.tables[12] = Bytes(v * 4, 0xA5);
    file.tables[13] = Bytes(size_t{file.header.triangleCount} * 12, 0xA5);
    return file;
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size())).flush()) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

Bytes ReadBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        throw std::runtime_error("cannot open " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(file), {});
}
