// What the readers test before they trust a header: the rest of the program indexes the
// fixed tables by the counts and the arrays by the part ranges, and sizes the arrays from
// the counts, so a header that breaks these limits is refused, not read.
#pragma once

#include "model/car_model.h"
#include "model/failure_reason.h"

#include <cstdint>

// Bytes of count records of recordSize each; false when that does not fit 32 bits.
inline bool TableBytes(uint32_t count, uint32_t recordSize, uint32_t* bytes) {
    uint64_t total = uint64_t{count} * recordSize;
    if (total > UINT32_MAX) {
        return false;
    }
    *bytes = static_cast<uint32_t>(total);
    return true;
}

// Bytes of a mesh's vertex (or normal) table and of its triangle table.
inline bool MeshTableBytes(uint32_t vertexCount, uint32_t triangleCount, uint32_t* vertexBytes,
                           uint32_t* triangleBytes) {
    if (!TableBytes(vertexCount, sizeof(Vec3), vertexBytes)) {
        NoteFailure("vertexCount %u is too large: its tables do not fit 32 bits", vertexCount);
        return false;
    }
    if (!TableBytes(triangleCount, sizeof(FceTriangle), triangleBytes)) {
        NoteFailure("triangleCount %u is too large: its table does not fit 32 bits", triangleCount);
        return false;
    }
    return true;
}

// The counts fit the fixed tables, every part in use lies inside the vertex and triangle
// tables, and every array the model builds from the counts has a 32-bit size.
// Works on both header layouts, whose count fields share their names. Notes the first
// limit that is broken.
template <class Header> bool HeaderFitsModel(const Header& header) {
    if (header.dummyCount > MAX_DUMMIES) {
        NoteFailure("dummyCount %u is above %u", header.dummyCount, MAX_DUMMIES);
        return false;
    }
    if (header.partCount > MAX_PARTS) {
        NoteFailure("partCount %u is above %u", header.partCount, MAX_PARTS);
        return false;
    }
    if (header.colourCount > MAX_COLOURS) {
        NoteFailure("colourCount %u is above %u", header.colourCount, MAX_COLOURS);
        return false;
    }
    uint32_t unused;
    if (!TableBytes(header.vertexCount, 32, &unused)) {
        NoteFailure("vertexCount %u is too large: its tables do not fit 32 bits", header.vertexCount);
        return false;
    }
    if (!TableBytes(header.triangleCount, 56, &unused)) {
        NoteFailure("triangleCount %u is too large: its table does not fit 32 bits", header.triangleCount);
        return false;
    }
    for (uint32_t p = 0; p < header.partCount; ++p) {
        if (uint64_t{header.partFirstVertex[p]} + header.partVertexCount[p] > header.vertexCount) {
            NoteFailure("part %u: vertices from %u, %u of them, lie outside vertexCount %u", p,
                        header.partFirstVertex[p], header.partVertexCount[p], header.vertexCount);
            return false;
        }
        if (uint64_t{header.partFirstTriangle[p]} + header.partTriangleCount[p] > header.triangleCount) {
            NoteFailure("part %u: triangles from %u, %u of them, lie outside triangleCount %u", p,
                        header.partFirstTriangle[p], header.partTriangleCount[p], header.triangleCount);
            return false;
        }
    }
    return true;
}
