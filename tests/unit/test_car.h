// A car in memory for the car view's tests: parts added one after the other, vertices relative
// to their part's position.
#pragma once

#include "model/car_model.h"

#include <array>
#include <vector>

using Corners = std::array<uint32_t, 3>;

struct TestCar {
    std::vector<Vec3> vertices;
    std::vector<FceTriangle> triangles;
    CarModel model{};

    void AddPart(Vec3 position, const std::vector<Vec3>& points, const std::vector<Corners>& corners = {},
                 uint32_t flags = 0) {
        FceKeshHeader& h = model.header;
        uint32_t p = h.partCount++;
        h.partPositions[p] = position;
        h.partFirstVertex[p] = h.vertexCount;
        h.partVertexCount[p] = uint32_t(points.size());
        h.partFirstTriangle[p] = h.triangleCount;
        h.partTriangleCount[p] = uint32_t(corners.size());
        vertices.insert(vertices.end(), points.begin(), points.end());
        for (const Corners& c : corners) {
            triangles.push_back({0, {c[0], c[1], c[2]}, {}, flags, {}, {}});
        }
        h.vertexCount = uint32_t(vertices.size());
        h.triangleCount = uint32_t(triangles.size());
        model.vertices = model.damagedVertices = vertices.data();
        model.triangles = triangles.data();
    }
};
