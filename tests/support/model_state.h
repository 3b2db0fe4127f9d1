// Whether the car model and a staging record are empty, as every failed open leaves them.
#pragma once

#include "model/car_model.h"
#include "model/verro3.h"

#include <cstring>

inline bool ModelIsEmpty() {
    static const FceKeshHeader zero{};
    return std::memcmp(&carModel.header, &zero, sizeof zero) == 0 && !carModel.vertices &&
           !carModel.normals && !carModel.triangles && !carModel.undamagedVertices &&
           !carModel.undamagedNormals && !carModel.damagedVertices && !carModel.damagedNormals &&
           !carModel.movementFlags && !carModel.zeroBlock;
}

inline bool StagingIsEmpty(const Fce3Mesh& mesh = fce3Mesh) {
    static const Fce3Header zero{};
    return std::memcmp(&mesh.header, &zero, sizeof zero) == 0 && !mesh.vertices && !mesh.normals &&
           !mesh.triangles;
}
