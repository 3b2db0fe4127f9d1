// The older Verro3 layout: its header, its colour entry and the staging record of one file.
#pragma once

#include "model/car_model.h"
#include "platform/platform.h"

constexpr uint32_t VERRO3_HEADER_SIZE = 7940;
constexpr uint32_t VERRO3_TABLE_COUNT = 6;

// The file dialog's filter when a Verro3 file is opened, normal or damaged.
inline constexpr char VERRO3_OPEN_FILTER[] = "Verro3 car meshes (*.fce)\0*.fce\0";

struct Fce3Colour {
    uint32_t hue;
    uint32_t saturation;
    uint32_t value;
    uint32_t transparency;
};
static_assert(sizeof(Fce3Colour) == 16);

struct Fce3Header {
    uint32_t version;
    uint32_t triangleCount;
    uint32_t vertexCount;
    uint32_t artCount;
    uint32_t tableOffsets[VERRO3_TABLE_COUNT];
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
    Fce3Colour primaryColours[MAX_COLOURS];
    uint32_t secondaryColourCount;
    Fce3Colour secondaryColours[MAX_COLOURS];
    char dummyNames[MAX_DUMMIES][NAME_SIZE];
    char partNames[MAX_PARTS][NAME_SIZE];
    uint8_t reservedTail[256];
};
static_assert(sizeof(Fce3Header) == VERRO3_HEADER_SIZE);
static_assert(offsetof(Fce3Header, tableOffsets) == 0x10);
static_assert(offsetof(Fce3Header, auxValues) == 0x28);
static_assert(offsetof(Fce3Header, dummyCount) == 0x34);
static_assert(offsetof(Fce3Header, partCount) == 0xF8);
static_assert(offsetof(Fce3Header, partFirstVertex) == 0x3FC);
static_assert(offsetof(Fce3Header, partTriangleCount) == 0x6FC);
static_assert(offsetof(Fce3Header, colourCount) == 0x7FC);
static_assert(offsetof(Fce3Header, secondaryColourCount) == 0x900);
static_assert(offsetof(Fce3Header, dummyNames) == 0xA04);
static_assert(offsetof(Fce3Header, partNames) == 0xE04);
static_assert(offsetof(Fce3Header, reservedTail) == 0x1E04);

// One Verro3 file in memory; each array is null until it is read.
struct Fce3Mesh {
    Fce3Header header;
    Vec3* vertices;
    Vec3* normals;
    FceTriangle* triangles;
};

extern Fce3Mesh fce3Mesh;
extern Fce3Mesh damagedFce3Mesh;

// Reads the header of an open Verro3 file and the file's size; a file with the Kesh mark is
// refused with "This is Verro:Kesh FCE file".
bool ReadVerro3Header(FileHandle file, Fce3Header* header, uint64_t* fileSize);

// Frees the arrays of a staging record and zeroes its header.
void EmptyFce3Mesh(Fce3Mesh& mesh);
void ReleaseFce3Mesh();

// Fills the empty car model from a complete fce3Mesh. 1 on success, 0 when memory runs out.
int ConvertFce3ToModel();

// Reads the Verro3 file at path into the car model, replacing the car whole. Reports its
// own failures; on failure the model and fce3Mesh are empty. 1 when a car was loaded.
int OpenVerro3Path(const char* path);
