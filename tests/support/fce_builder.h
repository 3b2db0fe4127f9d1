// Builds FCE files of both layouts for tests, fuzz seeds and the sample car: chosen counts
// and contents, tables in any order, with gaps between them.
#pragma once

#include "model/car_model.h"
#include "model/verro3.h"

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// What a test car is made of; the builders derive every table from it deterministically.
struct CarShape {
    std::vector<uint32_t> partVertexCounts;
    std::vector<uint32_t> partTriangleCounts; // same length as partVertexCounts
    std::vector<std::string> partNames;       // default ":P0", ":P1", ...
    std::vector<std::string> dummyNames;      // one dummy per name
    uint32_t colourCount = 0;
    uint32_t seed = 1; // varies the vertex, normal and triangle data
};

// Three parts (":HB", ":OD", ":LB"), two dummies, three colours: 12 vertices and 7 triangles.
CarShape SmallCar(uint32_t seed = 1);
// Up to six parts (or none), dummies and colours, names of any bytes: for properties that must
// hold for every car.
CarShape RandomShape(uint32_t seed);

// Where the tables go: the order in which they are stored and the filler bytes before each.
struct TableLayout {
    std::vector<int> order; // table indexes in file order; empty: ascending
    uint32_t gap = 0;       // bytes of 0xEE before each table
};
TableLayout ShuffledLayout(int tableCount, uint32_t seed);

// A file's header and tables; Build lays them out and sets the header's tableOffsets.
template <class Header, int N> struct FceFile {
    Header header{};
    Bytes tables[N];
    Bytes Build(const TableLayout& layout = {}) const;
    // The same file with zeros in these tables, as the writers store the tables they do not keep.
    FceFile WithZeros(std::initializer_list<int> zeroTables) const {
        FceFile file = *this;
        for (int k : zeroTables) {
            file.tables[k].assign(file.tables[k].size(), 0);
        }
        return file;
    }
};
using Verro3File = FceFile<Fce3Header, VERRO3_TABLE_COUNT>;
using KeshFile = FceFile<FceKeshHeader, KESH_TABLE_COUNT>;

// Vertex i of the car sits at (i + seed, 2i + 0.5, -i - 0.25) / 8, its normal at (0, 1, i);
// triangle j of a part joins its vertices j, j + 1, j + 2 (modulo the part's count). The unused
// tables hold 0xA5, so that readers can be seen to ignore them; a Kesh file's undamaged and
// damaged geometry differ from the first, so that a mix-up shows.
Verro3File MakeVerro3(const CarShape& shape);
KeshFile MakeKesh(const CarShape& shape);

template <class T> Bytes AsBytes(const T* values, size_t count) {
    const auto* begin = reinterpret_cast<const uint8_t*>(values);
    return Bytes(begin, begin + count * sizeof(T));
}
template <class T> Bytes AsBytes(const std::vector<T>& values) {
    return AsBytes(values.data(), values.size());
}

void WriteBytes(const std::filesystem::path& path, const Bytes& bytes);
Bytes ReadBytes(const std::filesystem::path& path);
