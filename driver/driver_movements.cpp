#include "driver/driver_movements.h"

#include "driver/driver_view.h"
#include "model/part_names.h"
#include "platform/platform.h"

bool OpenDriverView(int32_t width, int32_t height) {
    CloseDriverView();
    driverView.dragging = 0;
    driverView.viewClientRect = {0, 0, width, height};
    driverView.viewCentreX = width / 2;
    driverView.viewCentreY = height / 2;
    uint32_t p;
    // The main window opens the dialog only for a car with exactly one driver part; without
    // one there is nothing to show, and OK has nothing to write.
    if (!FindDriverPart(carModel.header, &p)) {
        return true;
    }
    driverView.driverPartIndex = p;
    uint32_t vertices = carModel.header.partVertexCount[p];
    uint32_t triangles = carModel.header.partTriangleCount[p];
    driverView.projectedVertices =
        static_cast<ProjectedVertex*>(AllocateZeroed(uint64_t{vertices} * sizeof(ProjectedVertex)));
    driverView.viewTriangles =
        static_cast<ViewTriangle*>(AllocateZeroed(uint64_t{triangles} * sizeof(ViewTriangle)));
    if (!driverView.projectedVertices || !driverView.viewTriangles) {
        CloseDriverView();
        return false;
    }
    driverView.vertexCount = vertices;
    driverView.triangleCount = triangles;
    BuildDriverView(p, width, height);
    return true;
}

void ResetDriverMovements() {
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        driverView.projectedVertices[k].movement = MovementFixed;
    }
}

void WriteDriverMovements() {
    uint32_t first = carModel.header.partFirstVertex[driverView.driverPartIndex];
    for (uint32_t k = 0; k < driverView.vertexCount; ++k) {
        carModel.movementFlags[first + k] = driverView.projectedVertices[k].movement;
    }
}

void CloseDriverView() {
    FreeZeroed(driverView.projectedVertices);
    FreeZeroed(driverView.viewTriangles);
    driverView.projectedVertices = nullptr;
    driverView.viewTriangles = nullptr;
    driverView.vertexCount = 0;
    driverView.triangleCount = 0;
}
