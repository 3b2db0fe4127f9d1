#include "model/verro3.h"

#include "model/failure_reason.h"
#include "model/file_tables.h"
#include "model/header_checks.h"
#include "model/last_directory.h"
#include "model/messages.h"
#include "platform/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

Fce3Mesh fce3Mesh;
Fce3Mesh damagedFce3Mesh;

namespace {

FceColour NarrowColour(const Fce3Colour& colour) {
    return {static_cast<uint8_t>(colour.hue), static_cast<uint8_t>(colour.saturation),
            static_cast<uint8_t>(colour.value), static_cast<uint8_t>(colour.transparency)};
}

// Reads header and tables 0 to 2 of the open file into fce3Mesh. The table extents are
// checked against the file size before anything is allocated.
bool ReadVerro3Mesh(FileHandle file) {
    Fce3Header& header = fce3Mesh.header;
    uint64_t fileSize = 0;
    uint32_t vertexBytes = 0, triangleBytes = 0;
    if (!ReadVerro3Header(file, &header, &fileSize) || !HeaderFitsModel(header) ||
        !MeshTableBytes(header.vertexCount, header.triangleCount, &vertexBytes, &triangleBytes)) {
        return false;
    }
    const TablePlace tables[] = {
        {"table 0 (vertices)", VERRO3_HEADER_SIZE, header.tableOffsets[0], vertexBytes},
        {"table 1 (normals)", VERRO3_HEADER_SIZE, header.tableOffsets[1], vertexBytes},
        {"table 2 (triangles)", VERRO3_HEADER_SIZE, header.tableOffsets[2], triangleBytes},
    };
    for (const TablePlace& table : tables) {
        if (!TableFitsFile(fileSize, table)) {
            return false;
        }
    }
    return ReadTable(file, tables[0], reinterpret_cast<void**>(&fce3Mesh.vertices)) &&
           ReadTable(file, tables[1], reinterpret_cast<void**>(&fce3Mesh.normals)) &&
           ReadTable(file, tables[2], reinterpret_cast<void**>(&fce3Mesh.triangles));
}

// The first word of a newer layout than Kesh, which this program does not read.
constexpr uint32_t NEWER_LAYOUT_MARK = 0x00101015;

// Bytes that text files are made of: printable ASCII, the usual white space, and bytes of
// UTF-8 beyond ASCII.
bool IsTextByte(uint8_t byte) {
    return (byte >= 0x20 && byte != 0x7F) || byte == '\t' || byte == '\n' || byte == '\r' || byte == '\f';
}

// The Verro3 reader takes any first word but the Kesh mark, so a file of neither layout gets
// here and fails on whatever field comes first, a reason that tells its owner nothing. Once it
// is refused, a file that begins with text or with the mark of a newer layout is named as such.
void ExplainRefusal(FileHandle file) {
    uint64_t size = 0;
    uint8_t start[64] = {};
    if (!QueryFileSize(file, &size) || size == 0) {
        return;
    }
    uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(size, sizeof start));
    if (!SeekFileTo(file, 0) || !ReadFileExactly(file, start, length)) {
        return;
    }
    uint32_t word = 0;
    std::memcpy(&word, start, sizeof word);
    auto ascii =
        static_cast<uint32_t>(std::count_if(start, start + length, [](uint8_t byte) { return byte < 0x80; }));
    std::string reason;
    if (length >= sizeof word && word == NEWER_LAYOUT_MARK) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "not a car in either layout: its first word 0x%08X marks a newer layout that this "
                      "program does not read",
                      NEWER_LAYOUT_MARK);
        reason = text;
    } else if (std::all_of(start, start + length, IsTextByte) && 2 * ascii > length) {
        std::string line;
        for (uint32_t i = 0; i < length && start[i] != '\n' && start[i] != '\r' && line.size() < 40; ++i) {
            line += start[i] < 0x80 ? char(start[i]) : '?';
        }
        reason = "not a car in either layout: the file is text, beginning \"" + line + "\"";
    }
    if (!reason.empty()) {
        ClearFailureReason();
        NoteFailure("%s", reason.c_str());
    }
}

} // namespace

bool ReadVerro3Header(FileHandle file, Fce3Header* header, uint64_t* fileSize) {
    if (!QueryFileSize(file, fileSize)) {
        NoteFailure("the size of the file cannot be read");
        return false;
    }
    if (!ReadHeader(file, *fileSize, header, sizeof *header, "Verro3")) {
        return false;
    }
    if (header->version == KESH_VERSION) {
        NoteFailure("its first word 0x%08X marks a Verro:Kesh file, not a Verro3 file", KESH_VERSION);
        ShowErrorMessage(MESSAGE_IS_KESH);
        return false;
    }
    return true;
}

void EmptyFce3Mesh(Fce3Mesh& mesh) {
    FreeZeroed(mesh.vertices);
    FreeZeroed(mesh.normals);
    FreeZeroed(mesh.triangles);
    mesh.vertices = nullptr;
    mesh.normals = nullptr;
    mesh.triangles = nullptr;
    std::memset(&mesh.header, 0, sizeof mesh.header);
}

void ReleaseFce3Mesh() {
    EmptyFce3Mesh(fce3Mesh);
}

int ConvertFce3ToModel() {
    const Fce3Header& source = fce3Mesh.header;
    FceKeshHeader& target = carModel.header;
    target.version = KESH_VERSION;
    target.reservedWord = 0;
    target.triangleCount = source.triangleCount;
    target.vertexCount = source.vertexCount;
    target.artCount = source.artCount;
    std::memcpy(target.auxValues, source.auxValues, sizeof target.auxValues);
    target.dummyCount = source.dummyCount;
    std::memcpy(target.dummyPositions, source.dummyPositions, sizeof target.dummyPositions);
    target.partCount = source.partCount;
    std::memcpy(target.partPositions, source.partPositions, sizeof target.partPositions);
    std::memcpy(target.partFirstVertex, source.partFirstVertex, sizeof target.partFirstVertex);
    std::memcpy(target.partVertexCount, source.partVertexCount, sizeof target.partVertexCount);
    std::memcpy(target.partFirstTriangle, source.partFirstTriangle, sizeof target.partFirstTriangle);
    std::memcpy(target.partTriangleCount, source.partTriangleCount, sizeof target.partTriangleCount);
    target.colourCount = source.colourCount;
    // The Kesh layout has four tables where Verro3 has two: interior repeats the primary
    // colours and driver hair the secondary ones.
    for (uint32_t i = 0; i < MAX_COLOURS; ++i) {
        target.primaryColours[i] = target.interiorColours[i] = NarrowColour(source.primaryColours[i]);
        target.secondaryColours[i] = target.driverHairColours[i] = NarrowColour(source.secondaryColours[i]);
    }
    std::memcpy(target.dummyNames, source.dummyNames, sizeof target.dummyNames);
    std::memcpy(target.partNames, source.partNames, sizeof target.partNames);

    uint32_t vertexCount = source.vertexCount;
    uint32_t vertexBytes = 0, triangleBytes = 0;
    if (!MeshTableBytes(vertexCount, source.triangleCount, &vertexBytes, &triangleBytes) ||
        !CopyIntoNewArray(fce3Mesh.vertices, vertexBytes, reinterpret_cast<void**>(&carModel.vertices)) ||
        !CopyIntoNewArray(fce3Mesh.normals, vertexBytes, reinterpret_cast<void**>(&carModel.normals)) ||
        !CopyIntoNewArray(fce3Mesh.triangles, triangleBytes, reinterpret_cast<void**>(&carModel.triangles)) ||
        !CopyIntoNewArray(fce3Mesh.vertices, vertexBytes,
                          reinterpret_cast<void**>(&carModel.undamagedVertices)) ||
        !CopyIntoNewArray(fce3Mesh.normals, vertexBytes,
                          reinterpret_cast<void**>(&carModel.undamagedNormals)) ||
        !CopyIntoNewArray(fce3Mesh.vertices, vertexBytes,
                          reinterpret_cast<void**>(&carModel.damagedVertices)) ||
        !CopyIntoNewArray(fce3Mesh.normals, vertexBytes,
                          reinterpret_cast<void**>(&carModel.damagedNormals))) {
        return 0;
    }
    carModel.movementFlags = static_cast<uint32_t*>(AllocateZeroed(uint64_t{vertexCount} * sizeof(uint32_t)));
    if (!carModel.movementFlags) {
        NoteFailure("out of memory for %u movement values", vertexCount);
        return 0;
    }
    for (uint32_t i = 0; i < vertexCount; ++i) {
        carModel.movementFlags[i] = MovementFixed;
    }
    carModel.zeroBlock = static_cast<uint8_t*>(AllocateZeroed(uint64_t{vertexCount} * 32));
    if (!carModel.zeroBlock) {
        NoteFailure("out of memory for %llu zero bytes", uint64_t{vertexCount} * 32ull);
        return 0;
    }
    return 1;
}

int OpenVerro3Path(const char* path) {
    return LoadCar(path, [](FileHandle file) {
        if (!ReadVerro3Mesh(file)) {
            ExplainRefusal(file);
            return false;
        }
        return ConvertFce3ToModel() == 1;
    });
}

