#include "model/car_model.h"

#include "platform/platform.h"

#include <cstring>

CarModel carModel;
char carFileName[FILE_NAME_SIZE];

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
