// The one car in memory. Its header is byte for byte the header of a Kesh file, so a Kesh
// file is read and written without conversion; the Verro3 layout converts into it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

static_assert(std::endian::native == std::endian::little, "the file layouts are read in place");

constexpr uint32_t KESH_VERSION = 0x00101014;
constexpr uint32_t KESH_HEADER_SIZE = 8248;
constexpr uint32_t MAX_DUMMIES = 16;
constexpr uint32_t MAX_PARTS = 64;
constexpr uint32_t MAX_COLOURS = 16;
constexpr uint32_t NAME_SIZE = 64;
constexpr uint32_t FILE_NAME_SIZE = 260;
constexpr uint32_t KESH_TABLE_COUNT = 14;

enum : uint32_t { MovementMoving = 0, MovementFixed = 4 };

struct Vec3 {
    float x;
    float y;
    float z;
};
static_assert(sizeof(Vec3) == 12);

// Bits of a triangle's flags; any others are kept as they are.
enum : uint32_t {
    TriangleMatte = 0x1,
    TriangleHighChrome = 0x2,
    TriangleNoCull = 0x4, // drawn from both sides
    TriangleSemiTransparent = 0x8,
    TriangleWindow = 0x20,
    TriangleFrontWindow = 0x40,
    TriangleLeftWindow = 0x80,
    TriangleBackWindow = 0x100,
    TriangleRightWindow = 0x200,
    TriangleBrokenWindow = 0x400,
};

// The vertex indexes count from the owning part's first vertex. U and V are the texture
// coordinates of the three corners, V counted downward from the image's top.
struct FceTriangle {
    uint32_t texturePage;
    uint32_t vertexIndexes[3];
    uint8_t reserved[12]; // real cars hold six 16-bit values 0xFF00 here
    uint32_t flags;
    float u[3];
    float v[3];
};
static_assert(sizeof(FceTriangle) == 56);
static_assert(offsetof(FceTriangle, vertexIndexes) == 4);
static_assert(offsetof(FceTriangle, flags) == 28);
static_assert(offsetof(FceTriangle, u) == 32);
static_assert(offsetof(FceTriangle, v) == 44);

struct FceColour {
    uint8_t hue;
    uint8_t saturation;
    uint8_t value;
    uint8_t transparency;
};
static_assert(sizeof(FceColour) == 4);

struct FceKeshHeader {
    uint32_t version;
    uint32_t reservedWord;
    uint32_t triangleCount;
    uint32_t vertexCount;
    uint32_t artCount;
    uint32_t tableOffsets[KESH_TABLE_COUNT];
    uint32_t auxValues[3];
    uint32_t dummyCount;
    Vec3 dummyPositions[MAX_DUMMIES];
    uint32_t partCount;
    Vec3 partPositions[MAX_PARTS];
    uint32_t partFirstVertex[MAX_PARTS];
    uint32_t partVertexCount[MAX_PARTS];
    uint32_t partFirstTriangle[MAX_PARTS];
    uint32_t partTriangleCount[MAX_PARTS];
    uint32_t colourCount;
    FceColour primaryColours[MAX_COLOURS];
    FceColour interiorColours[MAX_COLOURS];
    FceColour secondaryColours[MAX_COLOURS];
    FceColour driverHairColours[MAX_COLOURS];
    uint8_t reservedArea1[260];
    char dummyNames[MAX_DUMMIES][NAME_SIZE];
    char partNames[MAX_PARTS][NAME_SIZE];
    uint8_t reservedArea2[528];
};
static_assert(sizeof(FceKeshHeader) == KESH_HEADER_SIZE);
static_assert(offsetof(FceKeshHeader, tableOffsets) == 20);
static_assert(offsetof(FceKeshHeader, auxValues) == 76);
static_assert(offsetof(FceKeshHeader, dummyCount) == 88);
static_assert(offsetof(FceKeshHeader, partCount) == 284);
static_assert(offsetof(FceKeshHeader, partFirstVertex) == 1056);
static_assert(offsetof(FceKeshHeader, partTriangleCount) == 1824);
static_assert(offsetof(FceKeshHeader, colourCount) == 2080);
static_assert(offsetof(FceKeshHeader, driverHairColours) == 2276);
static_assert(offsetof(FceKeshHeader, reservedArea1) == 2340);
static_assert(offsetof(FceKeshHeader, dummyNames) == 2600);
static_assert(offsetof(FceKeshHeader, partNames) == 3624);
static_assert(offsetof(FceKeshHeader, reservedArea2) == 7720);

// Every array is null (empty model) or a zero-filled block of the size its counts give.
struct CarModel {
    FceKeshHeader header;
    Vec3* vertices;
    Vec3* normals;
    FceTriangle* triangles;
    Vec3* undamagedVertices;
    Vec3* undamagedNormals;
    Vec3* damagedVertices;
    Vec3* damagedNormals;
    uint32_t* movementFlags;
    uint8_t* zeroBlock;
};

extern CarModel carModel;

// The name of the file the car was read from, without its folder, and its whole path; empty
// while no car is loaded. Windows that show the car put the name in their captions; files
// that go with the car (its texture) lie beside the path.
extern char carFileName[FILE_NAME_SIZE];
extern std::string carFilePath;

// Frees every array, zeroes the header and leaves the model empty, without a file name.
void ReleaseCarModel();

// All nine arrays are there: a reader has filled the model.
bool CarModelIsLoaded();

// The text of a 64-byte name field, cut to 63 characters so that it always ends with a
// NUL even when a file filled all 64 bytes.
void NameFieldText(const char (&field)[NAME_SIZE], char (&text)[NAME_SIZE]);

// The parts and dummies in use. The counts come from files: the fixed tables are never
// indexed past their size, whatever a header says.
uint32_t PartsInUse(const FceKeshHeader& header);
uint32_t DummiesInUse(const FceKeshHeader& header);

// Entries begin to end - 1 of a table.
struct TableRange {
    uint32_t begin;
    uint32_t end;
    uint32_t Count() const { return end - begin; }
};

// The entries from first, count of them, that lie inside a table of tableSize entries.
TableRange ClipRange(uint32_t first, uint32_t count, uint32_t tableSize);

// A part's vertices and triangles, kept inside the tables.
TableRange PartVertices(const FceKeshHeader& header, uint32_t part);
TableRange PartTriangles(const FceKeshHeader& header, uint32_t part);
