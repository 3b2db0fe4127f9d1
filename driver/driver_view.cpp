#include "driver/driver_view.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

DriverView driverView;

namespace {

// The box starts from these bounds rather than from the float limits: its minimum never
// ends above 99999 nor its maximum below -99999, whatever the vertices.
constexpr float BOX_START = 99999.0f;
constexpr int32_t MARGIN_PIXELS = 20; // 10 on each side

// Pixels per model unit that fit an extent into the room available. A flat axis puts no
// limit on the scale, so the other axis governs.
float ScaleFor(int32_t pixels, double extent) {
    if (extent == 0) {
        return std::numeric_limits<float>::infinity();
    }
    return static_cast<float>((double(pixels) - MARGIN_PIXELS) / extent);
}

// centre + trunc(offset) (or centre - trunc(offset)) as a 32-bit coordinate. Offsets from
// infinite or meaningless positions do not fit an integer: they are clamped first, and a
// position that is not a number is drawn at the centre, where it can still be toggled.
int32_t ViewCoordinate(int32_t centre, double offset, bool upward) {
    double steps = std::isnan(offset) ? 0.0 : std::trunc(offset);
    double coordinate = upward ? double(centre) - steps : double(centre) + steps;
    coordinate = std::clamp(coordinate, double(INT32_MIN), double(INT32_MAX));
    return static_cast<int32_t>(coordinate);
}

} // namespace

void BuildDriverView(uint32_t partIndex, int32_t width, int32_t height) {
    DriverView& view = driverView;
    const FceKeshHeader& header = carModel.header;
    bool partInUse = partIndex < PartsInUse(header);
    uint32_t first = partInUse ? header.partFirstVertex[partIndex] : 0;
    uint32_t firstTriangle = partInUse ? header.partFirstTriangle[partIndex] : 0;
    uint32_t n = partInUse ? std::min(view.vertexCount, header.partVertexCount[partIndex]) : 0;
    uint32_t m = partInUse ? std::min(view.triangleCount, header.partTriangleCount[partIndex]) : 0;

    view.viewClientRect = {0, 0, width, height};
    view.viewCentreX = width / 2;
    view.viewCentreY = height / 2;
    view.boxMin = {BOX_START, BOX_START};
    view.boxMax = {-BOX_START, -BOX_START};
    for (uint32_t i = 0; i < n; ++i) {
        const Vec3& v = carModel.vertices[first + i];
        if (v.y < view.boxMin.y) {
            view.boxMin.y = v.y;
        }
        if (v.z < view.boxMin.z) {
            view.boxMin.z = v.z;
        }
        if (v.y > view.boxMax.y) {
            view.boxMax.y = v.y;
        }
        if (v.z > view.boxMax.z) {
            view.boxMax.z = v.z;
        }
    }
    double extentZ = double(view.boxMax.z) - double(view.boxMin.z);
    double extentY = double(view.boxMax.y) - double(view.boxMin.y);
    view.scaleByZ = ScaleFor(width, extentZ);
    view.scaleByY = ScaleFor(height, extentY);
    view.viewScale = view.scaleByZ < view.scaleByY ? view.scaleByZ : view.scaleByY;
    view.boxCentre.y = static_cast<float>(extentY * 0.5 + double(view.boxMin.y));
    view.boxCentre.z = static_cast<float>(extentZ * 0.5 + double(view.boxMin.z));
    // All vertices in one point have no scale at all: show them in the middle.
    bool onePoint = extentZ == 0 && extentY == 0;

    double scale = view.viewScale;
    for (uint32_t i = 0; i < n; ++i) {
        const Vec3& v = carModel.vertices[first + i];
        ProjectedVertex& p = view.projectedVertices[i];
        if (onePoint) {
            p.x = view.viewCentreX;
            p.y = view.viewCentreY;
        } else {
            p.x = ViewCoordinate(view.viewCentreX, scale * double(v.z) - double(view.boxCentre.z) * scale,
                                 false);
            p.y = ViewCoordinate(view.viewCentreY, scale * double(v.y) - double(view.boxCentre.y) * scale,
                                 true);
        }
        p.movement = carModel.movementFlags[first + i];
    }
    for (uint32_t j = 0; j < m; ++j) {
        const FceTriangle& t = carModel.triangles[firstTriangle + j];
        for (int k = 0; k < 3; ++k) {
            view.viewTriangles[j].vertexIndexes[k] = t.vertexIndexes[k];
        }
    }
}

uint32_t ToggledMovement(uint32_t movement) {
    return movement == MovementFixed ? MovementMoving : MovementFixed;
}

bool TriangleInView(const ViewTriangle& triangle, uint32_t vertexCount) {
    return triangle.vertexIndexes[0] < vertexCount && triangle.vertexIndexes[1] < vertexCount &&
           triangle.vertexIndexes[2] < vertexCount;
}

BandRectangle CurrentBand(const DriverView& view) {
    return {view.bandStartX, view.bandStartY, view.bandEndX - view.bandStartX,
            view.bandEndY - view.bandStartY};
}

void StartBand(DriverView& view, int32_t x, int32_t y) {
    view.bandStartX = x;
    view.bandStartY = y;
    view.bandEndX = x + 1;
    view.bandEndY = y + 1;
    view.dragging = 1;
}

bool MoveBand(DriverView& view, int32_t x, int32_t y) {
    if (!view.dragging) {
        return false;
    }
    view.bandEndX = x;
    view.bandEndY = y;
    return true;
}

bool EndBand(DriverView& view, int32_t x, int32_t y) {
    if (!view.dragging) {
        return false;
    }
    view.bandEndX = x;
    view.bandEndY = y;
    view.dragging = 0;
    ApplyBand(view);
    return true;
}

void CancelBand(DriverView& view) {
    view.dragging = 0;
}

void ApplyBand(DriverView& view) {
    if (view.bandStartX > view.bandEndX) {
        std::swap(view.bandStartX, view.bandEndX);
    }
    if (view.bandStartY > view.bandEndY) {
        std::swap(view.bandStartY, view.bandEndY);
    }
    for (uint32_t k = 0; k < view.vertexCount; ++k) {
        ProjectedVertex& p = view.projectedVertices[k];
        if (view.bandStartX <= p.x && p.x <= view.bandEndX && view.bandStartY <= p.y &&
            p.y <= view.bandEndY) {
            p.movement = ToggledMovement(p.movement);
        }
    }
}

int32_t DrawingCoordinate(int32_t value) {
    constexpr int32_t LIMIT = (1 << 27) - 16;
    return std::clamp(value, -LIMIT, LIMIT);
}
