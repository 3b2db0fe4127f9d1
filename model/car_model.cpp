#include "model/car_model.h"

#include "platform/platform.h"

#include <algorithm>
#include <cstring>

CarModel carModel;
char carFileName[FILE_NAME_SIZE];
std::string carFilePath;

void ReleaseCarModel() {
    FreeZeroed(carModel.vertices);
    FreeZeroed(carModel.normals);
    FreeZeroed(carModel.triangles);
    FreeZeroed(carModel.undamagedVertices);
    FreeZeroed(carModel.undamagedNormals);
    FreeZeroed(carModel.damagedVertices);
    FreeZeroed(carModel.damagedNormals);
    FreeZeroed(carModel.movementFlags);
    FreeZeroed(carModel.zeroBlock);
    std::memset(&carModel.header, 0, sizeof carModel.header);
    carModel.vertices = nullptr;
    carModel.normals = nullptr;
    carModel.triangles = nullptr;
    carModel.undamagedVertices = nullptr;
    carModel.undamagedNormals = nullptr;
    carModel.damagedVertices = nullptr;
    carModel.damagedNormals = nullptr;
    carModel.movementFlags = nullptr;
    carModel.zeroBlock = nullptr;
    carFileName[0] = '\0';
    carFilePath.clear();
}

bool CarModelIsLoaded() {
    return carModel.vertices && carModel.normals && carModel.triangles && carModel.undamagedVertices &&
           carModel.undamagedNormals && carModel.damagedVertices && carModel.damagedNormals &&
           carModel.movementFlags && carModel.zeroBlock;
}

void NameFieldText(const char (&field)[NAME_SIZE], char (&text)[NAME_SIZE]) {
    std::memset(text, 0, sizeof text);
    std::memcpy(text, field, strnlen(field, NAME_SIZE - 1));
}

uint32_t PartsInUse(const FceKeshHeader& header) {
    return std::min(header.partCount, MAX_PARTS);
}

uint32_t DummiesInUse(const FceKeshHeader& header) {
    return std::min(header.dummyCount, MAX_DUMMIES);
}

TableRange ClipRange(uint32_t first, uint32_t count, uint32_t tableSize) {
    uint32_t begin = std::min(first, tableSize);
    return {begin, begin + std::min(count, tableSize - begin)};
}

TableRange PartVertices(const FceKeshHeader& header, uint32_t part) {
    return ClipRange(header.partFirstVertex[part], header.partVertexCount[part], header.vertexCount);
}

TableRange PartTriangles(const FceKeshHeader& header, uint32_t part) {
    return ClipRange(header.partFirstTriangle[part], header.partTriangleCount[part], header.triangleCount);
}
