#include "model/half_sizes.h"

#include "model/part_names.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cmath>
#include <limits>

HalfSizes StoredHalfSizes(const FceKeshHeader& header) {
    return {std::bit_cast<float>(header.auxValues[0]), std::bit_cast<float>(header.auxValues[1]),
            std::bit_cast<float>(header.auxValues[2])};
}

void StoreHalfSizes(FceKeshHeader& header, HalfSizes halfSizes) {
    header.auxValues[0] = std::bit_cast<uint32_t>(halfSizes.x);
    header.auxValues[1] = std::bit_cast<uint32_t>(halfSizes.y);
    header.auxValues[2] = std::bit_cast<uint32_t>(halfSizes.z);
}

HalfSizes BodyHalfSizes(const CarModel& model) {
    const FceKeshHeader& header = model.header;
    uint32_t parts = PartsInUse(header);
    bool hasBody = false;
    for (uint32_t part = 0; part < parts; ++part) {
        hasBody = hasBody || NameIs(header.partNames[part], ":HB");
    }
    constexpr double INF = std::numeric_limits<double>::infinity();
    double low[3] = {INF, INF, INF};
    double high[3] = {-INF, -INF, -INF};
    for (uint32_t part = 0; part < parts && model.vertices; ++part) {
        if (hasBody && !NameIs(header.partNames[part], ":HB")) {
            continue;
        }
        const Vec3& at = header.partPositions[part];
        TableRange range = PartVertices(header, part);
        for (uint32_t i = range.begin; i < range.end; ++i) {
            const Vec3& v = model.vertices[i];
            double p[3] = {double(at.x) + v.x, double(at.y) + v.y, double(at.z) + v.z};
            if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2])) {
                continue;
            }
            for (int axis = 0; axis < 3; ++axis) {
                low[axis] = std::min(low[axis], p[axis]);
                high[axis] = std::max(high[axis], p[axis]);
            }
        }
    }
    if (low[0] > high[0]) {
        return {0, 0, 0};
    }
    return {float((high[0] - low[0]) / 2), float(-low[1]), float((high[2] - low[2]) / 2)};
}

std::string HalfSizesDanger(HalfSizes h) {
    auto text = [](float value) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%g", double(value));
        return std::string(buffer);
    };
    std::string values = "(x " + text(h.x) + ", y " + text(h.y) + ", z " + text(h.z) + ")";
    // Written so that NaN fails each test and is reported.
    if (!(h.x >= 0.001f) || !(h.z >= 0.001f)) {
        return "the half-sizes " + values + " are below 0.001 across or along the car: the game may crash";
    }
    if (!(double(h.x) * h.z >= 0.1)) {
        return "the half-sizes " + values + " give a box under 0.1 (x times z): the game may crash";
    }
    if (!(h.y >= 0)) {
        return "the half-sizes " + values + " have y below 0: the game may crash";
    }
    return "";
}
